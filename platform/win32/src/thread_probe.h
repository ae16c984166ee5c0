// How the layer feeds the wait probe of win32/thread_probe.h.
#pragma once

#include "win32/thread_probe.h"

namespace win32 {

// Under the wait lock: the record of thread `id`, made on first use. It
// lives as long as the process, so that a thread's end stays readable.
ThreadWaits& ProbeRecord(DWORD id);
// Under the wait lock, after a record changed in a way a waiter waits for.
void ProbeChanged();
void RecordCreatedThread(CreatedThread record);

}  // namespace win32
