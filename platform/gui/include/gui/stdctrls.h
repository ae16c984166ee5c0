// Labels, push buttons, single-line edits, memos and the clipboard.
#pragma once

#include "gui/controls.h"
#include "gui/sysutils.h"

#include <string>
#include <vector>

enum TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

// Not transparent by default: it fills its background with Color. 65 x 17.
// Each line break starts a row; WordWrap also breaks rows at blanks to fit
// the width. AutoSize fits the size to the rows (word-wrapped: the height
// only).
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* AOwner);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout l);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    void AdjustSize();

private:
    bool autoSize_ = true;
    TAlignment alignment_ = taLeftJustify;
    TTextLayout layout_ = tlTop;
    bool transparent_ = false;
    bool wordWrap_ = false;
};

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

// Clicks on a left release inside, on Space while focused, on Enter when it
// is the Default button (or focused), on Escape when it is the Cancel button.
// It takes the focus when pressed.
class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);
    bool Default() const { return default_; }
    void SetDefault(bool v);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    // Set on the form when clicked (mrNone: nothing).
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult r) { modalResult_ = r; }
    void Click() override;
    void WndProc(TMessage& Message) override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void PaintWindow(TCanvas& canvas) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    bool pressed_ = false;
    bool spacePressed_ = false;
    TModalResult modalResult_ = mrNone;
};

// Single line. MaxLength (0 = no limit) limits typing and pasting, not
// assignment to Text. It selects all when it gains the focus.
class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* AOwner);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v) { maxLength_ = v; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    void SetSelStart(int v);
    void SetSelLength(int v);
    void SelectAll();
    // Inserts at the caret over the selection, as far as MaxLength allows.
    void PasteText(std::string_view text);
    void PasteFromClipboard();
    TNotifyEvent OnChange;
    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void PaintWindow(TCanvas& canvas) override;
    void DoEnter() override;

private:
    void ReplaceSelection(std::string_view text);
    int maxLength_ = 0;
    bool readOnly_ = false;
    int selStart_ = 0;
    int selLength_ = 0;
};

// Several lines of text, word-wrapped to its width; what does not fit below
// is cut. Lines is the content (setting Text sets the Lines). Unless
// ReadOnly, typed characters go to the end of the last line and Enter (which
// it wants, so no default button is pressed) starts a new one.
class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* AOwner);
    TStringList* Lines() { return &lines_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    // The rows as shown after wrapping.
    std::vector<std::string> ShownRows();
    TNotifyEvent OnChange;
    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void PaintWindow(TCanvas& canvas) override;

private:
    TStringList lines_;
    bool readOnly_ = false;
    bool wordWrap_ = true;
};

// The program's clipboard text (the system clipboard on a display).
void SetClipboardText(std::string_view text);
std::string ClipboardText();
