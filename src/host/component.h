#pragma once
// A component that can own other components. Destroying an owner destroys
// everything it still owns; destroying an owned component removes it from
// its owner first. Components must be heap-allocated when they have an
// owner, because the owner deletes them.

#include <mutex>
#include <vector>

namespace vb {

class TComponent {
 public:
  explicit TComponent(TComponent* AOwner);
  virtual ~TComponent();

  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }
  // Number of components currently owned (any thread).
  std::size_t ComponentCount() const;
  // Deletes every owned component, last inserted first.
  void DestroyComponents();

 private:
  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);

  TComponent* FOwner;
  // Modules are created and closed on whatever threads hosts use, possibly
  // several at once, so the list of owned components is guarded. This lock
  // is never taken on an audio path.
  mutable std::mutex FLock;
  std::vector<TComponent*> FComponents;
};

}  // namespace vb
