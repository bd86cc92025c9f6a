// Bytes as the reading process's answer: the stream decoded with every
// length checked, then the id map resolved (paths, names, packages, SIDs)
// and the rows summed into records and shown as every view shows them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/record_source.h"
#include "core/scan_tally.h"
#include "srum/srum_records.h"
#include "srum/srum_source.h"
#include "srum/srum_table_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    SrumTables tables;
    if (!readSrumTableStream(ByteView{data, size}, tables)) {
        return 0;
    }
    RecordList records;
    ScanTally tally;
    makeSrumRecords(tables, L"SRUDB.dat", records, tally);
    for (const LaunchRecord& record : records) {
        std::wstring words = srumSource.listDetail(record);
        srumSource.countWords(record, words);
        words += srumSource.mergeKey(record);
        JoinFacts facts;
        srumSource.joinFacts(record, facts);
        SourceDetailParts parts;
        srumSource.detailParts(record, DetailContext{}, parts);
    }
    return 0;
}
