// The message box form: its text, its buttons and their answers.
#include "widgets/message_form.h"

#include "widgets/look.h"

#include "gui/forms.h"

#include <win32/desktop.h>

#include <algorithm>
#include <vector>

namespace gui::detail {

namespace {

constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;

struct Choice {
    const char* caption;
    int answer;  // also the button's modal result: IDOK is mrOk, IDYES mrYes ...
};

std::vector<Choice> ChoicesOf(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{"OK", IDOK}, {"Cancel", IDCANCEL}};
    case MB_YESNO: return {{"&Yes", IDYES}, {"&No", IDNO}};
    case MB_YESNOCANCEL: return {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}};
    default: return {{"OK", IDOK}};
    }
}

}  // namespace

int RunMessageForm(std::string_view text, std::string_view caption, UINT type)
{
    TForm form(nullptr);
    form.SetText(caption);
    form.SetBorderStyle(TFormBorderStyle::bsDialog);
    form.SetBorderIcons(TBorderIcons{biSystemMenu});
    form.SetPosition(poScreenCenter);

    // The text as wide as its longest line, up to half the screen; wider
    // lines wrap.
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetWordWrap(true);
    TCanvas measure;
    measure.Font()->Assign(*label->Font());
    int widest = 0;
    for (const TextRow& row : TextRows(measure, text, 0, false))
        widest = std::max(widest, measure.TextWidth(text.substr(row.start, row.length)));
    const int textWidth = std::clamp(widest, 1, std::max(200, Screen->DesktopWidth() / 2));
    label->SetBounds(kMargin, kMargin, textWidth, label->Height());
    label->SetText(text);

    const std::vector<Choice> choices = ChoicesOf(type);
    const int count = static_cast<int>(choices.size());
    const int buttonsWidth = count * kButtonWidth + (count - 1) * kButtonGap;
    const int clientWidth = std::max(textWidth, buttonsWidth) + 2 * kMargin;
    const int buttonsTop = label->Top() + label->Height() + 2 * kMargin;
    form.SetClientWidth(clientWidth);
    form.SetClientHeight(buttonsTop + kButtonHeight + kMargin);
    const int defaultAnswer = win32::DefaultButton(type);
    bool hasCancel = false;
    for (int i = 0; i < count; ++i) {
        const Choice& choice = choices[static_cast<std::size_t>(i)];
        auto* button = new TButton(&form);
        button->SetParent(&form);
        button->SetBounds((clientWidth - buttonsWidth) / 2 + i * (kButtonWidth + kButtonGap), buttonsTop, kButtonWidth, kButtonHeight);
        button->SetText(choice.caption);
        button->SetModalResult(choice.answer);
        // Escape answers Cancel, and in a box with only OK, OK.
        button->SetCancel(choice.answer == IDCANCEL || count == 1);
        hasCancel = hasCancel || choice.answer == IDCANCEL;
        if (choice.answer == defaultAnswer) {
            button->SetDefault(true);
            form.SetActiveControl(button);
        }
    }
    const TModalResult result = form.ShowModal();
    // The frame's close box (or the end of the program) gives mrCancel.
    if (result == mrCancel && !hasCancel) return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
    return result;
}

}  // namespace gui::detail
