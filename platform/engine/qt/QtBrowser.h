#pragma once

#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefClient.h"
#include "platform/engine/CefRequestContext.h"
#include "platform/engine/qt/BrowserView.h"
#include "platform/engine/qt/PermissionPrompts.h"

#include <QPointer>
#include <string>

class QAuthenticator;
class QWebEngineCertificateError;
class QWebEngineFullScreenRequest;
class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;
class QWidget;

namespace platform::engine::qt {

class BrowserPage;
class ClipboardGesture;

// One browser: a view with its page. Serves as the browser, its host and its main
// frame. GUI thread only; after its window is gone every operation does nothing.
class QtBrowser final : public CefBrowser, public CefBrowserHost, public CefFrame {
public:
    QtBrowser(int identifier, CefRefPtr<CefClient> client, CefRefPtr<CefRequestContext> requestContext);

    // Creates the window inside parent at the given place and reports the browser created.
    void CreateWindow(QWidget* parent, const CefWindowInfo& windowInfo, const std::string& url);
    // For the developer tools: a top-level window showing the tools of inspected.
    void CreateDevToolsWindow(QtBrowser* inspected);
    void DestroyWindow();
    BrowserView* View() const { return view.data(); }
    BrowserPage* Page() const;
    // The developer-tools browser of this one, if open.
    CefRefPtr<QtBrowser> DevTools() const { return devTools; }
    // Called by the view while it is being destroyed.
    void OnViewDestroyed();
    PermissionPrompts& Prompts() { return prompts; }
    // What the user's presses in the page allow; none once the window is gone.
    ClipboardGesture* Gesture() const;
    // The top document's video entered or left picture-in-picture.
    void ReportPictureInPicture(bool active);

    // CefBrowser
    CefRefPtr<CefBrowserHost> GetHost() override { return this; }
    int GetIdentifier() override { return identifier; }
    bool IsSame(CefRefPtr<CefBrowser> that) override;
    CefRefPtr<CefFrame> GetMainFrame() override { return this; }
    bool CanGoBack() override;
    bool CanGoForward() override;
    void GoBack() override;
    void GoForward() override;
    void Reload() override;
    void ReloadIgnoreCache() override;
    void StopLoad() override;
    bool IsLoading() override;
    bool SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message) override;
    int GetRenderProcessId() override;

    // CefBrowserHost
    CefRefPtr<CefBrowser> GetBrowser() override { return this; }
    CefRefPtr<CefClient> GetClient() override { return client; }
    CefRefPtr<CefRequestContext> GetRequestContext() override { return requestContext; }
    platform::ui::HWND GetWindowHandle() override;
    void CloseBrowser(bool forceClose) override;
    void SetFocus(bool focus) override;
    bool IsWindowRenderingDisabled() override { return false; }
    void SetMouseCursorChangeDisabled(bool disabled) override { mouseCursorChangeDisabled = disabled; }
    bool IsMouseCursorChangeDisabled() override { return mouseCursorChangeDisabled; }
    void ShowDevTools(CefRefPtr<CefClient> devToolsClient) override;
    void ShowDevTools(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> devToolsClient,
        const CefBrowserSettings& settings, const CefPoint& inspectElementAt) override;
    void CloseDevTools() override;
    void ExitFullscreen() override;
    void ExitPictureInPicture() override;
    double GetZoomLevel() override;
    void SetZoomLevel(double zoomLevel) override;
    void Find(const std::u16string& searchText, bool forward, bool matchCase, bool findNext) override;
    void StopFinding(bool clearSelection) override;

    // CefFrame
    bool IsMain() override { return true; }
    std::string GetURL() override;
    void LoadURL(const std::string& url) override;
    void LoadString(const std::string& html, const std::string& url) override;
    void ExecuteJavaScript(const std::string& code, const std::string& scriptUrl, int startLine) override;

private:
    // One member for each of the page's signals that the client hears of.
    void ConnectPage();
    void OnTitleChanged(const QString& title);
    void OnUrlChanged(const QUrl& url);
    void OnLoadingChanged(const QWebEngineLoadingInfo& info);
    void ReportLoadFailed(CefRefPtr<CefLoadHandler> handler, const QWebEngineLoadingInfo& info);
    void OnRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status);
    void OnNewWindowRequested(QWebEngineNewWindowRequest& request);
    void OnPermissionRequested(PermissionRequest request);
    void OnCertificateError(const QWebEngineCertificateError& error);
    // For a site (proxy false) or the proxy.
    void Authenticate(bool isProxy, const QString& host, int port, QAuthenticator* authenticator);
    void OnFullScreenRequested(QWebEngineFullScreenRequest request);
    void ReportLoadingState();
    void ReportFullscreen(bool fullscreen);

    const int identifier;
    CefRefPtr<CefClient> client;
    CefRefPtr<CefRequestContext> requestContext;
    QPointer<BrowserView> view;
    QPointer<ClipboardGesture> gesture;
    CefRefPtr<QtBrowser> devTools;
    PermissionPrompts prompts { this };
    bool mouseCursorChangeDisabled = false;
    bool showingString = false;
    bool fullscreen = false;
    bool pictureInPicture = false;
    bool closed = false;
    // Counts searches; only the latest one's answer reaches the find handler.
    unsigned findSerial = 0;
    IMPLEMENT_REFCOUNTING(QtBrowser);
};

} // namespace platform::engine::qt
