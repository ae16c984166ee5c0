// The probe unit against scripted processors and clocks.
#include "controls/probe.h"

#include <gtest/gtest.h>
#include <win32_testing/temp_machine_dir.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

// A processor whose time-stamp counter runs at `mhz` and whose tick count
// advances one millisecond per reading, starting at `start`.
class TScriptedProcessor : public TProcessorProbe {
public:
    bool cpuid = true;
    std::uint32_t leaf0[4] = {0xD, 0x756E6547, 0x6C65746E, 0x49656E69};  // "GenuineIntel"
    std::uint32_t leaf1[4] = {0x000506E3, 0x11, 0x22, 0x33};              // family 6
    DWORD start = 5000;
    std::uint64_t mhz = 2000;
    bool throwOnTick = false;
    std::int64_t tickReads = 0;

    bool CpuidAvailable() override { return cpuid; }
    void Cpuid(std::uint32_t leaf, std::uint32_t regs[4]) override
    {
        std::memcpy(regs, leaf == 0 ? leaf0 : leaf1, sizeof leaf0);
    }
    std::uint64_t TimeStamp() override { return 1'000'000'000ull + elapsed_ * mhz * 1000ull; }
    DWORD TickCount() override
    {
        if (throwOnTick) throw std::runtime_error("no clock");
        ++tickReads;
        elapsed_ = static_cast<std::uint64_t>(tickReads - 1);
        return static_cast<DWORD>(start + elapsed_);
    }

private:
    std::uint64_t elapsed_ = 0;
};

struct ProbeUnit : win32_testing::MachineTest {
    void TearDown() override
    {
        while (DefaultLook() != nullptr) ProbeUnitShutdown();
    }
};

TEST(ClockEstimate, MeasuresFromTheFirstTickBoundary)
{
    // 999 ms are measured (1000 less the wait for the first boundary):
    // 1998 MHz, lifted by 0.66 to 1999.
    TScriptedProcessor cpu;
    EXPECT_EQ(EstimateClockRate(cpu), 1999);
    cpu = TScriptedProcessor{};
    cpu.mhz = 3;
    EXPECT_EQ(EstimateClockRate(cpu), 4);  // 2.997 + 0.66 = 3.657
}

TEST(ClockEstimate, WaitsTheFullSecondAcrossTheTickWrap)
{
    // A deadline of t0 + 1000 would wrap to a small number and end the
    // wait at once; the elapsed time does not wrap.
    TScriptedProcessor cpu;
    cpu.start = 0xFFFFFF00;
    EXPECT_EQ(EstimateClockRate(cpu), 1999);
    EXPECT_GE(cpu.tickReads, 1001);
}

TEST(ClockEstimate, FailureGivesMinusOne)
{
    TScriptedProcessor cpu;
    cpu.throwOnTick = true;
    EXPECT_EQ(EstimateClockRate(cpu), -1);
}

TEST(Vendor, ReadsEbxEdxEcxLowByteFirst)
{
    TScriptedProcessor cpu;
    char vendor[12];
    ReadVendor(cpu, vendor);
    EXPECT_EQ(std::string(vendor, 12), "GenuineIntel");
}

TEST_F(ProbeUnit, RecordsTheProcessorAndEstimatesTheClock)
{
    TScriptedProcessor cpu;
    ProbeUnitStartup(cpu);
    const TProbeResults& r = ProbeResults();
    EXPECT_TRUE(r.CpuidAvailable);
    EXPECT_EQ(r.Signature[0], 0x000506E3u);
    EXPECT_EQ(r.Signature[3], 0x33u);
    EXPECT_EQ(std::string(r.Vendor, 12), "GenuineIntel");
    EXPECT_EQ(r.ClockRate, 1999);
}

TEST_F(ProbeUnit, FamilyFourOrLowerSkipsTheEstimate)
{
    for (std::uint32_t family : {4u, 3u, 0u}) {
        TScriptedProcessor cpu;
        cpu.leaf1[0] = (family << 8) | 0xF0000u;  // extended bits do not count
        ProbeUnitStartup(cpu);
        EXPECT_EQ(ProbeResults().ClockRate, -1) << family;
        EXPECT_EQ(cpu.tickReads, 0) << family;
        ProbeUnitShutdown();
    }
    TScriptedProcessor cpu;
    cpu.leaf1[0] = 5u << 8;
    ProbeUnitStartup(cpu);
    EXPECT_EQ(ProbeResults().ClockRate, 1999);
}

TEST_F(ProbeUnit, WithoutIdentificationTheSignatureIsAllMinusOne)
{
    TScriptedProcessor cpu;
    cpu.cpuid = false;
    ProbeUnitStartup(cpu);
    const TProbeResults& r = ProbeResults();
    EXPECT_FALSE(r.CpuidAvailable);
    for (std::uint32_t word : r.Signature) EXPECT_EQ(word, 0xFFFFFFFFu);
    EXPECT_EQ(r.ClockRate, 0);
    EXPECT_EQ(std::string(r.Vendor, 12), std::string(12, '\0'));
    EXPECT_EQ(cpu.tickReads, 0);
}

TEST_F(ProbeUnit, VersionRecordAndPlatformKind)
{
    TScriptedProcessor cpu;
    ProbeUnitStartup(cpu);
    const TProbeResults& r = ProbeResults();
    OSVERSIONINFOA expected{};
    expected.dwOSVersionInfoSize = sizeof expected;
    GetVersionExA(&expected);
    EXPECT_EQ(r.Version.dwOSVersionInfoSize, 148u);
    EXPECT_EQ(r.MajorVersion, static_cast<std::int32_t>(expected.dwMajorVersion));
    EXPECT_EQ(r.MinorVersion, static_cast<std::int32_t>(expected.dwMinorVersion));
    EXPECT_EQ(r.BuildNumber, static_cast<std::int32_t>(expected.dwBuildNumber & 0xFFFF));
    EXPECT_EQ(r.PlatformKind, PlatformKindOf(expected.dwPlatformId));
    // Every platform the record can name, and one it cannot.
    const std::pair<DWORD, std::uint8_t> kinds[] = {{0, 2}, {1, 4}, {2, 3}, {3, 0}, {0xFFFFFFFF, 0}};
    for (const auto& [platform, kind] : kinds) EXPECT_EQ(PlatformKindOf(platform), kind) << platform;
}

TEST_F(ProbeUnit, DefaultLookRecord)
{
    TScriptedProcessor cpu;
    ProbeUnitStartup(cpu);
    const TLookRecord* look = DefaultLook();
    ASSERT_NE(look, nullptr);
    const std::uint8_t values[5] = {0, 2, 5, 1, 1};
    EXPECT_EQ(std::memcmp(look->Values, values, 5), 0);
    for (std::uint32_t word : look->Words) EXPECT_EQ(word, 0u);
    EXPECT_EQ(look->ShadowColor, clBtnShadow);
    EXPECT_EQ(look->HighlightColor, clBtnHighlight);
    ASSERT_EQ(DefaultFont(), look->Font.get());
    EXPECT_EQ(DefaultFont()->Name(), "MS Sans Serif");
    EXPECT_EQ(DefaultFont()->Color(), clWindowText);
    EXPECT_EQ(DefaultFont()->Height(), -11);
    EXPECT_EQ(DefaultFont()->Pitch(), fpDefault);
    EXPECT_TRUE(DefaultFont()->Style().Empty());
}

TEST_F(ProbeUnit, OnlyTheFirstStartUpAndTheLastShutDownWork)
{
    TScriptedProcessor first;
    ProbeUnitStartup(first);
    TScriptedProcessor second;
    second.mhz = 100;
    ProbeUnitStartup(second);
    EXPECT_EQ(second.tickReads, 0);
    EXPECT_EQ(ProbeResults().ClockRate, 1999);

    ProbeUnitShutdown();
    EXPECT_NE(DefaultLook(), nullptr);  // not the last shut-down
    ProbeUnitShutdown();
    EXPECT_EQ(DefaultLook(), nullptr);
    EXPECT_EQ(DefaultFont(), nullptr);
    ProbeUnitShutdown();  // one too many: nothing
    EXPECT_EQ(DefaultLook(), nullptr);
}

}  // namespace

namespace {

#if defined(__x86_64__) || defined(__i386__)
TEST(HostProcessor, HasTheIdentificationInstructionAndACounter)
{
    TProcessorProbe& cpu = HostProcessor();
    EXPECT_TRUE(cpu.CpuidAvailable());
    char vendor[12];
    ReadVendor(cpu, vendor);
    EXPECT_NE(std::string(vendor, 12), std::string(12, '\0'));
    const std::uint64_t first = cpu.TimeStamp();
    EXPECT_GT(cpu.TimeStamp(), first);
}
#endif

}  // namespace
