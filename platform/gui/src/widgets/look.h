// The look the widgets share: raised and sunken edges, button faces,
// captions with their accelerators, and the focus look.
#pragma once

#include "gui/controls.h"

#include <string>
#include <string_view>
#include <vector>

namespace gui::detail {

// One-pixel edges: `topLeft` along the top and left, `bottomRight` along the
// bottom and right; returns the rectangle inside them.
inline TRect Frame3D(TCanvas& canvas, TRect r, TColor topLeft, TColor bottomRight)
{
    TPen* pen = canvas.Pen();
    const TPen saved = *pen;
    pen->Style = psSolid;
    pen->Width = 1;
    pen->Color = topLeft;
    canvas.Polyline({TPoint{r.Left, r.Bottom - 1}, TPoint{r.Left, r.Top}, TPoint{r.Right - 1, r.Top}});
    pen->Color = bottomRight;
    canvas.Polyline({TPoint{r.Right - 1, r.Top}, TPoint{r.Right - 1, r.Bottom - 1}, TPoint{r.Left - 1, r.Bottom - 1}});
    *pen = saved;
    return TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

inline void Fill(TCanvas& canvas, const TRect& r, TColor color)
{
    TBrush* brush = canvas.Brush();
    brush->Bitmap = nullptr;
    brush->Style = TBrushStyle::bsSolid;
    brush->Color = color;
    canvas.FillRect(r);
}

// The raised face of a button (pressed: sunken) filled with clBtnFace.
inline TRect ButtonFace(TCanvas& canvas, const TRect& r, bool pressed)
{
    Fill(canvas, r, clBtnFace);
    if (pressed) return Frame3D(canvas, Frame3D(canvas, r, cl3DDkShadow, clBtnHighlight), clBtnShadow, clBtnFace);
    return Frame3D(canvas, Frame3D(canvas, r, clBtnHighlight, cl3DDkShadow), clBtnFace, clBtnShadow);
}

// Text in `font` (grey when disabled), over whatever is there.
inline void PlainText(TCanvas& canvas, const TFont& font, bool enabled, int x, int y, std::string_view text)
{
    canvas.Font()->Assign(font);
    if (!enabled) canvas.Font()->SetColor(clGrayText);
    canvas.Brush()->Style = TBrushStyle::bsClear;
    canvas.TextOut(x, y, text);
}

// A caption as a control shows it: "&x" makes x the accelerator (drawn
// underlined), "&&" is a plain "&".
struct ShownCaption {
    std::string text;
    int accelerator = -1;  // index into text, or -1
};
ShownCaption ParseCaption(std::string_view caption);
// The caption underlines the letter or digit of virtual key `key`.
bool IsAccel(WPARAM key, std::string_view caption);

// A row of shown text: where it starts in the text and how long it is.
struct TextRow {
    std::size_t start = 0;
    std::size_t length = 0;
};
// The rows `text` shows in `width` pixels of the canvas's font: a new row
// at each line break (CR LF, LF or CR); with `wrap`, a line wider than the
// room breaks after the last blank that fits (a word longer than a row
// breaks anywhere), and the blanks at the break start no row.
std::vector<TextRow> TextRows(TCanvas& canvas, std::string_view text, int width, bool wrap);

// The caption's text and the line under its accelerator, over what is there.
void CaptionText(TCanvas& canvas, const TFont& font, bool enabled, int x, int y, const ShownCaption& caption);

// What the focusable standard controls do alike: answer WM_GETDLGCODE with
// `dialogCode`, and repaint after the focus came or went (their focus look).
// True when the message was handled.
inline bool FocusLookMessage(TWinControl& control, TMessage& m, LRESULT dialogCode)
{
    if (m.Msg == WM_GETDLGCODE) {
        m.Result = dialogCode;
        return true;
    }
    if (m.Msg != CM_ENTER && m.Msg != CM_EXIT) return false;
    control.TWinControl::WndProc(m);
    control.Invalidate();
    return true;
}

}  // namespace gui::detail
