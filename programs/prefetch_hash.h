// The hashes Windows puts in a Prefetch file's name, computed over the
// program's kernel path in capitals (\DEVICE\HARDDISKVOLUME2\WINDOWS\...),
// as UTF-16LE bytes without an end. Windows XP and 2003 use one function,
// Vista another, and Windows 7 and later a third written eight bytes at a
// time; which one a file's hash came from follows from its format version.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tidewell {

enum class PrefetchHashFunction : std::uint8_t {
    WindowsXp,
    WindowsVista,
    Windows2008,
};

// The hash of the path in capitals (A to Z), however it is written.
std::uint32_t prefetchHash(PrefetchHashFunction function, std::wstring_view devicePath);

// The functions a file of the format version may have been named with:
// version 17 (XP, 2003) the first; version 23 (Vista and 7) and every later
// one the Vista or the 2008 function.
struct HashFunctions {
    std::array<PrefetchHashFunction, 2> functions{};
    std::size_t count = 0;
    const PrefetchHashFunction* begin() const { return functions.data(); }
    const PrefetchHashFunction* end() const { return functions.data() + count; }
};
HashFunctions hashFunctionsFor(std::uint32_t formatVersion);

// The 2008 function is the Vista function computed eight bytes at a time
// (37^8 is -803794207 modulo 2^32): they give the same hash of every path,
// so a path needs hashing once for both.
bool sameSums(PrefetchHashFunction a, PrefetchHashFunction b);

// The path in capitals as the kernel hashes it: A to Z only, so that a
// name with other letters is hashed as Windows wrote it.
inline wchar_t capitalOf(wchar_t unit) {
    return unit >= L'a' && unit <= L'z' ? static_cast<wchar_t>(unit - L'a' + L'A') : unit;
}
// The text from an offset on made capitals, in place.
void capitalizeFrom(std::wstring& text, std::size_t from);
std::wstring capitalsOf(std::wstring_view path);

} // namespace tidewell
