// DriverCallback by kind: what each delivers, to whom, and what it answers.
#include <gtest/gtest.h>

#include <vector>

#include <mmsystem.h>

namespace {

struct Call {
    HDRVR device;
    UINT message;
    DWORD_PTR user, param1, param2;
    DWORD thread;
};
std::vector<Call> g_Calls;

void Record(HDRVR device, UINT message, DWORD_PTR user, DWORD_PTR param1, DWORD_PTR param2)
{
    g_Calls.push_back({device, message, user, param1, param2, GetCurrentThreadId()});
}

const DWORD_PTR kFunction = reinterpret_cast<DWORD_PTR>(&Record);
const HDRVR kDevice = reinterpret_cast<HDRVR>(std::uintptr_t{0x7000});

class DriverCallbackTest : public ::testing::Test {
protected:
    DriverCallbackTest() : event_(CreateEventA(NULL, FALSE, FALSE, NULL)) { g_Calls.clear(); }
    ~DriverCallbackTest() override { CloseHandle(event_); }
    DWORD_PTR Event() const { return reinterpret_cast<DWORD_PTR>(event_); }
    bool EventSet() const { return WaitForSingleObject(event_, 0) == WAIT_OBJECT_0; }

    HANDLE event_;
};

TEST_F(DriverCallbackTest, FunctionIsCalledOnTheCallingThreadWithEveryArgument)
{
    // DCB_NOSWITCH does not change the kind.
    for (DWORD flags : {DCB_FUNCTION, DCB_FUNCTION | DCB_NOSWITCH}) {
        g_Calls.clear();
        EXPECT_EQ(DriverCallback(kFunction, flags, kDevice, WOM_DONE, 0x1234, 0x55, 0x66), TRUE);
        ASSERT_EQ(g_Calls.size(), 1u);
        EXPECT_EQ(g_Calls[0].device, kDevice);
        EXPECT_EQ(g_Calls[0].message, WOM_DONE);
        EXPECT_EQ(g_Calls[0].user, 0x1234u);
        EXPECT_EQ(g_Calls[0].param1, 0x55u);
        EXPECT_EQ(g_Calls[0].param2, 0x66u);
        EXPECT_EQ(g_Calls[0].thread, GetCurrentThreadId());
    }
}

TEST_F(DriverCallbackTest, EventIsSet)
{
    EXPECT_EQ(DriverCallback(Event(), DCB_EVENT, kDevice, WIM_DATA, 1, 2, 3), TRUE);
    EXPECT_TRUE(EventSet());
    EXPECT_FALSE(EventSet());  // auto-reset: set once
}

TEST_F(DriverCallbackTest, EventThatIsNoEventGivesFalse)
{
    HANDLE mutex = CreateMutexA(NULL, FALSE, NULL);
    EXPECT_EQ(DriverCallback(reinterpret_cast<DWORD_PTR>(mutex), DCB_EVENT, kDevice, WIM_DATA, 0, 0, 0), FALSE);
    CloseHandle(mutex);
}

TEST_F(DriverCallbackTest, KindsThatDeliverNothing)
{
    // A null callback of every kind, and the kinds with no delivery here, whatever they are given.
    for (DWORD flags : {DCB_NULL, DCB_WINDOW, DCB_TASK, DCB_FUNCTION, DCB_EVENT})
        EXPECT_EQ(DriverCallback(0, flags, kDevice, WOM_OPEN, 0, 0, 0), FALSE) << flags;
    for (DWORD flags : {DCB_NULL, DCB_WINDOW, DCB_TASK}) {
        EXPECT_EQ(DriverCallback(kFunction, flags, kDevice, WOM_OPEN, 0, 0, 0), FALSE) << flags;
        EXPECT_EQ(DriverCallback(Event(), flags, kDevice, WOM_OPEN, 0, 0, 0), FALSE) << flags;
    }
    EXPECT_TRUE(g_Calls.empty());
    EXPECT_FALSE(EventSet());
}

}  // namespace
