#include "castore/sample/castore_key.h"

#include "sample/evidence_tree.h"

namespace tidewell::sample {

void addCompatibilityStore(HiveKeySpec& root, const std::vector<std::wstring>& programs) {
    HiveKeySpec& store = keyAt(root, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\"
                                     L"AppCompatFlags\\Compatibility Assistant\\Store");
    for (const std::wstring& program : programs) {
        std::vector<std::uint8_t> data(60, 0);
        data[0] = 'S';
        data[1] = 'A';
        data[2] = 'C';
        data[3] = 'P';
        data[4] = 1;
        store.values.push_back({program, 3, data});
    }
}

} // namespace tidewell::sample
