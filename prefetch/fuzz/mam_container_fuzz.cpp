// Any bytes as a compressed Prefetch container: refused or unpacked to
// exactly the declared size, never anything in between.
#include <cstdlib>
#include <vector>

#include "prefetch/mam_container.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A container may declare up to 64 MiB, which the unpacking allocates
    // before it decodes; past 1 MiB that allocation is all an input adds, and
    // it would slow every run down, so such inputs are not tried.
    if (size >= 8 && data[0] == 'M' && data[1] == 'A' && data[2] == 'M' &&
        (data[7] != 0 || data[6] > 0x10)) {
        return 0;
    }
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
