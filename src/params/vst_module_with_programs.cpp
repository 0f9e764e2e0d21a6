#include "params/vst_module_with_programs.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>

#include "host/vst_can_do.h"
#include "host/vst_error.h"
#include "params/locale_decimal_separator.h"
#include "params/parameter_number_format.h"
#include "params/parameters_description.h"

namespace vb {

namespace {

constexpr std::size_t kTruncatedTextLength = 8;
constexpr std::size_t kTruncatedProgramNameLength = 24;
// Longest text read from a host pointer whose buffer size is not passed in.
constexpr std::size_t kMaxHostTextLength = 1024;
constexpr std::intptr_t kHostExtensionAnswer = 0xBEEF;
constexpr std::int32_t kHostExtensionDisplayQuery = 7;
constexpr std::uint32_t kHostExtensionRangeQuery = 0xDEADBEF0u;

std::string IndexOutOfBounds(std::int32_t Index) { return "Index out of bounds (" + std::to_string(Index) + ")"; }

void CopyText(void* Ptr, const std::string& Text) {
  std::memcpy(Ptr, Text.c_str(), Text.size() + 1);
}

std::string ReadHostText(const void* Ptr) {
  const char* text = static_cast<const char*>(Ptr);
  return std::string(text, strnlen(text, kMaxHostTextLength));
}

// Copies Text into a fixed field of Size bytes, zero-filled, NUL-terminated.
void CopyField(char* Field, std::size_t Size, const std::string& Text) {
  std::memset(Field, 0, Size);
  std::memcpy(Field, Text.data(), std::min(Text.size(), Size - 1));
}

}  // namespace

TVSTModuleWithPrograms::TVSTModuleWithPrograms(TComponent* AOwner)
    : TVSTModuleWithMidi(AOwner), FDecimalSeparator(UserDecimalSeparator()) {}

TVSTModuleWithPrograms::~TVSTModuleWithPrograms() = default;

// ---------------------------------------------------------------------------
// Counts and value storage

void TVSTModuleWithPrograms::SetnumParams() { FEffect.numParams = FParameterProperties.Count(); }

void TVSTModuleWithPrograms::SetnumPrograms() { FEffect.numPrograms = FPrograms.Count(); }

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
  if (!IsValidParameterIndex(Index)) throw EVstError(IndexOutOfBounds(Index));
  TCustomVstParameterProperty& description = FParameterProperties[Index];
  auto runEvents = [&](float& v) {
    if (description.OnParameterChange) description.OnParameterChange(*this, Index, v);
    if (OnParameterChange) OnParameterChange(*this, Index, v);
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
  if (FParameterProperties.Count() == 0) throw EVstError("No parameter available!");
  const std::int32_t index = FParameterProperties.IndexOfName(Name);
  if (index < 0) throw EVstError("Unknown parameter name: " + Name);
  return GetParameter(index);
}

void TVSTModuleWithPrograms::SetParameterByName(const std::string& Name, float Value) {
  if (FParameterProperties.Count() == 0) throw EVstError("No parameter available!");
  const std::int32_t index = FParameterProperties.IndexOfName(Name);
  if (index < 0) throw EVstError("Unknown parameter name: " + Name);
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
    if (ProgramChunksEnabled()) {
      text = FormatParameterNumber(GetParameter(Index), -1, FDecimalSeparator);
    } else {
      const float value = GetParameter(Index);
      if (!std::isfinite(value)) throw EVstError("Invalid parameter value");
      text = FormatParameterNumber(value, 4, FDecimalSeparator);
    }
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

float TVSTModuleWithPrograms::ParseParameterText(const TCustomVstParameterProperty& Description,
                                                 const std::string& Text, float Value) const {
  // 1. Trim control characters and blanks at both ends.
  std::size_t first = 0;
  std::size_t last = Text.size();
  while (first < last && static_cast<unsigned char>(Text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(Text[last - 1]) <= 32) --last;
  std::string text = Text.substr(first, last - first);
  // 2. Remove the unit text once.
  if (!Description.Units().empty()) {
    const auto unit = text.find(Description.Units());
    if (unit != std::string::npos) text.erase(unit, Description.Units().size());
  }
  // 3./4. The number: a sign, separator or digit starts it; separators,
  // digits and the exponent letter continue it.
  const auto start = text.find_first_of("+,-.0123456789");
  if (start == std::string::npos) return Value;
  const auto stop = text.find_first_not_of(",.0123456789E", start + 1);
  const std::size_t end = stop == std::string::npos ? text.size() : stop;
  std::string number = text.substr(start, end - start);
  // 5. Multiplier: the first suffix letter found at or after the number's end.
  static constexpr struct {
    char letter;
    double factor;
  } kSuffixes[] = {{'k', 1e3}, {'K', 1024.0}, {'G', 1048576.0}, {'m', 1e-3}, {'\xB5', 1e-6}, {'c', 1e-2}};
  double multiplier = 1.0;
  for (const auto& suffix : kSuffixes) {
    const auto at = text.find(suffix.letter);
    if (at != std::string::npos && at >= end) {
      multiplier = suffix.factor;
      break;
    }
  }
  // 6. Read with the locale's separator; the other separator makes the text invalid.
  const char other = FDecimalSeparator == ',' ? '.' : ',';
  if (number.find(other) != std::string::npos) return Value;
  std::replace(number.begin(), number.end(), FDecimalSeparator, '.');
  if (!number.empty() && number[0] == '+') number.erase(0, 1);
  double parsed = 0.0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), parsed);
  if (result.ec != std::errc() || result.ptr != number.data() + number.size()) return Value;
  const double value = multiplier * parsed;
  if (!std::isfinite(value)) return Value;
  return static_cast<float>(value);
}

bool TVSTModuleWithPrograms::StringToParameter(std::int32_t Index, const std::string& Text) {
  if (Index < 0 || Index >= FEffect.numParams || !IsValidParameterIndex(Index))
    throw EVstError(IndexOutOfBounds(Index));
  const TCustomVstParameterProperty& description = FParameterProperties[Index];
  const bool result = description.OnStringToParameter || description.UseDefaultString2ParameterHandler;
  float value = GetParameter(Index);
  if (description.UseDefaultString2ParameterHandler) value = ParseParameterText(description, Text, value);
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
  if (FPrograms.Count() == 0) throw EVstError("No program available!");
  for (std::int32_t i = 0; i < FPrograms.Count(); ++i)
    if (FPrograms[i].DisplayName() == Name) return FPrograms[i];
  throw EVstError("Unknown program name");
}

void TVSTModuleWithPrograms::SetVstProgramByName(const std::string& Name, const TCustomVstProgram& Program) {
  GetVstProgramByName(Name).Assign(Program);
}

void TVSTModuleWithPrograms::SetProgramParameters(std::int32_t ProgramIndex, const std::vector<float>& Values) {
  if (static_cast<std::int64_t>(Values.size()) > FEffect.numParams)
    throw EVstError("Parameter mismatch (" + std::to_string(Values.size()) + ")");
  if (!FPrograms.IsValidIndex(ProgramIndex)) throw EVstError(IndexOutOfBounds(ProgramIndex));
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

// ---------------------------------------------------------------------------
// Host side: parameters

float TVSTModuleWithPrograms::HostCallGetParameter(std::int32_t Index) {
  if (!IsValidParameterIndex(Index)) return 0.0f;
  return FParameterProperties[Index].Parameter2VSTParameter(GetParameter(Index));
}

void TVSTModuleWithPrograms::HostCallSetParameter(std::int32_t Index, float Value) {
  if (!IsValidParameterIndex(Index)) {
    if (OnParameterSizeFailed) OnParameterSizeFailed(*this);
    return;
  }
  if (std::isnan(Value)) return;  // no value to map; the parameter keeps its own
  StoreParameter(Index, FParameterProperties[Index].VSTParameter2Parameter(Value));
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetParamLabel(std::int32_t Index, std::intptr_t, void* Ptr, float) {
  if (Ptr != nullptr) CopyText(Ptr, GetParameterLabel(Index));
  return 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetParamDisplay(std::int32_t Index, std::intptr_t, void* Ptr, float) {
  if (Ptr != nullptr) CopyText(Ptr, GetParameterDisplay(Index));
  return 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetParamName(std::int32_t Index, std::intptr_t, void* Ptr, float) {
  if (Ptr != nullptr) CopyText(Ptr, GetParameterName(Index));
  return 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallCanBeAutomated(std::int32_t Index, std::intptr_t, void*, float) {
  if (Index < 0) return 0;
  if (Index >= FParameterProperties.Count()) return 1;
  return FParameterProperties[Index].CanBeAutomated ? 1 : 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallString2Parameter(std::int32_t Index, std::intptr_t, void* Ptr,
                                                               float) {
  if (Ptr == nullptr) return 0;
  if (Index < 0 || Index >= FEffect.numParams || !IsValidParameterIndex(Index)) return 0;
  return StringToParameter(Index, ReadHostText(Ptr)) ? 1 : 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetParameterProperties(std::int32_t Index, std::intptr_t, void* Ptr,
                                                                     float) {
  if (!IsValidParameterIndex(Index)) return 0;
  const TCustomVstParameterProperty& p = FParameterProperties[Index];
  if (!p.ReportVST2Properties || Ptr == nullptr) return p.ReportVST2Properties ? 1 : 0;
  auto* record = static_cast<TVstParameterPropertiesRecord*>(Ptr);
  CopyField(record->Caption, sizeof(record->Caption), p.DisplayName());
  CopyField(record->ShortLabel, sizeof(record->ShortLabel), p.ShortLabel());
  record->Flags = p.Flags();
  std::memset(record->Future, 0, sizeof(record->Future));
  const bool intMinMax = p.HasFlag(ppfParameterUsesIntegerMinMax);
  record->MinInteger = intMinMax ? p.MinInteger : 0;
  record->MaxInteger = intMinMax ? p.MaxInteger : 0;
  const bool intStep = p.HasFlag(ppfParameterUsesIntStep);
  record->StepInteger = intStep ? p.StepInteger : 1;
  record->LargeStepInteger = intStep ? p.LargeStepInteger : 2;
  if (p.HasFlag(ppfParameterUsesFloatStep) && p.Curve() == ctLinear) {
    record->StepFloat = p.Parameter2VSTParameter(p.StepFloat);
    record->SmallStepFloat = p.Parameter2VSTParameter(p.SmallStepFloat);
    record->LargeStepFloat = p.Parameter2VSTParameter(p.LargeStepFloat);
  } else {
    record->StepFloat = 0.01f;
    record->SmallStepFloat = 0.002f;
    record->LargeStepFloat = 0.05f;
  }
  record->DisplayIndex = p.HasFlag(ppfParameterSupportsDisplayIndex) ? static_cast<std::int16_t>(Index) : 0;
  if (p.HasFlag(ppfParameterSupportsDisplayCategory)) {
    CopyField(record->CategoryLabel, sizeof(record->CategoryLabel), p.Category());
    const std::int32_t category = p.CategoryIndex();
    record->Category = static_cast<std::int16_t>(category);
    record->NumParametersInCategory =
        category >= 1 && category <= FParameterCategories.Count()
            ? static_cast<std::int16_t>(FParameterCategories[category - 1].ParametersInCategory())
            : 0;
  }
  return 1;
}

// ---------------------------------------------------------------------------
// Host side: programs

std::intptr_t TVSTModuleWithPrograms::HostCallSetProgram(std::int32_t, std::intptr_t Value, void*, float) {
  SetCurrentProgram(static_cast<std::int32_t>(Value));
  return 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetProgram(std::int32_t, std::intptr_t, void*, float) {
  return CurrentProgram();
}

std::intptr_t TVSTModuleWithPrograms::HostCallSetProgramName(std::int32_t, std::intptr_t, void* Ptr, float) {
  if (Ptr == nullptr) return 0;
  if (TVstProgram* program = ActiveProgram()) program->SetDisplayName(ReadHostText(Ptr));
  return 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetProgramName(std::int32_t, std::intptr_t, void* Ptr, float) {
  if (Ptr != nullptr) CopyText(Ptr, FitText(CurrentProgramName(), kTruncatedProgramNameLength));
  return 0;
}

std::intptr_t TVSTModuleWithPrograms::HostCallGetProgramNameIndexed(std::int32_t Index, std::intptr_t, void* Ptr,
                                                                    float) {
  if (Ptr == nullptr || !FPrograms.IsValidIndex(Index)) return 0;
  CopyText(Ptr, FitText(FPrograms[Index].DisplayName(), kTruncatedProgramNameLength));
  return 1;
}

std::intptr_t TVSTModuleWithPrograms::HostCallBeginSetProgram(std::int32_t, std::intptr_t, void*, float) {
  if (!OnBeginSetProgram) return 0;
  OnBeginSetProgram(*this);
  return 1;
}

std::intptr_t TVSTModuleWithPrograms::HostCallEndSetProgram(std::int32_t, std::intptr_t, void*, float) {
  if (!OnEndSetProgram) return 0;
  OnEndSetProgram(*this);
  return 1;
}

std::intptr_t TVSTModuleWithPrograms::BeginLoadPatch(void* Ptr, const TPatchLoadEvent& Event) {
  if (Ptr == nullptr) return 0;
  const auto* info = static_cast<const TVstPatchChunkInfo*>(Ptr);
  const bool same = std::memcmp(&info->PluginUniqueID, &FEffect.UniqueID, 4) == 0;
  if (Event) Event(*this, *info);
  return same ? 1 : -1;
}

std::intptr_t TVSTModuleWithPrograms::HostCallBeginLoadBank(std::int32_t, std::intptr_t, void* Ptr, float) {
  return BeginLoadPatch(Ptr, OnBeginLoadBank);
}

std::intptr_t TVSTModuleWithPrograms::HostCallBeginLoadProgram(std::int32_t, std::intptr_t, void* Ptr, float) {
  return BeginLoadPatch(Ptr, OnBeginLoadProgram);
}

// ---------------------------------------------------------------------------
// Host side: chunks. Only a module in chunk mode has chunks; otherwise both
// opcodes answer 0 and touch nothing.

std::intptr_t TVSTModuleWithPrograms::HostCallGetChunk(std::int32_t Index, std::intptr_t, void* Ptr, float) {
  if (!ProgramChunksEnabled() || FPrograms.Count() == 0 || Ptr == nullptr) return 0;
  auto** target = static_cast<void**>(Ptr);
  if (Index == 1) {
    TVstProgram* program = ActiveProgram();
    if (program == nullptr || !program->HasChunk()) return 0;
    program->Chunk()->Rewind();
    if (program->OnStoreChunk) program->OnStoreChunk(*program, CurrentProgram(), true);
    *target = program->Chunk()->Data();
    return static_cast<std::intptr_t>(program->Chunk()->Size());
  }
  FBankChunk.clear();
  for (std::int32_t i = 0; i < FPrograms.Count(); ++i) {
    TVstProgram& program = FPrograms[i];
    if (!program.HasChunk()) continue;
    program.Chunk()->Rewind();
    if (program.OnStoreChunk) program.OnStoreChunk(program, i, false);
    const auto size = static_cast<std::uint32_t>(program.Chunk()->Size());
    for (int b = 0; b < 4; ++b) FBankChunk.push_back(static_cast<std::uint8_t>(size >> (8 * b)));
    FBankChunk.insert(FBankChunk.end(), program.Chunk()->Data(), program.Chunk()->Data() + size);
  }
  *target = FBankChunk.data();
  return static_cast<std::intptr_t>(FBankChunk.size());
}

std::intptr_t TVSTModuleWithPrograms::LoadBankChunk(const std::uint8_t* Data, std::size_t Size) {
  if (Size < 4) return 0;  // not even one length: refused, nothing changes
  std::size_t pos = 0;
  for (std::int32_t i = 0; i < FPrograms.Count(); ++i) {
    // Every length and every program's bytes must lie inside the host's
    // byte count; reading stops at the first that does not.
    if (Size - pos < 4) break;
    const std::uint32_t length = static_cast<std::uint32_t>(Data[pos]) | (static_cast<std::uint32_t>(Data[pos + 1]) << 8) |
                                 (static_cast<std::uint32_t>(Data[pos + 2]) << 16) |
                                 (static_cast<std::uint32_t>(Data[pos + 3]) << 24);
    pos += 4;
    if (length > Size - pos) break;
    TVstProgram& program = FPrograms[i];
    if (program.HasChunk()) {
      program.Chunk()->Assign(Data + pos, length);
      if (program.OnLoadChunk) program.OnLoadChunk(program, i, false);
    }
    pos += length;
  }
  if (TVstProgram* program = ActiveProgram())
    if (program->OnLoadChunk) program->OnLoadChunk(*program, CurrentProgram(), false);
  return 1;
}

std::intptr_t TVSTModuleWithPrograms::HostCallSetChunk(std::int32_t Index, std::intptr_t Value, void* Ptr, float) {
  if (!ProgramChunksEnabled() || FPrograms.Count() == 0 || Ptr == nullptr || Value < 0) return 0;
  const auto* data = static_cast<const std::uint8_t*>(Ptr);
  const auto size = static_cast<std::size_t>(Value);
  if (Index == 1) {
    TVstProgram* program = ActiveProgram();
    if (program == nullptr || !program->HasChunk()) return 0;
    program->Chunk()->Assign(data, size);
    if (program->OnLoadChunk) program->OnLoadChunk(*program, CurrentProgram(), true);
  } else if (LoadBankChunk(data, size) == 0) {
    return 0;
  }
  SetEditorNeedUpdate(true);
  return Value;
}

// ---------------------------------------------------------------------------
// Host side: editor and host extensions

std::intptr_t TVSTModuleWithPrograms::HostCallEditOpen(std::int32_t Index, std::intptr_t Value, void* Ptr,
                                                       float Opt) {
  const std::intptr_t result = TVSTModuleWithMidi::HostCallEditOpen(Index, Value, Ptr, Opt);
  if (result == 0 || !OnParameterChange || ProgramChunksEnabled()) return result;
  // Let the module-level handler see every current value once.
  const std::int32_t count = std::min(FEffect.numParams, FParameterProperties.Count());
  for (std::int32_t i = 0; i < count; ++i) {
    if (TVstProgram* program = ActiveProgram()) {
      float v = program->GetParameter(i);
      OnParameterChange(*this, i, v);
      program->SetParameter(i, v);
    } else if (FParameter.IsValidIndex(i)) {
      float v = FParameter.Get(i);
      OnParameterChange(*this, i, v);
      FParameter.Set(i, v);
    }
  }
  return result;
}

std::intptr_t TVSTModuleWithPrograms::HostCallVendorSpecific(std::int32_t Index, std::intptr_t Value, void* Ptr,
                                                             float Opt) {
  const std::intptr_t answer = TVSTModuleWithMidi::HostCallVendorSpecific(Index, Value, Ptr, Opt);
  if ((CanDos() & CanDoBit(vcdCockosExtension)) == 0) return answer;
  const bool validParameter = Ptr != nullptr && Value >= 0 && Value < FEffect.numParams &&
                              IsValidParameterIndex(static_cast<std::int32_t>(Value));
  if (Index == kHostExtensionDisplayQuery && validParameter) {
    const auto param = static_cast<std::int32_t>(Value);
    const TCustomVstParameterProperty& description = FParameterProperties[param];
    std::string text = FormatParameterNumber(Opt, 5, FDecimalSeparator);
    if (description.OnCustomParameterDisplay) description.OnCustomParameterDisplay(*this, param, text);
    std::string label = description.Units();
    if (description.OnCustomParameterLabel) description.OnCustomParameterLabel(*this, param, label);
    CopyText(Ptr, text + label);
    return kHostExtensionAnswer;
  }
  if (static_cast<std::uint32_t>(Index) == kHostExtensionRangeQuery && validParameter) {
    const float range[2] = {0.0f, 1.0f};
    std::memcpy(Ptr, range, sizeof(range));
    return kHostExtensionAnswer;
  }
  return answer;
}

}  // namespace vb
