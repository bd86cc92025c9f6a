// seeds_srum: a bare database header page, and with the corpus its Windows 10
// database (the Windows 11 ones are past the target's bound).
#include <algorithm>
#include <iterator>

#include "fuzz/seed_writer.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        Bytes header(8192, 0);
        const std::uint8_t start[] = {0x00, 0x00, 0x00, 0x00, 0xef, 0xcd,
                                      0xab, 0x89, 0x20, 0x06, 0x00, 0x00};
        std::copy(std::begin(start), std::end(start), header.begin());
        header[52] = 3;     // shut down cleanly
        header[237] = 0x10; // pages of 4,096 bytes
        seeds.write("header-page", header);
        if (!seeds.corpus.empty()) {
            const auto windows10 =
                seeds.corpus / "sources/srum/DFIRArtifactMuseum/Win10_RathbunVM_Clean/SRUDB.dat";
            const Bytes database = readFile(windows10);
            if (!database.empty()) {
                seeds.write("windows10", database);
            }
        }
    });
}
