// One UserAssist value: its ROT13-scrambled name says what was launched, its
// 72 bytes of data hold the launch tally, focus figures and the last launch
// time. Each value becomes one record or one counted rejection; doubts about
// its timestamp or folder id are counted beside the record, never instead.
#pragma once

#include <cstdint>
#include <string>

#include "core/launch_record.h"
#include "core/scan_tally.h"
#include "machine/machine_folders.h"
#include "platform/filetime.h"

namespace tidewell {

inline constexpr std::uint32_t userAssistEntrySize = 72;
inline constexpr std::uint32_t userAssistReadLimit = 65536;
// Windows XP's (and Vista's) entry: session, count, last launch.
inline constexpr std::uint32_t userAssistXpEntrySize = 16;
inline constexpr std::uint32_t userAssistXpCountStart = 5;

struct UserAssistEntry {
    std::uint32_t runCount = 0;
    std::uint32_t focusCount = 0;
    std::uint32_t focusMilliseconds = 0;
    FileTime lastRun = 0;
    bool hasLastRun = false; // cleared again when the stamp fails the date check
};

// The same for every value of one hive.
struct HiveContext {
    std::wstring sid;         // may be empty
    std::wstring accountName; // empty when the SID names no account
    bool ownHive = false;     // the hive of the account running the program
    // For a hive of collected evidence: where its folder ids lead, from the
    // examined machine's own registry (this machine's shell knows nothing of
    // them). Such a hive counts as its own account's.
    const FolderTable* folders = nullptr;
};

// ROT13 on the ASCII letters only; every other unit passes unchanged.
std::wstring decodeValueName(const std::wstring& encoded);

// A Windows XP launch's name ("UEME_RUNPATH:C:\\...", "UEME_RUNPIDL:...",
// "UEME_RUNCPL:..."): true with its kind (RUNPATH) and what was launched.
bool xpLaunchName(const std::wstring& decoded, std::wstring& kind, std::wstring& launched);

// The shell's own bookkeeping values (session and counter entries); an XP
// launch's name is not one.
bool isBookkeepingName(const std::wstring& decoded);

// An XP launch's "%csidl2%\\rest" with the known-folder id of that CSIDL in
// its place ("{A77F5D77-...}\\rest"); unchanged where it names none known.
std::wstring csidlAsFolderId(const std::wstring& launched);

// Before any data is read: bookkeeping, then the registry type, then the
// size. False when the value ends here (its reason counted).
bool screenUserAssistValue(const std::wstring& decoded, std::uint32_t type, std::uint32_t size,
                           ScanTally& tally);

// The shape check: exactly 72 bytes. Fills entry from them.
bool parseUserAssistEntry(const std::uint8_t* data, std::uint32_t size, UserAssistEntry& entry);

// Not 0, not before 1990-01-01 00:00 UTC, not more than a day after now.
bool isPossibleTimestamp(FileTime stamp, FileTime now);

// A valid stamp with no counted launch, focus count or focus time.
bool isStampOnly(const UserAssistEntry& entry);

// The shape check and, when it passes, the whole record. False (with
// userAssistWrongSize counted) for data of any other size: 72 bytes, or 16
// for an XP launch's name.
bool makeUserAssistRecord(const std::wstring& decoded, const std::uint8_t* data, std::uint32_t size,
                          const HiveContext& hive, ScanTally& tally, LaunchRecord& record);

} // namespace tidewell
