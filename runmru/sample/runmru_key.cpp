#include "runmru/sample/runmru_key.h"

#include "sample/evidence_tree.h"

namespace tidewell::sample {

void addRunMru(HiveKeySpec& root, const std::vector<std::wstring>& newestFirst) {
    HiveKeySpec& key =
        keyAt(root, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU");
    std::wstring order;
    for (std::size_t at = 0; at < newestFirst.size() && at < 26; ++at) {
        const std::wstring letter(1, static_cast<wchar_t>(L'a' + at));
        key.values.push_back(textValue(letter, newestFirst[at] + L"\\1"));
        order += letter;
    }
    key.values.push_back(textValue(L"MRUList", order));
}

} // namespace tidewell::sample
