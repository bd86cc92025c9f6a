// tidewell-report FILE: scans this machine like the window does and writes
// the same CSV report to FILE, for collection scripts. See report_command.h
// for what it prints and the exit statuses.
#include <string>
#include <vector>

#include "platform/console.h"
#include "report/report_command.h"

#if defined(_WIN32)
int wmain(int argc, wchar_t* argv[]) {
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
#else
int main(int argc, char* argv[]) {
    // Outside Windows, arguments are taken as UTF-8 bytes of ASCII paths.
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string argument(argv[i]);
        arguments.emplace_back(argument.begin(), argument.end());
    }
#endif
    std::wstring output;
    std::wstring errors;
    const int status = tidewell::runReportCommand(arguments, output, errors);
    if (!output.empty()) {
        tidewell::writeStandardOutput(output);
    }
    if (!errors.empty()) {
        tidewell::writeStandardError(errors);
    }
    return status;
}
