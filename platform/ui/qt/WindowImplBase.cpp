#include "platform/ui/WindowImplBase.h"

#include <cstdio>
#include <unordered_map>

#include <QEventLoop>
#include <QPalette>

#include "platform/ui/Application.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/WindowOps.h"
#include "platform/ui/qt/ControlWidget.h"
#include "platform/ui/qt/MessageDispatcher.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "platform/ui/qt/WindowWidget.h"

namespace platform::ui {

namespace qt {
    std::optional<int> AskModalAnswerer(const ModalInfo& info);
}

namespace {
    std::unordered_map<HWND, WindowImplBase*>& Windows()
    {
        static std::unordered_map<HWND, WindowImplBase*> windows;
        return windows;
    }

    Qt::WindowFlags FlagsFor(DWORD style, DWORD exStyle)
    {
        if (style & WS_CHILD)
            return Qt::Widget;
        Qt::WindowFlags flags = Qt::Window;
        if ((exStyle & WS_EX_TOOLWINDOW) || ((style & WS_POPUP) && !(style & WS_CAPTION)))
            flags = Qt::Tool;
        else if (style & WS_POPUP)
            flags = Qt::Dialog;
        // Layout windows draw their own caption and borders.
        flags |= Qt::FramelessWindowHint;
        if (exStyle & WS_EX_TOPMOST)
            flags |= Qt::WindowStaysOnTopHint;
        return flags;
    }
}

WindowImplBase* WindowFromHandle(HWND hwnd)
{
    auto it = Windows().find(hwnd);
    return it == Windows().end() ? nullptr : it->second;
}

struct WindowImplBase::ModalState {
    bool done = false;
    UINT code = 0;
    QEventLoop loop;
};

WindowImplBase::WindowImplBase() = default;

WindowImplBase::~WindowImplBase()
{
    if (widget_) {
        // Deleted while its native window still exists: end it without calling back.
        Windows().erase(hwnd_);
        m_PaintManager.RemoveNotifier(this);
        m_PaintManager.ReleaseRoot();
        qt::WindowWidget* widget = widget_;
        widget_ = nullptr;
        widget->Forget();
        widget->setProperty("zandrelDestroyed", true);
        qt::DisposeWidget(widget);
    }
}

CControlUI* WindowImplBase::CreateControl(const CDuiString&) { return nullptr; }

void WindowImplBase::Notify(TNotifyUI&) { }

CDuiString WindowImplBase::LayoutPath()
{
    QString file = QString::fromStdU16String(GetSkinFile()).replace('\\', '/');
    if (file.startsWith('/'))
        return file.toStdU16String();
    QString base = QString::fromStdU16String(CPaintManagerUI::GetResourcePath());
    if (base.isEmpty()) {
        base = QString::fromStdU16String(CPaintManagerUI::GetInstancePath() + GetSkinFolder())
                   .replace('\\', '/');
        if (!base.endsWith('/'))
            base += '/';
    }
    return (base + file).toStdU16String();
}

HWND WindowImplBase::Create(
    HWND parent, const CDuiString& name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy)
{
    if (widget_)
        return hwnd_;
    EnsureApplication();
    style_ = style;
    exStyle_ = exStyle;
    QWidget* parentWidget = qt::WidgetFromHandle(parent);
    if (!parentWidget)
        style_ &= ~WS_CHILD;
    widget_ = new qt::WindowWidget(this, parentWidget, FlagsFor(style_, exStyle_));
    widget_->setWindowTitle(QString::fromStdU16String(name));
    widget_->setObjectName(QString::fromStdU16String(GetWindowClassName()));
    hwnd_ = qt::HandleFromWidget(widget_);
    Windows()[hwnd_] = this;
    m_PaintManager.Init(hwnd_);

    CDialogBuilder builder;
    CControlUI* root = builder.Create(LayoutPath(), {}, this, &m_PaintManager);
    if (!root) {
        std::fprintf(stderr, "cannot build the window from %s\n",
            QString::fromStdU16String(LayoutPath()).toUtf8().constData());
        Windows().erase(hwnd_);
        qt::WindowWidget* widget = widget_;
        widget_ = nullptr;
        widget->Forget();
        delete widget;
        hwnd_ = nullptr;
        return nullptr;
    }
    m_PaintManager.AttachDialog(root);
    m_PaintManager.AddNotifier(this);
    if (DWORD background = m_PaintManager.GetWindowBkColor()) {
        QPalette palette = widget_->palette();
        palette.setColor(QPalette::Window, qt::ToQColor(background));
        widget_->setPalette(palette);
        widget_->setAutoFillBackground(true);
    }

    SIZE initial = m_PaintManager.GetInitSize();
    int width = (cx == CW_USEDEFAULT || cx <= 0) ? initial.cx : cx;
    int height = (cy == CW_USEDEFAULT || cy <= 0) ? initial.cy : cy;
    SIZE minimum = m_PaintManager.GetMinInfo();
    if (minimum.cx > 0 || minimum.cy > 0)
        widget_->setMinimumSize(minimum.cx, minimum.cy);
    widget_->resize(width > 0 ? width : 400, height > 0 ? height : 300);
    if (x != CW_USEDEFAULT && y != CW_USEDEFAULT)
        widget_->move(x, y);
    if (style_ & WS_DISABLED)
        widget_->setEnabled(false);

    InitWindow();
    if (!widget_)
        return nullptr;
    HWND hwnd = hwnd_;
    if (qt::MessageDispatcher* dispatcher = qt::MessageDispatcher::Instance()) {
        dispatcher->PostTask([hwnd] {
            if (WindowImplBase* window = WindowFromHandle(hwnd))
                window->DeliverWindowInit();
        });
    }
    // Under a window manager, a window mapped, unmapped and mapped again in one go (the
    // usual create-visible, then hide/show or show-modal sequence) may stay unmapped for good:
    // the manager is still withdrawing it when the second map arrives. Mapping once, when
    // the caller's sequence has settled, avoids that race.
    if (style_ & WS_VISIBLE) {
        if (widget_->isWindow())
            widget_->ShowSoon();
        else
            widget_->show();
    }
    return hwnd_;
}

void WindowImplBase::DeliverWindowInit()
{
    if (initSent_ || !widget_)
        return;
    initSent_ = true;
    m_PaintManager.SendNotify(m_PaintManager.GetRoot(), u"windowinit");
}

LRESULT WindowImplBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    bool handled = false;
    LRESULT result = 0;
    switch (msg) {
    case WM_CLOSE:
        result = OnClose(msg, wParam, lParam, handled);
        if (!handled) {
            modalCode_ = static_cast<UINT>(wParam);
            DestroyNow();
        }
        return result;
    case WM_SYSCOMMAND:
        return OnSysCommand(msg, wParam, lParam, handled);
    case WM_SIZE:
        result = OnSize(msg, wParam, lParam, handled);
        if (handled)
            return result;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE || wParam == VK_RETURN) {
            if (ResponseDefaultKeyEvent(wParam))
                return 1;
            if (wParam == VK_ESCAPE && !(style_ & WS_CHILD)) {
                Close(2);
                return 1;
            }
            return 0;
        }
        break;
    default:
        break;
    }
    return HandleCustomMessage(msg, wParam, lParam, handled);
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT, WPARAM wParam, LPARAM, bool& bHandled)
{
    bHandled = true;
    if (!widget_)
        return 0;
    switch (wParam & 0xFFF0) {
    case SC_MINIMIZE:
        widget_->showMinimized();
        break;
    case SC_MAXIMIZE:
        widget_->showMaximized();
        break;
    case SC_RESTORE:
        qt::RestoreWindow(widget_);
        break;
    case SC_CLOSE:
        Close(0);
        break;
    default:
        bHandled = false;
        break;
    }
    return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& bHandled)
{
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM) { return 0; }

void WindowImplBase::OnFinalMessage(HWND) { }

void WindowImplBase::DestroyNow() { Teardown(true); }

void WindowImplBase::Teardown(bool disposeWidget)
{
    if (destroying_ || !widget_)
        return;
    destroying_ = true;
    HWND hwnd = hwnd_;
    qt::WindowWidget* widget = widget_;
    widget->setProperty("zandrelDestroyed", true);
    // Child and owned layout windows go first, each with its own final message: the widget
    // itself is deleted later, and owned windows must not outlive it until then.
    std::vector<HWND> children;
    for (const auto& [handle, window] : Windows()) {
        if (window != this && window->widget_ && qt::IsBelow(window->widget_, widget))
            children.push_back(handle);
    }
    for (HWND child : children) {
        if (WindowImplBase* window = WindowFromHandle(child))
            window->DestroyNow();
    }
    Windows().erase(hwnd);
    m_PaintManager.RemoveNotifier(this);
    m_PaintManager.ReleaseRoot();
    widget_ = nullptr;
    widget->Forget();
    if (disposeWidget) {
        widget->hide();
        qt::DisposeWidget(widget);
    }
    if (modal_) {
        modal_->done = true;
        modal_->code = modalCode_;
        modal_->loop.exit(0);
        modal_ = nullptr;
    }
    OnFinalMessage(hwnd);
}

UINT WindowImplBase::ShowModal()
{
    if (!widget_)
        return 0;
    ModalState state;
    modal_ = &state;
    if (widget_->isWindow()) {
        // Modality takes effect when a window is mapped: one already on screen is withdrawn
        // first, and mapped again once the window manager has let go of it (WindowWidget).
        if (widget_->isVisible())
            widget_->hide();
        widget_->setWindowModality(widget_->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    }
    widget_->show();
    widget_->raise();
    widget_->activateWindow();
    DeliverWindowInit();
    if (!state.done && widget_) {
        ModalInfo info;
        info.className = GetWindowClassName();
        CControlUI* caption = FindControl(u"caption");
        info.caption = caption ? caption->GetText() : widget_->windowTitle().toStdU16String();
        if (CControlUI* text = FindControl(u"text"))
            info.text = text->GetText();
        if (std::optional<int> answer = qt::AskModalAnswerer(info))
            Close(static_cast<UINT>(*answer));
    }
    // this may be gone once the loop ends (windows that free themselves): only locals from here.
    while (!state.done) {
        if (qt::QuitPending())
            break;
        qt::LoopScope scope;
        state.loop.exec();
        if (!state.done && qt::QuitPending())
            break;
    }
    // Abandoned by a quit: the window stays, but must not point at this frame any more.
    if (!state.done)
        modal_ = nullptr;
    return state.code;
}

void WindowImplBase::Close(UINT code) { PostMessage(hwnd_, WM_CLOSE, code, 0); }

bool WindowImplBase::SendWindowButtonCommand(const TNotifyUI& msg)
{
    WPARAM command = 0;
    if (msg.SenderIs(u"minbtn"))
        command = SC_MINIMIZE;
    else if (msg.SenderIs(u"maxbtn"))
        command = SC_MAXIMIZE;
    else if (msg.SenderIs(u"restorebtn"))
        command = SC_RESTORE;
    else
        return false;
    SendMessageW(WM_SYSCOMMAND, command, 0);
    return true;
}

LRESULT WindowImplBase::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return HandleMessage(msg, wParam, lParam);
}

bool WindowImplBase::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return PostMessage(hwnd_, msg, wParam, lParam);
}

} // namespace platform::ui
