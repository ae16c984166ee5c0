// Page controls and their sheets.
#include "widgets/look.h"

#include "gui/pages.h"

#include <win32/desktop.h>

#include <algorithm>

using gui::detail::Fill;
using gui::detail::Frame3D;

namespace {
constexpr int kTabHeight = 20;
constexpr int kTabPadding = 6;  // text to tab edge, each side
}  // namespace

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner)
{
    SetVisible(false);
}

TTabSheet::~TTabSheet()
{
    if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* control)
{
    if (control == pageControl_) return;
    if (pageControl_) pageControl_->RemovePage(this);
    if (control) control->InsertPage(this);
}

void TTabSheet::SetTabVisible(bool v)
{
    if (v == tabVisible_) return;
    tabVisible_ = v;
    if (!pageControl_) return;
    if (!v && pageControl_->ActivePage() == this) {
        TPageControl* control = pageControl_;
        control->SetActivePage(nullptr);
        for (int i = 0; i < control->PageCount(); ++i)
            if (control->Pages(i)->TabVisible()) {
                control->SetActivePage(control->Pages(i));
                break;
            }
    }
    if (v && !pageControl_->ActivePage()) pageControl_->SetActivePage(this);
    pageControl_->Invalidate();
}

int TTabSheet::PageIndex() const
{
    if (!pageControl_) return -1;
    for (int i = 0; i < pageControl_->PageCount(); ++i)
        if (pageControl_->Pages(i) == this) return i;
    return -1;
}

void TTabSheet::WndProc(TMessage& m)
{
    TWinControl::WndProc(m);
    if (m.Msg == CM_TEXTCHANGED && pageControl_) pageControl_->Invalidate();
}

void TTabSheet::PaintWindow(TCanvas& canvas)
{
    Fill(canvas, ClientRect(), Color());
}

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetTabStop(true);
    SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl()
{
    // The sheets go with the window (they are its children); they forget it first.
    for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
}

TRect TPageControl::DisplayRect() const
{
    return TRect{4, kTabHeight + 4, std::max(4, Width() - 4), std::max(kTabHeight + 4, Height() - 4)};
}

void TPageControl::Place(TTabSheet* page) const
{
    const TRect r = DisplayRect();
    page->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TPageControl::InsertPage(TTabSheet* page)
{
    pages_.push_back(page);
    page->pageControl_ = this;
    page->SetParent(this);
    Place(page);
    if (!active_ && page->TabVisible()) SetActivePage(page);
    Invalidate();
}

void TPageControl::RemovePage(TTabSheet* page)
{
    const auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    if (active_ == page) {
        active_ = nullptr;
        page->Hide();
    }
    pages_.erase(it);
    page->pageControl_ = nullptr;
    if (page->Parent() == this && !page->ComponentState().Contains(csDestroying)) page->SetParent(nullptr);
    Invalidate();
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && (page->pageControl_ != this || !page->TabVisible())) return;
    if (page == active_) return;
    TTabSheet* old = active_;
    active_ = page;
    if (page) {
        page->BringToFront();
        page->Show();
    }
    if (old) old->Hide();
    Invalidate();
}

void TPageControl::SetActivePageIndex(int index)
{
    SetActivePage(index >= 0 && index < PageCount() ? Pages(index) : nullptr);
}

TRect TPageControl::TabRect(int index)
{
    Canvas()->Font()->Assign(*Font());
    int x = 2;
    for (int i = 0; i < PageCount(); ++i) {
        const TTabSheet* p = Pages(i);
        if (!p->TabVisible()) {
            if (i == index) return TRect{};
            continue;
        }
        const int w = Canvas()->TextWidth(gui::detail::ParseCaption(p->Caption()).text) + 2 * kTabPadding;
        if (i == index) return TRect{x, 2, x + w, kTabHeight + 2};
        x += w;
    }
    return TRect{};
}

TTabSheet* TPageControl::NextPage(bool forward) const
{
    const int n = PageCount();
    if (n == 0) return nullptr;
    int i = active_ ? active_->PageIndex() : (forward ? -1 : n);
    for (int step = 0; step < n; ++step) {
        i = forward ? (i + 1) % n : (i - 1 + n) % n;
        if (Pages(i)->TabVisible()) return Pages(i);
    }
    return nullptr;
}

void TPageControl::ChangeByUser(TTabSheet* page)
{
    if (!page || page == active_) return;
    SetActivePage(page);
    InvokeEvent(OnChange, this);
}

void TPageControl::WndProc(TMessage& m)
{
    if (m.Msg == WM_GETDLGCODE) {
        m.Result = DLGC_WANTARROWS;
        return;
    }
    if (m.Msg == CM_DIALOGKEY && m.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
        ChangeByUser(NextPage(GetKeyState(VK_SHIFT) >= 0));
        m.Result = 1;
        return;
    }
    TCustomControl::WndProc(m);
    if (m.Msg == CM_ENTER || m.Msg == CM_EXIT || m.Msg == CM_FONTCHANGED) Invalidate();
}

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft)
        for (int i = 0; i < PageCount(); ++i)
            if (TabRect(i).Contains(TPoint{X, Y})) {
                SetFocus();
                ChangeByUser(Pages(i));
                break;
            }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TPageControl::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key == VK_LEFT || Key == VK_RIGHT) ChangeByUser(NextPage(Key == VK_RIGHT));
}

void TPageControl::BoundsChanged(bool sized)
{
    TCustomControl::BoundsChanged(sized);
    if (sized)
        for (TTabSheet* p : pages_) Place(p);
}

void TPageControl::Paint()
{
    TCanvas& c = *Canvas();
    Fill(c, ClientRect(), Color());
    const TRect display{0, kTabHeight + 2, Width(), Height()};
    Frame3D(c, Frame3D(c, display, clBtnHighlight, cl3DDkShadow), cl3DLight, clBtnShadow);
    for (int i = 0; i < PageCount(); ++i) {
        TRect tab = TabRect(i);
        if (tab.IsEmpty()) continue;
        const bool active = Pages(i) == active_;
        // The active tab stands up two pixels and joins the page below it.
        if (active) tab = TRect{tab.Left - 2, tab.Top - 2, tab.Right + 2, tab.Bottom + 1};
        Fill(c, tab, Color());
        c.Pen()->Color = clBtnHighlight;
        c.Polyline({TPoint{tab.Left, tab.Bottom}, TPoint{tab.Left, tab.Top}, TPoint{tab.Right - 1, tab.Top}});
        c.Pen()->Color = clBtnShadow;
        c.Polyline({TPoint{tab.Right - 1, tab.Top + 1}, TPoint{tab.Right - 1, tab.Bottom}});
        const int textX = tab.Left + kTabPadding + (active ? 2 : 0);
        gui::detail::CaptionText(c, *Font(), Enabled(), textX, tab.Top + 3, gui::detail::ParseCaption(Pages(i)->Caption()));
        if (active && Focused()) {
            c.Brush()->Style = TBrushStyle::bsSolid;
            c.Brush()->Color = clGray;
            c.FrameRect(TRect{tab.Left + 3, tab.Top + 2, tab.Right - 3, tab.Bottom - 2});
        }
    }
}
