// One open of a wave device by the wave client: what the client handed the
// driver (handle, user word, callback) and what came back (the instance word,
// the notifications).
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <mmsystem.h>

namespace hosts {

enum class WaveDirection : DWORD { Out = 0, In = 1 };

// How the driver is to notify the stream.
enum class WaveCallback {
    None,      // CALLBACK_NULL: nothing is delivered
    Function,  // CALLBACK_FUNCTION: recorded as a WaveNotification
    Event,     // CALLBACK_EVENT: an auto-reset event of the stream's, set per notification
    Window,    // CALLBACK_WINDOW: a message-only window on a client thread that reads it
    Thread,    // CALLBACK_THREAD: a client thread that reads its own queue
};

// What a function callback received, and on which thread. A message of the
// window and thread kinds carries no user word (0 here): the device handle
// is its wParam and param1 its lParam, and `thread` is the client thread
// that read it.
struct WaveNotification {
    HDRVR handle;
    UINT message;
    DWORD_PTR user;
    DWORD_PTR param1;
    DWORD_PTR param2;
    DWORD thread;
    // WOM_DONE and WIM_DATA: the header's flags and bytes recorded as they were at delivery.
    DWORD headerFlags = 0;
    DWORD bytesRecorded = 0;
};

class WaveStream {
public:
    // The instance word before the driver writes it.
    static constexpr DWORD_PTR kUnset = ~DWORD_PTR{0};

    WaveStream(WaveDirection direction, UINT device, WaveCallback callback, HWAVE handle);
    ~WaveStream();
    WaveStream(const WaveStream&) = delete;
    WaveStream& operator=(const WaveStream&) = delete;

    WaveDirection Direction() const { return direction_; }
    UINT Device() const { return device_; }
    // The wave handle and the user word of the open description.
    HWAVE Handle() const { return handle_; }
    DWORD_PTR User() const { return reinterpret_cast<DWORD_PTR>(this); }
    // The driver's answer to the open, and the instance word it wrote (kUnset when it wrote none).
    MMRESULT OpenResult() const { return openResult_; }
    DWORD_PTR Instance() const { return instance_; }
    // The event an event callback sets; null for the other kinds.
    HANDLE Event() const { return event_; }
    // The window a window callback posts to, and the client thread that
    // reads the window or thread kind's messages; null and 0 for the others.
    HWND Window() const { return window_; }
    DWORD ListenerThread() const { return listenerId_; }
    // Destroys the window of a window callback on its own thread; what is
    // posted to it afterwards is refused.
    void DestroyWindow();

    // The function callback's notifications so far, in arrival order.
    std::vector<WaveNotification> Notifications() const;
    std::size_t Count(UINT message) const;
    // Waits until `count` notifications of `message` have arrived; false when
    // `timeoutMs` passed first.
    bool WaitFor(UINT message, std::size_t count, DWORD timeoutMs) const;

    // Called by the function callback after each notification is recorded, on
    // the driver's thread and under its locks: it may queue the stream's next
    // header, as a client's callback may, and nothing else. Set it before the
    // stream's traffic it is to see.
    void OnNotification(std::function<void(const WaveNotification&)> action);

private:
    friend class WaveClient;

    // The callback and its kind in the open flags, as the open description carries them.
    DWORD_PTR CallbackWord() const;
    DWORD CallbackFlags() const;
    static void FunctionCallback(HDRVR handle, UINT message, DWORD_PTR user, DWORD_PTR param1, DWORD_PTR param2);
    std::size_t CountLocked(UINT message) const;
    // Records a notification, runs the action and wakes the waiters.
    void Record(WaveNotification notification);
    // The client thread of the window and thread kinds.
    void Listen();

    const WaveDirection direction_;
    const UINT device_;
    const WaveCallback callback_;
    const HWAVE handle_;
    HANDLE event_ = nullptr;
    HWND window_ = nullptr;
    DWORD listenerId_ = 0;
    std::thread listener_;
    bool windowDestroyed_ = false;  // under lock_
    MMRESULT openResult_ = MMSYSERR_NOERROR;
    DWORD_PTR instance_ = kUnset;

    mutable std::mutex lock_;
    mutable std::condition_variable arrived_;
    std::vector<WaveNotification> notifications_;
    std::function<void(const WaveNotification&)> action_;
};

}  // namespace hosts
