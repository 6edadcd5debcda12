#include "platform/engine/qt/CookieJournal.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

using platform::engine::qt::CookieJournal;

QNetworkCookie Cookie(const char* name, qint64 expiresAt, const char* domain = "127.0.0.1")
{
    QNetworkCookie cookie(name, "token=abc/+==");
    cookie.setDomain(domain);
    cookie.setPath("/");
    if (expiresAt)
        cookie.setExpirationDate(QDateTime::fromMSecsSinceEpoch(expiresAt));
    return cookie;
}

// The journal is read back at every start: whatever the file holds, only cookies that are
// still valid, one per line, come back, and nothing else does.
TEST(CookieJournalTest, ReadsBackOnlyValidKeptCookies)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 tomorrow = now + 86400000;
    QByteArray text = CookieJournal::Serialise({ Cookie("kept", tomorrow), Cookie("expired", now - 1000),
        Cookie("session", 0), Cookie("nodomain", tomorrow, "") });
    text += "not base64 at all!\n";
    text += QByteArray("a=1; b=2").toBase64() + "\n";
    text += QByteArray("a=1\nb=2").toBase64() + "\n";
    text += "\n\n" + QByteArray(100000, 'A') + "\n";
    text.append('\0');

    const auto cookies = CookieJournal::Parse(text, now);
    ASSERT_EQ(cookies.size(), 1u);
    EXPECT_EQ(cookies.front().name(), "kept");
    EXPECT_EQ(cookies.front().value(), Cookie("kept", tomorrow).value());
    EXPECT_EQ(cookies.front().domain(), "127.0.0.1");
    EXPECT_EQ(cookies.front().expirationDate().toSecsSinceEpoch(), tomorrow / 1000);
}

} // namespace
