// Disk images through the image layer itself: the corpus disk's partitions
// and what each holds, and a real NTFS volume with two shadow copies made by
// Windows, each listed with its creation time and read as it was.
#include "machine/disk_image.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "support/corpus_files.h"
#include "support/scans.h"
#include "support/temp_folder.h"

namespace tidewell {
namespace {

std::wstring imagePath(const char* name) {
    return testing::programText(testing::corpusRoot() / "images" / name);
}

DiskImageHandle openImage(const char* name, ImageSurvey& survey) {
    return openDiskImage(openEvidenceFile(imagePath(name)), survey);
}

std::vector<std::wstring> namesIn(ImageFileSystem& fileSystem, const std::wstring& folder) {
    std::vector<ImageEntry> entries;
    EXPECT_TRUE(listImageFolder(fileSystem, folder, entries));
    std::vector<std::wstring> names;
    for (const ImageEntry& entry : entries) {
        if (entry.name.front() != L'$' && entry.name != L"System Volume Information") {
            names.push_back(entry.name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(DiskImage, TheCorpusDiskHasOneVolumeThatHoldsWindows) {
    TIDEWELL_REQUIRE_CORPUS("images");
    ImageSurvey survey;
    const DiskImageHandle image = openImage("corpus-gpt.E01", survey);
    ASSERT_NE(image, nullptr) << testing::narrow(survey.problem);
    EXPECT_EQ(survey.format, L"E01");
    EXPECT_EQ(survey.partitionTable, L"GPT");
    ASSERT_EQ(survey.volumes.size(), 4u);
    // EFI (FAT32), reserved (nothing), Windows, and recovery, whose
    // Windows\System32 is a decoy without config or Prefetch.
    const std::wstring systems[] = {L"FAT32", L"", L"NTFS", L"NTFS"};
    const std::uint64_t starts[] = {2048, 69632, 71680, 145408};
    for (std::size_t i = 0; i < survey.volumes.size(); ++i) {
        EXPECT_EQ(survey.volumes[i].partition, i + 1);
        EXPECT_EQ(survey.volumes[i].offset, starts[i] * 512);
        EXPECT_EQ(survey.volumes[i].fileSystem, systems[i]) << i;
        EXPECT_EQ(survey.volumes[i].holdsWindows, i == 2) << i;
        EXPECT_EQ(survey.volumes[i].shadowCopies, 0u);
    }

    const ImageFileSystemHandle windows = openImageVolume(*image, survey.volumes[2]);
    ASSERT_NE(windows, nullptr);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(readImageFile(*windows, L"\\Windows\\System32\\config\\SYSTEM", 64u << 20, bytes),
              WholeFileRead::Read);
    EXPECT_EQ(bytes, testing::readWholeFile(testing::corpusRoot() / "hives-recovery/regipy/SYSTEM"))
        << "the file as the image holds it, byte for byte";
    EXPECT_EQ(readImageFile(*windows, L"\\Windows\\System32\\config\\SYSTEM", 1024, bytes),
              WholeFileRead::TooLarge);
    EXPECT_EQ(readImageFile(*windows, L"\\Windows\\absent.pf", 1024, bytes),
              WholeFileRead::Missing);
    EXPECT_EQ(readImageFile(*windows, L"\\Windows\\Prefetch", 1024, bytes),
              WholeFileRead::Unreadable)
        << "a folder is no file";

    // The deleted file is listed only when asked for, and still reads.
    std::vector<ImageEntry> live;
    std::vector<ImageEntry> all;
    ASSERT_TRUE(listImageFolder(*windows, L"\\Windows\\Prefetch", live));
    ASSERT_TRUE(listImageFolder(*windows, L"\\Windows\\Prefetch", all, true));
    ASSERT_EQ(all.size(), live.size() + 1);
    const auto deleted =
        std::find_if(all.begin(), all.end(), [](const ImageEntry& entry) { return entry.deleted; });
    ASSERT_NE(deleted, all.end());
    EXPECT_EQ(deleted->name, L"PING.EXE-B29F6629.pf");
    EXPECT_EQ(readDeletedImageFile(*windows, deleted->address, 64u << 20, bytes),
              WholeFileRead::Read);
    EXPECT_EQ(bytes, testing::readWholeFile(testing::corpusRoot() /
                                            "prefetch/plaso/PING.EXE-B29F6629.pf"));
    EXPECT_EQ(failedImageReads(*image), 0u);
}

TEST(DiskImage, EveryShadowCopyIsListedAndReadAsItWas) {
    TIDEWELL_REQUIRE_CORPUS("images");
    ImageSurvey survey;
    const DiskImageHandle image = openImage("vsstest.qcow2", survey);
    ASSERT_NE(image, nullptr) << testing::narrow(survey.problem);
    EXPECT_EQ(survey.format, L"QCOW2");
    EXPECT_TRUE(survey.partitionTable.empty()) << "the image is one volume";
    ASSERT_EQ(survey.volumes.size(), 1u);
    const ImageVolume& volume = survey.volumes.front();
    EXPECT_EQ(volume.partition, 0u);
    EXPECT_EQ(volume.fileSystem, L"NTFS");
    EXPECT_FALSE(volume.holdsWindows);
    EXPECT_EQ(volume.shadowCopies, 2u);

    std::wstring problem;
    const std::vector<ShadowCopy> copies = listShadowCopies(*image, volume, problem);
    EXPECT_TRUE(problem.empty());
    ASSERT_EQ(copies.size(), 2u);
    // 2013-12-03 06:35:09.7363787 and 06:37:48.9190583 UTC.
    EXPECT_EQ(copies[0].store, 1u);
    EXPECT_EQ(copies[0].created, 130305261097363787ULL);
    EXPECT_EQ(copies[0].identifier, L"600f0b69-5bdf-11e3-9d6c-005056c00008");
    EXPECT_EQ(copies[1].store, 2u);
    EXPECT_EQ(copies[1].created, 130305262689190583ULL);
    EXPECT_EQ(copies[1].identifier, L"600f0b6d-5bdf-11e3-9d6c-005056c00008");

    const ImageFileSystemHandle now = openImageVolume(*image, volume);
    const ImageFileSystemHandle first = openShadowCopy(*image, volume, 1);
    const ImageFileSystemHandle second = openShadowCopy(*image, volume, 2);
    ASSERT_NE(now, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(namesIn(*first, L"\\"), (std::vector<std::wstring>{L"syslog"}));
    EXPECT_EQ(namesIn(*second, L"\\"), (std::vector<std::wstring>{L"another_file", L"syslog.gz"}));
    EXPECT_EQ(namesIn(*now, L"\\"),
              (std::vector<std::wstring>{L"another_file", L"password.txt", L"syslog.gz"}));
    std::vector<std::uint8_t> older;
    std::vector<std::uint8_t> current;
    EXPECT_EQ(readImageFile(*first, L"\\syslog", 64u << 20, older), WholeFileRead::Read);
    EXPECT_FALSE(older.empty());
    EXPECT_EQ(readImageFile(*now, L"\\syslog", 64u << 20, current), WholeFileRead::Missing)
        << "gone since the first copy was made";
    EXPECT_EQ(openShadowCopy(*image, volume, 3), nullptr) << "no third store";
    EXPECT_EQ(openShadowCopy(*image, volume, 0), nullptr);
}

// A file is said to be the same in a copy only where it is: read both ways,
// every file said to be the same has the same bytes, and at least one is.
TEST(DiskImage, AFileACopyHoldsUnchangedIsKnownForOneOnlyWhenItIs) {
    TIDEWELL_REQUIRE_CORPUS("images");
    ImageSurvey survey;
    const DiskImageHandle image = openImage("vsstest.qcow2", survey);
    ASSERT_NE(image, nullptr);
    const ImageVolume& volume = survey.volumes.front();
    const ImageFileSystemHandle now = openImageVolume(*image, volume);
    ASSERT_NE(now, nullptr);
    std::size_t same = 0;
    for (std::uint32_t store = 1; store <= 2; ++store) {
        const ImageFileSystemHandle copy = openShadowCopy(*image, volume, store);
        ASSERT_NE(copy, nullptr);
        std::vector<ImageEntry> entries;
        ASSERT_TRUE(listImageFolder(*copy, L"\\", entries));
        for (const ImageEntry& entry : entries) {
            if (entry.isDirectory) {
                continue;
            }
            const std::wstring path = L"\\" + entry.name;
            if (!sameFileInCopy(*copy, *now, path)) {
                continue;
            }
            ++same;
            std::vector<std::uint8_t> held;
            std::vector<std::uint8_t> current;
            ASSERT_EQ(readImageFile(*copy, path, 64u << 20, held), WholeFileRead::Read);
            ASSERT_EQ(readImageFile(*now, path, 64u << 20, current), WholeFileRead::Read);
            EXPECT_EQ(held, current) << testing::narrow(path) << " in store " << store;
        }
        EXPECT_FALSE(sameFileInCopy(*copy, *now, L"\\absent")) << "a name neither holds";
        EXPECT_FALSE(sameFileInCopy(*now, *copy, L"\\syslog.gz")) << "the current is no copy";
        EXPECT_FALSE(sameFileInCopy(*copy, *copy, L"\\syslog.gz")) << "nor is a copy the current";
    }
    // syslog.gz has stood untouched since the second copy was made; syslog,
    // only in the first copy, was deleted since.
    const ImageFileSystemHandle first = openShadowCopy(*image, volume, 1);
    const ImageFileSystemHandle second = openShadowCopy(*image, volume, 2);
    EXPECT_TRUE(sameFileInCopy(*second, *now, L"\\syslog.gz"));
    EXPECT_FALSE(sameFileInCopy(*first, *now, L"\\syslog"));
    EXPECT_GE(same, 1u);
    // The volume's own metadata files change all the time: $LogFile above all.
    EXPECT_FALSE(sameFileInCopy(*second, *now, L"\\$LogFile"));
}

TEST(DiskImage, AFileThatIsNoImageIsRefusedWithItsReason) {
    TIDEWELL_REQUIRE_CORPUS("images");
    ImageSurvey survey;
    EXPECT_EQ(openImage("absent.E01", survey), nullptr);
    EXPECT_FALSE(survey.opened);
    EXPECT_EQ(survey.problem, L"it could not be opened (there is no such file)");

    // A file that begins as an E01 and then is none: the library's own
    // words say why.
    testing::TempFolder folder;
    folder.writeFile("cut.E01", std::vector<std::uint8_t>{'E', 'V', 'F', 0x09, 0x0d, 0x0a, 0xff,
                                                          0x00, 1, 1, 0, 0, 0});
    EXPECT_EQ(openDiskImage(openEvidenceFile(folder.text() + L"/cut.E01"), survey), nullptr);
    EXPECT_EQ(survey.problem.rfind(L"it looks like a E01 image, but it could not be opened (", 0),
              0u)
        << testing::narrow(survey.problem);
    EXPECT_GT(survey.problem.size(), 60u) << "the library's reason follows";
}

// A VMDK descriptor names its extents: only files beside it are read, and a
// name that leads elsewhere refuses the image before any file is opened.
TEST(DiskImage, AVmdkExtentNamedOutsideItsFolderIsRefusedNotFollowed) {
    const auto descriptor = [](const std::string& extent) {
        const std::string text = "# Disk DescriptorFile\nversion=1\nCID=fffffffe\n"
                                 "parentCID=ffffffff\ncreateType=\"monolithicFlat\"\n\n"
                                 "# Extent description\nRW 8 FLAT \"" +
                                 extent +
                                 "\" 0\n\n# The Disk Data Base\n#DDB\n"
                                 "ddb.virtualHWVersion = \"4\"\nddb.adapterType = \"ide\"\n";
        return std::vector<std::uint8_t>(text.begin(), text.end());
    };
    testing::TempFolder folder;
    folder.writeFile("disk-flat.vmdk", std::vector<std::uint8_t>(4096, 0));
    for (const std::string extent : {"../../../../etc/shadow", "/etc/passwd", "sub/disk-flat.vmdk",
                                     "C:disk-flat.vmdk", "..\\disk-flat.vmdk", ".."}) {
        folder.writeFile("bad.vmdk", descriptor(extent));
        fake::resetAll();
        ImageSurvey survey;
        EXPECT_EQ(openDiskImage(openEvidenceFile(folder.text() + L"/bad.vmdk"), survey), nullptr)
            << extent;
        EXPECT_NE(survey.problem.find(L"is named with a folder part"), std::wstring::npos)
            << testing::narrow(survey.problem);
        EXPECT_EQ(fake::timesOpened(folder.text() + L"/disk-flat.vmdk"), 0u) << extent;
    }
    // The same descriptor naming the file beside it reads it.
    folder.writeFile("good.vmdk", descriptor("disk-flat.vmdk"));
    fake::resetAll();
    ImageSurvey survey;
    openDiskImage(openEvidenceFile(folder.text() + L"/good.vmdk"), survey);
    EXPECT_EQ(survey.problem.find(L"folder part"), std::wstring::npos)
        << testing::narrow(survey.problem);
    EXPECT_EQ(fake::timesOpened(folder.text() + L"/disk-flat.vmdk"), 1u);
}

// A scan opens the file it is given once, and every library reads through
// that opening: no format is sniffed, checked or opened by name again.
TEST(DiskImage, EachFormIsOpenedOnceForAWholeScan) {
    TIDEWELL_REQUIRE_CORPUS("images");
    for (const char* name :
         {"corpus-gpt.E01", "corpus-gpt.qcow2", "corpus-gpt.vmdk", "vsstest.qcow2"}) {
        fake::resetAll();
        const ScanResults results = testing::scanEvidence(testing::corpusRoot() / "images" / name);
        EXPECT_FALSE(results.origin.imageRead.format.empty()) << name;
        EXPECT_EQ(fake::timesOpened(imagePath(name)), 1u) << name;
    }
}

// Split raw: every segment opened once, read as one run of bytes, a read
// that spans two segments whole. The partition table here lies across the
// first two.
TEST(DiskImage, ASplitRawImageIsItsSegmentsInOrder) {
    testing::TempFolder folder;
    std::vector<std::uint8_t> disk(4u << 20, 0);
    std::uint8_t* entry = disk.data() + 446;
    entry[4] = 0x07; // NTFS / exFAT
    const std::uint32_t start = 2048;
    const std::uint32_t length = 4096;
    for (int i = 0; i < 4; ++i) {
        entry[8 + i] = static_cast<std::uint8_t>(start >> (8 * i));
        entry[12 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    }
    disk[510] = 0x55;
    disk[511] = 0xaa;
    const std::size_t cuts[] = {0, 460, 1u << 20, disk.size()};
    for (int part = 0; part < 3; ++part) {
        folder.writeFile(
            "disk.raw.00" + std::to_string(part + 1),
            std::vector<std::uint8_t>(disk.begin() + cuts[part], disk.begin() + cuts[part + 1]));
    }
    fake::resetAll();
    ImageSurvey survey;
    const DiskImageHandle image =
        openDiskImage(openEvidenceFile(folder.text() + L"/disk.raw.001"), survey);
    ASSERT_NE(image, nullptr) << testing::narrow(survey.problem);
    EXPECT_EQ(survey.format, L"raw");
    EXPECT_EQ(survey.partitionTable, L"MBR");
    ASSERT_EQ(survey.volumes.size(), 1u);
    EXPECT_EQ(survey.volumes[0].offset, std::uint64_t{start} * 512);
    EXPECT_EQ(survey.volumes[0].length, std::uint64_t{length} * 512);
    for (const wchar_t* name : {L"/disk.raw.001", L"/disk.raw.002", L"/disk.raw.003"}) {
        EXPECT_EQ(fake::timesOpened(folder.text() + name), 1u) << testing::narrow(name);
    }
    EXPECT_EQ(failedImageReads(*image), 0u);
}

} // namespace
} // namespace tidewell
