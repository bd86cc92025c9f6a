#include "machine/collected_drive.h"

#include <vector>

#include "platform/files.h"
#include "platform/folded_paths.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

bool holdsWindows(FileScope& scope, const std::wstring& folder, std::wstring& windows) {
    return findEntryFolded(scope, folder, L"Windows", EntryKind::Folder, windows);
}

} // namespace

bool namedPosixStyle(const std::wstring& root) {
    return root.find(L'/') != std::wstring::npos && root.find(L'\\') == std::wstring::npos;
}

std::wstring withSlashes(std::wstring path) {
    for (wchar_t& unit : path) {
        if (unit == L'\\') {
            unit = L'/';
        }
    }
    return path;
}

EvidenceDrive locateEvidenceDrive(FileScope& scope, const std::wstring& root) {
    EvidenceDrive drive;
    if (holdsWindows(scope, root, drive.windows)) {
        drive.found = true;
        drive.folder = root;
        return drive;
    }
    DirectoryListing listing;
    DirectoryEntry entry;
    std::uint32_t error = 0;
    if (!findFirstFile(joinPath(root, L"*"), listing, entry, error)) {
        drive.problem = L"the folder cannot be listed";
        return drive;
    }
    std::vector<std::wstring> candidates;
    do {
        std::wstring windows;
        Refusal why = Refusal::None;
        if (entry.isDirectory && entry.name != L"." && entry.name != L".." &&
            mayListFolder(scope, joinPath(root, entry.name), why) &&
            holdsWindows(scope, joinPath(root, entry.name), windows)) {
            candidates.push_back(entry.name);
        }
    } while (findNextFile(listing, entry, error));
    closeListing(listing);
    // Several copies side by side: the one of drive C, when there is one.
    std::wstring chosen;
    if (candidates.size() == 1) {
        chosen = candidates.front();
    } else {
        for (const std::wstring& name : candidates) {
            if (equalsFolded(name, L"C")) {
                chosen = name;
            }
        }
    }
    if (chosen.empty()) {
        drive.problem = candidates.empty()
                            ? L"it holds no Windows folder, neither itself nor one folder down"
                            : L"several folders in it hold a Windows folder, and none is C";
        return drive;
    }
    // A root named the POSIX way is continued the same way, so that the
    // folder reads naturally where it is shown; either separator opens it.
    drive.folder = namedPosixStyle(root) ? root + (root.back() == L'/' ? L"" : L"/") + chosen
                                         : joinPath(root, chosen);
    drive.found = holdsWindows(scope, drive.folder, drive.windows);
    return drive;
}

} // namespace tidewell
