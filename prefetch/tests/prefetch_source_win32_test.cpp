// The Prefetch source through the real win32 backend, under Wine in the
// test's throw-away prefix: files in C:\windows\Prefetch, a referenced path
// on drive C: that resolves by its serial, and the set-up probe reading the
// registry.
#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "prefetch/prefetch_counters.h"
#include "prefetch/prefetch_setup.h"
#include "prefetch/prefetch_source.h"
#include "prefetch/sample/prefetch_image_builder.h"
#include "prefetch/sample/xpress_huffman_encoder.h"
#include "support/corpus_files.h"
#include "support/record_details.h"
#include "support/this_machine.h"

namespace tidewell {
namespace {

std::wstring windowsDirectory() {
    wchar_t buffer[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
    return std::wstring(buffer, length);
}

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    FILE* out = _wfopen(path.wstring().c_str(), L"wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
}

std::wstring volumePathOnC(const std::wstring& rest) {
    DWORD serial = 0;
    EXPECT_TRUE(GetVolumeInformationW(L"C:\\", nullptr, 0, &serial, nullptr, nullptr, nullptr, 0));
    wchar_t text[64];
    std::swprintf(text, 64, L"\\VOLUME{01d2a3b4c5d6e7f8-%08lX}",
                  static_cast<unsigned long>(serial));
    return text + rest;
}

std::vector<std::uint8_t> imageNamed(const std::wstring& name, const std::wstring& referenced) {
    sample::PrefetchImageSpec spec;
    spec.name = name;
    spec.runTimeSlots = {133500000000000000ULL};
    spec.alternateRunCount = 1;
    spec.referencedFiles = {volumePathOnC(L"\\WINDOWS\\SYSTEM32\\NTDLL.DLL"), referenced};
    return sample::buildPrefetchImage(spec);
}

TEST(PrefetchSourceWin32, AFolderOfCorpusAndBuiltFilesUnderWine) {
    const std::filesystem::path prefetch = std::filesystem::path(windowsDirectory()) / L"Prefetch";
    std::filesystem::remove_all(prefetch);
    std::filesystem::create_directories(prefetch);

    const std::vector<std::uint8_t> notepad =
        imageNamed(L"NOTEPAD.EXE", volumePathOnC(L"\\WINDOWS\\NOTEPAD.EXE"));
    writeFile(prefetch / L"NOTEPAD.EXE-1A2B3C4D.pf", notepad);
    const std::vector<std::uint8_t> calc =
        imageNamed(L"CALC.EXE", volumePathOnC(L"\\\\WINDOWS\\SYSTEM32\\CALC.EXE"));
    writeFile(prefetch / L"CALC.EXE-00000001.pf",
              sample::wrapInMamContainer(sample::compressXpressHuffman(calc.data(), calc.size()),
                                         static_cast<std::uint32_t>(calc.size()), true));
    std::size_t corpusCount = 0;
    for (const auto& file : testing::corpusFiles("prefetch")) {
        writeFile(prefetch / (std::to_wstring(corpusCount++) + L"-" + file.filename().wstring()),
                  testing::readWholeFile(file));
    }

    testing::OpenedMachine opened;
    scanPrefetch(opened.machine, opened.results);
    const RecordList& records = opened.results.records;
    const ScanTally& tally = opened.results.tally;

    EXPECT_EQ(tally[prefetchDirUnreadable], 0u);
    EXPECT_EQ(tally[prefetchListingStopped], 0u);
    EXPECT_EQ(tally[prefetchSeen], corpusCount + 2);
    EXPECT_EQ(tally[prefetchSeen], tally[prefetchUnreadable] + tally[prefetchDecompressFailed] +
                                       tally[prefetchNotPrefetch] + tally[prefetchMalformed] +
                                       tally[prefetchUnknownVersion] + tally[prefetchParsed]);
    EXPECT_EQ(records.size(), tally[prefetchParsed]);
    EXPECT_EQ(tally[prefetchDecompressFailed], 0u) << "every compressed corpus file unpacks";
    EXPECT_EQ(tally[prefetchNotPrefetch], corpusCount == 0 ? 0u : 1u);
    EXPECT_EQ(records.size(), corpusCount == 0 ? 2u : corpusCount + 1);

    int found = 0;
    for (const LaunchRecord& record : records) {
        if (record.name == L"NOTEPAD.EXE" &&
            record.recordFile.find(L"1A2B3C4D") != std::wstring::npos) {
            ++found;
            EXPECT_EQ(record.pathStatus, PathStatus::Resolved);
            EXPECT_EQ(record.path, L"C:\\WINDOWS\\NOTEPAD.EXE");
        }
        if (record.name == L"CALC.EXE" && testing::prefetchOf(record).formatVersion == 30 &&
            testing::prefetchOf(record).pathHash == 0x1A2B3C4D) {
            ++found;
            EXPECT_EQ(record.pathStatus, PathStatus::Resolved);
            EXPECT_EQ(record.path, L"C:\\WINDOWS\\SYSTEM32\\CALC.EXE");
        }
    }
    EXPECT_EQ(found, 2);
    std::filesystem::remove_all(prefetch);
}

const wchar_t parametersKey[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management\\PrefetchParameters";

// The version the system states in its registry, as major * 100 + minor: an
// independent account of what RtlGetVersion should say.
unsigned versionFromRegistry() {
    const wchar_t* key = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    DWORD major = 0;
    DWORD size = sizeof major;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, L"CurrentMajorVersionNumber", RRF_RT_REG_DWORD,
                     nullptr, &major, &size) == ERROR_SUCCESS) {
        return major * 100;
    }
    wchar_t text[16] = {};
    size = sizeof text;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, L"CurrentVersion", RRF_RT_REG_SZ, nullptr, text,
                     &size) != ERROR_SUCCESS) {
        return 0;
    }
    unsigned whole = 0;
    unsigned part = 0;
    std::swscanf(text, L"%u.%u", &whole, &part);
    return whole * 100 + part;
}

TEST(PrefetchSourceWin32, TheProbeReadsTheRealRegistryAndToken) {
    const std::filesystem::path prefetch = std::filesystem::path(windowsDirectory()) / L"Prefetch";
    std::filesystem::create_directories(prefetch);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, parametersKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD bootOnly = 2;
    ASSERT_EQ(RegSetValueExW(key, L"EnablePrefetcher", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&bootOnly), sizeof bootOnly),
              ERROR_SUCCESS);
    ScanFacts facts = testing::probeThisMachine();
    EXPECT_EQ(facts[enablePrefetcherPresent].value, 1u);
    EXPECT_EQ(facts[enablePrefetcherValue].value, 2u);
    EXPECT_EQ(facts[prefetchEnabled].value, 0u);
    EXPECT_EQ(facts[prefetchDirReadable].value, 1u);
    EXPECT_TRUE(facts.elevated) << "Wine reports its processes elevated";
    EXPECT_EQ(facts[prefetchRetentionLimit].value, versionFromRegistry() >= 602 ? 1024u : 128u);

    RegDeleteValueW(key, L"EnablePrefetcher");
    RegCloseKey(key);
    facts = testing::probeThisMachine();
    EXPECT_EQ(facts[enablePrefetcherPresent].value, 0u);
    EXPECT_EQ(facts[prefetchEnabled].value, 1u);
    std::filesystem::remove_all(prefetch);
}

} // namespace
} // namespace tidewell
