// Numbers as text, exactly as the C library's printf would write them in the
// "C" locale, whatever locale the process has set.
#pragma once

#include <cstdint>
#include <string>

namespace tidewell {

// "%08lX": eight upper-case hexadecimal digits, zero-filled.
std::wstring hex8Text(std::uint32_t value);

// "%.Nf" with a point as the decimal separator, rounded as printf rounds.
std::wstring fixedText(double value, int decimals);

} // namespace tidewell
