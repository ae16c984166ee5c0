#include "layout_fixture.h"

LayoutTest::LayoutTest() : ConsoleTest() {}

LayoutTest::LayoutTest(machine::CardConfig card) : ConsoleTest(std::move(card)) {}

void LayoutTest::SetEveryGain(int dB)
{
    machine::sim::MixerState mixer = Hooks().Mixer();
    for (machine::sim::RouteState& route : mixer.monitors)
        route.gain = Db(dB);
    for (machine::sim::RouteState& route : mixer.pipes)
        route.gain = Db(dB);
    for (machine::sim::BusOutState& bus : mixer.busOut)
        bus.gain = Db(dB);
    Hooks().SetMixerRaw(mixer);
}

void LayoutTest::Build()
{
    const CapabilitiesRecord& caps = Caps();
    form_->SetClientWidth(682);
    int x = 0;
    for (WORD i = 0; i < caps.InputBusses && i < 16; ++i) {
        if (caps.InputFlags[i] & INPUT_FLAG_ABSENT) continue;
        if (i == caps.AnalogInputBusses) x += 2;
        inputX_[i] = x;
        in_[i].Init(form_, x, card_, i, caps);
        x += 40;
    }
    for (WORD i = 0; i + 1 < caps.InputBusses && i + 1 < 16; i += 2) {
        in_[i].Link(in_[i + 1]);
        in_[i + 1].Link(in_[i]);
    }
    x += 6;
    playbackX_ = x;
    const DWORD virtualOutputs = caps.VirtualOutputs != 0 ? 1 : 0;
    for (WORD j = 0; j < PlaybackStrips(); ++j) {
        out_[j].Init(form_, x, card_, virtualOutputs, j, caps);
        x += 40;
    }
    for (WORD j = 0; j + 1 < PlaybackStrips(); j += 2) {
        out_[j].Link(out_[j + 1]);
        out_[j + 1].Link(out_[j]);
    }
    x += 6;
    panelX_ = x;
    form_->SetClientWidth(x + 124);
    master_ = std::make_unique<CMasterPanel>(x, form_, card_, caps);
    select_ = std::make_unique<CBusSelectPanel>(x, form_, caps);
    ShowForm();
    ClearLog();
}

void LayoutTest::SelectBus(WORD bus)
{
    for (WORD i = 0; i < Caps().InputBusses && i < 16; ++i)
        if (!(Caps().InputFlags[i] & INPUT_FLAG_ABSENT)) in_[i].SetBus(bus);
    if (Caps().VirtualOutputs != 0) {
        for (int j = 0; j < PlaybackStrips(); ++j)
            out_[j].SetBus(bus);
    } else {
        out_[0].SetBus(bus);
        out_[1].SetBus(bus + 1);
    }
    master_->SelectBus(bus);
    select_->SelectBus(bus);
}

machine::CardConfig TwoAnalogSixDigitalOutputs()
{
    return DefaultCardWith([](machine::CardConfig& card) {
        card.outputBusses = 8;
        card.analogOutputBusses = 2;
    });
}

machine::CardConfig OneOutputBus()
{
    return DefaultCardWith([](machine::CardConfig& card) {
        card.outputBusses = 1;
        card.analogOutputBusses = 1;
    });
}
