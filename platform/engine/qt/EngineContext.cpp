#include "platform/engine/qt/EngineContext.h"

#include "platform/engine/qt/CookieJournal.h"
#include "platform/engine/qt/DownloadRequests.h"
#include "platform/engine/qt/EngineLocale.h"
#include "platform/engine/qt/NotificationPresenter.h"

#include <QCoreApplication>
#include <QDir>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

namespace platform::engine {

namespace qt {

    namespace {
        // Every folder it has to create is the user's alone (0700); one that exists is left as it is.
        bool MakePrivateFolder(const QString& path)
        {
            const QString absolute = QDir::cleanPath(QDir(path).absolutePath());
            QDir dir(QStringLiteral("/"));
            for (const QString& part : absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
                if (!dir.exists(part)
                    && !dir.mkdir(
                        part, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
                    return false;
                if (!dir.cd(part))
                    return false;
            }
            return true;
        }
    }

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
            if (!storagePath.empty())
                profile = CreateKeptProfile();
            if (!profile) {
                // No storage name: cookies and cache live in memory only, nothing is kept on disk.
                profile = new QWebEngineProfile(QCoreApplication::instance());
                profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
            }
            profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
            // The client keeps the answers, for as long as it means them to hold; an engine
            // that remembered them (on disk, for a kept profile) would grant without asking.
            profile->setPersistentPermissionsPolicy(
                QWebEngineProfile::PersistentPermissionsPolicy::AskEveryTime);
#endif
            ApplyCookieFilter();
            ApplyAcceptLanguage(profile);
            QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile, &HandleDownloadRequest);
            qt::NotificationPresenter::Attach(profile);
        }
        return profile;
    }

    // Cookies with an expiry and the pages' storage are kept; session cookies still end with the
    // session, as in a browser. The cache stays in memory: it is no part of staying signed in.
    QWebEngineProfile* EngineContext::CreateKeptProfile()
    {
        const QString folder = QString::fromStdString(storagePath);
        if (!MakePrivateFolder(folder))
            return nullptr;
        auto* kept = new QWebEngineProfile(QStringLiteral("zandrel"), QCoreApplication::instance());
        kept->setPersistentStoragePath(folder);
        kept->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
        new CookieJournal(kept->cookieStore(), QDir(folder).filePath(QStringLiteral("cookie-journal")), kept);
        return kept;
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
