#include "platform/engine/qt/BrowserPage.h"

#include "platform/engine/qt/QtBrowser.h"
#include "platform/engine/qt/TestPageServer.h"

#include <QDesktopServices>
#include <QPointer>
#include <QTimer>
#include <QWebEngineProfile>

namespace platform::engine::qt {

namespace {
    // A scheme registered without a handler serves nothing: the engine would stop such
    // a load silently, where it is an unknown scheme to the client.
    bool EngineLoadsScheme(const QString& scheme, const QWebEngineProfile* profile)
    {
        static const QStringList builtIn { "http", "https", "file", "data", "about", "blob", "javascript",
            "ws", "wss", "chrome", "chrome-error", "devtools", "qrc", "view-source", "filesystem" };
        return builtIn.contains(scheme) || profile->urlSchemeHandler(scheme.toUtf8());
    }
}

BrowserPage::BrowserPage(QtBrowser* browser, QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent)
    , browser(browser)
{
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    (void)type;
    auto handler = browser->GetClient()->GetRequestHandler();
    const std::string address = url.toString().toStdString();
    if (EngineLoadsScheme(url.scheme().toLower(), profile())) {
        if (handler && handler->OnBeforeBrowse(browser, browser, address, false))
            return false;
        TestPageServer::Instance().BeforeNavigation(this, browser->GetIdentifier(), url);
        return true;
    }

    // Only what the client allows is handed to the desktop; the rest fails as the
    // engine reports an unknown scheme.
    bool allowOsExecution = false;
    if (handler)
        handler->OnProtocolExecution(browser, address, allowOsExecution);
    if (allowOsExecution) {
        QDesktopServices::openUrl(url);
    } else if (isMainFrame) {
        CefRefPtr<QtBrowser> target(browser);
        QTimer::singleShot(0, this, [target, address] {
            if (auto loadHandler = target->GetClient()->GetLoadHandler())
                loadHandler->OnLoadError(
                    target, target, ERR_UNKNOWN_URL_SCHEME, "net::ERR_UNKNOWN_URL_SCHEME", address);
        });
    }
    return false;
}

void BrowserPage::javaScriptConsoleMessage(
    JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber, const QString& sourceId)
{
    auto handler = browser->GetClient()->GetDisplayHandler();
    if (handler
        && handler->OnConsoleMessage(
            browser, message.toStdU16String(), sourceId.toStdU16String(), lineNumber))
        return;
    QWebEnginePage::javaScriptConsoleMessage(level, message, lineNumber, sourceId);
}

} // namespace platform::engine::qt
