// seeds_mam_container: containers of images and of Prefetch-like data of
// several sizes, and the corpus's compressed files.
#include "prefetch/fuzz/prefetch_seeds.h"
#include "prefetch/tests/xpress_test_data.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        const std::vector<Bytes> images = prefetchImages();
        for (std::size_t i = 0; i < images.size(); ++i) {
            seeds.write("made-" + std::to_string(i), container(images[i]));
        }
        for (std::size_t size : {0u, 1u, 300u, 4096u, 20000u}) {
            seeds.write("prefetch-like-" + std::to_string(size),
                        container(tidewell::testing::prefetchLikeBytes(size, 5)));
        }
        eachCorpusFile(seeds, [&seeds](const std::string& name, const Bytes& stored,
                                       bool compressed, const Bytes&) {
            if (compressed && stored.size() <= fileBound) {
                seeds.write(name, stored);
            }
        });
    });
}
