// Evidence folders laid out by someone who wanted the examiner's tool to
// read what is not evidence, or to hang: named pipes, devices, and links
// leading out of the folder or round in a loop, where Prefetch files,
// hives and profile folders belong. The scan must end promptly, read none of
// them, and count and say each one.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/scan_counters.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/sample/prefetch_image_builder.h"
#include "sample/evidence_tree.h"
#include "scan/scan_driver.h"
#include "support/corpus_files.h"
#include "support/temp_folder.h"
#include "userassist/sample/userassist_values.h"
#include "userassist/userassist_reader.h"

namespace tidewell {
namespace {

namespace fs = std::filesystem;
using sample::writeEvidenceFile;

constexpr FileTime aRun = 133500000000000000ULL;
const std::wstring alice = L"S-1-5-21-7-8-9-1001";
const std::wstring bob = L"S-1-5-21-7-8-9-1002";
const std::wstring carol = L"S-1-5-21-7-8-9-1003";

std::vector<std::uint8_t> prefetchFile(const std::wstring& name) {
    sample::PrefetchImageSpec spec;
    spec.name = name;
    spec.runTimeSlots = {aRun};
    spec.alternateRunCount = 1;
    spec.referencedFiles = {L"\\VOLUME{01d5f51ea48267ca-96a49c74}\\WINDOWS\\SYSTEM32\\" + name};
    return sample::buildPrefetchImage(spec);
}

std::vector<std::uint8_t> userHive(const std::wstring& launched) {
    sample::HiveSpec spec;
    sample::keyAt(spec.root, std::wstring(userAssistKeyPath) +
                                 L"\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count")
        .values = {{sample::rot13(launched), 3, sample::userAssistData(3, 2, 4000, aRun)}};
    return sample::writeHive(spec);
}

void makeSocket(const fs::path& at) {
    const int handle = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(handle, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string text = at.string();
    ASSERT_LT(text.size(), sizeof address.sun_path);
    std::copy(text.begin(), text.end(), address.sun_path);
    ASSERT_EQ(::bind(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(handle);
}

bool refusedFor(const ScanResults& results, const std::wstring& nameEnd, const wchar_t* why) {
    for (const RefusedEntry& refused : results.origin.refused) {
        if (refused.path.size() >= nameEnd.size() &&
            refused.path.compare(refused.path.size() - nameEnd.size(), nameEnd.size(), nameEnd) ==
                0 &&
            refused.why.find(why) != std::wstring::npos) {
            return true;
        }
    }
    return false;
}

const ExaminedHive* hiveOf(const ScanResults& results, const std::wstring& hive,
                           const std::wstring& sid = L"") {
    for (const ExaminedHive& examined : results.origin.hives) {
        if (examined.hive == hive && examined.userSid == sid) {
            return &examined;
        }
    }
    return nullptr;
}

// The same hive, marked as if its last write had not finished.
std::vector<std::uint8_t> dirtied(std::vector<std::uint8_t> hive) {
    hive[4] += 1; // the primary sequence number, now ahead of the secondary
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < 508; at += 4) {
        sum ^= static_cast<std::uint32_t>(hive[at]) |
               static_cast<std::uint32_t>(hive[at + 1]) << 8 |
               static_cast<std::uint32_t>(hive[at + 2]) << 16 |
               static_cast<std::uint32_t>(hive[at + 3]) << 24;
    }
    for (std::size_t at = 0; at < 4; ++at) {
        hive[508 + at] = static_cast<std::uint8_t>(sum >> (8 * at));
    }
    return hive;
}

class HostileEvidence : public ::testing::Test {
protected:
    void SetUp() override {
        drive = root.path / "C";
        outside = elsewhere.path;
        // What an attacker would like the examiner's tool to take for
        // evidence: sound files that lie outside the evidence folder.
        writeEvidenceFile(outside, "SOFTWARE",
                          sample::writeHive(sample::softwareHive(
                              {{alice, L"C:\\Users\\alice"}, {bob, L"C:\\Users\\bob"}})));
        writeEvidenceFile(outside, "PASSWD.EXE-00000003.pf", prefetchFile(L"PASSWD.EXE"));
        writeEvidenceFile(outside, "home/NTUSER.DAT", userHive(L"C:\\outside.exe"));

        writeEvidenceFile(drive, "Windows/System32/config/SOFTWARE",
                          sample::writeHive(sample::softwareHive({{alice, L"C:\\Users\\alice"},
                                                                  {bob, L"C:\\Users\\bob"},
                                                                  {carol, L"C:\\Users\\carol"}})));
        writeEvidenceFile(drive, "Windows/Prefetch/CALC.EXE-00000001.pf",
                          prefetchFile(L"CALC.EXE"));
        writeEvidenceFile(drive, "Users/carol/NTUSER.DAT", userHive(L"C:\\carol.exe"));
    }
    ScanResults scan() {
        ScanResults results;
        runScan(ScanTarget{ScanSubject::EvidenceRoot, testing::programText(root.path)}, results);
        return results;
    }
    fs::path prefetch() const { return drive / "Windows/Prefetch"; }

    testing::TempFolder root;
    testing::TempFolder elsewhere;
    fs::path drive;
    fs::path outside;
};

TEST_F(HostileEvidence, PipesDevicesAndLinksOutOfTheFolderAreCountedAndNeverRead) {
    // Prefetch: a pipe (which would hold an open for ever), a device, a
    // socket, a link to a sound Prefetch file outside, links in a loop, and
    // a link to a file inside the evidence, which is read.
    ASSERT_EQ(::mkfifo((prefetch() / "PIPE.EXE-00000004.pf").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", prefetch() / "ZERO.EXE-00000005.pf");
    makeSocket(prefetch() / "SOCK.EXE-00000006.pf");
    fs::create_symlink(outside / "PASSWD.EXE-00000003.pf", prefetch() / "PASSWD.EXE-00000003.pf");
    fs::create_symlink("LOOPB-00000008.pf", prefetch() / "LOOPA-00000007.pf");
    fs::create_symlink("LOOPA-00000007.pf", prefetch() / "LOOPB-00000008.pf");
    writeEvidenceFile(drive, "Windows/Kept/NOTE.EXE-00000009.pf", prefetchFile(L"NOTE.EXE"));
    fs::create_symlink("../Kept/NOTE.EXE-00000009.pf", prefetch() / "NOTE.EXE-00000009.pf");

    // SYSTEM is a pipe, SOFTWARE is fine; alice's hive is a link to one
    // outside, bob's whole profile folder leads outside.
    ASSERT_EQ(::mkfifo((drive / "Windows/System32/config/SYSTEM").c_str(), 0600), 0);
    fs::create_directories(drive / "Users/alice");
    fs::create_symlink(outside / "home/NTUSER.DAT", drive / "Users/alice/NTUSER.DAT");
    fs::create_directory_symlink(outside / "home", drive / "Users/bob");

    const ScanResults results = scan();

    EXPECT_EQ(results.tally[prefetchSeen], 8u);
    EXPECT_EQ(results.tally[prefetchParsed], 2u);
    EXPECT_EQ(results.tally[prefetchUnreadable], 6u);
    for (const LaunchRecord& record : results.records) {
        EXPECT_NE(record.name, L"PASSWD.EXE") << "a file outside the evidence was read";
        EXPECT_NE(record.name, L"outside.exe") << "a hive outside the evidence was read";
    }
    const auto has = [&](const std::wstring& name) {
        return std::any_of(results.records.begin(), results.records.end(),
                           [&](const LaunchRecord& record) { return record.name == name; });
    };
    EXPECT_TRUE(has(L"CALC.EXE"));
    EXPECT_TRUE(has(L"NOTE.EXE")) << "a link that stays inside the evidence is followed";
    EXPECT_TRUE(has(L"carol.exe"));

    EXPECT_TRUE(refusedFor(results, L"PIPE.EXE-00000004.pf", L"named pipe"));
    EXPECT_TRUE(refusedFor(results, L"ZERO.EXE-00000005.pf", L"leads out of the evidence"));
    EXPECT_TRUE(refusedFor(results, L"SOCK.EXE-00000006.pf", L"socket"));
    EXPECT_TRUE(refusedFor(results, L"PASSWD.EXE-00000003.pf", L"leads out of the evidence"));
    EXPECT_TRUE(refusedFor(results, L"LOOPA-00000007.pf", L"loop"));

    // Every hive looked for has its outcome, and says why it was not read.
    EXPECT_EQ(results.tally[systemHivesUnreadable], 1u);
    const ExaminedHive* system = hiveOf(results, L"SYSTEM");
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->outcome, HiveOutcome::Unreadable);
    EXPECT_NE(system->why.find(L"named pipe"), std::wstring::npos);
    EXPECT_EQ(hiveOf(results, L"SOFTWARE")->outcome, HiveOutcome::Clean);

    EXPECT_EQ(results.tally[hivesUnreadable], 2u);
    EXPECT_EQ(results.tally[hivesMissing], 0u);
    EXPECT_EQ(results.facts.profilesExamined, 1u);
    for (const std::wstring& sid : {alice, bob}) {
        const ExaminedHive* user = hiveOf(results, L"NTUSER.DAT", sid);
        ASSERT_NE(user, nullptr);
        EXPECT_EQ(user->outcome, HiveOutcome::Unreadable);
        EXPECT_NE(user->why.find(L"leads out of the evidence"), std::wstring::npos);
    }
    EXPECT_EQ(hiveOf(results, L"NTUSER.DAT", carol)->outcome, HiveOutcome::Clean);
    EXPECT_TRUE(results.anyFailure);
}

TEST_F(HostileEvidence, AWholeFolderLeadingOutsideOrInALoopIsNotEntered) {
    // The Prefetch folder itself is a link to a folder of sound files
    // elsewhere; the config folder links round in a loop.
    fs::remove_all(prefetch());
    fs::create_directory_symlink(outside, prefetch());
    fs::remove_all(drive / "Windows/System32/config");
    fs::create_symlink("config", drive / "Windows/System32/config");

    const ScanResults results = scan();
    EXPECT_EQ(results.tally[prefetchDirUnreadable], 1u);
    EXPECT_EQ(results.tally[prefetchSeen], 0u);
    EXPECT_EQ(results.tally[systemHivesUnreadable], 2u);
    EXPECT_EQ(hiveOf(results, L"SOFTWARE")->outcome, HiveOutcome::Missing);
    EXPECT_FALSE(results.facts.profileCoverageKnown);
    EXPECT_TRUE(refusedFor(results, L"Prefetch", L"leads out of the evidence"));
    EXPECT_TRUE(refusedFor(results, L"config", L"loop"));
    // Without the profile list the users' folders stand in: carol's is read.
    EXPECT_EQ(results.facts.profilesExamined, 1u);
}

TEST_F(HostileEvidence, LogsTooLargeToHoldBesideTheirHiveAreSaidAndNeverRead) {
    // Files of 2 GiB that take no room: each alone is within what a hive may
    // be, but a hive and its logs together would hold three times that.
    constexpr std::uintmax_t twoGiB = 2ULL * 1024 * 1024 * 1024;
    writeEvidenceFile(drive, "Users/carol/NTUSER.DAT", dirtied(userHive(L"C:\\carol.exe")));
    for (const char* log : {"NTUSER.DAT.LOG1", "NTUSER.DAT.LOG2"}) {
        writeEvidenceFile(drive / "Users/carol", log, {});
        fs::resize_file(drive / "Users/carol" / log, twoGiB);
    }
    // Logs beside a clean hive are not needed, however large.
    writeEvidenceFile(drive, "Windows/System32/config/SYSTEM",
                      sample::writeHive(sample::systemHive(3, L"WKS")));
    writeEvidenceFile(drive, "Windows/System32/config/SYSTEM.LOG1", {});
    fs::resize_file(drive / "Windows/System32/config/SYSTEM.LOG1", twoGiB);

    const ScanResults results = scan();

    const ExaminedHive* carolHive = hiveOf(results, L"NTUSER.DAT", carol);
    ASSERT_NE(carolHive, nullptr);
    EXPECT_EQ(carolHive->outcome, HiveOutcome::Stale);
    EXPECT_NE(carolHive->why.find(L"too large"), std::wstring::npos)
        << testing::narrow(carolHive->why);
    EXPECT_EQ(results.tally[hivesStale], 1u);
    EXPECT_EQ(hiveOf(results, L"SYSTEM")->outcome, HiveOutcome::Clean);
    // The stale hive is still read, and says so.
    EXPECT_TRUE(
        std::any_of(results.records.begin(), results.records.end(),
                    [](const LaunchRecord& record) { return record.name == L"carol.exe"; }));
}

} // namespace
} // namespace tidewell
