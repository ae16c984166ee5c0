// The units of the console's controls. Each registers its classes on the
// design-time component palette page "Samples", which the program never
// does; their start-up and shut-down hooks only count their runs.
#pragma once

#include <vcl.h>

enum class ConsoleUnit { Fader, FaderReadout, Mute, Pan, Nominal, InputTrim, BusSelect };

void RegisterUnit(ConsoleUnit unit);
TUnitCounter& UnitCounter(ConsoleUnit unit);
