#include "platform/engine/qt/PageBridge.h"

#include "platform/engine/ScreenCapture.h"
#include "platform/engine/qt/ClipboardGesture.h"
#include "platform/engine/qt/PageBridgeScript.h"
#include "platform/engine/qt/QtBrowser.h"
#include "platform/engine/qt/RenderSide.h"
#include "platform/engine/qt/ScreenShares.h"
#include "platform/ui/qt/DesktopSources.h"

#include <QGuiApplication>
#include <QRandomGenerator>

#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace platform::engine::qt {

namespace {
    // The choice offered when a page asks to share: the screens and the topmost windows.
    constexpr size_t kMaxSources = 10;

    int NextContextIdentifier()
    {
        static int last = 0;
        return ++last;
    }

    class EditableNode final : public CefDOMNode {
    public:
        explicit EditableNode(bool editable)
            : editable(editable)
        {
        }
        bool IsEditable() override { return editable; }

    private:
        bool editable;
        IMPLEMENT_REFCOUNTING(EditableNode);
    };
}

PageContext::PageContext(QtBrowser* browser, PageBridge* bridge, QString key)
    : browser(browser)
    , bridge(bridge)
    , key(std::move(key))
    , identifier(NextContextIdentifier())
{
}

CefRefPtr<CefBrowser> PageContext::GetBrowser() { return browser; }

CefRefPtr<CefFrame> PageContext::GetFrame() { return browser; }

void PageContext::SetFunctionHandler(const std::string& name, CefRefPtr<CefV8Handler> handler)
{
    if (handler)
        handlers[name] = handler;
    else
        handlers.erase(name);
}

CefRefPtr<CefV8Handler> PageContext::FunctionHandler(const std::string& name) const
{
    auto it = handlers.find(name);
    return it == handlers.end() ? nullptr : it->second;
}

void PageContext::AnswerQuery(int requestId, bool success, int errorCode, const std::string& response)
{
    if (bridge)
        emit bridge->answer(key, requestId, success, errorCode, QString::fromStdString(response));
}

void PageContext::Detach()
{
    bridge = nullptr;
    browser = nullptr;
    handlers.clear();
}

PageBridge::PageBridge(QtBrowser* browser, QWebEnginePage* page, ClipboardGesture* clipboard)
    : QObject(page)
    , browser(browser)
    , clipboard(clipboard)
    , shares(new ScreenShares(this))
{
    connect(shares, &ScreenShares::frame, this, &PageBridge::frame);
    auto* channel = new QWebChannel(this);
    channel->registerObject(QStringLiteral("zandrelBridge"), this);
    page->setWebChannel(channel, QWebEngineScript::ApplicationWorld);
    if (auto handler = RenderHandler())
        handler->OnBrowserCreated(browser);
}

PageBridge::~PageBridge()
{
    ReleaseAll();
    if (auto handler = RenderHandler())
        handler->OnBrowserDestroyed(browser);
}

void PageBridge::InstallScript(QWebEngineProfile* profile)
{
    const QString bridgeName = QStringLiteral("zandrel-page-bridge");
    if (!profile->scripts()->find(bridgeName).isEmpty())
        return;
    const QString secret = QString::number(QRandomGenerator::system()->generate64(), 36)
        + QString::number(QRandomGenerator::system()->generate64(), 36);
    const auto add = [profile](const QString& name, const QString& source, quint32 world) {
        QWebEngineScript script;
        script.setName(name);
        script.setSourceCode(source);
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(world);
        script.setRunsOnSubFrames(true);
        profile->scripts()->insert(script);
    };
    add(bridgeName, PageBridgeScript(secret), QWebEngineScript::ApplicationWorld);
    add(QStringLiteral("zandrel-page-functions"), PageFunctionsScript(), QWebEngineScript::MainWorld);
}

void PageBridge::contextCreated(const QString& key, bool isTop)
{
    // A new top document means every frame of the old one is gone.
    if (isTop)
        ReleaseAll();
    if (contexts.count(key))
        return;
    CefRefPtr<PageContext> context(new PageContext(browser.get(), this, key));
    contexts[key] = context;
    if (auto handler = RenderHandler())
        handler->OnContextCreated(browser, browser, context);
}

void PageBridge::contextReleased(const QString& key) { Release(key); }

void PageBridge::call(
    const QString& key, const QString& function, int requestId, const QString& request, bool persistent)
{
    auto it = contexts.find(key);
    if (it == contexts.end())
        return;
    CefRefPtr<CefV8Handler> handler = it->second->FunctionHandler(function.toStdString());
    if (!handler)
        return;
    CefRefPtr<CefListValue> arguments = CefListValue::Create();
    arguments->SetInt(0, requestId);
    arguments->SetString(1, request.toStdString());
    arguments->SetBool(2, persistent);
    handler->Execute(function.toStdString(), arguments);
}

void PageBridge::clipboardRead(const QString& key, int requestId)
{
    auto* page = qobject_cast<QWebEnginePage*>(parent());
    if (!page || !contexts.count(key))
        return;
    QPointer<PageBridge> self(this);
    browser->Prompts().AskFor(
        page->url(), CEF_PERMISSION_TYPE_CLIPBOARD, [self, key, requestId](bool granted) {
            if (!self)
                return;
            if (granted && self->clipboard)
                self->clipboard->AllowRead();
            emit self->answer(key, requestId, granted, 0, QString());
        });
}

void PageBridge::pressed(const QString& key)
{
    if (contexts.count(key) && clipboard)
        clipboard->PressedIn(key);
}

void PageBridge::clipboardWrite(const QString& key, int requestId, const QVariantMap& item)
{
    if (!contexts.count(key))
        return;
    const QString text = item.value(QStringLiteral("text/plain")).toString();
    const QString html = item.value(QStringLiteral("text/html")).toString();
    const QByteArray png
        = QByteArray::fromBase64(item.value(QStringLiteral("image/png")).toString().toLatin1());
    const bool written = clipboard && clipboard->Write(key, text, html, png);
    emit answer(key, requestId, written, 0, QString());
}

void PageBridge::screenShare(const QString& key, int requestId)
{
    auto* page = qobject_cast<QWebEnginePage*>(parent());
    if (!page || !contexts.count(key))
        return;
    const QString engineAnswer = QStringLiteral("{\"engine\":true}");
    // Where nothing can be captured the client's refusal tells the user why. It is asked here,
    // not left to the engine's request: Qt 6.8's engine refuses a capture it cannot make
    // without raising one.
    if (!CanCaptureScreen()) {
        QPointer<PageBridge> self(this);
        browser->Prompts().AskFor(page->url(), CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE,
            [self, key, requestId, engineAnswer](bool granted) {
                if (self)
                    emit self->answer(key, requestId, granted, 0, granted ? engineAnswer : QString());
            });
        return;
    }
    // Another request while the user is choosing is refused, so a page cannot pile them up.
    if (choosing) {
        emit answer(key, requestId, false, 0, QString());
        return;
    }
    const std::vector<platform::ui::qt::DesktopSource> sources
        = platform::ui::qt::ListDesktopSources(kMaxSources);
    std::vector<std::string> names;
    names.reserve(sources.size());
    for (const auto& source : sources)
        names.push_back(source.name.toStdString());
    const bool oneScreen = QGuiApplication::screens().size() == 1;
    QPointer<PageBridge> self(this);
    choosing = true;
    browser->Prompts().AskChoice(
        page->url(), names, [self, key, requestId, sources, oneScreen, engineAnswer](int index) {
            if (!self)
                return;
            self->choosing = false;
            if (index < 0 || static_cast<size_t>(index) >= sources.size() || !self->contexts.count(key)) {
                emit self->answer(key, requestId, false, 0, QString());
                return;
            }
            // The engine captures the first screen alone, and more cheaply than frames sent over.
            if (oneScreen && index == 0) {
                if (auto* asking = qobject_cast<QWebEnginePage*>(self->parent()))
                    self->browser->Prompts().AllowEngineCapture(asking->url());
                emit self->answer(key, requestId, true, 0, engineAnswer);
                return;
            }
            const int shareId = self->shares->Start(key, sources[static_cast<size_t>(index)].id);
            if (shareId == 0)
                emit self->answer(key, requestId, false, 0, QString());
            else
                emit self->answer(key, requestId, true, 0, QStringLiteral("{\"share\":%1}").arg(shareId));
        });
}

void PageBridge::pictureInPicture(const QString& key, bool active)
{
    if (contexts.count(key))
        browser->ReportPictureInPicture(active);
}

void PageBridge::frameShown(const QString& key, int shareId) { shares->FrameShown(key, shareId); }

void PageBridge::stopShare(const QString& key, int shareId) { shares->Stop(key, shareId); }

void PageBridge::focusChanged(const QString& key, bool present, bool editable)
{
    if (!contexts.count(key))
        return;
    if (auto handler = RenderHandler())
        handler->OnFocusedNodeChanged(browser, browser, present ? new EditableNode(editable) : nullptr);
}

void PageBridge::Release(const QString& key)
{
    auto it = contexts.find(key);
    if (it == contexts.end())
        return;
    CefRefPtr<PageContext> context = it->second;
    contexts.erase(it);
    shares->StopAll(key);
    if (clipboard)
        clipboard->Revoke(key);
    if (auto handler = RenderHandler())
        handler->OnContextReleased(browser, browser, context);
    context->Detach();
}

void PageBridge::ReleaseAll()
{
    while (!contexts.empty())
        Release(contexts.begin()->first);
}

} // namespace platform::engine::qt
