#include "hive/hive_base_block.h"

namespace tidewell {

namespace {

constexpr std::uint32_t checksumOffset = 508;

} // namespace

std::uint32_t baseBlockChecksum(const ByteView& bytes) {
    std::uint32_t sum = 0;
    for (std::uint32_t at = 0; at < checksumOffset; at += 4) {
        std::uint32_t word = 0;
        bytes.readU32(at, word);
        sum ^= word;
    }
    if (sum == 0xFFFFFFFFu) {
        return 0xFFFFFFFEu;
    }
    return sum == 0 ? 1 : sum;
}

bool readBaseBlock(const ByteView& bytes, HiveBaseBlock& block) {
    block = HiveBaseBlock{};
    if (!bytes.contains(0, hiveLogBaseBlockSize)) {
        return false;
    }
    block.signatureValid = bytes.data[0] == 'r' && bytes.data[1] == 'e' && bytes.data[2] == 'g' &&
                           bytes.data[3] == 'f';
    std::uint32_t stored = 0;
    bytes.readU32(checksumOffset, stored);
    block.checksumValid = stored == baseBlockChecksum(bytes);
    bytes.readU32(4, block.primarySequence);
    bytes.readU32(8, block.secondarySequence);
    bytes.readU64(12, block.lastWritten);
    bytes.readU32(20, block.majorVersion);
    bytes.readU32(24, block.minorVersion);
    bytes.readU32(28, block.fileType);
    bytes.readU32(32, block.fileFormat);
    bytes.readU32(36, block.rootCell);
    bytes.readU32(40, block.binsSize);
    return true;
}

} // namespace tidewell
