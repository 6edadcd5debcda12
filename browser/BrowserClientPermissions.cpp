// The client handler's permission requests and desktop notifications.
#include "browser/BrowserClientHandler.h"

#include "app/GlobalState.h"
#include "browser/TabContextHandler.h"
#include "ids/WindowMessageIds.h"
#include "platform/engine/CefTask.h"
#include "platform/engine/ScreenCapture.h"
#include "platform/os/TextCodec.h"
#include "platform/ui/WindowMessages.h"

using namespace platform::engine;

void BrowserClientHandler::PostPermissionPrompt(int tabId, const SitePermissions::Prompt& prompt)
{
    auto payload = std::make_unique<platform::ui::OwnedPayload<TabPermissionPrompt>>(TabPermissionPrompt {
        prompt.promptId, prompt.text, prompt.question, prompt.choices, prompt.allowText, prompt.denyText });
    const auto address
        = reinterpret_cast<platform::ui::LPARAM>(static_cast<platform::ui::MessagePayload*>(payload.get()));
    platform::ui::PostMessage(mainWindowHandle, WM_TAB_PERMISSION_PROMPT,
        static_cast<platform::ui::WPARAM>(tabId), address, std::move(payload));
}

bool BrowserClientHandler::OnShowPermissionPrompt(CefRefPtr<CefBrowser> browser, uint64_t promptId,
    const std::string& requestingOrigin, unsigned requestedPermissions,
    CefRefPtr<CefPermissionPromptCallback> callback)
{
    // Only a tab has a place to ask in; the developer tools ask for nothing.
    TabContextHandler* context = TabContextOf(browser);
    if (!context)
        return false;
    if ((requestedPermissions & CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE) && !CanCaptureScreen())
        sitePermissions.RefuseUncapturableScreen(context->tabId, promptId, requestingOrigin, callback);
    else
        sitePermissions.Request(context->tabId, promptId, requestingOrigin, requestedPermissions, callback);
    return true;
}

bool BrowserClientHandler::OnShowExternalSchemePrompt(CefRefPtr<CefBrowser> browser, uint64_t promptId,
    const std::string& requestingOrigin, const std::string& scheme,
    CefRefPtr<CefPermissionPromptCallback> callback)
{
    TabContextHandler* context = TabContextOf(browser);
    if (!context)
        return false;
    sitePermissions.RequestExternalScheme(context->tabId, promptId, requestingOrigin, scheme, callback);
    return true;
}

bool BrowserClientHandler::OnChooseScreenSource(CefRefPtr<CefBrowser> browser, uint64_t promptId,
    const std::string& requestingOrigin, const std::vector<std::string>& sourceNames,
    CefRefPtr<CefScreenSourceCallback> callback)
{
    TabContextHandler* context = TabContextOf(browser);
    if (!context)
        return false;
    std::vector<std::u16string> choices;
    choices.reserve(sourceNames.size());
    for (const std::string& name : sourceNames)
        choices.push_back(platform::os::Utf8ToUtf16(name));
    sitePermissions.Choose(context->tabId, promptId, requestingOrigin, std::move(choices), callback);
    return true;
}

void BrowserClientHandler::OnDismissPermissionPrompt(
    CefRefPtr<CefBrowser> browser, uint64_t promptId, cef_permission_request_result_t result)
{
    (void)browser, (void)result;
    sitePermissions.Dismiss(promptId);
}

void BrowserClientHandler::AnswerPermissionPrompt(uint64_t promptId, bool allow, int choice)
{
    if (!CefCurrentlyOn(TID_UI)) {
        CefRefPtr<BrowserClientHandler> self(this);
        CefPostTask(TID_UI,
            [self, promptId, allow, choice] { self->AnswerPermissionPrompt(promptId, allow, choice); });
        return;
    }
    sitePermissions.Answer(promptId, allow, choice);
}

void BrowserClientHandler::OnNotificationActivated(CefRefPtr<CefBrowser> browser)
{
    if (TabContextHandler* context = TabContextOf(browser))
        platform::ui::PostMessage(mainWindowHandle, WM_NOTIFICATION_ACTIVATED,
            static_cast<platform::ui::WPARAM>(context->tabId), 0);
}
