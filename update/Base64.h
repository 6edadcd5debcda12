#pragma once

#include <string>

// Standard Base64 (RFC 4648 alphabet, "=" padding).
std::string Base64Encode(const std::string& bytes);
// False for characters outside the alphabet; white space is skipped, decoding stops at "=".
bool Base64Decode(const std::string& text, std::string& bytes);
