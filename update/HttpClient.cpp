#include "update/HttpClient.h"

#include <cstdio>
#include <curl/curl.h>
#include <limits>
#include <memory>
#include <mutex>

namespace {

struct CurlCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlHandle = std::unique_ptr<CURL, CurlCleanup>;

constexpr int kNoHandle = CURLE_FAILED_INIT;

CurlHandle NewHandle()
{
    HttpClient::GlobalInitialize();
    return CurlHandle(curl_easy_init());
}

int TraceTransfer(CURL*, curl_infotype type, char* data, size_t size, void*)
{
    const char* format = nullptr;
    switch (type) {
    case CURLINFO_HEADER_IN:
        format = "[HEADER_IN]%.*s\n";
        break;
    case CURLINFO_HEADER_OUT:
        format = "[HEADER_OUT]%.*s\n";
        break;
    case CURLINFO_DATA_IN:
        format = "[DATA_IN]%.*s\n";
        break;
    case CURLINFO_DATA_OUT:
        format = "[DATA_OUT]%.*s\n";
        break;
    default:
        return 0;
    }
    // The trace data carries no terminator, so its length bounds the print.
    std::printf(format, static_cast<int>(size), data);
    return 0;
}

void SetDebugOptions(CURL* handle, int debug)
{
    if (!debug)
        return;
    curl_easy_setopt(handle, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(handle, CURLOPT_DEBUGFUNCTION, TraceTransfer);
}

std::mutex defaultCaLock;
std::string defaultCaFile;

// Peer verification stays libcurl's default (on); only the store it trusts can change.
void SetCertificateAuthority(CURL* handle, const std::string& file)
{
    std::lock_guard<std::mutex> lock(defaultCaLock);
    const std::string& chosen = file.empty() ? defaultCaFile : file;
    // libcurl copies the text, so the lock need not outlive the call.
    if (!chosen.empty())
        curl_easy_setopt(handle, CURLOPT_CAINFO, chosen.c_str());
}

bool IsSuccessStatus(CURL* curl)
{
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    return status >= 200 && status <= 299;
}

struct HeaderWanted {
    std::string name;
    std::string* value;
};

std::string Lowered(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string TrimmedField(const std::string& text)
{
    const char* const blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

size_t CollectHeader(char* data, size_t size, size_t count, void* userData)
{
    auto* wanted = static_cast<HeaderWanted*>(userData);
    const std::string line(data, size * count);
    const size_t colon = line.find(':');
    if (colon != std::string::npos && Lowered(line.substr(0, colon)) == wanted->name) {
        if (!wanted->value->empty())
            *wanted->value += ", ";
        *wanted->value += TrimmedField(line.substr(colon + 1));
    }
    return size * count;
}

// The installer's address comes from the server's reply: no scheme but the web's may reach
// local files or other services.
void AllowWebSchemesOnly(CURL* handle) { curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https"); }

// Adapts libcurl's progress report to the task's callback with its double amounts.
int ReportProgress(void* userData, curl_off_t downloadTotal, curl_off_t downloadNow, curl_off_t uploadTotal,
    curl_off_t uploadNow)
{
    auto* task = static_cast<DownloadTask*>(userData);
    return task->progressCallback(task->progressContext, static_cast<double>(downloadTotal),
        static_cast<double>(downloadNow), static_cast<double>(uploadTotal), static_cast<double>(uploadNow));
}

size_t DiscardBody(void*, size_t size, size_t count, void*) { return size * count; }

int AskCancelled(void* userData, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return (*static_cast<const std::function<bool()>*>(userData))() ? 1 : 0;
}

// An error page or a cut body is not the file that was asked for, whatever the transport says.
int CheckDownloadedBody(CURL* curl, const DownloadTask& task)
{
    if (!IsSuccessStatus(curl))
        return CURLE_HTTP_RETURNED_ERROR;
    curl_off_t announced = -1;
    curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    if (announced >= 0 && announced != task.bytesWritten)
        return CURLE_PARTIAL_FILE;
    return CURLE_OK;
}

// The reply's body is collected in the string, with one limit for connecting and for all.
int PerformIntoString(CURL* curl, std::string* response, long timeoutSeconds)
{
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, nullptr);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, HttpClient::WriteToString);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, response);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeoutSeconds);
    return curl_easy_perform(curl);
}

} // namespace

void HttpClient::GlobalInitialize()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

void HttpClient::SetDefaultCertificateAuthorityFile(const std::string& file)
{
    std::lock_guard<std::mutex> lock(defaultCaLock);
    defaultCaFile = file;
}

size_t HttpClient::WriteToString(void* data, size_t size, size_t count, void* userData)
{
    auto* response = static_cast<std::string*>(userData);
    if (!response || !data)
        return static_cast<size_t>(-1);
    response->append(static_cast<const char*>(data), size * count);
    return count;
}

size_t HttpClient::WriteToTaskFile(void* data, size_t size, size_t count, void* userData)
{
    auto* task = static_cast<DownloadTask*>(userData);
    if (!task)
        return 0;
    // A server may send more than it announced, or without end: the file never grows past the
    // announced size, nor past what the count can hold.
    const long long total = static_cast<long long>(task->bytesWritten) + static_cast<long long>(size * count);
    if (total > std::numeric_limits<int>::max() || (task->expectedSize > 0 && total > task->expectedSize))
        return 0;
    if (!task->file) {
        task->file = std::fopen(task->localPath.c_str(), "wb");
        if (!task->file)
            return static_cast<size_t>(-1);
    }
    size_t written = std::fwrite(data, size, count, task->file);
    task->bytesWritten += static_cast<int>(written);
    return written;
}

int HttpClient::Get(const std::string& url, std::string* response, long timeoutSeconds)
{
    return Get(url, response, timeoutSeconds, {}, nullptr);
}

int HttpClient::Get(const std::string& url, std::string* response, long timeoutSeconds,
    const std::string& headerName, std::string* headerValue)
{
    CurlHandle handle = NewHandle();
    if (!handle)
        return kNoHandle;
    CURL* curl = handle.get();
    SetDebugOptions(curl, debug);
    SetCertificateAuthority(curl, certificateAuthorityFile);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    HeaderWanted wanted { Lowered(headerName), headerValue };
    if (headerValue) {
        headerValue->clear();
        curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, CollectHeader);
        curl_easy_setopt(curl, CURLOPT_HEADERDATA, &wanted);
    }
    return PerformIntoString(curl, response, timeoutSeconds);
}

int HttpClient::Post(const std::string& url, const std::string& postFields, std::string* response)
{
    CurlHandle handle = NewHandle();
    if (!handle)
        return kNoHandle;
    CURL* curl = handle.get();
    SetDebugOptions(curl, debug);
    SetCertificateAuthority(curl, certificateAuthorityFile);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, postFields.c_str());
    return PerformIntoString(curl, response, 3L);
}

int HttpClient::Download(DownloadTask& task, long connectTimeoutSeconds)
{
    CurlHandle handle = NewHandle();
    if (!handle)
        return kNoHandle;
    CURL* curl = handle.get();
    const std::string url = task.url;
    SetDebugOptions(curl, debug);
    SetCertificateAuthority(curl, certificateAuthorityFile);
    AllowWebSchemesOnly(curl);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, connectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, nullptr);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, WriteToTaskFile);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &task);
    // Without a callback libcurl would draw its own progress meter on stderr.
    if (task.progressCallback) {
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, ReportProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &task);
    } else {
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 1L);
    }
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    int result = curl_easy_perform(curl);
    if (task.file) {
        std::fclose(task.file);
        task.file = nullptr;
    }
    if (result == CURLE_OK)
        result = CheckDownloadedBody(curl, task);
    return result;
}

int HttpClient::GetRemoteFileSize(
    const std::string& url, long timeoutSeconds, const std::function<bool()>& cancelled)
{
    CurlHandle handle = NewHandle();
    if (!handle)
        return -1;
    CURL* curl = handle.get();
    AllowWebSchemesOnly(curl);
    SetCertificateAuthority(curl, {});
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    if (cancelled) {
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, AskCancelled);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &cancelled);
    } else {
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 1L);
    }
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_HEADER, 1L);
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    // The headers arrive as body data; libcurl's default would print them on stdout.
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, DiscardBody);
    // An error page's length is not the file's: servers that allow only GET answer HEAD with 405.
    if (curl_easy_perform(curl) != CURLE_OK || !IsSuccessStatus(curl))
        return -1;
    curl_off_t length = -1;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) != CURLE_OK)
        return -1;
    // Cut down to an int, a size beyond it could pass for a small one.
    if (length > std::numeric_limits<int>::max())
        return -1;
    return static_cast<int>(length);
}

std::string HttpClient::UrlEncode(const std::string& text)
{
    static const char kHexDigits[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (unsigned char byte : text) {
        if (byte >= 0x80) {
            encoded += '%';
            encoded += kHexDigits[byte >> 4];
            encoded += kHexDigits[byte & 0x0F];
        } else if (byte == ' ') {
            encoded += "%20";
        } else {
            encoded += static_cast<char>(byte);
        }
    }
    return encoded;
}
