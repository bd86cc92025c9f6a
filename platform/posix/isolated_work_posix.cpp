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
        // Its length first, so that the reader holds it in one buffer of that size.
        std::uint8_t length[8];
        for (int byte = 0; byte < 8; ++byte) {
            length[byte] = static_cast<std::uint8_t>(std::uint64_t{bytes.size()} >> (8 * byte));
        }
        status =
            writeAll(output, length, sizeof length) && writeAll(output, bytes.data(), bytes.size())
                ? exitFinished
                : exitFailed;
    } catch (...) {
        status = exitFailed;
    }
    ::_exit(status);
}

// Reads the child's output (its length, then as many bytes) until it
// closes its end, the deadline passes or the output would pass the limit;
// Failed where what came is not the length announced.
IsolatedOutcome readOutput(int input, std::uint64_t limit, unsigned seconds,
                           std::vector<std::uint8_t>& output) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::uint8_t length[8];
    std::size_t lengthRead = 0;
    std::uint64_t announced = 0;
    std::uint8_t beyond = 0; // where a byte past the announced length would go
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
        // The length first; then the answer straight into its place, a
        // mebibyte at a time; past its length, one byte that only shows there
        // was more.
        const bool lengthKnown = lengthRead == sizeof length;
        const std::size_t filled = output.size();
        if (lengthKnown && filled < announced) {
            output.resize(static_cast<std::size_t>(
                std::min<std::uint64_t>(announced, filled + (std::uint64_t{1} << 20))));
        }
        const ssize_t got =
            !lengthKnown         ? ::read(input, length + lengthRead, sizeof length - lengthRead)
            : filled < announced ? ::read(input, output.data() + filled, output.size() - filled)
                                 : ::read(input, &beyond, 1);
        if (lengthKnown) {
            output.resize(filled +
                          (got > 0 && filled < announced ? static_cast<std::size_t>(got) : 0));
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0 && lengthKnown && output.size() == announced ? IsolatedOutcome::Finished
                                                                         : IsolatedOutcome::Failed;
        }
        if (!lengthKnown) {
            lengthRead += static_cast<std::size_t>(got);
            if (lengthRead == sizeof length) {
                for (int byte = 0; byte < 8; ++byte) {
                    announced |= std::uint64_t{length[byte]} << (8 * byte);
                }
                if (announced > limit) {
                    return IsolatedOutcome::TooMuch;
                }
                output.reserve(static_cast<std::size_t>(announced));
            }
        } else if (filled >= announced) {
            return IsolatedOutcome::Failed; // more than it announced
        }
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
    if (read == IsolatedOutcome::TimedOut || read == IsolatedOutcome::TooMuch) {
        result.outcome = read;
    } else if (WIFSIGNALED(status)) {
        result.outcome = IsolatedOutcome::Crashed;
        result.signal = WTERMSIG(status);
    } else if (read != IsolatedOutcome::Finished || !WIFEXITED(status) ||
               WEXITSTATUS(status) != exitFinished) {
        result.outcome = IsolatedOutcome::Failed;
    } else {
        result.outcome = IsolatedOutcome::Finished;
    }
    if (result.outcome != IsolatedOutcome::Finished) {
        result.output.clear();
    }
    return result;
}

std::wstring isolatedFailure(const IsolatedResult& run, std::wstring_view library,
                             unsigned seconds) {
    const std::wstring name(library);
    switch (run.outcome) {
    case IsolatedOutcome::Crashed:
        return name + L" failed on it (signal " + std::to_wstring(run.signal) + L")";
    case IsolatedOutcome::TimedOut:
        return name + L" was still reading it after " + std::to_wstring(seconds) + L" seconds";
    case IsolatedOutcome::TooMuch:
        return name + L" gave more than such a file can hold";
    case IsolatedOutcome::Unavailable:
        return L"no process could be started to read it";
    case IsolatedOutcome::Failed:
    case IsolatedOutcome::Finished:
        break;
    }
    return L"the reading process ended without an answer";
}

} // namespace tidewell
