// Isolated work in a forked child: it inherits the bytes to read, does the
// work, writes its output down a pipe in pieces and leaves by _exit (no
// handlers of this process run twice); the parent reads the pipe against a
// deadline and then reaps the child.
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

[[noreturn]] void runChild(int output, const std::function<void(const IsolatedSend&)>& work) {
    int status = exitFailed;
    try {
        bool sent = true;
        const IsolatedSend send = [output, &sent](std::vector<std::uint8_t>& piece) {
            // Its length first, so that the reader holds it in one buffer of that size.
            std::uint8_t length[8];
            for (int byte = 0; byte < 8; ++byte) {
                length[byte] = static_cast<std::uint8_t>(std::uint64_t{piece.size()} >> (8 * byte));
            }
            sent = sent && writeAll(output, length, sizeof length) &&
                   writeAll(output, piece.data(), piece.size());
            piece.clear();
        };
        work(send);
        status = sent ? exitFinished : exitFailed;
    } catch (...) {
        status = exitFailed;
    }
    ::_exit(status);
}

// Reads the child's pieces (each its length, then as many bytes), handing
// each to receive once it is whole, until the child closes its end, the
// deadline passes or the pieces together would pass the limit; Failed where
// the end comes inside a piece.
IsolatedOutcome readPieces(int input, std::uint64_t limit, unsigned seconds,
                           const std::function<void(ByteView)>& receive) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::uint8_t length[8];
    std::size_t lengthRead = 0;
    std::uint64_t announced = 0;
    std::uint64_t total = 0;
    std::vector<std::uint8_t> piece;
    std::size_t filled = 0;
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
        // The length first; then the piece straight into its place, grown a
        // mebibyte at a time, so that a length the child only claims holds
        // no memory.
        const bool lengthKnown = lengthRead == sizeof length;
        if (lengthKnown && piece.size() < announced) {
            piece.resize(static_cast<std::size_t>(
                std::min<std::uint64_t>(announced, filled + (std::uint64_t{1} << 20))));
        }
        const ssize_t got = lengthKnown
                                ? ::read(input, piece.data() + filled, piece.size() - filled)
                                : ::read(input, length + lengthRead, sizeof length - lengthRead);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0 && lengthRead == 0 ? IsolatedOutcome::Finished
                                               : IsolatedOutcome::Failed;
        }
        if (lengthKnown) {
            filled += static_cast<std::size_t>(got);
        } else {
            lengthRead += static_cast<std::size_t>(got);
            if (lengthRead < sizeof length) {
                continue;
            }
            announced = 0;
            for (int byte = 0; byte < 8; ++byte) {
                announced |= std::uint64_t{length[byte]} << (8 * byte);
            }
            if (announced > limit - total) {
                return IsolatedOutcome::TooMuch;
            }
            total += announced;
            piece.clear();
            filled = 0;
        }
        if (filled == announced) {
            receive(ByteView{piece.data(), filled});
            lengthRead = 0;
        }
    }
}

} // namespace

IsolatedResult runIsolatedInPieces(const std::function<void(const IsolatedSend& send)>& work,
                                   const std::function<void(ByteView piece)>& receive,
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
    const auto endChild = [child, input = ends[0]](bool kill) {
        ::close(input);
        if (kill) {
            ::kill(child, SIGKILL);
        }
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        return status;
    };
    IsolatedOutcome read = IsolatedOutcome::Failed;
    try {
        read = readPieces(ends[0], outputLimit, seconds, receive);
    } catch (...) {
        // What this process made of a piece failed: the child is not left behind.
        endChild(true);
        throw;
    }
    const bool ended = read == IsolatedOutcome::TimedOut || read == IsolatedOutcome::TooMuch;
    const int status = endChild(ended);
    if (ended) {
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
    return result;
}

IsolatedResult runIsolated(const std::function<void(std::vector<std::uint8_t>& output)>& work,
                           std::uint64_t outputLimit, unsigned seconds) {
    std::vector<std::uint8_t> output;
    IsolatedResult result = runIsolatedInPieces(
        [&work](const IsolatedSend& send) {
            std::vector<std::uint8_t> whole;
            work(whole);
            send(whole);
        },
        [&output](ByteView piece) {
            output.insert(output.end(), piece.data, piece.data + piece.size);
        },
        outputLimit, seconds);
    if (result.outcome == IsolatedOutcome::Finished) {
        result.output = std::move(output);
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
