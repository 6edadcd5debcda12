#include "platform/engine/EngineBackend.h"

#include <atomic>

namespace platform::engine {

EngineBackend& DefaultBackend();

namespace {
    std::atomic<EngineBackend*> replacement { nullptr };

    class ClosureTask final : public CefTask {
    public:
        explicit ClosureTask(std::function<void()> f)
            : closure(std::move(f))
        {
        }
        void Execute() override
        {
            if (closure)
                closure();
        }

    private:
        std::function<void()> closure;
        IMPLEMENT_REFCOUNTING(ClosureTask);
    };
}

EngineBackend& Backend()
{
    EngineBackend* backend = replacement.load();
    return backend ? *backend : DefaultBackend();
}

void SetBackend(EngineBackend* backend) { replacement.store(backend); }

CefRefPtr<CefTask> CefCreateClosureTask(std::function<void()> closure)
{
    return new ClosureTask(std::move(closure));
}

bool CefPostTask(CefThreadId threadId, CefRefPtr<CefTask> task)
{
    return task && Backend().PostTask(threadId, task);
}

bool CefPostTask(CefThreadId threadId, std::function<void()> closure)
{
    return CefPostTask(threadId, CefCreateClosureTask(std::move(closure)));
}

bool CefCurrentlyOn(CefThreadId threadId) { return Backend().CurrentlyOn(threadId); }

bool CefBrowserHost::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
    const std::string& url, const CefBrowserSettings& settings, CefRefPtr<CefRequestContext> requestContext)
{
    if (!client)
        return false;
    return Backend().CreateBrowser(windowInfo, client, url, settings, requestContext);
}

} // namespace platform::engine
