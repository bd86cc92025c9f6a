// Records brought together per program: joins by path in every written
// form, by the Prefetch hash of a device path for each hash function, by
// package family; records that must stay apart; what each record proves;
// and every contradiction said.
#include <gtest/gtest.h>

#include "amcache/amcache_details.h"
#include "amcache/amcache_source.h"
#include "bam/bam_details.h"
#include "bam/bam_source.h"
#include "compatcache/compat_cache_details.h"
#include "compatcache/compat_cache_source.h"
#include "prefetch/prefetch_details.h"
#include "prefetch/prefetch_source.h"
#include "programs/prefetch_hash.h"
#include "programs/program_builder.h"
#include "programs/program_texts.h"
#include "userassist/userassist_source.h"

namespace tidewell {
namespace {

constexpr std::uint64_t hour = 36000000000ULL;
constexpr std::uint64_t base = 133500000000000000ULL; // 2024-01-17 21:20 UTC
const std::wstring alice = L"S-1-5-21-1-2-3-1001";

LaunchRecord prefetch(const std::wstring& name, const std::wstring& path, PathStatus status,
                      std::uint32_t version, const std::wstring& devicePath,
                      std::vector<std::uint64_t> runs = {base}) {
    LaunchRecord record = makeRecord(prefetchSource);
    record.name = name;
    record.path = path;
    record.pathStatus = status;
    record.runTimes = std::move(runs);
    record.runCount = static_cast<std::uint32_t>(record.runTimes.size());
    record.runCountKnown = 1;
    PrefetchDetails& details = *prefetchDetails(record);
    details.formatVersion = version;
    details.pathHash = prefetchHash(version == 17 ? PrefetchHashFunction::WindowsXp
                                                  : PrefetchHashFunction::Windows2008,
                                    capitalsOf(devicePath));
    details.referencedFiles = {devicePath};
    return record;
}

LaunchRecord bam(const std::wstring& recordedName, std::uint64_t run, bool packaged = false) {
    LaunchRecord record = makeRecord(bamSource);
    BamDetails& details = *bamDetails(record);
    details.recordedName = recordedName;
    details.packagedApplication = packaged ? 1 : 0;
    record.name = recordedName.substr(recordedName.rfind(L'\\') + 1);
    record.path = packaged ? L"" : recordedName;
    record.pathStatus = packaged ? PathStatus::NoPathRecorded : PathStatus::VolumeNotIdentified;
    record.runTimes = {run};
    record.userSid = alice;
    record.userName = L"alice";
    return record;
}

LaunchRecord cache(const std::wstring& path, std::uint64_t modified, std::uint32_t position) {
    LaunchRecord record = makeRecord(appCompatCacheSource);
    AppCompatCacheDetails& details = *appCompatCacheDetails(record);
    details.position = position;
    details.modified = modified;
    details.recordedPath = path;
    record.name = path.substr(path.rfind(L'\\') + 1);
    record.path = path;
    record.pathStatus = PathStatus::Resolved;
    return record;
}

LaunchRecord amcache(const std::wstring& path, const std::wstring& sha1,
                     std::uint64_t modified = 0) {
    LaunchRecord record = makeRecord(amcacheSource);
    AmcacheDetails& details = *amcacheDetails(record);
    details.sha1 = sha1;
    details.publisher = L"contoso";
    details.version = L"2.1.0.0";
    details.modified = modified;
    record.name = path.substr(path.rfind(L'\\') + 1);
    record.path = path;
    record.pathStatus = PathStatus::Resolved;
    return record;
}

LaunchRecord userAssist(const std::wstring& path, PathStatus status, std::uint64_t run) {
    LaunchRecord record = makeRecord(userAssistSource);
    record.name = path.substr(path.rfind(L'\\') + 1);
    record.path = status == PathStatus::NoPathRecorded ? L"" : path;
    if (status == PathStatus::NoPathRecorded) {
        record.name = path;
    }
    record.pathStatus = status;
    record.runTimes = {run};
    record.runCount = 3;
    record.runCountKnown = 1;
    record.userSid = alice;
    record.userName = L"alice";
    return record;
}

ScanOrigin evidence() {
    ScanOrigin origin;
    origin.evidence = true;
    origin.pathVariables = {{L"SystemRoot", L"C:\\Windows"}};
    origin.systemDrive = L"C:";
    return origin;
}

const Program& programOf(const ProgramList& list, std::size_t record) {
    return list.programs.at(list.programOfRecord.at(record));
}

// What a program's ranges and spans hold, as plain values.
std::vector<std::size_t> recordsOf(const ProgramList& list, const Program& program) {
    const auto members = list.recordsOf(program);
    return {members.begin(), members.end()};
}
std::vector<RecordJoin> joinsOf(const ProgramList& list, const Program& program) {
    const auto joined = list.joinsOf(program);
    return {joined.begin(), joined.end()};
}
ProgramTexts texts(const ProgramList& list, const RecordList& records, const Program& program) {
    return programTexts(list, program, records, ScanOrigin{});
}

// Every record stands in exactly one program, as its program lists it.
void expectEachRecordOnce(const ProgramList& list, std::size_t records) {
    ASSERT_EQ(list.programOfRecord.size(), records);
    std::vector<int> seen(records, 0);
    for (std::size_t at = 0; at < list.programs.size(); ++at) {
        for (std::size_t index : list.recordsOf(list.programs[at])) {
            ASSERT_LT(index, records);
            ++seen[index];
            EXPECT_EQ(list.programOfRecord[index], at);
        }
    }
    for (int count : seen) {
        EXPECT_EQ(count, 1);
    }
}

TEST(ProgramJoin, RecordsNamingOneFileInAnyWrittenFormJoinAndOtherFoldersStayApart) {
    RecordList records = {
        prefetch(L"NOTEPAD.EXE", L"C:\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE", PathStatus::Resolved, 30,
                 L"\\DEVICE\\HARDDISKVOLUME3\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE"),
        cache(L"\\??\\C:\\Windows\\System32\\notepad.exe", base - 100 * hour, 2),
        amcache(L"%SystemRoot%\\system32\\notepad.exe", L"aa"),
        userAssist(L"C:\\Windows\\System32\\Notepad.exe", PathStatus::Resolved, base + hour),
        // The same name in another folder is another program.
        cache(L"C:\\Users\\bob\\Downloads\\notepad.exe", base - 10 * hour, 1),
    };
    const ProgramList list = buildPrograms(records, evidence());
    expectEachRecordOnce(list, records.size());
    ASSERT_EQ(list.programs.size(), 2u);
    const Program& notepad = list.programs[0];
    EXPECT_EQ(recordsOf(list, notepad), (std::vector<std::size_t>{0, 1, 2, 3}));
    for (RecordJoin join : joinsOf(list, notepad)) {
        EXPECT_EQ(join, RecordJoin::ByPath);
    }
    // The path as a record wrote it in mixed case, not Prefetch's capitals.
    EXPECT_EQ(texts(list, records, notepad).path, L"\\??\\C:\\Windows\\System32\\notepad.exe");
    EXPECT_EQ(texts(list, records, notepad).name, L"notepad.exe");
    // Each source under its own count, never summed; runs only from the
    // sources that prove them.
    EXPECT_EQ(texts(list, records, notepad).ranPer, L"Prefetch: 1 run; UserAssist: 3 runs");
    EXPECT_EQ(texts(list, records, notepad).seenBy,
              L"AppCompatCache: position 2; Amcache: inventoried");
    EXPECT_EQ(notepad.firstRun, base);
    EXPECT_EQ(notepad.firstRunSource, &prefetchSource);
    EXPECT_EQ(notepad.lastRun, base + hour);
    EXPECT_EQ(notepad.lastRunSource, &userAssistSource);
    const ProgramTexts said = texts(list, records, notepad);
    ASSERT_EQ(said.users.size(), 1u);
    EXPECT_EQ(said.users[0].name, L"alice");
    ASSERT_EQ(said.sha1.size(), 1u);
    EXPECT_EQ(said.sha1[0].value, L"aa");
    EXPECT_EQ(said.sha1[0].source, &amcacheSource);
    EXPECT_EQ(said.sha1[0].covers, 31457280u);
    EXPECT_EQ(texts(list, records, notepad).publisher, L"contoso");
    EXPECT_EQ(notepad.flags, 0u);

    EXPECT_EQ(recordsOf(list, list.programs[1]), std::vector<std::size_t>{4});
    EXPECT_EQ(list.counts.programs, 2u);
    EXPECT_EQ(list.counts.recordsJoined, 4u);
    EXPECT_EQ(list.counts.notJoined, (std::array<std::uint64_t, notJoinedReasons>{}));
}

TEST(ProgramJoin, ADevicePathJoinsThePrefetchFileItHashesToAndProvesItsVolume) {
    for (std::uint32_t version : {17u, 23u, 30u}) {
        RecordList records = {
            prefetch(L"RCLONE.EXE", L"C:\\TOOLS\\RCLONE.EXE", PathStatus::Resolved, version,
                     L"\\DEVICE\\HARDDISKVOLUME2\\TOOLS\\RCLONE.EXE"),
            // The Prefetch file does not name the device: it is found by the hash.
            bam(L"\\Device\\HarddiskVolume2\\Tools\\rclone.exe", base + 2 * hour),
            // Another program on the proven volume is placed on its drive.
            bam(L"\\Device\\HarddiskVolume2\\Users\\bob\\Downloads\\tool.exe", base + 3 * hour),
            cache(L"C:\\Users\\bob\\Downloads\\tool.exe", base - hour, 1),
            // A device the hash proves nothing of stays unplaced.
            bam(L"\\Device\\HarddiskVolume7\\x\\y.exe", base),
        };
        PrefetchDetails& details = *prefetchDetails(records[0]);
        details.referencedFiles = {L"\\VOLUME{01d5f51ea48267ca-96a49c74}\\TOOLS\\RCLONE.EXE"};
        details.recordedPath.clear();
        details.pathHash = prefetchHash(version == 17 ? PrefetchHashFunction::WindowsXp
                                                      : PrefetchHashFunction::WindowsVista,
                                        L"\\DEVICE\\HARDDISKVOLUME2\\TOOLS\\RCLONE.EXE");
        const ProgramList list = buildPrograms(records, evidence());
        expectEachRecordOnce(list, records.size());
        SCOPED_TRACE(version);
        const Program& rclone = programOf(list, 0);
        EXPECT_EQ(recordsOf(list, rclone), (std::vector<std::size_t>{0, 1}));
        EXPECT_EQ(joinsOf(list, rclone)[1], RecordJoin::ByPrefetchHash);
        EXPECT_EQ(rclone.lastRunSource, &bamSource);
        ASSERT_EQ(list.volumes.size(), 1u);
        EXPECT_EQ(list.volumes[0].device, L"\\DEVICE\\HARDDISKVOLUME2");
        EXPECT_EQ(list.volumes[0].drive, L"C:");
        EXPECT_EQ(list.counts.volumesProven, 1u);

        const Program& tool = programOf(list, 2);
        EXPECT_EQ(recordsOf(list, tool), (std::vector<std::size_t>{2, 3}));
        EXPECT_EQ(texts(list, records, tool).path, L"C:\\Users\\bob\\Downloads\\tool.exe");
        const Program& unplaced = programOf(list, 4);
        EXPECT_EQ(unplaced.records.count, 1u);
        EXPECT_EQ(joinsOf(list, unplaced)[0], RecordJoin::VolumeNotIdentified);
        EXPECT_EQ(list.counts.notJoined[1], 1u);
    }
}

TEST(ProgramJoin, TheProvenVolumePlacesPathsAndSaysHow) {
    // The Prefetch file records its own device path (Windows 10).
    RecordList records = {
        prefetch(L"POWERSHELL.EXE", L"C:\\WINDOWS\\SYSTEM32\\POWERSHELL.EXE", PathStatus::Resolved,
                 30, L"\\DEVICE\\HARDDISKVOLUME3\\WINDOWS\\SYSTEM32\\POWERSHELL.EXE"),
        bam(L"\\Device\\HarddiskVolume3\\Users\\bob\\tool.exe", base),
        amcache(L"c:\\users\\bob\\tool.exe", L"bb"),
    };
    PrefetchDetails& details = *prefetchDetails(records[0]);
    details.recordedPath = details.referencedFiles[0];
    const ProgramList list = buildPrograms(records, evidence());
    const Program& tool = programOf(list, 1);
    EXPECT_EQ(recordsOf(list, tool), (std::vector<std::size_t>{1, 2}));
    const std::wstring placed = texts(list, records, tool).placed;
    EXPECT_NE(placed.find(L"\\DEVICE\\HARDDISKVOLUME3 is C:"), std::wstring::npos) << placed;
    EXPECT_NE(placed.find(L"POWERSHELL.EXE"), std::wstring::npos);
}

TEST(ProgramJoin, AHashNamingNoFileOrTwoProgramsJoinsNothing) {
    // Two Prefetch files of one name and hash whose volumes are not known
    // (from two machines): a device path hashing to both picks neither.
    const std::wstring device = L"\\DEVICE\\HARDDISKVOLUME2\\TOOLS\\RCLONE.EXE";
    RecordList records = {
        prefetch(L"RCLONE.EXE", L"\\VOLUME{01d5f51ea48267ca-96a49c74}\\TOOLS\\RCLONE.EXE",
                 PathStatus::VolumeNotIdentified, 30, device),
        prefetch(L"RCLONE.EXE", L"\\VOLUME{01d00000000000aa-11111111}\\TOOLS\\RCLONE.EXE",
                 PathStatus::VolumeNotIdentified, 23, device),
        bam(L"\\Device\\HarddiskVolume2\\Tools\\rclone.exe", base),
        // The /prefetch option changes a file's hash: the path alone hashes to nothing.
        bam(L"\\Device\\HarddiskVolume2\\Tools\\rclone2.exe", base),
    };
    for (std::size_t file : {0u, 1u}) {
        prefetchDetails(records[file])->referencedFiles = {records[file].path};
    }
    const ProgramList list = buildPrograms(records, evidence());
    expectEachRecordOnce(list, records.size());
    EXPECT_EQ(list.programs.size(), 4u);
    EXPECT_EQ(joinsOf(list, programOf(list, 2))[0], RecordJoin::SeveralCandidates);
    EXPECT_EQ(joinsOf(list, programOf(list, 3))[0], RecordJoin::VolumeNotIdentified);
    EXPECT_EQ(list.counts.notJoined[3], 1u);
    EXPECT_EQ(list.counts.notJoined[1], 3u);
    EXPECT_EQ(list.counts.volumesProven, 0u);
}

TEST(ProgramJoin, APackagedApplicationJoinsByItsFamilyAndOtherIdsStayAlone) {
    RecordList records = {
        bam(L"Microsoft.WindowsCalculator_8wekyb3d8bbwe", base, true),
        userAssist(L"Microsoft.WindowsCalculator_8wekyb3d8bbwe!App", PathStatus::NoPathRecorded,
                   base + hour),
        userAssist(L"Microsoft.Windows.Explorer", PathStatus::NoPathRecorded, base),
        userAssist(L"{6D809377-6AF0-444B-8957-A3773F02200E}\\App\\app.exe",
                   PathStatus::FolderIdUnresolved, base),
    };
    LaunchRecord packaged = makeRecord(appCompatCacheSource);
    packaged.name = L"Microsoft.WindowsCalculator";
    appCompatCacheDetails(packaged)->package =
        L"0000000b\t0006000200000000\t000a000000000000\t8664\tMicrosoft.WindowsCalculator\t"
        L"8wekyb3d8bbwe\tneutral";
    records.push_back(packaged);
    const ProgramList list = buildPrograms(records, evidence());
    expectEachRecordOnce(list, records.size());
    const Program& calculator = programOf(list, 0);
    EXPECT_EQ(recordsOf(list, calculator), (std::vector<std::size_t>{0, 1, 4}));
    EXPECT_EQ(joinsOf(list, calculator), std::vector<RecordJoin>(3, RecordJoin::ByPackage));
    EXPECT_EQ(texts(list, records, calculator).name, L"Microsoft.WindowsCalculator_8wekyb3d8bbwe");
    EXPECT_EQ(joinsOf(list, programOf(list, 2))[0], RecordJoin::NoPathRecorded);
    EXPECT_EQ(joinsOf(list, programOf(list, 3))[0], RecordJoin::FolderNotPlaced);
    EXPECT_EQ(list.counts.notJoined[0], 1u);
    EXPECT_EQ(list.counts.notJoined[2], 1u);
}

TEST(ProgramJoin, ContradictionsAreFlaggedAndExplainedNotResolved) {
    ScanOrigin origin = evidence();
    origin.collection = true;
    origin.collectionRead.collectedAt = base + 10 * hour;
    RecordList records = {
        // Replaced: two SHA-1 values for one path; the cache's modification
        // time differs from Amcache's.
        amcache(L"C:\\Tools\\a.exe", L"1111111111111111111111111111111111111111", base - 5 * hour),
        amcache(L"C:\\Tools\\a.exe", L"2222222222222222222222222222222222222222"),
        cache(L"C:\\Tools\\a.exe", base - 7 * hour, 3),
        // Seen only.
        cache(L"C:\\Tools\\seen.exe", base, 4),
        // A run after the collection was made.
        userAssist(L"C:\\Tools\\late.exe", PathStatus::Resolved, base + 20 * hour),
        // A run before its volume was created.
        prefetch(L"EARLY.EXE", L"C:\\TOOLS\\EARLY.EXE", PathStatus::Resolved, 30,
                 L"\\DEVICE\\HARDDISKVOLUME3\\TOOLS\\EARLY.EXE", {base - 48 * hour}),
    };
    PrefetchDetails& early = *prefetchDetails(records[5]);
    early.volumes = {{L"\\DEVICE\\HARDDISKVOLUME3", base - 24 * hour, 0x1234}};
    const ProgramList list = buildPrograms(records, origin);
    const Program& replaced = programOf(list, 0);
    EXPECT_EQ(replaced.flags, contradictionSha1 | contradictionModified | contradictionPresentOnly);
    EXPECT_NE(texts(list, records, replaced).contradictions.find(L"Two SHA-1 values"),
              std::wstring::npos);
    EXPECT_NE(texts(list, records, replaced).contradictions.find(L"modification time"),
              std::wstring::npos);
    EXPECT_EQ(programOf(list, 3).flags, static_cast<std::uint32_t>(contradictionPresentOnly));
    EXPECT_NE(
        texts(list, records, programOf(list, 3)).contradictions.find(L"never recorded running"),
        std::wstring::npos);
    EXPECT_EQ(programOf(list, 4).flags, static_cast<std::uint32_t>(contradictionAfterCollection));
    EXPECT_EQ(programOf(list, 5).flags, static_cast<std::uint32_t>(contradictionBeforeVolume));
    EXPECT_EQ(list.counts.contradictions,
              (std::array<std::uint64_t, contradictionKinds>{1, 1, 2, 1, 1}));
}

TEST(ProgramJoin, OnlyRecordsThatProveARunGiveRunsAndUsers) {
    // A record that only shows the file was seen carries a time and a user
    // (as a broken or altered source might): neither becomes a run.
    LaunchRecord seen = cache(L"C:\\Tools\\b.exe", base, 1);
    seen.runTimes = {base + 50 * hour};
    seen.userSid = L"S-1-5-21-9-9-9-1009";
    RecordList records = {seen, userAssist(L"C:\\Tools\\b.exe", PathStatus::Resolved, base)};
    const ProgramList list = buildPrograms(records, evidence());
    const Program& program = programOf(list, 0);
    EXPECT_EQ(program.lastRun, base);
    EXPECT_EQ(program.lastRunSource, &userAssistSource);
    const ProgramTexts said = texts(list, records, program);
    ASSERT_EQ(said.users.size(), 1u);
    EXPECT_EQ(said.users[0].sid, alice);
    EXPECT_EQ(program.flags & contradictionPresentOnly, 0u);

    records.pop_back();
    const ProgramList alone = buildPrograms(records, evidence());
    EXPECT_EQ(alone.programs[0].firstRun, 0u);
    EXPECT_TRUE(texts(alone, records, alone.programs[0]).users.empty());
}

TEST(ProgramJoin, NoRecordsMakeNoPrograms) {
    const ProgramList list = buildPrograms({}, evidence());
    EXPECT_TRUE(list.programs.empty());
    EXPECT_EQ(list.counts.programs, 0u);
}

} // namespace
} // namespace tidewell
