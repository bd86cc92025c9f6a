// seeds_userassist_entry: the target's own form (flags, the name's length in
// units, the name scrambled as the shell writes it, then the value's data)
// for names of every kind with entries of every shape.
#include "fuzz/seed_writer.h"
#include "userassist/sample/userassist_values.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        using tidewell::sample::userAssistData;
        const std::wstring names[] = {L"UEME_CTLSESSION",
                                      L"{1AC14E77-02E7-4E5D-B744-2EB1AE5198B7}\\calc.exe",
                                      L"C:\\Tools\\tool.exe",
                                      L"Microsoft.Windows.Explorer",
                                      L"UEME_RUNPATH:C:\\WINDOWS\\NOTEPAD.EXE",
                                      L"UEME_RUNPIDL:%csidl2%\\MSN.lnk"};
        std::size_t index = 0;
        for (const std::wstring& name : names) {
            for (const Bytes& data :
                 {userAssistData(3, 2, 4000, 133500000000000000ULL),
                  userAssistData(0, 0, 0, 133500000000000000ULL), userAssistData(5, 1, 10, 0),
                  Bytes(16, 1), tidewell::sample::userAssistXpData(1, 7, 133500000000000000ULL)}) {
                Bytes seed = {static_cast<std::uint8_t>(index & 1),
                              static_cast<std::uint8_t>(name.size())};
                for (wchar_t unit : tidewell::sample::rot13(name)) {
                    seed.push_back(static_cast<std::uint8_t>(unit));
                    seed.push_back(
                        static_cast<std::uint8_t>(static_cast<std::uint16_t>(unit) >> 8));
                }
                seed.insert(seed.end(), data.begin(), data.end());
                seeds.write("made-" + std::to_string(index++), seed);
            }
        }
    });
}
