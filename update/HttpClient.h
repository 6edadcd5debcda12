#pragma once

#include "update/DownloadTask.h"

#include <cstddef>
#include <functional>
#include <string>

// Blocking HTTP transfers, each on a fresh transfer handle; results are libcurl
// result codes (0 success). Calls on different threads do not interfere.
class HttpClient {
public:
    // Initialises the transfer library once; call at start-up before any thread transfers.
    static void GlobalInitialize();

    // Appends the body of url to *response.
    int Get(const std::string& url, std::string* response, long timeoutSeconds);
    // The same, and *headerValue (when given) gets the reply's header headerName (any case;
    // repeats joined by ", " as HTTP reads them), empty when the reply has none.
    int Get(const std::string& url, std::string* response, long timeoutSeconds, const std::string& headerName,
        std::string* headerValue);
    // Posts postFields to url and appends the reply to *response; 3 s limits.
    int Post(const std::string& url, const std::string& postFields, std::string* response);
    // Downloads task.url (http or https only) into task.localPath, created on the first block
    // of data; the task's progress callback can abort by returning non-zero. A reply whose
    // status is not 2xx, or whose body is shorter or longer than announced, is a failure.
    int Download(DownloadTask& task, long connectTimeoutSeconds);

    // The announced length of url's body (http or https) from a header-only request, -1 when
    // unknown, unreachable or answered with a status other than 2xx. The time limit holds for connecting and
    // for the whole request; cancelled, when given, is asked while the request runs and ends it by returning
    // true.
    static int GetRemoteFileSize(
        const std::string& url, long timeoutSeconds, const std::function<bool()>& cancelled = nullptr);
    // Percent-encodes bytes >= 0x80 and spaces; every other byte stays.
    static std::string UrlEncode(const std::string& text);

    // Transfer callbacks; public so that their contract can be exercised directly.
    static size_t WriteToString(void* data, size_t size, size_t count, void* userData);
    static size_t WriteToTaskFile(void* data, size_t size, size_t count, void* userData);

    // Replaces the system's certificate store, for every client that names no CA bundle of its own
    // and for the size request; empty gives the store back. For tests with a CA of their own.
    static void SetDefaultCertificateAuthorityFile(const std::string& file);

    int debug = 0;
    // https peers are verified against the system's certificate store, or against this CA
    // bundle (a PEM file) in its place when set.
    std::string certificateAuthorityFile;
};
