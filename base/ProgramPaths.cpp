#include "base/ProgramPaths.h"

#include "platform/os/OsLayer.h"
#include "platform/os/TextCodec.h"

std::string ProgramDirectoryA()
{
    std::string path = platform::os::Os().ExecutablePath();
    auto slash = path.rfind('/');
    if (slash != std::string::npos)
        path.erase(slash + 1);
    return path;
}

std::u16string ProgramDirectory() { return platform::os::Utf8ToUtf16(ProgramDirectoryA()); }
