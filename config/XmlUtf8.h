#pragma once

#include <cstddef>
#include <string>

// UTF-8 <-> UTF-16 as the XML engine stores files. Decoding: an invalid
// sequence gives "?", a zero byte ends the text, an incomplete sequence at the
// end is dropped, no byte-order mark handling.
std::u16string XmlDecodeUtf8(const char* bytes, std::size_t size);

// A properly paired surrogate becomes one code point; an unpaired one becomes "?".
std::string XmlEncodeUtf8(const std::u16string& text);
