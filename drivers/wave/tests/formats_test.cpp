// The format check, asked with WAVE_FORMAT_QUERY: tags, channels, rates by
// family, sample widths from the block alignment, and device ids.
#include "wave_fixture.h"

namespace {

constexpr GUID kFloatSubFormat = {0x00000003, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct FormatCase {
    const char* card;  // the card's name: the family's preset
    WORD tag;
    WORD channels;
    DWORD rate;
    WORD blockAlign;
    WORD bits;
    WORD cbSize;
    GUID subFormat;
    MMRESULT expected;
};

constexpr WORD kPcm = WAVE_FORMAT_PCM;
constexpr WORD kExt = WAVE_FORMAT_EXTENSIBLE;
constexpr GUID kPcmSub = KSDATAFORMAT_SUBTYPE_PCM;
constexpr MMRESULT kBad = WAVERR_BADFORMAT;

const char* const k60 = "Zavo24 Wide";     // family 0x60
const char* const k80 = "Zavo24 8x8";      // 0x80
const char* const k50 = "Zavo24 4x2";      // 0x50
const char* const k70 = "Zavo24 4x4 Pro";  // 0x70
const char* const k10 = "Zavo24 2x2";      // 0x10
const char* const k100 = "Zavo24 Kaltor";  // 0x100

}  // namespace

class FormatsTest : public WaveTest {
public:
    FormatsTest() { Boot({"zavo24-60", "default", "zavo24-50", "zavo24-70", "zavo24-10", "kaltor-100"}); }

    // The first wave-out device of the card named `card`.
    UINT DeviceOf(const std::string& card)
    {
        const auto devices = Client().ListDevices(WaveDirection::Out);
        for (const auto& device : devices)
            if (device.name.rfind(card + " 1-2 ", 0) == 0) return device.id;
        ADD_FAILURE() << "no device of " << card;
        return 0;
    }
};

TEST_F(FormatsTest, QueryAnswers)
{
    const FormatCase cases[] = {
        // Rates by family.
        {k60, kPcm, 2, 30000, 4, 16, 0, {}, 0},
        {k60, kPcm, 2, 22050, 4, 16, 0, {}, 0},
        {k60, kPcm, 2, 24000, 4, 16, 0, {}, kBad},
        {k60, kPcm, 2, 25000, 4, 16, 0, {}, 0},
        {k60, kPcm, 2, 100000, 4, 16, 0, {}, 0},
        {k60, kPcm, 2, 100001, 4, 16, 0, {}, kBad},
        {k60, kPcm, 1, 8000, 2, 16, 0, {}, 0},
        {k80, kPcm, 2, 22050, 4, 16, 0, {}, kBad},
        {k80, kPcm, 2, 48000, 4, 16, 0, {}, 0},
        {k80, kPcm, 2, 96000, 4, 16, 0, {}, 0},
        {k80, kPcm, 2, 192000, 4, 16, 0, {}, kBad},
        {k50, kPcm, 2, 8000, 4, 16, 0, {}, 0},
        {k50, kPcm, 2, 96000, 4, 16, 0, {}, 0},
        {k50, kPcm, 2, 30000, 4, 16, 0, {}, kBad},
        {k70, kPcm, 2, 11025, 4, 16, 0, {}, 0},
        {k10, kPcm, 2, 44100, 4, 16, 0, {}, kBad},
        {k10, kPcm, 2, 48000, 4, 16, 0, {}, kBad},
        {k100, kPcm, 2, 44100, 4, 16, 0, {}, kBad},
        {k100, kPcm, 2, 48000, 4, 16, 0, {}, kBad},
        // The width comes from the block alignment; the bits are never read.
        {k80, kPcm, 2, 48000, 6, 16, 0, {}, 0},   // 24-bit
        {k80, kPcm, 2, 48000, 3, 16, 0, {}, 0},   // 8-bit
        {k80, kPcm, 2, 48000, 5, 16, 0, {}, 0},   // 16-bit
        {k80, kPcm, 2, 48000, 8, 8, 0, {}, 0},    // 32-bit
        {k80, kPcm, 1, 48000, 1, 16, 0, {}, 0},   // 8-bit
        {k80, kPcm, 2, 48000, 10, 16, 0, {}, kBad},  // 40-bit
        {k80, kPcm, 2, 48000, 1, 8, 0, {}, kBad},    // 0-bit
        {k80, kPcm, 2, 48000, 0, 16, 0, {}, kBad},
        {k80, kPcm, 0, 48000, 4, 16, 0, {}, kBad},
        {k80, kPcm, 3, 48000, 6, 16, 0, {}, kBad},
        // Tags.
        {k80, 0, 2, 48000, 4, 16, 0, {}, kBad},
        {k80, 3, 2, 48000, 8, 32, 0, {}, kBad},
        {k80, kExt, 2, 48000, 4, 16, 22, kPcmSub, 0},
        {k80, kExt, 2, 48000, 6, 24, 40, kPcmSub, 0},
        {k80, kExt, 2, 48000, 8, 32, 22, kFloatSubFormat, kBad},
        {k80, kExt, 2, 48000, 4, 16, 20, kPcmSub, kBad},  // the sub-format lies past what the format holds
        {k80, kExt, 2, 48000, 4, 16, 0, kPcmSub, kBad},
        {k80, kExt, 3, 48000, 6, 16, 22, kPcmSub, kBad},
        {k80, kExt, 2, 22050, 4, 16, 22, kPcmSub, kBad},
    };
    Load();
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.card << " tag " << c.tag << " " << c.channels << " ch " << c.rate
                                        << " Hz align " << c.blockAlign << " cbSize " << c.cbSize);
        hosts::WaveOpenRequest request{.device = DeviceOf(c.card), .flags = WAVE_FORMAT_QUERY,
                                       .callback = WaveCallback::Function};
        request.format.Format = {c.tag, c.channels, c.rate, c.rate * c.blockAlign, c.blockAlign, c.bits, c.cbSize};
        request.format.SubFormat = c.subFormat;
        const hosts::WaveStream& stream = Client().Open(request);
        EXPECT_EQ(stream.OpenResult(), c.expected);
        EXPECT_EQ(stream.Instance(), hosts::WaveStream::kUnset);
        EXPECT_TRUE(stream.Notifications().empty());
    }
    EXPECT_EQ(Transports(), 0u);
    for (std::size_t card = 0; card < Machine().CardCount(); ++card)
        EXPECT_EQ(Hooks(card).CountOf(machine::sim::IOCTL_OPEN_TRANSPORT), 0u) << card;

    // What a query accepts opens.
    hosts::WaveStream& stream =
        Client().Open({.device = DeviceOf(k80), .format = hosts::ExtensiblePcmFormat(2, 96000, 24)});
    EXPECT_EQ(stream.OpenResult(), MMSYSERR_NOERROR);
    EXPECT_EQ(Transports(), 1u);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

// Ids are compared whole against the count before any slot is looked at.
TEST_F(FormatsTest, IdsWithoutADevice)
{
    Boot({"default"});
    Load();
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In})
        for (UINT id : {8u, 9u, 191u, 192u, 65535u, 65536u, 65536u + 3})
            for (DWORD flags : {WAVE_FORMAT_QUERY, 0u}) {
                const hosts::WaveStream& stream = Client().Open({.direction = direction, .device = id, .flags = flags});
                EXPECT_EQ(stream.OpenResult(), MMSYSERR_BADDEVICEID) << id;
                EXPECT_EQ(stream.Instance(), hosts::WaveStream::kUnset);
            }
    EXPECT_EQ(Transports(), 0u);
    EXPECT_EQ(Hooks().CountOf(machine::sim::IOCTL_OPEN_TRANSPORT), 0u);
}
