#include "machine/user_key_sources.h"
#include "muicache/muicache_counters.h"
#include "muicache/muicache_reader.h"
#include "muicache/muicache_source.h"
#include "platform/decimal_text.h"

namespace tidewell {

void scanMuiCache(ExaminedMachine& machine, ScanResults& results) {
    std::uint32_t classesMissing = 0;
    const UserKeysRead read = readUserKeys(
        machine, results, muiCacheSource, muiCacheUnreadable, [&](const UserHive& hive) {
            return readMuiCache(hive, results.records, results.tally, classesMissing);
        });
    if (read.holding != 0) {
        // Windows XP keeps no classes hive of this kind; a later one does.
        readingOf(results.origin, muiCacheSource).note =
            L"the shell's names " + userHivesWords(read) +
            (classesMissing == 0 ? L""
                                 : L"; " + groupedDecimalText(classesMissing) +
                                       L" without a classes hive (UsrClass.dat)");
    }
}

} // namespace tidewell
