#pragma once

#include <gtest/gtest.h>

#include "DesktopSession.h"

// A test with the program started under a window manager of its own.
class ProgramOnDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!desktop.Available())
            GTEST_SKIP() << "needs Xvfb, openbox, xdotool and x11-utils";
        program = std::make_unique<DesktopProgram>(desktop, Preparation(), LobbyPage());
        ASSERT_TRUE(program->WaitUntilReady());
    }

    // What a scenario needs of the run and its site's home page; the defaults are a plain lobby.
    virtual DesktopProgram::Preparation Preparation() const { return {}; }
    virtual std::string LobbyPage() const { return {}; }

    bool Active() const { return DesktopSession::SameWindow(desktop.ActiveWindow(), program->mainWindow); }
    bool Maximised() const
    {
        QString state = desktop.Property(program->mainWindow, "_NET_WM_STATE");
        return state.contains("_NET_WM_STATE_MAXIMIZED_VERT")
            && state.contains("_NET_WM_STATE_MAXIMIZED_HORZ");
    }

    DesktopSession desktop;
    std::unique_ptr<DesktopProgram> program;
};
