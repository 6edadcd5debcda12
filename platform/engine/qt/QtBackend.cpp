#include "platform/engine/EngineBackend.h"

#include "platform/engine/qt/BrowserRegistry.h"
#include "platform/engine/qt/QtBrowser.h"
#include "platform/ui/qt/WidgetHandles.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>

namespace platform::engine {

namespace {
    bool OnGuiThread()
    {
        auto* application = QCoreApplication::instance();
        return application && QThread::currentThread() == application->thread();
    }

    // The engine's UI thread is the GUI thread; the other engine threads are pool threads.
    class QtBackend final : public EngineBackend {
    public:
        bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
            const std::string& url, const CefBrowserSettings& settings,
            CefRefPtr<CefRequestContext> requestContext) override
        {
            if (!OnGuiThread()) {
                return PostTask(
                    TID_UI, CefCreateClosureTask([this, windowInfo, client, url, settings, requestContext] {
                        CreateBrowser(windowInfo, client, url, settings, requestContext);
                    }));
            }
            QPointer<QWidget> parent = platform::ui::qt::WidgetFromHandle(windowInfo.parentWindow);
            if (!parent)
                return false;
            CefRefPtr<CefRequestContext> context
                = requestContext ? requestContext : CefRequestContext::GetGlobalContext();
            CefRefPtr<qt::QtBrowser> browser(
                new qt::QtBrowser(qt::BrowserRegistry::Instance().NextIdentifier(), client, context));
            // Created asynchronously, as callers expect: the browser exists only once the
            // client has been told, and never in a parent that is gone by then.
            QTimer::singleShot(0, parent,
                [browser, parent, windowInfo, url] { browser->CreateWindow(parent, windowInfo, url); });
            return true;
        }

        bool PostTask(CefThreadId threadId, CefRefPtr<CefTask> task) override
        {
            auto* application = QCoreApplication::instance();
            if (threadId == TID_UI) {
                if (!application)
                    return false;
                return QMetaObject::invokeMethod(
                    application, [task] { task->Execute(); }, Qt::QueuedConnection);
            }
            QThreadPool::globalInstance()->start([task] { task->Execute(); });
            return true;
        }

        bool CurrentlyOn(CefThreadId threadId) override
        {
            if (threadId == TID_UI)
                return OnGuiThread();
            return !OnGuiThread() && QThreadPool::globalInstance()->activeThreadCount() > 0;
        }
    };
}

EngineBackend& DefaultBackend()
{
    static QtBackend backend;
    return backend;
}

} // namespace platform::engine
