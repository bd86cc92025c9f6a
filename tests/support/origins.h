// What a scan read, made for tests of the outputs: an origin that holds
// every source of the table, as a scan's does.
#pragma once

#include <string>
#include <vector>

#include "core/record_source.h"
#include "core/scan_facts.h"
#include "core/scan_origin.h"
#include "core/scan_tally.h"
#include "scan/source_table.h"

namespace tidewell::testing {

// Every source of the table, none looked for yet.
inline ScanOrigin withTableSources(ScanOrigin origin) {
    origin.sources.clear();
    for (const RecordSource* source : tableSources()) {
        origin.sources.push_back({source, SourcePresence::NotLooked, {}, {}});
    }
    return origin;
}

inline ScanOrigin thisMachineOrigin(const std::wstring& host) {
    ScanOrigin origin;
    origin.hostName = host;
    return withTableSources(origin);
}

inline ScanOrigin evidenceOrigin(const std::wstring& folder, const std::wstring& host = L"") {
    ScanOrigin origin;
    origin.evidence = true;
    origin.evidenceFolder = folder;
    origin.hostName = host;
    return withTableSources(origin);
}

inline ScanOrigin imageOrigin(const std::wstring& image, const std::wstring& host = L"") {
    ScanOrigin origin = evidenceOrigin(image, host);
    origin.image = true;
    origin.imageRead.path = image;
    return origin;
}

inline ScanOrigin collectionOrigin(const std::wstring& path, const std::wstring& host = L"") {
    ScanOrigin origin = evidenceOrigin(path + L" :: C:", host);
    origin.collection = true;
    origin.collectionRead.path = path;
    origin.collectionRead.device = L"C:";
    return origin;
}

// The same origin, every source looked for and found as presence says
// (those every Windows keeps read).
inline ScanOrigin withSources(ScanOrigin origin, SourcePresence presence) {
    if (origin.sources.empty()) {
        origin = withTableSources(origin);
    }
    for (SourceReading& reading : origin.sources) {
        reading.presence = reading.source->coverage.mayBeAbsent ? presence : SourcePresence::Read;
    }
    return origin;
}

// Every source of the table, whose members each JSON record names.
inline std::vector<const RecordSource*> allSources() {
    return {tableSources().begin(), tableSources().end()};
}

// A tally and facts holding every counter and fact of the table at zero and
// not known, as a fresh scan's do.
inline ScanTally tableTally() {
    return freshTally(tableSources());
}
inline ScanFacts tableFacts() {
    return freshFacts(tableSources());
}

} // namespace tidewell::testing
