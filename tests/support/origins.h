// What a scan read, made for tests of the outputs.
#pragma once

#include <string>

#include "core/scan_origin.h"

namespace tidewell::testing {

inline ScanOrigin thisMachineOrigin(const std::wstring& host) {
    ScanOrigin origin;
    origin.hostName = host;
    return origin;
}

inline ScanOrigin evidenceOrigin(const std::wstring& folder, const std::wstring& host = L"") {
    ScanOrigin origin;
    origin.evidence = true;
    origin.evidenceFolder = folder;
    origin.hostName = host;
    return origin;
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
// (Prefetch and UserAssist read, as every Windows keeps them).
inline ScanOrigin withSources(ScanOrigin origin, SourcePresence presence) {
    for (std::size_t index = 0; index < recordSourceCount; ++index) {
        origin.sources[index].presence = index < 2 ? SourcePresence::Read : presence;
    }
    return origin;
}

} // namespace tidewell::testing
