#pragma once

#include "platform/engine/CefRefCounted.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace platform::engine {

/// The host whose requests the engine offers to the client's GetResourceHandler
/// before any network is asked ("http://" + host + "/...").
constexpr char kBuiltInTestHost[] = "tests";

enum cef_postdataelement_type_t {
    PDE_TYPE_EMPTY,
    PDE_TYPE_BYTES,
    PDE_TYPE_FILE,
};

/// One part of a request body: bytes, a file, or nothing.
class CefPostDataElement : public virtual CefBaseRefCounted {
public:
    static CefRefPtr<CefPostDataElement> Create() { return new CefPostDataElement; }
    void SetToBytes(const std::string& data)
    {
        type = PDE_TYPE_BYTES;
        bytes = data;
    }
    void SetToFile(const std::string& name)
    {
        type = PDE_TYPE_FILE;
        file = name;
    }
    cef_postdataelement_type_t GetType() const { return type; }
    size_t GetBytesCount() const { return bytes.size(); }
    const std::string& GetBytes() const { return bytes; }
    std::string GetFile() const { return file; }

private:
    cef_postdataelement_type_t type = PDE_TYPE_EMPTY;
    std::string bytes;
    std::string file;
    IMPLEMENT_REFCOUNTING(CefPostDataElement);
};

class CefPostData : public virtual CefBaseRefCounted {
public:
    using ElementVector = std::vector<CefRefPtr<CefPostDataElement>>;
    static CefRefPtr<CefPostData> Create() { return new CefPostData; }
    size_t GetElementCount() const { return elements.size(); }
    void GetElements(ElementVector& out) const { out = elements; }
    void AddElement(CefRefPtr<CefPostDataElement> element) { elements.push_back(element); }

private:
    ElementVector elements;
    IMPLEMENT_REFCOUNTING(CefPostData);
};

/// A request as the engine is about to send it. Text is UTF-8.
class CefRequest : public virtual CefBaseRefCounted {
public:
    /// Header names in sorted order, as the engine keeps them.
    using HeaderMap = std::multimap<std::string, std::string>;

    static CefRefPtr<CefRequest> Create() { return new CefRequest; }
    std::string GetURL() const { return url; }
    void SetURL(const std::string& value) { url = value; }
    std::string GetMethod() const { return method; }
    void SetMethod(const std::string& value) { method = value; }
    void GetHeaderMap(HeaderMap& out) const { out = headers; }
    void SetHeaderMap(const HeaderMap& value) { headers = value; }
    /// None when the request has no body.
    CefRefPtr<CefPostData> GetPostData() const { return postData; }
    void SetPostData(CefRefPtr<CefPostData> value) { postData = value; }

private:
    std::string url;
    std::string method = "GET";
    HeaderMap headers;
    CefRefPtr<CefPostData> postData;
    IMPLEMENT_REFCOUNTING(CefRequest);
};

/// Reads bytes from memory it owns.
class CefStreamReader : public virtual CefBaseRefCounted {
public:
    /// A reader over a copy of size bytes at data; none without data.
    static CefRefPtr<CefStreamReader> CreateForData(const void* data, size_t size);
    /// Copies up to size bytes into buffer; the number copied (0 at the end).
    size_t Read(void* buffer, size_t size);
    bool Eof() const { return offset >= bytes.size(); }

private:
    std::string bytes;
    size_t offset = 0;
    IMPLEMENT_REFCOUNTING(CefStreamReader);
};

/// The content a client gives the engine for one request instead of the network.
class CefResourceHandler : public virtual CefBaseRefCounted {
public:
    virtual std::string GetMimeType() = 0;
    virtual int GetStatusCode() { return 200; }
    /// The whole response body.
    virtual std::string ReadResponse() = 0;
};

/// A response with a MIME type whose body comes from a stream.
class CefStreamResourceHandler final : public CefResourceHandler {
public:
    CefStreamResourceHandler(const std::string& mimeType, CefRefPtr<CefStreamReader> stream)
        : mimeType(mimeType)
        , stream(stream)
    {
    }
    std::string GetMimeType() override { return mimeType; }
    std::string ReadResponse() override;

private:
    std::string mimeType;
    CefRefPtr<CefStreamReader> stream;
    IMPLEMENT_REFCOUNTING(CefStreamResourceHandler);
};

/// The parts of an address, each as it appears in it (UTF-8).
struct CefURLParts {
    std::string fullUrl;
    std::string scheme;
    std::string username;
    std::string password;
    std::string host;
    std::string port;
    std::string origin;
    std::string path;
    std::string query;
};

/// Splits an address the way the engine does; false when it is not a valid address.
bool CefParseURL(const std::string& url, CefURLParts& parts);

} // namespace platform::engine
