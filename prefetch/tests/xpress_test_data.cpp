#include "prefetch/tests/xpress_test_data.h"

#include <string>

#include "prefetch/xpress_huffman.h"

namespace tidewell::testing {

namespace {

std::uint32_t nextRandom(std::uint32_t& state) {
    // xorshift32: deterministic across platforms and runs
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

} // namespace

std::vector<std::uint8_t> randomBytes(std::size_t size, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(size);
    std::uint32_t state = seed == 0 ? 1 : seed;
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(nextRandom(state) >> 24);
    }
    return bytes;
}

std::vector<std::uint8_t> repetitiveBytes(std::size_t size) {
    static const char pattern[] = "NOTEPAD.EXE-1A2B3C4D.pf ";
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(pattern[i % (sizeof pattern - 1)]);
    }
    return bytes;
}

std::vector<std::uint8_t> prefetchLikeBytes(std::size_t size, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(size + 256);
    std::uint32_t state = seed == 0 ? 7 : seed;
    static const char* const folders[] = {"WINDOWS\\SYSTEM32\\", "WINDOWS\\SYSWOW64\\",
                                          "PROGRAM FILES\\VENDOR\\APP\\",
                                          "USERS\\ANALYST\\APPDATA\\"};
    static const char* const names[] = {"NTDLL.DLL",  "KERNEL32.DLL",    "USER32.DLL", "APP.EXE",
                                        "LOCALE.NLS", "SORTDEFAULT.NLS", "MSVCRT.DLL"};
    while (bytes.size() < size) {
        const std::uint32_t pick = nextRandom(state);
        if (pick % 3 == 0) {
            // a metrics-like record of small little-endian integers
            for (int i = 0; i < 8; ++i) {
                const std::uint32_t value = nextRandom(state) % 4096;
                for (int b = 0; b < 4; ++b) {
                    bytes.push_back(static_cast<std::uint8_t>(value >> (8 * b)));
                }
            }
        } else {
            std::string path = "\\VOLUME{01D2A3B4C5D6E7F8-1A2B3C4D}\\";
            path += folders[pick % 4];
            path += names[(pick >> 8) % 7];
            for (char c : path) {
                bytes.push_back(static_cast<std::uint8_t>(c));
                bytes.push_back(0);
            }
            bytes.push_back(0);
            bytes.push_back(0);
        }
    }
    bytes.resize(size);
    return bytes;
}

std::optional<std::vector<std::uint8_t>> decodeXpress(const std::vector<std::uint8_t>& stream,
                                                      std::size_t outputSize) {
    std::vector<std::uint8_t> output(outputSize, 0xCC);
    std::size_t finalSize = 0;
    const bool ok = decompressXpressHuffman(stream.data(), stream.size(), output.data(),
                                            output.size(), finalSize);
    if (!ok) {
        return std::nullopt;
    }
    if (finalSize != outputSize) {
        return std::vector<std::uint8_t>{}; // a success that lies about its size: never equal
    }
    return output;
}

} // namespace tidewell::testing
