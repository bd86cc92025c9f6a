#include "machine/collected_drive.h"

#include <vector>

#include "machine/machine_files.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

bool holdsWindows(ExaminedMachine& machine, const std::wstring& folder, std::wstring& windows) {
    return findMachineEntry(machine, folder, L"Windows", EntryKind::Folder, windows);
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

EvidenceDrive locateEvidenceDrive(ExaminedMachine& machine, const std::wstring& root) {
    EvidenceDrive drive;
    if (holdsWindows(machine, root, drive.windows)) {
        drive.found = true;
        drive.folder = root;
        return drive;
    }
    const FolderListing listing = listMachineFolder(machine, root);
    if (!listing.started) {
        drive.problem = L"the folder cannot be listed";
        return drive;
    }
    std::vector<std::wstring> candidates;
    for (const FolderEntry& entry : listing.entries) {
        std::wstring folder;
        std::wstring windows;
        if (entry.isDirectory && entry.name != L"." && entry.name != L".." &&
            findMachineEntry(machine, root, entry.name, EntryKind::Folder, folder) &&
            holdsWindows(machine, folder, windows)) {
            candidates.push_back(entry.name);
        }
    }
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
    drive.found = holdsWindows(machine, drive.folder, drive.windows);
    return drive;
}

} // namespace tidewell
