// Every hive file a scan of collected evidence looked for, and what became of
// it, so that an examiner can say which copy of which hive the records rest
// on: read as it was, brought up to date from its logs, read although its
// data may be stale, or not read at all and why.
#pragma once

#include <cstdint>
#include <string>

namespace tidewell {

enum class HiveOutcome : std::uint32_t {
    Clean,      // its last write had finished
    Recovered,  // dirty, and brought up to date from its transaction logs
    Stale,      // dirty, read without usable logs: its data may be stale
    Unreadable, // there, but it could not or would not be read
    Malformed,  // read, but not a hive that can be walked
    TooLarge,   // above 2 GiB, refused unread
    Missing,    // not in the evidence
};

struct ExaminedHive {
    std::wstring hive;        // "SYSTEM", "SOFTWARE" or "NTUSER.DAT"
    std::wstring path;        // where it lies in the evidence; empty when its folder is not there
    std::wstring machinePath; // where the examined machine kept it, where that is known
    std::wstring userSid;     // a user's hive: whose
    std::wstring userName;
    HiveOutcome outcome = HiveOutcome::Missing;
    std::uint32_t logEntriesApplied = 0;
    // Recovered although the logs began after the hive's sequence number
    // (the hive walked cleanly once every entry present was applied).
    bool earlierEntriesMissing = false;
    std::wstring why; // what more there is to say of the outcome, in words
};

// "clean", "recovered", "stale", "unreadable", "malformed", "too large",
// "missing".
const wchar_t* hiveOutcomeWord(HiveOutcome outcome);

} // namespace tidewell
