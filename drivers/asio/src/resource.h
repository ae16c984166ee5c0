// The numbers of the library's resources and of the control panel's controls.
#pragma once

#include <windows.h>

constexpr WORD IDD_CONTROL_PANEL = 101;
constexpr WORD IDB_CONTROL_PANEL = 109;  // the panel's picture

// Radio button IDC_BUFFER_64 + k stands for 64 x 2^k frames, k = 0 to 8.
constexpr int IDC_BUFFER_64 = 1000;
constexpr int IDC_BUFFER_256 = 1002;
constexpr int IDC_BUFFER_16384 = 1008;
constexpr int IDC_96KHZ_ONLY = 1013;
constexpr int IDC_DIRECT_MONITORING = 1014;
constexpr int IDC_SHORT_NAMES = 1015;
