#pragma once

#include "platform/os/OsLayer.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// An OS layer that records calls and answers from its fields; install it with
// platform::os::SetOsLayer (FakeOsLayerScope does and undoes that).
class FakeOsLayer : public platform::os::OsLayer {
public:
    struct Launch {
        std::string program;
        std::vector<std::string> arguments;
        std::string workingDirectory;
        bool elevated = false;
    };

    std::string ExecutablePath() override { return executablePath; }
    bool AcquireSingleInstanceMarker(const std::string& name) override;
    void ReleaseSingleInstanceMarker() override { }
    void ListenOnSingleInstanceMarker(std::function<void()>) override { }
    void StopListeningOnSingleInstanceMarker() override { }
    bool SignalSingleInstanceMarker(const std::string&) override { return false; }
    std::string Utf8ToLocale(const std::string& text) override { return text; }
    std::string LocaleToUtf8(const std::string& text) override { return text; }
    std::string UserDataFolder() override { return userDataFolder; }
    std::string DocumentsFolder() override { return documentsFolder; }
    std::string UserConfigFolder() override { return userConfigFolder; }
    bool CanWriteFile(const std::string& path) override { return readOnlyFiles.count(path) == 0; }
    int LaunchProcess(const std::string& program, const std::vector<std::string>& arguments,
        const std::string& workingDirectory, bool elevated) override;
    // Recorded among the launches, elevated and without a working directory.
    int LaunchElevatedProgram(const std::string& program, const std::vector<std::string>& arguments) override;
    void OpenUrl(const std::string& url) override { openedUrls.push_back(url); }
    void RevealInFileManager(const std::string& path) override { revealedPaths.push_back(path); }
    bool SetClipboardText(const std::string& text) override;
    std::string ErrorText(int errorCode) override { return "error " + std::to_string(errorCode); }
    bool WriteAutostartEntry(const std::string& entryName, const std::string& executablePath,
        const std::string& displayName, const std::string& iconName) override;
    bool RemoveAutostartEntry(const std::string& entryName) override;

    // Answers.
    std::string executablePath = "/opt/zandrel/zandrel";
    std::string userDataFolder = "/home/user/.local/share";
    std::string documentsFolder = "/home/user/Documents";
    std::string userConfigFolder = "/home/user/.config";
    std::set<std::string> readOnlyFiles;
    int launchResult = 0;
    bool clipboardAvailable = true;
    bool autostartWritable = true;
    bool markerFree = true;

    // Records.
    std::vector<std::string> markers;
    std::vector<Launch> launches;
    std::vector<std::string> openedUrls;
    std::vector<std::string> revealedPaths;
    std::string clipboardText;
    std::map<std::string, std::string> autostartEntries;
};

// Installs a fake OS layer for one scope.
class FakeOsLayerScope {
public:
    FakeOsLayerScope() { platform::os::SetOsLayer(&fake); }
    ~FakeOsLayerScope() { platform::os::SetOsLayer(nullptr); }
    FakeOsLayerScope(const FakeOsLayerScope&) = delete;
    FakeOsLayerScope& operator=(const FakeOsLayerScope&) = delete;

    FakeOsLayer fake;
};
