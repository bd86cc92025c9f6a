// What a collected machine's own registry says of itself, from its SOFTWARE
// hive: where Windows and the program folders were, the user profiles it
// lists and where each profile's folder was, and so where the known folders
// of its users' records led. All paths are as the examined machine knew
// them (C:\...), not where the copy lies here.
#pragma once

#include <string>

#include "machine/machine_folders.h"
#include "machine/machine_variables.h"
#include "machine/profile_list.h"
#include "registry/registry.h"

namespace tidewell {

// Whether the examined Windows was a 64-bit one, which decides where its
// 32-bit folders were.
enum class WindowsBits {
    NotKnown,
    Bits32,
    Bits64,
};

struct MachineRegistry {
    std::wstring systemRoot;  // such as C:\Windows; empty when not recorded
    std::wstring systemDrive; // such as C:
    WindowsBits bits = WindowsBits::NotKnown;
    ProfileList profileList;
    Variables variables;        // %SystemRoot%, %ProgramFiles% and the like
    FolderTable machineFolders; // the folder ids that are the same for every user
};

// What the machine's files say of it: its SOFTWARE hive's root key and its
// SYSTEM hive's (null for one that could not be read) with the current
// control set, and the name its Windows folder has in the copy.
struct MachineRecords {
    const RegistryKey* software = nullptr;
    const RegistryKey* system = nullptr;
    std::wstring controlSet;
    std::wstring windowsFolderName;
};

// The machine-wide folders come from the registry where it records them,
// and otherwise from each folder's documented default location on the
// system drive (named %SystemDrive% when its letter is not recorded either).
void readMachineRegistry(const MachineRecords& records, MachineRegistry& machine);

// The control set a SYSTEM hive names current (such as ControlSet001), or
// empty text.
std::wstring currentControlSet(const RegistryKey& system);

// The computer's name its SYSTEM hive records, or empty text.
std::wstring recordedComputerName(const RegistryKey& system, const std::wstring& controlSet);

// The folder ids of one user's hive: the machine's, and the user's own from
// the hive's shell folders (profileFolder as the machine knew it).
FolderTable userFolderTable(const MachineRegistry& machine, const RegistryKey& userHive,
                            const std::wstring& profileFolder);

} // namespace tidewell
