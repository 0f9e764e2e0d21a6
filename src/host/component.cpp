#include "host/component.h"

#include <algorithm>

namespace vb {

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner) {
  if (FOwner) FOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

std::size_t TComponent::ComponentCount() const {
  std::lock_guard<std::mutex> Guard(FLock);
  return FComponents.size();
}

void TComponent::DestroyComponents() {
  for (;;) {
    TComponent* Victim = nullptr;
    {
      std::lock_guard<std::mutex> Guard(FLock);
      if (FComponents.empty()) return;
      Victim = FComponents.back();
    }
    // The victim's destructor removes it from this list.
    delete Victim;
  }
}

void TComponent::InsertComponent(TComponent* AComponent) {
  std::lock_guard<std::mutex> Guard(FLock);
  FComponents.push_back(AComponent);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  std::lock_guard<std::mutex> Guard(FLock);
  auto It = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (It != FComponents.end()) FComponents.erase(It);
}

}  // namespace vb
