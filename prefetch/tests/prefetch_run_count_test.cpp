// Which stored run count is believed: a count must be at least the number of
// recorded runs and below 100,000,000, and version 30's two header variants
// keep it in two places.
#include "prefetch/prefetch_parser.h"

#include <gtest/gtest.h>

#include "prefetch/prefetch_counters.h"
#include "prefetch/sample/prefetch_image_builder.h"

namespace tidewell {
namespace {

constexpr FileTime testNow = 133616736000000000ULL;
constexpr FileTime aRunTime = 133500000000000000ULL;

std::optional<std::uint32_t> countFromImage(std::uint32_t version, std::uint32_t mainCount,
                                            std::uint32_t alternateCount,
                                            std::uint32_t metricsOffset, unsigned runs) {
    sample::PrefetchImageSpec spec;
    spec.version = version;
    for (unsigned i = 0; i < runs; ++i) {
        spec.runTimeSlots.push_back(aRunTime - i);
    }
    spec.runCount = mainCount;
    spec.alternateRunCount = alternateCount;
    spec.metricsOffset = metricsOffset;
    std::vector<std::uint8_t> image = sample::buildPrefetchImage(spec);
    LaunchRecord record;
    ScanTally tally;
    EXPECT_TRUE(parsePrefetchAt(image.data(), image.size(), L"x", record, tally, testNow));
    EXPECT_EQ(tally[prefetchRunCountUnverified], record.runCountKnown ? 0u : 1u);
    if (!record.runCountKnown) {
        EXPECT_EQ(record.runCount, 0u);
        return std::nullopt;
    }
    return record.runCount;
}

TEST(PrefetchRunCount, OtherVersionsBelieveTheMainCountOnlyWhenPlausible) {
    for (std::uint32_t version : {17u, 23u, 26u, 31u}) {
        const unsigned runs = version >= 26 ? 3 : 1;
        EXPECT_EQ(countFromImage(version, 42, 0, 0, runs), 42u) << version;
        EXPECT_EQ(countFromImage(version, runs, 0, 0, runs), runs) << version;
        EXPECT_EQ(countFromImage(version, 99999999, 0, 0, runs), 99999999u) << version;
        EXPECT_EQ(countFromImage(version, 100000000, 0, 0, runs), std::nullopt) << version;
        EXPECT_EQ(countFromImage(version, runs - 1, 0, 0, runs), std::nullopt) << version;
    }
}

TEST(PrefetchRunCount, ThreeRunsAndACountOfTwoAreNotBelieved) {
    EXPECT_EQ(countFromImage(26, 2, 0, 0, 3), std::nullopt);
    EXPECT_EQ(chooseRunCount(26, 2, 0, 0, 3), std::nullopt);
}

TEST(PrefetchRunCount, Version30TableRowByRow) {
    // main plausible, alternate not
    EXPECT_EQ(countFromImage(30, 7, 100000000, 0, 2), 7u);
    EXPECT_EQ(countFromImage(30, 7, 1, 0, 2), 7u); // alternate below the run count
    // both plausible and equal
    EXPECT_EQ(countFromImage(30, 7, 7, 0, 2), 7u);
    // both plausible and different: the metrics offset decides
    EXPECT_EQ(countFromImage(30, 7, 9, 304, 2), 7u);
    EXPECT_EQ(countFromImage(30, 7, 9, 296, 2), 9u);
    EXPECT_EQ(countFromImage(30, 7, 9, 300, 2), std::nullopt);
    EXPECT_EQ(countFromImage(30, 7, 9, 0, 2), std::nullopt);
    // main not plausible, alternate plausible
    EXPECT_EQ(countFromImage(30, 100000000, 9, 304, 2), 9u);
    EXPECT_EQ(countFromImage(30, 1, 9, 304, 2), 9u);
    // neither plausible
    EXPECT_EQ(countFromImage(30, 1, 0xFFFFFFFFu, 304, 2), std::nullopt);
}

TEST(PrefetchRunCount, TheAlternatePositionIsReadForVersion30Only) {
    // Version 26 and 31 images with a plausible number at 200 and an
    // implausible one at their own position stay withheld.
    for (std::uint32_t version : {26u, 31u}) {
        sample::PrefetchImageSpec spec;
        spec.version = version;
        spec.runTimeSlots = {aRunTime};
        std::vector<std::uint8_t> image = sample::buildPrefetchImage(spec);
        const std::size_t own = version == 26 ? 208 : 200;
        sample::putU32(image, own, 0);
        if (version == 26) {
            sample::putU32(image, 200, 5);
        }
        LaunchRecord record;
        ScanTally tally;
        ASSERT_TRUE(parsePrefetchAt(image.data(), image.size(), L"x", record, tally, testNow));
        EXPECT_FALSE(record.runCountKnown) << version;
    }
    // Version 31 keeps its count at 200.
    EXPECT_EQ(countFromImage(31, 12, 0, 0, 1), 12u);
}

} // namespace
} // namespace tidewell
