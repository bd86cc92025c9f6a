#include "muicache/sample/muicache_key.h"

#include "sample/evidence_tree.h"

namespace tidewell::sample {

namespace {

void addBookkeeping(HiveKeySpec& key) {
    key.values.push_back({L"LangID", 3, {0x09, 0x04}});
    key.values.push_back(textValue(L"@shell32.dll,-22075", L"Windows Catalog"));
}

} // namespace

void addMuiCache(HiveKeySpec& classesRoot, const std::vector<MuiCacheProgram>& programs) {
    HiveKeySpec& key =
        keyAt(classesRoot, L"Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache");
    addBookkeeping(key);
    for (const MuiCacheProgram& program : programs) {
        key.values.push_back(textValue(program.path + L".FriendlyAppName", program.description));
        key.values.push_back(textValue(program.path + L".ApplicationCompany", program.company));
    }
}

void addXpMuiCache(HiveKeySpec& userRoot, const std::vector<MuiCacheProgram>& programs) {
    HiveKeySpec& key = keyAt(userRoot, L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache");
    addBookkeeping(key);
    for (const MuiCacheProgram& program : programs) {
        key.values.push_back(textValue(program.path, program.description));
    }
}

} // namespace tidewell::sample
