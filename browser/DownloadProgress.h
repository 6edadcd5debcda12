#pragma once

#include <cstdint>
#include <string>

// One download as the main window shows it: a snapshot carried by WM_DOWNLOAD_UPDATED.
struct DownloadProgress {
    enum class State { InProgress, Complete, Failed, Canceled };

    unsigned int id = 0;
    // The name the file was saved under.
    std::u16string fileName;
    // UTF-8, as the file manager is given it.
    std::string fullPath;
    int64_t receivedBytes = 0;
    // -1 when the server did not say.
    int64_t totalBytes = -1;
    State state = State::InProgress;
};
