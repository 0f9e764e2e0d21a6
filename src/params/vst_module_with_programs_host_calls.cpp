// Opcode handlers of the parameter and program level: what the host reads
// and writes through the dispatcher and the record's parameter entries.
#include "params/vst_module_with_programs.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "host/vst_can_do.h"
#include "params/parameter_number_format.h"

namespace vb {

namespace {

// Longest text read from a host pointer whose buffer size is not passed in.
constexpr std::size_t kMaxHostTextLength = 1024;
constexpr std::intptr_t kHostExtensionAnswer = 0xBEEF;
constexpr std::int32_t kHostExtensionDisplayQuery = 7;
constexpr std::uint32_t kHostExtensionRangeQuery = 0xDEADBEF0u;

void CopyText(void* Ptr, const std::string& Text) { std::memcpy(Ptr, Text.c_str(), Text.size() + 1); }

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

std::intptr_t TVSTModuleWithPrograms::HostCallString2Parameter(std::int32_t Index, std::intptr_t, void* Ptr, float) {
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
    const std::uint32_t length =
        static_cast<std::uint32_t>(Data[pos]) | (static_cast<std::uint32_t>(Data[pos + 1]) << 8) |
        (static_cast<std::uint32_t>(Data[pos + 2]) << 16) | (static_cast<std::uint32_t>(Data[pos + 3]) << 24);
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

std::intptr_t TVSTModuleWithPrograms::HostCallEditOpen(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) {
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
