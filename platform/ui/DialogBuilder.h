#pragma once

#include "platform/ui/ControlUI.h"

namespace platform::ui {

/// Makes controls for class names the builder does not know ("MenuButton"...).
class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    virtual CControlUI* CreateControl(const CDuiString& className) = 0;
};

/// Builds a control tree from a layout file. Unknown elements and attributes are
/// reported once on standard error with file and line, then skipped. GUI thread only.
class CDialogBuilder {
public:
    /// file is relative to the resource path unless absolute. A "Window" root applies
    /// its window attributes, fonts and styles to manager (when given) and yields its
    /// first control. nullptr when the file is missing, malformed or has no control;
    /// the caller owns the result unless parent was given (then it is added there).
    CControlUI* Create(const CDuiString& file, const CDuiString& type = {},
        IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr,
        CControlUI* parent = nullptr);
    /// Same, from layout text; name labels the diagnostics.
    CControlUI* CreateFromText(const std::string& xml, const CDuiString& name,
        IDialogBuilderCallback* callback = nullptr, CPaintManagerUI* manager = nullptr,
        CControlUI* parent = nullptr);
    /// Path the last Create read (empty before).

private:
    CDuiString lastFile_;
};

/// Creates the library's control for a layout element name, or nullptr.
CControlUI* CreateBuiltinControl(const CDuiString& className);

} // namespace platform::ui
