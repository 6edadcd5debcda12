#include "config/XmlFileWrite.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/os/FileSync.h"

namespace {

int LastError() { return errno ? errno : EIO; }

// Writes, flushes to disk and closes; the first failure's errno value, or 0.
int WriteAndClose(std::FILE* file, const std::string& bytes)
{
    int error = 0;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        error = LastError();
    if (error == 0 && !platform::os::FlushFileToDisk(file))
        error = LastError();
    if (std::fclose(file) != 0 && error == 0)
        error = LastError();
    return error;
}

int WriteInPlace(const std::string& target, const std::string& bytes)
{
    std::FILE* file = std::fopen(target.c_str(), "wb");
    if (!file)
        return LastError();
    return WriteAndClose(file, bytes);
}

int WriteByReplacing(const std::string& target, const std::string& bytes)
{
    const std::string temporary = target + ".saving";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return WriteInPlace(target, bytes);
    if (!platform::os::CopyOwnerAndMode(target, file)) {
        std::fclose(file);
        std::remove(temporary.c_str());
        return WriteInPlace(target, bytes);
    }
    int error = WriteAndClose(file, bytes);
    if (error == 0 && std::rename(temporary.c_str(), target.c_str()) != 0)
        error = LastError();
    if (error != 0)
        std::remove(temporary.c_str());
    return error;
}

} // namespace

int WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::error_code ignored;
    std::string target = path;
    if (std::filesystem::is_symlink(path, ignored)) {
        const std::filesystem::path resolved = std::filesystem::canonical(path, ignored);
        if (!resolved.empty())
            target = resolved.string();
    }
    // Replacing a file with several names would part it from the others.
    if (platform::os::HasSeveralNames(target))
        return WriteInPlace(target, bytes);
    return WriteByReplacing(target, bytes);
}
