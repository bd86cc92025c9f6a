// seeds_xpress_huffman: the decoder target's own form (the output size in
// two bytes, in KiB and bytes, then the stream) of images and of
// Prefetch-like data, and the corpus's compressed files.
#include "prefetch/fuzz/prefetch_seeds.h"
#include "prefetch/tests/xpress_test_data.h"

namespace {

tidewell::fuzz::Bytes sizedStream(const tidewell::fuzz::Bytes& data) {
    tidewell::fuzz::Bytes seed = {static_cast<std::uint8_t>(data.size() >> 10),
                                  static_cast<std::uint8_t>(data.size() & 0x3FF)};
    const tidewell::fuzz::Bytes stream =
        tidewell::sample::compressXpressHuffman(data.data(), data.size());
    seed.insert(seed.end(), stream.begin(), stream.end());
    return seed;
}

} // namespace

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        const std::vector<Bytes> images = prefetchImages();
        for (std::size_t i = 0; i < images.size(); ++i) {
            seeds.write("made-" + std::to_string(i), sizedStream(images[i]));
        }
        for (std::size_t size : {0u, 1u, 300u, 4096u, 20000u}) {
            seeds.write("prefetch-like-" + std::to_string(size),
                        sizedStream(tidewell::testing::prefetchLikeBytes(size, 5)));
        }
        eachCorpusFile(seeds, [&seeds](const std::string& name, const Bytes& stored,
                                       bool compressed, const Bytes&) {
            if (compressed && stored.size() <= fileBound) {
                seeds.write(name, stored);
            }
        });
    });
}
