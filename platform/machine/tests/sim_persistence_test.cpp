// A card's settings outlive the process: saved in the registry when the
// last file closes and after a restart, loaded at the next process's first
// open.
#include <sys/wait.h>
#include <unistd.h>

#include "sim_card_fixture.h"

namespace sim_test {
namespace {

class SimPersistenceTest : public SimCardTest {};

TEST_F(SimPersistenceTest, SettingsMadeInOneProcessAreFoundByTheNext)
{
    Boot();
    HANDLE file = Open();
    Send(file, {CMD_SET_MONITOR_GAIN, 3, 0, 4, static_cast<std::uint32_t>(-5 * 256)});
    Send(file, {CMD_SET_GAIN, 2, CHANNEL_PIPE_OUT, 7, static_cast<std::uint32_t>(-7 * 256)});
    Send(file, {CMD_SET_INPUT_CLOCK, 0, 0, 3});
    Send(file, {CMD_SET_DIGITAL_MODE, 0, 0, 2});
    Send(file, {CMD_SET_FLAGS, 0, 0, DRIVER_FLAG_SYNC_WAVE});
    ASSERT_EQ(Ioctl(file, IOCTL_SET_SPEAKER_DELAY, Bytes(SpeakerDelayRecord{2, 40}), 0).ok, TRUE);
    ASSERT_EQ(Ioctl(file, IOCTL_SET_WAVE_BUFFER_SIZE, U32(1024), 0).ok, TRUE);
    ASSERT_EQ(Ioctl(file, IOCTL_SET_GSIF_BUFFER_SIZE, U32(256), 0).ok, TRUE);
    ASSERT_EQ(Ioctl(file, IOCTL_SET_SAMPLE_RATE, U32(48000), 4).ok, TRUE);
    ASSERT_EQ(Ioctl(file, IOCTL_SET_CARD_NAME, std::vector<BYTE>{'L', 'i', 'v', 'e', 0}, 0).ok, TRUE);
    WaveConfigRecord config{};
    config.outputCount = 1;
    config.outputs[0] = {WAVE_MODE_NIMBREL, 4};
    ASSERT_EQ(Ioctl(file, IOCTL_SET_WAVE_CONFIG, Bytes(config), 0).ok, TRUE);
    const machine::sim::MixerState mixer = Hooks().Mixer();
    const machine::sim::CardSettings settings = Hooks().Settings();

    EXPECT_FALSE(Hooks().ForgetState()) << "a file is still open";
    CloseHandle(file);  // the last one: saved
    ASSERT_TRUE(Hooks().ForgetState());
    EXPECT_NE(Hooks().Mixer(), mixer);

    file = Open();  // the next process's first open loads them
    EXPECT_EQ(Hooks().Mixer(), mixer);
    EXPECT_EQ(Hooks().Settings(), settings);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Ioctl(file, IOCTL_GET_CAPS, {}, 680).out.data())), "Live");
    EXPECT_EQ(Ioctl(file, IOCTL_GET_WAVE_CONFIG, {}, 72).As<WaveConfigRecord>().flags, 0u) << "still pending";
    CloseHandle(file);
}

TEST_F(SimPersistenceTest, AnotherProcessFindsWhatOneProcessLeft)
{
    Boot();
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // A program that sets the card up and ends.
        HANDLE file = Open();
        const bool ok = file != INVALID_HANDLE_VALUE &&
                        Send(file, {CMD_SET_GAIN, 9, CHANNEL_BUS_OUT, static_cast<std::uint32_t>(-3 * 256)}).status == 0 &&
                        Ioctl(file, IOCTL_SET_GSIF_BUFFER_SIZE, U32(512), 0).ok == TRUE && CloseHandle(file) == TRUE;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    HANDLE file = Open();  // this process's first open
    EXPECT_EQ(Send(file, {CMD_GET_GAIN, 9, CHANNEL_BUS_OUT}).p10, static_cast<std::uint32_t>(-3 * 256));
    EXPECT_EQ(Word(file, IOCTL_GET_GSIF_BUFFER_SIZE), 512u);
    CloseHandle(file);
}

TEST_F(SimPersistenceTest, ARestartIsSavedAndAnotherModelsMixerIsNotTaken)
{
    machine::CardDriver& card = Boot();
    HANDLE file = Open();
    ASSERT_EQ(Ioctl(file, IOCTL_SET_WAVE_CONFIG, Bytes(WaveConfigRecord{}), 0).ok, TRUE);
    Send(file, {CMD_SET_MUTE, 1, CHANNEL_BUS_OUT, 1});
    CloseHandle(file);
    DWORD error = 0;
    ASSERT_EQ(card.Restart(error), TRUE);
    ASSERT_TRUE(Hooks().ForgetState());
    file = Open();
    EXPECT_EQ(Ioctl(file, IOCTL_GET_WAVE_CONFIG, {}, 72).As<WaveConfigRecord>().flags, 1u);
    EXPECT_EQ(Hooks().Mixer().busOut[1].mute, 1u);
    CloseHandle(file);

    // The same device key with a card of other counts: its saved mixer does not fit and is left alone.
    machine::CardConfig smaller = machine::MakePreset("zavo24-10");
    smaller.family = card.Config().family;  // same interface key
    machine::CardDriver other(smaller);
    DWORD openError = 0;
    const std::shared_ptr<win32::DeviceFile> direct = other.OpenFile(openError);
    ASSERT_TRUE(direct);
    EXPECT_EQ(machine::Hooks(other).Mixer(), machine::sim::MixerState::Defaults(smaller));
    EXPECT_EQ(machine::Hooks(other).Settings().waveConfigInEffect, true);
    direct->Cleanup();
}

}  // namespace
}  // namespace sim_test
