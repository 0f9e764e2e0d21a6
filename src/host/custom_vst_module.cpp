#include "host/custom_vst_module.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace vb {

namespace {
constexpr std::size_t kMaxEffectNameLength = 32;
constexpr std::size_t kMaxVendorNameLength = 64;
constexpr std::size_t kMaxHostNameLength = 64;
constexpr std::size_t kHostTextBufferSize = 256;
// Answer to "hasCockosExtensions": 0xBEEF0000 as a 32-bit value,
// sign-extended to the pointer-sized result.
constexpr std::intptr_t kCockosExtensionAnswer = static_cast<std::int32_t>(0xBEEF0000u);
const char* const kUnknownHost = "Unknown";
}  // namespace

TCustomVSTModule::TCustomVSTModule(TComponent* AOwner) : TBasicVSTModule(AOwner) { ResizeScratchBuffers(); }

TCustomVSTModule::~TCustomVSTModule() = default;

// --- Identity -----------------------------------------------------------

std::string TCustomVSTModule::CutText(const std::string& Value, std::size_t Limit) const {
  return FTruncateStrings && Value.size() > Limit ? Value.substr(0, Limit) : Value;
}

void TCustomVSTModule::SetEffectName(const std::string& Value) { FEffectName = CutText(Value, kMaxEffectNameLength); }
void TCustomVSTModule::SetProductName(const std::string& Value) { FProductName = CutText(Value, kMaxVendorNameLength); }
void TCustomVSTModule::SetVendorName(const std::string& Value) { FVendorName = CutText(Value, kMaxVendorNameLength); }

void TCustomVSTModule::SetKeysRequired(bool Value) {
  FKeysRequired = Value;
  UpdateDisplay();
}

std::intptr_t TCustomVSTModule::CopyIdentityText(const std::string& Text, void* Ptr) const {
  if (!Ptr) return 0;
  std::memcpy(Ptr, Text.c_str(), Text.size() + 1);
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallGetEffectName(std::int32_t, std::intptr_t, void* Ptr, float) {
  return CopyIdentityText(FEffectName, Ptr);
}

std::intptr_t TCustomVSTModule::HostCallGetVendorString(std::int32_t, std::intptr_t, void* Ptr, float) {
  return CopyIdentityText(FVendorName, Ptr);
}

std::intptr_t TCustomVSTModule::HostCallGetProductString(std::int32_t, std::intptr_t, void* Ptr, float) {
  return CopyIdentityText(FProductName.empty() ? FEffectName : FProductName, Ptr);
}

std::intptr_t TCustomVSTModule::HostCallGetVendorVersion(std::int32_t, std::intptr_t, void*, float) {
  return FEffect.Version;
}

std::intptr_t TCustomVSTModule::HostCallGetPlugCategory(std::int32_t, std::intptr_t, void*, float) {
  return FPlugCategory;
}

std::intptr_t TCustomVSTModule::HostCallGetTailSize(std::int32_t, std::intptr_t, void*, float) { return FTailSize; }

std::intptr_t TCustomVSTModule::HostCallKeysRequired(std::int32_t, std::intptr_t, void*, float) {
  return FKeysRequired ? 0 : 1;
}

std::intptr_t TCustomVSTModule::HostCallGetVstVersion(std::int32_t, std::intptr_t, void*, float) { return kVstVersion; }

std::intptr_t TCustomVSTModule::HostCallGetNumProgramCategories(std::int32_t, std::intptr_t, void*, float) {
  return FNumCategories;
}

std::intptr_t TCustomVSTModule::HostCallSetProcessPrecision(std::int32_t, std::intptr_t, void*, float) {
  return FProcessPrecision;
}

std::intptr_t TCustomVSTModule::HostCallSetTotalSampleToProcess(std::int32_t, std::intptr_t Value, void*, float) {
  return Value;
}

std::intptr_t TCustomVSTModule::HostCallCanDo(std::int32_t, std::intptr_t, void* Ptr, float) {
  const char* text = static_cast<const char*>(Ptr);
  std::intptr_t result = 0;
  const std::int32_t canDo = FindVstCanDo(text);
  if (canDo == vcdCockosExtension) {
    result = (FCanDos & CanDoBit(vcdCockosExtension)) ? kCockosExtensionAnswer : 0;
  } else if (canDo >= 0) {
    result = (FCanDos & CanDoBit(static_cast<TVstCanDo>(canDo))) ? 1 : -1;
  }
  if (OnCanDo && text) OnCanDo(*this, text);
  return result;
}

std::intptr_t TCustomVSTModule::HostCallVendorSpecific(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) {
  return OnVendorSpecific ? OnVendorSpecific(*this, Index, Value, Ptr, Opt) : 0;
}

// --- Stored description ----------------------------------------------------

void TCustomVSTModule::BeforeReadDescription() {}
void TCustomVSTModule::AfterReadDescription() {}

void TCustomVSTModule::ReadDescription(const TVSTModuleDescription& Description) {
  SetTruncateStrings(Description.TruncateStrings);
  SetEffectName(Description.EffectName ? Description.EffectName : "");
  SetProductName(Description.ProductName ? Description.ProductName : "");
  SetVendorName(Description.VendorName ? Description.VendorName : "");
  SetVersionText(Description.VersionText ? Description.VersionText : "");
  SetVersionMajor(Description.VersionMajor);
  SetVersionMinor(Description.VersionMinor);
  SetVersionRelease(Description.VersionRelease);
  SetUniqueID(std::string(Description.UniqueID, sizeof(Description.UniqueID)));
  SetPlugCategory(Description.PlugCategory);
  SetCanDos(Description.CanDos);
  SetFlags(Description.Flags);
  SetNumInputs(Description.numInputs);
  SetNumOutputs(Description.numOutputs);
  SetInitialDelay(Description.InitialDelay);
  SetIORatio(Description.IORatio);
  SetRealQualities(Description.RealQualities);
  SetOffQualities(Description.OffQualities);
  SetTailSize(Description.TailSize);
  FKeysRequired = Description.KeysRequired;  // no host to tell yet
  SetProcessPrecisition(Description.ProcessPrecisition);
  SetNumCategories(Description.numCategories);
}

// --- Host identity --------------------------------------------------------

void TCustomVSTModule::AudioMasterChanged() {
  HostProduct();
  if (FPlugCategory == vpcShell) FPlugCategory = vpcUnknown;
}

const std::string& TCustomVSTModule::HostProduct() {
  if (FHostProduct.empty() || FHostProduct == kUnknownHost) {
    char text[kHostTextBufferSize] = {};
    const bool answered = GetHostProductString(text);
    text[kHostTextBufferSize - 1] = '\0';  // a host that filled the buffer entirely
    FHostProduct = answered ? CutText(text, kMaxHostNameLength) : kUnknownHost;
  }
  return FHostProduct;
}

const std::string& TCustomVSTModule::HostVendor() {
  if (FHostVendor.empty() || FHostVendor == kUnknownHost) {
    char text[kHostTextBufferSize] = {};
    const bool answered = GetHostVendorString(text);
    text[kHostTextBufferSize - 1] = '\0';
    FHostVendor = answered ? CutText(text, kMaxHostNameLength) : kUnknownHost;
  }
  return FHostVendor;
}

// --- Housekeeping ---------------------------------------------------------

std::intptr_t TCustomVSTModule::HostCallOpen(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) {
  TBasicVSTModule::HostCallOpen(Index, Value, Ptr, Opt);
  if (OnOpen) OnOpen(*this);
  return 0;
}

std::intptr_t TCustomVSTModule::HostCallClose(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) {
  // An editor still open goes first: its window reads the processor that
  // the close handler is about to free.
  RetireEditor();
  if (OnClose) OnClose(*this);
  return TBasicVSTModule::HostCallClose(Index, Value, Ptr, Opt);
}

std::intptr_t TCustomVSTModule::HostCallMainsChanged(std::int32_t, std::intptr_t Value, void*, float) {
  if (Value == 0) {
    if (OnSuspend) OnSuspend(*this);
  } else {
    if (OnResume) OnResume(*this);
    WantEvents(1);
  }
  return 0;
}

std::intptr_t TCustomVSTModule::HostCallSetBypass(std::int32_t, std::intptr_t Value, void*, float) {
  if (!OnSoftBypass) return 0;
  OnSoftBypass(*this, Value != 0);
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallGetVu(std::int32_t, std::intptr_t, void*, float) {
  if (!OnGetVU) return 0;
  float level = 0.0f;
  OnGetVU(*this, level);
  const double scaled = static_cast<double>(level) * 32767.0;
  // A level that is not a number or beyond the 32-bit range is clamped
  // instead of converted with undefined results.
  if (std::isnan(scaled)) return 0;
  const double limit = static_cast<double>(std::numeric_limits<std::int32_t>::max());
  return static_cast<std::intptr_t>(std::nearbyint(std::clamp(scaled, -limit, limit)));
}

std::intptr_t TCustomVSTModule::HostCallConnectInput(std::int32_t Index, std::intptr_t Value, void*, float) {
  if (OnInConnected) OnInConnected(*this, Index, Value != 0);
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallConnectOutput(std::int32_t Index, std::intptr_t Value, void*, float) {
  if (OnOutConnected) OnOutConnected(*this, Index, Value != 0);
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallProcessVarIo(std::int32_t, std::intptr_t, void* Ptr, float) {
  if (!OnProcessVarIO) return 0;
  OnProcessVarIO(*this, Ptr);
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallSetSpeakerArrangement(std::int32_t, std::intptr_t Value, void* Ptr, float) {
  if (Value == 0 || !Ptr || !OnSpeakerArrangementChanged) return 0;
  OnSpeakerArrangementChanged(*this, reinterpret_cast<void*>(Value), Ptr);
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallSetEditKnobMode(std::int32_t, std::intptr_t Value, void*, float) {
  if (!OnEditorKnobMode) return 0;
  OnEditorKnobMode(*this, Value);
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallStartProcess(std::int32_t, std::intptr_t, void*, float) {
  if (!OnStartProcess) return 0;
  OnStartProcess(*this);
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallStopProcess(std::int32_t, std::intptr_t, void*, float) {
  if (!OnStopProcess) return 0;
  OnStopProcess(*this);
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallSetPanLaw(std::int32_t, std::intptr_t Value, void*, float Opt) {
  if (!OnSetPanLaw) return 0;
  OnSetPanLaw(*this, Value, Opt);
  return 1;
}

// --- Sample rate and block size --------------------------------------------

void TCustomVSTModule::SetSampleRate(float Value) {
  // A rate that is not a positive finite number would poison every filter
  // computed from it; such a request is ignored.
  if (!std::isfinite(Value) || Value <= 0.0f) return;
  if (static_cast<double>(Value) == static_cast<double>(SampleRate())) return;
  FSampleRate.store(Value, std::memory_order_relaxed);
  SampleRateChanged();
}

void TCustomVSTModule::SetBlockSize(std::int32_t Value) {
  if (Value <= 0 || Value == BlockSize()) return;
  FBlockSize.store(Value, std::memory_order_relaxed);
  ResizeScratchBuffers();
  BlockSizeChanged();
}

void TCustomVSTModule::SampleRateChanged() {
  if (OnSampleRateChange) OnSampleRateChange(*this, SampleRate());
}

void TCustomVSTModule::BlockSizeChanged() {
  if (OnBlockSizeChange) OnBlockSizeChange(*this, BlockSize());
}

std::intptr_t TCustomVSTModule::HostCallSetSampleRate(std::int32_t, std::intptr_t, void*, float Opt) {
  if (!std::isfinite(Opt) || Opt <= 0.0f) return 0;
  SetSampleRate(Opt);
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallSetBlockSize(std::int32_t, std::intptr_t Value, void*, float) {
  SetBlockSize(static_cast<std::int32_t>(Value));
  return 0;
}

std::intptr_t TCustomVSTModule::HostCallSetBlockSizeAndSampleRate(std::int32_t, std::intptr_t Value, void*, float Opt) {
  SetSampleRate(Opt);
  SetBlockSize(static_cast<std::int32_t>(Value));
  return 1;
}

std::intptr_t TCustomVSTModule::UpdateSampleRate() {
  const std::intptr_t answer = GetHostSampleRate();
  if (answer > 0) SetSampleRate(static_cast<float>(answer));
  return answer;
}

std::intptr_t TCustomVSTModule::UpdateBlockSize() {
  const std::intptr_t answer = GetHostBlockSize();
  if (answer > 0 && answer <= std::numeric_limits<std::int32_t>::max()) SetBlockSize(static_cast<std::int32_t>(answer));
  return answer;
}

// --- Channels and latency ----------------------------------------------------

void TCustomVSTModule::SetNumInputs(std::int32_t Value) {
  if (Value < 0 || Value == numInputs()) return;
  __atomic_store_n(&FEffect.numInputs, Value, __ATOMIC_RELAXED);
  IOChanged();
  PrepareBlockBuffers();
}

void TCustomVSTModule::SetNumOutputs(std::int32_t Value) {
  if (Value < 0 || Value == numOutputs()) return;
  __atomic_store_n(&FEffect.numOutputs, Value, __ATOMIC_RELAXED);
  IOChanged();
  PrepareBlockBuffers();
}

void TCustomVSTModule::IOChanged() {
  HostIOChanged();
  ResizeScratchBuffers();
}

void TCustomVSTModule::PrepareBlockBuffers() {}

void TCustomVSTModule::SetInitialDelay(std::int32_t Value) {
  if (Value == FInitialDelay) return;
  FInitialDelay = Value;
  InitialDelayChanged();
}

void TCustomVSTModule::InitialDelayChanged() {
  FEffect.InitialDelay = FInitialDelay;
  const std::string& host = HostProduct();
  if (host.find("WaveLab") != std::string::npos || host == "energyXT") HostIOChanged();
}

// --- Pins -------------------------------------------------------------------

std::intptr_t TCustomVSTModule::FillPinProperties(std::int32_t Index, void* Ptr, bool IsInput) {
  const std::int32_t count = IsInput ? numInputs() : numOutputs();
  if (Index < 0 || Index >= count || !Ptr) return 0;
  auto& pin = *static_cast<TVstPinProperties*>(Ptr);
  const std::string number = std::to_string(Index + 1);
  const std::string caption = (IsInput ? "Input #" : "Output #") + number;
  const std::string label = (IsInput ? "In" : "Out") + number;
  std::memset(pin.Caption, 0, sizeof(pin.Caption));
  std::memset(pin.ShortLabel, 0, sizeof(pin.ShortLabel));
  std::memcpy(pin.Caption, caption.c_str(), std::min(caption.size(), sizeof(pin.Caption) - 1));
  std::memcpy(pin.ShortLabel, label.c_str(), std::min(label.size(), sizeof(pin.ShortLabel) - 1));
  if (count == 1)
    pin.ArrangementType = 0;
  else if (count == 2)
    pin.ArrangementType = 1;
  else if (count == 4)
    pin.ArrangementType = 11;
  pin.Flags = 1 << vppIsActive;
  if (count == 2) pin.Flags |= 1 << vppIsStereo;
  const TPinPropertiesEvent& event = IsInput ? OnInputProperties : OnOutputProperties;
  if (event) return event(*this, Index, pin) ? 1 : 0;
  return 1;
}

std::intptr_t TCustomVSTModule::HostCallGetInputProperties(std::int32_t Index, std::intptr_t, void* Ptr, float) {
  return FillPinProperties(Index, Ptr, true);
}

std::intptr_t TCustomVSTModule::HostCallGetOutputProperties(std::int32_t Index, std::intptr_t, void* Ptr, float) {
  return FillPinProperties(Index, Ptr, false);
}

}  // namespace vb
