#pragma once

#include <string>

namespace platform::os {

// Converts text between two iconv character sets; bytes that do not convert become
// "?". Returns text unchanged when the pair is unknown.
std::string ConvertCharset(const std::string& text, const char* from, const char* to);

} // namespace platform::os
