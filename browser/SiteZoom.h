#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

/// The zoom of each site for as long as the program runs, and the site each tab's browser
/// shows, so that a zoom change reaches every tab of that site and a page arriving at a site
/// takes its zoom. Any thread.
class SiteZoom {
public:
    /// The browser now shows url: the level to apply when that moved it to another site,
    /// nothing when it stays on the same one.
    std::optional<double> LevelOnAddress(int browserId, const std::string& url);
    /// The site the browser shows, empty before it showed one.
    std::string SiteOf(int browserId) const;
    void Remember(const std::string& site, double level);
    void Forget(int browserId);

private:
    mutable std::mutex lock;
    std::map<std::string, double> levels;
    std::map<int, std::string> sites;
};
