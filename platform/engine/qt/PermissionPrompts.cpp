#include "platform/engine/qt/PermissionPrompts.h"

#include "platform/engine/qt/QtBrowser.h"

namespace platform::engine::qt {

namespace {
    uint64_t lastPromptId = 0;

    // Hands promptId's waiting request its outcome, once; a request already settled is ignored.
    template <typename Outcome>
    void Settle(
        std::map<uint64_t, std::function<void(Outcome)>>& requests, uint64_t promptId, Outcome outcome)
    {
        auto it = requests.find(promptId);
        if (it == requests.end())
            return;
        const auto settle = std::move(it->second);
        requests.erase(it);
        settle(outcome);
    }

    class PromptCallback final : public CefPermissionPromptCallback {
    public:
        PromptCallback(CefRefPtr<QtBrowser> browser, uint64_t promptId)
            : browser(browser)
            , promptId(promptId)
        {
        }
        void Continue(cef_permission_request_result_t result) override
        {
            browser->Prompts().Answer(promptId, result);
        }

    private:
        CefRefPtr<QtBrowser> browser;
        uint64_t promptId;
        IMPLEMENT_REFCOUNTING(PromptCallback);
    };

    class ChoiceCallback final : public CefScreenSourceCallback {
    public:
        ChoiceCallback(CefRefPtr<QtBrowser> browser, uint64_t promptId)
            : browser(browser)
            , promptId(promptId)
        {
        }
        void Continue(int sourceIndex) override { browser->Prompts().Choose(promptId, sourceIndex); }

    private:
        CefRefPtr<QtBrowser> browser;
        uint64_t promptId;
        IMPLEMENT_REFCOUNTING(ChoiceCallback);
    };
}

PermissionPrompts::PermissionPrompts(QtBrowser* browser)
    : browser(browser)
{
}

std::string PermissionPrompts::OriginText(const QUrl& origin)
{
    return origin.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment)
        .toString()
        .toStdString();
}

void PermissionPrompts::AllowEngineCapture(const QUrl& origin)
{
    engineCaptureOrigin = OriginText(origin);
    engineCaptureUntil = std::chrono::steady_clock::now() + kEngineCaptureWindow;
}

bool PermissionPrompts::TakeEngineCapture(const QUrl& origin)
{
    const bool allowed = !engineCaptureOrigin.empty() && engineCaptureOrigin == OriginText(origin)
        && std::chrono::steady_clock::now() < engineCaptureUntil;
    engineCaptureOrigin.clear();
    return allowed;
}

void PermissionPrompts::Ask(PermissionRequest request)
{
    const bool capture = request.types & CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE;
    if (capture && TakeEngineCapture(request.origin)) {
        request.answer(true);
        return;
    }
    AskClient(request.origin, request.types, std::move(request.answer), true);
}

void PermissionPrompts::AskFor(const QUrl& origin, unsigned types, std::function<void(bool granted)> settle)
{
    AskClient(origin, types, std::move(settle), false);
}

void PermissionPrompts::AskClient(
    const QUrl& origin, unsigned types, std::function<void(bool granted)> settle, bool raisedByEngine)
{
    auto handler = browser->GetClient()->GetPermissionHandler();
    if (!types || !handler) {
        settle(false);
        return;
    }
    const uint64_t promptId = ++lastPromptId;
    // Waiting before the handler hears of it: it may answer at once.
    waiting[promptId] = std::move(settle);
    if (raisedByEngine)
        raised[promptId] = Raised { OriginText(origin), types };
    CefRefPtr<CefPermissionPromptCallback> callback(new PromptCallback(browser, promptId));
    if (!handler->OnShowPermissionPrompt(browser, promptId, OriginText(origin), types, callback))
        Answer(promptId, CEF_PERMISSION_RESULT_DENY);
}

void PermissionPrompts::AskExternalScheme(
    const QUrl& origin, const std::string& scheme, std::function<void(bool granted)> settle)
{
    auto handler = browser->GetClient()->GetPermissionHandler();
    if (!handler) {
        settle(false);
        return;
    }
    const uint64_t promptId = ++lastPromptId;
    waiting[promptId] = std::move(settle);
    CefRefPtr<CefPermissionPromptCallback> callback(new PromptCallback(browser, promptId));
    if (!handler->OnShowExternalSchemePrompt(browser, promptId, OriginText(origin), scheme, callback))
        Answer(promptId, CEF_PERMISSION_RESULT_DENY);
}

void PermissionPrompts::AskChoice(
    const QUrl& origin, const std::vector<std::string>& sourceNames, std::function<void(int index)> settle)
{
    auto handler = browser->GetClient()->GetPermissionHandler();
    if (sourceNames.empty() || !handler) {
        settle(-1);
        return;
    }
    const uint64_t promptId = ++lastPromptId;
    choosing[promptId] = std::move(settle);
    CefRefPtr<CefScreenSourceCallback> callback(new ChoiceCallback(browser, promptId));
    if (!handler->OnChooseScreenSource(browser, promptId, OriginText(origin), sourceNames, callback))
        Choose(promptId, -1);
}

void PermissionPrompts::Choose(uint64_t promptId, int sourceIndex)
{
    Settle(choosing, promptId, sourceIndex);
}

void PermissionPrompts::Answer(uint64_t promptId, cef_permission_request_result_t result)
{
    raised.erase(promptId);
    Settle(waiting, promptId, result == CEF_PERMISSION_RESULT_ACCEPT);
}

void PermissionPrompts::Withdraw(const QUrl& origin, unsigned types)
{
    const std::string withdrawn = OriginText(origin);
    for (auto it = raised.begin(); it != raised.end(); ++it) {
        if (it->second.origin != withdrawn || it->second.types != types)
            continue;
        const uint64_t promptId = it->first;
        raised.erase(it);
        // Nothing answers it: the engine has dropped the request already.
        waiting.erase(promptId);
        if (auto handler = browser->GetClient()->GetPermissionHandler())
            handler->OnDismissPermissionPrompt(browser, promptId, CEF_PERMISSION_RESULT_DISMISS);
        return;
    }
}

void PermissionPrompts::DismissAll(bool answerPage)
{
    if (waiting.empty() && choosing.empty())
        return;
    raised.clear();
    std::map<uint64_t, std::function<void(bool)>> dismissed;
    dismissed.swap(waiting);
    std::map<uint64_t, std::function<void(int)>> unchosen;
    unchosen.swap(choosing);
    auto handler = browser->GetClient()->GetPermissionHandler();
    for (const auto& [promptId, settle] : dismissed) {
        if (answerPage)
            settle(false);
        if (handler)
            handler->OnDismissPermissionPrompt(browser, promptId, CEF_PERMISSION_RESULT_DISMISS);
    }
    for (const auto& [promptId, settle] : unchosen) {
        if (answerPage)
            settle(-1);
        if (handler)
            handler->OnDismissPermissionPrompt(browser, promptId, CEF_PERMISSION_RESULT_DISMISS);
    }
}

} // namespace platform::engine::qt
