// One counter of a scan: what it counts is its owner's (a source's, or the
// scan's own), how it is said is here, so that the failure test, the
// report's counter lines, the status bar, the machine-readable outputs and
// the command-line summary read it alike and none can miss it. A counter is
// a named constant of its owner; a tally holds its count (scan_tally.h).
#pragma once

#include <cstdint>

namespace tidewell {

// Which scans count a counter and which CSV reports list it. The CSV report
// of this machine keeps the 29 lines it has always had, so that what reads
// it keeps working; a counter added since is given there only by the JSON
// document, the timeline and the detail texts.
enum class CounterLine : std::uint8_t {
    Always,       // every scan counts it, every report lists it
    Evidence,     // only a scan of collected evidence counts it and lists it
    NotInLiveCsv, // every scan counts it; every report but this machine's CSV lists it
    Image,        // only a scan of a disk image counts it and lists it
    Copies,       // only a scan of an image or a collection, either may hold shadow copies
    Collection,   // only a scan of a Velociraptor collection counts it and lists it
    // A counter of a source the machine may not keep: listed after the line
    // that says whether the machine keeps the source, wherever that line is.
    Source,
};

struct ScanCounter {
    const char* key = nullptr; // its stable name in machine-readable output
    bool failure = false;
    const wchar_t* reportLabel = nullptr;
    // For a failure: its fragment of the status bar, where "%lu" stands for
    // the count, and the fragment's place in the bar (1 first).
    const wchar_t* statusFragment = nullptr;
    std::uint8_t statusPosition = 0;
    CounterLine line = CounterLine::Always;
    // Every line but a Source line stands among the report's shared counter
    // lines: this is its place there (1 first). Readers of the report count
    // on these places, which never change.
    std::uint8_t place = 0;
    // Not a failure, yet worth the status bar's last part in place of the
    // elevation while non-zero: its text, "%lu" standing for the count.
    const wchar_t* statusNote = nullptr;
};

} // namespace tidewell
