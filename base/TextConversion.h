#pragma once

#include <string>

// Number and flag conversions for settings text. Each reads the leading decimal
// number (after white space and an optional sign); text without digits gives 0.

// True when the leading number is greater than 0: "1" and "5" are true, "0", "-1", "" and "yes" false.
bool TextToBool(const std::u16string& text);

// defaultValue for an empty text; out-of-range numbers saturate at the int limits.
int TextToInt(const std::u16string& text, int defaultValue);

// A negative number wraps modulo 2^32 like the C runtime's unsigned conversion;
// numbers above the range saturate at the maximum.
unsigned int TextToUInt(const std::u16string& text);

std::u16string UIntToText(unsigned int value);
