#include "platform/path_join.h"

namespace tidewell {

std::wstring joinPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring joined;
    joined.reserve(folder.size() + 1 + name.size());
    joined.append(folder);
    if (!folder.empty() && folder.back() != L'\\') {
        joined.push_back(L'\\');
    }
    joined.append(name);
    return joined;
}

bool isDriveOrSharePath(std::wstring_view path) {
    const bool letter = !path.empty() && ((path[0] >= L'A' && path[0] <= L'Z') ||
                                          (path[0] >= L'a' && path[0] <= L'z'));
    const bool onDrive = path.size() > 3 && letter && path[1] == L':' && path[2] == L'\\';
    const bool onShare = path.size() > 2 && path[0] == L'\\' && path[1] == L'\\';
    return onDrive || onShare;
}

std::wstring lastPart(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return std::wstring(separator == std::wstring_view::npos ? path : path.substr(separator + 1));
}

std::wstring folderPart(std::wstring_view path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return std::wstring(separator == std::wstring_view::npos ? std::wstring_view()
                                                             : path.substr(0, separator));
}

} // namespace tidewell
