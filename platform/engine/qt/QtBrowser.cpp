#include "platform/engine/qt/QtBrowser.h"

#include "platform/engine/qt/BrowserPage.h"
#include "platform/engine/qt/BrowserRegistry.h"
#include "platform/engine/qt/BrowserView.h"
#include "platform/engine/qt/ClipboardGesture.h"
#include "platform/engine/qt/CursorLock.h"
#include "platform/engine/qt/DesktopMediaRequests.h"
#include "platform/engine/qt/EngineCallbacks.h"
#include "platform/engine/qt/EngineContext.h"
#include "platform/engine/qt/KeyEventFilter.h"
#include "platform/engine/qt/PageBridge.h"
#include "platform/engine/qt/PermissionRequests.h"
#include "platform/engine/qt/RenderSide.h"
#include "platform/engine/qt/TestHostNetwork.h"
#include "platform/engine/qt/TestPageServer.h"
#include "platform/ui/qt/WidgetHandles.h"

#include <QAuthenticator>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineSettings>

namespace platform::engine::qt {

namespace {
    TerminationStatus ToTerminationStatus(QWebEnginePage::RenderProcessTerminationStatus status)
    {
        switch (status) {
        case QWebEnginePage::KilledTerminationStatus:
            return TS_PROCESS_WAS_KILLED;
        case QWebEnginePage::CrashedTerminationStatus:
            return TS_PROCESS_CRASHED;
        default:
            return TS_ABNORMAL_TERMINATION;
        }
    }
}

QtBrowser::QtBrowser(int identifier, CefRefPtr<CefClient> client, CefRefPtr<CefRequestContext> requestContext)
    : identifier(identifier)
    , client(client)
    , requestContext(requestContext)
{
}

ClipboardGesture* QtBrowser::Gesture() const { return gesture.data(); }

BrowserPage* QtBrowser::Page() const { return view ? static_cast<BrowserPage*>(view->page()) : nullptr; }

void QtBrowser::CreateWindow(QWidget* parent, const CefWindowInfo& windowInfo, const std::string& url)
{
    view = new BrowserView(this, parent);
    auto* page = new BrowserPage(this, EngineContext::Instance().Profile(), view);
    // Failed loads show the client's own page, and unknown schemes are offered to the
    // client before anything reaches the desktop.
    page->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    page->settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowAllUnknownUrlSchemes);
    // Every live player's fullscreen button asks for it; without this the request fails.
    page->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    // Off by default: the engine then refuses screen sharing itself, before the page's question
    // reaches the client's prompt.
    page->settings()->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, true);
    view->setPage(page);
    if (parent)
        view->setGeometry(windowInfo.x, windowInfo.y, windowInfo.width, windowInfo.height);
    else
        view->resize(
            windowInfo.width > 0 ? windowInfo.width : 800, windowInfo.height > 0 ? windowInfo.height : 600);
    ConnectPage();
    auto* clipboard = new ClipboardGesture(page);
    gesture = clipboard;
    new KeyEventFilter(this, view, clipboard);
    new CursorLock(this, view);
    new PageBridge(this, page, clipboard);
    TestPageServer::Instance().Attach(this);
    BrowserRegistry::Instance().Add(identifier, this);
    view->show();
    // A page that opens in view (its tab is the selected one) of the active window takes the
    // keyboard focus; a window activated later passes it on itself.
    if (parent && view->isVisible() && view->window()->isActiveWindow())
        view->setFocus(Qt::OtherFocusReason);
    if (auto handler = client->GetLifeSpanHandler())
        handler->OnAfterCreated(this);
    if (!url.empty())
        LoadURL(url);
}

void QtBrowser::CreateDevToolsWindow(QtBrowser* inspected)
{
    CreateWindow(nullptr, CefWindowInfo(), std::string());
    view->setWindowTitle(QStringLiteral("DevTools"));
    // Closed by the user, the window goes with its browser, so the next request opens a new one.
    view->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(Page(), &QWebEnginePage::windowCloseRequested, view.data(), &QWidget::close);
    inspected->Page()->setDevToolsPage(Page());
}

void QtBrowser::ConnectPage()
{
    BrowserPage* page = Page();
    QObject::connect(
        page, &QWebEnginePage::titleChanged, page, [this](const QString& title) { OnTitleChanged(title); });
    QObject::connect(page, &QWebEnginePage::urlChanged, page, [this](const QUrl& url) { OnUrlChanged(url); });
    QObject::connect(page, &QWebEnginePage::loadingChanged, page,
        [this](const QWebEngineLoadingInfo& info) { OnLoadingChanged(info); });
    QObject::connect(page, &QWebEnginePage::renderProcessTerminated, page,
        [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
            OnRenderProcessTerminated(status);
        });
    QObject::connect(page, &QWebEnginePage::newWindowRequested, page,
        [this](QWebEngineNewWindowRequest& request) { OnNewWindowRequested(request); });
    ConnectPermissionRequests(
        page, [this](PermissionRequest request) { OnPermissionRequested(std::move(request)); },
        [this](const QUrl& origin, unsigned types) { prompts.Withdraw(origin, types); });
    ConnectDesktopMediaRequests(page, prompts);
    QObject::connect(page, &QWebEnginePage::certificateError, page,
        [this](const QWebEngineCertificateError& error) { OnCertificateError(error); });
    QObject::connect(page, &QWebEnginePage::authenticationRequired, page,
        [this](const QUrl& url, QAuthenticator* authenticator) {
            Authenticate(false, url.host(), url.port(), authenticator);
        });
    QObject::connect(page, &QWebEnginePage::proxyAuthenticationRequired, page,
        [this](const QUrl&, QAuthenticator* authenticator, const QString& proxyHost) {
            Authenticate(true, proxyHost, 0, authenticator);
        });
    QObject::connect(page, &QWebEnginePage::fullScreenRequested, page,
        [this](QWebEngineFullScreenRequest request) { OnFullScreenRequested(std::move(request)); });
    ConnectQuotaRequests(this, page);
}

void QtBrowser::OnTitleChanged(const QString& title)
{
    if (auto handler = client->GetDisplayHandler())
        handler->OnTitleChange(this, title.toStdU16String());
}

void QtBrowser::OnUrlChanged(const QUrl& url)
{
    if (auto handler = client->GetDisplayHandler())
        handler->OnAddressChange(this, this, url.toString().toStdString());
    // Same-document navigations change the history without any loading event.
    ReportLoadingState();
}

void QtBrowser::OnLoadingChanged(const QWebEngineLoadingInfo& info)
{
    // Qt 6.8 reports a navigation the page refused to an address the engine does not load
    // (an external scheme, handed to the desktop or not) as a load that starts and stops:
    // the document stays, and so do its questions.
    if (!info.url().isEmpty() && !Page()->LoadsScheme(info.url()))
        return;
    // What the old document asked for goes with it.
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        prompts.DismissAll(true);
        ExitPictureInPicture();
    }
    auto handler = client->GetLoadHandler();
    if (!handler)
        return;
    ReportLoadingState();
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        handler->OnLoadStart(this, this);
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        showingString = showingString && info.url() == Page()->url();
        handler->OnLoadEnd(this, this, 200);
        break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        handler->OnLoadError(
            this, this, ERR_ABORTED, "net::ERR_ABORTED", info.url().toString().toStdString());
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        ReportLoadFailed(handler, info);
        break;
    }
}

void QtBrowser::ReportLoadFailed(CefRefPtr<CefLoadHandler> handler, const QWebEngineLoadingInfo& info)
{
    // An HTTP error status still delivers a page: only network failures count.
    if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
        const std::string address = info.url().toString().toStdString();
        const cef_errorcode_t failure = TestPageServer::Instance().TakeNetworkFailure(identifier, address);
        if (failure != ERR_NONE)
            handler->OnLoadError(this, this, failure, NetworkErrorText(failure), address);
        else
            handler->OnLoadEnd(this, this, info.errorCode());
        return;
    }
    // A load cut off by a dying renderer fails without an error; the termination report
    // covers it, and an error page here would replace its recovery load.
    if (info.errorCode() == ERR_NONE)
        return;
    handler->OnLoadError(this, this, static_cast<cef_errorcode_t>(info.errorCode()),
        info.errorString().toStdString(), info.url().toString().toStdString());
}

void QtBrowser::OnRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status)
{
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    // The dead page's fullscreen element and video are gone with it.
    ReportFullscreen(false);
    ReportPictureInPicture(false);
    // Reported once the engine has finished with the dead renderer: a load started while it
    // is still tearing it down is sometimes dropped.
    CefRefPtr<QtBrowser> self(this);
    QTimer::singleShot(0, Page(), [self, status] {
        if (auto handler = self->client->GetRequestHandler())
            handler->OnRenderProcessTerminated(self, ToTerminationStatus(status));
    });
}

void QtBrowser::OnNewWindowRequested(QWebEngineNewWindowRequest& request)
{
    // The engine refuses a page's own navigation of a top document to data:, file: and the
    // like; a popup is refused just as well, or its tab would load it for the page.
    const QUrl& requested = request.requestedUrl();
    const QString scheme = requested.scheme().toLower();
    const bool blank = scheme == QStringLiteral("about") && requested.path() == QStringLiteral("blank");
    if (scheme != QStringLiteral("http") && scheme != QStringLiteral("https")
        && scheme != QStringLiteral("blob") && !blank)
        return;
        // An empty target arrives as a placeholder address: Qt 6.4 marks it, Qt 6.8 gives the blank
        // page it opens (as for a page naming about:blank).
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    const QString emptyTarget = QStringLiteral("about:blank");
#else
    const QString emptyTarget = QStringLiteral("about:blank#blocked");
#endif
    QString target = request.requestedUrl().toString();
    if (target == emptyTarget)
        target.clear();
    if (auto handler = client->GetLifeSpanHandler())
        handler->OnBeforePopup(this, this, target.toStdString(), std::string());
    // Not opening the request refuses the window.
}

void QtBrowser::OnPermissionRequested(PermissionRequest request)
{
    if (!request.geolocation) {
        prompts.Ask(std::move(request));
        return;
    }
    CefRefPtr<GeolocationCallback> callback(new GeolocationCallback(request.answer));
    auto handler = client->GetGeolocationHandler();
    if (handler
        && handler->OnRequestGeolocationPermission(
            this, request.origin.toString().toStdString(), 0, callback))
        return;
    callback->Continue(false);
}

void QtBrowser::OnCertificateError(const QWebEngineCertificateError& error)
{
    QWebEngineCertificateError copy = error;
    CefRefPtr<CertificateErrorCallback> callback(new CertificateErrorCallback);
    auto handler = client->GetRequestHandler();
    if (handler)
        handler->OnCertificateError(
            this, static_cast<cef_errorcode_t>(copy.type()), copy.url().toString().toStdString(), callback);
    if (callback->Allowed())
        copy.acceptCertificate();
    else
        copy.rejectCertificate();
}

void QtBrowser::Authenticate(bool isProxy, const QString& host, int port, QAuthenticator* authenticator)
{
    CefRefPtr<AuthCallback> callback(new AuthCallback);
    auto handler = client->GetRequestHandler();
    if (handler)
        handler->GetAuthCredentials(
            this, isProxy, host.toStdString(), port, authenticator->realm().toStdString(), callback);
    if (callback->Answered()) {
        authenticator->setUser(QString::fromStdString(callback->Username()));
        authenticator->setPassword(QString::fromStdString(callback->Password()));
    } else {
        // An empty authenticator cancels the request.
        *authenticator = QAuthenticator();
    }
}

void QtBrowser::OnFullScreenRequested(QWebEngineFullScreenRequest request)
{
    // Granted at once, as a browser does; the client fits the window to it.
    request.accept();
    ReportFullscreen(request.toggleOn());
}

void QtBrowser::ReportFullscreen(bool on)
{
    if (fullscreen == on)
        return;
    fullscreen = on;
    if (auto handler = client->GetDisplayHandler())
        handler->OnFullscreenModeChange(this, on);
}

void QtBrowser::ReportLoadingState()
{
    if (auto handler = client->GetLoadHandler())
        handler->OnLoadingStateChange(this, IsLoading(), CanGoBack(), CanGoForward());
}

void QtBrowser::DestroyWindow()
{
    CloseDevTools();
    delete view.data();
}

void QtBrowser::OnViewDestroyed()
{
    if (closed)
        return;
    closed = true;
    // Keeps this object alive until the client has heard of the close.
    CefRefPtr<QtBrowser> self(this);
    ReportFullscreen(false);
    ReportPictureInPicture(false);
    prompts.DismissAll(false);
    if (auto handler = client->GetLifeSpanHandler())
        handler->OnBeforeClose(this);
    view.clear();
    // The client usually keeps its browsers; letting go of it here breaks that cycle.
    client = new CefNullClient;
    TestPageServer::Instance().Detach(identifier);
    BrowserRegistry::Instance().Remove(identifier);
}

bool QtBrowser::IsSame(CefRefPtr<CefBrowser> that) { return that && that->GetIdentifier() == identifier; }

bool QtBrowser::CanGoBack() { return Page() && Page()->history()->canGoBack(); }

bool QtBrowser::CanGoForward() { return Page() && Page()->history()->canGoForward(); }

void QtBrowser::GoBack()
{
    if (Page())
        Page()->triggerAction(QWebEnginePage::Back);
}

void QtBrowser::GoForward()
{
    if (Page())
        Page()->triggerAction(QWebEnginePage::Forward);
}

void QtBrowser::Reload()
{
    if (!Page())
        return;
    // Reloading a page shown from a string would show the string again, not retry the address.
    if (showingString)
        Page()->load(Page()->url());
    else
        Page()->triggerAction(QWebEnginePage::Reload);
}

void QtBrowser::ReloadIgnoreCache()
{
    if (!Page())
        return;
    if (showingString)
        Page()->load(Page()->url());
    else
        Page()->triggerAction(QWebEnginePage::ReloadAndBypassCache);
}

void QtBrowser::StopLoad()
{
    if (Page())
        Page()->triggerAction(QWebEnginePage::Stop);
}

bool QtBrowser::IsLoading() { return view && view->page()->isLoading(); }

bool QtBrowser::SendProcessMessage(CefProcessId target, CefRefPtr<CefProcessMessage> message)
{
    if (!message || !Page())
        return false;
    // Delivered later, as a message between processes would be.
    CefRefPtr<QtBrowser> self(this);
    QTimer::singleShot(0, Page(), [self, target, message] {
        if (target == PID_BROWSER) {
            self->client->OnProcessMessageReceived(self, PID_RENDERER, message);
        } else if (auto handler = RenderHandler()) {
            handler->OnProcessMessageReceived(self, PID_BROWSER, message);
        }
    });
    return true;
}

int QtBrowser::GetRenderProcessId() { return Page() ? static_cast<int>(Page()->renderProcessPid()) : 0; }

platform::ui::HWND QtBrowser::GetWindowHandle()
{
    return view ? platform::ui::qt::HandleFromWidget(view) : nullptr;
}

void QtBrowser::CloseBrowser(bool forceClose)
{
    (void)forceClose;
    CloseDevTools();
    if (view)
        view->deleteLater();
}

void QtBrowser::SetFocus(bool focus)
{
    if (!view)
        return;
    if (focus)
        view->setFocus(Qt::OtherFocusReason);
    else
        view->clearFocus();
}

void QtBrowser::ShowDevTools(CefRefPtr<CefClient> devToolsClient)
{
    if (!view)
        return;
    if (devTools && devTools->View()) {
        devTools->View()->activateWindow();
        return;
    }
    auto& registry = BrowserRegistry::Instance();
    devTools = new QtBrowser(registry.NextIdentifier(), devToolsClient ? devToolsClient : client,
        CefRequestContext::GetGlobalContext());
    devTools->CreateDevToolsWindow(this);
}

void QtBrowser::ShowDevTools(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> devToolsClient,
    const CefBrowserSettings& settings, const CefPoint& inspectElementAt)
{
    (void)settings;
    ShowDevTools(devToolsClient);
    if (!devTools || !devTools->View() || !Page())
        return;
    if (!windowInfo.windowName.empty())
        devTools->View()->setWindowTitle(QString::fromStdU16String(windowInfo.windowName));
    // The engine inspects at the point of the last context menu, which is where the
    // command came from; it has no way to inspect at another point.
    if (inspectElementAt.x != 0 || inspectElementAt.y != 0)
        Page()->triggerAction(QWebEnginePage::InspectElement);
}

void QtBrowser::CloseDevTools()
{
    if (!devTools)
        return;
    if (Page())
        Page()->setDevToolsPage(nullptr);
    devTools->DestroyWindow();
    devTools.reset();
}

void QtBrowser::ExitFullscreen()
{
    if (fullscreen && Page())
        Page()->triggerAction(QWebEnginePage::ExitFullScreen);
}

std::string QtBrowser::GetURL() { return Page() ? Page()->url().toString().toStdString() : std::string(); }

void QtBrowser::LoadURL(const std::string& url)
{
    if (!Page())
        return;
    showingString = false;
    Page()->load(QUrl(QString::fromStdString(url)));
}

void QtBrowser::LoadString(const std::string& html, const std::string& url)
{
    if (!Page())
        return;
    // Called from inside load callbacks: the engine takes a new load only after it has
    // finished reporting the current one.
    QPointer<BrowserPage> page = Page();
    QTimer::singleShot(0, page, [this, page, html, url] {
        showingString = true;
        page->setHtml(QString::fromStdString(html), QUrl(QString::fromStdString(url)));
    });
}

void QtBrowser::ExecuteJavaScript(const std::string& code, const std::string& scriptUrl, int startLine)
{
    (void)scriptUrl, (void)startLine;
    if (Page())
        Page()->runJavaScript(QString::fromStdString(code));
}

} // namespace platform::engine::qt
