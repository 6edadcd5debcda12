#include "browser/SitePermissions.h"

#include "browser/PermissionKindTexts.h"

#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace platform::engine;

namespace {

constexpr unsigned kCamera = CEF_PERMISSION_TYPE_CAMERA_STREAM;
constexpr unsigned kMicrophone = CEF_PERMISSION_TYPE_MIC_STREAM;
constexpr unsigned kScreen = CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE;
const std::string kSite = "https://live.example";
const std::string kOtherSite = "https://other.example:8443";

// "allow", "deny", "share <index>" or "" while unanswered.
class RecordingCallback final : public CefPermissionPromptCallback, public CefScreenSourceCallback {
public:
    void Continue(cef_permission_request_result_t result) override
    {
        answers.push_back(result == CEF_PERMISSION_RESULT_ACCEPT ? "allow" : "deny");
    }
    void Continue(int sourceIndex) override
    {
        answers.push_back(sourceIndex < 0 ? "deny" : "share " + std::to_string(sourceIndex));
    }
    std::vector<std::string> answers;
    // How many sources it offered.
    size_t choices = 0;

private:
    IMPLEMENT_REFCOUNTING(RecordingCallback);
};

// The requests of a case go in as listed; the user answers or the engine dismisses by prompt id.
struct Operation {
    // Uncapturable: a screen request on a desktop the engine cannot capture. Choose: a request
    // to share one of two sources.
    // External: a hand-off of scheme to the desktop.
    enum Kind { Request, Uncapturable, Choose, External, Allow, Refuse, Dismiss } kind;
    uint64_t promptId;
    int tabId = 0;
    std::string origin = {};
    unsigned types = 0;
    // The source an Allow chose.
    int choice = 0;
    std::string scheme = {};
};

struct Case {
    const char* name;
    std::vector<Operation> operations;
    // The answer each prompt got, "" for none.
    std::map<uint64_t, std::string> answers;
    // What each tab's prompt shows at the end (0: nothing).
    std::map<int, uint64_t> shownAtEnd;
    // The prompts shown as notices rather than questions.
    std::set<uint64_t> notices = {};
};

TEST(SitePermissionsTest, RequestsQueuePerTabAndAnAnswerSettlesEveryRequestItDecides)
{
    using O = Operation;
    const std::vector<Case> cases = {
        { "a tab's second request waits for the first",
            { { O::Request, 1, 1, kSite, kCamera }, { O::Request, 2, 1, kSite, kMicrophone },
                { O::Allow, 1 } },
            { { 1, "allow" }, { 2, "" } }, { { 1, 2 } } },
        { "the same question in another tab is settled with the first answer",
            { { O::Request, 1, 1, kSite, kCamera }, { O::Request, 2, 2, kSite, kCamera }, { O::Refuse, 1 },
                { O::Request, 3, 2, kSite, kCamera } },
            { { 1, "deny" }, { 2, "deny" }, { 3, "deny" } }, { { 1, 0 }, { 2, 0 } } },
        { "another site is asked again",
            { { O::Request, 1, 1, kSite, kCamera }, { O::Allow, 1 },
                { O::Request, 2, 1, kOtherSite, kCamera } },
            { { 1, "allow" }, { 2, "" } }, { { 1, 2 } } },
        { "a pair is allowed only when both were",
            { { O::Request, 1, 1, kSite, kCamera }, { O::Allow, 1 },
                { O::Request, 2, 1, kSite, kCamera | kMicrophone }, { O::Allow, 2 },
                { O::Request, 3, 1, kSite, kMicrophone } },
            { { 1, "allow" }, { 2, "allow" }, { 3, "allow" } }, { { 1, 0 } } },
        { "a pair is refused when one of them was",
            { { O::Request, 1, 1, kSite, kMicrophone }, { O::Refuse, 1 },
                { O::Request, 2, 1, kSite, kCamera | kMicrophone } },
            { { 1, "deny" }, { 2, "deny" } }, { { 1, 0 } } },
        { "a dismissed question is dropped unanswered and the next one shown",
            { { O::Request, 1, 1, kSite, kCamera }, { O::Request, 2, 1, kSite, kMicrophone },
                { O::Dismiss, 1 }, { O::Allow, 1 } },
            { { 1, "" }, { 2, "" } }, { { 1, 2 } } },
        { "a dismissed question behind the shown one goes, and the shown one stays",
            { { O::Request, 1, 1, kSite, kCamera }, { O::Request, 2, 1, kSite, kMicrophone },
                { O::Dismiss, 2 }, { O::Allow, 1 } },
            { { 1, "allow" }, { 2, "" } }, { { 1, 0 } } },
        { "a screen the desktop cannot share is refused at once and told in turn, remembering nothing",
            { { O::Request, 1, 1, kSite, kCamera }, { O::Uncapturable, 2, 1, kSite, kScreen },
                { O::Allow, 1 }, { O::Allow, 2 }, { O::Request, 3, 1, kSite, kScreen } },
            { { 1, "allow" }, { 2, "deny" }, { 3, "" } }, { { 1, 3 } }, { 2 } },
        { "a choice is asked each time, and sharing a window allows the site no screen",
            { { O::Choose, 1, 1, kSite }, { O::Request, 2, 1, kSite, kScreen }, { O::Allow, 1, 0, {}, 0, 1 },
                { O::Choose, 3, 1, kSite }, { O::Allow, 3, 0, {}, 0, 5 } },
            { { 1, "share 1" }, { 2, "" }, { 3, "deny" } }, { { 1, 2 } } },
        { "an allowed screen is asked again",
            { { O::Request, 1, 1, kSite, kScreen }, { O::Allow, 1 }, { O::Request, 2, 2, kSite, kScreen } },
            { { 1, "allow" }, { 2, "" } }, { { 1, 0 }, { 2, 2 } } },
        { "a cancelled choice is asked again",
            { { O::Choose, 1, 1, kSite }, { O::Choose, 2, 1, kSite }, { O::Refuse, 1 } },
            { { 1, "deny" }, { 2, "" } }, { { 1, 2 } } },
        { "a site refused once is refused its choice without asking",
            { { O::Request, 1, 1, kSite, kScreen }, { O::Choose, 2, 1, kSite }, { O::Refuse, 1 },
                { O::Choose, 3, 2, kSite } },
            { { 1, "deny" }, { 2, "deny" }, { 3, "deny" } }, { { 1, 0 } } },
        { "a hand-off is asked once per site and scheme, one question at a time",
            { { O::External, 1, 1, kSite, 0, 0, "spotify" }, { O::External, 2, 1, kSite, 0, 0, "spotify" },
                { O::Allow, 1 }, { O::External, 3, 1, kSite, 0, 0, "spotify" },
                { O::External, 4, 1, kSite, 0, 0, "steam" },
                { O::External, 5, 2, kOtherSite, 0, 0, "spotify" } },
            { { 1, "allow" }, { 2, "deny" }, { 3, "allow" }, { 4, "" }, { 5, "" } }, { { 1, 4 }, { 2, 5 } } },
        { "answers to unknown prompts change nothing",
            { { O::Allow, 7 }, { O::Request, 1, 1, kSite, kCamera } }, { { 1, "" } }, { { 1, 1 } } },
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        std::map<int, uint64_t> shown;
        std::set<uint64_t> notices;
        std::map<uint64_t, CefRefPtr<RecordingCallback>> callbacks;
        SitePermissions permissions([&](int tabId, const SitePermissions::Prompt& prompt) {
            EXPECT_EQ(prompt.text.empty(), prompt.promptId == 0);
            shown[tabId] = prompt.promptId;
            if (!prompt.question)
                notices.insert(prompt.promptId);
            if (prompt.promptId) {
                EXPECT_EQ(prompt.choices.size(), callbacks[prompt.promptId]->choices);
            }
        });
        for (const Operation& operation : test.operations) {
            switch (operation.kind) {
            case O::Request:
                callbacks[operation.promptId] = new RecordingCallback;
                permissions.Request(operation.tabId, operation.promptId, operation.origin, operation.types,
                    callbacks[operation.promptId]);
                break;
            case O::Choose:
                callbacks[operation.promptId] = new RecordingCallback;
                callbacks[operation.promptId]->choices = 2;
                permissions.Choose(operation.tabId, operation.promptId, operation.origin,
                    { u"整个屏幕", u"直播伴侣" }, callbacks[operation.promptId]);
                break;
            case O::External:
                callbacks[operation.promptId] = new RecordingCallback;
                permissions.RequestExternalScheme(operation.tabId, operation.promptId, operation.origin,
                    operation.scheme, callbacks[operation.promptId]);
                break;
            case O::Uncapturable:
                callbacks[operation.promptId] = new RecordingCallback;
                permissions.RefuseUncapturableScreen(
                    operation.tabId, operation.promptId, operation.origin, callbacks[operation.promptId]);
                break;
            case O::Allow:
            case O::Refuse:
                permissions.Answer(operation.promptId, operation.kind == O::Allow, operation.choice);
                break;
            case O::Dismiss:
                permissions.Dismiss(operation.promptId);
                break;
            }
        }
        for (const auto& [promptId, answer] : test.answers) {
            const auto& answers = callbacks[promptId]->answers;
            EXPECT_EQ(answers.size(), answer.empty() ? 0u : 1u) << "prompt " << promptId;
            if (!answer.empty() && !answers.empty()) {
                EXPECT_EQ(answers[0], answer) << "prompt " << promptId;
            }
        }
        EXPECT_EQ(shown, test.shownAtEnd);
        EXPECT_EQ(notices, test.notices);
    }
}

TEST(SitePermissionsTest, ThePromptNamesTheHostAndWhatItWants)
{
    EXPECT_EQ(
        SitePermissions::PromptText("https://live.example", kCamera), u"live.example 想要使用你的摄像头");
    EXPECT_EQ(SitePermissions::PromptText(kOtherSite, kCamera | kMicrophone),
        u"other.example:8443 想要使用你的摄像头和麦克风");
    EXPECT_EQ(SitePermissions::PromptText("http://[::1]:9000", CEF_PERMISSION_TYPE_DESKTOP_VIDEO_CAPTURE),
        u"[::1]:9000 想要共享你的整个屏幕");
    EXPECT_EQ(SitePermissions::ChoiceText("https://live.example"),
        u"live.example 想要共享你屏幕上的内容，请选择要共享的屏幕或窗口");
    EXPECT_EQ(SitePermissions::ExternalSchemeText("https://live.example", "spotify"),
        u"live.example 想要打开外部应用程序（spotify:）");
    EXPECT_EQ(SitePermissions::UncapturableScreenText("https://live.example"),
        u"live.example 想要共享你的屏幕，但在 Wayland 桌面上无法共享屏幕");
    EXPECT_EQ(SitePermissions::PromptText(kSite, kScreen | CEF_PERMISSION_TYPE_DESKTOP_AUDIO_CAPTURE),
        u"live.example 想要共享你的整个屏幕和电脑声音");
    EXPECT_EQ(SitePermissions::PromptText(kSite, 1u << 15), u"live.example 想要使用你的设备");
}

// A row placed after one for fewer of its kinds would never be shown, and two rows alike would
// not tell the user which kind is asked.
TEST(SitePermissionsTest, EachKindIsNamedInItsOwnWords)
{
    std::set<std::u16string> texts;
    for (const PermissionKindText& row : kPermissionKindTexts) {
        SCOPED_TRACE("kinds " + std::to_string(row.types));
        const std::u16string text = SitePermissions::PromptText(kSite, row.types);
        EXPECT_EQ(text, u"live.example 想要" + std::u16string(row.wanted));
        EXPECT_TRUE(texts.insert(text).second);
    }
}

} // namespace
