#include "browser/SiteZoom.h"

#include "browser/SiteOrigin.h"

std::optional<double> SiteZoom::LevelOnAddress(int browserId, const std::string& url)
{
    const std::string site = ZoomHostOf(url);
    std::lock_guard<std::mutex> guard(lock);
    // A page without a site (a blank or local page on the way) leaves the zoom as it was.
    std::string& current = sites[browserId];
    if (site.empty() || current == site)
        return std::nullopt;
    current = site;
    auto it = levels.find(site);
    return it == levels.end() ? 0.0 : it->second;
}

std::string SiteZoom::SiteOf(int browserId) const
{
    std::lock_guard<std::mutex> guard(lock);
    auto it = sites.find(browserId);
    return it == sites.end() ? std::string() : it->second;
}

void SiteZoom::Remember(const std::string& site, double level)
{
    std::lock_guard<std::mutex> guard(lock);
    if (!site.empty())
        levels[site] = level;
}

void SiteZoom::Forget(int browserId)
{
    std::lock_guard<std::mutex> guard(lock);
    sites.erase(browserId);
}
