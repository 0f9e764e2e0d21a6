#pragma once
// The base of everything a GUI window owns: controls, image lists, timers.
// A component knows its window and two states: loading (a layout is being
// applied: setters store values and fire no change events; Loaded runs on
// each component when it ends) and destroying.
//
// Used from the thread that owns the window only.

#include <cstdint>
#include <functional>
#include <string>

namespace vb {

class TGuiWindow;
class TGuiComponent;

using TNotifyEvent = std::function<void(TGuiComponent& Sender)>;

using TComponentState = std::uint32_t;
constexpr TComponentState csLoading = 1u << 0;
constexpr TComponentState csDestroying = 1u << 1;

class TGuiComponent {
 public:
  // Owner may be null: a free component that nobody paints or routes input to.
  explicit TGuiComponent(TGuiWindow* Owner) : FOwner(Owner) {}
  virtual ~TGuiComponent() = default;
  TGuiComponent(const TGuiComponent&) = delete;
  TGuiComponent& operator=(const TGuiComponent&) = delete;

  TGuiWindow* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(std::string Name) { FName = std::move(Name); }

  TComponentState ComponentState() const { return FComponentState; }
  bool Loading() const { return (FComponentState & csLoading) != 0; }
  bool Destroying() const { return (FComponentState & csDestroying) != 0; }

  // Enters the loading state (the window does this for the components it
  // creates while its layout is applied).
  void BeginLoading() { FComponentState |= csLoading; }
  // Ends the loading state; descendants finish their set-up after calling it.
  virtual void Loaded() { FComponentState &= ~csLoading; }
  // Marks the component as being destroyed: no events fire from now on.
  void BeginDestroy() { FComponentState |= csDestroying; }

 private:
  TGuiWindow* FOwner;
  std::string FName;
  TComponentState FComponentState = 0;
};

}  // namespace vb
