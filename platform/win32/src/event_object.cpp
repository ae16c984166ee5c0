// Events: CreateEventA, SetEvent, ResetEvent, PulseEvent.
#include "event_object.h"

#include "named_objects.h"

namespace win32 {

bool EventObject::Acquire(ThreadObject&)
{
    if (!manualReset_) signalled_ = false;
    return false;
}

void EventObject::Set()
{
    std::lock_guard guard(WaitLock());
    signalled_ = true;
    WakeWaiters();
}

void EventObject::Reset()
{
    std::lock_guard guard(WaitLock());
    signalled_ = false;
}

void EventObject::Pulse()
{
    std::lock_guard guard(WaitLock());
    signalled_ = true;
    WakeWaiters();
    signalled_ = false;
}

}  // namespace win32

namespace {

template <class Operation>
BOOL WithEvent(HANDLE handle, Operation operation)
{
    auto event = win32::ObjectOfHandle<win32::EventObject>(handle);
    if (!event) return FALSE;
    operation(*event);
    return TRUE;
}

}  // namespace

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name)
{
    using namespace win32;
    return CreateKernelObject<EventObject>(
        name, [=] { return std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE); });
}

BOOL SetEvent(HANDLE handle)
{
    return WithEvent(handle, [](win32::EventObject& event) { event.Set(); });
}

BOOL ResetEvent(HANDLE handle)
{
    return WithEvent(handle, [](win32::EventObject& event) { event.Reset(); });
}

BOOL PulseEvent(HANDLE handle)
{
    return WithEvent(handle, [](win32::EventObject& event) { event.Pulse(); });
}
