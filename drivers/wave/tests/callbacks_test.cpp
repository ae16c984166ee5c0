// The open and close notifications by callback kind.
#include "wave_fixture.h"

class CallbacksTest : public WaveTest {
public:
    CallbacksTest() { Load(); }
};

TEST_F(CallbacksTest, FunctionIsCalledOnTheCallingThread)
{
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        const bool isOut = direction == WaveDirection::Out;
        const UINT messages[] = {isOut ? WOM_OPEN : WIM_OPEN, isOut ? WOM_CLOSE : WIM_CLOSE};
        hosts::WaveStream& stream = OpenOk(direction, 5, WaveCallback::Function);
        EXPECT_TRUE(stream.WaitFor(messages[0], 1, 1000));
        EXPECT_FALSE(stream.WaitFor(messages[1], 1, 0));
        ASSERT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
        EXPECT_EQ(stream.Count(messages[0]), 1u);
        EXPECT_EQ(stream.Count(messages[1]), 1u);
        const auto notifications = stream.Notifications();
        ASSERT_EQ(notifications.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(notifications[i].handle, reinterpret_cast<HDRVR>(stream.Handle()));
            EXPECT_EQ(notifications[i].message, messages[i]);
            EXPECT_EQ(notifications[i].user, stream.User());
            EXPECT_EQ(notifications[i].param1, 0u);
            EXPECT_EQ(notifications[i].param2, 0u);
            EXPECT_EQ(notifications[i].thread, GetCurrentThreadId());
        }
    }
}

TEST_F(CallbacksTest, EventIsSetForTheOpenAndTheClose)
{
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        hosts::WaveStream& stream = OpenOk(direction, 5, WaveCallback::Event);
        ASSERT_NE(stream.Event(), nullptr);
        EXPECT_EQ(WaitForSingleObject(stream.Event(), 0), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(stream.Event(), 0), WAIT_TIMEOUT);
        ASSERT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
        EXPECT_EQ(WaitForSingleObject(stream.Event(), 0), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(stream.Event(), 0), WAIT_TIMEOUT);
    }
}

// No callback, and a query with a callback, deliver nothing.
TEST_F(CallbacksTest, NothingWithoutACallbackOrForAQuery)
{
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        for (WaveCallback callback : {WaveCallback::Function, WaveCallback::Event}) {
            hosts::WaveStream& query =
                Client().Open({.direction = direction, .device = 5, .flags = WAVE_FORMAT_QUERY, .callback = callback});
            EXPECT_EQ(query.OpenResult(), MMSYSERR_NOERROR);
            EXPECT_TRUE(query.Notifications().empty());
            if (query.Event()) {
                EXPECT_EQ(WaitForSingleObject(query.Event(), 0), WAIT_TIMEOUT);
            }
        }
        // An open without a callback.
        hosts::WaveStream& none = OpenOk(direction, 5, WaveCallback::None);
        EXPECT_EQ(Client().Close(none), MMSYSERR_NOERROR);
        EXPECT_TRUE(none.Notifications().empty());
    }
}
