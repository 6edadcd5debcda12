#pragma once

#include "platform/engine/CefResource.h"

#include <string>

// The built-in test pages under "http://" + the test host + "/". Engine IO thread;
// uses only its arguments and constant tables.
namespace TestResources {

struct BuiltInResource {
    const char* name;
    // 0: not available.
    int number;
};

extern const BuiltInResource builtInResourceTable[3];

// "http://tests/": compared exactly, letter case included.
std::string TestPrefix();

// The built-in answer for a request, or none (the engine then loads the address itself).
platform::engine::CefRefPtr<platform::engine::CefResourceHandler> GetResourceHandler(
    platform::engine::CefRefPtr<platform::engine::CefRequest> request);

// True when the address names a test file (letters, digits, "_" and "." only; no
// extension means ".html"; only html and png are served).
bool SplitTestAddress(const std::string& url, std::string& fileName, std::string& mimeType);

// The text dump of a request: address, method, headers and body parts.
std::string DescribeRequest(platform::engine::CefRefPtr<platform::engine::CefRequest> request);

// A reader over the named built-in resource, or none.
platform::engine::CefRefPtr<platform::engine::CefStreamReader> OpenBuiltInResource(const std::string& name);

} // namespace TestResources
