#include "ui/detail_text.h"

#include "core/path_status_word.h"
#include "core/record_source.h"
#include "platform/decimal_text.h"

namespace tidewell {

namespace {

// A moment as the view shows it; in UTC it says so, since the same text
// would otherwise read as local time.
std::wstring momentText(FileTime value, TimeBasis times) {
    std::wstring text = formatTimestamp(value, times);
    if (times == TimeBasis::Utc && !text.empty()) {
        text += L" UTC";
    }
    return text;
}

// A state of the machine by its label, and for an older one when it was made.
std::wstring copyText(CopyIndex copy, const DetailContext& context) {
    if (context.copies == nullptr || copy >= context.copies->size()) {
        return copy == 0 ? std::wstring(L"current volume") : L"copy " + decimalText(copy);
    }
    const MachineCopy& known = (*context.copies)[copy];
    if (known.created == 0) {
        return known.label;
    }
    return known.label + L" (made " + momentText(known.created, context.times) + L")";
}

} // namespace

std::wstring buildDetailText(const LaunchRecord& record, const DetailContext& context) {
    const RecordSource& view = *record.source;
    SourceDetailParts parts;
    view.detailParts(record, context, parts);

    std::wstring text = record.name + L"\r\n\r\n";
    text += std::wstring(L"Source:            ") + view.described + detailLineEnd;
    text += L"Path:              " + (record.path.empty() ? L"(none recorded)" : record.path) +
            detailLineEnd;
    text += std::wstring(L"Path status:       ") + pathStatusWord(record.pathStatus) +
            parts.pathExplanation + detailLineEnd;
    text += parts.afterPath;
    if (view.countsRuns) {
        text += L"Times run:         ";
        text += record.runCountKnown != 0
                    ? decimalText(record.runCount)
                    : std::wstring(L"withheld \u2014 the stored value failed a consistency check "
                                   L"and is not shown rather than shown wrongly");
        text += detailLineEnd;
    }
    text += parts.afterRunCount;
    text += parts.fields;
    if (!record.copies.empty()) {
        text += L"Found in:          ";
        for (std::size_t i = 0; i < record.copies.size(); ++i) {
            text += (i == 0 ? L"" : L"; ") + copyText(record.copies[i], context);
        }
        text += detailLineEnd;
        if (record.copies.front() != 0) {
            text += L"\r\n    Only older copies of the volume hold this record: the current one\r\n"
                    L"    no longer does (evicted, deleted or rewritten since).\r\n";
        }
    }
    if (!view.timesAreRuns && record.runTimes.empty()) {
        // Its times are not runs; the source's own lines above name each.
        text += parts.afterRunTimes;
        return text;
    }
    // A source whose times are not runs, yet keeps them as a record's times
    // (gathered across copies as runs are), names them by their meaning.
    text += view.timesAreRuns
                ? L"\r\nRecorded run times" + parts.runTimesTitle + L":\r\n"
                : L"\r\nRecorded times (" + std::wstring(view.runTimeMeaning) + L"):\r\n";
    if (record.runTimes.empty()) {
        text += L"    none recorded \u2014 this is not the same as never having run\r\n";
    } else {
        const bool withCopies = record.runTimeCopies.size() == record.runTimes.size();
        for (std::size_t run = 0; run < record.runTimes.size(); ++run) {
            text += L"    " + momentText(record.runTimes[run], context.times);
            if (withCopies) {
                text += L"  \u2014 " + copyText(record.runTimeCopies[run], context);
            }
            text += detailLineEnd;
        }
    }
    text += parts.afterRunTimes;
    return text;
}

} // namespace tidewell
