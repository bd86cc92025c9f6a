// Isolated work in a forked child: it inherits the bytes to read, does the
// work, writes its output down a pipe and leaves by _exit (no handlers of
// this process run twice); the parent reads the pipe against a deadline and
// then reaps the child.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "platform/isolated_work.h"

namespace tidewell {

namespace {

constexpr int exitFinished = 0;
constexpr int exitFailed = 3;

bool writeAll(int descriptor, const std::uint8_t* data, std::size_t size) {
    while (size != 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

[[noreturn]] void runChild(int output,
                           const std::function<void(std::vector<std::uint8_t>&)>& work) {
    int status = exitFailed;
    try {
        std::vector<std::uint8_t> bytes;
        work(bytes);
        status = writeAll(output, bytes.data(), bytes.size()) ? exitFinished : exitFailed;
    } catch (...) {
        status = exitFailed;
    }
    ::_exit(status);
}

// Reads the child's output until it closes its end, the deadline passes or
// the output grows past the limit.
IsolatedOutcome readOutput(int input, std::uint64_t limit, unsigned seconds,
                           std::vector<std::uint8_t>& output) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::uint8_t buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return IsolatedOutcome::TimedOut;
        }
        pollfd ready{input, POLLIN, 0};
        const int polled =
            ::poll(&ready, 1, static_cast<int>(std::min<long long>(left.count(), 60000)));
        if (polled < 0 && errno != EINTR) {
            return IsolatedOutcome::Failed;
        }
        if (polled <= 0) {
            continue;
        }
        const ssize_t got = ::read(input, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0 ? IsolatedOutcome::Finished : IsolatedOutcome::Failed;
        }
        if (static_cast<std::uint64_t>(got) > limit - output.size()) {
            return IsolatedOutcome::TooMuch;
        }
        output.insert(output.end(), buffer, buffer + got);
    }
}

} // namespace

IsolatedResult runIsolated(const std::function<void(std::vector<std::uint8_t>& output)>& work,
                           std::uint64_t outputLimit, unsigned seconds) {
    IsolatedResult result;
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return result;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(ends[0]);
        ::close(ends[1]);
        return result;
    }
    if (child == 0) {
        ::close(ends[0]);
        runChild(ends[1], work);
    }
    ::close(ends[1]);
    const IsolatedOutcome read = readOutput(ends[0], outputLimit, seconds, result.output);
    ::close(ends[0]);
    if (read == IsolatedOutcome::TimedOut || read == IsolatedOutcome::TooMuch) {
        ::kill(child, SIGKILL);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (read != IsolatedOutcome::Finished) {
        result.outcome = read;
    } else if (WIFSIGNALED(status)) {
        result.outcome = IsolatedOutcome::Crashed;
        result.signal = WTERMSIG(status);
    } else if (!WIFEXITED(status) || WEXITSTATUS(status) != exitFinished) {
        result.outcome = IsolatedOutcome::Failed;
    } else {
        result.outcome = IsolatedOutcome::Finished;
    }
    if (result.outcome != IsolatedOutcome::Finished) {
        result.output.clear();
    }
    return result;
}

} // namespace tidewell
