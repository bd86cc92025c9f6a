// seeds_evtx_log: a bare file header, and with the corpus its logs that fit
// the target's bound (Sysmon's and a Security log of 68 KB).
#include "fuzz/seed_writer.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        Bytes header(4096 + 65536, 0);
        const char signature[] = "ElfFile";
        for (std::size_t i = 0; i < sizeof signature; ++i) {
            header[i] = static_cast<std::uint8_t>(signature[i]);
        }
        header[32] = 0x80; // header size 128
        header[36] = 1;    // version 3.1
        header[38] = 3;
        header[40] = 0x00; // header block size 4,096
        header[41] = 0x10;
        header[42] = 1; // one chunk
        const char chunk[] = "ElfChnk";
        for (std::size_t i = 0; i < sizeof chunk; ++i) {
            header[4096 + i] = static_cast<std::uint8_t>(chunk[i]);
        }
        seeds.write("header", header);
        if (!seeds.corpus.empty()) {
            for (const char* name :
                 {"sources/evtx/EVTX-to-MITRE-Attack/"
                  "ID1-LSASS dump with LSASSY (SYSMON).evtx",
                  "sources/evtx/omerbenamram-evtx/Security_short_selected.evtx"}) {
                const Bytes log = readFile(seeds.corpus / name);
                if (!log.empty()) {
                    seeds.write(name[21] == 'M' ? "sysmon" : "security", log);
                }
            }
        }
    });
}
