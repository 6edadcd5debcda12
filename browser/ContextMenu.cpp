#include "browser/ContextMenu.h"

#include "platform/ui/WindowTypes.h"

using namespace platform::engine;

namespace ContextMenu {

namespace {
    // WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE
    constexpr unsigned int kDevToolsStyle = 0x16CF0000;
    constexpr int kUseDefault = static_cast<int>(0x80000000);
}

void AddDevToolsEntries(int typeFlags, bool testMode, CefMenuModel& model)
{
    if (!(typeFlags & (CM_TYPEFLAG_PAGE | CM_TYPEFLAG_FRAME)) || !testMode)
        return;
    if (model.GetCount() > 0)
        model.AddSeparator();
    model.AddItem(kShowDevTools, u"&Show DevTools");
    model.AddItem(kCloseDevTools, u"Close DevTools");
    model.AddSeparator();
    model.AddItem(kInspectElement, u"Inspect Element");
}

CefWindowInfo DevToolsWindowInfo(platform::ui::HWND pageWindow)
{
    CefWindowInfo info;
    info.exStyle = 0;
    info.style = kDevToolsStyle;
    info.x = kUseDefault;
    info.y = kUseDefault;
    info.width = kUseDefault;
    info.height = kUseDefault;
    info.parentWindow = pageWindow;
    info.windowName = u"DevTools";
    return info;
}

} // namespace ContextMenu
