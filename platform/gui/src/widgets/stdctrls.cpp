// Labels, push buttons, single-line edits, memos and the clipboard.
#include "core/access.h"
#include "host/window.h"
#include "widgets/look.h"
#include "widgets/property.h"

#include "gui/forms.h"
#include "gui/stdctrls.h"

#include <win32/desktop.h>

#include <algorithm>

using gui::detail::Fill;

// ---- TLabel ----

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetAutoSize(bool v)
{
    if (v == autoSize_) return;
    autoSize_ = v;
    AdjustSize();
}

void TLabel::SetAlignment(TAlignment a)
{
    gui::detail::StoreAndRepaint(*this, alignment_, a);
}

void TLabel::SetLayout(TTextLayout l)
{
    gui::detail::StoreAndRepaint(*this, layout_, l);
}

void TLabel::SetTransparent(bool v)
{
    gui::detail::StoreAndRepaint(*this, transparent_, v);
}

void TLabel::SetWordWrap(bool v)
{
    if (v == wordWrap_) return;
    wordWrap_ = v;
    AdjustSize();
    Invalidate();
}

void TLabel::AdjustSize()
{
    if (!autoSize_ || ComponentState().Contains(csLoading)) return;
    TCanvas measure;
    measure.Font()->Assign(*Font());
    // Word-wrapped, the width stays and the height follows the rows; else
    // the widest row gives the width. An empty caption keeps the height of
    // a line and the width.
    const std::string shown = gui::detail::ParseCaption(Caption()).text;
    const auto rows = gui::detail::TextRows(measure, shown, Width(), wordWrap_);
    int width = 0;
    for (const gui::detail::TextRow& row : rows) width = std::max(width, measure.TextWidth(std::string_view(shown).substr(row.start, row.length)));
    const int height = static_cast<int>(rows.size()) * measure.TextHeight(" ");
    SetBounds(Left(), Top(), wordWrap_ || Caption().empty() ? Width() : width, height);
}

void TLabel::WndProc(TMessage& m)
{
    if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_FONTCHANGED) AdjustSize();
    TGraphicControl::WndProc(m);
}

void TLabel::Paint()
{
    TCanvas& canvas = *Canvas();
    const TRect client = ClientRect();
    if (!transparent_) Fill(canvas, client, Color());
    canvas.Font()->Assign(*Font());
    const gui::detail::ShownCaption caption = gui::detail::ParseCaption(Caption());
    const auto rows = gui::detail::TextRows(canvas, caption.text, client.Width(), wordWrap_);
    const int rowHeight = canvas.TextHeight(" ");
    const int height = static_cast<int>(rows.size()) * rowHeight;
    int y = 0;
    if (layout_ == tlCenter) y = (client.Height() - height) / 2;
    else if (layout_ == tlBottom) y = client.Height() - height;
    for (const gui::detail::TextRow& row : rows) {
        gui::detail::ShownCaption shown{caption.text.substr(row.start, row.length), -1};
        const auto accelerator = static_cast<std::size_t>(caption.accelerator);
        if (caption.accelerator >= 0 && accelerator >= row.start && accelerator < row.start + row.length)
            shown.accelerator = static_cast<int>(accelerator - row.start);
        const int width = canvas.TextWidth(shown.text);
        int x = 0;
        if (alignment_ == taCenter) x = (client.Width() - width) / 2;
        else if (alignment_ == taRightJustify) x = client.Width() - width;
        gui::detail::CaptionText(canvas, *Font(), Enabled(), x, y, shown);
        y += rowHeight;
    }
}

// ---- TButton ----

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner)
{
    // Clicks come from the button's own press and release; a double-click
    // is two presses.
    SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption});
    SetColor(clBtnFace);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool v)
{
    gui::detail::StoreAndRepaint(*this, default_, v);
}

void TButton::Click()
{
    if (TCustomForm* form = ParentForm(); form && modalResult_ != mrNone) form->SetModalResult(modalResult_);
    TWinControl::Click();
}

void TButton::WndProc(TMessage& m)
{
    if (m.Msg == CM_DIALOGCHAR && gui::detail::IsAccel(m.WParam, Caption()) && CanFocus()) {
        Click();
        m.Result = 1;
        return;
    }
    if (gui::detail::FocusLookMessage(*this, m, DLGC_BUTTON | (default_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON))) return;
    if (m.Msg == WM_KILLFOCUS) pressed_ = spacePressed_ = false;
    TWinControl::WndProc(m);
}

void TButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        SetFocus();
        pressed_ = true;
        Invalidate();
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

void TButton::MouseMove(TShiftState Shift, int X, int Y)
{
    if (pressed_) Invalidate();
    TWinControl::MouseMove(Shift, X, Y);
}

void TButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && pressed_) {
        pressed_ = false;
        Invalidate();
        if (ClientRect().Contains(TPoint{X, Y})) Click();
    }
    TWinControl::MouseUp(Button, Shift, X, Y);
}

void TButton::KeyDown(Word& Key, TShiftState Shift)
{
    TWinControl::KeyDown(Key, Shift);
    if (Key == VK_SPACE) {
        spacePressed_ = true;
        Invalidate();
    }
}

void TButton::KeyUp(Word& Key, TShiftState Shift)
{
    TWinControl::KeyUp(Key, Shift);
    if (Key == VK_SPACE && spacePressed_) {
        spacePressed_ = false;
        Invalidate();
        Click();
    }
}

void TButton::PaintWindow(TCanvas& canvas)
{
    TRect r = ClientRect();
    const bool pressed = spacePressed_ || (pressed_ && MouseCapture() && ClientRect().Contains(ScreenToClient(Mouse->CursorPos())));
    const TCustomForm* form = ParentForm();
    const bool isDefault = Focused() || (default_ && form && !dynamic_cast<TButton*>(form->ActiveControl()));
    if (isDefault) r = gui::detail::Frame3D(canvas, r, clBlack, clBlack);
    r = gui::detail::ButtonFace(canvas, r, pressed);
    const gui::detail::ShownCaption caption = gui::detail::ParseCaption(Caption());
    canvas.Font()->Assign(*Font());
    const TPoint size = canvas.TextExtent(caption.text);
    const int shift = pressed ? 1 : 0;
    gui::detail::CaptionText(canvas, *Font(), Enabled(), r.Left + (r.Width() - size.X) / 2 + shift,
                             r.Top + (r.Height() - size.Y) / 2 + shift, caption);
    if (Focused()) {
        canvas.Brush()->Style = TBrushStyle::bsSolid;
        canvas.Brush()->Color = clGray;
        canvas.FrameRect(TRect{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2});
    }
}

// ---- TEdit ----

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(0, 0, 121, 21);
}

void TEdit::SetSelStart(int v)
{
    selStart_ = std::clamp(v, 0, static_cast<int>(Text().size()));
    selLength_ = 0;
    Invalidate();
}

void TEdit::SetSelLength(int v)
{
    selLength_ = std::clamp(v, 0, static_cast<int>(Text().size()) - selStart_);
    Invalidate();
}

void TEdit::SelectAll()
{
    selStart_ = 0;
    selLength_ = static_cast<int>(Text().size());
    Invalidate();
}

void TEdit::ReplaceSelection(std::string_view text)
{
    if (readOnly_) return;
    const std::string& old = Text();
    const std::size_t start = static_cast<std::size_t>(selStart_);
    const std::size_t kept = old.size() - static_cast<std::size_t>(selLength_);
    if (maxLength_ > 0) {
        const std::size_t room = static_cast<std::size_t>(maxLength_) > kept ? static_cast<std::size_t>(maxLength_) - kept : 0;
        text = text.substr(0, std::min(room, text.size()));
    }
    if (text.empty() && selLength_ == 0) return;
    std::string next = old.substr(0, start);
    next += text;
    next += old.substr(start + static_cast<std::size_t>(selLength_));
    const int caret = static_cast<int>(start + text.size());
    SetText(next);
    selStart_ = caret;
    selLength_ = 0;
    Invalidate();
}

void TEdit::PasteText(std::string_view text)
{
    // One line: the paste ends at the first line break.
    ReplaceSelection(text.substr(0, std::min(text.find_first_of("\r\n"), text.size())));
}

void TEdit::PasteFromClipboard()
{
    PasteText(ClipboardText());
}

void TEdit::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
        return;
    case CM_TEXTCHANGED:
        selStart_ = std::min(selStart_, static_cast<int>(Text().size()));
        selLength_ = std::min(selLength_, static_cast<int>(Text().size()) - selStart_);
        TWinControl::WndProc(m);
        InvokeEvent(OnChange, this);
        return;
    case CM_EXIT:
        TWinControl::WndProc(m);
        Invalidate();
        return;
    default:
        TWinControl::WndProc(m);
    }
}

void TEdit::DoEnter()
{
    SelectAll();
    TWinControl::DoEnter();
}

void TEdit::KeyDown(Word& Key, TShiftState Shift)
{
    TWinControl::KeyDown(Key, Shift);
    const int length = static_cast<int>(Text().size());
    const int caret = selStart_ + selLength_;
    switch (Key) {
    case VK_LEFT: SetSelStart(selLength_ > 0 ? selStart_ : caret - 1); break;
    case VK_RIGHT: SetSelStart(selLength_ > 0 ? caret : caret + 1); break;
    case VK_HOME: SetSelStart(0); break;
    case VK_END: SetSelStart(length); break;
    case VK_DELETE:
        if (selLength_ == 0 && selStart_ < length) selLength_ = 1;
        ReplaceSelection("");
        break;
    default: break;
    }
}

void TEdit::KeyPress(char& Key)
{
    TWinControl::KeyPress(Key);
    const unsigned char c = static_cast<unsigned char>(Key);
    if (c == 0) return;
    if (c == '\b') {
        if (selLength_ == 0 && selStart_ > 0) {
            --selStart_;
            selLength_ = 1;
        }
        ReplaceSelection("");
    } else if (c == 22) {  // Ctrl+V
        PasteFromClipboard();
    } else if (c == 3 || c == 24) {  // Ctrl+C, Ctrl+X
        SetClipboardText(Text().substr(static_cast<std::size_t>(selStart_), static_cast<std::size_t>(selLength_)));
        if (c == 24) ReplaceSelection("");
    } else if (c == 1) {  // Ctrl+A
        SelectAll();
    } else if (c >= 32) {
        ReplaceSelection(std::string_view(&Key, 1));
    }
}

void TEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        const bool entering = !Focused();
        SetFocus();
        if (!entering) {
            // The caret goes to the character boundary nearest the press.
            TCanvas measure;
            measure.Font()->Assign(*Font());
            int best = 0;
            for (int i = 0; i <= static_cast<int>(Text().size()); ++i)
                if (std::abs(3 + measure.TextWidth(std::string_view(Text()).substr(0, static_cast<std::size_t>(i))) - X) <
                    std::abs(3 + measure.TextWidth(std::string_view(Text()).substr(0, static_cast<std::size_t>(best))) - X))
                    best = i;
            SetSelStart(best);
        }
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

void TEdit::PaintWindow(TCanvas& canvas)
{
    TRect r = ClientRect();
    Fill(canvas, r, Color());
    r = gui::detail::Frame3D(canvas, r, clBtnShadow, clBtnHighlight);
    r = gui::detail::Frame3D(canvas, r, cl3DDkShadow, cl3DLight);
    canvas.Font()->Assign(*Font());
    const std::string_view text = Text();
    const int y = r.Top + (r.Height() - canvas.TextHeight("0")) / 2;
    const int x = r.Left + 1;
    const auto prefix = [&](int n) { return canvas.TextWidth(text.substr(0, static_cast<std::size_t>(n))); };
    gui::detail::PlainText(canvas, *Font(), Enabled(), x, y, text);
    if (!Focused()) return;
    if (selLength_ > 0) {
        const TRect sel{x + prefix(selStart_), y, x + prefix(selStart_ + selLength_), y + canvas.TextHeight("0")};
        Fill(canvas, sel, clHighlight);
        canvas.Font()->SetColor(clHighlightText);
        canvas.Brush()->Style = TBrushStyle::bsClear;
        canvas.TextOut(sel.Left, y, text.substr(static_cast<std::size_t>(selStart_), static_cast<std::size_t>(selLength_)));
    } else {
        canvas.Pen()->Color = clWindowText;
        const int cx = x + prefix(selStart_);
        canvas.MoveTo(cx, y);
        canvas.LineTo(cx, y + canvas.TextHeight("0"));
    }
}

// ---- TMemo ----

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner)
{
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(0, 0, 185, 89);
    lines_.OnChange = [this] {
        Invalidate();
        InvokeEvent(OnChange, this);
    };
}

void TMemo::SetWordWrap(bool v)
{
    gui::detail::StoreAndRepaint(*this, wordWrap_, v);
}

std::vector<std::string> TMemo::ShownRows()
{
    TCanvas measure;
    measure.Font()->Assign(*Font());
    std::vector<std::string> rows;
    for (int i = 0; i < lines_.Count(); ++i) {
        const std::string_view line = lines_[i];
        for (const gui::detail::TextRow& row : gui::detail::TextRows(measure, line, Width() - 8, wordWrap_))
            rows.emplace_back(line.substr(row.start, row.length));
    }
    return rows;
}

void TMemo::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
        return;
    case CM_TEXTCHANGED:
        lines_.SetText(Text());
        return;
    case CM_FONTCHANGED:
        TWinControl::WndProc(m);
        Invalidate();
        return;
    default:
        TWinControl::WndProc(m);
    }
}

void TMemo::KeyDown(Word& Key, TShiftState Shift)
{
    TWinControl::KeyDown(Key, Shift);
    if (Key == VK_RETURN && !readOnly_) lines_.Add("");
}

void TMemo::KeyPress(char& Key)
{
    TWinControl::KeyPress(Key);
    const unsigned char c = static_cast<unsigned char>(Key);
    if (readOnly_ || c == 0) return;
    if (lines_.Count() == 0 && (c >= 32 || c == '\b')) lines_.Add("");
    const int last = lines_.Count() - 1;
    if (c == '\b') {
        std::string line = lines_[last];
        if (!line.empty()) {
            line.pop_back();
            lines_.SetStrings(last, line);
        } else if (last > 0) {
            lines_.Delete(last);
        }
    } else if (c >= 32) {
        lines_.SetStrings(last, lines_[last] + Key);
    }
}

void TMemo::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) SetFocus();
    TWinControl::MouseDown(Button, Shift, X, Y);
}

void TMemo::PaintWindow(TCanvas& canvas)
{
    TRect r = ClientRect();
    Fill(canvas, r, Color());
    r = gui::detail::Frame3D(canvas, gui::detail::Frame3D(canvas, r, clBtnShadow, clBtnHighlight), cl3DDkShadow, cl3DLight);
    canvas.Font()->Assign(*Font());
    const int rowHeight = canvas.TextHeight("0");
    int y = r.Top + 1;
    for (const std::string& row : ShownRows()) {
        if (y >= r.Bottom) break;
        canvas.Brush()->Style = TBrushStyle::bsClear;
        canvas.TextRect(r, r.Left + 2, y, row);
        y += rowHeight;
    }
}

// ---- clipboard ----

namespace {
std::string& Clipboard()
{
    static std::string text;
    return text;
}
}  // namespace

// On a display the system's clipboard; headless one of the program's own.
void SetClipboardText(std::string_view text)
{
    if (Application->Presenting()) gui::detail::SetSystemClipboard(text);
    else Clipboard() = text;
}

std::string ClipboardText()
{
    return Application->Presenting() ? gui::detail::SystemClipboard() : Clipboard();
}
