// Threads, priorities, termination, critical sections, interlocked
// operations, clocks and the handle table.
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <win32/thread_records.h>
#include <windows.h>

#include "kernel_test_support.h"

namespace {

using kernel_test::Handle;
using kernel_test::NewEvent;
using kernel_test::StartThread;

DWORD ExitCodeOf(HANDLE thread)
{
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    return code;
}

TEST(Thread, EndSignalsWaitersWithItsExitCode)
{
    Handle go = NewEvent(true, false);
    DWORD id = 0;
    std::atomic<DWORD> seenId{0};
    Handle thread = StartThread(
        [&] {
            seenId = GetCurrentThreadId();
            WaitForSingleObject(go.get(), INFINITE);
            return 42u;
        },
        0, &id);
    ASSERT_TRUE(thread);
    EXPECT_EQ(WaitForSingleObject(thread.get(), 20), WAIT_TIMEOUT);
    EXPECT_EQ(ExitCodeOf(thread.get()), STILL_ACTIVE);
    SetEvent(go.get());
    ASSERT_EQ(WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(thread.get()), 42u);
    EXPECT_EQ(seenId.load(), id);
    EXPECT_NE(id, GetCurrentThreadId());
    // An ended thread stays signalled for every wait.
    EXPECT_EQ(WaitForSingleObject(thread.get(), 0), WAIT_OBJECT_0);
}

TEST(Thread, ExitThreadEndsWithItsCode)
{
    Handle thread = StartThread([]() -> DWORD { ExitThread(7); });
    ASSERT_EQ(WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(thread.get()), 7u);
}

TEST(Thread, SuspendedStartsOnResume)
{
    std::atomic<bool> ran{false};
    Handle thread = StartThread(
        [&] {
            ran = true;
            return 0u;
        },
        CREATE_SUSPENDED);
    EXPECT_EQ(WaitForSingleObject(thread.get(), 30), WAIT_TIMEOUT);
    EXPECT_FALSE(ran.load());
    EXPECT_EQ(ResumeThread(thread.get()), 1u);
    ASSERT_EQ(WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(ran.load());
}

// Sets an event when the calling thread's thread-local objects go, which is
// after the layer has ended the thread's object.
struct SignalAtThreadExit {
    HANDLE event = nullptr;
    ~SignalAtThreadExit()
    {
        if (event) SetEvent(event);
    }
};

TEST(Thread, TerminateEndsTheObjectAndIsRecorded)
{
    Handle running = NewEvent(true, false);
    Handle release = NewEvent(true, false);
    Handle exited = NewEvent(true, false);
    DWORD id = 0;
    Handle thread = StartThread(
        [&] {
            thread_local SignalAtThreadExit atExit;
            atExit.event = exited.get();
            SetEvent(running.get());
            WaitForSingleObject(release.get(), INFINITE);
            return 1u;
        },
        0, &id);
    ASSERT_EQ(WaitForSingleObject(running.get(), 5000), WAIT_OBJECT_0);
    const auto before = win32::TerminatedThreads().size();
    ASSERT_TRUE(TerminateThread(thread.get(), 0xDEAD));
    ASSERT_EQ(WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(thread.get()), 0xDEADu);
    const auto records = win32::TerminatedThreads();
    ASSERT_EQ(records.size(), before + 1);
    EXPECT_EQ(records.back().threadId, id);
    EXPECT_EQ(records.back().exitCode, 0xDEADu);

    // The code on the thread runs on until it returns; its own end keeps the exit code.
    SetEvent(release.get());
    ASSERT_EQ(WaitForSingleObject(exited.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(thread.get()), 0xDEADu);
    // Terminating an ended thread changes and records nothing.
    EXPECT_TRUE(TerminateThread(thread.get(), 3));
    EXPECT_EQ(ExitCodeOf(thread.get()), 0xDEADu);
    EXPECT_EQ(win32::TerminatedThreads().size(), before + 1);
}

TEST(Thread, TerminatedBeforeItRanNeverRunsItsCode)
{
    std::atomic<bool> ran{false};
    // A plain start routine: a callable handed over would never be freed.
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            static_cast<std::atomic<bool>*>(parameter)->store(true);
            return 0;
        },
        &ran, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(TerminateThread(thread, 5));
    ASSERT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(thread), 5u);
    EXPECT_FALSE(ran.load());
    EXPECT_TRUE(CloseHandle(thread));
}

class Priority : public ::testing::TestWithParam<int> {};

TEST_P(Priority, IsAcceptedAndRecorded)
{
    Handle go = NewEvent(true, false);
    Handle thread = StartThread([&] { return WaitForSingleObject(go.get(), 5000); });
    EXPECT_EQ(GetThreadPriority(thread.get()), THREAD_PRIORITY_NORMAL);
    EXPECT_TRUE(SetThreadPriority(thread.get(), GetParam()));
    EXPECT_EQ(GetThreadPriority(thread.get()), GetParam());
    SetEvent(go.get());
    EXPECT_EQ(WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0);
}

INSTANTIATE_TEST_SUITE_P(Kernel, Priority,
                         ::testing::Values(THREAD_PRIORITY_IDLE, THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_BELOW_NORMAL,
                                           THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL,
                                           THREAD_PRIORITY_HIGHEST, THREAD_PRIORITY_TIME_CRITICAL));

// The nice value the scheduler gives the calling thread.
int OwnNice()
{
    return getpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)));
}

TEST(Priority, SchedulerFollowsTheLastPrioritySet)
{
    // Only lowering priorities, which every process may do.
    Handle started = NewEvent(true, false);
    Handle go = NewEvent(true, false);
    std::atomic<int> niceAtStart{-100};
    Handle thread = StartThread(
        [&] {
            niceAtStart = OwnNice();
            SetEvent(started.get());
            WaitForSingleObject(go.get(), 5000);
            return static_cast<DWORD>(OwnNice());
        },
        CREATE_SUSPENDED);
    // Set twice before it runs: the second is the one it runs with.
    ASSERT_TRUE(SetThreadPriority(thread.get(), THREAD_PRIORITY_BELOW_NORMAL));
    ASSERT_TRUE(SetThreadPriority(thread.get(), THREAD_PRIORITY_LOWEST));
    ResumeThread(thread.get());
    ASSERT_EQ(WaitForSingleObject(started.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(niceAtStart.load(), 10);
    // And while it runs.
    ASSERT_TRUE(SetThreadPriority(thread.get(), THREAD_PRIORITY_IDLE));
    SetEvent(go.get());
    ASSERT_EQ(WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(thread.get()), 19u);
    EXPECT_EQ(GetThreadPriority(thread.get()), THREAD_PRIORITY_IDLE);
}

TEST(Priority, InvalidValueOrHandleIsRefused)
{
    EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), 7));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(SetThreadPriority(reinterpret_cast<HANDLE>(0x7F0), THREAD_PRIORITY_NORMAL));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetThreadPriority(reinterpret_cast<HANDLE>(0x7F0)), THREAD_PRIORITY_ERROR_RETURN);
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads)
{
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EXPECT_TRUE(TryEnterCriticalSection(&section));
    EXPECT_EQ(section.RecursionCount, 2);
    Handle other = StartThread([&] { return static_cast<DWORD>(TryEnterCriticalSection(&section)); });
    WaitForSingleObject(other.get(), 5000);
    DWORD entered = ExitCodeOf(other.get());
    EXPECT_EQ(entered, static_cast<DWORD>(FALSE));
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);

    // Counted without loss by four threads.
    std::int64_t counter = 0;
    std::vector<Handle> workers;
    for (int i = 0; i < 4; ++i)
        workers.push_back(StartThread([&] {
            for (int k = 0; k < 5000; ++k) {
                EnterCriticalSection(&section);
                ++counter;
                LeaveCriticalSection(&section);
            }
            return 0u;
        }));
    for (auto& worker : workers) EXPECT_EQ(WaitForSingleObject(worker.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(counter, 20000);
    DeleteCriticalSection(&section);
}

struct InterlockedCase {
    const char* name;
    LONG start;
    std::function<LONG(LONG volatile*)> op;
    LONG result;
    LONG after;
};

class Interlocked : public ::testing::TestWithParam<InterlockedCase> {};

TEST_P(Interlocked, ReturnsAndStoresAsWindows)
{
    LONG volatile value = GetParam().start;
    EXPECT_EQ(GetParam().op(&value), GetParam().result);
    EXPECT_EQ(value, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Kernel, Interlocked,
    ::testing::Values(InterlockedCase{"Increment", 5, [](LONG volatile* v) { return InterlockedIncrement(v); }, 6, 6},
                      InterlockedCase{"Decrement", 0, [](LONG volatile* v) { return InterlockedDecrement(v); }, -1, -1},
                      InterlockedCase{"Exchange", 3, [](LONG volatile* v) { return InterlockedExchange(v, 9); }, 3, 9},
                      InterlockedCase{"ExchangeAdd", 3, [](LONG volatile* v) { return InterlockedExchangeAdd(v, -5); },
                                      3, -2},
                      InterlockedCase{"CompareMatches", 4,
                                      [](LONG volatile* v) { return InterlockedCompareExchange(v, 8, 4); }, 4, 8},
                      InterlockedCase{"CompareDiffers", 4,
                                      [](LONG volatile* v) { return InterlockedCompareExchange(v, 8, 5); }, 4, 4}),
    kernel_test::CaseName);

TEST(Clock, PerformanceCounterStrictlyIncreasesAcrossThreads)
{
    LARGE_INTEGER frequency{};
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    EXPECT_EQ(frequency.QuadPart, 1'000'000'000);
    constexpr int kThreads = 4;
    constexpr int kReadings = 20000;
    std::vector<std::vector<LONGLONG>> readings(kThreads);
    std::vector<Handle> threads;
    for (auto& list : readings)
        threads.push_back(StartThread([&list] {
            list.reserve(kReadings);
            for (int i = 0; i < kReadings; ++i) {
                LARGE_INTEGER now{};
                QueryPerformanceCounter(&now);
                list.push_back(now.QuadPart);
            }
            return 0u;
        }));
    for (auto& thread : threads) ASSERT_EQ(WaitForSingleObject(thread.get(), 10000), WAIT_OBJECT_0);
    std::set<LONGLONG> all;
    for (const auto& list : readings) {
        EXPECT_TRUE(std::adjacent_find(list.begin(), list.end(), std::greater_equal<>()) == list.end());
        all.insert(list.begin(), list.end());
    }
    EXPECT_EQ(all.size(), static_cast<std::size_t>(kThreads * kReadings));
}

TEST(Clock, TicksFollowTime)
{
    const DWORD start = GetTickCount();
    Sleep(30);
    const DWORD elapsed = GetTickCount() - start;  // wraps as DWORD arithmetic does
    EXPECT_GE(elapsed, 29u);
    EXPECT_LT(elapsed, 2000u);
    // One clock: a later reading of either is never behind an earlier one of the other.
    const DWORD multimedia = timeGetTime();
    const DWORD ticks = GetTickCount();
    EXPECT_LE(ticks - multimedia, 1u);
}

TEST(Clock, AnOffsetMovesBothTickClocksAcrossTheWrap)
{
    const DWORD now = GetTickCount();
    win32::SetTickOffset(0u - 20u - now);  // 20 ms before the wrap
    const DWORD early = timeGetTime();
    Sleep(40);
    const DWORD late = GetTickCount();
    win32::SetTickOffset(0);
    EXPECT_GE(early, 0xFFFF0000u);
    EXPECT_LT(late, 0x10000u) << "wrapped";
    EXPECT_GE(late - early, 39u);
    EXPECT_LT(late - early, 2000u);
    EXPECT_LT(GetTickCount() - now, 2000u) << "back on the clock without the offset";
}

TEST(Handles, TheTableCountsWhatIsOpen)
{
    const std::size_t before = win32::OpenHandleCount();
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    EXPECT_EQ(win32::OpenHandleCount(), before + 2);
    EXPECT_EQ(CloseHandle(GetCurrentThread()), TRUE);
    EXPECT_EQ(win32::OpenHandleCount(), before + 2) << "the pseudo handle is no entry";
    CloseHandle(event);
    EXPECT_EQ(win32::OpenHandleCount(), before + 1);
    CloseHandle(mutex);
    EXPECT_EQ(win32::OpenHandleCount(), before);
}

TEST(Handles, AreSmallAndNotReusedQuickly)
{
    std::set<HANDLE> seen;
    for (int i = 0; i < 2000; ++i) {
        HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        ASSERT_NE(event, nullptr);
        EXPECT_LE(reinterpret_cast<std::uintptr_t>(event), 0x7FFFFFFFu);
        EXPECT_TRUE(seen.insert(event).second);
        ASSERT_TRUE(CloseHandle(event));
        EXPECT_FALSE(CloseHandle(event));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    // A stale handle reaches nothing, even with newer objects alive.
    Handle live = NewEvent(true, true);
    EXPECT_EQ(WaitForSingleObject(*seen.begin(), 0), WAIT_FAILED);
    EXPECT_EQ(SetEvent(*seen.rbegin()), FALSE);
}

}  // namespace
