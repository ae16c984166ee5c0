// One thread's message queue, and the queues of the process by thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

#include "win32/message_queues.h"

namespace win32 {

class MessageQueue {
public:
    void Post(const MSG& message);
    void PostQuit(int exitCode);
    // The first message that matches (see PeekMessageA), else WM_QUIT when
    // it is flagged; with `wait` it blocks until there is one.
    std::optional<MSG> Take(HWND window, UINT first, UINT last, bool remove, bool wait);
    // Drops what is queued for a window that is going away.
    void DropWindow(HWND window);

private:
    std::mutex lock_;
    std::condition_variable posted_;
    std::deque<MSG> messages_;
    std::optional<int> quit_;
};

// The queue of thread `threadId`; null when it has none.
std::shared_ptr<MessageQueue> QueueOfThread(DWORD threadId);
// The calling thread's queue, made at its first call.
std::shared_ptr<MessageQueue> CurrentQueue();

// The window table's part in a thread's end: its message-only windows go.
void DestroyWindowsOfThread(DWORD threadId);

}  // namespace win32
