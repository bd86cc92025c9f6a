#include "core/scan_counters.h"
#include "machine/examined_machine.h"
#include "machine/machine_files.h"
#include "machine/user_hives.h"
#include "machine/volume_devices.h"
#include "platform/decimal_text.h"
#include "srum/ese_header.h"
#include "srum/srum_counters.h"
#include "srum/srum_records.h"
#include "srum/srum_source.h"
#include "srum/srum_tables.h"

namespace tidewell {

namespace {

// A database Windows keeps for 30 to 60 days is tens of megabytes; one past
// this is refused unread rather than held in memory whole.
constexpr std::uint64_t srumDatabaseLimit = 2ULL << 30;

void unreadable(SourceReading& reading, ScanTally& tally, std::wstring why) {
    reading.presence = SourcePresence::Unreadable;
    reading.note = std::move(why);
    ++tally[srumUnreadable];
}

} // namespace

void scanSrum(ExaminedMachine& machine, ScanResults& results) {
    SourceReading& reading = readingOf(results.origin, srumSource);
    reading.presence = SourcePresence::NotPresent;
    const std::wstring folder = windowsEntryOf(machine, L"System32\\sru", EntryKind::Folder);
    std::wstring path;
    if (folder.empty() || !findMachineEntry(machine, folder, L"SRUDB.dat", EntryKind::File, path)) {
        return;
    }
    if (reuseUnchangedRecords(machine, path, srumSource, results.records)) {
        reading.presence = SourcePresence::Read;
        return;
    }
    std::vector<std::uint8_t> bytes;
    switch (readMachineFile(machine, path, srumDatabaseLimit, bytes)) {
    case WholeFileRead::Read:
        break;
    case WholeFileRead::Missing:
        return;
    case WholeFileRead::InUse:
        reading.presence = SourcePresence::HeldOpen;
        ++results.tally[srumHeldOpen];
        return;
    case WholeFileRead::TooLarge:
        unreadable(reading, results.tally,
                   L"larger than " + groupedDecimalText(srumDatabaseLimit) + L" bytes");
        return;
    case WholeFileRead::Refused:
    case WholeFileRead::Unreadable:
        unreadable(reading, results.tally, L"the file could not be read");
        return;
    }
    const EseHeader header = readEseHeader(ByteView{bytes.data(), bytes.size()});
    if (!header.signature) {
        unreadable(reading, results.tally, L"not an ESE database");
        return;
    }
    const SrumTables tables = readSrumTables(bytes);
    if (tables.open == SrumOpen::NotThisBuild) {
        unreadable(reading, results.tally,
                   L"this build reads no ESE database; the Linux build reads it");
        return;
    }
    if (tables.open != SrumOpen::Opened) {
        unreadable(reading, results.tally, L"refused: " + tables.why);
        return;
    }
    reading.presence = SourcePresence::Read;
    reading.note = srumTablesNote(tables);
    if (tables.headerSumMatched) {
        ++results.tally[srumHeaderSummedWhole];
    }
    if (!eseShutDownCleanly(header.state)) {
        ++results.tally[srumDirty]; // read as it stands, and said to be
    }
    results.tally[srumRowsUnreadable] += tables.rowsUnreadable + tables.tablesMalformed;
    RecordList records;
    makeSrumRecords(tables, shownPath(machine, path), records, results.tally);
    const std::vector<DeviceDrive> drives = deviceDrives(machine);
    for (LaunchRecord& record : records) {
        std::wstring placed;
        if (record.pathStatus == PathStatus::VolumeNotIdentified &&
            placeOnDrive(drives, record.path, placed)) {
            record.path = placed;
            record.pathStatus = PathStatus::Resolved;
        }
        if (!record.userSid.empty()) {
            record.userName = accountNameOnMachine(machine, record.userSid);
        }
        results.records.push_back(std::move(record));
    }
}

} // namespace tidewell
