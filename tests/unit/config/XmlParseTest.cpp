#include <gtest/gtest.h>

#include "XmlIndexCheck.h"
#include "config/XmlDocument.h"

namespace {

struct MessageCase {
    const char16_t* text;
    const char16_t* result;
};

class XmlParseMessages : public testing::TestWithParam<MessageCase> { };

TEST_P(XmlParseMessages, FirstProblemIsReportedWithItsOffset)
{
    XmlDocument document;
    document.SetDocText(GetParam().text);
    EXPECT_EQ(document.GetResult(), GetParam().result);
    EXPECT_FALSE(document.IsWellFormed());
    EXPECT_EQ(CheckXmlIndex(document), "");
}

INSTANTIATE_TEST_SUITE_P(Tokenizer, XmlParseMessages,
    testing::Values(MessageCase { u"<r><!-x></r>", u"Incorrect comment tag at offset 3" },
        MessageCase { u"<r><![X[a]]></r>", u"Incorrect tag at offset 3" },
        MessageCase { u"<r><!Q></r>", u"Incorrect ! tag at offset 3" },
        MessageCase { u"<r>< a></r>", u"Incorrect tag name character at offset 3" },
        MessageCase { u"<r>a<1></r>", u"Incorrect tag name character at offset 4" },
        MessageCase { u"<r><a x='>", u"Element tag at offset 3 unterminated" },
        MessageCase { u"<r></r", u"Element end tag at offset 3 unterminated" },
        MessageCase { u"<r><![CDATA[x", u"CDATA Section at offset 3 unterminated" },
        MessageCase { u"<r><?pi x", u"Processing instruction at offset 3 unterminated" },
        MessageCase { u"<r><!-- x -", u"Comment at offset 3 unterminated" },
        MessageCase { u"<!DOCTYPE r [<!ENTITY e 'x'>", u"No root element" },
        MessageCase { u"<r><!ELEMENT r", u"tag at offset 3 unterminated" },
        MessageCase { u"<r><a></b></r>", u"No start tag for end tag 'b' at offset 6" },
        MessageCase { u"<r><a><b></r>", u"End tag 'r' at offset 9 does not match start tag 'b' at offset 6" },
        MessageCase { u" <r x='1'>", u"Element 'r' at offset 1 not ended" }));

TEST(XmlParse, WellFormedDocumentsWithEveryNodeKind)
{
    XmlDocument document;
    document.SetDocText(u"<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ELEMENT r ANY><!ATTLIST r a CDATA '>'>]>"
                        u"<!-- c --><r a=\"x>y\" b='<'><![CDATA[<no/>]]><?pi?>text<e/><f></f></r>\n");
    EXPECT_TRUE(document.IsWellFormed());
    EXPECT_EQ(document.GetResult(), u"");
    EXPECT_EQ(document.ElementCount(), 4);
    EXPECT_EQ(CheckXmlIndex(document), "");
}

TEST(XmlParse, StructuralMessagesReplaceEarlierOnes)
{
    XmlDocument document;
    document.SetDocText(nullptr);
    EXPECT_EQ(document.GetResult(), u"Empty document");
    document.SetDocText(u"just text <1>");
    EXPECT_EQ(document.GetResult(), u"No root element");
    document.SetDocText(u"<a></b><c/>");
    EXPECT_EQ(document.GetResult(), u"Root element has sibling");
}

TEST(XmlParse, RecordsHoldOffsetsLengthsAndTagLengths)
{
    XmlDocument document;
    document.SetDocText(u"<r>\n <a x='1'>t</a  >\n <b/>\n</r>");
    ASSERT_EQ(document.ElementCount(), 4);
    const XmlElementRecord& a = document.Record(2);
    EXPECT_EQ(a.start, 5);
    EXPECT_EQ(document.StartTagLength(2), 9);
    EXPECT_EQ(a.StoredEndTagLength(), 6u);
    EXPECT_EQ(a.length, 16);
    EXPECT_EQ(a.Level(), 2u);
    const XmlElementRecord& b = document.Record(3);
    EXPECT_EQ(b.StoredEndTagLength(), 0u);
    EXPECT_EQ(b.length, 4);
    EXPECT_EQ(document.Record(1).length, static_cast<int>(document.GetDocText().size()));
    EXPECT_EQ(document.Record(document.Record(1).firstChild).previousSibling, 3);
}

TEST(XmlParse, EmptyElementNeedsSpaceQuoteOrNameBeforeSlash)
{
    XmlDocument document;
    document.SetDocText(u"<r><a/><b x='1'/><c x=1/></c></r>");
    EXPECT_TRUE(document.IsWellFormed())
        << std::string(document.GetResult().begin(), document.GetResult().end());
    EXPECT_EQ(document.Record(4).length, 12); // <c x=1/> is a start tag, ended by </c>
}

TEST(XmlParse, MismatchedEndTagClosesInnerElementsAndMovesTheirChildrenUp)
{
    XmlDocument document;
    document.SetDocText(u"<root><a><x/><y/></root>");
    ASSERT_EQ(document.ElementCount(), 5);
    const XmlElementRecord& a = document.Record(2);
    EXPECT_TRUE(a.Has(XmlElementRecord::kNotEnded));
    EXPECT_EQ(a.firstChild, 0);
    EXPECT_EQ(a.length, 3);
    EXPECT_EQ(a.nextSibling, 3);
    EXPECT_EQ(document.Record(3).parent, 1);
    EXPECT_EQ(document.Record(4).parent, 1);
    EXPECT_EQ(document.Record(document.Record(1).firstChild).previousSibling, 4);
    EXPECT_EQ(CheckXmlIndex(document), "");
    document.Rewind();
    EXPECT_TRUE(document.FindChild(u"y"));
}

TEST(XmlParse, UnendedElementsAtTheEndAreFlattenedInTextOrder)
{
    XmlDocument document;
    document.SetDocText(u"<r><x/><a><y/><b><z/>");
    EXPECT_EQ(document.GetResult(), u"Root element has sibling");
    std::vector<int> topLevel;
    for (int e = document.Record(0).firstChild; e != 0; e = document.Record(e).nextSibling)
        topLevel.push_back(e);
    EXPECT_EQ(topLevel, (std::vector<int> { 1, 2, 3, 4, 5, 6 }));
    EXPECT_EQ(CheckXmlIndex(document), "");
}

TEST(XmlParse, DeepNestingAndManyElementsGrowTheIndex)
{
    std::u16string text;
    for (int i = 0; i < 100000; ++i)
        text += u"<a>";
    for (int i = 0; i < 100000; ++i)
        text += u"</a>";
    text = u"<r>" + text + std::u16string(70000, u' ');
    for (int i = 0; i < 70000; ++i)
        text += u"<e/>";
    text += u"</r>";
    XmlDocument document;
    document.SetDocText(text);
    EXPECT_TRUE(document.IsWellFormed());
    EXPECT_EQ(document.ElementCount(), 170002);
    EXPECT_GE(document.Index().SegmentCount(), 3);
    EXPECT_EQ(document.Record(100001).Level(), XmlElementRecord::kLevelMask);
    EXPECT_EQ(CheckXmlIndex(document), "");
}

TEST(XmlParse, CaseInsensitiveFlagAppliesToEndTags)
{
    XmlDocument document;
    document.SetDocText(u"<R><A></a></r>");
    EXPECT_FALSE(document.IsWellFormed());
    document.SetFlags(XmlDocument::kIgnoreCase);
    document.SetDocText(u"<R><A></a></r>");
    EXPECT_TRUE(document.IsWellFormed());
}

} // namespace
