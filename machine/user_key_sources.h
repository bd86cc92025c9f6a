// The one way a source kept in each user's hive is read: every hive the
// machine offers is handed to the source's reader, and the source is then
// said to be read (a hive held its key), unreadable (none did, and a key
// or hive could not be read) or not present.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/record_source.h"
#include "core/scan_results.h"
#include "machine/user_hives.h"

namespace tidewell {

struct UserKeysRead {
    std::uint32_t holding = 0; // hives whose key of the source was read
    std::uint32_t offered = 0; // hives handed to the reader
};

// read returns whether the hive's key of the source was read (one that is
// there but would not open is counted by read, in unreadable, and is not);
// hives that could not be opened count in unreadable too.
UserKeysRead readUserKeys(ExaminedMachine& machine, ScanResults& results,
                          const RecordSource& source, const ScanCounter& unreadable,
                          const std::function<bool(const UserHive&)>& read);

// "of 1 of 2 users' hives"
std::wstring userHivesWords(const UserKeysRead& read);

// Whose record it is in a sentence: the account's name, else its SID.
std::wstring whoseRecord(const LaunchRecord& record);

// The user's part of a merge key: the SID without regard to case, else the
// account's name.
std::wstring userMergePart(const LaunchRecord& record);

// What the detail text of such a source's record says of its user: the
// "User:" and "User SID:" lines.
void appendUserLines(std::wstring& text, const LaunchRecord& record);

// The "Key last written:" line: the key's last writing, which the live
// registry does not give (0).
void appendKeyWrittenLine(std::wstring& text, std::uint64_t keyWritten, TimeBasis times);

} // namespace tidewell
