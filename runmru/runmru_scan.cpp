#include "machine/user_key_sources.h"
#include "runmru/runmru_counters.h"
#include "runmru/runmru_reader.h"
#include "runmru/runmru_source.h"

namespace tidewell {

void scanRunMru(ExaminedMachine& machine, ScanResults& results) {
    const UserKeysRead read = readUserKeys(
        machine, results, runMruSource, runMruKeysUnreadable,
        [&](const UserHive& hive) { return readRunMru(hive, results.records, results.tally); });
    if (read.holding != 0) {
        readingOf(results.origin, runMruSource).note =
            L"the Run dialog's commands " + userHivesWords(read);
    }
}

} // namespace tidewell
