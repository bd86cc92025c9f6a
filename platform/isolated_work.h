// Work on outside bytes that is done by a library this program cannot vouch
// for (one that has been seen to read past its buffers on damaged input):
// done in a process of its own, so that whatever the library does there, it
// cannot touch this one's memory, and a crash or a hang is an outcome, not
// the end of the scan. What the work writes into its output is handed back
// once it has finished, or piece by piece while it goes on. Only the Linux
// builds have such readers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_reader.h"

namespace tidewell {

enum class IsolatedOutcome : std::uint8_t {
    Finished,    // it ran to its end: its output is whole
    Crashed,     // a signal ended it (signal says which)
    Failed,      // it ended without finishing (an exception, an exit of its own)
    TimedOut,    // still running after the time it was given: ended
    TooMuch,     // its output grew past the limit: ended
    Unavailable, // no process could be started for it
};

struct IsolatedResult {
    IsolatedOutcome outcome = IsolatedOutcome::Unavailable;
    int signal = 0;
    std::vector<std::uint8_t> output;
};

IsolatedResult runIsolated(const std::function<void(std::vector<std::uint8_t>& output)>& work,
                           std::uint64_t outputLimit, unsigned seconds);

// What isolated work calls to hand a piece of its output back now; it
// empties the piece for the next.
using IsolatedSend = std::function<void(std::vector<std::uint8_t>& piece)>;

// The same, with the output handed back in the pieces the work sends, each
// given to receive in this process as soon as it is whole, while the work
// goes on: this process makes something of one piece while the next is
// made. A piece says nothing of the work's end: only the outcome does
// (Finished where every piece came and the work ended well), and pieces
// received before any other outcome are from work that did not finish.
// The result's output stays empty; outputLimit bounds all pieces together.
IsolatedResult runIsolatedInPieces(const std::function<void(const IsolatedSend& send)>& work,
                                   const std::function<void(ByteView piece)>& receive,
                                   std::uint64_t outputLimit, unsigned seconds);

// Why work that did not finish gave no answer, in words: library names
// the library it ran ("the ESE library"), seconds the time it was given.
std::wstring isolatedFailure(const IsolatedResult& run, std::wstring_view library,
                             unsigned seconds);

} // namespace tidewell
