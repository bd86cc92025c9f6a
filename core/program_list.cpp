#include "core/program_list.h"

namespace tidewell {

const wchar_t* provesWord(Proves proves) {
    switch (proves) {
    case Proves::Ran:
        return L"ran";
    case Proves::Interacted:
        return L"interacted";
    case Proves::Present:
        break;
    }
    return L"present";
}

bool joins(RecordJoin join) {
    return join == RecordJoin::ByPath || join == RecordJoin::ByPrefetchHash ||
           join == RecordJoin::ByPackage;
}

const wchar_t* recordJoinWords(RecordJoin join) {
    switch (join) {
    case RecordJoin::ByPath:
        return L"path";
    case RecordJoin::ByPrefetchHash:
        return L"Prefetch hash";
    case RecordJoin::ByPackage:
        return L"package family";
    case RecordJoin::NoPathRecorded:
        return L"no path recorded";
    case RecordJoin::VolumeNotIdentified:
        return L"volume not identified";
    case RecordJoin::FolderNotPlaced:
        return L"known folder not placed";
    case RecordJoin::SeveralCandidates:
        return L"several candidates";
    }
    return L"several candidates";
}

namespace {

struct ContradictionName {
    const char* key;
    const wchar_t* words;
};

constexpr ContradictionName contradictionNames[contradictionKinds] = {
    {"sha1_differs", L"two SHA-1 values for one path"},
    {"modified_differs", L"sources hold different modification times"},
    {"present_only", L"seen, never recorded running"},
    {"run_after_collection", L"a run later than the collection"},
    {"run_before_volume", L"a run earlier than its volume's creation"},
};

constexpr const wchar_t* contradictionLabels[contradictionKinds] = {
    L"Programs with two SHA-1 values for one path",
    L"Programs whose sources hold different modification times",
    L"Programs seen but never recorded running",
    L"Programs with a run later than the collection",
    L"Programs with a run earlier than their volume's creation",
};

} // namespace

const char* contradictionKey(std::size_t kind) {
    return kind < contradictionKinds ? contradictionNames[kind].key : "";
}

const wchar_t* contradictionWords(std::size_t kind) {
    return kind < contradictionKinds ? contradictionNames[kind].words : L"";
}

std::vector<ProgramCountLine> programCountLines(const ProgramCounts& counts) {
    std::vector<ProgramCountLine> lines = {
        {"programs", L"Programs", counts.programs},
        {"records_joined", L"Records joined to another of their program", counts.recordsJoined},
        {"not_joined_no_path", L"Records not joined: no path recorded", counts.notJoined[0]},
        {"not_joined_volume", L"Records not joined: volume not identified", counts.notJoined[1]},
        {"not_joined_folder", L"Records not joined: known folder not placed", counts.notJoined[2]},
        {"not_joined_candidates", L"Records not joined: several candidates", counts.notJoined[3]},
        {"volumes_proven_by_prefetch_hash", L"Volumes proven by Prefetch hash",
         counts.volumesProven},
    };
    for (std::size_t kind = 0; kind < contradictionKinds; ++kind) {
        lines.push_back(
            {contradictionKey(kind), contradictionLabels[kind], counts.contradictions[kind]});
    }
    return lines;
}

} // namespace tidewell
