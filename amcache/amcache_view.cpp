// How an Amcache record is shown, and how the banner and the report speak
// of the source: its row of the table of sources.
#include "amcache/amcache_counters.h"
#include "amcache/amcache_details.h"
#include "amcache/amcache_source.h"

#include "platform/decimal_text.h"
#include "platform/json_text.h"
#include "platform/text_fold.h"
#include "platform/timestamp_format.h"

namespace tidewell {

namespace {

// Windows hashes at most this much of a file for its Amcache entry.
constexpr std::uint64_t sha1BytesCovered = 31457280;

const AmcacheDetails& detailsOf(const LaunchRecord& record) {
    static const AmcacheDetails none;
    const AmcacheDetails* details = amcacheDetails(record);
    return details != nullptr ? *details : none;
}

const wchar_t* layoutWord(const AmcacheDetails& details) {
    return details.inventoryLayout != 0 ? L"InventoryApplicationFile" : L"File";
}

void namedTimes(const LaunchRecord& record, std::vector<NamedTime>& times) {
    const AmcacheDetails& details = detailsOf(record);
    if (details.lastWritten != 0) {
        times.push_back({"entry_last_written", L"Entry written:     ",
                         L"Amcache: entry last written", details.lastWritten});
    }
    if (details.modified != 0) {
        times.push_back({"amcache_file_modified", L"File modified:     ", L"Amcache: file modified",
                         details.modified});
    }
    if (details.created != 0) {
        times.push_back({"amcache_file_created", L"File created:      ", L"Amcache: file created",
                         details.created});
    }
    if (details.linkTime != 0) {
        times.push_back({"link_time", L"Linked:            ",
                         L"Amcache: file linked (its PE header's date)", details.linkTime});
    }
}

// The SHA-1 stays out of the Hash column, which holds another source's path hash.
void cells(const LaunchRecord&, SourceCells&) {}

std::wstring listDetail(const LaunchRecord& record) {
    const AmcacheDetails& details = detailsOf(record);
    return details.sha1.empty() ? std::wstring(L"no SHA-1 recorded") : L"SHA-1 " + details.sha1;
}

std::wstring line(const wchar_t* label, const std::wstring& value) {
    return std::wstring(label) + (value.empty() ? std::wstring(L"(not recorded)") : value) +
           detailLineEnd;
}

void detailParts(const LaunchRecord& record, const DetailContext& context,
                 SourceDetailParts& parts) {
    const AmcacheDetails& details = detailsOf(record);
    if (record.pathStatus == PathStatus::Resolved && details.inventoryLayout != 0) {
        parts.pathExplanation = L"  \u2014 lower-cased by Windows, as recorded";
    } else if (record.pathStatus == PathStatus::VolumeNotIdentified) {
        parts.pathExplanation = L"  \u2014 kept as Amcache recorded it";
    }
    std::wstring& text = parts.fields;
    text += std::wstring(L"Amcache layout:    Root\\") + layoutWord(details) + detailLineEnd;
    text += L"Entry key:         " + details.entryKey + detailLineEnd;
    text += details.sha1.empty() ? line(L"SHA-1:             ", L"")
                                 : L"SHA-1:             " + details.sha1 + detailUnder +
                                       L"(of at most the file's first " +
                                       decimalText(sha1BytesCovered) + L" bytes)" + detailLineEnd;
    text += line(L"Publisher:         ", details.publisher);
    text += line(L"Product:           ", details.productName);
    text += line(L"Version:           ", details.version);
    text += line(L"Program id:        ", details.programId);
    if (!details.linkDate.empty()) {
        text += L"Link date:         " + details.linkDate + L" (as recorded)" + detailLineEnd;
    }
    text += line(L"File size:         ", details.fileSizeKnown != 0
                                             ? decimalText(details.fileSize) + L" bytes"
                                             : std::wstring());
    std::vector<NamedTime> times;
    namedTimes(record, times);
    for (const NamedTime& time : times) {
        text += std::wstring(time.label) + formatTimestamp(time.time, context.times) +
                (context.times == TimeBasis::Utc ? L" UTC" : L"") + detailLineEnd;
    }
    parts.afterRunTimes =
        L"\r\n    Amcache records that Windows saw the program's file (installed,\r\n"
        L"    scanned or run) and when it last wrote the entry: not each run, nor\r\n"
        L"    that it ran at all.\r\n";
}

void members(JsonWriter& json, const LaunchRecord* record) {
    const AmcacheDetails* details = record != nullptr ? amcacheDetails(*record) : nullptr;
    if (details == nullptr) {
        for (const char* name : {"amcache_layout", "amcache_entry_key", "entry_last_written",
                                 "sha1", "sha1_bytes_covered_at_most", "publisher", "product_name",
                                 "file_version", "program_id", "link_date", "link_time",
                                 "amcache_file_modified", "amcache_file_created", "file_size"}) {
            json.memberNull(name);
        }
        return;
    }
    json.member("amcache_layout", layoutWord(*details));
    json.member("amcache_entry_key", details->entryKey);
    jsonOptionalMoment(json, "entry_last_written", details->lastWritten);
    jsonOptionalText(json, "sha1", details->sha1);
    if (details->sha1.empty()) {
        json.memberNull("sha1_bytes_covered_at_most");
    } else {
        json.member("sha1_bytes_covered_at_most", sha1BytesCovered);
    }
    jsonOptionalText(json, "publisher", details->publisher);
    jsonOptionalText(json, "product_name", details->productName);
    jsonOptionalText(json, "file_version", details->version);
    jsonOptionalText(json, "program_id", details->programId);
    jsonOptionalText(json, "link_date", details->linkDate);
    jsonOptionalMoment(json, "link_time", details->linkTime);
    jsonOptionalMoment(json, "amcache_file_modified", details->modified);
    jsonOptionalMoment(json, "amcache_file_created", details->created);
    if (details->fileSizeKnown != 0) {
        json.member("file_size", details->fileSize);
    } else {
        json.memberNull("file_size");
    }
}

void eventMembers(JsonWriter& json, const LaunchRecord* record) {
    const AmcacheDetails* details = record != nullptr ? amcacheDetails(*record) : nullptr;
    if (details == nullptr) {
        json.memberNull("amcache_entry_key");
        json.memberNull("sha1");
        json.memberNull("publisher");
        return;
    }
    json.member("amcache_entry_key", details->entryKey);
    jsonOptionalText(json, "sha1", details->sha1);
    jsonOptionalText(json, "publisher", details->publisher);
}

std::wstring eventMessage(const LaunchRecord& record, std::size_t time, const std::wstring& onHost,
                          const std::wstring& fromWhere) {
    std::vector<NamedTime> times;
    namedTimes(record, times);
    const std::wstring what =
        time < times.size() ? std::wstring(times[time].meaning) : std::wstring(L"Amcache");
    return L"Amcache" + onHost + L" holds " + record.name + fromWhere + L": " + what +
           L"; an inventory of the file, not a run";
}

// One record per entry and version of it: an older copy whose entry was
// last written at another time is another observation.
std::wstring mergeKey(const LaunchRecord& record) {
    const AmcacheDetails& details = detailsOf(record);
    return foldText(details.entryKey) + L"|" + decimalText(details.lastWritten);
}

constexpr const wchar_t* reportCaution[] = {
    L"Amcache lists program files Windows inventoried (installed, scanned or run)",
    L"with when it last wrote each entry; a row is not a run.",
    nullptr,
};

std::any newDetails() {
    return AmcacheDetails{};
}

void joinFacts(const LaunchRecord& record, JoinFacts& facts) {
    const AmcacheDetails* details = amcacheDetails(record);
    if (details == nullptr) {
        return;
    }
    facts.sha1 = details->sha1;
    facts.sha1Covers = sha1BytesCovered;
    facts.publisher = details->publisher;
    facts.version = details->version;
    facts.fileModified = details->modified;
}

void countWords(const LaunchRecord& /*record*/, std::wstring& text) {
    text += L"inventoried";
}

} // namespace

const RecordSource amcacheSource = {
    .number = 4,
    .word = L"Amcache",
    .described = L"Amcache (Windows' inventory of program files)",
    .runTimeMeaning = L"Amcache: entry last written",
    .viewMenuText = L"Show &Amcache records",
    .countsRuns = false,
    .timesAreRuns = false,
    .proves = Proves::Present,
    .coverage =
        {
            .reportLabel = L"Amcache",
            .bannerName = L"Amcache",
            .mayBeAbsent = true,
            .reportCaution = reportCaution,
            .bannerCaution = L"Amcache lists program files Windows inventoried, with when it last "
                             L"wrote each entry: not runs.",
        },
    .counters = amcacheCounters,
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
