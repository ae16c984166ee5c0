// The desktop calls through a scripted desktop, and the console default.
#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "win32_testing/scripted_desktop.h"

namespace {

TEST(DefaultButton, IsTheButtonEnterPresses)
{
    struct {
        UINT type;
        int answer;
    } cases[] = {
        {MB_OK, IDOK},
        {MB_OK | MB_DEFBUTTON2, IDOK},
        {MB_OKCANCEL, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
        {MB_YESNO | MB_ICONQUESTION, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL, IDYES},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
    };
    for (const auto& c : cases) EXPECT_EQ(win32::DefaultButton(c.type), c.answer) << std::hex << c.type;
}

TEST(ScriptedDesktop, RecordsBoxesAndAnswersFromScript)
{
    win32_testing::ScopedDesktop desktop;
    desktop->QueueAnswers({IDNO, IDCANCEL});
    HWND owner = reinterpret_cast<HWND>(std::uintptr_t{0x1234});
    EXPECT_EQ(MessageBoxA(owner, "Restart now?", "Wave configuration", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Sure?", "Korvane3", MB_OKCANCEL), IDCANCEL);
    // The script ran out: the default button.
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_YESNO | MB_DEFBUTTON2), IDNO);

    const auto boxes = desktop->Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].owner, owner);
    EXPECT_EQ(boxes[0].text, "Restart now?");
    EXPECT_EQ(boxes[0].caption, "Wave configuration");
    EXPECT_EQ(boxes[0].type, MB_YESNO);
    EXPECT_EQ(boxes[0].answer, IDNO);
    EXPECT_EQ(boxes[1].answer, IDCANCEL);
    EXPECT_EQ(boxes[2].text, "");
    EXPECT_EQ(boxes[2].answer, IDNO);
}

TEST(ScriptedDesktop, RestartIsRecordedAndRefused)
{
    win32_testing::ScopedDesktop desktop;
    SetLastError(0);
    EXPECT_EQ(ExitWindowsEx(EWX_REBOOT, 0), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_PRIVILEGE_NOT_HELD);
    const auto requests = desktop->ExitRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].flags, EWX_REBOOT);
    EXPECT_EQ(requests[0].reason, 0u);
}

TEST(ScriptedDesktop, KeyStateHasHighBitWhileHeldAndTogglesPerPress)
{
    win32_testing::ScopedDesktop desktop;
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
    desktop->SetKeyDown(VK_SHIFT, true);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);  // high bit: the SHORT is negative
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 1, 1);
    EXPECT_LT(GetAsyncKeyState(VK_SHIFT), 0);
    desktop->SetKeyDown(VK_SHIFT, true);  // a repeat is no new press
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 1, 1);
    desktop->SetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 1);  // up, still toggled
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT), 0);
    desktop->SetKeyDown(VK_SHIFT, true);
    desktop->SetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);

    desktop->SetKeyToggled(VK_CONTROL, true);
    EXPECT_EQ(GetKeyState(VK_CONTROL), 1);
    desktop->SetKeyDown(-1, true);
    desktop->SetKeyDown(256, true);
    EXPECT_EQ(GetKeyState(-1), 0);
    EXPECT_EQ(GetKeyState(256), 0);
}

TEST(ScriptedDesktop, GeometryComesFromTheDesktop)
{
    win32_testing::ScopedDesktop desktop;
    desktop->SetScreenRect({0, 0, 1600, 900});
    desktop->SetWorkArea({0, 30, 1600, 900});
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1600);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 900);
    EXPECT_EQ(GetSystemMetrics(99), 0);
    RECT area{};
    ASSERT_EQ(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0), TRUE);
    EXPECT_EQ(area.top, 30);
    EXPECT_EQ(area.right, 1600);
    EXPECT_EQ(SystemParametersInfoA(SPI_GETWORKAREA, 0, nullptr, 0), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(SystemParametersInfoA(0x1234, 0, &area, 0), FALSE);
}

TEST(ScriptedDesktop, InstallersNestAndRestore)
{
    EXPECT_FALSE(win32::DesktopInstalled()) << "the console default";
    win32_testing::ScopedDesktop outer;
    {
        win32_testing::ScopedDesktop inner;
        MessageBoxA(nullptr, "inner", "", MB_OK);
        EXPECT_EQ(&win32::CurrentDesktop(), &inner.desktop());
    }
    EXPECT_EQ(&win32::CurrentDesktop(), &outer.desktop());
    EXPECT_TRUE(win32::DesktopInstalled());
    MessageBoxA(nullptr, "outer", "", MB_OK);
    ASSERT_EQ(outer->Boxes().size(), 1u);
    EXPECT_EQ(outer->Boxes()[0].text, "outer");
}

TEST(ConsoleDesktop, PrintsBoxAndAnswersDefault)
{
    ::testing::internal::CaptureStderr();
    const int answer = MessageBoxA(nullptr, "No Zavo hardware found!", "Korvane3 Error", MB_YESNO | MB_DEFBUTTON2);
    const int restart = ExitWindowsEx(EWX_REBOOT, 0);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(restart, FALSE);
    EXPECT_NE(printed.find("Korvane3 Error"), std::string::npos);
    EXPECT_NE(printed.find("No Zavo hardware found!"), std::string::npos);
    EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
}

TEST(RegisterWindowMessage, SameNumberForSameNameIgnoringCase)
{
    const UINT shutdown = RegisterWindowMessageA("Zavo Korvane3 shutdown");
    EXPECT_GE(shutdown, 0xC000u);
    EXPECT_LE(shutdown, 0xFFFFu);
    EXPECT_EQ(RegisterWindowMessageA("ZAVO KORVANE3 SHUTDOWN"), shutdown);
    EXPECT_NE(RegisterWindowMessageA("Zavo Korvane3 startup"), shutdown);
    // The number does not belong to a desktop.
    win32_testing::ScopedDesktop desktop;
    EXPECT_EQ(RegisterWindowMessageA("zavo korvane3 shutdown"), shutdown);
    EXPECT_EQ(RegisterWindowMessageA(""), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegisterWindowMessageA(nullptr), 0u);
}

TEST(RegisterWindowMessage, ThreadsAgreeOnNumbers)
{
    constexpr int kThreads = 8;
    constexpr int kNames = 20;
    std::vector<std::vector<UINT>> numbers(kThreads, std::vector<UINT>(kNames));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int n = 0; n < kNames; ++n) {
                const std::string name = (t % 2 ? "Shared message " : "SHARED MESSAGE ") + std::to_string(n);
                numbers[t][n] = RegisterWindowMessageA(name.c_str());
            }
        });
    for (auto& thread : threads) thread.join();
    std::set<UINT> distinct(numbers[0].begin(), numbers[0].end());
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kNames));
    for (int t = 1; t < kThreads; ++t) EXPECT_EQ(numbers[t], numbers[0]);
}

TEST(CurrentDesktop, InstallingWhileOthersCallIsSafe)
{
    ::testing::internal::CaptureStderr();  // the default desktop prints between installs
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> shown{0};
    bool allOk = true;
    std::thread caller([&] {
        while (!stop.load()) {
            allOk = MessageBoxA(nullptr, "tick", "", MB_OK) == IDOK && allOk;
            ++shown;
            GetKeyState(VK_SHIFT);
        }
    });
    while (shown.load() == 0) std::this_thread::yield();
    // Each installed and put back at once; kept here, so that a box still being shown
    // on one after it went is counted too.
    std::vector<std::shared_ptr<win32_testing::ScriptedDesktop>> desktops;
    for (int i = 0; i < 200; ++i) {
        desktops.push_back(std::make_shared<win32_testing::ScriptedDesktop>());
        const std::shared_ptr<win32::Desktop> previous = win32::InstallDesktop(desktops.back());
        win32::InstallDesktop(previous);
    }
    stop = true;
    caller.join();
    const std::string printed = ::testing::internal::GetCapturedStderr();

    // Every box reached exactly one desktop and was answered with its default button.
    std::size_t reached = 0;
    for (std::size_t at = printed.find("[] tick\n"); at != std::string::npos; at = printed.find("[] tick\n", at + 1))
        ++reached;
    for (const auto& desktop : desktops) {
        for (const win32_testing::MessageBoxCall& box : desktop->Boxes()) EXPECT_EQ(box.answer, IDOK);
        reached += desktop->Boxes().size();
    }
    EXPECT_TRUE(allOk);
    EXPECT_EQ(reached, shown.load());
    EXPECT_EQ(win32::InstallDesktop(nullptr), nullptr) << "the default desktop is back in place";
}

}  // namespace
