// Registration and unregistration of the driver, through regsvr's own
// function and as a program of its own: the keys, their exact bytes, what a
// second registration keeps, and the failures shown to the user.
#include <cstdio>
#include <filesystem>

#include <sys/wait.h>

#include "asio_driver_fixture.h"

namespace {

class Registration : public AsioDriverTest {
protected:
    Registration() { Boot(); }

    static hosts::ServerCallResult Call(const std::string& path, hosts::ServerCall call)
    {
        return hosts::CallServerRegistration(path, call);
    }
    // The driver's file copied under another name: a module that cannot find itself by its own name.
    std::string RenamedCopy()
    {
        const auto copy = Machine().Directory() / "Renamed.dll";
        std::filesystem::copy_file(kDriverPath, copy);
        return copy.string();
    }
    void ExpectOneBox(const std::string& text)
    {
        const auto boxes = desktop_->Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_EQ(boxes[0].text, text);
        EXPECT_EQ(boxes[0].caption, "ASIO Zavo PCI");
        EXPECT_EQ(boxes[0].type, MB_OK);
    }
    // A program run on this machine: its exit code, its output in `output`.
    static int Run(const char* program, const std::string& arguments, std::string& output)
    {
        const std::string command = std::string("'") + program + "' " + arguments + " 2>&1";
        std::FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) return -1;
        char buffer[256];
        while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
        const int status = ::pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static int RunRegsvr(const std::string& arguments, std::string& output)
    {
        return Run(ZAVO_REGSVR_PATH, arguments, output);
    }
};

TEST_F(Registration, WritesTheFiveValuesWithTheirExactBytes)
{
    Register();
    struct Expected {
        HKEY root;
        const char* key;
        const char* value;
        std::string text;
    };
    const Expected expected[] = {
        {HKEY_CLASSES_ROOT, kClassKey, nullptr, "ASIO Zavo PCI"},
        {HKEY_CLASSES_ROOT, kServerKey, nullptr, LowerCase(kDriverPath)},
        {HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel", "Apartment"},
        {HKEY_LOCAL_MACHINE, kDriverKey, "CLSID", kClsidText},
        {HKEY_LOCAL_MACHINE, kDriverKey, "Description", "ASIO Zavo PCI"},
    };
    for (const Expected& e : expected) {
        const auto value = ReadValue(e.root, e.key, e.value);
        ASSERT_TRUE(value) << e.key << " " << (e.value ? e.value : "(default)");
        EXPECT_EQ(value->type, REG_SZ);
        // strlen bytes, no terminator.
        EXPECT_EQ(AsText(value->bytes), e.text);
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
}

TEST_F(Registration, AgainFromTheSamePathKeepsTheClassButNotTheSettings)
{
    Register();
    WriteString(HKEY_CLASSES_ROOT, kClassKey, "Marker", "kept");
    StoreSetting("Sample rate", 48000);
    Register();
    EXPECT_TRUE(ReadValue(HKEY_CLASSES_ROOT, kClassKey, "Marker"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kSettingsKey));
    const auto clsid = ReadValue(HKEY_LOCAL_MACHINE, kDriverKey, "CLSID");
    ASSERT_TRUE(clsid);
    EXPECT_EQ(AsText(clsid->bytes), kClsidText);
}

TEST_F(Registration, ClassKeysNamingAnotherServerAreWrittenAgain)
{
    struct Case {
        const char* what;
        std::optional<std::string> storedPath;  // nothing: no InprocServer32 value
        bool keptAsItIs;
    };
    const std::string ours = LowerCase(kDriverPath);
    std::string upper = kDriverPath;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const Case cases[] = {
        {"the same path", ours, true},
        {"the same path in capitals", upper, true},
        {"another path", "/elsewhere/asiozavowdm.dll", false},
        {"our path with more after it", ours + ".old", false},
        {"no path", std::nullopt, false},
        // A value that fills the whole path buffer: compared within it, never past it.
        {"360 bytes of path", std::string(360, 'a'), false},
        {"more than the buffer holds", ours + std::string(400, 'x'), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Call(kDriverPath, hosts::ServerCall::Unregister).result, S_OK);
        WriteString(HKEY_CLASSES_ROOT, kClassKey, "Marker", "stale");
        WriteString(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\Extra\\Deeper").c_str(), "Marker", "stale");
        if (c.storedPath)
            WriteString(HKEY_CLASSES_ROOT, kServerKey, nullptr, *c.storedPath);
        else
            WriteString(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel", "Both");
        Register();
        EXPECT_EQ(ReadValue(HKEY_CLASSES_ROOT, kClassKey, "Marker").has_value(), c.keptAsItIs);
        EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\Extra\\Deeper").c_str()), c.keptAsItIs);
        if (!c.keptAsItIs) {
            const auto path = ReadValue(HKEY_CLASSES_ROOT, kServerKey, nullptr);
            ASSERT_TRUE(path);
            EXPECT_EQ(AsText(path->bytes), ours);
            const auto model = ReadValue(HKEY_CLASSES_ROOT, kServerKey, "ThreadingModel");
            ASSERT_TRUE(model);
            EXPECT_EQ(AsText(model->bytes), "Apartment");
        }
        // Whatever stood there, the host finds and loads the driver.
        Load();
        EXPECT_TRUE(host_.Unload());
    }
}

TEST_F(Registration, UnregistrationRemovesBothTreesAndNothingElse)
{
    Register();
    StoreSetting("Sample rate", 48000);
    WriteString(HKEY_CLASSES_ROOT, (std::string(kServerKey) + "\\Deeper").c_str(), "Marker", "gone too");
    WriteString(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO\\Another driver", "CLSID",
                "{00000000-0000-0000-0000-000000000001}");

    const auto result = Call(kDriverPath, hosts::ServerCall::Unregister);
    EXPECT_EQ(result.outcome, hosts::ServerCallResult::Outcome::Called);
    EXPECT_EQ(result.result, S_OK);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kDriverKey));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO\\Another driver"));
    EXPECT_TRUE(desktop_->Boxes().empty());

    // Nothing left to remove is no failure.
    EXPECT_EQ(Call(kDriverPath, hosts::ServerCall::Unregister).result, S_OK);
    EXPECT_EQ(host_.Load(kDriverName), REGDB_E_CLASSNOTREG);
}

TEST_F(Registration, RenamedLibraryCannotRegister)
{
    const std::string copy = RenamedCopy();
    const auto result = Call(copy, hosts::ServerCall::Register);
    EXPECT_EQ(result.outcome, hosts::ServerCallResult::Outcome::Called);
    EXPECT_EQ(static_cast<DWORD>(result.result), 0xFFFFFFFFu);
    ExpectOneBox("Register Server failed ! (-101)");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO"));
    EXPECT_EQ(GetModuleHandleA("Renamed.dll"), nullptr);
}

TEST_F(Registration, RenamedLibraryCannotUnregister)
{
    Register();
    const auto result = Call(RenamedCopy(), hosts::ServerCall::Unregister);
    EXPECT_EQ(static_cast<DWORD>(result.result), 0xFFFFFFFFu);
    ExpectOneBox("Unregister Server failed ! (-101)");
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kDriverKey));
}

TEST_F(Registration, ClassIdentifierTextThatCannotBeMade)
{
    for (const auto call : {hosts::ServerCall::Register, hosts::ServerCall::Unregister}) {
        com_testing::FailNextCoTaskMemAlloc(1);
        EXPECT_EQ(static_cast<DWORD>(Call(kDriverPath, call).result), 0xFFFFFFFFu);
    }
    const auto boxes = desktop_->Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Register Server failed ! (-103)");
    EXPECT_EQ(boxes[1].text, "Unregister Server failed ! (-103)");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO"));
}

TEST_F(Registration, RegsvrInAnotherProcessAndTheHostInThisOne)
{
    std::string output;
    EXPECT_EQ(RunRegsvr(std::string("'") + kDriverPath + "'", output), 0) << output;
    EXPECT_NE(output.find("DllRegisterServer in " + std::string(kDriverPath) + " succeeded."), std::string::npos)
        << output;

    const auto drivers = hosts::ListAsioDrivers();
    ASSERT_EQ(drivers.size(), 1u);
    EXPECT_EQ(drivers[0].name, "ASIO Zavo PCI");
    EXPECT_EQ(drivers[0].clsid, kClsidText);
    EXPECT_EQ(drivers[0].description, "ASIO Zavo PCI");
    Load();
    EXPECT_EQ(host_.ServerPath(), LowerCase(kDriverPath));
    EXPECT_EQ(host_.ThreadingModel(), "Apartment");
    EXPECT_EQ(host_.Init(), ASIOTrue);
    EXPECT_TRUE(host_.Unload());

    output.clear();
    EXPECT_EQ(RunRegsvr(std::string("-u '") + kDriverPath + "'", output), 0) << output;
    EXPECT_TRUE(hosts::ListAsioDrivers().empty());

    // What a user is told when it goes wrong.
    output.clear();
    EXPECT_EQ(RunRegsvr("'" + (Machine().Directory() / "Missing.dll").string() + "'", output), 1);
    EXPECT_NE(output.find("Missing.dll could not be loaded."), std::string::npos) << output;
    output.clear();
    EXPECT_EQ(RunRegsvr("", output), 2);
    EXPECT_NE(output.find("usage: regsvr [-u] LIBRARY"), std::string::npos) << output;
}

// What a user sees: regsvr, then the host program, each a process of its own.
TEST_F(Registration, HostProgramShowsTheDeviceAndSetsItsRate)
{
    std::string output;
    ASSERT_EQ(RunRegsvr(std::string("'") + kDriverPath + "'", output), 0) << output;
    output.clear();
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "--rate 48000", output), 0) << output;
    for (const char* line : {"  ASIO Zavo PCI  {5B2E7C41-93AD-4F06-8E1B-2C7D90A4F356}  \"ASIO Zavo PCI\"\n",
                             "(threading model Apartment)\n", "Driver name: ASIO Zavo PCI, version 1\n",
                             "Input channels: 10\n", "    9  Zavo24 8x8 S/PDIF2\n", "Output channels: 10\n",
                             "    8  Zavo24 8x8 S/PDIF\n", "Latencies: input 512, output 512 frames\n",
                             "Sample rate: 44100 Hz\n", "Sample rates the cards take: 32000 44100 48000 88200 96000\n",
                             "Clock source 0: Select from console (current)\n", "Direct monitoring: offered\n",
                             "setSampleRate(48000): done; sample rate now 48000 Hz\n",
                             "Released; the driver's library is unloaded.\n"})
        EXPECT_NE(output.find(line), std::string::npos) << line << "\nin:\n" << output;
    // Stored by the other process as its driver object went.
    EXPECT_EQ(StoredSetting("Sample rate"), 48000u);

    output.clear();
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "--rate 12345", output), 1) << output;
    EXPECT_NE(output.find("setSampleRate(12345): refused; sample rate now 48000 Hz"), std::string::npos) << output;
    output.clear();
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "\"Another driver\"", output), 1) << output;
    EXPECT_NE(output.find("Another driver could not be loaded: 0x80040154; run regsvr first."), std::string::npos)
        << output;
}

// Streaming as a user runs it, in real time on the machine's own clock.
TEST_F(Registration, HostProgramStreamsARampAndReportsEveryHalf)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the card reads what the host writes unsynchronised, as a card's DMA does";
#endif
    std::string output;
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "--stream 1", output), 1) << output;
    EXPECT_NE(output.find("No ASIO driver is registered: run regsvr first"), std::string::npos) << output;
    output.clear();
    ASSERT_EQ(RunRegsvr(std::string("'") + kDriverPath + "'", output), 0) << output;

    output.clear();
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "--rate 48000 --stream 1 --size 2048 --outputs 0,9 --inputs 1", output), 0)
        << output;
    for (const char* line :
         {"Streaming 1 s: a ramp on 2 outputs, 1 inputs, 2048 frames at 48000 Hz (latencies: input 2080, output "
          "2080 frames)\n",
          "Missed or repeated halves: 0\n", "Re-synchronisation requests: 0\n", "Switch thread priority: 15\n",
          "Time-critical scheduling: ", "Released; the driver's library is unloaded.\n"})
        EXPECT_NE(output.find(line), std::string::npos) << line << "\nin:\n" << output;
    unsigned switches = 0;
    const auto at = output.find("Switches: ");
    ASSERT_NE(at, std::string::npos) << output;
    ASSERT_EQ(std::sscanf(output.c_str() + at, "Switches: %u after the 2 pre-fills", &switches), 1) << output;
    EXPECT_GE(switches, 21u) << "a second is 23.4 periods";
    EXPECT_LE(switches, 24u);

    output.clear();
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "--stream 1 --outputs 10", output), 1) << output;
    EXPECT_NE(output.find("No such channel in --outputs 10 or --inputs all (10 outputs, 10 inputs)."),
              std::string::npos)
        << output;
    output.clear();
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "--stream 0", output), 2) << output;
    EXPECT_NE(output.find("usage: asio-host"), std::string::npos) << output;
}

// The control panel with no display to show it on, and a direct-monitoring
// route that stays in the card after the program has gone.
TEST_F(Registration, HostProgramOpensTheControlPanelAndRoutesAMonitor)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the card reads what the host writes unsynchronised, as a card's DMA does";
#endif
    std::string output;
    ASSERT_EQ(RunRegsvr(std::string("'") + kDriverPath + "'", output), 0) << output;
    const NoDisplay noDisplay;
    output.clear();
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "--control-panel", output), 0) << output;
    for (const char* line : {"Opening the control panel\n",
                             "[ASIO Zavo WDM] dialog closed as with Escape: there is no display to show it on\n",
                             "Control panel closed: buffer size 512 frames, direct monitoring offered\n"})
        EXPECT_NE(output.find(line), std::string::npos) << line << "\nin:\n" << output;
    EXPECT_FALSE(StoredSetting("Buffer size").has_value()) << "a closed panel writes nothing";
    // The panel alone: what came back, and the settings as stored (the rate by
    // the driver object of the run before).
    output.clear();
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "--panel", output), 0) << output;
    for (const char* line : {"controlPanel returned 0 (ASE_OK)\n",
                             "[ASIO Zavo WDM] dialog closed as with Escape: there is no display to show it on\n",
                             "Buffer size now 512 frames, direct monitoring offered\n",
                             "Stored settings: \"Sample rate\" 44100\n",
                             "Released; the driver's library is unloaded.\n"})
        EXPECT_NE(output.find(line), std::string::npos) << line << "\nin:\n" << output;
    EXPECT_EQ(output.find("Input channels"), std::string::npos) << "nothing but the panel";
    output.clear();
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "--panel --stream 1", output), 2) << output;

    output.clear();
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "--stream 0.5 --outputs 0,1 --inputs 2,3 --monitor 1:1:-6:0.25", output), 0)
        << output;
    EXPECT_NE(output.find("Direct monitoring, input buffer 1 to output buffer 1: routed\n"), std::string::npos)
        << output;
    output.clear();
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "--stream 0.5 --outputs 0 --inputs 2 --monitor 1:0", output), 0) << output;
    EXPECT_NE(output.find("input buffer 1 to output buffer 0: refused: no such input or output buffer\n"),
              std::string::npos)
        << output;
    output.clear();
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "--monitor 0:0", output), 2) << output;
    EXPECT_NE(output.find("usage: asio-host"), std::string::npos) << output;

    // The card as the next program finds it: input 3 on output bus 1 at -6 dB, a quarter right.
    Load();
    ASSERT_EQ(host_.Init(), ASIOTrue);
    const machine::sim::MixerState mixer = Hooks().Mixer();
    EXPECT_EQ(mixer.Monitor(3, 1).gain, -1536);
    EXPECT_EQ(mixer.Monitor(3, 1).pan, 250u);
    EXPECT_EQ(mixer.Monitor(3, 1).mute, 0u);
}

TEST_F(Registration, HostProgramSaysWhyTheDriverOffersNothing)
{
    Boot({machine::MakePreset("driver-error")});
    Register();
    std::string output;
    EXPECT_EQ(Run(ZAVO_ASIO_HOST_PATH, "--stream 1", output), 1) << output;
    EXPECT_NE(output.find("init failed: ASIO Driver open Failure!\nIs a card installed?"), std::string::npos)
        << output;
    EXPECT_EQ(output.find("Streaming"), std::string::npos) << output;
}

}  // namespace
