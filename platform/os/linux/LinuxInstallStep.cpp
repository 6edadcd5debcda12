#include "platform/os/InstallStep.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace platform::os {

namespace {

    std::string FolderOf(const std::string& path)
    {
        const size_t slash = path.rfind('/');
        return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    }

    bool WriteAll(int fd, const char* data, size_t size)
    {
        while (size > 0) {
            const ssize_t written = write(fd, data, size);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            data += written;
            size -= static_cast<size_t>(written);
        }
        return true;
    }

    // Copies at most maxBytes from in to out; EFBIG when in holds more.
    int CopyBytes(int in, int out, long long maxBytes)
    {
        std::vector<char> buffer(1 << 16);
        long long total = 0;
        for (;;) {
            const ssize_t got = read(in, buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return errno;
            if (got == 0)
                return fsync(out) == 0 ? 0 : errno;
            total += got;
            if (total > maxBytes)
                return EFBIG;
            if (!WriteAll(out, buffer.data(), static_cast<size_t>(got)))
                return errno ? errno : EIO;
        }
    }

    struct Descriptor {
        int fd;
        ~Descriptor()
        {
            if (fd >= 0)
                close(fd);
        }
    };

} // namespace

// Kept apart from the OS layer's class, whose first function would bring the whole layer along.
std::string ExecutableFilePath()
{
    char buffer[PATH_MAX + 1] = {};
    ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
    if (length <= 0)
        return {};
    return std::string(buffer, static_cast<size_t>(length));
}

long long FileOwner(const std::string& path)
{
    struct stat info { };
    return lstat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_uid) : -1;
}

bool IsWritableOnlyBy(const std::string& path, long long owner)
{
    struct stat info { };
    if (lstat(path.c_str(), &info) != 0 || S_ISLNK(info.st_mode))
        return false;
    return (info.st_uid == 0 || static_cast<long long>(info.st_uid) == owner)
        && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

int CopyIntoPrivateFolder(
    const std::string& source, const std::string& name, long long maxBytes, std::string& copyPath)
{
    // Not following a link and not blocking on a pipe: the path is the caller's, and what it names
    // may be changed under us by whoever owns it.
    Descriptor in { open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC) };
    if (in.fd < 0)
        return errno;
    struct stat info { };
    if (fstat(in.fd, &info) != 0)
        return errno;
    if (!S_ISREG(info.st_mode))
        return EINVAL;
    if (info.st_size > maxBytes)
        return EFBIG;
    char folderTemplate[] = "/tmp/zandrel-install-XXXXXX";
    if (!mkdtemp(folderTemplate))
        return errno;
    const std::string copy = std::string(folderTemplate) + "/" + name;
    int result = 0;
    {
        Descriptor out { open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0700) };
        result = out.fd < 0 ? errno : CopyBytes(in.fd, out.fd, maxBytes);
    }
    if (result != 0) {
        RemovePrivateCopy(copy);
        return result;
    }
    copyPath = copy;
    return 0;
}

void RemovePrivateCopy(const std::string& copyPath)
{
    unlink(copyPath.c_str());
    rmdir(FolderOf(copyPath).c_str());
}

int RunAndWait(const std::vector<std::string>& command)
{
    if (command.empty())
        return 127;
    const std::string folder = FolderOf(command.back());
    std::vector<std::vector<char>> texts;
    texts.reserve(command.size());
    for (const std::string& part : command)
        texts.emplace_back(part.c_str(), part.c_str() + part.size() + 1);
    std::vector<char*> argv;
    argv.reserve(texts.size() + 1);
    for (std::vector<char>& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        return 127;
    if (pid == 0) {
        if (chdir(folder.c_str()) == 0)
            execve(argv[0], argv.data(), environ);
        _exit(127);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return 127;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 127;
}

} // namespace platform::os
