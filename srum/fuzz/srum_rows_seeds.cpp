// seeds_srum_rows: answers of the reading process: the id map of every kind
// of id, rows of both tables, and with the corpus the answer for its
// Windows 10 database.
#include "fuzz/seed_writer.h"
#include "sample/evidence_tree.h"
#include "srum/srum_table_stream.h"
#include "srum/srum_tables.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        tidewell::SrumTables tables;
        tables.open = tidewell::SrumOpen::Opened;
        tables.idMapPresent = tables.usagePresent = tables.networkPresent = true;
        tables.ids = {
            {1, 0,
             tidewell::sample::registryText(L"\\device\\harddiskvolume3\\windows\\notepad.exe")},
            {2, 3, {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0}},
            {3, 1, tidewell::sample::registryText(L"wuauserv")},
            {4, 2,
             tidewell::sample::registryText(
                 L"Contoso.App_1.0.0.0_x64__abc!App!app.exe!2020/01/01:00:00:00!1!")},
            {5, 0,
             tidewell::sample::registryText(
                 L"!!svchost.exe!2013/03/29:14:54:16!1f834![netsvcs] [Schedule]")},
        };
        tidewell::SrumRow usage{44597.5, 1, 2, 0, {}};
        usage.figures.foregroundCycles = 100;
        tidewell::SrumRow network{44597.5, 4, 2, 7, {}};
        network.figures.bytesSent = 10;
        tables.usage = {usage};
        tables.network = {network};
        Bytes stream;
        tidewell::writeSrumTableStream(tables, stream);
        seeds.write("every-id", stream);
        if (!seeds.corpus.empty()) {
            const Bytes database = readFile(
                seeds.corpus / "sources/srum/DFIRArtifactMuseum/Win10_RathbunVM_Clean/SRUDB.dat");
            if (!database.empty()) {
                Bytes answer;
                tidewell::writeSrumTableStream(tidewell::readSrumTables(database), answer);
                seeds.write("windows10", answer);
            }
        }
    });
}
