#include "ui/explorer_target.h"

namespace tidewell {

std::optional<std::wstring> explorerSelectParameter(const LaunchRecord& record) {
    const std::wstring& path = record.path;
    if (record.pathStatus != PathStatus::Resolved || path.empty()) {
        return std::nullopt;
    }
    const bool network = path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') &&
                         (path[1] == L'\\' || path[1] == L'/');
    if (network || path.find(L'"') != std::wstring::npos) {
        return std::nullopt;
    }
    return L"/select,\"" + path + L"\"";
}

const std::wstring& copyPathText(const LaunchRecord& record) {
    return record.path.empty() ? record.name : record.path;
}

} // namespace tidewell
