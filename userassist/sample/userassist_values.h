// UserAssist values as the shell writes them, for tests and sample machines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tidewell::sample {

// The 72-byte data of one entry.
std::vector<std::uint8_t> userAssistData(std::uint32_t runCount, std::uint32_t focusCount,
                                         std::uint32_t focusMilliseconds, std::uint64_t lastRun);

// ROT13, as the shell scrambles value names (its own inverse).
std::wstring rot13(const std::wstring& text);

} // namespace tidewell::sample
