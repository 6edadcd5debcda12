#include "browser/SiteOrigin.h"

#include "config/SiteAddress.h"
#include "platform/engine/CefResource.h"
#include "platform/os/TextCodec.h"

#include <algorithm>
#include <cctype>

namespace {
std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsWebScheme(const std::string& scheme) { return scheme == "http" || scheme == "https"; }
}

bool IsSiteOrigin(const std::string& url, const std::u16string& siteUrl)
{
    platform::engine::CefURLParts page, site;
    if (!platform::engine::CefParseURL(url, page)
        || !platform::engine::CefParseURL(platform::os::Utf16ToUtf8(siteUrl), site))
        return false;
    const std::string pageHost = Lower(page.host), siteHost = Lower(site.host);
    if (!IsWebScheme(Lower(page.scheme)) || siteHost.empty() || pageHost.empty())
        return false;
    if (pageHost == siteHost)
        return true;
    // A subdomain, never a host that merely ends in the same letters ("evilsite.com").
    return pageHost.size() > siteHost.size() + 1
        && pageHost.compare(pageHost.size() - siteHost.size(), siteHost.size(), siteHost) == 0
        && pageHost[pageHost.size() - siteHost.size() - 1] == '.';
}

bool IsSiteOrigin(const std::string& url) { return IsSiteOrigin(url, SiteUrl()); }

std::string ZoomHostOf(const std::string& url)
{
    platform::engine::CefURLParts parts;
    if (!platform::engine::CefParseURL(url, parts) || !IsWebScheme(Lower(parts.scheme)))
        return std::string();
    return Lower(parts.host);
}
