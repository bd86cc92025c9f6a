#include "report/csv_report.h"

#include <algorithm>
#include <vector>

#include "core/path_status_word.h"
#include "core/record_source.h"
#include "core/scan_fact_table.h"
#include "platform/decimal_text.h"
#include "platform/inert_text.h"
#include "platform/text_format.h"
#include "platform/timestamp_format.h"
#include "report/host_names.h"

namespace tidewell {

namespace {

constexpr wchar_t lineEnd[] = L"\r\n";
constexpr wchar_t columnLine[] =
    L"Source,Name,Path,Path status,Run count,Last run,All recorded runs,User,User SID,"
    L"Focus count,Focus seconds,Format version,Hash,Referenced files,Source file";

const wchar_t* flagWord(std::uint32_t flag) {
    return flag != 0 ? L"yes" : L"no";
}

// A header line names what the evidence names (a host, a device, a folder):
// none of it may end the line, and no cell of it may start a formula.
void addLine(std::wstring& text, const std::wstring& line) {
    const std::wstring shown = visibleText(line);
    for (std::size_t at = 0;;) {
        const std::size_t comma = shown.find(L',', at);
        const std::size_t end = comma == std::wstring::npos ? shown.size() : comma;
        text += inertCell(std::wstring_view(shown).substr(at, end - at));
        if (comma == std::wstring::npos) {
            break;
        }
        text.push_back(L',');
        at = comma + 1;
    }
    text += lineEnd;
}

std::wstring factText(FactValue value, bool flag, const wchar_t* suffix) {
    switch (value.state) {
    case FactState::NotKnown:
        return L"not known";
    case FactState::NotApplicable:
        return L"not applicable";
    case FactState::Known:
        break;
    }
    if (flag) {
        return flagWord(value.value);
    }
    return decimalText(value.value) + (suffix != nullptr ? suffix : L"");
}

// Each fact keeps its line, so that a reader counting lines still finds it;
// what the scan could not establish says so in place of a value.
void addFactLines(std::wstring& text, const ScanFacts& facts) {
    for (const ScanFactLine& fact : scanFactsBeforeSources) {
        addLine(text, std::wstring(L"# ") + fact.reportLabel + L"," +
                          factText(factValue(fact, facts), fact.flag != nullptr, nullptr));
    }
    for (const ScanFacts::Stated& stated : facts.stated) {
        const ScanFact& fact = *stated.fact;
        addLine(text, std::wstring(L"# ") + fact.reportLabel + L"," +
                          factText(stated.value, fact.flag, fact.reportSuffix));
    }
}

std::uint32_t copiesRead(const ScanOrigin& origin) {
    std::uint32_t read = 0;
    for (std::size_t copy = 1; copy < origin.copies.size(); ++copy) {
        read += origin.copies[copy].read ? 1 : 0;
    }
    return read;
}

// What of a disk image was read: the image, the volume, its shadow copies.
void addImageLines(std::wstring& text, const ScanOrigin& origin) {
    const ImageOrigin& image = origin.imageRead;
    addLine(text, L"# Disk image," + image.path + L" (" + image.format + L")");
    std::wstring volume = image.partition == 0
                              ? std::wstring(L"the whole image (no partition table recognised)")
                              : L"partition " + decimalText(image.partition) + L" of its " +
                                    image.partitionTable + L" partition table" +
                                    (image.partitionTableDamage.empty()
                                         ? std::wstring()
                                         : L" (damaged: " + image.partitionTableDamage + L")");
    volume += L", at byte " + decimalText(image.offset) + L", " + image.fileSystem;
    addLine(text, L"# Volume read," + volume);
    const std::size_t copies = origin.copies.empty() ? 0 : origin.copies.size() - 1;
    addLine(text, L"# Shadow copies of the volume read," + decimalText(copiesRead(origin)) +
                      L" of " + decimalText(copies) +
                      (image.shadowCatalogUnreadable
                           ? L" - the volume keeps shadow copies, but their catalog could not "
                             L"be read"
                           : L""));
}

// What of a Velociraptor collection was read, and what it says of itself
// beside what the examined machine's own registry and records say.
void addCollectionLines(std::wstring& text, const ScanOrigin& origin, const ScanFacts& facts,
                        TimeBasis times) {
    const CollectionOrigin& collection = origin.collectionRead;
    addLine(text, L"# Velociraptor collection," + collection.path +
                      (collection.zip ? L" (zip, read in place)" : L" (extracted folder)"));
    addLine(text, L"# Drive read," + collection.device + L" (" + collection.stored + L")");
    const std::size_t copies = origin.copies.empty() ? 0 : origin.copies.size() - 1;
    addLine(text, L"# Shadow copies in the collection read," + decimalText(copiesRead(origin)) +
                      L" of " + decimalText(copies));
    std::wstring host = collection.hostName.empty() ? L"not recorded" : collection.hostName;
    switch (hostNamesAgree(collection.hostName, origin.hostName)) {
    case NamesAgree::Agree:
        host += L" - the same as the examined machine's registry records";
        break;
    case NamesAgree::Disagree:
        host +=
            L" - DIFFERS from the examined machine's registry, which records " + origin.hostName;
        break;
    case NamesAgree::NotKnown:
        if (!collection.hostName.empty()) {
            host += L" - the examined machine's registry records none to compare";
        }
        break;
    }
    addLine(text, L"# Host name recorded by the collection," + host);
    std::wstring when = collection.collectedAt == 0
                            ? std::wstring(L"not recorded")
                            : formatTimestamp(collection.collectedAt, times);
    if (collection.collectedAt != 0 && facts.spanKnown != 0 &&
        facts.spanNewest > collection.collectedAt) {
        when += L" - the newest run time recorded (" + formatTimestamp(facts.spanNewest, times) +
                L") is LATER than it";
    }
    addLine(text, L"# Collection time recorded by the collection," + when);
}

// A source the examined machine may not keep at all is stated in a report
// of collected evidence always, and in a report of this machine only where
// this machine keeps it: the report of a machine without it stays as it was.
bool sourceStated(const SourceReading& reading, const ScanOrigin& origin) {
    return reading.source->coverage.mayBeAbsent && reading.presence != SourcePresence::NotLooked &&
           (origin.evidence || reading.presence != SourcePresence::NotPresent);
}

// The counters of the report's shared lines (a source's own lines stand
// after its presence line).
bool counterListed(const ScanCounter& counter, const ScanOrigin& origin) {
    switch (counter.line) {
    case CounterLine::Always:
    case CounterLine::NotInLiveCsv:
        return counter.line == CounterLine::Always || origin.evidence;
    case CounterLine::Evidence:
        return origin.evidence;
    case CounterLine::Image:
        return origin.image;
    case CounterLine::Copies:
        return origin.image || origin.collection;
    case CounterLine::Collection:
        return origin.collection;
    case CounterLine::Source:
        break;
    }
    return false;
}

// "# LABEL,read (what was read of it)", and on this machine what its
// running Windows leaves out.
std::wstring presenceLine(const SourceReading& reading, bool live) {
    const SourceCoverage& coverage = reading.source->coverage;
    std::wstring line = std::wstring(L"# ") + coverage.reportLabel + L",";
    line += sourcePresenceWords(reading.presence);
    if (!reading.note.empty()) {
        // A header line's value is what follows its last comma: the note's
        // own commas would cut it.
        std::wstring note = reading.note;
        std::replace(note.begin(), note.end(), L',', L';');
        line += L" (" + note + L")";
    }
    if (live && reading.presence == SourcePresence::Read && coverage.liveNote != nullptr) {
        line += std::wstring(L" - ") + coverage.liveNote;
    }
    return line;
}

// What a row of each source is and is not: the sources every Windows keeps
// always, the others once read; in the order the sources' cautions take.
void addCautionLines(std::wstring& text, const ScanOrigin& origin) {
    std::vector<const SourceReading*> readings;
    for (const SourceReading& reading : origin.sources) {
        readings.push_back(&reading);
    }
    std::stable_sort(readings.begin(), readings.end(),
                     [](const SourceReading* a, const SourceReading* b) {
                         return a->source->coverage.cautionPlace < b->source->coverage.cautionPlace;
                     });
    for (const SourceReading* reading : readings) {
        const SourceCoverage& coverage = reading->source->coverage;
        if (coverage.reportCaution == nullptr ||
            (coverage.mayBeAbsent && reading->presence != SourcePresence::Read)) {
            continue;
        }
        for (const wchar_t* const* caution = coverage.reportCaution; *caution != nullptr;
             ++caution) {
            addLine(text, std::wstring(L"# ") + *caution);
        }
    }
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

std::wstring csvCell(const std::wstring& text) {
    return csvQuote(inertCell(text));
}

std::wstring buildHeaderBlock(const ScanTally& tally, const ScanFacts& facts,
                              const ScanOrigin& origin, TimeBasis times,
                              const ProgramCounts* programs) {
    const wchar_t* const machine = origin.evidence ? L"the examined machine" : L"this machine";
    std::wstring text;
    addLine(text, L"# Tidewell");
    if (origin.collection) {
        addCollectionLines(text, origin, facts, times);
    } else if (origin.image) {
        addImageLines(text, origin);
    } else if (origin.evidence) {
        addLine(text, L"# Evidence folder," + origin.evidenceFolder);
    }
    if (times == TimeBasis::Utc) {
        addLine(text, L"# Times are in,UTC");
    }
    addFactLines(text, facts);
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
    addCautionLines(text, origin);
    // The shared counter lines, then each source the machine may not keep,
    // after a line saying whether it was there and read, with its own.
    for (const ScanTally::Count& held : tally.counts) {
        if (counterListed(*held.counter, origin)) {
            addLine(text, std::wstring(L"# ") + held.counter->reportLabel + L"," +
                              decimalText(held.count));
        }
    }
    for (const SourceReading& reading : origin.sources) {
        if (!sourceStated(reading, origin)) {
            continue;
        }
        addLine(text, presenceLine(reading, !origin.evidence));
        for (const ScanCounter* counter : reading.source->counters) {
            if (counter->line == CounterLine::Source) {
                addLine(text, std::wstring(L"# ") + counter->reportLabel + L"," +
                                  decimalText(tally[*counter]));
            }
        }
    }
    if (programs != nullptr) {
        for (const ProgramCountLine& line : programCountLines(*programs)) {
            addLine(text, std::wstring(L"# ") + line.label + L"," + decimalText(line.value));
        }
    }
    if (!hasFailure(tally)) {
        addLine(text, L"# No read or parse failure was encountered.");
    }
    addLine(text, std::wstring(L"# Result is a complete picture of ") + machine + L"," +
                      flagWord(reportIsComplete(tally, facts)));
    return text;
}

std::wstring buildReportHeader(const ScanTally& tally, const ScanFacts& facts,
                               const ScanOrigin& origin, TimeBasis times,
                               const ProgramCounts* programs) {
    std::wstring text = buildHeaderBlock(tally, facts, origin, times, programs);
    text += lineEnd; // the empty line
    addLine(text, columnLine);
    return text;
}

std::wstring buildRecordLine(const LaunchRecord& record, TimeBasis times) {
    const RecordSource& view = *record.source;
    SourceCells cells;
    view.cells(record, cells);
    std::wstring allRuns;
    for (std::size_t i = 0; view.timesAreRuns && i < record.runTimes.size(); ++i) {
        if (i != 0) {
            allRuns += L" | ";
        }
        allRuns += formatTimestamp(record.runTimes[i], times);
    }
    // A source whose times are not runs, or that counts none, leaves those
    // columns empty rather than saying a run was not recorded.
    const std::wstring lastRun = !view.timesAreRuns ? std::wstring()
                                 : record.runTimes.empty()
                                     ? std::wstring(L"not recorded")
                                     : formatTimestamp(record.runTimes.front(), times);
    const std::wstring runCount = !view.countsRuns            ? std::wstring()
                                  : record.runCountKnown != 0 ? decimalText(record.runCount)
                                                              : std::wstring(L"unverified");
    std::wstring line = csvCell(view.word);
    for (const std::wstring& field : {
             record.name,
             record.path,
             std::wstring(pathStatusWord(record.pathStatus)),
             runCount,
             lastRun,
             allRuns,
             record.userName,
             record.userSid,
             cells.focusCount,
             cells.focusSeconds,
             cells.formatVersion,
             cells.hash,
             cells.referencedFiles,
             record.recordFile,
         }) {
        line.push_back(L',');
        line += csvCell(field);
    }
    line += lineEnd;
    return line;
}

} // namespace tidewell
