#pragma once

#include "platform/ui/ControlUI.h"

#include <vector>

class QWidget;

namespace platform::ui {

/// A control that owns child controls and lays them out: on top of each other
/// (this class), in a row, in a column, or one at a time (tab layout). GUI thread only.
class CContainerUI : public CControlUI {
public:
    enum class Arrangement { Stack, Horizontal, Vertical };

    CContainerUI();
    ~CContainerUI() override;

    CDuiString GetClass() const override;
    void* GetInterface(const CDuiString& name) override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;
    void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
    CControlUI* FindControl(const CDuiString& name) override;
    void SetMouseChildEnabled(bool enabled = true) override;

    int GetCount() const;
    CControlUI* GetItemAt(int index) const;
    virtual int GetItemIndex(CControlUI* control) const;
    /// Takes ownership of control (appended / inserted at index). False for nullptr or a bad index.
    virtual bool Add(CControlUI* control);
    virtual bool AddAt(CControlUI* control, int index);
    /// Destroys control and everything it hosts. False when it is not a child.
    virtual bool Remove(CControlUI* control);
    virtual bool RemoveAt(int index);
    virtual void RemoveAll();
    /// Finds a named control below this one (not this one itself).
    CControlUI* FindSubControl(const CDuiString& name);

    RECT GetInset() const { return inset_; }
    void SetInset(RECT rc);
    int GetChildPadding() const { return childPadding_; }
    void SetChildPadding(int padding);
    SIZE EstimateSize(SIZE available) override;

protected:
    explicit CContainerUI(Arrangement arrangement);
    virtual void OnItemsChanged() { }
    /// The widget whose box layout holds the children's widgets (this control's own by default).
    virtual QWidget* ItemHost() const;
    /// The children in order: the item host's child widgets that carry a control.
    std::vector<CControlUI*> Items() const;
    Arrangement arrangement_;
    RECT inset_;
    int childPadding_ = 0;
};

} // namespace platform::ui
