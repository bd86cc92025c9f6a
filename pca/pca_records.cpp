#include "pca/pca_records.h"

#include "pca/pca_counters.h"
#include "pca/pca_details.h"
#include "pca/pca_source.h"
#include "platform/path_join.h"

namespace tidewell {

void placePcaPath(const std::wstring& recorded, const Variables& variables, LaunchRecord& record) {
    record.path = recorded;
    if (recorded.find(L'%') != std::wstring::npos) {
        std::wstring expanded;
        if (expandVariables(recorded, variables, expanded) && isDriveOrSharePath(expanded)) {
            record.path = std::move(expanded);
            record.pathStatus = PathStatus::Resolved;
        } else {
            // %USERPROFILE% and the like: the line does not say whose.
            record.pathStatus = PathStatus::FolderIdUnresolved;
        }
        return;
    }
    record.pathStatus = isDriveOrSharePath(recorded)
                            ? PathStatus::Resolved
                            : PathStatus::VolumeNotIdentified; // \downloads\x.exe
}

void makePcaRecords(const PcaFileRead& read, PcaFileKind kind, const std::wstring& fileName,
                    const std::wstring& recordFile, const Variables& variables, RecordList& records,
                    ScanTally& tally) {
    tally[pcaLinesRead] += read.linesRead;
    tally[pcaLinesMalformed] += read.linesMalformed;
    tally[pcaTimesMalformed] += read.timesMalformed;
    for (const PcaLine& line : read.lines) {
        LaunchRecord record = makeRecord(pcaSource);
        placePcaPath(line.path, variables, record);
        if (record.pathStatus != PathStatus::Resolved) {
            ++tally[pcaPathsNotPlaced];
        }
        record.name = lastPart(line.path);
        record.recordFile = recordFile;
        // The dictionary's time is a launch; a database's is an event of a
        // program that ran, kept under its own name.
        if (kind == PcaFileKind::LaunchDictionary && line.time != 0) {
            record.runTimes.push_back(line.time);
        }
        PcaDetails& details = *pcaDetails(record);
        details.kind = kind;
        details.fileName = fileName;
        details.line = line;
        records.push_back(std::move(record));
    }
}

} // namespace tidewell
