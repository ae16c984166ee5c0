// Windowed controls: realisation, the persistent client surface, children
// and tab order, focus, keys and the paint cycle.
#include "core/access.h"
#include "host/window.h"

#include "gui/forms.h"
#include "gui/sysutils.h"

#include <win32/desktop.h>

#include <algorithm>
#include <climits>

namespace {

// Canvases of a window clip to its surface; the surface may grow later.
constexpr TRect kWholeSurface{0, 0, INT_MAX / 2, INT_MAX / 2};

std::uint32_t PixelOf(TColor c)
{
    return gui::ToPixel(ColorToRGB(c));
}

// A paint draws only within the area it repaints, so that a window that
// fills its whole client does not wipe the graphic children outside it:
// they are painted again only within that area.
class PaintClip {
public:
    PaintClip(TCanvas& canvas, const TRect& area) : canvas_(canvas), saved_(canvas.Target())
    {
        CanvasTarget clipped = saved_;
        clipped.clip = IntersectRect(saved_.clip, area);
        canvas.SetTarget(clipped);
    }
    ~PaintClip() { canvas_.SetTarget(saved_); }
    PaintClip(const PaintClip&) = delete;
    PaintClip& operator=(const PaintClip&) = delete;

private:
    TCanvas& canvas_;
    const CanvasTarget saved_;
};

}  // namespace

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), paintCanvas_(std::make_unique<TCanvas>())
{
    brush_.Color = Color();
}

TWinControl::~TWinControl()
{
    Destroying();
    // A window frees its child controls, whoever owns them. Each leaves the
    // list itself, still parented, so that its form forgets it too.
    while (!controls_.empty()) delete controls_.back();
    if (handle_) gui::detail::ReleaseHandle(handle_);
    handle_ = nullptr;
}

HWND TWinControl::Handle()
{
    if (!handle_) {
        if (!ParentForm()) throw EInvalidOperation("Control '" + Name() + "' has no parent window");
        // A window comes into being inside its parent's, which realises it.
        if (Parent() && !Parent()->HandleAllocated()) Parent()->HandleNeeded();
        if (!handle_) CreateHandle();
    }
    return handle_;
}

void TWinControl::CreateHandle()
{
    if (handle_) return;
    AllocateWindow();
    AnnounceWindow();
}

void TWinControl::AllocateWindow()
{
    handle_ = gui::detail::AllocateHandle(this);
    surface_.reset(std::max(0, ClientWidth()), std::max(0, ClientHeight()), PixelOf(Color()));
    TargetCanvas(*paintCanvas_);
}

void TWinControl::AnnounceWindow()
{
    Perform(WM_CREATE);
    Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM_XY(ClientWidth(), ClientHeight()));
    RealiseChildren();
    InvalidateRect(ClientRect(), !ControlStyle().Contains(csOpaque));
}

void TWinControl::TargetCanvas(TCanvas& canvas)
{
    CanvasTarget t;
    if (handle_) {
        t.surface = &surface_;
        t.clip = kWholeSurface;
    }
    canvas.SetTarget(t);
}

void TWinControl::RealiseChildren()
{
    const std::vector<TControl*> children = controls_;
    for (TControl* c : children)
        if (auto* w = dynamic_cast<TWinControl*>(c); w && !w->handle_ && ContainsControl(w)) w->CreateHandle();
}

void TWinControl::Realign()
{
    if (aligning_) return;
    aligning_ = true;
    TRect r = ClientRect();
    for (TAlign kind : {alTop, alBottom, alLeft, alRight, alClient})
        for (TControl* c : std::vector<TControl*>(controls_)) {
            if (!c->Visible() || c->Align() != kind) continue;
            const int w = c->Width(), h = c->Height();
            switch (kind) {
            case alTop: c->SetBounds(r.Left, r.Top, r.Width(), h); r.Top += h; break;
            case alBottom: c->SetBounds(r.Left, r.Bottom - h, r.Width(), h); r.Bottom -= h; break;
            case alLeft: c->SetBounds(r.Left, r.Top, w, r.Height()); r.Left += w; break;
            case alRight: c->SetBounds(r.Right - w, r.Top, w, r.Height()); r.Right -= w; break;
            default: c->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height())); break;
            }
        }
    aligning_ = false;
}

void TWinControl::BoundsChanged(bool sized)
{
    if (sized) Realign();
    if (!handle_ || !sized) return;
    surface_.resize(std::max(0, ClientWidth()), std::max(0, ClientHeight()), PixelOf(Color()));
    gui::detail::PictureChanged();
    // The new size is in place when the control hears of it.
    Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM_XY(ClientWidth(), ClientHeight()));
    Invalidate();
}

bool TWinControl::ContainsControl(const TControl* control) const
{
    return std::find(controls_.begin(), controls_.end(), control) != controls_.end();
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled) const
{
    auto hit = [&](TControl* c) {
        return c->Visible() && (allowDisabled || c->Enabled()) && c->BoundsRect().Contains(p);
    };
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (dynamic_cast<TWinControl*>(*it) && hit(*it)) return *it;
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (!dynamic_cast<TWinControl*>(*it) && hit(*it)) return *it;
    return nullptr;
}

void TWinControl::InsertControl(TControl* control)
{
    if (!control || ContainsControl(control)) return;
    control->parent_ = this;
    controls_.push_back(control);
    auto* win = dynamic_cast<TWinControl*>(control);
    if (win) tabList_.push_back(win);
    control->Perform(CM_PARENTCOLORCHANGED);
    control->Perform(CM_PARENTFONTCHANGED);
    control->Perform(CM_PARENTSHOWHINTCHANGED);
    if (control->Align() != alNone) Realign();
    if (win && handle_) win->CreateHandle();
    if (control->Visible()) InvalidateRect(control->BoundsRect(), true);
}

void TWinControl::RemoveControl(TControl* control)
{
    const auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end()) return;
    // A live control taken out of its form leaves the focus and the capture
    // behind (one being freed has let go of them already).
    if (auto* win = dynamic_cast<TWinControl*>(control); win && !win->ComponentState().Contains(csDestroying)) win->LoseFocus();
    for (const TControl* c = Application->CaptureControl(); c; c = c->Parent())
        if (c == control) Application->SetCaptureControl(nullptr);
    if (control->Visible()) InvalidateRect(control->BoundsRect(), true);
    controls_.erase(it);
    tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), control), tabList_.end());
    control->parent_ = nullptr;
    if (control->Align() != alNone && !ComponentState().Contains(csDestroying)) Realign();
}

int TWinControl::TabOrder() const
{
    if (!Parent()) return -1;
    const auto& list = Parent()->tabList_;
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order)
{
    if (!Parent()) return;
    auto& list = Parent()->tabList_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
}

std::vector<TWinControl*> TWinControl::TabList() const
{
    return tabList_;
}

bool TWinControl::CanFocus() const
{
    const TCustomForm* form = ParentForm();
    if (!form) return false;
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus()
{
    if (!CanFocus()) return;
    ParentForm()->FocusControl(this);
}

bool TWinControl::Focused() const
{
    const TCustomForm* form = ParentForm();
    return form && form->ActiveControl() == this && Application->ActiveForm() == form;
}

void TWinControl::LoseFocus()
{
    // A hidden or disabled window cannot keep the focus, nor can what lies
    // inside it: the form takes it.
    TCustomForm* form = ParentForm();
    if (!form || form == this) return;
    for (const TControl* c = form->ActiveControl(); c; c = c->Parent())
        if (c == this) {
            form->FocusControl(nullptr);
            return;
        }
}

void TWinControl::Invalidate()
{
    InvalidateRect(ClientRect(), !ControlStyle().Contains(csOpaque));
}

void TWinControl::InvalidateRect(const TRect& r)
{
    InvalidateRect(r, true);
}

void TWinControl::InvalidateRect(const TRect& r, bool erase)
{
    if (!handle_ || ComponentState().Contains(csDestroying)) return;
    gui::detail::PictureChanged();
    const TRect area = IntersectRect(r, ClientRect());
    if (area.IsEmpty()) return;
    invalid_ = UnionRect(invalid_, area);
    erase_ = erase_ || erase;
}

void TWinControl::Update()
{
    if (handle_ && !invalid_.IsEmpty() && Showing()) PaintNow();
}

void TWinControl::Repaint()
{
    if (!handle_ || !Showing()) return;
    Invalidate();
    Update();
    gui::detail::ShowNow(*this);
}

void TWinControl::PaintNow()
{
    paintArea_ = invalid_;
    paintErase_ = erase_;
    invalid_ = TRect{};
    erase_ = false;
    Perform(WM_PAINT);
    paintArea_ = TRect{};
}

void TWinControl::PaintControls(const TRect& area)
{
    const std::vector<TControl*> children = controls_;
    for (TControl* c : children) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->Visible() || !ContainsControl(g)) continue;
        const TRect part = IntersectRect(area, g->BoundsRect());
        if (!part.IsEmpty()) g->PaintOn(surface_, part);
    }
}

void TWinControl::PaintWindow(TCanvas&) {}

bool TWinControl::DoKeyDown(Word& Key, TShiftState Shift)
{
    TCustomForm* form = ParentForm();
    if (form && form != this && form->KeyPreview()) {
        ControlAccess::KeyDown(*form, Key, Shift);
        if (Key == 0) return true;
    }
    KeyDown(Key, Shift);
    return Key == 0;
}

bool TWinControl::DoKeyUp(Word& Key, TShiftState Shift)
{
    TCustomForm* form = ParentForm();
    if (form && form != this && form->KeyPreview()) {
        static_cast<TWinControl*>(form)->KeyUp(Key, Shift);
        if (Key == 0) return true;
    }
    KeyUp(Key, Shift);
    return Key == 0;
}

bool TWinControl::DoKeyPress(char& Key)
{
    TCustomForm* form = ParentForm();
    if (form && form != this && form->KeyPreview()) {
        ControlAccess::KeyPress(*form, Key);
        if (Key == 0) return true;
    }
    KeyPress(Key);
    return Key == 0;
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift)
{
    InvokeEvent(OnKeyDown, this, Key, Shift);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift)
{
    InvokeEvent(OnKeyUp, this, Key, Shift);
}

void TWinControl::KeyPress(char& Key)
{
    InvokeEvent(OnKeyPress, this, Key);
}

void TWinControl::DoEnter()
{
    InvokeEvent(OnEnter, this);
}

void TWinControl::DoExit()
{
    InvokeEvent(OnExit, this);
}

namespace {

TShiftState KeyShift()
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s << ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s << ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s << ssAlt;
    return s;
}

}  // namespace

void TWinControl::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_PAINT: {
        const TRect area = paintArea_.IsEmpty() ? ClientRect() : paintArea_;
        if (paintErase_) {
            paintErase_ = false;
            TMessage erase{WM_ERASEBKGND, 0, 0, 0};
            WndProc(erase);
        }
        {
            const PaintClip clip(*paintCanvas_, area);
            PaintWindow(*paintCanvas_);
        }
        PaintControls(area);
        return;
    }
    case WM_SETFOCUS:
        if (TCustomForm* form = ParentForm()) form->EnterControl(this);
        return;
    case WM_KILLFOCUS:
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        Word key = static_cast<Word>(m.WParam);
        if (DoKeyDown(key, KeyShift())) m.Result = 0;
        m.WParam = key;
        return;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        Word key = static_cast<Word>(m.WParam);
        DoKeyUp(key, KeyShift());
        m.WParam = key;
        return;
    }
    case WM_CHAR: {
        char c = static_cast<char>(m.WParam);
        DoKeyPress(c);
        m.WParam = static_cast<unsigned char>(c);
        return;
    }
    case CM_ENTER:
        DoEnter();
        return;
    case CM_EXIT:
        DoExit();
        return;
    case CM_COLORCHANGED: {
        brush_.Color = Color();
        TControl::WndProc(m);
        const std::vector<TControl*> children = controls_;
        for (TControl* c : children) c->Perform(CM_PARENTCOLORCHANGED);
        return;
    }
    case CM_FONTCHANGED: {
        TControl::WndProc(m);
        const std::vector<TControl*> children = controls_;
        for (TControl* c : children) c->Perform(CM_PARENTFONTCHANGED);
        return;
    }
    case CM_DIALOGCHAR: {
        std::vector<TControl*> offered(tabList_.begin(), tabList_.end());
        for (TControl* c : controls_)
            if (!dynamic_cast<TWinControl*>(c)) offered.push_back(c);
        for (TControl* c : offered) {
            if (!ContainsControl(c) || !c->Visible() || !c->Enabled()) continue;
            m.Result = c->Perform(CM_DIALOGCHAR, m.WParam, m.LParam);
            if (m.Result != 0) return;
        }
        return;
    }
    case CM_SHOWHINTCHANGED: {
        const std::vector<TControl*> children = controls_;
        for (TControl* c : children) c->Perform(CM_PARENTSHOWHINTCHANGED);
        return;
    }
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
        if (m.Msg == CM_VISIBLECHANGED && Visible()) Invalidate();
        if (!Visible() || !Enabled()) LoseFocus();
        TControl::WndProc(m);
        return;
    default:
        TControl::WndProc(m);
    }
}

void TWinControl::DefaultHandler(TMessage& m)
{
    if (m.Msg == WM_ERASEBKGND) {
        const TRect area = IntersectRect(paintArea_.IsEmpty() ? ClientRect() : paintArea_,
                                         TRect{0, 0, surface_.width(), surface_.height()});
        const std::uint32_t pixel = PixelOf(brush_.Color);
        for (int y = area.Top; y < area.Bottom; ++y) std::fill(surface_.row(y) + area.Left, surface_.row(y) + area.Right, pixel);
        gui::detail::PictureChanged();
        m.Result = 1;
        return;
    }
    TControl::DefaultHandler(m);
}

// ---- custom controls ----

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), canvas_(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::CreateHandle()
{
    if (HandleAllocated()) return;
    AllocateWindow();
    TargetCanvas(*canvas_);
    AnnounceWindow();
}

void TCustomControl::BoundsChanged(bool sized)
{
    TWinControl::BoundsChanged(sized);
}

void TCustomControl::PaintWindow(TCanvas& canvas)
{
    // The canvas's pen, brush and font stay as the last drawing left them;
    // it clips as the paint's canvas does.
    const PaintClip clip(*canvas_, canvas.Target().clip);
    Paint();
}

// ---- graphic controls ----

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), canvas_(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::Canvas()
{
    // While painting it keeps the paint's target and clip.
    if (painting_) return canvas_.get();
    CanvasTarget t;
    if (Parent() && Parent()->HandleAllocated()) {
        t.surface = &Parent()->ClientSurface();
        t.origin = TPoint{Left(), Top()};
        t.clip = BoundsRect();
    }
    canvas_->SetTarget(t);
    return canvas_.get();
}

void TGraphicControl::PaintOn(gui::Surface& surface, const TRect& area)
{
    CanvasTarget t;
    t.surface = &surface;
    t.origin = TPoint{Left(), Top()};
    t.clip = area;
    canvas_->SetTarget(t);
    painting_ = true;
    struct Done {
        bool& painting;
        ~Done() { painting = false; }
    } done{painting_};
    Paint();
}
