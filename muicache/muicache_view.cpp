// How a MUICache record is shown, and how the banner and the report speak
// of the source: its row of the table of sources.
#include "machine/user_key_sources.h"
#include "muicache/muicache_counters.h"
#include "muicache/muicache_details.h"
#include "muicache/muicache_source.h"
#include "platform/json_text.h"
#include "platform/text_fold.h"
#include "platform/timestamp_format.h"

namespace tidewell {

namespace {

const MuiCacheDetails& detailsOf(const LaunchRecord& record) {
    static const MuiCacheDetails none;
    const MuiCacheDetails* details = muiCacheDetails(record);
    return details != nullptr ? *details : none;
}

const wchar_t* keyWords(MuiCacheKey key) {
    return key == MuiCacheKey::Classes ? L"the classes hive's Shell\\MuiCache (Vista and later)"
                                       : L"the user's hive's ShellNoRoam\\MUICache (Windows XP)";
}

void namedTimes(const LaunchRecord& record, std::vector<NamedTime>& times) {
    const MuiCacheDetails& details = detailsOf(record);
    if (details.keyWritten != 0) {
        times.push_back({"mui_cache_key_written", L"Key last written:  ",
                         L"MUICache: key last written", details.keyWritten});
    }
}

void cells(const LaunchRecord&, SourceCells&) {}

std::wstring listDetail(const LaunchRecord& record) {
    const MuiCacheDetails& details = detailsOf(record);
    std::wstring text = details.hasDescription != 0 ? details.description : L"";
    if (details.hasCompany != 0 && !details.company.empty()) {
        text += (text.empty() ? L"" : L", ") + details.company;
    }
    return text;
}

void detailParts(const LaunchRecord& record, const DetailContext& context,
                 SourceDetailParts& parts) {
    const MuiCacheDetails& details = detailsOf(record);
    if (record.pathStatus == PathStatus::NoPathRecorded) {
        parts.pathExplanation = L"  \u2014 the shell's name for it names no file on a drive";
    }
    std::wstring& text = parts.fields;
    appendUserLines(text, record);
    text += L"Recorded path:     " + details.recordedPath + detailLineEnd;
    text += L"Description:       " +
            (details.hasDescription != 0 ? details.description : L"(not recorded)") + detailLineEnd;
    text += L"Company:           " +
            (details.hasCompany != 0 ? details.company : L"(not recorded)") + detailLineEnd;
    text += std::wstring(L"Key:               ") + keyWords(details.key) + detailLineEnd;
    appendKeyWrittenLine(text, details.keyWritten, context.times);
    parts.afterRunTimes =
        L"\r\n    The shell read the program's own description from its file to show\r\n"
        L"    it: a renamed program keeps its true description here. No time is\r\n"
        L"    kept; the key's last writing dates only its newest change.\r\n";
}

void members(JsonWriter& json, const LaunchRecord* record) {
    const MuiCacheDetails* details = record != nullptr ? muiCacheDetails(*record) : nullptr;
    if (details == nullptr) {
        for (const char* name :
             {"mui_cache_description", "mui_cache_company", "mui_cache_key_written"}) {
            json.memberNull(name);
        }
        return;
    }
    if (details->hasDescription != 0) {
        json.member("mui_cache_description", details->description);
    } else {
        json.memberNull("mui_cache_description");
    }
    if (details->hasCompany != 0) {
        json.member("mui_cache_company", details->company);
    } else {
        json.memberNull("mui_cache_company");
    }
    jsonOptionalMoment(json, "mui_cache_key_written", details->keyWritten);
}

void eventMembers(JsonWriter&, const LaunchRecord*) {}

std::wstring eventMessage(const LaunchRecord& record, std::size_t /*index*/,
                          const std::wstring& onHost, const std::wstring& fromWhere) {
    const std::wstring who = whoseRecord(record);
    return L"MUICache" + onHost + L" last changed; for " + who + L" it names " + record.name +
           fromWhere + (listDetail(record).empty() ? L"" : L" (" + listDetail(record) + L")");
}

std::wstring mergeKey(const LaunchRecord& record) {
    const MuiCacheDetails& details = detailsOf(record);
    return userMergePart(record) + L"|" + (details.key == MuiCacheKey::Classes ? L"C|" : L"X|") +
           foldText(details.recordedPath);
}

constexpr const wchar_t* reportCaution[] = {
    L"MUICache names programs whose description the shell read to show them; no time.",
    nullptr,
};

std::any newDetails() {
    return MuiCacheDetails{};
}

void countWords(const LaunchRecord&, std::wstring& text) {
    text += L"named by the shell";
}

} // namespace

const RecordSource muiCacheSource = {
    .number = 11,
    .word = L"MUICache",
    .described = L"MUICache (the names the shell read from programs to show them)",
    .runTimeMeaning = L"MUICache: key last written",
    .viewMenuText = L"Show MU&ICache records",
    .countsRuns = false,
    .timesAreRuns = false,
    .proves = Proves::Ran,
    .coverage =
        {
            .reportLabel = L"MUICache",
            .bannerName = L"MUICache",
            .mayBeAbsent = true,
            .reportCaution = reportCaution,
            .bannerCaution = L"MUICache names programs the shell showed, with no time.",
        },
    .counters = muiCacheCounters,
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
