#include "prefetch/mam_container.h"

#include "platform/byte_reader.h"
#include "platform/system_decompression.h"
#include "prefetch/xpress_huffman.h"

namespace tidewell {

namespace {

constexpr std::uint8_t xpressHuffmanFormat = 4;
constexpr std::uint8_t checksumFlag = 0x80;

bool unpack(const std::uint8_t* compressed, std::size_t compressedSize,
            std::vector<std::uint8_t>& image) {
    std::size_t finalSize = 0;
    switch (systemDecompressXpressHuffman(compressed, compressedSize, image.data(), image.size(),
                                          finalSize)) {
    case SystemDecompression::Succeeded:
        return finalSize == image.size();
    case SystemDecompression::Failed:
        return false;
    case SystemDecompression::Unavailable:
        break;
    }
    return decompressXpressHuffman(compressed, compressedSize, image.data(), image.size(),
                                   finalSize) &&
           finalSize == image.size();
}

} // namespace

bool decompressMam(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& image) {
    image.clear();
    const ByteView bytes{data, size};
    if (data == nullptr || size < 8 || data[0] != 'M' || data[1] != 'A' || data[2] != 'M') {
        return false;
    }
    const std::uint8_t format = data[3];
    if ((format & 0x0F) != xpressHuffmanFormat) {
        return false;
    }
    const std::size_t headerSize = (format & checksumFlag) != 0 ? 12 : 8;
    if (size <= headerSize) {
        return false;
    }
    std::uint32_t declaredSize = 0;
    bytes.readU32(4, declaredSize);
    if (declaredSize == 0 || declaredSize > maxPrefetchImageSize) {
        return false; // refused before anything is allocated
    }
    image.assign(declaredSize, 0);
    if (!unpack(data + headerSize, size - headerSize, image)) {
        image.clear();
        image.shrink_to_fit();
        return false;
    }
    return true;
}

} // namespace tidewell
