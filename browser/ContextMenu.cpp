#include "browser/ContextMenu.h"

#include "ids/WindowStyleIds.h"
#include "platform/ui/WindowTypes.h"

using namespace platform::engine;

namespace ContextMenu {

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
    info.x = platform::ui::CW_USEDEFAULT;
    info.y = platform::ui::CW_USEDEFAULT;
    info.width = platform::ui::CW_USEDEFAULT;
    info.height = platform::ui::CW_USEDEFAULT;
    info.parentWindow = pageWindow;
    info.windowName = u"DevTools";
    return info;
}

} // namespace ContextMenu
