#pragma once

#include "platform/engine/CefApp.h"

#include <cstddef>
#include <string>

namespace platform::engine {

constexpr int LOGSEVERITY_DEFAULT = 0;
constexpr int LOGSEVERITY_DISABLE = 99;

/// The process arguments as main received them.
struct CefMainArgs {
    int argc = 0;
    char** argv = nullptr;
};

/// Engine settings; a value-initialised record means "engine defaults".
struct CefSettings {
    size_t size = 0;
    int single_process = 0;
    int no_sandbox = 0;
    std::string browser_subprocess_path;
    int multi_threaded_message_loop = 0;
    int windowless_rendering_enabled = 0;
    int command_line_args_disabled = 0;
    std::string cache_path;
    int persist_session_cookies = 0;
    std::string user_agent;
    std::string product_version;
    std::string locale;
    std::string log_file;
    int log_severity = LOGSEVERITY_DEFAULT;
    std::string javascript_flags;
    std::string resources_dir_path;
    std::string locales_dir_path;
    int pack_loading_disabled = 0;
    int remote_debugging_port = 0;
    int uncaught_exception_stack_size = 0;
    int context_safety_implementation = 0;
    int ignore_certificate_errors = 0;
    unsigned int background_color = 0;
};

/// Decides the role of this process. In an engine sub-process (started by the engine
/// as this same program with "--type=...") runs the engine and returns its exit code.
/// In the browser process registers the application's schemes, prepares the process
/// for the engine and returns -1; call it before anything else in main.
int CefExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application, void* windowsSandboxInfo);

/// Starts the engine in the browser process: creates the GUI application object when
/// none exists and the one in-memory profile every browser shares, then calls the
/// browser process handler's OnContextInitialized. GUI thread.
bool CefInitialize(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> application,
    void* windowsSandboxInfo);

/// Closes the browsers that are left and releases the profile. GUI thread.
void CefShutdown();

/// The engine runs on the GUI event loop, so there is no extra work to pump.
void CefDoMessageLoopWork();

/// For test programs that use the real engine without routing "--type=" through
/// CefExecuteProcess: prepares the process like CefExecuteProcess does but keeps the
/// engine's own helper program for sub-processes. Call before the application object.
void PrepareEngineForTests(CefRefPtr<CefApp> application = nullptr);

} // namespace platform::engine
