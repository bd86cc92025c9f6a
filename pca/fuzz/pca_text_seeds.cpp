// seeds_pca_text: a launch dictionary and a general database as Windows
// writes them, and a database with a byte-order mark and CR LF line ends.
#include "fuzz/seed_writer.h"
#include "pca/sample/pca_files.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        using namespace tidewell::sample;
        seeds.write("dictionary",
                    pcaLaunchDictionary({{L"C:\\Tools\\a.exe", L"2022-12-17 13:27:53.096"},
                                         {L"\\downloads\\b.exe", L"2022-12-18 04:27:42.360"}}));
        const PcaEventLine line{L"2022-05-12 19:48:09.548",
                                L"2",
                                L"%programfiles%\\app\\app.exe",
                                L"app",
                                L"maker",
                                L"1.0",
                                L"000617915288ba535b4198ae58be4d9e2a4200000904",
                                L"Abnormal process exit with code 0x2"};
        seeds.write("database", pcaGeneralDatabase({line, line}));
        Bytes marked = {0xFF, 0xFE};
        for (std::uint8_t byte : pcaGeneralDatabase({line})) {
            marked.push_back(byte);
        }
        marked.insert(marked.end(), {'\r', 0, '\n', 0});
        seeds.write("marked", marked);
    });
}
