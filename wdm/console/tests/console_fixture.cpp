#include "console_fixture.h"

#include <stdexcept>

#include "console/console_bitmaps.h"
#include "console/placement.h"
#include "device_testing/requests.h"

namespace {

// The routed messages carry the bus at 0x10 and the value at 0x14.
bool Routed(DWORD command, DWORD kind)
{
    switch (command) {
    case CMD_GET_MONITOR_GAIN:
    case CMD_SET_MONITOR_GAIN:
    case CMD_GET_MONITOR_MUTE:
    case CMD_SET_MONITOR_MUTE:
    case CMD_GET_MONITOR_PAN:
    case CMD_SET_MONITOR_PAN: return true;
    default: return kind == CHANNEL_PIPE_OUT;
    }
}

bool IsSetting(DWORD command)
{
    switch (command) {
    case CMD_SET_GAIN:
    case CMD_SET_NOMINAL:
    case CMD_SET_MONITOR_GAIN:
    case CMD_SET_MUTE:
    case CMD_SET_MONITOR_MUTE:
    case CMD_SET_MONITOR_PAN:
    case CMD_SET_PAN:
    case CMD_SET_PHANTOM_POWER: return true;
    default: return false;
    }
}

bool IsRead(DWORD command)
{
    switch (command) {
    case CMD_GET_GAIN:
    case CMD_GET_NOMINAL:
    case CMD_GET_MONITOR_GAIN:
    case CMD_GET_MUTE:
    case CMD_GET_MONITOR_MUTE:
    case CMD_GET_MONITOR_PAN:
    case CMD_GET_PAN:
    case CMD_GET_PHANTOM_POWER: return true;
    default: return false;
    }
}

// The mixer messages of the log for which `wanted` holds, decoded.
template <class Wanted>
Settings Decoded(const std::vector<machine::RequestRecord>& log, Wanted wanted, bool withValue)
{
    Settings decoded;
    for (const machine::RequestRecord& request : log) {
        if (request.code != IOCTL_MIXER_MESSAGE) continue;
        const MixerMessage m = device_testing::Message(request);
        if (!wanted(m.Command)) continue;
        const bool routed = Routed(m.Command, m.Kind);
        decoded.push_back({m.Command, m.Channel, m.Kind, routed ? m.GetWord(0x10) : WORD{0},
                           withValue ? static_cast<LONG>(m.GetDword(routed ? 0x14 : 0x10)) : 0});
    }
    return decoded;
}

constexpr DWORD NoKind = 0;  // an unset kind travels as 0

}  // namespace

std::ostream& operator<<(std::ostream& out, const Setting& s)
{
    return out << "{command " << s.command << ", channel " << s.channel << ", kind " << s.kind << ", bus " << s.bus
               << ", value " << s.value << "}";
}

Setting MonitorGain(WORD input, WORD bus, LONG value) { return {CMD_SET_MONITOR_GAIN, input, NoKind, bus, value}; }
Setting MonitorMute(WORD input, WORD bus, LONG value) { return {CMD_SET_MONITOR_MUTE, input, NoKind, bus, value}; }
Setting MonitorPan(WORD input, WORD bus, LONG value) { return {CMD_SET_MONITOR_PAN, input, NoKind, bus, value}; }
Setting PipeGain(WORD pipe, WORD bus, LONG value) { return {CMD_SET_GAIN, pipe, CHANNEL_PIPE_OUT, bus, value}; }
Setting PipeMute(WORD pipe, WORD bus, LONG value) { return {CMD_SET_MUTE, pipe, CHANNEL_PIPE_OUT, bus, value}; }
Setting PipePan(WORD pipe, WORD bus, LONG value) { return {CMD_SET_PAN, pipe, CHANNEL_PIPE_OUT, bus, value}; }
Setting BusOutGain(WORD bus, LONG value) { return {CMD_SET_GAIN, bus, CHANNEL_BUS_OUT, 0, value}; }
Setting BusOutMute(WORD bus, LONG value) { return {CMD_SET_MUTE, bus, CHANNEL_BUS_OUT, 0, value}; }
Setting BusOutNominal(WORD bus, LONG value) { return {CMD_SET_NOMINAL, bus, CHANNEL_BUS_OUT, 0, value}; }
Setting InputTrim(WORD input, LONG value) { return {CMD_SET_GAIN, input, CHANNEL_BUS_IN, 0, value}; }
Setting InputNominal(WORD input, LONG value) { return {CMD_SET_NOMINAL, input, CHANNEL_BUS_IN, 0, value}; }
Setting PhantomPower(LONG value) { return {CMD_SET_PHANTOM_POWER, 0, NoKind, 0, value}; }

ConsoleTest::ConsoleTest() : ConsoleTest(machine::MakePreset("default")) {}

ConsoleTest::ConsoleTest(machine::CardConfig card) : machine_({std::move(card)}), card_(list_.GetCard(0))
{
    if (card_ == nullptr) throw std::runtime_error("the machine has no card");
    card_->Open();
    EXPECT_EQ(card_->OpenMixer(), 0);
    RegisterConsoleBitmaps();
    stash_ = std::make_unique<CBmpStash>();
    BmpStash = stash_.get();
    NotificationApplyFlag = 1;
    form_ = new TTestForm(Application);
    form_->SetClientWidth(400);
    form_->SetClientHeight(548);
    form_->Font()->SetName("Arial");
    form_->SetColor(clBtnFace);
    ClearLog();
}

ConsoleTest::~ConsoleTest()
{
    // The controls go before the stash and the card they use.
    delete form_;
    BmpStash = nullptr;
}

Settings SentIn(const std::vector<machine::RequestRecord>& log) { return Decoded(log, IsSetting, true); }

Settings ReadsIn(const std::vector<machine::RequestRecord>& log) { return Decoded(log, IsRead, false); }

Settings ConsoleTest::Sent() { return SentIn(Hooks().Log()); }

Settings ConsoleTest::Reads() { return ReadsIn(Hooks().Log()); }

void ConsoleTest::ExternalSet(DWORD command, WORD channel, DWORD kind, WORD bus, DWORD value)
{
    ASSERT_EQ(Hooks().ExternalSet(command, channel, kind, bus, value), 0u);
}

TFaderReadout* ConsoleTest::AddReadout(int x, int placement)
{
    auto* readout = new TFaderReadout(form_, placement);
    readout->SetLeft(readout->Left() + x);
    return readout;
}

namespace {

// The builders' steps common to every fader, after its indices are set.
template <class Fader>
Fader* Wire(Fader* fader)
{
    fader->UpdateFromDriver();
    fader->OnChange = [fader](TObject* sender) { fader->SliderChange(sender); };
    return fader;
}

}  // namespace

TMonitorFader* ConsoleTest::AddMonitorFader(int x, WORD input, WORD bus)
{
    auto* fader = Place(new TMonitorFader(form_, AddReadout(x)), form_, x, card_);
    fader->SetInput(input);
    fader->SetOutputBus(bus);
    return Wire(fader);
}

TPipeOutFader* ConsoleTest::AddPipeOutFader(int x, WORD pipe, WORD bus)
{
    auto* fader = Place(new TPipeOutFader(form_, AddReadout(x)), form_, x, card_);
    fader->SetPipe(pipe);
    fader->SetOutputBus(bus);
    return Wire(fader);
}

TBusOutFader* ConsoleTest::AddBusOutFader(int x, WORD bus)
{
    auto* fader = Place(new TBusOutFader(form_, AddReadout(x)), form_, x, card_);
    fader->SetBus(bus);
    return Wire(fader);
}

TMonitorMute* ConsoleTest::AddMonitorMute(int x, WORD input, WORD bus)
{
    auto* mute = Place(new TMonitorMute(form_), form_, x, card_);
    mute->SetInput(input);
    mute->SetOutputBus(bus);
    mute->UpdateFromDriver();
    mute->BindClickHandler();
    return mute;
}

TBusOutMute* ConsoleTest::AddBusOutMute(int x, WORD bus)
{
    auto* mute = Place(new TBusOutMute(form_), form_, x, card_);
    mute->SetBus(bus);
    mute->UpdateFromDriver();
    mute->BindClickHandler();
    return mute;
}

TMonitorPan* ConsoleTest::AddMonitorPan(int x, WORD input, WORD bus)
{
    auto* pan = Place(new TMonitorPan(form_), form_, x, card_);
    pan->SetInput(input);
    pan->SetOutputBus(bus);
    pan->UpdateFromDriver();
    pan->OnChange = [pan](TObject* sender) { pan->SliderChange(sender); };
    return pan;
}

TPipeOutPan* ConsoleTest::AddPipeOutPan(int x, WORD pipe, WORD bus)
{
    auto* pan = Place(new TPipeOutPan(form_), form_, x, card_);
    pan->SetPipe(pipe);
    pan->SetOutputBus(bus);
    pan->UpdateFromDriver();
    pan->OnChange = [pan](TObject* sender) { pan->SliderChange(sender); };
    return pan;
}

template <class Button>
Button* ConsoleTest::AddNominal(int x, WORD bus)
{
    auto* button = Place(new Button(form_), form_, x, card_);
    button->SetBus(bus);
    button->UpdateFromDriver();
    button->OnClick = [button](TObject* sender) { button->NominalChange(sender); };
    return button;
}

TNominalInputButton* ConsoleTest::AddNominalInput(int x, WORD input) { return AddNominal<TNominalInputButton>(x, input); }
TNominalOutButton* ConsoleTest::AddNominalOut(int x, WORD bus) { return AddNominal<TNominalOutButton>(x, bus); }

TInputTrim* ConsoleTest::AddTrim(int x, WORD input)
{
    TFaderReadout* readout = AddReadout(x, 1);
    auto* trim = new TInputTrim(form_, readout, card_, input);
    trim->SetLeft(trim->Left() + x);
    return trim;
}

TPhantomButton* ConsoleTest::AddPhantom()
{
    auto* button = new TPhantomButton(form_);
    button->SetParent(form_);
    button->SetCard(card_);
    button->UpdateFromDriver();
    button->OnClick = [button](TObject* sender) { button->PhantomChange(sender); };
    return button;
}

TGang* ConsoleTest::AddGang(int x)
{
    auto* gang = new TGang(form_);
    gang->SetParent(form_);
    gang->SetLeft(gang->Left() + x);
    return gang;
}

void ConsoleTest::ShowForm()
{
    form_->Show();
    Application->ProcessMessages();
}

void ConsoleTest::Click(TControl& control, TMouseButton button)
{
    const int x = control.Width() / 2, y = control.Height() / 2;
    PressOn(control, x, y, button);
    ReleaseOn(control, x, y, button);
}
