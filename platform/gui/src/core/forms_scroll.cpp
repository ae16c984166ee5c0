// A form's horizontal scrolling: the range from its controls, the bar, and
// the controls moved by the position.
#include "widgets/form_scroll_bar.h"

#include "gui/forms.h"

#include <algorithm>
#include <vector>

using gui::detail::FindFormScrollBar;
using gui::detail::FormScrollBar;

int TControlScrollBar::MaxPosition() const
{
    return std::max(0, range_ - form_.ClientWidth());
}

void TControlScrollBar::SetPosition(int v)
{
    v = std::clamp(v, 0, MaxPosition());
    if (v == position_) return;
    const int delta = position_ - v;
    position_ = v;
    FormScrollBar* bar = FindFormScrollBar(form_);
    for (TControl* c : std::vector<TControl*>(form_.ControlList()))
        if (c != bar) c->SetLeft(c->Left() + delta);
    if (bar) bar->Invalidate();
}

void TControlScrollBar::Update()
{
    FormScrollBar* bar = FindFormScrollBar(form_);
    if (!form_.AutoScroll() && !visible_ && position_ == 0) return;
    // The extent of the controls as they lie unscrolled; aligned ones follow
    // the client area and do not count.
    int range = 0;
    if (form_.AutoScroll())
        for (const TControl* c : form_.ControlList())
            if (c != bar && c->Visible() && c->Align() == alNone) range = std::max(range, c->Left() + c->Width() + position_);
    const bool changed = range != range_;
    range_ = range;
    visible_ = range_ > form_.ClientWidth();
    SetPosition(position_);
    if (!visible_) {
        if (bar) bar->Hide();
        return;
    }
    if (!bar) bar = new FormScrollBar(form_);
    bar->SetBounds(0, form_.ClientHeight() - FormScrollBar::kHeight, form_.ClientWidth(), FormScrollBar::kHeight);
    if (form_.ControlList().back() != bar) bar->BringToFront();
    bar->Show();
    if (changed) bar->Invalidate();  // the thumb's size
}
