// Records of every source with any paths, hashes and names, brought
// together per program: every record in exactly one program, each program's
// records its own, and every program's texts written without fault.
#include <cstdlib>
#include <vector>

#include "fuzz/program_records.h"
#include "programs/program_builder.h"
#include "programs/program_texts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tidewell;
    const RecordList records = fuzz::recordsFrom(data, size);
    ScanOrigin origin;
    origin.evidence = true;
    origin.pathVariables = {{L"SystemRoot", L"C:\\Windows"}, {L"ProgramFiles", L"%SystemRoot%"}};
    origin.collection = size % 2 == 0;
    origin.collectionRead.collectedAt = 133500000000000000ULL + 0x500000000ULL;
    const ProgramList list = buildPrograms(records, origin);
    if (list.programOfRecord.size() != records.size() ||
        list.counts.programs != list.programs.size()) {
        std::abort();
    }
    std::vector<int> seen(records.size(), 0);
    for (std::size_t at = 0; at < list.programs.size(); ++at) {
        const Program& program = list.programs[at];
        const auto members = list.recordsOf(program);
        if (members.empty() || list.joinsOf(program).size() != members.size()) {
            std::abort();
        }
        for (std::size_t index : members) {
            if (index >= records.size() || list.programOfRecord[index] != at ||
                ++seen[index] != 1) {
                std::abort(); // a record in no program, in two, or named by another
            }
        }
        const ProgramTexts texts = programTexts(list, program, records, origin);
        if (texts.placed.empty() || (program.flags != 0) == texts.contradictions.empty()) {
            std::abort(); // every program says how it was placed, and every flag is explained
        }
    }
    return 0;
}
