#pragma once

#include <string>

namespace platform::os {

/// UTF-8 <-> UTF-16 conversion; invalid input becomes U+FFFD, never an error.
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);

} // namespace platform::os
