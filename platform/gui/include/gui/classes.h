// Components: ownership, component state, removal notifications, the
// design-time palette registration and unit start-up counters.
#pragma once

#include "gui/types.h"

#include <string>
#include <string_view>
#include <typeindex>
#include <vector>

enum TComponentStateItem : std::uint8_t { csLoading, csReading, csWriting, csDestroying, csDesigning, csUpdating };
using TComponentState = TSet<TComponentStateItem>;

enum TOperation : std::uint8_t { opInsert, opRemove };

// A component is created with its owner, which frees it. Deleting a
// component takes it out of its owner first and tells the owner's other
// components (Notification with opRemove), and every component that asked
// with FreeNotification.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<std::size_t>(index)); }
    // Frees every owned component, last first.
    void DestroyComponents();
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    TComponentState ComponentState() const { return state_; }
    // Design mode is never set at run time; tests set it.
    void SetDesigning(bool designing);
    // Streaming a stored form: sets csLoading and csReading; ending it clears
    // them and calls Loaded.
    void BeginLoading();
    void EndLoading();

    const std::string& Name() const { return name_; }
    void SetName(std::string_view name) { name_ = name; }
    std::intptr_t Tag = 0;

    // `component` is told (opRemove) when this one is destroyed, even when
    // they have different owners.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // The library's side: removal broadcast and destruction marking.
    void NotifyRemoval(TComponent* removed) { Notification(removed, opRemove); }
    // Marks this component and all it owns as being destroyed, before any
    // of them goes: what they do meanwhile fires no events and paints nothing.
    void Destroying();

protected:
    // The base passes the notification on to every owned component.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void Loaded();
    void IncludeState(TComponentStateItem s) { state_ << s; }
    void ExcludeState(TComponentStateItem s) { state_ >> s; }

private:
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    TComponentState state_;
    std::string name_;
};

// Design-time palette registration: recorded, never acted on.
using TComponentClass = std::type_index;
template <class T>
TComponentClass ClassOf()
{
    return std::type_index(typeid(T));
}
struct TRegisteredComponent {
    std::string Page;
    TComponentClass Class;
};
void RegisterComponents(std::string_view page, std::initializer_list<TComponentClass> classes);
const std::vector<TRegisteredComponent>& RegisteredComponents();

// A unit's start-up and shut-down calls: the work runs on the first start-up
// and on the last shut-down; the others only count.
class TUnitCounter {
public:
    // True for the first start-up.
    bool Startup() { return ++count_ == 1; }
    // True for the last shut-down; false (and no count) when none is open.
    bool Shutdown()
    {
        if (count_ <= 0) return false;
        return --count_ == 0;
    }
    int Count() const { return count_; }

private:
    int count_ = 0;
};
