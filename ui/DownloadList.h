#pragma once

#include "browser/DownloadProgress.h"

#include <string>
#include <vector>

// The downloads of this run, newest first, as the caption's indicator and its list show them.
// GUI thread only.
class DownloadList {
public:
    // Adds a download the list has not seen, or brings a known one up to date. A late report
    // of a running download never takes back an end already shown.
    void Update(const DownloadProgress& progress);
    const std::vector<DownloadProgress>& Entries() const { return entries; }
    const DownloadProgress* Find(unsigned int id) const;
    int RunningCount() const;

    // The row's second line: "1.5 MB / 4.0 MB (37%)" while running, "完成", "失败" or "已取消".
    static std::u16string StatusText(const DownloadProgress& progress);
    // The caption button: the arrow alone, or with the running downloads' share done.
    std::u16string IndicatorText() const;
    // 0 to 100 over the running downloads whose size is known; -1 when none is.
    int RunningPercent() const;

private:
    std::vector<DownloadProgress> entries;
};
