#include "ui/coverage_text.h"

#include "platform/decimal_text.h"
#include "platform/timestamp_format.h"

namespace tidewell {

namespace {

constexpr std::size_t dateLength = 10;

// The status bar's words for each failure counter, in the bar's order.
struct FailureFragment {
    std::uint32_t ScanTally::*counter;
    const wchar_t* before; // the text before the count, or the whole fragment
    const wchar_t* after;  // null: a fixed fragment without a count
};

const FailureFragment failureFragments[] = {
    {&ScanTally::prefetchDirUnreadable, L" prefetch directory unreadable;", nullptr},
    {&ScanTally::userAssistUnreadable, L" userassist unreadable;", nullptr},
    {&ScanTally::prefetchUnreadable, L" ", L" file(s) unreadable;"},
    {&ScanTally::prefetchDecompressFailed, L" ", L" could not be decompressed;"},
    {&ScanTally::prefetchMalformed, L" ", L" malformed;"},
    {&ScanTally::prefetchUnknownVersion, L" ", L" unknown format version;"},
    {&ScanTally::prefetchNotPrefetch, L" ", L" not prefetch files;"},
    {&ScanTally::userAssistWrongSize, L" ", L" registry entries in an unknown shape;"},
    {&ScanTally::prefetchListOutside, L" ", L" with a file list outside the file;"},
    {&ScanTally::userAssistWrongType, L" ", L" of the wrong registry type;"},
    {&ScanTally::userAssistTooLarge, L" ", L" too large to be an entry;"},
    {&ScanTally::userAssistImpossibleDate, L" ", L" with an impossible timestamp;"},
    {&ScanTally::userAssistKeysUnreadable, L" ", L" registry keys unreadable;"},
    {&ScanTally::prefetchListingStopped, L" the directory listing stopped early;", nullptr},
    {&ScanTally::profileListUnreadable, L" the user profile list could not be read;", nullptr},
};

std::wstring firstSentence(const ScanTally& tally, const ScanFacts& facts) {
    const bool prefetchUnread = tally.prefetchDirUnreadable != 0;
    const bool userAssistUnread = tally.userAssistUnreadable != 0;
    if (prefetchUnread && userAssistUnread) {
        return L"\u26A0  Neither record could be read. Nothing below was examined.";
    }
    if (prefetchUnread) {
        return L"\u26A0  Prefetch could not be read, so none of its records were examined. This "
               L"list is not a full picture of what ran.  Use File > Restart as administrator.";
    }
    if (userAssistUnread) {
        return L"\u26A0  UserAssist could not be read, so no shell launch record was examined. "
               L"Only what Windows started is listed below.";
    }
    if (facts.prefetchEnabled == 0) {
        return L"\u26A0  Prefetching is switched off on this machine, so Windows is not recording "
               L"program starts. An absent entry means nothing here.";
    }
    if (facts.spanKnown != 0) {
        return L"Both sources read.  Surviving records run from " + formatDate(facts.spanOldest) +
               L" to " + formatDate(facts.spanNewest) + L"; Windows keeps at most " +
               decimalText(facts.prefetchRetentionLimit) +
               L" prefetch files and discards the oldest.";
    }
    return L"Both sources read.  No timestamps were found in them.";
}

std::wstring coverageSentence(const ScanFacts& facts) {
    if (facts.profileCoverageKnown == 0) {
        return L"  UserAssist profile coverage could not be determined: the machine's profile "
               L"list could not be read in full.";
    }
    if (facts.profilesNotExamined != 0) {
        return L"  Coverage limited: UserAssist examined in " +
               decimalText(facts.profilesExamined) + L" of " +
               decimalText(facts.profilesOnMachine) + L" profiles. Registry hives for the other " +
               decimalText(facts.profilesNotExamined) + L" were not available to this scan.";
    }
    return {};
}

} // namespace

std::wstring formatDate(FileTime value) {
    std::wstring text = formatTimestamp(value);
    if (text.size() > dateLength) {
        text.resize(dateLength);
    }
    return text;
}

std::wstring bannerText(const ScanTally& tally, const ScanFacts& facts) {
    std::wstring text = firstSentence(tally, facts);
    const bool bothRead = tally.prefetchDirUnreadable == 0 && tally.userAssistUnreadable == 0;
    if (bothRead && facts.prefetchEnabled != 0) {
        text += coverageSentence(facts);
    }
    text += L"\r\nUserAssist records only shell launches \u2014 a command line, script, service or "
            L"scheduled task never appears in it. Prefetch records whatever Windows started, "
            L"including things nobody clicked.";
    return text;
}

std::array<std::wstring, 4> statusBarTexts(std::size_t shown, std::size_t total,
                                           const ScanTally& tally, const ScanFacts& facts) {
    std::array<std::wstring, 4> parts;
    parts[0] = L" " + decimalText(shown) + L" of " + decimalText(total) + L" records shown";

    if (!hasFailure(tally)) {
        parts[1] = L" No read or parse failures";
    } else {
        parts[1] = L" \u26A0 Read or parse failures:";
        for (const FailureFragment& fragment : failureFragments) {
            const std::uint32_t value = tally.*fragment.counter;
            if (value == 0) {
                continue;
            }
            parts[1] += fragment.before;
            if (fragment.after != nullptr) {
                parts[1] += decimalText(value) + fragment.after;
            }
        }
        if (!parts[1].empty() && parts[1].back() == L';') {
            parts[1].pop_back();
        }
    }

    if (facts.profileCoverageKnown == 0) {
        parts[2] = L" Coverage: not determined ";
    } else if (facts.profilesNotExamined != 0) {
        parts[2] = L" \u26A0 Coverage limited: UserAssist in " +
                   decimalText(facts.profilesExamined) + L" of " +
                   decimalText(facts.profilesOnMachine) + L" profiles ";
    } else {
        parts[2] = L" Coverage: all " + decimalText(facts.profilesOnMachine) + L" profiles ";
    }

    if (tally.prefetchRunCountUnverified != 0) {
        parts[3] =
            L" " + decimalText(tally.prefetchRunCountUnverified) + L" run count(s) withheld ";
    } else {
        parts[3] = facts.elevated != 0 ? L" administrator " : L" standard user ";
    }
    return parts;
}

} // namespace tidewell
