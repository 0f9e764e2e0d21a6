#pragma once
// Module level that stores and serves parameter values: the host's
// normalised get/set, the effect's own reads and writes in parameter units,
// change events, automation notices to the host, parameter texts, text
// parsing, program selection and names, chunks, parameter properties and the
// host-extension queries.
//
// Threads: HostCallSetParameter may come from the host's audio or automation
// thread, the dispatcher from its user-interface thread, SetParameter from
// the editor. Stored values are relaxed atomics, so readers on the audio
// thread never see a torn value; no lock is taken.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/vst_module_with_midi.h"
#include "params/parameter_owner.h"
#include "params/parameter_value_array.h"
#include "params/vst_parameter_category.h"
#include "params/vst_parameter_property.h"
#include "params/vst_program.h"

namespace vb {

using TGetChunkParameterEvent = std::function<float(TCustomVSTModule& Sender, std::int32_t Index)>;
using TPatchLoadEvent = std::function<void(TCustomVSTModule& Sender, const TVstPatchChunkInfo& PatchInfo)>;

class TVSTModuleWithPrograms : public TVSTModuleWithMidi, public TVstParameterOwner {
 public:
  explicit TVSTModuleWithPrograms(TComponent* AOwner);
  ~TVSTModuleWithPrograms() override;

  // --- Lists ---------------------------------------------------------------
  TCustomVstParameterProperties& ParameterProperties() override { return FParameterProperties; }
  TCustomVstParameterCategories& ParameterCategories() override { return FParameterCategories; }
  TCustomVstPrograms& Programs() { return FPrograms; }
  const TCustomVstPrograms& Programs() const { return FPrograms; }

  // Recount the lists into the effect record.
  void SetNumParams();
  void SetNumPrograms();

  // --- Effect side, parameter units (any thread) ----------------------------
  // Live value i; 0.0 for an index that has no value.
  float GetParameter(std::int32_t Index) const;
  // Stores and tells the host (amAutomate) when the description allows it.
  // An invalid index does nothing.
  virtual void SetParameter(std::int32_t Index, float Value);
  // Tells the host (amAutomate) that parameter Index has Value, when the
  // description allows it, without storing anything. An invalid index does
  // nothing.
  void AutomateParameter(std::int32_t Index, float Value) const;
  // Stores without telling the host; runs the change events. An invalid
  // index fails with "Index out of bounds (%d)".
  virtual void StoreParameter(std::int32_t Index, float Value);
  float GetVSTParameter(std::int32_t Index) const;
  void SetVSTParameter(std::int32_t Index, float Normalised);
  float GetParameterByName(const std::string& Name) const;
  void SetParameterByName(const std::string& Name, float Value);

  // Texts ("undefined" for an invalid index; display failures give "error").
  std::string GetParameterDisplay(std::int32_t Index);
  std::string GetParameterLabel(std::int32_t Index);
  std::string GetParameterName(std::int32_t Index) const;
  std::string GetParameterString(std::int32_t Index);
  // Parses Text into parameter Index (see the built-in parser); answers
  // whether the description has a parser. Invalid index: "Index out of bounds (%d)".
  bool StringToParameter(std::int32_t Index, const std::string& Text);

  // --- Programs --------------------------------------------------------------
  std::int32_t CurrentProgram() const { return FCurrentProgram.load(std::memory_order_relaxed); }
  void SetCurrentProgram(std::int32_t Value);
  std::string CurrentProgramName() const;
  void SetCurrentProgramName(const std::string& Value);
  TVstProgram& GetVstProgramByName(const std::string& Name);
  void SetVstProgramByName(const std::string& Name, const TCustomVstProgram& Program);
  void SetProgramParameters(std::int32_t ProgramIndex, const std::vector<float>& Values);
  // Stores every value of the current program (change events run), then
  // asks the editor and the host to refresh.
  virtual void ApplyCurrentProgram();

  // --- Locale ------------------------------------------------------------------
  // Decimal separator of parameter texts, read from the user's locale once
  // at construction; tests may inject one.
  char DecimalSeparator() const { return FDecimalSeparator; }
  void SetDecimalSeparator(char Value) { FDecimalSeparator = Value; }

  // --- Host side ---------------------------------------------------------------
  float HostCallGetParameter(std::int32_t Index) override;
  void HostCallSetParameter(std::int32_t Index, float Value) override;
  std::intptr_t HostCallSetProgram(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetProgram(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallSetProgramName(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetProgramName(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetParamLabel(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetParamDisplay(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetParamName(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallEditOpen(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetChunk(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallSetChunk(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallCanBeAutomated(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallString2Parameter(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetProgramNameIndexed(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetParameterProperties(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallVendorSpecific(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallBeginSetProgram(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallEndSetProgram(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallBeginLoadBank(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallBeginLoadProgram(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;

  // --- Events -------------------------------------------------------------------
  TParameterChangeEvent OnParameterChange;  // after the description's own
  TGetChunkParameterEvent OnGetChunkParameter;
  TModuleNotifyEvent OnParameterSizeFailed;
  TModuleNotifyEvent OnBeforeProgramChange;
  TModuleNotifyEvent OnAfterProgramChange;
  TModuleNotifyEvent OnBeginSetProgram;
  TModuleNotifyEvent OnEndSetProgram;
  TPatchLoadEvent OnBeginLoadBank;
  TPatchLoadEvent OnBeginLoadProgram;

  // --- TVstParameterOwner -----------------------------------------------------
  void ParameterCountChanged(std::int32_t Count) override;
  void ProgramCountChanged(std::int32_t Count) override;
  bool ProgramChunksEnabled() const override;
  std::int32_t ParameterCount() const override { return FEffect.numParams; }

 protected:
  // Reading the stored description: before it, every existing program's
  // OnInitialize runs and program 0 becomes current; the description's
  // categories, programs and parameter descriptions are created in that
  // order; afterwards the categories are recounted.
  void BeforeReadDescription() override;
  void ReadDescription(const TVSTModuleDescription& Description) override;
  void AfterReadDescription() override;

 private:
  // Text limits with TruncateStrings set (characters).
  static constexpr std::size_t kTruncatedTextLength = 8;
  static constexpr std::size_t kTruncatedProgramNameLength = 24;

  bool IsValidParameterIndex(std::int32_t Index) const { return FParameterProperties.IsValidIndex(Index); }
  // The current program when there is a valid one, else null.
  TVstProgram* ActiveProgram();
  const TVstProgram* ActiveProgram() const;
  std::string FitText(std::string Text, std::size_t Limit) const;
  std::intptr_t BeginLoadPatch(void* Ptr, const TPatchLoadEvent& Event);
  std::intptr_t LoadBankChunk(const std::uint8_t* Data, std::size_t Size);

  TCustomVstParameterProperties FParameterProperties{this};
  TCustomVstParameterCategories FParameterCategories{this};
  TCustomVstPrograms FPrograms{this};
  TParameterValueArray FParameter;  // own values, used without programs
  std::atomic<std::int32_t> FCurrentProgram{-1};
  std::vector<std::uint8_t> FBankChunk;  // handed to the host by effGetChunk
  char FDecimalSeparator;
};

}  // namespace vb
