#include "cli/report_command.h"

#include "core/scan_counters.h"
#include "platform/decimal_text.h"
#include "platform/system_info.h"
#include "report/csv_report.h"
#include "report/report_commit.h"

namespace tidewell {

namespace {

constexpr wchar_t usage[] =
    L"usage: tidewell-report FILE\r\n"
    L"Scans this machine's Prefetch files and UserAssist values and writes the CSV report to "
    L"FILE.\r\n"
    L"Exit status: 0 written and a complete picture; 3 written but not a complete picture; "
    L"1 not written; 2 usage error.\r\n";

bool isHelp(const std::wstring& argument) {
    return argument == L"--help" || argument == L"-h" || argument == L"/?";
}

} // namespace

std::wstring incompleteReasons(const ScanResults& results) {
    std::wstring reasons;
    auto add = [&reasons](const std::wstring& reason) {
        if (!reasons.empty()) {
            reasons += L"; ";
        }
        reasons += reason;
    };
    for (const ScanCounter& counter : scanCounters) {
        const std::uint32_t value = results.tally.*counter.member;
        if (counter.failure && value != 0) {
            add(std::wstring(counter.reportLabel) + L" " + decimalText(value));
        }
    }
    if (results.facts.profileCoverageKnown == 0) {
        add(L"UserAssist profile coverage could not be determined");
    } else if (results.facts.profilesNotExamined != 0) {
        add(L"UserAssist examined in " + decimalText(results.facts.profilesExamined) + L" of " +
            decimalText(results.facts.profilesOnMachine) + L" profiles");
    }
    return reasons;
}

std::wstring reportSummary(const ScanResults& results, const std::wstring& path) {
    std::wstring summary = L"tidewell-report: " + decimalText(results.records.size()) +
                           (results.records.size() == 1 ? L" record" : L" records") +
                           L" written to " + path + L"; complete picture: ";
    if (reportIsComplete(results.tally, results.facts)) {
        return summary + L"yes";
    }
    return summary + L"no (" + incompleteReasons(results) + L")";
}

int runReportCommand(const std::vector<std::wstring>& arguments, std::wstring& output,
                     std::wstring& errors) {
    if (arguments.size() == 1 && isHelp(arguments.front())) {
        output += usage;
        return reportComplete;
    }
    if (arguments.size() != 1 || arguments.front().empty() || arguments.front()[0] == L'-') {
        errors += usage;
        return reportUsageError;
    }
    if (!runsOnWindows()) {
        errors += L"tidewell-report: this is not a Windows machine, so there is no machine here "
                  L"to scan\r\n";
        return reportUsageError;
    }
    const std::wstring& path = arguments.front();
    ScanResults results;
    runScan(ScanTarget{}, results);
    if (!writeReport(path, results.records, results.tally, results.facts)) {
        errors += L"tidewell-report: the report could not be written to " + path +
                  L" and no partial file was left behind\r\n";
        return reportNotWritten;
    }
    output += reportSummary(results, path) + L"\r\n";
    return reportIsComplete(results.tally, results.facts) ? reportComplete : reportIncomplete;
}

} // namespace tidewell
