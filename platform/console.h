// Text to the standard output and error streams.
#pragma once

#include <string>

namespace tidewell {

// To a console as UTF-16; to a file or pipe as UTF-8, so that scripts can
// read it. False when the stream is missing or the write fails.
bool writeStandardOutput(const std::wstring& text);
bool writeStandardError(const std::wstring& text);

} // namespace tidewell
