// The library's entry point and exports: attach and detach, memory running
// out while the lists are made, the argument-less exports and the unload.
#include "refuse_allocation.h"
#include "wave_fixture.h"

namespace {

// What a driver without a card list answers, in both directions.
void ExpectNoCardList(hosts::WaveClient& client)
{
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        EXPECT_EQ(client.GetNumDevs(direction), 0u);
        WAVEOUTCAPSW caps;
        EXPECT_EQ(client.GetDevCaps(direction, 0, &caps, sizeof caps), MMSYSERR_INVALPARAM);
        hosts::WaveStream& stream = client.Open({.direction = direction});
        EXPECT_EQ(stream.OpenResult(), MMSYSERR_BADDEVICEID);
        EXPECT_EQ(stream.Instance(), hosts::WaveStream::kUnset);
    }
}

}  // namespace

class EntryPointsTest : public WaveTest {};

TEST_F(EntryPointsTest, NoCardListWhenItsAllocationIsRefused)
{
    {
        RefuseAllocation refuse(0);
        Load();
        EXPECT_TRUE(refuse.Refused());
    }
    ExpectNoCardList(Client());
    EXPECT_EQ(Hooks().Log().size(), 0u);
}

// Every allocation of the attach refused in turn: the attach still succeeds,
// with no card list or with every card.
TEST_F(EntryPointsTest, AllocationWalkThroughTheAttach)
{
    Boot({"default", "zavo24-50"});
    for (long k = 0;; ++k) {
        SCOPED_TRACE(k);
        bool refused;
        {
            RefuseAllocation refuse(k);
            Load();
            refused = refuse.Refused();
        }
        if (!refused) {
            EXPECT_EQ(k, 3) << "the card list and its two cards";
            EXPECT_EQ(Client().GetNumDevs(WaveDirection::Out), 11u);
            Unload();
            break;
        }
        ExpectNoCardList(Client());
        Unload();
        EXPECT_EQ(OpenFiles(), 0u);
    }
}

// Every allocation of the first open refused in turn: the open answers
// cleanly, leaves nothing on the card, and the next open succeeds.
TEST_F(EntryPointsTest, AllocationWalkThroughTheFirstOpen)
{
    Boot({"default", "zavo24-50"});
    for (long k = 0;; ++k) {
        SCOPED_TRACE(k);
        Load();
        Hooks(0).ClearLog();
        Hooks(1).ClearLog();
        bool refused;
        MMRESULT result;
        DWORD_PTR instance;
        {
            RefuseAllocation refuse(k);
            hosts::WaveStream& stream = Client().Open({.device = 0});
            refused = refuse.Refused();
            result = stream.OpenResult();
            instance = stream.Instance();
        }
        if (!refused) {
            EXPECT_EQ(k, 6) << "the device list, two cards, the node, the stream and its card object";
            EXPECT_EQ(result, MMSYSERR_NOERROR);
            Unload();
            break;
        }
        if (result == MMSYSERR_NOMEM) {
            EXPECT_EQ(instance, 0u);
        } else {
            EXPECT_EQ(result, MMSYSERR_BADDEVICEID);  // no device list
            EXPECT_EQ(instance, hosts::WaveStream::kUnset);
        }
        EXPECT_EQ(Transports(), 0u);
        EXPECT_EQ(OpenFiles(), 0u);
        EXPECT_EQ(Hooks(1).CountOf(machine::sim::IOCTL_RESERVE_PIPES), 0u);

        // Memory back: the next open builds what is missing and succeeds.
        hosts::WaveStream& again = OpenOk(WaveDirection::Out, 0);
        EXPECT_EQ(Client().GetNumDevs(WaveDirection::Out), 11u);
        EXPECT_EQ(Client().Close(again), MMSYSERR_NOERROR);
        Unload();
    }
}

TEST_F(EntryPointsTest, DllMainAsTheLoaderCallsIt)
{
    hosts::WaveClient& client = Load();
    HMODULE module = client.Module();
    EXPECT_EQ(client.CallDllMain(module, DLL_PROCESS_ATTACH, nullptr), FALSE);
    HMODULE other = reinterpret_cast<HMODULE>(reinterpret_cast<std::uintptr_t>(module) + 0x1000);
    EXPECT_EQ(client.CallDllMain(other, DLL_PROCESS_DETACH, nullptr), FALSE);
    EXPECT_EQ(client.CallDllMain(module, DLL_THREAD_ATTACH, nullptr), TRUE);
    EXPECT_EQ(client.CallDllMain(module, DLL_THREAD_DETACH, nullptr), TRUE);
    // Nothing of that changed the lists.
    EXPECT_EQ(client.GetNumDevs(WaveDirection::Out), 8u);
    EXPECT_EQ(client.ListDevices(WaveDirection::In).size(), 8u);

    const hosts::WaveDriverEntries& entries = client.Entries();
    EXPECT_EQ(entries.DrvLoad(0), 1u);
    for (DrvEntryProc entry :
         {entries.DrvFree, entries.DrvInstall, entries.DrvPnpInstall, entries.DrvConfigure, entries.DrvRemove})
        EXPECT_EQ(entry(), 1u);
    EXPECT_EQ(client.GetNumDevs(WaveDirection::Out), 8u);
}

// The unload ends every stream left open, and the library truly goes: the
// next load reads the registry afresh.
TEST_F(EntryPointsTest, UnloadClosesEverythingAndTheNextLoadDiscoversAfresh)
{
    Boot({"default", "zavo24-50"});
    Load();
    OpenOk(WaveDirection::Out, 0);
    OpenOk(WaveDirection::In, 9);
    ASSERT_EQ(Transports(), 2u);
    Unload();
    EXPECT_EQ(GetModuleHandleA("Zavo24Wave.dll"), nullptr);
    EXPECT_EQ(OpenFiles(), 0u);
    EXPECT_EQ(Transports(), 0u);

    Hooks(0).SetStoredWaveConfigRaw(WaveConfig({{1, 2}}, {}));
    Load();
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::Out), 4u);
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::In), 2u);
}
