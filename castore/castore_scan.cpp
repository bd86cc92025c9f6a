#include "castore/castore_counters.h"
#include "castore/castore_reader.h"
#include "castore/castore_source.h"
#include "machine/user_key_sources.h"

namespace tidewell {

void scanCompatibilityStore(ExaminedMachine& machine, ScanResults& results) {
    const UserKeysRead read =
        readUserKeys(machine, results, compatibilityStoreSource, compatibilityStoreUnreadable,
                     [&](const UserHive& hive) {
                         return readCompatibilityStore(hive, results.records, results.tally);
                     });
    if (read.holding != 0) {
        readingOf(results.origin, compatibilityStoreSource).note =
            L"the store " + userHivesWords(read);
    }
}

} // namespace tidewell
