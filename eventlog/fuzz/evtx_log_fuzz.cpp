// Bytes as an event log file, read as Security's and as Sysmon's: the file
// as libevtx gives it in its own process (with its free space), and the
// events made records. The library's own faults on damaged files end its
// process, which the reader counts; they are not this target's findings, so
// a reading process leaves without the fuzzer's report of its inputs.
#include <pthread.h>
#include <sanitizer/common_interface_defs.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/scan_tally.h"
#include "eventlog/eventlog_records.h"
#include "eventlog/evtx_log.h"

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
    for (EventLogKind kind : {EventLogKind::Security, EventLogKind::Sysmon}) {
        // As a scan reads it: the events made records as they come.
        EventRecordMaker maker = eventRecordMaker(kind, L"log");
        const EvtxLog log =
            readEvtxLog(bytes, kind, true, [&maker](std::vector<EvtxEvent>& events) {
                addEventRecords(maker, events);
            });
        RecordList records;
        ScanTally tally;
        logReadNote(kind, log, takeEventRecords(maker, records, tally));
    }
    return 0;
}
