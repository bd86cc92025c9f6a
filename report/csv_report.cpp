#include "report/csv_report.h"

#include "core/path_status_word.h"
#include "core/scan_counters.h"
#include "platform/decimal_text.h"
#include "platform/text_format.h"
#include "platform/timestamp_format.h"

namespace tidewell {

namespace {

constexpr wchar_t lineEnd[] = L"\r\n";
constexpr wchar_t columnLine[] =
    L"Source,Name,Path,Path status,Run count,Last run,All recorded runs,User,User SID,"
    L"Focus count,Focus seconds,Format version,Hash,Referenced files,Source file";

const wchar_t* flagWord(std::uint32_t flag) {
    return flag != 0 ? L"yes" : L"no";
}

constexpr wchar_t notKnown[] = L"not known";
constexpr wchar_t notApplicable[] = L"not applicable";

void addLine(std::wstring& text, const std::wstring& line) {
    text += line;
    text += lineEnd;
}

} // namespace

std::wstring csvQuote(const std::wstring& text) {
    std::wstring quoted;
    quoted.reserve(text.size() + 2);
    quoted.push_back(L'"');
    for (wchar_t unit : text) {
        if (unit == L'"') {
            quoted.push_back(L'"');
        }
        quoted.push_back(unit);
    }
    quoted.push_back(L'"');
    return quoted;
}

std::wstring buildReportHeader(const ScanTally& tally, const ScanFacts& facts,
                               const ScanOrigin& origin, TimeBasis times) {
    const wchar_t* const machine = origin.evidence ? L"the examined machine" : L"this machine";
    std::wstring text;
    addLine(text, L"# Tidewell");
    if (origin.evidence) {
        addLine(text, L"# Evidence folder," + origin.evidenceFolder);
    }
    if (times == TimeBasis::Utc) {
        addLine(text, L"# Times are in,UTC");
    }
    // Each fact keeps its line, so that a reader counting lines still finds
    // it; what the scan could not establish says so in place of a value.
    addLine(text,
            std::wstring(L"# Elevated,") +
                (facts.elevationNotApplicable != 0 ? notApplicable : flagWord(facts.elevated)));
    addLine(text,
            std::wstring(L"# Prefetch enabled,") +
                (facts.prefetchEnabledNotKnown != 0 ? notKnown : flagWord(facts.prefetchEnabled)));
    addLine(text,
            std::wstring(L"# Prefetch directory readable,") + flagWord(facts.prefetchDirReadable));
    if (facts.retentionLimitNotKnown != 0) {
        addLine(text, std::wstring(L"# Prefetch retains at most,") + notKnown);
    } else {
        addLine(text, L"# Prefetch retains at most," + decimalText(facts.prefetchRetentionLimit) +
                          L" files (older ones are evicted)");
    }
    addLine(text,
            std::wstring(L"# EnablePrefetcher value present,") +
                (facts.prefetcherSettingNotKnown != 0 ? notKnown
                                                      : flagWord(facts.enablePrefetcherPresent)));
    if (facts.prefetcherSettingNotKnown != 0) {
        addLine(text, std::wstring(L"# EnablePrefetcher raw value,") + notKnown);
    } else if (facts.enablePrefetcherPresent == 0 && facts.prefetchEnabledNotKnown != 0) {
        addLine(text, std::wstring(L"# EnablePrefetcher raw value,") + notApplicable);
    } else {
        addLine(text, L"# EnablePrefetcher raw value," + decimalText(facts.enablePrefetcherValue));
    }
    if (facts.profileCoverageKnown != 0) {
        addLine(text, std::wstring(L"# User profiles on ") + machine + L"," +
                          decimalText(facts.profilesOnMachine));
        addLine(text, L"# User profiles examined," + decimalText(facts.profilesExamined));
        addLine(text, L"# User profiles NOT examined (registry hive not available to this scan)," +
                          decimalText(facts.profilesNotExamined));
    } else {
        addLine(text, L"# UserAssist profile coverage could not be determined - the profile list "
                      L"could not be read in full. Profiles examined," +
                          decimalText(facts.profilesExamined));
    }
    if (facts.spanKnown != 0) {
        addLine(text, L"# Surviving records span," + formatTimestamp(facts.spanOldest, times) +
                          L" to " + formatTimestamp(facts.spanNewest, times));
    }
    addLine(text, L"# UserAssist records shell launches only; command line, script,");
    addLine(text, L"# service and scheduled task launches never appear in it.");
    addLine(text, L"# Prefetch records whatever the system started, including things");
    addLine(text, L"# no person clicked. A row is not proof that somebody did it.");
    for (const ScanCounter& counter : scanCounters) {
        if (counter.line == CounterLine::Always || origin.evidence) {
            addLine(text, std::wstring(L"# ") + counter.reportLabel + L"," +
                              decimalText(tally.*counter.member));
        }
    }
    if (!hasFailure(tally)) {
        addLine(text, L"# No read or parse failure was encountered.");
    }
    addLine(text, std::wstring(L"# Result is a complete picture of ") + machine + L"," +
                      flagWord(reportIsComplete(tally, facts)));
    text += lineEnd; // the empty line
    addLine(text, columnLine);
    return text;
}

std::wstring buildRecordLine(const LaunchRecord& record, TimeBasis times) {
    const bool prefetch = record.source == RecordSource::Prefetch;
    std::wstring allRuns;
    for (std::size_t i = 0; i < record.runTimes.size(); ++i) {
        if (i != 0) {
            allRuns += L" | ";
        }
        allRuns += formatTimestamp(record.runTimes[i], times);
    }
    const std::wstring lastRun = record.runTimes.empty()
                                     ? std::wstring(L"not recorded")
                                     : formatTimestamp(record.runTimes.front(), times);
    const std::wstring runCount =
        record.runCountKnown != 0 ? decimalText(record.runCount) : std::wstring(L"unverified");
    std::wstring focusCount;
    std::wstring focusSeconds;
    if (record.hasFocus != 0) {
        focusCount = decimalText(record.focusCount);
        focusSeconds = fixedText(record.focusMilliseconds / 1000.0, 1);
    }
    std::wstring line = csvQuote(prefetch ? L"Prefetch" : L"UserAssist");
    for (const std::wstring& field : {
             record.name,
             record.path,
             std::wstring(pathStatusWord(record.pathStatus)),
             runCount,
             lastRun,
             allRuns,
             record.userName,
             record.userSid,
             focusCount,
             focusSeconds,
             prefetch ? decimalText(record.formatVersion) : std::wstring(),
             prefetch ? hex8Text(record.pathHash) : std::wstring(),
             prefetch ? decimalText(record.referencedFiles.size()) : std::wstring(),
             record.recordFile,
         }) {
        line.push_back(L',');
        line += csvQuote(field);
    }
    line += lineEnd;
    return line;
}

} // namespace tidewell
