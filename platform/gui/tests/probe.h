// A custom control that records what reaches it, for dispatch and focus tests.
#pragma once

#include <gui_testing/gui_test.h>

#include <string>

class Probe : public TCustomControl {
public:
    Probe(TComponent* owner, gui_testing::Strings& log, std::string name, LRESULT dialogCode = 0)
        : TCustomControl(owner), log_(log), dialogCode_(dialogCode)
    {
        SetName(name);
        SetTabStop(true);
    }
    int paints = 0;
    // Set by tests: the key the control's own step sees.
    bool logKeys = true;

    void WndProc(TMessage& m) override
    {
        switch (m.Msg) {
        case WM_GETDLGCODE: m.Result = dialogCode_; return;
        case WM_KILLFOCUS: Note("killfocus"); break;
        case WM_SETFOCUS:
            TCustomControl::WndProc(m);
            Note(std::string("setfocus focused=") + (Focused() ? "yes" : "no"));
            return;
        case CM_ENTER: Note(std::string("enter focused=") + (Focused() ? "yes" : "no")); break;
        case CM_EXIT: Note(std::string("exit focused=") + (Focused() ? "yes" : "no")); break;
        case CM_MOUSEENTER: Note("mouseenter"); break;
        case CM_MOUSELEAVE: Note("mouseleave"); break;
        case WM_SIZE: Note("size " + std::to_string(GET_X_LPARAM(m.LParam)) + "x" + std::to_string(Height())); break;
        case WM_CREATE: Note("create"); break;
        default: break;
        }
        TCustomControl::WndProc(m);
    }
    void Note(const std::string& what) { log_.push_back(Name() + " " + what); }

protected:
    void Paint() override { ++paints; }
    void KeyDown(Word& Key, TShiftState Shift) override
    {
        if (logKeys) Note("key " + std::to_string(Key));
        TCustomControl::KeyDown(Key, Shift);
    }
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        Note("down " + std::to_string(Button) + " " + Shifts(Shift) + " " + std::to_string(X) + "," + std::to_string(Y));
        TCustomControl::MouseDown(Button, Shift, X, Y);
    }
    void MouseMove(TShiftState Shift, int X, int Y) override
    {
        Note("move " + Shifts(Shift) + " " + std::to_string(X) + "," + std::to_string(Y));
        TCustomControl::MouseMove(Shift, X, Y);
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        Note("up " + std::to_string(Button) + " " + Shifts(Shift) + " " + std::to_string(X) + "," + std::to_string(Y));
        TCustomControl::MouseUp(Button, Shift, X, Y);
    }

private:
    static std::string Shifts(TShiftState s)
    {
        std::string r = "[";
        const char* names[] = {"Shift", "Alt", "Ctrl", "Left", "Right", "Middle", "Double"};
        for (int i = 0; i < 7; ++i)
            if (s.Contains(static_cast<TShiftStateItem>(i))) r += names[i];
        return r + "]";
    }
    gui_testing::Strings& log_;
    LRESULT dialogCode_;
};

// A probe on `parent` (owned by the parent's form) at `bounds`.
inline Probe* AddProbe(TWinControl* parent, gui_testing::Strings& log, std::string name, TRect bounds = TRect{},
                       LRESULT dialogCode = 0)
{
    TComponent* owner = parent->ParentForm() ? static_cast<TComponent*>(parent->ParentForm()) : parent;
    auto* p = new Probe(owner, log, std::move(name), dialogCode);
    p->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    p->SetParent(parent);
    return p;
}
