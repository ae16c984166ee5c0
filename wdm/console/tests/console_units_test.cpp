// The control units' design-time registration and their counting hooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <typeindex>

#include "console/bus_select.h"
#include "console/console_units.h"
#include "console/fader.h"
#include "console/fader_readout.h"
#include "console/input_trim.h"
#include "console/mute.h"
#include "console/nominal.h"
#include "console/pan.h"

namespace {

bool OnSamples(TComponentClass c)
{
    const auto& all = RegisteredComponents();
    return std::ranges::any_of(all, [c](const TRegisteredComponent& r) { return r.Class == c && r.Page == "Samples"; });
}

TEST(ConsoleUnits, EachRegistersItsClassesOnSamples)
{
    struct Case {
        ConsoleUnit unit;
        std::vector<TComponentClass> classes;
    };
    const Case cases[] = {
        {ConsoleUnit::Fader, {ClassOf<TMonitorFader>(), ClassOf<TPipeOutFader>(), ClassOf<TBusOutFader>()}},
        {ConsoleUnit::FaderReadout, {ClassOf<TFaderReadout>()}},
        {ConsoleUnit::Mute, {ClassOf<TMonitorMute>(), ClassOf<TPipeOutMute>(), ClassOf<TBusOutMute>(), ClassOf<TGang>()}},
        {ConsoleUnit::Pan, {ClassOf<TMonitorPan>(), ClassOf<TPipeOutPan>()}},
        {ConsoleUnit::Nominal, {ClassOf<TNominalInputButton>(), ClassOf<TNominalOutButton>(), ClassOf<TPhantomButton>()}},
        {ConsoleUnit::InputTrim, {ClassOf<TInputTrim>()}},
        {ConsoleUnit::BusSelect, {ClassOf<TBusSelect>()}},
    };
    for (const Case& c : cases) {
        for (TComponentClass cls : c.classes)
            EXPECT_FALSE(OnSamples(cls)) << "nothing registers before it is asked";
        RegisterUnit(c.unit);
        for (TComponentClass cls : c.classes)
            EXPECT_TRUE(OnSamples(cls)) << cls.name();
    }
}

TEST(ConsoleUnits, StartUpsOnlyCount)
{
    TUnitCounter& mute = UnitCounter(ConsoleUnit::Mute);
    EXPECT_TRUE(mute.Startup());
    EXPECT_FALSE(mute.Startup());
    EXPECT_EQ(mute.Count(), 2);
    EXPECT_EQ(UnitCounter(ConsoleUnit::Pan).Count(), 0) << "each unit its own";
    EXPECT_FALSE(mute.Shutdown());
    EXPECT_TRUE(mute.Shutdown());
}

}  // namespace
