#include "browser/DownloadReporter.h"

#include "ids/WindowMessageIds.h"
#include "platform/engine/CefTask.h"
#include "platform/os/TextCodec.h"

#include <memory>

using platform::engine::CefDownloadItem;
using platform::engine::CefDownloadItemCallback;
using platform::engine::CefRefPtr;

DownloadProgress DownloadReporter::ProgressOf(CefDownloadItem& item)
{
    DownloadProgress progress;
    progress.id = item.GetId();
    progress.fullPath = item.GetFullPath();
    const auto slash = progress.fullPath.find_last_of('/');
    progress.fileName = platform::os::Utf8ToUtf16(
        slash == std::string::npos ? progress.fullPath : progress.fullPath.substr(slash + 1));
    if (progress.fileName.empty())
        progress.fileName = platform::os::Utf8ToUtf16(item.GetSuggestedFileName());
    progress.receivedBytes = item.GetReceivedBytes();
    progress.totalBytes = item.GetTotalBytes();
    if (item.IsComplete())
        progress.state = DownloadProgress::State::Complete;
    else if (item.IsCanceled())
        progress.state = DownloadProgress::State::Canceled;
    else if (item.IsInterrupted())
        progress.state = DownloadProgress::State::Failed;
    return progress;
}

void DownloadReporter::Report(
    platform::ui::HWND mainWindow, CefDownloadItem& item, CefRefPtr<CefDownloadItemCallback> callback)
{
    DownloadProgress progress = ProgressOf(item);
    {
        std::lock_guard<std::mutex> guard(lock);
        if (progress.state == DownloadProgress::State::InProgress) {
            if (running.count(progress.id) == 0)
                partials.Started(progress.fullPath);
            running[progress.id] = callback;
        } else {
            running.erase(progress.id);
            partials.Ended(progress.fullPath);
        }
    }
    auto payload = std::make_unique<platform::ui::OwnedPayload<DownloadProgress>>(std::move(progress));
    const auto address
        = reinterpret_cast<platform::ui::WPARAM>(static_cast<platform::ui::MessagePayload*>(payload.get()));
    platform::ui::PostMessage(mainWindow, WM_DOWNLOAD_UPDATED, address, 0, std::move(payload));
}

bool DownloadReporter::Cancel(unsigned int id)
{
    CefRefPtr<CefDownloadItemCallback> callback;
    {
        std::lock_guard<std::mutex> guard(lock);
        auto found = running.find(id);
        if (found == running.end())
            return false;
        callback = found->second;
    }
    // The engine's callbacks belong to its UI thread, whichever thread the user's click came on.
    return platform::engine::CefPostTask(platform::engine::TID_UI, [callback] { callback->Cancel(); });
}
