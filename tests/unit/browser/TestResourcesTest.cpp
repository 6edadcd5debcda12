#include "browser/TestResources.h"

#include <gtest/gtest.h>

using namespace platform::engine;

namespace {

CefRefPtr<CefRequest> Request(const std::string& url, const std::string& method = "GET")
{
    CefRefPtr<CefRequest> request = CefRequest::Create();
    request->SetURL(url);
    request->SetMethod(method);
    return request;
}

std::string Body(CefRefPtr<CefResourceHandler> handler)
{
    return handler ? handler->ReadResponse() : "(none)";
}

} // namespace

TEST(TestResources, SplitTestAddressAcceptsOnlyPlainNamesWithKnownTypes)
{
    struct Case {
        const char* url;
        bool ok;
        const char* file;
        const char* mime;
    } cases[] = {
        { "http://tests/request.html", true, "request.html", "text/html" },
        { "http://tests/request", true, "request.html", "text/html" },
        { "http://tests/logo.png", true, "logo.png", "image/png" },
        { "http://tests/a_b.c.html?x=1", true, "a_b.c.html", "text/html" },
        { "http://tests/photo.jpg", false, "", "" },
        { "http://tests/my-page.html", false, "", "" },
        { "http://tests/dir/page.html", false, "", "" },
        { "http://tests/", false, "", "" },
        { "http://tests/page.HTML", false, "", "" },
        { "not an address", false, "", "" },
    };
    for (const Case& c : cases) {
        std::string file = "unchanged";
        std::string mime = "unchanged";
        EXPECT_EQ(TestResources::SplitTestAddress(c.url, file, mime), c.ok) << c.url;
        if (c.ok) {
            EXPECT_EQ(file, c.file) << c.url;
            EXPECT_EQ(mime, c.mime) << c.url;
        } else {
            EXPECT_EQ(file, "unchanged") << c.url;
        }
    }
}

TEST(TestResources, DescribeRequestListsHeadersAndEveryKindOfBodyElement)
{
    auto plain = Request("http://tests/request.html");
    EXPECT_EQ(TestResources::DescribeRequest(plain), "URL: http://tests/request.html\nMethod: GET");

    auto full = Request("http://tests/request.html", "POST");
    full->SetHeaderMap({ { "X-B", "<b>bold</b>" }, { "Accept", "text/html" } });
    auto postData = CefPostData::Create();
    auto bytes = CefPostDataElement::Create();
    bytes->SetToBytes("a=1&b=2");
    auto none = CefPostDataElement::Create();
    none->SetToBytes("");
    auto file = CefPostDataElement::Create();
    file->SetToFile("/tmp/upload.bin");
    postData->AddElement(bytes);
    postData->AddElement(none);
    postData->AddElement(CefPostDataElement::Create());
    postData->AddElement(file);
    full->SetPostData(postData);
    EXPECT_EQ(TestResources::DescribeRequest(full),
        "URL: http://tests/request.html\nMethod: POST\nHeaders:\n\tAccept: text/html\n\tX-B: <b>bold</b>"
        "\nPost Data:\n\tBytes: a=1&b=2\n\tBytes: (empty)\n\tFile: /tmp/upload.bin");

    auto emptyBody = Request("http://tests/request.html", "POST");
    emptyBody->SetPostData(CefPostData::Create());
    EXPECT_EQ(TestResources::DescribeRequest(emptyBody), "URL: http://tests/request.html\nMethod: POST");
}

TEST(TestResources, OnlyTheRequestPageIsAnsweredUnderTheExactPrefix)
{
    auto page = TestResources::GetResourceHandler(Request("http://tests/request.html"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->GetMimeType(), "text/html");
    EXPECT_EQ(Body(page),
        "<html><body bgcolor=\"white\"><pre>URL: http://tests/request.html\nMethod: GET</pre></body></html>");
    EXPECT_EQ(Body(TestResources::GetResourceHandler(Request("http://tests/request"))),
        "<html><body bgcolor=\"white\"><pre>URL: http://tests/request\nMethod: GET</pre></body></html>");

    // What the request carries is shown as text, never run as script of the host.
    auto withMarkup = Request("http://tests/request.html", "POST");
    withMarkup->SetHeaderMap({ { "X-Test", "<i>x</i>" } });
    auto body = CefPostData::Create();
    auto script = CefPostDataElement::Create();
    script->SetToBytes("<script>alert(\"x\")</script>&amp;");
    body->AddElement(script);
    withMarkup->SetPostData(body);
    EXPECT_EQ(Body(TestResources::GetResourceHandler(withMarkup)),
        "<html><body bgcolor=\"white\"><pre>URL: http://tests/request.html\nMethod: "
        "POST\nHeaders:\n\tX-Test: "
        "&lt;i&gt;x&lt;/i&gt;\nPost Data:\n\tBytes: "
        "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;&amp;amp;"
        "</pre></body></html>");

    for (const char* url : { "http://tests/binding.html", "http://tests/domaccess.html", "http://tests/",
             "http://tests", "http://Tests/request.html", "HTTP://tests/request.html",
             "https://tests/request.html", "http://tests.example/request.html", "http://tests/other.png" })
        EXPECT_FALSE(TestResources::GetResourceHandler(Request(url))) << url;
    EXPECT_FALSE(TestResources::OpenBuiltInResource("binding.html"));
    EXPECT_FALSE(TestResources::OpenBuiltInResource("missing.html"));
}
