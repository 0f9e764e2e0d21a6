// The processor as its editor window sees it: IDriveProcessor answered by
// the drive module. The window holds this narrow side only, so it never
// needs the module's concrete class. Threads as IDriveProcessor says.
#pragma once

#include "processor/drive_editor.h"

namespace vb {

class TProcessModule;

class TDriveEditorPort final : public IDriveProcessor {
 public:
  explicit TDriveEditorPort(TProcessModule& Module) : FModule(Module) {}

  float Value(TDriveParameter Parameter) const override;
  void Change(TDriveParameter Parameter, float Value) override;
  void Report(TDriveParameter Parameter, float Value) override;
  void BeginEdit(TDriveParameter Parameter) override;
  void EndEdit(TDriveParameter Parameter) override;
  void ResetToDefaults() override;
  int OversamplingFactor() const override;
  float InputLevel() const override;
  float OutputLevel() const override;
  void ResetInputLevel() override;
  void ResetOutputLevel() override;
  void AttachEditor(IDriveEditor& Editor) override;
  void DetachEditor(IDriveEditor& Editor) override;

 private:
  TProcessModule& FModule;
};

}  // namespace vb
