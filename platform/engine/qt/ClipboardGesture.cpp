#include "platform/engine/qt/ClipboardGesture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QWebEnginePage>
#include <QWebEngineSettings>

namespace platform::engine::qt {

ClipboardGesture::ClipboardGesture(QWebEnginePage* page)
    : QObject(page)
    , page(page)
{
    readWindow.setSingleShot(true);
    readWindow.setInterval(kReadWindowMs);
    connect(&readWindow, &QTimer::timeout, this, &ClipboardGesture::Apply);
    if (!page)
        return;
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
}

void ClipboardGesture::Grant()
{
    // The press may have moved the focus to another frame: no frame writes until one claims it.
    pressed.start();
    pressClaimed = false;
    writer.clear();
}

void ClipboardGesture::PressedIn(const QString& frame)
{
    if (pressClaimed || !pressed.isValid() || pressed.elapsed() >= kWindowMs)
        return;
    pressClaimed = true;
    writer = frame;
}

void ClipboardGesture::Revoke(const QString& frame)
{
    if (writer == frame)
        writer.clear();
}

bool ClipboardGesture::Write(
    const QString& frame, const QString& text, const QString& html, const QByteArray& png)
{
    if (frame.isEmpty() || writer != frame || pressed.elapsed() >= kWindowMs)
        return false;
    auto* data = new QMimeData;
    if (!text.isNull())
        data->setText(text);
    if (!html.isNull())
        data->setHtml(html);
    if (!png.isEmpty()) {
        const QImage image = QImage::fromData(png, "PNG");
        if (image.isNull()) {
            delete data;
            return false;
        }
        data->setImageData(image);
    }
    QGuiApplication::clipboard()->setMimeData(data);
    return true;
}

void ClipboardGesture::AllowRead()
{
    readWindow.start();
    Apply();
}

void ClipboardGesture::Apply()
{
    if (!page)
        return;
    // Each change of the settings is sent to the page's renderer, so only changes are made.
    // Both switches are needed for the engine's read; pasting is the one for reading.
    const bool read = readWindow.isActive();
    if (read == reading)
        return;
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, read);
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanPaste, read);
    reading = read;
}

} // namespace platform::engine::qt
