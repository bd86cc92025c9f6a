#include "machine/known_folders.h"

#include "platform/identity.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

constexpr std::size_t bracedGuidLength = 38;

// The braced id at the front of a path and the rest of the path after it
// without its leading backslashes. A braced GUID with nothing after it names
// a folder, not a launched file.
bool splitFolderIdPath(const std::wstring& path, std::wstring& folderId, std::wstring_view& rest) {
    if (path.size() <= bracedGuidLength || path.front() != L'{') {
        return false;
    }
    const std::size_t close = path.find(L'}');
    if (close == std::wstring::npos) {
        return false;
    }
    folderId = path.substr(0, close + 1);
    std::size_t restStart = close + 1;
    while (restStart < path.size() && path[restStart] == L'\\') {
        ++restStart;
    }
    rest = std::wstring_view(path).substr(restStart);
    return true;
}

} // namespace

bool isMachineWideFolderId(std::wstring_view folderId) {
    for (std::wstring_view known : machineWideFolderIds) {
        if (equalsFolded(folderId, known)) {
            return true;
        }
    }
    return false;
}

bool resolveFolderIdPath(const std::wstring& path, bool ownHive, std::wstring& resolved) {
    resolved.clear();
    std::wstring folderId;
    std::wstring_view rest;
    if (!splitFolderIdPath(path, folderId, rest) ||
        (!ownHive && !isMachineWideFolderId(folderId))) {
        return false;
    }
    std::wstring folder;
    if (!queryKnownFolderPath(folderId, folder) || folder.empty()) {
        return false;
    }
    resolved = joinPath(folder, rest);
    return true;
}

bool resolveFolderIdFromTable(const std::wstring& path, const FolderTable& table,
                              std::wstring& resolved, bool& documentedDefault) {
    resolved.clear();
    documentedDefault = false;
    std::wstring folderId;
    std::wstring_view rest;
    if (!splitFolderIdPath(path, folderId, rest)) {
        return false;
    }
    for (const KnownFolderPlace& place : table.folders) {
        if (equalsFolded(place.id, folderId) && !place.path.empty()) {
            resolved = joinPath(place.path, rest);
            documentedDefault = place.documentedDefault;
            return true;
        }
    }
    return false;
}

} // namespace tidewell
