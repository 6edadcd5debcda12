#include "platform/ui/qt/MessageDispatcher.h"

#include <mutex>

#include <QCoreApplication>
#include <QEvent>

#include "platform/ui/WindowImplBase.h"

namespace platform::ui::qt {

namespace {
    const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::User + 311);

    // Owns the payload: a message dropped anywhere (window gone, application
    // ending with events still queued) frees it with the event.
    class MessageEvent : public QEvent {
    public:
        MessageEvent()
            : QEvent(kMessageEvent)
        {
        }
        HWND hwnd = nullptr;
        UINT msg = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
        std::unique_ptr<MessagePayload> payload;
        std::function<void()> task;
    };
}

MessageDispatcher* MessageDispatcher::Instance()
{
    static std::mutex mutex;
    static MessageDispatcher* dispatcher = nullptr;
    std::lock_guard<std::mutex> lock(mutex);
    if (!dispatcher) {
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return nullptr;
        // Never deleted: threads may post until the process ends.
        dispatcher = new MessageDispatcher;
        if (dispatcher->thread() != app->thread())
            dispatcher->moveToThread(app->thread());
    }
    return dispatcher;
}

bool MessageDispatcher::Post(
    HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, std::unique_ptr<MessagePayload> payload)
{
    auto event = std::make_unique<MessageEvent>();
    event->hwnd = hwnd;
    event->msg = msg;
    event->wParam = wParam;
    event->lParam = lParam;
    event->payload = std::move(payload);
    QCoreApplication::postEvent(this, event.release());
    return true;
}

bool MessageDispatcher::PostTask(std::function<void()> task)
{
    auto event = std::make_unique<MessageEvent>();
    event->task = std::move(task);
    QCoreApplication::postEvent(this, event.release());
    return true;
}

void MessageDispatcher::customEvent(QEvent* e)
{
    if (e->type() != kMessageEvent)
        return;
    auto* event = static_cast<MessageEvent*>(e);
    if (event->task) {
        event->task();
        return;
    }
    if (WindowImplBase* window = WindowFromHandle(event->hwnd))
        window->HandleMessage(event->msg, event->wParam, event->lParam);
}

} // namespace platform::ui::qt
