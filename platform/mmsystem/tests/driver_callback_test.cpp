// DriverCallback by kind: what each delivers, to whom, and what it answers.
#include <gtest/gtest.h>

#include <vector>

#include <mmsystem.h>
#include <windows.h>

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

TEST_F(DriverCallbackTest, WindowAndTaskArePostedWithTheDeviceAndParam1)
{
    HWND window = CreateWindowExA(0, "callback", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    ASSERT_NE(window, nullptr);
    const struct {
        DWORD flags;
        DWORD_PTR callback;
        HWND hwnd;  // of the message posted
    } cases[] = {
        {DCB_WINDOW, reinterpret_cast<DWORD_PTR>(window), window},
        {DCB_TASK, GetCurrentThreadId(), nullptr},
        {DCB_TASK | DCB_NOSWITCH, GetCurrentThreadId(), nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DriverCallback(c.callback, c.flags, kDevice, WOM_DONE, 0x1234, 0x55, 0x66), TRUE) << c.flags;
        MSG msg{};
        ASSERT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), TRUE) << c.flags;
        EXPECT_EQ(msg.hwnd, c.hwnd);
        EXPECT_EQ(msg.message, WOM_DONE);
        EXPECT_EQ(msg.wParam, reinterpret_cast<WPARAM>(kDevice));
        EXPECT_EQ(msg.lParam, 0x55);
        EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), FALSE) << "one message";
    }
    EXPECT_EQ(DestroyWindow(window), TRUE);
}

TEST_F(DriverCallbackTest, AWindowOrThreadWithoutAQueueGetsNothing)
{
    HWND window = CreateWindowExA(0, "callback", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(DestroyWindow(window), TRUE);
    // A thread that never asked for a queue.
    DWORD threadId = 0;
    HANDLE thread = CreateThread(NULL, 0, [](LPVOID) -> DWORD { return 0; }, NULL, 0, &threadId);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(DriverCallback(reinterpret_cast<DWORD_PTR>(window), DCB_WINDOW, kDevice, WOM_OPEN, 0, 0, 0), FALSE);
    EXPECT_EQ(DriverCallback(threadId, DCB_TASK, kDevice, WOM_OPEN, 0, 0, 0), FALSE);
    MSG msg{};
    EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), FALSE);
}

TEST_F(DriverCallbackTest, KindsThatDeliverNothing)
{
    // A null callback of every kind, and the null kind whatever it is given.
    for (DWORD flags : {DCB_NULL, DCB_WINDOW, DCB_TASK, DCB_FUNCTION, DCB_EVENT})
        EXPECT_EQ(DriverCallback(0, flags, kDevice, WOM_OPEN, 0, 0, 0), FALSE) << flags;
    EXPECT_EQ(DriverCallback(kFunction, DCB_NULL, kDevice, WOM_OPEN, 0, 0, 0), FALSE);
    EXPECT_EQ(DriverCallback(Event(), DCB_NULL, kDevice, WOM_OPEN, 0, 0, 0), FALSE);
    EXPECT_TRUE(g_Calls.empty());
    EXPECT_FALSE(EventSet());
}

}  // namespace
