#include "params/vst_module_with_programs.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "error/error.h"
#include "params/parameter_number_format.h"
#include "params/parameter_text_parser.h"
#include "params/parameters_description.h"
#include "platform/locale_decimal_separator.h"

namespace vb {

TVSTModuleWithPrograms::TVSTModuleWithPrograms(TComponent* AOwner)
    : TVSTModuleWithMidi(AOwner), FDecimalSeparator(UserDecimalSeparator()) {}

TVSTModuleWithPrograms::~TVSTModuleWithPrograms() = default;

// ---------------------------------------------------------------------------
// Counts and value storage

void TVSTModuleWithPrograms::SetNumParams() { FEffect.numParams = FParameterProperties.Count(); }

void TVSTModuleWithPrograms::SetNumPrograms() { FEffect.numPrograms = FPrograms.Count(); }

void TVSTModuleWithPrograms::ParameterCountChanged(std::int32_t Count) {
  FEffect.numParams = Count;
  if (ProgramChunksEnabled()) return;
  if (FPrograms.Count() > 0)
    FPrograms.SetParameterCount(Count);
  else
    FParameter.Resize(Count);
}

void TVSTModuleWithPrograms::ProgramCountChanged(std::int32_t Count) {
  FEffect.numPrograms = Count;
  const std::int32_t current = CurrentProgram();
  if (Count > 0 && current < 0) {
    SetCurrentProgram(0);
  } else if (current >= Count) {
    // The current program was removed: keep the index inside the list.
    FCurrentProgram.store(Count - 1, std::memory_order_relaxed);
  }
}

bool TVSTModuleWithPrograms::ProgramChunksEnabled() const { return HasFlag(effFlagsProgramChunks); }

TVstProgram* TVSTModuleWithPrograms::ActiveProgram() {
  const std::int32_t current = CurrentProgram();
  return FPrograms.IsValidIndex(current) ? &FPrograms[current] : nullptr;
}

const TVstProgram* TVSTModuleWithPrograms::ActiveProgram() const {
  const std::int32_t current = CurrentProgram();
  return FPrograms.IsValidIndex(current) ? &FPrograms[current] : nullptr;
}

// ---------------------------------------------------------------------------
// Effect side

float TVSTModuleWithPrograms::GetParameter(std::int32_t Index) const {
  if (ProgramChunksEnabled())
    return OnGetChunkParameter ? OnGetChunkParameter(*const_cast<TVSTModuleWithPrograms*>(this), Index) : 0.0f;
  if (const TVstProgram* program = ActiveProgram()) return program->GetParameter(Index);
  return FParameter.IsValidIndex(Index) ? FParameter.Get(Index) : 0.0f;
}

void TVSTModuleWithPrograms::StoreParameter(std::int32_t Index, float Value) {
  if (!IsValidParameterIndex(Index)) throw EParameterError(TErrorCode::ecIndexOutOfBounds, std::to_string(Index));
  TCustomVstParameterProperty& description = FParameterProperties[Index];
  auto runEvents = [&](float& V) {
    if (description.OnParameterChange) description.OnParameterChange(*this, Index, V);
    if (OnParameterChange) OnParameterChange(*this, Index, V);
  };
  if (ProgramChunksEnabled()) {
    runEvents(Value);
  } else if (TVstProgram* program = ActiveProgram()) {
    program->SetParameter(Index, Value);
    float v = program->GetParameter(Index);  // what the program actually holds
    runEvents(v);
    program->SetParameter(Index, v);
  } else if (FParameter.IsValidIndex(Index)) {
    FParameter.Set(Index, Value);
    float v = FParameter.Get(Index);
    runEvents(v);
    FParameter.Set(Index, v);
  }
  SetEditorNeedUpdate(true);
}

void TVSTModuleWithPrograms::SetParameter(std::int32_t Index, float Value) {
  if (!IsValidParameterIndex(Index)) return;
  StoreParameter(Index, Value);
  AutomateParameter(Index, Value);
}

void TVSTModuleWithPrograms::AutomateParameter(std::int32_t Index, float Value) const {
  if (!IsValidParameterIndex(Index)) return;
  const TCustomVstParameterProperty& description = FParameterProperties[Index];
  if (description.CanBeAutomated) SetParameterAutomated(Index, description.Parameter2VSTParameter(Value));
}

float TVSTModuleWithPrograms::GetVSTParameter(std::int32_t Index) const {
  if (!IsValidParameterIndex(Index)) return 0.0f;
  return FParameterProperties[Index].Parameter2VSTParameter(GetParameter(Index));
}

void TVSTModuleWithPrograms::SetVSTParameter(std::int32_t Index, float Normalised) {
  if (!IsValidParameterIndex(Index) || std::isnan(Normalised)) return;
  TCustomVstParameterProperty& description = FParameterProperties[Index];
  StoreParameter(Index, description.VSTParameter2Parameter(Normalised));
  if (description.CanBeAutomated) SetParameterAutomated(Index, std::clamp(Normalised, 0.0f, 1.0f));
}

float TVSTModuleWithPrograms::GetParameterByName(const std::string& Name) const {
  if (FParameterProperties.Count() == 0) throw EParameterError(TErrorCode::ecNoParameter);
  const std::int32_t index = FParameterProperties.IndexOfName(Name);
  if (index < 0) throw EParameterError(TErrorCode::ecUnknownParameterName, Name);
  return GetParameter(index);
}

void TVSTModuleWithPrograms::SetParameterByName(const std::string& Name, float Value) {
  if (FParameterProperties.Count() == 0) throw EParameterError(TErrorCode::ecNoParameter);
  const std::int32_t index = FParameterProperties.IndexOfName(Name);
  if (index < 0) throw EParameterError(TErrorCode::ecUnknownParameterName, Name);
  SetParameter(index, Value);
}

// ---------------------------------------------------------------------------
// Texts

std::string TVSTModuleWithPrograms::FitText(std::string Text, std::size_t Limit) const {
  if (TruncateStrings() && Text.size() > Limit) Text.resize(Limit);
  return Text;
}

std::string TVSTModuleWithPrograms::GetParameterDisplay(std::int32_t Index) {
  if (!IsValidParameterIndex(Index)) return "undefined";
  std::string text;
  try {
    const float value = GetParameter(Index);
    if (!std::isfinite(value)) throw EParameterError(TErrorCode::ecInvalidParameterValue);
    // Chunk-based values have no fixed precision: the shortest general form.
    text = FormatParameterNumber(value, ProgramChunksEnabled() ? -1 : 4, FDecimalSeparator);
    const TCustomVstParameterProperty& description = FParameterProperties[Index];
    if (description.OnCustomParameterDisplay) description.OnCustomParameterDisplay(*this, Index, text);
  } catch (const std::exception&) {
    text = "error";
  }
  return FitText(std::move(text), kTruncatedTextLength);
}

std::string TVSTModuleWithPrograms::GetParameterLabel(std::int32_t Index) {
  if (!IsValidParameterIndex(Index)) return "undefined";
  const TCustomVstParameterProperty& description = FParameterProperties[Index];
  std::string text = description.Units();
  if (description.OnCustomParameterLabel) description.OnCustomParameterLabel(*this, Index, text);
  return FitText(std::move(text), kTruncatedTextLength);
}

std::string TVSTModuleWithPrograms::GetParameterName(std::int32_t Index) const {
  if (!IsValidParameterIndex(Index)) return "undefined";
  return FitText(FParameterProperties[Index].DisplayName(), kTruncatedTextLength);
}

std::string TVSTModuleWithPrograms::GetParameterString(std::int32_t Index) {
  return GetParameterDisplay(Index) + " " + GetParameterLabel(Index);
}

// ---------------------------------------------------------------------------
// Text to value

bool TVSTModuleWithPrograms::StringToParameter(std::int32_t Index, const std::string& Text) {
  if (Index < 0 || Index >= FEffect.numParams || !IsValidParameterIndex(Index))
    throw EParameterError(TErrorCode::ecIndexOutOfBounds, std::to_string(Index));
  const TCustomVstParameterProperty& description = FParameterProperties[Index];
  const bool result = description.OnStringToParameter || description.UseDefaultString2ParameterHandler;
  float value = GetParameter(Index);
  if (description.UseDefaultString2ParameterHandler)
    value = ParseParameterText(Text, description.Units(), FDecimalSeparator, value);
  if (description.OnStringToParameter) description.OnStringToParameter(*this, Index, Text, value);
  SetParameter(Index, value);
  return result;
}

// ---------------------------------------------------------------------------
// Programs

void TVSTModuleWithPrograms::SetCurrentProgram(std::int32_t Value) {
  const std::int32_t old = CurrentProgram();
  if (FPrograms.Count() == 0 || !FPrograms.IsValidIndex(Value) || Value == old) return;
  if (OnBeforeProgramChange) OnBeforeProgramChange(*this);
  FCurrentProgram.store(Value, std::memory_order_relaxed);
  if (OnAfterProgramChange) OnAfterProgramChange(*this);
  if (old >= 0) ApplyCurrentProgram();
}

void TVSTModuleWithPrograms::ApplyCurrentProgram() {
  if (TVstProgram* program = ActiveProgram()) {
    const std::vector<float> values = program->Parameters();
    try {
      for (std::size_t j = 0; j < values.size(); ++j) StoreParameter(static_cast<std::int32_t>(j), values[j]);
    } catch (const std::exception&) {
      // A value that cannot be stored ends the application quietly.
    }
  }
  SetEditorNeedUpdate(true);
  UpdateDisplay();
}

std::string TVSTModuleWithPrograms::CurrentProgramName() const {
  const TVstProgram* program = ActiveProgram();
  return program != nullptr ? program->DisplayName() : std::string();
}

void TVSTModuleWithPrograms::SetCurrentProgramName(const std::string& Value) {
  if (TVstProgram* program = ActiveProgram()) {
    program->SetDisplayName(Value);
    SetEditorNeedUpdate(true);
  }
  UpdateDisplay();
}

TVstProgram& TVSTModuleWithPrograms::GetVstProgramByName(const std::string& Name) {
  if (FPrograms.Count() == 0) throw EParameterError(TErrorCode::ecNoProgram);
  for (std::int32_t i = 0; i < FPrograms.Count(); ++i)
    if (FPrograms[i].DisplayName() == Name) return FPrograms[i];
  throw EParameterError(TErrorCode::ecUnknownProgramName);
}

void TVSTModuleWithPrograms::SetVstProgramByName(const std::string& Name, const TCustomVstProgram& Program) {
  GetVstProgramByName(Name).Assign(Program);
}

void TVSTModuleWithPrograms::SetProgramParameters(std::int32_t ProgramIndex, const std::vector<float>& Values) {
  if (static_cast<std::int64_t>(Values.size()) > FEffect.numParams)
    throw EParameterError(TErrorCode::ecParameterMismatch, std::to_string(Values.size()));
  if (!FPrograms.IsValidIndex(ProgramIndex))
    throw EParameterError(TErrorCode::ecIndexOutOfBounds, std::to_string(ProgramIndex));
  FPrograms[ProgramIndex].SetParameters(Values);
}

// ---------------------------------------------------------------------------
// Stored description

void TVSTModuleWithPrograms::BeforeReadDescription() {
  TVSTModuleWithMidi::BeforeReadDescription();
  for (std::int32_t i = 0; i < FPrograms.Count(); ++i)
    if (FPrograms[i].OnInitialize) FPrograms[i].OnInitialize(FPrograms[i]);
  if (FPrograms.Count() > 0) SetCurrentProgram(0);
}

void TVSTModuleWithPrograms::ReadDescription(const TVSTModuleDescription& Description) {
  TVSTModuleWithMidi::ReadDescription(Description);
  if (Description.Parameters == nullptr) return;
  const TParametersDescription& parameters = *Description.Parameters;
  for (const char* name : parameters.Categories) FParameterCategories.Add().SetDisplayName(name != nullptr ? name : "");
  for (const TProgramDescription& program : parameters.Programs)
    FPrograms.Add().SetDisplayName(program.DisplayName != nullptr ? program.DisplayName : "");
  for (const TParameterPropertyDescription& parameter : parameters.Parameters)
    ApplyParameterDescription(FParameterProperties.Add(), parameter);
}

void TVSTModuleWithPrograms::AfterReadDescription() {
  TVSTModuleWithMidi::AfterReadDescription();
  FParameterCategories.CheckParametersInUse();
}

}  // namespace vb
