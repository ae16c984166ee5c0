// A stream of the wave client and the notifications it receives. A callback
// records and signals, and runs the stream's action: it runs inside the
// driver, under its locks.
#include "hosts/wave_stream.h"

#include <algorithm>
#include <chrono>

namespace hosts {

namespace {

// Asks a window callback's client thread to destroy its window: a thread
// message, which no driver sends.
constexpr UINT kDestroyWindowMessage = WM_USER + 1;

}  // namespace

WaveStream::WaveStream(WaveDirection direction, UINT device, WaveCallback callback, HWAVE handle)
    : direction_(direction), device_(device), callback_(callback), handle_(handle)
{
    if (callback_ == WaveCallback::Event) event_ = CreateEventA(NULL, FALSE, FALSE, NULL);
    if (callback_ == WaveCallback::Window || callback_ == WaveCallback::Thread) {
        listener_ = std::thread(&WaveStream::Listen, this);
        // The queue, and the window, are there before the driver is told of them.
        std::unique_lock guard(lock_);
        arrived_.wait(guard, [this] { return listenerId_ != 0; });
    }
}

WaveStream::~WaveStream()
{
    if (listener_.joinable()) {
        PostThreadMessageA(listenerId_, WM_QUIT, 0, 0);
        listener_.join();
    }
    if (event_) CloseHandle(event_);
}

void WaveStream::Listen()
{
    MSG message{};
    PeekMessageA(&message, NULL, 0, 0, PM_NOREMOVE);  // the thread's queue
    HWND window = callback_ == WaveCallback::Window
                      ? CreateWindowExA(0, "WaveClient", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL)
                      : nullptr;
    {
        std::lock_guard guard(lock_);
        window_ = window;
        listenerId_ = GetCurrentThreadId();
    }
    arrived_.notify_all();
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (message.hwnd == nullptr && message.message == kDestroyWindowMessage) {
            if (window) ::DestroyWindow(window);
            {
                std::lock_guard guard(lock_);
                windowDestroyed_ = true;
            }
            arrived_.notify_all();
            continue;
        }
        Record({reinterpret_cast<HDRVR>(message.wParam), message.message, 0,
                static_cast<DWORD_PTR>(message.lParam), 0, GetCurrentThreadId()});
    }
    std::lock_guard guard(lock_);
    if (window && !windowDestroyed_) ::DestroyWindow(window);
}

void WaveStream::DestroyWindow()
{
    if (callback_ != WaveCallback::Window) return;
    PostThreadMessageA(listenerId_, kDestroyWindowMessage, 0, 0);
    std::unique_lock guard(lock_);
    arrived_.wait(guard, [this] { return windowDestroyed_; });
}

DWORD_PTR WaveStream::CallbackWord() const
{
    switch (callback_) {
    case WaveCallback::Function:
        return reinterpret_cast<DWORD_PTR>(&FunctionCallback);
    case WaveCallback::Event:
        return reinterpret_cast<DWORD_PTR>(event_);
    case WaveCallback::Window:
        return reinterpret_cast<DWORD_PTR>(window_);
    case WaveCallback::Thread:
        return listenerId_;
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
    case WaveCallback::Window:
        return CALLBACK_WINDOW;
    case WaveCallback::Thread:
        return CALLBACK_THREAD;
    case WaveCallback::None:
        break;
    }
    return CALLBACK_NULL;
}

void WaveStream::FunctionCallback(HDRVR handle, UINT message, DWORD_PTR user, DWORD_PTR param1, DWORD_PTR param2)
{
    reinterpret_cast<WaveStream*>(user)->Record({handle, message, user, param1, param2, GetCurrentThreadId()});
}

void WaveStream::Record(WaveNotification notification)
{
    if (notification.message == WOM_DONE || notification.message == WIM_DATA) {
        const auto* header = reinterpret_cast<const WAVEHDR*>(notification.param1);
        notification.headerFlags = header->dwFlags;
        notification.bytesRecorded = header->dwBytesRecorded;
    }
    std::function<void(const WaveNotification&)> action;
    {
        std::lock_guard guard(lock_);
        notifications_.push_back(notification);
        action = action_;
    }
    // The action's own writes are in before a waiter is woken for this notification.
    if (action) action(notification);
    arrived_.notify_all();
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
