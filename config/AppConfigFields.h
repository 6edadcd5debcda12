#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

class AppConfig;

// One attribute of config.xml and the AppConfig field it holds; the field's type says how the
// value is written: text as it is, a number in unsigned decimal, a flag as "1" or "0".
struct AppConfigField {
    const char16_t* attribute;
    std::variant<std::u16string AppConfig::*, std::uint32_t AppConfig::*, bool AppConfig::*> member;
};

// One of the four elements every config.xml holds, with its fields in the order in which
// saving appends the attributes a file lacks.
struct AppConfigElement {
    const char16_t* name;
    std::vector<AppConfigField> fields;
};

// Every saved setting, element by element in the order loading and saving go through them
// (both stop at the first element the file lacks). A new setting is one row here.
const std::vector<AppConfigElement>& AppConfigElements();
