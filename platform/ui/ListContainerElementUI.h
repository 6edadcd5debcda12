#pragma once

#include "platform/ui/ContainerUI.h"

namespace platform::ui {

class CListUI;

/// A list row that holds controls; hot and selected backgrounds come from its list.
/// Pressing it selects it and sends "itemclick"; activating it sends "itemactivate".
class CListContainerElementUI : public CContainerUI {
public:
    CListContainerElementUI();
    CDuiString GetClass() const override { return u"ListContainerElementUI"; }
    void* GetInterface(const CDuiString& name) override;
    void DoEvent(TEventUI& event) override;
    bool Activate() override;
    void PaintBkColor(HDC hdc) override;
    void PaintText(HDC hdc) override;

    CListUI* GetOwner() const { return owner_; }
    void SetOwner(CListUI* owner) { owner_ = owner; }
    int GetIndex() const { return index_; }
    void SetIndex(int index) { index_ = index; }
    bool IsSelected() const { return selected_; }
    virtual bool Select(bool select = true);

protected:
    CListUI* owner_ = nullptr;
    int index_ = -1;
    bool selected_ = false;
};

} // namespace platform::ui
