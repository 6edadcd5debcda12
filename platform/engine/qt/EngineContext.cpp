#include "platform/engine/qt/EngineContext.h"

#include "platform/engine/SaveLocation.h"
#include "platform/engine/qt/BrowserPage.h"
#include "platform/engine/qt/EngineCallbacks.h"
#include "platform/engine/qt/EngineLocale.h"
#include "platform/engine/qt/QtBrowser.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

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

    class DownloadItem final : public CefDownloadItem {
    public:
        explicit DownloadItem(QWebEngineDownloadRequest* request)
            : url(request->url().toString().toStdString())
            , suggestedName(request->suggestedFileName().toStdString())
            , mimeType(request->mimeType().toStdString())
        {
        }
        std::string GetURL() override { return url; }
        std::string GetSuggestedFileName() override { return suggestedName; }
        std::string GetMimeType() override { return mimeType; }

    private:
        std::string url;
        std::string suggestedName;
        std::string mimeType;
        IMPLEMENT_REFCOUNTING(DownloadItem);
    };

    // A download must be accepted before the signal returns, or the engine drops it.
    void HandleDownload(QWebEngineDownloadRequest* request)
    {
        auto* page = qobject_cast<qt::BrowserPage*>(request->page());
        auto handler = page ? page->Browser()->GetClient()->GetDownloadHandler() : nullptr;
        if (!handler) {
            request->cancel();
            return;
        }
        CefRefPtr<qt::DownloadCallback> callback(new qt::DownloadCallback);
        handler->OnBeforeDownload(page->Browser(), new DownloadItem(request),
            request->suggestedFileName().toStdU16String(), callback);
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
    }
}

void SetSaveLocationChooser(SaveLocationChooser chooser) { Chooser() = std::move(chooser); }

namespace qt {

    EngineContext& EngineContext::Instance()
    {
        static EngineContext context;
        return context;
    }

    void EngineContext::SetArguments(int argc, char** argv)
    {
        arguments.clear();
        for (int i = 0; i < argc && argv && argv[i]; ++i)
            arguments.emplace_back(argv[i]);
    }

    QWebEngineProfile* EngineContext::Profile()
    {
        if (!profile) {
            // No storage name: cookies and cache live in memory only, nothing is kept on disk.
            profile = new QWebEngineProfile(QCoreApplication::instance());
            profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
            profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
            ApplyCookieFilter();
            ApplyAcceptLanguage(profile);
            QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile, &HandleDownload);
        }
        return profile;
    }

    void EngineContext::ReleaseProfile()
    {
        delete profile;
        profile = nullptr;
    }

    void EngineContext::SetCookieSchemes(const std::vector<std::string>& schemes)
    {
        cookieSchemes = schemes;
        if (profile)
            ApplyCookieFilter();
    }

    void EngineContext::ApplyCookieFilter()
    {
        QStringList allowed;
        for (const auto& scheme : cookieSchemes)
            allowed << QString::fromStdString(scheme).toLower();
        // The filter runs on the engine's IO thread: it keeps its own copy of the list.
        profile->cookieStore()->setCookieFilter(
            [allowed](const QWebEngineCookieStore::FilterRequest& request) {
                return allowed.contains(request.origin.scheme().toLower());
            });
    }

} // namespace qt
} // namespace platform::engine
