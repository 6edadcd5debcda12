#pragma once

#include <string>

/// Whether url is a page of the live-show site: http or https on the configured site's host or
/// one of its subdomains. Any thread.
bool IsSiteOrigin(const std::string& url, const std::u16string& siteUrl);
/// The same against the configured site; GUI thread (reads the configuration).
bool IsSiteOrigin(const std::string& url);

/// The host zoom is kept for (lower case), empty for addresses that have none.
std::string ZoomHostOf(const std::string& url);
