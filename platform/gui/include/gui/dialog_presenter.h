// A Win32 modal dialog shown as a form. The dialog's state lives in its
// win32::ModalDialog; the form is built from the dialog's template, only
// shows that state, and turns the user's clicks, keys and the close box
// into the dialog's own actions. What the display's desktop runs a dialog
// with:
//
//     void RunDialog(win32::ModalDialog& dialog) override { gui::PresentDialog(dialog); }
#pragma once

#include "gui/forms.h"

#include <win32/dialogs.h>

#include <string>
#include <vector>

namespace gui {

// Dialog units in pixels, from the template's font (through the library's
// font substitutes): a horizontal unit is a quarter of `width`, the average
// width of the 52 letters A-Z and a-z, rounded; a vertical one an eighth of
// `height`, the font's cell height.
struct DialogBaseUnits {
    int width;
    int height;
};
DialogBaseUnits BaseUnitsOf(const win32::DialogTemplate& dialog);
// A rectangle in dialog units, in pixels, each side rounded as MulDiv rounds.
TRect DialogUnitsToPixels(const DialogBaseUnits& units, int x, int y, int cx, int cy);
// A control's rectangle in the dialog's client pixels.
TRect ItemBounds(const win32::DialogTemplate& dialog, const win32::DialogItemTemplate& item);
// The name of a picture's bitmap resource (gui/graphics.h): "#109" for one
// named by a number.
std::string BitmapResourceName(const win32::NameOrOrdinal& name);

// The form of one dialog, open (the procedure has had WM_INITDIALOG):
// centred on the screen, with a dialog frame, the client size of the
// template and one control per item, every one a child of the form, in
// template order, which is their tab order: TButton for push buttons (the
// default one Default), TRadioButton, TCheckBox, TGroupBox, and TImage for
// a static picture (empty when its bitmap resource is missing). A group box
// lies beneath every control, as Windows' transparent ones do; the radio
// buttons of the form's one parent are one group.
class TDialogForm : public TForm {
public:
    TDialogForm(TComponent* AOwner, win32::ModalDialog& dialog);

    win32::ModalDialog& Dialog() const { return dialog_; }
    // The control of the template's item `index`; null for an item of a
    // kind the form does not show.
    TControl* ItemControl(std::size_t index) const { return controls_.at(index); }
    // The control of the first item with that id, or null.
    TControl* FindItem(int id) const;
    // Each control's Checked and Enabled as the dialog has them. Fires no
    // click into the dialog.
    void Sync();
    // Modal until the dialog has ended (nothing when it has already).
    void Run();

    void WndProc(TMessage& Message) override;

private:
    TControl* MakeControl(const win32::DialogItemTemplate& item);
    // One action of the user on the dialog, then the form shown as it left
    // the dialog; an ended dialog ends the modal loop.
    template <class Action>
    void Act(Action action);

    win32::ModalDialog& dialog_;
    std::vector<TControl*> controls_;
    bool syncing_ = false;
};

// Shows the dialog as a modal form until it has ended.
void PresentDialog(win32::ModalDialog& dialog);

}  // namespace gui
