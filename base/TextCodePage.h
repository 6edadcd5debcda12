#pragma once

#include <string>

// Narrow text between UTF-8 (the wire, JSON) and the locale's character set (file
// names, the update reply's fields). Both stop at the first zero byte of the result.
std::string Utf8ToAnsi(const std::string& text);
std::string AnsiToUtf8(const std::string& text);
