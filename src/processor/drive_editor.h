// What the drive's editor window offers the module: one operation per
// parameter that brings the matching control to the parameter's current
// value (read back with GetParameter). The window class implements it next
// to TVSTEditor and attaches itself to the module's TEditorLink while it
// exists. Called on the thread that set the parameter; implementations only
// store control values and ask for repaints.
#pragma once

namespace vb {

class IDriveEditor {
 public:
  virtual ~IDriveEditor() = default;

  virtual void UpdateInput() = 0;
  virtual void UpdateDrive() = 0;
  virtual void UpdateTrim() = 0;
  virtual void UpdateCurveForm() = 0;
  virtual void UpdateHiPass() = 0;
  virtual void UpdateFreq() = 0;
  virtual void UpdateLoPass() = 0;
  virtual void UpdateLow() = 0;
  virtual void UpdateMid() = 0;
  virtual void UpdateHigh() = 0;
  virtual void UpdatePres() = 0;
  virtual void UpdateDryWet() = 0;
  virtual void UpdateOutput() = 0;
  virtual void UpdatePower() = 0;
  virtual void UpdateStereo() = 0;
  virtual void UpdateAsymmetric() = 0;
  virtual void UpdateOversampling() = 0;
};

}  // namespace vb
