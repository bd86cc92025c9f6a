// The compatibility assistant's text files as Windows writes them, for
// tests and sample machines: the launch dictionary as single-byte text, the
// general databases as UTF-16LE without a byte-order mark; LF line ends and
// no final one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tidewell::sample {

struct PcaLaunchLine {
    std::wstring path;
    std::wstring time; // "2022-12-17 13:27:53.096"
};

struct PcaEventLine {
    std::wstring time;
    std::wstring recordType;
    std::wstring path;
    std::wstring product;
    std::wstring company;
    std::wstring version;
    std::wstring programId;
    std::wstring exitText;
};

// Each unit below 0x100 as one byte (Windows-1252's and Latin-1's letters
// alike where they agree).
std::vector<std::uint8_t> pcaLaunchDictionary(const std::vector<PcaLaunchLine>& lines);

std::vector<std::uint8_t> pcaGeneralDatabase(const std::vector<PcaEventLine>& lines);

} // namespace tidewell::sample
