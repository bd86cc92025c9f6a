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
constexpr std::size_t codeLengthBytes = 256;
constexpr std::size_t blockOutput = 65536;

// Two-level decoding table: the first 11 bits of a code index the primary
// part; the few codes longer than that continue in 16-entry subtables
// indexed by the next 4 bits. Filling 2,048 entries per block instead of
// 32,768 matters for the many small Prefetch files.
constexpr unsigned primaryBits = 11;
constexpr unsigned secondaryBits = maxCodeLength - primaryBits;
constexpr std::size_t primarySize = std::size_t{1} << primaryBits;
constexpr std::size_t secondarySize = std::size_t{1} << secondaryBits;
constexpr std::size_t tableCapacity = primarySize + symbolCount * secondarySize;

// An entry is a symbol (low 9 bits) and its code length (next 4 bits), or,
// with the top bit set, the start of a subtable.
constexpr unsigned symbolMask = 0x1FF;
constexpr unsigned lengthShift = 9;
constexpr std::uint16_t subtableFlag = 0x8000;
// Neither a subtable nor a match (symbol 256 or above): a literal, whole.
constexpr std::uint16_t notLiteral = subtableFlag | 0x100;

// Sets count entries from first on to entry; four at a time where there are
// that many (a code's entries start at a multiple of their count).
inline void fillEntries(std::uint16_t* first, std::size_t count, std::uint16_t entry) {
    if (count >= 4) {
        const std::uint64_t four = entry * 0x0001000100010001ULL;
        for (std::size_t i = 0; i < count; i += 4) {
            std::memcpy(first + i, &four, sizeof four);
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        first[i] = entry;
    }
}

// Fills the table from a block's code lengths. Canonical codes give shorter
// codes the smaller prefixes, and within one length the smaller symbol
// first. Only a complete code (Kraft sum exactly one) is accepted: an
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
    if (kraft != (std::uint32_t{1} << maxCodeLength)) {
        return false;
    }
    // Canonical codes: by length, and within a length by symbol, so each
    // length's codes start where the shorter ones end and are handed out in
    // symbol order. Left-aligned to 15 bits, the codes of up to 11 bits
    // cover whole primary entries, so the longer ones start on a primary
    // entry's boundary and fill every entry from there on: each of those
    // entries leads to a subtable of its own.
    std::uint32_t nextCode[maxCodeLength + 2] = {};
    for (unsigned length = 1; length <= maxCodeLength; ++length) {
        nextCode[length + 1] =
            nextCode[length] + (countOfLength[length] << (maxCodeLength - length));
    }
    const std::size_t firstLongPrefix = nextCode[primaryBits + 1] >> secondaryBits;
    for (std::size_t prefix = firstLongPrefix; prefix < primarySize; ++prefix) {
        table[prefix] = static_cast<std::uint16_t>(
            subtableFlag | (primarySize + (prefix - firstLongPrefix) * secondarySize));
    }
    for (unsigned symbol = 0; symbol < symbolCount; ++symbol) {
        const unsigned length = lengths[symbol];
        if (length == 0) {
            continue;
        }
        const std::uint32_t code = nextCode[length];
        const std::uint32_t span = std::uint32_t{1} << (maxCodeLength - length);
        nextCode[length] = code + span;
        const auto entry = static_cast<std::uint16_t>(symbol | (length << lengthShift));
        const std::size_t prefix = code >> secondaryBits;
        if (length <= primaryBits) {
            fillEntries(table + prefix, span >> secondaryBits, entry);
        } else {
            const std::size_t base = table[prefix] & ~subtableFlag;
            fillEntries(table + base + code % secondarySize, span, entry);
        }
    }
    return true;
}

// The decoder's state within one block. Up to 32 bits are buffered;
// extraBits counts how many more than 16 are loaded (so at least 16 are
// always there to peek at). Near the end of the input, words past it read as
// zeros but are counted as phantom words, and consuming any of their bits is
// an error: the input was truncated.
struct BlockDecoder {
    const std::uint8_t* input;
    std::size_t inputSize;
    std::size_t position; // next unread byte; may pass inputSize by phantom words
    std::uint8_t* output;
    std::size_t outputSize;
    std::size_t outputPosition;
    const std::uint16_t* table;
    std::uint32_t bits = 0;
    int extraBits = 16;
    unsigned phantomWords = 0;
};

// One symbol needs at most two refills (4 bytes) and seven raw length bytes;
// with this much input left, no read can pass its end.
constexpr std::size_t safeInputMargin = 16;

inline std::uint32_t readLe16(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8);
}

// The first two words of a block's bit stream.
void startBits(BlockDecoder& d) {
    for (int word = 0; word < 2; ++word) {
        d.bits <<= 16;
        if (d.position <= d.inputSize && d.inputSize - d.position >= 2) {
            d.bits |= readLe16(d.input + d.position);
        } else {
            ++d.phantomWords;
        }
        d.position += 2;
    }
}

// Copies a match of length bytes from offset bytes back; room (the output
// left) is at least length.
inline void copyMatch(std::uint8_t* target, std::size_t room, std::size_t offset,
                      std::size_t length) {
    const std::uint8_t* source = target - offset;
    // With the source at least a chunk behind and room for a chunk's overrun,
    // whole chunks can be copied: each chunk's source is already written.
    // Most matches are at most 8 bytes long and 8 or more back: one copy.
    if (offset >= 8 && room >= length + 16) {
        std::memcpy(target, source, 8);
        if (length <= 8) {
            return;
        }
        if (offset >= 16) {
            for (std::size_t done = 8; done < length; done += 16) {
                std::memcpy(target + done, source + done, 16);
            }
            return;
        }
        for (std::size_t done = 8; done < length; done += 8) {
            std::memcpy(target + done, source + done, 8);
        }
        return;
    }
    if (offset >= 8 && room >= length + 8) {
        for (std::size_t done = 0; done < length; done += 8) {
            std::memcpy(target + done, source + done, 8);
        }
        return;
    }
    for (std::size_t i = 0; i < length; ++i) {
        target[i] = source[i];
    }
}

// Decodes symbols until the output reaches stop. The fast variant hands over
// (returning true) as soon as the input left is too short to read without
// checks; the careful one checks every read. False on a stream error. The
// state lives in locals while it runs: the byte stores to the output could
// otherwise alias it and force it through memory.
template <bool Careful> bool decodeSymbols(BlockDecoder& state, std::size_t stop) {
    const std::uint8_t* const input = state.input;
    const std::size_t inputSize = state.inputSize;
    std::uint8_t* const output = state.output;
    const std::size_t outputSize = state.outputSize;
    const std::uint16_t* const table = state.table;
    std::size_t position = state.position;
    std::size_t outputPosition = state.outputPosition;
    std::uint32_t bits = state.bits;
    int extraBits = state.extraBits;
    unsigned phantomWords = state.phantomWords;
    // The fast variant stops where fewer than safeInputMargin bytes remain:
    // a read that passes that point ends the loop after the symbol at hand
    // (which reads at most 11 bytes in all), so no symbol needs a check.
    const std::size_t fastEnd = inputSize >= safeInputMargin ? inputSize - safeInputMargin : 0;
    std::size_t limit = stop;
    bool ok = true;

    // Drops count bits (0 to 15) and refills; false when real input ran out.
    auto consume = [&](unsigned count) {
        bits <<= count;
        extraBits -= static_cast<int>(count);
        if (extraBits < 0) {
            std::uint32_t word = 0;
            if (!Careful || (position <= inputSize && inputSize - position >= 2)) {
                word = readLe16(input + position);
            } else {
                ++phantomWords;
            }
            position += 2;
            bits |= word << static_cast<unsigned>(-extraBits);
            extraBits += 16;
            if (!Careful && position > fastEnd) {
                limit = 0;
            }
        }
        // Unconsumed bits are extraBits + 16; the phantom ones are the last loaded.
        return !Careful || phantomWords == 0 ||
               static_cast<unsigned>(extraBits + 16) >= 16 * phantomWords;
    };
    // Raw bytes of a long match length, at the byte position after the words
    // loaded so far.
    auto readRaw = [&](std::size_t count, std::uint32_t& value) {
        if (Careful && (position > inputSize || inputSize - position < count)) {
            return false;
        }
        value = count == 1   ? input[position]
                : count == 2 ? readLe16(input + position)
                             : readLe16(input + position) | (readLe16(input + position + 2) << 16);
        position += count;
        if (!Careful && position > fastEnd) {
            limit = 0;
        }
        return true;
    };

    if (!Careful && position > fastEnd) {
        limit = 0;
    }
    while (outputPosition < limit) {
        std::uint16_t entry = table[bits >> (32 - primaryBits)];
        if ((entry & notLiteral) == 0) {
            // The common case first: a literal with a short code.
            if (!consume(entry >> lengthShift)) {
                ok = false;
                break;
            }
            output[outputPosition++] = static_cast<std::uint8_t>(entry);
            continue;
        }
        if ((entry & subtableFlag) != 0) {
            entry = table[(entry & ~subtableFlag) +
                          ((bits >> (32 - maxCodeLength)) & (secondarySize - 1))];
        }
        const unsigned symbol = entry & symbolMask;
        if (!consume(entry >> lengthShift)) {
            ok = false;
            break;
        }
        if (symbol < 256) {
            output[outputPosition++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        // A match; symbol 256 is one too (length 3, offset 1) unless the
        // output was already complete, in which case it is never read.
        const unsigned matchSymbol = symbol - 256;
        const unsigned offsetBits = matchSymbol >> 4;
        std::uint64_t length = matchSymbol & 15;
        if (length == 15) {
            // One byte, or 255 and a 16-bit value, or 255, a zero 16-bit
            // value and a 32-bit one (which real Windows 10 files use).
            std::uint32_t value = 0;
            if (!readRaw(1, value)) {
                ok = false;
                break;
            }
            if (value == 255) {
                if (!readRaw(2, value) || (value == 0 && !readRaw(4, value)) || value < 15) {
                    ok = false;
                    break;
                }
                length = value;
            } else {
                length = std::uint64_t{value} + 15;
            }
        }
        length += 3;
        // Shifted by 31 and 1, no offset bits give 0 (a shift by 32 would not).
        const std::size_t offset =
            ((bits >> 1) >> (31 - offsetBits)) | (std::uint32_t{1} << offsetBits);
        if (!consume(offsetBits)) {
            ok = false;
            break;
        }
        if (offset > outputPosition || length > outputSize - outputPosition) {
            ok = false;
            break;
        }
        copyMatch(output + outputPosition, outputSize - outputPosition, offset,
                  static_cast<std::size_t>(length));
        outputPosition += static_cast<std::size_t>(length);
    }
    state.position = position;
    state.outputPosition = outputPosition;
    state.bits = bits;
    state.extraBits = extraBits;
    state.phantomWords = phantomWords;
    return ok;
}

} // namespace

bool decompressXpressHuffman(const std::uint8_t* input, std::size_t inputSize, std::uint8_t* output,
                             std::size_t outputSize, std::size_t& finalSize) {
    finalSize = 0;
    if (outputSize == 0) {
        return true;
    }
    if (input == nullptr || output == nullptr) {
        return false;
    }
    const std::unique_ptr<std::uint16_t[]> table(new std::uint16_t[tableCapacity]);
    std::size_t inputPosition = 0;
    std::size_t outputPosition = 0;

    while (outputPosition < outputSize) {
        if (inputPosition > inputSize || inputSize - inputPosition < codeLengthBytes) {
            break; // no room for another table: truncated
        }
        if (!buildDecodingTable(input + inputPosition, table.get())) {
            break;
        }
        BlockDecoder d{input,      inputSize,  inputPosition + codeLengthBytes,
                       output,     outputSize, outputPosition,
                       table.get()};
        startBits(d);
        // The block ends once it has produced 65,536 bytes, or the output is full.
        const std::size_t stop =
            outputSize - outputPosition < blockOutput ? outputSize : outputPosition + blockOutput;
        const bool decoded = d.phantomWords == 0
                                 ? decodeSymbols<false>(d, stop) && decodeSymbols<true>(d, stop)
                                 : decodeSymbols<true>(d, stop);
        outputPosition = d.outputPosition;
        if (!decoded) {
            break;
        }
        inputPosition = d.position;
    }
    finalSize = outputPosition;
    return outputPosition == outputSize;
}

} // namespace tidewell
