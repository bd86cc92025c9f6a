#include "prefetch/prefetch_path_choice.h"

#include <string_view>
#include <vector>

#include "platform/text_fold.h"
#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_details.h"
#include "prefetch/volume_path.h"

namespace tidewell {

namespace {

constexpr std::size_t maxListedCandidates = 8;

// Whether the loaded file's name (after its last backslash) is the
// program's. A name cut by the 60-byte field is only the front of the real
// name; a whole one is compared with the path's tail alone.
bool carriesProgramName(const std::wstring& path, const LaunchRecord& record,
                        const PrefetchDetails& details, bool plainName) {
    const std::wstring& name = record.name;
    if (!details.nameTruncated && plainName) {
        if (path.size() < name.size()) {
            return false;
        }
        const std::size_t at = path.size() - name.size();
        return (at == 0 || path[at - 1] == L'\\') &&
               equalsFolded(std::wstring_view(path).substr(at), name);
    }
    const std::size_t slash = path.rfind(L'\\');
    const std::wstring_view fileName = slash == std::wstring::npos
                                           ? std::wstring_view(path)
                                           : std::wstring_view(path).substr(slash + 1);
    return details.nameTruncated ? startsWithFolded(fileName, name) : equalsFolded(fileName, name);
}

// Windows 10 and later record the program's own path: where it names a
// device and exactly one candidate lies at that path on its volume, that
// candidate is the program (an X.EXE beside its X.EXE.CONFIG, say). A
// packaged app's name, or a path no candidate or several match, decides
// nothing.
void preferTheRecordedPath(const PrefetchDetails& details,
                           std::vector<const std::wstring*>& candidates) {
    DevicePath recorded;
    if (candidates.size() < 2 || !parseDevicePath(details.recordedPath, recorded)) {
        return;
    }
    const std::wstring* match = nullptr;
    for (const std::wstring* candidate : candidates) {
        std::wstring_view rest;
        if (pathAfterVolumePrefix(*candidate, rest) && equalsFolded(rest, recorded.rest)) {
            if (match != nullptr) {
                return;
            }
            match = candidate;
        }
    }
    if (match != nullptr) {
        candidates.assign(1, match);
    }
}

} // namespace

void choosePrefetchPath(LaunchRecord& record, ScanTally& tally, const VolumeSource& volumes) {
    const PrefetchDetails* details = prefetchDetails(record);
    if (details == nullptr) {
        return; // only a Prefetch record names its loaded files
    }
    std::vector<const std::wstring*> candidates;
    const bool plainName = record.name.find(L'\\') == std::wstring::npos;
    for (const std::wstring& file : details->referencedFiles) {
        if (carriesProgramName(file, record, *details, plainName)) {
            candidates.push_back(&file);
        }
    }
    preferTheRecordedPath(*details, candidates);
    if (candidates.empty()) {
        return; // path stays empty, NoPathRecorded
    }
    if (candidates.size() > 1) {
        ++tally[prefetchPathNotUnique];
        record.pathStatus = PathStatus::SeveralPossiblePaths;
        record.path.clear();
        for (std::size_t i = 0; i < candidates.size() && i < maxListedCandidates; ++i) {
            if (i != 0) {
                record.path += L" | ";
            }
            record.path += *candidates[i];
        }
        return;
    }
    VolumeResolution resolution = resolveVolumePath(*candidates.front(), details->volumes, volumes);
    if (resolution.identified) {
        record.path = std::move(resolution.path);
        record.pathStatus = PathStatus::Resolved;
        return;
    }
    record.path = *candidates.front();
    record.pathStatus = PathStatus::VolumeNotIdentified;
    ++tally[volumesNotIdentified];
    if (resolution.volumesWithSerial > 1) {
        ++tally[volumesAmbiguous];
    }
}

} // namespace tidewell
