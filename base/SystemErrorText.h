#pragma once

#include <string>

// The system's message text for one error code (an errno value); empty for none.
class SystemErrorText {
public:
    SystemErrorText() = default;
    explicit SystemErrorText(int errorCode);

    void Set(int errorCode);
    void Clear();
    const std::u16string& Text() const { return text; }
    size_t Length() const { return text.size(); }

private:
    std::u16string text;
};
