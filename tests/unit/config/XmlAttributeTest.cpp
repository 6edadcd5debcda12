#include <gtest/gtest.h>

#include "XmlIndexCheck.h"
#include "config/XmlDocument.h"

namespace {

// The element named name anywhere below the root (depth-first over records).
int ElementNamed(const XmlDocument& document, const std::u16string& name)
{
    for (int e = 1; e < document.ElementCount(); ++e) {
        if (document.ElementName(e) == name)
            return e;
    }
    return 0;
}

// The patched index must equal the one a fresh parse of the edited text builds.
void ExpectIndexMatchesReparse(const XmlDocument& edited)
{
    ASSERT_EQ(CheckXmlIndex(edited), "");
    XmlDocument fresh;
    fresh.SetDocText(edited.GetDocText());
    ASSERT_EQ(fresh.ElementCount(), edited.ElementCount());
    for (int e = 0; e < fresh.ElementCount(); ++e) {
        EXPECT_EQ(fresh.Record(e).start, edited.Record(e).start) << e;
        EXPECT_EQ(fresh.Record(e).length, edited.Record(e).length) << e;
        EXPECT_EQ(fresh.Record(e).tagLengths, edited.Record(e).tagLengths) << e;
    }
}

struct ReadCase {
    const char16_t* tag;
    const char16_t* value;
};

class XmlAttributeRead : public testing::TestWithParam<ReadCase> { };

TEST_P(XmlAttributeRead, DecodesValues)
{
    XmlDocument document;
    document.SetDocText(std::u16string(u"<r>") + GetParam().tag + u"</r>");
    EXPECT_EQ(document.GetAttribute(2, u"v"), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Values, XmlAttributeRead,
    testing::Values(ReadCase { u"<e v=\"plain\"/>", u"plain" },
        ReadCase { u"<e v='single \"q\"'/>", u"single \"q\"" },
        ReadCase { u"<e v=unquoted w=2/>", u"unquoted" }, ReadCase { u"<e  v = \"spaced\" />", u"spaced" },
        ReadCase { u"<e vv=\"no\" v=\"yes\"/>", u"yes" }, ReadCase { u"<e v/>", u"" },
        ReadCase { u"<e v=\"&lt;&amp;&gt;&apos;&quot;\"/>", u"<&>'\"" },
        ReadCase { u"<e v=\"&#65;&#x41;&#x6c34;\"/>", u"AA\u6c34" },
        ReadCase { u"<e v=\"a&b &unknown; &#; &#xZ1;\"/>", u"a&b &unknown; &#; &#xZ1;" },
        // A reference to 0 or beyond one UTF-16 unit stays literal text.
        ReadCase { u"<e v=\"&#0;&#x0;&#x10000;&#1114111;\"/>", u"&#0;&#x0;&#x10000;&#1114111;" },
        ReadCase { u"<e v=\"&#00000065;\"/>", u"&#00000065;" }, ReadCase { u"<e v=\"x>y\"/>", u"x>y" }));

TEST(XmlAttributeWrite, ReplacesInPlaceWithDoubleQuotesAndAppendsMissingOnes)
{
    XmlDocument document;
    document.SetDocText(
        u"<config>\n<Notify powerboot='01' url=x time=\"5\">text</Notify>\n<Account/>\n<P ?>\n</config>");
    const int notify = ElementNamed(document, u"Notify");
    ASSERT_TRUE(document.SetAttribute(notify, u"powerboot", u"1"));
    ASSERT_TRUE(document.SetAttribute(notify, u"url", u"http://a/?b=1&c=2"));
    ASSERT_TRUE(document.SetAttribute(notify, u"test", u"0"));
    ASSERT_TRUE(document.SetAttribute(ElementNamed(document, u"Account"), u"regurl", u""));
    ASSERT_TRUE(document.SetAttribute(ElementNamed(document, u"P"), u"k", u"v"));
    EXPECT_EQ(document.GetDocText(),
        u"<config>\n<Notify powerboot=\"1\" url=\"http://a/?b=1&amp;c=2\" time=\"5\" "
        u"test=\"0\">text</Notify>\n"
        u"<Account regurl=\"\"/>\n<P  k=\"v\"?>\n</config>");
    EXPECT_EQ(document.GetAttribute(notify, u"url"), u"http://a/?b=1&c=2");
    ExpectIndexMatchesReparse(document);
}

TEST(XmlAttributeWrite, EscapedValuesReadBackUnchanged)
{
    XmlDocument document;
    document.SetDocText(u"<r><e a=\"1\"/></r>");
    const std::u16string value = u"<&>'\" &amp; &#65; \u4e2d\u6587 \U0001F600";
    ASSERT_TRUE(document.SetAttribute(2, u"a", value));
    EXPECT_EQ(document.GetAttribute(2, u"a"), value);
    EXPECT_NE(
        document.GetDocText().find(u"&lt;&amp;&gt;&apos;&quot; &amp;amp; &amp;#65;"), std::u16string::npos);
    ExpectIndexMatchesReparse(document);
}

TEST(XmlAttributeWrite, EditShiftsTheElementItsAncestorsAndEveryLaterElement)
{
    XmlDocument document;
    document.SetDocText(u"<r><a><b x=\"1\"><c/></b><d/></a><e/></r>");
    const int b = ElementNamed(document, u"b");
    ASSERT_TRUE(document.SetAttribute(b, u"x", u"a much longer value"));
    ExpectIndexMatchesReparse(document);
    ASSERT_TRUE(document.SetAttribute(b, u"x", u""));
    ExpectIndexMatchesReparse(document);
    ASSERT_TRUE(document.SetAttribute(ElementNamed(document, u"r"), u"y", u"2"));
    ExpectIndexMatchesReparse(document);
    ASSERT_TRUE(document.SetAttribute(ElementNamed(document, u"e"), u"z", u"3"));
    ExpectIndexMatchesReparse(document);
}

TEST(XmlAttributeWrite, EditsNeverTurnAnElementIntoAnEmptyOneOrBack)
{
    struct Case {
        const char16_t* before;
        const char16_t* name;
        const char16_t* after;
    };
    for (const Case& c :
        {
            Case { u"<r><e checked other=\"1\"/></r>", u"checked", u"<r><e checked=\"v\" other=\"1\"/></r>" },
            Case { u"<r><e x= /></r>", u"x", u"<r><e x= \"v\"/></r>" },
            Case { u"<r><e x=1/></e></r>", u"x", u"<r><e x=\"v\"></e></r>" },
            Case { u"<r><e x/></e></r>", u"x", u"<r><e x=\"v\"></e></r>" },
        }) {
        XmlDocument document;
        document.SetDocText(c.before);
        ASSERT_TRUE(document.SetAttribute(2, c.name, u"v"));
        EXPECT_EQ(document.GetDocText(), c.after);
        ExpectIndexMatchesReparse(document);
    }
}

TEST(XmlAttributeWrite, QuotedPartAfterAnyEqualsStaysInsideTheValue)
{
    // The tokenizer lets a quote after any "=" hide a ">"; lookup must agree, or an
    // edit would cut the tag short.
    XmlDocument document;
    document.SetDocText(u"<r><a b=c='x>y' d=\"1\"/></r>");
    ASSERT_TRUE(document.IsWellFormed());
    EXPECT_EQ(document.GetAttribute(2, u"b"), u"c='x>y'");
    ASSERT_TRUE(document.SetAttribute(2, u"b", u"v"));
    EXPECT_EQ(document.GetDocText(), u"<r><a b=\"v\" d=\"1\"/></r>");
    ExpectIndexMatchesReparse(document);
}

TEST(XmlAttributeWrite, StartTagLongerThanItsPackedFieldStillWorks)
{
    XmlDocument document;
    document.SetDocText(u"<r><a x=\"1\" y=\"2\"/><b/></r>");
    ASSERT_TRUE(document.SetAttribute(2, u"x", std::u16string(5000000, u'v')));
    EXPECT_EQ(document.Record(2).StoredStartTagLength(), XmlElementRecord::kMaxStartTagLength);
    EXPECT_EQ(document.GetAttribute(2, u"y"), u"2");
    ASSERT_TRUE(document.SetAttribute(2, u"y", u"3"));
    ExpectIndexMatchesReparse(document);
    ASSERT_TRUE(document.SetAttribute(2, u"x", u""));
    EXPECT_EQ(document.GetDocText(), u"<r><a x=\"\" y=\"3\"/><b/></r>");
    ExpectIndexMatchesReparse(document);
}

TEST(XmlAttributeWrite, NamesThatWouldBreakTheTagAreRefused)
{
    XmlDocument document;
    document.SetDocText(u"<r><e/></r>");
    for (const char16_t* name : { u"", u"a b", u"a>", u"a=", u"a\"", u"a/" })
        EXPECT_FALSE(document.SetAttribute(2, name, u"v")) << std::u16string(name).size();
    EXPECT_EQ(document.GetDocText(), u"<r><e/></r>");
}

TEST(XmlAttributeWrite, NotEndedElementKeepsItsLastCharacterOutsideTheNewAttribute)
{
    XmlDocument document;
    document.SetDocText(u"<r><a x=1/><b/></r>");
    ASSERT_TRUE(document.SetAttribute(2, u"k", u"v"));
    EXPECT_EQ(document.GetDocText(), u"<r><a x=1/ k=\"v\"><b/></r>");
    EXPECT_EQ(CheckXmlIndex(document), "");
}

} // namespace
