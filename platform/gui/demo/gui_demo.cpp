// Shows a small form in a window on the display (headless: renders it to a
// PNG instead). For looking at the library's drawing and trying its input,
// message boxes, the file dialog, hints and accelerators:
//     zavo_gui_demo [--seconds N] [--png FILE]
// It ends after N seconds (default: when its window is closed).
#include <vcl.h>

#include <cstdlib>
#include <iostream>
#include <string>

namespace {

class DemoForm : public TForm {
public:
    explicit DemoForm(TComponent* owner) : TForm(owner)
    {
        SetText("Zavo GUI");
        SetClientWidth(300);
        SetClientHeight(130);
        SetPosition(poScreenCenter);
        Font()->SetName("Arial");
        auto* caption = new TLabel(this);
        caption->SetParent(this);
        caption->SetBounds(10, 10, 100, 16);
        caption->SetText("Gain:");
        readout_ = new TLabel(this);
        readout_->SetAutoSize(false);
        readout_->SetParent(this);
        readout_->SetBounds(10, 34, 40, 16);
        readout_->SetColor(clBlack);
        readout_->Font()->SetColor(clLime);
        readout_->SetAlignment(taCenter);
        auto* edit = new TEdit(this);
        edit->SetParent(this);
        edit->SetBounds(60, 32, 50, 21);
        edit->SetText("0");
        auto* down = new TSpeedButton(this);
        down->SetParent(this);
        down->SetBounds(130, 10, 40, 22);
        down->SetText("+48v");
        down->SetGroupIndex(1);
        down->SetAllowAllUp(true);
        down->SetHint("Phantom power on or off");
        down->SetShowHint(true);
        // The answers of the boxes and the file dialog.
        auto* answer = new TLabel(this);
        answer->SetParent(this);
        answer->SetBounds(10, 66, 280, 16);
        auto* ask = new TButton(this);
        ask->SetParent(this);
        ask->SetBounds(10, 95, 80, 25);
        ask->SetText("&Message...");
        ask->OnClick = [answer](TObject*) {
            const int chosen = MessageBoxA(nullptr, "Apply the new configuration now?\nIt may take several minutes.", "Zavo GUI",
                                           MB_YESNOCANCEL | MB_ICONQUESTION);
            answer->SetText(chosen == IDYES ? "Yes" : chosen == IDNO ? "No" : "Cancel");
        };
        auto* open = new TButton(this);
        open->SetParent(this);
        open->SetBounds(95, 95, 80, 25);
        open->SetText("&Open...");
        open->OnClick = [answer](TObject*) {
            char file[260] = "";
            OPENFILENAMEA ofn{};
            ofn.lStructSize = sizeof ofn;
            ofn.lpstrFilter = "Korvane3 sessions (*.kvs)\0*.kvs\0All files (*.*)\0*.*\0";
            ofn.nFilterIndex = 2;
            ofn.lpstrFile = file;
            ofn.nMaxFile = sizeof file;
            ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST;
            answer->SetText(GetOpenFileNameA(&ofn) ? file + ofn.nFileOffset : "(no file)");
        };
        auto* ok = new TButton(this);
        ok->SetParent(this);
        ok->SetBounds(220, 95, 70, 25);
        ok->SetText("Close");
        ok->OnClick = [this](TObject*) { Close(); };
        // A click on the readout asks for a number in a small modal form.
        readout_->OnMouseUp = [this, edit](TObject*, TMouseButton, TShiftState, int, int) {
            const int typed = AskNumber(StrToIntDef(edit->Text(), 0));
            edit->SetText(Format("%d", typed));
        };
        timer_ = new TTimer(this);
        timer_->SetInterval(40);
        timer_->OnTimer = [this](TObject*) {
            ticks_ = (ticks_ + 1) % 100;
            readout_->SetText(Format("%d", -ticks_));
        };
    }

private:
    int AskNumber(int initial)
    {
        TForm dialog(nullptr);
        dialog.SetText("Gain setting");
        dialog.SetBorderStyle(TFormBorderStyle::bsDialog);
        dialog.SetClientWidth(130);
        dialog.SetClientHeight(79);
        const TPoint at = Mouse->CursorPos();
        dialog.SetLeft(at.X - dialog.Width() / 2);
        dialog.SetTop(at.Y - dialog.Height() / 2);
        auto* edit = new TEdit(&dialog);
        edit->SetParent(&dialog);
        edit->SetBounds(65, 16, 36, 21);
        edit->SetMaxLength(3);
        edit->SetText(Format("%d", initial));
        auto* ok = new TButton(&dialog);
        ok->SetParent(&dialog);
        ok->SetBounds(10, 50, 50, 25);
        ok->SetText("OK");
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
        auto* cancel = new TButton(&dialog);
        cancel->SetParent(&dialog);
        cancel->SetBounds(70, 50, 50, 25);
        cancel->SetText("Cancel");
        cancel->SetCancel(true);
        cancel->SetModalResult(mrCancel);
        if (dialog.ShowModal() != mrOk) return initial;
        return StrToIntDef(edit->Text(), initial);
    }

    TLabel* readout_ = nullptr;
    TTimer* timer_ = nullptr;
    int ticks_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    int seconds = 0;
    std::string png;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--seconds") seconds = std::atoi(argv[i + 1]);
        else if (arg == "--png") png = argv[i + 1];
    }
    Application->Initialize();
    Application->SetShowHint(true);
    DemoForm* form = nullptr;
    Application->CreateForm(form);
    if (!Application->Presenting()) {
        form->Show();
        const std::string file = png.empty() ? "zavo_gui_demo.png" : png;
        const bool saved = gui::SaveFormPng(*form, file);
        std::cout << (saved ? "rendered to " : "could not write ") << file << "\n";
        return saved ? 0 : 1;
    }
    if (seconds > 0) {
        auto* stop = new TTimer(form);
        stop->SetInterval(static_cast<UINT>(seconds) * 1000);
        stop->OnTimer = [](TObject*) { Application->Terminate(); };
    }
    Application->Run();
    if (!png.empty()) gui::SaveFormPng(*form, png);
    return 0;
}
