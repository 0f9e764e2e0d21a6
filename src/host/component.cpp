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
  std::lock_guard<std::mutex> guard(FLock);
  return FComponents.size();
}

void TComponent::DestroyComponents() {
  for (;;) {
    TComponent* victim = nullptr;
    {
      std::lock_guard<std::mutex> guard(FLock);
      if (FComponents.empty()) return;
      victim = FComponents.back();
    }
    // The victim's destructor removes it from this list.
    delete victim;
  }
}

void TComponent::InsertComponent(TComponent* AComponent) {
  std::lock_guard<std::mutex> guard(FLock);
  FComponents.push_back(AComponent);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  std::lock_guard<std::mutex> guard(FLock);
  auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (it != FComponents.end()) FComponents.erase(it);
}

}  // namespace vb
