// Reading one hive's UserAssist values: every registry failure counted where
// the walk stops, every value ending in one outcome.
#include "userassist/userassist_reader.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "platform/error_codes.h"
#include "platform/path_join.h"
#include "support/tally_checks.h"
#include "userassist/sample/userassist_values.h"
#include "userassist/userassist_counters.h"

namespace tidewell {
namespace {

using sample::rot13;
using sample::userAssistData;

constexpr FileTime aStamp = 133500000000000000ULL;
const std::wstring userAssist = userAssistKeyPath;
const std::wstring firstGuid = L"{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}";
const std::wstring secondGuid = L"{F4E57C4B-2036-45F0-A9AB-443BCFE33D9F}";

std::wstring countKey(const std::wstring& guid) {
    return userAssist + L"\\" + guid + L"\\Count";
}

void addValue(const std::wstring& guid, const std::wstring& decoded,
              const std::vector<std::uint8_t>& data, std::uint32_t type = registryTypeBinary) {
    fake::setRegistryValue(RegistryRoot::CurrentUser, countKey(guid), rot13(decoded), type, data);
}

// Every value seen ends in exactly one of these.
std::uint32_t valueOutcomes(const ScanTally& tally) {
    return tally[userAssistBookkeepingSkipped] + tally[userAssistWrongType] +
           tally[userAssistTooLarge] + tally[userAssistWrongSize] + tally[userAssistParsed];
}

class UserAssistReader : public ::testing::Test {
protected:
    void SetUp() override {
        fake::resetAll();
        fake::setFixedNow(133616736000000000ULL);
        fake::addAccount(L"S-1-5-21-1-2-3-1001", L"analyst");
    }
    void TearDown() override { fake::resetAll(); }

    RecordList records;
    ScanTally tally;

    // The running account's own hive; false when it holds no UserAssist key.
    bool readOwnHive() {
        RegistryKey root;
        openRegistryRoot(RegistryRoot::CurrentUser, root);
        const HiveContext own{L"S-1-5-21-1-2-3-1001", L"analyst", true, nullptr};
        return readUserAssistKeys(root, own, records, tally);
    }
};

TEST_F(UserAssistReader, AHiveWithoutTheKeyYieldsNothingAndCountsNothing) {
    EXPECT_FALSE(readOwnHive());
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(testing::sumOfAllCounters(tally), 0u) << "whether it matters is the source's to say";

    fake::createRegistryKey(RegistryRoot::CurrentUser, userAssist);
    EXPECT_TRUE(readOwnHive());
    fake::failRegistryOpen(RegistryRoot::CurrentUser, userAssist, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(readOwnHive()) << "a key that cannot be opened is as good as absent";
}

TEST_F(UserAssistReader, EverySubkeyIsReadAndEveryValueEndsOnce) {
    addValue(firstGuid, L"C:\\Tools\\a.exe", userAssistData(3, 1, 1000, aStamp));
    addValue(firstGuid, L"UEME_CTLSESSION", std::vector<std::uint8_t>(1612, 0));
    addValue(firstGuid, L"C:\\Tools\\dword.exe", {1, 0, 0, 0}, registryTypeDword);
    addValue(firstGuid, L"C:\\Tools\\huge.exe", std::vector<std::uint8_t>(65537, 0));
    addValue(firstGuid, L"C:\\Tools\\odd.exe", std::vector<std::uint8_t>(16, 0));
    fake::setRegistryDword(RegistryRoot::CurrentUser, userAssist + L"\\" + firstGuid, L"Version",
                           5);
    addValue(secondGuid, L"Microsoft.Windows.Explorer", userAssistData(0, 0, 0, aStamp));
    // A subkey without Count is passed over without a word; so is an empty Count key.
    fake::createRegistryKey(RegistryRoot::CurrentUser,
                            userAssist + L"\\{00000000-0000-0000-0000-000000000000}");
    fake::createRegistryKey(RegistryRoot::CurrentUser,
                            countKey(L"{11111111-1111-1111-1111-111111111111}"));

    readOwnHive();
    EXPECT_EQ(tally[userAssistSeen], 6u);
    EXPECT_EQ(tally[userAssistSeen], valueOutcomes(tally));
    EXPECT_EQ(tally[userAssistParsed], 2u);
    EXPECT_EQ(tally[userAssistBookkeepingSkipped], 1u);
    EXPECT_EQ(tally[userAssistWrongType], 1u);
    EXPECT_EQ(tally[userAssistTooLarge], 1u);
    EXPECT_EQ(tally[userAssistWrongSize], 1u);
    EXPECT_EQ(tally[userAssistKeysUnreadable], 0u);
    EXPECT_EQ(tally[userAssistUnreadable], 0u);
    ASSERT_EQ(records.size(), 2u);
    // Subkey by subkey, value by value, each carrying the hive's owner.
    EXPECT_EQ(records[0].name, L"a.exe");
    EXPECT_EQ(records[1].name, L"Microsoft.Windows.Explorer");
    for (const LaunchRecord& record : records) {
        EXPECT_EQ(record.userSid, L"S-1-5-21-1-2-3-1001");
        EXPECT_EQ(record.userName, L"analyst");
    }
}

TEST_F(UserAssistReader, AFailedDataReadSkipsOnlyThatValue) {
    addValue(firstGuid, L"C:\\one.exe", userAssistData(1, 1, 1, aStamp));
    addValue(firstGuid, L"C:\\two.exe", userAssistData(1, 1, 1, aStamp));
    addValue(firstGuid, L"C:\\three.exe", userAssistData(1, 1, 1, aStamp));
    fake::failValueDataRead(RegistryRoot::CurrentUser, countKey(firstGuid), 1);
    readOwnHive();
    EXPECT_EQ(tally[userAssistSeen], 3u);
    EXPECT_EQ(tally[userAssistKeysUnreadable], 1u);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, L"one.exe");
    EXPECT_EQ(records[1].name, L"three.exe");
}

TEST_F(UserAssistReader, ANameTooLongForTheBufferEndsItsCountKeyOnly) {
    addValue(firstGuid, L"C:\\before.exe", userAssistData(1, 1, 1, aStamp));
    addValue(firstGuid, L"C:\\" + std::wstring(509, L'x'), userAssistData(1, 1, 1, aStamp)); // 512
    addValue(firstGuid, L"C:\\after.exe", userAssistData(1, 1, 1, aStamp));
    addValue(secondGuid, L"C:\\" + std::wstring(508, L'y'), userAssistData(1, 1, 1, aStamp)); // 511
    readOwnHive();
    EXPECT_EQ(tally[userAssistKeysUnreadable], 1u);
    EXPECT_EQ(tally[userAssistSeen], 2u);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, L"before.exe");
    EXPECT_EQ(records[1].name, std::wstring(508, L'y'));
}

TEST_F(UserAssistReader, EnumerationFailuresEndTheirWalk) {
    addValue(firstGuid, L"C:\\a.exe", userAssistData(1, 1, 1, aStamp));
    addValue(firstGuid, L"C:\\b.exe", userAssistData(1, 1, 1, aStamp));
    addValue(secondGuid, L"C:\\c.exe", userAssistData(1, 1, 1, aStamp));
    fake::failValueEnumeration(RegistryRoot::CurrentUser, countKey(firstGuid), 1,
                               ERROR_ACCESS_DENIED);
    readOwnHive();
    EXPECT_EQ(records.size(), 2u); // a.exe, then the next subkey's c.exe
    EXPECT_EQ(tally[userAssistKeysUnreadable], 1u);

    records.clear();
    tally = ScanTally{};
    fake::failSubkeyEnumeration(RegistryRoot::CurrentUser, userAssist, 1, ERROR_ACCESS_DENIED);
    readOwnHive();
    EXPECT_EQ(tally[userAssistKeysUnreadable], 2u); // the value failure, then the subkey walk
    EXPECT_EQ(records.size(), 1u);
}

TEST_F(UserAssistReader, ACountKeyThatExistsButWillNotOpenIsCounted) {
    addValue(firstGuid, L"C:\\a.exe", userAssistData(1, 1, 1, aStamp));
    addValue(secondGuid, L"C:\\b.exe", userAssistData(1, 1, 1, aStamp));
    fake::failRegistryOpen(RegistryRoot::CurrentUser, countKey(firstGuid), ERROR_ACCESS_DENIED);
    readOwnHive();
    EXPECT_EQ(tally[userAssistKeysUnreadable], 1u);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name, L"b.exe");
}

} // namespace
} // namespace tidewell
