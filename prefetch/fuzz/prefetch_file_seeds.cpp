// seeds_prefetch_file: images of every version, plain and compressed, and
// the corpus's files as they are stored.
#include "prefetch/fuzz/prefetch_seeds.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        const std::vector<Bytes> images = prefetchImages();
        for (std::size_t i = 0; i < images.size(); ++i) {
            seeds.write("made-" + std::to_string(i), images[i]);
            seeds.write("made-" + std::to_string(i) + "-mam", container(images[i]));
        }
        eachCorpusFile(seeds,
                       [&seeds](const std::string& name, const Bytes& stored, bool, const Bytes&) {
                           if (stored.size() <= fileBound) {
                               seeds.write(name, stored);
                           }
                       });
    });
}
