// The wait probe and the test hooks: a thread's waits as the probe sees
// them, the list of made threads, and the hooks firing once.
#include <thread>

#include <gtest/gtest.h>
#include <windows.h>

#include "win32/fault_hooks.h"
#include "win32/thread_probe.h"

namespace {

constexpr DWORD kDeadlineMs = 10000;

DWORD WaitForEvent(LPVOID event) { return WaitForSingleObject(static_cast<HANDLE>(event), INFINITE); }

TEST(ThreadProbe, AThreadBlockedOnAnEventSetFromTheTest)
{
    HANDLE event = CreateEventA(NULL, FALSE, FALSE, NULL);
    const std::size_t before = win32::CreatedThreads().size();
    DWORD id = 0;
    HANDLE thread = CreateThread(NULL, 0, WaitForEvent, event, 0, &id);
    ASSERT_NE(thread, nullptr);
    const auto created = win32::CreatedThreads();
    ASSERT_EQ(created.size(), before + 1);
    EXPECT_EQ(created.back().threadId, id);
    EXPECT_EQ(created.back().creatorId, GetCurrentThreadId());

    ASSERT_TRUE(win32::WaitUntilBlocked(id, 0, kDeadlineMs));
    win32::ThreadWaits waits;
    ASSERT_TRUE(win32::ProbeThread(id, &waits));
    EXPECT_EQ(waits.waitsEntered, 1u);
    EXPECT_TRUE(waits.blocked);
    EXPECT_GT(waits.enteredAt, 0);
    EXPECT_EQ(waits.leftAt, 0);
    EXPECT_FALSE(waits.startReturned);
    EXPECT_FALSE(win32::WaitUntilBlocked(id, 1, 0)) << "no second wait";
    EXPECT_FALSE(win32::WaitUntilReturned(id, 0));

    // Terminating does not end the code on the thread: its start routine returns later.
    EXPECT_EQ(TerminateThread(thread, 9), TRUE);
    ASSERT_TRUE(win32::ProbeThread(id, &waits));
    EXPECT_FALSE(waits.startReturned);
    EXPECT_EQ(SetEvent(event), TRUE);
    ASSERT_TRUE(win32::WaitUntilReturned(id, kDeadlineMs));
    ASSERT_TRUE(win32::ProbeThread(id, &waits));
    EXPECT_FALSE(waits.blocked);
    EXPECT_GE(waits.leftAt, waits.enteredAt);
    EXPECT_EQ(waits.wokeAt, waits.leftAt);
    CloseHandle(thread);
    CloseHandle(event);
}

TEST(ThreadProbe, AWaitSatisfiedAtOnceCountsWithoutBlocking)
{
    HANDLE event = CreateEventA(NULL, TRUE, TRUE, NULL);
    DWORD self = GetCurrentThreadId();
    win32::ThreadWaits before{};
    win32::ProbeThread(self, &before);
    EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    win32::ThreadWaits after;
    ASSERT_TRUE(win32::ProbeThread(self, &after));
    EXPECT_EQ(after.waitsEntered, before.waitsEntered + 2);
    EXPECT_FALSE(after.blocked);
    EXPECT_EQ(after.wokeAt, before.wokeAt) << "it never blocked";
    EXPECT_GE(after.leftAt, after.enteredAt);
    EXPECT_FALSE(win32::ProbeThread(0xFFFFFFF0, &after)) << "no such thread";
    CloseHandle(event);
}

TEST(FaultHooks, SetThreadPriorityFailsOnceWithTheErrorGiven)
{
    win32::FailNextSetThreadPriority(ERROR_ACCESS_DENIED);
    SetLastError(0);
    // On another thread too: the hook is the process's.
    std::thread([] {
        EXPECT_EQ(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
        EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
    }).join();
    EXPECT_EQ(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL), TRUE) << "once";
}

TEST(FaultHooks, TheNextCounterReadingOfTheThreadHasTheLowBitsGiven)
{
    for (const DWORD low : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        LARGE_INTEGER last{}, fixed{}, next{};
        QueryPerformanceCounter(&last);
        win32::FixNextPerformanceCount(low);
        // Another thread's reading is its own.
        std::thread([&] {
            LARGE_INTEGER other{};
            QueryPerformanceCounter(&other);
            EXPECT_GT(other.QuadPart, last.QuadPart);
        }).join();
        QueryPerformanceCounter(&fixed);
        QueryPerformanceCounter(&next);
        EXPECT_EQ(static_cast<DWORD>(fixed.QuadPart), low);
        EXPECT_GT(fixed.QuadPart, last.QuadPart) << "the counter keeps increasing";
        EXPECT_LE(fixed.QuadPart - last.QuadPart, LONGLONG{1} << 33) << "the next such value, not a later one";
        EXPECT_GT(next.QuadPart, fixed.QuadPart);
    }
}

}  // namespace
