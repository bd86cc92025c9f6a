#include "evidence/system_volume.h"

#include <optional>

#include "platform/text_fold.h"

namespace tidewell {

namespace {

constexpr std::wstring_view systemLibrary = L"\\WINDOWS\\SYSTEM32\\NTDLL.DLL";

} // namespace

VolumeSource evidenceVolumes(const RecordList& records, std::size_t first,
                             const std::wstring& systemDrive) {
    VolumeSource source;
    source.mountedVolumes = false;
    std::optional<std::uint32_t> serial;
    for (std::size_t i = first; i < records.size(); ++i) {
        for (const std::wstring& file : records[i].referencedFiles) {
            VolumePath named;
            if (!serialOfPath(file, records[i].volumes, named) ||
                !equalsFolded(named.rest, systemLibrary)) {
                continue;
            }
            if (serial && *serial != named.serial) {
                return source; // the files disagree: no volume is proved
            }
            serial = named.serial;
        }
    }
    if (serial && systemDrive.size() == 2) {
        source.systemVolumeKnown = true;
        source.systemSerial = *serial;
        source.systemMountPoint = systemDrive + L"\\";
    }
    return source;
}

} // namespace tidewell
