#pragma once

#include "platform/engine/CefClient.h"
#include "platform/engine/CefRequestContext.h"
#include "platform/engine/CefTask.h"

namespace platform::engine {

/// The engine behind the system's engine calls: Qt WebEngine, or a fake in tests.
class EngineBackend {
public:
    virtual ~EngineBackend() = default;
    virtual bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
        const std::string& url, const CefBrowserSettings& settings,
        CefRefPtr<CefRequestContext> requestContext)
        = 0;
    virtual bool PostTask(CefThreadId threadId, CefRefPtr<CefTask> task) = 0;
    virtual bool CurrentlyOn(CefThreadId threadId) = 0;
};

/// The process-wide engine (the real one unless a test replaced it).
EngineBackend& Backend();

/// Replaces the process-wide engine; nullptr restores the real one. For tests.
void SetBackend(EngineBackend* backend);

} // namespace platform::engine
