// The compressed container's header rules, before and around decompression.
#include "prefetch/mam_container.h"

#include <gtest/gtest.h>

#include "prefetch/sample/xpress_huffman_encoder.h"
#include "prefetch/tests/xpress_test_data.h"

namespace tidewell {
namespace {

using namespace testing;
using namespace sample;

std::vector<std::uint8_t> container(const std::vector<std::uint8_t>& data, std::uint8_t formatByte,
                                    std::uint32_t declaredSize) {
    std::vector<std::uint8_t> compressed = compressXpressHuffman(data.data(), data.size());
    std::vector<std::uint8_t> bytes = {'M', 'A', 'M', formatByte};
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(declaredSize >> shift));
    }
    if (formatByte & 0x80) {
        bytes.insert(bytes.end(), {1, 2, 3, 4}); // a checksum nobody verifies
    }
    bytes.insert(bytes.end(), compressed.begin(), compressed.end());
    return bytes;
}

TEST(MamContainer, TheChecksumFlagDecidesWhereTheDataStarts) {
    const std::vector<std::uint8_t> data = prefetchLikeBytes(5000, 1);
    std::vector<std::uint8_t> image;
    EXPECT_TRUE(decompressMam(container(data, 0x84, 5000).data(),
                              container(data, 0x84, 5000).size(), image));
    EXPECT_EQ(image, data);
    const std::vector<std::uint8_t> plain = container(data, 0x04, 5000);
    EXPECT_TRUE(decompressMam(plain.data(), plain.size(), image));
    EXPECT_EQ(image, data);
    // Reading an 8-byte header as 12 (or the other way) misplaces the data.
    std::vector<std::uint8_t> wrongFlag = plain;
    wrongFlag[3] = 0x84;
    EXPECT_FALSE(decompressMam(wrongFlag.data(), wrongFlag.size(), image));
    EXPECT_TRUE(image.empty());
}

TEST(MamContainer, OnlyTheLowFourBitsAndBit7OfTheFormatByteCount) {
    const std::vector<std::uint8_t> data = repetitiveBytes(3000);
    std::vector<std::uint8_t> image;
    for (std::uint8_t accepted : {std::uint8_t{0x04}, std::uint8_t{0x14}, std::uint8_t{0x74},
                                  std::uint8_t{0x84}, std::uint8_t{0xF4}}) {
        const std::vector<std::uint8_t> bytes = container(data, accepted, 3000);
        EXPECT_TRUE(decompressMam(bytes.data(), bytes.size(), image)) << int{accepted};
    }
    for (std::uint8_t refused : {std::uint8_t{0x03}, std::uint8_t{0x05}, std::uint8_t{0x00},
                                 std::uint8_t{0x83}, std::uint8_t{0x02}}) {
        const std::vector<std::uint8_t> bytes = container(data, refused, 3000);
        EXPECT_FALSE(decompressMam(bytes.data(), bytes.size(), image)) << int{refused};
        EXPECT_TRUE(image.empty());
    }
}

TEST(MamContainer, AContainerNoLongerThanItsHeaderIsRefused) {
    std::vector<std::uint8_t> image;
    const std::vector<std::uint8_t> eight = {'M', 'A', 'M', 0x04, 0x10, 0, 0, 0};
    EXPECT_FALSE(decompressMam(eight.data(), eight.size(), image));
    const std::vector<std::uint8_t> twelve = {'M', 'A', 'M', 0x84, 0x10, 0, 0, 0, 1, 2, 3, 4};
    EXPECT_FALSE(decompressMam(twelve.data(), twelve.size(), image));
    EXPECT_FALSE(decompressMam(eight.data(), 7, image));
    EXPECT_FALSE(decompressMam(nullptr, 100, image));
    const std::vector<std::uint8_t> notMam = {'M', 'A', 'X', 0x04, 0x10, 0, 0, 0, 0, 0};
    EXPECT_FALSE(decompressMam(notMam.data(), notMam.size(), image));
}

TEST(MamContainer, DeclaredSizesOutsideOneByteTo64MiBAreRefused) {
    const std::vector<std::uint8_t> data = repetitiveBytes(100);
    std::vector<std::uint8_t> image;
    for (std::uint32_t declared : {0u, 67108865u, 0xFFFFFFFFu}) {
        const std::vector<std::uint8_t> bytes = container(data, 0x04, declared);
        EXPECT_FALSE(decompressMam(bytes.data(), bytes.size(), image)) << declared;
        EXPECT_EQ(image.capacity(), 0u) << "nothing allocated for " << declared;
    }
}

TEST(MamContainer, ExactlySixtyFourMebibytesAreAccepted) {
    // 64 MiB of zeros, one block per 65,536 bytes, built token by token so
    // that the test stays quick.
    std::vector<XpressBlock> blocks;
    blocks.push_back({{{false, 0, 0, 0}, {true, 0, 65535, 1}}, false});
    while (blocks.size() < 1024) {
        blocks.push_back({{{true, 0, 65536, 1}}, false});
    }
    const std::vector<std::uint8_t> bytes =
        wrapInMamContainer(encodeXpressBlocks(blocks), 67108864u, false);
    std::vector<std::uint8_t> image;
    ASSERT_TRUE(decompressMam(bytes.data(), bytes.size(), image));
    EXPECT_EQ(image.size(), 67108864u);
    EXPECT_EQ(image.front(), 0);
    EXPECT_EQ(image.back(), 0);
}

TEST(MamContainer, DataThatFallsShortOfTheDeclaredSizeIsRefused) {
    const std::vector<std::uint8_t> data = prefetchLikeBytes(4000, 2);
    std::vector<std::uint8_t> image(10, 0xAB); // emptied whatever it held
    const std::vector<std::uint8_t> bytes = container(data, 0x04, 4001);
    EXPECT_FALSE(decompressMam(bytes.data(), bytes.size(), image));
    EXPECT_TRUE(image.empty());
}

} // namespace
} // namespace tidewell
