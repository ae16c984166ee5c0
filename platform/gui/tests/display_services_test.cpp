// The services a program meets in real windows: message boxes as forms, the
// file chooser, user resizing, the hint window and a repaint on the screen
// at once, all while the program's timers keep firing. Needs a display
// (run under Xvfb); skipped without one.
#include "screen_pixels.h"

#include <gui_testing/gui_test.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <chrono>
#include <deque>
#include <functional>

namespace {

// Runs the loop until `done` (or `ms` have passed); true when done.
bool RunUntil(const std::function<bool()>& done, int ms = 3000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end) Application->HandleMessage();
    return done();
}

juce::Component* WindowOf(TCustomForm& form)
{
    return static_cast<juce::Component*>(form.PresentationWindow());
}

template <class T>
T* FindChild(juce::Component& parent)
{
    for (juce::Component* c : parent.getChildren()) {
        if (auto* found = dynamic_cast<T*>(c)) return found;
        if (auto* found = FindChild<T>(*c)) return found;
    }
    return nullptr;
}

// The user's side, played by a 40 ms timer (the console's meter rate): each
// step runs at a tick until it reports itself done; `ticks` counts them all.
class User {
public:
    User()
    {
        timer_.SetInterval(40);
        timer_.OnTimer = [this](TObject*) {
            ++ticks;
            if (!steps_.empty() && steps_.front()()) steps_.pop_front();
        };
    }
    void Then(std::function<bool()> step) { steps_.push_back(std::move(step)); }
    bool Done() const { return steps_.empty(); }
    int ticks = 0;

private:
    TTimer timer_{nullptr};
    std::deque<std::function<bool()>> steps_;
};

class DisplayServices : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!gui::DisplayAvailable()) GTEST_SKIP() << "no display";
        Application->Initialize();
        ASSERT_TRUE(Application->Presenting());
    }
    // A form of that client size with a button, in its window; freed with the test.
    TForm* ShowForm(int clientWidth, int clientHeight, TRect buttonBounds, const char* caption)
    {
        form_ = std::make_unique<TForm>(Application);
        form_->SetClientWidth(clientWidth);
        form_->SetClientHeight(clientHeight);
        button = new TButton(form_.get());
        button->SetParent(form_.get());
        button->SetBounds(buttonBounds.Left, buttonBounds.Top, buttonBounds.Width(), buttonBounds.Height());
        button->SetText(caption);
        form_->Show();
        EXPECT_TRUE(RunUntil([&] { return WindowOf(*form_)->getPeer() != nullptr && WindowOf(*form_)->isShowing(); }));
        return form_.get();
    }
    static void SendMouse(juce::ComponentPeer& peer, float x, float y, int modifiers)
    {
        peer.handleMouseEvent(juce::MouseInputSource::InputSourceType::mouse, {x, y}, juce::ModifierKeys(modifiers),
                              juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                              juce::Time::currentTimeMillis());
    }
    // The box on top, once it has been up for a few ticks.
    static TCustomForm* OpenBox(const User& user)
    {
        TCustomForm* box = Application->ActiveForm();
        return box && box->Modal() && user.ticks >= 3 ? box : nullptr;
    }
    win32_testing::TempMachineDir machine;
    TButton* button = nullptr;

private:
    std::unique_ptr<TForm> form_;
};

TEST_F(DisplayServices, AMessageBoxIsAFormOfTheLibraryAndTimersTickWhileItIsOpen)
{
    User user;
    int rows = 0;
    std::string caption;
    user.Then([&] {
        TCustomForm* box = OpenBox(user);
        if (!box) return false;
        caption = box->Caption();
        for (int i = 0; i < box->ControlCount(); ++i)
            if (auto* label = dynamic_cast<TLabel*>(box->Controls(i))) rows = label->Height() / TCanvas().TextHeight(" ");
        WindowOf(*box)->keyPressed(juce::KeyPress(juce::KeyPress::returnKey));
        return true;
    });
    const int answer = MessageBoxA(nullptr, "The driver cannot be restarted right now.\nTry again later.", "Korvane3", MB_OKCANCEL);
    EXPECT_EQ(answer, IDOK) << "Enter answers the default button";
    EXPECT_EQ(caption, "Korvane3");
    EXPECT_EQ(rows, 2) << "the text keeps its line break";
    EXPECT_GE(user.ticks, 3) << "the timer fired while the box was open";

    // The default button chosen by the type is the one Enter presses.
    user.Then([&] {
        TCustomForm* box = OpenBox(user);
        if (box) WindowOf(*box)->keyPressed(juce::KeyPress(juce::KeyPress::returnKey));
        return box != nullptr;
    });
    EXPECT_EQ(MessageBoxA(nullptr, "Switch?", "New wave device configuration", MB_YESNO | MB_DEFBUTTON2), IDNO);

    // Closed by its frame: Cancel where there is one, else OK or No.
    const struct {
        UINT type;
        int answer;
    } closes[] = {{MB_OK, IDOK}, {MB_OKCANCEL, IDCANCEL}, {MB_YESNO, IDNO}, {MB_YESNOCANCEL, IDCANCEL}};
    for (const auto& c : closes) {
        user.ticks = 0;
        user.Then([&] {
            TCustomForm* box = OpenBox(user);
            if (box) WindowOf(*box)->userTriedToCloseWindow();
            return box != nullptr;
        });
        EXPECT_EQ(MessageBoxA(nullptr, "Closed by its frame", "Korvane3", c.type), c.answer) << c.type;
    }
    EXPECT_TRUE(user.Done());
}

TEST_F(DisplayServices, TheFileChooserIsJucesOwnAndTimersTickWhileItIsOpen)
{
    const std::string folder = machine.path().string();
    char file[260] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = "Korvane3 sessions (*.kvs)\0*.kvs\0All files (*.*)\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = folder.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;

    User user;
    const auto chooser = [&](const char* name, int result) {
        return [&user, name, result] {
            auto* box = dynamic_cast<juce::FileChooserDialogBox*>(juce::Component::getCurrentlyModalComponent());
            if (!box || user.ticks < 3) return false;
            if (auto* browser = FindChild<juce::FileBrowserComponent>(*box)) browser->setFileName(name);
            box->exitModalState(result);
            return true;
        };
    };
    user.Then(chooser("Mix.kvs", 1));
    ASSERT_TRUE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(std::string(file), folder + "/Mix.kvs");
    EXPECT_EQ(ofn.nFileOffset, folder.size() + 1);
    EXPECT_GE(user.ticks, 3) << "the timer fired while the chooser was open";

    // A folder that is not there is refused with a box, and the chooser comes back.
    user.ticks = 0;
    user.Then(chooser("missing/Mix.kvs", 1));
    user.Then([&] {
        TCustomForm* box = OpenBox(user);
        if (box) WindowOf(*box)->keyPressed(juce::KeyPress(juce::KeyPress::returnKey));
        return box != nullptr;
    });
    user.Then([&] { return (user.ticks = 0, true); });
    user.Then(chooser("", 0));
    std::strcpy(file, "kept");
    EXPECT_FALSE(GetSaveFileNameA(&ofn)) << "cancelled";
    EXPECT_STREQ(file, "kept");
    EXPECT_TRUE(user.Done());
}

TEST_F(DisplayServices, AUserResizeGoesThroughTheFormsConstraints)
{
    auto* form = new TForm(Application);
    form->SetBorderStyle(TFormBorderStyle::bsSizeable);
    form->SetClientWidth(300);
    form->SetClientHeight(200);
    form->Constraints().MaxWidth = 500;
    form->OnConstrainedResize = [](TObject*, int&, int& minHeight, int&, int& maxHeight) { minHeight = maxHeight = 223; };
    form->SetHeight(223);
    form->Show();
    ASSERT_TRUE(RunUntil([&] { return WindowOf(*form)->getPeer() != nullptr; }));
    juce::ComponentPeer* peer = WindowOf(*form)->getPeer();
    EXPECT_TRUE(peer->getStyleFlags() & juce::ComponentPeer::windowIsResizable);

    // Wider and taller by the user: the width follows, the height does not.
    const juce::Rectangle<int> at = peer->getBounds();
    peer->setBounds(at.withSize(400, 300), false);
    ASSERT_TRUE(RunUntil([&] { return form->ClientWidth() == 400; }));
    EXPECT_EQ(form->Height(), 223);
    EXPECT_TRUE(RunUntil([&] { return WindowOf(*form)->getHeight() == form->ClientHeight(); })) << "the window snaps back";
    // Past the maximum width: held at it.
    peer->setBounds(at.withSize(900, form->ClientHeight()), false);
    ASSERT_TRUE(RunUntil([&] { return WindowOf(*form)->getWidth() == form->ClientWidth(); }));
    EXPECT_EQ(form->Width(), 500);
    delete form;
}

TEST_F(DisplayServices, TheHintWindowPopsUpNearThePointerAndGoesAtAPress)
{
    TForm* form = ShowForm(200, 100, Bounds(20, 20, 60, 30), "A 1-2");
    TButton* bus = button;
    bus->SetHint("Select analog outputs 1 and 2");
    bus->SetShowHint(true);
    const auto hintWindow = [] {
        for (int i = 0; i < juce::Desktop::getInstance().getNumComponents(); ++i) {
            juce::Component* c = juce::Desktop::getInstance().getComponent(i);
            if (c->getName() == "Select analog outputs 1 and 2") return c;
        }
        return static_cast<juce::Component*>(nullptr);
    };
    juce::ComponentPeer* peer = WindowOf(*form)->getPeer();
    SendMouse(*peer, 30, 30, 0);
    const std::uint64_t rested = Application->Now();
    ASSERT_TRUE(RunUntil([&] { return !Application->ShownHint().empty(); }));
    EXPECT_GE(Application->Now() - rested, Application->HintPause);
    juce::Component* window = hintWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    const TPoint pointer = bus->ClientToScreen(TPoint{10, 10});
    EXPECT_NEAR(window->getX(), pointer.X, 1);
    EXPECT_GT(window->getY(), pointer.Y) << "below the pointer";
    SendMouse(*peer, 30, 30, juce::ModifierKeys::leftButtonModifier);
    EXPECT_EQ(Application->ShownHint(), "");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(DisplayServices, ARepaintIsOnTheScreenBeforeTheLoopRunsAgain)
{
    TForm* form = ShowForm(200, 80, Bounds(20, 20, 120, 30), "OK");
    TButton* ok = button;
    // The button's pixels on the screen, as the X server holds them.
    const auto screen = [&] { return ScreenPixels(*WindowOf(*form)->getPeer(), 20, 20, 120, 30); };
    const auto picture = [&] {
        TBitmap composed = gui::ComposeForm(*form);
        std::vector<std::uint32_t> pixels;
        for (int y = 20; y < 50; ++y)
            for (int x = 20; x < 140; ++x) pixels.push_back(composed.Surface().at(x, y));
        return pixels;
    };
    ASSERT_TRUE(RunUntil([&] { return screen() == picture(); })) << "the window shows the form";
    ok->SetText("Hang on...");
    ok->Repaint();
    const auto now = screen();
    EXPECT_EQ(now, picture()) << "the new caption is on the screen";
    ok->SetText("OK");
    EXPECT_NE(now, picture()) << "and it is not what was there before";
}

// A change of one child of a group box repaints only where it lies; the rest
// of the box on the screen stays as a full repaint would draw it.
TEST_F(DisplayServices, AChangeInsideAGroupBoxLeavesTheRestOfTheBoxOnTheScreen)
{
    TForm* form = ShowForm(260, 200, Bounds(170, 160, 80, 30), "OK");
    auto* box = new TGroupBox(form);
    box->SetParent(form);
    box->SetBounds(8, 8, 240, 140);
    box->SetText("Outputs");
    std::vector<TShape*> frames;
    std::vector<TLabel*> labels;
    for (int row = 0; row < 4; ++row) {
        auto* frame = new TShape(form);
        frame->SetParent(box);
        frame->SetBounds(40, 20 + 30 * row, 120, 20);
        frame->Brush()->Color = clWhite;
        frames.push_back(frame);
        auto* label = new TLabel(form);
        label->SetParent(box);
        label->SetAutoSize(false);
        label->SetBounds(170, 22 + 30 * row, 60, 16);
        label->SetColor(clBlack);
        label->Font()->SetColor(clLime);
        label->SetText("WDM");
        labels.push_back(label);
    }
    const auto face = [](TColor colour, int height) {
        TBitmap b(16, height);
        b.Canvas()->Brush()->Color = colour;
        b.Canvas()->FillRect(TRect{0, 0, 16, height});
        return b;
    };
    auto* link = new TImage(form);
    link->SetParent(box);
    link->SetTransparent(true);
    link->SetAutoSize(true);
    link->SetBounds(12, 30, 16, 16);
    link->Picture()->Assign(face(clRed, 16));

    const auto screen = [&] { return ScreenPixels(*WindowOf(*form)->getPeer(), 0, 0, form->ClientWidth(), form->ClientHeight()); };
    const auto picture = [&] {
        const TBitmap composed = gui::ComposeForm(*form);
        const auto pixels = composed.Surface().pixels();
        return std::vector<std::uint32_t>(pixels.begin(), pixels.end());
    };
    ASSERT_TRUE(RunUntil([&] { return screen() == picture(); })) << "the window shows the form";

    const struct {
        const char* change;
        std::function<void()> make;
    } changes[] = {
        {"a frame hidden", [&] { frames[1]->SetVisible(false); }},
        {"a label hidden", [&] { labels[2]->SetVisible(false); }},
        {"both shown again", [&] {
             frames[1]->SetVisible(true);
             labels[2]->SetVisible(true);
         }},
        {"the image's picture swapped, taller", [&] { link->Picture()->Assign(face(clBlue, 24)); }},
        {"a frame's height changed", [&] { frames[0]->SetHeight(50); }},
    };
    for (const auto& c : changes) {
        c.make();
        ASSERT_TRUE(RunUntil([&] { return screen() == picture(); })) << c.change;
        const std::vector<std::uint32_t> shown = screen();
        // The whole box painted afresh: what the screen must have shown.
        box->Invalidate();
        EXPECT_TRUE(shown == picture()) << c.change;
        ASSERT_TRUE(RunUntil([&] { return screen() == picture(); })) << c.change;
    }
}

}  // namespace
