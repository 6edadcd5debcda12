#include "platform/engine/qt/ClipboardGesture.h"

#include <QWebEnginePage>
#include <QWebEngineSettings>

namespace platform::engine::qt {

ClipboardGesture::ClipboardGesture(QWebEnginePage* page)
    : QObject(page)
    , page(page)
{
    expiry.setSingleShot(true);
    expiry.setInterval(kWindowMs);
    connect(&expiry, &QTimer::timeout, this, &ClipboardGesture::Revoke);
    Revoke();
}

void ClipboardGesture::Grant()
{
    if (!page)
        return;
    // Each change of the settings is sent to the page's renderer; presses within the window
    // only prolong it.
    if (!expiry.isActive())
        page->settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, true);
    expiry.start();
}

void ClipboardGesture::Revoke()
{
    if (!page)
        return;
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    // Pasting is a separate switch; kept off so that the window never lets a page read.
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
}

} // namespace platform::engine::qt
