#pragma once

#include "platform/ui/ContainerUI.h"

namespace platform::ui {

/// Lays its children out left to right. GUI thread only.
class CHorizontalLayoutUI : public CContainerUI {
public:
    CHorizontalLayoutUI()
        : CContainerUI(Arrangement::Horizontal)
    {
    }
    CDuiString GetClass() const override { return u"HorizontalLayoutUI"; }
    void* GetInterface(const CDuiString& name) override
    {
        return name == u"HorizontalLayout" ? this : CContainerUI::GetInterface(name);
    }
};

} // namespace platform::ui
