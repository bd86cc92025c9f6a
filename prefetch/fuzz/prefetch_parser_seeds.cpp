// seeds_prefetch_parser: plain images of every version, and the corpus's
// files (compressed ones unpacked) that fit the bound.
#include "prefetch/fuzz/prefetch_seeds.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        const std::vector<Bytes> images = prefetchImages();
        for (std::size_t i = 0; i < images.size(); ++i) {
            seeds.write("made-" + std::to_string(i), images[i]);
        }
        eachCorpusFile(seeds,
                       [&seeds](const std::string& name, const Bytes&, bool, const Bytes& image) {
                           if (!image.empty() && image.size() <= fileBound) {
                               seeds.write(name, image);
                           }
                       });
    });
}
