#include "base/AppDataPath.h"

#include "platform/os/OsLayer.h"
#include "platform/os/TextCodec.h"

bool AppDataPath(std::u16string& path)
{
    std::u16string folder = platform::os::Utf8ToUtf16(platform::os::Os().UserDataFolder());
    if (folder.empty())
        return false;
    size_t start = 0;
    while (start < path.size() && path[start] == u'/')
        ++start;
    if (folder.back() != u'/' && start < path.size())
        folder += u'/';
    path = folder + path.substr(start);
    return true;
}
