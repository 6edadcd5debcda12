#pragma once

#include "platform/engine/CefRefCounted.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace platform::engine {

/// An ordered list of simple values.
class CefListValue : public virtual CefBaseRefCounted {
public:
    static CefRefPtr<CefListValue> Create() { return new CefListValue; }

    size_t GetSize() const { return values.size(); }
    void SetBool(size_t index, bool value) { Set(index, value); }
    void SetInt(size_t index, int value) { Set(index, value); }
    void SetString(size_t index, const std::string& value) { Set(index, value); }
    /// False, 0 or empty when the entry is missing or of another type (an int reads as bool).
    bool GetBool(size_t index) const;
    int GetInt(size_t index) const;
    std::string GetString(size_t index) const;

private:
    using Value = std::variant<std::monostate, bool, int, std::string>;
    void Set(size_t index, Value value);
    std::vector<Value> values;
    IMPLEMENT_REFCOUNTING(CefListValue);
};

/// A named message between a page's process and the browser process.
class CefProcessMessage : public virtual CefBaseRefCounted {
public:
    static CefRefPtr<CefProcessMessage> Create(const std::string& name);

    std::string GetName() const { return name; }
    CefRefPtr<CefListValue> GetArgumentList() const { return arguments; }

private:
    std::string name;
    CefRefPtr<CefListValue> arguments = CefListValue::Create();
    IMPLEMENT_REFCOUNTING(CefProcessMessage);
};

} // namespace platform::engine
