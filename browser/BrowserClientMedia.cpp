#include "app/GlobalState.h"
#include "browser/BrowserClientHandler.h"
#include "browser/SiteOrigin.h"
#include "browser/TabContextHandler.h"
#include "ids/WindowMessageIds.h"
#include "platform/ui/WindowMessages.h"

// What follows the site rather than one page (zoom, the rule for starting media with sound), and
// the page's video in the small player.

using namespace platform::engine;

void BrowserClientHandler::OnAddressChange(
    CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const std::string& url)
{
    (void)frame;
    // The developer tools keep their own zoom.
    if (!TabContextOf(browser))
        return;
    if (auto level = siteZoom.LevelOnAddress(browser->GetIdentifier(), url))
        browser->GetHost()->SetZoomLevel(*level);
}

void BrowserClientHandler::SetSiteZoomLevel(CefRefPtr<CefBrowser> browser, double zoomLevel)
{
    browser->GetHost()->SetZoomLevel(zoomLevel);
    const std::string site = siteZoom.SiteOf(browser->GetIdentifier());
    if (site.empty())
        return;
    // The engine keeps the level within its range; the others follow what it kept.
    const double kept = browser->GetHost()->GetZoomLevel();
    siteZoom.Remember(site, kept);
    std::vector<CefRefPtr<CefBrowser>> others;
    {
        std::lock_guard<std::mutex> lock(browserLock);
        others = browsers;
    }
    for (const auto& other : others)
        if (!other->IsSame(browser) && TabContextOf(other) && siteZoom.SiteOf(other->GetIdentifier()) == site)
            other->GetHost()->SetZoomLevel(kept);
}

bool BrowserClientHandler::CanAutoplayWithSound(CefRefPtr<CefBrowser> browser, const std::string& url)
{
    (void)browser;
    return IsSiteOrigin(url);
}

void BrowserClientHandler::OnPictureInPictureModeChange(CefRefPtr<CefBrowser> browser, bool active)
{
    // The small player is the main window's; a browser outside any tab has none.
    if (TabContextHandler* context = TabContextOf(browser))
        platform::ui::PostMessage(mainWindowHandle, WM_TAB_PICTURE_IN_PICTURE,
            static_cast<platform::ui::WPARAM>(context->tabId), active ? 1 : 0);
}
