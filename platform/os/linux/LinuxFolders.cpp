#include "platform/os/linux/LinuxOsLayer.h"

#include <QStandardPaths>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

namespace platform::os {

namespace {

    std::string HomeFolder()
    {
        const char* home = std::getenv("HOME");
        if (home && *home)
            return home;
        passwd* entry = getpwuid(getuid());
        if (entry && entry->pw_dir && *entry->pw_dir)
            return entry->pw_dir;
        return {};
    }

    std::string WithoutTrailingSlash(std::string path)
    {
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        return path;
    }

    // Relative values are invalid for XDG variables and are ignored.
    std::string XdgFolder(const char* variable, const char* underHome)
    {
        const char* value = std::getenv(variable);
        if (value && value[0] == '/')
            return WithoutTrailingSlash(value);
        std::string home = HomeFolder();
        if (home.empty())
            return {};
        return WithoutTrailingSlash(home) + underHome;
    }

} // namespace

std::string LinuxOsLayer::UserDataFolder() { return XdgFolder("XDG_DATA_HOME", "/.local/share"); }

std::string LinuxOsLayer::UserConfigFolder() { return XdgFolder("XDG_CONFIG_HOME", "/.config"); }

bool LinuxOsLayer::CanWriteFile(const std::string& path)
{
    return !path.empty() && access(path.c_str(), W_OK) == 0;
}

std::string LinuxOsLayer::DocumentsFolder()
{
    if (HomeFolder().empty())
        return {};
    // The user-dirs entry, else ~/Documents; made when missing, so the save dialog opens there.
    std::string folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    std::error_code error;
    if (folder.empty() || (!std::filesystem::create_directories(folder, error) && error))
        return {};
    return folder;
}

std::string LinuxOsLayer::ErrorText(int errorCode)
{
    char buffer[256] = {};
    // GNU strerror_r may return a static text instead of filling the buffer.
    const char* text = strerror_r(errorCode, buffer, sizeof(buffer));
    return text ? text : std::string();
}

} // namespace platform::os
