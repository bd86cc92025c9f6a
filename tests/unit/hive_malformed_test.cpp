// Hives damaged on purpose, record by record: each damage is refused where
// it lies (the hive, the key or the value), with the registry's own error
// code, and nothing is read outside the bytes.
#include <gtest/gtest.h>

#include "platform/error_codes.h"
#include "registry/registry.h"
#include "sample/hive_writer.h"
#include "support/hive_files.h"

namespace tidewell {
namespace {

using sample::HiveKeySpec;
using sample::HiveLayout;

void put32(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        file.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// A cell's data begins four bytes into the cell, which lies 4096 bytes into
// the file.
std::size_t cellData(std::uint32_t cell) {
    return 4096 + std::size_t{cell} + 4;
}

class DamagedHive : public ::testing::Test {
protected:
    void SetUp() override {
        sample::HiveSpec spec;
        HiveKeySpec software;
        software.name = L"Software";
        software.values = {{L"Small", 3, std::vector<std::uint8_t>(72, 1)},
                           {L"Big", 3, std::vector<std::uint8_t>(100000, 2)}};
        HiveKeySpec child;
        child.name = L"Child";
        software.subkeys = {child};
        software.listKind = sample::SubkeyListKind::IndexLeaf;
        spec.root.subkeys = {software};
        file = sample::writeHive(spec, &layout);
    }

    std::uint32_t openSoftware(const testing::LoadedHive& hive, RegistryKey& software) {
        RegistryKey root;
        openHiveRoot(hive.image, root);
        return regOpenKey(root, L"Software", registryKeyRead, software);
    }

    std::vector<std::uint8_t> file;
    HiveLayout layout;
};

constexpr std::uint32_t corrupt = ERROR_REGISTRY_CORRUPT;

TEST_F(DamagedHive, ARootOutsideTheBinsOrAShortBinRefusesTheHive) {
    std::vector<std::uint8_t> damaged = file;
    put32(damaged, 36, static_cast<std::uint32_t>(file.size())); // the root cell offset
    sample::resealBaseBlock(damaged);
    EXPECT_EQ(testing::loadHiveBytes(damaged).load.status, HiveStatus::Malformed);

    // The last bin cut short, and a bin whose size runs past the bins.
    damaged.assign(file.begin(), file.end() - 100);
    EXPECT_EQ(testing::loadHiveBytes(damaged).load.status, HiveStatus::Malformed);
    damaged = file;
    put32(damaged, 4096 + 8, 0x10000000u);
    EXPECT_EQ(testing::loadHiveBytes(damaged).load.status, HiveStatus::Malformed);
    damaged = file;
    put32(damaged, 4096 + 4, 4096); // the first bin claims another place
    EXPECT_EQ(testing::loadHiveBytes(damaged).load.status, HiveStatus::Malformed);
    damaged.assign(file.begin(), file.begin() + 300); // not even a whole base block
    EXPECT_EQ(testing::loadHiveBytes(damaged).load.status, HiveStatus::Malformed);
}

TEST_F(DamagedHive, ASubkeyListThatPointsOutsideOrToItselfIsRefused) {
    const std::uint32_t list = layout.subkeyLists.at(L"Software");
    for (std::uint32_t target : {static_cast<std::uint32_t>(file.size()), list, list + 3,
                                 layout.valueCells.at(L"Software:Small"), 0xFFFFFFF8u}) {
        std::vector<std::uint8_t> damaged = file;
        put32(damaged, cellData(list) + 4, target); // the list's only element
        const testing::LoadedHive hive = testing::loadHiveBytes(damaged);
        ASSERT_EQ(hive.load.status, HiveStatus::Clean) << "the damage is below the root";
        RegistryKey software;
        ASSERT_EQ(openSoftware(hive, software), static_cast<std::uint32_t>(ERROR_SUCCESS));
        std::wstring name;
        EXPECT_EQ(regEnumKey(software, 0, 256, name), corrupt) << target;
        RegistryKey child;
        EXPECT_EQ(regOpenKey(software, L"Child", registryKeyRead, child), corrupt) << target;
    }
}

TEST_F(DamagedHive, AListOfListsThatHoldsItselfIsRefused) {
    sample::HiveSpec spec;
    HiveKeySpec many;
    many.name = L"Many";
    many.listKind = sample::SubkeyListKind::IndexRoot;
    many.rootLeafSize = 2;
    for (const wchar_t* name : {L"a", L"b", L"c"}) {
        many.subkeys.push_back({name, {}, {}, sample::SubkeyListKind::HashLeaf, 500});
    }
    spec.root.subkeys = {many};
    HiveLayout rootLayout;
    std::vector<std::uint8_t> damaged = sample::writeHive(spec, &rootLayout);
    const std::uint32_t root = rootLayout.subkeyLists.at(L"Many");
    put32(damaged, cellData(root) + 8, root); // its second list is itself
    const testing::LoadedHive hive = testing::loadHiveBytes(damaged);
    RegistryKey top;
    RegistryKey key;
    openHiveRoot(hive.image, top);
    ASSERT_EQ(regOpenKey(top, L"Many", registryKeyRead, key),
              static_cast<std::uint32_t>(ERROR_SUCCESS));
    std::wstring name;
    EXPECT_EQ(regEnumKey(key, 1, 256, name), static_cast<std::uint32_t>(ERROR_SUCCESS));
    EXPECT_EQ(regEnumKey(key, 2, 256, name), corrupt);
}

TEST_F(DamagedHive, ANameThatRunsPastItsCellRefusesTheKey) {
    std::vector<std::uint8_t> damaged = file;
    put32(damaged, cellData(layout.keyCells.at(L"Software\\Child")) + 72, 0xFFFF); // name length
    const testing::LoadedHive hive = testing::loadHiveBytes(damaged);
    RegistryKey software;
    ASSERT_EQ(openSoftware(hive, software), static_cast<std::uint32_t>(ERROR_SUCCESS));
    std::wstring name;
    EXPECT_EQ(regEnumKey(software, 0, 256, name), corrupt);

    // A value's name too.
    damaged = file;
    put32(damaged, cellData(layout.valueCells.at(L"Software:Small")) + 2, 0x7FFF);
    const testing::LoadedHive values = testing::loadHiveBytes(damaged);
    ASSERT_EQ(openSoftware(values, software), static_cast<std::uint32_t>(ERROR_SUCCESS));
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(regEnumValue(software, 0, 512, name, type, nullptr, size), corrupt);
    EXPECT_EQ(regEnumValue(software, 1, 512, name, type, nullptr, size),
              static_cast<std::uint32_t>(ERROR_SUCCESS))
        << "the other value stays readable";
}

TEST_F(DamagedHive, BigDataWithAShortSegmentListIsRefused) {
    const std::uint32_t record = layout.dataCells.at(L"Software:Big");
    std::vector<std::uint8_t> damaged = file;
    damaged.at(cellData(record) + 2) = 6; // seven segments hold 100,000 bytes; six do not
    const testing::LoadedHive hive = testing::loadHiveBytes(damaged);
    RegistryKey software;
    ASSERT_EQ(openSoftware(hive, software), static_cast<std::uint32_t>(ERROR_SUCCESS));
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    ASSERT_EQ(regQueryValue(software, L"Big", type, nullptr, size),
              static_cast<std::uint32_t>(ERROR_SUCCESS))
        << "its size is still known";
    std::vector<std::uint8_t> data(size);
    EXPECT_EQ(regQueryValue(software, L"Big", type, data.data(), size), corrupt);

    // A record that is not big data where big data must be.
    damaged = file;
    damaged.at(cellData(record)) = 'x';
    const testing::LoadedHive other = testing::loadHiveBytes(damaged);
    ASSERT_EQ(openSoftware(other, software), static_cast<std::uint32_t>(ERROR_SUCCESS));
    size = static_cast<std::uint32_t>(data.size());
    EXPECT_EQ(regQueryValue(software, L"Big", type, data.data(), size), corrupt);
}

TEST_F(DamagedHive, AValueListLongerThanItsCellOrAFreedCellIsRefused) {
    std::vector<std::uint8_t> damaged = file;
    put32(damaged, cellData(layout.keyCells.at(L"Software")) + 36, 5000); // value count
    testing::LoadedHive hive = testing::loadHiveBytes(damaged);
    RegistryKey software;
    ASSERT_EQ(openSoftware(hive, software), static_cast<std::uint32_t>(ERROR_SUCCESS));
    std::wstring name;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(regEnumValue(software, 0, 512, name, type, nullptr, size), corrupt);

    // A data size larger than the bins could hold is not believed.
    damaged = file;
    put32(damaged, cellData(layout.valueCells.at(L"Software:Small")) + 4, 0x7FFFFFF0u);
    hive = testing::loadHiveBytes(damaged);
    ASSERT_EQ(openSoftware(hive, software), static_cast<std::uint32_t>(ERROR_SUCCESS));
    EXPECT_EQ(regEnumValue(software, 0, 512, name, type, nullptr, size), corrupt);

    // The cell of a value marked free (its size positive).
    damaged = file;
    const std::size_t cell = 4096 + std::size_t{layout.valueCells.at(L"Software:Small")};
    put32(damaged, cell, 40);
    hive = testing::loadHiveBytes(damaged);
    ASSERT_EQ(openSoftware(hive, software), static_cast<std::uint32_t>(ERROR_SUCCESS));
    EXPECT_EQ(regEnumValue(software, 0, 512, name, type, nullptr, size), corrupt);
}

} // namespace
} // namespace tidewell
