// The library's resources: the control panel's dialog and the version
// block. The panel's picture, bitmap 109, is drawn when the panel is first
// shown on a display (panel_display.cpp).
#include "resource.h"

namespace {

constexpr DWORD RADIO = BS_AUTORADIOBUTTON | BS_LEFT | BS_VCENTER | WS_TABSTOP;
constexpr DWORD CHECK_BOX = BS_AUTOCHECKBOX | WS_TABSTOP;

// In template order. No control carries WS_GROUP: the nine sizes are one
// group across the group box among them, so that a click on any unchecks
// the other eight.
constexpr win32::DialogItemTemplate kControlPanelItems[] = {
    {IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, "OK", 200, 95, 50, 14},
    {IDCANCEL, "Button", BS_PUSHBUTTON | WS_TABSTOP, "Cancel", 200, 120, 50, 14},
    {IDC_BUFFER_64 + 0, "Button", RADIO, "64 samples", 20, 20, 55, 10},
    {IDC_BUFFER_64 + 1, "Button", RADIO, "128 samples", 20, 34, 55, 10},
    {-1, "Button", BS_GROUPBOX, "Buffer size", 15, 10, 80, 136},
    {IDC_BUFFER_64 + 2, "Button", RADIO, "256 samples", 20, 48, 55, 10},
    {IDC_BUFFER_64 + 3, "Button", RADIO, "512 samples", 20, 62, 55, 10},
    {IDC_BUFFER_64 + 4, "Button", RADIO, "1,024 samples", 20, 76, 61, 10},
    {IDC_BUFFER_64 + 5, "Button", RADIO, "2,048 samples", 20, 90, 61, 10},
    {IDC_BUFFER_64 + 6, "Button", RADIO, "4,096 samples", 20, 104, 61, 10},
    {IDC_BUFFER_64 + 7, "Button", RADIO, "8,192 samples", 20, 118, 61, 10},
    {IDC_BUFFER_64 + 8, "Button", RADIO, "16,384 samples", 20, 132, 65, 10},
    {-1, "Button", BS_GROUPBOX, "Configuration", 105, 10, 140, 60},
    {IDC_DIRECT_MONITORING, "Button", CHECK_BOX, "Enable ASIO 2.0 Direct Monitoring", 111, 25, 124, 10},
    {IDC_96KHZ_ONLY, "Button", CHECK_BOX, "Show 96 kHz-capable cards only", 111, 40, 120, 10},
    {IDC_SHORT_NAMES, "Button", CHECK_BOX, "Short channel names", 111, 55, 83, 10},
    {-1, "Static", SS_BITMAP, win32::NameOrOrdinal::Ordinal(IDB_CONTROL_PANEL), 105, 85, 84, 55},
};

constexpr win32::DialogTemplate kControlPanel = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, "ASIO Zavo WDM", 262, 156, "MS Sans Serif", 8,
    kControlPanelItems};

constexpr win32::DialogResource kDialogs[] = {
    {win32::NameOrOrdinal::Ordinal(IDD_CONTROL_PANEL), &kControlPanel},
};

// The build gives the project's version, the file's and the product's alike.
constexpr DWORD VERSION_MS = (ZAVO_VERSION_MAJOR << 16) | ZAVO_VERSION_MINOR;
constexpr DWORD VERSION_LS = (ZAVO_VERSION_PATCH << 16) | ZAVO_VERSION_TWEAK;

constexpr win32::VersionString kVersionTexts[] = {
    {"FileDescription", "Zavo ASIO driver for PCI hardware"},
    {"OriginalFilename", "ASIOZavoWDM.dll"},
};

constexpr win32::VersionResource kVersion = {
    {VS_FFI_SIGNATURE, VS_FFI_STRUCVERSION, VERSION_MS, VERSION_LS, VERSION_MS, VERSION_LS, VS_FFI_FILEFLAGSMASK, 0,
     VOS_NT_WINDOWS32, VFT_DLL, 0, 0, 0},
    0x0409,  // U.S. English
    0x04B0,  // Unicode
    kVersionTexts};

}  // namespace

// The stand-in for the library's resource section; no export of the driver's own.
extern "C" const win32::ModuleResources ModuleResourceTable = {kDialogs, &kVersion};
