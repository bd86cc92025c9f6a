// Work done in a process of its own: its output handed back whole when it
// finishes, and every other end (a signal, an exception, a hang, output
// without end) an outcome of its own, with this process untouched.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <stdexcept>

#include "platform/isolated_work.h"

namespace tidewell {
namespace {

TEST(IsolatedWork, OutputComesBackWholeWhenTheWorkFinishes) {
    int touched = 0;
    const IsolatedResult result = runIsolated(
        [&touched](std::vector<std::uint8_t>& output) {
            touched = 1; // the child's copy, not ours
            output.assign(300000, 0x5a);
            output.back() = 7;
        },
        1 << 20, 30);
    EXPECT_EQ(result.outcome, IsolatedOutcome::Finished);
    ASSERT_EQ(result.output.size(), 300000u) << "more than one pipe's worth";
    EXPECT_EQ(result.output.front(), 0x5a);
    EXPECT_EQ(result.output.back(), 7);
    EXPECT_EQ(touched, 0) << "the work ran elsewhere";

    const IsolatedResult empty = runIsolated([](std::vector<std::uint8_t>&) {}, 16, 30);
    EXPECT_EQ(empty.outcome, IsolatedOutcome::Finished);
    EXPECT_TRUE(empty.output.empty());
}

TEST(IsolatedWork, EveryOtherEndIsAnOutcomeAndLeavesNoOutput) {
    // A signal no handler can take, as a library's fault would end it.
    const IsolatedResult killed = runIsolated(
        [](std::vector<std::uint8_t>& output) {
            output.assign(10, 1);
            ::raise(SIGKILL);
        },
        1 << 20, 30);
    EXPECT_EQ(killed.outcome, IsolatedOutcome::Crashed);
    EXPECT_EQ(killed.signal, SIGKILL);
    EXPECT_TRUE(killed.output.empty());

    const IsolatedResult thrown = runIsolated(
        [](std::vector<std::uint8_t>&) { throw std::runtime_error("no"); }, 1 << 20, 30);
    EXPECT_EQ(thrown.outcome, IsolatedOutcome::Failed);

    const IsolatedResult hung = runIsolated(
        [](std::vector<std::uint8_t>&) {
            for (;;) {
                ::pause();
            }
        },
        1 << 20, 1);
    EXPECT_EQ(hung.outcome, IsolatedOutcome::TimedOut);

    const IsolatedResult flood =
        runIsolated([](std::vector<std::uint8_t>& output) { output.assign(1 << 20, 0); }, 4096, 30);
    EXPECT_EQ(flood.outcome, IsolatedOutcome::TooMuch);
    EXPECT_TRUE(flood.output.empty());
}

} // namespace
} // namespace tidewell
