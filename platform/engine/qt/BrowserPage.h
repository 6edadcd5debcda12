#pragma once

#include <QWebEnginePage>

namespace platform::engine::qt {

class QtBrowser;

// The page of one browser; answers the engine's navigation questions through the
// browser's client and shows the page's script dialogs. GUI thread only.
class BrowserPage final : public QWebEnginePage {
    Q_OBJECT
public:
    BrowserPage(QtBrowser* browser, QWebEngineProfile* profile, QObject* parent);
    QtBrowser* Browser() const { return browser; }
    // Whether the engine loads url itself; anything else is the client's to refuse or hand on.
    bool LoadsScheme(const QUrl& url) const;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int lineNumber,
        const QString& sourceId) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
        QString* result) override;

private:
    QtBrowser* browser;
};

} // namespace platform::engine::qt
