#pragma once

#include "browser/TabTitleSink.h"
#include "platform/ui/WindowImplBase.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

// A bare window that records the new-tab requests posted to it. GUI thread.
class OpenTabProbe final : public platform::ui::WindowImplBase {
public:
    OpenTabProbe();
    ~OpenTabProbe() override;
    platform::ui::CDuiString GetSkinFile() override;
    platform::ui::CDuiString GetWindowClassName() const override { return u"OpenTabProbe"; }
    platform::ui::LRESULT HandleMessage(
        platform::ui::UINT msg, platform::ui::WPARAM wParam, platform::ui::LPARAM lParam) override;

    std::vector<std::string> openedTabs;

private:
    std::string layoutPath;
};

// Records titles per tab; called on the engine thread.
class RecordingTitleSink final : public TabTitleSink {
public:
    void TitleChanged(int tabId, const std::u16string& title) override
    {
        std::lock_guard<std::mutex> guard(lock);
        titles.emplace_back(tabId, title);
    }
    std::vector<std::pair<int, std::u16string>> Titles()
    {
        std::lock_guard<std::mutex> guard(lock);
        return titles;
    }

private:
    std::mutex lock;
    std::vector<std::pair<int, std::u16string>> titles;
};
