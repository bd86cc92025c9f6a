// No Windows account runs this process, and no account or known folder can
// be looked up here.
#include "platform/identity.h"

namespace tidewell {

bool queryTokenUserSid(std::wstring& sid) {
    sid.clear();
    return false;
}

bool lookupAccountNameForSid(const std::wstring&, std::wstring& accountName) {
    accountName.clear();
    return false;
}

bool queryKnownFolderPath(const std::wstring&, std::wstring& path) {
    path.clear();
    return false;
}

} // namespace tidewell
