#include "platform/standin/standin_control.h"

#include "platform/standin/standin_state.h"
#include "platform/text_fold.h"

namespace tidewell::standin {

StandinState& state() {
    static StandinState current;
    return current;
}

RegistryKeyNode& rootNode(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::CurrentUser:
        return state().currentUser;
    case RegistryRoot::Users:
        return state().users;
    case RegistryRoot::LocalMachine:
        break;
    }
    return state().localMachine;
}

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

RegistryKeyNode* findChild(RegistryKeyNode& parent, const std::wstring& name) {
    for (auto& child : parent.children) {
        if (equalsFolded(child->name, name)) {
            return child.get();
        }
    }
    return nullptr;
}

namespace {

RegistryKeyNode& keyCreating(RegistryRoot root, const std::wstring& path) {
    RegistryKeyNode* node = &rootNode(root);
    for (const std::wstring& part : splitKeyPath(path)) {
        RegistryKeyNode* next = findChild(*node, part);
        if (next == nullptr) {
            node->children.push_back(std::make_unique<RegistryKeyNode>());
            next = node->children.back().get();
            next->name = part;
        }
        node = next;
    }
    return *node;
}

} // namespace

std::string posixPath(const std::wstring& path) {
    std::string out;
    for (wchar_t wide : path) {
        const auto unit = static_cast<std::uint32_t>(static_cast<std::uint16_t>(wide));
        if (unit == L'\\') {
            out.push_back('/');
        } else if (unit < 0x80) {
            out.push_back(static_cast<char>(unit));
        } else if (unit < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (unit >> 6)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
            out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        }
    }
    return out;
}

void setFixedNow(FileTime now) {
    state().fixedClock = true;
    state().fixedNow = now;
}

void useRealClock() {
    state().fixedClock = false;
}

void setLocalTimeFails(bool fails) {
    state().localTimeFails = fails;
}

void setScreenDpi(int dpi) {
    state().screenDpi = dpi;
}

void setWindowsDirectory(const std::wstring& folder) {
    state().windowsDirectory = folder;
}

void clearWindowsDirectory() {
    state().windowsDirectory.reset();
}

void failFile(const std::wstring& path, const FileFailure& failure) {
    state().fileFailures[path] = failure;
}

void failListing(const std::wstring& pattern, const ListingFailure& failure) {
    state().listingFailures[pattern] = failure;
}

void setVolumes(const std::vector<Volume>& volumes) {
    state().volumes = volumes;
}

void setVolumeListingFails(bool fails) {
    state().volumeListingFails = fails;
}

void setElevated(bool elevated) {
    state().elevated = elevated;
}

void setOwnSid(const std::wstring& sid) {
    state().ownSid = sid;
}

void addAccount(const std::wstring& sid, const std::wstring& name) {
    state().accounts.emplace_back(sid, name);
}

void addKnownFolder(const std::wstring& folderId, const std::wstring& path) {
    state().knownFolders.emplace_back(folderId, path);
}

void setWindowsVersion(std::uint32_t major, std::uint32_t minor) {
    state().windowsVersion = std::make_pair(major, minor);
}

void createRegistryKey(RegistryRoot root, const std::wstring& path) {
    keyCreating(root, path);
}

void setRegistryValue(RegistryRoot root, const std::wstring& keyPath, const std::wstring& name,
                      std::uint32_t type, const std::vector<std::uint8_t>& data) {
    RegistryKeyNode& key = keyCreating(root, keyPath);
    for (RegistryValueNode& value : key.values) {
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
    RegistryKeyNode& key = keyCreating(root, keyPath);
    key.subkeyFailIndex = static_cast<long>(index);
    key.subkeyFailError = error;
}

void failValueEnumeration(RegistryRoot root, const std::wstring& keyPath, std::uint32_t index,
                          std::uint32_t error) {
    RegistryKeyNode& key = keyCreating(root, keyPath);
    key.valueFailIndex = static_cast<long>(index);
    key.valueFailError = error;
}

void failValueDataRead(RegistryRoot root, const std::wstring& keyPath, std::uint32_t index) {
    keyCreating(root, keyPath).dataReadFails.insert(index);
}

void setWriteFailures(const WriteFailures& failures) {
    state().writeFailures = failures;
}

void resetAll() {
    state() = StandinState{};
}

} // namespace tidewell::standin
