#include "ui/coverage_text.h"

#include <algorithm>
#include <vector>

#include "core/record_source.h"
#include "platform/decimal_text.h"
#include "platform/filetime.h"
#include "platform/timestamp_format.h"

namespace tidewell {

namespace {

constexpr std::size_t dateLength = 10;

// A counter's words in the status bar, its count put in for "%lu".
std::wstring counterText(const wchar_t* words, std::uint32_t value) {
    std::wstring text = words;
    const std::size_t at = text.find(L"%lu");
    if (at != std::wstring::npos) {
        text.replace(at, 3, decimalText(value));
    }
    return text;
}

std::wstring statusFragment(const ScanCounter& counter, std::uint32_t value) {
    return counterText(counter.statusFragment, value);
}

// How many of the machine's profiles were examined, where not all of them.
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

// The sources as the scan found them, for the banner's sentences.
struct SourcesFound {
    std::vector<const SourceReading*> read;
    std::vector<const SourceReading*> unreadable;
    std::vector<const wchar_t*> absent;
    std::vector<const wchar_t*> heldOpen;
};

SourcesFound sourcesFound(const ScanOrigin& origin) {
    SourcesFound found;
    for (const SourceReading& reading : origin.sources) {
        switch (reading.presence) {
        case SourcePresence::NotLooked:
            break;
        case SourcePresence::Read:
            found.read.push_back(&reading);
            break;
        case SourcePresence::NotPresent:
            found.absent.push_back(reading.source->coverage.bannerName);
            break;
        case SourcePresence::Unreadable:
            found.unreadable.push_back(&reading);
            break;
        case SourcePresence::HeldOpen:
            found.heldOpen.push_back(reading.source->coverage.bannerName);
            break;
        }
    }
    return found;
}

std::vector<const wchar_t*> bannerNames(const std::vector<const SourceReading*>& readings,
                                        const SourceReading* leaveOut = nullptr) {
    std::vector<const wchar_t*> names;
    for (const SourceReading* reading : readings) {
        if (reading != leaveOut) {
            names.push_back(reading->source->coverage.bannerName);
        }
    }
    return names;
}

// The first unreadable source that has a sentence of its own for it.
const SourceReading* unreadWithSentence(const SourcesFound& found) {
    for (const SourceReading* reading : found.unreadable) {
        if (reading->source->coverage.unreadSentence != nullptr) {
            return reading;
        }
    }
    return nullptr;
}

// What was read, and the span of the run times it holds.
std::wstring readSentence(const SourcesFound& found, const ScanFacts& facts, TimeBasis times) {
    std::wstring text = listed(bannerNames(found.read)) + L" read.  ";
    if (facts.spanKnown == 0) {
        return text + L"No timestamps were found in them.";
    }
    text += L"Surviving records run from " + formatDate(facts.spanOldest, times) + L" to " +
            formatDate(facts.spanNewest, times) + (times == TimeBasis::Utc ? L" (UTC)" : L"");
    std::wstring notes;
    for (const SourceReading* reading : found.read) {
        if (reading->source->coverage.spanNote != nullptr) {
            notes += reading->source->coverage.spanNote(facts);
        }
    }
    return text + (notes.empty() ? std::wstring(L".") : notes);
}

// What each source can and cannot show: every source every Windows keeps,
// and each other one that was read, in the order their cautions take.
std::wstring cautions(const ScanOrigin& origin) {
    std::vector<const SourceReading*> readings;
    for (const SourceReading& reading : origin.sources) {
        const SourceCoverage& coverage = reading.source->coverage;
        if (coverage.bannerCaution != nullptr &&
            (!coverage.mayBeAbsent || reading.presence == SourcePresence::Read)) {
            readings.push_back(&reading);
        }
    }
    std::stable_sort(readings.begin(), readings.end(),
                     [](const SourceReading* a, const SourceReading* b) {
                         return a->source->coverage.cautionPlace < b->source->coverage.cautionPlace;
                     });
    std::wstring text;
    for (const SourceReading* reading : readings) {
        text += (text.empty() ? L"" : L" ") + std::wstring(reading->source->coverage.bannerCaution);
    }
    return text;
}

// A kept span is far shorter than the history the other records give when
// it reaches back less than half as far from their newest run time, and at
// least a week less: then what it lacks is said, not left to be inferred.
constexpr std::uint64_t shortSpanMargin = 7 * fileTimeTicksPerDay;

std::wstring shortSpanSentences(const SourcesFound& found, const ScanFacts& facts,
                                TimeBasis times) {
    if (facts.spanKnown == 0 || facts.spanNewest <= facts.spanOldest) {
        return {};
    }
    const std::uint64_t history = facts.spanNewest - facts.spanOldest;
    std::wstring text;
    for (const SourceReading* reading : found.read) {
        for (const KeptSpan& span : reading->spans) {
            const std::uint64_t reach =
                span.oldest < facts.spanNewest ? facts.spanNewest - span.oldest : 0;
            if (span.oldest >= facts.spanOldest + shortSpanMargin && reach < history / 2) {
                text += L"  \u26A0 The " + span.name + L" reaches back only to " +
                        formatDate(span.oldest, times) + L", the other records to " +
                        formatDate(facts.spanOldest, times) +
                        L": what it would record from before then is not known.";
            }
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

std::wstring bannerText(const ScanTally& /*tally*/, const ScanFacts& facts,
                        const ScanOrigin& origin, TimeBasis times) {
    std::wstring text;
    if (origin.evidence) {
        text = L"Evidence folder " + origin.evidenceFolder +
               L", a copy of another machine's system drive.  ";
    }
    const SourcesFound found = sourcesFound(origin);
    const SourceReading* saidFirst = unreadWithSentence(found);
    std::wstring warning;
    for (const SourceReading* reading : found.read) {
        const SourceCoverage& coverage = reading->source->coverage;
        if (warning.empty() && coverage.warning != nullptr) {
            warning = coverage.warning(facts, origin.evidence);
        }
    }
    bool readNamed = false;
    if (found.read.empty() && !found.unreadable.empty()) {
        text += origin.evidence ? L"\u26A0  No record could be read from the evidence. Nothing "
                                  L"below was examined."
                                : L"\u26A0  No record could be read. Nothing below was examined.";
        saidFirst = nullptr;
    } else if (saidFirst != nullptr) {
        const SourceCoverage& coverage = saidFirst->source->coverage;
        text += origin.evidence && coverage.unreadSentenceEvidence != nullptr
                    ? coverage.unreadSentenceEvidence
                    : coverage.unreadSentence;
    } else if (!warning.empty()) {
        text += warning;
    } else {
        text += readSentence(found, facts, times);
        text += coverageSentence(facts);
        readNamed = true;
    }
    if (!readNamed && !found.read.empty()) {
        text += L"  Read: " + listed(bannerNames(found.read)) + L".";
    }
    if (!found.absent.empty()) {
        text += L"  Not present on " +
                std::wstring(origin.evidence ? L"the examined machine: " : L"this machine: ") +
                listed(found.absent) + L".";
    }
    const std::vector<const wchar_t*> unreadable = bannerNames(found.unreadable, saidFirst);
    if (!unreadable.empty()) {
        text += L"  \u26A0 Could not be read: " + listed(unreadable) + L".";
    }
    if (!found.heldOpen.empty()) {
        text += L"  Held open by the running Windows, and so not read: " + listed(found.heldOpen) +
                L".";
    }
    text += shortSpanSentences(found, facts, times);
    for (const SourceReading* reading : found.read) {
        if (!origin.evidence && reading->source->coverage.liveNote != nullptr) {
            text += std::wstring(L"  ") + reading->source->coverage.liveNote;
        }
    }
    return text + L"\r\n" + cautions(origin);
}

std::wstring programsShownText(std::size_t shown, const ProgramList& programs) {
    const ProgramCounts& counts = programs.counts;
    std::uint64_t notJoined = 0;
    for (std::uint64_t count : counts.notJoined) {
        notJoined += count;
    }
    return L" " + decimalText(shown) + L" of " + decimalText(counts.programs) +
           L" programs shown; " + decimalText(counts.recordsJoined) + L" records joined, " +
           decimalText(notJoined) + L" not joined";
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
        std::vector<const ScanTally::Count*> failed;
        for (const ScanTally::Count& held : tally.counts) {
            if (held.counter->failure && held.count != 0) {
                failed.push_back(&held);
            }
        }
        std::stable_sort(failed.begin(), failed.end(),
                         [](const ScanTally::Count* a, const ScanTally::Count* b) {
                             return a->counter->statusPosition < b->counter->statusPosition;
                         });
        for (const ScanTally::Count* held : failed) {
            parts[1] += statusFragment(*held->counter, held->count);
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

    parts[3] = facts.elevationNotApplicable != 0 ? L" collected evidence "
               : facts.elevated != 0             ? L" administrator "
                                                 : L" standard user ";
    // A count that stands in for the elevation while it is not zero.
    for (const ScanTally::Count& held : tally.counts) {
        if (held.counter->statusNote != nullptr && held.count != 0) {
            parts[3] = counterText(held.counter->statusNote, held.count);
            break;
        }
    }
    return parts;
}

} // namespace tidewell
