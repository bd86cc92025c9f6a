#include "cli/report_command.h"

#include "core/scan_counters.h"
#include "evidence/evidence_drive.h"
#include "platform/decimal_text.h"
#include "platform/system_info.h"
#include "report/csv_report.h"
#include "report/report_commit.h"

namespace tidewell {

namespace {

constexpr wchar_t usage[] =
    L"usage: tidewell-report [--evidence ROOT] FILE\r\n"
    L"Scans this machine's Prefetch files and UserAssist values, or with --evidence those of "
    L"the copy of a Windows system drive in ROOT (or one folder below it), and writes the CSV "
    L"report to FILE.\r\n"
    L"Exit status: 0 written and a complete picture; 3 written but not a complete picture; "
    L"1 not written; 2 usage error.\r\n";

bool isHelp(const std::wstring& argument) {
    return argument == L"--help" || argument == L"-h" || argument == L"/?";
}

bool isValue(const std::wstring& argument) {
    return !argument.empty() && argument[0] != L'-';
}

struct Arguments {
    ScanTarget target;
    std::wstring destination;
};

// FILE, or --evidence ROOT FILE (the option first).
bool parseArguments(const std::vector<std::wstring>& arguments, Arguments& parsed) {
    if (arguments.size() == 1 && isValue(arguments[0])) {
        parsed.destination = arguments[0];
        return true;
    }
    if (arguments.size() == 3 && arguments[0] == L"--evidence" && isValue(arguments[1]) &&
        isValue(arguments[2])) {
        parsed.target = ScanTarget{ScanSubject::EvidenceRoot, arguments[1]};
        parsed.destination = arguments[2];
        return true;
    }
    return false;
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
                           (results.records.size() == 1 ? L" record" : L" records");
    if (results.origin.evidence) {
        summary += L" from the evidence folder " + results.origin.evidenceFolder;
    }
    summary += L" written to " + path + L"; complete picture: ";
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
    Arguments parsed;
    if (!parseArguments(arguments, parsed)) {
        errors += usage;
        return reportUsageError;
    }
    if (parsed.target.subject == ScanSubject::ThisMachine && !runsOnWindows()) {
        errors += L"tidewell-report: this is not a Windows machine, so there is no machine here "
                  L"to scan; name a copy of a Windows drive with --evidence ROOT\r\n";
        return reportUsageError;
    }
    if (parsed.target.subject == ScanSubject::EvidenceRoot) {
        const EvidenceDrive drive = locateEvidenceDrive(parsed.target.evidenceRoot);
        if (!drive.found) {
            errors += L"tidewell-report: " + parsed.target.evidenceRoot +
                      L" is not a copy of a Windows system drive: " + drive.problem + L"\r\n";
            return reportUsageError;
        }
    }
    const std::wstring& path = parsed.destination;
    ScanResults results;
    runScan(parsed.target, results);
    if (!writeReport(path, results.records, results.tally, results.facts, results.origin)) {
        errors += L"tidewell-report: the report could not be written to " + path +
                  L" and no partial file was left behind\r\n";
        return reportNotWritten;
    }
    output += reportSummary(results, path) + L"\r\n";
    return reportIsComplete(results.tally, results.facts) ? reportComplete : reportIncomplete;
}

} // namespace tidewell
