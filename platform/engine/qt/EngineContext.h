#pragma once

#include <string>
#include <vector>

class QWebEngineProfile;

namespace platform::engine::qt {

// Process-wide engine state of the browser process. GUI thread, except the
// argument copy, which is written once before any thread starts.
class EngineContext {
public:
    static EngineContext& Instance();

    void SetArguments(int argc, char** argv);
    const std::vector<std::string>& Arguments() const { return arguments; }

    // The one off-the-record profile; created on first use (after the application object).
    QWebEngineProfile* Profile();
    bool HasProfile() const { return profile != nullptr; }
    void ReleaseProfile();

    void SetCookieSchemes(const std::vector<std::string>& schemes);
    std::vector<std::string> CookieSchemes() const { return cookieSchemes; }

private:
    void ApplyCookieFilter();

    std::vector<std::string> arguments;
    std::vector<std::string> cookieSchemes { "http", "https" };
    QWebEngineProfile* profile = nullptr;
};

} // namespace platform::engine::qt
