#include "platform/engine/CefProcessMessage.h"

namespace platform::engine {

void CefListValue::Set(size_t index, Value value)
{
    if (index >= values.size())
        values.resize(index + 1);
    values[index] = std::move(value);
}

bool CefListValue::GetBool(size_t index) const
{
    if (index >= values.size())
        return false;
    if (auto b = std::get_if<bool>(&values[index]))
        return *b;
    if (auto i = std::get_if<int>(&values[index]))
        return *i != 0;
    return false;
}

int CefListValue::GetInt(size_t index) const
{
    if (index >= values.size())
        return 0;
    if (auto i = std::get_if<int>(&values[index]))
        return *i;
    return 0;
}

std::string CefListValue::GetString(size_t index) const
{
    if (index >= values.size())
        return {};
    if (auto s = std::get_if<std::string>(&values[index]))
        return *s;
    return {};
}

CefRefPtr<CefProcessMessage> CefProcessMessage::Create(const std::string& name)
{
    CefRefPtr<CefProcessMessage> message(new CefProcessMessage);
    message->name = name;
    return message;
}

} // namespace platform::engine
