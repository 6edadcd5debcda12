#include "platform/os/FileSync.h"

#include <unistd.h>

namespace platform::os {

bool FlushFileToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
    return ::fsync(::fileno(file)) == 0;
}

} // namespace platform::os
