// UserAssist values as the shell writes them, for tests and sample machines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tidewell::sample {

// The 72-byte data of one entry.
std::vector<std::uint8_t> userAssistData(std::uint32_t runCount, std::uint32_t focusCount,
                                         std::uint32_t focusMilliseconds, std::uint64_t lastRun);

// The 16-byte data of a Windows XP entry: its session, the count as XP
// stores it (5 more than the launches), the last launch.
std::vector<std::uint8_t> userAssistXpData(std::uint32_t session, std::uint32_t storedCount,
                                           std::uint64_t lastRun);

// ROT13, as the shell scrambles value names (its own inverse).
std::wstring rot13(const std::wstring& text);

} // namespace tidewell::sample
