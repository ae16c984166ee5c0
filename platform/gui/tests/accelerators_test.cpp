// Alt with an underlined letter: the control whose caption underlines it
// does what a click does, after the form's key preview, in tab order.
#include <gui_testing/gui_test.h>

#include <functional>

using gui_testing::GuiTest;
using gui_testing::Strings;

namespace {

class Accelerators : public GuiTest {
public:
    Accelerators()
    {
        form = NewForm(400, 300);
        form->SetKeyPreview(true);
    }
    template <class T>
    T* Add(const char* caption, int top)
    {
        auto* c = new T(form);
        c->SetParent(form);
        c->SetBounds(10, top, 150, 22);
        c->SetText(caption);
        c->OnClick = Log(std::string("click ") + caption);
        return c;
    }
    using GuiTest::Log;
    // Alt+key as the keyboard gives it.
    void AltKey(WORD key)
    {
        desktop().SetKeyDown(VK_MENU, true);
        gui::PressKey(*form, key);
        gui::TypeChar(*form, static_cast<char>(std::tolower(key)));
        gui::ReleaseKey(*form, key);
        desktop().SetKeyDown(VK_MENU, false);
    }
    TForm* form = nullptr;
};

TEST_F(Accelerators, AltWithTheLetterClicksTheControlThatUnderlinesIt)
{
    struct Case {
        const char* what;
        std::function<void(Accelerators&)> build;
        WORD key;
        Strings clicks;
    };
    const Case cases[] = {
        {"a button", [](Accelerators& t) { t.Add<TButton>("Se&ttings", 10); t.Add<TButton>("&Load", 40); }, 'L', {"click &Load"}},
        {"the letter in either case", [](Accelerators& t) { t.Add<TButton>("&load", 40); }, 'L', {"click &load"}},
        {"a digit", [](Accelerators& t) { t.Add<TButton>("2,0&48 samples", 40); }, '4', {"click 2,0&48 samples"}},
        {"&& underlines nothing", [](Accelerators& t) { t.Add<TButton>("&&Load", 40); }, 'L', {}},
        {"a disabled button", [](Accelerators& t) { t.Add<TButton>("&Load", 40)->SetEnabled(false); }, 'L', {}},
        {"a hidden button", [](Accelerators& t) { t.Add<TButton>("&Load", 40)->Hide(); }, 'L', {}},
        {"inside a disabled group", [](Accelerators& t) {
             auto* group = new TGroupBox(t.form);
             group->SetParent(t.form);
             group->SetBounds(0, 0, 200, 100);
             auto* b = new TButton(t.form);
             b->SetParent(group);
             b->SetText("&Load");
             b->OnClick = t.Log("click &Load");
             group->SetEnabled(false);
         }, 'L', {}},
        {"a check box", [](Accelerators& t) { t.Add<TCheckBox>("&Auto-save session", 40); }, 'A', {"click &Auto-save session"}},
        {"a speed button", [](Accelerators& t) { t.Add<TSpeedButton>("&Mute", 40); }, 'M', {"click &Mute"}},
        {"the first in tab order", [](Accelerators& t) {
             t.Add<TButton>("&Load", 10);
             t.Add<TButton>("L&oad", 40);
             t.Add<TButton>("&List", 70)->SetTabOrder(0);
         }, 'L', {"click &List"}},
    };
    for (const Case& c : cases) {
        for (int i = form->ControlCount() - 1; i >= 0; --i) delete form->Controls(i);
        ClearEvents();
        c.build(*this);
        form->Show();
        AltKey(c.key);
        EXPECT_EQ(Events(), c.clicks) << c.what;
    }
}

TEST_F(Accelerators, ARadioItemIsCheckedAndFocused)
{
    auto* group = new TRadioGroup(form);
    group->SetParent(form);
    group->SetBounds(10, 10, 250, 80);
    group->Items()->Add("The sample rate is &unlocked");
    group->Items()->Add("The sample rate is &locked at ");
    group->SetItemIndex(0);
    group->OnClick = Log("group click");
    form->Show();
    AltKey('L');
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_TRUE(group->Buttons(1)->Focused());
    EXPECT_EQ(Events(), (Strings{"group click"}));
}

TEST_F(Accelerators, ACheckBoxTogglesAndASpeedButtonOfAGroupGoesDown)
{
    auto* box = Add<TCheckBox>("&Auto-save session", 10);
    auto* mute = Add<TSpeedButton>("&Mute", 40);
    mute->SetGroupIndex(3);
    mute->SetAllowAllUp(true);
    form->Show();
    AltKey('A');
    AltKey('M');
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(box->Focused());
    EXPECT_TRUE(mute->Down());
    AltKey('A');
    AltKey('M');
    EXPECT_FALSE(box->Checked());
    EXPECT_FALSE(mute->Down());
}

TEST_F(Accelerators, TheKeyPreviewComesFirstAndMayTakeTheKey)
{
    Add<TButton>("&Load", 10);
    Add<TButton>("&Save", 40);
    form->OnKeyDown = [this](TObject*, Word& key, TShiftState shift) {
        Record("preview " + std::string(1, static_cast<char>(key)) + (shift.Contains(ssAlt) ? " alt" : ""));
        if (key == 'S') key = 0;
    };
    form->Show();
    AltKey('L');
    AltKey('S');
    EXPECT_EQ(Events(), (Strings{"preview L alt", "click &Load", "preview S alt"}));
}

TEST_F(Accelerators, WithoutAltALetterClicksNothingAndWithAltTypesNothing)
{
    Add<TButton>("&Load", 10);
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 50, 100, 21);
    form->Show();
    edit->SetFocus();
    gui::PressKey(*form, 'L');
    gui::TypeChar(*form, 'l');
    gui::ReleaseKey(*form, 'L');
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(edit->Text(), "l");
    AltKey('L');
    EXPECT_EQ(Events(), (Strings{"click &Load"}));
    EXPECT_EQ(edit->Text(), "l") << "Alt+L types nothing";
    desktop().SetKeyDown(VK_CONTROL, true);
    AltKey('L');
    desktop().SetKeyDown(VK_CONTROL, false);
    EXPECT_EQ(Events().size(), 1u) << "Ctrl+Alt is no accelerator";
}

}  // namespace
