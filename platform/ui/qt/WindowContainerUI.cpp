#include "platform/ui/WindowContainerUI.h"

#include <QGridLayout>

#include "platform/ui/WindowImplBase.h"
#include "platform/ui/qt/ControlWidget.h"
#include "platform/ui/qt/WindowWidget.h"

namespace platform::ui {

CWindowContainerUI::CWindowContainerUI()
{
    auto* layout = new QGridLayout(widget_);
    layout->setContentsMargins(0, 0, 0, 0);
}

CWindowContainerUI::~CWindowContainerUI()
{
    // The hosted window dies with its container, and learns so through OnFinalMessage.
    if (WindowImplBase* window = WindowFromHandle(hosted_))
        window->DestroyNow();
}

void* CWindowContainerUI::GetInterface(const CDuiString& name)
{
    return name == u"WindowContainer" ? this : CControlUI::GetInterface(name);
}

void CWindowContainerUI::SetWindow(CPaintManagerUI*, CPaintManagerUI*, WindowImplBase* window)
{
    if (WindowImplBase* previous = WindowFromHandle(hosted_); previous && previous != window)
        previous->DestroyNow();
    hosted_ = window ? window->GetHWND() : nullptr;
    if (!window || !window->Widget() || !widget_)
        return;
    QWidget* hosted = window->Widget();
    hosted->setParent(widget_);
    static_cast<QGridLayout*>(widget_->layout())->addWidget(hosted, 0, 0);
    hosted->show();
}

} // namespace platform::ui
