// Telling a collection's folder from a drive's copy by its shape alone, in
// either build, so that the Windows build can say what it was given.
#include "machine/collection.h"

#include "platform/file_place.h"
#include "platform/path_join.h"

namespace tidewell {

namespace {

// The files a Velociraptor collector writes beside its uploads.
constexpr const wchar_t* collectorFiles[] = {L"client_info.json", L"collection_context.json",
                                             L"uploads.json", L"log.json"};

} // namespace

bool looksLikeCollectionFolder(const std::wstring& path) {
    if (resolvePlace(path).type != PlaceType::Folder ||
        resolvePlace(joinPath(path, L"uploads")).type != PlaceType::Folder) {
        return false;
    }
    for (const wchar_t* name : collectorFiles) {
        if (resolvePlace(joinPath(path, name)).type == PlaceType::File) {
            return true;
        }
    }
    return false;
}

} // namespace tidewell
