// The stand-in backend's shared state; only the stand-in's own files see it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/filetime.h"
#include "platform/standin/standin_control.h"

namespace tidewell::standin {

struct RegistryValueNode {
    std::wstring name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

struct RegistryKeyNode {
    std::wstring name;
    std::vector<std::unique_ptr<RegistryKeyNode>> children; // in enumeration order
    std::vector<RegistryValueNode> values;                  // in enumeration order
    std::uint32_t openError = 0;
    long subkeyFailIndex = -1;
    std::uint32_t subkeyFailError = 0;
    long valueFailIndex = -1;
    std::uint32_t valueFailError = 0;
    std::set<std::uint32_t> dataReadFails;
};

struct StandinState {
    bool fixedClock = false;
    FileTime fixedNow = 0;
    bool localTimeFails = false;
    int screenDpi = 0;

    std::optional<std::wstring> windowsDirectory;
    std::map<std::wstring, FileFailure> fileFailures;       // by full path
    std::map<std::wstring, ListingFailure> listingFailures; // by pattern

    bool volumeListingFails = false;
    std::vector<Volume> volumes;

    std::optional<bool> elevated; // nothing: the token cannot be asked
    std::optional<std::wstring> ownSid;
    std::vector<std::pair<std::wstring, std::wstring>> accounts;     // SID, account name
    std::vector<std::pair<std::wstring, std::wstring>> knownFolders; // braced id, path
    std::optional<std::pair<std::uint32_t, std::uint32_t>> windowsVersion;

    WriteFailures writeFailures;

    RegistryKeyNode currentUser;
    RegistryKeyNode users;
    RegistryKeyNode localMachine;
};

StandinState& state();

RegistryKeyNode& rootNode(RegistryRoot root);

// The parts of a backslash-separated key path, empty parts dropped.
std::vector<std::wstring> splitKeyPath(const std::wstring& path);

// The subkey of that name (ASCII case ignored), or null.
RegistryKeyNode* findChild(RegistryKeyNode& parent, const std::wstring& name);

// A Windows-style path as a POSIX one: backslashes become slashes, UTF-16
// units become UTF-8.
std::string posixPath(const std::wstring& path);

} // namespace tidewell::standin
