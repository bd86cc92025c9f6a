// Choosing a Prefetch record's path among the files it loaded, and tying a
// volume-device path to a mounted volume by its serial.
#include <gtest/gtest.h>

#include "support/record_details.h"

#include "fake/fake_machine.h"
#include "platform/error_codes.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_details.h"
#include "prefetch/prefetch_path_choice.h"
#include "prefetch/prefetch_source.h"
#include "prefetch/volume_path.h"
#include "support/corpus_files.h"

namespace tidewell {
namespace {

const std::wstring notepadOnVolume = L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\WINDOWS\\NOTEPAD.EXE";

fake::Volume volume(const wchar_t* name, std::uint32_t serial,
                    std::vector<std::wstring> mountPoints) {
    fake::Volume v;
    v.name = name;
    v.serial = serial;
    v.mountPoints = std::move(mountPoints);
    return v;
}

class VolumeTable : public ::testing::Test {
protected:
    void SetUp() override { fake::resetAll(); }
    void TearDown() override { fake::resetAll(); }
};

TEST(VolumePathForm, ExactlyTheVolumeDeviceFormIsParsed) {
    VolumePath parsed;
    ASSERT_TRUE(parseVolumePath(notepadOnVolume, parsed));
    EXPECT_EQ(parsed.serial, 0x1A2B3C4Du);
    EXPECT_EQ(parsed.group, 0x01D2A3B4C5D6E7F8ULL);
    EXPECT_EQ(parsed.rest, L"\\WINDOWS\\NOTEPAD.EXE");
    ASSERT_TRUE(parseVolumePath(L"\\VOLUME{abcdefABCDEF0123-deadBEEF}", parsed));
    EXPECT_EQ(parsed.serial, 0xDEADBEEFu);
    EXPECT_EQ(parsed.rest, L"");

    const std::wstring refused[] = {
        L"\\volume{01D2A3B4C5D6E7F8-1A2B3C4D}\\WINDOWS\\NOTEPAD.EXE", // prefix in lower case
        L"\\VOLUME{01D2A3B4C5D6E7G8-1A2B3C4D}\\WINDOWS\\NOTEPAD.EXE", // G in the group
        L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4G}\\WINDOWS\\NOTEPAD.EXE", // G in the serial
        L"\\VOLUME{01D2A3B4C5D6E7F8_1A2B3C4D}\\WINDOWS\\NOTEPAD.EXE", // not a dash at 24
        L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D)\\WINDOWS\\NOTEPAD.EXE", // not a brace at 33
        L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4}",                        // 33 characters
        L"C:\\WINDOWS\\NOTEPAD.EXE",
        L"",
    };
    for (const std::wstring& text : refused) {
        EXPECT_FALSE(parseVolumePath(text, parsed)) << text.size();
    }
}

TEST_F(VolumeTable, TheOneVolumeWithTheSerialGivesItsMountPoint) {
    fake::setVolumes({volume(L"\\\\?\\Volume{a}\\", 0x11111111, {L"D:\\"}),
                      volume(L"\\\\?\\Volume{b}\\", 0x1A2B3C4D, {L"C:\\", L"E:\\Mounted\\"})});
    const VolumeResolution resolution = resolveVolumePath(notepadOnVolume, {});
    EXPECT_TRUE(resolution.identified);
    EXPECT_EQ(resolution.path, L"C:\\WINDOWS\\NOTEPAD.EXE");
    EXPECT_EQ(resolution.volumesWithSerial, 1u);
}

TEST_F(VolumeTable, MountPointsWithoutAFinalBackslashAndRepeatedLeadingBackslashes) {
    fake::setVolumes({volume(L"v", 0x1A2B3C4D, {L"C:\\Mount\\Data"})});
    EXPECT_EQ(resolveVolumePath(L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\\\\\X\\A.EXE", {}).path,
              L"C:\\Mount\\Data\\X\\A.EXE");
    EXPECT_EQ(resolveVolumePath(L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}A.EXE", {}).path,
              L"C:\\Mount\\Data\\A.EXE");
}

TEST_F(VolumeTable, TwoVolumesWithOneSerialAreNotIdentified) {
    fake::setVolumes({volume(L"a", 0x1A2B3C4D, {L"C:\\"}), volume(L"b", 0x1A2B3C4D, {L"D:\\"})});
    const VolumeResolution resolution = resolveVolumePath(notepadOnVolume, {});
    EXPECT_FALSE(resolution.identified);
    EXPECT_TRUE(resolution.path.empty());
    EXPECT_EQ(resolution.volumesWithSerial, 2u);
}

TEST_F(VolumeTable, VolumesWithoutMountPointOrWhoseQuestionsFailAreNotCounted) {
    fake::Volume unmounted = volume(L"a", 0x1A2B3C4D, {});
    fake::Volume emptyFirst = volume(L"b", 0x1A2B3C4D, {L""});
    fake::Volume serialFails = volume(L"c", 0x1A2B3C4D, {L"F:\\"});
    serialFails.serialFails = true;
    fake::Volume listFails = volume(L"d", 0x1A2B3C4D, {L"G:\\"});
    listFails.mountPointsFail = true;
    fake::setVolumes({unmounted, emptyFirst, serialFails, listFails});
    VolumeResolution resolution = resolveVolumePath(notepadOnVolume, {});
    EXPECT_FALSE(resolution.identified);
    EXPECT_EQ(resolution.volumesWithSerial, 0u);

    // One reachable volume among them is enough.
    fake::setVolumes({unmounted, volume(L"e", 0x1A2B3C4D, {L"H:\\"}), serialFails});
    resolution = resolveVolumePath(notepadOnVolume, {});
    EXPECT_TRUE(resolution.identified);
    EXPECT_EQ(resolution.path, L"H:\\WINDOWS\\NOTEPAD.EXE");
}

TEST_F(VolumeTable, AListingThatBreaksOffIdentifiesNothing) {
    // The volume never seen carries the same serial: one match proves nothing.
    fake::setVolumes({volume(L"a", 0x1A2B3C4D, {L"C:\\"}), volume(L"b", 0x1A2B3C4D, {L"D:\\"})});
    fake::breakVolumeListingAfter(1, ERROR_ACCESS_DENIED);
    const VolumeResolution resolution = resolveVolumePath(notepadOnVolume, {});
    EXPECT_FALSE(resolution.identified);
    EXPECT_TRUE(resolution.path.empty());

    LaunchRecord record = makeRecord(prefetchSource);
    record.name = L"NOTEPAD.EXE";
    testing::prefetchOf(record).referencedFiles = {notepadOnVolume};
    ScanTally tally;
    choosePrefetchPath(record, tally);
    EXPECT_EQ(record.pathStatus, PathStatus::VolumeNotIdentified);
    EXPECT_EQ(record.path, notepadOnVolume);
    EXPECT_EQ(tally[volumesNotIdentified], 1u);
    EXPECT_EQ(tally[volumesAmbiguous], 0u);
}

TEST_F(VolumeTable, NoListingMeansNotIdentifiedWithNoCount) {
    fake::setVolumes({volume(L"a", 0x1A2B3C4D, {L"C:\\"})});
    fake::setVolumeListingFails(true);
    const VolumeResolution resolution = resolveVolumePath(notepadOnVolume, {});
    EXPECT_FALSE(resolution.identified);
    EXPECT_EQ(resolution.volumesWithSerial, 0u);
}

LaunchRecord recordNamed(const std::wstring& name, std::vector<std::wstring> files) {
    LaunchRecord record = makeRecord(prefetchSource);
    record.name = name;
    testing::prefetchOf(record).nameTruncated = name.size() >= 29 ? 1 : 0;
    testing::prefetchOf(record).referencedFiles = std::move(files);
    return record;
}

TEST_F(VolumeTable, ASingleCandidateIsResolvedOntoItsDrive) {
    fake::setVolumes({volume(L"c", 0x1A2B3C4D, {L"C:\\"})});
    LaunchRecord record = recordNamed(
        L"NOTEPAD.EXE", {L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\WINDOWS\\SYSTEM32\\NTDLL.DLL",
                         L"\\VOLUME{FFFFFFFFFFFFFFFF-1A2B3C4D}\\Windows\\notepad.exe"});
    ScanTally tally;
    choosePrefetchPath(record, tally);
    EXPECT_EQ(record.pathStatus, PathStatus::Resolved);
    EXPECT_EQ(record.path, L"C:\\Windows\\notepad.exe");
    EXPECT_EQ(tally[volumesNotIdentified] + tally[volumesAmbiguous] + tally[prefetchPathNotUnique],
              0u);
}

TEST_F(VolumeTable, AnUnidentifiedVolumeKeepsTheTextAsStored) {
    fake::setVolumes({volume(L"c", 0x22222222, {L"C:\\"})});
    LaunchRecord record = recordNamed(L"NOTEPAD.EXE", {notepadOnVolume});
    ScanTally tally;
    choosePrefetchPath(record, tally);
    EXPECT_EQ(record.pathStatus, PathStatus::VolumeNotIdentified);
    EXPECT_EQ(record.path, notepadOnVolume);
    EXPECT_EQ(tally[volumesNotIdentified], 1u);
    EXPECT_EQ(tally[volumesAmbiguous], 0u);

    // The same with two volumes carrying the serial raises both counters.
    fake::setVolumes({volume(L"a", 0x1A2B3C4D, {L"C:\\"}), volume(L"b", 0x1A2B3C4D, {L"D:\\"})});
    record = recordNamed(L"NOTEPAD.EXE", {notepadOnVolume});
    choosePrefetchPath(record, tally);
    EXPECT_EQ(tally[volumesNotIdentified], 2u);
    EXPECT_EQ(tally[volumesAmbiguous], 1u);

    // A candidate in another form is not identified either.
    record = recordNamed(L"NOTEPAD.EXE", {L"C:\\WINDOWS\\NOTEPAD.EXE"});
    choosePrefetchPath(record, tally);
    EXPECT_EQ(record.pathStatus, PathStatus::VolumeNotIdentified);
    EXPECT_EQ(record.path, L"C:\\WINDOWS\\NOTEPAD.EXE");
}

TEST_F(VolumeTable, AnEntryWithoutBackslashIsComparedWhole) {
    LaunchRecord record = recordNamed(L"NOTEPAD.EXE", {L"notepad.exe", L"XNOTEPAD.EXE"});
    ScanTally tally;
    choosePrefetchPath(record, tally);
    EXPECT_EQ(record.pathStatus, PathStatus::VolumeNotIdentified);
    EXPECT_EQ(record.path, L"notepad.exe");
}

TEST_F(VolumeTable, TruncatedNamesMatchTheFrontOfLongerFileNames) {
    const std::wstring cut = L"DCODEDCODEDCODEDCODEDCODEDCOD"; // 29 characters
    ASSERT_EQ(cut.size(), 29u);
    const std::wstring longer =
        L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\T\\dcodedcodedcodedcodedcodedcodeD.exe";
    fake::setVolumes({volume(L"c", 0x1A2B3C4D, {L"C:\\"})});
    LaunchRecord record = recordNamed(cut, {longer});
    ScanTally tally;
    choosePrefetchPath(record, tally);
    EXPECT_EQ(record.pathStatus, PathStatus::Resolved);
    EXPECT_EQ(record.path, L"C:\\T\\dcodedcodedcodedcodedcodedcodeD.exe");

    // Without the truncation mark only the whole name matches.
    record = recordNamed(cut, {longer});
    testing::prefetchOf(record).nameTruncated = 0;
    choosePrefetchPath(record, tally);
    EXPECT_EQ(record.pathStatus, PathStatus::NoPathRecorded);
    EXPECT_TRUE(record.path.empty());
}

TEST_F(VolumeTable, SeveralCandidatesListTheFirstEightAsStored) {
    std::vector<std::wstring> files;
    for (int i = 0; i < 10; ++i) {
        files.push_back(L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\D" + std::to_wstring(i) +
                        L"\\APP.EXE");
        files.push_back(L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\D" + std::to_wstring(i) +
                        L"\\OTHER.DLL");
    }
    fake::setVolumes({volume(L"c", 0x1A2B3C4D, {L"C:\\"})});
    LaunchRecord record = recordNamed(L"APP.EXE", files);
    ScanTally tally;
    choosePrefetchPath(record, tally);
    EXPECT_EQ(record.pathStatus, PathStatus::SeveralPossiblePaths);
    std::wstring expected;
    for (int i = 0; i < 8; ++i) {
        expected += (i ? L" | " : L"") + files[static_cast<std::size_t>(2 * i)];
    }
    EXPECT_EQ(record.path, expected);
    EXPECT_EQ(tally[prefetchPathNotUnique], 1u);
    EXPECT_EQ(tally[volumesNotIdentified], 0u);
}

TEST_F(VolumeTable, NoCandidateLeavesNoPath) {
    LaunchRecord record =
        recordNamed(L"APP.EXE", {L"\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\NTDLL.DLL"});
    ScanTally tally;
    choosePrefetchPath(record, tally);
    EXPECT_EQ(record.pathStatus, PathStatus::NoPathRecorded);
    EXPECT_TRUE(record.path.empty());
    EXPECT_EQ(tally[volumesNotIdentified] + tally[prefetchPathNotUnique], 0u);
}

// Windows XP to 8.1 name files by device path; the file's own volume list
// says which serial each device had.
const std::wstring calcOnDevice = L"\\DEVICE\\HARDDISKVOLUME2\\WINDOWS\\SYSTEM32\\CALC.EXE";

PrefetchVolume fileVolume(const wchar_t* device, std::uint32_t serial) {
    return PrefetchVolume{device, 0, serial};
}

TEST_F(VolumeTable, ADevicePathResolvesThroughItsEntrysSerial) {
    fake::setVolumes({volume(L"c", 0x88008C2F, {L"C:\\"}), volume(L"d", 0xE892367F, {L"D:\\"})});
    const std::vector<PrefetchVolume> volumes = {
        fileVolume(L"\\DEVICE\\HARDDISKVOLUME3", 0xE892367F),
        fileVolume(L"\\device\\harddiskvolume2", 0x88008C2F)};
    VolumeResolution resolution = resolveVolumePath(calcOnDevice, volumes);
    EXPECT_TRUE(resolution.identified);
    EXPECT_EQ(resolution.path, L"C:\\WINDOWS\\SYSTEM32\\CALC.EXE");

    // A device the file's list does not name, and text that only looks alike.
    EXPECT_FALSE(resolveVolumePath(L"\\DEVICE\\HARDDISKVOLUME9\\CALC.EXE", volumes).identified);
    EXPECT_FALSE(resolveVolumePath(L"\\DEVICE\\\\CALC.EXE", volumes).identified);
    EXPECT_FALSE(resolveVolumePath(L"\\DEVICES\\HARDDISKVOLUME2\\CALC.EXE", volumes).identified);
}

TEST_F(VolumeTable, OneDeviceNameWithTwoSerialsIsNotIdentified) {
    fake::setVolumes({volume(L"c", 0x88008C2F, {L"C:\\"}), volume(L"d", 0xE892367F, {L"D:\\"})});
    const std::vector<PrefetchVolume> volumes = {
        fileVolume(L"\\DEVICE\\HARDDISKVOLUME2", 0x88008C2F),
        fileVolume(L"\\DEVICE\\HARDDISKVOLUME2", 0xE892367F)};
    LaunchRecord record = makeRecord(prefetchSource);
    record.name = L"CALC.EXE";
    testing::prefetchOf(record).referencedFiles = {calcOnDevice};
    testing::prefetchOf(record).volumes = volumes;
    ScanTally tally;
    choosePrefetchPath(record, tally);
    EXPECT_EQ(record.pathStatus, PathStatus::VolumeNotIdentified);
    EXPECT_EQ(record.path, calcOnDevice);
    EXPECT_EQ(tally[volumesNotIdentified], 1u);
    EXPECT_EQ(tally[volumesAmbiguous], 0u);
}

TEST_F(VolumeTable, AShadowCopyIsNeverRewrittenOntoTheVolumeItCopies) {
    // The plaso WUAUCLT file names its volume and four shadow copies of it,
    // all with the same serial.
    fake::setVolumes({volume(L"c", 0xAC036525, {L"C:\\"})});
    const std::vector<PrefetchVolume> volumes = {
        fileVolume(L"\\DEVICE\\HARDDISKVOLUME1", 0xAC036525),
        fileVolume(L"\\DEVICE\\HARDDISKVOLUMESHADOWCOPY2", 0xAC036525)};
    const std::wstring fromCopy = L"\\DEVICE\\HARDDISKVOLUMESHADOWCOPY2\\WINDOWS\\WUAUCLT.EXE";
    EXPECT_FALSE(resolveVolumePath(fromCopy, volumes).identified);
    EXPECT_EQ(resolveVolumePath(fromCopy, volumes).volumesWithSerial, 0u);
    EXPECT_TRUE(
        resolveVolumePath(L"\\DEVICE\\HARDDISKVOLUME1\\WINDOWS\\WUAUCLT.EXE", volumes).identified);
    EXPECT_TRUE(isShadowCopyDevice(L"\\Device\\HarddiskVolumeShadowCopy17"));
    EXPECT_FALSE(isShadowCopyDevice(L"\\DEVICE\\HARDDISKVOLUME1"));
}

TEST_F(VolumeTable, TheRecordedPathPicksTheProgramBesideItsConfigFile) {
    fake::setVolumes({volume(L"c", 0x96A49C74, {L"C:\\"})});
    const std::wstring folder =
        L"\\VOLUME{01d5f51ea48267ca-96a49c74}\\PROGRAM FILES (X86)\\LENOVO\\VANTAGESERVICE\\";
    const std::wstring program = folder + L"LENOVOVANTAGE-(VANTAGECOREADDIN).EXE";
    LaunchRecord record = recordNamed(L"LENOVOVANTAGE-(VANTAGECOREADD",
                                      {folder + L"X.DLL", program, program + L".CONFIG"});
    testing::prefetchOf(record).recordedPath =
        L"\\DEVICE\\HARDDISKVOLUME5\\program files (x86)\\LENOVO\\"
        L"VANTAGESERVICE\\LENOVOVANTAGE-(VANTAGECOREADDIN).EXE";
    ScanTally tally;
    choosePrefetchPath(record, tally);
    EXPECT_EQ(record.pathStatus, PathStatus::Resolved);
    EXPECT_EQ(
        record.path,
        L"C:\\PROGRAM FILES (X86)\\LENOVO\\VANTAGESERVICE\\LENOVOVANTAGE-(VANTAGECOREADDIN).EXE");
    EXPECT_EQ(tally[prefetchPathNotUnique], 0u);
}

TEST_F(VolumeTable, ARecordedPathThatDecidesNothingLeavesTheRulesAlone) {
    fake::setVolumes({volume(L"c", 0x96A49C74, {L"C:\\"})});
    const std::wstring app =
        L"\\VOLUME{01d5f51ea48267ca-96a49c74}\\PROGRAM FILES\\WINDOWSAPPS\\NOTEPAD.EXE";
    const std::wstring other = L"\\VOLUME{01d5f51ea48267ca-96a49c74}\\WINDOWS\\NOTEPAD.EXE";
    for (const std::wstring& recorded :
         {std::wstring(L"Microsoft.WindowsNotepad_11.2312.18.0_x64__8wekyb3d8bbwe"),
          std::wstring(L"\\DEVICE\\HARDDISKVOLUME5\\ELSEWHERE\\NOTEPAD.EXE"), std::wstring()}) {
        LaunchRecord record = recordNamed(L"NOTEPAD.EXE", {app, other});
        testing::prefetchOf(record).recordedPath = recorded;
        ScanTally tally;
        choosePrefetchPath(record, tally);
        EXPECT_EQ(record.pathStatus, PathStatus::SeveralPossiblePaths) << testing::narrow(recorded);
        EXPECT_EQ(record.path, app + L" | " + other);
        EXPECT_EQ(tally[prefetchPathNotUnique], 1u);
    }
}

} // namespace
} // namespace tidewell
