#pragma once

#include "app/GlobalState.h"
#include "browser/SharedClientHandler.h"
#include "config/AppConfig.h"
#include "fakes/engine/FakeEngine.h"
#include "platform/engine/CefCommandLine.h"
#include "platform/ui/ModalAnswerer.h"
#include "platform/ui/PaintManagerUI.h"
#include "platform/ui/WindowOps.h"
#include "support/TestConfig.h"
#include "support/WaitUntil.h"
#include "ui/MainFrame.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

// A main frame on the fake engine over a config.xml of the test's own whose site and
// update server cannot be reached (nothing listens on port 1), so start-up never waits.
class MainFrameFixture : public ::testing::Test {
protected:
    // Writes config.xml with the given attributes of its Notify element and update address, and loads it.
    void WriteConfig(const std::string& notifyAttributes, const std::string& updateUrl = "")
    {
        ASSERT_TRUE(TestConfig()
                        .SetAll("Notify", notifyAttributes)
                        .Set("Update", "url", updateUrl)
                        .Set("Site", "url", "http://127.0.0.1:1")
                        .Write(folder.filePath("config.xml").toStdString()));
        AppConfig::ResetInstanceForTests(folder.filePath("config.xml").toStdU16String());
    }

    // Creates and shows the frame as the program does and waits for its home tab's browser.
    void OpenFrame(int x = platform::ui::CW_USEDEFAULT, int y = platform::ui::CW_USEDEFAULT,
        int cx = platform::ui::CW_USEDEFAULT, int cy = platform::ui::CW_USEDEFAULT)
    {
        platform::engine::CefCommandLine::InitGlobalCommandLine({ "zandrel" });
        platform::ui::CPaintManagerUI::SetResourcePath(u"" ZANDREL_SOURCE_DIR "/skin/Zandrel/");
        sharedClientHandler = new BrowserClientHandler;
        frame = new MainFrame;
        hwnd = frame->Create(nullptr, u"Tessik微端", platform::ui::UI_WNDSTYLE_FRAME, 0, x, y, cx, cy);
        ASSERT_NE(hwnd, nullptr);
        mainWindowHandle = hwnd;
        frame->ShowWindow(true, true);
        ASSERT_TRUE(WaitUntil([&] { return frame->Tabs().Count() == 1 && engine.Created().size() == 1; }));
    }

    void TearDown() override
    {
        platform::ui::SetModalAnswerer(nullptr);
        if (platform::ui::IsWindow(hwnd))
            platform::ui::DestroyWindow(hwnd);
        // The frame ends the message loop when it goes; take that quit here so that it
        // does not end the modal loops of the next test.
        platform::ui::CPaintManagerUI::MessageLoop();
        mainWindowHandle = nullptr;
        for (auto& browser : engine.Created()) {
            if (!browser->IsClosed())
                engine.Run([&] { engine.CloseBrowser(browser); });
        }
        sharedClientHandler.reset();
    }

    void ClickMenuItem(int id)
    {
        const MenuItemInfo* item = frame->MenuItems().at(id).get();
        platform::ui::PostMessage(
            hwnd, WM_MENU_CLICK, reinterpret_cast<platform::ui::WPARAM>(item), item->id);
    }

    QTemporaryDir folder;
    FakeEngine engine;
    MainFrame* frame = nullptr;
    platform::ui::HWND hwnd = nullptr;
};
