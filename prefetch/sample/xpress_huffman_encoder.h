// A small encoder of the Xpress LZ77+Huffman format, for tests and for the
// tools that make sample compressed Prefetch files. It is written to be
// obviously right rather than to compress well: greedy matches, Huffman
// codes limited to 15 bits, and every block laid out exactly as a decoder
// that follows the format description reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tidewell::sample {

struct XpressToken {
    bool isMatch = false;
    std::uint8_t literal = 0;
    std::uint32_t length = 0; // 3 or more for a match
    std::uint32_t offset = 0; // 1 to 65535 for a match
};

struct XpressBlock {
    std::vector<XpressToken> tokens;
    bool endSymbol = false; // write symbol 256 after the tokens
};

// Cuts a token sequence into blocks the way a decoder will: a new block
// starts with the first token after 65,536 bytes of output.
std::vector<XpressBlock> blocksFromTokens(const std::vector<XpressToken>& tokens, bool endSymbol);

// Encodes the given blocks, each with its own code table built from its
// symbol frequencies.
std::vector<std::uint8_t> encodeXpressBlocks(const std::vector<XpressBlock>& blocks);

struct XpressOptions {
    bool endSymbol = true;           // end the last block with symbol 256
    bool matchesCrossBlocks = false; // let a match run past a block's 65,536 bytes
    std::size_t maxMatchLength = 1u << 20;
};

// Greedy LZ77 over the whole input (matches may reach back into earlier
// blocks), cut into blocks of 65,536 output bytes.
std::vector<std::uint8_t> compressXpressHuffman(const std::uint8_t* data, std::size_t size,
                                                const XpressOptions& options = {});

// A "MAM" container around the compressed data: signature, format 4 (with
// bit 7 and a checksum field when withChecksum), the declared size.
std::vector<std::uint8_t> wrapInMamContainer(const std::vector<std::uint8_t>& compressed,
                                             std::uint32_t declaredSize, bool withChecksum);

} // namespace tidewell::sample
