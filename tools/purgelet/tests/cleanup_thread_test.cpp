// The cleanup in this process, with a listener for its progress texts.
#include <gtest/gtest.h>

#include <juce_events/juce_events.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cleanup_machine.h"
#include "cleanup_thread.h"
#include "hardware_id_table.h"
#include "progress_message.h"

namespace purgelet_tests {
namespace {

class ProgressListener : public juce::MessageListener {
public:
    void handleMessage(const juce::Message& message) override
    {
        const auto* progress = dynamic_cast<const ProgressMessage*>(&message);
        received.emplace_back(progress ? progress->intParameter1 : 0,
                              progress ? progress->text.toStdString() : "(another kind of message)");
    }
    std::vector<std::pair<int, std::string>> received;
};

class CleanupThreadTest : public CleanupMachine {
protected:
    CleanupThreadTest() { hardwareIdTable = std::make_unique<HardwareIdTable>(HardwareIdTable::forFamily("zavo24")); }
    ~CleanupThreadTest() override { hardwareIdTable = nullptr; }

    // What the message loop delivers of the messages posted so far.
    void DeliverPosted() { juce::MessageManager::getInstance()->runDispatchLoopUntil(100); }

    juce::ScopedJuceInitialiser_GUI juce_;
    ProgressListener listener_;
};

TEST_F(CleanupThreadTest, TellsItsListenerOfEveryNamedNodeBeforeRemovingIt)
{
    const std::string regie = "PCI\\VEN_1057&DEV_1801&SUBSYS_0010A5C3&REV_01\\4&3d1f0a7&0&0028";
    machine_.AddDeviceNode(regie, {"PCI\\VEN_1057&DEV_1801&SUBSYS_0010A5C3&REV_01"}, "Zavo24 Régie");
    {
        CleanupThread cleanup(nullptr, &listener_);
        EXPECT_FALSE(cleanup.isFinished());
        cleanup.run();
        EXPECT_TRUE(cleanup.isFinished());
    }
    DeliverPosted();
    // In the registry's order; k has no name and is removed untold.
    const std::vector<std::pair<int, std::string>> expected = {
        {0x736D7367, "Removing Zavo24 Régie\n"},   {0x736D7367, "Removing Zavo24 4x4\n"},
        {0x736D7367, "Removing Zavo24 8x8 Classic\n"}, {0x736D7367, "Removing Zavo24 4x2\n"},
        {0x736D7367, "Removing Zavo24 8x8 Spare\n"}, {0x736D7367, "Removing Zavo24 Kaltor\n"},
    };
    EXPECT_EQ(listener_.received, expected);
    EXPECT_EQ(RemovedNodes(), "acdfgk");
    EXPECT_FALSE(NodeExists(regie));
}

TEST_F(CleanupThreadTest, AskedToExitItLooksAtNoNodeAndStillFinishes)
{
    CleanupThread cleanup(nullptr, &listener_);
    cleanup.signalThreadShouldExit();
    cleanup.run();
    EXPECT_TRUE(cleanup.isFinished());
    DeliverPosted();
    EXPECT_TRUE(listener_.received.empty());
    EXPECT_EQ(RemovedNodes(), "");
}

}  // namespace
}  // namespace purgelet_tests
