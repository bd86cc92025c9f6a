// How a RecentApps record is shown, and how the banner and the report
// speak of the source: its row of the table of sources.
#include "machine/user_key_sources.h"
#include "platform/decimal_text.h"
#include "platform/json_text.h"
#include "platform/text_fold.h"
#include "platform/timestamp_format.h"
#include "recentapps/recentapps_counters.h"
#include "recentapps/recentapps_details.h"
#include "recentapps/recentapps_source.h"

namespace tidewell {

namespace {

const RecentAppsDetails& detailsOf(const LaunchRecord& record) {
    static const RecentAppsDetails none;
    const RecentAppsDetails* details = recentAppsDetails(record);
    return details != nullptr ? *details : none;
}

void cells(const LaunchRecord&, SourceCells&) {}

std::wstring listDetail(const LaunchRecord& record) {
    const std::size_t items = detailsOf(record).items.size();
    return items == 0 ? std::wstring()
                      : decimalText(items) + (items == 1 ? L" file opened" : L" files opened");
}

void detailParts(const LaunchRecord& record, const DetailContext& context,
                 SourceDetailParts& parts) {
    const RecentAppsDetails& details = detailsOf(record);
    if (record.pathStatus == PathStatus::NoPathRecorded) {
        parts.pathExplanation = L"  \u2014 an application id, not a file on disk";
    }
    std::wstring& text = parts.fields;
    appendUserLines(text, record);
    text += L"AppId:             " + (details.appId.empty() ? L"(empty)" : details.appId) +
            detailLineEnd;
    text += L"AppPath:           " + (details.appPath.empty() ? L"(empty)" : details.appPath) +
            detailLineEnd;
    text += L"Key:               " + details.keyName + detailLineEnd;
    parts.runTimesTitle = L" (LastAccessedTime: the last launch the search kept)";
    std::wstring& after = parts.afterRunTimes;
    after = L"\r\nFiles it opened (RecentItems):\r\n";
    if (details.items.empty()) {
        after += L"    none recorded\r\n";
    }
    for (const RecentItem& item : details.items) {
        after += L"    " +
                 (item.lastAccessed == 0 ? std::wstring(L"(no time)")
                                         : formatTimestamp(item.lastAccessed, context.times) +
                                               (context.times == TimeBasis::Utc ? L" UTC" : L"")) +
                 L"  " + (item.displayName.empty() ? item.path : item.displayName);
        if (!item.path.empty() && !item.displayName.empty()) {
            after += L"  (" + item.path + L")";
        }
        after += detailLineEnd;
    }
}

void members(JsonWriter& json, const LaunchRecord* record) {
    const RecentAppsDetails* details = record != nullptr ? recentAppsDetails(*record) : nullptr;
    if (details == nullptr) {
        for (const char* name : {"recent_apps_id", "recent_apps_path", "recent_apps_items"}) {
            json.memberNull(name);
        }
        return;
    }
    json.member("recent_apps_id", details->appId);
    json.member("recent_apps_path", details->appPath);
    json.key("recent_apps_items");
    json.beginArray();
    for (const RecentItem& item : details->items) {
        json.beginObject();
        json.member("display_name", item.displayName);
        json.member("path", item.path);
        jsonOptionalMoment(json, "last_accessed", item.lastAccessed);
        json.endObject();
    }
    json.endArray();
}

void eventMembers(JsonWriter&, const LaunchRecord*) {}

std::wstring eventMessage(const LaunchRecord& record, std::size_t /*run*/,
                          const std::wstring& onHost, const std::wstring& fromWhere) {
    const std::wstring who = whoseRecord(record);
    std::wstring text = record.name + fromWhere + L" was last launched by " + who + onHost +
                        L", as the search's RecentApps kept it";
    if (record.runCountKnown != 0) {
        text += L" (" + decimalText(record.runCount) +
                (record.runCount == 1 ? L" launch)" : L" launches)");
    }
    return text;
}

std::wstring mergeKey(const LaunchRecord& record) {
    const RecentAppsDetails& details = detailsOf(record);
    return userMergePart(record) + L"|" + foldText(details.keyName) + L"|" +
           foldText(details.appId);
}

constexpr const wchar_t* reportCaution[] = {
    L"RecentApps (Windows 10 1607 to 1709) keeps each program's launch count and last",
    L"launch as the search saw them.",
    nullptr,
};

std::any newDetails() {
    return RecentAppsDetails{};
}

void joinFacts(const LaunchRecord& record, JoinFacts& facts) {
    const RecentAppsDetails* details = recentAppsDetails(record);
    if (details != nullptr && record.pathStatus == PathStatus::NoPathRecorded) {
        facts.package = details->appId;
    }
}

void countWords(const LaunchRecord& record, std::wstring& text) {
    if (record.runCountKnown == 0) {
        text += L"launch count not recorded";
        return;
    }
    text += decimalText(record.runCount) + (record.runCount == 1 ? L" launch" : L" launches");
}

} // namespace

const RecordSource recentAppsSource = {
    .number = 12,
    .word = L"RecentApps",
    .described = L"RecentApps (the search's record of each user's recent programs)",
    .runTimeMeaning = L"RecentApps: last launch",
    .viewMenuText = L"Show Rece&ntApps records",
    .countsRuns = true,
    .timesAreRuns = true,
    .proves = Proves::Ran,
    .coverage =
        {
            .reportLabel = L"RecentApps",
            .bannerName = L"RecentApps",
            .mayBeAbsent = true,
            .reportCaution = reportCaution,
            .bannerCaution = L"RecentApps keeps only each program's count and last launch.",
        },
    .counters = recentAppsCounters,
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
    .joinFacts = joinFacts,
    .countWords = countWords,
};

} // namespace tidewell
