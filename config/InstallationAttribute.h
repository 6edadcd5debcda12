#pragma once

#include <string>

// An attribute of an element under the root of the installation's own config.xml (path in UTF-8),
// read from that file alone and never from the user's copy: what it decides (the update key, a
// kept profile) belongs to whoever set the program up. False when the file cannot be read; value
// is empty then, and when the element or the attribute is missing.
// Uses nothing but the XML reader, so that the root-side install helper can use it as well.
bool ReadInstallationAttribute(
    const std::string& configPath, const char16_t* element, const char16_t* attribute, std::u16string& value);
