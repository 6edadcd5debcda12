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

} // namespace

std::string LinuxOsLayer::UserDataFolder()
{
    // Relative values are invalid for XDG variables and are ignored.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return WithoutTrailingSlash(dataHome);
    std::string home = HomeFolder();
    if (home.empty())
        return {};
    return WithoutTrailingSlash(home) + "/.local/share";
}

std::string LinuxOsLayer::DocumentsFolder()
{
    if (HomeFolder().empty())
        return {};
    // The user-dirs entry, else ~/Documents; made when missing, so the save dialog opens there.
    const std::string folder
        = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
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
