// The registry as an in-memory tree, with the failures a test asks for.
#include "platform/registry.h"

#include <cstring>

#include "platform/error_codes.h"
#include "platform/standin/standin_state.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

standin::RegistryKeyNode* node(const RegistryKey& key) {
    return static_cast<standin::RegistryKeyNode*>(key.handle);
}

} // namespace

RegistryKey::~RegistryKey() {
    regCloseKey(*this);
}

void openRegistryRoot(RegistryRoot root, RegistryKey& key) {
    regCloseKey(key);
    key.handle = &standin::rootNode(root);
    key.owned = false;
}

std::uint32_t regOpenKey(const RegistryKey& parent, const std::wstring& subKey,
                         std::uint32_t /*access*/, RegistryKey& key) {
    regCloseKey(key);
    if (node(parent) == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    // Every key on the way must open; the first one that refuses decides.
    standin::RegistryKeyNode* current = node(parent);
    for (const std::wstring& part : standin::splitKeyPath(subKey)) {
        current = standin::findChild(*current, part);
        if (current == nullptr) {
            return ERROR_FILE_NOT_FOUND;
        }
        if (current->openError != 0) {
            return current->openError;
        }
    }
    key.handle = current;
    key.owned = true;
    return ERROR_SUCCESS;
}

void regCloseKey(RegistryKey& key) {
    key.handle = nullptr;
    key.owned = false;
}

std::uint32_t regEnumKey(const RegistryKey& key, std::uint32_t index, std::uint32_t bufferChars,
                         std::wstring& name) {
    standin::RegistryKeyNode* current = node(key);
    if (current == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (current->subkeyFailIndex >= 0 &&
        index == static_cast<std::uint32_t>(current->subkeyFailIndex)) {
        return current->subkeyFailError;
    }
    if (index >= current->children.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const std::wstring& found = current->children[index]->name;
    if (found.size() + 1 > bufferChars) {
        return ERROR_MORE_DATA;
    }
    name = found;
    return ERROR_SUCCESS;
}

std::uint32_t regEnumValue(const RegistryKey& key, std::uint32_t index,
                           std::uint32_t nameBufferChars, std::wstring& name, std::uint32_t& type,
                           std::uint8_t* data, std::uint32_t& dataSize) {
    standin::RegistryKeyNode* current = node(key);
    if (current == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (current->valueFailIndex >= 0 &&
        index == static_cast<std::uint32_t>(current->valueFailIndex)) {
        return current->valueFailError;
    }
    if (index >= current->values.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const standin::RegistryValueNode& value = current->values[index];
    if (value.name.size() + 1 > nameBufferChars) {
        return ERROR_MORE_DATA;
    }
    if (data != nullptr) {
        if (current->dataReadFails.count(index) != 0) {
            return ERROR_CANTREAD;
        }
        if (value.data.size() > dataSize) {
            dataSize = static_cast<std::uint32_t>(value.data.size());
            return ERROR_MORE_DATA;
        }
        if (!value.data.empty()) {
            std::memcpy(data, value.data.data(), value.data.size());
        }
    }
    name = value.name;
    type = value.type;
    dataSize = static_cast<std::uint32_t>(value.data.size());
    return ERROR_SUCCESS;
}

std::uint32_t regQueryValue(const RegistryKey& key, const std::wstring& name, std::uint32_t& type,
                            std::uint8_t* data, std::uint32_t& dataSize) {
    standin::RegistryKeyNode* current = node(key);
    if (current == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    for (const standin::RegistryValueNode& value : current->values) {
        if (equalsFolded(value.name, name)) {
            type = value.type;
            if (data != nullptr) {
                if (value.data.size() > dataSize) {
                    dataSize = static_cast<std::uint32_t>(value.data.size());
                    return ERROR_MORE_DATA;
                }
                if (!value.data.empty()) {
                    std::memcpy(data, value.data.data(), value.data.size());
                }
            }
            dataSize = static_cast<std::uint32_t>(value.data.size());
            return ERROR_SUCCESS;
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

} // namespace tidewell
