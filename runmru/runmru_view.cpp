// How a RunMRU record is shown, and how the banner and the report speak of
// the source: its row of the table of sources.
#include "machine/user_key_sources.h"
#include "platform/decimal_text.h"
#include "platform/json_text.h"
#include "platform/text_fold.h"
#include "platform/timestamp_format.h"
#include "runmru/runmru_counters.h"
#include "runmru/runmru_details.h"
#include "runmru/runmru_source.h"

namespace tidewell {

namespace {

const RunMruDetails& detailsOf(const LaunchRecord& record) {
    static const RunMruDetails none;
    const RunMruDetails* details = runMruDetails(record);
    return details != nullptr ? *details : none;
}

std::wstring positionText(const RunMruDetails& details) {
    if (details.position == 0) {
        return L"not placed by MRUList";
    }
    return L"position " + decimalText(details.position) + L" of " + decimalText(details.listed) +
           (details.position == 1 ? L" (the newest)" : L"");
}

void cells(const LaunchRecord&, SourceCells&) {}

std::wstring listDetail(const LaunchRecord& record) {
    return L"typed into Run, " + positionText(detailsOf(record));
}

void detailParts(const LaunchRecord& record, const DetailContext&, SourceDetailParts& parts) {
    const RunMruDetails& details = detailsOf(record);
    if (record.pathStatus == PathStatus::NoPathRecorded) {
        parts.pathExplanation = std::wstring(L"  \u2014 a command, which Windows looked up when") +
                                detailUnder + L"it ran it";
    }
    std::wstring& text = parts.fields;
    appendUserLines(text, record);
    text += L"Command:           " + details.recorded + detailLineEnd;
    text += L"Value:             " + details.letter + L", " + positionText(details) + detailLineEnd;
    parts.runTimesTitle = L" (the key's last writing, which dates the newest command only)";
    parts.afterRunTimes =
        L"\r\n    The Run dialog keeps each command once, newest first; only the newest\r\n"
        L"    has a time. The trailing \\1 is Windows' own.\r\n";
}

void members(JsonWriter& json, const LaunchRecord* record) {
    const RunMruDetails* details = record != nullptr ? runMruDetails(*record) : nullptr;
    if (details == nullptr) {
        for (const char* name : {"run_mru_value", "run_mru_command", "run_mru_position"}) {
            json.memberNull(name);
        }
        return;
    }
    json.member("run_mru_value", details->letter);
    json.member("run_mru_command", details->recorded);
    if (details->position != 0) {
        json.member("run_mru_position", static_cast<std::uint64_t>(details->position));
    } else {
        json.memberNull("run_mru_position");
    }
}

void eventMembers(JsonWriter&, const LaunchRecord*) {}

std::wstring eventMessage(const LaunchRecord& record, std::size_t /*run*/,
                          const std::wstring& onHost, const std::wstring& fromWhere) {
    const std::wstring who = whoseRecord(record);
    return who + onHost + L" last typed " + record.name + fromWhere +
           L" into the Run dialog: the newest of its commands";
}

// One record per user and command: an older copy's key dated another
// command as newest.
std::wstring mergeKey(const LaunchRecord& record) {
    return userMergePart(record) + L"|" + foldText(detailsOf(record).recorded);
}

constexpr const wchar_t* reportCaution[] = {
    L"RunMRU keeps each user's commands typed into Run; only the newest has a time.",
    nullptr,
};

std::any newDetails() {
    return RunMruDetails{};
}

void countWords(const LaunchRecord& record, std::wstring& text) {
    text += positionText(detailsOf(record));
}

} // namespace

const RecordSource runMruSource = {
    .number = 9,
    .word = L"RunMRU",
    .described = L"RunMRU (the commands a user typed into the Run dialog)",
    .runTimeMeaning = L"RunMRU: newest command typed into Run",
    .viewMenuText = L"Show Run&MRU records",
    .countsRuns = false,
    .timesAreRuns = true,
    .proves = Proves::Ran,
    .coverage =
        {
            .reportLabel = L"RunMRU",
            .bannerName = L"RunMRU",
            .mayBeAbsent = true,
            .reportCaution = reportCaution,
            .bannerCaution = L"RunMRU keeps the commands typed into Run; only the newest has a "
                             L"time.",
        },
    .counters = runMruCounters,
    .facts = {},
    .newDetails = newDetails,
    .namedTimes = nullptr,
    .cells = cells,
    .listDetail = listDetail,
    .detailParts = detailParts,
    .jsonMembers = members,
    .eventMembers = eventMembers,
    .eventMessage = eventMessage,
    .mergeKey = mergeKey,
    .joinFacts = nullptr,
    .countWords = countWords,
};

} // namespace tidewell
