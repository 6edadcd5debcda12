#pragma once

#include "platform/ui/VerticalLayoutUI.h"

namespace platform::ui {

/// Appearance shared by the items of a list.
struct TListInfoUI {
    int nFont = -1;
    UINT uTextStyle = DT_VCENTER | DT_SINGLELINE;
    RECT rcTextPadding;
    DWORD dwTextColor = 0;
    DWORD dwBkColor = 0;
    DWORD dwSelectedTextColor = 0;
    DWORD dwSelectedBkColor = 0;
    DWORD dwHotTextColor = 0;
    DWORD dwHotBkColor = 0;
    DWORD dwDisabledTextColor = 0;
    DWORD dwDisabledBkColor = 0;
    bool bShowHtml = false;
};

/// A column of items with one selected item; items answering "ListItem" learn
/// their list and index. GUI thread only.
class CListUI : public CVerticalLayoutUI {
public:
    CListUI();
    CDuiString GetClass() const override { return u"ListUI"; }
    void* GetInterface(const CDuiString& name) override;
    void SetAttribute(const CDuiString& name, const CDuiString& value) override;

    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    virtual bool SetItemIndex(CControlUI* control, int index);

    int GetCurSel() const { return curSel_; }
    virtual bool SelectItem(int index, bool takeFocus = false);
    TListInfoUI* GetListInfo() { return &listInfo_; }
    /// Lists draw no header row; menus and layouts still say so.
    void SetHeaderVisible(bool) { }

protected:
    void Reindex();
    TListInfoUI listInfo_;
    int curSel_ = -1;
};

} // namespace platform::ui
