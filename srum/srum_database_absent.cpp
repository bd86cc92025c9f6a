// The Windows build carries no ESE library (it keeps to the system's own
// libraries): a SRUM database found there is said to be unread.
#include "srum/srum_tables.h"

namespace tidewell {

SrumTables readSrumTables(const std::vector<std::uint8_t>& /*bytes*/) {
    SrumTables tables;
    tables.open = SrumOpen::NotThisBuild;
    return tables;
}

} // namespace tidewell
