// What the session tests start from: the console window on a machine of its
// own, with the program's folder in the machine directory (so the sessions
// folder is made there) and the platform record WinMain fills. Files are
// read and written byte for byte.
#pragma once

#include <string>
#include <vector>

#include "console/start_up.h"
#include "console_window_fixture.h"

class SessionTest : public ConsoleWindowTest {
protected:
    explicit SessionTest(std::vector<machine::CardConfig> cards = DefaultCard());
    ~SessionTest() override;

    // A path in the machine directory.
    std::string Path(const std::string& name) const;
    // The card's sessions folder beside the program.
    std::string Folder() const;
    static std::string ReadFile(const std::string& path);
    static void WriteFile(const std::string& path, const std::string& bytes);
    static bool Exists(const std::string& path);

    // The "&Save" or "&Load" button clicked, the dialog answered with `answer`.
    void Save(const win32_testing::FileAnswer& answer);
    void Load(const win32_testing::FileAnswer& answer);
    std::vector<std::string> BoxTexts();

    // The card's whole state, as a session holds it.
    struct CardState {
        machine::sim::MixerState mixer;
        machine::sim::CardSettings settings;
        bool operator==(const CardState&) const = default;
    };
    CardState State() { return {Hooks().Mixer(), Hooks().Settings()}; }

private:
    std::string programDir_;
    OSVERSIONINFOA platform_;
};

// Where two mixer states differ, one line each ("monitor 3 -> 2 gain -512 / -256" ...); empty when equal.
std::string MixerDiff(const machine::sim::MixerState& a, const machine::sim::MixerState& b);

inline const char* const BadFormatText = "Sorry; this session file doesn't seem to be formatted correctly.";
