// tidewell-report FILE: scans like the window does and writes the same CSV
// report to FILE, for collection scripts. See report_command.h for what it
// prints and the exit statuses.
#include <string>
#include <vector>

#include "cli/report_command.h"
#include "platform/console.h"
#include "platform/utf8_codec.h"

namespace {

int run(const std::vector<std::wstring>& arguments) {
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

} // namespace

#if defined(_WIN32)
int wmain(int argc, wchar_t* argv[]) {
    return run(std::vector<std::wstring>(argv + 1, argv + argc));
}
#else
int main(int argc, char* argv[]) {
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(tidewell::fromUtf8(argv[i]));
    }
    return run(arguments);
}
#endif
