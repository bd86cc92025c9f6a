// Hives made by the hive writer, read through the registry's operations as
// any key is read: names, values of every kind, each kind of subkey list,
// big data, and the live registry's buffer rules and error codes.
#include <gtest/gtest.h>

#include "hive/hive_base_block.h"
#include "platform/error_codes.h"
#include "registry/registry.h"
#include "sample/hive_writer.h"
#include "support/corpus_files.h"
#include "support/hive_files.h"

namespace tidewell {
namespace {

using sample::HiveKeySpec;
using sample::HiveSpec;
using sample::HiveValueSpec;
using sample::SubkeyListKind;
using testing::narrow;

std::vector<std::uint8_t> bytesOf(std::initializer_list<int> values) {
    std::vector<std::uint8_t> bytes;
    for (int value : values) {
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

std::vector<std::uint8_t> counting(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    }
    return bytes;
}

HiveKeySpec keyNamed(const std::wstring& name, std::vector<HiveValueSpec> values = {},
                     std::vector<HiveKeySpec> subkeys = {}) {
    HiveKeySpec key;
    key.name = name;
    key.values = std::move(values);
    key.subkeys = std::move(subkeys);
    return key;
}

struct ReadHive {
    testing::LoadedHive hive;
    RegistryKey root;

    explicit ReadHive(const HiveSpec& spec)
        : hive(testing::loadHiveBytes(sample::writeHive(spec))) {
        EXPECT_EQ(hive.load.status, HiveStatus::Clean);
        openHiveRoot(hive.image, root);
    }
};

std::vector<std::wstring> subkeyNames(const RegistryKey& key) {
    std::vector<std::wstring> names;
    for (std::uint32_t index = 0;; ++index) {
        std::wstring name;
        const std::uint32_t status = regEnumKey(key, index, 256, name);
        if (status != ERROR_SUCCESS) {
            EXPECT_EQ(status, static_cast<std::uint32_t>(ERROR_NO_MORE_ITEMS));
            return names;
        }
        names.push_back(name);
    }
}

TEST(HiveReader, KeysOpenByPathWhateverTheCaseOfTheirAsciiLetters) {
    HiveSpec spec;
    spec.root = keyNamed(
        L"ROOT", {},
        {keyNamed(L"Software", {}, {keyNamed(L"Vendor", {}, {keyNamed(L"\u00C9t\u00E9")})}),
         keyNamed(L"System")});
    ReadHive read(spec);
    RegistryKey key;
    ASSERT_EQ(regOpenKey(read.root, L"SOFTWARE\\vendor\\\u00C9t\u00E9", registryKeyRead, key),
              static_cast<std::uint32_t>(ERROR_SUCCESS));
    EXPECT_TRUE(subkeyNames(key).empty());
    // Only A to Z fold: an accented letter in another case is another name.
    EXPECT_EQ(regOpenKey(read.root, L"Software\\Vendor\\\u00E9t\u00E9", registryKeyRead, key),
              static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(regOpenKey(read.root, L"Software\\Nobody", registryKeyRead, key),
              static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    // Empty parts are no parts; an empty path is the key itself.
    ASSERT_EQ(regOpenKey(read.root, L"\\Software\\\\Vendor\\", registryKeyRead, key),
              static_cast<std::uint32_t>(ERROR_SUCCESS));
    EXPECT_EQ(subkeyNames(key), std::vector<std::wstring>{L"\u00C9t\u00E9"});
    RegistryKey same;
    ASSERT_EQ(regOpenKey(read.root, L"", registryKeyRead, same),
              static_cast<std::uint32_t>(ERROR_SUCCESS));
    EXPECT_EQ(subkeyNames(same), (std::vector<std::wstring>{L"Software", L"System"}));
}

TEST(HiveReader, EveryKindOfSubkeyListGivesItsKeysInStoredOrder) {
    std::vector<HiveKeySpec> many;
    std::vector<std::wstring> names;
    for (int i = 0; i < 1100; ++i) {
        names.push_back(L"k" + std::to_wstring((i * 37) % 1100));
        many.push_back(keyNamed(names.back()));
    }
    for (SubkeyListKind kind : {SubkeyListKind::IndexLeaf, SubkeyListKind::FastLeaf,
                                SubkeyListKind::HashLeaf, SubkeyListKind::IndexRoot}) {
        HiveSpec spec;
        spec.root = keyNamed(L"ROOT", {}, many);
        spec.root.listKind = kind;
        spec.root.rootLeafSize = 300; // four leaves, the last of them short
        ReadHive read(spec);
        EXPECT_EQ(subkeyNames(read.root), names) << static_cast<int>(kind);
        RegistryKey key;
        EXPECT_EQ(regOpenKey(read.root, L"K1099", registryKeyRead, key),
                  static_cast<std::uint32_t>(ERROR_SUCCESS));
    }
}

TEST(HiveReader, ValuesOfEveryKindComeBackAsStored) {
    const std::vector<HiveValueSpec> values = {
        {L"", 1, bytesOf({'d', 0, 0, 0})},     // the default value, REG_SZ
        {L"Four", 4, bytesOf({1, 2, 3, 4})},   // inline, exactly four bytes
        {L"Three", 3, bytesOf({9, 8, 7})},     // inline, fewer
        {L"Empty", 3, {}},                     // no data at all
        {L"Qword", 11, counting(8)},           // in a cell of its own
        {L"UserAssist", 3, counting(72)},      // as the shell stores an entry
        {L"Segment", 3, counting(16344)},      // the largest that needs one cell
        {L"Big", 3, counting(16345)},          // big data: two segments
        {L"Bigger", 7, counting(100000)},      // seven segments
        {L"\u4E2D\u6587", 3, bytesOf({0x42})}, // a name stored as UTF-16
    };
    HiveSpec spec;
    spec.root = keyNamed(L"ROOT", values);
    ReadHive read(spec);
    for (std::uint32_t index = 0; index < values.size(); ++index) {
        SCOPED_TRACE(narrow(values[index].name));
        std::wstring name;
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        ASSERT_EQ(regEnumValue(read.root, index, 512, name, type, nullptr, size),
                  static_cast<std::uint32_t>(ERROR_SUCCESS));
        EXPECT_EQ(name, values[index].name);
        EXPECT_EQ(type, values[index].type);
        ASSERT_EQ(size, values[index].data.size());
        std::vector<std::uint8_t> data(size + 3, 0xEE);
        std::uint32_t got = size + 3;
        ASSERT_EQ(regEnumValue(read.root, index, 512, name, type, data.data(), got),
                  static_cast<std::uint32_t>(ERROR_SUCCESS));
        EXPECT_EQ(got, size);
        EXPECT_EQ(std::vector<std::uint8_t>(data.begin(), data.begin() + size), values[index].data);
        EXPECT_EQ(data[size], 0xEE) << "nothing written past the data";

        // The same value asked for by name, in other case.
        std::wstring upper = values[index].name;
        for (wchar_t& unit : upper) {
            unit = (unit >= L'a' && unit <= L'z') ? static_cast<wchar_t>(unit - 32) : unit;
        }
        got = size + 3;
        ASSERT_EQ(regQueryValue(read.root, upper, type, data.data(), got),
                  static_cast<std::uint32_t>(ERROR_SUCCESS));
        EXPECT_EQ(std::vector<std::uint8_t>(data.begin(), data.begin() + got), values[index].data);
    }
    std::wstring name;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(regEnumValue(read.root, static_cast<std::uint32_t>(values.size()), 512, name, type,
                           nullptr, size),
              static_cast<std::uint32_t>(ERROR_NO_MORE_ITEMS));
    EXPECT_EQ(regQueryValue(read.root, L"Absent", type, nullptr, size),
              static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST(HiveReader, BuffersTooSmallForANameOrDataSayHowMuchIsNeeded) {
    const std::wstring longName(511, L'n');
    HiveSpec spec;
    spec.root = keyNamed(L"ROOT", {{longName, 3, counting(72)}, {longName + L"x", 3, counting(4)}},
                         {keyNamed(std::wstring(255, L'k')), keyNamed(std::wstring(256, L'k'))});
    ReadHive read(spec);
    std::wstring name = L"untouched";
    EXPECT_EQ(regEnumKey(read.root, 0, 256, name), static_cast<std::uint32_t>(ERROR_SUCCESS));
    EXPECT_EQ(name.size(), 255u);
    name = L"untouched";
    EXPECT_EQ(regEnumKey(read.root, 1, 256, name), static_cast<std::uint32_t>(ERROR_MORE_DATA));
    EXPECT_EQ(name, L"untouched");

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(regEnumValue(read.root, 0, 512, name, type, nullptr, size),
              static_cast<std::uint32_t>(ERROR_SUCCESS));
    EXPECT_EQ(regEnumValue(read.root, 1, 512, name, type, nullptr, size),
              static_cast<std::uint32_t>(ERROR_MORE_DATA));
    std::uint8_t small[10] = {};
    size = sizeof small;
    EXPECT_EQ(regEnumValue(read.root, 0, 512, name, type, small, size),
              static_cast<std::uint32_t>(ERROR_MORE_DATA));
    EXPECT_EQ(size, 72u);
    size = 3;
    EXPECT_EQ(regQueryValue(read.root, longName, type, small, size),
              static_cast<std::uint32_t>(ERROR_MORE_DATA));
    EXPECT_EQ(size, 72u);
}

TEST(HiveReader, ABaseBlockChecksumFollowsTheFormatsTwoSpecialCases) {
    std::vector<std::uint8_t> block(512, 0);
    // All words zero: the XOR is 0, which is stored as 1.
    EXPECT_EQ(baseBlockChecksum(ByteView{block.data(), block.size()}), 1u);
    // One word of all ones: stored as 0xFFFFFFFE.
    block[8] = block[9] = block[10] = block[11] = 0xFF;
    EXPECT_EQ(baseBlockChecksum(ByteView{block.data(), block.size()}), 0xFFFFFFFEu);
    block[20] = 0x0F;
    EXPECT_EQ(baseBlockChecksum(ByteView{block.data(), block.size()}), 0xFFFFFFF0u);
    block[508] = 0x55; // the checksum's own field takes no part
    EXPECT_EQ(baseBlockChecksum(ByteView{block.data(), block.size()}), 0xFFFFFFF0u);
}

TEST(HiveReader, AKeyFromAHiveAndAKeyFromTheLiveRegistryAreServedAlike) {
    HiveSpec spec;
    spec.root = keyNamed(L"ROOT", {}, {keyNamed(L"Child")});
    ReadHive read(spec);
    RegistryKey child;
    ASSERT_EQ(regOpenKey(read.root, L"Child", registryKeyRead, child),
              static_cast<std::uint32_t>(ERROR_SUCCESS));
    EXPECT_EQ(child.kind, RegistryKind::Hive);
    regCloseKey(child);
    EXPECT_EQ(child.kind, RegistryKind::Live);
    std::wstring name;
    EXPECT_EQ(regEnumKey(child, 0, 256, name), static_cast<std::uint32_t>(ERROR_INVALID_HANDLE))
        << "a closed key names nothing";
}

} // namespace
} // namespace tidewell
