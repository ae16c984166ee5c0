// Captions with accelerator marks.
#include "widgets/look.h"

namespace gui::detail {

ShownCaption ParseCaption(std::string_view caption)
{
    ShownCaption shown;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != '&' && shown.accelerator < 0) shown.accelerator = static_cast<int>(shown.text.size());
        }
        shown.text += caption[i];
    }
    return shown;
}

void CaptionText(TCanvas& canvas, const TFont& font, bool enabled, int x, int y, const ShownCaption& caption)
{
    PlainText(canvas, font, enabled, x, y, caption.text);
    if (caption.accelerator < 0) return;
    const std::string_view text = caption.text;
    const int from = x + canvas.TextWidth(text.substr(0, static_cast<std::size_t>(caption.accelerator)));
    const int to = x + canvas.TextWidth(text.substr(0, static_cast<std::size_t>(caption.accelerator) + 1));
    const int under = y + canvas.TextHeight(text) - 2;
    TPen* pen = canvas.Pen();
    const TPen saved = *pen;
    pen->Style = psSolid;
    pen->Width = 1;
    pen->Color = canvas.Font()->Color();
    canvas.MoveTo(from, under);
    canvas.LineTo(to, under);
    *pen = saved;
}

}  // namespace gui::detail
