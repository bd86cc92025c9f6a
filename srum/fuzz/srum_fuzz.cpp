// Bytes as a SRUM database: the header's checks, the tables as the ESE
// library gives them in its own process, and the rows made records. The
// library's own faults on damaged databases end its process, which the
// reader counts; they are not this target's findings, so a reading process
// leaves without the fuzzer's report of its inputs.
#include <pthread.h>
#include <sanitizer/common_interface_defs.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/scan_tally.h"
#include "srum/ese_header.h"
#include "srum/srum_records.h"
#include "srum/srum_tables.h"

namespace {

void quietChild() {
    __sanitizer_set_death_callback(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    pthread_atfork(nullptr, nullptr, quietChild);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    const std::vector<std::uint8_t> bytes(data, data + size);
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
