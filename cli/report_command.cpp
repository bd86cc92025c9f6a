#include "cli/report_command.h"

#include <stdexcept>
#include <string>

#include "platform/decimal_text.h"
#include "platform/inert_text.h"
#include "platform/system_info.h"
#include "report/csv_report.h"
#include "report/report_commit.h"
#include "report/report_format.h"
#include "tidewell_commit.h" // TIDEWELL_COMMIT_TEXT, made by the build

namespace tidewell {

namespace {

constexpr wchar_t usage[] =
    L"usage: tidewell-report [--evidence ROOT|IMAGE|COLLECTION [--partition N] [--drive D:] "
    L"[--no-shadow-copies]] [--recover-deleted-events] [--format csv|json|timeline|programs] "
    L"[--utc] FILE|-\r\n"
    L"       tidewell-report --version\r\n"
    L"Scans this machine's Prefetch files and UserAssist values, or with --evidence those of "
    L"the copy of a Windows system drive in ROOT (or one folder below it), or of the Windows "
    L"volume of a disk image (raw, E01, VHD, VHDX, VMDK, QCOW2; Linux only) with every shadow "
    L"copy of it, or of a Velociraptor collection (its zip or the folder it was extracted to; "
    L"Linux only) with every shadow copy collected, and writes the report to FILE, or with - "
    L"to standard output (the summary line then goes to standard error). --partition chooses "
    L"the image's volume, --drive the collection's drive, where several hold Windows. "
    L"--recover-deleted-events also reads the event logs' records left in their free space "
    L"(marked as recovered).\r\n"
    L"Formats: csv (the default) is the report with its header block, in local time or with "
    L"--utc in UTC; json is one JSON document with the coverage, every record and every "
    L"program; timeline is JSON Lines with one event per recorded run time; programs is a CSV "
    L"with the same header block and one line per program (its records brought together). The "
    L"JSON forms give times in UTC.\r\n"
    L"Exit status: 0 written and a complete picture; 3 written but not a complete picture; "
    L"1 not written; 2 usage error.\r\n";

bool isHelp(const std::wstring& argument) {
    return argument == L"--help" || argument == L"-h" || argument == L"/?";
}

// "-" names standard output, the one value that begins with a dash.
constexpr wchar_t standardOutputName[] = L"-";

bool isValue(const std::wstring& argument) {
    return !argument.empty() && argument[0] != L'-';
}

bool isDestination(const std::wstring& argument) {
    return isValue(argument) || argument == standardOutputName;
}

struct Arguments {
    ScanTarget target;
    ReportOptions options;
    std::wstring destination;
    std::wstring problem; // why the arguments were refused, where a line can say it
};

// The options in any order, then FILE. False when the arguments are not of
// that form; problem then says why, where there is more to say than the usage.
bool parseArguments(const std::vector<std::wstring>& arguments, Arguments& parsed) {
    bool formatGiven = false;
    bool utc = false;
    bool evidenceGiven = false;
    bool partitionGiven = false;
    bool driveGiven = false;
    bool copiesSkipped = false;
    bool recoverGiven = false;
    std::size_t i = 0;
    for (; i + 1 < arguments.size(); ++i) {
        const std::wstring& option = arguments[i];
        if (option == L"--utc" && !utc) {
            utc = true;
        } else if (option == L"--evidence" && !evidenceGiven && i + 2 < arguments.size() &&
                   isValue(arguments[i + 1])) {
            evidenceGiven = true;
            parsed.target.subject = ScanSubject::EvidenceRoot;
            parsed.target.evidenceRoot = arguments[++i];
        } else if (option == L"--partition" && !partitionGiven && i + 2 < arguments.size()) {
            partitionGiven = true;
            const std::wstring& number = arguments[++i];
            unsigned long value = 0;
            std::size_t used = 0;
            try {
                value = std::stoul(number, &used, 10);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used != number.size() || number.empty() || value == 0 || value > 0xFFFF) {
                parsed.problem = L"tidewell-report: --partition takes a partition's number, from 1";
                return false;
            }
            parsed.target.partition = static_cast<std::uint32_t>(value);
        } else if (option == L"--drive" && !driveGiven && i + 2 < arguments.size() &&
                   isValue(arguments[i + 1])) {
            driveGiven = true;
            parsed.target.drive = arguments[++i];
        } else if (option == L"--no-shadow-copies" && !copiesSkipped) {
            copiesSkipped = true;
            parsed.target.shadowCopies = false;
        } else if (option == L"--recover-deleted-events" && !recoverGiven) {
            recoverGiven = true;
            parsed.target.recoverDeletedEvents = true;
        } else if (option == L"--format" && !formatGiven && i + 2 < arguments.size()) {
            formatGiven = true;
            const std::wstring& name = arguments[++i];
            const std::optional<ReportFormat> format = reportFormatNamed(name);
            if (!format) {
                parsed.problem = L"tidewell-report: there is no format \"" + name +
                                 L"\"; the formats are csv, json, timeline and programs";
                return false;
            }
            parsed.options.format = *format;
        } else {
            return false;
        }
    }
    if (i + 1 != arguments.size() || !isDestination(arguments[i])) {
        return false;
    }
    parsed.destination = arguments[i];
    if ((partitionGiven || driveGiven || copiesSkipped) && !evidenceGiven) {
        parsed.problem =
            L"tidewell-report: --partition, --drive and --no-shadow-copies apply to --evidence";
        return false;
    }
    if (utc && parsed.options.format != ReportFormat::Csv &&
        parsed.options.format != ReportFormat::Programs) {
        parsed.problem =
            L"tidewell-report: --utc applies to the csv and programs formats only; the json and "
            L"timeline formats always give their times in UTC";
        return false;
    }
    parsed.options.times = utc ? TimeBasis::Utc : TimeBasis::Local;
    return true;
}

} // namespace

std::wstring incompleteReasons(const ScanResults& results) {
    std::wstring joined;
    for (const std::wstring& reason : incompletenessReasons(results.tally, results.facts)) {
        joined += (joined.empty() ? L"" : L"; ") + reason;
    }
    return joined;
}

std::wstring reportSummary(const ScanResults& results, const std::wstring& path) {
    std::wstring summary = L"tidewell-report: " + decimalText(results.records.size()) +
                           (results.records.size() == 1 ? L" record" : L" records");
    if (results.origin.collection) {
        summary += L" from the Velociraptor collection " + results.origin.evidenceFolder;
    } else if (results.origin.image) {
        summary += L" from the disk image " + results.origin.evidenceFolder;
    } else if (results.origin.evidence) {
        summary += L" from the evidence folder " + results.origin.evidenceFolder;
    }
    summary += L" written to " + path + L"; complete picture: ";
    if (reportIsComplete(results.tally, results.facts)) {
        return summary + L"yes";
    }
    return summary + L"no (" + incompleteReasons(results) + L")";
}

std::wstring versionText() {
    std::wstring text = std::wstring(L"tidewell-report ") + TIDEWELL_VERSION_TEXT;
    const std::wstring commit = TIDEWELL_COMMIT_TEXT;
    if (!commit.empty()) {
        text += L" (commit " + commit + L")";
    }
    return text;
}

int runReportCommand(const std::vector<std::wstring>& arguments, std::wstring& output,
                     std::wstring& errors) {
    if (arguments.size() == 1 && isHelp(arguments.front())) {
        output += usage;
        return reportComplete;
    }
    if (arguments.size() == 1 && arguments.front() == L"--version") {
        output += versionText() + L"\r\n";
        return reportComplete;
    }
    Arguments parsed;
    if (!parseArguments(arguments, parsed)) {
        if (!parsed.problem.empty()) {
            errors += visibleText(parsed.problem) + L"\r\n";
        }
        errors += usage;
        return reportUsageError;
    }
    if (parsed.target.subject == ScanSubject::ThisMachine && !runsOnWindows()) {
        errors += L"tidewell-report: this is not a Windows machine, so there is no machine here "
                  L"to scan; name a copy of a Windows drive with --evidence ROOT\r\n";
        return reportUsageError;
    }
    // The target is opened once: the check that may refuse it is the scan's own.
    ScanResults results;
    ExaminedMachine machine;
    const EvidenceCheck check = openScan(parsed.target, machine, results);
    if (!check.readable) {
        // The problem names what the evidence names: shown, never obeyed.
        errors += visibleText(L"tidewell-report: " + parsed.target.evidenceRoot +
                              (check.collection ? L" cannot be read as a Velociraptor collection: "
                               : check.image    ? L" cannot be read as a disk image of Windows: "
                                                : L" is not a copy of a Windows system drive: ") +
                              check.problem) +
                  L"\r\n";
        return reportUsageError;
    }
    const std::wstring& path = parsed.destination;
    readScan(machine, results);
    const int status =
        reportIsComplete(results.tally, results.facts) ? reportComplete : reportIncomplete;
    if (path == standardOutputName) {
        // The report is the standard output: every word of the tool's own
        // goes to standard error.
        if (!writeReportToStandardOutput(results, parsed.options)) {
            errors += L"tidewell-report: the report could not be written whole to standard "
                      L"output\r\n";
            return reportNotWritten;
        }
        errors += visibleText(reportSummary(results, L"standard output")) + L"\r\n";
        return status;
    }
    if (!writeReport(path, results, parsed.options)) {
        errors += visibleText(L"tidewell-report: the report could not be written to " + path +
                              L" and no partial file was left behind") +
                  L"\r\n";
        return reportNotWritten;
    }
    output += visibleText(reportSummary(results, path)) + L"\r\n";
    return status;
}

} // namespace tidewell
