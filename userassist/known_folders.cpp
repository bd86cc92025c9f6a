#include "userassist/known_folders.h"

#include "platform/identity.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

constexpr std::size_t bracedGuidLength = 38;

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
    // A braced GUID with nothing after it names a folder, not a launched file.
    if (path.size() <= bracedGuidLength || path.front() != L'{') {
        return false;
    }
    const std::size_t close = path.find(L'}');
    if (close == std::wstring::npos) {
        return false;
    }
    const std::wstring folderId = path.substr(0, close + 1);
    if (!ownHive && !isMachineWideFolderId(folderId)) {
        return false;
    }
    std::wstring folder;
    if (!queryKnownFolderPath(folderId, folder) || folder.empty()) {
        return false;
    }
    std::size_t restStart = close + 1;
    while (restStart < path.size() && path[restStart] == L'\\') {
        ++restStart;
    }
    resolved = joinPath(folder, std::wstring_view(path).substr(restStart));
    return true;
}

std::wstring accountNameForSid(const std::wstring& sid) {
    std::wstring name;
    if (sid.empty() || !lookupAccountNameForSid(sid, name)) {
        return {};
    }
    return name;
}

} // namespace tidewell
