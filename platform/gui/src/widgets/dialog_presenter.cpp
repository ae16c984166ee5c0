// A Win32 dialog's form: built from the template, kept in step with the
// dialog's state, and the user's input handed to the dialog as its actions.
#include "gui/dialog_presenter.h"

#include "gui/choice.h"
#include "gui/extctrls.h"
#include "gui/input.h"
#include "gui/stdctrls.h"
#include "gui/sysutils.h"

#include <win32/desktop.h>

#include <cctype>
#include <cstdlib>

namespace gui {

namespace {

constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kLetterCount = sizeof kLetters - 1;

// a * b / c rounded to the nearest, halves away from zero, as Windows' MulDiv.
int MulDiv(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long magnitude = (std::llabs(product) + c / 2) / c;
    return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

bool IsClass(const win32::DialogItemTemplate& item, std::string_view name)
{
    if (item.className.size() != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(item.className[i])) != std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

DWORD ButtonKind(const win32::DialogItemTemplate& item) { return item.style & BS_TYPEMASK; }

bool IsRadio(const win32::DialogItemTemplate& item)
{
    return IsClass(item, "Button") && (ButtonKind(item) == BS_AUTORADIOBUTTON || ButtonKind(item) == 4);
}

bool IsGroupBox(const win32::DialogItemTemplate& item)
{
    return IsClass(item, "Button") && ButtonKind(item) == BS_GROUPBOX;
}

void SetFontOf(TFont& font, const win32::DialogTemplate& dialog)
{
    font.SetName(dialog.fontName);
    font.SetSize(dialog.pointSize);
}

// A click on a checked radio button is a click too: the dialog hears of it,
// as Windows' buttons tell it.
class TDialogRadioButton final : public TRadioButton {
public:
    using TRadioButton::TRadioButton;

protected:
    void Toggle() override
    {
        if (Checked()) Click();
        else TRadioButton::Toggle();
    }
};

}  // namespace

DialogBaseUnits BaseUnitsOf(const win32::DialogTemplate& dialog)
{
    TBitmap measure(1, 1);
    SetFontOf(*measure.Canvas()->Font(), dialog);
    const TPoint letters = measure.Canvas()->TextExtent(kLetters);
    return DialogBaseUnits{(letters.X + kLetterCount / 2) / kLetterCount, letters.Y};
}

TRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int cx, int cy)
{
    return Bounds(MulDiv(x, units.width, 4), MulDiv(y, units.height, 8), MulDiv(cx, units.width, 4),
                  MulDiv(cy, units.height, 8));
}

TRect ItemBounds(const win32::DialogTemplate& dialog, const win32::DialogItemTemplate& item)
{
    return DialogUnitsToPixels(BaseUnitsOf(dialog), item.x, item.y, item.cx, item.cy);
}

std::string BitmapResourceName(const win32::NameOrOrdinal& name)
{
    return name.IsOrdinal() ? "#" + std::to_string(name.GetOrdinal()) : std::string(name.Name());
}

TDialogForm::TDialogForm(TComponent* AOwner, win32::ModalDialog& dialog) : TForm(AOwner), dialog_(dialog)
{
    const win32::DialogTemplate& tmpl = dialog.Template();
    const DialogBaseUnits units = BaseUnitsOf(tmpl);
    const bool framed = (tmpl.style & (WS_CAPTION | DS_MODALFRAME)) != 0;
    SetBorderStyle(framed ? TFormBorderStyle::bsDialog : TFormBorderStyle::bsNone);
    SetBorderIcons((tmpl.style & WS_SYSMENU) != 0 ? TBorderIcons{biSystemMenu} : TBorderIcons{});
    SetPosition(poScreenCenter);
    SetText(tmpl.caption);
    SetFontOf(*Font(), tmpl);
    const TRect client = DialogUnitsToPixels(units, 0, 0, tmpl.cx, tmpl.cy);
    SetClientWidth(client.Width());
    SetClientHeight(client.Height());

    controls_.reserve(tmpl.items.size());
    for (const win32::DialogItemTemplate& item : tmpl.items) controls_.push_back(MakeControl(item));
    // Group boxes first, beneath the rest; then every control in template order.
    for (bool groupBoxes : {true, false})
        for (std::size_t i = 0; i < controls_.size(); ++i)
            if (controls_[i] && IsGroupBox(tmpl.items[i]) == groupBoxes) {
                const win32::DialogItemTemplate& item = tmpl.items[i];
                const TRect bounds = DialogUnitsToPixels(units, item.x, item.y, item.cx, item.cy);
                controls_[i]->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
                controls_[i]->SetParent(this);
            }
    int order = 0;
    for (TControl* control : controls_)
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) windowed->SetTabOrder(order++);
    Sync();
}

TControl* TDialogForm::MakeControl(const win32::DialogItemTemplate& item)
{
    const int id = item.id;
    const std::string text(item.text.Name());
    auto click = [this, id](TObject*) {
        if (!syncing_) Act([&] { dialog_.Click(id); });
    };
    if (IsClass(item, "Static")) {
        if ((item.style & SS_TYPEMASK) != SS_BITMAP) return nullptr;
        auto* image = new TImage(this);
        // A picture the module does not have shows as none.
        TBitmap picture;
        try {
            picture.LoadFromResourceName(dialog_.Module(), BitmapResourceName(item.text));
            image->Picture()->Assign(picture);
        } catch (const EResNotFound&) {
        }
        return image;
    }
    if (!IsClass(item, "Button")) return nullptr;
    TWinControl* control = nullptr;
    const DWORD kind = ButtonKind(item);
    if (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON) {
        auto* button = new TButton(this);
        button->SetDefault(kind == BS_DEFPUSHBUTTON);
        button->OnClick = click;
        control = button;
    } else if (IsRadio(item)) {
        auto* radio = new TDialogRadioButton(this);
        radio->OnClick = click;
        control = radio;
    } else if (IsGroupBox(item)) {
        control = new TGroupBox(this);
    } else {
        auto* box = new TCheckBox(this);
        box->OnClick = click;
        control = box;
    }
    control->SetText(text);
    control->SetTabStop((item.style & WS_TABSTOP) != 0);
    return control;
}

TControl* TDialogForm::FindItem(int id) const
{
    const auto& items = dialog_.Template().items;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].id == id) return controls_[i];
    return nullptr;
}

void TDialogForm::Sync()
{
    const std::vector<win32::DialogItemState> states = dialog_.States();
    const auto& items = dialog_.Template().items;
    syncing_ = true;
    for (std::size_t i = 0; i < states.size() && i < controls_.size(); ++i) {
        TControl* control = controls_[i];
        if (!control) continue;
        control->SetEnabled(states[i].enabled);
        auto* box = dynamic_cast<TCheckBox*>(control);
        if (!box) continue;
        const bool checked = states[i].check == BST_CHECKED;
        box->SetChecked(checked);
        // Of a group of radio buttons only the checked one is a tab stop.
        if (IsRadio(items[i])) box->SetTabStop(checked && (items[i].style & WS_TABSTOP) != 0);
    }
    syncing_ = false;
}

template <class Action>
void TDialogForm::Act(Action action)
{
    action();
    Sync();
    if (dialog_.Ended()) SetModalResult(mrOk);
}

void TDialogForm::Run()
{
    if (!dialog_.Ended()) ShowModal();
}

void TDialogForm::WndProc(TMessage& m)
{
    // The close box, Escape and Enter are the dialog's, as its manager
    // handles them; the focused push button takes Enter itself.
    if (m.Msg == WM_CLOSE) {
        Act([&] { dialog_.Close(); });
        return;
    }
    if (m.Msg == CM_DIALOGKEY && (m.WParam == VK_ESCAPE || m.WParam == VK_RETURN)) {
        const TShiftState shift = CurrentShiftState();
        const bool bare = !shift.Contains(ssShift) && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt);
        const bool focusedButton = dynamic_cast<TButton*>(ActiveControl()) != nullptr;
        if (bare && (m.WParam == VK_ESCAPE || !focusedButton)) {
            Act([&] {
                if (m.WParam == VK_ESCAPE) dialog_.PressEscape();
                else dialog_.PressEnter();
            });
            m.Result = 1;
            return;
        }
    }
    TForm::WndProc(m);
}

void PresentDialog(win32::ModalDialog& dialog)
{
    TDialogForm form(nullptr, dialog);
    form.Run();
}

}  // namespace gui
