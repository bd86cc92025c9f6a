#include "ui/coverage_text.h"

#include <vector>

#include "core/record_views.h"
#include "core/scan_counters.h"
#include "platform/decimal_text.h"
#include "platform/timestamp_format.h"

namespace tidewell {

namespace {

constexpr std::size_t dateLength = 10;

// A failure's fragment of the status bar, its count put in for "%lu".
std::wstring statusFragment(const ScanCounter& counter, std::uint32_t value) {
    std::wstring fragment = counter.statusFragment;
    const std::size_t at = fragment.find(L"%lu");
    if (at != std::wstring::npos) {
        fragment.replace(at, 3, decimalText(value));
    }
    return fragment;
}

std::wstring unreadSentence(const ScanTally& tally, bool evidence) {
    const bool prefetchUnread = tally.prefetchDirUnreadable != 0;
    const bool userAssistUnread = tally.userAssistUnreadable != 0;
    if (prefetchUnread && userAssistUnread) {
        return evidence ? L"\u26A0  Neither record could be read from the evidence. Nothing below "
                          L"was examined."
                        : L"\u26A0  Neither record could be read. Nothing below was examined.";
    }
    if (prefetchUnread) {
        // Rights are no answer for a copy: a restart would not bring its folder.
        return evidence ? L"\u26A0  The evidence's Prefetch folder could not be read, so none of "
                          L"its records were examined. This list is not a full picture of what "
                          L"ran."
                        : L"\u26A0  Prefetch could not be read, so none of its records were "
                          L"examined. This list is not a full picture of what ran.  Use File > "
                          L"Restart as administrator.";
    }
    if (userAssistUnread) {
        return evidence ? L"\u26A0  No user's UserAssist could be read from the evidence, so no "
                          L"shell launch record was examined. Only what Windows started is listed "
                          L"below."
                        : L"\u26A0  UserAssist could not be read, so no shell launch record was "
                          L"examined. Only what Windows started is listed below.";
    }
    return {};
}

std::wstring firstSentence(const ScanTally& tally, const ScanFacts& facts, bool evidence,
                           TimeBasis times) {
    const std::wstring unread = unreadSentence(tally, evidence);
    if (!unread.empty()) {
        return unread;
    }
    if (facts.prefetchEnabled == 0 && facts.prefetchEnabledNotKnown == 0) {
        return evidence ? L"\u26A0  Prefetching was switched off on the examined machine, so "
                          L"Windows was not recording program starts. An absent entry means "
                          L"nothing here."
                        : L"\u26A0  Prefetching is switched off on this machine, so Windows is "
                          L"not recording program starts. An absent entry means nothing here.";
    }
    if (facts.spanKnown != 0) {
        const std::wstring retention =
            facts.retentionLimitNotKnown != 0
                ? std::wstring(L"; how many prefetch files the examined machine's Windows kept is "
                               L"not known.")
                : L"; Windows keeps at most " + decimalText(facts.prefetchRetentionLimit) +
                      L" prefetch files and discards the oldest.";
        return L"Both sources read.  Surviving records run from " +
               formatDate(facts.spanOldest, times) + L" to " + formatDate(facts.spanNewest, times) +
               (times == TimeBasis::Utc ? L" (UTC)" : L"") + retention;
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

// "A", "A and B", "A, B and C".
std::wstring listed(const std::vector<const wchar_t*>& names) {
    std::wstring text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += i == 0 ? L"" : i + 1 == names.size() ? L" and " : L", ";
        text += names[i];
    }
    return text;
}

// What became of the sources not every Windows keeps: which were read, which
// the machine does not have, which could not be read.
std::wstring otherSourcesSentence(const ScanOrigin& origin) {
    std::vector<const wchar_t*> read;
    std::vector<const wchar_t*> absent;
    std::vector<const wchar_t*> unreadable;
    std::vector<const wchar_t*> heldOpen;
    std::wstring liveNotes;
    for (std::size_t index = 0; index < recordSourceCount; ++index) {
        const SourceCoverage* coverage = recordView(static_cast<RecordSource>(index)).coverage;
        if (coverage == nullptr) {
            continue;
        }
        switch (origin.sources[index].presence) {
        case SourcePresence::NotLooked:
            break;
        case SourcePresence::Read:
            read.push_back(coverage->bannerName);
            if (!origin.evidence && coverage->liveNote != nullptr) {
                liveNotes += std::wstring(L"  ") + coverage->liveNote;
            }
            break;
        case SourcePresence::NotPresent:
            absent.push_back(coverage->bannerName);
            break;
        case SourcePresence::Unreadable:
            unreadable.push_back(coverage->bannerName);
            break;
        case SourcePresence::HeldOpen:
            heldOpen.push_back(coverage->bannerName);
            break;
        }
    }
    std::wstring text;
    if (!read.empty()) {
        text += L"  Also read: " + listed(read) + L".";
    }
    if (!absent.empty()) {
        text += L"  Not present on " +
                std::wstring(origin.evidence ? L"the examined machine: " : L"this machine: ") +
                listed(absent) + L".";
    }
    if (!unreadable.empty()) {
        text += L"  \u26A0 Could not be read: " + listed(unreadable) + L".";
    }
    if (!heldOpen.empty()) {
        text += L"  Held open by the running Windows, and so not read: " + listed(heldOpen) + L".";
    }
    return text + liveNotes;
}

// What each source read beside Prefetch and UserAssist can and cannot show.
std::wstring otherSourcesCaution(const ScanOrigin& origin) {
    std::wstring text;
    for (std::size_t index = 0; index < recordSourceCount; ++index) {
        const SourceCoverage* coverage = recordView(static_cast<RecordSource>(index)).coverage;
        if (coverage != nullptr && origin.sources[index].presence == SourcePresence::Read) {
            text += std::wstring(L" ") + coverage->bannerCaution;
        }
    }
    return text;
}

} // namespace

std::wstring formatDate(FileTime value, TimeBasis times) {
    std::wstring text = formatTimestamp(value, times);
    if (text.size() > dateLength) {
        text.resize(dateLength);
    }
    return text;
}

std::wstring bannerText(const ScanTally& tally, const ScanFacts& facts, const ScanOrigin& origin,
                        TimeBasis times) {
    std::wstring text;
    if (origin.evidence) {
        text = L"Evidence folder " + origin.evidenceFolder +
               L", a copy of another machine's system drive.  ";
    }
    text += firstSentence(tally, facts, origin.evidence, times);
    const bool bothRead = tally.prefetchDirUnreadable == 0 && tally.userAssistUnreadable == 0;
    const bool switchedOff = facts.prefetchEnabled == 0 && facts.prefetchEnabledNotKnown == 0;
    if (bothRead && !switchedOff) {
        text += coverageSentence(facts);
    }
    text += otherSourcesSentence(origin);
    text += L"\r\nUserAssist records only shell launches \u2014 a command line, script, service or "
            L"scheduled task never appears in it. Prefetch records whatever Windows started, "
            L"including things nobody clicked.";
    text += otherSourcesCaution(origin);
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
        // The bar names the failures in an order of its own.
        for (std::uint8_t position = 1; position <= scanCounterCount; ++position) {
            for (const ScanCounter& counter : scanCounters) {
                const std::uint32_t value = tally.*counter.member;
                if (counter.statusPosition == position && value != 0) {
                    parts[1] += statusFragment(counter, value);
                }
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
        parts[3] = facts.elevationNotApplicable != 0 ? L" collected evidence "
                   : facts.elevated != 0             ? L" administrator "
                                                     : L" standard user ";
    }
    return parts;
}

} // namespace tidewell
