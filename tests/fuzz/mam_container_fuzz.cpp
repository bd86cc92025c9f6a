// Any bytes as a compressed Prefetch container: refused or unpacked to
// exactly the declared size, never anything in between.
#include <cstdlib>
#include <vector>

#include "prefetch/mam_container.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> image(3, 0xEE);
    const bool ok = tidewell::decompressMam(data, size, image);
    if (!ok && !image.empty()) {
        std::abort();
    }
    if (ok) {
        const std::uint32_t declared = static_cast<std::uint32_t>(data[4]) |
                                       (static_cast<std::uint32_t>(data[5]) << 8) |
                                       (static_cast<std::uint32_t>(data[6]) << 16) |
                                       (static_cast<std::uint32_t>(data[7]) << 24);
        if (image.size() != declared) {
            std::abort();
        }
    }
    return 0;
}
