#pragma once

#include <mutex>
#include <set>
#include <string>

/// The partial files of the downloads this program runs ("<target>.download", which the engine
/// writes until the download ends), listed in a journal, so that a start after a killed run
/// removes what it left behind and never a file of another program's. Any thread.
class PartialDownloads {
public:
    /// journal: the list's file; an empty one keeps no list.
    explicit PartialDownloads(std::string journal);

    /// The journal in the state folder.
    static std::string DefaultJournal();
    static std::string PartialOf(const std::string& target) { return target + ".download"; }

    void Started(const std::string& target);
    void Ended(const std::string& target);
    /// Removes the listed partial files that are still there and empties the list.
    void RemoveLeftovers();

private:
    void Write();

    std::mutex lock;
    const std::string journal;
    std::set<std::string> running;
};
