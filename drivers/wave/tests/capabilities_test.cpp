// GETDEVCAPS: every field, structures shorter than the driver's, and ids
// beside the devices.
#include <array>
#include <cstring>

#include "wave_fixture.h"

namespace {

// What every device of the driver reports beside its name.
template <typename Caps>
void ExpectDriverFields(const Caps& caps)
{
    EXPECT_EQ(caps.wMid, 0xA5C3);
    EXPECT_EQ(caps.wPid, 2);
    EXPECT_EQ(caps.vDriverVersion, 1u);
    EXPECT_EQ(caps.dwFormats, 0xFFFu);
    EXPECT_EQ(caps.wChannels, 2);
    EXPECT_EQ(caps.wReserved1, 0);
}

}  // namespace

class CapabilitiesTest : public WaveTest {};

TEST_F(CapabilitiesTest, EveryField)
{
    Load();
    WAVEOUTCAPSW out;
    std::memset(&out, 0xCC, sizeof out);
    ASSERT_EQ(Client().GetDevCaps(3, out), MMSYSERR_NOERROR);
    ExpectDriverFields(out);
    EXPECT_EQ(out.dwSupport, WAVECAPS_VOLUME | WAVECAPS_LRVOLUME);
    EXPECT_EQ(std::u16string(out.szPname), u"Zavo24 8x8 7-8 Analog Out NM");
    // Zero after the name's terminator.
    for (std::size_t i = std::char_traits<char16_t>::length(out.szPname); i < MAXPNAMELEN; ++i)
        EXPECT_EQ(out.szPname[i], 0) << i;

    WAVEINCAPSW in;
    std::memset(&in, 0xCC, sizeof in);
    ASSERT_EQ(Client().GetDevCaps(4, in), MMSYSERR_NOERROR);
    ExpectDriverFields(in);
    EXPECT_EQ(std::u16string(in.szPname), u"Zavo24 8x8 1-2 Digital In NM");
}

// A structure shorter than the driver's gets its first bytes; nothing past it is written.
TEST_F(CapabilitiesTest, ShortStructures)
{
    Load();
    WAVEOUTCAPSW fullOut;
    WAVEINCAPSW fullIn;
    ASSERT_EQ(Client().GetDevCaps(0, fullOut), MMSYSERR_NOERROR);
    ASSERT_EQ(Client().GetDevCaps(0, fullIn), MMSYSERR_NOERROR);
    const struct {
        WaveDirection direction;
        DWORD size;
    } cases[] = {{WaveDirection::Out, 0}, {WaveDirection::Out, 8},  {WaveDirection::Out, 40},
                 {WaveDirection::Out, 83}, {WaveDirection::In, 2},  {WaveDirection::In, 79}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        std::array<BYTE, sizeof(WAVEOUTCAPSW) + 16> buffer;
        buffer.fill(0xCC);
        ASSERT_EQ(Client().GetDevCaps(c.direction, 0, buffer.data(), c.size), MMSYSERR_NOERROR);
        const void* full = c.direction == WaveDirection::Out ? static_cast<const void*>(&fullOut) : &fullIn;
        EXPECT_EQ(std::memcmp(buffer.data(), full, c.size), 0);
        for (std::size_t i = c.size; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], 0xCC) << i;
    }
}

TEST_F(CapabilitiesTest, IdsBesideTheDevices)
{
    Load();
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        SCOPED_TRACE(static_cast<int>(direction));
        std::array<BYTE, sizeof(WAVEOUTCAPSW)> buffer;
        const DWORD size = direction == WaveDirection::Out ? sizeof(WAVEOUTCAPSW) : sizeof(WAVEINCAPSW);

        // At the count: no device, and the structure zeroed.
        buffer.fill(0xCC);
        EXPECT_EQ(Client().GetDevCaps(direction, 8, buffer.data(), size), MMSYSERR_BADDEVICEID);
        for (DWORD i = 0; i < size; ++i) ASSERT_EQ(buffer[i], 0) << i;
        // Above it, the whole id compared: refused with the structure untouched.
        for (UINT id : {9u, 192u, 65536u, 65536u + 1}) {
            buffer.fill(0xCC);
            EXPECT_EQ(Client().GetDevCaps(direction, id, buffer.data(), size), MMSYSERR_INVALPARAM) << id;
            EXPECT_EQ(buffer[0], 0xCC);
        }
        // No structure at all.
        EXPECT_EQ(Client().GetDevCaps(direction, 0, nullptr, size), MMSYSERR_INVALPARAM);
    }
}
