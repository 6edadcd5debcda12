#pragma once

#include "platform/ui/HorizontalLayoutUI.h"

#include <memory>

namespace platform::ui {

namespace qt {
    struct ScrollStripParts;
}

/// A row of children that keep their own widths however many there are: when they
/// do not fit, the row scrolls (mouse wheel, and two arrow buttons at its ends that
/// show only then). Layout class name "ScrollStrip". GUI thread only.
class CScrollStripUI : public CHorizontalLayoutUI {
public:
    CScrollStripUI();
    ~CScrollStripUI() override;
    CDuiString GetClass() const override { return u"ScrollStripUI"; }
    void* GetInterface(const CDuiString& name) override;

    /// Scrolls item (a child) fully into view, now and whenever the strip is laid out
    /// again, until the user scrolls it away or another item is asked for.
    void EnsureVisible(CControlUI* item);
    /// Scrolls by steps (negative: towards the first child) of one child each, a child's
    /// left edge at the strip's start after each.
    void ScrollBy(int steps);
    /// Pixels the children are scrolled to the left, 0 to GetScrollRange().
    int GetScrollPos() const;
    int GetScrollRange() const;
    /// Whether the children are wider than the strip (and so the arrows show).
    bool IsOverflowing() const;

protected:
    QWidget* ItemHost() const override;

private:
    void Relayout();
    std::unique_ptr<qt::ScrollStripParts> parts_;
};

} // namespace platform::ui
