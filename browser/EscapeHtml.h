#pragma once

#include <string>

// text with the characters that mean markup in HTML (& < > " ') written as entities, so that
// an address or a request shown in a page stays text.
std::string EscapeHtml(const std::string& text);
