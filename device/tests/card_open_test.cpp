// Construction, open and close of a card object, its capabilities, the
// card driver's error text and version.
#include <string>

#include "device_fixture.h"

using ::testing::ElementsAre;

namespace {

machine::CardConfig Preset(const char* name)
{
    return machine::MakePreset(name);
}

}  // namespace

class CardOpenTest : public DeviceTest {};

TEST_F(CardOpenTest, ConstructionReadsCapsAndFlagsThenCloses)
{
    auto card = NewCard();
    EXPECT_EQ(card->IsValid(), 1);
    EXPECT_STREQ(card->GetErrorText(), "");
    EXPECT_EQ(card->IsOpen(), 0);
    EXPECT_EQ(Hooks().OpenFiles(), 0u);

    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    ExpectRequest(log[0], IOCTL_GET_CAPS, 0, sizeof(CapabilitiesRecord));
    EXPECT_EQ(log[1].code, IOCTL_MIXER_MESSAGE);
    EXPECT_EQ(Message(log[1]).Command, CMD_GET_FLAGS);

    const machine::CardConfig& config = Machine().Config(0);
    EXPECT_STREQ(card->GetCardName(), config.name.c_str());
    EXPECT_STREQ(card->Caps().CardName, config.name.c_str());
    EXPECT_EQ(card->Caps().Family, config.family);
    EXPECT_EQ(card->Caps().OutputPipes, config.outputPipes);
    EXPECT_EQ(card->Caps().InputBusses, config.inputBusses);
    EXPECT_EQ(card->GetDriverFlags(), config.capabilityFlags);
    EXPECT_EQ(card->CanLinkWaveDevices(), (config.capabilityFlags & 0x8000) ? 1 : 0);
    EXPECT_EQ(card->HasDigInAutoMute(), (config.capabilityFlags & 0x4000) ? 1 : 0);
}

TEST_F(CardOpenTest, SecondOpenChangesNothingAndOneCloseEndsAll)
{
    auto card = NewCard();
    Hooks().ClearLog();
    card->Open();
    card->Open();
    EXPECT_EQ(Hooks().OpenFiles(), 1u);
    EXPECT_EQ(Hooks().CountOf(IOCTL_GET_CAPS), 1u);
    ASSERT_EQ(card->OpenMixer(), DAVEROR_OK);
    ASSERT_EQ(card->OpenTransport(), DAVEROR_OK);
    DWORD mixerCookie = card->GetMixerCookie();
    DWORD transportCookie = card->GetTransportCookie();
    Hooks().ClearLog();

    card->Close();
    EXPECT_EQ(card->IsOpen(), 0);
    EXPECT_EQ(Hooks().OpenFiles(), 0u);
    auto log = Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(Message(log[0]).Command, CMD_SET_METERS);
    EXPECT_EQ(Message(log[0]).GetDword(0x10), 0u);
    EXPECT_EQ(log[1].code, IOCTL_CLOSE_MIXER);
    EXPECT_EQ(Input<DWORD>(log[1]), mixerCookie);
    EXPECT_EQ(log[2].code, IOCTL_CLOSE_TRANSPORT);
    EXPECT_EQ(Input<DWORD>(log[2]), transportCookie);
    EXPECT_EQ(card->GetMixerCookie(), 0u);
    EXPECT_EQ(card->GetTransportCookie(), 0u);
}

TEST_F(CardOpenTest, CloseAtCountZeroDoesNothing)
{
    auto card = NewCard();
    Hooks().ClearLog();
    card->Close();
    card->Close();
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(card->IsValid(), 1);
}

TEST_F(CardOpenTest, FailedCapabilitiesLeaveTheCardOpenAndInvalid)
{
    auto card = NewCard();
    Hooks().FailNext(IOCTL_GET_CAPS);
    Hooks().ClearLog();
    EXPECT_EQ(card->Open(), 0);
    EXPECT_STREQ(card->GetErrorText(), "Could not get capabilities");
    EXPECT_EQ(card->IsOpen(), 1);

    // Its close sends nothing, but the file itself does not stay behind.
    Hooks().ClearLog();
    card->Close();
    EXPECT_EQ(card->IsOpen(), 0);
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(Hooks().OpenFiles(), 0u);

    // The ok flag stays clear for good.
    card->Open();
    EXPECT_EQ(card->IsValid(), 0);
    card->Close();
}

TEST_F(CardOpenTest, ConstructionWithFailedCapabilitiesHasNoFlagsAndNoDeviceNode)
{
    Hooks().FailNext(IOCTL_GET_CAPS);
    auto card = NewCard();
    EXPECT_EQ(card->IsValid(), 0);
    EXPECT_EQ(card->GetDriverFlags(), 0);
    EXPECT_THAT(Codes(), ElementsAre(IOCTL_GET_CAPS));
    EXPECT_EQ(Hooks().OpenFiles(), 0u);
    // No device node: a restart does nothing.
    EXPECT_EQ(card->RestartDriver(), 0);
}

TEST_F(CardOpenTest, KaltorBoxCardAsksTwice)
{
    Boot({Preset("kaltor-100")});
    auto card = NewCard();
    EXPECT_EQ(card->IsValid(), 1);
    auto log = Log();
    ASSERT_GE(log.size(), 2u);
    ExpectRequest(log[0], IOCTL_GET_CAPS, 0, 680);
    ExpectRequest(log[1], IOCTL_GET_CAPS, 0, 8);
    const auto& box = Machine().Config(0).boxType;
    EXPECT_EQ(0, std::memcmp(card->BoxType().Bytes, box.data(), 8));
}

// The capabilities came but the box type did not: the card is unusable with that text,
// and its box type record keeps the 0xFF it was filled with before the request.
TEST_F(CardOpenTest, FailedBoxTypeLeavesTheCardInvalid)
{
    Boot({Preset("kaltor-100")});
    Hooks().FailNextOfSize(IOCTL_GET_CAPS, sizeof(BoxTypeRecord));
    auto card = NewCard();
    EXPECT_EQ(card->IsValid(), 0);
    EXPECT_STREQ(card->GetErrorText(), "Could not get Kaltor box type");
    EXPECT_EQ(card->Caps().Family, FAMILY_KALTOR_BOX);
    for (BYTE b : card->BoxType().Bytes) EXPECT_EQ(b, 0xFF);
    // No flags read and nothing at the close; no device node either, so no restart.
    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    ExpectRequest(log[0], IOCTL_GET_CAPS, 0, sizeof(CapabilitiesRecord));
    EXPECT_EQ(log[0].result, TRUE);
    ExpectRequest(log[1], IOCTL_GET_CAPS, 0, sizeof(BoxTypeRecord));
    EXPECT_EQ(log[1].result, FALSE);
    EXPECT_EQ(Hooks().OpenFiles(), 0u);
    EXPECT_EQ(card->RestartDriver(), 0);

    // A card that was fine fails the same way at a later open, and stays open until closed.
    auto later = NewCard();
    ASSERT_EQ(later->IsValid(), 1);
    Hooks().FailNextOfSize(IOCTL_GET_CAPS, sizeof(BoxTypeRecord));
    EXPECT_EQ(later->Open(), 0);
    EXPECT_STREQ(later->GetErrorText(), "Could not get Kaltor box type");
    for (BYTE b : later->BoxType().Bytes) EXPECT_EQ(b, 0xFF);
    EXPECT_EQ(later->IsOpen(), 1);
    Hooks().ClearLog();
    later->Close();
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(Hooks().OpenFiles(), 0u);
}

TEST_F(CardOpenTest, OtherFamiliesAskOnce)
{
    auto card = NewCard();
    EXPECT_EQ(Hooks().CountOf(IOCTL_GET_CAPS), 1u);
    // The box type record stays as the object filled it.
    for (BYTE b : card->BoxType().Bytes) EXPECT_EQ(b, 0xFF);
}

TEST_F(CardOpenTest, AbsentCardCannotBeOpened)
{
    Boot(machine_testing::Cards({"default", "absent"}));
    auto card = NewCard(1);
    EXPECT_EQ(card->IsValid(), 0);
    EXPECT_STREQ(card->GetErrorText(), "Could not create file handle");
    EXPECT_EQ(card->IsOpen(), 0);
    EXPECT_TRUE(Log(1).empty());
}

TEST_F(CardOpenTest, PathTooLongIsNotOpened)
{
    std::string path = Machine().InterfacePath(0);
    path.append(260 - path.size(), 'x');
    CDaveror card(path.c_str(), Set(), 0);
    EXPECT_EQ(card.IsValid(), 0);
    EXPECT_STREQ(card.GetErrorText(), "Could not create file handle");
    EXPECT_STREQ(card.GetPath(), "");
    EXPECT_TRUE(Log().empty());

    // One character shorter fits, and names no card.
    path.pop_back();
    CDaveror shorter(path.c_str(), Set(), 0);
    EXPECT_STREQ(shorter.GetPath(), path.c_str());
    EXPECT_STREQ(shorter.GetErrorText(), "Could not create file handle");
}

TEST_F(CardOpenTest, DriverErrorText)
{
    Boot({Preset("driver-error")});
    auto card = NewCard();
    EXPECT_NE(card->Caps().InputClockMask & CLOCK_MASK_DRIVER_ERROR, 0u);
    Hooks().ClearLog();
    const char* text = card->GetDriverErrorText();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), Machine().Config(0).driverErrorText);
    // The card opens for the request (reading its capabilities) and closes again.
    EXPECT_THAT(Codes(), ElementsAre(IOCTL_GET_CAPS, IOCTL_GET_ERROR_TEXT));
    EXPECT_EQ(Log()[1].outSize, 256u);
    EXPECT_EQ(card->IsOpen(), 0);
    EXPECT_EQ(Hooks().OpenFiles(), 0u);
}

TEST_F(CardOpenTest, DriverErrorTextIsBoundedAndEmptyOnFailure)
{
    auto card = NewCard();
    std::vector<BYTE> raw(256, 'e');
    Hooks().SetRawErrorText(raw);
    const char* text = card->GetDriverErrorText();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), std::string(255, 'e'));

    Hooks().FailNext(IOCTL_GET_ERROR_TEXT);
    EXPECT_STREQ(card->GetDriverErrorText(), "");
}

TEST_F(CardOpenTest, DriverVersion)
{
    auto card = OpenCard();
    EXPECT_EQ(card->GetDriverVersion(), Machine().Config(0).driverVersion);
    auto log = Log();
    ASSERT_EQ(log.size(), 1u);
    ExpectRequest(log[0], IOCTL_GET_DRIVER_VERSION, 0u, 4u);

    Hooks().FailNext(IOCTL_GET_DRIVER_VERSION);
    EXPECT_EQ(card->GetDriverVersion(), 0u);
    card->Close();
}

TEST_F(CardOpenTest, EachFailureReplacesTheText)
{
    auto card = OpenCard();
    Hooks().ZeroTransportCookie(true);
    EXPECT_EQ(card->OpenTransport(), DAVEROR_NO_COOKIE);
    EXPECT_STREQ(card->GetErrorText(), "Could not get transport cookie");
    // The shorter text stands alone: nothing of the longer one is left behind it.
    Hooks().ZeroMixerCookie(true);
    EXPECT_EQ(card->OpenMixer(), DAVEROR_NO_COOKIE);
    EXPECT_STREQ(card->GetErrorText(), "Could not get mixer cookie");
    EXPECT_EQ(card->IsValid(), 0);
    card->Close();
}

TEST_F(CardOpenTest, EachCardRestartsItsOwnDeviceNode)
{
    // The member index is the interface's and the device node's: restarting one
    // card while the other is open must reach the one asked for, which no file holds.
    Boot(machine_testing::Cards({"default", "zavo24-70"}));
    for (std::size_t index : {0u, 1u}) {
        SCOPED_TRACE(index);
        auto card = NewCard(index);
        auto other = OpenCard(1 - index);
        EXPECT_EQ(card->RestartDriver(), 1);
        other->Close();
    }
}

struct FlagsCase {
    const char* preset;
    WORD flags;
    int canLink;
    int autoMute;
};

class DriverFlagsTest : public DeviceTest, public ::testing::WithParamInterface<FlagsCase> {};

TEST_P(DriverFlagsTest, ReadAtConstruction)
{
    Boot({Preset(GetParam().preset)});
    auto card = NewCard();
    EXPECT_EQ(card->GetDriverFlags(), GetParam().flags);
    EXPECT_EQ(card->CanLinkWaveDevices(), GetParam().canLink);
    EXPECT_EQ(card->HasDigInAutoMute(), GetParam().autoMute);
}

INSTANTIATE_TEST_SUITE_P(Presets, DriverFlagsTest,
                         ::testing::Values(FlagsCase{"zavo24-10", 0x0000, 0, 0}, FlagsCase{"default", 0x8000, 1, 0},
                                           FlagsCase{"zavo24-70", 0xC000, 1, 1}));

class UnterminatedCardName : public DeviceTest, public ::testing::WithParamInterface<bool> {};

TEST_P(UnterminatedCardName, IsReadWithinItsField)
{
    // A card driver that fills the whole name field leaves no terminator.
    std::vector<BYTE> raw(128, 'n');
    Hooks().SetRawCapsName(raw);
    std::unique_ptr<CDaveror> card;
    if (GetParam()) {
        card.reset(CDaveror::Create(Machine().InterfacePath(0).c_str()));
        ASSERT_NE(card, nullptr);
        ASSERT_EQ(card->ReadCapabilities(), 1);
    } else {
        card = NewCard();
        ASSERT_EQ(card->IsValid(), 1);
    }
    EXPECT_EQ(std::string(card->GetCardName()), std::string(128, 'n'));
    EXPECT_EQ(std::string(card->Caps().CardName), std::string(127, 'n'));
}

INSTANTIATE_TEST_SUITE_P(BothCards, UnterminatedCardName, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& wave) { return wave.param ? "Wave" : "Console"; });
