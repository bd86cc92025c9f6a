// Fills a Windows machine (in practice a throw-away Wine prefix) with sample
// launch history for the demo and the window's tests: Prefetch files, plain
// and compressed, that resolve onto drive C: or show each way a path can
// fail, and UserAssist values for the running user and for another user's
// loaded hive, with a third profile that is not loaded. Everything is made
// here; nothing is copied from real machines.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "prefetch/sample/prefetch_image_builder.h"
#include "prefetch/sample/xpress_huffman_encoder.h"
#include "userassist/sample/userassist_values.h"

namespace {

using tidewell::sample::buildPrefetchImage;
using tidewell::sample::PrefetchImageSpec;

constexpr std::uint64_t hour = 36000000000ULL;
constexpr std::uint64_t day = 24 * hour;
const wchar_t otherUser[] = L"S-1-5-21-1111111111-2222222222-3333333333-1002";
const wchar_t absentUser[] = L"S-1-5-21-1111111111-2222222222-3333333333-1003";
const wchar_t userAssistCount[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\"
    L"{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count";

std::uint64_t now() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

std::wstring onDriveC(const std::wstring& rest) {
    DWORD serial = 0;
    GetVolumeInformationW(L"C:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
    wchar_t prefix[64];
    std::swprintf(prefix, 64, L"\\VOLUME{01d7a1b2c3d4e5f6-%08lX}",
                  static_cast<unsigned long>(serial));
    return prefix + rest;
}

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    FILE* out = _wfopen(path.wstring().c_str(), L"wb");
    if (out == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && written;
}

std::vector<std::uint8_t> compressed(const std::vector<std::uint8_t>& image) {
    return tidewell::sample::wrapInMamContainer(
        tidewell::sample::compressXpressHuffman(image.data(), image.size()),
        static_cast<std::uint32_t>(image.size()), true);
}

PrefetchImageSpec program(std::uint32_t version, const std::wstring& name, std::uint32_t hash,
                          std::vector<std::uint64_t> runs, std::uint32_t count) {
    PrefetchImageSpec spec =
        tidewell::sample::programSpec(version, name, hash, std::move(runs), count);
    spec.referencedFiles = {onDriveC(L"\\WINDOWS\\SYSTEM32\\NTDLL.DLL"),
                            onDriveC(L"\\WINDOWS\\SYSTEM32\\KERNEL32.DLL")};
    return spec;
}

bool seedPrefetch(const std::filesystem::path& folder) {
    const std::uint64_t t = now();
    std::filesystem::create_directories(folder);
    bool ok = true;

    PrefetchImageSpec notepad =
        program(30, L"NOTEPAD.EXE", 0xD8414F97, {t - 2 * hour, t - 3 * day, t - 9 * day}, 3);
    notepad.referencedFiles.push_back(onDriveC(L"\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE"));
    ok &= writeFile(folder / L"NOTEPAD.EXE-D8414F97.pf", compressed(buildPrefetchImage(notepad)));

    std::vector<std::uint64_t> eight;
    for (int i = 0; i < 8; ++i) {
        eight.push_back(t - static_cast<std::uint64_t>(i + 1) * 5 * hour);
    }
    PrefetchImageSpec calc = program(26, L"CALC.EXE", 0x77FDF17F, eight, 27);
    calc.referencedFiles.push_back(onDriveC(L"\\WINDOWS\\SYSTEM32\\CALC.EXE"));
    ok &= writeFile(folder / L"CALC.EXE-77FDF17F.pf", buildPrefetchImage(calc));

    // A count smaller than the runs it recorded is withheld, not shown.
    PrefetchImageSpec shell =
        program(30, L"POWERSHELL.EXE", 0x59E2D3A1, {t - 6 * hour, t - day}, 1);
    shell.referencedFiles.push_back(
        onDriveC(L"\\WINDOWS\\SYSTEM32\\WINDOWSPOWERSHELL\\V1.0\\POWERSHELL.EXE"));
    ok &= writeFile(folder / L"POWERSHELL.EXE-59E2D3A1.pf", compressed(buildPrefetchImage(shell)));

    // Two loaded files carry the name: both are listed, neither chosen.
    PrefetchImageSpec setup = program(30, L"SETUP.EXE", 0x0BADF00D, {t - 30 * day}, 1);
    setup.referencedFiles.push_back(onDriveC(L"\\USERS\\PUBLIC\\DOWNLOADS\\SETUP.EXE"));
    setup.referencedFiles.push_back(onDriveC(L"\\PROGRAMDATA\\VENDOR\\CACHE\\SETUP.EXE"));
    ok &= writeFile(folder / L"SETUP.EXE-0BADF00D.pf", buildPrefetchImage(setup));

    // A volume this machine does not have.
    PrefetchImageSpec backup = program(23, L"BACKUP.EXE", 0x1234ABCD, {t - 45 * day}, 4);
    backup.referencedFiles.push_back(L"\\VOLUME{01d7a1b2c3d4e5f6-DEADBEEF}\\TOOLS\\BACKUP.EXE");
    ok &= writeFile(folder / L"BACKUP.EXE-1234ABCD.pf", buildPrefetchImage(backup));

    // A name cut by the 60-byte field.
    PrefetchImageSpec longName =
        program(30, L"CONTOSOINVENTORYSYNCHRONISATI", 0x4C0D6E11, {t - 4 * day}, 2);
    longName.referencedFiles.push_back(
        onDriveC(L"\\PROGRAM FILES\\CONTOSO\\CONTOSOINVENTORYSYNCHRONISATIONAGENT.EXE"));
    ok &= writeFile(folder / L"CONTOSOINVENTORYSYNCHRONISATI-4C0D6E11.pf",
                    compressed(buildPrefetchImage(longName)));

    // A damaged container: counted, never hidden.
    ok &= writeFile(folder / L"DAMAGED.EXE-00000000.pf",
                    {'M', 'A', 'M', 0x84, 0x00, 0x10, 0, 0, 1, 2, 3, 4, 5, 6});
    ok &= writeFile(folder / L"Layout.ini", {'[', 'x', ']'});
    return ok;
}

bool setBinary(HKEY root, const std::wstring& key, const std::wstring& name,
               const std::vector<std::uint8_t>& data) {
    HKEY opened = nullptr;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                        nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool ok = RegSetValueExW(opened, tidewell::sample::rot13(name).c_str(), 0, REG_BINARY,
                                   data.data(), static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    RegCloseKey(opened);
    return ok;
}

bool seedUserAssist() {
    using tidewell::sample::userAssistData;
    const std::uint64_t t = now();
    bool ok = true;
    ok &= setBinary(HKEY_CURRENT_USER, userAssistCount,
                    L"C:\\Program Files\\Contoso\\Editor\\editor.exe",
                    userAssistData(14, 31, 3725000, t - 5 * hour));
    ok &= setBinary(HKEY_CURRENT_USER, userAssistCount,
                    L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\mspaint.exe",
                    userAssistData(3, 4, 95000, t - 2 * day));
    ok &= setBinary(HKEY_CURRENT_USER, userAssistCount, L"Microsoft.Windows.Explorer",
                    userAssistData(0, 0, 0, t - 7 * hour));
    ok &= setBinary(HKEY_CURRENT_USER, userAssistCount, L"UEME_CTLSESSION",
                    std::vector<std::uint8_t>(1612, 0));
    const std::wstring other = std::wstring(otherUser) + L"\\" + userAssistCount;
    ok &= setBinary(HKEY_USERS, other,
                    L"{A77F5D77-2E2B-44C3-A6A2-ABA601054A51}\\Accessories\\Remote Desktop.lnk",
                    userAssistData(2, 2, 40000, t - 3 * day));
    ok &= setBinary(HKEY_USERS, other, L"\\\\fileserver\\tools\\inventory.exe",
                    userAssistData(1, 1, 5000, t - 6 * day));
    ok &=
        setBinary(HKEY_USERS, other, L"D:\\Portable\\archiver.exe", userAssistData(6, 9, 61000, 0));
    for (const wchar_t* sid : {otherUser, absentUser}) {
        HKEY key = nullptr;
        const std::wstring path =
            std::wstring(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\") + sid;
        ok &= RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    return ok;
}

} // namespace

int wmain() {
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        std::fputs("demo-seed: no Windows directory\n", stderr);
        return 1;
    }
    const bool prefetch = seedPrefetch(std::filesystem::path(windows) / L"Prefetch");
    const bool userAssist = seedUserAssist();
    std::printf("demo-seed: Prefetch %s, UserAssist %s\n", prefetch ? "written" : "FAILED",
                userAssist ? "written" : "FAILED");
    return prefetch && userAssist ? 0 : 1;
}
