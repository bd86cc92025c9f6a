// The Prefetch set-up this machine states: each fact with its default when
// it cannot be had, and every one of them known.
#include "prefetch/prefetch_setup.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "platform/error_codes.h"
#include "support/temp_folder.h"
#include "support/this_machine.h"

namespace tidewell {
namespace {

const std::wstring parametersKey =
    L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters";

class PrefetchEnvironment : public ::testing::Test {
protected:
    void SetUp() override { fake::resetAll(); }
    void TearDown() override { fake::resetAll(); }
};

TEST_F(PrefetchEnvironment, NothingKnownGivesTheDefaults) {
    const ScanFacts facts = testing::probeThisMachine();
    EXPECT_FALSE(facts.elevated);
    EXPECT_EQ(facts[enablePrefetcherPresent].value, 0u);
    EXPECT_EQ(facts[enablePrefetcherValue].value, 0u);
    EXPECT_EQ(facts[prefetchEnabled].value, 1u);
    EXPECT_EQ(facts[prefetchDirReadable].value, 0u);
    EXPECT_EQ(facts[prefetchRetentionLimit].value, 128u);
    EXPECT_FALSE(facts.profileCoverageKnown);
    EXPECT_FALSE(facts.spanKnown);
    // This machine's facts are all known: what it cannot read takes Windows' default.
    for (const ScanFacts::Stated& stated : facts.stated) {
        EXPECT_EQ(stated.value.state, FactState::Known) << stated.fact->key;
    }
}

TEST_F(PrefetchEnvironment, EnablePrefetcherBitZeroDecides) {
    for (std::uint32_t value : {0u, 1u, 2u, 3u}) {
        fake::setRegistryDword(RegistryRoot::LocalMachine, parametersKey, L"EnablePrefetcher",
                               value);
        const ScanFacts facts = testing::probeThisMachine();
        EXPECT_EQ(facts[enablePrefetcherPresent].value, 1u);
        EXPECT_EQ(facts[enablePrefetcherValue].value, value);
        EXPECT_EQ(facts[prefetchEnabled].value != 0, (value & 1) != 0) << value;
    }
}

TEST_F(PrefetchEnvironment, ASettingOfAnotherTypeOrSizeCountsAsAbsent) {
    fake::setRegistryValue(RegistryRoot::LocalMachine, parametersKey, L"EnablePrefetcher",
                           registryTypeString, {'0', 0, 0, 0});
    ScanFacts facts = testing::probeThisMachine();
    EXPECT_EQ(facts[enablePrefetcherPresent].value, 0u);
    EXPECT_EQ(facts[prefetchEnabled].value, 1u);

    fake::setRegistryValue(RegistryRoot::LocalMachine, parametersKey, L"EnablePrefetcher",
                           registryTypeDword, {2, 0, 0, 0, 0, 0, 0, 0});
    facts = testing::probeThisMachine();
    EXPECT_EQ(facts[enablePrefetcherPresent].value, 0u);

    fake::setRegistryDword(RegistryRoot::LocalMachine, parametersKey, L"EnablePrefetcher", 2);
    fake::failRegistryOpen(RegistryRoot::LocalMachine, parametersKey, ERROR_ACCESS_DENIED);
    facts = testing::probeThisMachine();
    EXPECT_EQ(facts[enablePrefetcherPresent].value, 0u);
    EXPECT_EQ(facts[prefetchEnabled].value, 1u);
}

TEST_F(PrefetchEnvironment, RetentionFollowsTheWindowsVersion) {
    const std::tuple<std::uint32_t, std::uint32_t, std::uint32_t> cases[] = {
        {6, 1, 128}, {6, 2, 1024}, {6, 3, 1024}, {10, 0, 1024}, {5, 1, 128}, {7, 0, 1024}};
    for (const auto& [major, minor, limit] : cases) {
        fake::setWindowsVersion(major, minor);
        EXPECT_EQ(testing::probeThisMachine()[prefetchRetentionLimit].value, limit)
            << major << "." << minor;
    }
}

TEST_F(PrefetchEnvironment, ElevationAndTheFolderAreReportedWhenKnown) {
    testing::TempFolder windows;
    windows.makeFolder("Prefetch");
    fake::setWindowsDirectory(windows.text());
    fake::setElevated(true);
    ScanFacts facts = testing::probeThisMachine();
    EXPECT_TRUE(facts.elevated);
    EXPECT_EQ(facts[prefetchDirReadable].value, 1u);

    // A standard user whose Prefetch folder refuses listing: the other facts stay.
    fake::setElevated(false);
    fake::failListing(windows.text() + L"\\Prefetch\\*", {ERROR_ACCESS_DENIED, -1, 0});
    fake::setWindowsVersion(10, 0);
    facts = testing::probeThisMachine();
    EXPECT_FALSE(facts.elevated);
    EXPECT_EQ(facts[prefetchDirReadable].value, 0u);
    EXPECT_EQ(facts[prefetchRetentionLimit].value, 1024u);
    EXPECT_EQ(facts[prefetchEnabled].value, 1u);
}

} // namespace
} // namespace tidewell
