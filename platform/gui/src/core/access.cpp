// The window handle table, the picture generation and the mouse message's
// key flags.
#include "core/access.h"

#include <win32/desktop.h>
#include <win32/message_queues.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace gui::detail {

namespace {

// The library's windows by handle; the handles come from the Win32 layer's
// table, which every copy of this library in the process shares.
struct HandleTable {
    std::mutex lock;
    std::unordered_map<std::uintptr_t, TWinControl*> controls;
};

HandleTable& Table()
{
    static HandleTable table;
    return table;
}

std::uintptr_t Key(HWND h) { return reinterpret_cast<std::uintptr_t>(h); }

}  // namespace

HWND AllocateHandle(TWinControl* control)
{
    HandleTable& t = Table();
    std::lock_guard guard(t.lock);
    const HWND handle = win32::RegisterWindow(PostedMessageRoute());
    t.controls.emplace(Key(handle), control);
    return handle;
}

void ReleaseHandle(HWND handle)
{
    HandleTable& t = Table();
    std::lock_guard guard(t.lock);
    win32::UnregisterWindow(handle);
    t.controls.erase(Key(handle));
}

TWinControl* FindControl(HWND handle)
{
    HandleTable& t = Table();
    std::lock_guard guard(t.lock);
    const auto it = t.controls.find(Key(handle));
    return it == t.controls.end() ? nullptr : it->second;
}

bool HandleAlive(HWND handle)
{
    return FindControl(handle) != nullptr;
}

namespace {
std::atomic<std::uint64_t> pictureGeneration{0};
}  // namespace

std::uint64_t PictureGeneration()
{
    return pictureGeneration.load(std::memory_order_relaxed);
}

void PictureChanged()
{
    pictureGeneration.fetch_add(1, std::memory_order_relaxed);
}

TShiftState ShiftFromKeys(WPARAM keys)
{
    TShiftState s;
    if (keys & MK_SHIFT) s << ssShift;
    if (keys & MK_CONTROL) s << ssCtrl;
    if (keys & MK_LBUTTON) s << ssLeft;
    if (keys & MK_RBUTTON) s << ssRight;
    if (keys & MK_MBUTTON) s << ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s << ssAlt;
    return s;
}

WPARAM KeysFromShift(TShiftState s)
{
    WPARAM k = 0;
    if (s.Contains(ssShift)) k |= MK_SHIFT;
    if (s.Contains(ssCtrl)) k |= MK_CONTROL;
    if (s.Contains(ssLeft)) k |= MK_LBUTTON;
    if (s.Contains(ssRight)) k |= MK_RBUTTON;
    if (s.Contains(ssMiddle)) k |= MK_MBUTTON;
    return k;
}

}  // namespace gui::detail
