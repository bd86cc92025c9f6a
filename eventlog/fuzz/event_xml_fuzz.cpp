// Text as an event's XML, as either reader hands it over: the members and
// items read, the start made of it for either log, and the record's texts.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/scan_tally.h"
#include "eventlog/eventlog_records.h"
#include "eventlog/eventlog_source.h"
#include "eventlog/evtx_log.h"
#include "platform/json_text.h"
#include "ui/detail_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    const std::string xml(reinterpret_cast<const char*>(data), size);
    for (EventLogKind kind : {EventLogKind::Security, EventLogKind::Sysmon}) {
        RecordList records;
        ScanTally tally;
        makeEventLogRecords({EvtxEvent{1, 2, 0, false, xml}}, kind, L"log", records, tally);
        for (const LaunchRecord& record : records) {
            buildDetailText(record, DetailContext{});
            eventLogSource.listDetail(record);
            eventLogSource.eventMessage(record, 0, L"", L"");
        }
    }
    return 0;
}
