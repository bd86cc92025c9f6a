#include "ui/detail_text.h"

#include "core/path_status_word.h"
#include "core/record_views.h"
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

} // namespace

std::wstring buildDetailText(const LaunchRecord& record, const DetailContext& context) {
    const RecordView& view = recordView(record.source);
    SourceDetailParts parts;
    view.detailParts(record, context, parts);

    std::wstring text = record.name + L"\r\n\r\n";
    text += std::wstring(L"Source:            ") + view.described + detailLineEnd;
    text += L"Path:              " + (record.path.empty() ? L"(none recorded)" : record.path) +
            detailLineEnd;
    text += std::wstring(L"Path status:       ") + pathStatusWord(record.pathStatus) +
            parts.pathExplanation + detailLineEnd;
    text += parts.afterPath;
    text += L"Times run:         ";
    text +=
        record.runCountKnown != 0
            ? decimalText(record.runCount)
            : std::wstring(L"withheld \u2014 the stored value failed a consistency check and is "
                           L"not shown rather than shown wrongly");
    text += detailLineEnd;
    text += parts.afterRunCount;
    text += parts.fields;
    text += L"\r\nRecorded run times" + parts.runTimesTitle + L":\r\n";
    if (record.runTimes.empty()) {
        text += L"    none recorded \u2014 this is not the same as never having run\r\n";
    } else {
        for (FileTime run : record.runTimes) {
            text += L"    " + momentText(run, context.times) + detailLineEnd;
        }
    }
    text += parts.afterRunTimes;
    return text;
}

} // namespace tidewell
