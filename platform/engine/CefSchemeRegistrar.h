#pragma once

#include <string>

namespace platform::engine {

/// Handed to CefApp::OnRegisterCustomSchemes while the process starts, before any
/// page exists; registering later has no effect.
class CefSchemeRegistrar {
public:
    /// Registers a scheme the engine does not know. A standard scheme has a host part
    /// ("client://host/path"); false when the name is taken or it is too late.
    bool AddCustomScheme(
        const std::string& schemeName, bool isStandard, bool isLocal, bool isDisplayIsolated);
};

} // namespace platform::engine
