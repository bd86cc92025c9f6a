// Loading a parsed export into the stand-in registry (native tests only).
#include "platform/path_join.h"
#include "platform/standin/standin_control.h"
#include "support/reg_file.h"

namespace tidewell::testing {

void loadIntoStandin(const std::vector<RegFileKey>& keys, RegistryRoot root,
                     const std::wstring& prefix) {
    for (const RegFileKey& key : keys) {
        const std::wstring path = prefix.empty() ? key.path : joinPath(prefix, key.path);
        standin::createRegistryKey(root, path);
        for (const RegFileValue& value : key.values) {
            standin::setRegistryValue(root, path, value.name, value.type, value.data);
        }
    }
}

} // namespace tidewell::testing
