#include "machine/user_key_sources.h"

#include "platform/decimal_text.h"
#include "platform/text_fold.h"
#include "platform/timestamp_format.h"

namespace tidewell {

UserKeysRead readUserKeys(ExaminedMachine& machine, ScanResults& results,
                          const RecordSource& source, const ScanCounter& unreadable,
                          const std::function<bool(const UserHive&)>& read) {
    UserKeysRead found;
    const std::uint64_t before = results.tally[unreadable];
    const UserHiveVisit visited = visitUserHives(machine, results, [&](const UserHive& hive) {
        if (read(hive)) {
            ++found.holding;
        }
    });
    found.offered = visited.offered;
    results.tally[unreadable] += visited.unopenable + (visited.listingStopped ? 1 : 0);
    SourceReading& reading = readingOf(results.origin, source);
    reading.presence = found.holding != 0                    ? SourcePresence::Read
                       : results.tally[unreadable] != before ? SourcePresence::Unreadable
                                                             : SourcePresence::NotPresent;
    return found;
}

std::wstring userHivesWords(const UserKeysRead& read) {
    return L"of " + groupedDecimalText(read.holding) + L" of " + groupedDecimalText(read.offered) +
           L" users' hives";
}

std::wstring whoseRecord(const LaunchRecord& record) {
    return !record.userName.empty() ? record.userName : record.userSid;
}

std::wstring userMergePart(const LaunchRecord& record) {
    return foldText(record.userSid.empty() ? record.userName : record.userSid);
}

void appendUserLines(std::wstring& text, const LaunchRecord& record) {
    text += L"User:              " +
            (record.userName.empty() ? std::wstring(L"(unknown)") : record.userName) +
            detailLineEnd;
    text += L"User SID:          " + (record.userSid.empty() ? L"(unknown)" : record.userSid) +
            detailLineEnd;
}

void appendKeyWrittenLine(std::wstring& text, std::uint64_t keyWritten, TimeBasis times) {
    text += L"Key last written:  " +
            (keyWritten == 0
                 ? std::wstring(L"(not known: the live registry does not give it)")
                 : formatTimestamp(keyWritten, times) + (times == TimeBasis::Utc ? L" UTC" : L"")) +
            detailLineEnd;
}

} // namespace tidewell
