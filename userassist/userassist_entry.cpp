#include "userassist/userassist_entry.h"

#include <algorithm>

#include "machine/known_folders.h"
#include "platform/byte_reader.h"
#include "platform/possible_date.h"
#include "platform/system_clock.h"
#include "registry/registry.h"
#include "userassist/userassist_counters.h"
#include "userassist/userassist_details.h"
#include "userassist/userassist_source.h"

namespace tidewell {

namespace {

constexpr std::wstring_view bookkeepingPrefix = L"UEME_";

wchar_t rot13(wchar_t unit) {
    if (unit >= L'a' && unit <= L'z') {
        return static_cast<wchar_t>(L'a' + (unit - L'a' + 13) % 26);
    }
    if (unit >= L'A' && unit <= L'Z') {
        return static_cast<wchar_t>(L'A' + (unit - L'A' + 13) % 26);
    }
    return unit;
}

// Sets the record's path and status from the decoded name.
void classifyPath(const std::wstring& decoded, const HiveContext& hive, ScanTally& tally,
                  LaunchRecord& record) {
    if (!decoded.empty() && decoded.front() == L'{') {
        bool documentedDefault = false;
        const bool resolved =
            hive.folders != nullptr
                ? resolveFolderIdFromTable(decoded, *hive.folders, record.path, documentedDefault)
                : resolveFolderIdPath(decoded, hive.ownHive, record.path);
        if (resolved) {
            record.pathStatus = PathStatus::Resolved;
            userAssistDetails(record)->folderAtDefault = documentedDefault ? 1 : 0;
            return;
        }
        record.path = decoded;
        record.pathStatus = PathStatus::FolderIdUnresolved;
        ++tally[folderIdsUnresolved];
        if (!hive.ownHive) {
            ++tally[folderIdsOtherUser];
        }
        return;
    }
    const bool drivePath = decoded.size() > 2 && decoded[1] == L':' && decoded[2] == L'\\';
    const bool networkPath = decoded.size() >= 2 && decoded[0] == L'\\' && decoded[1] == L'\\';
    if (drivePath || networkPath) {
        record.path = decoded;
        record.pathStatus = PathStatus::Resolved;
        return;
    }
    // A name such as an application id: it names no file on disk.
    record.path.clear();
    record.pathStatus = PathStatus::NoPathRecorded;
}

// The CSIDL numbers Windows XP writes in its launches' names, by the
// known-folder ids that took their place.
struct CsidlFolder {
    unsigned csidl;
    const wchar_t* folderId;
};
constexpr CsidlFolder csidlFolders[] = {
    {0x02, L"{A77F5D77-2E2B-44C3-A6A2-ABA601054A51}"}, // Programs
    {0x05, L"{FDD39AD0-238F-46AF-ADB4-6C85480369C7}"}, // Personal (Documents)
    {0x07, L"{B97D20BB-F46A-4C97-BA10-5E3608430854}"}, // Startup
    {0x0B, L"{625B53C3-AB48-4EC1-BA1F-A1EF4146FC19}"}, // Start Menu
    {0x10, L"{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}"}, // Desktop folder
    {0x16, L"{A4115719-D62E-491D-AA7C-E74B8BE3B067}"}, // Common Start Menu
    {0x17, L"{0139D44E-6AFE-49F2-8690-3DAFCAE6FFB8}"}, // Common Programs
    {0x18, L"{82A5EA35-D9CD-47C5-9629-E15D2F714E6E}"}, // Common Startup
    {0x19, L"{C4AA340D-F20F-4863-AFEF-F87EF2E6BA25}"}, // Common Desktop
    {0x1A, L"{3EB685DB-65F9-4CF6-A03A-E3EF65729F3D}"}, // AppData
    {0x1C, L"{F1B32785-6FBA-4FCF-9D55-7B8E7F157091}"}, // Local AppData
    {0x24, L"{F38BF404-1D43-42F2-9305-67DE0B28FC23}"}, // Windows
    {0x25, L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}"}, // System
    {0x26, L"{905E63B6-C1BF-494E-B29C-65B732D3D21A}"}, // Program Files
};

constexpr const wchar_t* xpLaunchPrefixes[] = {L"UEME_RUNPATH:", L"UEME_RUNPIDL:", L"UEME_RUNCPL:"};

std::wstring afterLastBackslash(const std::wstring& text) {
    const std::size_t slash = text.rfind(L'\\');
    return slash == std::wstring::npos ? text : text.substr(slash + 1);
}

} // namespace

std::wstring decodeValueName(const std::wstring& encoded) {
    std::wstring decoded(encoded);
    for (wchar_t& unit : decoded) {
        unit = rot13(unit);
    }
    return decoded;
}

bool xpLaunchName(const std::wstring& decoded, std::wstring& kind, std::wstring& launched) {
    for (const wchar_t* prefix : xpLaunchPrefixes) {
        const std::wstring_view start(prefix);
        if (decoded.size() > start.size() && decoded.starts_with(start)) {
            kind.assign(start.substr(5, start.size() - 6)); // RUNPATH
            launched = decoded.substr(start.size());
            return true;
        }
    }
    return false;
}

bool isBookkeepingName(const std::wstring& decoded) {
    std::wstring kind;
    std::wstring launched;
    return std::wstring_view(decoded).substr(0, bookkeepingPrefix.size()) == bookkeepingPrefix &&
           !xpLaunchName(decoded, kind, launched);
}

std::wstring csidlAsFolderId(const std::wstring& launched) {
    constexpr std::wstring_view start = L"%csidl";
    if (launched.size() <= start.size() ||
        !std::equal(start.begin(), start.end(), launched.begin(), [](wchar_t a, wchar_t b) {
            return a == (b >= L'A' && b <= L'Z' ? static_cast<wchar_t>(b - L'A' + L'a') : b);
        })) {
        return launched;
    }
    unsigned number = 0;
    std::size_t at = start.size();
    while (at < launched.size() && at < start.size() + 3 && launched[at] >= L'0' &&
           launched[at] <= L'9') {
        number = number * 10 + static_cast<unsigned>(launched[at] - L'0');
        ++at;
    }
    if (at == start.size() || at >= launched.size() || launched[at] != L'%') {
        return launched;
    }
    for (const CsidlFolder& folder : csidlFolders) {
        if (folder.csidl == number) {
            return folder.folderId + launched.substr(at + 1);
        }
    }
    return launched;
}

bool screenUserAssistValue(const std::wstring& decoded, std::uint32_t type, std::uint32_t size,
                           ScanTally& tally) {
    if (isBookkeepingName(decoded)) {
        ++tally[userAssistBookkeepingSkipped];
        return false;
    }
    if (type != registryTypeBinary) {
        ++tally[userAssistWrongType];
        return false;
    }
    if (size > userAssistReadLimit) {
        ++tally[userAssistTooLarge];
        return false;
    }
    return true;
}

bool parseUserAssistEntry(const std::uint8_t* data, std::uint32_t size, UserAssistEntry& entry) {
    entry = UserAssistEntry{};
    if (data == nullptr || size != userAssistEntrySize) {
        return false;
    }
    const ByteView bytes{data, size};
    bytes.readU32(4, entry.runCount);
    bytes.readU32(8, entry.focusCount);
    bytes.readU32(12, entry.focusMilliseconds);
    bytes.readU64(60, entry.lastRun); // unaligned within the data; read byte-wise
    entry.hasLastRun = entry.lastRun != 0;
    return true;
}

bool isPossibleTimestamp(FileTime stamp, FileTime now) {
    return stamp != 0 && isPossibleDate(stamp, now);
}

bool isStampOnly(const UserAssistEntry& entry) {
    return entry.hasLastRun && entry.runCount == 0 && entry.focusCount == 0 &&
           entry.focusMilliseconds == 0;
}

namespace {

// Windows XP's entry: a session at 0, the count (from 5) at 4, the last
// launch at 8.
bool makeXpRecord(const std::wstring& kind, const std::wstring& launched, const std::uint8_t* data,
                  std::uint32_t size, const HiveContext& hive, ScanTally& tally,
                  LaunchRecord& record) {
    if (data == nullptr || size != userAssistXpEntrySize) {
        ++tally[userAssistWrongSize];
        return false;
    }
    const ByteView bytes{data, size};
    std::uint32_t stored = 0;
    FileTime lastRun = 0;
    bytes.readU32(4, stored);
    bytes.readU64(8, lastRun);
    record = makeRecord(userAssistSource);
    record.userSid = hive.sid;
    record.userName = hive.accountName;
    if (stored >= userAssistXpCountStart) {
        record.runCount = stored - userAssistXpCountStart;
        record.runCountKnown = 1;
    } else {
        ++tally[userAssistXpCountBelowStart];
    }
    UserAssistDetails& details = *userAssistDetails(record);
    details.windowsXpLayout = 1;
    details.xpLaunchKind = kind;
    if (lastRun != 0 && isPossibleTimestamp(lastRun, currentSystemFileTime())) {
        record.runTimes.push_back(lastRun);
    } else {
        if (lastRun != 0) {
            ++tally[userAssistImpossibleDate];
        }
        ++tally[userAssistNoTimestamp];
    }
    if (launched.starts_with(L"::{")) {
        // A shell object (such as a control panel item) by its class id.
        record.path.clear();
        record.pathStatus = PathStatus::NoPathRecorded;
        record.name = launched;
    } else {
        const std::wstring placed = csidlAsFolderId(launched);
        classifyPath(placed, hive, tally, record);
        if (record.pathStatus == PathStatus::FolderIdUnresolved) {
            record.path = launched; // as XP wrote it, %csidl2% and all
        }
        record.name = afterLastBackslash(record.path.empty() ? launched : record.path);
    }
    ++tally[userAssistParsed];
    return true;
}

} // namespace

bool makeUserAssistRecord(const std::wstring& decoded, const std::uint8_t* data, std::uint32_t size,
                          const HiveContext& hive, ScanTally& tally, LaunchRecord& record) {
    std::wstring kind;
    std::wstring launched;
    if (xpLaunchName(decoded, kind, launched)) {
        return makeXpRecord(kind, launched, data, size, hive, tally, record);
    }
    UserAssistEntry entry;
    if (!parseUserAssistEntry(data, size, entry)) {
        ++tally[userAssistWrongSize];
        return false;
    }
    record = makeRecord(userAssistSource);
    record.userSid = hive.sid;
    record.userName = hive.accountName;
    record.runCount = entry.runCount;
    record.runCountKnown = 1; // the shell's count is taken as stored
    UserAssistDetails& details = *userAssistDetails(record);
    details.focusCount = entry.focusCount;
    details.focusMilliseconds = entry.focusMilliseconds;
    details.hasFocus = 1;

    const FileTime now = currentSystemFileTime();
    if (entry.hasLastRun && isPossibleTimestamp(entry.lastRun, now)) {
        record.runTimes.push_back(entry.lastRun);
        if (isStampOnly(entry)) {
            ++tally[userAssistStampOnly];
        }
    } else if (entry.hasLastRun) {
        // An impossible stamp is dropped, not clamped.
        entry.hasLastRun = false;
        ++tally[userAssistImpossibleDate];
        ++tally[userAssistNoTimestamp];
    } else {
        ++tally[userAssistNoTimestamp];
    }

    classifyPath(decoded, hive, tally, record);
    record.name = afterLastBackslash(record.path.empty() ? decoded : record.path);
    ++tally[userAssistParsed];
    return true;
}

} // namespace tidewell
