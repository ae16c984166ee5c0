// The card driver's control codes: exact sizes, refusals, card information,
// cookies per file and the cleanup a closed handle runs.
#include "sim_card_fixture.h"

namespace sim_test {
namespace {

using machine::MakePreset;

class SimControlTest : public SimCardTest {};

TEST_F(SimControlTest, EveryCodeRefusesWrongSizesAndLeavesTheOutputAlone)
{
    Boot();
    HANDLE file = Open();
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    struct Case {
        DWORD code;
        DWORD in, out;
    };
    // Each code with one size off; the request must fail and write nothing.
    const Case cases[] = {
        {IOCTL_GET_DRIVER_VERSION, 0, 8},  {IOCTL_GET_CAPS, 0, 679},          {IOCTL_GET_CAPS, 4, 680},
        {IOCTL_OPEN_MIXER, 0, 8},          {IOCTL_CLOSE_MIXER, 8, 0},         {IOCTL_MIXER_MESSAGE, 1060, 1056},
        {IOCTL_MIXER_MESSAGE, 4, 4},       {IOCTL_GET_METERS, 1052, 1048},    {IOCTL_GET_NOTIFICATIONS, 88, 80},
        {IOCTL_GET_SPEAKER_DELAY, 8, 4},   {IOCTL_GET_ERROR_TEXT, 0, 128},    {IOCTL_SET_SPEAKER_DELAY, 4, 0},
        {IOCTL_GET_WAVE_CONFIG, 0, 70},    {IOCTL_SET_WAVE_CONFIG, 74, 0},    {IOCTL_SET_CARD_NAME, 129, 0},
        {IOCTL_SET_CARD_NAME, 5, 4},       {IOCTL_GET_WAVE_BUFFER_SIZE, 4, 4}, {IOCTL_SET_WAVE_BUFFER_SIZE, 2, 0},
        {IOCTL_OPEN_TRANSPORT, 0, 2},      {IOCTL_CLOSE_TRANSPORT, 4, 4},     {IOCTL_MAP_PIPE_BUFFER, 12, 4},
        {IOCTL_SET_TRANSPORT_EVENT, 8, 8}, {IOCTL_MAP_PIPE_POSITION, 16, 4},  {IOCTL_START_TRANSPORT, 4, 0},
        {IOCTL_STOP_TRANSPORT, 0, 4},      {IOCTL_RESERVE_PIPES, 12, 4},      {IOCTL_CHECK_SAMPLE_RATE, 4, 8},
        {IOCTL_SET_SAMPLE_RATE, 8, 4},     {IOCTL_CHECK_PIPES, 4, 4},         {IOCTL_GET_GSIF_BUFFER_SIZE, 0, 2},
        {IOCTL_SET_GSIF_BUFFER_SIZE, 4, 4}, {IOCTL_PAUSE_TRANSPORT, 4, 2},
    };
    for (const Case& c : cases) {
        const Reply reply = Ioctl(file, c.code, std::vector<BYTE>(c.in, 1), c.out);
        EXPECT_EQ(reply.ok, FALSE) << std::hex << c.code << " " << c.in << " " << c.out;
        EXPECT_EQ(reply.error, ERROR_INVALID_PARAMETER) << std::hex << c.code;
        EXPECT_EQ(reply.out, std::vector<BYTE>(c.out, 0xEE)) << std::hex << c.code;
    }
    for (DWORD code : {CardControlCode(0x80D), CardControlCode(0x90E), 0x1D0000u}) {
        const Reply reply = Ioctl(file, code, {}, 4);
        EXPECT_EQ(reply.ok, FALSE);
        EXPECT_EQ(reply.error, ERROR_INVALID_FUNCTION);
    }
    CloseHandle(file);
}

TEST_F(SimControlTest, CapabilitiesDescribeTheCard)
{
    machine::CardConfig config = MakePreset("default");
    config.name = std::string(140, 'n');  // longer than the field: cut, and still terminated
    Boot(config);
    HANDLE file = Open();
    const Reply reply = Ioctl(file, IOCTL_GET_CAPS, {}, sizeof(CapabilitiesRecord));
    ASSERT_EQ(reply.ok, TRUE);
    EXPECT_EQ(reply.ok, 1);  // exactly 1: the system compares with 1
    EXPECT_EQ(reply.returned, 680u);
    CapabilitiesRecord caps;
    std::memcpy(&caps, reply.out.data(), sizeof caps);
    EXPECT_EQ(std::string(caps.name), std::string(127, 'n'));
    EXPECT_EQ(caps.family, 0x80);
    EXPECT_EQ(caps.inputClockMask, config.clockMask);
    EXPECT_EQ(caps.digitalModeFlags, 4u);
    EXPECT_EQ(caps.outputPipes, 16);
    EXPECT_EQ(caps.inputBusses, 16);
    EXPECT_EQ(caps.analogInputPipes, 8);
    EXPECT_EQ(caps.outputPipeFlags[15], 0x30u);
    EXPECT_EQ(caps.outputPipeFlags[16], 0u);
    EXPECT_EQ(caps.outputBusFlags[0], 0x80u);
    EXPECT_EQ(caps.inputFlags[0], 0xA1u);
    EXPECT_EQ(caps.reserved2A4, 0u);

    // A test can have the name fill its field with no terminator; the fields after it stay.
    Hooks().SetRawCapsName(std::vector<BYTE>(128, 'z'));
    const Reply raw = Ioctl(file, IOCTL_GET_CAPS, {}, sizeof(CapabilitiesRecord));
    EXPECT_EQ(std::vector<BYTE>(raw.out.begin(), raw.out.begin() + 128), std::vector<BYTE>(128, 'z'));
    EXPECT_EQ(raw.As<std::uint16_t>(0x80), 0x80);

    // Only a card with a box answers the 8-byte request.
    EXPECT_EQ(Ioctl(file, IOCTL_GET_CAPS, {}, 8).ok, FALSE);
    EXPECT_EQ(Word(file, IOCTL_GET_DRIVER_VERSION), 0x00020503u);
    CloseHandle(file);
}

TEST_F(SimControlTest, KaltorCardAnswersItsBoxType)
{
    Boot(MakePreset("kaltor-100"));
    HANDLE file = Open();
    const Reply reply = Ioctl(file, IOCTL_GET_CAPS, {}, 8);
    ASSERT_EQ(reply.ok, TRUE);
    EXPECT_EQ(reply.returned, 8u);
    EXPECT_EQ(reply.out, (std::vector<BYTE>{1, 0, 0, 0, 0, 0, 0, 0}));
    // The box's first input has phantom power; its preamplifiers are not trimmed by the card.
    const Reply caps = Ioctl(file, IOCTL_GET_CAPS, {}, sizeof(CapabilitiesRecord));
    EXPECT_EQ(caps.As<std::uint32_t>(0x224), 0x200000A0u);
    EXPECT_EQ(caps.As<std::uint32_t>(0x224 + 4), 0xA0u);
    CloseHandle(file);
}

// A failure armed for one output size leaves the other sizes of the code answering,
// and goes before one armed for the code as a whole.
TEST_F(SimControlTest, AFailureForOneOutputSizeLeavesTheOthersAlone)
{
    Boot(MakePreset("kaltor-100"));
    HANDLE file = Open();
    machine::CardHooks hooks = Hooks();
    hooks.FailNextOfSize(IOCTL_GET_CAPS, 8, 2, ERROR_INVALID_DATA);
    EXPECT_EQ(Ioctl(file, IOCTL_GET_CAPS, {}, 680).ok, TRUE);
    for (int i = 0; i < 2; ++i) {
        const Reply failed = Ioctl(file, IOCTL_GET_CAPS, {}, 8);
        EXPECT_EQ(failed.ok, FALSE);
        EXPECT_EQ(failed.error, ERROR_INVALID_DATA);
        EXPECT_EQ(failed.out, std::vector<BYTE>(8, 0xEE));
    }
    EXPECT_EQ(Ioctl(file, IOCTL_GET_CAPS, {}, 8).out, (std::vector<BYTE>{1, 0, 0, 0, 0, 0, 0, 0}));

    hooks.FailNext(IOCTL_GET_CAPS, 1, ERROR_NOT_SUPPORTED);
    hooks.FailNextOfSize(IOCTL_GET_CAPS, 8, 1, ERROR_INVALID_DATA);
    EXPECT_EQ(Ioctl(file, IOCTL_GET_CAPS, {}, 8).error, ERROR_INVALID_DATA);
    EXPECT_EQ(Ioctl(file, IOCTL_GET_CAPS, {}, 8).error, ERROR_NOT_SUPPORTED);
    EXPECT_EQ(Ioctl(file, IOCTL_GET_CAPS, {}, 8).ok, TRUE);
    EXPECT_EQ(Ioctl(file, IOCTL_GET_CAPS, {}, 680).ok, TRUE);
    EXPECT_EQ(hooks.CountOf(IOCTL_GET_CAPS), 8u);  // the failed ones are logged too
    CloseHandle(file);
}

TEST_F(SimControlTest, ErrorTextIsTerminatedAndPaddedOrRawWhenATestSaysSo)
{
    Boot(MakePreset("driver-error"));
    HANDLE file = Open();
    Reply reply = Ioctl(file, IOCTL_GET_ERROR_TEXT, {}, 256);
    ASSERT_EQ(reply.ok, TRUE);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(reply.out.data())),
              "The card's firmware could not be loaded (error 0x21)");
    EXPECT_EQ(reply.out[255], 0);
    EXPECT_NE(Ioctl(file, IOCTL_GET_CAPS, {}, 680).As<std::uint32_t>(0x88) & 0x80000000u, 0u);

    Hooks().SetRawErrorText(std::vector<BYTE>(256, 'x'));
    reply = Ioctl(file, IOCTL_GET_ERROR_TEXT, {}, 256);
    EXPECT_EQ(reply.out, std::vector<BYTE>(256, 'x'));

    Hooks().Reset();  // back to the preset's error
    EXPECT_EQ(Ioctl(file, IOCTL_GET_ERROR_TEXT, {}, 256).out[0], 'T');
    Hooks().SetDriverError(false, "");
    EXPECT_EQ(Ioctl(file, IOCTL_GET_ERROR_TEXT, {}, 256).out, std::vector<BYTE>(256, 0));
    EXPECT_EQ(Ioctl(file, IOCTL_GET_CAPS, {}, 680).As<std::uint32_t>(0x88) & 0x80000000u, 0u);
    CloseHandle(file);
}

TEST_F(SimControlTest, AbsentCardDoesNotOpen)
{
    Boot(MakePreset("absent"));
    EXPECT_EQ(Open(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(SimControlTest, CookiesAreNewValidOnlyOnTheirFileAndEndWithTheHandle)
{
    Boot();
    HANDLE a = Open();
    HANDLE b = Open();
    const std::uint32_t mixerA = Word(a, IOCTL_OPEN_MIXER);
    const std::uint32_t transportA = Word(a, IOCTL_OPEN_TRANSPORT);
    const std::uint32_t mixerB = Word(b, IOCTL_OPEN_MIXER);
    EXPECT_EQ(mixerA, 0x00010001u);
    EXPECT_EQ(transportA, mixerA + 1);
    EXPECT_EQ(mixerB, mixerA + 2);

    // Another file's cookie is no cookie.
    EXPECT_EQ(Ioctl(b, IOCTL_CLOSE_MIXER, U32(mixerA), 0).error, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Ioctl(b, IOCTL_CLOSE_TRANSPORT, U32(transportA), 0).error, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Word(b, IOCTL_START_TRANSPORT, U32(transportA)), 1u);
    const PipeReservation reserve{transportA, 1, 0, 0, 2};
    EXPECT_EQ(Word(a, IOCTL_RESERVE_PIPES, Bytes(reserve)), 0u);
    EXPECT_EQ(Hooks().MixerSessions(), 2u);

    CloseHandle(a);  // the file's sessions and reservations go with it
    EXPECT_EQ(Hooks().MixerSessions(), 1u);
    EXPECT_TRUE(Hooks().Transports().empty());
    EXPECT_EQ(Hooks().OpenFiles(), 1u);
    const PipeCheck check{0, 0, 2};
    EXPECT_EQ(Word(b, IOCTL_CHECK_PIPES, Bytes(check)), 0u);
    EXPECT_EQ(Ioctl(b, IOCTL_CLOSE_MIXER, U32(mixerB), 0).ok, TRUE);
    EXPECT_EQ(Ioctl(b, IOCTL_CLOSE_MIXER, U32(mixerB), 0).ok, FALSE);
    CloseHandle(b);
}

TEST_F(SimControlTest, HooksFailRequestsAndZeroCookies)
{
    Boot();
    HANDLE file = Open();
    machine::CardHooks hooks = Hooks();
    hooks.FailNext(IOCTL_GET_CAPS, 1, ERROR_NOT_SUPPORTED);
    Reply reply = Ioctl(file, IOCTL_GET_CAPS, {}, 680);
    EXPECT_EQ(reply.ok, FALSE);
    EXPECT_EQ(reply.error, ERROR_NOT_SUPPORTED);
    EXPECT_EQ(reply.out, std::vector<BYTE>(680, 0xEE));
    EXPECT_EQ(Ioctl(file, IOCTL_GET_CAPS, {}, 680).ok, TRUE);

    hooks.ZeroMixerCookie(true);
    hooks.ZeroTransportCookie(true);
    EXPECT_EQ(Word(file, IOCTL_OPEN_MIXER), 0u);
    EXPECT_EQ(Word(file, IOCTL_OPEN_TRANSPORT), 0u);
    EXPECT_EQ(hooks.MixerSessions(), 0u);
    CloseHandle(file);
}

TEST_F(SimControlTest, RequestLogKeepsEveryRequestWithItsInput)
{
    Boot();
    HANDLE file = Open();
    Hooks().ClearLog();
    Send(file, {CMD_SET_MONITOR_GAIN, 3, 0, 1, 0xFFFFFF00u});
    Ioctl(file, IOCTL_GET_CAPS, {}, 12);
    const std::vector<machine::RequestRecord> log = Hooks().Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].code, IOCTL_MIXER_MESSAGE);
    EXPECT_EQ(log[0].inSize, 1060u);
    EXPECT_EQ(log[0].input.size(), 1060u);
    EXPECT_EQ(log[0].input[4 + 8], CMD_SET_MONITOR_GAIN);
    EXPECT_EQ(log[0].result, TRUE);
    EXPECT_EQ(log[0].returned, 1060u);
    EXPECT_EQ(log[1].result, FALSE);
    EXPECT_EQ(log[1].error, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Hooks().CountOf(IOCTL_GET_CAPS), 1u);
    CloseHandle(file);
}

// A request a test makes fail returns FALSE and leaves the caller's output as it was,
// even the one word a refusal would otherwise have written; the next one answers again.
TEST_F(SimControlTest, AFailedRequestLeavesItsOutputWordUnwritten)
{
    Boot();
    HANDLE file = Open();
    const struct {
        DWORD code;
        DWORD in, out;
    } cases[] = {
        {IOCTL_GET_DRIVER_VERSION, 0, 4},    {IOCTL_OPEN_MIXER, 0, 4},          {IOCTL_OPEN_TRANSPORT, 0, 4},
        {IOCTL_GET_WAVE_BUFFER_SIZE, 0, 4},  {IOCTL_GET_GSIF_BUFFER_SIZE, 0, 4}, {IOCTL_MAP_PIPE_BUFFER, 16, 4},
        {IOCTL_SET_TRANSPORT_EVENT, 8, 4},   {IOCTL_MAP_PIPE_POSITION, 12, 4},  {IOCTL_START_TRANSPORT, 4, 4},
        {IOCTL_STOP_TRANSPORT, 4, 4},        {IOCTL_RESERVE_PIPES, 16, 4},      {IOCTL_CHECK_SAMPLE_RATE, 4, 4},
        {IOCTL_SET_SAMPLE_RATE, 4, 4},       {IOCTL_CHECK_PIPES, 8, 4},         {IOCTL_PAUSE_TRANSPORT, 4, 4},
        {IOCTL_GET_SPEAKER_DELAY, 8, 8},     {IOCTL_GET_WAVE_CONFIG, 0, 72},    {IOCTL_GET_ERROR_TEXT, 0, 256},
        {IOCTL_MIXER_MESSAGE, 1060, 1060},
    };
    for (const auto& c : cases) {
        std::vector<BYTE> in(c.in, 0);
        if (c.code == IOCTL_MIXER_MESSAGE) in[0] = 1;
        Hooks().FailNext(c.code, 1, ERROR_INVALID_DATA);
        const Reply failed = Ioctl(file, c.code, in, c.out);
        EXPECT_EQ(failed.ok, FALSE) << std::hex << c.code;
        EXPECT_EQ(failed.error, ERROR_INVALID_DATA) << std::hex << c.code;
        EXPECT_EQ(failed.returned, 0u) << std::hex << c.code;
        EXPECT_EQ(failed.out, std::vector<BYTE>(c.out, 0xEE)) << std::hex << c.code;
        const Reply next = Ioctl(file, c.code, in, c.out);
        EXPECT_EQ(next.ok, TRUE) << std::hex << c.code;
        EXPECT_NE(next.out, std::vector<BYTE>(c.out, 0xEE)) << std::hex << c.code;
    }
    CloseHandle(file);
}

// The system copies interface paths into 260-character buffers; the machine can still
// make a card whose path is longer, and that card opens and answers.
TEST_F(SimControlTest, ACardWithAnOverlongInterfacePathOpensAndAnswers)
{
    Boot(MakePreset("default", std::string(220, 'i')));
    ASSERT_GE(machine::InterfacePath(MakePreset("default", std::string(220, 'i'))).size(), 260u);
    HANDLE file = Open();
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Ioctl(file, IOCTL_GET_CAPS, {}, sizeof(CapabilitiesRecord)).ok, TRUE);
    CloseHandle(file);
}

}  // namespace
}  // namespace sim_test
