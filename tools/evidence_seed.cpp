// evidence-seed ROOT: writes a collected Windows system drive into ROOT with
// one record of every kind the outputs must carry: a count that is withheld,
// no run time, eight run times, several possible paths, a device path of
// Windows 7, a recorded path, another user's unresolvable folder id, a
// damaged file, a profile whose hive is missing, and names with quotes,
// backslashes, control characters, non-ASCII letters and a lone surrogate;
// and beside them the moderators' last runs (both moderators, both key
// layouts, a packaged application), a compatibility cache with an entry of
// each kind, an Amcache hive of both layouts, and the compatibility
// assistant's launch dictionary and both its databases (a path without its
// drive, one under a user's folder, one under a machine variable), and the
// taskbar's counts of each kind, commands typed into Run, and the
// Compatibility Assistant's store of a path and of removable media, and the
// shell's names of programs in a classes hive, and the search's recent
// programs with a file opened; and a user's Windows XP UserAssist entries
// and MUICache.
// Run times fall on both sides of the 2024 daylight-saving changes. All of
// it is made here; nothing is copied from real machines.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "amcache/sample/amcache_hives.h"
#include "bam/sample/bam_values.h"
#include "castore/sample/castore_key.h"
#include "compatcache/sample/compat_cache_values.h"
#include "featureusage/sample/featureusage_keys.h"
#include "muicache/sample/muicache_key.h"
#include "pca/sample/pca_files.h"
#include "prefetch/sample/prefetch_image_builder.h"
#include "prefetch/sample/xpress_huffman_encoder.h"
#include "recentapps/sample/recentapps_key.h"
#include "runmru/sample/runmru_key.h"
#include "sample/evidence_tree.h"
#include "userassist/sample/userassist_values.h"

namespace {

using namespace tidewell::sample;

constexpr std::uint64_t hour = 36000000000ULL;
constexpr std::uint64_t winter = 133497864000000000ULL;       // 2024-01-15 10:00 UTC
constexpr std::uint64_t summer = 133655112000000000ULL;       // 2024-07-15 10:00 UTC
constexpr std::uint64_t springBefore = 133563186000000000ULL; // 2024-03-31 00:30 UTC
constexpr std::uint64_t springAfter = 133563222000000000ULL;  // 2024-03-31 01:30 UTC
constexpr std::uint64_t autumnBefore = 133744626000000000ULL; // 2024-10-27 00:30 UTC
constexpr std::uint64_t autumnAfter = 133744662000000000ULL;  // 2024-10-27 01:30 UTC
constexpr std::uint32_t systemSerial = 0x96A49C74;
const std::wstring systemVolume = L"\\VOLUME{01d5f51ea48267ca-96a49c74}";
const std::wstring alice = L"S-1-5-21-4000000001-4000000002-4000000003-1001";
const std::wstring bob = L"S-1-5-21-4000000001-4000000002-4000000003-1002";
const std::wstring carol = L"S-1-5-21-4000000001-4000000002-4000000003-1003";
const std::wstring countKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                              L"UserAssist\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count";

PrefetchImageSpec program(std::uint32_t version, const std::wstring& name, std::uint32_t hash,
                          std::vector<std::uint64_t> runs, std::uint32_t count) {
    PrefetchImageSpec spec = programSpec(version, name, hash, std::move(runs), count);
    spec.volumes = {SampleVolume{systemVolume, 0x01D5F51EA48267CAULL, systemSerial}};
    spec.referencedFiles = {systemVolume + L"\\WINDOWS\\SYSTEM32\\NTDLL.DLL"};
    return spec;
}

std::vector<std::uint8_t> compressed(const std::vector<std::uint8_t>& image) {
    return wrapInMamContainer(compressXpressHuffman(image.data(), image.size()),
                              static_cast<std::uint32_t>(image.size()), true);
}

struct Seeded {
    std::filesystem::path drive;
    bool ok = true;

    void file(const std::string& relative, const std::vector<std::uint8_t>& bytes) {
        ok &= writeEvidenceFile(drive, relative, bytes);
    }
    void prefetch(const PrefetchImageSpec& spec, bool compress) {
        wchar_t hash[16];
        std::swprintf(hash, 16, L"%08X", static_cast<unsigned>(spec.pathHash));
        std::string name;
        for (wchar_t unit : spec.name + L"-" + hash + L".pf") {
            name.push_back(static_cast<char>(unit)); // the names here are ASCII
        }
        const std::vector<std::uint8_t> image = buildPrefetchImage(spec);
        file("Windows/Prefetch/" + name, compress ? compressed(image) : image);
    }
};

void seedPrefetch(Seeded& seeded) {
    PrefetchImageSpec notepad =
        program(30, L"NOTEPAD.EXE", 0xD8414F97, {springAfter, springBefore, winter}, 3);
    notepad.referencedFiles.push_back(systemVolume + L"\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE");
    seeded.prefetch(notepad, true);

    std::vector<std::uint64_t> eight;
    for (std::uint64_t i = 0; i < 8; ++i) {
        eight.push_back(autumnAfter + 30 * hour - i * 5 * hour);
    }
    eight[6] = autumnAfter;
    eight[7] = autumnBefore;
    PrefetchImageSpec calc = program(26, L"CALC.EXE", 0x77FDF17F, eight, 27);
    calc.referencedFiles.push_back(systemVolume + L"\\WINDOWS\\SYSTEM32\\CALC.EXE");
    seeded.prefetch(calc, false);

    // A count smaller than the runs it recorded is withheld. Its name's hash
    // is the one Windows computes over the device path it records, which
    // shows that \Device\HarddiskVolume3 was C:.
    PrefetchImageSpec shell =
        program(30, L"POWERSHELL.EXE", 0xCA1AE517, {summer, summer - 24 * hour}, 1);
    shell.referencedFiles.push_back(
        systemVolume + L"\\WINDOWS\\SYSTEM32\\WINDOWSPOWERSHELL\\V1.0\\POWERSHELL.EXE");
    shell.recordedPath =
        L"\\DEVICE\\HARDDISKVOLUME3\\WINDOWS\\SYSTEM32\\WINDOWSPOWERSHELL\\V1.0\\POWERSHELL.EXE";
    seeded.prefetch(shell, true);

    // Two loaded files carry the name and the file records neither.
    PrefetchImageSpec setup = program(30, L"SETUP.EXE", 0x0BADF00D, {winter - 30 * hour}, 1);
    setup.referencedFiles.push_back(systemVolume + L"\\USERS\\PUBLIC\\DOWNLOADS\\SETUP.EXE");
    setup.referencedFiles.push_back(systemVolume + L"\\PROGRAMDATA\\VENDOR\\CACHE\\SETUP.EXE");
    seeded.prefetch(setup, false);

    // Windows 10's own record of the program's path picks one of two.
    PrefetchImageSpec edge = program(31, L"MSEDGE.EXE", 0x3A1B2C4D, {summer + hour}, 12);
    edge.referencedFiles.push_back(systemVolume +
                                   L"\\PROGRAM FILES (X86)\\MICROSOFT\\EDGE\\MSEDGE.EXE");
    edge.referencedFiles.push_back(systemVolume + L"\\TEMP\\OLD\\MSEDGE.EXE");
    edge.recordedPath = L"\\DEVICE\\HARDDISKVOLUME3\\PROGRAM FILES (X86)\\MICROSOFT\\EDGE\\"
                        L"MSEDGE.EXE";
    seeded.prefetch(edge, true);

    // Windows 7 names the volume by its device path.
    PrefetchImageSpec paint = program(23, L"MSPAINT.EXE", 0x5D2A6F01, {winter + 2 * hour}, 4);
    paint.volumes = {
        SampleVolume{L"\\DEVICE\\HARDDISKVOLUME2", 0x01CB3C4D5E6F7081ULL, systemSerial}};
    paint.referencedFiles = {L"\\DEVICE\\HARDDISKVOLUME2\\WINDOWS\\SYSTEM32\\NTDLL.DLL",
                             L"\\DEVICE\\HARDDISKVOLUME2\\WINDOWS\\SYSTEM32\\MSPAINT.EXE"};
    seeded.prefetch(paint, false);

    // The clock was set back between two runs: the newer slot holds the
    // older time.
    PrefetchImageSpec conhost =
        program(30, L"CONHOST.EXE", 0x0C6456FB, {summer - 2 * hour, summer, summer - 5 * hour}, 3);
    conhost.referencedFiles.push_back(systemVolume + L"\\WINDOWS\\SYSTEM32\\CONHOST.EXE");
    seeded.prefetch(conhost, true);

    // A damaged container: counted, never hidden.
    seeded.file("Windows/Prefetch/DAMAGED.EXE-00000000.pf",
                {'M', 'A', 'M', 0x84, 0x00, 0x10, 0, 0, 1, 2, 3, 4, 5, 6});
}

HiveSpec userHive(const std::vector<std::pair<std::wstring, std::vector<std::uint8_t>>>& entries) {
    HiveSpec spec;
    HiveKeySpec& count = keyAt(spec.root, countKey);
    for (const auto& [name, data] : entries) {
        count.values.push_back({rot13(name), 3, data});
    }
    keyAt(spec.root, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders")
        .values = {
        textValue(L"AppData", L"%USERPROFILE%\\AppData\\Roaming", 2),
        textValue(L"Programs", L"%APPDATA%\\Microsoft\\Windows\\Start Menu\\Programs", 2)};
    return spec;
}

void seedUsers(Seeded& seeded) {
    const std::wstring lone(1, static_cast<wchar_t>(0xD800));
    const std::wstring astral = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    HiveSpec aliceHive = userHive({
        {L"C:\\Program Files\\Contoso\\Editor\\editor.exe",
         userAssistData(14, 31, 3725000, springAfter)},
        {L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\mspaint.exe",
         userAssistData(3, 4, 95000, autumnBefore)},
        {L"C:\\Tools\\say \"hi\"\\na\u00EFve caf\u00E9 \u65E5\u672C " + astral + L".exe",
         userAssistData(2, 2, 1000, winter)},
        {L"C:\\Odd\\tab\there\x01"
         L"bell\x07"
         L"end.exe",
         userAssistData(1, 1, 500, summer)},
        {L"C:\\Odd\\lone" + lone + L"surrogate.exe", userAssistData(5, 5, 700, summer)},
        {L"UEME_CTLSESSION", std::vector<std::uint8_t>(1612, 0)},
    });
    addFeatureUsageCounts(aliceHive.root, L"AppLaunch",
                          {{L"Microsoft.WindowsCalculator_8wekyb3d8bbwe!App", 4}});
    addFeatureUsageCounts(aliceHive.root, L"AppSwitched",
                          {{L"C:\\Program Files\\Contoso\\Editor\\editor.exe", 31}});
    addFeatureUsageCounts(
        aliceHive.root, L"ShowJumpView",
        {{L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\WindowsPowerShell\\v1.0\\powershell.exe", 2}});
    addCompatibilityStore(aliceHive.root, {L"C:\\Program Files\\Contoso\\Editor\\editor.exe",
                                           L"SIGN.MEDIA=1A2B3C setup.exe"});
    seeded.file("Users/alice/NTUSER.DAT", writeHive(aliceHive));
    HiveSpec aliceClasses;
    addMuiCache(
        aliceClasses.root,
        {{L"C:\\Program Files\\Contoso\\Editor\\editor.exe", L"Contoso Editor", L"Contoso \"Ltd\""},
         {L"C:\\Users\\alice\\Downloads\\renamed.exe", L"Password Dumper", L""}});
    seeded.file("Users/alice/AppData/Local/Microsoft/Windows/UsrClass.dat",
                writeHive(aliceClasses));
    HiveSpec bobHive = userHive({
        {L"{0762D272-C50A-4BB0-A382-697DCD729B80}\\bob\\Downloads\\tool.exe",
         userAssistData(2, 2, 40000, winter + 5 * hour)},
        {L"{A77F5D77-2E2B-44C3-A6A2-ABA601054A51}\\Accessories\\Remote Desktop.lnk",
         userAssistData(1, 1, 4000, summer - 3 * hour)},
        {L"D:\\Portable\\archiver.exe", userAssistData(6, 9, 61000, 0)},
    });
    addRunMru(bobHive.root, {L"C:\\Users\\bob\\Downloads\\tool.exe", L"cmd", L"regedit"});
    addRecentApps(bobHive.root, {{L"{DA8DC440-0FAA-417D-8AF4-8F4B2EB50409}",
                                  L"D:\\Portable\\archiver.exe",
                                  L"",
                                  3,
                                  summer - 2 * hour,
                                  {{L"loot.zip", L"D:\\loot.zip", summer - hour}}}});
    // bob's hive came to this machine from Windows XP: its older UserAssist
    // entries and MUICache stand beside the newer ones.
    HiveKeySpec& xpCount = keyAt(bobHive.root, L"Software\\Microsoft\\Windows\\CurrentVersion\\"
                                               L"Explorer\\UserAssist\\"
                                               L"{75048700-EF1F-11D0-9888-006097DEACF9}\\Count");
    xpCount.values = {{rot13(L"UEME_RUNPATH:C:\\WINDOWS\\system32\\NOTEPAD.EXE"), 3,
                       userAssistXpData(1, 7, winter - 24 * hour)},
                      {rot13(L"UEME_RUNPIDL:%csidl2%\\Accessories\\Paint.lnk"), 3,
                       userAssistXpData(1, 6, winter - 25 * hour)},
                      {rot13(L"UEME_RUNPATH"), 3, userAssistXpData(1, 9, winter - 24 * hour)}};
    addXpMuiCache(bobHive.root, {{L"D:\\Portable\\archiver.exe", L"Archiver", L""}});
    seeded.file("Users/bob/NTUSER.DAT", writeHive(bobHive));
    // carol is listed but her hive was not collected.
}

HiveSpec systemWithRecords() {
    HiveSpec system = systemHive(3, L"EVIDENCE-PC");
    bamUserKey(system, L"ControlSet002", L"bam", alice).values = {
        {L"Version", 4, registryDword(1)},
        {L"\\Device\\HarddiskVolume3\\Windows\\System32\\WindowsPowerShell\\v1.0\\"
         L"powershell.exe",
         3, bamData(summer + 2 * hour)},
        {L"Microsoft.WindowsCalculator_8wekyb3d8bbwe", 3, bamData(winter + hour)},
        {L"SequenceNumber", 4, registryDword(4)}};
    bamUserKey(system, L"ControlSet002", L"dam", bob, true).values = {
        {L"\\Device\\HarddiskVolume3\\Users\\bob\\Downloads\\tool.exe", 3,
         bamData(winter + 6 * hour)}};
    compatCacheKey(system, L"ControlSet002").values = {
        {L"AppCompatCache", 3,
         compatCacheValue(
             CacheLayoutSpec::Windows10Creators,
             {{L"C:\\Users\\bob\\Downloads\\tool.exe",
               winter - 48 * hour,
               0,
               0,
               {0, 0, 0, 0, 1, 0, 0, 0},
               L""},
              {L"SYSVOL\\Windows\\System32\\notepad.exe", springBefore - 100 * hour, 0, 0, {}, L""},
              {L"0000000b\t0006000200000000\t000a000000000000\t8664\t"
               L"Microsoft.WindowsCalculator\t8wekyb3d8bbwe\tneutral",
               0,
               0,
               0,
               {},
               L""}},
             1024)}};
    return system;
}

HiveSpec amcache() {
    return amcacheHive(
        {{L"tool.exe|6e1e2a3b4c5d6e7f", L"c:\\users\\bob\\downloads\\tool.exe", L"tool.exe",
          L"0000" + std::wstring(40, L'7'), L"contoso", L"2.1.0.0", L"03/01/2023 09:15:00", 81920}},
        {{L"{4a6e0000-0000-0000-0000-000000000000}", L"10000002a1",
          L"c:\\program files\\contoso\\editor\\editor.exe", L"0000" + std::wstring(40, L'e'),
          winter - 400 * hour, winter - 900 * hour, 1600000000, 123456}});
}

void seedPca(Seeded& seeded) {
    seeded.file("Windows/appcompat/pca/PcaAppLaunchDic.txt",
                pcaLaunchDictionary({{L"C:\\Program Files\\Contoso\\Editor\\editor.exe",
                                      L"2024-03-31 01:30:00.250"},
                                     {L"\\Downloads\\setup.exe", L"2024-01-15 09:59:59.999"}}));
    const PcaEventLine exited{L"2024-07-15 10:00:00.000",
                              L"2",
                              L"%USERPROFILE%\\Downloads\\tool.exe",
                              L"tool",
                              L"Contoso \"Tools\"",
                              L"2.1.0.0",
                              L"0006" + std::wstring(40, L'7'),
                              L"Abnormal process exit with code 0xc0000005"};
    seeded.file("Windows/appcompat/pca/PcaGeneralDb0.txt", pcaGeneralDatabase({exited}));
    PcaEventLine older = exited;
    older.time = L"2024-01-15 10:00:00.000";
    older.recordType = L"3";
    older.path = L"%ProgramFiles%\\Contoso\\Editor\\editor.exe";
    older.product = older.company = older.version = L"";
    older.exitText = L"";
    seeded.file("Windows/appcompat/pca/PcaGeneralDb1.txt", pcaGeneralDatabase({older}));
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fputs("usage: evidence-seed ROOT\n", stderr);
        return 2;
    }
    Seeded seeded{std::filesystem::path(argv[1]) / "C"};
    seeded.file("Windows/System32/config/SOFTWARE",
                writeHive(softwareHive({{alice, L"C:\\Users\\alice"},
                                        {bob, L"%SystemDrive%\\Users\\bob"},
                                        {carol, L"C:\\Users\\carol"}})));
    seeded.file("Windows/System32/config/SYSTEM", writeHive(systemWithRecords()));
    seeded.file("Windows/AppCompat/Programs/Amcache.hve", writeHive(amcache()));
    seedPrefetch(seeded);
    seedUsers(seeded);
    seedPca(seeded);
    if (!seeded.ok) {
        std::fputs("evidence-seed: a file could not be written\n", stderr);
        return 1;
    }
    return 0;
}
