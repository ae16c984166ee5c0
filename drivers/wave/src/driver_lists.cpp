// The card list and the device list, and the one build of the device list.
#include "driver_lists.h"

#include <atomic>
#include <new>

#include "auto_lock.h"
#include "card_registry.h"
#include "daveror_trace.h"

namespace {

CDaverorList* g_CardList = nullptr;
// Published once built; read without the lock by every message.
std::atomic<CDeviceList*> g_DeviceList{nullptr};
// Serialises the build, and the counts against the build's pruning of the card list.
CRITICAL_SECTION g_BuildLock;

}  // namespace

void CreateDriverLists()
{
    InitializeCriticalSection(&g_BuildLock);
    g_CardList = ReadCardList();
}

void FreeDriverLists()
{
    delete g_DeviceList.exchange(nullptr, std::memory_order_acq_rel);
    delete g_CardList;  // and with it every card
    g_CardList = nullptr;
    DeleteCriticalSection(&g_BuildLock);
}

void BuildDeviceList()
{
    if (DeviceList()) return;
    CAutoLock lock(g_BuildLock);
    if (!g_CardList || g_DeviceList.load(std::memory_order_relaxed)) return;
    g_CardList->RemoveUnusable();
    // The device list has room for six cards; the others are dropped like
    // unusable ones, so that the counts agree with it.
    g_CardList->KeepFirst(CDeviceList::kMaxCards);
    CDeviceList* list = new (std::nothrow) CDeviceList;
    if (list && !list->AddCards(*g_CardList)) {
        delete list;
        list = nullptr;
    }
    if (!list) {
        DaverorTrace("~~~~~~~~~~~~~~~~~~ Failed to build device list");
        return;
    }
    g_DeviceList.store(list, std::memory_order_release);
}

CDeviceList* DeviceList() { return g_DeviceList.load(std::memory_order_acquire); }

DWORD CountCardDevices(DWORD direction)
{
    CAutoLock lock(g_BuildLock);
    if (!g_CardList) return 0;
    DWORD count = 0;
    for (const CDaveror* card = g_CardList->GetCard(0); card; card = card->GetNext())
        count += direction == DIR_WAVE_OUT ? card->CountWaveOutDevices() : card->CountWaveInDevices();
    return count;
}
