#pragma once

#include "base/WorkerThread.h"
#include "platform/ui/WindowImplBase.h"
#include "update/DownloadTask.h"
#include "update/HttpClient.h"
#include "update/UpdateInfo.h"

#include <memory>
#include <optional>
#include <string>

namespace platform::ui {
class CButtonUI;
class CLabelUI;
class CProgressUI;
}

// The modal update dialog: checks the update server when it opens, downloads the
// installer on its worker thread and starts it elevated. Window code runs on the GUI
// thread; the worker reaches the dialog only through posted messages.
class UpdateDialog : public platform::ui::WindowImplBase, public WorkerThread {
public:
    static constexpr unsigned kStopTimeoutMs = 3000;

    UpdateDialog();
    ~UpdateDialog() override;

    platform::ui::CDuiString GetSkinFolder() override { return u"skin/Zandrel/"; }
    platform::ui::CDuiString GetSkinFile() override { return u"update_dialog.xml"; }
    platform::ui::CDuiString GetWindowClassName() const override { return u"UpdateCheckDialog_Class"; }

    void Notify(platform::ui::TNotifyUI& msg) override;
    platform::ui::LRESULT HandleCustomMessage(platform::ui::UINT msg, platform::ui::WPARAM wParam,
        platform::ui::LPARAM lParam, bool& bHandled) override;
    platform::ui::LRESULT OnClose(platform::ui::UINT msg, platform::ui::WPARAM wParam,
        platform::ui::LPARAM lParam, bool& bHandled) override;
    void OnFinalMessage(platform::ui::HWND hwnd) override;

    // Integer percent of downloaded over total, or -1 when the total is unknown.
    static int ProgressPercent(double total, double downloaded);

protected:
    void Run() override;

private:
    struct DownloadRun;

    void Initialise();
    void StartDownload();
    void OnSizeAnswered(int size);
    void OnProgress(int percent);
    void OnDownloadFinished(int result);
    static int ProgressCallback(void* context, double downloadTotal, double downloadNow, double, double);

    platform::ui::CProgressUI* progressStatus = nullptr;
    platform::ui::CButtonUI* startButton = nullptr;
    platform::ui::CControlUI* updateTip = nullptr;
    UpdateInfo updateInfo;
    HttpClient client;
    DownloadTask task;
    std::u16string localPath;
    // Whether the download's bytes are vouched for (a key, or TLS for reply and installer alike),
    // so that it may be started as root.
    bool originVerified = false;
    // What the next run downloads; the run keeps its own reference, so a worker that
    // outlives the dialog never reaches into it.
    std::shared_ptr<DownloadRun> nextRun;
};
