// The wait probe's records. They change under the wait lock, where the
// waits themselves change, so that a probe reads them at one moment.
#include "thread_probe.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <unordered_map>

#include "immortal.h"
#include "wait_model.h"

namespace win32 {
namespace {

struct Probe {
    std::unordered_map<DWORD, ThreadWaits> threads;  // nodes never move
    std::condition_variable changed;
    std::mutex createdLock;
    std::vector<CreatedThread> created;
};

Probe& TheProbe()
{
    static Immortal<Probe> probe;
    return *probe;
}

// Waits under the wait lock until `done` holds for the thread's record.
template <typename Done>
bool WaitForRecord(DWORD threadId, DWORD timeoutMs, Done done)
{
    Probe& probe = TheProbe();
    std::unique_lock lock(WaitLock());
    return probe.changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        const auto found = probe.threads.find(threadId);
        return found != probe.threads.end() && done(found->second);
    });
}

}  // namespace

ThreadWaits& ProbeRecord(DWORD id) { return TheProbe().threads[id]; }

void ProbeChanged() { TheProbe().changed.notify_all(); }

void RecordCreatedThread(CreatedThread record)
{
    Probe& probe = TheProbe();
    std::lock_guard guard(probe.createdLock);
    probe.created.push_back(record);
}

bool ProbeThread(DWORD threadId, ThreadWaits* waits)
{
    Probe& probe = TheProbe();
    std::lock_guard lock(WaitLock());
    const auto found = probe.threads.find(threadId);
    if (found == probe.threads.end()) return false;
    if (waits) *waits = found->second;
    return true;
}

std::vector<CreatedThread> CreatedThreads()
{
    Probe& probe = TheProbe();
    std::lock_guard guard(probe.createdLock);
    return probe.created;
}

bool WaitUntilBlocked(DWORD threadId, DWORD waitsBefore, DWORD timeoutMs)
{
    return WaitForRecord(threadId, timeoutMs,
                         [&](const ThreadWaits& waits) { return waits.waitsEntered > waitsBefore && waits.blocked; });
}

bool WaitUntilReturned(DWORD threadId, DWORD timeoutMs)
{
    return WaitForRecord(threadId, timeoutMs, [](const ThreadWaits& waits) { return waits.startReturned; });
}

}  // namespace win32
