#include "browser/StateFolder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string StateFolder()
{
    namespace fs = std::filesystem;
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    fs::path base;
    // A relative XDG path is to be ignored, as the XDG base directory rules say.
    if (state && state[0] == '/')
        base = state;
    else if (home && home[0] == '/')
        base = fs::path(home) / ".local" / "state";
    else
        return std::string();
    const fs::path folder = base / "zandrel";
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        fs::create_directories(folder, error);
        if (error)
            return std::string();
        // What a page logged and what was downloaded are the user's business alone.
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
    }
    return folder.string();
}
