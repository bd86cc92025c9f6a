#include "report/report_format.h"

#include "platform/text_fold.h"

namespace tidewell {

std::optional<ReportFormat> reportFormatNamed(std::wstring_view name) {
    if (name == L"csv") {
        return ReportFormat::Csv;
    }
    if (name == L"json") {
        return ReportFormat::Json;
    }
    if (name == L"timeline") {
        return ReportFormat::Timeline;
    }
    if (name == L"programs") {
        return ReportFormat::Programs;
    }
    return std::nullopt;
}

ReportFormat reportFormatForFileName(std::wstring_view fileName, ReportFormat chosen) {
    if (endsWithFolded(fileName, L".csv")) {
        // Both CSV forms end so; the programs are written only when asked.
        return chosen == ReportFormat::Programs ? ReportFormat::Programs : ReportFormat::Csv;
    }
    if (endsWithFolded(fileName, L".json")) {
        return ReportFormat::Json;
    }
    if (endsWithFolded(fileName, L".jsonl")) {
        return ReportFormat::Timeline;
    }
    return chosen;
}

} // namespace tidewell
