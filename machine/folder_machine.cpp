// A folder holding a copy of a Windows system drive (the drive itself, or a
// collection with the drive one folder down), read from the host's file
// system only inside the folder.
#include <memory>

#include "machine/collected_drive.h"
#include "machine/copied_windows.h"
#include "machine/host_files.h"
#include "machine/machine_kinds.h"

namespace tidewell {

namespace {

struct FolderState {
    bool posixNames = false; // the root was named with slashes: paths are shown so
};

std::wstring folderShownPath(const ExaminedMachine& machine, const std::wstring& path) {
    return kindState<FolderState>(machine).posixNames ? withSlashes(path) : path;
}

constexpr MachineKind folderKind = {
    listHostFolder,
    findHostEntry,
    readHostFile,
    nullptr,
    nullptr,
    realHostFolder,
    folderShownPath,
    copiedWindowsEntry,
    visitCopiedUserHives,
    copiedAccountName,
    copiedPathNaming,
    copiedSystemDrive,
    copiedDeviceDrives,
    copiedWindowsVersion,
    copiedWithoutSystemKeys,
    false,
    nullptr,
    nullptr,
};

} // namespace

EvidenceCheck openFolderMachine(const std::wstring& root, ExaminedMachine& machine,
                                ScanResults& results) {
    machine.kind = &folderKind;
    auto state = std::make_shared<FolderState>();
    machine.state = state;
    machine.scope = confinedFileScope(root);
    results.origin.evidence = true;
    readCopiedWindows(machine, root, results);
    const EvidenceDrive& drive = machine.copy.drive;
    results.origin.evidenceFolder = drive.found ? drive.folder : root;
    state->posixNames = namedPosixStyle(results.origin.evidenceFolder);
    EvidenceCheck check;
    check.readable = drive.found;
    check.problem = drive.problem;
    return check;
}

} // namespace tidewell
