#include "update/JsonMessage.h"

#include "base/TextCodePage.h"
#include "update/Base64.h"

#include <exception>
#include <json/json.h>
#include <memory>
#include <sstream>

namespace {

bool IsScalar(const Json::Value& value) { return !value.isArray() && !value.isObject(); }

// The replies carry flat fields: anything nested deeper than this is not one of ours.
constexpr int kNestingLimit = 64;

bool ParseJson(const std::string& text, Json::Value& root)
{
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = true;
    builder["stackLimit"] = kNestingLimit;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    // The reader throws on some inputs (nesting past the limit among them): such a reply is not valid.
    try {
        return reader->parse(text.data(), text.data() + text.size(), &root, &errors);
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

std::string JsonMessage::ToBase64Text() const { return Base64Encode(AnsiToUtf8(ToJsonText())); }

bool JsonMessage::FromBase64Text(const std::string& text)
{
    std::string decoded;
    if (!Base64Decode(text, decoded))
        return false;
    return FromJsonText(Utf8ToAnsi(decoded));
}

std::string JsonMessage::ToUtf8Text() const { return AnsiToUtf8(ToJsonText()); }

bool JsonMessage::FromUtf8Text(const std::string& text) { return FromJsonText(Utf8ToAnsi(text)); }

std::string JsonMessage::ToJsonText() const
{
    Json::Value root(Json::objectValue);
    root["result"] = result;
    WriteFields(root);
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    // The fields are narrow text of the locale, not necessarily UTF-8: write their bytes as they are.
    builder["emitUTF8"] = true;
    return Json::writeString(builder, root) + "\n";
}

bool JsonMessage::FromJsonText(const std::string& text)
{
    Json::Value root;
    if (!ParseJson(text, root))
        return false;
    if (!root.isObject() && !root.isNull())
        return false;
    if (!IsScalar(root["result"]))
        return false;
    for (const char* const* name = FieldNames(); *name; ++name) {
        if (!IsScalar(root[*name]))
            return false;
    }
    result = root["result"].asString();
    return ReadFields(root);
}

void JsonMessage::WriteFields(Json::Value&) const { }

bool JsonMessage::ReadFields(const Json::Value&) { return true; }

const char* const* JsonMessage::FieldNames() const
{
    static const char* const kNone[] = { nullptr };
    return kNone;
}
