#include "report/json_report.h"

#include <cstring>

#include "core/path_status_word.h"
#include "core/record_source.h"
#include "core/scan_fact_table.h"
#include "platform/decimal_text.h"
#include "platform/json_text.h"
#include "platform/text_format.h"
#include "platform/utc_calendar.h"
#include "report/completeness.h"
#include "report/host_names.h"
#include "report/json_programs.h"

namespace tidewell {

namespace {

void coverage(JsonWriter& json, const ScanTally& tally, const ScanFacts& facts) {
    json.key("coverage");
    json.beginObject();
    json.key("facts");
    json.beginObject();
    // A fact the scan could not establish, or that does not apply, is null.
    const auto member = [&json](const char* key, FactValue value, bool flag) {
        if (value.state != FactState::Known) {
            json.memberNull(key);
        } else if (flag) {
            json.memberFlag(key, value.value != 0);
        } else {
            json.member(key, value.value);
        }
    };
    for (const ScanFactLine& fact : scanFactsBeforeSources) {
        member(fact.key, factValue(fact, facts), fact.flag != nullptr);
    }
    for (const ScanFacts::Stated& stated : facts.stated) {
        member(stated.fact->key, stated.value, stated.fact->flag);
    }
    for (const ScanFactLine& fact : scanFactsAfterSources) {
        member(fact.key, factValue(fact, facts), fact.flag != nullptr);
    }
    // Without a span its two moments mean nothing and are not given.
    jsonOptionalMoment(json, "span_oldest", facts.spanKnown != 0 ? facts.spanOldest : 0);
    jsonOptionalMoment(json, "span_newest", facts.spanKnown != 0 ? facts.spanNewest : 0);
    json.endObject();
    json.key("counters");
    json.beginObject();
    for (const ScanTally::Count& held : tally.counts) {
        json.member(held.counter->key, held.count);
    }
    json.endObject();
    json.memberFlag("complete", reportIsComplete(tally, facts));
    json.key("reasons");
    json.beginArray();
    for (const std::wstring& reason : incompletenessReasons(tally, facts)) {
        json.string(reason);
    }
    json.endArray();
    json.endObject();
}

// Every hive file an evidence scan looked for, and every entry it refused to
// read; a scan of this machine reads the hives Windows has loaded, and has
// neither list.
void evidenceFiles(JsonWriter& json, const ScanOrigin& origin) {
    if (!origin.evidence) {
        json.memberNull("hives");
        json.memberNull("refused_entries");
        return;
    }
    json.key("hives");
    json.beginArray();
    for (const ExaminedHive& hive : origin.hives) {
        json.beginObject();
        json.member("hive", hive.hive);
        jsonOptionalText(json, "path", hive.path);
        jsonOptionalText(json, "machine_path", hive.machinePath);
        jsonOptionalText(json, "user_sid", hive.userSid);
        jsonOptionalText(json, "user_name", hive.userName);
        json.member("outcome", hiveOutcomeWord(hive.outcome));
        json.member("log_entries_applied", hive.logEntriesApplied);
        json.memberFlag("earlier_log_entries_missing", hive.earlierEntriesMissing);
        jsonOptionalText(json, "why", hive.why);
        json.endObject();
    }
    json.endArray();
    json.key("refused_entries");
    json.beginArray();
    for (const RefusedEntry& refused : origin.refused) {
        json.beginObject();
        json.member("path", refused.path);
        json.member("why", refused.why);
        json.endObject();
    }
    json.endArray();
}

// Every source: whether the examined machine keeps it, and whether it was
// read, with what was read of it.
void sourcesMember(JsonWriter& json, const ScanOrigin& origin) {
    json.key("sources");
    json.beginArray();
    for (const SourceReading& reading : origin.sources) {
        const RecordSource& view = *reading.source;
        json.beginObject();
        json.member("source", view.word);
        json.member("presence", sourcePresenceWords(reading.presence));
        jsonOptionalText(json, "note", reading.note);
        json.memberFlag("times_are_runs", view.timesAreRuns);
        json.endObject();
    }
    json.endArray();
}

// A disk image: what of it was read.
void imageRead(JsonWriter& json, const ScanOrigin& origin) {
    if (!origin.image) {
        return; // a folder's or this machine's document stays as it was
    }
    const ImageOrigin& image = origin.imageRead;
    json.key("image");
    json.beginObject();
    json.member("path", image.path);
    json.member("format", image.format);
    jsonOptionalText(json, "partition_table", image.partitionTable);
    jsonOptionalText(json, "partition_table_damage", image.partitionTableDamage);
    if (image.partition == 0) {
        json.memberNull("partition");
    } else {
        json.member("partition", image.partition);
    }
    json.member("offset", image.offset);
    jsonOptionalText(json, "file_system", image.fileSystem);
    json.memberFlag("shadow_copy_catalog_unreadable", image.shadowCatalogUnreadable);
    json.endObject();
}

// A Velociraptor collection: what of it was read, what it says of itself and
// whether that agrees with what the examined machine's registry says.
void collectionRead(JsonWriter& json, const ScanOrigin& origin) {
    if (!origin.collection) {
        return;
    }
    const CollectionOrigin& collection = origin.collectionRead;
    json.key("collection");
    json.beginObject();
    json.member("path", collection.path);
    json.member("form", collection.zip ? L"zip" : L"folder");
    jsonOptionalText(json, "device", collection.device);
    jsonOptionalText(json, "stored", collection.stored);
    jsonOptionalText(json, "host_name", collection.hostName);
    json.key("host_name_agrees");
    switch (hostNamesAgree(collection.hostName, origin.hostName)) {
    case NamesAgree::Agree:
        json.boolean(true);
        break;
    case NamesAgree::Disagree:
        json.boolean(false);
        break;
    case NamesAgree::NotKnown:
        json.null();
        break;
    }
    jsonOptionalMoment(json, "collected_at", collection.collectedAt);
    json.key("metadata_unreadable");
    json.beginArray();
    for (const std::wstring& name : collection.metadataUnreadable) {
        json.string(name);
    }
    json.endArray();
    json.endObject();
}

// Every state of the machine the scan read (the current one, then each
// shadow copy), to which the records' copies point.
void copiesRead(JsonWriter& json, const ScanOrigin& origin) {
    if (!origin.image && !origin.collection) {
        return;
    }
    json.key("copies");
    json.beginArray();
    for (const MachineCopy& copy : origin.copies) {
        json.beginObject();
        json.member("label", copy.label);
        jsonOptionalMoment(json, "created", copy.created);
        jsonOptionalText(json, "identifier", copy.identifier);
        json.memberFlag("read", copy.read);
        json.endObject();
    }
    json.endArray();
}

// Where a record was found, where the scan read more than one state of the
// machine: the states (indexes into "copies"), and whether it was found only
// in older ones.
void copyMembers(JsonWriter& json, const LaunchRecord& record) {
    if (record.copies.empty()) {
        return;
    }
    json.key("copies");
    json.beginArray();
    for (CopyIndex copy : record.copies) {
        json.number(copy);
    }
    json.endArray();
    json.memberFlag("only_in_shadow_copies", record.copies.front() != 0);
}

// The fields every record has, whatever its source.
void commonFields(JsonWriter& json, const LaunchRecord& record) {
    json.member("source", record.source->word);
    json.member("name", record.name);
    json.member("path", record.path);
    json.member("path_status", pathStatusWord(record.pathStatus));
    json.key("run_count");
    if (record.runCountKnown != 0) {
        json.number(record.runCount);
    } else {
        json.null(); // withheld: never shown as a number
    }
    json.memberFlag("run_count_known", record.runCountKnown != 0);
    json.member("user_name", record.userName);
    json.member("user_sid", record.userSid);
    json.member("record_file", record.recordFile);
}

// Every source's members: the record's own source gives its values, every
// other source its members as they stand for a record not its own.
template <typename Members>
void sourceMembers(JsonWriter& json, const LaunchRecord& record,
                   const std::vector<const RecordSource*>& sources, Members members) {
    for (const RecordSource* source : sources) {
        (source->*members)(json, source == record.source ? &record : nullptr);
    }
}

std::wstring fromWhere(const LaunchRecord& record) {
    if (record.path.empty()) {
        return L" (no path recorded)";
    }
    std::wstring text = L" from " + record.path;
    if (record.pathStatus != PathStatus::Resolved) {
        text += L" (" + std::wstring(pathStatusWord(record.pathStatus)) + L")";
    }
    return text;
}

} // namespace

std::string jsonReportOpening(const ScanTally& tally, const ScanFacts& facts,
                              const ScanOrigin& origin) {
    JsonWriter json;
    json.beginObject();
    json.key("tool");
    json.beginObject();
    json.member("name", L"Tidewell");
    json.member("version", TIDEWELL_VERSION_TEXT);
    json.endObject();
    json.key("scanned");
    json.beginObject();
    json.member("kind", origin.collection ? L"velociraptor collection"
                        : origin.image    ? L"disk image"
                        : origin.evidence ? L"evidence root"
                                          : L"this machine");
    jsonOptionalText(json, "host", origin.hostName);
    if (origin.evidence) {
        json.member("evidence_folder", origin.evidenceFolder);
    } else {
        json.memberNull("evidence_folder");
    }
    evidenceFiles(json, origin);
    sourcesMember(json, origin);
    imageRead(json, origin);
    collectionRead(json, origin);
    copiesRead(json, origin);
    json.endObject();
    coverage(json, tally, facts);
    json.text += ",\"records\":[";
    return json.text;
}

std::vector<const RecordSource*> sourcesRead(const ScanOrigin& origin) {
    std::vector<const RecordSource*> sources;
    for (const SourceReading& reading : origin.sources) {
        sources.push_back(reading.source);
    }
    return sources;
}

std::string jsonReportRecord(const LaunchRecord& record,
                             const std::vector<const RecordSource*>& sources, bool first) {
    JsonWriter json;
    json.text = first ? "\n" : ",\n";
    json.beginObject();
    commonFields(json, record);
    json.key("run_times");
    json.beginArray();
    const bool withCopies =
        record.runTimeCopies.size() == record.runTimes.size() && !record.runTimeCopies.empty();
    for (std::size_t run = 0; run < record.runTimes.size(); ++run) {
        if (!withCopies) {
            jsonMoment(json, record.runTimes[run]);
            continue;
        }
        // The moment, and the state of the machine it was found in.
        json.beginObject();
        jsonMomentMembers(json, record.runTimes[run]);
        json.member("copy", record.runTimeCopies[run]);
        json.endObject();
    }
    json.endArray();
    copyMembers(json, record);
    sourceMembers(json, record, sources, &RecordSource::jsonMembers);
    json.endObject();
    return json.text;
}

std::string jsonReportClosing(const ProgramList& programs, const RecordList& records,
                              const ScanOrigin& origin) {
    return "\n]" + jsonProgramMembers(programs, records, origin) + "}\n";
}

TimelineScan timelineScan(const ScanTally& tally, const ScanFacts& facts,
                          const ScanOrigin& origin) {
    return TimelineScan{origin.hostName, origin.evidence ? origin.evidenceFolder : L"",
                        reportIsComplete(tally, facts), incompletenessReasons(tally, facts),
                        sourcesRead(origin)};
}

namespace {

// One event of the timeline: a moment of a record under its meaning, with
// the record's fields and the scan's coverage verdict.
struct TimelineMoment {
    std::uint64_t time = 0;
    const wchar_t* meaning = nullptr;
    std::wstring message;
    const char* timeName = nullptr; // a named time's member; null for a run time
    std::size_t runIndex = 0;       // a run time's, from 1
};

void appendEvent(std::string& lines, const LaunchRecord& record, std::uint32_t program,
                 const TimelineScan& scan, const TimelineMoment& moment) {
    const std::wstring datetime = isoUtcMicrosecondsText(moment.time);
    if (datetime.empty()) {
        return; // a time no calendar holds has no place on a timeline
    }
    JsonWriter json;
    json.beginObject();
    json.member("message", moment.message);
    json.member("datetime", datetime);
    json.key("timestamp");
    json.signedNumber(unixMicroseconds(moment.time));
    json.member("timestamp_desc", moment.meaning);
    commonFields(json, record);
    sourceMembers(json, record, scan.sources, &RecordSource::eventMembers);
    json.member("filetime", moment.time);
    json.member("program", program);
    if (moment.timeName == nullptr) {
        json.member("run_index", moment.runIndex);
        json.member("run_times_recorded", record.runTimes.size());
        if (moment.runIndex - 1 < record.runTimeCopies.size()) {
            json.member("copy", record.runTimeCopies[moment.runIndex - 1]);
        }
    } else {
        json.member("time_name",
                    std::wstring(moment.timeName, moment.timeName + std::strlen(moment.timeName)));
    }
    jsonOptionalText(json, "host", scan.host);
    jsonOptionalText(json, "evidence_folder", scan.evidenceFolder);
    json.memberFlag("coverage_complete", scan.complete);
    json.key("coverage_reasons");
    json.beginArray();
    for (const std::wstring& reason : scan.reasons) {
        json.string(reason);
    }
    json.endArray();
    json.endObject();
    lines += json.text;
    lines.push_back('\n');
}

} // namespace

std::string timelineEvents(const LaunchRecord& record, std::uint32_t program,
                           const TimelineScan& scan) {
    const RecordSource& view = *record.source;
    const std::wstring onHost = scan.host.empty() ? std::wstring() : L" on " + scan.host;
    std::string lines;
    for (std::size_t run = 0; run < record.runTimes.size(); ++run) {
        TimelineMoment moment;
        moment.time = record.runTimes[run];
        moment.meaning = view.runTimeMeaning;
        moment.message = view.eventMessage(record, run, onHost, fromWhere(record));
        moment.runIndex = run + 1;
        appendEvent(lines, record, program, scan, moment);
    }
    // A source's other times, each under its own name.
    std::vector<NamedTime> times;
    if (view.namedTimes != nullptr) {
        view.namedTimes(record, times);
    }
    for (std::size_t index = 0; index < times.size(); ++index) {
        TimelineMoment moment;
        moment.time = times[index].time;
        moment.meaning = times[index].meaning;
        moment.message = view.eventMessage(record, index, onHost, fromWhere(record));
        moment.timeName = times[index].key;
        appendEvent(lines, record, program, scan, moment);
    }
    return lines;
}

} // namespace tidewell
