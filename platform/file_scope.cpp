#include "platform/file_scope.h"

#include "platform/file_place.h"
#include "platform/files.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

bool isSeparator(wchar_t unit) {
    return unit == L'/' || unit == L'\\';
}

// Whether real lies at or below root. Windows compares names without regard
// to case; a POSIX host compares them exactly.
bool inside(const std::wstring& real, const std::wstring& root) {
    if (root.empty() || real.size() < root.size()) {
        return false;
    }
#if defined(_WIN32)
    const bool prefix = equalsFolded(std::wstring_view(real).substr(0, root.size()), root);
#else
    const bool prefix = real.compare(0, root.size(), root) == 0;
#endif
    return prefix && (real.size() == root.size() || isSeparator(root.back()) ||
                      isSeparator(real[root.size()]));
}

// The most folders whose places are kept: more than any scan meets.
constexpr std::size_t folderPlacesKept = 4096;

// Where path leads: its folder's place as first found, then the entry alone.
FilePlace placeOf(FileScope& scope, const std::wstring& path) {
    const std::wstring name = lastPart(path);
    const std::wstring folder = folderPart(path);
    if (folder.empty() || name.empty() || name == L"." || name == L"..") {
        return resolvePlace(path);
    }
    auto found = scope.folderPlaces.find(folder);
    if (found == scope.folderPlaces.end()) {
        if (scope.folderPlaces.size() >= folderPlacesKept) {
            scope.folderPlaces.clear();
        }
        found = scope.folderPlaces.emplace(folder, resolvePlace(folder)).first;
    }
    if (found->second.type != PlaceType::Folder) {
        return resolvePlace(path);
    }
    return resolveEntryPlace(found->second.realPath, name, path);
}

bool screen(FileScope& scope, const std::wstring& path, PlaceType wanted, Refusal& why,
            std::wstring* realPath) {
    why = Refusal::None;
    if (!scope.confined) {
        return true;
    }
    const FilePlace place = placeOf(scope, path);
    if (realPath != nullptr) {
        *realPath = place.realPath;
    }
    switch (place.type) {
    case PlaceType::Missing:
        return false;
    case PlaceType::LinkLoop:
        why = Refusal::LinkLoop;
        break;
    case PlaceType::Unreadable:
        why = Refusal::Unresolvable;
        break;
    default:
        if (!inside(place.realPath, scope.realRoot)) {
            why = Refusal::LeadsOutside;
        } else if (place.type != wanted) {
            why = wanted == PlaceType::Folder ? Refusal::NotAFolder : Refusal::NotRegularFile;
        }
        break;
    }
    if (why != Refusal::None) {
        scope.refused.push_back({path, why});
        return false;
    }
    return true;
}

} // namespace

FileScope hostFileScope() {
    return FileScope{};
}

FileScope confinedFileScope(const std::wstring& root) {
    forgetKeptFolder(); // a folder of an earlier scan may have been replaced since
    FileScope scope;
    scope.confined = true;
    const FilePlace place = resolvePlace(root);
    if (place.type == PlaceType::Folder) {
        scope.realRoot = place.realPath;
    }
    return scope;
}

bool mayReadFile(FileScope& scope, const std::wstring& path, Refusal& why, std::wstring* realPath) {
    return screen(scope, path, PlaceType::File, why, realPath);
}

bool mayListFolder(FileScope& scope, const std::wstring& path, Refusal& why) {
    return screen(scope, path, PlaceType::Folder, why, nullptr);
}

void refuse(FileScope& scope, const std::wstring& path, Refusal why) {
    scope.refused.push_back({path, why});
}

const wchar_t* refusalText(Refusal why) {
    switch (why) {
    case Refusal::None:
        return L"";
    case Refusal::LeadsOutside:
        return L"a link or reparse point that leads out of the evidence folder, not followed";
    case Refusal::LinkLoop:
        return L"links that lead round in a loop, not followed";
    case Refusal::NotRegularFile:
        return L"not a regular file (a device, a named pipe or a socket), not opened";
    case Refusal::NotAFolder:
        return L"not a folder";
    case Refusal::Unresolvable:
        return L"it could not be looked at";
    case Refusal::BecameLink:
        return L"it became a link while it was being read, not followed";
    }
    return L"";
}

} // namespace tidewell
