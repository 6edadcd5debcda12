#include "browser/PartialDownloads.h"

#include "browser/StateFolder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {
const std::string kSuffix = ".download";

bool IsPartialName(const std::string& path)
{
    return path.size() > kSuffix.size()
        && path.compare(path.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0 && path[0] == '/';
}
}

PartialDownloads::PartialDownloads(std::string journal)
    : journal(std::move(journal))
{
}

std::string PartialDownloads::DefaultJournal()
{
    const std::string folder = StateFolder();
    return folder.empty() ? std::string() : folder + "/partial-downloads";
}

void PartialDownloads::Started(const std::string& target)
{
    if (target.empty())
        return;
    std::lock_guard<std::mutex> guard(lock);
    if (running.insert(PartialOf(target)).second)
        Write();
}

void PartialDownloads::Ended(const std::string& target)
{
    std::lock_guard<std::mutex> guard(lock);
    if (running.erase(PartialOf(target)))
        Write();
}

void PartialDownloads::RemoveLeftovers()
{
    namespace fs = std::filesystem;
    std::lock_guard<std::mutex> guard(lock);
    if (journal.empty())
        return;
    std::ifstream in(journal);
    std::string path;
    while (std::getline(in, path)) {
        std::error_code error;
        // Only a plain file of the listed name: never a folder, nor what a link points to.
        if (IsPartialName(path) && fs::is_regular_file(fs::symlink_status(path, error)))
            fs::remove(path, error);
    }
    in.close();
    Write();
}

void PartialDownloads::Write()
{
    if (journal.empty())
        return;
    // Written whole to a new file and renamed over the old, so a kill mid-write loses no entry.
    const std::string fresh = journal + ".new";
    {
        std::ofstream out(fresh, std::ios::trunc);
        for (const std::string& path : running)
            out << path << '\n';
        if (!out.flush())
            return;
    }
    std::rename(fresh.c_str(), journal.c_str());
}
