// Standard streams over the C library, as UTF-8.
#include "platform/console.h"

#include <cstdio>

#include "platform/utf8_codec.h"

namespace tidewell {

bool writeStandardOutput(const std::wstring& text) {
    const std::string bytes = toUtf8(text);
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
           std::fflush(stdout) == 0;
}

bool writeStandardError(const std::wstring& text) {
    const std::string bytes = toUtf8(text);
    return std::fwrite(bytes.data(), 1, bytes.size(), stderr) == bytes.size();
}

} // namespace tidewell
