// The button group counter, in a program of its own so that no earlier
// button has taken an index.
#include "console_fixture.h"

namespace {

using GroupCounterTest = ConsoleTest;

TEST_F(GroupCounterTest, FirstTogglesTakeOneThousandAndOn)
{
    EXPECT_EQ(ButtonGroupCounter, 1000);
    TMonitorMute* mute = AddMonitorMute(0, 0);
    TGang* gang = AddGang(0);
    TPhantomButton* phantom = AddPhantom();
    EXPECT_EQ(mute->GroupIndex(), 1000);
    EXPECT_EQ(gang->GroupIndex(), 1001);
    EXPECT_EQ(phantom->GroupIndex(), 1002);
    EXPECT_EQ(ButtonGroupCounter, 1003);
}

}  // namespace
