// Bytes as a SRUM database: the header's checks, the tables as the ESE
// library gives them, and the rows made records, ids decoded and summed.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/scan_tally.h"
#include "srum/ese_header.h"
#include "srum/srum_records.h"
#include "srum/srum_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    std::vector<std::uint8_t> bytes(data, data + size);
    const EseHeader header = readEseHeader(ByteView{bytes.data(), bytes.size()});
    if (!header.signature) {
        return 0;
    }
    const SrumTables tables = readSrumTables(bytes);
    RecordList records;
    ScanTally tally;
    makeSrumRecords(tables, L"SRUDB.dat", records, tally);
    return 0;
}
