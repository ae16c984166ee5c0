// The fixture of GUI tests: a temporary machine, a scripted desktop (key
// state, message boxes), forms that are freed after the test, and an event
// log for checking the order in which handlers ran.
//
//     TEST_F(GuiTest, ...) {
//         TForm* form = NewForm(200, 100);
//         auto* b = new TButton(form);
//         b->SetParent(form);
//         b->OnClick = Log("click");
//         form->Show();
//         gui::PressMouse(*form, mbLeft, 5, 5);
//         gui::ReleaseMouse(*form, mbLeft, 5, 5);
//         EXPECT_EQ(Events(), (Strings{"click"}));
//     }
#pragma once

#include <vcl.h>

#include <win32_testing/scripted_desktop.h>
#include <win32_testing/temp_machine_dir.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gui_testing {

using Strings = std::vector<std::string>;

class GuiTest : public win32_testing::MachineTest {
protected:
    GuiTest() { Application->ClearTerminated(); }
    ~GuiTest() override
    {
        for (TCustomForm* f : forms_)
            if (IsAlive(f)) delete f;
        Application->SetCaptureControl(nullptr);
        Application->SetPointer(nullptr, TPoint{});
        Application->SetActiveForm(nullptr);
        Application->OnException = nullptr;
        Application->OnMessage = nullptr;
        Application->OnIdle = nullptr;
        Application->OnHint = nullptr;
    }

    // A form with that client size at the screen's top left, owned by the
    // application; freed after the test.
    TForm* NewForm(int clientWidth = 200, int clientHeight = 100)
    {
        auto* f = new TForm(Application);
        f->SetClientWidth(clientWidth);
        f->SetClientHeight(clientHeight);
        forms_.push_back(f);
        return f;
    }

    static bool IsAlive(const TCustomForm* f)
    {
        for (const TCustomForm* g : Application->Forms())
            if (g == f) return true;
        return false;
    }

    void Record(std::string event) { events_.push_back(std::move(event)); }
    // A notify-event handler that records `event`.
    TNotifyEvent Log(std::string event)
    {
        return [this, event](TObject*) { Record(event); };
    }
    const Strings& Events() const { return events_; }
    // For recorders that append themselves.
    Strings& EventLog() { return events_; }
    void ClearEvents() { events_.clear(); }

    win32_testing::ScriptedDesktop& desktop() { return desktop_.desktop(); }

private:
    win32_testing::ScopedDesktop desktop_;
    std::vector<TCustomForm*> forms_;
    Strings events_;
};

}  // namespace gui_testing
