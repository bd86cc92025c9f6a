// An ESE database's header page: its shutdown state, and its checksum summed
// the way every reader sums it or over the whole page as Windows 11 does;
// only that field is ever changed, and only for the second.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "srum/ese_header.h"

namespace tidewell {
namespace {

void putU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t byte = 0; byte < 4; ++byte) {
        bytes[at + byte] = static_cast<std::uint8_t>(value >> (8 * byte));
    }
}

// A header page of 4,096 bytes, zero but for the signature, the state and
// the page size, and a word past the first 668 bytes. Summed by hand: the
// seed cancels the signature, leaving state ^ 0x1000 over the first 668
// bytes, and that ^ 0x00ff00ff over the page.
std::vector<std::uint8_t> headerPage(std::uint32_t state, std::uint32_t checksum) {
    std::vector<std::uint8_t> page(4096, 0);
    putU32(page, 0, checksum);
    putU32(page, 4, 0x89abcdef);
    putU32(page, 52, state);
    putU32(page, 236, 4096);
    putU32(page, 1000, 0x00ff00ff);
    return page;
}

constexpr std::uint32_t firstPartSum = 0x1002;   // state 2
constexpr std::uint32_t wholePageSum = 0xff10fd; // state 2

ByteView viewOf(const std::vector<std::uint8_t>& bytes) {
    return ByteView{bytes.data(), bytes.size()};
}

TEST(EseHeader, TheStateAndPageSizeAreRead) {
    const EseHeader dirty = readEseHeader(viewOf(headerPage(2, firstPartSum)));
    EXPECT_TRUE(dirty.signature);
    EXPECT_EQ(dirty.state, 2u);
    EXPECT_EQ(dirty.pageSize, 4096u);
    EXPECT_FALSE(eseShutDownCleanly(dirty.state));
    EXPECT_TRUE(eseShutDownCleanly(3));
    EXPECT_FALSE(eseShutDownCleanly(5)) << "force-detached is not a clean shutdown";
}

TEST(EseHeader, AChecksumIsRightOverTheFirstPartOrTheWholePageOrWrong) {
    EXPECT_EQ(readEseHeader(viewOf(headerPage(2, firstPartSum))).checksum, EseChecksum::Agrees);
    EXPECT_EQ(readEseHeader(viewOf(headerPage(2, wholePageSum))).checksum, EseChecksum::WholePage);
    EXPECT_EQ(readEseHeader(viewOf(headerPage(2, 0x12345678))).checksum, EseChecksum::Wrong);

    // A page size the engine never used gives no whole page to sum.
    std::vector<std::uint8_t> oddSize = headerPage(2, wholePageSum);
    putU32(oddSize, 236, 3000);
    EXPECT_EQ(readEseHeader(viewOf(oddSize)).checksum, EseChecksum::Wrong);
    // Nor one larger than the bytes at hand.
    std::vector<std::uint8_t> cut = headerPage(2, wholePageSum);
    cut.resize(2048);
    EXPECT_EQ(readEseHeader(viewOf(cut)).checksum, EseChecksum::Wrong);
}

TEST(EseHeader, BytesThatAreNoHeaderAreSaidToBeNone) {
    std::vector<std::uint8_t> noSignature = headerPage(3, firstPartSum);
    putU32(noSignature, 4, 0x89abcdee);
    EXPECT_FALSE(readEseHeader(viewOf(noSignature)).signature);
    const std::vector<std::uint8_t> tiny = {0xef, 0xcd, 0xab};
    EXPECT_FALSE(readEseHeader(viewOf(tiny)).signature);
    EXPECT_FALSE(readEseHeader(ByteView{}).signature);
    // A signature with too few bytes to sum is no sound header.
    std::vector<std::uint8_t> short600 = headerPage(3, firstPartSum);
    short600.resize(600);
    EXPECT_EQ(readEseHeader(viewOf(short600)).checksum, EseChecksum::Wrong);
}

TEST(EseHeader, OnlyAWholePageSumIsMatchedAndOnlyItsFieldChanges) {
    std::vector<std::uint8_t> page = headerPage(2, wholePageSum);
    const std::vector<std::uint8_t> before = page;
    ASSERT_TRUE(matchEseHeaderChecksum(page));
    EXPECT_EQ(readEseHeader(viewOf(page)).checksum, EseChecksum::Agrees);
    for (std::size_t at = 4; at < page.size(); ++at) {
        ASSERT_EQ(page[at], before[at]) << "byte " << at << " changed";
    }
    EXPECT_EQ(page[0] | (page[1] << 8) | (page[2] << 16) | (page[3] << 24),
              static_cast<int>(firstPartSum));

    for (std::uint32_t stored : {firstPartSum, 0xdeadbeefu}) {
        std::vector<std::uint8_t> other = headerPage(2, stored);
        const std::vector<std::uint8_t> kept = other;
        EXPECT_FALSE(matchEseHeaderChecksum(other)) << std::hex << stored;
        EXPECT_EQ(other, kept);
    }
    std::vector<std::uint8_t> empty;
    EXPECT_FALSE(matchEseHeaderChecksum(empty));
}

TEST(EseHeader, BothCopiesOfTheHeaderAreMatchedEachOnlyWhereItsWholePageAgrees) {
    // The header, then its backup on the second page.
    std::vector<std::uint8_t> twoPages = headerPage(2, wholePageSum);
    std::vector<std::uint8_t> backup = headerPage(2, wholePageSum);
    twoPages.insert(twoPages.end(), backup.begin(), backup.end());
    ASSERT_TRUE(matchEseHeaderChecksum(twoPages));
    EXPECT_EQ(readEseHeader(viewOf(twoPages)).checksum, EseChecksum::Agrees);
    const ByteView second{twoPages.data() + 4096, 4096};
    EXPECT_EQ(readEseHeader(second).checksum, EseChecksum::Agrees);

    // A backup summed the old way already agrees and is left as it is; one
    // wrong both ways stays wrong for the reader to refuse.
    for (std::uint32_t backupSum : {firstPartSum, 0x0badf00du}) {
        std::vector<std::uint8_t> pages = headerPage(2, wholePageSum);
        std::vector<std::uint8_t> other = headerPage(2, backupSum);
        pages.insert(pages.end(), other.begin(), other.end());
        ASSERT_TRUE(matchEseHeaderChecksum(pages)) << "the first copy is matched";
        EXPECT_TRUE(std::equal(other.begin(), other.end(), pages.begin() + 4096))
            << std::hex << backupSum;
    }
}

} // namespace
} // namespace tidewell
