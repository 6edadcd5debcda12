#include "platform/engine/qt/DownloadRequests.h"

#include "platform/engine/SaveLocation.h"
#include "platform/engine/qt/BrowserPage.h"
#include "platform/engine/qt/EngineCallbacks.h"
#include "platform/engine/qt/QtBrowser.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QWebEngineDownloadRequest>

namespace platform::engine {

namespace {
    SaveLocationChooser& Chooser()
    {
        static SaveLocationChooser chooser;
        return chooser;
    }

    std::string AskSaveLocation(const std::string& proposedPath)
    {
        if (Chooser())
            return Chooser()(proposedPath);
        return QFileDialog::getSaveFileName(
            QApplication::activeWindow(), QString(), QString::fromStdString(proposedPath))
            .toStdString();
    }

    // A copy of the request's state: the handler may keep it after the request has moved on.
    class DownloadItem final : public CefDownloadItem {
    public:
        explicit DownloadItem(QWebEngineDownloadRequest* request)
            : url(request->url().toString().toStdString())
            , suggestedName(request->suggestedFileName().toStdString())
            , mimeType(request->mimeType().toStdString())
            , state(request->state())
            , id(request->id())
            , receivedBytes(request->receivedBytes())
            , totalBytes(request->totalBytes())
        {
            if (state != QWebEngineDownloadRequest::DownloadRequested)
                fullPath
                    = QDir(request->downloadDirectory()).filePath(request->downloadFileName()).toStdString();
        }
        std::string GetURL() override { return url; }
        std::string GetSuggestedFileName() override { return suggestedName; }
        std::string GetMimeType() override { return mimeType; }
        unsigned int GetId() override { return id; }
        bool IsInProgress() override { return state == QWebEngineDownloadRequest::DownloadInProgress; }
        bool IsComplete() override { return state == QWebEngineDownloadRequest::DownloadCompleted; }
        bool IsCanceled() override { return state == QWebEngineDownloadRequest::DownloadCancelled; }
        bool IsInterrupted() override { return state == QWebEngineDownloadRequest::DownloadInterrupted; }
        int64_t GetReceivedBytes() override { return receivedBytes; }
        int64_t GetTotalBytes() override { return totalBytes; }
        std::string GetFullPath() override { return fullPath; }

    private:
        std::string url;
        std::string suggestedName;
        std::string mimeType;
        QWebEngineDownloadRequest::DownloadState state;
        unsigned int id;
        int64_t receivedBytes;
        int64_t totalBytes;
        std::string fullPath;
        IMPLEMENT_REFCOUNTING(DownloadItem);
    };

    class CancelCallback final : public CefDownloadItemCallback {
    public:
        explicit CancelCallback(QWebEngineDownloadRequest* request)
            : request(request)
        {
        }
        void Cancel() override
        {
            if (request && !request->isFinished())
                request->cancel();
        }

    private:
        // The profile owns the request and may delete it first.
        QPointer<QWebEngineDownloadRequest> request;
        IMPLEMENT_REFCOUNTING(CancelCallback);
    };

    void ReportProgress(QWebEngineDownloadRequest* request, CefRefPtr<CefBrowser> browser,
        CefRefPtr<CefDownloadHandler> handler)
    {
        CefRefPtr<CefDownloadItemCallback> callback(new CancelCallback(request));
        auto report = [request, browser, handler, callback] {
            handler->OnDownloadUpdated(browser, new DownloadItem(request), callback);
        };
        QObject::connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, request, report);
        QObject::connect(request, &QWebEngineDownloadRequest::totalBytesChanged, request, report);
        QObject::connect(request, &QWebEngineDownloadRequest::stateChanged, request, report);
        // The state after accept() is already in progress; the first report shows the row at once.
        report();
    }
}

void SetSaveLocationChooser(SaveLocationChooser chooser) { Chooser() = std::move(chooser); }

namespace qt {

    // A download must be accepted before the signal returns, or the engine drops it.
    void HandleDownloadRequest(QWebEngineDownloadRequest* request)
    {
        auto* page = qobject_cast<BrowserPage*>(request->page());
        auto handler = page ? page->Browser()->GetClient()->GetDownloadHandler() : nullptr;
        if (!handler) {
            request->cancel();
            return;
        }
        CefRefPtr<CefBrowser> browser(page->Browser());
        CefRefPtr<DownloadCallback> callback(new DownloadCallback);
        handler->OnBeforeDownload(
            browser, new DownloadItem(request), request->suggestedFileName().toStdU16String(), callback);
        if (!callback->continued) {
            request->cancel();
            return;
        }
        std::string path = callback->downloadPath;
        if (path.empty())
            path = QDir(request->downloadDirectory()).filePath(request->downloadFileName()).toStdString();
        if (callback->showDialog)
            path = AskSaveLocation(path);
        if (path.empty()) {
            request->cancel();
            return;
        }
        const QFileInfo target(QString::fromStdString(path));
        QDir().mkpath(target.absolutePath());
        request->setDownloadDirectory(target.absolutePath());
        request->setDownloadFileName(target.fileName());
        request->accept();
        ReportProgress(request, browser, handler);
    }

} // namespace qt
} // namespace platform::engine
