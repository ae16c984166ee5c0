// Buffers the card object allocates on first use, when memory runs out.
// This binary's non-throwing operator new can be told to refuse.
#include <atomic>
#include <new>

#include "device_fixture.h"

namespace {
std::atomic<bool> g_RefuseNothrowNew{false};

class RefuseNothrowNew {
public:
    RefuseNothrowNew() { g_RefuseNothrowNew = true; }
    ~RefuseNothrowNew() { g_RefuseNothrowNew = false; }
};
}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (g_RefuseNothrowNew) return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    if (g_RefuseNothrowNew) return nullptr;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

class AllocationTest : public DeviceTest {};

TEST_F(AllocationTest, NotificationBufferThatCannotBeHad)
{
    auto card = OpenCard();
    card->OpenMixer();
    Hooks().InjectNotify(NOTIFY_BUS_OUT, 1, 0);
    Hooks().ClearLog();
    DWORD count = 99;
    NotifyEntry* entries = reinterpret_cast<NotifyEntry*>(&count);
    {
        RefuseNothrowNew refuse;
        EXPECT_EQ(card->GetNotifications(&count, &entries), DAVEROR_NO_MEMORY);
    }
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(entries, nullptr);
    EXPECT_TRUE(Log().empty());

    // Memory back: the next fetch makes the buffer and gets the entry.
    EXPECT_NE(card->GetNotifications(&count, &entries), 0);
    EXPECT_EQ(count, 1u);
    card->Close();
}

TEST_F(AllocationTest, DriverErrorTextThatCannotBeHad)
{
    auto card = NewCard();
    Hooks().ClearLog();
    RefuseNothrowNew refuse;
    EXPECT_EQ(card->GetDriverErrorText(), nullptr);
    EXPECT_TRUE(Log().empty());
}

TEST_F(AllocationTest, WaveCardThatCannotBeMade)
{
    RefuseNothrowNew refuse;
    EXPECT_EQ(CDaveror::Create(Machine().InterfacePath(0).c_str()), nullptr);
}
