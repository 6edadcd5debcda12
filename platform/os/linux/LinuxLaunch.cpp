#include "platform/os/linux/LinuxOsLayer.h"
#include "platform/os/linux/LinuxSpawn.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform::os {

namespace {

    // The engine layer sets this for its own helper processes; a launched program
    // that embeds the engine itself must not find it.
    constexpr const char kEngineVariable[] = "QTWEBENGINEPROCESS_PATH=";

    std::vector<std::string> ChildEnvironment()
    {
        std::vector<std::string> variables;
        for (char** entry = environ; entry && *entry; ++entry) {
            if (std::strncmp(*entry, kEngineVariable, sizeof(kEngineVariable) - 1) != 0)
                variables.emplace_back(*entry);
        }
        return variables;
    }

    std::vector<char*> Pointers(std::vector<std::string>& texts)
    {
        std::vector<char*> pointers;
        pointers.reserve(texts.size() + 1);
        for (std::string& text : texts)
            pointers.push_back(text.data());
        pointers.push_back(nullptr);
        return pointers;
    }

    bool IsExecutableFile(const std::string& path)
    {
        struct stat info { };
        return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
    }

    // Only async-signal-safe calls between fork and exec: the parent may have other threads.
    [[noreturn]] void ExecChild(
        const char* path, char* const* argv, char* const* envp, const char* directory, int reportFd)
    {
        sigset_t all;
        sigemptyset(&all);
        sigprocmask(SIG_SETMASK, &all, nullptr);
        signal(SIGPIPE, SIG_DFL);
        int error = 0;
        if (directory && chdir(directory) != 0)
            error = errno;
        if (!error) {
            execve(path, argv, envp);
            error = errno;
        }
        if (reportFd >= 0)
            (void)!write(reportFd, &error, sizeof(error));
        _exit(127);
    }

    std::string CurrentDirectory()
    {
        char buffer[4096];
        return getcwd(buffer, sizeof(buffer)) ? std::string(buffer) : std::string("/");
    }

    void ReapLater(pid_t pid)
    {
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    }

    bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

    // The process's name as the kernel keeps it (the file name of what it runs, cut to 15 bytes);
    // empty when it cannot be read.
    std::string ProcessName(pid_t pid)
    {
        std::string name;
        std::ifstream("/proc/" + std::to_string(pid) + "/comm") >> name;
        return name;
    }

    struct PkexecEnd {
        bool started = false;
        bool exited = false;
        int status = 0;
    };

    // Starts argv (pkexec and what it runs) and waits until hasStarted says that the program runs,
    // or pkexec ends: it asks for the password in a dialog of its own and ends early only when
    // it refuses. A pkexec that runs on after the start is reaped later.
    int RunPkexec(std::vector<std::string> argv, const std::function<bool(pid_t)>& hasStarted, PkexecEnd& end)
    {
        std::vector<std::string> environment = ChildEnvironment();
        std::vector<char*> argvPointers = Pointers(argv);
        std::vector<char*> envPointers = Pointers(environment);
        int report[2];
        if (pipe2(report, O_CLOEXEC) != 0)
            return errno;
        pid_t pid = fork();
        if (pid < 0) {
            int error = errno;
            close(report[0]);
            close(report[1]);
            return error;
        }
        if (pid == 0)
            ExecChild(argvPointers[0], argvPointers.data(), envPointers.data(), nullptr, report[1]);
        // The report pipe closes on exec: until then the child is still a copy of this process.
        close(report[1]);
        int execError = 0;
        ssize_t got;
        do {
            got = read(report[0], &execError, sizeof(execError));
        } while (got < 0 && errno == EINTR);
        close(report[0]);
        if (got == static_cast<ssize_t>(sizeof(execError))) {
            while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) { }
            return execError;
        }
        for (;;) {
            int status = 0;
            pid_t ended = waitpid(pid, &status, WNOHANG);
            if (ended == pid) {
                end.exited = WIFEXITED(status);
                end.status = end.exited ? WEXITSTATUS(status) : 0;
                return 0;
            }
            if (ended < 0 && errno != EINTR)
                return errno;
            if (hasStarted(pid)) {
                end.started = true;
                ReapLater(pid);
                return 0;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    // The elevated shell leaves a marker once rights are granted and the working directory is
    // entered; the marker tells success from refusal.
    int LaunchThroughPkexec(const std::string& program, const std::vector<std::string>& arguments,
        const std::string& workingDirectory)
    {
        std::string pkexec = FindExecutable("pkexec");
        if (pkexec.empty())
            return ENOENT;
        char folderTemplate[] = "/tmp/zandrel-launch-XXXXXX";
        if (!mkdtemp(folderTemplate))
            return errno;
        const std::string folder = folderTemplate;
        const std::string marker = folder + "/started";

        std::vector<std::string> argv = { pkexec, "/bin/sh", "-c",
            "cd \"$2\" || exit 125; : > \"$1\"; shift 2; exec \"$@\"", "zandrel-launch", marker,
            workingDirectory.empty() ? CurrentDirectory() : workingDirectory, program };
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        PkexecEnd end;
        int result = RunPkexec(
            argv, [&](pid_t) { return Exists(marker); }, end);
        if (result == 0 && !end.started && !Exists(marker))
            result = end.exited && end.status == 125 ? ENOENT : EACCES;
        unlink(marker.c_str());
        rmdir(folder.c_str());
        return result;
    }

} // namespace

int LinuxOsLayer::LaunchElevatedProgram(const std::string& program, const std::vector<std::string>& arguments)
{
    const std::string pkexec = FindExecutable("pkexec");
    const std::string path = FindExecutable(program);
    if (pkexec.empty() || path.empty())
        return ENOENT;
    std::vector<std::string> argv = { pkexec, path };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    // pkexec runs the program in its own process once the password is given, so the process
    // taking another name is the start. Where process names cannot be read (a /proc that hides
    // root's processes) that is not known, and the launch counts as started.
    PkexecEnd end;
    const int result = RunPkexec(
        argv, [](pid_t pid) { return ProcessName(pid) != "pkexec"; }, end);
    if (result != 0)
        return result;
    // pkexec's own codes for a refused or failed authorisation.
    if (!end.started && (!end.exited || end.status == 126 || end.status == 127))
        return EACCES;
    return 0;
}

std::string FindExecutable(const std::string& program)
{
    if (program.empty())
        return {};
    if (program.find('/') != std::string::npos)
        return IsExecutableFile(program) ? program : std::string();
    const char* pathVariable = std::getenv("PATH");
    std::string searchPath = pathVariable ? pathVariable : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= searchPath.size()) {
        size_t end = searchPath.find(':', start);
        if (end == std::string::npos)
            end = searchPath.size();
        std::string folder = searchPath.substr(start, end - start);
        std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + program;
        if (IsExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return {};
}

int SpawnDetached(const std::vector<std::string>& argvTexts, const std::string& workingDirectory)
{
    if (argvTexts.empty())
        return EINVAL;
    std::string path = FindExecutable(argvTexts[0]);
    if (path.empty())
        return ENOENT;
    std::vector<std::string> argv = argvTexts;
    std::vector<std::string> environment = ChildEnvironment();
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> envPointers = Pointers(environment);
    const char* directory = workingDirectory.empty() ? nullptr : workingDirectory.c_str();

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return errno;
    pid_t pid = fork();
    if (pid < 0) {
        int error = errno;
        close(report[0]);
        close(report[1]);
        return error;
    }
    if (pid == 0) {
        // The intermediate child exits at once, so the program is adopted by init
        // and never becomes a zombie of this process.
        close(report[0]);
        setsid();
        pid_t grandchild = fork();
        if (grandchild < 0) {
            int error = errno;
            (void)!write(report[1], &error, sizeof(error));
            _exit(127);
        }
        if (grandchild > 0)
            _exit(0);
        ExecChild(path.c_str(), argvPointers.data(), envPointers.data(), directory, report[1]);
    }
    close(report[1]);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) { }
    int error = 0;
    ssize_t got;
    do {
        got = read(report[0], &error, sizeof(error));
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    return got == static_cast<ssize_t>(sizeof(error)) ? error : 0;
}

int LinuxOsLayer::LaunchProcess(const std::string& program, const std::vector<std::string>& arguments,
    const std::string& workingDirectory, bool elevated)
{
    if (!elevated) {
        std::vector<std::string> argv = { program };
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return SpawnDetached(argv, workingDirectory);
    }
    std::string path = FindExecutable(program);
    if (path.empty())
        return ENOENT;
    return LaunchThroughPkexec(path, arguments, workingDirectory);
}

} // namespace platform::os
