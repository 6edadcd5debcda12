#pragma once

#include "platform/ui/ContainerUI.h"

namespace platform::ui {

/// Lays its children out top to bottom. GUI thread only.
class CVerticalLayoutUI : public CContainerUI {
public:
    CVerticalLayoutUI()
        : CContainerUI(Arrangement::Vertical)
    {
    }
    CDuiString GetClass() const override { return u"VerticalLayoutUI"; }
    void* GetInterface(const CDuiString& name) override
    {
        return name == u"VerticalLayout" ? this : CContainerUI::GetInterface(name);
    }
};

} // namespace platform::ui
