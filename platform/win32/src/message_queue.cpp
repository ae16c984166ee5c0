// Thread message queues: posting, peeking, waiting, and a queue's end with
// its thread.
#include "message_queue.h"

#include <algorithm>
#include <unordered_map>

#include "immortal.h"
#include "win32/kernel.h"
#include "win32/time.h"

namespace win32 {
namespace {

// Thread messages only, as a PeekMessageA filter.
const HWND kThreadMessages = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));

bool Matches(const MSG& message, HWND window, UINT first, UINT last)
{
    if (window == kThreadMessages ? message.hwnd != nullptr : window != nullptr && message.hwnd != window)
        return false;
    return (first == 0 && last == 0) || (message.message >= first && message.message <= last);
}

struct Queues {
    std::mutex lock;
    std::unordered_map<DWORD, std::shared_ptr<MessageQueue>> byThread;
};

Queues& TheQueues()
{
    static Immortal<Queues> queues;
    return *queues;
}

// The calling thread's queue; its end takes the queue and the thread's windows with it.
struct OwnQueue {
    std::shared_ptr<MessageQueue> queue;
    DWORD threadId = 0;
    ~OwnQueue()
    {
        if (!queue) return;
        DestroyWindowsOfThread(threadId);
        Queues& queues = TheQueues();
        std::lock_guard guard(queues.lock);
        queues.byThread.erase(threadId);
    }
};

thread_local OwnQueue t_Own;

}  // namespace

void MessageQueue::Post(const MSG& message)
{
    {
        std::lock_guard guard(lock_);
        messages_.push_back(message);
    }
    posted_.notify_all();
}

void MessageQueue::PostQuit(int exitCode)
{
    {
        std::lock_guard guard(lock_);
        quit_ = exitCode;
    }
    posted_.notify_all();
}

std::optional<MSG> MessageQueue::Take(HWND window, UINT first, UINT last, bool remove, bool wait)
{
    std::unique_lock guard(lock_);
    for (;;) {
        const auto found = std::find_if(messages_.begin(), messages_.end(),
                                        [&](const MSG& m) { return Matches(m, window, first, last); });
        if (found != messages_.end()) {
            const MSG message = *found;
            if (remove) messages_.erase(found);
            return message;
        }
        if (quit_) {
            const MSG message{nullptr, WM_QUIT, static_cast<WPARAM>(*quit_), 0, GetTickCount(), {}};
            if (remove) quit_.reset();
            return message;
        }
        if (!wait) return std::nullopt;
        posted_.wait(guard);
    }
}

void MessageQueue::DropWindow(HWND window)
{
    std::lock_guard guard(lock_);
    std::erase_if(messages_, [window](const MSG& m) { return m.hwnd == window; });
}

std::shared_ptr<MessageQueue> QueueOfThread(DWORD threadId)
{
    Queues& queues = TheQueues();
    std::lock_guard guard(queues.lock);
    const auto found = queues.byThread.find(threadId);
    return found == queues.byThread.end() ? nullptr : found->second;
}

std::shared_ptr<MessageQueue> CurrentQueue()
{
    if (!t_Own.queue) {
        t_Own.threadId = GetCurrentThreadId();
        t_Own.queue = std::make_shared<MessageQueue>();
        Queues& queues = TheQueues();
        std::lock_guard guard(queues.lock);
        queues.byThread[t_Own.threadId] = t_Own.queue;
    }
    return t_Own.queue;
}

}  // namespace win32

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto queue = win32::QueueOfThread(threadId);
    if (!queue) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    queue->Post({nullptr, message, wParam, lParam, GetTickCount(), {}});
    return TRUE;
}

BOOL PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove)
{
    const auto message = win32::CurrentQueue()->Take(window, first, last, (remove & PM_REMOVE) != 0, false);
    if (!message) return FALSE;
    if (msg) *msg = *message;
    return TRUE;
}

BOOL GetMessageA(LPMSG msg, HWND window, UINT first, UINT last)
{
    const auto queue = win32::CurrentQueue();
    if (window != nullptr && window != reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)) && !IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    const MSG message = *queue->Take(window, first, last, true, true);
    if (msg) *msg = message;
    return message.message == WM_QUIT ? 0 : TRUE;
}

void PostQuitMessage(int exitCode) { win32::CurrentQueue()->PostQuit(exitCode); }
