// seeds_castore_value: the target's own form (type, the name's length in
// units, the name, the data) for a program's path and a media signature.
#include "fuzz/seed_writer.h"

namespace {

tidewell::fuzz::Bytes valueSeed(const std::wstring& name) {
    tidewell::fuzz::Bytes seed = {3, static_cast<std::uint8_t>(name.size())};
    for (wchar_t unit : name) {
        seed.push_back(static_cast<std::uint8_t>(unit));
        seed.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(unit) >> 8));
    }
    for (char c : std::string("SACP\x01\x00\x00\x00", 8)) {
        seed.push_back(static_cast<std::uint8_t>(c));
    }
    return seed;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        seeds.write("path", valueSeed(L"C:\\Program Files\\WinRAR\\Uninstall.exe"));
        seeds.write("media", valueSeed(L"SIGN.MEDIA=6F60F6C setup64.exe"));
    });
}
