#include "prefetch/prefetch_layout.h"

namespace tidewell {

namespace {

// Windows XP and Server 2003 (version 17) keep their one run time at 120;
// later versions moved the slots to 128. The minimum size is the larger of
// the end of the last slot and the end of the run count.
constexpr PrefetchLayout layouts[] = {
    {17, 1, 120, 144, 0, 148, 40},   {23, 1, 128, 152, 0, 156, 104}, {26, 8, 128, 208, 0, 212, 104},
    {30, 8, 128, 208, 200, 212, 96}, {31, 8, 128, 200, 0, 204, 96},
};

} // namespace

const PrefetchLayout* findPrefetchLayout(std::uint32_t version) {
    for (const PrefetchLayout& layout : layouts) {
        if (layout.version == version) {
            return &layout;
        }
    }
    return nullptr;
}

} // namespace tidewell
