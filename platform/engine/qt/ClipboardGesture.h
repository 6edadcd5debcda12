#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QWebEnginePage;

namespace platform::engine::qt {

// Lets a page write the clipboard only for a few seconds after the user pressed a mouse button
// or a key in it, as a browser's transient activation does, and read it only just after the
// user allowed it. Without this the engine either refuses every write or lets any page
// overwrite the clipboard unasked. GUI thread only.
class ClipboardGesture final : public QObject {
    Q_OBJECT
public:
    explicit ClipboardGesture(QWebEnginePage* page);

    // A press that reached the page: opens the window for writing, or starts it over.
    void Grant();
    // The user allowed the page to read: opens a short window for the read it is about to make.
    void AllowRead();

    // How long a press lets the page write.
    static constexpr int kWindowMs = 5000;
    // How long an allowed read may take to reach the engine.
    static constexpr int kReadWindowMs = 1000;

private:
    // Brings the page's settings in line with the open windows.
    void Apply();

    QPointer<QWebEnginePage> page;
    QTimer writeWindow;
    QTimer readWindow;
    bool writing = false;
    bool reading = false;
};

} // namespace platform::engine::qt
