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

    // Where the profile keeps its cookies and storage; empty (the default) keeps everything in
    // memory. Takes effect when the profile is created, so call it before Profile().
    void SetStoragePath(const std::string& path) { storagePath = path; }
    // The one profile; created on first use (after the application object). A storage path
    // that cannot be made private to the user falls back to memory.
    QWebEngineProfile* Profile();
    bool HasProfile() const { return profile != nullptr; }
    void ReleaseProfile();

    void SetCookieSchemes(const std::vector<std::string>& schemes);
    std::vector<std::string> CookieSchemes() const { return cookieSchemes; }

private:
    void ApplyCookieFilter();
    QWebEngineProfile* CreateKeptProfile();

    std::vector<std::string> arguments;
    std::vector<std::string> cookieSchemes { "http", "https" };
    std::string storagePath;
    QWebEngineProfile* profile = nullptr;
};

} // namespace platform::engine::qt
