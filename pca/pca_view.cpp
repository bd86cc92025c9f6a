// How a PCA record is shown, and how the banner and the report speak of the
// source: its row of the table of sources.
#include "pca/pca_counters.h"
#include "pca/pca_details.h"
#include "pca/pca_source.h"
#include "platform/decimal_text.h"
#include "platform/json_text.h"
#include "platform/text_fold.h"
#include "platform/timestamp_format.h"

namespace tidewell {

namespace {

const PcaDetails& detailsOf(const LaunchRecord& record) {
    static const PcaDetails none;
    const PcaDetails* details = pcaDetails(record);
    return details != nullptr ? *details : none;
}

bool inDictionary(const PcaDetails& details) {
    return details.kind == PcaFileKind::LaunchDictionary;
}

// A database line's time is the event's, not a launch's.
void namedTimes(const LaunchRecord& record, std::vector<NamedTime>& times) {
    const PcaDetails& details = detailsOf(record);
    if (!inDictionary(details) && details.line.time != 0) {
        times.push_back({"pca_event_time", L"Event time:        ",
                         L"PCA: event of a started program (such as its abnormal exit)",
                         details.line.time});
    }
}

void cells(const LaunchRecord&, SourceCells&) {}

std::wstring listDetail(const LaunchRecord& record) {
    const PcaDetails& details = detailsOf(record);
    if (inDictionary(details)) {
        return L"last launch the compatibility assistant saw";
    }
    return details.line.exitText.empty() ? L"record type " + details.line.recordType
                                         : details.line.exitText;
}

void textLine(std::wstring& text, const wchar_t* label, const std::wstring& value) {
    text += label + (value.empty() ? std::wstring(L"(empty)") : value) + detailLineEnd;
}

void detailParts(const LaunchRecord& record, const DetailContext& context,
                 SourceDetailParts& parts) {
    const PcaDetails& details = detailsOf(record);
    const PcaLine& line = details.line;
    if (record.pathStatus == PathStatus::FolderIdUnresolved) {
        parts.pathExplanation = std::wstring(L"  \u2014 a user's folder; the file does not") +
                                detailUnder + L"say whose";
    } else if (record.pathStatus == PathStatus::VolumeNotIdentified) {
        parts.pathExplanation = L"  \u2014 recorded without its drive";
    }
    if (record.path != line.path) {
        parts.afterPath = L"    Recorded as: " + line.path + detailLineEnd;
    }
    std::wstring& text = parts.fields;
    text += L"File:              " + details.fileName + L", line " + decimalText(line.lineNumber) +
            detailLineEnd;
    if (!inDictionary(details)) {
        text += L"Record type:       " + line.recordType + detailLineEnd;
        textLine(text, L"Event:             ", line.exitText);
        textLine(text, L"Product:           ", line.product);
        textLine(text, L"Company:           ", line.company);
        textLine(text, L"Version:           ", line.version);
        textLine(text, L"Program id:        ", line.programId);
        if (line.time != 0) {
            text += L"Event time:        " + formatTimestamp(line.time, context.times) +
                    (context.times == TimeBasis::Utc ? L" UTC" : L"") + detailLineEnd;
        }
    }
    if (line.time == 0) {
        text += L"Recorded time:     " + line.recordedTime +
                L"  \u2014 not a possible date; withheld" + detailLineEnd;
    }
    if (inDictionary(details)) {
        parts.runTimesTitle = L" (the last launch the compatibility assistant saw, UTC as kept)";
        parts.afterRunTimes =
            L"\r\n    The launch dictionary keeps one line per program: its last launch,\r\n"
            L"    not how often it ran.\r\n";
    } else {
        parts.runTimesTitle = L" (the database records events, not launches)";
        parts.afterRunTimes =
            L"\r\n    The compatibility assistant recorded an event of the running program\r\n"
            L"    (its time is above): it ran, though not when it started.\r\n";
    }
}

void members(JsonWriter& json, const LaunchRecord* record) {
    const PcaDetails* details = record != nullptr ? pcaDetails(*record) : nullptr;
    const char* names[] = {"pca_file",    "pca_line",       "pca_recorded_path", "pca_record_type",
                           "pca_product", "pca_company",    "pca_version",       "pca_program_id",
                           "pca_event",   "pca_event_time", "pca_recorded_time"};
    if (details == nullptr) {
        for (const char* name : names) {
            json.memberNull(name);
        }
        return;
    }
    const PcaLine& line = details->line;
    const bool dictionary = inDictionary(*details);
    json.member("pca_file", details->fileName);
    json.member("pca_line", static_cast<std::uint64_t>(line.lineNumber));
    json.member("pca_recorded_path", line.path);
    const auto databaseField = [&](const char* name, const std::wstring& value) {
        if (dictionary) {
            json.memberNull(name); // the dictionary has no such field
        } else {
            json.member(name, value);
        }
    };
    databaseField("pca_record_type", line.recordType);
    databaseField("pca_product", line.product);
    databaseField("pca_company", line.company);
    databaseField("pca_version", line.version);
    databaseField("pca_program_id", line.programId);
    databaseField("pca_event", line.exitText);
    jsonOptionalMoment(json, "pca_event_time", dictionary ? 0 : line.time);
    json.member("pca_recorded_time", line.recordedTime);
}

void eventMembers(JsonWriter&, const LaunchRecord*) {}

std::wstring eventMessage(const LaunchRecord& record, std::size_t /*index*/,
                          const std::wstring& onHost, const std::wstring& fromWhere) {
    const PcaDetails& details = detailsOf(record);
    if (inDictionary(details)) {
        return record.name + fromWhere + L" was last launched" + onHost +
               L", as the compatibility assistant's launch dictionary recorded it";
    }
    std::wstring text =
        L"The compatibility assistant" + onHost + L" recorded " + record.name + fromWhere;
    text += details.line.exitText.empty() ? L": record type " + details.line.recordType
                                          : L": " + details.line.exitText;
    return text;
}

// The dictionary's line of a program is one record in every state of the
// machine (an older copy's time is an earlier launch); a database's line is
// one event, the same in either database once rotated.
std::wstring mergeKey(const LaunchRecord& record) {
    const PcaDetails& details = detailsOf(record);
    const PcaLine& line = details.line;
    if (inDictionary(details)) {
        return L"D|" + foldText(line.path);
    }
    return L"G|" + line.recordedTime + L"|" + foldText(line.path) + L"|" + line.recordType + L"|" +
           line.exitText;
}

constexpr const wchar_t* reportCaution[] = {
    L"PCA keeps each program's last launch the compatibility assistant saw, and events",
    L"(such as abnormal exits) of programs it watched; it does not see every start.",
    nullptr,
};

std::any newDetails() {
    return PcaDetails{};
}

void countWords(const LaunchRecord& record, std::wstring& text) {
    text += inDictionary(detailsOf(record)) ? L"last launch" : L"1 event";
}

} // namespace

const RecordSource pcaSource = {
    .number = 7,
    .word = L"PCA",
    .described = L"PCA (the Program Compatibility Assistant's launch dictionary and databases)",
    .runTimeMeaning = L"PCA: last launch",
    .viewMenuText = L"Show PCA &launch records",
    .countsRuns = false,
    .timesAreRuns = true,
    .proves = Proves::Ran,
    .coverage =
        {
            .reportLabel = L"PCA",
            .bannerName = L"PCA",
            .mayBeAbsent = true,
            .reportCaution = reportCaution,
            .bannerCaution = L"PCA keeps only each program's last launch the compatibility "
                             L"assistant saw, and some of its events.",
        },
    .counters = pcaCounters,
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
