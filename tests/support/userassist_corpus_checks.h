// The check both corpus UserAssist tests make: every value the export holds
// was seen, and ended in exactly one outcome, the ones the export predicts.
#pragma once

#include <gtest/gtest.h>

#include "core/scan_tally.h"
#include "support/userassist_corpus_facts.h"
#include "userassist/userassist_counters.h"

namespace tidewell::testing {

inline void expectEveryValueCountedOnce(const ScanTally& tally,
                                        const UserAssistExportFacts& facts) {
    EXPECT_EQ(tally[userAssistSeen], facts.valuesSeen);
    EXPECT_EQ(tally[userAssistSeen], tally[userAssistBookkeepingSkipped] +
                                         tally[userAssistWrongType] + tally[userAssistTooLarge] +
                                         tally[userAssistKeysUnreadable] +
                                         tally[userAssistWrongSize] + tally[userAssistParsed]);
    EXPECT_EQ(tally[userAssistBookkeepingSkipped], facts.bookkeeping);
    EXPECT_EQ(tally[userAssistParsed], facts.parsed);
    EXPECT_EQ(tally[userAssistNoTimestamp], facts.withoutTimestamp);
}

} // namespace tidewell::testing
