#include "platform/os/FileSync.h"

#include <sys/stat.h>
#include <unistd.h>

namespace platform::os {

bool FlushFileToDisk(std::FILE* file)
{
    if (std::fflush(file) != 0)
        return false;
    return ::fsync(::fileno(file)) == 0;
}

bool CopyOwnerAndMode(const std::string& fromPath, std::FILE* to)
{
    struct stat from { };
    if (::stat(fromPath.c_str(), &from) != 0)
        return true;
    const int descriptor = ::fileno(to);
    struct stat current { };
    if (::fstat(descriptor, &current) != 0)
        return false;
    if ((current.st_uid != from.st_uid || current.st_gid != from.st_gid)
        && ::fchown(descriptor, from.st_uid, from.st_gid) != 0)
        return false;
    return ::fchmod(descriptor, from.st_mode & 07777) == 0;
}

bool HasSeveralNames(const std::string& path)
{
    struct stat status { };
    return ::stat(path.c_str(), &status) == 0 && status.st_nlink > 1;
}

} // namespace platform::os
