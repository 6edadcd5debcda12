#include "support/TestConfig.h"

#include <algorithm>
#include <fstream>

#include "config/AppConfig.h"
#include "config/AppConfigFields.h"

namespace {

std::string Narrow(const char16_t* name)
{
    return std::string(name, name + std::char_traits<char16_t>::length(name));
}

std::string Escaped(const std::string& value)
{
    std::string text;
    for (char c : value) {
        switch (c) {
        case '&':
            text += "&amp;";
            break;
        case '<':
            text += "&lt;";
            break;
        case '>':
            text += "&gt;";
            break;
        case '"':
            text += "&quot;";
            break;
        default:
            text += c;
        }
    }
    return text;
}

std::string Attribute(const std::string& name, const std::string& value)
{
    return " " + name + "=\"" + Escaped(value) + "\"";
}

} // namespace

TestConfig& TestConfig::Set(
    const std::string& element, const std::string& attribute, const std::string& value)
{
    auto entry
        = std::find_if(values.begin(), values.end(), [&](const auto& e) { return e.first == element; });
    if (entry == values.end())
        entry = values.insert(values.end(), { element, {} });
    auto named = std::find_if(
        entry->second.begin(), entry->second.end(), [&](const auto& a) { return a.first == attribute; });
    if (named == entry->second.end())
        entry->second.emplace_back(attribute, value);
    else
        named->second = value;
    return *this;
}

TestConfig& TestConfig::SetAll(const std::string& element, const std::string& attributes)
{
    size_t at = 0;
    while (true) {
        const size_t name = attributes.find_first_not_of(" \t\n", at);
        const size_t equals = attributes.find('=', name);
        if (name == std::string::npos || equals == std::string::npos || equals + 1 >= attributes.size())
            break;
        const char quote = attributes[equals + 1];
        const size_t end = attributes.find(quote, equals + 2);
        if (end == std::string::npos)
            break;
        Set(element, attributes.substr(name, equals - name), attributes.substr(equals + 2, end - equals - 2));
        at = end + 1;
    }
    return *this;
}

TestConfig& TestConfig::Without(const std::string& element)
{
    left.insert(element);
    return *this;
}

TestConfig& TestConfig::Prepend(const std::string& elements)
{
    before += elements;
    return *this;
}

TestConfig& TestConfig::Append(const std::string& elements)
{
    after += elements;
    return *this;
}

std::string TestConfig::Text() const
{
    auto setOf = [this](const std::string& element) {
        auto entry
            = std::find_if(values.begin(), values.end(), [&](const auto& e) { return e.first == element; });
        return entry == values.end() ? Attributes() : entry->second;
    };
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<config>\n" + before;
    std::set<std::string> settingsElements;
    for (const AppConfigElement& element : AppConfigElements()) {
        const std::string name = Narrow(element.name);
        settingsElements.insert(name);
        if (left.count(name))
            continue;
        Attributes set = setOf(name);
        text += "<" + name;
        for (const AppConfigField& field : element.fields) {
            const std::string attribute = Narrow(field.attribute);
            auto given
                = std::find_if(set.begin(), set.end(), [&](const auto& a) { return a.first == attribute; });
            // What a field holds before anything is read: empty text, 0 and false (written "0").
            const bool isText = std::holds_alternative<std::u16string AppConfig::*>(field.member);
            text += Attribute(attribute, given != set.end() ? given->second : isText ? "" : "0");
            if (given != set.end())
                set.erase(given);
        }
        for (const auto& [attribute, value] : set)
            text += Attribute(attribute, value);
        text += "/>\n";
    }
    for (const auto& [element, attributes] : values) {
        if (settingsElements.count(element))
            continue;
        text += "<" + element;
        for (const auto& [attribute, value] : attributes)
            text += Attribute(attribute, value);
        text += "/>\n";
    }
    return text + after + "</config>\n";
}

bool TestConfig::Write(const std::string& path) const
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << Text();
    file.close();
    return !file.fail();
}
