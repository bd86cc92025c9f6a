#include "userassist/sample/userassist_values.h"

namespace tidewell::sample {

std::vector<std::uint8_t> userAssistData(std::uint32_t runCount, std::uint32_t focusCount,
                                         std::uint32_t focusMilliseconds, std::uint64_t lastRun) {
    std::vector<std::uint8_t> data(72, 0);
    auto put32 = [&](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            data[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    };
    put32(0, 0xFFFFFFFF); // the unused first field holds something in real values
    put32(4, runCount);
    put32(8, focusCount);
    put32(12, focusMilliseconds);
    for (std::size_t at = 16; at < 60; ++at) {
        data[at] = 0xBF; // the unused middle, filled as the shell fills it
    }
    put32(60, static_cast<std::uint32_t>(lastRun));
    put32(64, static_cast<std::uint32_t>(lastRun >> 32));
    return data;
}

std::vector<std::uint8_t> userAssistXpData(std::uint32_t session, std::uint32_t storedCount,
                                           std::uint64_t lastRun) {
    std::vector<std::uint8_t> data(16, 0);
    for (std::size_t at = 0; at < 4; ++at) {
        data[at] = static_cast<std::uint8_t>(session >> (8 * at));
        data[4 + at] = static_cast<std::uint8_t>(storedCount >> (8 * at));
    }
    for (std::size_t at = 0; at < 8; ++at) {
        data[8 + at] = static_cast<std::uint8_t>(lastRun >> (8 * at));
    }
    return data;
}

std::wstring rot13(const std::wstring& text) {
    std::wstring out(text);
    for (wchar_t& unit : out) {
        if (unit >= L'a' && unit <= L'z') {
            unit = static_cast<wchar_t>(L'a' + (unit - L'a' + 13) % 26);
        } else if (unit >= L'A' && unit <= L'Z') {
            unit = static_cast<wchar_t>(L'A' + (unit - L'A' + 13) % 26);
        }
    }
    return out;
}

} // namespace tidewell::sample
