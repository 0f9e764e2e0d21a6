// The two sides of the drive's editor as the processor and the window see
// each other, each through one narrow interface:
// - IDriveEditor: what the processor tells an open editor, one notification
//   that names the parameter whose value changed. The window implements it
//   and attaches itself to the processor's TEditorLink while it exists.
//   Called on the thread that set the parameter (the host's audio thread
//   included); implementations only mark or show a value.
// - IDriveProcessor: what the window may ask of the processor: parameter
//   values, changes with the host's edit gestures around them, the
//   defaults, the meters. Window thread only, unless a method says more.
#pragma once

#include <cstdint>
#include <memory>

#include "processor/drive_parameter.h"

namespace vb {

class TCustomVSTModule;
class TVSTEditor;

class IDriveEditor {
 public:
  virtual ~IDriveEditor() = default;
  // Any thread: Parameter holds a new value (read it back with
  // IDriveProcessor::Value).
  virtual void ParameterChanged(TDriveParameter Parameter) = 0;
};

class IDriveProcessor {
 public:
  virtual ~IDriveProcessor() = default;

  // --- Parameters, in their own units -------------------------------------------
  // Any thread: the value the current program holds.
  virtual float Value(TDriveParameter Parameter) const = 0;
  // Stores Value (its handler runs and the editor hears of it), then
  // reports it to the host as automation.
  virtual void Change(TDriveParameter Parameter, float Value) = 0;
  // Reports Value to the host as automation without storing it.
  virtual void Report(TDriveParameter Parameter, float Value) = 0;
  // The host's touch gestures (amBeginEdit, amEndEdit): a user holds the
  // parameter between the two, and every Change in between belongs to it.
  virtual void BeginEdit(TDriveParameter Parameter) = 0;
  virtual void EndEdit(TDriveParameter Parameter) = 0;
  // Every parameter to its default, in index order (each one reported),
  // then both meters emptied.
  virtual void ResetToDefaults() = 0;
  // Any thread: the factor the resamplers run at (1, 8 or 16).
  virtual int OversamplingFactor() const = 0;

  // --- Meters (any thread), dB ----------------------------------------------------
  virtual float InputLevel() const = 0;
  virtual float OutputLevel() const = 0;
  // Empties a meter until new audio arrives.
  virtual void ResetInputLevel() = 0;
  virtual void ResetOutputLevel() = 0;

  // --- The editor's link ---------------------------------------------------------
  // Notifications reach Editor from Attach until Detach returns (see
  // TEditorLink for the threads).
  virtual void AttachEditor(IDriveEditor& Editor) = 0;
  virtual void DetachEditor(IDriveEditor& Editor) = 0;
};

// How the processor builds its editor window: a factory that gets the
// module the host sees and the processor's narrow side, and the window's
// client size in pixels (what effEditGetRect answers before it opens):
// fixed, or asked of SizeQuery when the window's size depends on the screen.
struct TDriveEditorClass {
  using TCreate = std::unique_ptr<TVSTEditor> (*)(TCustomVSTModule& Owner, IDriveProcessor& Processor);
  using TSizeQuery = void (*)(std::int32_t& ClientWidth, std::int32_t& ClientHeight);
  TCreate Create = nullptr;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  TSizeQuery SizeQuery = nullptr;

  explicit constexpr operator bool() const { return Create != nullptr; }
};

}  // namespace vb
