// The system probe unit.
#include "controls/probe.h"

#include <cmath>
#include <cstring>


#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define ZAVO_PROBE_X86 1
#endif

namespace {

class THostProcessor final : public TProcessorProbe {
public:
    bool CpuidAvailable() override
    {
#ifdef ZAVO_PROBE_X86
        constexpr std::uint64_t IdFlag = 0x200000;
        const std::uint64_t before = __builtin_ia32_readeflags_u64();
        __builtin_ia32_writeeflags_u64(before ^ IdFlag);
        const std::uint64_t after = __builtin_ia32_readeflags_u64();
        __builtin_ia32_writeeflags_u64(before);
        return ((before ^ after) & IdFlag) != 0;
#else
        return false;
#endif
    }
    void Cpuid(std::uint32_t leaf, std::uint32_t regs[4]) override
    {
#ifdef ZAVO_PROBE_X86
        unsigned a = 0, b = 0, c = 0, d = 0;
        __cpuid(leaf, a, b, c, d);
        regs[0] = a;
        regs[1] = b;
        regs[2] = c;
        regs[3] = d;
#else
        (void)leaf;
        regs[0] = regs[1] = regs[2] = regs[3] = 0;
#endif
    }
    std::uint64_t TimeStamp() override
    {
#ifdef ZAVO_PROBE_X86
        return __rdtsc();
#else
        return 0;
#endif
    }
    DWORD TickCount() override { return GetTickCount(); }
};

TUnitCounter ProbeCounter;
TProbeResults Results;
std::unique_ptr<TLookRecord> LookRecord;

void PutLittleEndian(char* out, std::uint32_t word)
{
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((word >> (8 * i)) & 0xFF);
}

}  // namespace

TProcessorProbe& HostProcessor()
{
    static THostProcessor host;
    return host;
}

const TProbeResults& ProbeResults() { return Results; }
const TLookRecord* DefaultLook() { return LookRecord.get(); }
TFont* DefaultFont() { return LookRecord ? LookRecord->Font.get() : nullptr; }

void ReadVersion(TProbeResults& results)
{
    results.Version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    GetVersionExA(&results.Version);  // its result is not looked at
    results.PlatformKind = PlatformKindOf(results.Version.dwPlatformId);
    results.MajorVersion = static_cast<std::int32_t>(results.Version.dwMajorVersion);
    results.MinorVersion = static_cast<std::int32_t>(results.Version.dwMinorVersion);
    results.BuildNumber = static_cast<std::int32_t>(results.Version.dwBuildNumber & 0xFFFF);
}

std::uint8_t PlatformKindOf(DWORD platformId)
{
    switch (platformId) {
    case VER_PLATFORM_WIN32s: return 2;
    case VER_PLATFORM_WIN32_WINDOWS: return 4;
    case VER_PLATFORM_WIN32_NT: return 3;
    default: return 0;
    }
}

void ReadVendor(TProcessorProbe& cpu, char vendor[12])
{
    std::uint32_t regs[4];
    cpu.Cpuid(0, regs);
    PutLittleEndian(vendor, regs[1]);      // EBX
    PutLittleEndian(vendor + 4, regs[3]);  // EDX
    PutLittleEndian(vendor + 8, regs[2]);  // ECX
}

void ReadSignature(TProcessorProbe& cpu, std::uint32_t signature[4])
{
    cpu.Cpuid(1, signature);
}

std::int32_t EstimateClockRate(TProcessorProbe& cpu)
{
    try {
        const DWORD t0 = cpu.TickCount();
        while (cpu.TickCount() == t0) {
        }
        const std::uint64_t s = cpu.TimeStamp();
        // Elapsed time, not a deadline: a deadline t0 + 1000 wraps near
        // the end of the 32-bit tick count and would end the wait at once.
        while (static_cast<DWORD>(cpu.TickCount() - t0) < 1000) {
        }
        const std::uint64_t e = cpu.TimeStamp();
        const long double mhz =
            std::nearbyint((static_cast<long double>(e) - static_cast<long double>(s)) / 1000000.0L + 0.66L);
        if (!(mhz >= INT32_MIN && mhz <= INT32_MAX)) return -1;
        return static_cast<std::int32_t>(mhz);
    } catch (...) {
        return -1;
    }
}

void ProbeUnitStartup(TProcessorProbe& cpu)
{
    if (!ProbeCounter.Startup()) return;
    Results = TProbeResults{};
    ReadVersion(Results);
    Results.CpuidAvailable = cpu.CpuidAvailable();
    if (Results.CpuidAvailable) {
        ReadSignature(cpu, Results.Signature);
        ReadVendor(cpu, Results.Vendor);
        const std::uint32_t family = (Results.Signature[0] >> 8) & 0xF;
        Results.ClockRate = family > 4 ? EstimateClockRate(cpu) : -1;
    } else {
        for (std::uint32_t& word : Results.Signature) word = 0xFFFFFFFF;
    }
    LookRecord = std::make_unique<TLookRecord>(
        TLookRecord{{0, 2, 5, 1, 1}, {0, 0, 0, 0}, clBtnShadow, clBtnHighlight, std::make_unique<TFont>()});
    TFont& font = *LookRecord->Font;
    font.SetName("MS Sans Serif");
    font.SetColor(clWindowText);
    font.SetHeight(-11);  // an 11-pixel character height
    font.SetPitch(fpDefault);
    font.SetStyle({});
}

void ProbeUnitShutdown()
{
    if (!ProbeCounter.Shutdown()) return;
    LookRecord.reset();
}
