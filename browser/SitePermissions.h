#pragma once

#include "platform/engine/CefCallbacks.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

/// The user's answers to the pages' permission requests, per site and kind, for as long as
/// the program runs, and the requests waiting for an answer: one queue per tab, whose first
/// request is the one the tab's prompt shows. A request the answers already decide is settled
/// without asking; one the desktop cannot grant is refused at once and the tab says why.
/// Engine UI thread only.
class SitePermissions {
public:
    using Callback = platform::engine::CefRefPtr<platform::engine::CefPermissionPromptCallback>;
    using ChoiceCallback = platform::engine::CefRefPtr<platform::engine::CefScreenSourceCallback>;
    /// What a tab's prompt shows: promptId 0 (and an empty text) for nothing. A prompt that is
    /// no question only tells the user why a request was refused; one with choices asks which.
    struct Prompt {
        uint64_t promptId = 0;
        std::u16string text;
        bool question = true;
        std::vector<std::u16string> choices;
        // The buttons' texts where they are not the usual ones; empty otherwise.
        std::u16string allowText;
        std::u16string denyText;
    };
    using PromptSink = std::function<void(int tabId, const Prompt& prompt)>;

    explicit SitePermissions(PromptSink showPrompt);

    /// A request from a page of origin (scheme://host[:port]) in tabId for the kinds in types.
    void Request(int tabId, uint64_t promptId, const std::string& origin, unsigned types, Callback callback);
    /// A request to share the screen of a desktop the engine cannot capture: refused at once,
    /// and the tab tells the user why, in turn with its questions, until acknowledged.
    void RefuseUncapturableScreen(
        int tabId, uint64_t promptId, const std::string& origin, const Callback& callback);
    /// A request to share one of the screens and windows named by choices. Asked each time, as
    /// the choice may differ, unless the site's sharing was refused before; neither sharing nor
    /// cancelling is kept. An allowed screen is never kept either: every request asks.
    void Choose(int tabId, uint64_t promptId, const std::string& origin, std::vector<std::u16string> choices,
        ChoiceCallback callback);
    /// A top document of origin asks to hand an address of scheme to the desktop. Asked once per
    /// site and scheme; while a tab asks one such question, its further ones are refused.
    void RequestExternalScheme(int tabId, uint64_t promptId, const std::string& origin,
        const std::string& scheme, Callback callback);
    /// The user's answer to promptId, kept for its site and each of its kinds; for a notice, its
    /// acknowledgement; for a choice, which one was chosen.
    void Answer(uint64_t promptId, bool allow, int choice = 0);
    /// The engine settled promptId itself (navigation, a closed tab): dropped unanswered.
    void Dismiss(uint64_t promptId);

    /// "<host> 想要使用你的摄像头" and the like; the host as the user sees it in the address.
    static std::u16string PromptText(const std::string& origin, unsigned types);
    /// "<host> 想要打开外部应用程序（<scheme>:）".
    static std::u16string ExternalSchemeText(const std::string& origin, const std::string& scheme);
    /// Why a site's request to share the screen was refused.
    static std::u16string UncapturableScreenText(const std::string& origin);
    /// The question over the screens and windows a site may share.
    static std::u16string ChoiceText(const std::string& origin);

private:
    enum class Decision { Ask, Allow, Refuse };
    struct Pending {
        uint64_t promptId;
        std::string origin;
        unsigned types;
        // Both null for a notice: its request was refused already.
        Callback callback;
        ChoiceCallback chooser;
        std::vector<std::u16string> choices;
        // For a hand-off to the desktop: the scheme it is for.
        std::string scheme = {};
    };

    // What the answers are kept under: the site, and for a hand-off its scheme too.
    static std::string AnswerKey(const Pending& pending);
    Decision Decide(const std::string& key, unsigned types) const;
    // Answers every queued request the answers now decide and shows each tab's new first one.
    void Settle();

    PromptSink showPrompt;
    // Keyed by origin and a single kind bit: true allowed, false refused.
    std::map<std::pair<std::string, unsigned>, bool> answers;
    std::map<int, std::deque<Pending>> queues;
    // What each tab's prompt shows now.
    std::map<int, uint64_t> shown;
};
