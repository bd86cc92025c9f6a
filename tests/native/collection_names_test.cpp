// The collector's names and its own files, read apart from any collection:
// each stored part decoded or kept as stored and counted, each device told
// apart, each time told by its size, each host name compared.
#include <gtest/gtest.h>

#include "machine/collection_metadata.h"
#include "machine/collection_names.h"
#include "report/host_names.h"

namespace tidewell {
namespace {

TEST(CollectionNames, StoredPartsDecodeToTheirOriginalNames) {
    struct Case {
        const char* stored;
        const wchar_t* name;
    };
    const Case cases[] = {
        {"C%3A", L"C:"},
        {"%5C%5C.%5CC%3A", L"\\\\.\\C:"},
        {"%5c%5c.%5cc%3a", L"\\\\.\\c:"}, // either case of hexadecimal digit
        {"DOCKER%20DESKTOP%20INSTALLER.EXE-43B60C6A.pf",
         L"DOCKER DESKTOP INSTALLER.EXE-43B60C6A.pf"},
        {"Windows", L"Windows"},
        {"caf%C3%A9.exe", L"caf\u00e9.exe"},
        {"caf\xc3\xa9.exe", L"caf\u00e9.exe"}, // UTF-8 the collector left as it was
        {"100%25", L"100%"},
        {"", L""},
    };
    for (const Case& c : cases) {
        std::wstring name;
        EXPECT_TRUE(decodeStoredName(c.stored, name)) << c.stored;
        EXPECT_EQ(name, c.name) << c.stored;
    }
}

TEST(CollectionNames, PartsThatDoNotDecodeAreKeptAsStored) {
    for (const char* stored : {"CALC%ZZ.pf", "ends%4", "ends%", "%FF%FE", "half%C3"}) {
        std::wstring name = L"left over";
        EXPECT_FALSE(decodeStoredName(stored, name)) << stored;
        EXPECT_EQ(name, std::wstring(stored, stored + std::char_traits<char>::length(stored)))
            << stored;
    }
}

TEST(CollectionNames, DevicesAreToldApart) {
    EXPECT_EQ(parseDeviceName(L"C:").drive, L"C:");
    EXPECT_EQ(parseDeviceName(L"d:").drive, L"D:");
    EXPECT_EQ(parseDeviceName(L"\\\\.\\C:").drive, L"C:");
    EXPECT_EQ(parseDeviceName(L"\\\\?\\E:").drive, L"E:");
    const CollectedDevice copy =
        parseDeviceName(L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolumeShadowCopy12");
    EXPECT_EQ(copy.shadowCopy, 12u);
    EXPECT_TRUE(copy.drive.empty());
    // As the collector's documentation spells it, with one backslash more.
    EXPECT_EQ(parseDeviceName(L"\\\\\\?\\GLOBALROOT\\Device\\HarddiskVolumeShadowCopy1").shadowCopy,
              1u);
    for (const wchar_t* other :
         {L"\\\\.\\PhysicalDrive0", L"HarddiskVolumeShadowCopy1",
          L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolumeShadowCopy",
          L"\\\\?\\GLOBALROOT\\Device\\HarddiskVolumeShadowCopy1x", L"CC:", L"1:", L"C",
          L"\\\\?\\Volume{4c1b02c1-d990-11dc-99ae-806e6f6e6963}"}) {
        const CollectedDevice parsed = parseDeviceName(other);
        EXPECT_TRUE(parsed.drive.empty()) << ::testing::PrintToString(std::wstring(other));
        EXPECT_EQ(parsed.shadowCopy, 0u);
    }
}

TEST(CollectionMetadata, TimesAreToldByTheirSize) {
    // 2023-11-14 22:13:20 UTC in seconds, milliseconds, microseconds and
    // nanoseconds since 1970.
    constexpr std::uint64_t expected = 133444736000000000ULL;
    EXPECT_EQ(fileTimeFromUnixCount(1700000000ULL), expected);
    EXPECT_EQ(fileTimeFromUnixCount(1700000000000ULL), expected);
    EXPECT_EQ(fileTimeFromUnixCount(1700000000000000ULL), expected);
    EXPECT_EQ(fileTimeFromUnixCount(1700000000000000000ULL), expected);
    EXPECT_EQ(fileTimeFromUnixCount(1700000000123456789ULL), expected + 1234567);
    for (std::uint64_t nothing : {0ULL, 12ULL, 500000000ULL, ~0ULL}) {
        EXPECT_EQ(fileTimeFromUnixCount(nothing), 0u) << nothing;
    }
}

TEST(CollectionMetadata, TheClientAndTheCollectionTimeAreRead) {
    CollectionMetadata metadata;
    EXPECT_TRUE(
        readClientInfo(R"({"ClientId":"C.1","Hostname":"WKS-7","Fqdn":"WKS-7.corp"})", metadata));
    EXPECT_EQ(metadata.hostName, L"WKS-7");
    EXPECT_TRUE(readClientInfo(R"({"fqdn":"laptop.corp.example"})", metadata));
    EXPECT_EQ(metadata.hostName, L"laptop.corp.example");
    EXPECT_TRUE(readClientInfo(R"({"hostname":"lower"})", metadata));
    EXPECT_EQ(metadata.hostName, L"lower");

    EXPECT_TRUE(readCollectionContext(R"({"create_time":1700000000000000})", metadata));
    EXPECT_EQ(metadata.collectedAt, 133444736000000000ULL);
    EXPECT_TRUE(readCollectionContext(R"({"start_time":1700000000})", metadata));
    EXPECT_EQ(metadata.collectedAt, 133444736000000000ULL);
    // Neither is known from a text or a negative number.
    CollectionMetadata unknown;
    EXPECT_TRUE(readCollectionContext(R"({"create_time":"yesterday","start_time":-5})", unknown));
    EXPECT_EQ(unknown.collectedAt, 0u);

    for (const char* broken : {"", "not json", "[1,2]", "{\"Hostname\":", "\"text\""}) {
        CollectionMetadata kept;
        kept.hostName = L"kept";
        EXPECT_FALSE(readClientInfo(broken, kept)) << broken;
        EXPECT_FALSE(readCollectionContext(broken, kept)) << broken;
        EXPECT_EQ(kept.hostName, L"kept");
    }
}

TEST(CollectionMetadata, UploadsNotCollectedWholeAreCounted) {
    CollectionMetadata metadata;
    const char* uploads = "{\"vfs_path\":\"a\",\"file_size\":10,\"uploaded_size\":10}\n"
                          "{\"vfs_path\":\"b\",\"file_size\":10,\"uploaded_size\":4}\r\n"
                          "\n"
                          "{\"vfs_path\":\"c\",\"Error\":\"access denied\"}\n"
                          "{\"vfs_path\":\"d\",\"error\":\"\"}\n"
                          "{\"vfs_path\":\"e\",\"file_size\":\"10\",\"uploaded_size\":4}";
    EXPECT_TRUE(readUploadsList(uploads, metadata));
    EXPECT_EQ(metadata.uploadsListed, 5u);
    EXPECT_EQ(metadata.filesNotCollected, 2u);

    CollectionMetadata partly;
    EXPECT_FALSE(readUploadsList("{\"Error\":\"x\"}\n{broken\n{\"Error\":\"y\"}\n", partly));
    EXPECT_EQ(partly.uploadsListed, 2u);
    EXPECT_EQ(partly.filesNotCollected, 2u);
}

TEST(CollectionMetadata, JsonDeeperOrLongerThanTheCollectorWritesIsNotRead) {
    // Nesting costs memory in proportion to its depth: past what the
    // collector writes, the file is not its own, however well formed.
    const auto nested = [](std::size_t depth) {
        return "{\"Hostname\":\"WKS-7\",\"deep\":" + std::string(depth, '[') +
               std::string(depth, ']') + "}";
    };
    CollectionMetadata shallow;
    EXPECT_TRUE(readClientInfo(nested(20), shallow));
    EXPECT_EQ(shallow.hostName, L"WKS-7");
    CollectionMetadata deep;
    EXPECT_FALSE(readClientInfo(nested(100), deep));
    EXPECT_TRUE(deep.hostName.empty());
    // Brackets inside a string are text, escaped quotes and all.
    CollectionMetadata quoted;
    EXPECT_TRUE(readClientInfo("{\"Hostname\":\"[[\\\"" + std::string(200, '[') + "\"}", quoted));

    // One line of uploads.json is one file; a line of millions of brackets,
    // or far longer than any file's description, is counted as not JSON.
    CollectionMetadata uploads;
    const std::string rows = "{\"Error\":\"x\"}\n" + std::string(5'000'000, '[') +
                             "\n{\"Error\":\"" + std::string(100'000, 'a') +
                             "\"}\n{\"Error\":\"y\"}";
    EXPECT_FALSE(readUploadsList(rows, uploads));
    EXPECT_EQ(uploads.uploadsListed, 2u);
    EXPECT_EQ(uploads.filesNotCollected, 2u);
}

TEST(CollectionMetadata, HostNamesAreComparedAsWindowsNamesThem) {
    EXPECT_EQ(hostNamesAgree(L"WKS-7", L"wks-7"), NamesAgree::Agree);
    EXPECT_EQ(hostNamesAgree(L"wks-7.corp.example", L"WKS-7"), NamesAgree::Agree);
    EXPECT_EQ(hostNamesAgree(L"WKS-8", L"WKS-7"), NamesAgree::Disagree);
    EXPECT_EQ(hostNamesAgree(L"WKS-7X.corp", L"WKS-7"), NamesAgree::Disagree);
    EXPECT_EQ(hostNamesAgree(L"", L"WKS-7"), NamesAgree::NotKnown);
    EXPECT_EQ(hostNamesAgree(L"WKS-7", L""), NamesAgree::NotKnown);
}

} // namespace
} // namespace tidewell
