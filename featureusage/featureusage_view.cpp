// How a FeatureUsage record is shown, and how the banner and the report
// speak of the source: its row of the table of sources.
#include "featureusage/featureusage_counters.h"
#include "featureusage/featureusage_details.h"
#include "featureusage/featureusage_source.h"
#include "machine/user_key_sources.h"
#include "platform/decimal_text.h"
#include "platform/json_text.h"
#include "platform/text_fold.h"
#include "platform/timestamp_format.h"

namespace tidewell {

namespace {

const FeatureUsageDetails& detailsOf(const LaunchRecord& record) {
    static const FeatureUsageDetails none;
    const FeatureUsageDetails* details = featureUsageDetails(record);
    return details != nullptr ? *details : none;
}

// What the count counts, in words.
std::wstring countText(const FeatureUsageDetails& details) {
    const std::uint32_t count = details.count;
    switch (details.key) {
    case FeatureUsageKey::AppLaunch:
        return decimalText(count) + (count == 1 ? L" launch" : L" launches") + L" from the taskbar";
    case FeatureUsageKey::AppSwitched:
        return decimalText(count) + (count == 1 ? L" switch" : L" switches") + L" to it";
    case FeatureUsageKey::ShowJumpView:
        break;
    }
    return L"jump list opened " + decimalText(count) + (count == 1 ? L" time" : L" times");
}

const wchar_t* writtenMeaning(FeatureUsageKey key) {
    switch (key) {
    case FeatureUsageKey::AppLaunch:
        return L"FeatureUsage: AppLaunch key last written";
    case FeatureUsageKey::AppSwitched:
        return L"FeatureUsage: AppSwitched key last written";
    case FeatureUsageKey::ShowJumpView:
        break;
    }
    return L"FeatureUsage: ShowJumpView key last written";
}

void namedTimes(const LaunchRecord& record, std::vector<NamedTime>& times) {
    const FeatureUsageDetails& details = detailsOf(record);
    if (details.keyWritten != 0) {
        times.push_back({"feature_usage_key_written", L"Key last written:  ",
                         writtenMeaning(details.key), details.keyWritten});
    }
}

void cells(const LaunchRecord&, SourceCells&) {}

std::wstring listDetail(const LaunchRecord& record) {
    const FeatureUsageDetails& details = detailsOf(record);
    return std::wstring(featureUsageKeyName(details.key)) + L": " + countText(details);
}

void detailParts(const LaunchRecord& record, const DetailContext& context,
                 SourceDetailParts& parts) {
    const FeatureUsageDetails& details = detailsOf(record);
    if (record.pathStatus == PathStatus::NoPathRecorded) {
        parts.pathExplanation = L"  \u2014 an application id, not a file on disk";
    } else if (record.pathStatus == PathStatus::FolderIdUnresolved) {
        parts.pathExplanation = L"  \u2014 a folder id the user's hive does not place";
    } else if (details.folderAtDefault != 0) {
        parts.pathExplanation = std::wstring(L"  \u2014 placed where Windows puts that folder") +
                                detailUnder + L"by default";
    }
    std::wstring& text = parts.fields;
    appendUserLines(text, record);
    text += std::wstring(L"Key:               ") + featureUsageKeyName(details.key) + detailLineEnd;
    text += L"Recorded name:     " + details.recordedName + detailLineEnd;
    text += L"Count:             " + countText(details) + detailLineEnd;
    appendKeyWrittenLine(text, details.keyWritten, context.times);
    parts.afterRunTimes =
        details.key == FeatureUsageKey::AppLaunch
            ? L"\r\n    The taskbar counts launches made from it, not every run; the key's\r\n"
              L"    last writing dates only its newest change, for whichever program.\r\n"
            : L"\r\n    The user used the program while it ran; the key's last writing\r\n"
              L"    dates only its newest change, for whichever program.\r\n";
}

void members(JsonWriter& json, const LaunchRecord* record) {
    const FeatureUsageDetails* details = record != nullptr ? featureUsageDetails(*record) : nullptr;
    if (details == nullptr) {
        for (const char* name : {"feature_usage_key", "feature_usage_name", "feature_usage_count",
                                 "feature_usage_key_written"}) {
            json.memberNull(name);
        }
        return;
    }
    json.member("feature_usage_key", featureUsageKeyName(details->key));
    json.member("feature_usage_name", details->recordedName);
    json.member("feature_usage_count", static_cast<std::uint64_t>(details->count));
    jsonOptionalMoment(json, "feature_usage_key_written", details->keyWritten);
}

void eventMembers(JsonWriter&, const LaunchRecord*) {}

std::wstring eventMessage(const LaunchRecord& record, std::size_t /*index*/,
                          const std::wstring& onHost, const std::wstring& fromWhere) {
    const FeatureUsageDetails& details = detailsOf(record);
    const std::wstring who = whoseRecord(record);
    return std::wstring(L"FeatureUsage") + onHost + L" last changed its " +
           featureUsageKeyName(details.key) + L" key; for " + who + L" it holds " + record.name +
           fromWhere + L": " + countText(details);
}

// One record per user, key and value: an older copy's is the same count
// as it stood then.
std::wstring mergeKey(const LaunchRecord& record) {
    const FeatureUsageDetails& details = detailsOf(record);
    return userMergePart(record) + L"|" + featureUsageKeyName(details.key) + L"|" +
           foldText(details.recordedName);
}

constexpr const wchar_t* reportCaution[] = {
    L"FeatureUsage counts taskbar launches and switches to programs; it keeps no time",
    L"of them, only each key's last writing.",
    nullptr,
};

std::any newDetails() {
    return FeatureUsageDetails{};
}

// An application id of a packaged application joins its package.
void joinFacts(const LaunchRecord& record, JoinFacts& facts) {
    const FeatureUsageDetails* details = featureUsageDetails(record);
    if (details != nullptr && record.pathStatus == PathStatus::NoPathRecorded) {
        facts.package = details->recordedName;
    }
}

void countWords(const LaunchRecord& record, std::wstring& text) {
    text += countText(detailsOf(record));
}

Proves recordProves(const LaunchRecord& record) {
    return detailsOf(record).key == FeatureUsageKey::AppLaunch ? Proves::Ran : Proves::Interacted;
}

} // namespace

const RecordSource featureUsageSource = {
    .number = 8,
    .word = L"FeatureUsage",
    .described = L"FeatureUsage (the taskbar's counts of launches, switches and jump lists)",
    .runTimeMeaning = L"FeatureUsage: key last written",
    .viewMenuText = L"Show &FeatureUsage records",
    .countsRuns = false,
    .timesAreRuns = false,
    .proves = Proves::Ran,
    .coverage =
        {
            .reportLabel = L"FeatureUsage",
            .bannerName = L"FeatureUsage",
            .mayBeAbsent = true,
            .reportCaution = reportCaution,
            .bannerCaution = L"FeatureUsage counts taskbar launches and switches, with no time "
                             L"of them.",
        },
    .counters = featureUsageCounters,
    .facts = {},
    .newDetails = newDetails,
    .namedTimes = namedTimes,
    .cells = cells,
    .listDetail = listDetail,
    .detailParts = detailParts,
    .jsonMembers = members,
    .eventMembers = eventMembers,
    .eventMessage = eventMessage,
    .mergeKey = mergeKey,
    .joinFacts = joinFacts,
    .countWords = countWords,
    .countTogether = nullptr,
    .recordProves = recordProves,
};

} // namespace tidewell
