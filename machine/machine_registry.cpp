#include "machine/machine_registry.h"

#include "machine/profile_list.h"
#include "platform/decimal_text.h"
#include "platform/error_codes.h"
#include "platform/path_join.h"
#include "platform/text_fold.h"
#include "registry/registry_text.h"

namespace tidewell {

namespace {

constexpr wchar_t currentVersionNt[] = L"Microsoft\\Windows NT\\CurrentVersion";
constexpr wchar_t currentVersion[] = L"Microsoft\\Windows\\CurrentVersion";
constexpr wchar_t shellFolders[] = L"Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr wchar_t userShellFolders[] =
    L"Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr wchar_t userRegistryPrefix[] = L"Software\\";

std::wstring textAt(const RegistryKey& root, const std::wstring& key, const std::wstring& name) {
    RegistryKey opened;
    std::wstring text;
    if (regOpenKey(root, key, registryKeyQueryValue, opened) != ERROR_SUCCESS ||
        !regQueryText(opened, name, text)) {
        text.clear();
    }
    return text;
}

void addFolder(FolderTable& table, const wchar_t* id, const std::wstring& path) {
    if (!path.empty()) {
        table.folders.push_back({id, path, false});
    }
}

// A machine-wide folder: where the registry put it, or else where Windows
// puts it by default (when that is known).
void addFixedFolder(FolderTable& table, const wchar_t* id, const std::wstring& recorded,
                    const std::wstring& documented) {
    if (!recorded.empty()) {
        table.folders.push_back({id, recorded, false});
    } else if (!documented.empty()) {
        table.folders.push_back({id, documented, true});
    }
}

// PROCESSOR_ARCHITECTURE as the SYSTEM hive's environment holds it.
WindowsBits bitsFromSystem(const RegistryKey* system, const std::wstring& controlSet) {
    if (system == nullptr || controlSet.empty()) {
        return WindowsBits::NotKnown;
    }
    const std::wstring architecture =
        textAt(*system, controlSet + L"\\Control\\Session Manager\\Environment",
               L"PROCESSOR_ARCHITECTURE");
    if (equalsFolded(architecture, L"x86")) {
        return WindowsBits::Bits32;
    }
    if (equalsFolded(architecture, L"AMD64") || equalsFolded(architecture, L"ARM64") ||
        equalsFolded(architecture, L"IA64")) {
        return WindowsBits::Bits64;
    }
    return WindowsBits::NotKnown;
}

// A shell folder of a hive (below prefix): the expandable form first, then
// the plain one Windows keeps beside it for old programs.
std::wstring shellFolder(const RegistryKey& root, const std::wstring& prefix, const wchar_t* name,
                         const Variables& variables) {
    std::wstring expanded;
    const std::wstring text = textAt(root, prefix + userShellFolders, name);
    if (!text.empty() && expandVariables(text, variables, expanded)) {
        return expanded;
    }
    return textAt(root, prefix + shellFolders, name);
}

} // namespace

void readMachineRegistry(const MachineRecords& records, MachineRegistry& machine) {
    machine = MachineRegistry{};
    const RegistryKey* software = records.software;
    // Without a SOFTWARE hive every value reads as absent.
    const RegistryKey none;
    const RegistryKey& hive = software != nullptr ? *software : none;
    machine.systemRoot = software != nullptr ? textAt(hive, currentVersionNt, L"SystemRoot") : L"";
    if (machine.systemRoot.size() >= 2 && machine.systemRoot[1] == L':') {
        machine.systemDrive = machine.systemRoot.substr(0, 2);
    }
    const auto version = [&](const wchar_t* name) {
        return software != nullptr ? textAt(hive, currentVersion, name) : std::wstring();
    };
    const std::wstring programFiles = version(L"ProgramFilesDir");
    const std::wstring programFilesX86 = version(L"ProgramFilesDir (x86)");
    const std::wstring programFiles64 = version(L"ProgramW6432Dir");
    const std::wstring commonFiles = version(L"CommonFilesDir");
    const std::wstring commonFilesX86 = version(L"CommonFilesDir (x86)");
    const std::wstring commonFiles64 = version(L"CommonW6432Dir");

    Variables& variables = machine.variables;
    addVariable(variables, L"SystemRoot", machine.systemRoot);
    addVariable(variables, L"windir", machine.systemRoot);
    addVariable(variables, L"SystemDrive", machine.systemDrive);
    addVariable(variables, L"ProgramFiles", programFiles);
    addVariable(variables, L"ProgramFiles(x86)", programFilesX86);
    addVariable(variables, L"ProgramW6432", programFiles64);
    addVariable(variables, L"CommonProgramFiles", commonFiles);
    addVariable(variables, L"CommonProgramFiles(x86)", commonFilesX86);
    addVariable(variables, L"CommonProgramW6432", commonFiles64);
    std::wstring programData;
    std::wstring publicFolder;
    const std::wstring profileList = std::wstring(currentVersionNt) + L"\\ProfileList";
    if (software != nullptr) {
        expandVariables(textAt(hive, profileList, L"ProgramData"), variables, programData);
        expandVariables(textAt(hive, profileList, L"Public"), variables, publicFolder);
    }
    addVariable(variables, L"ProgramData", programData);
    addVariable(variables, L"ALLUSERSPROFILE", programData);
    addVariable(variables, L"PUBLIC", publicFolder);

    // A 32-bit Windows has no "(x86)" folders: its x86 folders are its only
    // ones. Without SOFTWARE, SYSTEM's environment says which it was.
    machine.bits = !programFilesX86.empty() ? WindowsBits::Bits64
                   : !programFiles.empty()  ? WindowsBits::Bits32
                                            : bitsFromSystem(records.system, records.controlSet);
    const bool bits64 = machine.bits == WindowsBits::Bits64;
    const bool bitsKnown = machine.bits != WindowsBits::NotKnown;

    // The documented default locations, on the system drive as the machine
    // named it; its Windows folder as the copy names it.
    const std::wstring drive =
        machine.systemDrive.empty() ? std::wstring(L"%SystemDrive%") : machine.systemDrive;
    const std::wstring windows =
        !machine.systemRoot.empty()
            ? machine.systemRoot
            : joinPath(drive, records.windowsFolderName.empty() ? std::wstring(L"Windows")
                                                                : records.windowsFolderName);
    const auto either = [](const std::wstring& recorded, const std::wstring& documented) {
        return recorded.empty() ? documented : recorded;
    };
    const std::wstring defaultProgramFiles = joinPath(drive, L"Program Files");
    const std::wstring defaultProgramFilesX86 =
        bits64 ? joinPath(drive, L"Program Files (x86)") : defaultProgramFiles;
    const std::wstring anyProgramData = either(programData, joinPath(drive, L"ProgramData"));
    const std::wstring anyPublic = either(publicFolder, joinPath(drive, L"Users\\Public"));
    const std::wstring startMenu = joinPath(anyProgramData, L"Microsoft\\Windows\\Start Menu");
    const auto ifBits = [&](bool applies, const std::wstring& path) {
        return applies ? path : std::wstring();
    };

    FolderTable& table = machine.machineFolders;
    const std::wstring system32 =
        machine.systemRoot.empty() ? std::wstring() : joinPath(machine.systemRoot, L"System32");
    const std::wstring systemX86 =
        machine.systemRoot.empty() || !bitsKnown
            ? std::wstring()
            : joinPath(machine.systemRoot, bits64 ? L"SysWOW64" : L"System32");
    addFixedFolder(table, L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}", system32,
                   joinPath(windows, L"System32"));
    addFixedFolder(table, L"{D65231B0-B2F1-4857-A4CE-A8E7C6EA7D27}", systemX86,
                   ifBits(bitsKnown, joinPath(windows, bits64 ? L"SysWOW64" : L"System32")));
    addFixedFolder(table, L"{F38BF404-1D43-42F2-9305-67DE0B28FC23}", machine.systemRoot, windows);
    addFixedFolder(table, L"{905E63B6-C1BF-494E-B29C-65B732D3D21A}", programFiles,
                   defaultProgramFiles);
    addFixedFolder(table, L"{6D809377-6AF0-444B-8957-A3773F02200E}", programFiles64,
                   ifBits(bits64, defaultProgramFiles));
    addFixedFolder(table, L"{7C5A40EF-A0FB-4BFC-874A-C0F2E0B9FA8E}",
                   bits64 ? programFilesX86 : ifBits(bitsKnown, programFiles),
                   ifBits(bitsKnown, defaultProgramFilesX86));
    addFixedFolder(table, L"{F7F1ED05-9F6D-47A2-AAAE-29D317C6F066}", commonFiles,
                   joinPath(either(programFiles, defaultProgramFiles), L"Common Files"));
    addFixedFolder(
        table, L"{6365D5A7-0F0D-45E5-87F6-0DA56B6A4F7D}", commonFiles64,
        ifBits(bits64, joinPath(either(programFiles64, defaultProgramFiles), L"Common Files")));
    addFixedFolder(
        table, L"{DE974D24-D9C6-4D3E-BF91-F4455120B917}",
        bits64 ? commonFilesX86 : ifBits(bitsKnown, commonFiles),
        ifBits(bitsKnown, joinPath(bits64 ? either(programFilesX86, defaultProgramFilesX86)
                                          : either(programFiles, defaultProgramFiles),
                                   L"Common Files")));
    addFixedFolder(table, L"{62AB5D82-FDC1-4DC3-A9DD-070D1D495D97}", programData, anyProgramData);
    addFixedFolder(table, L"{DFDF76A2-C82A-4D63-906A-5644AC457385}", publicFolder, anyPublic);
    const auto common = [&](const wchar_t* name) {
        return software != nullptr ? shellFolder(hive, L"", name, variables) : std::wstring();
    };
    addFixedFolder(table, L"{0139D44E-6AFE-49F2-8690-3DAFCAE6FFB8}", common(L"Common Programs"),
                   joinPath(startMenu, L"Programs"));
    addFixedFolder(table, L"{A4115719-D62E-491D-AA7C-E74B8BE3B067}", common(L"Common Start Menu"),
                   startMenu);
    addFixedFolder(table, L"{C4AA340D-F20F-4863-AFEF-F87EF2E6BA25}", common(L"Common Desktop"),
                   joinPath(anyPublic, L"Desktop"));
    addFixedFolder(table, L"{ED4824AF-DCE4-45A8-81E2-FC7965083634}", common(L"Common Documents"),
                   joinPath(anyPublic, L"Documents"));

    if (software != nullptr) {
        machine.profileList = readProfileList(hive, variables);
    }
}

std::wstring currentControlSet(const RegistryKey& system) {
    RegistryKey select;
    std::uint32_t current = 0;
    if (regOpenKey(system, L"Select", registryKeyQueryValue, select) != ERROR_SUCCESS ||
        !regQueryDword(select, L"Current", current) || current == 0 || current > 999) {
        return {};
    }
    std::wstring name = L"ControlSet";
    appendDecimal(name, current, 3);
    return name;
}

std::wstring recordedComputerName(const RegistryKey& system, const std::wstring& controlSet) {
    if (controlSet.empty()) {
        return {};
    }
    return textAt(system, controlSet + L"\\Control\\ComputerName\\ComputerName", L"ComputerName");
}

FolderTable userFolderTable(const MachineRegistry& machine, const RegistryKey& userHive,
                            const std::wstring& profileFolder) {
    FolderTable table = machine.machineFolders;
    Variables variables = machine.variables;
    addVariable(variables, L"USERPROFILE", profileFolder);
    const std::wstring appData = shellFolder(userHive, userRegistryPrefix, L"AppData", variables);
    addVariable(variables, L"APPDATA", appData);
    addVariable(variables, L"LOCALAPPDATA",
                shellFolder(userHive, userRegistryPrefix, L"Local AppData", variables));
    const auto user = [&](const wchar_t* id, const wchar_t* name) {
        addFolder(table, id, shellFolder(userHive, userRegistryPrefix, name, variables));
    };
    addFolder(table, L"{5E6C858F-0E22-4760-9AFE-EA3317B67173}", profileFolder);
    addFolder(table, L"{3EB685DB-65F9-4CF6-A03A-E3EF65729F3D}", appData);
    user(L"{F1B32785-6FBA-4FCF-9D55-7B8E7F157091}", L"Local AppData");
    user(L"{A77F5D77-2E2B-44C3-A6A2-ABA601054A51}", L"Programs");
    user(L"{625B53C3-AB48-4EC1-BA1F-A1EF4146FC19}", L"Start Menu");
    user(L"{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}", L"Desktop");
    user(L"{FDD39AD0-238F-46AF-ADB4-6C85480369C7}", L"Personal");
    user(L"{374DE290-123F-4565-9164-39C4925E467B}", L"{374DE290-123F-4565-9164-39C4925E467B}");
    if (!appData.empty()) {
        addFolder(table, L"{9E3995AB-1F9C-4F13-B827-48B24B6C7174}",
                  joinPath(appData, L"Microsoft\\Internet Explorer\\Quick Launch\\User Pinned"));
    }
    return table;
}

} // namespace tidewell
