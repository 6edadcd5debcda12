#include <gtest/gtest.h>

#include "config/XmlDocument.h"

namespace {

const char16_t* const kConfigLike = u"<?xml version=\"1.0\"?>\n"
                                    u"<config>\n"
                                    u"  <ChannelX url=\"wrong\"/>\n"
                                    u"  <Channel url=\"right\" remote='1'><Inner a=\"1\"/></Channel>\n"
                                    u"  <Update url=\"u\"/>\n"
                                    u"  <Update url=\"second\"/>\n"
                                    u"</config>";

TEST(XmlNavigation, FindChildMatchesWholeNamesOnly)
{
    XmlDocument document;
    document.SetDocText(kConfigLike);
    ASSERT_TRUE(document.FindChild(u"Channel"));
    EXPECT_EQ(document.ElementName(document.GetChild()), u"Channel");
    EXPECT_EQ(document.GetCurrent(), 1);
    EXPECT_EQ(document.GetParent(), 0);
    ASSERT_TRUE(document.EnterChild());
    EXPECT_EQ(document.GetAttribute(document.GetCurrent(), u"url"), u"right");

    document.Rewind();
    EXPECT_FALSE(document.FindChild(u"Chan"));
    document.Rewind();
    EXPECT_TRUE(document.FindChild(u"Update[2]"));
    document.Rewind();
    EXPECT_FALSE(document.FindChild(u"channel"));
    document.SetFlags(XmlDocument::kIgnoreCase);
    document.Rewind();
    EXPECT_TRUE(document.FindChild(u"channel"));
}

TEST(XmlNavigation, FirstOfTwoSameNamedElementsCountsAndSearchContinuesAfterIt)
{
    XmlDocument document;
    document.SetDocText(kConfigLike);
    ASSERT_TRUE(document.FindChild(u"Update"));
    const int first = document.GetChild();
    EXPECT_EQ(document.GetAttribute(first, u"url"), u"u");
    ASSERT_TRUE(document.FindChild(u"Update"));
    EXPECT_EQ(document.GetAttribute(document.GetChild(), u"url"), u"second");
    EXPECT_FALSE(document.FindChild(u"Update"));
    EXPECT_NE(document.GetChild(), first);
}

TEST(XmlNavigation, EnterAndLeaveWalkTheTree)
{
    XmlDocument document;
    document.SetDocText(kConfigLike);
    EXPECT_FALSE(document.EnterChild());
    EXPECT_FALSE(document.LeaveElement());
    ASSERT_TRUE(document.FindChild(u"Channel"));
    ASSERT_TRUE(document.EnterChild());
    ASSERT_TRUE(document.FindChild(u"Inner"));
    ASSERT_TRUE(document.EnterChild());
    EXPECT_EQ(document.GetAttribute(document.GetCurrent(), u"a"), u"1");
    ASSERT_TRUE(document.LeaveElement());
    EXPECT_EQ(document.ElementName(document.GetCurrent()), u"Channel");
    ASSERT_TRUE(document.LeaveElement());
    EXPECT_EQ(document.ElementName(document.GetCurrent()), u"config");
    EXPECT_FALSE(document.LeaveElement());
    EXPECT_TRUE(document.FindChild(u"Update"));
}

TEST(XmlNavigation, TwoTopLevelElementsStillExposeTheFirstRootsChildren)
{
    XmlDocument document;
    document.SetDocText(u"<a><Channel/></a><b><Update/></b>");
    EXPECT_EQ(document.GetResult(), u"Root element has sibling");
    EXPECT_TRUE(document.FindChild(u"Channel"));
    document.Rewind();
    EXPECT_FALSE(document.FindChild(u"Update"));
}

TEST(XmlNavigation, EmptyOrUnparsableDocumentFindsNothing)
{
    XmlDocument document;
    document.SetDocText(nullptr);
    EXPECT_FALSE(document.FindChild(u"Channel"));
    EXPECT_EQ(document.GetAttribute(document.GetCurrent(), u"url"), u"");
    EXPECT_FALSE(document.SetAttribute(document.GetCurrent(), u"url", u"x"));
    EXPECT_FALSE(document.SetAttribute(99, u"url", u"x"));
    EXPECT_EQ(document.GetAttribute(-1, u"url"), u"");
}

} // namespace
