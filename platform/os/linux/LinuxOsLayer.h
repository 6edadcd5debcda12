#pragma once

#include "platform/os/OsLayer.h"

namespace platform::os {

// The OS layer on Linux; its operations are spread over the files of this folder by topic.
class LinuxOsLayer final : public OsLayer {
public:
    std::string ExecutablePath() override;
    bool AcquireSingleInstanceMarker(const std::string& name) override;
    void ReleaseSingleInstanceMarker() override;
    void ListenOnSingleInstanceMarker(std::function<void()> onSignal) override;
    void StopListeningOnSingleInstanceMarker() override;
    bool SignalSingleInstanceMarker(const std::string& name) override;
    std::string Utf8ToLocale(const std::string& text) override;
    std::string LocaleToUtf8(const std::string& text) override;
    std::string UserDataFolder() override;
    std::string DocumentsFolder() override;
    std::string UserConfigFolder() override;
    bool CanWriteFile(const std::string& path) override;
    int LaunchProcess(const std::string& program, const std::vector<std::string>& arguments,
        const std::string& workingDirectory, bool elevated) override;
    int LaunchElevatedProgram(const std::string& program, const std::vector<std::string>& arguments) override;
    void OpenUrl(const std::string& url) override;
    void RevealInFileManager(const std::string& path) override;
    bool SetClipboardText(const std::string& text) override;
    std::string ErrorText(int errorCode) override;
    bool WriteAutostartEntry(const std::string& entryName, const std::string& executablePath,
        const std::string& displayName, const std::string& iconName) override;
    bool RemoveAutostartEntry(const std::string& entryName) override;
};

} // namespace platform::os
