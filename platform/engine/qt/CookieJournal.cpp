#include "platform/engine/qt/CookieJournal.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>
#include <QWebEngineCookieStore>
#include <algorithm>

namespace platform::engine::qt {

namespace {
    bool Kept(const QNetworkCookie& cookie, qint64 now)
    {
        return !cookie.isSessionCookie() && cookie.expirationDate().toMSecsSinceEpoch() > now;
    }

    // The address a cookie is given back under: its own host, over https when it is secure.
    QUrl OriginOf(const QNetworkCookie& cookie)
    {
        QString host = cookie.domain();
        if (host.startsWith(QLatin1Char('.')))
            host.remove(0, 1);
        QUrl origin;
        origin.setScheme(cookie.isSecure() ? QStringLiteral("https") : QStringLiteral("http"));
        origin.setHost(host);
        return origin;
    }
}

CookieJournal::CookieJournal(QWebEngineCookieStore* store, QString filePath, QObject* parent)
    : QObject(parent)
    , store(store)
    , filePath(std::move(filePath))
{
    Restore();
    connect(store, &QWebEngineCookieStore::cookieAdded, this, &CookieJournal::OnAdded);
    connect(store, &QWebEngineCookieStore::cookieRemoved, this, &CookieJournal::OnRemoved);
    // Reports the database's own cookies too, so that the journal holds them all.
    store->loadAllCookies();
}

// One cookie a line, each in its Set-Cookie form, base64 so that no value can break a line.
std::vector<QNetworkCookie> CookieJournal::Parse(const QByteArray& text, qint64 now)
{
    std::vector<QNetworkCookie> parsed;
    for (const QByteArray& line : text.split('\n')) {
        const auto decoded
            = QByteArray::fromBase64Encoding(line.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded || decoded.decoded.isEmpty())
            continue;
        const QList<QNetworkCookie> cookies = QNetworkCookie::parseCookies(decoded.decoded);
        // A line holds exactly one cookie; anything else is not ours.
        if (cookies.size() == 1 && Kept(cookies.front(), now) && !cookies.front().domain().isEmpty())
            parsed.push_back(cookies.front());
    }
    return parsed;
}

QByteArray CookieJournal::Serialise(const std::vector<QNetworkCookie>& cookies)
{
    QByteArray text;
    for (const auto& cookie : cookies)
        text += cookie.toRawForm(QNetworkCookie::Full).toBase64() + '\n';
    return text;
}

void CookieJournal::Restore()
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // A journal is a few kilobytes; anything far larger was not written by us.
    constexpr qint64 kMaxJournalBytes = qint64(16) * 1024 * 1024;
    if (file.size() > kMaxJournalBytes)
        return;
    for (const auto& cookie : Parse(file.readAll(), QDateTime::currentMSecsSinceEpoch()))
        store->setCookie(cookie, OriginOf(cookie));
}

void CookieJournal::OnAdded(const QNetworkCookie& cookie)
{
    auto same = std::find_if(cookies.begin(), cookies.end(),
        [&](const QNetworkCookie& known) { return known.hasSameIdentifier(cookie); });
    const bool kept = Kept(cookie, QDateTime::currentMSecsSinceEpoch());
    if (same != cookies.end()) {
        if (kept && same->toRawForm() == cookie.toRawForm())
            return;
        cookies.erase(same);
    }
    if (kept)
        cookies.push_back(cookie);
    ScheduleWrite();
}

void CookieJournal::OnRemoved(const QNetworkCookie& cookie)
{
    auto same = std::find_if(cookies.begin(), cookies.end(),
        [&](const QNetworkCookie& known) { return known.hasSameIdentifier(cookie); });
    if (same == cookies.end())
        return;
    cookies.erase(same);
    ScheduleWrite();
}

// The changes of one burst (a page setting several cookies) are written together, at once after it.
void CookieJournal::ScheduleWrite()
{
    if (writePending)
        return;
    writePending = true;
    QTimer::singleShot(0, this, &CookieJournal::Write);
}

void CookieJournal::Write()
{
    writePending = false;
    // Written aside and renamed over the old one: a kill mid-write leaves the previous journal.
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(Serialise(cookies));
    file.commit();
}

} // namespace platform::engine::qt
