#include "platform/ui/PaintManagerUI.h"

#include <algorithm>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QString>

#include "platform/os/OsLayer.h"
#include "platform/ui/Application.h"
#include "platform/ui/OptionUI.h"
#include "platform/ui/qt/ControlWidget.h"
#include "platform/ui/qt/MessageDispatcher.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "platform/ui/qt/WindowWidget.h"

namespace platform::ui {

namespace {
    HINSTANCE instance = nullptr;
    CDuiString resourcePath;
    std::function<void()> loopHook;
    bool hookConnected = false;
    bool quitPending = false;
    int runningLoops = 0;
    int quitCode = 0;

    std::map<CDuiString, CPaintManagerUI::AttributeList>& SharedStyles()
    {
        static std::map<CDuiString, CPaintManagerUI::AttributeList> styles;
        return styles;
    }
}

namespace qt {
    void RequestQuit(int code)
    {
        quitPending = true;
        quitCode = code;
        // Without a running loop, exit() would make the next loop return at once forever.
        if (runningLoops > 0)
            QCoreApplication::exit(code);
    }

    bool QuitPending() { return quitPending; }

    LoopScope::LoopScope() { ++runningLoops; }
    LoopScope::~LoopScope() { --runningLoops; }
}

CPaintManagerUI::CPaintManagerUI()
{
    defaultFont_.family = u"WenQuanYi Micro Hei";
    defaultFont_.size = 12;
}

CPaintManagerUI::~CPaintManagerUI() { ReleaseRoot(); }

void CPaintManagerUI::SetInstance(HINSTANCE module) { instance = module; }

HINSTANCE CPaintManagerUI::GetInstance() { return instance; }

CDuiString CPaintManagerUI::GetInstancePath()
{
    QString path = QString::fromStdString(os::Os().ExecutablePath());
    const qsizetype slash = path.lastIndexOf('/');
    path = slash >= 0 ? path.left(slash + 1) : QStringLiteral("./");
    return path.toStdU16String();
}

void CPaintManagerUI::SetResourcePath(const CDuiString& path)
{
    QString value = QString::fromStdU16String(path);
    value.replace('\\', '/');
    if (!value.isEmpty() && !value.endsWith('/'))
        value += '/';
    resourcePath = value.toStdU16String();
}

CDuiString CPaintManagerUI::GetResourcePath() { return resourcePath; }

int CPaintManagerUI::MessageLoop()
{
    EnsureApplication();
    qt::MessageDispatcher::Instance();
    if (!quitPending) {
        qt::LoopScope scope;
        QApplication::exec();
    }
    // Windows and controls closed on the loop's last turn are deleted before the program ends.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // A quit that arrived before the loop started still ends it, at once.
    quitPending = false;
    return quitCode;
}

void CPaintManagerUI::setMessageLoopExFun(std::function<void()> function)
{
    loopHook = std::move(function);
    if (hookConnected)
        return;
    EnsureApplication();
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [] {
            if (loopHook)
                loopHook();
        });
        hookConnected = true;
    }
}

void CPaintManagerUI::Init(HWND hwnd) { hwnd_ = hwnd; }

bool CPaintManagerUI::AttachDialog(CControlUI* root)
{
    if (!root)
        return false;
    if (root_ && root_ != root)
        ReleaseRoot();
    root_ = root;
    root_->SetManager(this, nullptr);
    // A window's new root replaces what the window shows.
    if (auto* window = dynamic_cast<qt::WindowWidget*>(qt::WidgetFromHandle(hwnd_)))
        window->SetRootWidget(root_->Widget());
    return true;
}

void CPaintManagerUI::ReleaseRoot()
{
    CControlUI* root = root_;
    root_ = nullptr;
    focus_ = ControlRef();
    delete root;
}

CControlUI* CPaintManagerUI::FindControl(const CDuiString& name) const
{
    return root_ && !name.empty() ? root_->FindControl(name) : nullptr;
}

void CPaintManagerUI::AddNotifier(INotifyUI* notifier)
{
    if (std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end())
        notifiers_.push_back(notifier);
}

void CPaintManagerUI::RemoveNotifier(INotifyUI* notifier)
{
    notifiers_.erase(std::remove(notifiers_.begin(), notifiers_.end(), notifier), notifiers_.end());
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg)
{
    if (msg.type == kNotifyOther)
        msg.type = NotifyTypeFromName(msg.sType);
    if (msg.pSender && !msg.pSender->RunNotifyHandlers(msg))
        return;
    auto notifiers = notifiers_;
    for (INotifyUI* notifier : notifiers)
        notifier->Notify(msg);
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const CDuiString& sType, WPARAM wParam, LPARAM lParam)
{
    TNotifyUI msg;
    msg.sType = sType;
    msg.type = NotifyTypeFromName(sType);
    msg.pSender = sender;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg);
}

SIZE CPaintManagerUI::GetClientSize() const
{
    QWidget* widget = qt::WidgetFromHandle(hwnd_);
    if (!widget)
        return initSize_;
    return SIZE { widget->width(), widget->height() };
}

const TFontInfo& CPaintManagerUI::GetFontInfo(int id) const
{
    auto it = fonts_.find(id);
    return it == fonts_.end() ? defaultFont_ : it->second;
}

void CPaintManagerUI::AddStyle(const CDuiString& name, const AttributeList& attributes)
{
    styles_[name] = attributes;
    SharedStyles()[name] = attributes;
}

const CPaintManagerUI::AttributeList* CPaintManagerUI::GetStyle(const CDuiString& name) const
{
    auto it = styles_.find(name);
    return it == styles_.end() ? GetSharedStyle(name) : &it->second;
}

const CPaintManagerUI::AttributeList* CPaintManagerUI::GetSharedStyle(const CDuiString& name)
{
    auto it = SharedStyles().find(name);
    return it == SharedStyles().end() ? nullptr : &it->second;
}

void CPaintManagerUI::AddOptionGroup(const CDuiString& group, COptionUI* option)
{
    auto& members = optionGroups_[group];
    if (std::none_of(members.begin(), members.end(),
            [option](const ControlRef& member) { return member.Get() == option; }))
        members.emplace_back(option);
}

void CPaintManagerUI::RemoveOptionGroup(const CDuiString& group, COptionUI* option)
{
    auto it = optionGroups_.find(group);
    if (it == optionGroups_.end())
        return;
    auto& members = it->second;
    members.erase(std::remove_if(members.begin(), members.end(),
                      [option](const ControlRef& member) { return member.Get() == option; }),
        members.end());
    if (members.empty())
        optionGroups_.erase(it);
}

std::vector<COptionUI*> CPaintManagerUI::GetOptionGroup(const CDuiString& group) const
{
    std::vector<COptionUI*> options;
    auto it = optionGroups_.find(group);
    if (it == optionGroups_.end())
        return options;
    auto& members = it->second;
    members.erase(std::remove_if(members.begin(), members.end(),
                      [&](const ControlRef& member) {
                          auto* option = static_cast<COptionUI*>(member.Get());
                          return !option || option->GetManager() != this || option->GetGroup() != group;
                      }),
        members.end());
    for (const ControlRef& member : members)
        options.push_back(static_cast<COptionUI*>(member.Get()));
    if (members.empty())
        optionGroups_.erase(it);
    return options;
}

} // namespace platform::ui
