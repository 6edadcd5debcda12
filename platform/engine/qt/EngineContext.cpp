#include "platform/engine/qt/EngineContext.h"

#include "platform/engine/qt/DownloadRequests.h"

#include <QCoreApplication>
#include <QWebEngineCookieStore>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

namespace platform::engine {

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
            QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile, &HandleDownloadRequest);
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
