// Page controls: tabs along the top, one sheet shown below them.
#pragma once

#include "gui/controls.h"

#include <vector>

class TPageControl;

// A page of a page control; its controls are its children. Its Caption is
// its tab's text. A sheet whose TabVisible is false has no tab and is never
// shown.
class TTabSheet : public TWinControl {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return pageControl_; }
    // Makes it the last page of `control` (nullptr takes it out).
    void SetPageControl(TPageControl* control);
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool v);
    // Among all pages, visible tabs or not; -1 without a page control.
    int PageIndex() const;
    void WndProc(TMessage& Message) override;

protected:
    void PaintWindow(TCanvas& canvas) override;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
};

// A click on a tab, or Ctrl+Tab (Ctrl+Shift+Tab backwards) and the arrows
// while focused, shows another page and fires OnChange; setting the active
// page by program fires nothing. The first page added is shown.
class TPageControl : public TCustomControl {
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
    TTabSheet* ActivePage() const { return active_; }
    // A page of another control, or one without a visible tab, is refused.
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const { return active_ ? active_->PageIndex() : -1; }
    void SetActivePageIndex(int index);
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool v) { hotTrack_ = v; }
    // The tab of a page with a visible tab, in client pixels (empty otherwise).
    TRect TabRect(int index);
    // Where the pages lie.
    TRect DisplayRect() const;
    TNotifyEvent OnChange;
    void WndProc(TMessage& Message) override;

    // The library's side (TTabSheet::SetPageControl).
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void BoundsChanged(bool sized) override;

private:
    // The next page with a visible tab after the active one (wrapping).
    TTabSheet* NextPage(bool forward) const;
    void ChangeByUser(TTabSheet* page);
    void Place(TTabSheet* page) const;
    std::vector<TTabSheet*> pages_;
    TTabSheet* active_ = nullptr;
    bool hotTrack_ = false;
};
