#include "sample/evidence_tree.h"

#include <fstream>

namespace tidewell::sample {

std::vector<std::uint8_t> registryText(const std::wstring& text) {
    std::vector<std::uint8_t> bytes;
    for (wchar_t unit : text + L'\0') {
        bytes.push_back(static_cast<std::uint8_t>(unit));
        bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(unit) >> 8));
    }
    return bytes;
}

std::vector<std::uint8_t> registryDword(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

HiveValueSpec textValue(const std::wstring& name, const std::wstring& text, std::uint32_t type) {
    return {name, type, registryText(text)};
}

HiveKeySpec& keyAt(HiveKeySpec& key, const std::wstring& path) {
    HiveKeySpec* current = &key;
    std::size_t at = 0;
    while (at < path.size()) {
        std::size_t end = path.find(L'\\', at);
        end = end == std::wstring::npos ? path.size() : end;
        const std::wstring part = path.substr(at, end - at);
        HiveKeySpec* next = nullptr;
        for (HiveKeySpec& subkey : current->subkeys) {
            if (subkey.name == part) {
                next = &subkey;
            }
        }
        if (next == nullptr) {
            current->subkeys.push_back({part, {}, {}, SubkeyListKind::HashLeaf, 500});
            next = &current->subkeys.back();
        }
        current = next;
        at = end + 1;
    }
    return *current;
}

HiveSpec softwareHive(const std::vector<EvidenceProfile>& profiles) {
    HiveSpec spec;
    HiveKeySpec& version = keyAt(spec.root, L"Microsoft\\Windows NT\\CurrentVersion");
    version.values = {textValue(L"SystemRoot", L"C:\\Windows"),
                      textValue(L"CurrentVersion", L"6.3"),
                      {L"CurrentMajorVersionNumber", 4, registryDword(10)},
                      {L"CurrentMinorVersionNumber", 4, registryDword(0)}};
    keyAt(spec.root, L"Microsoft\\Windows\\CurrentVersion").values = {
        textValue(L"ProgramFilesDir", L"C:\\Program Files"),
        textValue(L"ProgramFilesDir (x86)", L"C:\\Program Files (x86)"),
        textValue(L"ProgramW6432Dir", L"C:\\Program Files")};
    keyAt(spec.root, L"Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders").values = {
        textValue(L"Common Programs", L"%ProgramData%\\Microsoft\\Windows\\Start Menu\\Programs",
                  2)};
    HiveKeySpec& list = keyAt(spec.root, L"Microsoft\\Windows NT\\CurrentVersion\\ProfileList");
    list.values = {textValue(L"ProgramData", L"%SystemDrive%\\ProgramData", 2)};
    // The service accounts are listed as well, and are no users' profiles.
    keyAt(list, L"S-1-5-18").values = {
        textValue(L"ProfileImagePath", L"%systemroot%\\system32\\config\\systemprofile", 2)};
    for (const EvidenceProfile& profile : profiles) {
        keyAt(list, profile.sid).values = {textValue(L"ProfileImagePath", profile.imagePath, 2)};
    }
    return spec;
}

HiveSpec systemHive(std::uint32_t enablePrefetcher, const std::wstring& computerName) {
    HiveSpec spec;
    keyAt(spec.root, L"Select").values = {{L"Current", 4, registryDword(2)}};
    keyAt(spec.root,
          L"ControlSet001\\Control\\Session Manager\\Memory Management\\PrefetchParameters")
        .values = {{L"EnablePrefetcher", 4, registryDword(0)}};
    keyAt(spec.root,
          L"ControlSet002\\Control\\Session Manager\\Memory Management\\PrefetchParameters")
        .values = {{L"EnablePrefetcher", 4, registryDword(enablePrefetcher)}};
    if (!computerName.empty()) {
        keyAt(spec.root, L"ControlSet002\\Control\\ComputerName\\ComputerName").values = {
            textValue(L"ComputerName", computerName)};
    }
    return spec;
}

bool writeEvidenceFile(const std::filesystem::path& root, const std::string& relative,
                       const std::vector<std::uint8_t>& bytes) {
    std::string slashed = relative;
    for (char& c : slashed) {
        c = c == '\\' ? '/' : c;
    }
    const std::filesystem::path file = root / slashed;
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !error && out.good();
}

} // namespace tidewell::sample
