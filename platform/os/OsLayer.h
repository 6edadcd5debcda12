#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform::os {

/// What the system needs from the operating system, with standard types only.
/// Upper code reaches it through Os(); tests replace it with a fake.
class OsLayer {
public:
    virtual ~OsLayer() = default;

    /// Full path of the running executable, symlinks resolved.
    virtual std::string ExecutablePath() = 0;

    /// Takes the machine-wide marker of a running instance; false when another
    /// live process holds it. The marker vanishes with the process, also after a crash.
    virtual bool AcquireSingleInstanceMarker(const std::string& name) = 0;
    /// Gives the marker back early, for a process that ends without having served as the instance.
    virtual void ReleaseSingleInstanceMarker() = 0;
    /// While this process holds the marker: calls onSignal, on a thread of its own, each time
    /// another start signals it; that start waits (a few seconds at most) until onSignal returns.
    /// Anything else that reaches the marker is ignored.
    virtual void ListenOnSingleInstanceMarker(std::function<void()> onSignal) = 0;
    /// Stops listening; the marker stays held.
    virtual void StopListeningOnSingleInstanceMarker() = 0;
    /// From another start: asks the holder of the marker name to show itself, and returns once
    /// the holder has handled the request. False when nobody listening took the request.
    virtual bool SignalSingleInstanceMarker(const std::string& name) = 0;

    /// UTF-8 to the locale's narrow character set and back (identity when the locale is UTF-8).
    /// Unconvertible bytes become "?"; never fails.
    virtual std::string Utf8ToLocale(const std::string& text) = 0;
    virtual std::string LocaleToUtf8(const std::string& text) = 0;

    /// The user's data folder ($XDG_DATA_HOME, else ~/.local/share) without a trailing "/";
    /// empty when no home folder can be found.
    virtual std::string UserDataFolder() = 0;
    /// The user's documents folder, created when missing; empty when none can be found or made.
    virtual std::string DocumentsFolder() = 0;
    /// The user's configuration folder ($XDG_CONFIG_HOME, else ~/.config) without a trailing "/";
    /// empty when no home folder can be found.
    virtual std::string UserConfigFolder() = 0;
    /// Whether this process may write the existing file at path (false when it does not exist).
    virtual bool CanWriteFile(const std::string& path) = 0;

    /// Starts program (looked up in PATH when it has no "/") with arguments in workingDirectory,
    /// detached from this process and without the engine's QTWEBENGINEPROCESS_PATH.
    /// Elevated runs it through pkexec and fails when pkexec is missing or refuses.
    /// Returns 0 once the program runs, otherwise an errno value.
    virtual int LaunchProcess(const std::string& program, const std::vector<std::string>& arguments,
        const std::string& workingDirectory, bool elevated)
        = 0;
    /// Starts program with arguments as root through pkexec, with nothing in between, so that the
    /// password prompt names program (or its own polkit action) and every argument reaches it as
    /// given. pkexec chooses the working directory. Returns 0 once program runs, EACCES when pkexec
    /// refuses, ENOENT when pkexec or program is missing, otherwise an errno value.
    virtual int LaunchElevatedProgram(const std::string& program, const std::vector<std::string>& arguments)
        = 0;
    /// Hands a URL or document path to the desktop's opener; reports nothing.
    virtual void OpenUrl(const std::string& url) = 0;
    /// Shows the file selected in the desktop's file manager, or at least its folder; reports nothing.
    virtual void RevealInFileManager(const std::string& path) = 0;
    /// Puts UTF-8 text on the clipboard; GUI thread only. False when there is no clipboard.
    virtual bool SetClipboardText(const std::string& text) = 0;
    /// The system's message text (UTF-8) for an errno value.
    virtual std::string ErrorText(int errorCode) = 0;

    /// Registers executablePath to start with the desktop session under entryName (the entry's file),
    /// shown as displayName with the themed icon iconName: machine-wide when that folder is
    /// writable, otherwise for the current user. False when neither works.
    virtual bool WriteAutostartEntry(const std::string& entryName, const std::string& executablePath,
        const std::string& displayName, const std::string& iconName)
        = 0;
    /// Removes the entry from whichever autostart folder holds it; false when one that exists stays.
    virtual bool RemoveAutostartEntry(const std::string& entryName) = 0;
};

/// The process-wide OS layer (the real one unless a test replaced it).
OsLayer& Os();

/// Replaces the process-wide OS layer; nullptr restores the real one. For tests.
void SetOsLayer(OsLayer* layer);

} // namespace platform::os
