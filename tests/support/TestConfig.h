#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

// A config.xml for a test: the four settings elements with every attribute the program saves
// (empty or 0 unless set), then the elements of other attributes set; raw elements may go first or last.
// Values are plain text; they are escaped as they are written.
class TestConfig {
public:
    // Sets an attribute, of the settings or another (the update key, <Site url>); set again, the
    // last value counts.
    TestConfig& Set(const std::string& element, const std::string& attribute, const std::string& value);
    // Sets each name="value" (or name='value') of attributes as a start tag would list them.
    TestConfig& SetAll(const std::string& element, const std::string& attributes);
    // Leaves one of the settings elements out, as an incomplete file does.
    TestConfig& Without(const std::string& element);
    // Elements written as given under the root, before or after the others.
    TestConfig& Prepend(const std::string& elements);
    TestConfig& Append(const std::string& elements);

    std::string Text() const;
    // Writes the text to path in place of what was there; false when it cannot.
    bool Write(const std::string& path) const;

private:
    using Attributes = std::vector<std::pair<std::string, std::string>>;

    // Elements in the order they were first set, each with its attributes in the order set.
    std::vector<std::pair<std::string, Attributes>> values;
    std::set<std::string> left;
    std::string before;
    std::string after;
};
