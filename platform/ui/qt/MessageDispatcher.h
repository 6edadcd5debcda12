#pragma once

#include <functional>
#include <memory>

#include <QObject>

#include "platform/ui/WindowTypes.h"

namespace platform::ui::qt {

// Process-lifetime receiver of posted window messages and GUI-thread tasks.
// Posting is safe from any thread; delivery happens on the GUI thread.
class MessageDispatcher : public QObject {
public:
    /// The dispatcher, created on first use; nullptr when no application exists yet.
    static MessageDispatcher* Instance();

    bool Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, std::unique_ptr<MessagePayload> payload);
    bool PostTask(std::function<void()> task);

protected:
    void customEvent(QEvent* e) override;

private:
    MessageDispatcher() = default;
};

/// Ends the message loop (and loops inside it) with code, or makes the next
/// MessageLoop return at once when none runs yet. GUI thread.
void RequestQuit(int code);
/// Marks a running event loop of the layer, so a quit knows whether it has one to end.
class LoopScope {
public:
    LoopScope();
    ~LoopScope();
};

/// A quit was requested and the message loop has not returned for it yet.
bool QuitPending();

} // namespace platform::ui::qt
