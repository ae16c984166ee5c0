// The console's start-up: the units the program starts and ends, the
// console-wide texts and version record, and WinMain, which picks the one
// card the console shows and runs the window for it.
#pragma once

#include <windows.h>

#include <string>

class TProcessorProbe;

// "Korvane3 Error": the caption of the console's error boxes.
extern const std::string ErrorCaption;
// The program's folder with its trailing separator, in its short form;
// empty until InitProgramDir, and when the folder has no short form.
extern std::string ProgramDir;
// The platform, read once at start-up (1: the Windows 95/98/Me family).
extern OSVERSIONINFOA PlatformVersion;

// The widget units, the probe on `cpu`, and the mixer controls' units; and
// their shut-downs in reverse.
void StartConsoleUnits(TProcessorProbe& cpu);
void StopConsoleUnits();

// From parameter 0.
void InitProgramDir();

// The command line's first argument names the card (else the head of the
// card list is shown). Always 0.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
