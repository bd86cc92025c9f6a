// The registry as an in-memory tree, with the failures a test asks for.
#include "platform/live_registry.h"

#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "fake/fake_machine.h"
#include "fake/fake_parts.h"
#include "platform/error_codes.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

struct ValueNode {
    std::wstring name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

struct KeyNode {
    std::wstring name;
    std::vector<std::unique_ptr<KeyNode>> children; // in enumeration order
    std::vector<ValueNode> values;                  // in enumeration order
    std::uint32_t openError = 0;
    long subkeyFailIndex = -1;
    std::uint32_t subkeyFailError = 0;
    long valueFailIndex = -1;
    std::uint32_t valueFailError = 0;
    std::set<std::uint32_t> dataReadFails;
};

struct RegistryState {
    KeyNode currentUser;
    KeyNode users;
    KeyNode localMachine;
};

RegistryState& registry() {
    static RegistryState state;
    return state;
}

KeyNode& rootNode(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::CurrentUser:
        return registry().currentUser;
    case RegistryRoot::Users:
        return registry().users;
    case RegistryRoot::LocalMachine:
        break;
    }
    return registry().localMachine;
}

// The parts of a backslash-separated key path, empty parts dropped.
std::vector<std::wstring> splitKeyPath(const std::wstring& path) {
    std::vector<std::wstring> parts;
    std::wstring current;
    for (wchar_t unit : path) {
        if (unit == L'\\') {
            if (!current.empty()) {
                parts.push_back(current);
            }
            current.clear();
        } else {
            current.push_back(unit);
        }
    }
    if (!current.empty()) {
        parts.push_back(current);
    }
    return parts;
}

KeyNode* findChild(KeyNode& parent, const std::wstring& name) {
    for (auto& child : parent.children) {
        if (equalsFolded(child->name, name)) {
            return child.get();
        }
    }
    return nullptr;
}

KeyNode& keyCreating(RegistryRoot root, const std::wstring& path) {
    KeyNode* node = &rootNode(root);
    for (const std::wstring& part : splitKeyPath(path)) {
        KeyNode* next = findChild(*node, part);
        if (next == nullptr) {
            node->children.push_back(std::make_unique<KeyNode>());
            next = node->children.back().get();
            next->name = part;
        }
        node = next;
    }
    return *node;
}

KeyNode* node(const LiveKey& key) {
    return static_cast<KeyNode*>(key.handle);
}

} // namespace

void liveRegistryRoot(RegistryRoot root, LiveKey& key) {
    key.handle = &rootNode(root);
    key.owned = false;
}

std::uint32_t liveRegOpenKey(const LiveKey& parent, const std::wstring& subKey,
                             std::uint32_t /*access*/, LiveKey& key) {
    if (node(parent) == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    // Every key on the way must open; the first one that refuses decides.
    KeyNode* current = node(parent);
    for (const std::wstring& part : splitKeyPath(subKey)) {
        current = findChild(*current, part);
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

void liveRegCloseKey(LiveKey& key) {
    key.handle = nullptr;
    key.owned = false;
}

std::uint32_t liveRegEnumKey(const LiveKey& key, std::uint32_t index, std::uint32_t bufferChars,
                             std::wstring& name) {
    KeyNode* current = node(key);
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

std::uint32_t liveRegEnumValue(const LiveKey& key, std::uint32_t index,
                               std::uint32_t nameBufferChars, std::wstring& name,
                               std::uint32_t& type, std::uint8_t* data, std::uint32_t& dataSize) {
    KeyNode* current = node(key);
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
    const ValueNode& value = current->values[index];
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

std::uint32_t liveRegQueryValue(const LiveKey& key, const std::wstring& name, std::uint32_t& type,
                                std::uint8_t* data, std::uint32_t& dataSize) {
    KeyNode* current = node(key);
    if (current == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    for (const ValueNode& value : current->values) {
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

namespace fake {

void createRegistryKey(RegistryRoot root, const std::wstring& path) {
    keyCreating(root, path);
}

void setRegistryValue(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                      std::uint32_t type, const std::vector<std::uint8_t>& data) {
    KeyNode& key = keyCreating(root, keyPath);
    for (ValueNode& value : key.values) {
        if (equalsFolded(value.name, name)) {
            value.type = type;
            value.data = data;
            return;
        }
    }
    key.values.push_back({name, type, data});
}

void setRegistryDword(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                      std::uint32_t value) {
    setRegistryValue(root, keyPath, name, registryTypeDword,
                     {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                      static_cast<std::uint8_t>(value >> 16),
                      static_cast<std::uint8_t>(value >> 24)});
}

void failRegistryOpen(RegistryRoot root, const std::wstring& keyPath, std::uint32_t error) {
    keyCreating(root, keyPath).openError = error;
}

void failSubkeyEnumeration(RegistryRoot root, const std::wstring& keyPath, std::uint32_t index,
                           std::uint32_t error) {
    KeyNode& key = keyCreating(root, keyPath);
    key.subkeyFailIndex = static_cast<long>(index);
    key.subkeyFailError = error;
}

void failValueEnumeration(RegistryRoot root, const std::wstring& keyPath, std::uint32_t index,
                          std::uint32_t error) {
    KeyNode& key = keyCreating(root, keyPath);
    key.valueFailIndex = static_cast<long>(index);
    key.valueFailError = error;
}

void failValueDataRead(RegistryRoot root, const std::wstring& keyPath, std::uint32_t index) {
    keyCreating(root, keyPath).dataReadFails.insert(index);
}

void resetRegistry() {
    registry().currentUser = KeyNode{};
    registry().users = KeyNode{};
    registry().localMachine = KeyNode{};
}

} // namespace fake

} // namespace tidewell
