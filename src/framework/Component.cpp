#include "framework/Component.h"

#include <algorithm>
#include <cctype>

#include "framework/Exceptions.h"

namespace tv {
namespace {
bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}
}  // namespace

TComponent::TComponent(TComponent* owner) {
  if (owner) {
    if (owner->HasState(csLoading)) state_ |= csLoading;
    if (owner->HasState(csDesigning)) state_ |= csDesigning;
    owner->InsertComponent(this);
  }
}

TComponent::~TComponent() {
  Destroying();
  // Subscribers learn of the end first, while the owned components still exist.
  auto notifies = std::move(freeNotifies_);
  freeNotifies_.clear();
  for (TComponent* c : notifies) {
    auto& list = c->freeNotifies_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    c->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::Free() {
  BeforeDestruction();
  delete this;
}

void TComponent::BeforeDestruction() {
  // What the destructor would do, done while the object is still whole.
  Destroying();
  auto notifies = std::move(freeNotifies_);
  freeNotifies_.clear();
  for (TComponent* c : notifies) {
    auto& list = c->freeNotifies_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    c->Notification(this, opRemove);
  }
  DestroyComponents();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::SetName(const std::string& name) {
  if (name == name_) return;
  if (owner_ && !name.empty()) {
    for (TComponent* c : owner_->components_) {
      if (c != this && SameText(c->name_, name)) throw EComponentError("A component named " + name + " already exists");
    }
  }
  name_ = name;
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) return nullptr;
  return components_[static_cast<std::size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!owner_) return -1;
  auto& list = owner_->components_;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::Insert(TComponent* component) {
  components_.push_back(component);
  component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
  component->owner_ = nullptr;
  components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->owner_ == this) return;
  if (component->owner_) component->owner_->RemoveComponent(component);
  Insert(component);
  NotifyAll(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->owner_ != this) return;
  NotifyAll(component, opRemove);
  Remove(component);
}

void TComponent::NotifyAll(TComponent* component, TOperation operation) {
  // The owner and each of its components hear about the change (a copy: handlers may change it).
  Notification(component, operation);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) {
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component), freeNotifies_.end());
  }
  if (HasState(csDestroying)) return;
  auto list = components_;
  for (TComponent* c : list) {
    if (c == component) continue;
    if (std::find(components_.begin(), components_.end(), c) == components_.end()) continue;
    c->Notification(component, operation);
  }
}

void TComponent::DestroyComponents() {
  // Last created first.
  while (!components_.empty()) {
    TComponent* c = components_.back();
    Remove(c);
    // The siblings that remain may hold references to it.
    auto siblings = components_;
    for (TComponent* s : siblings) s->Notification(c, opRemove);
    c->Free();
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (owner_ == nullptr || component->owner_ != owner_) {
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
      freeNotifies_.push_back(component);
    auto& other = component->freeNotifies_;
    if (std::find(other.begin(), other.end(), this) == other.end()) other.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component), freeNotifies_.end());
  auto& other = component->freeNotifies_;
  other.erase(std::remove(other.begin(), other.end(), this), other.end());
}

void TComponent::BeginLoading() { state_ |= csLoading; }

void TComponent::CollectLoading(std::vector<TComponent*>& out) {
  if (HasState(csLoading)) out.push_back(this);
  for (TComponent* c : components_) c->CollectLoading(out);
}

void TComponent::EndLoading() {
  std::vector<TComponent*> loading;
  CollectLoading(loading);
  std::vector<ComponentGuard> guards;
  guards.reserve(loading.size());
  for (TComponent* c : loading) {
    c->state_ &= ~csLoading;
    guards.emplace_back(c);
  }
  for (std::size_t i = 0; i < loading.size(); ++i) {
    // A Loaded may destroy a later component; skip what no longer exists.
    if (guards[i]) loading[i]->Loaded();
  }
}

void TComponent::Loaded() { state_ &= ~csLoading; }

void TComponent::SetDesigning(bool designing, bool includeOwned) {
  if (designing)
    state_ |= csDesigning;
  else
    state_ &= ~csDesigning;
  if (includeOwned)
    for (TComponent* c : components_) c->SetDesigning(designing, true);
}

}  // namespace tv
