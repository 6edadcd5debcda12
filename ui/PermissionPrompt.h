#pragma once

#include "platform/ui/WindowImplBase.h"

#include <cstdint>
#include <string>
#include <vector>

/// A tab's question to the user about what its page asks for ("允许" / "拒绝"), shown over
/// the top of the page; the answer goes to the client handler. One per tab, created on the
/// first request and hidden between them. GUI thread only; frees itself with its window.
class PermissionPrompt : public platform::ui::WindowImplBase {
public:
    /// Shows promptId with text over the page in tab (a tab window), or hides the prompt when
    /// promptId is 0; top is where the page starts in the tab, below whatever the tab shows above it.
    /// A prompt that is no question offers "知道了" alone; one with choices lists them, the first
    /// chosen, above "共享" / "取消". allowText and denyText, where not empty, name the buttons
    /// instead. Returns the prompt's window, which goes with the tab's.
    static platform::ui::HWND ShowInTab(platform::ui::HWND tab, platform::ui::HWND prompt, uint64_t promptId,
        const std::u16string& text, bool question, const std::vector<std::u16string>& choices,
        const std::u16string& allowText, const std::u16string& denyText, int top);
    /// Keeps the prompt at its place when the tab's size or the page's top changes.
    static void Place(platform::ui::HWND tab, platform::ui::HWND prompt, int top);

    platform::ui::CDuiString GetSkinFolder() override { return u"skin/Zandrel/"; }
    platform::ui::CDuiString GetSkinFile() override { return u"permission_prompt.xml"; }
    platform::ui::CDuiString GetWindowClassName() const override { return u"PermissionPrompt"; }
    void Notify(platform::ui::TNotifyUI& msg) override;
    void OnFinalMessage(platform::ui::HWND hwnd) override;

private:
    void ShowChoices(const std::vector<std::u16string>& choices);
    void Answer(bool allow);
    int Chosen() const;

    uint64_t promptId = 0;
    int height = 0;
};
