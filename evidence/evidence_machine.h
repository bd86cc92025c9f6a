// What the examined machine's own registry says of itself, from its
// SOFTWARE hive: where Windows and the program folders were, the user
// profiles it lists and where each profile's folder was, and so where the
// known folders of its UserAssist paths led. All paths are as the examined
// machine knew them (C:\...), not where the copy lies here.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "registry/registry.h"
#include "userassist/known_folders.h"

namespace tidewell {

struct ListedProfile {
    std::wstring sid;
    std::wstring folder; // ProfileImagePath expanded, such as C:\Users\alice
};

using Variables = std::vector<std::pair<std::wstring, std::wstring>>;

// Whether the examined Windows was a 64-bit one, which decides where its
// 32-bit folders were.
enum class WindowsBits {
    NotKnown,
    Bits32,
    Bits64,
};

struct EvidenceMachine {
    std::wstring systemRoot;  // such as C:\Windows; empty when not recorded
    std::wstring systemDrive; // such as C:
    WindowsBits bits = WindowsBits::NotKnown;
    bool profileListRead = false;
    std::vector<ListedProfile> profiles; // the S-1-5-21 and S-1-12-1 ones, in list order
    Variables variables;                 // %SystemRoot%, %ProgramFiles% and the like
    FolderTable machineFolders;          // the folder ids that are the same for every user
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
void readEvidenceMachine(const MachineRecords& records, EvidenceMachine& machine);

// The control set a SYSTEM hive names current (such as ControlSet001), or
// empty text.
std::wstring currentControlSet(const RegistryKey& system);

// The computer's name its SYSTEM hive records, or empty text.
std::wstring evidenceComputerName(const RegistryKey& system, const std::wstring& controlSet);

// Replaces every %NAME% (without regard to case) by its value; false when a
// name is not known.
bool expandVariables(const std::wstring& text, const Variables& variables, std::wstring& expanded);

// The folder ids of one user's hive: the machine's, and the user's own from
// the hive's shell folders (profileFolder as the machine knew it).
FolderTable userFolderTable(const EvidenceMachine& machine, const RegistryKey& userHive,
                            const std::wstring& profileFolder);

} // namespace tidewell
