#include "browser/ConsoleLog.h"

#include <QTemporaryDir>
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
