#include "update/UpdateDialog.h"

#include "base/AppDataPath.h"
#include "base/BuildIdentity.h"
#include "base/TextCodePage.h"
#include "config/AppConfig.h"
#include "config/UpdateKey.h"
#include "dialogs/MessageBoxDialog.h"
#include "ids/CloseCodes.h"
#include "ids/WindowMessageIds.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/ButtonUI.h"
#include "platform/ui/ProgressUI.h"
#include "platform/ui/WindowOps.h"
#include "shell/ShellUtilities.h"
#include "update/InstallerFileName.h"
#include "update/InstallerSignature.h"
#include "update/UpdateCheck.h"
#include "update/VersionNumber.h"

#include <filesystem>

using namespace platform::ui;
using platform::os::Utf16ToUtf8;
using platform::os::Utf8ToUtf16;

namespace {

constexpr long kConnectTimeoutSeconds = 10;
// The size request gets the update check's limit, for connecting and in all.
constexpr long kSizeRequestSeconds = 10;
// Relative on purpose: without a data folder the download lands below the working folder.
constexpr char16_t kDownloadFolder[] = u"mervok/Korvath/update/";
// The result of a download whose file is not signed by the installation's key; libcurl's codes are positive.
constexpr int kInstallerRejected = -2;
// The result of an address whose file name could not be a file's; nothing is asked or written.
constexpr int kNoFileName = -3;

std::u16string Ansi16(const std::string& ansiText) { return Utf8ToUtf16(AnsiToUtf8(ansiText)); }

std::string Ansi(const std::u16string& text) { return Utf8ToAnsi(Utf16ToUtf8(text)); }

// A fresh system has no download folder, and every download would fail without it.
void CreateParentFolder(const std::string& path)
{
    std::error_code ignored;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent, ignored);
}

// A downloaded file has no execute permission, so the installer could never be started.
void MakeOwnerExecutable(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::permissions(
        path, std::filesystem::perms::owner_exec, std::filesystem::perm_options::add, ignored);
}

} // namespace

// Everything one download needs, shared by the dialog and its worker thread so that
// the worker never reads the dialog itself.
struct UpdateDialog::DownloadRun {
    HWND dialog = nullptr;
    std::string sizeUrl;
    HttpClient client;
    DownloadTask task;
    std::shared_ptr<WorkerSignal> stop;
    int lastPercent = -1;
    // With a key, only a file that the reply's signature proves signed by it counts as downloaded.
    std::string updateKey;
    std::string signature;
};

UpdateDialog::UpdateDialog() = default;

UpdateDialog::~UpdateDialog() { Stop(kStopTimeoutMs); }

void UpdateDialog::Notify(TNotifyUI& msg)
{
    if (msg.type == kNotifyWindowInit) {
        Initialise();
    } else if (msg.type == kNotifyClick) {
        if (msg.SenderIs(u"closebtn"))
            Close(kCloseDismissed);
        else if (SendWindowButtonCommand(msg))
            return;
        else if (msg.SenderIs(u"btn_start_update"))
            StartDownload();
    }
}

void UpdateDialog::Initialise()
{
    progressStatus = static_cast<CProgressUI*>(FindControl(u"progress_status"));
    startButton = static_cast<CButtonUI*>(FindControl(u"btn_start_update"));
    updateTip = FindControl(u"lbl_update_tip");
    if (CControlUI* caption = FindControl(u"caption"))
        caption->SetText(
            u"当前版本号：" + Utf8ToUtf16(CurrentVersion().ToString()) + u"  (" + InternalVersion() + u")");
    if (progressStatus) {
        progressStatus->SetMinValue(0);
        progressStatus->SetMaxValue(100);
    }

    const int fetched = FetchUpdateInfo(updateInfo, Utf16ToUtf8(AppConfig::Instance().updateUrl));
    const UpdateDecision decision = DialogCheckDecision(fetched, updateInfo, CurrentVersion());
    switch (decision.outcome) {
    case UpdateOutcome::UpdateAvailable:
        if (updateTip)
            updateTip->SetText(decision.text);
        if (startButton) {
            startButton->SetEnabled(true);
            startButton->SetUserData(Ansi16(updateInfo.versionUrl));
        }
        break;
    case UpdateOutcome::UpToDate:
        if (updateTip)
            updateTip->SetText(decision.text);
        if (startButton)
            startButton->SetEnabled(false);
        break;
    case UpdateOutcome::ServerFailed: {
        const HWND self = GetHWND();
        MessageBoxDialog::Inform(self, u"提示", decision.text);
        if (IsWindow(self) && startButton)
            startButton->SetEnabled(false);
        break;
    }
    default:
        break;
    }
}

int UpdateDialog::ProgressPercent(double total, double downloaded)
{
    if (total <= 0)
        return -1;
    return static_cast<int>(downloaded * 100.0 / total);
}

void UpdateDialog::StartDownload()
{
    if (!startButton)
        return;
    const std::u16string address = startButton->GetUserData();
    const std::optional<std::string> fileName = InstallerFileName(Utf16ToUtf8(address));
    if (!fileName) {
        OnDownloadFinished(kNoFileName);
        return;
    }
    localPath = kDownloadFolder + Utf8ToUtf16(*fileName);
    AppDataPath(localPath);
    const std::string updateKey = InstallationUpdateKey();
    // Without a key only TLS vouches for the bytes, and only when it carried both the reply
    // and the installer: anything else is left to the user to install.
    originVerified = !updateKey.empty()
        || (IsHttpsAddress(Utf16ToUtf8(AppConfig::Instance().updateUrl))
            && IsHttpsAddress(Utf16ToUtf8(address)));

    task = DownloadTask {};
    task.progressContext = this;
    task.progressCallback = &UpdateDialog::ProgressCallback;
    task.localPath = Ansi(localPath);
    task.url = HttpClient::UrlEncode(AnsiToUtf8(Ansi(address)));

    // The size request runs on the worker too: a server that never answers must not freeze the window.
    startButton->SetEnabled(false);
    CreateParentFolder(task.localPath);
    // The earlier run has finished once the button is enabled again, so this returns at once.
    Stop(kStopTimeoutMs);
    auto run = std::make_shared<DownloadRun>();
    run->dialog = GetHWND();
    run->sizeUrl = Ansi(address);
    run->client = client;
    run->task = task;
    run->updateKey = updateKey;
    run->signature = updateInfo.signature;
    nextRun = run;
    if (Start() == 0)
        OnDownloadFinished(-1);
}

void UpdateDialog::Run()
{
    const std::shared_ptr<DownloadRun> run = nextRun;
    if (!run)
        return;
    run->stop = WakeEvent();
    run->task.progressContext = run.get();
    const std::shared_ptr<WorkerSignal> stop = run->stop;
    const int size = HttpClient::GetRemoteFileSize(
        run->sizeUrl, kSizeRequestSeconds, [stop] { return stop->IsSignalled(); });
    PostMessage(run->dialog, WM_UPDATE_SIZE_ANSWERED, static_cast<WPARAM>(size), 0);
    if (size <= 0 || stop->IsSignalled())
        return;
    run->task.expectedSize = size;
    int result = run->client.Download(run->task, kConnectTimeoutSeconds);
    // Before anything else sees the file: bytes the key's owner did not sign are never kept.
    if (result == 0 && !run->updateKey.empty()
        && !InstallerSignatureIsValid(run->updateKey, run->signature, run->task.localPath)) {
        std::error_code ignored;
        std::filesystem::remove(run->task.localPath, ignored);
        result = kInstallerRejected;
    }
    PostMessage(run->dialog, WM_UPDATE_DOWNLOAD_FINISHED, static_cast<WPARAM>(result), 0);
}

void UpdateDialog::OnSizeAnswered(int size)
{
    task.expectedSize = size;
    if (size > 0) {
        if (updateTip)
            updateTip->SetText(u"更新文件下载中，请稍候......");
        return;
    }
    const HWND self = GetHWND();
    const std::u16string address = startButton ? startButton->GetUserData() : std::u16string();
    MessageBoxDialog::Inform(self, u"提示", u"文件[" + address + u"]下载大小不正常！");
    if (IsWindow(self) && startButton)
        startButton->SetEnabled(true);
}

// Worker thread. A stop request aborts the transfer, so closing the dialog never waits
// for a slow server. Only changes of the percent are posted: a fast transfer reports
// thousands of times.
int UpdateDialog::ProgressCallback(void* context, double downloadTotal, double downloadNow, double, double)
{
    auto* run = static_cast<DownloadRun*>(context);
    if (!run)
        return 0;
    if (run->stop && run->stop->IsSignalled())
        return 1;
    const int percent = ProgressPercent(downloadTotal, downloadNow);
    if (percent >= 0 && percent != run->lastPercent) {
        run->lastPercent = percent;
        PostMessage(run->dialog, WM_UPDATE_PROGRESS, static_cast<WPARAM>(percent), 0);
    }
    return 0;
}

LRESULT UpdateDialog::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (msg == WM_UPDATE_PROGRESS) {
        OnProgress(static_cast<int>(wParam));
    } else if (msg == WM_UPDATE_SIZE_ANSWERED) {
        OnSizeAnswered(static_cast<int>(wParam));
    } else if (msg == WM_UPDATE_DOWNLOAD_FINISHED) {
        OnDownloadFinished(static_cast<int>(wParam));
    } else {
        return WindowImplBase::HandleCustomMessage(msg, wParam, lParam, bHandled);
    }
    bHandled = true;
    return 0;
}

void UpdateDialog::OnProgress(int percent)
{
    if (!progressStatus)
        return;
    progressStatus->SetValue(percent);
    progressStatus->SetText(Utf8ToUtf16(std::to_string(percent)) + u"%");
}

void UpdateDialog::OnDownloadFinished(int result)
{
    if (result == kInstallerRejected) {
        const std::u16string rejected = u"安装包校验失败，请稍后重试！";
        if (updateTip)
            updateTip->SetText(rejected);
        const HWND self = GetHWND();
        MessageBoxDialog::Inform(self, u"提示", rejected);
        if (IsWindow(self) && startButton)
            startButton->SetEnabled(true);
        return;
    }
    if (result != 0) {
        VersionNumber offered;
        offered.Parse(updateInfo.version);
        if (updateTip)
            updateTip->SetText(
                CurrentVersion().IsLessThan(offered) ? u"有新版本，快快更新啦！" : u"暂无更新，下次再来吧！");
        if (startButton)
            startButton->SetEnabled(true);
        return;
    }
    if (updateTip)
        updateTip->SetText(u"新版本下载成功！");
    if (startButton)
        startButton->SetEnabled(false);
    const HWND self = GetHWND();
    const std::u16string installer = localPath;
    const std::u16string signature = Ansi16(updateInfo.signature);
    if (!originVerified) {
        MessageBoxDialog::Inform(self, u"提示", u"安装包来源未经验证，请确认后手动安装！");
        if (IsWindow(self))
            OpenFolderAndSelect(installer);
        return;
    }
    MessageBoxDialog::Inform(self, u"提示", u"文件下载成功，点击确定将自动安装");
    // The dialog may have been closed under the message box; only locals from here on.
    if (!IsWindow(self))
        return;
    OpenFolderAndSelect(installer);
    MakeOwnerExecutable(Ansi(installer));
    LaunchUpdateInstaller(installer, signature);
    Close(kCloseAccepted);
}

LRESULT UpdateDialog::OnClose(UINT, WPARAM, LPARAM, bool& bHandled)
{
    Stop(kStopTimeoutMs);
    bHandled = false;
    return 0;
}

void UpdateDialog::OnFinalMessage(HWND hwnd)
{
    WindowImplBase::OnFinalMessage(hwnd);
    Stop(kStopTimeoutMs);
    delete this;
}
