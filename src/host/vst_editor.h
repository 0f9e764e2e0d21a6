#pragma once
// The editor window as the module hosts it. The real window (built on the
// platform layer) derives from TVSTEditor; the module creates it through the
// factory named by EditorFormClass on effEditOpen and owns it. All calls are
// made on the host's user-interface thread.

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace vb {

class TCustomVSTModule;

class TVSTEditor {
 public:
  virtual ~TVSTEditor();

  // Client size in pixels.
  virtual std::int32_t ClientWidth() const = 0;
  virtual std::int32_t ClientHeight() const = 0;
  // Makes the window a visible, borderless child of the host's native
  // window, placed at (0, 0) with its own size, and shows its first
  // complete picture before returning (hosts may idle late or never).
  virtual void AttachToParent(void* ParentWindow) = 0;
  // Whether the window lives inside the host's window after
  // AttachToParent. False when it could not get there (no display, the
  // host's window unknown); the module then gives the editor up.
  virtual bool Embedded() const { return true; }
  // Called on every effEditIdle while the editor is open: reads the
  // window's pending events, runs due timers, applies pending updates and
  // presents what changed. Never blocks.
  virtual void Idle() {}
  // True once the editor should be built again, at the scale the screen
  // under it has now: the module then replaces it on the next effEditIdle,
  // in the same parent, and asks the host for the new size.
  virtual bool WantsRebuild() const { return false; }
  // Key messages forwarded from the host, sent to the focused control or
  // the window. Code is a platform key code; WithAlt tells whether the Alt
  // modifier was held (the platform's system-key variant).
  virtual void KeyDown(std::int32_t Code, bool WithAlt);
  virtual void KeyChar(std::int32_t Code);
  virtual void KeyUp(std::int32_t Code, bool WithAlt);
};

// How the module builds its editor window: the window class's factory, and
// the client size its windows have. effEditGetRect answers that size before
// any window exists, because hosts size their own window from it before
// they open the editor. A size of 0 means "not known until a window exists".
// A class whose size depends on the screen (its pixel density) names a
// query instead, asked on the user-interface thread while no window exists.
//
//   SetEditorFormClass({&TMyEditor::Create, 865, 150});
//   SetEditorFormClass({&TMyEditor::Create, &TMyEditor::PreferredSize});
struct TEditorFormClass {
  using TCreate = std::unique_ptr<TVSTEditor> (*)(TCustomVSTModule& Owner);
  using TSizeQuery = void (*)(std::int32_t& ClientWidth, std::int32_t& ClientHeight);

  constexpr TEditorFormClass() = default;
  constexpr TEditorFormClass(std::nullptr_t) {}
  // Any function or capture-free lambda that builds an editor for Owner.
  template <class F>
  requires std::convertible_to<F, TCreate>
  constexpr TEditorFormClass(F Factory, std::int32_t ClientWidth = 0, std::int32_t ClientHeight = 0)
      : Create(Factory), Width(ClientWidth), Height(ClientHeight) {}
  template <class F>
  requires std::convertible_to<F, TCreate>
  constexpr TEditorFormClass(F Factory, TSizeQuery Query) : Create(Factory), SizeQuery(Query) {}

  explicit constexpr operator bool() const { return Create != nullptr; }
  std::unique_ptr<TVSTEditor> operator()(TCustomVSTModule& Owner) const { return Create(Owner); }
  constexpr bool HasSize() const { return SizeQuery != nullptr || (Width > 0 && Height > 0); }
  // The client size a window would have now, in pixels.
  void ClientSize(std::int32_t& ClientWidth, std::int32_t& ClientHeight) const {
    ClientWidth = Width;
    ClientHeight = Height;
    if (SizeQuery != nullptr) SizeQuery(ClientWidth, ClientHeight);
  }

  TCreate Create = nullptr;
  std::int32_t Width = 0;  // pixels
  std::int32_t Height = 0;
  TSizeQuery SizeQuery = nullptr;
};

}  // namespace vb
