// counter-table: every counter of a scan of the table of sources, in the
// order the outputs list them, one a line: its key, whether it is a failure
// (1 or 0), the line kind that says which reports list it, the source whose
// presence line it follows (or -), and its report label, separated by tabs.
// The scripts that check the outputs read the program's own table through
// it, so that they cannot drift from it.
#include <cstdio>
#include <string>

#include "core/record_source.h"
#include "platform/utf8_codec.h"
#include "scan/source_table.h"

namespace {

const char* lineName(tidewell::CounterLine line) {
    switch (line) {
    case tidewell::CounterLine::Always:
        return "Always";
    case tidewell::CounterLine::Evidence:
        return "Evidence";
    case tidewell::CounterLine::NotInLiveCsv:
        return "NotInLiveCsv";
    case tidewell::CounterLine::Image:
        return "Image";
    case tidewell::CounterLine::Copies:
        return "Copies";
    case tidewell::CounterLine::Collection:
        return "Collection";
    case tidewell::CounterLine::Source:
        break;
    }
    return "Source";
}

// The source whose presence line a Source counter follows.
std::wstring ownerOf(const tidewell::ScanCounter& counter) {
    for (const tidewell::RecordSource* source : tidewell::tableSources()) {
        for (const tidewell::ScanCounter* own : source->counters) {
            if (own == &counter && counter.line == tidewell::CounterLine::Source) {
                return source->coverage.reportLabel;
            }
        }
    }
    return L"-";
}

} // namespace

int main() {
    std::string text;
    for (const tidewell::ScanTally::Count& held :
         tidewell::freshTally(tidewell::tableSources()).counts) {
        const tidewell::ScanCounter& counter = *held.counter;
        text += std::string(counter.key) + "\t" + (counter.failure ? "1" : "0") + "\t" +
                lineName(counter.line) + "\t" + tidewell::toUtf8(ownerOf(counter)) + "\t" +
                tidewell::toUtf8(counter.reportLabel) + "\n";
    }
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
