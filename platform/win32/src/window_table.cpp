// The process's window handles: message-only windows of threads and the
// windows libraries register with their routes, and posting to them.
#include <map>
#include <mutex>
#include <vector>

#include "immortal.h"
#include "message_queue.h"
#include "win32/kernel.h"
#include "win32/time.h"

namespace win32 {
namespace {

struct Window {
    const WindowRoute* route;  // a library's window; null for a message-only one
    DWORD thread;              // a message-only window's thread
    std::weak_ptr<MessageQueue> queue;
};

struct WindowTable {
    std::mutex lock;
    std::map<std::uintptr_t, Window> windows;
    std::vector<const WindowRoute*> broadcastRoutes;
    std::uintptr_t next = 0x10010;  // multiples of 4, as Windows' handles
};

WindowTable& TheTable()
{
    static Immortal<WindowTable> table;
    return *table;
}

std::uintptr_t Key(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

HWND Add(Window window)
{
    WindowTable& table = TheTable();
    std::lock_guard guard(table.lock);
    const std::uintptr_t value = table.next;
    table.next += 4;
    table.windows.emplace(value, std::move(window));
    return reinterpret_cast<HWND>(value);
}

}  // namespace

HWND RegisterWindow(const WindowRoute& route) { return Add({&route, 0, {}}); }

void UnregisterWindow(HWND window)
{
    WindowTable& table = TheTable();
    std::lock_guard guard(table.lock);
    table.windows.erase(Key(window));
}

void RegisterBroadcastRoute(const WindowRoute& route)
{
    WindowTable& table = TheTable();
    std::lock_guard guard(table.lock);
    table.broadcastRoutes.push_back(&route);
}

void UnregisterBroadcastRoute(const WindowRoute& route)
{
    WindowTable& table = TheTable();
    std::lock_guard guard(table.lock);
    std::erase(table.broadcastRoutes, &route);
}

void DestroyWindowsOfThread(DWORD threadId)
{
    WindowTable& table = TheTable();
    std::lock_guard guard(table.lock);
    std::erase_if(table.windows, [threadId](const auto& entry) {
        return entry.second.route == nullptr && entry.second.thread == threadId;
    });
}

}  // namespace win32

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    using namespace win32;
    WindowTable& table = TheTable();
    std::unique_lock guard(table.lock);
    if (window == HWND_BROADCAST) {
        // Each library once, however many windows it has.
        const std::vector<const WindowRoute*> routes = table.broadcastRoutes;
        guard.unlock();
        for (const WindowRoute* route : routes) route->broadcast(message, wParam, lParam);
        return TRUE;
    }
    const auto found = table.windows.find(Key(window));
    if (found == table.windows.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (const WindowRoute* route = found->second.route) {
        // Outside the table's lock: the library may post from inside its own
        // locks, and looks the window up again when it delivers.
        guard.unlock();
        route->post(window, message, wParam, lParam);
        return TRUE;
    }
    // Under the table's lock, so that a message never outlives its window's destruction.
    const auto queue = found->second.queue.lock();
    if (!queue) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    queue->Post({window, message, wParam, lParam, GetTickCount(), {}});
    return TRUE;
}

HWND CreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND parent, HMENU, HINSTANCE, LPVOID)
{
    if (parent != HWND_MESSAGE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return win32::Add({nullptr, GetCurrentThreadId(), win32::CurrentQueue()});
}

BOOL DestroyWindow(HWND window)
{
    using namespace win32;
    std::shared_ptr<MessageQueue> queue;
    {
        WindowTable& table = TheTable();
        std::lock_guard guard(table.lock);
        const auto found = table.windows.find(Key(window));
        if (found == table.windows.end()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (found->second.route != nullptr || found->second.thread != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        queue = found->second.queue.lock();
        table.windows.erase(found);
    }
    // No post reaches the window now; what was queued for it goes with it.
    if (queue) queue->DropWindow(window);
    return TRUE;
}

BOOL IsWindow(HWND window)
{
    using namespace win32;
    WindowTable& table = TheTable();
    std::lock_guard guard(table.lock);
    return table.windows.count(Key(window)) != 0 ? TRUE : FALSE;
}
