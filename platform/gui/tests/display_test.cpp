// A form in a real window: shown, sized to its client area, and the
// window's raw input reaching the library's dispatch with the key state.
// Needs a display (run under Xvfb); skipped without one.
#include <gui_testing/gui_test.h>

#include <juce_gui_basics/juce_gui_basics.h>

namespace {

void SendMouse(juce::ComponentPeer& peer, int x, int y, int modifiers)
{
    peer.handleMouseEvent(juce::MouseInputSource::InputSourceType::mouse, juce::Point<float>(static_cast<float>(x), static_cast<float>(y)),
                          juce::ModifierKeys(modifiers), juce::MouseInputSource::defaultPressure,
                          juce::MouseInputSource::defaultOrientation, juce::Time::currentTimeMillis());
}

}  // namespace

TEST(Display, FormShowsInAWindowAndItsInputReachesTheDispatch)
{
    if (!gui::DisplayAvailable()) GTEST_SKIP() << "no display";
    win32_testing::TempMachineDir machine;
    Application->Initialize();
    ASSERT_TRUE(Application->Presenting());
    auto* form = new TForm(Application);
    form->SetClientWidth(160);
    form->SetClientHeight(90);
    form->SetText("Display test");
    auto* button = new TButton(form);
    button->SetParent(form);
    button->SetBounds(20, 20, 70, 25);
    std::vector<std::string> clicks;
    button->OnClick = [&](TObject*) { clicks.push_back(GetKeyState(VK_CONTROL) < 0 ? "ctrl click" : "click"); };
    form->Show();
    Application->ProcessMessages();

    auto* window = static_cast<juce::Component*>(form->PresentationWindow());
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->getWidth(), 160);
    EXPECT_EQ(window->getHeight(), 90);
    EXPECT_EQ(window->getName(), "Display test");
    juce::ComponentPeer* peer = window->getPeer();
    ASSERT_NE(peer, nullptr);

    SendMouse(*peer, 30, 30, juce::ModifierKeys::leftButtonModifier);
    SendMouse(*peer, 31, 31, 0);
    // The window system reports Ctrl held, as its keyboard would.
    juce::ModifierKeys::currentModifiers = juce::ModifierKeys(juce::ModifierKeys::ctrlModifier);
    SendMouse(*peer, 30, 30, juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::ctrlModifier);
    SendMouse(*peer, 31, 31, juce::ModifierKeys::ctrlModifier);
    juce::ModifierKeys::currentModifiers = juce::ModifierKeys();
    Application->ProcessMessages();
    EXPECT_EQ(clicks, (std::vector<std::string>{"click", "ctrl click"}));
    EXPECT_TRUE(button->Focused());

    form->SetLeft(40);
    for (int i = 0; i < 50 && window->getX() != 40 + form->FrameLeft(); ++i) Application->HandleMessage();
    EXPECT_EQ(window->getX(), 40 + form->FrameLeft());

    // A modal form opened from a click in one window, answered in its own
    // window while the first click is still being handled.
    auto* dialog = new TForm(Application);
    dialog->SetClientWidth(100);
    dialog->SetClientHeight(50);
    auto* ok = new TButton(dialog);
    ok->SetParent(dialog);
    ok->SetBounds(10, 10, 60, 25);
    ok->SetModalResult(mrOk);
    TModalResult result = mrNone;
    button->OnClick = [&](TObject*) { result = dialog->ShowModal(); };
    TTimer answer(nullptr);
    answer.SetInterval(30);
    answer.OnTimer = [&](TObject*) {
        auto* w = static_cast<juce::Component*>(dialog->PresentationWindow());
        if (!dialog->Visible() || !w || !w->getPeer()) return;
        SendMouse(*w->getPeer(), 20, 20, juce::ModifierKeys::leftButtonModifier);
        SendMouse(*w->getPeer(), 20, 20, 0);
    };
    SendMouse(*peer, 30, 30, juce::ModifierKeys::leftButtonModifier);
    SendMouse(*peer, 31, 31, 0);
    EXPECT_EQ(result, mrOk);
    EXPECT_FALSE(dialog->Visible());
    answer.SetEnabled(false);
    delete dialog;

    SetClipboardText("copied");
    EXPECT_EQ(ClipboardText(), "copied");

    // A timer runs in real time from the loop that also serves the window.
    TTimer timer(nullptr);
    timer.SetInterval(20);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 3) form->Close();
    };
    Application->SetMainForm(form);
    Application->Run();
    EXPECT_EQ(ticks, 3);
    delete form;
}
