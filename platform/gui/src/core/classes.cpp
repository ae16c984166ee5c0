// Ownership, removal notifications and the palette record.
#include "gui/classes.h"

#include <algorithm>

TComponent::TComponent(TComponent* AOwner)
{
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent()
{
    Destroying();
    // Those that asked are told first, then the owner's family.
    std::vector<TComponent*> notify;
    notify.swap(freeNotifies_);
    for (TComponent* c : notify) {
        c->RemoveFreeNotification(this);
        c->Notification(this, opRemove);
    }
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Destroying()
{
    if (state_.Contains(csDestroying)) return;
    state_ << csDestroying;
    for (TComponent* c : components_) c->Destroying();
}

void TComponent::DestroyComponents()
{
    for (TComponent* c : components_) c->Destroying();
    while (!components_.empty()) {
        TComponent* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;
        Notification(last, opRemove);
        delete last;
    }
}

void TComponent::InsertComponent(TComponent* component)
{
    if (!component || component->owner_ == this) return;
    if (component->owner_) component->owner_->RemoveComponent(component);
    component->owner_ = this;
    components_.push_back(component);
    Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component)
{
    const auto it = std::find(components_.begin(), components_.end(), component);
    if (it == components_.end()) return;
    components_.erase(it);
    component->owner_ = nullptr;
    Notification(component, opRemove);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation)
{
    if (Operation == opRemove) {
        auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), AComponent);
        if (it != freeNotifies_.end()) freeNotifies_.erase(it);
    }
    // Copy: a handler may free components of the same owner.
    const std::vector<TComponent*> family = components_;
    for (TComponent* c : family)
        if (c != AComponent && std::find(components_.begin(), components_.end(), c) != components_.end())
            c->Notification(AComponent, Operation);
}

void TComponent::Loaded()
{
    state_ >> csLoading;
}

void TComponent::SetDesigning(bool designing)
{
    if (designing) state_ << csDesigning;
    else state_ >> csDesigning;
    for (TComponent* c : components_) c->SetDesigning(designing);
}

void TComponent::BeginLoading()
{
    state_ << csLoading << csReading;
}

void TComponent::EndLoading()
{
    state_ >> csReading;
    Loaded();
}

void TComponent::FreeNotification(TComponent* component)
{
    if (!component || component == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end()) {
        freeNotifies_.push_back(component);
        component->FreeNotification(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    const auto it = std::find(freeNotifies_.begin(), freeNotifies_.end(), component);
    if (it == freeNotifies_.end()) return;
    freeNotifies_.erase(it);
    component->RemoveFreeNotification(this);
}

namespace {
std::vector<TRegisteredComponent>& Registry()
{
    static std::vector<TRegisteredComponent> registry;
    return registry;
}
}  // namespace

void RegisterComponents(std::string_view page, std::initializer_list<TComponentClass> classes)
{
    for (const TComponentClass& c : classes) Registry().push_back(TRegisteredComponent{std::string(page), c});
}

const std::vector<TRegisteredComponent>& RegisteredComponents()
{
    return Registry();
}
