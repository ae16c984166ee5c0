// Mutexes, events, semaphores, named objects and the waits on them.
#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <win32/object_ref.h>
#include <windows.h>

#include "kernel_test_support.h"

namespace {

using kernel_test::Handle;
using kernel_test::NewEvent;
using kernel_test::StartThread;

// Runs `body` on a thread of its own and returns what it returned.
DWORD OnOtherThread(std::function<DWORD()> body)
{
    Handle thread = StartThread(std::move(body));
    EXPECT_EQ(WaitForSingleObject(thread.get(), 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread.get(), &code));
    return code;
}

TEST(Mutex, IsRecursiveForItsOwnerAndRefusesOthers)
{
    Handle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    ASSERT_TRUE(mutex);
    ASSERT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_OBJECT_0);
    ASSERT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_OBJECT_0);

    // Another thread can neither take it nor release it.
    EXPECT_EQ(OnOtherThread([&] { return WaitForSingleObject(mutex.get(), 20); }), WAIT_TIMEOUT);
    EXPECT_EQ(OnOtherThread([&] { return ReleaseMutex(mutex.get()) ? 0u : GetLastError(); }), ERROR_NOT_OWNER);

    EXPECT_TRUE(ReleaseMutex(mutex.get()));
    EXPECT_EQ(OnOtherThread([&] { return WaitForSingleObject(mutex.get(), 20); }), WAIT_TIMEOUT);
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
    SetLastError(0);
    EXPECT_FALSE(ReleaseMutex(mutex.get()));
    EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
    // Free now; the thread that takes it and ends abandons it.
    EXPECT_EQ(OnOtherThread([&] { return WaitForSingleObject(mutex.get(), 0); }), WAIT_OBJECT_0);
}

TEST(Mutex, InitialOwnerOwnsIt)
{
    Handle mutex(CreateMutexA(nullptr, TRUE, nullptr));
    EXPECT_EQ(OnOtherThread([&] { return WaitForSingleObject(mutex.get(), 0); }), WAIT_TIMEOUT);
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
    EXPECT_FALSE(ReleaseMutex(mutex.get()));
}

struct AbandonCase {
    const char* name;
    bool terminate;  // ended by TerminateThread instead of returning
};

class AbandonedMutex : public ::testing::TestWithParam<AbandonCase> {};

TEST_P(AbandonedMutex, NextWaitReportsItOnce)
{
    Handle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    Handle taken = NewEvent(true, false);
    Handle finish = NewEvent(true, false);
    Handle owner = StartThread([&] {
        WaitForSingleObject(mutex.get(), INFINITE);
        WaitForSingleObject(mutex.get(), INFINITE);  // owned twice, released never
        SetEvent(taken.get());
        WaitForSingleObject(finish.get(), INFINITE);
        return 0u;
    });
    ASSERT_EQ(WaitForSingleObject(taken.get(), 5000), WAIT_OBJECT_0);
    if (GetParam().terminate) {
        EXPECT_TRUE(TerminateThread(owner.get(), 9));
    } else {
        SetEvent(finish.get());
    }
    ASSERT_EQ(WaitForSingleObject(owner.get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 5000), WAIT_ABANDONED);
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
    EXPECT_EQ(WaitForSingleObject(mutex.get(), 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
    SetEvent(finish.get());
}

INSTANTIATE_TEST_SUITE_P(Kernel, AbandonedMutex,
                         ::testing::Values(AbandonCase{"OwnerReturns", false}, AbandonCase{"OwnerTerminated", true}),
                         kernel_test::CaseName);

enum class Op { Set, Reset, Pulse, Wait };

struct EventCase {
    const char* name;
    bool manual;
    bool initial;
    std::vector<Op> ops;
    std::vector<DWORD> waits;  // what each Wait (with no time-out) returns
};

class Event : public ::testing::TestWithParam<EventCase> {};

TEST_P(Event, FollowsItsResetMode)
{
    const auto& c = GetParam();
    Handle event = NewEvent(c.manual, c.initial);
    ASSERT_TRUE(event);
    std::vector<DWORD> waits;
    for (Op op : c.ops) {
        switch (op) {
        case Op::Set: EXPECT_TRUE(SetEvent(event.get())); break;
        case Op::Reset: EXPECT_TRUE(ResetEvent(event.get())); break;
        case Op::Pulse: EXPECT_TRUE(PulseEvent(event.get())); break;
        case Op::Wait: waits.push_back(WaitForSingleObject(event.get(), 0)); break;
        }
    }
    EXPECT_EQ(waits, c.waits);
}

constexpr DWORD kSet = WAIT_OBJECT_0;
constexpr DWORD kNot = WAIT_TIMEOUT;

INSTANTIATE_TEST_SUITE_P(
    Kernel, Event,
    ::testing::Values(EventCase{"AutoInitiallySet", false, true, {Op::Wait, Op::Wait}, {kSet, kNot}},
                      EventCase{"AutoSetTakenByOneWait", false, false, {Op::Wait, Op::Set, Op::Wait, Op::Wait},
                                {kNot, kSet, kNot}},
                      EventCase{"AutoRepeatedSetsDoNotCount", false, false,
                                {Op::Set, Op::Set, Op::Set, Op::Wait, Op::Wait}, {kSet, kNot}},
                      EventCase{"AutoReset", false, false, {Op::Set, Op::Reset, Op::Wait}, {kNot}},
                      EventCase{"ManualStaysSet", true, false, {Op::Set, Op::Wait, Op::Wait, Op::Wait},
                                {kSet, kSet, kSet}},
                      EventCase{"ManualUntilReset", true, true, {Op::Wait, Op::Reset, Op::Wait, Op::Set, Op::Wait},
                                {kSet, kNot, kSet}},
                      EventCase{"PulseWithoutWaiterLeavesReset", true, false, {Op::Pulse, Op::Wait}, {kNot}}),
    kernel_test::CaseName);

TEST(Event, AutoResetWakesOneWaiterPerSet)
{
    Handle event = NewEvent(false, false);
    std::atomic<int> woken{0};
    auto waiter = [&] {
        const DWORD result = WaitForSingleObject(event.get(), 5000);
        ++woken;
        return result;
    };
    Handle first = StartThread(waiter);
    Handle second = StartThread(waiter);
    // Most often both are parked by now; a waiter that comes later finds the
    // event set and takes it, so the outcome below is the same either way.
    Sleep(30);
    SetEvent(event.get());
    const HANDLE both[] = {first.get(), second.get()};
    const DWORD ended = WaitForMultipleObjects(2, both, FALSE, 5000);
    ASSERT_LT(ended, WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForSingleObject(both[1 - ended], 50), WAIT_TIMEOUT);
    EXPECT_EQ(woken.load(), 1);
    SetEvent(event.get());
    EXPECT_EQ(WaitForSingleObject(both[1 - ended], 5000), WAIT_OBJECT_0);
    for (HANDLE thread : both) {
        DWORD code = 0;
        GetExitCodeThread(thread, &code);
        EXPECT_EQ(code, WAIT_OBJECT_0);
    }
    // Each set was taken: nothing is left over.
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), WAIT_TIMEOUT);
}

TEST(NamedObjects, ExistingNameOpensTheSameObject)
{
    Handle first(CreateEventA(nullptr, TRUE, FALSE, "Daveror transport 0x1"));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    // Flags of a second create are ignored: still manual reset, still clear.
    Handle second(CreateEventA(nullptr, FALSE, TRUE, "Daveror transport 0x1"));
    ASSERT_TRUE(second);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(WaitForSingleObject(first.get(), 0), WAIT_TIMEOUT);
    SetEvent(second.get());
    EXPECT_EQ(WaitForSingleObject(first.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(first.get(), 0), WAIT_OBJECT_0);

    // Case-sensitive, and shared with the other kinds.
    Handle other(CreateEventA(nullptr, TRUE, FALSE, "daveror transport 0x1"));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(WaitForSingleObject(other.get(), 0), WAIT_TIMEOUT);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, "Daveror transport 0x1"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(NamedObjects, NameLivesWithItsObject)
{
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, "Transport A");
    // A reference outside any handle keeps the object, and its name.
    win32::ObjectRef kept = win32::ObjectRef::FromHandle(event);
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept.Kind(), win32::ObjectKind::Event);
    ASSERT_TRUE(CloseHandle(event));
    EXPECT_TRUE(kept.SetEvent());
    Handle again(CreateEventA(nullptr, TRUE, FALSE, "Transport A"));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(WaitForSingleObject(again.get(), 0), WAIT_OBJECT_0);
    again.reset();
    kept.Reset();
    Handle fresh(CreateEventA(nullptr, TRUE, FALSE, "Transport A"));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(WaitForSingleObject(fresh.get(), 0), WAIT_TIMEOUT);
}

struct SemaphoreCase {
    const char* name;
    LONG initial;
    LONG maximum;
    LONG release;
    bool released;
    LONG previous;
    int takes;  // waits that succeed afterwards
};

class Semaphore : public ::testing::TestWithParam<SemaphoreCase> {};

TEST_P(Semaphore, CountsUpToItsMaximum)
{
    const auto& c = GetParam();
    Handle semaphore(CreateSemaphoreA(nullptr, c.initial, c.maximum, nullptr));
    ASSERT_TRUE(semaphore);
    LONG previous = -1;
    SetLastError(0);
    EXPECT_EQ(ReleaseSemaphore(semaphore.get(), c.release, &previous) != FALSE, c.released);
    if (c.released) {
        EXPECT_EQ(previous, c.previous);
    } else {
        EXPECT_EQ(GetLastError(), ERROR_TOO_MANY_POSTS);
    }
    for (int i = 0; i < c.takes; ++i) EXPECT_EQ(WaitForSingleObject(semaphore.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore.get(), 0), WAIT_TIMEOUT);
}

INSTANTIATE_TEST_SUITE_P(Kernel, Semaphore,
                         ::testing::Values(SemaphoreCase{"ReleaseToMaximum", 0, 2, 2, true, 0, 2},
                                           SemaphoreCase{"ReleaseOne", 1, 2, 1, true, 1, 2},
                                           SemaphoreCase{"PastMaximumRefused", 1, 2, 2, false, 0, 1},
                                           SemaphoreCase{"FullRefused", 1, 1, 1, false, 0, 1}),
                         kernel_test::CaseName);

TEST(Semaphore, BadCountsAreRefused)
{
    EXPECT_EQ(CreateSemaphoreA(nullptr, 2, 1, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(CreateSemaphoreA(nullptr, 0, 0, nullptr), nullptr);
    Handle semaphore(CreateSemaphoreA(nullptr, 0, 1, nullptr));
    EXPECT_FALSE(ReleaseSemaphore(semaphore.get(), 0, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

bool IsSet(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

TEST(WaitAll, TakesEveryObjectAtOnce)
{
    std::vector<Handle> events;
    std::vector<HANDLE> handles;
    for (int i = 0; i < 4; ++i) {
        events.push_back(NewEvent(false, true));
        handles.push_back(events.back().get());
    }
    EXPECT_EQ(WaitForMultipleObjects(4, handles.data(), TRUE, 0), WAIT_OBJECT_0);
    for (HANDLE event : handles) EXPECT_FALSE(IsSet(event));
}

TEST(WaitAll, PartialSetConsumesNothing)
{
    std::vector<Handle> events;
    std::vector<HANDLE> handles;
    for (int i = 0; i < 4; ++i) {
        events.push_back(NewEvent(false, i != 2));
        handles.push_back(events.back().get());
    }
    EXPECT_EQ(WaitForMultipleObjects(4, handles.data(), TRUE, 30), WAIT_TIMEOUT);
    // Still set: a wait-any sees the lowest of them.
    EXPECT_EQ(WaitForMultipleObjects(4, handles.data(), FALSE, 0), WAIT_OBJECT_0 + 0);
    EXPECT_EQ(WaitForMultipleObjects(4, handles.data(), FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(4, handles.data(), FALSE, 0), WAIT_OBJECT_0 + 3);
    EXPECT_EQ(WaitForMultipleObjects(4, handles.data(), FALSE, 0), WAIT_TIMEOUT);
}

TEST(WaitAll, BlockedWaiterLeavesPartialSetToOthers)
{
    Handle a = NewEvent(false, false);
    Handle b = NewEvent(false, false);
    const HANDLE pair[] = {a.get(), b.get()};
    Handle all = StartThread([&] { return WaitForMultipleObjects(2, pair, TRUE, 5000); });
    // Most often parked by now; parked or not, it must leave `a` alone while `b` is clear.
    Sleep(20);
    SetEvent(a.get());
    // The parked wait-all did not take `a` while `b` was clear.
    EXPECT_EQ(WaitForSingleObject(a.get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(all.get(), 20), WAIT_TIMEOUT);
    SetEvent(b.get());
    EXPECT_EQ(WaitForSingleObject(all.get(), 50), WAIT_TIMEOUT);
    SetEvent(a.get());
    ASSERT_EQ(WaitForSingleObject(all.get(), 5000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(all.get(), &code);
    EXPECT_EQ(code, WAIT_OBJECT_0);
    EXPECT_FALSE(IsSet(a.get()));
    EXPECT_FALSE(IsSet(b.get()));
}

TEST(WaitAll, RacingWaitersNeverTakeHalfASet)
{
    // Two semaphores released in step; one thread takes both with wait-all,
    // another takes the second alone, until every second count is taken.
    // Whatever the interleaving, each wait-all took one of each, so what is
    // left of the first is exactly what no wait-all took.
    constexpr LONG kReleases = 2000;
    Handle first(CreateSemaphoreA(nullptr, 0, kReleases, nullptr));
    Handle second(CreateSemaphoreA(nullptr, 0, kReleases, nullptr));
    const HANDLE pair[] = {first.get(), second.get()};
    std::atomic<LONG> pairs{0}, singles{0};
    auto secondsLeft = [&] { return pairs + singles < kReleases; };
    Handle ready = NewEvent(true, false);
    Handle all = StartThread([&] {
        SetEvent(ready.get());
        while (secondsLeft())
            if (WaitForMultipleObjects(2, pair, TRUE, 1) == WAIT_OBJECT_0) ++pairs;
        return 0u;
    });
    Handle one = StartThread([&] {
        while (secondsLeft())
            if (WaitForSingleObject(second.get(), 1) == WAIT_OBJECT_0) ++singles;
        return 0u;
    });
    ASSERT_EQ(WaitForSingleObject(ready.get(), 5000), WAIT_OBJECT_0);
    for (LONG i = 0; i < kReleases; ++i) {
        ASSERT_TRUE(ReleaseSemaphore(first.get(), 1, nullptr));
        ASSERT_TRUE(ReleaseSemaphore(second.get(), 1, nullptr));
    }
    ASSERT_EQ(WaitForSingleObject(all.get(), 10000), WAIT_OBJECT_0);
    ASSERT_EQ(WaitForSingleObject(one.get(), 10000), WAIT_OBJECT_0);
    LONG firstLeft = 0;
    while (WaitForSingleObject(first.get(), 0) == WAIT_OBJECT_0) ++firstLeft;
    EXPECT_EQ(pairs + singles, kReleases);
    EXPECT_EQ(WaitForSingleObject(second.get(), 0), WAIT_TIMEOUT);
    EXPECT_EQ(pairs + firstLeft, kReleases);
}

TEST(WaitAll, MixesKindsAndReportsAbandonment)
{
    Handle mutex(CreateMutexA(nullptr, FALSE, nullptr));
    Handle semaphore(CreateSemaphoreA(nullptr, 1, 1, nullptr));
    Handle event = NewEvent(true, true);
    OnOtherThread([&] { return WaitForSingleObject(mutex.get(), 0); });  // abandoned
    const HANDLE three[] = {event.get(), semaphore.get(), mutex.get()};
    EXPECT_EQ(WaitForMultipleObjects(3, three, TRUE, 0), WAIT_ABANDONED_0 + 2);
    EXPECT_EQ(WaitForSingleObject(semaphore.get(), 0), WAIT_TIMEOUT);
    EXPECT_TRUE(IsSet(event.get()));
    EXPECT_TRUE(ReleaseMutex(mutex.get()));
}

struct FailCase {
    const char* name;
    std::function<DWORD()> wait;
    DWORD error;
};

class WaitFails : public ::testing::TestWithParam<FailCase> {};

TEST_P(WaitFails, WithError)
{
    SetLastError(0);
    EXPECT_EQ(GetParam().wait(), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), GetParam().error);
}

DWORD WaitOnClosedHandle()
{
    HANDLE event = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    CloseHandle(event);
    return WaitForSingleObject(event, 0);
}

DWORD WaitOnSameObjectTwice(bool throughTwoHandles)
{
    Handle first(CreateEventA(nullptr, TRUE, TRUE, "Twice"));
    Handle second(throughTwoHandles ? CreateEventA(nullptr, TRUE, TRUE, "Twice") : nullptr);
    const HANDLE handles[] = {first.get(), throughTwoHandles ? second.get() : first.get()};
    return WaitForMultipleObjects(2, handles, FALSE, 0);
}

DWORD WaitOnCount(DWORD count)
{
    std::vector<Handle> events;
    std::vector<HANDLE> handles;
    for (DWORD i = 0; i < 65; ++i) {
        events.push_back(NewEvent(true, true));
        handles.push_back(events.back().get());
    }
    return WaitForMultipleObjects(count, handles.data(), TRUE, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Kernel, WaitFails,
    ::testing::Values(FailCase{"NoObjects", [] { return WaitOnCount(0); }, ERROR_INVALID_PARAMETER},
                      FailCase{"MoreThan64", [] { return WaitOnCount(65); }, ERROR_INVALID_PARAMETER},
                      FailCase{"NullHandle", [] { return WaitForSingleObject(nullptr, 0); }, ERROR_INVALID_HANDLE},
                      FailCase{"ClosedHandle", WaitOnClosedHandle, ERROR_INVALID_HANDLE},
                      FailCase{"InvalidHandleValue", [] { return WaitForSingleObject(INVALID_HANDLE_VALUE, 0); },
                               ERROR_INVALID_HANDLE},
                      FailCase{"BadHandleAmongMany",
                               [] {
                                   Handle event = NewEvent(true, true);
                                   const HANDLE handles[] = {event.get(), reinterpret_cast<HANDLE>(0x7F0)};
                                   return WaitForMultipleObjects(2, handles, FALSE, 0);
                               },
                               ERROR_INVALID_HANDLE},
                      FailCase{"SameHandleTwice", [] { return WaitOnSameObjectTwice(false); }, ERROR_INVALID_PARAMETER},
                      FailCase{"SameObjectTwoHandles", [] { return WaitOnSameObjectTwice(true); },
                               ERROR_INVALID_PARAMETER}),
    kernel_test::CaseName);

TEST(WaitAll, SixtyFourObjectsAreAllowed)
{
    EXPECT_EQ(WaitOnCount(64), WAIT_OBJECT_0);
}

}  // namespace
