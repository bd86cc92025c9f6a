#include "prefetch/sample/xpress_huffman_encoder.h"

#include <algorithm>
#include <array>
#include <queue>
#include <stdexcept>

namespace tidewell::sample {

namespace {

constexpr unsigned symbolCount = 512;
constexpr unsigned maxCodeLength = 15;
constexpr std::size_t blockOutput = 65536;

unsigned highestBit(std::uint32_t value) {
    unsigned bit = 0;
    while (value >>= 1) {
        ++bit;
    }
    return bit;
}

unsigned matchSymbol(const XpressToken& token) {
    const std::uint32_t lengthCode = std::min<std::uint32_t>(token.length - 3, 15);
    return 256 + lengthCode + 16 * highestBit(token.offset);
}

// Huffman code lengths for the used symbols, none longer than 15 bits: if the
// tree is too deep, the frequencies are halved (keeping every used symbol)
// and the tree built again.
std::array<unsigned, symbolCount> codeLengths(std::array<std::uint64_t, symbolCount> frequency) {
    unsigned used = 0;
    for (std::uint64_t f : frequency) {
        used += f != 0 ? 1 : 0;
    }
    // A complete code needs two symbols at least.
    for (unsigned symbol = 0; used < 2; ++symbol) {
        if (frequency[symbol] == 0) {
            frequency[symbol] = 1;
            ++used;
        }
    }
    while (true) {
        struct Node {
            std::uint64_t weight;
            int left, right, symbol;
        };
        std::vector<Node> nodes;
        using Entry = std::pair<std::uint64_t, int>;
        std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
        for (unsigned symbol = 0; symbol < symbolCount; ++symbol) {
            if (frequency[symbol] != 0) {
                nodes.push_back({frequency[symbol], -1, -1, static_cast<int>(symbol)});
                queue.push({frequency[symbol], static_cast<int>(nodes.size() - 1)});
            }
        }
        while (queue.size() > 1) {
            const Entry a = queue.top();
            queue.pop();
            const Entry b = queue.top();
            queue.pop();
            nodes.push_back({a.first + b.first, a.second, b.second, -1});
            queue.push({a.first + b.first, static_cast<int>(nodes.size() - 1)});
        }
        std::array<unsigned, symbolCount> lengths{};
        unsigned deepest = 0;
        std::vector<std::pair<int, unsigned>> stack{{queue.top().second, 0}};
        while (!stack.empty()) {
            const auto [index, depth] = stack.back();
            stack.pop_back();
            const Node& node = nodes[static_cast<std::size_t>(index)];
            if (node.symbol >= 0) {
                lengths[static_cast<std::size_t>(node.symbol)] = depth;
                deepest = std::max(deepest, depth);
            } else {
                stack.push_back({node.left, depth + 1});
                stack.push_back({node.right, depth + 1});
            }
        }
        if (deepest <= maxCodeLength) {
            return lengths;
        }
        for (std::uint64_t& f : frequency) {
            f = f == 0 ? 0 : (f + 1) / 2;
        }
    }
}

// Canonical codes: by length, then by symbol.
std::array<std::uint32_t, symbolCount>
canonicalCodes(const std::array<unsigned, symbolCount>& lengths) {
    std::array<std::uint32_t, symbolCount> codes{};
    std::uint32_t code = 0;
    for (unsigned length = 1; length <= maxCodeLength; ++length) {
        for (unsigned symbol = 0; symbol < symbolCount; ++symbol) {
            if (lengths[symbol] == length) {
                codes[symbol] = code++;
            }
        }
        code <<= 1;
    }
    return codes;
}

// Writes one block's bit stream as the decoder will read it: the decoder
// holds 16 to 32 bits and loads the next 16-bit word as soon as fewer than 16
// unread bits remain, and reads the raw length bytes at its byte position
// after the words loaded so far. So a word's place in the output is reserved
// at the moment the decoder would load it.
struct BlockWriter {
    std::vector<std::uint8_t>& out;
    std::vector<std::size_t> wordPositions;
    std::uint64_t bitsWritten = 0;

    void reserveWordsFor(std::uint64_t bits) {
        const std::uint64_t needed = std::max<std::uint64_t>(2, (bits + 15) / 16 + 1);
        while (wordPositions.size() < needed) {
            wordPositions.push_back(out.size());
            out.push_back(0);
            out.push_back(0);
        }
    }

    void writeBits(std::uint32_t value, unsigned count) {
        for (unsigned i = count; i-- > 0;) {
            const std::uint64_t bit = bitsWritten++;
            if ((value >> i) & 1u) {
                const std::size_t at = wordPositions[bit / 16];
                const unsigned within = 15 - static_cast<unsigned>(bit % 16);
                const std::uint16_t word =
                    static_cast<std::uint16_t>(out[at] | (out[at + 1] << 8)) | (1u << within);
                out[at] = static_cast<std::uint8_t>(word);
                out[at + 1] = static_cast<std::uint8_t>(word >> 8);
            }
        }
        reserveWordsFor(bitsWritten);
    }

    void writeRaw(std::initializer_list<std::uint8_t> bytes) {
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
};

} // namespace

std::vector<XpressBlock> blocksFromTokens(const std::vector<XpressToken>& tokens, bool endSymbol) {
    std::vector<XpressBlock> blocks(1);
    std::uint64_t produced = 0;
    for (const XpressToken& token : tokens) {
        if (produced >= blockOutput) {
            blocks.emplace_back();
            produced = 0;
        }
        blocks.back().tokens.push_back(token);
        produced += token.isMatch ? token.length : 1;
    }
    blocks.back().endSymbol = endSymbol;
    return blocks;
}

std::vector<std::uint8_t> encodeXpressBlocks(const std::vector<XpressBlock>& blocks) {
    std::vector<std::uint8_t> out;
    for (const XpressBlock& block : blocks) {
        std::array<std::uint64_t, symbolCount> frequency{};
        for (const XpressToken& token : block.tokens) {
            ++frequency[token.isMatch ? matchSymbol(token) : token.literal];
        }
        if (block.endSymbol) {
            ++frequency[256];
        }
        const std::array<unsigned, symbolCount> lengths = codeLengths(frequency);
        const std::array<std::uint32_t, symbolCount> codes = canonicalCodes(lengths);
        for (unsigned i = 0; i < symbolCount; i += 2) {
            out.push_back(static_cast<std::uint8_t>(lengths[i] | (lengths[i + 1] << 4)));
        }
        BlockWriter writer{out, {}, 0};
        writer.reserveWordsFor(0);
        for (const XpressToken& token : block.tokens) {
            if (!token.isMatch) {
                writer.writeBits(codes[token.literal], lengths[token.literal]);
                continue;
            }
            if (token.length < 3 || token.offset == 0 || token.offset > 65535) {
                throw std::invalid_argument("match outside the format's range");
            }
            const unsigned symbol = matchSymbol(token);
            writer.writeBits(codes[symbol], lengths[symbol]);
            const std::uint32_t lengthValue = token.length - 3;
            if (lengthValue >= 15) {
                if (lengthValue - 15 < 255) {
                    writer.writeRaw({static_cast<std::uint8_t>(lengthValue - 15)});
                } else if (lengthValue <= 0xFFFF) {
                    writer.writeRaw({255, static_cast<std::uint8_t>(lengthValue),
                                     static_cast<std::uint8_t>(lengthValue >> 8)});
                } else {
                    writer.writeRaw({255, 0, 0, static_cast<std::uint8_t>(lengthValue),
                                     static_cast<std::uint8_t>(lengthValue >> 8),
                                     static_cast<std::uint8_t>(lengthValue >> 16),
                                     static_cast<std::uint8_t>(lengthValue >> 24)});
                }
            }
            const unsigned offsetBits = highestBit(token.offset);
            if (offsetBits != 0) {
                writer.writeBits(token.offset - (1u << offsetBits), offsetBits);
            }
        }
        if (block.endSymbol) {
            writer.writeBits(codes[256], lengths[256]);
        }
    }
    return out;
}

std::vector<std::uint8_t> compressXpressHuffman(const std::uint8_t* data, std::size_t size,
                                                const XpressOptions& options) {
    constexpr std::size_t maxOffset = 65535;
    constexpr int chainLimit = 32;
    // A table in proportion to the input, up to 65,536 heads: a small input
    // (the fuzzer's) then costs little to set up.
    unsigned hashBits = 8;
    while (hashBits < 16 && (std::size_t{1} << hashBits) < size) {
        ++hashBits;
    }
    std::vector<std::int64_t> head(std::size_t{1} << hashBits, -1);
    std::vector<std::int64_t> previous(size, -1);
    auto hashAt = [&](std::size_t at) {
        const std::uint32_t v = data[at] | (data[at + 1] << 8) | (data[at + 2] << 16);
        return (v * 2654435761u) >> (32 - hashBits);
    };
    auto insert = [&](std::size_t at) {
        if (at + 3 <= size) {
            const std::uint32_t h = hashAt(at);
            previous[at] = head[h];
            head[h] = static_cast<std::int64_t>(at);
        }
    };

    std::vector<XpressBlock> blocks(1);
    std::size_t blockStart = 0;
    std::size_t at = 0;
    while (at < size) {
        if (at - blockStart >= blockOutput) {
            blocks.emplace_back();
            blockStart = at;
        }
        std::size_t limit = std::min(size - at, options.maxMatchLength);
        if (!options.matchesCrossBlocks) {
            limit = std::min(limit, blockStart + blockOutput - at);
        }
        std::size_t bestLength = 0;
        std::size_t bestOffset = 0;
        if (at + 3 <= size) {
            int steps = 0;
            for (std::int64_t candidate = head[hashAt(at)]; candidate >= 0 && steps < chainLimit;
                 candidate = previous[static_cast<std::size_t>(candidate)], ++steps) {
                const std::size_t offset = at - static_cast<std::size_t>(candidate);
                if (offset > maxOffset) {
                    break;
                }
                std::size_t length = 0;
                while (length < limit &&
                       data[static_cast<std::size_t>(candidate) + length] == data[at + length]) {
                    ++length;
                }
                if (length > bestLength) {
                    bestLength = length;
                    bestOffset = offset;
                    if (length == limit) {
                        break;
                    }
                }
            }
        }
        if (bestLength >= 3) {
            blocks.back().tokens.push_back({true, 0, static_cast<std::uint32_t>(bestLength),
                                            static_cast<std::uint32_t>(bestOffset)});
            for (std::size_t i = 0; i < bestLength; ++i) {
                insert(at + i);
            }
            at += bestLength;
        } else {
            blocks.back().tokens.push_back({false, data[at], 0, 0});
            insert(at);
            ++at;
        }
    }
    blocks.back().endSymbol = options.endSymbol;
    return encodeXpressBlocks(blocks);
}

std::vector<std::uint8_t> wrapInMamContainer(const std::vector<std::uint8_t>& compressed,
                                             std::uint32_t declaredSize, bool withChecksum) {
    std::vector<std::uint8_t> container = {'M', 'A', 'M',
                                           static_cast<std::uint8_t>(withChecksum ? 0x84 : 0x04)};
    for (int shift = 0; shift < 32; shift += 8) {
        container.push_back(static_cast<std::uint8_t>(declaredSize >> shift));
    }
    if (withChecksum) {
        container.insert(container.end(), {0xDE, 0xAD, 0xBE, 0xEF});
    }
    container.insert(container.end(), compressed.begin(), compressed.end());
    return container;
}

} // namespace tidewell::sample
