// The GUI library's windows and a thread's message-only window share the
// Win32 layer's table of windows: each gets only its own posted messages,
// and a broadcast reaches the forms only.
#include "probe.h"

#include <algorithm>
#include <atomic>
#include <thread>

using gui_testing::GuiTest;

TEST_F(GuiTest, AFormAndAMessageOnlyWindowEachGetOnlyTheirOwnMessages)
{
    TForm* form = NewForm();
    form->Show();
    const HWND formWindow = form->Handle();
    const UINT toForm = WM_USER + 8, toWindow = WM_USER + 9, toAll = WM_USER + 10, done = WM_USER + 11;
    std::vector<UINT> formGot;
    Application->OnMessage = [&](TMessage& m, HWND w, bool& handled) {
        if (m.Msg < toForm || m.Msg > toAll) return;
        EXPECT_EQ(w, formWindow);
        formGot.push_back(m.Msg);
        handled = true;
    };

    // A client thread with a message-only window, reading its queue.
    std::atomic<HWND> window{nullptr};
    std::vector<UINT> windowGot;
    std::thread client([&] {
        HWND own = CreateWindowExA(0, "client", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
        window = own;
        EXPECT_TRUE(PostMessageA(formWindow, toForm, 0, 0)) << "to the form from another thread";
        MSG msg{};
        while (GetMessageA(&msg, NULL, 0, 0) > 0 && msg.message != done) {
            EXPECT_EQ(msg.hwnd, own);
            windowGot.push_back(msg.message);
        }
        DestroyWindow(own);
    });
    while (window == nullptr) std::this_thread::yield();
    EXPECT_TRUE(PostMessageA(window, toWindow, 0, 0));
    EXPECT_TRUE(PostMessageA(HWND_BROADCAST, toAll, 0, 0));

    TTimer idle(nullptr);  // keeps the loop waiting for the client thread
    idle.SetInterval(1);
    idle.OnTimer = [](TObject*) { std::this_thread::yield(); };
    for (const DWORD end = GetTickCount() + 10000; formGot.size() < 2 && GetTickCount() < end;)
        Application->HandleMessage();
    EXPECT_TRUE(PostMessageA(window, done, 0, 0));
    client.join();
    Application->OnMessage = nullptr;

    std::sort(formGot.begin(), formGot.end());  // the two came from two threads
    EXPECT_EQ(formGot, (std::vector<UINT>{toForm, toAll}));
    EXPECT_EQ(windowGot, std::vector<UINT>{toWindow});
    MSG msg{};
    EXPECT_EQ(PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE), FALSE) << "the GUI thread's queue holds no form message";
    EXPECT_FALSE(IsWindow(window.load()));
    EXPECT_TRUE(IsWindow(formWindow));
}
