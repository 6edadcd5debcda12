#pragma once

#include "platform/engine/CefV8.h"
#include "platform/engine/qt/QtBrowser.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <map>

class QWebEnginePage;
class QWebEngineProfile;

namespace platform::engine::qt {

class QtBrowser;
class PageContext;
class ClipboardGesture;
class ScreenShares;

// The page's end of the web channel: turns what the frames' script reports into the
// application's render-side callbacks and carries query answers back. GUI thread only.
class PageBridge final : public QObject {
    Q_OBJECT
public:
    PageBridge(QtBrowser* browser, QWebEnginePage* page, ClipboardGesture* clipboard);
    ~PageBridge() override;

    // Puts the frames' script into every page of the profile.
    static void InstallScript(QWebEngineProfile* profile);

    Q_INVOKABLE void contextCreated(const QString& key, bool isTop);
    Q_INVOKABLE void contextReleased(const QString& key);
    Q_INVOKABLE void call(
        const QString& key, const QString& function, int requestId, const QString& request, bool persistent);
    Q_INVOKABLE void focusChanged(const QString& key, bool present, bool editable);
    // The top document is about to read the clipboard: answered once the user has been asked.
    Q_INVOKABLE void clipboardRead(const QString& key, int requestId);
    // The user pressed a mouse button or a key in the frame.
    Q_INVOKABLE void pressed(const QString& key);
    // The frame writes the clipboard: "text/plain", "text/html", "image/png" (base64).
    Q_INVOKABLE void clipboardWrite(const QString& key, int requestId, const QVariantMap& item);
    // The top document asks to share a screen or a window: the user chooses one, or refuses.
    // Answered with {"engine":true} when the engine's own capture gives what was chosen, and
    // with {"share":id} when the program sends it as frames.
    Q_INVOKABLE void screenShare(const QString& key, int requestId);
    // The program's script in the top document saw its video enter or leave picture-in-picture.
    Q_INVOKABLE void pictureInPicture(const QString& key, bool active);
    Q_INVOKABLE void frameShown(const QString& key, int shareId);
    Q_INVOKABLE void stopShare(const QString& key, int shareId);

signals:
    void answer(const QString& key, int requestId, bool success, int errorCode, const QString& response);
    // A frame of the program's share, base64 JPEG; empty when the share ended.
    void frame(const QString& key, int shareId, const QString& jpeg);

private:
    void ReleaseAll();
    void Release(const QString& key);

    // Held: the page may outlive every other holder of its browser while it goes.
    CefRefPtr<QtBrowser> browser;
    QPointer<ClipboardGesture> clipboard;
    ScreenShares* shares;
    // A page asks for one choice of what to share at a time.
    bool choosing = false;
    std::map<QString, CefRefPtr<PageContext>> contexts;
};

// The script context of one frame, named by the key its script made up.
class PageContext final : public CefV8Context {
public:
    PageContext(QtBrowser* browser, PageBridge* bridge, QString key);

    CefRefPtr<CefBrowser> GetBrowser() override;
    CefRefPtr<CefFrame> GetFrame() override;
    int GetIdentifier() override { return identifier; }
    void SetFunctionHandler(const std::string& name, CefRefPtr<CefV8Handler> handler) override;
    void AnswerQuery(int requestId, bool success, int errorCode, const std::string& response) override;

    CefRefPtr<CefV8Handler> FunctionHandler(const std::string& name) const;
    // After this the context reaches neither its page nor its browser.
    void Detach();

private:
    QtBrowser* browser;
    PageBridge* bridge;
    QString key;
    int identifier;
    std::map<std::string, CefRefPtr<CefV8Handler>> handlers;
    IMPLEMENT_REFCOUNTING(PageContext);
};

} // namespace platform::engine::qt
