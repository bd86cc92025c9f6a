// Decoding follows the format description: the stream is a run of blocks,
// each a 256-byte table of 512 four-bit code lengths followed by a bit stream
// of 16-bit little-endian words read most significant bit first, into which
// the long match lengths are interleaved as raw bytes. A block ends once it
// has produced 65,536 bytes (a match may carry it a little further); the bits
// left in the bit buffer are then dropped and the next table starts at the
// next unread byte. Decoding stops as soon as the expected size is reached,
// so a stream needs no end symbol.
#include "prefetch/xpress_huffman.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace tidewell {

namespace {

constexpr unsigned symbolCount = 512;
constexpr unsigned maxCodeLength = 15;
constexpr std::size_t tableSize = std::size_t{1} << maxCodeLength;
constexpr std::size_t codeLengthBytes = 256;
constexpr std::size_t blockOutput = 65536;

// One decoding-table entry: the symbol in the low 9 bits, its code length above.
constexpr unsigned symbolMask = 0x1FF;
constexpr unsigned lengthShift = 9;

// Fills the 15-bit lookup table from a block's code lengths. Canonical codes
// give shorter codes the smaller prefixes, and within one length the smaller
// symbol first, so walking lengths then symbols in order fills the table from
// its start. Only a complete code (Kraft sum exactly one) is accepted: an
// all-zero, over-subscribed or incomplete table cannot come from an encoder
// and would leave bit patterns without meaning.
bool buildDecodingTable(const std::uint8_t* packedLengths, std::uint16_t* table) {
    std::uint8_t lengths[symbolCount];
    unsigned countOfLength[maxCodeLength + 1] = {};
    for (unsigned i = 0; i < codeLengthBytes; ++i) {
        lengths[2 * i] = packedLengths[i] & 0x0F;
        lengths[2 * i + 1] = packedLengths[i] >> 4;
        ++countOfLength[lengths[2 * i]];
        ++countOfLength[lengths[2 * i + 1]];
    }
    std::uint32_t kraft = 0;
    for (unsigned length = 1; length <= maxCodeLength; ++length) {
        kraft += countOfLength[length] << (maxCodeLength - length);
    }
    if (kraft != tableSize) {
        return false;
    }
    std::size_t position = 0;
    for (unsigned length = 1; length <= maxCodeLength; ++length) {
        if (countOfLength[length] == 0) {
            continue;
        }
        const std::size_t span = std::size_t{1} << (maxCodeLength - length);
        for (unsigned symbol = 0; symbol < symbolCount; ++symbol) {
            if (lengths[symbol] == length) {
                const auto entry = static_cast<std::uint16_t>(symbol | (length << lengthShift));
                std::fill(table + position, table + position + span, entry);
                position += span;
            }
        }
    }
    return true;
}

// The bit reader of one block. Up to 32 bits are buffered; extraBits counts
// how many more than 16 are loaded (so at least 16 are always available to
// peek at). Words past the end of the input read as zeros but are counted, and
// consuming any of their bits is an error: the input was truncated.
struct BitReader {
    const std::uint8_t* input;
    std::size_t inputSize;
    std::size_t position; // next unread byte; may pass inputSize by phantom words
    std::uint32_t bits = 0;
    int extraBits = 16;
    unsigned phantomWords = 0;

    std::uint32_t nextWord() {
        std::uint32_t word = 0;
        if (position <= inputSize && inputSize - position >= 2) {
            word = static_cast<std::uint32_t>(input[position]) |
                   (static_cast<std::uint32_t>(input[position + 1]) << 8);
        } else {
            ++phantomWords;
        }
        position += 2;
        return word;
    }

    void start() {
        bits = nextWord() << 16;
        bits |= nextWord();
        extraBits = 16;
    }

    // Drops count bits (1 to 15) and refills; false when real input ran out.
    bool consume(unsigned count) {
        bits <<= count;
        extraBits -= static_cast<int>(count);
        if (extraBits < 0) {
            bits |= nextWord() << static_cast<unsigned>(-extraBits);
            extraBits += 16;
        }
        // Unconsumed bits are extraBits + 16; the phantom ones are the last loaded.
        return phantomWords == 0 ||
               static_cast<unsigned>(extraBits + 16) >= 16 * phantomWords;
    }

    bool readByte(std::uint32_t& value) {
        if (position >= inputSize) {
            return false;
        }
        value = input[position++];
        return true;
    }

    bool readU16(std::uint32_t& value) {
        if (position > inputSize || inputSize - position < 2) {
            return false;
        }
        value = static_cast<std::uint32_t>(input[position]) |
                (static_cast<std::uint32_t>(input[position + 1]) << 8);
        position += 2;
        return true;
    }

    bool readU32(std::uint32_t& value) {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
        if (position > inputSize || inputSize - position < 4 || !readU16(low) || !readU16(high)) {
            return false;
        }
        value = low | (high << 16);
        return true;
    }
};

// The match length that follows a match symbol whose low four bits are 15.
bool readLongLength(BitReader& reader, std::uint64_t& length) {
    std::uint32_t value = 0;
    if (!reader.readByte(value)) {
        return false;
    }
    if (value != 255) {
        length = std::uint64_t{value} + 15;
        return true;
    }
    if (!reader.readU16(value)) {
        return false;
    }
    if (value == 0 && !reader.readU32(value)) {
        return false;
    }
    if (value < 15) {
        return false;
    }
    length = value;
    return true;
}

void copyMatch(std::uint8_t* output, std::size_t outputSize, std::size_t at, std::size_t offset,
               std::size_t length) {
    std::uint8_t* target = output + at;
    const std::uint8_t* source = target - offset;
    // With the source at least 8 bytes behind and room for an 8-byte overrun,
    // whole words can be copied: each word's source is already written.
    if (offset >= 8 && outputSize - at >= length + 8) {
        for (std::size_t done = 0; done < length; done += 8) {
            std::memcpy(target + done, source + done, 8);
        }
        return;
    }
    for (std::size_t i = 0; i < length; ++i) {
        target[i] = source[i];
    }
}

} // namespace

bool decompressXpressHuffman(const std::uint8_t* input, std::size_t inputSize,
                             std::uint8_t* output, std::size_t outputSize, std::size_t& finalSize) {
    finalSize = 0;
    if (outputSize == 0) {
        return true;
    }
    if (input == nullptr || output == nullptr) {
        return false;
    }
    const std::unique_ptr<std::uint16_t[]> table(new std::uint16_t[tableSize]);
    std::size_t inputPosition = 0;
    std::size_t outputPosition = 0;

    while (outputPosition < outputSize) {
        if (inputPosition > inputSize || inputSize - inputPosition < codeLengthBytes) {
            break; // no room for another table: truncated
        }
        if (!buildDecodingTable(input + inputPosition, table.get())) {
            break;
        }
        BitReader reader{input, inputSize, inputPosition + codeLengthBytes};
        reader.start();
        const std::size_t blockEnd = outputPosition + blockOutput;
        bool failed = false;
        while (outputPosition < blockEnd && outputPosition < outputSize) {
            const std::uint16_t entry = table[reader.bits >> (32 - maxCodeLength)];
            const unsigned symbol = entry & symbolMask;
            if (!reader.consume(entry >> lengthShift)) {
                failed = true;
                break;
            }
            if (symbol < 256) {
                output[outputPosition++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            // A match; symbol 256 is one too (length 3, offset 1) unless the
            // output was already complete, in which case it was never read.
            const unsigned matchSymbol = symbol - 256;
            const unsigned offsetBits = matchSymbol >> 4;
            std::uint64_t length = matchSymbol & 15;
            if (length == 15 && !readLongLength(reader, length)) {
                failed = true;
                break;
            }
            length += 3;
            std::size_t offset = 1;
            if (offsetBits != 0) {
                offset = (reader.bits >> (32 - offsetBits)) | (std::uint32_t{1} << offsetBits);
                if (!reader.consume(offsetBits)) {
                    failed = true;
                    break;
                }
            }
            if (offset > outputPosition || length > outputSize - outputPosition) {
                failed = true;
                break;
            }
            copyMatch(output, outputSize, outputPosition, offset, static_cast<std::size_t>(length));
            outputPosition += static_cast<std::size_t>(length);
        }
        if (failed) {
            break;
        }
        inputPosition = reader.position;
    }
    finalSize = outputPosition;
    return outputPosition == outputSize;
}

} // namespace tidewell
