#include "dialogs/MessageBoxDialog.h"
#include "platform/ui/ButtonUI.h"
#include "platform/ui/DialogBuilder.h"
#include "platform/ui/HorizontalLayoutUI.h"
#include "platform/ui/ListUI.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/OptionUI.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/ProgressUI.h"
#include "platform/ui/TabLayoutUI.h"
#include "platform/ui/WindowContainerUI.h"
#include "platform/ui/WindowImplBase.h"
#include "platform/ui/WindowOps.h"
#include "platform/ui/qt/WidgetHandles.h"
#include "platform/ui/qt/WindowWidget.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace platform::ui;

namespace {

const char16_t* kSkin = ZANDREL_SOURCE_DIR u"/skin/Zandrel/";

// Stand-ins for the controls that window code makes through its factory.
class MenuButtonStandIn : public CButtonUI {
public:
    void SetAttribute(const CDuiString& name, const CDuiString& value) override
    {
        if (name != u"menu_id")
            CButtonUI::SetAttribute(name, value);
    }
};

class Factory : public IDialogBuilderCallback {
public:
    CControlUI* CreateControl(const CDuiString& className) override
    {
        if (className == u"MenuButton")
            return new MenuButtonStandIn;
        if (className == u"Menu")
            return new CListUI;
        return nullptr;
    }
};

struct Layout {
    const char16_t* file;
    std::vector<const char16_t*> controls;
    std::vector<const char16_t*> styles;
};

const Layout kLayouts[] = {
    { u"main.xml",
        { u"lb_publish_status", u"lbl_login_user_name", u"video_device_type", u"audio_device_type",
            u"tab_main", u"tab_button_container", u"btn_backward", u"btn_forward", u"dropmenu_btn_setting",
            u"closebtn", u"minbtn", u"maxbtn", u"restorebtn" },
        { u"tab_win_button_bk_style", u"tab_win_button_style" } },
    { u"tabwin.xml", { u"header" }, {} },
    { u"findbar.xml", { u"find_text", u"find_count", u"find_previous", u"find_next", u"find_close" }, {} },
    { u"messagebox_dialog.xml", { u"caption", u"text", u"TextLayout", u"okbtn", u"cancelbtn", u"closebtn" },
        {} },
    { u"setting/setting.xml",
        { u"ispowerbootcheck", u"min", u"exit", u"updatebtn", u"savesettingbtn", u"closebtn" }, {} },
    { u"update_dialog.xml",
        { u"progress_status", u"btn_start_update", u"lbl_update_tip", u"caption", u"closebtn" }, {} },
    { u"permission_prompt.xml", { u"lbl_permission_text", u"btn_permission_allow", u"btn_permission_deny" },
        {} },
    { u"mini_player.xml", { u"mini_player_bar", u"mini_player_page", u"btn_mini_player_return", u"closebtn" },
        {} },
    { u"mini_player_tab.xml", { u"lbl_mini_player_text", u"btn_mini_player_return" }, {} },
    { u"menu/menu.xml", {}, { u"menu_item_normal", u"menu_item_checked", u"menu_item_unchecked" } },
    { u"menu/menu_item.xml", { u"lbl_menu_text", u"control_checked", u"control_expand" }, {} },
};

std::string Utf8(const CDuiString& text) { return QString::fromStdU16String(text).toStdString(); }

TEST(SkinLayouts, EveryLayoutBuildsCleanlyWithEveryControlAndStyleTheWindowsLookUp)
{
    CPaintManagerUI::SetResourcePath(kSkin);
    Factory factory;
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(Utf8(layout.file));
        CPaintManagerUI manager;
        CDialogBuilder builder;
        testing::internal::CaptureStderr();
        std::unique_ptr<CControlUI> root(builder.Create(layout.file, {}, &factory, &manager));
        std::string problems = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(root);
        EXPECT_EQ(problems, "");
        for (const char16_t* name : layout.controls)
            EXPECT_NE(root->FindControl(name), nullptr) << Utf8(name);
        for (const char16_t* style : layout.styles)
            EXPECT_NE(manager.GetStyle(style), nullptr) << Utf8(style);
    }
}

TEST(SkinLayouts, ControlsHaveTheKindsTheWindowsCastThemTo)
{
    CPaintManagerUI::SetResourcePath(kSkin);
    Factory factory;
    struct Kind {
        const char16_t* file;
        const char16_t* name;
        const char16_t* interfaceName;
    } kinds[] = {
        { u"main.xml", u"tab_main", u"TabLayout" },
        { u"main.xml", u"tab_button_container", u"Container" },
        { u"main.xml", u"btn_backward", u"Button" },
        { u"messagebox_dialog.xml", u"TextLayout", u"Container" },
        { u"setting/setting.xml", u"ispowerbootcheck", u"Option" },
        { u"setting/setting.xml", u"min", u"Option" },
        { u"setting/setting.xml", u"exit", u"Option" },
        { u"update_dialog.xml", u"progress_status", u"Progress" },
        { u"update_dialog.xml", u"lbl_update_tip", u"Label" },
        { u"menu/menu.xml", u"menu", u"List" },
        { u"findbar.xml", u"find_text", u"Edit" },
    };
    for (const Kind& kind : kinds) {
        CPaintManagerUI manager;
        CDialogBuilder builder;
        std::unique_ptr<CControlUI> root(builder.Create(kind.file, {}, &factory, &manager));
        ASSERT_TRUE(root) << Utf8(kind.file);
        CControlUI* control = root->FindControl(kind.name);
        ASSERT_TRUE(control) << Utf8(kind.name);
        EXPECT_NE(control->GetInterface(kind.interfaceName), nullptr) << Utf8(kind.name);
    }
}

// The main window's skeleton with two tabs, laid out as the frame builds them.
class MainSkeleton : public WindowImplBase {
public:
    CDuiString GetSkinFolder() override { return u"skin\\Zandrel\\"; }
    CDuiString GetSkinFile() override { return u"main.xml"; }
    CDuiString GetWindowClassName() const override { return u"Main_Class"; }
    CControlUI* CreateControl(const CDuiString& className) override
    {
        return factory.CreateControl(className);
    }

    void AddTab(const CDuiString& title, bool closable)
    {
        auto* row = new CHorizontalLayoutUI;
        row->SetMaxWidth(174);
        row->SetMaxHeight(30);
        auto* button = new COptionUI;
        button->SetName(u"tab_button");
        button->SetStyleName(u"tab_win_button_bk_style");
        button->SetText(title);
        button->SetToolTip(title);
        button->SetFixedWidth(174);
        button->SetFixedHeight(30);
        auto* close = new CButtonUI;
        close->SetName(u"close_tab_btn");
        close->SetStyleName(u"tab_win_button_style");
        close->SetFixedWidth(12);
        close->SetFixedHeight(12);
        close->SetVisible(closable);
        row->Add(button);
        row->Add(close);
        static_cast<CContainerUI*>(FindControl(u"tab_button_container")->GetInterface(u"Container"))
            ->Add(row);
        button->SetGroup(u"group_tab_button");
        button->Selected(true);
    }

    Factory factory;
};

QString ScreenshotFolder()
{
    QString folder = QStringLiteral(ZANDREL_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    return folder;
}

TEST(SkinScreenshots, MainWindowSkeletonAndMessageBox)
{
    CPaintManagerUI::SetResourcePath(kSkin);
    MainSkeleton frame;
    ASSERT_TRUE(frame.Create(nullptr, u"Tessik微端", UI_WNDSTYLE_FRAME | WS_THICKFRAME | WS_MAXIMIZEBOX, 0));
    frame.AddTab(u"加载中...", false);
    frame.AddTab(u"直播间 - 今晚八点的精彩节目", true);
    frame.CenterWindow();
    frame.ShowWindow();
    QApplication::processEvents();
    QImage shot = frame.Widget()->grab().toImage();
    EXPECT_EQ(shot.width(), 1200);
    EXPECT_TRUE(shot.save(ScreenshotFolder() + "/main_window.png"));

    bool saved = false;
    SetModalAnswerer([&](const ModalInfo&) -> std::optional<int> {
        QTimer::singleShot(0, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget->objectName() != "MessageBoxDialog_Class" || !widget->isVisible())
                    continue;
                saved = widget->grab().save(ScreenshotFolder() + "/message_box.png");
                SimulateClick(WindowFromHandle(qt::HandleFromWidget(widget))->FindControl(u"okbtn"));
            }
        });
        return std::nullopt;
    });
    EXPECT_EQ(MessageBoxDialog::Confirm(frame.GetHWND(), u"提示", u"你确定要关闭Tessik微端吗", true), 1);
    SetModalAnswerer(nullptr);
    EXPECT_TRUE(saved);
    DestroyWindow(frame.GetHWND());
}

} // namespace
