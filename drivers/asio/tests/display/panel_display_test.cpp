// The control panel on a display, through the driver: with a test's
// scripted desktop nothing of the display is touched and the driver still
// unloads; with no desktop installed the driver shows the panel in a real
// window, which a user at the X server answers, and keeps itself loaded.
// Needs a display (run under Xvfb); skipped without one.
#include <cstdlib>
#include <functional>
#include <thread>

#include "../asio_driver_fixture.h"
#include "x_user.h"

namespace {

using namespace std::chrono_literals;

constexpr char kCaption[] = "ASIO Zavo WDM";

bool OnADisplay()
{
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0' && XUser().Connected();
}

// The scripted user still gets the dialog, and the driver still goes.
class PanelWithAScriptedDesktop : public AsioDriverTest {};

TEST_F(PanelWithAScriptedDesktop, RunsTheScriptAndTheDriverUnloads)
{
    if (!OnADisplay()) GTEST_SKIP() << "no display";
    Start();
    desktop_->QueueDialogScript([](win32::ModalDialog& dialog) {
        dialog.Click(1004);
        dialog.PressEnter();
    });
    ASSERT_EQ(host_.ControlPanel(), ASE_OK);
    ASSERT_EQ(desktop_->Dialogs().size(), 1u);
    EXPECT_TRUE(desktop_->Dialogs()[0].scripted);
    EXPECT_EQ(StoredSetting("Buffer size"), 1024u);
    // ~AsioDriverTest: the library is unloaded.
}

// No desktop of a test: the driver presents its panel itself.
class PanelOnTheDisplay : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!OnADisplay()) GTEST_SKIP() << "no display";
        ASSERT_FALSE(win32::DesktopInstalled());
        const hosts::ServerCallResult result = hosts::CallServerRegistration(kDriverPath, hosts::ServerCall::Register);
        ASSERT_TRUE(result.Succeeded());
        WriteDword(HKEY_LOCAL_MACHINE, kSettingsKey, "Buffer size", 256);
    }

    // The host on a thread of its own: it loads the driver, opens the panel
    // there, and releases the driver; meanwhile `user` answers the panel.
    void Run(const std::function<void(XUser&)>& user)
    {
        std::thread host([this] {
            hosts::AsioHost asio;
            if (asio.Load(kDriverName) != S_OK || !asio.Init()) return;
            panel_ = asio.ControlPanel();
            unloaded_ = asio.Unload();
        });
        XUser person;
        found_ = person.FindWindow(kCaption, 20s);
        if (!found_) {
            // Nobody can answer the panel, and the host would wait for ever.
            ADD_FAILURE() << "no window \"" << kCaption << "\" came";
            std::_Exit(1);
        }
        user(person);
        host.join();
    }

    machine_testing::TestMachine machine_;
    bool found_ = false;
    std::optional<ASIOError> panel_;
    bool unloaded_ = true;
};

TEST_F(PanelOnTheDisplay, EscapeCancelsAndTheDriverStaysPinned)
{
    Run([](XUser& user) {
        EXPECT_GT(user.Width(), 262) << "the panel's 262 dialog units, in pixels";
        user.Press("Escape");
    });
    ASSERT_TRUE(found_) << "the panel's window";
    EXPECT_EQ(panel_, ASE_OK);
    EXPECT_EQ(StoredSetting("Buffer size"), 256u) << "nothing written";
    EXPECT_EQ(StoredSetting("DirectMonitoring"), std::nullopt);
    // Released and freed by the host, the library stays: it pinned itself
    // when it presented.
    EXPECT_FALSE(unloaded_);
    EXPECT_NE(GetModuleHandleA("ASIOZavoWDM.dll"), nullptr);
}

TEST_F(PanelOnTheDisplay, AClickOn512SamplesAndEnterStoreIt)
{
    Run([](XUser& user) {
        // "512 samples" lies at 20, 62 and is 55 x 10 of the 262 x 156 units.
        user.Click(47 * user.Width() / 262, 67 * user.Height() / 156);
        user.Press("Return");
    });
    ASSERT_TRUE(found_) << "the panel's window";
    EXPECT_EQ(panel_, ASE_OK);
    EXPECT_EQ(StoredSetting("Buffer size"), 512u);
    EXPECT_EQ(StoredSetting("DirectMonitoring"), 1u) << "the options as the panel showed them";
    EXPECT_FALSE(unloaded_);
}

}  // namespace
