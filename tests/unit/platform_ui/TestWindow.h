#pragma once

#include "platform/ui/WindowImplBase.h"

#include <QTemporaryDir>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

// A layout window over a layout written to a temporary folder; records what the layer tells it.
class TestWindow : public platform::ui::WindowImplBase {
public:
    explicit TestWindow(const std::string& layoutXml)
    {
        path = dir.path().toStdString() + "/layout.xml";
        std::ofstream(path) << layoutXml;
    }

    platform::ui::CDuiString GetSkinFile() override { return std::u16string(path.begin(), path.end()); }
    platform::ui::CDuiString GetWindowClassName() const override { return u"TestWindow"; }
    void InitWindow() override { events.push_back("init"); }
    void Notify(platform::ui::TNotifyUI& msg) override
    {
        events.push_back(std::string(msg.sType.begin(), msg.sType.end()) + ":"
            + (msg.pSender ? std::string(msg.pSender->GetName().begin(), msg.pSender->GetName().end()) : ""));
        if (onNotify)
            onNotify(msg);
    }
    platform::ui::LRESULT HandleCustomMessage(platform::ui::UINT msg, platform::ui::WPARAM wParam,
        platform::ui::LPARAM lParam, bool& handled) override
    {
        if (msg >= platform::ui::WM_USER) {
            customMessages.push_back({ msg, wParam, lParam });
            if (onCustom)
                onCustom(msg, wParam, lParam);
            handled = true;
            return 1;
        }
        return WindowImplBase::HandleCustomMessage(msg, wParam, lParam, handled);
    }
    platform::ui::LRESULT OnClose(
        platform::ui::UINT, platform::ui::WPARAM, platform::ui::LPARAM, bool& handled) override
    {
        ++closeRequests;
        handled = refuseClose;
        return 0;
    }
    void OnFinalMessage(platform::ui::HWND) override
    {
        finalMessages++;
        if (finalFlag)
            *finalFlag = true;
    }

    struct Custom {
        platform::ui::UINT msg;
        platform::ui::WPARAM wParam;
        platform::ui::LPARAM lParam;
    };
    QTemporaryDir dir;
    std::string path;
    std::vector<std::string> events;
    std::vector<Custom> customMessages;
    std::function<void(platform::ui::TNotifyUI&)> onNotify;
    std::function<void(platform::ui::UINT, platform::ui::WPARAM, platform::ui::LPARAM)> onCustom;
    bool refuseClose = false;
    int closeRequests = 0;
    int finalMessages = 0;
    bool* finalFlag = nullptr;
};

inline const char* kSimpleLayout = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="300,200" caption="0,0,0,30">
  <VerticalLayout name="root">
    <HorizontalLayout name="bar" height="30">
      <Button name="OkBtn" text="OK" width="60" />
      <Option name="a" group="g" selected="true" />
      <Option name="b" group="g" />
      <Option name="solo" />
    </HorizontalLayout>
    <TabLayout name="tabs">
      <Label name="page0" text="zero" />
      <Label name="page1" text="one" />
    </TabLayout>
    <Progress name="progress" min="0" max="10" value="3" height="12" />
  </VerticalLayout>
</Window>)";
