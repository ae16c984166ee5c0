// Other threads post messages to a window; the GUI thread's loop delivers
// every one of them, in order.
#include "probe.h"

#include <thread>

using gui_testing::GuiTest;

TEST_F(GuiTest, MessagesPostedFromAnotherThreadAllArriveInOrder)
{
    TForm* form = NewForm();
    std::vector<int> got;
    const UINT message = WM_USER + 7;
    Application->OnMessage = [&](TMessage& m, HWND, bool& handled) {
        if (m.Msg != message) return;
        got.push_back(static_cast<int>(m.WParam));
        handled = true;
    };
    form->Show();
    const HWND window = form->Handle();
    constexpr int kCount = 200;
    std::thread poster([window] {
        for (int i = 0; i < kCount; ++i) PostMessageA(window, message, static_cast<WPARAM>(i), 0);
    });
    // A timer keeps the loop waiting for the poster (virtual time headless).
    TTimer idle(nullptr);
    idle.SetInterval(1);
    idle.OnTimer = [](TObject*) { std::this_thread::yield(); };
    while (got.size() < static_cast<std::size_t>(kCount)) Application->HandleMessage();
    poster.join();
    Application->OnMessage = nullptr;
    ASSERT_EQ(got.size(), static_cast<std::size_t>(kCount));
    for (int i = 0; i < kCount; ++i) EXPECT_EQ(got[static_cast<std::size_t>(i)], i);
}
