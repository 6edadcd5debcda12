#include "ui/DownloadList.h"

#include <algorithm>
#include <cstdio>

namespace {
std::u16string Ascii(const char* text)
{
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

std::u16string SizeText(int64_t bytes)
{
    char text[32];
    if (bytes < 1024)
        std::snprintf(text, sizeof text, "%lld B", static_cast<long long>(std::max<int64_t>(bytes, 0)));
    else if (bytes < int64_t(1024) * 1024)
        std::snprintf(text, sizeof text, "%.1f KB", static_cast<double>(bytes) / 1024);
    else if (bytes < int64_t(1024) * 1024 * 1024)
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1024 * 1024));
    else
        std::snprintf(text, sizeof text, "%.1f GB", static_cast<double>(bytes) / (1024 * 1024 * 1024));
    return Ascii(text);
}

int Percent(int64_t done, int64_t total)
{
    if (total <= 0)
        return -1;
    return static_cast<int>(std::clamp<int64_t>(done * 100 / total, 0, 100));
}
}

void DownloadList::Update(const DownloadProgress& progress)
{
    auto known = std::find_if(entries.begin(), entries.end(),
        [&](const DownloadProgress& entry) { return entry.id == progress.id; });
    if (known == entries.end()) {
        entries.insert(entries.begin(), progress);
        return;
    }
    if (known->state != DownloadProgress::State::InProgress
        && progress.state == DownloadProgress::State::InProgress)
        return;
    *known = progress;
}

const DownloadProgress* DownloadList::Find(unsigned int id) const
{
    for (const auto& entry : entries) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

int DownloadList::RunningCount() const
{
    return static_cast<int>(std::count_if(entries.begin(), entries.end(),
        [](const DownloadProgress& entry) { return entry.state == DownloadProgress::State::InProgress; }));
}

std::u16string DownloadList::StatusText(const DownloadProgress& progress)
{
    switch (progress.state) {
    case DownloadProgress::State::Complete:
        return u"完成";
    case DownloadProgress::State::Failed:
        return u"失败";
    case DownloadProgress::State::Canceled:
        return u"已取消";
    case DownloadProgress::State::InProgress:
        break;
    }
    const int percent = Percent(progress.receivedBytes, progress.totalBytes);
    if (percent < 0)
        return SizeText(progress.receivedBytes);
    return SizeText(progress.receivedBytes) + u" / " + SizeText(progress.totalBytes) + u" ("
        + Ascii(std::to_string(percent).c_str()) + u"%)";
}

int DownloadList::RunningPercent() const
{
    int64_t done = 0, total = 0;
    for (const auto& entry : entries) {
        if (entry.state == DownloadProgress::State::InProgress && entry.totalBytes > 0) {
            done += std::min(entry.receivedBytes, entry.totalBytes);
            total += entry.totalBytes;
        }
    }
    return Percent(done, total);
}

std::u16string DownloadList::IndicatorText() const
{
    if (RunningCount() == 0)
        return u"↓";
    const int percent = RunningPercent();
    if (percent < 0)
        return u"↓ …";
    return u"↓ " + Ascii(std::to_string(percent).c_str()) + u"%";
}
