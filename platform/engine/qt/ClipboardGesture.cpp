#include "platform/engine/qt/ClipboardGesture.h"

#include <QWebEnginePage>
#include <QWebEngineSettings>

namespace platform::engine::qt {

ClipboardGesture::ClipboardGesture(QWebEnginePage* page)
    : QObject(page)
    , page(page)
{
    writeWindow.setSingleShot(true);
    writeWindow.setInterval(kWindowMs);
    readWindow.setSingleShot(true);
    readWindow.setInterval(kReadWindowMs);
    connect(&writeWindow, &QTimer::timeout, this, &ClipboardGesture::Apply);
    connect(&readWindow, &QTimer::timeout, this, &ClipboardGesture::Apply);
    if (!page)
        return;
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
}

void ClipboardGesture::Grant()
{
    writeWindow.start();
    Apply();
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
    // Each change of the settings is sent to the page's renderer, so only changes are made:
    // presses within a window only prolong it.
    const bool read = readWindow.isActive();
    const bool write = read || writeWindow.isActive();
    if (write != writing)
        page->settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, write);
    // Pasting is the engine's switch for reading.
    if (read != reading)
        page->settings()->setAttribute(QWebEngineSettings::JavascriptCanPaste, read);
    writing = write;
    reading = read;
}

} // namespace platform::engine::qt
