// Loading a parsed export into the fake registry (native tests only).
#include "fake/fake_machine.h"
#include "platform/path_join.h"
#include "support/reg_file.h"

namespace tidewell::testing {

void loadIntoFake(const std::vector<RegFileKey>& keys, RegistryRoot root,
                  const std::wstring& prefix) {
    for (const RegFileKey& key : keys) {
        const std::wstring path = prefix.empty() ? key.path : joinPath(prefix, key.path);
        fake::createRegistryKey(root, path);
        for (const RegFileValue& value : key.values) {
            fake::setRegistryValue(root, path, value.name, value.type, value.data);
        }
    }
}

} // namespace tidewell::testing
