#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QWebEnginePage;

namespace platform::engine::qt {

// Lets a frame write the clipboard only for a few seconds after the user pressed a mouse button
// or a key in it, as a browser's transient activation does, and lets the page read it only just
// after the user allowed it. The engine's own switch for writing is page-wide, so it stays off
// and the program writes for the frame that got the press; other frames of the page (an ad) are
// refused. GUI thread only.
class ClipboardGesture final : public QObject {
    Q_OBJECT
public:
    explicit ClipboardGesture(QWebEnginePage* page);

    // A press reached the page; the frame that reports it next is the one that got it.
    void Grant();
    // A frame (by its bridge key) reports a press the user made in it.
    void PressedIn(const QString& frame);
    // Whether a press reached the page in the last few seconds.
    bool Pressed() const { return pressed.isValid() && pressed.elapsed() < kWindowMs; }
    // The frame's document is gone: what its press allowed goes with it.
    void Revoke(const QString& frame);
    // Writes for frame, if a press in it is recent; text, html and a PNG picture, any may be empty.
    bool Write(const QString& frame, const QString& text, const QString& html, const QByteArray& png);
    // The user allowed the page to read: opens a short window for the read it is about to make.
    void AllowRead();

    // How long a press lets the frame write.
    static constexpr int kWindowMs = 5000;
    // How long an allowed read may take to reach the engine.
    static constexpr int kReadWindowMs = 1000;

private:
    // Brings the page's settings in line with the read window.
    void Apply();

    QPointer<QWebEnginePage> page;
    QElapsedTimer pressed;
    bool pressClaimed = true;
    QString writer;
    QTimer readWindow;
    bool reading = false;
};

} // namespace platform::engine::qt
