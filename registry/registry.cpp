#include "registry/registry.h"

#include "hive/hive_cells.h"
#include "hive/hive_image.h"
#include "hive/hive_keys.h"
#include "platform/error_codes.h"

namespace tidewell {

namespace {

bool isHiveKey(const RegistryKey& key) {
    return key.kind == RegistryKind::Hive && key.hive != nullptr;
}

} // namespace

RegistryKey::~RegistryKey() {
    regCloseKey(*this);
}

void openRegistryRoot(RegistryRoot root, RegistryKey& key) {
    regCloseKey(key);
    liveRegistryRoot(root, key.live);
}

void openHiveRoot(const HiveImage& hive, RegistryKey& key) {
    regCloseKey(key);
    key.kind = RegistryKind::Hive;
    key.hive = &hive;
    key.cell = hive.rootCell;
}

std::uint32_t regOpenKey(const RegistryKey& parent, const std::wstring& subKey,
                         std::uint32_t access, RegistryKey& key) {
    regCloseKey(key);
    if (parent.kind == RegistryKind::Live) {
        return liveRegOpenKey(parent.live, subKey, access, key.live);
    }
    if (!isHiveKey(parent)) {
        return ERROR_INVALID_HANDLE;
    }
    std::uint32_t cell = 0;
    const std::uint32_t status = hiveOpenKey(*parent.hive, parent.cell, subKey, cell);
    if (status == ERROR_SUCCESS) {
        key.kind = RegistryKind::Hive;
        key.hive = parent.hive;
        key.cell = cell;
    }
    return status;
}

std::uint32_t regQueryKeyLastWritten(const RegistryKey& key, std::uint64_t& lastWritten) {
    if (key.kind == RegistryKind::Live) {
        return ERROR_INVALID_FUNCTION;
    }
    KeyNode node;
    if (!isHiveKey(key) || !readKeyNode(*key.hive, key.cell, node)) {
        return ERROR_INVALID_HANDLE;
    }
    lastWritten = node.lastWritten;
    return ERROR_SUCCESS;
}

void regCloseKey(RegistryKey& key) {
    if (key.kind == RegistryKind::Live) {
        liveRegCloseKey(key.live);
    }
    key.kind = RegistryKind::Live;
    key.live = LiveKey{};
    key.hive = nullptr;
    key.cell = 0;
}

std::uint32_t regEnumKey(const RegistryKey& key, std::uint32_t index, std::uint32_t bufferChars,
                         std::wstring& name) {
    if (key.kind == RegistryKind::Live) {
        return liveRegEnumKey(key.live, index, bufferChars, name);
    }
    return isHiveKey(key) ? hiveEnumKey(*key.hive, key.cell, index, bufferChars, name)
                          : ERROR_INVALID_HANDLE;
}

std::uint32_t regEnumValue(const RegistryKey& key, std::uint32_t index,
                           std::uint32_t nameBufferChars, std::wstring& name, std::uint32_t& type,
                           std::uint8_t* data, std::uint32_t& dataSize) {
    if (key.kind == RegistryKind::Live) {
        return liveRegEnumValue(key.live, index, nameBufferChars, name, type, data, dataSize);
    }
    return isHiveKey(key) ? hiveEnumValue(*key.hive, key.cell, index, nameBufferChars, name, type,
                                          data, dataSize)
                          : ERROR_INVALID_HANDLE;
}

std::uint32_t regQueryValue(const RegistryKey& key, const std::wstring& name, std::uint32_t& type,
                            std::uint8_t* data, std::uint32_t& dataSize) {
    if (key.kind == RegistryKind::Live) {
        return liveRegQueryValue(key.live, name, type, data, dataSize);
    }
    return isHiveKey(key) ? hiveQueryValue(*key.hive, key.cell, name, type, data, dataSize)
                          : ERROR_INVALID_HANDLE;
}

} // namespace tidewell
