#include "ui/DownloadIndicator.h"

#include "platform/ui/ControlUI.h"
#include "platform/ui/WindowOps.h"
#include "ui/DownloadListWindow.h"

using namespace platform::ui;

namespace {
constexpr DWORD kIdleTextColor = 0xFFC7CDD9;
constexpr DWORD kRunningTextColor = 0xFF6EA8FF;
}

DownloadIndicator::~DownloadIndicator()
{
    // The pop-up reports its end to this object, which must still be there to hear it.
    if (listWindow && IsWindow(listWindow->GetHWND()))
        DestroyWindow(listWindow->GetHWND());
}

void DownloadIndicator::Attach(HWND ownerWindow, CControlUI* control)
{
    owner = ownerWindow;
    button = control;
    ShowState();
}

void DownloadIndicator::OnProgress(const DownloadProgress& progress)
{
    list.Update(progress);
    ShowState();
    if (listWindow)
        listWindow->Refresh();
}

void DownloadIndicator::ShowList()
{
    if (listWindow || !button || list.Entries().empty())
        return;
    const RECT pos = button->GetPos();
    listWindow = DownloadListWindow::Open(owner, list, ClientToScreen(owner, POINT { pos.right, pos.bottom }),
        [this] { listWindow = nullptr; });
}

void DownloadIndicator::ShowState()
{
    if (!button)
        return;
    button->SetVisible(!list.Entries().empty());
    button->SetText(list.IndicatorText());
    const int running = list.RunningCount();
    button->SetTextColor(running ? kRunningTextColor : kIdleTextColor);
    button->SetToolTip(running ? u"正在下载" : u"下载");
}
