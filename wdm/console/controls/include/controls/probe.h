// The system probe unit: at start-up it records the Windows version, the
// processor's identification and an estimate of its clock, and creates the
// default look record with its font. The unit records them at start-up
// although nothing in the console reads them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include <vcl.h>

// What the probe reads from the processor and the clock. The console uses
// the real one; tests play other processors and clocks through it.
class TProcessorProbe {
public:
    virtual ~TProcessorProbe() = default;
    // The ID flag (bit 21) of the processor flags can be flipped.
    virtual bool CpuidAvailable() = 0;
    // Identification leaf `leaf`: EAX, EBX, ECX, EDX.
    virtual void Cpuid(std::uint32_t leaf, std::uint32_t regs[4]) = 0;
    virtual std::uint64_t TimeStamp() = 0;
    virtual DWORD TickCount() = 0;
};

// The processor this program runs on, and GetTickCount.
TProcessorProbe& HostProcessor();

// The default look record, in its fields' order.
struct TLookRecord {
    std::uint8_t Values[5];
    std::uint32_t Words[4];
    TColor ShadowColor;
    TColor HighlightColor;
    std::unique_ptr<TFont> Font;
};

struct TProbeResults {
    bool CpuidAvailable = false;
    // Leaf 1's EAX, EBX, ECX, EDX; all -1 without the identification instruction.
    std::uint32_t Signature[4] = {};
    // MHz; -1 for family 4 or lower, 0 without the identification instruction.
    std::int32_t ClockRate = 0;
    char Vendor[12] = {};
    OSVERSIONINFOA Version = {};
    std::uint8_t PlatformKind = 0;
    std::int32_t MajorVersion = 0;
    std::int32_t MinorVersion = 0;
    std::int32_t BuildNumber = 0;
};

// The unit's results; all zero until the first start-up.
const TProbeResults& ProbeResults();
// The look record and its font; null outside start-up and shut-down.
const TLookRecord* DefaultLook();
TFont* DefaultFont();

// The probe's pieces.
void ReadVersion(TProbeResults& results);
// The unit's own code for a version record's platform identifier: 2 for
// Win32s (0), 4 for Windows 95/98/Me (1), 3 for NT (2); 0 for any other.
std::uint8_t PlatformKindOf(DWORD platformId);
void ReadVendor(TProcessorProbe& cpu, char vendor[12]);
void ReadSignature(TProcessorProbe& cpu, std::uint32_t signature[4]);
// About a second of busy waiting on the tick count; -1 on any failure.
std::int32_t EstimateClockRate(TProcessorProbe& cpu);

// The unit's start-up and shut-down, called explicitly by the program's
// start-up and exit sequence (never from a static initialiser: the clock
// estimate takes a second). Only the first and the last call work.
void ProbeUnitStartup(TProcessorProbe& cpu = HostProcessor());
void ProbeUnitShutdown();
