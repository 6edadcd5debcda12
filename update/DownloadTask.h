#pragma once

#include <cstdio>
#include <string>

// Progress report of a download: context, total to download, downloaded so far,
// total to upload, uploaded so far. A non-zero return aborts the transfer.
using DownloadProgressCallback
    = int (*)(void* context, double downloadTotal, double downloadNow, double uploadTotal, double uploadNow);

// One file download: filled by its owner, updated by HttpClient::Download on the
// thread that runs the download.
struct DownloadTask {
    void* progressContext = nullptr;
    DownloadProgressCallback progressCallback = nullptr;
    std::string url;
    std::string localPath;
    std::FILE* file = nullptr;
    int bytesWritten = 0;
    int expectedSize = 0;
};
