#include "programs/prefetch_hash.h"

#include <string>

namespace tidewell {

namespace {

// A unit of the path in capitals (A to Z), as the kernel hashes it.
std::uint32_t capitalUnit(wchar_t unit) {
    return static_cast<std::uint32_t>(capitalOf(unit)) & 0xFFFFu;
}

// Each byte of the UTF-16LE text, low byte first, folded in as
// value * 37 + byte: eight bytes (four units) at a time while more than
// eight remain, then byte by byte. A block adds 37^7 times its first byte
// down to its last, and the value before it times 37^8, which is
// -803794207 modulo 2^32; the sum is the same as byte by byte.
std::uint32_t foldBytes(std::uint32_t value, std::wstring_view path) {
    const std::size_t length = path.size() * 2;
    std::size_t index = 0;
    std::array<std::uint32_t, 8> block{};
    while (index + 8 < length) {
        for (std::size_t unit = 0; unit < 4; ++unit) {
            const std::uint32_t capital = capitalUnit(path[index / 2 + unit]);
            block[unit * 2] = capital & 0xFFu;
            block[unit * 2 + 1] = capital >> 8;
        }
        std::uint32_t sum = block[1] * 37u + block[2];
        for (std::size_t next = 3; next <= 6; ++next) {
            sum = sum * 37u + block[next];
        }
        sum *= 37u;
        sum += block[0] * 442596621u;
        sum += block[7];
        value = sum - value * 803794207u;
        index += 8;
    }
    for (wchar_t unit : path.substr(index / 2)) {
        const std::uint32_t capital = capitalUnit(unit);
        value = value * 37u + (capital & 0xFFu);
        value = value * 37u + (capital >> 8);
    }
    return value;
}

std::uint32_t xpHash(std::wstring_view path) {
    std::uint32_t value = foldBytes(0, path) * 314159269u;
    // The kernel takes the absolute value of the product as a signed number.
    if (value > 0x80000000u) {
        value = 0u - value;
    }
    return value % 1000000007u;
}

} // namespace

std::uint32_t prefetchHash(PrefetchHashFunction function, std::wstring_view devicePath) {
    switch (function) {
    case PrefetchHashFunction::WindowsXp:
        return xpHash(devicePath);
    case PrefetchHashFunction::WindowsVista:
    case PrefetchHashFunction::Windows2008:
        // The 2008 function is Vista's written eight bytes at a time: the
        // same sums.
        return foldBytes(314159u, devicePath);
    }
    return 0;
}

HashFunctions hashFunctionsFor(std::uint32_t formatVersion) {
    if (formatVersion <= 17) {
        return {{PrefetchHashFunction::WindowsXp}, 1};
    }
    return {{PrefetchHashFunction::WindowsVista, PrefetchHashFunction::Windows2008}, 2};
}

bool sameSums(PrefetchHashFunction a, PrefetchHashFunction b) {
    const auto later = [](PrefetchHashFunction function) {
        return function != PrefetchHashFunction::WindowsXp;
    };
    return a == b || (later(a) && later(b));
}

void capitalizeFrom(std::wstring& text, std::size_t from) {
    for (std::size_t at = from; at < text.size(); ++at) {
        text[at] = capitalOf(text[at]);
    }
}

std::wstring capitalsOf(std::wstring_view path) {
    std::wstring capitals(path);
    capitalizeFrom(capitals, 0);
    return capitals;
}

} // namespace tidewell
