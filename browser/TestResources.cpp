#include "browser/TestResources.h"

#include "browser/EscapeHtml.h"

using namespace platform::engine;

namespace TestResources {

const BuiltInResource builtInResourceTable[3] = {
    { "binding.html", 0 },
    { "domaccess.html", 0 },
    { "chat_message.html", 0 },
};

namespace {
    bool IsFileNameCharacter(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'
            || c == '.';
    }
}

std::string TestPrefix() { return std::string("http://") + kBuiltInTestHost + "/"; }

CefRefPtr<CefResourceHandler> GetResourceHandler(CefRefPtr<CefRequest> request)
{
    if (!request)
        return nullptr;
    const std::string url = request->GetURL();
    const std::string prefix = TestPrefix();
    if (url.compare(0, prefix.size(), prefix) != 0)
        return nullptr;
    std::string fileName;
    std::string mimeType;
    if (!SplitTestAddress(url, fileName, mimeType))
        return nullptr;
    if (fileName == "request.html") {
        // Escaped: the request is whatever its sender put in it, and would otherwise run as
        // script of this host's origin.
        const std::string page = "<html><body bgcolor=\"white\"><pre>" + EscapeHtml(DescribeRequest(request))
            + "</pre></body></html>";
        return new CefStreamResourceHandler(
            "text/html", CefStreamReader::CreateForData(page.data(), page.size()));
    }
    CefRefPtr<CefStreamReader> reader = OpenBuiltInResource(fileName);
    if (!reader)
        return nullptr;
    return new CefStreamResourceHandler(mimeType, reader);
}

bool SplitTestAddress(const std::string& url, std::string& fileName, std::string& mimeType)
{
    CefURLParts parts;
    if (!CefParseURL(url, parts))
        return false;
    const std::string& path = parts.path;
    if (path.size() < 2)
        return false;
    std::string name = path.substr(1);
    for (char c : name) {
        if (!IsFileNameCharacter(c))
            return false;
    }
    std::string type;
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        type = "text/html";
        name += ".html";
    } else {
        const std::string extension = name.substr(dot + 1);
        if (extension == "html")
            type = "text/html";
        else if (extension == "png")
            type = "image/png";
        else
            return false;
    }
    fileName = name;
    mimeType = type;
    return true;
}

std::string DescribeRequest(CefRefPtr<CefRequest> request)
{
    std::string text = "URL: " + request->GetURL() + "\nMethod: " + request->GetMethod();
    CefRequest::HeaderMap headers;
    request->GetHeaderMap(headers);
    if (!headers.empty()) {
        text += "\nHeaders:";
        for (const auto& [name, value] : headers)
            text.append("\n\t").append(name).append(": ").append(value);
    }
    CefRefPtr<CefPostData> postData = request->GetPostData();
    if (postData && postData->GetElementCount() > 0) {
        text += "\nPost Data:";
        CefPostData::ElementVector elements;
        postData->GetElements(elements);
        for (const auto& element : elements) {
            if (element->GetType() == PDE_TYPE_BYTES) {
                text += "\n\tBytes: ";
                text += element->GetBytesCount() == 0 ? std::string("(empty)") : element->GetBytes();
            } else if (element->GetType() == PDE_TYPE_FILE) {
                text += "\n\tFile: " + element->GetFile();
            }
        }
    }
    return text;
}

CefRefPtr<CefStreamReader> OpenBuiltInResource(const std::string& name)
{
    for (const BuiltInResource& row : builtInResourceTable) {
        if (name != row.name)
            continue;
        // The program carries no page resources: every row is "not available".
        return nullptr;
    }
    return nullptr;
}

} // namespace TestResources
