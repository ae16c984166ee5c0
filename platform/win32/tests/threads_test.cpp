// Threads, priorities, termination, critical sections, interlocked
// operations, clocks and the handle table.
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

TEST(Thread, TerminateEndsTheObjectAndIsRecorded)
{
    Handle release = NewEvent(true, false);
    std::atomic<bool> bodyFinished{false};
    DWORD id = 0;
    Handle thread = StartThread(
        [&] {
            WaitForSingleObject(release.get(), INFINITE);
            bodyFinished = true;
            return 1u;
        },
        0, &id);
    Sleep(10);
    const auto before = win32::TerminatedThreads().size();
    ASSERT_TRUE(TerminateThread(thread.get(), 0xDEAD));
    ASSERT_EQ(WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(thread.get()), 0xDEADu);
    const auto records = win32::TerminatedThreads();
    ASSERT_EQ(records.size(), before + 1);
    EXPECT_EQ(records.back().threadId, id);
    EXPECT_EQ(records.back().exitCode, 0xDEADu);

    // The code on the thread runs on until it returns; the exit code stays.
    SetEvent(release.get());
    for (int i = 0; i < 500 && !bodyFinished; ++i) Sleep(2);
    EXPECT_TRUE(bodyFinished.load());
    Sleep(5);
    EXPECT_EQ(ExitCodeOf(thread.get()), 0xDEADu);
    // Terminating an ended thread changes and records nothing.
    EXPECT_TRUE(TerminateThread(thread.get(), 3));
    EXPECT_EQ(ExitCodeOf(thread.get()), 0xDEADu);
    EXPECT_EQ(win32::TerminatedThreads().size(), before + 1);
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
    EXPECT_LE(timeGetTime() - GetTickCount(), 1u);
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
