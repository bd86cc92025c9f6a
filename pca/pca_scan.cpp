#include "machine/examined_machine.h"
#include "machine/machine_files.h"
#include "pca/pca_counters.h"
#include "pca/pca_records.h"
#include "pca/pca_source.h"
#include "platform/decimal_text.h"
#include "platform/system_clock.h"

namespace tidewell {

namespace {

struct PcaPlace {
    PcaFileKind kind;
    const wchar_t* file;
};

// The second database is the first's older half, rotated out.
constexpr PcaPlace pcaPlaces[] = {
    {PcaFileKind::LaunchDictionary, L"PcaAppLaunchDic.txt"},
    {PcaFileKind::GeneralDatabase, L"PcaGeneralDb0.txt"},
    {PcaFileKind::GeneralDatabase, L"PcaGeneralDb1.txt"},
};

// Windows keeps each file to a few hundred kilobytes; one past this is
// refused unread rather than held in memory whole.
constexpr std::uint64_t pcaFileLimit = 256ULL << 20;

struct PcaOutcomes {
    std::wstring note;
    bool anyRead = false;
    bool anyPresent = false;

    void add(const wchar_t* file, const std::wstring& text) {
        note += (note.empty() ? L"" : L"; ") + std::wstring(file) + L": " + text;
    }
};

// The variables the machine's paths are written with: a copy's as its
// registry records them; this machine's from its own registry alike.
Variables machineVariables(const ExaminedMachine& machine, const ScanResults& results) {
    if (results.origin.evidence) {
        return machine.copy.recorded.variables;
    }
    MachineRecords records;
    records.software = softwareKeyOf(machine);
    MachineRegistry registry;
    readMachineRegistry(records, registry);
    return registry.variables;
}

void readPcaPlace(ExaminedMachine& machine, const std::wstring& folder, const PcaPlace& place,
                  const Variables& variables, FileTime now, PcaOutcomes& outcomes,
                  ScanResults& results) {
    std::wstring path;
    if (!findMachineEntry(machine, folder, place.file, EntryKind::File, path)) {
        outcomes.add(place.file, L"not present");
        return;
    }
    if (reuseUnchangedRecords(machine, path, pcaSource, results.records)) {
        outcomes.anyPresent = outcomes.anyRead = true;
        outcomes.add(place.file, L"unchanged since the newer state");
        return;
    }
    std::vector<std::uint8_t> bytes;
    std::wstring why;
    switch (readMachineFile(machine, path, pcaFileLimit, bytes)) {
    case WholeFileRead::Read:
        break;
    case WholeFileRead::Missing:
        outcomes.add(place.file, L"not present");
        return;
    case WholeFileRead::TooLarge:
        why = L"larger than " + groupedDecimalText(pcaFileLimit) + L" bytes";
        break;
    case WholeFileRead::InUse:
        why = L"held open by another program";
        break;
    case WholeFileRead::Refused:
    case WholeFileRead::Unreadable:
        why = L"the file could not be read";
        break;
    }
    outcomes.anyPresent = true;
    if (!why.empty()) {
        outcomes.add(place.file, L"could not be read (" + why + L")");
        ++results.tally[pcaFilesUnreadable];
        return;
    }
    outcomes.anyRead = true;
    const PcaFileRead read = readPcaFile(place.kind, bytes, now);
    std::wstring said = groupedDecimalText(read.linesRead) +
                        (read.linesRead == 1 ? L" line (" : L" lines (") +
                        pcaEncodingWords(read.encoding) + L")";
    if (read.linesMalformed != 0) {
        said += L", " + groupedDecimalText(read.linesMalformed) + L" without their fields";
    }
    outcomes.add(place.file, said);
    makePcaRecords(read, place.kind, place.file, shownPath(machine, path), variables,
                   results.records, results.tally);
}

} // namespace

void scanPca(ExaminedMachine& machine, ScanResults& results) {
    SourceReading& reading = readingOf(results.origin, pcaSource);
    const std::wstring folder = windowsEntryOf(machine, L"appcompat\\pca", EntryKind::Folder);
    PcaOutcomes outcomes;
    if (!folder.empty()) {
        const Variables variables = machineVariables(machine, results);
        const FileTime now = currentSystemFileTime();
        for (const PcaPlace& place : pcaPlaces) {
            readPcaPlace(machine, folder, place, variables, now, outcomes, results);
        }
    }
    reading.presence = outcomes.anyRead      ? SourcePresence::Read
                       : outcomes.anyPresent ? SourcePresence::Unreadable
                                             : SourcePresence::NotPresent;
    // A machine without the files keeps none, as any source it lacks.
    reading.note = outcomes.anyPresent ? outcomes.note : std::wstring{};
}

} // namespace tidewell
