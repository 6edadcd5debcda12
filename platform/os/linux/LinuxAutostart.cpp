#include "platform/os/linux/LinuxOsLayer.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace platform::os {

namespace {

    std::string MachineAutostartFolder()
    {
        const char* dirs = std::getenv("XDG_CONFIG_DIRS");
        std::string first = dirs ? std::string(dirs).substr(0, std::string(dirs).find(':')) : std::string();
        if (first.empty() || first[0] != '/')
            first = "/etc/xdg";
        return first + "/autostart";
    }

    std::string UserAutostartFolder()
    {
        const char* configHome = std::getenv("XDG_CONFIG_HOME");
        if (configHome && configHome[0] == '/')
            return std::string(configHome) + "/autostart";
        const char* home = std::getenv("HOME");
        if (!home || !*home)
            return {};
        return std::string(home) + "/.config/autostart";
    }

    // Exec takes the path in double quotes: the quoting rule escapes " ` $ \, the
    // string-value rule then doubles every backslash, and % is the field-code escape.
    std::string QuotedExec(const std::string& path)
    {
        std::string quoted = "\"";
        for (char c : path) {
            if (c == '"' || c == '`' || c == '$')
                quoted += "\\\\";
            else if (c == '\\')
                quoted += "\\\\\\";
            else if (c == '%')
                quoted += '%';
            quoted += c;
        }
        return quoted + "\"";
    }

    std::string EntryText(
        const std::string& executablePath, const std::string& displayName, const std::string& iconName)
    {
        return "[Desktop Entry]\nType=Application\nName=" + displayName + "\nIcon=" + iconName
            + "\nExec=" + QuotedExec(executablePath) + "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
    }

    bool WriteEntry(const std::string& folder, const std::string& fileName, const std::string& text)
    {
        if (folder.empty())
            return false;
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error)
            return false;
        // Written beside the entry and renamed over it, so a session never reads half an entry.
        const std::string target = folder + "/" + fileName;
        const std::string temporary = target + ".new";
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out << text;
            out.flush();
            if (!out) {
                out.close();
                std::filesystem::remove(temporary, error);
                return false;
            }
        }
        std::filesystem::rename(temporary, target, error);
        if (error) {
            std::filesystem::remove(temporary, error);
            return false;
        }
        return true;
    }

    bool ValidEntryName(const std::string& entryName)
    {
        return !entryName.empty() && entryName.find_first_of("/\n\r") == std::string::npos;
    }

    bool OneLine(const std::string& value) { return value.find_first_of("\n\r") == std::string::npos; }

} // namespace

bool LinuxOsLayer::WriteAutostartEntry(const std::string& entryName, const std::string& executablePath,
    const std::string& displayName, const std::string& iconName)
{
    if (!ValidEntryName(entryName) || executablePath.empty() || displayName.empty()
        || !OneLine(executablePath) || !OneLine(displayName) || !OneLine(iconName))
        return false;
    const std::string fileName = entryName + ".desktop";
    const std::string text = EntryText(executablePath, displayName, iconName);
    return WriteEntry(MachineAutostartFolder(), fileName, text)
        || WriteEntry(UserAutostartFolder(), fileName, text);
}

bool LinuxOsLayer::RemoveAutostartEntry(const std::string& entryName)
{
    if (!ValidEntryName(entryName))
        return false;
    bool allGone = true;
    for (const std::string& folder : { MachineAutostartFolder(), UserAutostartFolder() }) {
        if (folder.empty())
            continue;
        std::error_code error;
        std::string path = folder;
        path.append("/").append(entryName).append(".desktop");
        if (std::filesystem::exists(path, error))
            allGone = std::filesystem::remove(path, error) && allGone;
    }
    return allGone;
}

} // namespace platform::os
