#include "browser/ConsoleLog.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

std::string ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

} // namespace

TEST(ConsoleLog, RecordBytesAreExactAndUtf8)
{
    EXPECT_EQ(ConsoleLog::Record(u"M", u"S", 3),
        "Message: M\r\nSource: S\r\nLine: 3\r\n-----------------------\r\n");
    EXPECT_EQ(ConsoleLog::Record(u"你好", u"http://x/a.js", -1),
        "Message: \xe4\xbd\xa0\xe5\xa5\xbd\r\nSource: http://x/a.js\r\nLine: "
        "-1\r\n-----------------------\r\n");
    // A page's line breaks cannot make up records of their own.
    EXPECT_EQ(ConsoleLog::Record(u"a\r\nLine: 9\r\n-----------------------\r\nMessage: b", u"s\n", 1),
        "Message: a  Line: 9  -----------------------  Message: b\r\nSource: s \r\nLine: "
        "1\r\n-----------------------\r\n");
    EXPECT_EQ(ConsoleLog::DefaultPath().substr(ConsoleLog::DefaultPath().size() - 12), "/console.log");
}

TEST(ConsoleLog, AppendsWithoutTruncatingAndRecoversAfterAFailure)
{
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/console.log";
    const std::string missing = folder.path().toStdString() + "/gone/console.log";
    const std::string first = ConsoleLog::Record(u"one", u"a", 1);
    const std::string second = ConsoleLog::Record(u"two", u"b", 2);

    ASSERT_TRUE(ConsoleLog::Append(path, first));
    EXPECT_FALSE(ConsoleLog::Append(missing, second));
    ASSERT_TRUE(ConsoleLog::Append(path, second));
    EXPECT_EQ(ReadBytes(path), first + second);
}

TEST(ConsoleLog, StartsOverPastTheLimitKeepingThePreviousLog)
{
    QTemporaryDir folder;
    const std::string path = folder.path().toStdString() + "/console.log";
    const std::string record = ConsoleLog::Record(std::u16string(size_t(64) * 1024, u'x'), u"a", 1);
    size_t total = 0;
    while (total < size_t(12) * 1024 * 1024) {
        ASSERT_TRUE(ConsoleLog::Append(path, record));
        total += record.size();
    }
    const std::string current = ReadBytes(path);
    const std::string previous = ReadBytes(path + ".1");
    EXPECT_LE(current.size(), ConsoleLog::kMaxBytes);
    EXPECT_LE(previous.size(), ConsoleLog::kMaxBytes);
    EXPECT_EQ(current.size() + previous.size(), total);
    EXPECT_EQ(previous.substr(0, record.size()), record);

    // A record larger than the limit still leaves the log within it.
    ASSERT_TRUE(ConsoleLog::Append(
        path, ConsoleLog::Record(std::u16string(size_t(11) * 1024 * 1024, u'y'), u"b", 2)));
    EXPECT_LE(ReadBytes(path).size(), ConsoleLog::kMaxBytes);
}

TEST(ConsoleLog, AnUnwritableProgramFolderSendsTheLogToTheStateFolderForTheRun)
{
    QTemporaryDir state;
    const std::string fallback = state.path().toStdString() + "/console.log";
    // Not even root may write here, as an installed program's folder is not its user's to write.
    std::string path = "/proc/self/console.log";
    const std::string first = ConsoleLog::Record(u"one", u"a", 1);
    const std::string second = ConsoleLog::Record(u"two", u"b", 2);

    ASSERT_TRUE(ConsoleLog::AppendOrFallBack(path, first, fallback));
    EXPECT_EQ(path, fallback);
    ASSERT_TRUE(ConsoleLog::AppendOrFallBack(path, second, fallback));
    EXPECT_EQ(ReadBytes(fallback), first + second);

    std::string nowhere = "/proc/self/console.log";
    EXPECT_FALSE(ConsoleLog::AppendOrFallBack(nowhere, first, ""));
    EXPECT_FALSE(ConsoleLog::AppendOrFallBack(nowhere, first, "/proc/self/other.log"));
    EXPECT_EQ(nowhere, "/proc/self/console.log");
    // The state folder the program makes for it is the user's alone.
    const char* stateHome = std::getenv("XDG_STATE_HOME");
    ASSERT_NE(stateHome, nullptr);
    EXPECT_EQ(ConsoleLog::FallbackPath().substr(0, std::strlen(stateHome)), stateHome);
    EXPECT_EQ(QFile::permissions(QFileInfo(QString::fromStdString(ConsoleLog::FallbackPath())).path())
            & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteOther),
        QFileDevice::Permissions());
}
