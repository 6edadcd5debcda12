#pragma once

#include <string>

namespace platform::ui {

/// UI text: UTF-16, as every control and window title holds it.
using CDuiString = std::u16string;

/// Compares two names ignoring ASCII case, as control names are matched.
inline bool EqualsNoCase(const std::u16string& a, const std::u16string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z')
            x = static_cast<char16_t>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z')
            y = static_cast<char16_t>(y - u'A' + u'a');
        if (x != y)
            return false;
    }
    return true;
}

} // namespace platform::ui
