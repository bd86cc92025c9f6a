// The detail text, branch by branch, against texts written out by hand.
#include "ui/detail_text.h"

#include <gtest/gtest.h>

#include "support/record_details.h"

#include "core/record_source.h"
#include "platform/timestamp_format.h"
#include "prefetch/prefetch_source.h"
#include "support/corpus_files.h"
#include "userassist/userassist_source.h"

namespace tidewell {
namespace {

const std::wstring ownSid = L"S-1-5-21-1-2-3-1001";
const DetailContext own{ownSid, false};

LaunchRecord prefetchRecord() {
    LaunchRecord record = makeRecord(prefetchSource);
    record.name = L"NOTEPAD.EXE";
    record.path = L"C:\\WINDOWS\\NOTEPAD.EXE";
    record.pathStatus = PathStatus::Resolved;
    record.runCount = 12;
    record.runCountKnown = 1;
    testing::prefetchOf(record).formatVersion = 30;
    testing::prefetchOf(record).pathHash = 0x1A2B;
    testing::prefetchOf(record).volumeSerial = 0x1A2B3C4D;
    testing::prefetchOf(record).volumeCount = 2;
    testing::prefetchOf(record).volumeCreated = 0;
    record.recordFile = L"C:\\Windows\\Prefetch\\NOTEPAD.EXE-00001A2B.pf";
    return record;
}

LaunchRecord userAssistRecord() {
    LaunchRecord record = makeRecord(userAssistSource);
    record.name = L"app.exe";
    record.path = L"C:\\Tools\\app.exe";
    record.pathStatus = PathStatus::Resolved;
    record.runCount = 4;
    record.runCountKnown = 1;
    record.userSid = ownSid;
    record.userName = L"analyst";
    testing::userAssistOf(record).focusCount = 3;
    testing::userAssistOf(record).focusMilliseconds = 2500;
    testing::userAssistOf(record).hasFocus = 1;
    return record;
}

TEST(DetailText, APrefetchRecordWholeWithTwoVolumesAndNoCreationTime) {
    const LaunchRecord record = prefetchRecord();
    EXPECT_EQ(buildDetailText(record, own),
              L"NOTEPAD.EXE\r\n"
              L"\r\n"
              L"Source:            Prefetch (system record of program starts)\r\n"
              L"Path:              C:\\WINDOWS\\NOTEPAD.EXE\r\n"
              L"Path status:       resolved  \u2014 matched by volume serial. NOTE: the record "
              L"names 2\r\n"
              L"                   volumes and 1A2B3C4D is only the first of them\r\n"
              L"Times run:         12\r\n"
              L"Format version:    30\r\n"
              L"Path hash:         00001A2B\r\n"
              L"Volume serial:     1A2B3C4D\r\n"
              L"Volume created:    not recorded\r\n"
              L"Record file:       C:\\Windows\\Prefetch\\NOTEPAD.EXE-00001A2B.pf\r\n"
              L"\r\n"
              L"Recorded run times (Windows keeps the last eight):\r\n"
              L"    none recorded \u2014 this is not the same as never having run\r\n");
}

TEST(DetailText, OneVolumeOrNoSerial) {
    LaunchRecord record = prefetchRecord();
    testing::prefetchOf(record).volumeCount = 1;
    testing::prefetchOf(record).volumeSerial = 0x00ABCDEF;
    std::wstring text = buildDetailText(record, own);
    EXPECT_NE(
        text.find(L"Path status:       resolved  \u2014 matched to a mounted volume by serial "
                  L"00ABCDEF\r\n"),
        std::wstring::npos);
    testing::prefetchOf(record).volumeSerial = 0;
    text = buildDetailText(record, own);
    EXPECT_NE(text.find(L"Path status:       resolved\r\n"), std::wstring::npos);
    EXPECT_EQ(text.find(L"Volume serial"), std::wstring::npos);
    EXPECT_EQ(text.find(L"Volume created"), std::wstring::npos);
}

TEST(DetailText, RunTimesFilesCreationTimeAndTheTruncatedName) {
    LaunchRecord record = prefetchRecord();
    record.name = L"DCODEDCODEDCODEDCODEDCODEDCOD";
    testing::prefetchOf(record).nameTruncated = 1;
    record.runCountKnown = 0;
    testing::prefetchOf(record).volumeCreated = 133497936000000000ULL;
    record.runTimes = {133497936000000000ULL, 133400000000000000ULL};
    testing::prefetchOf(record).referencedFiles = {L"\\VOLUME{1}\\A.DLL", L"\\VOLUME{1}\\B.DLL"};
    const std::wstring text = buildDetailText(record, own);
    EXPECT_NE(
        text.find(
            L"\r\n\r\n    Windows stores the program's name in 60 bytes, so this one is cut\r\n"
            L"    at 29 characters and may be the front of a longer name.\r\n"
            L"Times run:         withheld \u2014 the stored value failed a consistency "
            L"check and is not shown rather than shown wrongly\r\n"),
        std::wstring::npos);
    EXPECT_NE(text.find(L"Volume created:    " + formatTimestamp(133497936000000000ULL) + L"\r\n"),
              std::wstring::npos);
    const std::wstring tail = L"Recorded run times (Windows keeps the last eight):\r\n    " +
                              formatTimestamp(133497936000000000ULL) + L"\r\n    " +
                              formatTimestamp(133400000000000000ULL) +
                              L"\r\n\r\nFiles loaded while starting (2):\r\n"
                              L"    \\VOLUME{1}\\A.DLL\r\n    \\VOLUME{1}\\B.DLL\r\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail) << "the text ends with its last line";
}

TEST(DetailText, OlderFormatsDoNotClaimEightRunTimes) {
    LaunchRecord record = prefetchRecord();
    for (std::uint32_t version : {17u, 23u}) {
        testing::prefetchOf(record).formatVersion = version;
        EXPECT_NE(buildDetailText(record, own).find(L"\r\nRecorded run times:\r\n"),
                  std::wstring::npos)
            << version;
    }
    for (std::uint32_t version : {26u, 31u}) {
        testing::prefetchOf(record).formatVersion = version;
        EXPECT_NE(buildDetailText(record, own).find(L"(Windows keeps the last eight)"),
                  std::wstring::npos);
    }
}

TEST(DetailText, AUserAssistRecordWhole) {
    LaunchRecord record = userAssistRecord();
    EXPECT_EQ(buildDetailText(record, own),
              L"app.exe\r\n"
              L"\r\n"
              L"Source:            UserAssist (shell record of user launches)\r\n"
              L"Path:              C:\\Tools\\app.exe\r\n"
              L"Path status:       resolved\r\n"
              L"Times run:         4\r\n"
              L"User:              analyst\r\n"
              L"User SID:          S-1-5-21-1-2-3-1001\r\n"
              L"Window focus:      3 times, 2.5 seconds total\r\n"
              L"\r\n"
              L"Recorded run times:\r\n"
              L"    none recorded \u2014 this is not the same as never having run\r\n");
}

TEST(DetailText, AStampWithNoCountedLaunchIsExplained) {
    LaunchRecord record = userAssistRecord();
    record.runCount = 0;
    testing::userAssistOf(record).focusCount = 0;
    testing::userAssistOf(record).focusMilliseconds = 0;
    record.runTimes = {133497936000000000ULL};
    record.userName.clear();
    record.userSid.clear();
    const std::wstring text = buildDetailText(record, own);
    EXPECT_NE(
        text.find(L"Times run:         0\r\n"
                  L"\r\n    This record carries a timestamp while its launch tally, its focus\r\n"
                  L"    count and its focus time are all zero. The shell wrote the entry and\r\n"
                  L"    stamped it without counting a launch. The stamp is real; it is not on\r\n"
                  L"    its own evidence that the program was started.\r\n"
                  L"User:              (the SID resolves to no account)\r\n"
                  L"User SID:          (unknown)\r\n"
                  L"Window focus:      0 times, 0.0 seconds total\r\n"),
        std::wstring::npos);
}

TEST(DetailText, PathStatusExplanations) {
    LaunchRecord shell = userAssistRecord();
    shell.path.clear();
    shell.pathStatus = PathStatus::NoPathRecorded;
    EXPECT_NE(
        buildDetailText(shell, own)
            .find(L"Path:              (none recorded)\r\nPath status:       no path recorded  "
                  L"\u2014 this record identifies an application, not a file on disk\r\n"),
        std::wstring::npos);
    // A Prefetch record without a path names no application: no such claim.
    LaunchRecord prefetch = prefetchRecord();
    prefetch.path.clear();
    prefetch.pathStatus = static_cast<PathStatus>(4);
    EXPECT_NE(buildDetailText(prefetch, own).find(L"Path status:       no path recorded\r\n"),
              std::wstring::npos);
    prefetch.pathStatus = static_cast<PathStatus>(7);
    EXPECT_NE(buildDetailText(prefetch, own).find(L"Path status:       no path recorded\r\n"),
              std::wstring::npos);

    prefetch.pathStatus = PathStatus::SeveralPossiblePaths;
    EXPECT_NE(
        buildDetailText(prefetch, own)
            .find(L"several possible paths  \u2014 more than one file the program loaded carries "
                  L"its name.\r\n                   The record does not say which of them the "
                  L"program was,\r\n                   so all of the candidates are listed "
                  L"rather than one\r\n                   of them being chosen\r\n"),
        std::wstring::npos);
    prefetch.pathStatus = PathStatus::VolumeNotIdentified;
    EXPECT_NE(
        buildDetailText(prefetch, own)
            .find(L"volume not identified  \u2014 no single mounted volume answers to the serial "
                  L"it names\r\n"),
        std::wstring::npos);
}

TEST(DetailText, AFolderIdSpeaksOfAnotherAccountOnlyForAnotherAccountsRecord) {
    LaunchRecord record = userAssistRecord();
    record.pathStatus = PathStatus::FolderIdUnresolved;
    record.userSid = L"S-1-5-21-1-2-3-1002";
    const std::wstring otherAccount =
        L"folder id unresolved  \u2014 a folder inside a profile. It can only be located with\r\n"
        L"                   the rights of the account it belongs to, and this\r\n"
        L"                   record does not belong to the account running the tool\r\n";
    EXPECT_NE(buildDetailText(record, own).find(otherAccount), std::wstring::npos);
    const std::wstring unrecognised =
        L"folder id unresolved  \u2014 the shell did not recognise this folder id\r\n";
    record.userSid = L"s-1-5-21-1-2-3-1001"; // the running account, in other case
    EXPECT_NE(buildDetailText(record, own).find(unrecognised), std::wstring::npos);
    record.userSid.clear();
    EXPECT_NE(buildDetailText(record, own).find(unrecognised), std::wstring::npos);
}

TEST(DetailText, TheVolumesAndThePathTheFileRecords) {
    LaunchRecord record = prefetchRecord();
    testing::prefetchOf(record).formatVersion = 31;
    testing::prefetchOf(record).volumeCount = 2;
    testing::prefetchOf(record).volumes = {
        {L"\\VOLUME{01d5f51ea48267ca-96a49c74}", 133497936000000000ULL, 0x96A49C74},
        {L"", 0, 0x0000BEEF}};
    testing::prefetchOf(record).recordedPath = L"\\DEVICE\\HARDDISKVOLUME5\\WINDOWS\\NOTEPAD.EXE";
    std::wstring text = buildDetailText(record, own);
    EXPECT_NE(text.find(L"Record file:       C:\\Windows\\Prefetch\\NOTEPAD.EXE-00001A2B.pf\r\n"
                        L"Recorded path:     \\DEVICE\\HARDDISKVOLUME5\\WINDOWS\\NOTEPAD.EXE\r\n"
                        L"                   \u2014 the path Windows recorded for the program "
                        L"itself;\r\n"
                        L"                   it names the volume as the kernel does, not by its "
                        L"letter\r\n"
                        L"\r\nRecorded run times"),
              std::wstring::npos)
        << testing::narrow(text);
    EXPECT_NE(text.find(L"    none recorded \u2014 this is not the same as never having run\r\n"
                        L"\r\n"
                        L"Volumes the file names (2):\r\n"
                        L"    \\VOLUME{01d5f51ea48267ca-96a49c74}, serial 96A49C74, created " +
                        formatTimestamp(133497936000000000ULL) +
                        L"\r\n"
                        L"    (no device path), serial 0000BEEF, created not recorded\r\n"),
              std::wstring::npos)
        << testing::narrow(text);

    testing::prefetchOf(record).recordedPath =
        L"Microsoft.WindowsNotepad_11.2312.18.0_x64__8wekyb3d8bbwe";
    text = buildDetailText(record, own);
    EXPECT_NE(text.find(L"Recorded path:     Microsoft.WindowsNotepad_11.2312.18.0_x64__"
                        L"8wekyb3d8bbwe\r\n"
                        L"                   \u2014 the package Windows recorded for the program: "
                        L"a\r\n"
                        L"                   packaged app, named by its package rather than a "
                        L"path\r\n"),
              std::wstring::npos)
        << testing::narrow(text);

    testing::prefetchOf(record).recordedPath.clear();
    testing::prefetchOf(record).volumes.clear();
    text = buildDetailText(record, own);
    EXPECT_EQ(text.find(L"Recorded path:"), std::wstring::npos);
    EXPECT_EQ(text.find(L"Volumes the file names"), std::wstring::npos);
}

TEST(DetailText, InUtcEveryMomentSaysSo) {
    LaunchRecord record = prefetchRecord();
    testing::prefetchOf(record).volumeCount = 1;
    testing::prefetchOf(record).volumeCreated = 133497936000000000ULL;
    testing::prefetchOf(record).volumes = {
        {L"\\VOLUME{01d5f51ea48267ca-96a49c74}", 133497936000000000ULL, 0x96A49C74}};
    record.runTimes = {133498350000000000ULL, 133497936000000000ULL};
    const std::wstring text = buildDetailText(record, DetailContext{ownSid, false, TimeBasis::Utc});
    EXPECT_NE(text.find(L"Volume created:    2024-01-15 12:00:00 UTC\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"(Windows keeps the last eight):\r\n"
                        L"    2024-01-15 23:30:00 UTC\r\n"
                        L"    2024-01-15 12:00:00 UTC\r\n"),
              std::wstring::npos)
        << testing::narrow(text);
    EXPECT_NE(text.find(L"serial 96A49C74, created 2024-01-15 12:00:00 UTC\r\n"),
              std::wstring::npos);
    EXPECT_EQ(buildDetailText(record, own).find(L"UTC"), std::wstring::npos)
        << "local time is the default and says nothing";
}

TEST(DetailText, AShadowCopyPathSaysWhyItWasNotRewritten) {
    LaunchRecord record = prefetchRecord();
    record.pathStatus = PathStatus::VolumeNotIdentified;
    record.path = L"\\DEVICE\\HarddiskVolumeShadowCopy4\\WINDOWS\\NOTEPAD.EXE";
    EXPECT_NE(buildDetailText(record, own)
                  .find(L"Path status:       volume not identified  \u2014 it lies on a shadow "
                        L"copy, a snapshot of a volume that\r\n"
                        L"                   carries the serial of the volume it copies; "
                        L"rewritten onto\r\n"
                        L"                   that volume it would name a file that may not be "
                        L"there\r\n"),
              std::wstring::npos);
    record.path = L"\\DEVICE\\HARDDISKVOLUME4\\WINDOWS\\NOTEPAD.EXE";
    EXPECT_NE(buildDetailText(record, own)
                  .find(L"Path status:       volume not identified  \u2014 no single mounted "
                        L"volume answers to the serial it names\r\n"),
              std::wstring::npos);
}

TEST(DetailText, ARecordOfCollectedEvidenceSpeaksOfTheExaminedMachine) {
    const DetailContext evidence{L"", true};
    LaunchRecord user = userAssistRecord();
    user.userName = L"alice";
    std::wstring text = buildDetailText(user, evidence);
    EXPECT_NE(text.find(L"User:              alice (the name of the profile's folder; the "
                        L"examined machine's\r\n"
                        L"                   account names are not read)\r\n"),
              std::wstring::npos)
        << testing::narrow(text);
    user.pathStatus = PathStatus::FolderIdUnresolved;
    EXPECT_NE(buildDetailText(user, evidence)
                  .find(L"Path status:       folder id unresolved  \u2014 the examined machine's "
                        L"registry does not say where it was\r\n"),
              std::wstring::npos);

    LaunchRecord prefetch = prefetchRecord();
    EXPECT_NE(buildDetailText(prefetch, evidence)
                  .find(L"Path status:       resolved  \u2014 on the examined machine's system "
                        L"volume, which its\r\n"
                        L"                   Prefetch files prove by its serial\r\n"),
              std::wstring::npos);
    prefetch.pathStatus = PathStatus::VolumeNotIdentified;
    prefetch.path = L"\\VOLUME{01d5f51ea48267ca-12345678}\\TOOLS\\X.EXE";
    EXPECT_NE(buildDetailText(prefetch, evidence)
                  .find(L"Path status:       volume not identified  \u2014 only the examined "
                        L"machine's system volume can be\r\n"
                        L"                   placed (by the serial its Prefetch files prove), "
                        L"and\r\n"
                        L"                   this path is not on it\r\n"),
              std::wstring::npos);
}

TEST(DetailText, RunTimesOutOfOrderAreSaidBelowThem) {
    LaunchRecord record = prefetchRecord();
    record.runTimes = {133500000000000000ULL, 133500000000000009ULL};
    EXPECT_EQ(buildDetailText(record, own).find(L"not in time order"), std::wstring::npos);
    testing::prefetchOf(record).runTimesOutOfOrder = 1;
    const std::wstring text = buildDetailText(record, own);
    EXPECT_NE(text.find(L"\r\n\r\n    These times are not in time order, though Windows writes "
                        L"the newest\r\n"),
              std::wstring::npos)
        << testing::narrow(text);
    EXPECT_LT(text.find(formatTimestamp(133500000000000009ULL)), text.find(L"not in time order"));
}

TEST(DetailText, AFolderPlacedAtItsDocumentedDefaultSaysSo) {
    const DetailContext evidence{L"", true};
    LaunchRecord user = userAssistRecord();
    user.path = L"C:\\Program Files\\app.exe";
    testing::userAssistOf(user).folderAtDefault = 1;
    EXPECT_NE(buildDetailText(user, evidence)
                  .find(L"Path status:       resolved  \u2014 the examined machine's registry "
                        L"does not record\r\n"
                        L"                   where this folder was, so it is placed where "
                        L"Windows\r\n"
                        L"                   puts it by default\r\n"),
              std::wstring::npos);
    user.path = L"%SystemDrive%\\Program Files\\app.exe";
    EXPECT_NE(buildDetailText(user, evidence)
                  .find(L"puts it by default; nor does it record the letter\r\n"
                        L"                   of its system drive, hence %SystemDrive%\r\n"),
              std::wstring::npos);
    testing::userAssistOf(user).folderAtDefault = 0;
    EXPECT_EQ(buildDetailText(user, evidence).find(L"by default"), std::wstring::npos);
}

TEST(DetailText, AMergedRecordSaysWhichCopyHeldEachRunTime) {
    const std::vector<MachineCopy> copies = {{L"current volume", 0, L"", true},
                                             {L"shadow copy 2", 130305262689190583ULL, L"", true}};
    DetailContext context{L"", true, TimeBasis::Utc, &copies};
    LaunchRecord record = prefetchRecord();
    record.runTimes = {133500000000000000ULL, 133400000000000000ULL};
    record.copies = {0, 1};
    record.runTimeCopies = {0, 1};
    std::wstring text = buildDetailText(record, context);
    EXPECT_NE(text.find(L"Found in:          current volume; shadow copy 2 (made "
                        L"2013-12-03 06:37:48 UTC)\r\n"),
              std::wstring::npos)
        << testing::narrow(text);
    EXPECT_NE(text.find(L"    2024-01-17 21:20:00 UTC  \u2014 current volume\r\n"),
              std::wstring::npos);
    EXPECT_NE(text.find(L"  \u2014 shadow copy 2 (made 2013-12-03 06:37:48 UTC)\r\n"),
              std::wstring::npos);
    EXPECT_EQ(text.find(L"Only older copies"), std::wstring::npos);

    record.copies = {1};
    record.runTimeCopies = {1, 1};
    testing::prefetchOf(record).deletedFile = 1;
    text = buildDetailText(record, context);
    EXPECT_NE(text.find(L"Only older copies of the volume hold this record"), std::wstring::npos);
    EXPECT_NE(text.find(L"Read from a deleted file that the volume's file table still lists."),
              std::wstring::npos);
}

} // namespace
} // namespace tidewell
