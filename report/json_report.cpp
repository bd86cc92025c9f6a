#include "report/json_report.h"

#include "core/path_status_word.h"
#include "core/scan_counters.h"
#include "platform/decimal_text.h"
#include "platform/text_format.h"
#include "platform/utc_calendar.h"
#include "report/completeness.h"
#include "report/json_text.h"

namespace tidewell {

namespace {

bool isPrefetch(const LaunchRecord& record) {
    return record.source == RecordSource::Prefetch;
}

// A moment both ways: the raw FILETIME and ISO 8601 UTC to 100 ns.
void moment(JsonWriter& json, std::uint64_t value) {
    json.beginObject();
    json.member("filetime", value);
    const std::wstring text = isoUtcText(value);
    if (text.empty()) {
        json.memberNull("utc");
    } else {
        json.member("utc", text);
    }
    json.endObject();
}

void optionalMoment(JsonWriter& json, std::string_view name, std::uint64_t value) {
    json.key(name);
    if (value == 0) {
        json.null();
    } else {
        moment(json, value);
    }
}

void coverage(JsonWriter& json, const ScanTally& tally, const ScanFacts& facts) {
    json.key("coverage");
    json.beginObject();
    json.key("facts");
    json.beginObject();
    // A fact the scan could not establish, or that does not apply, is null.
    const auto flag = [&](std::string_view name, std::uint8_t value, bool known) {
        if (known) {
            json.memberFlag(name, value != 0);
        } else {
            json.memberNull(name);
        }
    };
    const auto number = [&](std::string_view name, std::uint32_t value, bool known) {
        if (known) {
            json.member(name, value);
        } else {
            json.memberNull(name);
        }
    };
    flag("elevated", facts.elevated, facts.elevationNotApplicable == 0);
    flag("enable_prefetcher_present", facts.enablePrefetcherPresent,
         facts.prefetcherSettingNotKnown == 0);
    number("enable_prefetcher_value", facts.enablePrefetcherValue,
           facts.prefetcherSettingNotKnown == 0 &&
               (facts.enablePrefetcherPresent != 0 || facts.prefetchEnabledNotKnown == 0));
    flag("prefetch_enabled", facts.prefetchEnabled, facts.prefetchEnabledNotKnown == 0);
    json.memberFlag("prefetch_dir_readable", facts.prefetchDirReadable != 0);
    number("prefetch_retention_limit", facts.prefetchRetentionLimit,
           facts.retentionLimitNotKnown == 0);
    json.memberFlag("profile_coverage_known", facts.profileCoverageKnown != 0);
    json.member("profiles_on_machine", facts.profilesOnMachine);
    json.member("profiles_examined", facts.profilesExamined);
    json.member("profiles_not_examined", facts.profilesNotExamined);
    json.memberFlag("span_known", facts.spanKnown != 0);
    // Without a span its two moments mean nothing and are not given.
    optionalMoment(json, "span_oldest", facts.spanKnown != 0 ? facts.spanOldest : 0);
    optionalMoment(json, "span_newest", facts.spanKnown != 0 ? facts.spanNewest : 0);
    json.endObject();
    json.key("counters");
    json.beginObject();
    for (const ScanCounter& counter : scanCounters) {
        json.member(counter.key, tally.*counter.member);
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

// Text that may be absent: null rather than an empty string.
void optionalText(JsonWriter& json, std::string_view name, const std::wstring& text) {
    if (text.empty()) {
        json.memberNull(name);
    } else {
        json.member(name, text);
    }
}

// Every hive file an evidence scan looked for, and every entry it would not
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
        optionalText(json, "path", hive.path);
        optionalText(json, "machine_path", hive.machinePath);
        optionalText(json, "user_sid", hive.userSid);
        optionalText(json, "user_name", hive.userName);
        json.member("outcome", hiveOutcomeWord(hive.outcome));
        json.member("log_entries_applied", hive.logEntriesApplied);
        json.memberFlag("earlier_log_entries_missing", hive.earlierEntriesMissing);
        optionalText(json, "why", hive.why);
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

void volume(JsonWriter& json, const PrefetchVolume& entry) {
    json.beginObject();
    json.member("device_path", entry.devicePath);
    json.member("serial", entry.serial);
    json.member("serial_hex", hex8Text(entry.serial));
    optionalMoment(json, "created", entry.created);
    json.endObject();
}

// The fields every record has, both sources alike; a field that does not
// apply to the record's source is null, as the CSV report leaves it empty.
void recordFields(JsonWriter& json, const LaunchRecord& record) {
    const bool prefetch = isPrefetch(record);
    json.member("source", prefetch ? L"Prefetch" : L"UserAssist");
    json.member("name", record.name);
    json.memberFlag("name_truncated", record.nameTruncated != 0);
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
    if (record.hasFocus != 0) {
        json.member("focus_count", record.focusCount);
        json.member("focus_milliseconds", record.focusMilliseconds);
    } else {
        json.memberNull("focus_count");
        json.memberNull("focus_milliseconds");
    }
    json.memberFlag("has_focus", record.hasFocus != 0);
    if (prefetch) {
        json.memberNull("folder_at_default");
        json.memberFlag("run_times_out_of_order", record.runTimesOutOfOrder != 0);
    } else {
        json.memberFlag("folder_at_default", record.folderAtDefault != 0);
        json.memberNull("run_times_out_of_order");
    }
    if (prefetch) {
        json.member("format_version", record.formatVersion);
        json.member("path_hash", hex8Text(record.pathHash));
    } else {
        json.memberNull("format_version");
        json.memberNull("path_hash");
    }
    json.member("record_file", record.recordFile);
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

// What ran, from where, for whom, in one sentence a timeline shows as it is.
std::wstring eventMessage(const LaunchRecord& record, std::size_t run, const std::wstring& host) {
    const std::wstring onHost = host.empty() ? std::wstring() : L" on " + host;
    if (isPrefetch(record)) {
        return record.name + L" was started" + onHost + fromWhere(record) + L"; run time " +
               decimalText(run + 1) + L" of " + decimalText(record.runTimes.size()) +
               L" in its Prefetch file, which does not record the user";
    }
    const std::wstring who = !record.userName.empty()  ? record.userName
                             : !record.userSid.empty() ? record.userSid
                                                       : std::wstring(L"an unknown user");
    std::wstring text = record.name + L" was last launched through the shell by " + who + onHost +
                        fromWhere(record);
    if (record.runCountKnown == 0) {
        return text + L"; its launch count is withheld";
    }
    return text + L"; the shell counted " + decimalText(record.runCount) +
           (record.runCount == 1 ? L" launch" : L" launches");
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
    json.member("kind", origin.evidence ? L"evidence root" : L"this machine");
    if (origin.hostName.empty()) {
        json.memberNull("host");
    } else {
        json.member("host", origin.hostName);
    }
    if (origin.evidence) {
        json.member("evidence_folder", origin.evidenceFolder);
    } else {
        json.memberNull("evidence_folder");
    }
    evidenceFiles(json, origin);
    json.endObject();
    coverage(json, tally, facts);
    json.text += ",\"records\":[";
    return json.text;
}

std::string jsonReportRecord(const LaunchRecord& record, bool first) {
    JsonWriter json;
    json.text = first ? "\n" : ",\n";
    json.beginObject();
    recordFields(json, record);
    json.key("run_times");
    json.beginArray();
    for (std::uint64_t run : record.runTimes) {
        moment(json, run);
    }
    json.endArray();
    if (isPrefetch(record)) {
        json.key("referenced_files");
        json.beginArray();
        for (const std::wstring& file : record.referencedFiles) {
            json.string(file);
        }
        json.endArray();
        optionalMoment(json, "volume_created", record.volumeCreated);
        json.member("volume_serial", record.volumeSerial);
        json.member("volume_count", record.volumeCount);
        json.key("volumes");
        json.beginArray();
        for (const PrefetchVolume& entry : record.volumes) {
            volume(json, entry);
        }
        json.endArray();
        json.member("recorded_path", record.recordedPath);
    } else {
        for (const char* field : {"referenced_files", "volume_created", "volume_serial",
                                  "volume_count", "volumes", "recorded_path"}) {
            json.memberNull(field);
        }
    }
    json.endObject();
    return json.text;
}

std::string jsonReportClosing() {
    return "\n]}\n";
}

TimelineScan timelineScan(const ScanTally& tally, const ScanFacts& facts,
                          const ScanOrigin& origin) {
    return TimelineScan{origin.hostName, origin.evidence ? origin.evidenceFolder : L"",
                        reportIsComplete(tally, facts), incompletenessReasons(tally, facts)};
}

std::string timelineEvents(const LaunchRecord& record, const TimelineScan& scan) {
    std::string lines;
    for (std::size_t run = 0; run < record.runTimes.size(); ++run) {
        const std::uint64_t time = record.runTimes[run];
        const std::wstring datetime = isoUtcMicrosecondsText(time);
        if (datetime.empty()) {
            continue; // a time no calendar holds has no place on a timeline
        }
        JsonWriter json;
        json.beginObject();
        json.member("message", eventMessage(record, run, scan.host));
        json.member("datetime", datetime);
        json.key("timestamp");
        json.signedNumber(unixMicroseconds(time));
        json.member("timestamp_desc", isPrefetch(record) ? L"Prefetch: program run"
                                                         : L"UserAssist: last shell launch");
        recordFields(json, record);
        if (isPrefetch(record)) {
            json.member("recorded_path", record.recordedPath);
            json.member("volume_serial", record.volumeSerial);
        } else {
            json.memberNull("recorded_path");
            json.memberNull("volume_serial");
        }
        json.member("filetime", time);
        json.member("run_index", run + 1);
        json.member("run_times_recorded", record.runTimes.size());
        if (scan.host.empty()) {
            json.memberNull("host");
        } else {
            json.member("host", scan.host);
        }
        if (scan.evidenceFolder.empty()) {
            json.memberNull("evidence_folder");
        } else {
            json.member("evidence_folder", scan.evidenceFolder);
        }
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
    return lines;
}

} // namespace tidewell
