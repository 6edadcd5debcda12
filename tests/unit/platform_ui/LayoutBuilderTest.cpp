#include "platform/ui/ButtonUI.h"
#include "platform/ui/ContainerUI.h"
#include "platform/ui/DialogBuilder.h"
#include "platform/ui/OptionUI.h"
#include "platform/ui/PaintManagerUI.h"

#include <gtest/gtest.h>
#include <memory>

using namespace platform::ui;

namespace {

std::unique_ptr<CControlUI> Build(
    const std::string& xml, CPaintManagerUI* manager = nullptr, IDialogBuilderCallback* callback = nullptr)
{
    CDialogBuilder builder;
    return std::unique_ptr<CControlUI>(builder.CreateFromText(xml, u"test.xml", callback, manager));
}

TEST(LayoutBuilder, BuildsTreeWithAttributesAndWindowSettings)
{
    CPaintManagerUI manager;
    auto root = Build(
        R"(<Window size="320,240" mininfo="100,80" caption="0,0,0,28" sizebox="4,4,4,4" bkcolor="#FF0A0B0C">
        <Font id="1" name="WenQuanYi Micro Hei" size="16" bold="true" />
        <VerticalLayout name="root" inset="1,2,3,4" childpadding="5">
          <Button name="go" text="前进" tooltip="tip" width="40" height="20" textcolor="#FF112233" font="1" userdata="u" />
          <Label name="hidden" visible="false" enabled="false" />
        </VerticalLayout></Window>)",
        &manager);
    ASSERT_TRUE(root);
    EXPECT_EQ(manager.GetInitSize().cx, 320);
    EXPECT_EQ(manager.GetMinInfo().cy, 80);
    EXPECT_EQ(manager.GetCaptionRect().bottom, 28);
    EXPECT_EQ(manager.GetWindowBkColor(), 0xFF0A0B0Cu);
    EXPECT_EQ(manager.GetFontInfo(1).size, 16);
    EXPECT_TRUE(manager.GetFontInfo(1).bold);

    auto* container = static_cast<CContainerUI*>(root->GetInterface(u"Container"));
    ASSERT_TRUE(container);
    EXPECT_EQ(container->GetInset().bottom, 4);
    EXPECT_EQ(container->GetChildPadding(), 5);
    ASSERT_EQ(container->GetCount(), 2);
    CControlUI* go = container->FindSubControl(u"go");
    ASSERT_TRUE(go);
    EXPECT_EQ(go->GetText(), u"前进");
    EXPECT_EQ(go->GetToolTip(), u"tip");
    EXPECT_EQ(go->GetFixedWidth(), 40);
    EXPECT_EQ(go->GetTextColor(), 0xFF112233u);
    EXPECT_EQ(go->GetFont(), 1);
    EXPECT_EQ(go->GetUserData(), u"u");
    EXPECT_EQ(go->GetParent(), root.get());
    CControlUI* hidden = container->FindSubControl(u"hidden");
    EXPECT_FALSE(hidden->IsVisible());
    EXPECT_FALSE(hidden->IsEnabled());
    EXPECT_EQ(container->FindSubControl(u"missing"), nullptr);
}

TEST(LayoutBuilder, NamedStylesApplyBeforeAndAfterAttachingToAWindow)
{
    CPaintManagerUI manager;
    auto root = Build(R"(<Window><Style name="pill" bkcolor="#FF010203" width="77" />
        <HorizontalLayout><Button name="styled" style="pill" /></HorizontalLayout></Window>)",
        &manager);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->FindControl(u"styled")->GetFixedWidth(), 77);

    // Controls made in code get their style before they are added anywhere.
    CButtonUI loose;
    loose.SetStyleName(u"pill");
    EXPECT_EQ(loose.GetBkColor(), 0xFF010203u);
    loose.SetFixedWidth(10);
    EXPECT_EQ(loose.GetFixedWidth(), 10);
}

TEST(LayoutBuilder, UnknownElementsAndAttributesAreReportedOnceAndSkipped)
{
    const char* xml = R"(<Window>
<VerticalLayout>
  <Gadget name="x"><Button name="inside" /></Gadget>
  <Button name="b" sparkle="1" />
  <Label name="after" />
</VerticalLayout></Window>)";
    testing::internal::CaptureStderr();
    auto root = Build(xml);
    auto again = Build(xml);
    std::string err = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(root);
    EXPECT_EQ(root->FindControl(u"inside"), nullptr);
    EXPECT_NE(root->FindControl(u"after"), nullptr);
    EXPECT_NE(err.find("test.xml:3"), std::string::npos) << err;
    EXPECT_NE(err.find("Gadget"), std::string::npos) << err;
    EXPECT_NE(err.find("sparkle"), std::string::npos) << err;
    EXPECT_EQ(err.find("sparkle"), err.rfind("sparkle")) << "reported twice: " << err;
}

TEST(LayoutBuilder, MalformedOrMissingLayoutsYieldNothing)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Build("<Window><VerticalLayout><Button></VerticalLayout></Window>"));
    EXPECT_FALSE(Build(""));
    EXPECT_FALSE(Build("<Window size=\"1,1\" />"));
    CDialogBuilder builder;
    EXPECT_EQ(builder.Create(u"/nonexistent/layout.xml"), nullptr);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("malformed"), std::string::npos) << err;
    EXPECT_NE(err.find("/nonexistent/layout.xml"), std::string::npos) << err;
}

class FactoryCallback : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const CDuiString& className) override
    {
        asked.push_back(className);
        return className == u"Fancy" ? new CButtonUI : nullptr;
    }
    std::vector<CDuiString> asked;
};

TEST(LayoutBuilder, CallbackMakesControlsForClassesTheLibraryLacks)
{
    FactoryCallback callback;
    auto root = Build(
        "<HorizontalLayout><Fancy name=\"f\" /><Button name=\"b\" /></HorizontalLayout>", nullptr, &callback);
    ASSERT_TRUE(root);
    ASSERT_NE(root->FindControl(u"f"), nullptr);
    EXPECT_NE(root->FindControl(u"f")->GetInterface(u"Button"), nullptr);
    EXPECT_EQ(callback.asked, std::vector<CDuiString> { u"Fancy" });
}

TEST(LayoutBuilder, ColorsParseInEveryWrittenForm)
{
    struct Case {
        const char16_t* text;
        DWORD expected;
        bool ok;
    } cases[] = {
        { u"#FF102030", 0xFF102030u, true },
        { u"#102030", 0xFF102030u, true },
        { u"0x80FFFFFF", 0x80FFFFFFu, true },
        { u"255", 255u, true },
        { u"#12", 0, false },
        { u"red", 0, false },
        { u"", 0, false },
    };
    for (const Case& c : cases) {
        bool ok = true;
        EXPECT_EQ(ParseColor(c.text, &ok), c.expected);
        EXPECT_EQ(ok, c.ok);
    }
}

} // namespace
