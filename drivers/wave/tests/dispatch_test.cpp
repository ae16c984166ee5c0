// Every message number of both entries against instances that name no
// stream of the message's direction. The driver compares the value with its
// open streams and reads nothing through it: a freed stream or a freed block
// read would stop the test under the address sanitizer.
#include <algorithm>
#include <array>
#include <memory>

#include "wave_fixture.h"

namespace {

// What a message answers for an instance that is no open stream of its direction.
MMRESULT WithoutStream(WaveDirection direction, UINT message)
{
    if (direction == WaveDirection::Out) {
        switch (message) {
        case WODM_CLOSE:
        case WODM_WRITE:
        case WODM_PAUSE:
        case WODM_RESTART:
        case WODM_RESET:
        case WODM_GETPOS:
        case WODM_GETVOLUME:
        case WODM_SETVOLUME:
            return MMSYSERR_INVALPARAM;
        case WODM_SETPITCH:
        case WODM_BREAKLOOP:
            return MMSYSERR_NOERROR;
        default:
            return MMSYSERR_NOTSUPPORTED;
        }
    }
    switch (message) {
    case WIDM_CLOSE:
    case WIDM_ADDBUFFER:
    case WIDM_START:
    case WIDM_STOP:
    case WIDM_RESET:
    case WIDM_GETPOS:
        return MMSYSERR_INVALPARAM;
    default:
        return MMSYSERR_NOTSUPPORTED;
    }
}

// Every number near the direction's messages and a few far off, but the
// three that take no stream (the count, the capabilities and the open).
std::vector<UINT> MessagesOf(WaveDirection direction)
{
    const UINT first = direction == WaveDirection::Out ? 0 : 40;
    const UINT noStream[] = {direction == WaveDirection::Out ? WODM_GETNUMDEVS : WIDM_GETNUMDEVS,
                             direction == WaveDirection::Out ? WODM_GETDEVCAPS : WIDM_GETDEVCAPS,
                             direction == WaveDirection::Out ? WODM_OPEN : WIDM_OPEN};
    std::vector<UINT> messages;
    for (UINT message = first; message < first + 30; ++message)
        if (std::find(std::begin(noStream), std::end(noStream), message) == std::end(noStream))
            messages.push_back(message);
    for (UINT message : {100u, 955u, 0xFFFFu, 0x7FFFFFFFu, 0xFFFFFFFFu}) messages.push_back(message);
    return messages;
}

}  // namespace

class DispatchTest : public WaveTest {};

TEST_F(DispatchTest, InstancesThatNameNoStream)
{
    Load();
    hosts::WaveStream& out = OpenOk(WaveDirection::Out, 1);
    hosts::WaveStream& in = OpenOk(WaveDirection::In, 1);
    hosts::WaveStream& closedOut = OpenOk(WaveDirection::Out, 2);
    hosts::WaveStream& closedIn = OpenOk(WaveDirection::In, 2);
    ASSERT_EQ(Client().Close(closedOut), MMSYSERR_NOERROR);
    ASSERT_EQ(Client().Close(closedIn), MMSYSERR_NOERROR);
    DWORD local = 0;
    const DWORD_PTR freed = reinterpret_cast<DWORD_PTR>(std::make_unique<std::array<BYTE, 512>>().get());

    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        const bool isOut = direction == WaveDirection::Out;
        const struct {
            const char* what;
            DWORD_PTR instance;
        } instances[] = {
            {"none", 0},
            {"a closed stream", (isOut ? closedOut : closedIn).Instance()},
            {"a local variable", reinterpret_cast<DWORD_PTR>(&local)},
            {"a freed block", freed},
            {"a stream of the other direction", (isOut ? in : out).Instance()},
        };
        for (const auto& instance : instances)
            for (UINT message : MessagesOf(direction)) {
                SCOPED_TRACE(testing::Message() << instance.what << ", message " << message);
                EXPECT_EQ(Client().Send(direction, 1, message, instance.instance, 0, 0),
                          WithoutStream(direction, message));
            }
    }
    // Both streams are still open, the other direction's close having failed.
    EXPECT_EQ(Hooks().Transports().size(), 2u);
    EXPECT_EQ(local, 0u);
    EXPECT_EQ(Client().Close(out), MMSYSERR_NOERROR);
    EXPECT_EQ(Client().Close(in), MMSYSERR_NOERROR);
}

// What a message answers for an open stream of its direction when its
// parameters are 0: a null header, time record or volume word is refused.
MMRESULT WithStream(WaveDirection direction, UINT message)
{
    const MMRESULT without = WithoutStream(direction, message);
    if (without != MMSYSERR_INVALPARAM) return without;
    switch (message) {
    case WODM_WRITE:
    case WODM_GETPOS:
    case WODM_GETVOLUME:
    case WIDM_ADDBUFFER:
    case WIDM_GETPOS:
        return MMSYSERR_INVALPARAM;
    default:
        return MMSYSERR_NOERROR;
    }
}

TEST_F(DispatchTest, StreamMessagesOfAnOpenStream)
{
    Load();
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        SCOPED_TRACE(static_cast<int>(direction));
        hosts::WaveStream& stream = OpenOk(direction, 0);
        for (UINT message : MessagesOf(direction)) {
            if (message == (direction == WaveDirection::Out ? WODM_CLOSE : WIDM_CLOSE)) continue;
            EXPECT_EQ(Client().Send(stream, message), WithStream(direction, message)) << message;
        }
        EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
    }
}

TEST_F(DispatchTest, HeadersAndValuesOfAnOpenStream)
{
    Load();
    hosts::WaveStream& in = OpenOk(WaveDirection::In, 0);
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        SCOPED_TRACE(static_cast<int>(direction));
        const bool isOut = direction == WaveDirection::Out;
        const UINT queue = isOut ? WODM_WRITE : WIDM_ADDBUFFER;
        hosts::WaveStream& stream = isOut ? OpenOk(direction, 0) : in;
        hosts::WaveBuffer buffer(4096 * 4);  // more frames than the pre-fill takes
        const auto header = reinterpret_cast<DWORD_PTR>(&buffer.Header());
        EXPECT_EQ(Client().Send(stream, queue, header, sizeof(WAVEHDR)), WAVERR_UNPREPARED);
        EXPECT_EQ(buffer.Header().dwFlags, 0u);
        ASSERT_EQ(Client().Prepare(stream, buffer.Header()), MMSYSERR_NOERROR);
        EXPECT_EQ(Client().Send(stream, queue, header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        EXPECT_EQ(Client().Send(stream, queue, header, sizeof(WAVEHDR)), MMSYSERR_INVALPARAM) << "already queued";
        EXPECT_EQ(Client().Send(stream, queue, 0, sizeof(WAVEHDR)), MMSYSERR_INVALPARAM);

        MMTIME time{};
        time.wType = TIME_BYTES;
        EXPECT_EQ(Client().GetPosition(stream, time), MMSYSERR_NOERROR);
        EXPECT_EQ(Client().GetPosition(stream, time, sizeof time + 4), MMSYSERR_INVALPARAM);
        if (isOut) {
            DWORD volume = 0;
            EXPECT_EQ(Client().SetVolume(stream, 0x80004000), MMSYSERR_NOERROR);
            EXPECT_EQ(Client().GetVolume(stream, volume), MMSYSERR_NOERROR);
            EXPECT_NE(volume, 0u);
            // Volume needs a wave-out stream.
            const auto word = reinterpret_cast<DWORD_PTR>(&volume);
            for (DWORD_PTR instance : {DWORD_PTR{0}, in.Instance()}) {
                EXPECT_EQ(Client().Send(WaveDirection::Out, 0, WODM_GETVOLUME, instance, word, 0), MMSYSERR_INVALPARAM);
                EXPECT_EQ(Client().Send(WaveDirection::Out, 0, WODM_SETVOLUME, instance, 0xFFFFFFFF, 0),
                          MMSYSERR_INVALPARAM);
            }
        }
        EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
        EXPECT_EQ(buffer.Header().dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
        EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
    }
}
