// The one conversion between the program's text (UTF-16 code units, one per
// element on every platform) and UTF-8 bytes, for Linux file names, the
// console and messages. It is lossless both ways for file names: a byte that
// is not part of valid UTF-8 comes in as the unpaired surrogate U+DC00 plus
// the byte and goes out as that byte again, so a name listed from a folder
// opens again whatever bytes it holds.
#pragma once

#include <string>
#include <string_view>

namespace tidewell {

// One code point (a surrogate pair's, or any unit but a surrogate) as its
// UTF-8 bytes.
void appendUtf8(std::string& out, std::uint32_t point);

// Surrogate pairs become one four-byte sequence; an unpaired U+DC80 to
// U+DCFF becomes its single byte; any other unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::wstring_view text);

// Valid UTF-8 becomes its UTF-16 units; each byte of an invalid or cut
// sequence becomes U+DC00 plus the byte.
std::wstring fromUtf8(std::string_view bytes);

} // namespace tidewell
