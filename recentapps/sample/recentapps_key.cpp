#include "recentapps/sample/recentapps_key.h"

#include "sample/evidence_tree.h"

namespace tidewell::sample {

namespace {

HiveValueSpec qword(const std::wstring& name, std::uint64_t value) {
    std::vector<std::uint8_t> data(8);
    for (std::size_t at = 0; at < 8; ++at) {
        data[at] = static_cast<std::uint8_t>(value >> (8 * at));
    }
    return {name, 11, data};
}

} // namespace

void addRecentApps(HiveKeySpec& root, const std::vector<RecentAppSpec>& apps) {
    HiveKeySpec& recent =
        keyAt(root, L"Software\\Microsoft\\Windows\\CurrentVersion\\Search\\RecentApps");
    for (const RecentAppSpec& app : apps) {
        HiveKeySpec& key = keyAt(recent, app.key);
        key.values = {qword(L"LastAccessedTime", app.lastAccessed),
                      textValue(L"AppId", app.appId),
                      {L"LaunchCount", 4, registryDword(app.launchCount)},
                      textValue(L"AppPath", app.appPath)};
        for (std::size_t at = 0; at < app.items.size(); ++at) {
            const RecentItemSpec& item = app.items[at];
            HiveKeySpec& itemKey = keyAt(key, L"RecentItems\\{" + std::to_wstring(at) +
                                                  L"0000000-0000-0000-0000-000000000000}");
            itemKey.values = {textValue(L"DisplayName", item.displayName),
                              textValue(L"Path", item.path),
                              qword(L"LastAccessedTime", item.lastAccessed)};
        }
    }
}

} // namespace tidewell::sample
