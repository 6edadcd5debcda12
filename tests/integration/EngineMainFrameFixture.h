#pragma once

#include "EngineTestSupport.h"

#include "app/GlobalState.h"
#include "browser/SharedClientHandler.h"
#include "config/AppConfig.h"
#include "platform/engine/CefBrowser.h"
#include "platform/engine/CefCommandLine.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/WindowOps.h"
#include "support/TestConfig.h"
#include "ui/MainFrame.h"
#include "ui/TabWin.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// The whole main frame on the real engine against a local site of the test's own: the
// test adds the site's pages, then opens the frame.
class EngineMainFrameFixture : public ::testing::Test {
protected:
    // Points config.xml at the site (no update server) and creates and shows the frame;
    // extraSwitches go on the engine's command line after the program name.
    void OpenFrame(const std::vector<std::string>& extraSwitches = {})
    {
        StartEngineForTests();
        ASSERT_TRUE(
            TestConfig().Set("Site", "url", site.Url("")).Write(folder.filePath("config.xml").toStdString()));
        AppConfig::ResetInstanceForTests(folder.filePath("config.xml").toStdU16String());
        std::vector<std::string> commandLine { "zandrel" };
        commandLine.insert(commandLine.end(), extraSwitches.begin(), extraSwitches.end());
        platform::engine::CefCommandLine::InitGlobalCommandLine(commandLine);
        platform::ui::CPaintManagerUI::SetResourcePath(u"" ZANDREL_SOURCE_DIR "/skin/Zandrel/");
        sharedClientHandler = new BrowserClientHandler;

        frame = new MainFrame;
        hwnd = frame->Create(nullptr, u"Tessik微端", platform::ui::UI_WNDSTYLE_FRAME, 0, 0, 0, 1000, 700);
        ASSERT_NE(hwnd, nullptr);
        mainWindowHandle = hwnd;
        frame->ShowWindow(true, true);
    }

    void TearDown() override
    {
        if (platform::ui::IsWindow(hwnd))
            platform::ui::DestroyWindow(hwnd);
        // The frame ends the message loop when it goes; take that quit here.
        platform::ui::CPaintManagerUI::MessageLoop();
        mainWindowHandle = nullptr;
        sharedClientHandler.reset();
        platform::engine::CefCommandLine::InitGlobalCommandLine({});
    }

    // Item 0 (the tab button) or 1 (the close button) of a tab's row, or nullptr.
    platform::ui::CControlUI* TabRowItem(int tab, int item)
    {
        auto* rows = static_cast<platform::ui::CContainerUI*>(frame->FindControl(u"tab_button_container"));
        auto* row = rows ? static_cast<platform::ui::CContainerUI*>(rows->GetItemAt(tab)) : nullptr;
        return row ? row->GetItemAt(item) : nullptr;
    }

    platform::engine::CefRefPtr<platform::engine::CefBrowser> BrowserOf(int tab)
    {
        return sharedClientHandler->FindBrowserByTabId(frame->Tabs().TabAt(tab)->GetTabId());
    }

    LocalHttpServer site;
    QTemporaryDir folder;
    MainFrame* frame = nullptr;
    platform::ui::HWND hwnd = nullptr;
};
