#pragma once
// TObject and TComponent: ownership (owned components die with their owner, last first), names,
// free notifications, component state (loading, designing, destroying), and a life token so that
// event raisers can tell whether a handler destroyed the sender.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tv {

class TObject {
 public:
  virtual ~TObject() = default;
};

// Sender first, as every event of the framework.
using TNotifyEvent = std::function<void(TObject* Sender)>;

enum TOperation : std::uint8_t { opInsert, opRemove };

using TComponentState = std::uint32_t;
constexpr TComponentState csLoading = 1u << 0;
constexpr TComponentState csReading = 1u << 1;
constexpr TComponentState csWriting = 1u << 2;
constexpr TComponentState csDestroying = 1u << 3;
constexpr TComponentState csDesigning = 1u << 4;

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  ~TComponent() override;

  // Raises what must run while the object is whole (OnDestroy of a form), destroys the owned
  // components, then deletes the object. `delete` works too; Free is the careful way.
  void Free();

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;
  int ComponentIndex() const;  // position in the owner's list, -1 without owner
  TComponent* FindComponent(const std::string& name) const;  // case-insensitive, direct children
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  void DestroyComponents();

  // Asks to be told (Notification with opRemove) when `component` is destroyed. Mutual.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  TComponentState ComponentState() const { return state_; }
  bool HasState(TComponentState s) const { return (state_ & s) != 0; }
  // Loading: property setters may defer work until Loaded runs.
  void BeginLoading();
  // Clears csLoading on this component and every owned component still loading (depth first, in
  // creation order, this one first), then calls their Loaded.
  void EndLoading();
  void SetDesigning(bool designing, bool includeOwned = true);

  std::intptr_t Tag() const { return tag_; }
  void SetTag(std::intptr_t tag) { tag_ = tag; }

  // Runs after the most derived constructor (see Create below); TForm raises OnCreate here.
  virtual void AfterConstruction() {}
  // Runs before destruction while the object is whole.
  virtual void BeforeDestruction();

  // Expires when the object is destroyed.
  std::weak_ptr<void> LifeToken() const { return life_; }

 protected:
  // Sent to the owner's components and to free-notification subscribers.
  virtual void Notification(TComponent* component, TOperation operation);
  virtual void Loaded();
  void Destroying() { state_ |= csDestroying; }

 private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void NotifyAll(TComponent* component, TOperation operation);
  void CollectLoading(std::vector<TComponent*>& out);

  std::string name_;
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  TComponentState state_ = 0;
  std::intptr_t tag_ = 0;
  std::shared_ptr<int> life_ = std::make_shared<int>(0);
};

// Watches a component across a call that may destroy it.
class ComponentGuard {
 public:
  explicit ComponentGuard(const TComponent* c) : token_(c ? c->LifeToken() : std::weak_ptr<void>()) {}
  bool Alive() const { return !token_.expired(); }
  explicit operator bool() const { return Alive(); }

 private:
  std::weak_ptr<void> token_;
};

// Constructs a component and completes its creation (AfterConstruction). If completing throws,
// the half-made object is destroyed and the exception passes on.
template <class T, class... Args>
T* Create(Args&&... args) {
  T* obj = new T(std::forward<Args>(args)...);
  try {
    obj->AfterConstruction();
  } catch (...) {
    delete obj;
    throw;
  }
  return obj;
}

// Calls a copy of the handler (a handler may reassign or destroy the std::function it runs from).
template <class F, class... Args>
void RaiseEvent(const F& handler, Args&&... args) {
  if (!handler) return;
  F copy = handler;
  copy(std::forward<Args>(args)...);
}

}  // namespace tv
