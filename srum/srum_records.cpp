#include "srum/srum_records.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <utility>

#include "platform/utf8_codec.h"
#include "srum/srum_counters.h"
#include "srum/srum_details.h"
#include "srum/srum_ids.h"
#include "srum/srum_source.h"

namespace tidewell {

namespace {

// 1899-12-30, the OLE dates' day 0, counted in days from 1601-01-01.
constexpr double oleDayZero = 109205.0;
// 30828-01-01, past the last FILETIME Windows converts, in the same days.
constexpr double lastDay = 10518720.0;
constexpr double millisecondsPerDay = 86400000.0;
constexpr FileTime ticksPerMillisecond = 10000;

std::uint64_t saturatingSum(std::uint64_t a, std::uint64_t b) {
    return b > UINT64_MAX - a ? UINT64_MAX : a + b;
}

struct Gathered {
    LaunchRecord record;
    std::set<FileTime> hours;
    std::set<std::uint64_t> interfaces;
};

struct Gathering {
    const SrumIdMap& ids;
    const std::wstring& recordFile;
    std::uint16_t figuresRecorded;
    ScanTally& tally;
    std::map<std::pair<std::uint32_t, std::uint32_t>, Gathered> byProgram;

    Gathered& recordOf(std::uint32_t appId, std::uint32_t userId) {
        const auto key = std::make_pair(appId, userId);
        const auto found = byProgram.find(key);
        if (found != byProgram.end()) {
            return found->second;
        }
        Gathered& gathered = byProgram[key];
        LaunchRecord& record = gathered.record;
        record = makeRecord(srumSource);
        record.recordFile = recordFile;
        SrumDetails& details = *srumDetails(record);
        details.appId = appId;
        details.figuresRecorded = figuresRecorded;
        details.userId = userId;
        const SrumProgram program = srumProgram(ids.find(appId));
        details.kind = program.kind;
        details.recordedId = program.recorded;
        if (program.kind == SrumProgramKind::NotInIdMap) {
            record.name = L"(program id " + std::to_wstring(appId) + L" not in the id map)";
        } else {
            record.name = program.name.empty() ? std::wstring(L"(no name recorded)") : program.name;
        }
        if (!program.path.empty()) {
            record.path = program.path;
            // A kernel path is placed on a drive by the scan, which knows the
            // machine's volumes.
            record.pathStatus = program.path.starts_with(L"\\") ? PathStatus::VolumeNotIdentified
                                                                : PathStatus::Resolved;
        }
        const SrumIdEntry* user = ids.find(userId);
        std::wstring sid;
        if (user != nullptr) {
            details.userInIdMap = 1;
            if (sidText(user->blob, sid)) {
                record.userSid = sid;
            }
        }
        return gathered;
    }

    // A row's program and user, each counted where the map lacks it.
    Gathered& rowRecord(std::uint32_t appId, std::uint32_t userId) {
        if (ids.find(appId) == nullptr || ids.find(userId) == nullptr) {
            ++tally[srumIdsNotMapped];
        }
        return recordOf(appId, userId);
    }

    // The row's figures added to its program's and user's.
    Gathered& add(const SrumRow& row) {
        Gathered& gathered = rowRecord(row.appId, row.userId);
        SrumFigures& totals = srumDetails(gathered.record)->totals;
        for (const SrumFigure& figure : srumFigures) {
            totals.*figure.member =
                saturatingSum(totals.*figure.member, row.figures.*figure.member);
        }
        return gathered;
    }

    void addHour(Gathered& gathered, double timeStamp) {
        FileTime hourEnd = 0;
        if (!oleDateFileTime(timeStamp, hourEnd) || hourEnd == 0) {
            ++tally[srumTimesMalformed];
            return;
        }
        gathered.hours.insert(hourEnd);
    }
};

} // namespace

bool oleDateFileTime(double date, FileTime& filetime) {
    if (!std::isfinite(date)) {
        return false;
    }
    // Before day 0 the fraction counts forward from the day's start while
    // the whole part counts back: -1.25 is 1899-12-29 06:00.
    double whole = std::trunc(date);
    const double fraction = std::fabs(date - whole);
    const double days = whole + oleDayZero;
    if (days < 0 || days >= lastDay) {
        return false;
    }
    const double milliseconds =
        std::round(days * millisecondsPerDay + fraction * millisecondsPerDay);
    filetime = static_cast<FileTime>(milliseconds) * ticksPerMillisecond;
    return true;
}

std::wstring srumTablesNote(const SrumTables& tables) {
    if (!tables.usagePresent && !tables.networkPresent) {
        return L"no usage recorded";
    }
    std::wstring note = tables.usagePresent ? L"application usage" : L"";
    if (tables.networkPresent) {
        note += std::wstring(note.empty() ? L"" : L" and ") + L"network usage";
    }
    note += L" read";
    // A table read without a column of a figure: not recorded by this Windows.
    std::wstring absent;
    for (std::size_t figure = 0; figure < std::size(srumFigures); ++figure) {
        const bool tableRead =
            srumFigures[figure].usageTable ? tables.usagePresent : tables.networkPresent;
        const std::uint16_t recorded = srumFigures[figure].usageTable
                                           ? tables.usageFiguresRecorded
                                           : tables.networkFiguresRecorded;
        if (tableRead && (recorded & (1u << figure)) == 0) {
            absent += (absent.empty() ? L"" : L", ") + fromUtf8(srumFigures[figure].column);
        }
    }
    return absent.empty() ? note : note + L"; not recorded: " + absent;
}

void makeSrumRecords(const SrumTables& tables, const std::wstring& recordFile, RecordList& records,
                     ScanTally& tally) {
    const SrumIdMap ids = srumIdMap(tables.ids);
    Gathering gathering{
        ids,
        recordFile,
        static_cast<std::uint16_t>(tables.usageFiguresRecorded | tables.networkFiguresRecorded),
        tally,
        {}};
    for (const SrumRow& row : tables.usage) {
        ++tally[srumUsageRowsRead];
        Gathered& gathered = gathering.add(row);
        ++srumDetails(gathered.record)->usageRows;
        if (row.figures.foregroundCycles != 0 || row.figures.backgroundCycles != 0) {
            gathering.addHour(gathered, row.timeStamp);
        }
    }
    for (const SrumRow& row : tables.network) {
        ++tally[srumNetworkRowsRead];
        Gathered& gathered = gathering.add(row);
        ++srumDetails(gathered.record)->networkRows;
        gathered.interfaces.insert(row.interfaceLuid);
    }
    for (auto& [key, gathered] : gathering.byProgram) {
        LaunchRecord& record = gathered.record;
        srumDetails(record)->interfaces = static_cast<std::uint32_t>(gathered.interfaces.size());
        record.runTimes.assign(gathered.hours.rbegin(), gathered.hours.rend()); // newest first
        records.push_back(std::move(record));
    }
}

} // namespace tidewell
