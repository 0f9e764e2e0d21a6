#pragma once
// A GUI window: owns a platform window (platform/platform_window.h), the
// components built on it (controls, image lists, timers) in creation order,
// and the compositor that builds its picture. It routes the platform's input
// to its controls: pointer capture from a press to the last release, hover
// enter/leave, clicks and double clicks, keyboard focus taken by a left press
// on a windowed control, wheel to the focused control.
//
// Idle() is the window's whole life line: it pumps the platform's events,
// fires due timers and repaints what changed. The host's editor idle calls it.
//
// Used from the thread that opened the window only.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/gui_component.h"
#include "gui/gui_compositor.h"
#include "gui/gui_hint.h"
#include "platform/platform_window.h"

namespace vb {

class TGuiControl;
class TGuiTimer;
class TGuiCustomPixelMap;

using TControlNotifyEvent = std::function<void(TGuiControl& Control)>;

class TGuiWindow : public TPlatformWindowListener {
 public:
  explicit TGuiWindow(std::unique_ptr<TPlatformWindow> Platform);
  ~TGuiWindow() override;
  TGuiWindow(const TGuiWindow&) = delete;
  TGuiWindow& operator=(const TGuiWindow&) = delete;

  // --- components ---
  // Builds a component owned by this window (constructor arguments after the
  // owner). Built while loading, it starts in the loading state.
  template <class T, class... TArgs>
  T& Create(TArgs&&... Args) {
    auto component = std::make_unique<T>(this, std::forward<TArgs>(Args)...);
    T& result = *component;
    Insert(std::move(component));
    return result;
  }
  std::size_t ComponentCount() const { return FComponents.size(); }
  const std::vector<TGuiControl*>& Controls() const { return FControls; }
  TGuiComponent* FindComponent(const std::string& Name) const;

  // Applying a layout: components created (or already there) between the two
  // calls are in the loading state; EndLoading runs Loaded on each in
  // creation order, then repaints everything.
  void BeginLoading();
  void EndLoading();
  bool Loading() const { return FLoading; }
  bool Destroying() const { return FDestroying; }

  // --- the window itself ---
  TPlatformWindow& Platform() { return *FPlatform; }
  std::int32_t ClientWidth() const { return FCompositor.Width(); }
  std::int32_t ClientHeight() const { return FCompositor.Height(); }
  void SetClientSize(std::int32_t Width, std::int32_t Height);
  // 0x00BBGGRR or a system colour; controls with ParentColor follow it.
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(std::string Value) { FCaption = std::move(Value); }
  // The screen's pixel density in halves (2: 1x, 3: 1.5x, 4: 2x). The
  // controls are placed in device pixels by their owner; the window's own
  // hint box draws at this density.
  std::int32_t ScaleHalves() const { return FScaleHalves; }
  void SetScaleHalves(std::int32_t Value) { FScaleHalves = Value; }
  void Show();
  void Hide();
  bool Visible() const { return FPlatform->Visible(); }
  void SetOnShow(std::function<void()> Handler) { FOnShow = std::move(Handler); }
  // Runs on the platform's own pulse (pekTimer) instead of Idle(), so that
  // the owner does its whole idle work; without a handler the pulse idles.
  void SetOnPulse(std::function<void()> Handler) { FOnPulse = std::move(Handler); }
  // Runs when the platform reports another screen density (pekScaleChanged).
  void SetOnScaleChanged(std::function<void()> Handler) { FOnScaleChanged = std::move(Handler); }
  // Fired for every control that sends its change notice (a new value).
  void SetOnControlChange(TControlNotifyEvent Handler) { FOnControlChange = std::move(Handler); }

  // --- painting ---
  void Invalidate(const TRect& Area) { FCompositor.Invalidate(Area); }
  void InvalidateAll() { FCompositor.InvalidateAll(); }
  // Composes the dirty areas and presents them.
  void Repaint();
  // Repaints, then copies the window's picture into Dest.
  void CaptureFrame(TGuiCustomPixelMap& Dest);
  const TGuiCompositor& Compositor() const { return FCompositor; }

  // --- pumping ---
  // Platform events, then due timers, then the repaint.
  void Idle();
  std::uint64_t NowMilliseconds() const { return FPlatform->NowMilliseconds(); }

  // --- input state and pointer services ---
  // Keys and buttons held at the moment of the event being handled (the
  // platform's current state outside of event handling).
  TShiftState KeyboardState() const;
  TGuiControl* FocusedControl() const { return FFocused; }
  void FocusControl(TGuiControl* Control);
  TGuiControl* CapturedControl() const { return FCaptured; }
  // The topmost visible, enabled control at Point (client pixels), or null.
  TGuiControl* ControlAt(TPoint Point) const;
  void SetPointerHidden(bool Hidden);
  bool PointerHidden() const { return FPointerHidden; }
  // Moves the pointer to Point in client pixels.
  void WarpPointer(TPoint Point) { FPlatform->WarpPointer(Point); }
  // The hint of the control under the pointer when it shows hints, else "".
  std::string ActiveHint() const;
  // Whether the hint box is shown (after the pointer rested on a control
  // with ShowHint; drawn above all controls), and where.
  bool HintVisible() const;
  TRect HintBounds() const;

  // --- platform events ---
  void OnPlatformEvent(const TPlatformEvent& Event) override;

  // --- notices from controls ---
  void ControlChanged(TGuiControl& Control);
  void ControlBoundsChanged(TGuiControl& Control, const TRect& OldBounds);
  void ControlVisibilityChanged(TGuiControl& Control);
  void PaintBackdrop(const TGuiControl& Control, TCanvas& Canvas);

 private:
  void Insert(std::unique_ptr<TGuiComponent> Component);
  void MouseDown(const TPlatformEvent& Event);
  void MouseUp(const TPlatformEvent& Event);
  void MouseMove(const TPlatformEvent& Event);
  void MouseWheel(const TPlatformEvent& Event);
  void Key(const TPlatformEvent& Event);
  void UpdateHover(TGuiControl* Control);
  void ReleaseCapture();
  // The platform ended the capture: the drag ends without a release.
  void CaptureLost();
  // Transparent windowed controls above a changed windowless area rebuild
  // their backdrop.
  void RefreshBackdropsAbove(const TGuiControl& Control, const TRect& Area);
  void Present(const TRect& Area);
  // Shows or hides the hint box as the pointer's rest asks (from Idle).
  void UpdateHint(std::uint64_t NowMs);
  void HideHint();

  std::unique_ptr<TPlatformWindow> FPlatform;
  TGuiCompositor FCompositor;
  std::vector<std::unique_ptr<TGuiComponent>> FComponents;
  std::vector<TGuiControl*> FControls;
  std::vector<TGuiTimer*> FTimers;
  std::string FCaption;
  std::function<void()> FOnShow;
  std::function<void()> FOnPulse;
  std::function<void()> FOnScaleChanged;
  TControlNotifyEvent FOnControlChange;
  TGuiControl* FFocused = nullptr;
  TGuiControl* FCaptured = nullptr;
  TGuiControl* FHovered = nullptr;
  TGuiControl* FClickCandidate = nullptr;
  const TPlatformEvent* FCurrentEvent = nullptr;
  std::unique_ptr<TGuiHint> FHint;  // made when first needed
  std::int32_t FScaleHalves = 2;
  TGuiControl* FHintControl = nullptr;
  TPoint FPointer;
  std::uint64_t FHoverSince = 0;
  std::uint64_t FHintShownAt = 0;
  bool FHintDone = false;
  TShiftState FButtonsDown = 0;
  TColor FColor;
  bool FLoading = false;
  bool FDestroying = false;
  bool FPointerHidden = false;
};

}  // namespace vb
