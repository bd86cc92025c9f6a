// Work done in a process of its own: its output handed back whole when it
// finishes, or piece by piece while it goes on, and every other end (a
// signal, an exception, a hang, output without end) an outcome of its own,
// with this process untouched.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>

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

std::string pieceText(ByteView piece) {
    return std::string(reinterpret_cast<const char*>(piece.data), piece.size);
}

void sendText(const IsolatedSend& send, const std::string& text) {
    std::vector<std::uint8_t> piece(text.begin(), text.end());
    send(piece);
}

TEST(IsolatedWork, PiecesArriveWhileTheWorkGoesOn) {
    // The work waits for a sign that only this process's receiving its
    // first piece gives: were pieces held back until the end, it would
    // wait in vain and fail.
    const std::filesystem::path sign =
        std::filesystem::temp_directory_path() / ("tidewell-piece-" + std::to_string(::getpid()));
    std::filesystem::remove(sign);
    std::vector<std::string> received;
    const IsolatedResult result = runIsolatedInPieces(
        [&sign](const IsolatedSend& send) {
            sendText(send, "first");
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!std::filesystem::exists(sign)) {
                if (std::chrono::steady_clock::now() > giveUp) {
                    throw std::runtime_error("the first piece was not received");
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            sendText(send, "second");
        },
        [&](ByteView piece) {
            received.push_back(pieceText(piece));
            if (received.size() == 1) {
                std::filesystem::create_directory(sign);
            }
        },
        1 << 20, 30);
    std::filesystem::remove(sign);
    EXPECT_EQ(result.outcome, IsolatedOutcome::Finished);
    EXPECT_EQ(received, (std::vector<std::string>{"first", "second"}));
    EXPECT_TRUE(result.output.empty());
}

TEST(IsolatedWork, PiecesComeAsSentAndTheLimitHoldsForAllOfThem) {
    std::vector<std::size_t> sizes;
    std::uint8_t lastByte = 0;
    const IsolatedResult sent = runIsolatedInPieces(
        [](const IsolatedSend& send) {
            std::vector<std::uint8_t> piece;
            send(piece); // an empty piece is a piece
            piece.assign(3 << 20, 0x11);
            piece.back() = 0x22;
            send(piece);
            if (!piece.empty()) {
                throw std::logic_error("a sent piece is emptied for the next");
            }
            piece.assign(5, 0x33);
            send(piece);
        },
        [&](ByteView piece) {
            sizes.push_back(piece.size);
            if (piece.size != 0) {
                lastByte = piece.data[piece.size - 1];
            }
        },
        4 << 20, 30);
    EXPECT_EQ(sent.outcome, IsolatedOutcome::Finished);
    EXPECT_EQ(sizes, (std::vector<std::size_t>{0, 3 << 20, 5}));
    EXPECT_EQ(lastByte, 0x33);

    // Each piece is within the limit; together they pass it.
    int pieces = 0;
    const IsolatedResult flood = runIsolatedInPieces(
        [](const IsolatedSend& send) {
            for (int piece = 0; piece < 3; ++piece) {
                sendText(send, std::string(3000, 'x'));
            }
        },
        [&pieces](ByteView) { ++pieces; }, 8000, 30);
    EXPECT_EQ(flood.outcome, IsolatedOutcome::TooMuch);
    EXPECT_EQ(pieces, 2);
}

TEST(IsolatedWork, PiecesBeforeAFailureComeWithItsOutcome) {
    std::vector<std::string> received;
    const IsolatedResult crashed = runIsolatedInPieces(
        [](const IsolatedSend& send) {
            sendText(send, "made");
            ::raise(SIGKILL);
        },
        [&received](ByteView piece) { received.push_back(pieceText(piece)); }, 1 << 20, 30);
    EXPECT_EQ(crashed.outcome, IsolatedOutcome::Crashed);
    EXPECT_EQ(received, std::vector<std::string>{"made"});

    // This process failing on a piece ends the work and passes the failure on.
    EXPECT_THROW(runIsolatedInPieces(
                     [](const IsolatedSend& send) {
                         sendText(send, "refused");
                         for (;;) {
                             ::pause();
                         }
                     },
                     [](ByteView) { throw std::runtime_error("cannot take it"); }, 1 << 20, 30),
                 std::runtime_error);
}

} // namespace
} // namespace tidewell
