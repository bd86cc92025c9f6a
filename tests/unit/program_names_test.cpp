// How a program's file is named by its records, brought to one form: the
// Prefetch hash functions against the values the published format
// description's own functions give, the forms a path is written in, and a
// packaged application's names.
#include <gtest/gtest.h>

#include "programs/prefetch_hash.h"
#include "programs/program_path.h"

namespace tidewell {
namespace {

std::wstring joinKeyOfPath(std::wstring_view path, const PathVariables& variables) {
    std::wstring key = L"kept";
    if (!appendJoinKey(path, variables, key)) {
        EXPECT_EQ(key, L"kept") << "a path without a key leaves the text as it was";
        return {};
    }
    return key.substr(4);
}

TEST(PrefetchHash, EachFunctionGivesTheValuesWindowsPutsInTheFileName) {
    // The XP example of the format description, and two of its Prefetch
    // files: Windows XP's CMD.EXE and Windows 7's CALC.EXE in the corpus.
    EXPECT_EQ(prefetchHash(PrefetchHashFunction::WindowsXp,
                           L"\\DEVICE\\HARDDISKVOLUME1\\WINDOWS\\NOTEPAD.EXE"),
              0x189578DAu);
    EXPECT_EQ(prefetchHash(PrefetchHashFunction::WindowsXp,
                           L"\\DEVICE\\HARDDISKVOLUME1\\WINDOWS\\SYSTEM32\\CMD.EXE"),
              0x087B4001u);
    EXPECT_EQ(prefetchHash(PrefetchHashFunction::WindowsVista,
                           L"\\DEVICE\\HARDDISKVOLUME2\\WINDOWS\\SYSTEM32\\CALC.EXE"),
              0x77FDF17Fu);
    // The 2008 function, eight bytes at a time, over a path long enough to
    // run its block loop and its tail, and over one too short for a block.
    EXPECT_EQ(prefetchHash(PrefetchHashFunction::Windows2008,
                           L"\\DEVICE\\HARDDISKVOLUME2\\TOOLS\\RCLONE.EXE"),
              0xC111504Fu);
    EXPECT_EQ(prefetchHash(PrefetchHashFunction::Windows2008, L"AB.EXE"), 0xE9328CD6u);
    EXPECT_EQ(prefetchHash(PrefetchHashFunction::WindowsXp, L"AB.EXE"), 0x081D14B3u);
    // The Windows 10 file of the corpus names its path; both later functions agree on it.
    const wchar_t shell[] =
        L"\\DEVICE\\HARDDISKVOLUME3\\WINDOWS\\SYSTEM32\\WINDOWSPOWERSHELL\\V1.0\\POWERSHELL.EXE";
    EXPECT_EQ(prefetchHash(PrefetchHashFunction::WindowsVista, shell), 0xCA1AE517u);
    EXPECT_EQ(prefetchHash(PrefetchHashFunction::Windows2008, shell), 0xCA1AE517u);
}

TEST(PrefetchHash, TheFormatVersionSaysWhichFunctionsNamedAFile) {
    const auto listed = [](std::uint32_t version) {
        const HashFunctions functions = hashFunctionsFor(version);
        return std::vector<PrefetchHashFunction>(functions.begin(), functions.end());
    };
    EXPECT_EQ(listed(17), std::vector<PrefetchHashFunction>{PrefetchHashFunction::WindowsXp});
    for (std::uint32_t version : {23u, 26u, 30u, 31u}) {
        EXPECT_EQ(listed(version),
                  (std::vector<PrefetchHashFunction>{PrefetchHashFunction::WindowsVista,
                                                     PrefetchHashFunction::Windows2008}));
    }
    // Only A to Z are made capitals, as the kernel's path is.
    EXPECT_EQ(capitalsOf(L"c:\\caf\u00e9\\x.exe"), L"C:\\CAF\u00e9\\X.EXE");
}

TEST(ProgramPath, EveryWrittenFormOfOnePathGivesOneKey) {
    const PathVariables variables = {{L"SystemRoot", L"C:\\Windows"},
                                     {L"ProgramFiles", L"C:\\Program Files"}};
    const std::wstring key = L"C:\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE";
    for (const wchar_t* written :
         {L"C:\\Windows\\System32\\notepad.exe", L"c:\\windows\\system32\\NOTEPAD.EXE",
          L"\\??\\C:\\Windows\\System32\\notepad.exe", L"\\\\?\\C:\\Windows\\System32\\notepad.exe",
          L"%SystemRoot%\\System32\\notepad.exe", L"%systemroot%\\system32\\notepad.exe"}) {
        EXPECT_EQ(joinKeyOfPath(written, variables), key) << written;
    }
    EXPECT_EQ(joinKeyOfPath(L"\\\\?\\UNC\\server\\share\\x.exe", variables),
              L"\\\\SERVER\\SHARE\\X.EXE");
    EXPECT_EQ(joinKeyOfPath(L"%ProgramFiles%\\App\\app.exe", variables),
              L"C:\\PROGRAM FILES\\APP\\APP.EXE");
    // Text that does not name a file by a drive or share has no key: a
    // device path waits for its volume, a variable not known stays unplaced.
    EXPECT_EQ(joinKeyOfPath(L"\\Device\\HarddiskVolume3\\x.exe", variables), L"");
    EXPECT_EQ(joinKeyOfPath(L"\\VOLUME{01d5f51ea48267ca-96a49c74}\\X.EXE", variables), L"");
    EXPECT_EQ(joinKeyOfPath(L"%Unknown%\\x.exe", variables), L"");
    EXPECT_EQ(joinKeyOfPath(L"Microsoft.Windows.Explorer", variables), L"");
    EXPECT_EQ(joinKeyOfPath(L"", variables), L"");
}

TEST(ProgramPath, ADevicePathSplitsIntoItsDeviceAndThePathOnIt) {
    std::wstring_view device;
    std::wstring_view rest;
    ASSERT_TRUE(splitDevicePath(L"\\Device\\HarddiskVolume3\\Users\\bob\\tool.exe", device, rest));
    EXPECT_EQ(device, L"\\Device\\HarddiskVolume3");
    EXPECT_EQ(rest, L"\\Users\\bob\\tool.exe");
    EXPECT_FALSE(splitDevicePath(L"\\Device\\HarddiskVolume3", device, rest));
    EXPECT_FALSE(splitDevicePath(L"\\Device\\HarddiskVolume3\\", device, rest));
    EXPECT_FALSE(splitDevicePath(L"C:\\Device\\x.exe", device, rest));
    EXPECT_FALSE(splitDevicePath(L"\\Device\\", device, rest));
}

TEST(ProgramPath, APackagedApplicationIsNamedByItsFamilyInEveryForm) {
    const std::wstring family = L"Microsoft.WindowsCalculator_8wekyb3d8bbwe";
    EXPECT_EQ(packageFamilyOf(family), family);
    EXPECT_EQ(packageFamilyOf(L"Microsoft.WindowsCalculator_8wekyb3d8bbwe!App"), family);
    EXPECT_EQ(packageFamilyOf(L"Microsoft.WindowsCalculator_10.1906.55.0_x64__8wekyb3d8bbwe"),
              family);
    EXPECT_EQ(packageFamilyOf(L"0000000b\t0006000200000000\t000a000000000000\t8664\t"
                              L"Microsoft.WindowsCalculator\t8wekyb3d8bbwe\tneutral"),
              family);
    // Ids that are not packages, and names that only look like them.
    for (const wchar_t* other :
         {L"Microsoft.Windows.Explorer", L"{6D809377-6AF0-444B-8957-A3773F02200E}\\x.exe",
          L"Name_short", L"Name_8WEKYB3D8BBWE", L"Na me_8wekyb3d8bbwe", L"a_b_c_8wekyb3d8bbwe", L"",
          L"\t\t"}) {
        EXPECT_EQ(packageFamilyOf(other), L"") << other;
    }
}

} // namespace
} // namespace tidewell
