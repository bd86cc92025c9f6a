#include "core/path_status_word.h"

namespace tidewell {

const wchar_t* pathStatusWord(PathStatus status) {
    switch (status) {
    case PathStatus::Resolved:
        return L"resolved";
    case PathStatus::VolumeNotIdentified:
        return L"volume not identified";
    case PathStatus::FolderIdUnresolved:
        return L"folder id unresolved";
    case PathStatus::SeveralPossiblePaths:
        return L"several possible paths";
    case PathStatus::NoPathRecorded:
        break;
    }
    return L"no path recorded";
}

} // namespace tidewell
