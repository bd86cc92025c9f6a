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
#include <bit>
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
// 32,768 matters for the many small Prefetch files. A complete code has at
// most 256 codes longer than 11 bits' prefixes (each such prefix holds two
// codes at least), so the table is 24 KB: within the first-level cache.
constexpr unsigned primaryBits = 11;
constexpr unsigned secondaryBits = maxCodeLength - primaryBits;
constexpr std::size_t primarySize = std::size_t{1} << primaryBits;
constexpr std::size_t secondarySize = std::size_t{1} << secondaryBits;
constexpr std::size_t maxSubtables = symbolCount / 2;
constexpr std::size_t tableCapacity = primarySize + maxSubtables * secondarySize;

// An entry: the bits it takes from the stream (low byte), its kind (bits
// 16-17) and its content. A literal holds its byte in the second byte; a
// symbol its number (a match whose length or offset needs more reading, and
// in the second byte its length where it is short, see symbolEntry) and a
// subtable its first entry, both from bit 18. A match whose code and
// offset bits fit in 11 bits, whose offset is 8 or more and whose length is
// at most 16 is resolved whole: its length in the second byte and its offset
// from bit 21, and it takes its code and offset bits at once; it is then two
// 8-byte moves. The taken bits fill the low byte alone, so that the fast
// decoder can shift by the entry and subtract it whole from a count of which
// only the low byte is read; the second byte is then read as it stands.
constexpr std::uint32_t takenMask = 0xFF;
constexpr unsigned byteShift = 8; // a literal's byte, a whole match's length
constexpr std::uint32_t kindMask = 0x30000;
constexpr std::uint32_t literalKind = 0x00000;
constexpr std::uint32_t wholeMatchKind = 0x10000;
constexpr std::uint32_t symbolKind = 0x20000;
constexpr std::uint32_t subtableKind = 0x30000;
constexpr unsigned contentShift = 18;
constexpr unsigned wholeOffsetShift = 21;
constexpr unsigned wholeMinOffsetBits = 3;    // offsets of 8 and more
constexpr unsigned wholeMaxLengthNibble = 13; // lengths up to 16

// The length of a match symbol's match where it is short enough to be copied
// as one (offset 8 or more, length at most 16); 0 where it is not.
inline unsigned shortMatchLength(unsigned symbol) {
    const unsigned lengthNibble = symbol & 15;
    const unsigned offsetBits = (symbol >> 4) & 15;
    return lengthNibble <= wholeMaxLengthNibble && offsetBits >= wholeMinOffsetBits
               ? lengthNibble + 3
               : 0;
}

// A literal's entry, or a symbol's: one of a short match carries its length
// too, for the fast decoder to copy it as one.
inline std::uint32_t symbolEntry(unsigned symbol, unsigned codeLength) {
    if (symbol < 256) {
        return codeLength | literalKind | (symbol << byteShift);
    }
    return codeLength | symbolKind | (shortMatchLength(symbol) << byteShift) |
           (symbol << contentShift);
}

// Sets count entries from first on to entry; four or two at a time where
// there are that many (a code's entries start at a multiple of their count).
inline void fillEntries(std::uint32_t* first, std::size_t count, std::uint32_t entry) {
    if (count >= 4) {
        const std::uint32_t four[4] = {entry, entry, entry, entry};
        for (std::size_t i = 0; i < count; i += 4) {
            std::memcpy(first + i, four, sizeof four);
        }
    } else if (count == 2) {
        const std::uint32_t two[2] = {entry, entry};
        std::memcpy(first, two, sizeof two);
    } else {
        first[0] = entry;
    }
}

// A match symbol's primary entries, where its code and offset bits fit: one
// run of entries per value of the offset bits, each the whole match.
// Otherwise its entries only name the symbol.
void fillMatchEntries(std::uint32_t* first, unsigned symbol, unsigned codeLength) {
    const unsigned length = shortMatchLength(symbol);
    const unsigned offsetBits = (symbol >> 4) & 15;
    if (length == 0 || codeLength + offsetBits > primaryBits) {
        fillEntries(first, std::size_t{1} << (primaryBits - codeLength),
                    symbolEntry(symbol, codeLength));
        return;
    }
    const std::size_t run = std::size_t{1} << (primaryBits - codeLength - offsetBits);
    const std::uint32_t common = (codeLength + offsetBits) | wholeMatchKind | (length << byteShift);
    for (std::uint32_t value = 0; value < (1u << offsetBits); ++value) {
        const std::uint32_t offset = value | (1u << offsetBits);
        fillEntries(first + value * run, run, common | (offset << wholeOffsetShift));
    }
}

// Fills the table from a block's code lengths. Canonical codes give shorter
// codes the smaller prefixes, and within one length the smaller symbol
// first. Only a complete code (Kraft sum exactly one) is accepted: an
// all-zero, over-subscribed or incomplete table cannot come from an encoder
// and would leave bit patterns without meaning.
bool buildDecodingTable(const std::uint8_t* packedLengths, std::uint32_t* table) {
    unsigned countOfLength[maxCodeLength + 1] = {};
    for (unsigned i = 0; i < codeLengthBytes; ++i) {
        ++countOfLength[packedLengths[i] & 0x0F];
        ++countOfLength[packedLengths[i] >> 4];
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
    if (primarySize - firstLongPrefix > maxSubtables) {
        return false; // cannot happen for a complete code; the table's size relies on it
    }
    for (std::size_t prefix = firstLongPrefix; prefix < primarySize; ++prefix) {
        table[prefix] = static_cast<std::uint32_t>(
            subtableKind |
            ((primarySize + (prefix - firstLongPrefix) * secondarySize) << contentShift));
    }
    auto place = [&](unsigned symbol, unsigned length) {
        const std::uint32_t code = nextCode[length];
        const std::uint32_t span = std::uint32_t{1} << (maxCodeLength - length);
        nextCode[length] = code + span;
        const std::size_t prefix = code >> secondaryBits;
        if (length > primaryBits) {
            const std::size_t base = table[prefix] >> contentShift;
            fillEntries(table + base + code % secondarySize, span, symbolEntry(symbol, length));
        } else if (symbol < 256) {
            fillEntries(table + prefix, span >> secondaryBits, symbolEntry(symbol, length));
        } else {
            fillMatchEntries(table + prefix, symbol, length);
        }
    };
    // Most blocks leave many symbols unused: a byte of two zero lengths is skipped whole.
    for (unsigned i = 0; i < codeLengthBytes; ++i) {
        const unsigned pair = packedLengths[i];
        if (pair == 0) {
            continue;
        }
        if ((pair & 0x0F) != 0) {
            place(2 * i, pair & 0x0F);
        }
        if ((pair >> 4) != 0) {
            place(2 * i + 1, pair >> 4);
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
    const std::uint32_t* table;
    std::uint32_t bits = 0;
    int extraBits = 16;
    unsigned phantomWords = 0;
};

// One symbol needs at most one refill of two words (4 bytes) and seven raw
// length bytes, and handing over one more refill; with this much input left,
// no read can pass its end.
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

// A long match's length (the symbol's four bits all set) and how many raw
// bytes it took: one byte, or 255 and a 16-bit value, or 255, a zero 16-bit
// value and a 32-bit one (which real Windows 10 files use). available is
// how many bytes may be read from at; taken is 0 where they do not hold a
// length. Returned by value, so that the decoders' state stays in registers.
struct LongLength {
    std::uint64_t length;
    std::size_t taken;
};

inline LongLength readLongLength(const std::uint8_t* at, std::size_t available) {
    if (available < 1) {
        return {0, 0};
    }
    if (at[0] != 255) {
        return {std::uint64_t{at[0]} + 15, 1};
    }
    if (available < 3) {
        return {0, 0};
    }
    std::uint32_t value = readLe16(at + 1);
    std::size_t taken = 3;
    if (value == 0) {
        if (available < 7) {
            return {0, 0};
        }
        value = readLe16(at + 3) | (readLe16(at + 5) << 16);
        taken = 7;
    }
    if (value < 15) {
        return {0, 0};
    }
    return {value, taken};
}

// Decodes symbols until the output reaches stop, checking every read: the
// end of a block's input, where words past it count as phantom words. False
// on a stream error. The state lives in locals while it runs: the byte
// stores to the output could otherwise alias it and force it through memory.
bool decodeCarefully(BlockDecoder& state, std::size_t stop) {
    const std::uint8_t* const input = state.input;
    const std::size_t inputSize = state.inputSize;
    std::uint8_t* const output = state.output;
    const std::size_t outputSize = state.outputSize;
    const std::uint32_t* const table = state.table;
    std::size_t position = state.position;
    std::size_t outputPosition = state.outputPosition;
    std::uint32_t bits = state.bits;
    int extraBits = state.extraBits;
    unsigned phantomWords = state.phantomWords;
    bool ok = true;

    // Drops count bits (0 to 15) and refills; false when real input ran out.
    auto consume = [&](unsigned count) {
        bits <<= count;
        extraBits -= static_cast<int>(count);
        if (extraBits < 0) {
            std::uint32_t word = 0;
            if (position <= inputSize && inputSize - position >= 2) {
                word = readLe16(input + position);
            } else {
                ++phantomWords;
            }
            position += 2;
            bits |= word << static_cast<unsigned>(-extraBits);
            extraBits += 16;
        }
        // Unconsumed bits are extraBits + 16; the phantom ones are the last loaded.
        return phantomWords == 0 || static_cast<unsigned>(extraBits + 16) >= 16 * phantomWords;
    };

    while (outputPosition < stop) {
        std::uint32_t entry = table[bits >> (32 - primaryBits)];
        if ((entry & kindMask) == subtableKind) {
            entry = table[(entry >> contentShift) +
                          ((bits >> (32 - maxCodeLength)) & (secondarySize - 1))];
        }
        if (!consume(entry & takenMask)) {
            ok = false;
            break;
        }
        const std::uint32_t kind = entry & kindMask;
        if (kind == literalKind) {
            output[outputPosition++] = static_cast<std::uint8_t>(entry >> byteShift);
            continue;
        }
        std::uint64_t length = (entry >> byteShift) & 0xFF;
        std::size_t offset = entry >> wholeOffsetShift;
        if (kind == symbolKind) {
            // A match; symbol 256 is one too (length 3, offset 1) unless the
            // output was already complete, in which case it is never read.
            const unsigned symbol = entry >> contentShift;
            const unsigned offsetBits = (symbol >> 4) & 15;
            length = symbol & 15;
            if (length == 15) {
                const LongLength raw = readLongLength(
                    input + position, position <= inputSize ? inputSize - position : 0);
                if (raw.taken == 0) {
                    ok = false;
                    break;
                }
                length = raw.length;
                position += raw.taken;
            }
            length += 3;
            // Shifted by 31 and 1, no offset bits give 0 (a shift by 32 would not).
            offset = ((bits >> 1) >> (31 - offsetBits)) | (std::uint32_t{1} << offsetBits);
            if (!consume(offsetBits)) {
                ok = false;
                break;
            }
        }
        const std::size_t room = outputSize - outputPosition;
        if (offset > outputPosition || length > room) {
            ok = false;
            break;
        }
        copyMatch(output + outputPosition, room, offset, static_cast<std::size_t>(length));
        outputPosition += static_cast<std::size_t>(length);
    }
    state.position = position;
    state.outputPosition = outputPosition;
    state.bits = bits;
    state.extraBits = extraBits;
    state.phantomWords = phantomWords;
    return ok;
}

// Two little-endian words as the bit stream orders them: the first one's
// bits come first.
inline std::uint32_t readTwoWords(const std::uint8_t* at) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint32_t both = 0;
        std::memcpy(&both, at, sizeof both);
        return std::rotl(both, 16);
    } else {
        return (readLe16(at) << 16) | readLe16(at + 2);
    }
}

// What the fast decoder reads and the state it carries from one run to the
// next. The bits sit in a 64-bit buffer, left-aligned: the next bit is the
// top one and the bits below count are zero. Only the low byte of count is
// read: each symbol subtracts its whole table entry, whose low byte is the
// bits it takes.
struct FastBlock {
    const std::uint8_t* input;
    std::uint8_t* output;
    std::size_t outputSize;
    const std::uint32_t* table;
    std::size_t fastEnd; // a refill or a long length starts at most here
    std::size_t position;
    std::size_t outputPosition;
    std::uint64_t bits;
    unsigned count;
};

inline unsigned bitsLeft(unsigned count) {
    return count & 0xFF;
}

// Copies a match of at most 16 bytes from offset (8 or more) back as two
// 8-byte moves, writing 16 bytes whatever its length: each piece's source is
// written before it is read.
inline void copyShortMatch(std::uint8_t* out, std::size_t offset) {
    const std::uint8_t* const source = out - offset;
    std::memcpy(out, source, 8);
    std::memcpy(out + 8, source + 8, 8);
}

// Makes a left-aligned buffer of count bits (16 or more) the format
// description's 32-bit one: 16 unconsumed bits plus what is not a whole
// word, the words beyond them unread again.
inline void giveBackWords(std::uint64_t& bits, unsigned& count, std::size_t& position) {
    const unsigned back = count - (16 + count % 16);
    position -= back / 8;
    count -= back;
    bits &= ~std::uint64_t{0} << (64 - count);
}

// How far a run may write past its output limit: it checks the limit only
// when it refills the bit buffer (and after a match that needs more
// reading), so it stops this far before the block's end and the output's.
// Each refill leaves at most 63 bits, and the last symbol before the next
// refill leaves at least 2; a symbol writes at most 4 bytes per bit it
// takes (a literal one byte for at least one bit, a match of at most 16
// bytes at least a code bit and 3 offset bits). So the symbols before the
// last write at most 4 * 60 bytes, and the last at most 16.
constexpr std::size_t uncheckedOutput = 4 * 60 + 16;

// Decodes symbols while the output is before limit and the input before
// fastEnd, checking both when it refills the bit buffer and after any match
// the table does not resolve whole. Near the start of the output (below the
// largest offset a whole match can have) a whole match's offset is checked;
// past it, it cannot reach before the output's start. False on a stream
// error; the state is then left as it was.
template <bool nearStart> bool runFast(FastBlock& block, std::size_t limit) {
    const std::uint8_t* const input = block.input;
    std::uint8_t* const output = block.output;
    const std::size_t outputSize = block.outputSize;
    const std::uint32_t* const table = block.table;
    const std::size_t fastEnd = block.fastEnd;
    std::size_t position = block.position;
    // The output is written through a pointer: one register less to add.
    std::uint8_t* out = output + block.outputPosition;
    std::uint8_t* const outLimit = output + std::max(limit, block.outputPosition);
    std::uint64_t bits = block.bits;
    unsigned count = block.count;
    if (position > fastEnd || out >= outLimit) {
        return true;
    }
    for (;;) {
        if (bitsLeft(count) < 32) {
            if (position > fastEnd || out >= outLimit) {
                break;
            }
            // Taken modulo 64, the shift depends on count's low byte alone.
            bits |= std::uint64_t{readTwoWords(input + position)} << ((32 - count) & 63);
            count += 32;
            position += 4;
        }
        std::uint32_t entry = table[bits >> (64 - primaryBits)];
        // The kinds are told apart by single bits: a literal has neither, a
        // whole match only the lower.
        if ((entry & kindMask) == literalKind) {
            // The common case first: a literal with a short code.
            bits <<= entry & 63;
            count -= entry;
            *out++ = static_cast<std::uint8_t>(entry >> byteShift);
            // The literal took at most 11 of the at least 32 bits held here:
            // a next symbol the table resolves is read at once, without
            // asking for a refill (a whole match goes on below); anything
            // else is read again after the refill check.
            entry = table[bits >> (64 - primaryBits)];
            if ((entry & kindMask) == literalKind) {
                bits <<= entry & 63;
                count -= entry;
                *out++ = static_cast<std::uint8_t>(entry >> byteShift);
                continue;
            }
            if ((entry & symbolKind) != 0) {
                continue;
            }
        }
        if ((entry & symbolKind) == 0) {
            bits <<= entry & 63;
            count -= entry;
            const std::size_t offset = entry >> wholeOffsetShift;
            if (nearStart && offset > static_cast<std::size_t>(out - output)) {
                return false;
            }
            copyShortMatch(out, offset);
            out += (entry >> byteShift) & 0xFF;
            continue;
        }
        if ((entry & wholeMatchKind) != 0) {
            // A subtable, whose entries are literals and symbols.
            entry = table[(entry >> contentShift) +
                          ((bits >> (64 - maxCodeLength)) & (secondarySize - 1))];
        }
        bits <<= entry & takenMask;
        count -= entry & takenMask;
        if ((entry & symbolKind) == 0) {
            *out++ = static_cast<std::uint8_t>(entry >> byteShift);
            continue;
        }
        const unsigned symbol = entry >> contentShift;
        const unsigned offsetBits = (symbol >> 4) & 15;
        if (const unsigned shortLength = (entry >> byteShift) & 0xFF; shortLength != 0) {
            // As short as a whole match, and copied as one: it cannot carry
            // the output further than one does.
            const std::size_t offset = static_cast<std::size_t>(bits >> (64 - offsetBits)) |
                                       (std::size_t{1} << offsetBits);
            bits <<= offsetBits;
            count -= offsetBits;
            if (offset > static_cast<std::size_t>(out - output)) {
                return false;
            }
            copyShortMatch(out, offset);
            out += shortLength;
            continue;
        }
        std::uint64_t length = symbol & 15;
        if (length == 15) {
            // The raw bytes follow the words the 32-bit buffer of the format
            // description holds here: 16 to 31 unconsumed bits, as a refill
            // left at least 32 and the code took at most 15.
            count = bitsLeft(count);
            giveBackWords(bits, count, position);
            const LongLength raw = readLongLength(input + position, 7);
            if (raw.taken == 0) {
                return false;
            }
            length = raw.length;
            position += raw.taken;
        }
        length += 3;
        // Shifted by 63 and 1, no offset bits give 0 (a shift by 64 would not).
        const std::size_t offset = static_cast<std::size_t>((bits >> 1) >> (63 - offsetBits)) |
                                   (std::size_t{1} << offsetBits);
        bits <<= offsetBits;
        count -= offsetBits;
        const std::size_t outputPosition = static_cast<std::size_t>(out - output);
        const std::size_t room = outputSize - outputPosition;
        if (offset > outputPosition || length > room) {
            return false;
        }
        copyMatch(out, room, offset, static_cast<std::size_t>(length));
        out += length;
        if (position > fastEnd || out >= outLimit) {
            break;
        }
    }
    block.position = position;
    block.outputPosition = static_cast<std::size_t>(out - output);
    block.bits = bits;
    block.count = bitsLeft(count);
    return true;
}

// The largest offset a whole match can have: its offset bits and code fit
// in the primary index, and a code takes at least one bit.
constexpr std::size_t wholeMatchOffsetLimit = std::size_t{1} << primaryBits;

// Decodes symbols until the output nears stop or the input left is too short
// to read without checks, then hands over to decodeCarefully (returning
// true). False on a stream error.
//
// The format puts a long match's raw length bytes right after the words the
// 32-bit buffer of the format description has loaded at that point; the
// state handed over is that buffer's too, so the words read beyond it are
// given back.
[[gnu::noinline]] bool decodeFast(BlockDecoder& state, std::size_t stop) {
    // A symbol reads at most one refill (4 bytes) and, from no further on,
    // seven raw bytes; giving back may read one more refill.
    FastBlock block{state.input,
                    state.output,
                    state.outputSize,
                    state.table,
                    state.inputSize >= safeInputMargin ? state.inputSize - safeInputMargin : 0,
                    state.position,
                    state.outputPosition,
                    static_cast<std::uint64_t>(state.bits) << 32,
                    static_cast<unsigned>(state.extraBits + 16)};
    const std::size_t end = std::min(stop, state.outputSize);
    const std::size_t limit = end > uncheckedOutput ? end - uncheckedOutput : 0;
    if (!runFast<true>(block, std::min(limit, wholeMatchOffsetLimit)) ||
        !runFast<false>(block, limit)) {
        return false;
    }
    if (block.outputPosition == state.outputPosition) {
        return true; // nothing read: the state is as it came
    }
    // Back to the 32-bit buffer, refilled first where fewer than 16 bits are
    // left.
    unsigned count = block.count;
    std::uint64_t bits = block.bits;
    std::size_t position = block.position;
    if (count < 16) {
        bits |= std::uint64_t{readTwoWords(state.input + position)} << (32 - count);
        count += 32;
        position += 4;
    }
    giveBackWords(bits, count, position);
    state.bits = static_cast<std::uint32_t>(bits >> 32);
    state.extraBits = static_cast<int>(count) - 16;
    state.position = position;
    state.outputPosition = block.outputPosition;
    return true;
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
    const std::unique_ptr<std::uint32_t[]> table(new std::uint32_t[tableCapacity]);
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
        const bool decoded = d.phantomWords == 0 ? decodeFast(d, stop) && decodeCarefully(d, stop)
                                                 : decodeCarefully(d, stop);
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
