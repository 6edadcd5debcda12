#pragma once

#include <string>

namespace Json {
class Value;
}

// Base of the JSON records exchanged with the update server. Text fields are in the
// locale's narrow character set; the wire is UTF-8.
class JsonMessage {
public:
    virtual ~JsonMessage() = default;

    virtual std::string ToBase64Text() const;
    virtual bool FromBase64Text(const std::string& text);
    virtual std::string ToUtf8Text() const;
    virtual bool FromUtf8Text(const std::string& text);
    // Compact JSON ending in a line feed.
    virtual std::string ToJsonText() const;
    // False, with the record unchanged, for text that is not JSON, a root that is
    // neither an object nor null, or a field that is an array or an object.
    virtual bool FromJsonText(const std::string& text);
    virtual void WriteFields(Json::Value& root) const;
    virtual bool ReadFields(const Json::Value& root);

    std::string result = "-1";

protected:
    // The members FromJsonText reads; it checks their types before reading any.
    virtual const char* const* FieldNames() const;
};
