#include "prefetch/system_volume_proof.h"

#include <optional>

#include "platform/text_fold.h"
#include "prefetch/prefetch_details.h"

namespace tidewell {

namespace {

constexpr std::wstring_view systemLibrary = L"\\WINDOWS\\SYSTEM32\\NTDLL.DLL";

} // namespace

VolumeSource placeableVolumes(const PathNaming& naming, const RecordList& records,
                              std::size_t first) {
    VolumeSource source;
    if (naming.mountedVolumes) {
        return source;
    }
    source.mountedVolumes = false;
    std::optional<std::uint32_t> serial;
    for (std::size_t i = first; i < records.size(); ++i) {
        const PrefetchDetails* details = prefetchDetails(records[i]);
        if (details == nullptr) {
            continue;
        }
        for (const std::wstring& file : details->referencedFiles) {
            // Its tail first: a file that is not the library needs no parsing.
            if (!endsWithFolded(file, systemLibrary)) {
                continue;
            }
            VolumePath named;
            if (!serialOfPath(file, details->volumes, named) ||
                !equalsFolded(named.rest, systemLibrary)) {
                continue;
            }
            if (serial && *serial != named.serial) {
                return source; // the files disagree: no volume is proved
            }
            serial = named.serial;
        }
    }
    if (serial && naming.systemDrive.size() == 2) {
        source.systemVolumeKnown = true;
        source.systemSerial = *serial;
        source.systemMountPoint = naming.systemDrive + L"\\";
    }
    return source;
}

} // namespace tidewell
