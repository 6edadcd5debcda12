#pragma once

#include <QNetworkCookie>
#include <QObject>
#include <QString>
#include <vector>

class QWebEngineCookieStore;

namespace platform::engine::qt {

// A kept profile's persistent cookies, written to a file of our own as soon as they change.
// The engine commits its cookie database only every half minute or so, so a process killed
// in between would forget a login it had just made; on the next start the journal puts back
// whatever the database lacks. Session cookies are left to the session. GUI thread only.
class CookieJournal : public QObject {
public:
    CookieJournal(QWebEngineCookieStore* store, QString filePath, QObject* parent);

    // Cookies of a journal text that are still valid at now (ms since the epoch); for tests too.
    static std::vector<QNetworkCookie> Parse(const QByteArray& text, qint64 now);
    static QByteArray Serialise(const std::vector<QNetworkCookie>& cookies);

private:
    void Restore();
    void OnAdded(const QNetworkCookie& cookie);
    void OnRemoved(const QNetworkCookie& cookie);
    void ScheduleWrite();
    void Write();

    QWebEngineCookieStore* store;
    QString filePath;
    std::vector<QNetworkCookie> cookies;
    bool writePending = false;
};

} // namespace platform::engine::qt
