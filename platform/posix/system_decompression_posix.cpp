// Where Windows is absent there is no system decompressor.
#include "platform/system_decompression.h"

namespace tidewell {

SystemDecompression systemDecompressXpressHuffman(const std::uint8_t*, std::size_t, std::uint8_t*,
                                                  std::size_t, std::size_t& finalSize) {
    finalSize = 0;
    return SystemDecompression::Unavailable;
}

} // namespace tidewell
