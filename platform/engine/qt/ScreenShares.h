#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>
#include <map>
#include <memory>

namespace platform::ui::qt {
class DesktopCapture;
}

namespace platform::engine::qt {

// The screens and windows the program captures for a page itself, as the engine captures only
// the whole desktop: each share sends its document one JPEG frame as soon as the document drew
// the one before, at most kFramesPerSecond a second, so a slow page never builds up a backlog.
// GUI thread only.
class ScreenShares final : public QObject {
    Q_OBJECT
public:
    explicit ScreenShares(QObject* parent);
    ~ScreenShares() override;

    // Starts sending sourceId to the document key; 0 when there is no such source.
    int Start(const QString& key, const QString& sourceId);
    // The document drew shareId's last frame and is ready for the next.
    void FrameShown(const QString& key, int shareId);
    void Stop(const QString& key, int shareId);
    // Stops every share of the document key.
    void StopAll(const QString& key);

    static constexpr int kFramesPerSecond = 15;
    // Larger sources are scaled down to fit, as a browser's capture does for a call.
    static constexpr int kMaxWidth = 1920;
    static constexpr int kMaxHeight = 1080;
    // How often an unchanged source's frame is sent all the same.
    static constexpr int kRefreshMs = 1000;

signals:
    // One frame of shareId for the document key, base64 JPEG; empty when the share ended
    // because its source went.
    void frame(const QString& key, int shareId, const QString& jpeg);

private:
    struct Share {
        QString key;
        std::unique_ptr<platform::ui::qt::DesktopCapture> capture;
        std::unique_ptr<QTimer> next;
        // Since the last frame's grab, which the next one is timed from.
        QElapsedTimer sinceGrab;
        // What was sent last: an unchanged source costs a grab and a comparison, and is sent
        // again only once a second, for what starts watching the track later.
        QImage lastSent;
        QString lastJpeg;
        QElapsedTimer sinceSent;
        bool encoding = false;
    };

    void Capture(int shareId);
    void Sent(int shareId, const QString& jpeg);

    std::map<int, Share> shares;
    int lastShareId = 0;
};

} // namespace platform::engine::qt
