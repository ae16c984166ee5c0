// Who the driver is to COM, to ASIO hosts and to the loader.
#pragma once

#include <objbase.h>

// The driver's class; also the interface identifier under which a host asks
// the driver object for IASIO.
inline constexpr CLSID CLSID_AsioZavo = {0x5B2E7C41, 0x93AD, 0x4F06, {0x8E, 0x1B, 0x2C, 0x7D, 0x90, 0xA4, 0xF3, 0x56}};

inline constexpr char kModuleFileName[] = "ASIOZavoWDM.dll";
// The name of the driver's key under SOFTWARE\ASIO, and what getDriverName says.
inline constexpr char kDriverName[] = "ASIO Zavo PCI";
inline constexpr char kDriverDescription[] = "ASIO Zavo PCI";
inline constexpr char kThreadingModel[] = "Apartment";
