// Identity, accounts and known folders from the tables a test sets.
#include "platform/identity.h"

#include <optional>
#include <utility>
#include <vector>

#include "fake/fake_machine.h"
#include "fake/fake_parts.h"
#include "platform/text_fold.h"

namespace tidewell {

namespace {

struct IdentityState {
    std::optional<std::wstring> ownSid;
    std::vector<std::pair<std::wstring, std::wstring>> accounts;     // SID, account name
    std::vector<std::pair<std::wstring, std::wstring>> knownFolders; // braced id, path
};

IdentityState& identity() {
    static IdentityState state;
    return state;
}

bool isHex(wchar_t unit) {
    return (unit >= L'0' && unit <= L'9') || (unit >= L'a' && unit <= L'f') ||
           (unit >= L'A' && unit <= L'F');
}

// The shape IIDFromString accepts: {8-4-4-4-12} hexadecimal digits.
bool isBracedGuid(const std::wstring& text) {
    if (text.size() != 38 || text.front() != L'{' || text.back() != L'}') {
        return false;
    }
    for (std::size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != L'-' : !isHex(text[i])) {
            return false;
        }
    }
    return true;
}

// SID text as ConvertStringSidToSidW accepts it, roughly: S-1- and numbers.
bool isSidText(const std::wstring& text) {
    if (text.size() < 5 || (text[0] != L'S' && text[0] != L's') || text[1] != L'-') {
        return false;
    }
    for (std::size_t i = 2; i < text.size(); ++i) {
        if (!(text[i] == L'-' || (text[i] >= L'0' && text[i] <= L'9'))) {
            return false;
        }
    }
    return text.back() != L'-';
}

} // namespace

bool queryTokenUserSid(std::wstring& sid) {
    sid.clear();
    if (!identity().ownSid) {
        return false;
    }
    sid = *identity().ownSid;
    return true;
}

bool lookupAccountNameForSid(const std::wstring& sid, std::wstring& accountName) {
    accountName.clear();
    if (!isSidText(sid)) {
        return false;
    }
    for (const auto& [known, name] : identity().accounts) {
        if (equalsFolded(known, sid)) {
            if (name.size() > 255) {
                return false;
            }
            accountName = name;
            return true;
        }
    }
    return false;
}

bool queryKnownFolderPath(const std::wstring& folderId, std::wstring& path) {
    path.clear();
    if (!isBracedGuid(folderId)) {
        return false;
    }
    for (const auto& [id, folder] : identity().knownFolders) {
        if (equalsFolded(id, folderId)) {
            path = folder;
            return true;
        }
    }
    return false;
}

namespace fake {

void setOwnSid(const std::wstring& sid) {
    identity().ownSid = sid;
}

void addAccount(const std::wstring& sid, const std::wstring& name) {
    identity().accounts.emplace_back(sid, name);
}

void addKnownFolder(const std::wstring& folderId, const std::wstring& path) {
    identity().knownFolders.emplace_back(folderId, path);
}

void resetIdentity() {
    identity() = IdentityState{};
}

} // namespace fake

} // namespace tidewell
