// Standard streams through kernel32.
#include "platform/console.h"

#include "platform/utf8_codec.h"
#include "platform/win32/win32_common.h"

namespace tidewell {

namespace {

bool writeTo(DWORD which, const std::wstring& text) {
    HANDLE stream = GetStdHandle(which);
    if (stream == nullptr || stream == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(stream, &mode)) {
        return WriteConsoleW(stream, text.data(), static_cast<DWORD>(text.size()), &written,
                             nullptr) != 0;
    }
    const std::string bytes = toUtf8(text);
    return WriteFile(stream, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace

bool writeStandardOutput(const std::wstring& text) {
    return writeTo(STD_OUTPUT_HANDLE, text);
}

bool writeStandardError(const std::wstring& text) {
    return writeTo(STD_ERROR_HANDLE, text);
}

} // namespace tidewell
