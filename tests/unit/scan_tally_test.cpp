// Which counters mean that something could not be read.
#include "core/scan_tally.h"

#include <gtest/gtest.h>

#include "core/launch_record.h"
#include "support/tally_checks.h"

namespace tidewell {
namespace {

TEST(HasFailure, AZeroTallyHasNone) {
    EXPECT_FALSE(hasFailure(ScanTally{}));
}

TEST(HasFailure, EachOfTheFifteenFailureCountersAloneSetsIt) {
    std::uint32_t ScanTally::*const failures[] = {
        &ScanTally::prefetchDirUnreadable,    &ScanTally::userAssistUnreadable,
        &ScanTally::prefetchUnreadable,       &ScanTally::prefetchNotPrefetch,
        &ScanTally::prefetchDecompressFailed, &ScanTally::prefetchMalformed,
        &ScanTally::prefetchUnknownVersion,   &ScanTally::prefetchListOutside,
        &ScanTally::prefetchListingStopped,   &ScanTally::profileListUnreadable,
        &ScanTally::userAssistKeysUnreadable, &ScanTally::userAssistWrongSize,
        &ScanTally::userAssistWrongType,      &ScanTally::userAssistTooLarge,
        &ScanTally::userAssistImpossibleDate,
    };
    for (auto counter : failures) {
        ScanTally tally;
        tally.*counter = 1;
        EXPECT_TRUE(hasFailure(tally));
    }
}

TEST(HasFailure, TheFourteenOtherCountersNeverSetIt) {
    std::uint32_t ScanTally::*const others[] = {
        &ScanTally::prefetchSeen,
        &ScanTally::prefetchParsed,
        &ScanTally::prefetchNonPrefetchSkipped,
        &ScanTally::prefetchPathNotUnique,
        &ScanTally::prefetchRunCountUnverified,
        &ScanTally::userAssistSeen,
        &ScanTally::userAssistParsed,
        &ScanTally::userAssistBookkeepingSkipped,
        &ScanTally::userAssistNoTimestamp,
        &ScanTally::userAssistStampOnly,
        &ScanTally::volumesNotIdentified,
        &ScanTally::volumesAmbiguous,
        &ScanTally::folderIdsUnresolved,
        &ScanTally::folderIdsOtherUser,
    };
    ScanTally tally;
    for (auto counter : others) {
        tally.*counter = 0xFFFFFFFFu;
    }
    EXPECT_FALSE(hasFailure(tally));
    // Fifteen failures and fourteen others make up all twenty-nine counters.
    EXPECT_EQ(testing::sumOfAllCounters(tally), 14ULL * 0xFFFFFFFFu);
}

TEST(LaunchRecordDefaults, AFreshRecordIsAPrefetchRecordWithNoPathAndNoFigures) {
    const LaunchRecord record;
    EXPECT_EQ(record.source, RecordSource::Prefetch);
    EXPECT_EQ(record.pathStatus, PathStatus::NoPathRecorded);
    EXPECT_FALSE(record.runCountKnown);
    EXPECT_FALSE(record.hasFocus);
    EXPECT_TRUE(record.runTimes.empty());
    EXPECT_EQ(static_cast<std::uint32_t>(PathStatus::SeveralPossiblePaths), 3u);
    EXPECT_EQ(static_cast<std::uint32_t>(RecordSource::UserAssist), 1u);
}

} // namespace
} // namespace tidewell
