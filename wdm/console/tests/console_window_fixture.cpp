#include "console_window_fixture.h"

#include <memory>

#include "console/console_bitmaps.h"
#include "console/start_up.h"

ConsoleUnits::ConsoleUnits()
{
    StartConsoleUnits(cpu_);
    RegisterConsoleBitmaps();
}

ConsoleUnits::~ConsoleUnits() { StopConsoleUnits(); }

std::vector<machine::CardConfig> DefaultCard() { return {machine::MakePreset("default")}; }

machine::CardConfig ManyChannelsCard(machine::CardConfig card)
{
    card.inputBusses = card.inputPipes = 32;
    card.analogInputBusses = card.analogInputPipes = 8;
    card.outputPipes = 64;
    for (unsigned i = 0; i < 32; ++i) card.inputFlags[i] = INPUT_FLAG_METER;
    for (unsigned p = 0; p < 64; ++p) card.outputPipeFlags[p] = PIPE_FLAG_METER | PIPE_FLAG_PAN;
    return card;
}

std::string WindowStateKey(const std::string& card) { return "Software\\Zavo Systems\\Korvane3\\" + card; }

ConsoleWindowTest::ConsoleWindowTest(std::vector<machine::CardConfig> cards)
    : machine_(std::move(cards)), name_(machine_.Config(machine_.CardCount() - 1).name)
{
    NotificationApplyFlag = 1;
}

ConsoleWindowTest::~ConsoleWindowTest()
{
    // The window closes the card before the machine goes.
    delete form_;
}

bool ConsoleWindowTest::Open()
{
    auto list = std::make_unique<CDaverorList>();
    card_ = list->GetCard(0);
    EXPECT_NE(card_, nullptr) << "the machine has no card";
    if (card_ == nullptr) return false;
    list->KeepOnly(card_);
    Application->CreateForm(form_);
    const bool set = form_->SetupCard(card_, list.release());
    Application->ProcessMessages();
    ClearLog();
    return set;
}

void ConsoleWindowTest::CloseWindow()
{
    form_->Close();
    delete form_;
    form_ = nullptr;
    card_ = nullptr;
    Application->ClearTerminated();
}

void ConsoleWindowTest::Tick(int ticks)
{
    for (int t = 0; t < ticks; ++t) {
        Application->AdvanceTime(40);
        Application->ProcessMessages();
    }
}

void ConsoleWindowTest::Click(TControl& control)
{
    const int x = control.Width() / 2, y = control.Height() / 2;
    gui_testing::PressOn(control, x, y);
    gui_testing::ReleaseOn(control, x, y);
}

void ConsoleWindowTest::StoreInteger(const std::string& name, int value)
{
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(WindowStateKey(name_), true));
    registry.WriteInteger(name, value);
}

void ConsoleWindowTest::StoreBinary(const std::string& name, const std::vector<BYTE>& bytes)
{
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(WindowStateKey(name_), true));
    registry.WriteBinaryData(name, bytes.data(), static_cast<int>(bytes.size()));
}

void ConsoleWindowTest::StoreString(const std::string& name, const std::string& value)
{
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(WindowStateKey(name_), true));
    registry.WriteString(name, value);
}

void ConsoleWindowTest::RemoveValue(const std::string& name)
{
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(WindowStateKey(name_), false));
    ASSERT_EQ(RegDeleteValueA(registry.CurrentKey(), name.c_str()), ERROR_SUCCESS) << name;
}

void ConsoleWindowTest::RemoveWindowState()
{
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, WindowStateKey(name_).c_str()), ERROR_SUCCESS);
}

int ConsoleWindowTest::StoredInteger(const std::string& name)
{
    TRegistry registry;
    if (!registry.OpenKey(WindowStateKey(name_), false)) return -1;
    try {
        return registry.ReadInteger(name);
    } catch (const ERegistryException&) {
        return -1;
    }
}

std::vector<BYTE> ConsoleWindowTest::StoredBinary(const std::string& name)
{
    TRegistry registry;
    if (!registry.OpenKey(WindowStateKey(name_), false)) return {};
    std::vector<BYTE> bytes(64);
    bytes.resize(static_cast<std::size_t>(registry.ReadBinaryData(name, bytes.data(), static_cast<int>(bytes.size()))));
    return bytes;
}
