#include "ui/DownloadListWindow.h"

#include "browser/SharedClientHandler.h"
#include "ids/CloseCodes.h"
#include "ids/WindowStyleIds.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/ContainerUI.h"
#include "platform/ui/DialogBuilder.h"
#include "platform/ui/ProgressUI.h"
#include "platform/ui/WindowOps.h"
#include "shell/ShellUtilities.h"

#include <algorithm>

using namespace platform::ui;

DownloadListWindow::DownloadListWindow(const DownloadList& list, std::function<void()> onClosed)
    : list(list)
    , onClosed(std::move(onClosed))
{
}

DownloadListWindow* DownloadListWindow::Open(
    HWND owner, const DownloadList& list, POINT anchor, std::function<void()> onClosed)
{
    auto* window = new DownloadListWindow(list, std::move(onClosed));
    window->anchor = anchor;
    if (!window->Create(owner, {}, kPopupStyle, kPopupExStyle, 0, 0, 0, 0)) {
        delete window;
        return nullptr;
    }
    window->ShowWindow(true, true);
    SetForegroundWindow(window->GetHWND());
    // Keeps the owner's caption looking active while the pop-up has the focus.
    SendMessage(GetAncestorRoot(window->GetHWND()), WM_NCACTIVATE, 1, 0);
    return window;
}

void DownloadListWindow::InitWindow()
{
    rows = static_cast<CContainerUI*>(FindControl(u"download_rows"));
    Refresh();
}

CControlUI* DownloadListWindow::RowOf(unsigned int id) const
{
    for (int i = 0; rows && i < rows->GetCount(); ++i) {
        if (rows->GetItemAt(i)->GetTag() == id)
            return rows->GetItemAt(i);
    }
    return nullptr;
}

void DownloadListWindow::Refresh()
{
    if (!rows)
        return;
    const auto& entries = list.Entries();
    const size_t shown = std::min<size_t>(entries.size(), kMaxRows);
    // Rows are kept and rewritten rather than rebuilt, so that the one under the mouse survives
    // the many updates of a running download.
    for (int i = rows->GetCount() - 1; i >= 0; --i) {
        const unsigned int id = static_cast<unsigned int>(rows->GetItemAt(i)->GetTag());
        const auto shownEnd = entries.begin() + static_cast<std::ptrdiff_t>(shown);
        auto position = std::find_if(
            entries.begin(), shownEnd, [id](const DownloadProgress& entry) { return entry.id == id; });
        if (position == shownEnd)
            rows->RemoveAt(i);
    }
    for (size_t i = 0; i < shown; ++i) {
        CControlUI* row = RowOf(entries[i].id);
        if (!row) {
            CDialogBuilder builder;
            row = builder.Create(u"downloads/download_item.xml", {}, nullptr, &m_PaintManager);
            if (!row)
                return;
            row->SetTag(entries[i].id);
            rows->AddAt(row, static_cast<int>(i));
        }
        ShowRow(row, entries[i]);
    }
    FitToRows();
}

void DownloadListWindow::ShowRow(CControlUI* row, const DownloadProgress& progress)
{
    const bool running = progress.state == DownloadProgress::State::InProgress;
    if (CControlUI* name = row->FindControl(u"lbl_download_name")) {
        name->SetText(progress.fileName);
        name->SetToolTip(platform::os::Utf8ToUtf16(progress.fullPath));
    }
    if (CControlUI* status = row->FindControl(u"lbl_download_status"))
        status->SetText(DownloadList::StatusText(progress));
    if (auto* bar = static_cast<CProgressUI*>(row->FindControl(u"progress_download"))) {
        int percent = progress.state == DownloadProgress::State::Complete ? 100 : 0;
        if (running && progress.totalBytes > 0)
            percent = static_cast<int>(
                std::min<int64_t>(progress.receivedBytes * 100 / progress.totalBytes, 100));
        bar->SetValue(percent);
        bar->SetVisible(running || progress.state == DownloadProgress::State::Complete);
    }
    if (CControlUI* open = row->FindControl(u"btn_open_folder"))
        open->SetVisible(progress.state == DownloadProgress::State::Complete);
    if (CControlUI* cancel = row->FindControl(u"btn_cancel_download"))
        cancel->SetVisible(running);
}

void DownloadListWindow::FitToRows()
{
    CControlUI* root = m_PaintManager.GetRoot();
    if (!root)
        return;
    const RECT work = GetWorkAreaFromPoint(anchor);
    SIZE size = m_PaintManager.GetInitSize();
    const SIZE wanted = root->EstimateSize({ work.right - work.left, work.bottom - work.top });
    size.cy = wanted.cy;
    // Right-aligned under the button, kept inside the work area.
    const int left
        = std::clamp<int>(anchor.x - size.cx, work.left, std::max(work.left, work.right - size.cx));
    const int top = std::clamp<int>(anchor.y, work.top, std::max(work.top, work.bottom - size.cy));
    SetWindowPos(GetHWND(), left, top, size.cx, size.cy, SWP_NOZORDER);
}

void DownloadListWindow::Notify(TNotifyUI& msg)
{
    if (msg.type != kNotifyClick || !msg.pSender)
        return;
    // The row around the button carries the download's id.
    CControlUI* row = msg.pSender;
    while (row && row->GetName() != u"download_row")
        row = row->GetParent();
    const DownloadProgress* progress = row ? list.Find(static_cast<unsigned int>(row->GetTag())) : nullptr;
    if (!progress)
        return;
    if (msg.SenderIs(u"btn_open_folder")) {
        OpenFolderAndSelect(platform::os::Utf8ToUtf16(progress->fullPath));
        Close(kCloseAccepted);
    } else if (msg.SenderIs(u"btn_cancel_download") && sharedClientHandler) {
        sharedClientHandler->CancelDownload(progress->id);
    }
}

LRESULT DownloadListWindow::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (msg == WM_KILLFOCUS) {
        if (reinterpret_cast<HWND>(wParam) != GetHWND())
            Close(kCloseAccepted);
        bHandled = true;
        return 0;
    }
    return WindowImplBase::HandleCustomMessage(msg, wParam, lParam, bHandled);
}

LRESULT DownloadListWindow::ResponseDefaultKeyEvent(WPARAM key)
{
    if (key == VK_ESCAPE) {
        Close(kCloseAccepted);
        return 1;
    }
    return WindowImplBase::ResponseDefaultKeyEvent(key);
}

void DownloadListWindow::OnFinalMessage(HWND)
{
    if (onClosed)
        onClosed();
    delete this;
}
