#include "platform/engine/qt/ScreenShares.h"

#include "platform/ui/qt/DesktopSources.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>
#include <algorithm>

namespace platform::engine::qt {

namespace {
    constexpr int kFrameIntervalMs = 1000 / ScreenShares::kFramesPerSecond;
    constexpr int kJpegQuality = 70;

    QString Encode(const QImage& image)
    {
        const QImage fitted
            = image.width() > ScreenShares::kMaxWidth || image.height() > ScreenShares::kMaxHeight
            ? image.scaled(ScreenShares::kMaxWidth, ScreenShares::kMaxHeight, Qt::KeepAspectRatio,
                Qt::SmoothTransformation)
            : image;
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        fitted.save(&buffer, "JPEG", kJpegQuality);
        return QString::fromLatin1(jpeg.toBase64());
    }
}

ScreenShares::ScreenShares(QObject* parent)
    : QObject(parent)
{
}

ScreenShares::~ScreenShares() = default;

int ScreenShares::Start(const QString& key, const QString& sourceId)
{
    auto capture = std::make_unique<platform::ui::qt::DesktopCapture>(sourceId);
    if (!capture->Valid())
        return 0;
    const int shareId = ++lastShareId;
    Share& share = shares[shareId];
    share.key = key;
    share.capture = std::move(capture);
    share.next = std::make_unique<QTimer>();
    share.next->setSingleShot(true);
    connect(share.next.get(), &QTimer::timeout, this, [this, shareId] { Capture(shareId); });
    Capture(shareId);
    return shareId;
}

void ScreenShares::FrameShown(const QString& key, int shareId)
{
    auto it = shares.find(shareId);
    if (it == shares.end() || it->second.key != key || it->second.encoding || it->second.next->isActive())
        return;
    const auto elapsed = static_cast<int>(it->second.sinceGrab.elapsed());
    it->second.next->start(std::max(0, kFrameIntervalMs - elapsed));
}

void ScreenShares::Stop(const QString& key, int shareId)
{
    auto it = shares.find(shareId);
    if (it != shares.end() && it->second.key == key)
        shares.erase(it);
}

void ScreenShares::StopAll(const QString& key)
{
    for (auto it = shares.begin(); it != shares.end();)
        it = it->second.key == key ? shares.erase(it) : std::next(it);
}

void ScreenShares::Capture(int shareId)
{
    auto it = shares.find(shareId);
    if (it == shares.end())
        return;
    Share& share = it->second;
    share.sinceGrab.start();
    const platform::ui::qt::DesktopFrame grabbed = share.capture->Grab();
    if (grabbed.gone) {
        const QString key = share.key;
        shares.erase(it);
        emit frame(key, shareId, QString());
        return;
    }
    // Nothing new to show (a still window, a minimised one): looked at again a moment later.
    const bool unchanged = grabbed.image.isNull() || grabbed.image == share.lastSent;
    if (unchanged && (share.lastJpeg.isEmpty() || share.sinceSent.elapsed() < kRefreshMs)) {
        share.next->start(kFrameIntervalMs);
        return;
    }
    if (unchanged) {
        Sent(shareId, share.lastJpeg);
        return;
    }
    share.lastSent = grabbed.image;
    share.encoding = true;
    // Encoding takes longer than the grab; off the GUI thread, the window stays responsive.
    QThreadPool::globalInstance()->start(
        [image = grabbed.image, self = QPointer<ScreenShares>(this), shareId] {
            QString jpeg = Encode(image);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, shareId, jpeg = std::move(jpeg)] {
                    if (self)
                        self->Sent(shareId, jpeg);
                },
                Qt::QueuedConnection);
        });
}

void ScreenShares::Sent(int shareId, const QString& jpeg)
{
    auto it = shares.find(shareId);
    if (it == shares.end())
        return;
    it->second.encoding = false;
    // A picture the encoder could not take is skipped; an empty frame would end the share.
    if (jpeg.isEmpty()) {
        it->second.next->start(kFrameIntervalMs);
        return;
    }
    it->second.lastJpeg = jpeg;
    it->second.sinceSent.start();
    emit frame(it->second.key, shareId, jpeg);
}

} // namespace platform::engine::qt
