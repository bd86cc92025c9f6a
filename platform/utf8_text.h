// UTF-16 text (one code unit per element) as UTF-8 bytes; an unpaired
// surrogate becomes U+FFFD.
#pragma once

#include <string>

namespace tidewell {

std::string toUtf8(const std::wstring& text);

} // namespace tidewell
