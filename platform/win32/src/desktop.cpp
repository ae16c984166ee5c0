// The desktop calls and the console default desktop. Every call takes its
// own reference to the desktop in force, so a desktop replaced meanwhile
// lives until the call that uses it returns.
#include "win32/desktop.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

#include "win32/dialogs.h"
#include "win32/errors.h"

namespace win32 {

void KeyTable::SetDown(int virtualKey, bool down) noexcept
{
    if (virtualKey < 0 || virtualKey >= 256) return;
    auto& key = keys_[static_cast<std::size_t>(virtualKey)];
    unsigned char bits = key.load();
    unsigned char next = 0;
    do {
        next = down ? static_cast<unsigned char>(bits | kDown) : static_cast<unsigned char>(bits & ~kDown);
        if (down && (bits & kDown) == 0) next ^= kToggled;  // each press flips the toggle
    } while (!key.compare_exchange_weak(bits, next));
}

void KeyTable::SetToggled(int virtualKey, bool toggled) noexcept
{
    if (virtualKey < 0 || virtualKey >= 256) return;
    auto& key = keys_[static_cast<std::size_t>(virtualKey)];
    if (toggled)
        key.fetch_or(kToggled);
    else
        key.fetch_and(static_cast<unsigned char>(~kToggled));
}

std::optional<std::string> Desktop::ChooseFile(const FileDialogRequest&)
{
    return std::nullopt;
}

void Desktop::RunDialog(ModalDialog& dialog)
{
    const std::string_view caption = dialog.Template().caption;
    std::fprintf(stderr, "[%.*s] dialog closed as with Escape: there is no display to show it on\n",
                 static_cast<int>(caption.size()), caption.data());
    dialog.PressEscape();
}

int DefaultButton(UINT type) noexcept
{
    const UINT defaultIndex = (type & MB_DEFMASK) >> 8;  // 0 first, 1 second, 2 third
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return defaultIndex == 1 ? IDCANCEL : IDOK;
    case MB_YESNO:
        return defaultIndex == 1 ? IDNO : IDYES;
    case MB_YESNOCANCEL:
        return defaultIndex == 1 ? IDNO : (defaultIndex == 2 ? IDCANCEL : IDYES);
    default:
        return IDOK;
    }
}

namespace {

// Without a display or a test's desktop: boxes and restart requests go to
// stderr, so a failure a program reports is never lost.
class ConsoleDesktop final : public Desktop {
public:
    int MessageBox(HWND, std::string_view text, std::string_view caption, UINT type) override
    {
        std::fprintf(stderr, "[%.*s] %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        return DefaultButton(type);
    }
    BOOL ExitWindows(UINT flags, DWORD reason) override
    {
        std::fprintf(stderr, "ExitWindowsEx(0x%x, 0x%x) refused: the simulated machine cannot restart\n", flags,
                     reason);
        return FALSE;
    }
    bool KeyDown(int virtualKey) const override { return keys_.Down(virtualKey); }
    bool KeyToggled(int virtualKey) const override { return keys_.Toggled(virtualKey); }
    void SetKeyDown(int virtualKey, bool down) override { keys_.SetDown(virtualKey, down); }
    RECT ScreenRect() const override { return {0, 0, 1920, 1080}; }
    RECT WorkArea() const override { return {0, 0, 1920, 1040}; }

private:
    KeyTable keys_;
};

struct DesktopSlot {
    std::mutex lock;
    std::shared_ptr<Desktop> installed;
    const std::shared_ptr<Desktop> fallback = std::make_shared<ConsoleDesktop>();
};

DesktopSlot& Slot()
{
    static DesktopSlot slot;
    return slot;
}

std::shared_ptr<Desktop> Acquire()
{
    DesktopSlot& slot = Slot();
    std::lock_guard guard(slot.lock);
    return slot.installed ? slot.installed : slot.fallback;
}

}  // namespace

Desktop& CurrentDesktop() { return *Acquire(); }

std::optional<std::string> ChooseFile(const FileDialogRequest& request) { return Acquire()->ChooseFile(request); }

void RunDialog(ModalDialog& dialog) { Acquire()->RunDialog(dialog); }

std::shared_ptr<Desktop> InstallDesktop(std::shared_ptr<Desktop> desktop)
{
    DesktopSlot& slot = Slot();
    std::lock_guard guard(slot.lock);
    slot.installed.swap(desktop);
    return desktop;
}

bool DesktopInstalled()
{
    DesktopSlot& slot = Slot();
    std::lock_guard guard(slot.lock);
    return slot.installed != nullptr;
}

}  // namespace win32

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    return win32::Acquire()->MessageBox(owner, text != nullptr ? text : "", caption != nullptr ? caption : "", type);
}

BOOL ExitWindowsEx(UINT flags, DWORD reason)
{
    if (win32::Acquire()->ExitWindows(flags, reason) != FALSE) return TRUE;
    SetLastError(ERROR_PRIVILEGE_NOT_HELD);
    return FALSE;
}

SHORT GetKeyState(int virtualKey)
{
    const auto desktop = win32::Acquire();
    unsigned state = desktop->KeyDown(virtualKey) ? 0x8000u : 0u;
    if (desktop->KeyToggled(virtualKey)) state |= 1u;
    return static_cast<SHORT>(state);
}

SHORT GetAsyncKeyState(int virtualKey)
{
    return static_cast<SHORT>(win32::Acquire()->KeyDown(virtualKey) ? 0x8000u : 0u);
}

int GetSystemMetrics(int index)
{
    if (index != SM_CXSCREEN && index != SM_CYSCREEN) return 0;
    const RECT screen = win32::Acquire()->ScreenRect();
    return index == SM_CXSCREEN ? screen.right - screen.left : screen.bottom - screen.top;
}

BOOL SystemParametersInfoA(UINT action, UINT /*param*/, LPVOID data, UINT /*winIni*/)
{
    if (action != SPI_GETWORKAREA || data == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const RECT area = win32::Acquire()->WorkArea();
    std::memcpy(data, &area, sizeof area);
    return TRUE;
}

namespace {

constexpr UINT kFirstRegisteredMessage = 0xC000;
constexpr UINT kLastRegisteredMessage = 0xFFFF;

}  // namespace

UINT RegisterWindowMessageA(LPCSTR name)
{
    if (name == nullptr || *name == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    static std::mutex lock;
    static std::unordered_map<std::string, UINT> numbers;
    std::string key(name);
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    std::lock_guard guard(lock);
    if (const auto found = numbers.find(key); found != numbers.end()) return found->second;
    const UINT number = kFirstRegisteredMessage + static_cast<UINT>(numbers.size());
    if (number > kLastRegisteredMessage) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    numbers.emplace(std::move(key), number);
    return number;
}
