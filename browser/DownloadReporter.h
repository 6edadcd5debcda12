#pragma once

#include "browser/DownloadProgress.h"
#include "browser/PartialDownloads.h"
#include "platform/engine/CefCallbacks.h"
#include "platform/ui/WindowTypes.h"

#include <map>
#include <mutex>

// Turns the engine's download updates into WM_DOWNLOAD_UPDATED messages for the main window
// and keeps what a running download needs to be cancelled. Report runs on the engine's UI
// thread, Cancel on any; the lock guards the running downloads between them.
class DownloadReporter {
public:
    void Report(platform::ui::HWND mainWindow, platform::engine::CefDownloadItem& item,
        platform::engine::CefRefPtr<platform::engine::CefDownloadItemCallback> callback);
    // Asks the engine to stop the download; false when it is not running (any more).
    bool Cancel(unsigned int id);

    static DownloadProgress ProgressOf(platform::engine::CefDownloadItem& item);
    // At start-up: the partial files a killed run of the program left behind go.
    void RemoveLeftovers() { partials.RemoveLeftovers(); }

private:
    std::mutex lock;
    std::map<unsigned int, platform::engine::CefRefPtr<platform::engine::CefDownloadItemCallback>> running;
    PartialDownloads partials { PartialDownloads::DefaultJournal() };
};
