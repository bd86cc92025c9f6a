// How a Compatibility Assistant store record is shown, and how the banner
// and the report speak of the source: its row of the table of sources.
#include "castore/castore_counters.h"
#include "castore/castore_details.h"
#include "castore/castore_source.h"
#include "machine/user_key_sources.h"
#include "platform/decimal_text.h"
#include "platform/json_text.h"
#include "platform/text_fold.h"
#include "platform/timestamp_format.h"

namespace tidewell {

namespace {

const CompatibilityStoreDetails& detailsOf(const LaunchRecord& record) {
    static const CompatibilityStoreDetails none;
    const CompatibilityStoreDetails* details = compatibilityStoreDetails(record);
    return details != nullptr ? *details : none;
}

void namedTimes(const LaunchRecord& record, std::vector<NamedTime>& times) {
    const CompatibilityStoreDetails& details = detailsOf(record);
    if (details.keyWritten != 0) {
        times.push_back({"compatibility_store_key_written", L"Key last written:  ",
                         L"Compatibility Assistant store: key last written", details.keyWritten});
    }
}

void cells(const LaunchRecord&, SourceCells&) {}

std::wstring listDetail(const LaunchRecord& record) {
    return record.pathStatus == PathStatus::NoPathRecorded
               ? L"started from removable media: " + detailsOf(record).recordedName
               : L"watched by the compatibility assistant";
}

void detailParts(const LaunchRecord& record, const DetailContext& context,
                 SourceDetailParts& parts) {
    const CompatibilityStoreDetails& details = detailsOf(record);
    if (record.pathStatus == PathStatus::NoPathRecorded) {
        parts.pathExplanation = std::wstring(L"  \u2014 a program on removable media, named by") +
                                detailUnder + L"the media's signature";
    }
    std::wstring& text = parts.fields;
    appendUserLines(text, record);
    text += L"Recorded name:     " + details.recordedName + detailLineEnd;
    text += L"Data:              " + groupedDecimalText(details.dataSize) + L" bytes, type " +
            decimalText(details.type) +
            (details.signature != 0 ? L", the assistant's (SACP); not interpreted"
                                    : L"; not in the assistant's usual form") +
            detailLineEnd;
    appendKeyWrittenLine(text, details.keyWritten, context.times);
    parts.afterRunTimes =
        L"\r\n    The compatibility assistant watched this program start; the store\r\n"
        L"    keeps no time of it, and the key's last writing dates only its newest\r\n"
        L"    change, for whichever program.\r\n";
}

void members(JsonWriter& json, const LaunchRecord* record) {
    const CompatibilityStoreDetails* details =
        record != nullptr ? compatibilityStoreDetails(*record) : nullptr;
    if (details == nullptr) {
        for (const char* name : {"compatibility_store_name", "compatibility_store_data_size",
                                 "compatibility_store_key_written"}) {
            json.memberNull(name);
        }
        return;
    }
    json.member("compatibility_store_name", details->recordedName);
    json.member("compatibility_store_data_size", static_cast<std::uint64_t>(details->dataSize));
    jsonOptionalMoment(json, "compatibility_store_key_written", details->keyWritten);
}

void eventMembers(JsonWriter&, const LaunchRecord*) {}

std::wstring eventMessage(const LaunchRecord& record, std::size_t /*index*/,
                          const std::wstring& onHost, const std::wstring& fromWhere) {
    const std::wstring who = whoseRecord(record);
    return L"The Compatibility Assistant store" + onHost + L" last changed; for " + who +
           L" it holds " + record.name + fromWhere + L", a program the assistant watched start";
}

std::wstring mergeKey(const LaunchRecord& record) {
    return userMergePart(record) + L"|" + foldText(detailsOf(record).recordedName);
}

constexpr const wchar_t* reportCaution[] = {
    L"The Compatibility Assistant store names programs the assistant watched start,",
    L"with no time of each.",
    nullptr,
};

std::any newDetails() {
    return CompatibilityStoreDetails{};
}

void countWords(const LaunchRecord&, std::wstring& text) {
    text += L"watched start";
}

} // namespace

const RecordSource compatibilityStoreSource = {
    .number = 10,
    .word = L"Compatibility store",
    .described = L"Compatibility Assistant store (programs the assistant watched start)",
    .runTimeMeaning = L"Compatibility Assistant store: key last written",
    .viewMenuText = L"Show c&ompatibility store records",
    .countsRuns = false,
    .timesAreRuns = false,
    .proves = Proves::Ran,
    .coverage =
        {
            .reportLabel = L"Compatibility store",
            .bannerName = L"the Compatibility Assistant store",
            .mayBeAbsent = true,
            .reportCaution = reportCaution,
            .bannerCaution = L"The Compatibility Assistant store names programs that started, "
                             L"with no time of each.",
        },
    .counters = compatibilityStoreCounters,
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
    .joinFacts = nullptr,
    .countWords = countWords,
};

} // namespace tidewell
