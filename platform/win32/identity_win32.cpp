// The token's user, account names and known folders through advapi32,
// shell32 and ole32.
#include "platform/identity.h"

#include <cstring>
#include <vector>

#include "platform/win32/win32_common.h"

#include <objbase.h>
#include <sddl.h>
#include <shlobj.h>

namespace tidewell {

namespace {

// Memory the system allocated with LocalAlloc, freed with LocalFree.
template <typename T> struct LocalMemory {
    T pointer = nullptr;
    LocalMemory() = default;
    LocalMemory(const LocalMemory&) = delete;
    LocalMemory& operator=(const LocalMemory&) = delete;
    ~LocalMemory() {
        if (pointer != nullptr) {
            LocalFree(pointer);
        }
    }
};

// Memory the shell allocated with CoTaskMemAlloc.
struct TaskMemory {
    PWSTR pointer = nullptr;
    TaskMemory() = default;
    TaskMemory(const TaskMemory&) = delete;
    TaskMemory& operator=(const TaskMemory&) = delete;
    ~TaskMemory() { CoTaskMemFree(pointer); }
};

constexpr DWORD knownFolderDontVerify = 0x00004000; // KF_FLAG_DONT_VERIFY

} // namespace

bool queryTokenUserSid(std::wstring& sid) {
    sid.clear();
    win32::OwnedHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token.handle)) {
        return false;
    }
    DWORD size = 0;
    GetTokenInformation(token.handle, TokenUser, nullptr, 0, &size);
    if (size == 0) {
        return false;
    }
    std::vector<std::uint8_t> buffer(size, 0);
    if (!GetTokenInformation(token.handle, TokenUser, buffer.data(), size, &size)) {
        return false;
    }
    TOKEN_USER user;
    std::memcpy(&user, buffer.data(), sizeof user); // the buffer is not aligned for it
    LocalMemory<LPWSTR> text;
    if (!ConvertSidToStringSidW(user.User.Sid, &text.pointer)) {
        return false;
    }
    sid = text.pointer;
    return true;
}

bool lookupAccountNameForSid(const std::wstring& sid, std::wstring& accountName) {
    accountName.clear();
    LocalMemory<PSID> binary;
    if (!ConvertStringSidToSidW(sid.c_str(), &binary.pointer)) {
        return false;
    }
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameLength = 256;
    DWORD domainLength = 256;
    SID_NAME_USE use;
    if (!LookupAccountSidW(nullptr, binary.pointer, name, &nameLength, domain, &domainLength,
                           &use)) {
        return false;
    }
    accountName.assign(name, nameLength);
    return true;
}

bool queryKnownFolderPath(const std::wstring& folderId, std::wstring& path) {
    path.clear();
    IID id;
    if (FAILED(IIDFromString(folderId.c_str(), &id))) {
        return false;
    }
    TaskMemory folder;
    if (FAILED(SHGetKnownFolderPath(id, knownFolderDontVerify, nullptr, &folder.pointer)) ||
        folder.pointer == nullptr) {
        return false;
    }
    path = folder.pointer;
    return true;
}

} // namespace tidewell
