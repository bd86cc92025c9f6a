// seeds_collection_text: stored names of drives and shadow copies as the
// collector encodes them, and its JSON files as it writes them.
#include <string>

#include "fuzz/seed_writer.h"

namespace {

tidewell::fuzz::Bytes text(const std::string& value) {
    return {value.begin(), value.end()};
}

} // namespace

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        seeds.write("drive", text("C%3A"));
        seeds.write("raw-drive", text("%5C%5C.%5CC%3A"));
        seeds.write("shadow-copy",
                    text("%5C%5C%3F%5CGLOBALROOT%5CDevice%5CHarddiskVolumeShadowCopy2"));
        seeds.write("client-info",
                    text(R"({"ClientId":"C.1","Hostname":"WKS-7","Fqdn":"WKS-7.corp"})"));
        seeds.write("context", text(R"({"create_time":1700000000,"start_time":1700000000})"));
        // The smallest zip: an end of central directory record alone.
        seeds.write("empty-zip",
                    Bytes{'P', 'K', 5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        seeds.write("uploads", text("{\"vfs_path\":\"a\",\"file_size\":10,\"uploaded_size\":4}\n"
                                    "{\"vfs_path\":\"c\",\"Error\":\"access denied\"}\n"));
    });
}
