// Thread message queues and message-only windows: posting from other
// threads, order, filters, WM_QUIT, the errors, and windows that go away
// with their thread or their destruction.
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

namespace {

HWND MessageWindow() { return CreateWindowExA(0, "test", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL); }

// Makes the calling thread's queue, as its first message call does.
void MakeQueue()
{
    MSG msg;
    PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);
}

TEST(MessageQueues, PostsFromAnotherThreadArriveInOrder)
{
    MakeQueue();
    HWND window = MessageWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindow(window));
    const DWORD self = GetCurrentThreadId();
    constexpr int kPosts = 200;
    std::thread poster([&] {
        for (int i = 0; i < kPosts; ++i) {
            // Thread and window messages interleaved: one queue, one order.
            if (i % 2 == 0) {
                EXPECT_TRUE(PostThreadMessageA(self, WM_USER, i, -i));
            } else {
                EXPECT_TRUE(PostMessageA(window, WM_USER + 1, i, -i));
            }
        }
    });
    for (int i = 0; i < kPosts; ++i) {
        MSG msg{};
        ASSERT_EQ(GetMessageA(&msg, NULL, 0, 0), TRUE);
        EXPECT_EQ(msg.wParam, static_cast<WPARAM>(i));
        EXPECT_EQ(msg.lParam, -i);
        EXPECT_EQ(msg.message, i % 2 == 0 ? WM_USER : WM_USER + 1);
        EXPECT_EQ(msg.hwnd, i % 2 == 0 ? nullptr : window);
    }
    poster.join();
    EXPECT_EQ(DestroyWindow(window), TRUE);
}

TEST(MessageQueues, GetMessageBlocksUntilAMessageComesAndQuitEndsIt)
{
    std::atomic<DWORD> reader{0};
    std::vector<UINT> seen;
    int quitCode = 0;
    std::thread thread([&] {
        MakeQueue();
        reader = GetCurrentThreadId();
        MSG msg{};
        BOOL got;
        while ((got = GetMessageA(&msg, NULL, 0, 0)) > 0) seen.push_back(msg.message);
        EXPECT_EQ(got, 0);
        quitCode = static_cast<int>(msg.wParam);
    });
    while (reader == 0) std::this_thread::yield();
    EXPECT_TRUE(PostThreadMessageA(reader, WM_USER + 5, 0, 0));
    EXPECT_TRUE(PostThreadMessageA(reader, WM_QUIT, 7, 0));
    thread.join();
    EXPECT_EQ(seen, std::vector<UINT>{WM_USER + 5});
    EXPECT_EQ(quitCode, 7);
}

// PostQuitMessage's WM_QUIT comes once the queue holds nothing else.
TEST(MessageQueues, PostQuitMessageComesAfterTheQueuedMessages)
{
    MakeQueue();
    PostQuitMessage(3);
    EXPECT_TRUE(PostThreadMessageA(GetCurrentThreadId(), WM_USER, 1, 0));
    MSG msg{};
    EXPECT_EQ(GetMessageA(&msg, NULL, 0, 0), TRUE);
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_EQ(GetMessageA(&msg, NULL, 0, 0), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), FALSE) << "taken once";
}

TEST(MessageQueues, PeekFiltersByWindowAndRangeAndMayLeaveTheMessage)
{
    MakeQueue();
    HWND a = MessageWindow(), b = MessageWindow();
    const HWND threadOnly = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));
    PostMessageA(a, WM_USER + 1, 0, 0);
    PostMessageA(b, WM_USER + 2, 0, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 3, 0, 0);
    const struct {
        HWND window;
        UINT first, last;
        UINT expected;  // 0: none
    } cases[] = {
        {b, 0, 0, WM_USER + 2},           {threadOnly, 0, 0, WM_USER + 3}, {NULL, WM_USER + 2, WM_USER + 3, WM_USER + 2},
        {a, WM_USER + 2, WM_USER + 9, 0}, {NULL, 0, 0, WM_USER + 1},
    };
    for (const auto& c : cases) {
        MSG msg{};
        const BOOL found = PeekMessageA(&msg, c.window, c.first, c.last, PM_NOREMOVE);
        EXPECT_EQ(found, c.expected != 0 ? TRUE : FALSE) << c.expected;
        if (found) {
            EXPECT_EQ(msg.message, c.expected);
        }
    }
    // A window's messages go with it.
    EXPECT_EQ(DestroyWindow(a), TRUE);
    EXPECT_FALSE(IsWindow(a));
    std::vector<UINT> left;
    for (MSG msg{}; PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE);) left.push_back(msg.message);
    EXPECT_EQ(left, (std::vector<UINT>{WM_USER + 2, WM_USER + 3}));
    EXPECT_EQ(DestroyWindow(b), TRUE);
}

TEST(MessageQueues, TheErrors)
{
    // A thread that never asked for a queue, and one that has ended.
    DWORD threadId = 0;
    std::thread([&] { threadId = GetCurrentThreadId(); }).join();
    DWORD endedId = 0;
    HWND endedWindow = nullptr;
    std::thread([&] {
        endedId = GetCurrentThreadId();
        endedWindow = MessageWindow();
    }).join();
    for (DWORD thread : {threadId, endedId}) {
        SetLastError(0);
        EXPECT_EQ(PostThreadMessageA(thread, WM_USER, 0, 0), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_THREAD_ID);
    }
    // The ended thread's window went with it.
    ASSERT_NE(endedWindow, nullptr);
    for (HWND window : {endedWindow, reinterpret_cast<HWND>(std::uintptr_t{0x12345})}) {
        EXPECT_FALSE(IsWindow(window));
        SetLastError(0);
        EXPECT_EQ(PostMessageA(window, WM_USER, 0, 0), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
        EXPECT_EQ(DestroyWindow(window), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    }
    MSG msg{};
    EXPECT_EQ(GetMessageA(&msg, endedWindow, 0, 0), -1);
    // Only message-only windows, and only their own thread destroys them.
    EXPECT_EQ(CreateWindowExA(0, "test", "", 0, 0, 0, 0, 0, NULL, NULL, NULL, NULL), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    HWND mine = MessageWindow();
    std::thread([&] {
        EXPECT_EQ(DestroyWindow(mine), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    }).join();
    EXPECT_EQ(DestroyWindow(mine), TRUE);
}

// A library's windows take posts through their route; a broadcast reaches
// each registered broadcast route once, windows or not, and never a
// message-only window.
std::vector<std::pair<HWND, UINT>> g_Posted;
std::vector<UINT> g_Broadcast;

TEST(MessageQueues, RegisteredWindowsTakePostsAndBroadcastsThroughTheirRoute)
{
    static const win32::WindowRoute route = {
        [](HWND window, UINT message, WPARAM, LPARAM) { g_Posted.emplace_back(window, message); },
        [](UINT message, WPARAM, LPARAM) { g_Broadcast.push_back(message); }};
    MakeQueue();
    win32::RegisterBroadcastRoute(route);
    HWND first = win32::RegisterWindow(route), second = win32::RegisterWindow(route);
    HWND messageOnly = MessageWindow();
    EXPECT_TRUE(IsWindow(first));
    EXPECT_NE(first, second);
    EXPECT_TRUE(PostMessageA(second, WM_USER, 0, 0));
    EXPECT_TRUE(PostMessageA(HWND_BROADCAST, WM_USER + 1, 0, 0));
    EXPECT_EQ(g_Posted, (std::vector<std::pair<HWND, UINT>>{{second, WM_USER}}));
    EXPECT_EQ(g_Broadcast, std::vector<UINT>{WM_USER + 1});
    MSG msg{};
    EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), FALSE) << "nothing for the message-only window";
    win32::UnregisterWindow(first);
    win32::UnregisterWindow(second);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_EQ(PostMessageA(second, WM_USER, 0, 0), FALSE);
    EXPECT_TRUE(PostMessageA(HWND_BROADCAST, WM_USER + 2, 0, 0));
    EXPECT_EQ(g_Broadcast.size(), 2u) << "without windows too";
    win32::UnregisterBroadcastRoute(route);
    EXPECT_TRUE(PostMessageA(HWND_BROADCAST, WM_USER + 3, 0, 0));
    EXPECT_EQ(g_Broadcast.size(), 2u) << "no more once unregistered";
    EXPECT_EQ(DestroyWindow(messageOnly), TRUE);
}

}  // namespace
