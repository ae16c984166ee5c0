// Captions with accelerator marks.
#include "widgets/look.h"

#include <algorithm>
#include <cctype>

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

bool IsAccel(WPARAM key, std::string_view caption)
{
    const ShownCaption shown = ParseCaption(caption);
    if (shown.accelerator < 0) return false;
    const unsigned char c = static_cast<unsigned char>(shown.text[static_cast<std::size_t>(shown.accelerator)]);
    return static_cast<WPARAM>(std::toupper(c)) == key;
}

namespace {

// The rows of one line (no breaks in it).
void WrapLine(TCanvas& canvas, std::string_view text, std::size_t start, std::size_t end, int width, bool wrap,
              std::vector<TextRow>& rows)
{
    const auto fits = [&](std::size_t from, std::size_t n) { return canvas.TextWidth(text.substr(from, n)) <= width; };
    if (!wrap || fits(start, end - start)) {
        rows.push_back({start, end - start});
        return;
    }
    while (start < end) {
        // The longest prefix that fits: text widths grow with the prefix.
        std::size_t lo = 0, hi = end - start;
        while (lo < hi) {
            const std::size_t mid = (lo + hi + 1) / 2;
            if (fits(start, mid)) lo = mid;
            else hi = mid - 1;
        }
        const std::size_t fit = lo;
        if (start + fit == end) {
            rows.push_back({start, fit});
            return;
        }
        const std::size_t blank = text.substr(start, fit + 1).find_last_of(' ');
        const std::size_t cut = blank != std::string_view::npos && blank > 0 ? blank : std::max<std::size_t>(fit, 1);
        rows.push_back({start, cut});
        start += cut;
        while (start < end && text[start] == ' ') ++start;
    }
}

}  // namespace

std::vector<TextRow> TextRows(TCanvas& canvas, std::string_view text, int width, bool wrap)
{
    std::vector<TextRow> rows;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        WrapLine(canvas, text, start, end, std::max(1, width), wrap, rows);
        if (end == text.size()) return rows;
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
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
