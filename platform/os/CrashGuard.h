#pragma once

namespace platform::os {

/// Writes a crash report (signal, time, program version, backtrace) when the process
/// dies of SIGSEGV, SIGBUS, SIGFPE, SIGILL or SIGABRT, then lets the signal take its
/// default action so the exit status still shows the crash. One instance per process,
/// armed from static initialisation; it stays armed until the process is gone, as
/// exit handlers and static destructors can crash too.
class CMiniDumper {
public:
    explicit CMiniDumper(bool armed);
    CMiniDumper(const CMiniDumper&) = delete;
    CMiniDumper& operator=(const CMiniDumper&) = delete;

    /// The version written into reports (copied; call before the process can crash for a useful report).
    static void SetProgramVersion(const char* version);

    /// The folder reports go to: $XDG_CACHE_HOME/zandrel/crash, else ~/.cache/zandrel/crash.
    static const char* ReportFolder();
};

} // namespace platform::os
