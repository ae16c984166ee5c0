// Ownership, removal notifications, component state and registration.
#include <gui_testing/gui_test.h>

#include <algorithm>

namespace {

class Watcher : public TComponent {
public:
    Watcher(TComponent* owner, std::vector<std::string>* log, std::string name) : TComponent(owner), log_(log)
    {
        SetName(name);
    }
    ~Watcher() override { log_->push_back("free " + Name()); }

protected:
    void Notification(TComponent* c, TOperation op) override
    {
        TComponent::Notification(c, op);
        if (op == opRemove) log_->push_back(Name() + " hears " + c->Name());
    }

private:
    std::vector<std::string>* log_;
};

}  // namespace

TEST(Components, OwnerFreesWhatItOwnsLastFirstAndTellsTheFamily)
{
    std::vector<std::string> log;
    auto* owner = new TComponent(nullptr);
    new Watcher(owner, &log, "a");
    auto* b = new Watcher(owner, &log, "b");
    new Watcher(owner, &log, "c");
    EXPECT_EQ(owner->ComponentCount(), 3);
    delete b;
    EXPECT_EQ(owner->ComponentCount(), 2);
    // b's removal reaches its siblings.
    EXPECT_EQ(std::count(log.begin(), log.end(), "a hears b"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "c hears b"), 1);
    log.clear();
    delete owner;
    const auto at = [&](const char* e) { return std::find(log.begin(), log.end(), e) - log.begin(); };
    EXPECT_LT(at("free c"), at("free a")) << "last first";
    EXPECT_LT(at("a hears c"), at("free c")) << "the family hears before the free";
    EXPECT_EQ(std::count(log.begin(), log.end(), "free a"), 1);
}

TEST(Components, FreeNotificationReachesAcrossOwners)
{
    std::vector<std::string> log;
    TComponent first(nullptr), second(nullptr);
    auto* watcher = new Watcher(&first, &log, "w");
    auto* watched = new Watcher(&second, &log, "x");
    watched->FreeNotification(watcher);
    delete watched;
    EXPECT_EQ(std::count(log.begin(), log.end(), "w hears x"), 1);
}

TEST(Components, DesigningIsSetOnlyOnRequestAndReachesOwnedComponents)
{
    TComponent owner(nullptr);
    auto* child = new TComponent(&owner);
    EXPECT_FALSE(child->ComponentState().Contains(csDesigning));
    owner.SetDesigning(true);
    EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
    owner.SetDesigning(false);
    EXPECT_FALSE(owner.ComponentState().Contains(csDesigning));
}

TEST(Components, LoadingStateEndsWithLoaded)
{
    TComponent c(nullptr);
    c.BeginLoading();
    EXPECT_TRUE(c.ComponentState().Contains(csLoading));
    EXPECT_TRUE(c.ComponentState().Contains(csReading));
    c.EndLoading();
    EXPECT_TRUE(c.ComponentState().Empty());
}

TEST(Components, RegistrationIsRecordedOnly)
{
    const std::size_t before = RegisteredComponents().size();
    RegisterComponents("Samples", {ClassOf<TLabel>(), ClassOf<TButton>()});
    RegisterComponents("Custom", {ClassOf<TImage>()});
    const auto& all = RegisteredComponents();
    ASSERT_EQ(all.size(), before + 3);
    EXPECT_EQ(all[before].Page, "Samples");
    EXPECT_EQ(all[before + 1].Class, ClassOf<TButton>());
    EXPECT_EQ(all[before + 2].Page, "Custom");
}

TEST(Components, UnitCounterWorksOnFirstStartupAndLastShutdown)
{
    TUnitCounter unit;
    EXPECT_TRUE(unit.Startup());
    EXPECT_FALSE(unit.Startup());
    EXPECT_FALSE(unit.Shutdown());
    EXPECT_TRUE(unit.Shutdown());
    EXPECT_FALSE(unit.Shutdown()) << "none open";
    EXPECT_EQ(unit.Count(), 0);
}

TEST(Components, EventSlotsFireACopySoAHandlerMayRebindItself)
{
    TNotifyEvent slot;
    int calls = 0;
    std::string captured = "kept alive by the copy";
    slot = [&, captured](TObject*) {
        slot = nullptr;  // destroys the slot's own target
        calls += static_cast<int>(captured.size() > 0);
    };
    InvokeEvent(slot, nullptr);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(slot);
}

namespace {

// What a control heard while its family went.
struct Heard {
    bool removal = false, destroying = false, showing = true;
    int paints = 0;
};

// Hears of its family's removals, and repaints at once when it does.
class RefreshingSibling : public TCustomControl {
public:
    RefreshingSibling(TComponent* owner, Heard* heard) : TCustomControl(owner), heard_(heard) {}

protected:
    void Notification(TComponent* c, TOperation op) override
    {
        TCustomControl::Notification(c, op);
        if (op != opRemove) return;
        heard_->removal = true;
        heard_->destroying = ComponentState().Contains(csDestroying);
        heard_->showing = Showing();
        Refresh();
    }
    void Paint() override { ++heard_->paints; }

private:
    Heard* heard_;
};

}  // namespace

// A form being freed marks everything it owns first, so that what its
// controls do while their siblings go paints nothing.
using gui_testing::GuiTest;

TEST_F(GuiTest, EverythingAFormOwnsIsMarkedBeforeAnyOfItGoes)
{
    Heard heard;
    TForm* form = NewForm();
    auto* sibling = new RefreshingSibling(form, &heard);
    sibling->SetParent(form);
    sibling->SetBounds(0, 0, 20, 20);
    auto* label = new TLabel(form);
    label->SetParent(form);
    form->Show();
    Application->ProcessMessages();
    ASSERT_GT(heard.paints, 0);
    heard.paints = 0;
    delete form;
    EXPECT_TRUE(heard.removal);
    EXPECT_TRUE(heard.destroying);
    EXPECT_FALSE(heard.showing);
    EXPECT_EQ(heard.paints, 0);
}
