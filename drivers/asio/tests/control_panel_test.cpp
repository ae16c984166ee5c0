// The control panel through the host, with a scripted user: the dialog
// resource, what the dialog shows, what a confirmed panel writes and when
// each setting takes effect, the reset request in every state and on which
// thread it comes, the stream that goes on at the size of its buffers, and a
// panel nobody can see.
#include <optional>

#include "streaming_fixture.h"

namespace {

constexpr int kRadio64 = 1000;  // + k: 64 x 2^k frames
constexpr int kRadio256 = 1002;
constexpr int kRadio512 = 1003;
constexpr int kRadio1024 = 1004;
constexpr int kRadio16384 = 1008;
constexpr int kOnly96kHz = 1013;
constexpr int kDirectMonitoring = 1014;
constexpr int kShortNames = 1015;
constexpr char kCaption[] = "ASIO Zavo WDM";

// A user who clicks these controls in turn, then OK.
win32_testing::DialogScript Confirm(std::initializer_list<int> clicks)
{
    std::vector<int> ids(clicks);
    return [ids](win32::ModalDialog& dialog) {
        for (const int id : ids) dialog.Click(id);
        dialog.Click(IDOK);
    };
}

class ControlPanel : public Streaming {
protected:
    win32_testing::ScriptedDesktop& User() { return desktop_.desktop(); }
    // The panel opened by the host, with `script` as its user.
    void Open(win32_testing::DialogScript script = {})
    {
        if (script) User().QueueDialogScript(std::move(script));
        ASSERT_EQ(host_.ControlPanel(), ASE_OK);
    }
    win32_testing::DialogCall LastDialog()
    {
        const auto dialogs = User().Dialogs();
        if (dialogs.empty()) {
            ADD_FAILURE() << "no dialog was shown";
            return {};
        }
        return dialogs.back();
    }
    LONG PreferredSize()
    {
        LONG minimum = 0, maximum = 0, preferred = 0, granularity = 0;
        EXPECT_EQ(Asio().getBufferSize(&minimum, &maximum, &preferred, &granularity), ASE_OK);
        EXPECT_EQ(minimum, preferred);
        EXPECT_EQ(maximum, preferred);
        return preferred;
    }
    LONG OutputLatency()
    {
        LONG input = 0, output = 0;
        EXPECT_EQ(Asio().getLatencies(&input, &output), ASE_OK);
        return output;
    }
    // The reset requests the callbacks of the last buffers got.
    std::vector<hosts::AsioMessageRecord> Resets()
    {
        std::vector<hosts::AsioMessageRecord> resets;
        for (const hosts::AsioMessageRecord& message : Host().Messages())
            if (message.selector == kAsioResetRequest) resets.push_back(message);
        return resets;
    }
    // The one radio button of the nine that the user saw checked, or 0.
    static int CheckedSize(const win32_testing::DialogCall& dialog)
    {
        int checked = 0;
        for (int id = kRadio64; id <= kRadio16384; ++id)
            if (dialog.Check(id) == BST_CHECKED) checked = checked == 0 ? id : -1;
        return checked;
    }
    void LoadWith(DWORD bufferSize, DWORD directMonitoring, DWORD only96kHz, DWORD shortNames)
    {
        StoreSettings(44100, bufferSize, directMonitoring, only96kHz, shortNames);
        Load();
    }
};

TEST_F(ControlPanel, TheDialogIsResource101OfTheLibrary)
{
    Start();
    const win32::DialogTemplate* dialog = win32::FindDialogTemplate(Module(), MAKEINTRESOURCEA(101));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->caption, kCaption);
    EXPECT_EQ(dialog->cx, 262);
    EXPECT_EQ(dialog->cy, 156);
    EXPECT_EQ(dialog->fontName, "MS Sans Serif");
    EXPECT_EQ(dialog->pointSize, 8);
    EXPECT_EQ(dialog->style, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);

    constexpr DWORD kRadio = BS_AUTORADIOBUTTON | BS_LEFT | BS_VCENTER | WS_TABSTOP;
    constexpr DWORD kBox = BS_AUTOCHECKBOX | WS_TABSTOP;
    struct Control {
        int id;
        const char* className;
        DWORD style;
        const char* text;
        SHORT x, y, cx, cy;
    };
    const Control expected[] = {
        {1, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, "OK", 200, 95, 50, 14},
        {2, "Button", BS_PUSHBUTTON | WS_TABSTOP, "Cancel", 200, 120, 50, 14},
        {1000, "Button", kRadio, "64 samples", 20, 20, 55, 10},
        {1001, "Button", kRadio, "128 samples", 20, 34, 55, 10},
        {-1, "Button", BS_GROUPBOX, "Buffer size", 15, 10, 80, 136},
        {1002, "Button", kRadio, "256 samples", 20, 48, 55, 10},
        {1003, "Button", kRadio, "512 samples", 20, 62, 55, 10},
        {1004, "Button", kRadio, "1,024 samples", 20, 76, 61, 10},
        {1005, "Button", kRadio, "2,048 samples", 20, 90, 61, 10},
        {1006, "Button", kRadio, "4,096 samples", 20, 104, 61, 10},
        {1007, "Button", kRadio, "8,192 samples", 20, 118, 61, 10},
        {1008, "Button", kRadio, "16,384 samples", 20, 132, 65, 10},
        {-1, "Button", BS_GROUPBOX, "Configuration", 105, 10, 140, 60},
        {1014, "Button", kBox, "Enable ASIO 2.0 Direct Monitoring", 111, 25, 124, 10},
        {1013, "Button", kBox, "Show 96 kHz-capable cards only", 111, 40, 120, 10},
        {1015, "Button", kBox, "Short channel names", 111, 55, 83, 10},
        {-1, "Static", SS_BITMAP, nullptr, 105, 85, 84, 55},
    };
    ASSERT_EQ(dialog->items.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const win32::DialogItemTemplate& item = dialog->items[i];
        const Control& want = expected[i];
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(item.className, want.className);
        EXPECT_EQ(item.style, want.style);
        if (want.text) {
            EXPECT_FALSE(item.text.IsOrdinal());
            EXPECT_EQ(item.text.Name(), want.text);
        } else {
            EXPECT_TRUE(item.text.IsOrdinal());
            EXPECT_EQ(item.text.GetOrdinal(), 109) << "the picture is bitmap 109";
        }
        EXPECT_EQ(item.x, want.x);
        EXPECT_EQ(item.y, want.y);
        EXPECT_EQ(item.cx, want.cx);
        EXPECT_EQ(item.cy, want.cy);
    }
}

TEST_F(ControlPanel, TheDialogShowsTheSettingsTheProcedureSet)
{
    Boot();
    Register();
    for (int k = 0; k < 9; ++k) {
        const DWORD size = 64u << k;
        SCOPED_TRACE(size);
        const DWORD monitoring = k % 2;
        const DWORD shortNames = (k / 2) % 2;
        LoadWith(size, monitoring, k % 3 == 0, shortNames);
        Open();
        const win32_testing::DialogCall dialog = LastDialog();
        EXPECT_EQ(dialog.caption, kCaption);
        EXPECT_EQ(CheckedSize(dialog), kRadio64 + k);
        EXPECT_EQ(dialog.Check(kDirectMonitoring), monitoring ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(dialog.Check(kOnly96kHz), k % 3 == 0 ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(dialog.Check(kShortNames), shortNames ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_FALSE(dialog.Enabled(kOnly96kHz)) << "before init no card is mixed";
        EXPECT_FALSE(dialog.scripted);
        EXPECT_EQ(dialog.result, 0) << "no script: cancelled";
        ASSERT_TRUE(host_.Unload());
    }
    // A size that is none of the nine, stored or from a host, shows as 256.
    LoadWith(300, 1, 0, 0);
    Open();
    EXPECT_EQ(CheckedSize(LastDialog()), kRadio256);
    ASSERT_EQ(host_.Init(), ASIOTrue);
    Create({{false, 0}}, 128);
    Open();
    EXPECT_EQ(CheckedSize(LastDialog()), kRadio64 + 1);
    Create({{false, 0}}, 300);
    Open();
    EXPECT_EQ(CheckedSize(LastDialog()), kRadio256);
}

TEST_F(ControlPanel, The96kHzBoxIsTheCardsChoiceUnlessTheyAreMixed)
{
    struct Case {
        const char* what;
        std::initializer_list<std::string> cards;
        DWORD stored;
        UINT check;
        bool enabled;
    };
    const Case cases[] = {
        {"some cards take 96 kHz: the setting, to be changed", {"zavo24-10", "default"}, 1, BST_CHECKED, true},
        {"mixed, the setting off", {"zavo24-10", "default"}, 0, BST_UNCHECKED, true},
        {"every card takes 96 kHz", {"default"}, 0, BST_CHECKED, false},
        {"no card takes 96 kHz", {"zavo24-10"}, 1, BST_UNCHECKED, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(host_.Unload());
        Boot(machine_testing::Cards(c.cards));
        Register();
        LoadWith(512, 1, c.stored, 0);
        ASSERT_EQ(host_.Init(), ASIOTrue);
        Open();
        EXPECT_EQ(LastDialog().Check(kOnly96kHz), c.check);
        EXPECT_EQ(LastDialog().Enabled(kOnly96kHz), c.enabled);
    }
    // A click on the disabled box changes nothing: "96 kHz only" stays what init made it.
    Open([](win32::ModalDialog& dialog) {
        dialog.Click(kOnly96kHz);
        EXPECT_EQ(dialog.Check(kOnly96kHz), BST_UNCHECKED);
        dialog.Click(IDOK);
    });
    EXPECT_EQ(LastDialog().result, 1);
    EXPECT_EQ(StoredSetting("96 kHz only"), 0u);
}

TEST_F(ControlPanel, ConfirmedBeforeBuffersItWritesTheFourSettingsAndSendsNothing)
{
    Boot(machine_testing::Cards({"zavo24-10", "default"}));
    Register();
    LoadWith(512, 1, 0, 0);
    ASSERT_EQ(host_.Init(), ASIOTrue);
    ASSERT_EQ(Asio().setSampleRate(48000), ASE_OK);
    // Buffers made and given back: the driver has forgotten their callbacks.
    Create({{false, 0}}, 512);
    ASSERT_EQ(host_.DisposeBuffers(), ASE_OK);

    Open([](win32::ModalDialog& dialog) {
        dialog.Click(kRadio64);
        dialog.Click(kRadio16384);  // across the group box: one group of nine
        EXPECT_EQ(dialog.Check(kRadio64), BST_UNCHECKED);
        Confirm({kRadio1024, kDirectMonitoring, kOnly96kHz, kShortNames})(dialog);
    });
    EXPECT_EQ(LastDialog().result, 1);
    EXPECT_EQ(ReadStoredSettings(), (StoredSettings{44100, 1024, 0, 1, 1})) << "all but the rate";
    EXPECT_TRUE(Resets().empty());
    // No buffers: the size of the next ones is the new one already.
    EXPECT_EQ(PreferredSize(), 1024);
    EXPECT_EQ(OutputLatency(), 1024);

    // Released, the object stores its rate and nothing else.
    ASSERT_TRUE(host_.Unload());
    EXPECT_EQ(ReadStoredSettings(), (StoredSettings{48000, 1024, 0, 1, 1}));
}

TEST_F(ControlPanel, ConfirmedWithBuffersTheResetComesAtOnceOnTheHostsThread)
{
    Start();
    Create({{false, 0}}, 256, {.supportsTimeInfo = 1});
    Open(Confirm({kRadio512}));
    const std::vector<hosts::AsioMessageRecord> resets = Resets();
    ASSERT_EQ(resets.size(), 1u);
    EXPECT_EQ(resets[0].thread, GetCurrentThreadId());
    EXPECT_TRUE(resets[0].inControlPanel);
    EXPECT_EQ(resets[0].value, 0);
    EXPECT_EQ(PreferredSize(), 512);
    EXPECT_EQ(OutputLatency(), 256 + 32) << "the buffers keep their size";
    EXPECT_EQ(StoredSetting("Buffer size"), 512u);

    // The host builds its buffers again at the new size, and streams.
    ASSERT_EQ(host_.ServeResetRequest(), std::optional<ASIOError>(ASE_OK));
    EXPECT_EQ(host_.ServeResetRequest(), std::nullopt) << "served once";
    EXPECT_EQ(Switches(), 2u);
    Step();
    EXPECT_EQ(SwitchAt(2).samplePosition, 2u * 512);
    EXPECT_EQ(Hooks().Transports().at(0).period, 512u);
    EXPECT_EQ(OutputLatency(), 512 + 32);
}

TEST_F(ControlPanel, ConfirmedWhileStreamingTheThreadAsksForTheResetAndTheStreamKeepsItsSize)
{
    constexpr LONG kOld = 256;
    constexpr LONG kNew = 1024;
    constexpr std::int32_t kStep = 1 << 12;
    Start();
    Hooks().SetInputSignal(0, machine::Signal::Ramp(kStep));
    Create({{false, 0}, {true, 0}}, kOld, {.supportsTimeInfo = 1, .inputRamp = kStep});
    StartStreaming();
    Step();
    const DWORD switchThread = SwitchAt(2).thread;

    Open([&](win32::ModalDialog& dialog) {
        // The stream goes on while the user looks at the panel.
        Step();
        EXPECT_EQ(Switches(), 4u);
        Confirm({kRadio1024})(dialog);
    });
    const std::vector<hosts::AsioMessageRecord> resets = Resets();
    ASSERT_EQ(resets.size(), 1u);
    EXPECT_EQ(resets[0].thread, switchThread) << "sent by the switch thread as it ends";
    EXPECT_TRUE(resets[0].inControlPanel);

    // Still running, without a thread: the transports go on, and no switch comes.
    ASSERT_EQ(Hooks().Transports().size(), 1u);
    EXPECT_EQ(Hooks().Transports()[0].state, machine::TransportInfo::State::Running);
    Hooks().Advance(1);
    EXPECT_FALSE(Host().WaitForSwitches(5, 300));
    EXPECT_EQ(PreferredSize(), kNew);
    EXPECT_EQ(OutputLatency(), kOld + 32);

    // A host that stops and starts without new buffers streams at their size.
    ASSERT_EQ(host_.Stop(), ASE_OK);
    EXPECT_EQ(Hooks().Transports()[0].state, machine::TransportInfo::State::Stopped);
    ASSERT_EQ(host_.Start(), ASE_OK);
    Step();
    Step();
    const std::vector<hosts::AsioSwitchRecord> records = Host().Switches();
    ASSERT_EQ(records.size(), 8u);
    for (std::size_t n = 4; n < records.size(); ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(records[n].index, static_cast<LONG>(n % 2));
        EXPECT_EQ(records[n].samplePosition, (n - 4) * kOld);
        EXPECT_EQ(records[n].inputErrors, 0u);
    }
    EXPECT_NE(records[6].thread, GetCurrentThreadId());
    EXPECT_EQ(Resets().size(), 1u) << "the new thread's stop asks nothing";

    // The host's reset: buffers at the new size, and the stream at it.
    ASSERT_EQ(host_.ServeResetRequest(), std::optional<ASIOError>(ASE_OK));
    Step();
    Step();
    const std::vector<hosts::AsioSwitchRecord> again = Host().Switches();
    ASSERT_EQ(again.size(), 4u);
    EXPECT_EQ(again[2].samplePosition, 2u * kNew);
    EXPECT_EQ(again[3].samplePosition, 3u * kNew);
    EXPECT_EQ(again[3].index, 1);
    EXPECT_EQ(again[3].inputErrors, 0u);
    EXPECT_EQ(Hooks().Transports().at(0).period, static_cast<std::uint32_t>(kNew));
    EXPECT_EQ(OutputLatency(), kNew + 32);
}

TEST_F(ControlPanel, CancelEscapeAndClosingChangeNothing)
{
    struct Case {
        const char* how;
        std::function<void(win32::ModalDialog&)> leave;
    };
    const Case cases[] = {
        {"Cancel", [](win32::ModalDialog& d) { d.Click(IDCANCEL); }},
        {"Escape", [](win32::ModalDialog& d) { d.PressEscape(); }},
        {"closing the window", [](win32::ModalDialog& d) { d.Close(); }},
        {"no choice at all", [](win32::ModalDialog&) {}},
    };
    Start();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey);
    Create({{false, 0}}, 256);
    StartStreaming();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Open([&](win32::ModalDialog& dialog) {
            dialog.Click(kRadio1024);
            dialog.Click(kShortNames);
            c.leave(dialog);
        });
        EXPECT_EQ(LastDialog().result, 0) << "the procedure's Cancel";
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
        EXPECT_EQ(PreferredSize(), 256);
        Step();  // the stream goes on
    }
    EXPECT_TRUE(Resets().empty());
    ASIOChannelInfo info{.channel = 0, .isInput = ASIOFalse};
    ASSERT_EQ(Asio().getChannelInfo(&info), ASE_OK);
    EXPECT_STREQ(info.name, "Zavo24 8x8 analog 1/2");
}

TEST_F(ControlPanel, ASecondPanelWhileOneIsOpenOpensNoDialog)
{
    Start();
    Open([this](win32::ModalDialog& dialog) {
        EXPECT_EQ(Asio().controlPanel(), ASE_OK);
        EXPECT_TRUE(User().Dialogs().empty());
        Confirm({kRadio512})(dialog);
    });
    EXPECT_EQ(User().Dialogs().size(), 1u);
    EXPECT_EQ(PreferredSize(), 512);
    // Closed, the panel opens again.
    Open(Confirm({kRadio1024}));
    EXPECT_EQ(User().Dialogs().size(), 2u);
    EXPECT_EQ(PreferredSize(), 1024);
}

TEST_F(ControlPanel, EachSettingTakesEffectWhenItsLifecycleSays)
{
    Boot(machine_testing::Cards({"zavo24-10", "default"}));
    Register();
    LoadWith(512, 1, 0, 0);
    ASSERT_EQ(host_.Init(), ASIOTrue);
    const hosts::AsioChannels both = host_.Channels();
    ASSERT_EQ(both.error, ASE_OK);
    EXPECT_EQ(both.outputs.at(0).name, std::string("Zavo24 8x8 analog 1/2"));

    Open(Confirm({kShortNames, kOnly96kHz, kDirectMonitoring}));
    // Short names at the next getChannelInfo; direct monitoring at once.
    const hosts::AsioChannels named = host_.Channels();
    EXPECT_EQ(named.outputs.at(0).name, std::string("Zavo24 8x8 A1/2"));
    EXPECT_EQ(named.outputs.size(), both.outputs.size()) << "the cards stay until the next init";
    EXPECT_EQ(Asio().future(kAsioCanInputMonitor, nullptr), ASE_NotPresent);
    ASIOInputMonitor monitor{0, 0, 0x20000000, ASIOTrue, 0x3FFFFFFF};
    EXPECT_EQ(host_.SetInputMonitor(&monitor), ASE_NotPresent);

    // "96 kHz only" at the next object's init: the card that cannot is gone.
    ASSERT_TRUE(host_.Unload());
    Load();
    ASSERT_EQ(host_.Init(), ASIOTrue);
    const hosts::AsioChannels kept = host_.Channels();
    ASSERT_EQ(kept.error, ASE_OK);
    EXPECT_LT(kept.outputs.size(), both.outputs.size());
    for (const ASIOChannelInfo& output : kept.outputs)
        EXPECT_EQ(std::string(output.name).rfind("Zavo24 8x8 ", 0), 0u) << output.name;
}

TEST_F(ControlPanel, AResetAfterTheHostTookItsBuffersBackIsNeverSent)
{
    Start();
    Create({{false, 0}}, 256);
    StartStreaming();
    Host().HoldNextSwitch(2500);
    Hooks().Advance(1);
    ASSERT_TRUE(Host().WaitUntilHeld(kWait));
    // The panel waits its 1000 ms for a thread held longer, and returns.
    Open(Confirm({kRadio512}));
    ASSERT_TRUE(Host().Holding());
    ASSERT_EQ(host_.DisposeBuffers(), ASE_OK);
    EXPECT_FALSE(Host().Holding()) << "disposeBuffers waited for the thread";
    const std::vector<hosts::AsioMessageRecord> messages = Host().Messages();
    ASSERT_EQ(messages.size(), 1u) << "only createBuffers' question";
    EXPECT_EQ(messages[0].selector, kAsioSupportsTimeInfo);

    // Nothing stale later either.
    Create({{false, 0}}, 512);
    StartStreaming();
    Step();
    ASSERT_EQ(host_.Stop(), ASE_OK);
    EXPECT_TRUE(Resets().empty());
    EXPECT_EQ(SwitchAt(2).index, 0);
}

TEST_F(ControlPanel, APanelConfirmedAfterTheThreadHasStoppedLeavesNoStaleReset)
{
    Start();
    Create({{false, 0}}, 256);
    StartStreaming();
    Open(Confirm({kRadio512}));
    ASSERT_EQ(Resets().size(), 1u);
    // No thread is left to send this one; the host's new buffers must not hear of it.
    Open(Confirm({kRadio1024}));
    EXPECT_EQ(Resets().size(), 1u);
    ASSERT_EQ(host_.DisposeBuffers(), ASE_OK);
    Create({{false, 0}}, 1024);
    StartStreaming();
    Step();
    ASSERT_EQ(host_.Stop(), ASE_OK);
    EXPECT_TRUE(Resets().empty());
}

TEST_F(ControlPanel, WithNoDisplayAndNoScriptThePanelIsClosedWithOneLine)
{
    Start();
    Create({{false, 0}}, 256, {.supportsTimeInfo = 1});
    StartStreaming();
    const NoDisplay noDisplay;
    const std::shared_ptr<win32::Desktop> scripted = win32::InstallDesktop(nullptr);
    ::testing::internal::CaptureStderr();
    const ASIOError result = host_.ControlPanel();
    const std::string printed = ::testing::internal::GetCapturedStderr();
    win32::InstallDesktop(scripted);
    EXPECT_EQ(result, ASE_OK);
    EXPECT_EQ(printed, "[ASIO Zavo WDM] dialog closed as with Escape: there is no display to show it on\n");
    EXPECT_FALSE(StoredSetting("Buffer size").has_value());
    EXPECT_TRUE(Resets().empty());
    Step();
    Step();
    EXPECT_EQ(SwitchAt(3).samplePosition, 3u * 256);
}

}  // namespace
