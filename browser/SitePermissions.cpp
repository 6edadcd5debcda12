#include "browser/SitePermissions.h"

#include "browser/PermissionKindTexts.h"
#include "platform/os/TextCodec.h"

using namespace platform::engine;

namespace {

constexpr unsigned kScreen = CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE;
constexpr unsigned kScreenAudio = CEF_PERMISSION_TYPE_DESKTOP_AUDIO_CAPTURE;
constexpr unsigned kScreenKinds = kScreen | kScreenAudio;
// Handing an address to the desktop: a kind of the program's own, beside the engine's.
constexpr unsigned kExternalScheme = 1u << 16;

std::string HostOf(const std::string& origin)
{
    const size_t schemeEnd = origin.find("://");
    std::string host = schemeEnd == std::string::npos ? origin : origin.substr(schemeEnd + 3);
    const size_t pathStart = host.find('/');
    if (pathStart != std::string::npos)
        host.resize(pathStart);
    return host;
}

} // namespace

SitePermissions::SitePermissions(PromptSink showPrompt)
    : showPrompt(std::move(showPrompt))
{
}

std::u16string SitePermissions::PromptText(const std::string& origin, unsigned types)
{
    return platform::os::Utf8ToUtf16(HostOf(origin)) + u" 想要" + WhatIsWanted(types);
}

std::u16string SitePermissions::ChoiceText(const std::string& origin)
{
    return platform::os::Utf8ToUtf16(HostOf(origin)) + u" 想要共享你屏幕上的内容，请选择要共享的屏幕或窗口";
}

std::u16string SitePermissions::UncapturableScreenText(const std::string& origin)
{
    return platform::os::Utf8ToUtf16(HostOf(origin)) + u" 想要共享你的屏幕，但在 Wayland 桌面上无法共享屏幕";
}

std::u16string SitePermissions::ExternalSchemeText(const std::string& origin, const std::string& scheme)
{
    return platform::os::Utf8ToUtf16(HostOf(origin)) + u" 想要打开外部应用程序（"
        + platform::os::Utf8ToUtf16(scheme) + u":）";
}

std::string SitePermissions::AnswerKey(const Pending& pending)
{
    return pending.scheme.empty() ? pending.origin : pending.origin + " " + pending.scheme;
}

SitePermissions::Decision SitePermissions::Decide(const std::string& key, unsigned types) const
{
    bool allAllowed = true;
    for (unsigned bit = 1; bit != 0 && bit <= types; bit <<= 1) {
        if (!(types & bit))
            continue;
        auto it = answers.find({ key, bit });
        if (it == answers.end())
            allAllowed = false;
        else if (!it->second)
            return Decision::Refuse;
    }
    return allAllowed ? Decision::Allow : Decision::Ask;
}

void SitePermissions::Request(
    int tabId, uint64_t promptId, const std::string& origin, unsigned types, Callback callback)
{
    if (!callback)
        return;
    queues[tabId].push_back(Pending { promptId, origin, types, std::move(callback), nullptr, {} });
    Settle();
}

void SitePermissions::Choose(int tabId, uint64_t promptId, const std::string& origin,
    std::vector<std::u16string> choices, ChoiceCallback callback)
{
    if (!callback)
        return;
    queues[tabId].push_back(
        Pending { promptId, origin, kScreen, nullptr, std::move(callback), std::move(choices) });
    Settle();
}

void SitePermissions::RequestExternalScheme(
    int tabId, uint64_t promptId, const std::string& origin, const std::string& scheme, Callback callback)
{
    if (!callback)
        return;
    // One question at a time: a page cannot stack them up for the user to click through.
    for (const Pending& pending : queues[tabId]) {
        if (pending.types == kExternalScheme) {
            callback->Continue(CEF_PERMISSION_RESULT_DENY);
            return;
        }
    }
    queues[tabId].push_back(
        Pending { promptId, origin, kExternalScheme, std::move(callback), nullptr, {}, scheme });
    Settle();
}

void SitePermissions::RefuseUncapturableScreen(
    int tabId, uint64_t promptId, const std::string& origin, const Callback& callback)
{
    if (!callback)
        return;
    queues[tabId].push_back(Pending { promptId, origin, 0, nullptr, nullptr, {} });
    Settle();
    callback->Continue(CEF_PERMISSION_RESULT_DENY);
}

void SitePermissions::Answer(uint64_t promptId, bool allow, int choice)
{
    for (auto& [tabId, queue] : queues) {
        for (auto it = queue.begin(); it != queue.end(); ++it) {
            const Pending& pending = *it;
            if (pending.promptId != promptId)
                continue;
            // A notice decides nothing: the user only saw why.
            if (!pending.callback && !pending.chooser) {
                queue.erase(it);
                Settle();
                return;
            }
            // A choice keeps nothing: cancelling closes it, as a browser's picker does, and what
            // was shared is asked again next time. Nor is the screen ever allowed for good, since
            // a site allowed it once could take the whole screen later unasked.
            for (unsigned bit = 1; bit != 0 && bit <= pending.types && !pending.chooser; bit <<= 1) {
                if ((pending.types & bit) && !(allow && (bit & kScreenKinds)))
                    answers[{ AnswerKey(pending), bit }] = allow;
            }
            // Answered by hand: what is not kept does not settle it.
            const Pending answered = pending;
            queue.erase(it);
            Settle();
            if (answered.chooser) {
                const bool chosen
                    = allow && choice >= 0 && static_cast<size_t>(choice) < answered.choices.size();
                answered.chooser->Continue(chosen ? choice : -1);
            } else {
                answered.callback->Continue(
                    allow ? CEF_PERMISSION_RESULT_ACCEPT : CEF_PERMISSION_RESULT_DENY);
            }
            return;
        }
    }
}

void SitePermissions::Dismiss(uint64_t promptId)
{
    for (auto& [tabId, queue] : queues) {
        for (auto it = queue.begin(); it != queue.end(); ++it) {
            if (it->promptId == promptId) {
                queue.erase(it);
                Settle();
                return;
            }
        }
    }
}

void SitePermissions::Settle()
{
    // Answered after the bookkeeping: a callback may bring new requests in at once.
    std::deque<std::pair<Callback, bool>> decided;
    std::deque<ChoiceCallback> refusedChoices;
    std::deque<std::pair<int, uint64_t>> changed;
    for (auto it = queues.begin(); it != queues.end();) {
        auto& queue = it->second;
        for (auto pending = queue.begin(); pending != queue.end();) {
            const Decision decision = pending->callback || pending->chooser
                ? Decide(AnswerKey(*pending), pending->types)
                : Decision::Ask;
            if (decision == Decision::Ask) {
                ++pending;
                continue;
            }
            if (pending->chooser)
                refusedChoices.push_back(pending->chooser);
            else
                decided.emplace_back(pending->callback, decision == Decision::Allow);
            pending = queue.erase(pending);
        }
        const uint64_t first = queue.empty() ? 0 : queue.front().promptId;
        const auto showing = shown.find(it->first);
        if ((showing == shown.end() ? 0 : showing->second) != first)
            changed.emplace_back(it->first, first);
        it = queue.empty() ? queues.erase(it) : std::next(it);
    }
    for (const auto& [tabId, promptId] : changed) {
        Prompt prompt;
        prompt.promptId = promptId;
        if (promptId) {
            const Pending& first = queues[tabId].front();
            prompt.question = first.callback || first.chooser;
            prompt.choices = first.choices;
            if (first.chooser) {
                prompt.text = ChoiceText(first.origin);
            } else if (first.types == kExternalScheme) {
                prompt.text = ExternalSchemeText(first.origin, first.scheme);
                prompt.allowText = u"打开";
                prompt.denyText = u"取消";
            } else if (first.callback) {
                prompt.text = PromptText(first.origin, first.types);
            } else {
                prompt.text = UncapturableScreenText(first.origin);
            }
            shown[tabId] = promptId;
        } else {
            shown.erase(tabId);
        }
        if (showPrompt)
            showPrompt(tabId, prompt);
    }
    for (const auto& [callback, allow] : decided)
        callback->Continue(allow ? CEF_PERMISSION_RESULT_ACCEPT : CEF_PERMISSION_RESULT_DENY);
    for (const auto& chooser : refusedChoices)
        chooser->Continue(-1);
}
