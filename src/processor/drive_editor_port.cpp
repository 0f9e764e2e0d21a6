#include "processor/drive_editor_port.h"

#include "processor/process_module.h"

namespace vb {

float TDriveEditorPort::Value(TDriveParameter Parameter) const { return FModule.GetParameter(Parameter); }

void TDriveEditorPort::Change(TDriveParameter Parameter, float Value) { FModule.SetParameter(Parameter, Value); }

void TDriveEditorPort::Report(TDriveParameter Parameter, float Value) { FModule.AutomateParameter(Parameter, Value); }

void TDriveEditorPort::BeginEdit(TDriveParameter Parameter) { FModule.BeginEdit(Parameter); }

void TDriveEditorPort::EndEdit(TDriveParameter Parameter) { FModule.EndEdit(Parameter); }

void TDriveEditorPort::ResetToDefaults() { FModule.SetParamsToDefault(); }

int TDriveEditorPort::OversamplingFactor() const { return FModule.OSFactor(); }

float TDriveEditorPort::InputLevel() const { return FModule.InputPeakLevel(); }

float TDriveEditorPort::OutputLevel() const { return FModule.OutputPeakLevel(); }

void TDriveEditorPort::ResetInputLevel() { FModule.SetInputPeakLevel(TProcessModule::kMeterResetLevel); }

void TDriveEditorPort::ResetOutputLevel() { FModule.SetOutputPeakLevel(TProcessModule::kMeterResetLevel); }

void TDriveEditorPort::AttachEditor(IDriveEditor& Editor) { FModule.EditorLink().Attach(&Editor); }

void TDriveEditorPort::DetachEditor(IDriveEditor& Editor) { FModule.EditorLink().Detach(&Editor); }

}  // namespace vb
