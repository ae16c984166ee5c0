// Drop-down lists.
#pragma once

#include "gui/controls.h"
#include "gui/sysutils.h"

#include <memory>

// Scoped: cs* names the control styles too.
enum class TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TComboBox;

namespace gui::detail {
class DropList;
}

// A list to pick one item from. Every style behaves as a drop-down list: the
// text is the chosen item's. A press drops the list (F4 or Alt+Down too);
// the list takes the mouse while down, so a press outside it closes it. The
// arrows, Home and End pick at once; Enter or a click on an item picks and
// closes, Escape closes. A pick by the user that changes ItemIndex fires
// OnChange; setting ItemIndex by program fires nothing. The list lies inside
// the form, below the box (above it when there is no room below).
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* AOwner);
    ~TComboBox() override;
    // The chosen item stays chosen while it is there.
    TStringList* Items() { return &items_; }
    int ItemIndex() const;
    void SetItemIndex(int index);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle s) { style_ = s; }
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int v) { dropDownCount_ = v < 1 ? 1 : v; }
    bool DroppedDown() const;
    void SetDroppedDown(bool v);
    // The chosen item's text, empty without one.
    std::string SelectedText() const;
    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void PaintWindow(TCanvas& canvas) override;

private:
    friend class gui::detail::DropList;
    // A pick by the user: OnChange when ItemIndex changes.
    void Pick(int index);
    TStringList items_;
    int itemIndex_ = -1;
    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
    int dropDownCount_ = 8;
    gui::detail::DropList* list_ = nullptr;
};
