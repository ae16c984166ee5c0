// Discovery of the cards and the list that owns them.
#include <algorithm>
#include <string>

#include "daveror_list.h"
#include "device_fixture.h"

class CardListTest : public DeviceTest {};

TEST_F(CardListTest, DefaultMachineHasItsOneCard)
{
    CDaverorList list;
    ASSERT_EQ(list.GetCount(), 1u);
    CDaveror* card = list.GetCard(0);
    ASSERT_NE(card, nullptr);
    EXPECT_STREQ(card->GetCardName(), "Zavo24 8x8");
    EXPECT_EQ(card->Caps().OutputPipes, 16);
    EXPECT_EQ(card->Caps().InputPipes, 16);
    EXPECT_EQ(card->Caps().OutputBusses, 16);
    EXPECT_EQ(card->Caps().InputBusses, 16);
    EXPECT_STREQ(card->GetPath(), Machine().InterfacePath(0).c_str());
    EXPECT_EQ(list.GetCard(1), nullptr);
}

TEST_F(CardListTest, NewestFirstAndAbsentCardsDropped)
{
    Boot(machine_testing::Cards({"zavo24-10", "absent", "zavo24-50", "tarnex-90"}));
    CDaverorList list;
    ASSERT_EQ(list.GetCount(), 3u);
    EXPECT_STREQ(list.GetCard(0)->GetPath(), Machine().InterfacePath(3).c_str());
    EXPECT_STREQ(list.GetCard(1)->GetPath(), Machine().InterfacePath(2).c_str());
    EXPECT_STREQ(list.GetCard(2)->GetPath(), Machine().InterfacePath(0).c_str());
    EXPECT_EQ(list.GetCard(3), nullptr);
    EXPECT_EQ(list.GetCard(0)->Caps().Family, 0x90);
}

TEST_F(CardListTest, KeepOnlyKeepsTheSetForRestart)
{
    Boot(machine_testing::Cards({"default", "zavo24-70"}));
    CDaverorList list;
    ASSERT_EQ(list.GetCount(), 2u);
    CDaveror* chosen = list.GetCard(1);
    list.KeepOnly(chosen);
    EXPECT_EQ(list.GetCard(0), chosen);
    EXPECT_EQ(list.GetCard(1), nullptr);
    EXPECT_NE(list.GetDeviceSet(), INVALID_HANDLE_VALUE);
    // The card's device node still answers: the restart reaches its card driver.
    EXPECT_EQ(chosen->RestartDriver(), 1);
}

TEST_F(CardListTest, KeepOnlyNothingDestroysTheSet)
{
    CDaverorList list;
    HDEVINFO set = list.GetDeviceSet();
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    list.KeepOnly(nullptr);
    EXPECT_EQ(list.GetCard(0), nullptr);
    EXPECT_EQ(list.GetDeviceSet(), INVALID_HANDLE_VALUE);
    SP_DEVINFO_DATA node{};
    node.cbSize = sizeof node;
    EXPECT_FALSE(SetupDiEnumDeviceInfo(set, 0, &node));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(CardListTest, NoCards)
{
    Boot(machine_testing::Cards({"absent"}));
    CDaverorList list;
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(list.GetCard(0), nullptr);
}

TEST_F(CardListTest, InterfaceDetailSizes)
{
    SP_DEVICE_INTERFACE_DETAIL_DATA_A* detail = CDaverorList::GetInterfaceDetail(Set(), 0);
    ASSERT_NE(detail, nullptr);
    EXPECT_STREQ(detail->DevicePath, Machine().InterfacePath(0).c_str());
    CDaverorList::FreeInterfaceDetail(detail);
    EXPECT_EQ(CDaverorList::GetInterfaceDetail(Set(), 1), nullptr);
    EXPECT_EQ(CDaverorList::GetInterfaceDetail(INVALID_HANDLE_VALUE, 0), nullptr);
}

// Every card of the machine added as the wave driver adds them, from UTF-16 paths.
void AddEveryCard(const machine_testing::TestMachine& machine, CDaverorList& list)
{
    for (std::size_t i = 0; i < machine.CardCount(); ++i) {
        std::string path = machine.InterfacePath(i);
        std::u16string wide(path.begin(), path.end());
        ASSERT_NE(list.AddCard(wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(WCHAR))), nullptr);
    }
}

TEST_F(CardListTest, WaveDriverCardsFromPaths)
{
    Boot(machine_testing::Cards({"default", "absent", "zavo24-60"}));
    CDaverorList list{CDaverorList::Empty{}};
    AddEveryCard(Machine(), list);
    ASSERT_EQ(list.GetCount(), 3u);
    EXPECT_STREQ(list.GetCard(0)->GetPath(), Machine().InterfacePath(2).c_str());
    EXPECT_TRUE(list.GetCard(0)->IsWaveCard());
    EXPECT_EQ(Hooks(0).OpenFiles() + Hooks(2).OpenFiles(), 0u);

    list.RemoveUnusable();
    ASSERT_EQ(list.GetCount(), 2u);
    EXPECT_STREQ(list.GetCard(0)->GetPath(), Machine().InterfacePath(2).c_str());
    EXPECT_STREQ(list.GetCard(1)->GetPath(), Machine().InterfacePath(0).c_str());
    EXPECT_EQ(list.GetCard(0)->Caps().Family, 0x60);
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0u);
}

TEST_F(CardListTest, KeepFirstDestroysTheCardsPastIt)
{
    Boot(machine_testing::Cards({"default", "zavo24-50", "zavo24-60"}));
    for (DWORD keep : {4u, 3u, 2u, 0u}) {
        CDaverorList list{CDaverorList::Empty{}};
        AddEveryCard(Machine(), list);
        list.KeepFirst(keep);
        const DWORD kept = std::min(keep, 3u);
        ASSERT_EQ(list.GetCount(), kept) << keep;
        // The head is the card added last.
        for (DWORD k = 0; k < kept; ++k) EXPECT_STREQ(list.GetCard(k)->GetPath(), Machine().InterfacePath(2 - k).c_str());
        EXPECT_EQ(list.GetCard(kept), nullptr);
    }
}
