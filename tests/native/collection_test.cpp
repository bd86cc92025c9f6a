// Collections through the collection layer itself, zipped (written here with
// libzip) and extracted: files gathered per device whatever accessor read
// them, names found as Windows finds them, each outcome of a damaged or
// secured container, and the extracted folder walked without following a
// link round in a loop.
#include "machine/collection.h"
#include "machine/zip_directory.h"

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "core/scan_counters.h"
#include "eventlog/eventlog_counters.h"
#include "eventlog/eventlog_details.h"
#include "eventlog/eventlog_source.h"
#include "eventlog/evtx_log.h"
#include "fake/fake_machine.h"
#include "pca/pca_source.h"
#include "pca/sample/pca_files.h"
#include "report/completeness.h"
#include "runmru/runmru_details.h"
#include "runmru/runmru_source.h"
#include "runmru/sample/runmru_key.h"
#include "sample/evidence_tree.h"
#include "srum/srum_counters.h"
#include "srum/srum_source.h"
#include "support/corpus_files.h"
#include "support/scans.h"
#include "support/temp_folder.h"

namespace tidewell {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

// A zip written member by member, each stored or compressed as libzip
// chooses; a password encrypts every member added after it is set.
struct ZipWriter {
    zip_t* zip = nullptr;
    std::deque<std::string> kept; // libzip reads the buffers when it closes; they stay put

    explicit ZipWriter(const std::filesystem::path& path) {
        int error = 0;
        zip = zip_open(path.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    }
    ~ZipWriter() {
        if (zip != nullptr) {
            zip_discard(zip);
        }
    }
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    bool add(const std::string& name, const std::string& data, const char* password = nullptr) {
        kept.push_back(data);
        zip_source_t* source = zip_source_buffer(zip, kept.back().data(), kept.back().size(), 0);
        const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return false;
        }
        return password == nullptr || zip_file_set_encryption(zip, static_cast<zip_uint64_t>(index),
                                                              ZIP_EM_AES_256, password) == 0;
    }
    bool close() {
        const bool closed = zip_close(zip) == 0;
        zip = closed ? nullptr : zip;
        return closed;
    }
};

// A file of an extracted collection, its folders made as it needs them.
void put(const testing::TempFolder& folder, const std::string& name, const std::string& text) {
    std::filesystem::create_directories((folder.path / name).parent_path());
    folder.writeFile(name, bytesOf(text));
}

std::wstring readText(Collection& collection, std::size_t device, const std::wstring& path,
                      WholeFileRead& outcome) {
    FileScope scope;
    std::vector<std::uint8_t> bytes;
    outcome = readCollectionFile(collection, scope, device, path, 1 << 20, bytes);
    return std::wstring(bytes.begin(), bytes.end());
}

// A zip as a scan reads it: through the file the scan opened.
CollectionHandle openZip(const std::filesystem::path& path, FileScope& scope,
                         CollectionSurvey& survey) {
    const std::wstring text = testing::programText(path);
    return openCollection(text, openEvidenceFile(text), scope, survey);
}

std::size_t deviceNamed(const CollectionSurvey& survey, const std::wstring& name) {
    for (std::size_t index = 0; index < survey.devices.size(); ++index) {
        if (survey.devices[index].name == name) {
            return index;
        }
    }
    ADD_FAILURE() << "no device " << testing::narrow(name);
    return 0;
}

TEST(Collection, AZipGathersEachDeviceWhateverAccessorReadIt) {
    testing::TempFolder folder;
    const auto path = folder.path / "collection.zip";
    {
        ZipWriter writer(path);
        ASSERT_NE(writer.zip, nullptr);
        ASSERT_TRUE(writer.add("client_info.json", R"({"Hostname":"WKS-7"})"));
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/Prefetch/CMD.EXE-1.pf", "short"));
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/System32/config/SYSTEM", "system"));
        // The same file again through the raw NTFS reader, whole this time.
        ASSERT_TRUE(writer.add("uploads/ntfs/%5C%5C.%5CC%3A/Windows/Prefetch/CMD.EXE-1.pf",
                               "the whole file"));
        ASSERT_TRUE(writer.add("uploads/ntfs/%5C%5C.%5CC%3A/Users/alice/NTUSER.DAT", "alice"));
        ASSERT_TRUE(writer.add(
            "uploads/ntfs_vss/%5C%5C%3F%5CGLOBALROOT%5CDevice%5CHarddiskVolumeShadowCopy2/"
            "Windows/Prefetch/CMD.EXE-1.pf",
            "older"));
        ASSERT_TRUE(writer.add("uploads/auto/D%3A/data/report.docx", "not windows"));
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/Prefetch/BAD%ZZ.pf", "odd name"));
        ASSERT_TRUE(writer.add("uploads/auto/loose.txt", "below no device"));
        ASSERT_TRUE(writer.add("results/Windows.KapeFiles.Targets.json", "{}"));
        ASSERT_TRUE(writer.close());
    }
    FileScope scope;
    CollectionSurvey survey;
    const CollectionHandle collection = openZip(path, scope, survey);
    ASSERT_NE(collection, nullptr) << testing::narrow(survey.problem);
    // Everything below is read through that one opening.
    std::filesystem::remove(path);
    EXPECT_TRUE(survey.zip);
    EXPECT_EQ(survey.hostName, L"WKS-7");
    EXPECT_EQ(survey.members, 7u); // the loose file lies below no device
    EXPECT_EQ(survey.namesUndecodable, 1u);
    ASSERT_EQ(survey.devices.size(), 3u);

    const std::size_t drive = deviceNamed(survey, L"C:");
    const CollectionDevice& c = survey.devices[drive];
    EXPECT_EQ(c.drive, L"C:");
    EXPECT_TRUE(c.holdsWindows);
    EXPECT_EQ(c.files, 5u);
    EXPECT_EQ(c.stored, L"uploads/auto/C%3A, uploads/ntfs/%5C%5C.%5CC%3A");
    const CollectionDevice& copy =
        survey
            .devices[deviceNamed(survey, L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolumeShadowCopy2")];
    EXPECT_EQ(copy.shadowCopy, 2u);
    EXPECT_TRUE(copy.holdsWindows);
    EXPECT_FALSE(survey.devices[deviceNamed(survey, L"D:")].holdsWindows);

    // The whole copy of a file read twice is the one read; names are found
    // without regard to case, the exact spelling first.
    WholeFileRead outcome = WholeFileRead::Missing;
    EXPECT_EQ(readText(*collection, drive, L"\\Windows\\Prefetch\\CMD.EXE-1.pf", outcome),
              L"the whole file");
    EXPECT_EQ(outcome, WholeFileRead::Read);
    EXPECT_EQ(readText(*collection, drive, L"\\WINDOWS\\prefetch\\cmd.exe-1.pf", outcome),
              L"the whole file");
    EXPECT_EQ(readText(*collection, drive, L"\\Users\\alice\\NTUSER.DAT", outcome), L"alice");
    EXPECT_EQ(readText(*collection, drive, L"\\Windows\\Prefetch\\BAD%ZZ.pf", outcome),
              L"odd name");
    readText(*collection, drive, L"\\Windows\\Prefetch\\NOPE.pf", outcome);
    EXPECT_EQ(outcome, WholeFileRead::Missing);
    readText(*collection, drive, L"\\Windows\\Prefetch", outcome);
    EXPECT_EQ(outcome, WholeFileRead::Missing); // a folder is no file

    std::vector<CollectionEntry> entries;
    ASSERT_TRUE(listCollectionFolder(*collection, drive, L"\\Windows", entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].isDirectory);
    EXPECT_FALSE(listCollectionFolder(*collection, drive, L"\\Windows\\Nothing", entries));
    EXPECT_FALSE(listCollectionFolder(*collection, 99, L"\\", entries));

    EXPECT_EQ(collectionFilePlace(*collection, drive, L"\\Windows\\Prefetch\\CMD.EXE-1.pf"),
              testing::programText(path) +
                  L" :: uploads/ntfs/%5C%5C.%5CC%3A/Windows/Prefetch/CMD.EXE-1.pf");
    EXPECT_TRUE(collectionFilePlace(*collection, drive, L"\\Windows").empty());
    EXPECT_EQ(unreadableMembers(*collection), 0u);
}

TEST(Collection, AScanOpensTheZipOnce) {
    testing::TempFolder folder;
    const auto path = folder.path / "collection.zip";
    {
        ZipWriter writer(path);
        ASSERT_TRUE(writer.add("client_info.json", R"({"Hostname":"WKS-7"})"));
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/Prefetch/CMD.EXE-1.pf", "short"));
        ASSERT_TRUE(writer.add(
            "uploads/ntfs_vss/%5C%5C%3F%5CGLOBALROOT%5CDevice%5CHarddiskVolumeShadowCopy2/"
            "Windows/Prefetch/CMD.EXE-1.pf",
            "older"));
        ASSERT_TRUE(writer.close());
    }
    fake::resetAll();
    const ScanResults results = testing::scanEvidence(path);
    EXPECT_TRUE(results.origin.collection);
    EXPECT_EQ(results.origin.copies.size(), 2u) << "the drive and its shadow copy, one opening";
    EXPECT_EQ(fake::timesOpened(testing::programText(path)), 1u);
}

TEST(Collection, ASecuredZipIsRefusedNeverReadAsEmpty) {
    testing::TempFolder folder;
    const auto path = folder.path / "secured.zip";
    {
        ZipWriter writer(path);
        ASSERT_TRUE(writer.add("data.zip", std::string(4096, 'x'), "password"));
        ASSERT_TRUE(writer.add("metadata.json", "{}"));
        ASSERT_TRUE(writer.close());
    }
    FileScope scope;
    CollectionSurvey survey;
    EXPECT_EQ(openZip(path, scope, survey), nullptr);
    EXPECT_TRUE(survey.secured);
    EXPECT_NE(survey.problem.find(L"secured"), std::wstring::npos);
}

TEST(Collection, OneEncryptedMemberIsCountedAndTheRestRead) {
    testing::TempFolder folder;
    const auto path = folder.path / "partly.zip";
    {
        ZipWriter writer(path);
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/Prefetch/A.pf", "clear"));
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/Prefetch/B.pf", "hidden", "password"));
        ASSERT_TRUE(writer.close());
    }
    FileScope scope;
    CollectionSurvey survey;
    const CollectionHandle collection = openZip(path, scope, survey);
    ASSERT_NE(collection, nullptr) << testing::narrow(survey.problem);
    EXPECT_FALSE(survey.secured);
    EXPECT_EQ(unreadableMembers(*collection), 1u) << "counted before anything asks for it";
    WholeFileRead outcome = WholeFileRead::Read;
    EXPECT_EQ(readText(*collection, 0, L"\\Windows\\Prefetch\\A.pf", outcome), L"clear");
    EXPECT_TRUE(readText(*collection, 0, L"\\Windows\\Prefetch\\B.pf", outcome).empty());
    EXPECT_EQ(outcome, WholeFileRead::Unreadable);
    EXPECT_EQ(unreadableMembers(*collection), 1u) << "and counted once";
}

TEST(Collection, AZipThatCannotBeReadSaysWhy) {
    testing::TempFolder folder;
    const auto plain = folder.path / "plain.zip";
    {
        ZipWriter writer(plain);
        ASSERT_TRUE(writer.add("Windows/Prefetch/CMD.EXE-1.pf", "not below uploads"));
        ASSERT_TRUE(writer.add("uploads/auto/C%3A", "a device, but no file below it"));
        ASSERT_TRUE(writer.close());
    }
    FileScope scope;
    CollectionSurvey survey;
    EXPECT_EQ(openZip(plain, scope, survey), nullptr);
    EXPECT_NE(survey.problem.find(L"not a Velociraptor collection"), std::wstring::npos);

    // Cut before its central directory, at the end of the file.
    const std::uintmax_t size = std::filesystem::file_size(plain);
    std::filesystem::resize_file(plain, size / 2);
    EXPECT_EQ(openZip(plain, scope, survey), nullptr);
    EXPECT_NE(survey.problem.find(L"cut short"), std::wstring::npos);

    folder.writeFile("noise.zip", bytesOf("PK\x03\x04 and then nothing of a zip"));
    EXPECT_EQ(openZip(folder.path / "noise.zip", scope, survey), nullptr);
    EXPECT_FALSE(survey.problem.empty());
}

TEST(Collection, AMemberWhoseDataIsDamagedIsCountedAndTheRestRead) {
    testing::TempFolder folder;
    const auto path = folder.path / "damaged.zip";
    const std::string payload(20000, 'A');
    {
        ZipWriter writer(path);
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/Prefetch/A.pf", payload));
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/Prefetch/B.pf", "intact"));
        ASSERT_TRUE(writer.close());
    }
    // The first member's data starts after its 30-byte local header and name.
    {
        std::FILE* file = std::fopen(path.string().c_str(), "r+b");
        ASSERT_NE(file, nullptr);
        std::fseek(file, 30 + 38 + 4, SEEK_SET);
        const char damage[] = "\x13\x37\x13\x37\x13\x37";
        std::fwrite(damage, 1, 6, file);
        std::fclose(file);
    }
    FileScope scope;
    CollectionSurvey survey;
    const CollectionHandle collection = openZip(path, scope, survey);
    ASSERT_NE(collection, nullptr);
    WholeFileRead outcome = WholeFileRead::Read;
    EXPECT_TRUE(readText(*collection, 0, L"\\Windows\\Prefetch\\A.pf", outcome).empty());
    EXPECT_EQ(outcome, WholeFileRead::Unreadable);
    EXPECT_EQ(readText(*collection, 0, L"\\Windows\\Prefetch\\B.pf", outcome), L"intact");
    EXPECT_EQ(outcome, WholeFileRead::Read);
    EXPECT_EQ(unreadableMembers(*collection), 1u);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(readCollectionFile(*collection, scope, 0, L"\\Windows\\Prefetch\\A.pf", 100, bytes),
              WholeFileRead::TooLarge);
}

TEST(Collection, AMemberClaimingMoreThanItHoldsIsReadOnlyAsFarAsItGoes) {
    testing::TempFolder folder;
    const auto path = folder.path / "claims.zip";
    {
        ZipWriter writer(path);
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/System32/config/SYSTEM.LOG1", "tiny"));
        ASSERT_TRUE(writer.close());
    }
    // The central directory now says the member holds 1 GiB.
    {
        std::FILE* file = std::fopen(path.string().c_str(), "r+b");
        ASSERT_NE(file, nullptr);
        std::vector<char> bytes(4096);
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
        const std::string text(bytes.begin(), bytes.end());
        const std::size_t central = text.find("PK\x01\x02");
        ASSERT_NE(central, std::string::npos);
        std::fseek(file, static_cast<long>(central + 24), SEEK_SET);
        const char claim[] = "\x00\x00\x00\x40";
        std::fwrite(claim, 1, 4, file);
        std::fclose(file);
    }
    FileScope scope;
    CollectionSurvey survey;
    const CollectionHandle collection = openZip(path, scope, survey);
    ASSERT_NE(collection, nullptr) << testing::narrow(survey.problem);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(readCollectionFile(*collection, scope, 0, L"\\Windows\\System32\\config\\SYSTEM.LOG1",
                                 2ULL << 30, bytes),
              WholeFileRead::Unreadable);
    // Nothing near the claim was ever held.
    EXPECT_LT(bytes.capacity(), 16u << 20);
    EXPECT_EQ(unreadableMembers(*collection), 1u);
}

TEST(Collection, NamesThatDifferInCaseAreOneAndEveryMemberNotReadIsCounted) {
    testing::TempFolder folder;
    const auto path = folder.path / "spellings.zip";
    {
        ZipWriter writer(path);
        // The Windows folder as collected, then one member spelled otherwise.
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/windows/Prefetch/A.pf", "a"));
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/windows/System32/config/SYSTEM", "system"));
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/notes.txt", "notes"));
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/WINDOWS/prefetch/B.pf", "short"));
        // Made the same name as B.pf below: the longer is read.
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/WINDOWS/prefetch/Q.pf", "the longer"));
        // A file where a folder is, and a folder where a file is.
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/prefetch", "not a folder"));
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/notes.txt/inside", "not a file"));
        // The same file through a second accessor is no duplicate.
        ASSERT_TRUE(writer.add("uploads/ntfs/%5C%5C.%5CC%3A/Windows/Prefetch/A.pf", "a whole"));
        ASSERT_TRUE(writer.close());
    }
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        for (std::size_t at = bytes.find("Q.pf"); at != std::string::npos;
             at = bytes.find("Q.pf", at)) {
            bytes[at] = 'B';
        }
        file.seekp(0);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    FileScope scope;
    CollectionSurvey survey;
    const CollectionHandle collection = openZip(path, scope, survey);
    ASSERT_NE(collection, nullptr) << testing::narrow(survey.problem);
    ASSERT_EQ(survey.devices.size(), 1u);
    EXPECT_TRUE(survey.devices.front().holdsWindows);
    EXPECT_EQ(survey.membersPassedOver, 3u);

    WholeFileRead outcome = WholeFileRead::Missing;
    EXPECT_EQ(readText(*collection, 0, L"\\Windows\\Prefetch\\A.pf", outcome), L"a whole");
    EXPECT_EQ(readText(*collection, 0, L"\\Windows\\Prefetch\\B.pf", outcome), L"the longer");
    EXPECT_EQ(readText(*collection, 0, L"\\windows\\notes.txt", outcome), L"notes");
    EXPECT_EQ(readText(*collection, 0, L"\\WINDOWS\\SYSTEM32\\CONFIG\\SYSTEM", outcome), L"system");
    std::vector<CollectionEntry> entries;
    ASSERT_TRUE(listCollectionFolder(*collection, 0, L"\\Windows\\Prefetch", entries));
    EXPECT_EQ(entries.size(), 2u);
    ASSERT_TRUE(listCollectionFolder(*collection, 0, L"\\", entries));
    EXPECT_EQ(entries.size(), 1u) << "one Windows folder, however spelled";
}

TEST(Collection, AtMostTheNewestCopiesWindowsKeepsAreReadAndTheRestCounted) {
    testing::TempFolder folder;
    put(folder, "client_info.json", R"({"Hostname":"WKS-7"})");
    put(folder, "uploads/auto/C%3A/Windows/Prefetch/A.pf", "current");
    const std::size_t copies = shadowCopiesReadAtMost + 3;
    for (std::size_t copy = 1; copy <= copies; ++copy) {
        put(folder,
            "uploads/ntfs_vss/%5C%5C%3F%5CGLOBALROOT%5CDevice%5CHarddiskVolumeShadowCopy" +
                std::to_string(copy) + "/Windows/Prefetch/A.pf",
            "older");
    }
    const ScanResults results = testing::scanEvidence(folder.path);
    EXPECT_EQ(results.tally[shadowCopiesExamined], shadowCopiesReadAtMost);
    EXPECT_EQ(results.tally[shadowCopiesLeft], 3u);
    ASSERT_EQ(results.origin.copies.size(), copies + 1);
    // The newest are the ones read.
    EXPECT_TRUE(results.origin.copies[1].read);
    EXPECT_EQ(results.origin.copies[1].label, L"shadow copy " + std::to_wstring(copies));
    EXPECT_FALSE(results.origin.copies.back().read);
    EXPECT_FALSE(reportIsComplete(results.tally, results.facts));
}

// A SRUM database collected from the drive and from a shadow copy: both read
// from the zip, a program and user of the older database only is a record
// found in that copy alone, and the copy's dirty database is one of the
// copy's failures.
TEST(Collection, SrumIsReadFromTheDriveAndFromEachShadowCopy) {
    TIDEWELL_REQUIRE_CORPUS("sources/srum/DFIRArtifactMuseum");
    const auto database = [](const char* machine) {
        const std::vector<std::uint8_t> bytes = testing::readWholeFile(
            testing::corpusRoot() / "sources/srum/DFIRArtifactMuseum" / machine / "SRUDB.dat");
        return std::string(bytes.begin(), bytes.end());
    };
    testing::TempFolder folder;
    const auto collect = [&](const char* olderMachine) {
        const auto path = folder.path / (std::string(olderMachine) + ".zip");
        ZipWriter writer(path);
        // A drive holds Windows where its Prefetch folder or its hives were collected.
        const std::string shadow =
            "uploads/ntfs_vss/%5C%5C%3F%5CGLOBALROOT%5CDevice%5CHarddiskVolumeShadowCopy2/";
        EXPECT_TRUE(writer.add("client_info.json", R"({"Hostname":"WKS-7"})") &&
                    writer.add("uploads/auto/C%3A/Windows/Prefetch/CMD.EXE-1.pf", "short") &&
                    writer.add("uploads/auto/C%3A/Windows/System32/sru/SRUDB.dat",
                               database("Win10_RathbunVM_Clean")) &&
                    writer.add(shadow + "Windows/Prefetch/CMD.EXE-1.pf", "older") &&
                    writer.add(shadow + "Windows/System32/sru/SRUDB.dat", database(olderMachine)) &&
                    writer.close());
        fake::resetAll();
        return testing::scanEvidence(path);
    };
    const ScanResults results = collect("Win11_RathbunVM_Dirty");
    EXPECT_EQ(readingOf(results.origin, srumSource).presence, SourcePresence::Read);
    EXPECT_EQ(results.tally[srumUsageRowsRead], 118u) << "the drive's; a copy's are its own";
    EXPECT_EQ(results.tally[srumDirty], 0u);
    std::size_t current = 0;
    std::size_t olderOnly = 0;
    for (const LaunchRecord& record : results.records) {
        if (record.source != &srumSource) {
            continue;
        }
        ASSERT_FALSE(record.copies.empty());
        current += record.copies.front() == 0 ? 1 : 0;
        olderOnly += record.copies == std::vector<CopyIndex>{1} ? 1 : 0;
        EXPECT_EQ(record.runTimeCopies.size(), record.runTimes.size());
    }
    EXPECT_EQ(current, 140u) << "every record of the drive's database";
    EXPECT_GT(olderOnly, 0u) << "programs the shadow copy's database alone holds";

    const ScanResults clean = collect("Win11_RathbunVM_Clean");
    EXPECT_EQ(results.tally[shadowCopyFailures], clean.tally[shadowCopyFailures] + 1)
        << "the copy's dirty database";
}

// The compatibility assistant's dictionary and a user's Run commands, on
// the drive and in a shadow copy: a program's launch in both states is one
// record with both times, each from its state; what only the copy holds
// is a record of its own, found there alone.
TEST(Collection, ShadowCopiesAddEarlierLaunchesAndCommandsTheDriveNoLongerHolds) {
    const auto text = [](const std::vector<std::uint8_t>& bytes) {
        return std::string(bytes.begin(), bytes.end());
    };
    const auto userHive = [&](const std::vector<std::wstring>& commands) {
        sample::HiveSpec hive;
        sample::addRunMru(hive.root, commands);
        return text(sample::writeHive(hive));
    };
    const std::wstring sid = L"S-1-5-21-7-8-9-1001";
    testing::TempFolder folder;
    const auto path = folder.path / "pca.zip";
    ZipWriter writer(path);
    const std::string drive = "uploads/auto/C%3A/";
    const std::string shadow =
        "uploads/ntfs_vss/%5C%5C%3F%5CGLOBALROOT%5CDevice%5CHarddiskVolumeShadowCopy2/";
    const std::string software =
        text(sample::writeHive(sample::softwareHive({{sid, L"C:\\Users\\alice"}})));
    const std::string system = text(sample::writeHive(sample::systemHive(3)));
    bool written = writer.add("client_info.json", R"({"Hostname":"WKS-7"})");
    const std::string roots[] = {drive, shadow};
    for (const std::string& root : roots) {
        written = written && writer.add(root + "Windows/System32/config/SOFTWARE", software) &&
                  writer.add(root + "Windows/System32/config/SYSTEM", system);
    }
    const std::vector<sample::PcaLaunchLine> now = {
        {L"C:\\Tools\\wipe.exe", L"2024-07-15 10:00:00.000"}};
    const std::vector<sample::PcaLaunchLine> then = {
        {L"C:\\TOOLS\\wipe.exe", L"2024-01-15 10:00:00.000"},
        {L"C:\\Tools\\gone.exe", L"2024-01-14 10:00:00.000"}};
    const std::vector<std::wstring> newer = {L"cmd"};
    const std::vector<std::wstring> older = {L"regedit", L"cmd"};
    written = written &&
              writer.add(drive + "Windows/appcompat/pca/PcaAppLaunchDic.txt",
                         text(sample::pcaLaunchDictionary(now))) &&
              writer.add(shadow + "Windows/appcompat/pca/PcaAppLaunchDic.txt",
                         text(sample::pcaLaunchDictionary(then))) &&
              writer.add(drive + "Users/alice/NTUSER.DAT", userHive(newer)) &&
              writer.add(shadow + "Users/alice/NTUSER.DAT", userHive(older)) && writer.close();
    ASSERT_TRUE(written);
    fake::resetAll();
    const ScanResults results = testing::scanEvidence(path);
    EXPECT_EQ(readingOf(results.origin, pcaSource).presence, SourcePresence::Read);
    const std::vector<const LaunchRecord*> launches = testing::recordsOf(results, pcaSource);
    ASSERT_EQ(launches.size(), 2u);
    const LaunchRecord* wipe = testing::recordNamed(launches, L"wipe.exe");
    ASSERT_NE(wipe, nullptr);
    EXPECT_EQ(wipe->runTimes.size(), 2u) << "the copy's line is an earlier launch";
    const std::vector<CopyIndex> both = {0, 1};
    const std::vector<CopyIndex> copyOnly = {1};
    EXPECT_EQ(wipe->runTimeCopies, both);
    const LaunchRecord* gone = testing::recordNamed(launches, L"gone.exe");
    ASSERT_NE(gone, nullptr);
    EXPECT_EQ(gone->copies, copyOnly);

    const std::vector<const LaunchRecord*> commands = testing::recordsOf(results, runMruSource);
    ASSERT_EQ(commands.size(), 2u);
    const LaunchRecord* regedit = testing::recordNamed(commands, L"regedit");
    ASSERT_NE(regedit, nullptr);
    EXPECT_EQ(regedit->copies, copyOnly);
    const LaunchRecord* cmd = testing::recordNamed(commands, L"cmd");
    ASSERT_NE(cmd, nullptr);
    EXPECT_EQ(cmd->copies, both);
    EXPECT_EQ(results.facts.profilesExamined, 1u);
}

// A Security log collected from the drive and from a shadow copy: the
// drive's lost its first chunk (overwritten), the copy's is whole. Each
// start is one record: those both hold are merged, and the copy brings back
// the starts the drive's log no longer holds.
TEST(Collection, ALogInAShadowCopyBringsBackStartsTheDrivesLogLost) {
    TIDEWELL_REQUIRE_CORPUS("sources/evtx");
    const std::vector<std::uint8_t> whole = testing::readWholeFile(
        testing::corpusRoot() / "sources/evtx/EVTX-to-MITRE-Attack" /
        "ID4688-Obfuscated payload transfer via service name - Tchopper.evtx");
    ASSERT_GT(whole.size(), 4096u + 65536u);
    std::vector<std::uint8_t> damaged = whole;
    for (std::size_t at = 4096 + 512; at < 4096 + 65536; ++at) {
        damaged[at] = 0;
    }
    testing::TempFolder folder;
    const auto path = folder.path / "logs.zip";
    {
        ZipWriter writer(path);
        const std::string shadow =
            "uploads/ntfs_vss/%5C%5C%3F%5CGLOBALROOT%5CDevice%5CHarddiskVolumeShadowCopy2/";
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/Prefetch/CMD.EXE-1.pf", "short") &&
                    writer.add("uploads/auto/C%3A/Windows/System32/winevt/Logs/Security.evtx",
                               std::string(damaged.begin(), damaged.end())) &&
                    writer.add(shadow + "Windows/Prefetch/CMD.EXE-1.pf", "older") &&
                    writer.add(shadow + "Windows/System32/winevt/Logs/Security.evtx",
                               std::string(whole.begin(), whole.end())) &&
                    writer.close());
    }
    fake::resetAll();
    const ScanResults results = testing::scanEvidence(path);
    EXPECT_EQ(readingOf(results.origin, eventLogSource).presence, SourcePresence::Read);
    std::size_t both = 0;
    std::size_t copyOnly = 0;
    std::size_t starts = 0;
    for (const LaunchRecord& record : results.records) {
        if (record.source != &eventLogSource) {
            continue;
        }
        ++starts;
        both += record.copies == std::vector<CopyIndex>{0, 1} ? 1 : 0;
        copyOnly += record.copies == std::vector<CopyIndex>{1} ? 1 : 0;
        EXPECT_EQ(record.runTimes.size(), 1u) << "one start, however many copies hold it";
    }
    EXPECT_EQ(starts, 735u) << "every start of the whole log, once";
    EXPECT_GT(copyOnly, 0u) << "the starts of the drive's lost chunk";
    EXPECT_EQ(both + copyOnly, starts);
    EXPECT_EQ(results.tally[eventLogStartsRead], 735u - copyOnly) << "the drive's own";
    // The log reaches back as far as its oldest copy does.
    const FileTime wholeOldest = readEvtxLog(whole, EventLogKind::Security, false).oldest;
    ASSERT_LT(wholeOldest, readEvtxLog(damaged, EventLogKind::Security, false).oldest);
    const std::vector<KeptSpan> spans = readingOf(results.origin, eventLogSource).spans;
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_EQ(spans[0].name, L"Security log");
    EXPECT_EQ(spans[0].oldest, wholeOldest);
}

// The zip's bytes, read whole.
std::string zipBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

TEST(Collection, MembersThatShareOneStreamAreReadOnceAndTheRestCounted) {
    testing::TempFolder folder;
    const auto path = folder.path / "shared.zip";
    {
        ZipWriter writer(path);
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/Prefetch/A.pf", "the same bytes"));
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/Prefetch/B.pf", "the same bytes"));
        ASSERT_TRUE(writer.add("uploads/auto/C%3A/Windows/Prefetch/C.pf", "the same bytes"));
        ASSERT_TRUE(writer.close());
    }
    const std::string zip = zipBytes(path);
    const BytesAt read =
        bytesInMemory(reinterpret_cast<const std::uint8_t*>(zip.data()), zip.size());
    std::vector<std::uint64_t> offsets;
    ASSERT_TRUE(memberDataOffsets(read, std::filesystem::file_size(path), offsets));
    ASSERT_EQ(offsets.size(), 3u);
    EXPECT_EQ(offsets[0], 0u);
    EXPECT_LT(offsets[0], offsets[1]);
    EXPECT_LT(offsets[1], offsets[2]);
    EXPECT_FALSE(memberDataOffsets(read, 10, offsets)) << "no end of directory in 10 bytes";

    // B's and C's directory entries now name A's local header: one stream.
    {
        std::string bytes = zipBytes(path);
        std::size_t entry = bytes.find("PK\x01\x02");
        entry = bytes.find("PK\x01\x02", entry + 4);
        for (; entry != std::string::npos; entry = bytes.find("PK\x01\x02", entry + 4)) {
            std::memset(bytes.data() + entry + 42, 0, 4);
        }
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    FileScope scope;
    CollectionSurvey survey;
    const CollectionHandle collection = openZip(path, scope, survey);
    ASSERT_NE(collection, nullptr) << testing::narrow(survey.problem);
    EXPECT_EQ(survey.membersPassedOver, 2u);
    EXPECT_EQ(survey.members, 1u);
    WholeFileRead outcome = WholeFileRead::Missing;
    EXPECT_EQ(readText(*collection, 0, L"\\Windows\\Prefetch\\A.pf", outcome), L"the same bytes");
    readText(*collection, 0, L"\\Windows\\Prefetch\\B.pf", outcome);
    EXPECT_EQ(outcome, WholeFileRead::Missing);
}

TEST(Collection, AnExtractedFolderIsReadAsItsZipIs) {
    testing::TempFolder folder;
    put(folder, "client_info.json", R"({"Hostname":"WKS-7"})");
    put(folder, "uploads.json",
        "{\"file_size\":9,\"uploaded_size\":0,\"Error\":\"locked\"}\nnot json\n");
    put(folder, "uploads/auto/C%3A/Windows/Prefetch/CMD.EXE-1.pf", "prefetch");
    put(folder, "uploads/ntfs/%5C%5C.%5CC%3A/Windows/System32/config/SYSTEM", "system");
    // A link back up the tree: the walk does not go round it for ever.
    std::filesystem::create_directory_symlink(folder.path / "uploads",
                                              folder.path / "uploads/auto/C%3A/loop");
    ASSERT_TRUE(looksLikeCollectionFolder(folder.text()));
    FileScope scope = confinedFileScope(folder.text());
    CollectionSurvey survey;
    const CollectionHandle collection = openCollection(folder.text(), nullptr, scope, survey);
    ASSERT_NE(collection, nullptr) << testing::narrow(survey.problem);
    EXPECT_FALSE(survey.zip);
    EXPECT_EQ(survey.hostName, L"WKS-7");
    EXPECT_EQ(survey.filesNotCollected, 1u);
    ASSERT_EQ(survey.metadataUnreadable.size(), 1u);
    EXPECT_EQ(survey.metadataUnreadable.front(), L"uploads.json");
    ASSERT_EQ(survey.devices.size(), 1u);
    EXPECT_TRUE(survey.devices.front().holdsWindows);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(readCollectionFile(*collection, scope, 0, L"\\Windows\\Prefetch\\CMD.EXE-1.pf",
                                 1 << 20, bytes),
              WholeFileRead::Read);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "prefetch");
    EXPECT_EQ(readCollectionFile(*collection, scope, 0, L"\\Windows\\System32\\config\\SYSTEM",
                                 1 << 20, bytes),
              WholeFileRead::Read);

    // What the collector could not take whole is a gap the verdict names.
    const ScanResults results = testing::scanEvidence(folder.path);
    const std::vector<std::wstring> gaps = incompletenessReasons(results.tally, results.facts);
    EXPECT_NE(std::find(gaps.begin(), gaps.end(),
                        std::wstring(collectionFilesNotCollected.reportLabel) + L" 1"),
              gaps.end());
    EXPECT_FALSE(reportIsComplete(results.tally, results.facts));

    // Without the collector's own files beside it, an uploads folder is
    // only a folder.
    testing::TempFolder bare;
    bare.makeFolder("uploads");
    EXPECT_FALSE(looksLikeCollectionFolder(bare.text()));
    EXPECT_FALSE(looksLikeCollectionFolder(testing::programText(folder.path / "client_info.json")));
}

} // namespace
} // namespace tidewell
