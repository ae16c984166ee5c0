// A stream of the wave client and the notifications it receives. A callback
// records and signals, and runs the stream's action: it runs inside the
// driver, under its locks.
#include "hosts/wave_stream.h"

#include <algorithm>
#include <chrono>

namespace hosts {

WaveStream::WaveStream(WaveDirection direction, UINT device, WaveCallback callback, HWAVE handle)
    : direction_(direction), device_(device), callback_(callback), handle_(handle)
{
    if (callback_ == WaveCallback::Event) event_ = CreateEventA(NULL, FALSE, FALSE, NULL);
}

WaveStream::~WaveStream()
{
    if (event_) CloseHandle(event_);
}

DWORD_PTR WaveStream::CallbackWord() const
{
    switch (callback_) {
    case WaveCallback::Function:
        return reinterpret_cast<DWORD_PTR>(&FunctionCallback);
    case WaveCallback::Event:
        return reinterpret_cast<DWORD_PTR>(event_);
    case WaveCallback::None:
        break;
    }
    return 0;
}

DWORD WaveStream::CallbackFlags() const
{
    switch (callback_) {
    case WaveCallback::Function:
        return CALLBACK_FUNCTION;
    case WaveCallback::Event:
        return CALLBACK_EVENT;
    case WaveCallback::None:
        break;
    }
    return CALLBACK_NULL;
}

void WaveStream::FunctionCallback(HDRVR handle, UINT message, DWORD_PTR user, DWORD_PTR param1, DWORD_PTR param2)
{
    auto* stream = reinterpret_cast<WaveStream*>(user);
    WaveNotification notification{handle, message, user, param1, param2, GetCurrentThreadId()};
    if (message == WOM_DONE || message == WIM_DATA) {
        const auto* header = reinterpret_cast<const WAVEHDR*>(param1);
        notification.headerFlags = header->dwFlags;
        notification.bytesRecorded = header->dwBytesRecorded;
    }
    std::function<void(const WaveNotification&)> action;
    {
        std::lock_guard guard(stream->lock_);
        stream->notifications_.push_back(notification);
        action = stream->action_;
    }
    // The action's own writes are in before a waiter is woken for this notification.
    if (action) action(notification);
    stream->arrived_.notify_all();
}

void WaveStream::OnNotification(std::function<void(const WaveNotification&)> action)
{
    std::lock_guard guard(lock_);
    action_ = std::move(action);
}

std::vector<WaveNotification> WaveStream::Notifications() const
{
    std::lock_guard guard(lock_);
    return notifications_;
}

std::size_t WaveStream::CountLocked(UINT message) const
{
    return static_cast<std::size_t>(std::count_if(notifications_.begin(), notifications_.end(),
                                                  [message](const WaveNotification& n) { return n.message == message; }));
}

std::size_t WaveStream::Count(UINT message) const
{
    std::lock_guard guard(lock_);
    return CountLocked(message);
}

bool WaveStream::WaitFor(UINT message, std::size_t count, DWORD timeoutMs) const
{
    std::unique_lock guard(lock_);
    return arrived_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                             [&] { return CountLocked(message) >= count; });
}

}  // namespace hosts
