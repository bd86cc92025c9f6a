// How a record of the compatibility cache is shown, and how the banner and
// the report speak of the source: its row of the table of sources.
#include "compatcache/compat_cache_counters.h"
#include "compatcache/compat_cache_details.h"
#include "compatcache/compat_cache_source.h"
#include "platform/decimal_text.h"
#include "platform/json_text.h"
#include "platform/text_fold.h"
#include "platform/timestamp_format.h"

namespace tidewell {

namespace {

const AppCompatCacheDetails& detailsOf(const LaunchRecord& record) {
    static const AppCompatCacheDetails none;
    const AppCompatCacheDetails* details = appCompatCacheDetails(record);
    return details != nullptr ? *details : none;
}

std::wstring hexWord(std::uint32_t value) {
    constexpr wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text = L"0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text.push_back(digits[(value >> shift) & 0xF]);
    }
    return text;
}

std::wstring hexBytes(const std::vector<std::uint8_t>& bytes) {
    constexpr wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t byte : bytes) {
        text.push_back(digits[byte >> 4]);
        text.push_back(digits[byte & 0xF]);
    }
    return text;
}

void namedTimes(const LaunchRecord& record, std::vector<NamedTime>& times) {
    const AppCompatCacheDetails& details = detailsOf(record);
    if (details.modified != 0) {
        times.push_back({"cache_file_modified", L"File modified:     ",
                         L"AppCompatCache: file modified", details.modified});
    }
}

void cells(const LaunchRecord&, SourceCells&) {}

std::wstring listDetail(const LaunchRecord& record) {
    return L"entry " + decimalText(detailsOf(record).position) + L" of the cache";
}

void detailParts(const LaunchRecord& record, const DetailContext& context,
                 SourceDetailParts& parts) {
    const AppCompatCacheDetails& details = detailsOf(record);
    if (record.pathStatus == PathStatus::VolumeNotIdentified) {
        parts.pathExplanation = L"  \u2014 kept as the cache recorded it";
    } else if (record.pathStatus == PathStatus::NoPathRecorded) {
        parts.pathExplanation = L"  \u2014 a packaged application, named by its package";
    }
    std::wstring& text = parts.fields;
    text += L"Cache position:    " + decimalText(details.position) +
            L" (1 is the entry Windows added or used last)" + detailLineEnd;
    text += L"Cache layout:      " + details.layout + detailLineEnd;
    text += L"Recorded path:     " + details.recordedPath + detailLineEnd;
    if (!details.package.empty() && details.package != details.recordedPath) {
        text += L"Package:           " + details.package + detailLineEnd;
    }
    text += L"File modified:     ";
    text += details.modified != 0 ? formatTimestamp(details.modified, context.times) +
                                        (context.times == TimeBasis::Utc ? L" UTC" : L"") +
                                        std::wstring(L" (the file's time as the cache holds it)")
                                  : std::wstring(L"none recorded");
    text += detailLineEnd;
    if (details.hasFlags != 0) {
        text += L"Insertion flags:   " + hexWord(details.insertionFlags) + detailLineEnd;
        text += L"Shim flags:        " + hexWord(details.shimFlags) + detailLineEnd;
    }
    text += L"Entry data:        " +
            (details.entryData.empty() ? std::wstring(L"none")
                                       : decimalText(details.entryData.size()) + L" bytes: " +
                                             hexBytes(details.entryData)) +
            detailLineEnd;
    parts.afterRunTimes =
        L"\r\n    An entry of the compatibility cache says that Windows looked at the\r\n"
        L"    file, not that it ran. Its time is the file's modification time, not a\r\n"
        L"    run time. What its flags and data mean is disputed: they are shown as\r\n"
        L"    recorded, and no flag is read as \"executed\".\r\n";
    if (!context.evidence) {
        parts.afterRunTimes +=
            L"    Windows writes this machine's cache when it shuts down: what it saw\r\n"
            L"    since it last started is not in it yet.\r\n";
    }
}

void members(JsonWriter& json, const LaunchRecord* record) {
    const AppCompatCacheDetails* details =
        record != nullptr ? appCompatCacheDetails(*record) : nullptr;
    if (details == nullptr) {
        for (const char* name :
             {"cache_position", "cache_file_modified", "cache_layout", "cache_recorded_path",
              "cache_package", "insertion_flags", "shim_flags", "cache_entry_data"}) {
            json.memberNull(name);
        }
        return;
    }
    json.member("cache_position", details->position);
    jsonOptionalMoment(json, "cache_file_modified", details->modified);
    json.member("cache_layout", details->layout);
    json.member("cache_recorded_path", details->recordedPath);
    jsonOptionalText(json, "cache_package", details->package);
    if (details->hasFlags != 0) {
        json.member("insertion_flags", hexWord(details->insertionFlags));
        json.member("shim_flags", hexWord(details->shimFlags));
    } else {
        json.memberNull("insertion_flags");
        json.memberNull("shim_flags");
    }
    json.member("cache_entry_data", hexBytes(details->entryData));
}

// A timeline event carries the same, but the entry's data.
void eventMembers(JsonWriter& json, const LaunchRecord* record) {
    const AppCompatCacheDetails* details =
        record != nullptr ? appCompatCacheDetails(*record) : nullptr;
    if (details == nullptr) {
        json.memberNull("cache_position");
        json.memberNull("cache_recorded_path");
        return;
    }
    json.member("cache_position", details->position);
    json.member("cache_recorded_path", details->recordedPath);
}

std::wstring eventMessage(const LaunchRecord& record, std::size_t /*time*/,
                          const std::wstring& onHost, const std::wstring& fromWhere) {
    return L"Windows' compatibility cache" + onHost + L" holds " + record.name + fromWhere +
           L" (entry " + decimalText(detailsOf(record).position) +
           L"), a file last modified at this time; the entry does not show that it ran";
}

// The same file at the same modification time is the same entry in every
// copy; its place in the cache moves as other files are added.
std::wstring mergeKey(const LaunchRecord& record) {
    const AppCompatCacheDetails& details = detailsOf(record);
    return foldText(details.recordedPath) + L"|" + decimalText(details.modified);
}

constexpr const wchar_t* reportCaution[] = {
    L"AppCompatCache lists files Windows looked at; a row is not proof that one ran,",
    L"and its time is the file's modification time, not a run time.",
    nullptr,
};

std::any newDetails() {
    return AppCompatCacheDetails{};
}

void joinFacts(const LaunchRecord& record, JoinFacts& facts) {
    const AppCompatCacheDetails* details = appCompatCacheDetails(record);
    if (details == nullptr) {
        return;
    }
    facts.package = details->package;
    facts.fileModified = details->modified;
    if (startsWithFolded(details->recordedPath, L"\\Device\\")) {
        facts.devicePath = details->recordedPath;
    }
}

void countWords(const LaunchRecord& record, std::wstring& text) {
    const AppCompatCacheDetails* details = appCompatCacheDetails(record);
    if (details == nullptr) {
        text += L"entry";
        return;
    }
    text += L"position ";
    appendDecimal(text, details->position);
}

} // namespace

const RecordSource appCompatCacheSource = {
    .number = 3,
    .word = L"AppCompatCache",
    .described = L"AppCompatCache (the application compatibility cache: files Windows looked at)",
    .runTimeMeaning = L"AppCompatCache: file modified",
    .viewMenuText = L"Show App&CompatCache records",
    .countsRuns = false,
    .timesAreRuns = false,
    .proves = Proves::Present,
    .coverage =
        {
            .reportLabel = L"AppCompatCache",
            .bannerName = L"the compatibility cache",
            .mayBeAbsent = true,
            .reportCaution = reportCaution,
            .bannerCaution = L"The compatibility cache lists files Windows looked at, with their "
                             L"modification times: not runs.",
            .liveNote = L"Windows writes this machine's compatibility cache when it shuts down: "
                        L"what it saw since it last started is not in it.",
        },
    .counters = compatCacheCounters,
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
};

} // namespace tidewell
