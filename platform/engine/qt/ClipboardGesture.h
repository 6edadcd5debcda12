#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWebEnginePage;

namespace platform::engine::qt {

// Lets a page write the clipboard only for a few seconds after the user pressed a mouse button
// or a key in it, as a browser's transient activation does; reading it stays refused. Without
// this the engine either refuses every write or lets any page overwrite the clipboard unasked.
// GUI thread only.
class ClipboardGesture final : public QObject {
    Q_OBJECT
public:
    explicit ClipboardGesture(QWebEnginePage* page);

    // A press that reached the page: opens the window, or starts it over.
    void Grant();

    // How long a press lets the page write.
    static constexpr int kWindowMs = 5000;

private:
    void Revoke();

    QPointer<QWebEnginePage> page;
    QTimer expiry;
};

} // namespace platform::engine::qt
