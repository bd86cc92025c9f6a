// Telling a collection from a drive's copy or a disk image by its shape
// alone, in either build, so that the Windows build can say what it was
// given.
#include "machine/collection.h"

#include "platform/file_place.h"
#include "platform/files.h"
#include "platform/path_join.h"

namespace tidewell {

namespace {

// The files a Velociraptor collector writes beside its uploads.
constexpr const wchar_t* collectorFiles[] = {L"client_info.json", L"collection_context.json",
                                             L"uploads.json", L"log.json"};

bool startsAsZip(const std::wstring& path) {
    ReadableFile file;
    std::uint32_t error = 0;
    std::uint8_t bytes[4] = {};
    std::uint32_t got = 0;
    // PK\3\4 opens a zip with members; PK\5\6 an empty one.
    return openFileForReading(path, file, error) && readFile(file, bytes, 4, got) && got == 4 &&
           bytes[0] == 'P' && bytes[1] == 'K' &&
           ((bytes[2] == 3 && bytes[3] == 4) || (bytes[2] == 5 && bytes[3] == 6));
}

} // namespace

bool looksLikeCollection(const std::wstring& path) {
    const FilePlace place = resolvePlace(path);
    if (place.type == PlaceType::File) {
        return startsAsZip(path);
    }
    if (place.type != PlaceType::Folder ||
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
