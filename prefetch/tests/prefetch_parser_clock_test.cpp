// parsePrefetch bounds run times by the platform's clock, read once per file.
#include "prefetch/prefetch_parser.h"

#include <gtest/gtest.h>

#include "fake/fake_machine.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/sample/prefetch_image_builder.h"

namespace tidewell {
namespace {

TEST(PrefetchParserClock, TheUpperBoundIsTheClockPlusOneDay) {
    const FileTime now = 133616736000000000ULL;
    fake::setFixedNow(now);
    sample::PrefetchImageSpec spec;
    spec.runTimeSlots = {now + 864000000000ULL};
    std::vector<std::uint8_t> image = sample::buildPrefetchImage(spec);
    LaunchRecord record;
    ScanTally tally;
    EXPECT_TRUE(parsePrefetch(image.data(), image.size(), L"x", record, tally));

    fake::setFixedNow(now - 1); // the same file one tick earlier is from the future
    EXPECT_FALSE(parsePrefetch(image.data(), image.size(), L"x", record, tally));
    EXPECT_EQ(tally[prefetchMalformed], 1u);
    EXPECT_EQ(tally[prefetchParsed], 1u);
    fake::resetAll();
}

} // namespace
} // namespace tidewell
