#include "console/console_units.h"

#include <array>

#include "console/bus_select.h"
#include "console/fader.h"
#include "console/fader_readout.h"
#include "console/input_trim.h"
#include "console/mute.h"
#include "console/nominal.h"
#include "console/pan.h"

namespace {

std::array<TUnitCounter, 7> Counters;

}  // namespace

void RegisterUnit(ConsoleUnit unit)
{
    constexpr const char* Page = "Samples";
    switch (unit) {
    case ConsoleUnit::Fader:
        RegisterComponents(Page, {ClassOf<TMonitorFader>(), ClassOf<TPipeOutFader>(), ClassOf<TBusOutFader>()});
        break;
    case ConsoleUnit::FaderReadout: RegisterComponents(Page, {ClassOf<TFaderReadout>()}); break;
    case ConsoleUnit::Mute:
        RegisterComponents(Page, {ClassOf<TMonitorMute>(), ClassOf<TPipeOutMute>(), ClassOf<TBusOutMute>(),
                                  ClassOf<TGang>()});
        break;
    case ConsoleUnit::Pan: RegisterComponents(Page, {ClassOf<TMonitorPan>(), ClassOf<TPipeOutPan>()}); break;
    case ConsoleUnit::Nominal:
        RegisterComponents(Page,
                           {ClassOf<TNominalInputButton>(), ClassOf<TNominalOutButton>(), ClassOf<TPhantomButton>()});
        break;
    case ConsoleUnit::InputTrim: RegisterComponents(Page, {ClassOf<TInputTrim>()}); break;
    case ConsoleUnit::BusSelect: RegisterComponents(Page, {ClassOf<TBusSelect>()}); break;
    }
}

TUnitCounter& UnitCounter(ConsoleUnit unit) { return Counters.at(static_cast<std::size_t>(unit)); }
