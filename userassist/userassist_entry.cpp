#include "userassist/userassist_entry.h"

#include "platform/byte_reader.h"
#include "platform/possible_date.h"
#include "platform/system_clock.h"
#include "registry/registry.h"
#include "userassist/known_folders.h"
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

bool isBookkeepingName(const std::wstring& decoded) {
    return std::wstring_view(decoded).substr(0, bookkeepingPrefix.size()) == bookkeepingPrefix;
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

bool makeUserAssistRecord(const std::wstring& decoded, const std::uint8_t* data, std::uint32_t size,
                          const HiveContext& hive, ScanTally& tally, LaunchRecord& record) {
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
