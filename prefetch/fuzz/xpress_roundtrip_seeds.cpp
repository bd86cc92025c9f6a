// seeds_xpress_roundtrip: the round trip's input, an options byte and then
// Prefetch-like data, for every combination of the options.
#include "fuzz/seed_writer.h"
#include "prefetch/tests/xpress_test_data.h"

int main(int argc, char** argv) {
    using namespace tidewell::fuzz;
    return seedsMain(argc, argv, [](SeedFolder& seeds) {
        for (std::uint8_t options = 0; options < 8; ++options) {
            Bytes seed = {options};
            const Bytes data = tidewell::testing::prefetchLikeBytes(200u + 150u * options, options);
            seed.insert(seed.end(), data.begin(), data.end());
            seeds.write("options-" + std::to_string(options), seed);
        }
        // Repeated past a block's end, both options on.
        Bytes repeated = {0xFF};
        const Bytes data = tidewell::testing::prefetchLikeBytes(300, 3);
        repeated.insert(repeated.end(), data.begin(), data.end());
        seeds.write("repeated-blocks", repeated);
    });
}
