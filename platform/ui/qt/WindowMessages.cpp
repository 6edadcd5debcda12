#include "platform/ui/WindowMessages.h"

#include <QCoreApplication>

#include "platform/ui/WindowImplBase.h"
#include "platform/ui/qt/MessageDispatcher.h"

namespace platform::ui {

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return PostMessage(hwnd, msg, wParam, lParam, nullptr);
}

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, std::unique_ptr<MessagePayload> payload)
{
    qt::MessageDispatcher* dispatcher = hwnd ? qt::MessageDispatcher::Instance() : nullptr;
    if (!dispatcher)
        return false; // payload is freed here
    return dispatcher->Post(hwnd, msg, wParam, lParam, std::move(payload));
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WindowImplBase* window = WindowFromHandle(hwnd);
    return window ? window->HandleMessage(msg, wParam, lParam) : 0;
}

void PostQuitMessage(int code)
{
    if (qt::MessageDispatcher* dispatcher = qt::MessageDispatcher::Instance())
        dispatcher->PostTask([code] { qt::RequestQuit(code); });
}

} // namespace platform::ui
