#include "platform/engine/CefResource.h"

#include <QUrl>

namespace platform::engine {

bool CefParseURL(const std::string& url, CefURLParts& parts)
{
    const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
    if (!parsed.isValid() || parsed.scheme().isEmpty())
        return false;
    parts = CefURLParts();
    parts.fullUrl = parsed.toString(QUrl::FullyEncoded).toStdString();
    parts.scheme = parsed.scheme().toStdString();
    parts.username = parsed.userName(QUrl::FullyEncoded).toStdString();
    parts.password = parsed.password(QUrl::FullyEncoded).toStdString();
    parts.host = parsed.host(QUrl::FullyEncoded).toStdString();
    if (parsed.port() >= 0)
        parts.port = std::to_string(parsed.port());
    parts.origin
        = parsed.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)
              .toString(QUrl::FullyEncoded)
              .toStdString();
    parts.path = parsed.path(QUrl::FullyEncoded).toStdString();
    parts.query = parsed.query(QUrl::FullyEncoded).toStdString();
    return true;
}

} // namespace platform::engine
