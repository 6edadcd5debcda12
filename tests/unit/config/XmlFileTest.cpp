#include <filesystem>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ConfigTestFolder.h"
#include "config/XmlDocument.h"
#include "config/XmlTokenizer.h"

namespace {

std::u16string Decoded(const std::string& bytes, ConfigTestFolder& folder)
{
    const std::string file = folder.File("bytes.xml");
    ConfigTestFolder::Write(file, bytes);
    XmlDocument document;
    EXPECT_TRUE(document.LoadFile(file));
    return document.GetDocText();
}

TEST(XmlFile, DecodesUtf8Leniently)
{
    ConfigTestFolder folder;
    EXPECT_EQ(Decoded("a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80", folder), u"a\u00e9\u4e2d\U0001F600");
    EXPECT_EQ(Decoded("\xEF\xBB\xBFx", folder), u"\uFEFFx");
    EXPECT_EQ(Decoded("a\x80"
                      "b\xFF"
                      "c",
                  folder),
        u"a?b?c");
    EXPECT_EQ(Decoded("a\xC3z", folder), u"a?z");
    EXPECT_EQ(Decoded("a\xC0\xAF"
                      "b",
                  folder),
        u"a??b");
    EXPECT_EQ(Decoded("\xED\xA0\x80", folder), u"???");
    EXPECT_EQ(Decoded(std::string("ab\0cd", 5), folder), u"ab");
    EXPECT_EQ(Decoded("ab\xE4\xB8", folder), u"ab");
    // Long ASCII runs take a faster path that must stop at zero and non-ASCII bytes alike.
    EXPECT_EQ(Decoded(std::string("abcdefghij\0klmnopqr", 19), folder), u"abcdefghij");
    EXPECT_EQ(Decoded("abcdefg\xE4\xB8\xAD"
                      "abcdefgh\xFF",
                  folder),
        u"abcdefg\u4e2dabcdefgh?");
}

TEST(XmlFile, LoadReportsSizesAndParseResult)
{
    ConfigTestFolder folder;
    const std::string file = folder.File("c.xml");
    ConfigTestFolder::Write(file, "<r a=\"\xE4\xB8\xAD\"/>");
    XmlDocument document;
    ASSERT_TRUE(document.LoadFile(file));
    EXPECT_EQ(document.GetResult(), u"12 bytes to 10 wide chars");

    ConfigTestFolder::Write(file, "");
    ASSERT_TRUE(document.LoadFile(file));
    EXPECT_EQ(document.GetResult(), u"0 bytes to 0 wide chars, Empty document");
    EXPECT_EQ(document.Record(0).firstChild, 0);

    ConfigTestFolder::Write(file, "<a/><b/>");
    ASSERT_TRUE(document.LoadFile(file));
    EXPECT_EQ(document.GetResult(), u"8 bytes to 8 wide chars, Root element has sibling");
}

TEST(XmlFile, MissingFileKeepsThePreviousDocument)
{
    ConfigTestFolder folder;
    XmlDocument document;
    document.SetDocText(u"<keep/>");
    EXPECT_FALSE(document.LoadFile(folder.File("absent.xml")));
    EXPECT_EQ(document.GetResult(), u"No such file or directory");
    EXPECT_EQ(document.GetDocText(), u"<keep/>");
    EXPECT_TRUE(document.FindElement(u"keep"));
}

TEST(XmlFile, ChineseDocumentComesBackByteForByte)
{
    ConfigTestFolder folder;
    const std::string file = folder.File("config.xml");
    const std::string original
        = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<\xE9\x85\x8D\xE7\xBD\xAE>\r\n"
          "  <Channel url='\xE7\x9B\xB4\xE6\x92\xAD' "
          "title=\"\xE7\x9B\xB4\xE6\x92\xAD&amp;\xF0\x9F\x8E\xA4\"/>\r\n"
          "  <!-- \xE6\xB3\xA8\xE9\x87\x8A -->\r\n</\xE9\x85\x8D\xE7\xBD\xAE>\r\n";
    ConfigTestFolder::Write(file, original);
    XmlDocument document;
    ASSERT_TRUE(document.LoadFile(file));
    ASSERT_TRUE(document.FindChild(u"Channel"));
    const int channel = document.GetChild();
    ASSERT_TRUE(document.SetAttribute(channel, u"title", document.GetAttribute(channel, u"title")));
    ASSERT_TRUE(document.SaveFile(file));
    EXPECT_EQ(ConfigTestFolder::Read(file), original);
    const std::u16string sizes
        = u" wide chars to " + XmlFormat("%d", { static_cast<int>(original.size()) }) + u" bytes";
    EXPECT_EQ(document.GetResult().substr(document.GetResult().size() - sizes.size()), sizes);
}

TEST(XmlFile, SaveReportsSizesAndEncodesUnpairedSurrogatesAsQuestionMarks)
{
    ConfigTestFolder folder;
    const std::string file = folder.File("s.xml");
    XmlDocument document;
    document.SetDocText(std::u16string(u"<r a=\"") + char16_t(0xD800) + u"x" + char16_t(0xDC00)
        + u"\"/>\u4e2d" + char16_t(0xD83D));
    ASSERT_TRUE(document.SaveFile(file));
    EXPECT_EQ(ConfigTestFolder::Read(file), "<r a=\"?x?\"/>\xE4\xB8\xAD?");
    EXPECT_EQ(document.GetResult(), u"14 wide chars to 16 bytes");
}

TEST(XmlFile, FailedSaveLeavesTheOldFileAndNoTemporaryBehind)
{
    ConfigTestFolder folder;
    XmlDocument document;
    document.SetDocText(u"<new/>");

    // The target is a directory: the rename fails after the temporary file was written.
    const std::string directory = folder.File("config.xml");
    std::filesystem::create_directory(directory);
    ConfigTestFolder::Write(folder.File("config.xml/inside"), "old");
    EXPECT_FALSE(document.SaveFile(directory));
    EXPECT_FALSE(document.GetResult().empty());
    EXPECT_EQ(ConfigTestFolder::Read(folder.File("config.xml/inside")), "old");
    EXPECT_EQ(std::distance(
                  std::filesystem::directory_iterator(folder.path), std::filesystem::directory_iterator()),
        1);

    // The folder is gone.
    EXPECT_FALSE(document.SaveFile(folder.File("vanished/config.xml")));
    EXPECT_EQ(document.GetResult(), u"No such file or directory");
}

TEST(XmlFile, SaveReplacesTheLinkedFileAndKeepsItsPermissions)
{
    namespace fs = std::filesystem;
    ConfigTestFolder folder;
    const std::string real = folder.File("real.xml");
    const std::string link = folder.File("config.xml");
    ConfigTestFolder::Write(real, "<old/>");
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(real, mode);
    fs::create_symlink(real, link);
    XmlDocument document;
    document.SetDocText(u"<new/>");
    ASSERT_TRUE(document.SaveFile(link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ConfigTestFolder::Read(real), "<new/>");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, mode);
}

// Where no file can be added beside config.xml, the file itself is rewritten as it is.
TEST(XmlFile, SaveWithoutRoomForAReplacementWritesInPlace)
{
    namespace fs = std::filesystem;
    ConfigTestFolder folder;
    const std::string file = folder.File("config.xml");
    ConfigTestFolder::Write(file, "<old/>");
    XmlDocument document;
    document.SetDocText(u"<new/>");

    // The replacement's name is taken by a folder.
    fs::create_directory(folder.File("config.xml.saving"));
    ConfigTestFolder::Write(folder.File("config.xml.saving/kept"), "");
    ASSERT_TRUE(document.SaveFile(file));
    EXPECT_EQ(ConfigTestFolder::Read(file), "<new/>");
    fs::remove_all(folder.File("config.xml.saving"));

    // A read-only folder (not enforced for root).
    fs::permissions(folder.path, fs::perms::owner_read | fs::perms::owner_exec);
    if (std::FILE* probe = std::fopen(folder.File("probe").c_str(), "wb")) {
        std::fclose(probe);
        fs::permissions(folder.path, fs::perms::owner_all);
        return;
    }
    document.SetDocText(u"<newer/>");
    EXPECT_TRUE(document.SaveFile(file));
    fs::permissions(folder.path, fs::perms::owner_all);
    EXPECT_EQ(ConfigTestFolder::Read(file), "<newer/>");
}

TEST(XmlFile, SaveKeepsHardLinksAndTheOwner)
{
    namespace fs = std::filesystem;
    ConfigTestFolder folder;
    const std::string file = folder.File("config.xml");
    const std::string otherName = folder.File("shared.xml");
    ConfigTestFolder::Write(file, "<old/>");
    fs::create_hard_link(file, otherName);
    XmlDocument document;
    document.SetDocText(u"<new/>");
    ASSERT_TRUE(document.SaveFile(file));
    EXPECT_EQ(ConfigTestFolder::Read(otherName), "<new/>");
    EXPECT_EQ(fs::hard_link_count(file), 2u);

    const std::string owned = folder.File("owned.xml");
    ConfigTestFolder::Write(owned, "<old/>");
    constexpr uid_t kOtherUser = 4321;
    constexpr gid_t kOtherGroup = 4322;
    if (::chown(owned.c_str(), kOtherUser, kOtherGroup) != 0)
        return; // only root can give a file away
    ASSERT_TRUE(document.SaveFile(owned));
    struct stat status { };
    ASSERT_EQ(::stat(owned.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, kOtherUser);
    EXPECT_EQ(status.st_gid, kOtherGroup);
    EXPECT_EQ(ConfigTestFolder::Read(owned), "<new/>");
}

} // namespace
