#include "platform/os/CrashGuard.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::os {

namespace {
    constexpr int kFatalSignals[] = { SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT };
    constexpr size_t kPathCapacity = 4096;

    // Everything the handler needs is prepared beforehand: it may only use
    // async-signal-safe calls and must not allocate.
    char cacheFolder[kPathCapacity];
    char appFolder[kPathCapacity];
    char reportFolder[kPathCapacity];
    char programVersion[64] = "unknown";
    bool armed = false;
    char alternateStack[64 * 1024];

    void CopyBounded(char* target, size_t capacity, const std::string& text)
    {
        size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
        std::memcpy(target, text.data(), length);
        target[length] = '\0';
    }

    void WriteText(int fd, const char* text)
    {
        size_t length = std::strlen(text);
        while (length > 0) {
            ssize_t written = write(fd, text, length);
            if (written <= 0)
                return;
            text += written;
            length -= static_cast<size_t>(written);
        }
    }

    // Decimal digits of a non-negative number into buffer; returns the buffer.
    char* FormatNumber(long long value, char* buffer, size_t capacity)
    {
        char digits[32];
        size_t count = 0;
        unsigned long long rest = value < 0 ? 0 : static_cast<unsigned long long>(value);
        do {
            digits[count++] = static_cast<char>('0' + rest % 10);
            rest /= 10;
        } while (rest > 0 && count < sizeof(digits));
        size_t length = count < capacity - 1 ? count : capacity - 1;
        for (size_t i = 0; i < length; ++i)
            buffer[i] = digits[count - 1 - i];
        buffer[length] = '\0';
        return buffer;
    }

    const char* SignalName(int signalNumber)
    {
        switch (signalNumber) {
        case SIGSEGV:
            return "SIGSEGV";
        case SIGBUS:
            return "SIGBUS";
        case SIGFPE:
            return "SIGFPE";
        case SIGILL:
            return "SIGILL";
        case SIGABRT:
            return "SIGABRT";
        }
        return "signal";
    }

    void WriteReport(int signalNumber)
    {
        mkdir(cacheFolder, 0700);
        mkdir(appFolder, 0700);
        mkdir(reportFolder, 0700);

        char number[32];
        char path[kPathCapacity + 64];
        path[0] = '\0';
        // No formatting function is safe in a signal handler; the pieces after the folder fit in
        // the 64 bytes the path has beyond it.
        // NOLINTBEGIN(clang-analyzer-security.insecureAPI.strcpy)
        std::strncat(path, reportFolder, kPathCapacity);
        std::strcat(path, "/crash-");
        std::strcat(path, FormatNumber(time(nullptr), number, sizeof(number)));
        std::strcat(path, "-");
        std::strcat(path, FormatNumber(getpid(), number, sizeof(number)));
        std::strcat(path, ".txt");
        // NOLINTEND(clang-analyzer-security.insecureAPI.strcpy)

        int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0)
            return;
        WriteText(fd, "signal ");
        WriteText(fd, FormatNumber(signalNumber, number, sizeof(number)));
        WriteText(fd, " (");
        WriteText(fd, SignalName(signalNumber));
        WriteText(fd, ")\ntime ");
        WriteText(fd, FormatNumber(time(nullptr), number, sizeof(number)));
        WriteText(fd, "\nprocess ");
        WriteText(fd, FormatNumber(getpid(), number, sizeof(number)));
        WriteText(fd, "\nversion ");
        WriteText(fd, programVersion);
        WriteText(fd, "\nbacktrace:\n");
        void* frames[64];
        int frameCount = backtrace(frames, 64);
        backtrace_symbols_fd(frames, frameCount, fd);
        close(fd);
    }

    void OnFatalSignal(int signalNumber)
    {
        WriteReport(signalNumber);
        // SA_RESETHAND restored the default action; raising again ends the process
        // with the original signal, so parents and core dumps see a crash.
        raise(signalNumber);
    }

    void PrepareFolders()
    {
        std::string cache;
        if (const char* xdgCache = std::getenv("XDG_CACHE_HOME"); xdgCache && *xdgCache)
            cache = xdgCache;
        else if (const char* home = std::getenv("HOME"); home && *home)
            cache = std::string(home) + "/.cache";
        else
            cache = "/tmp";
        CopyBounded(cacheFolder, kPathCapacity, cache);
        CopyBounded(appFolder, kPathCapacity, cache + "/zandrel");
        CopyBounded(reportFolder, kPathCapacity, cache + "/zandrel/crash");
    }
}

CMiniDumper::CMiniDumper(bool arm)
{
    if (!arm || armed)
        return;
    PrepareFolders();

    // The first backtrace() call loads its unwinder; do it now, not inside the handler.
    void* warmUp[1];
    backtrace(warmUp, 1);

    // An alternate stack lets the handler run after a stack overflow.
    stack_t stack {};
    stack.ss_sp = alternateStack;
    stack.ss_size = sizeof(alternateStack);
    sigaltstack(&stack, nullptr);

    struct sigaction action { };
    action.sa_handler = OnFatalSignal;
    action.sa_flags = SA_RESETHAND | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : kFatalSignals)
        sigaction(signalNumber, &action, nullptr);
    armed = true;
}

void CMiniDumper::SetProgramVersion(const char* version)
{
    CopyBounded(programVersion, sizeof(programVersion), version ? version : "");
}

const char* CMiniDumper::ReportFolder()
{
    if (!reportFolder[0])
        PrepareFolders();
    return reportFolder;
}

} // namespace platform::os
