#include "processor/process_module.h"

#include <algorithm>
#include <cmath>

#include "dsp/butterworth_filter.h"
#include "dsp/dsp_errors.h"
#include "processor/drive_parameter_mapping.h"
#include "processor/one_pole_coefficient.h"
#include "processor/process_module_description.h"

namespace vb {

namespace {

TEditorFormClass GDefaultEditorFormClass = nullptr;

bool IsUsableRate(float Rate) { return Rate != 0 && std::isfinite(Rate); }

}  // namespace

TProcessModule::TProcessModule(TComponent* AOwner) : TVSTModule(AOwner) {}

TProcessModule::~TProcessModule() = default;

void TProcessModule::SetDefaultEditorFormClass(TEditorFormClass Value) { GDefaultEditorFormClass = Value; }

const TVSTModuleDescription* TProcessModule::StoredDescription() const { return &kProcessModuleDescription; }

void TProcessModule::BindDescriptionEvents() {
  OnCreate = [this](TCustomVSTModule&) { VSTModuleCreate(); };
  OnClose = [this](TCustomVSTModule&) { VSTModuleClose(); };
  OnBlockSizeChange = [this](TCustomVSTModule&, std::int32_t BlockSize) { VSTModuleBlockSizeChange(BlockSize); };
  OnSampleRateChange = [this](TCustomVSTModule&, float SampleRate) { VSTModuleSampleRateChange(SampleRate); };
  OnSoftBypass = [this](TCustomVSTModule&, bool IsBypass) { VSTModuleSoftBypass(IsBypass); };
  OnSuspend = [this](TCustomVSTModule&) { VSTModuleSuspend(); };
  const std::int32_t Count = std::min(ParameterProperties().Count(), kProcessParameterCount);
  for (std::int32_t i = 0; i < Count; ++i) {
    const TProcessParameterHandler Handler = kProcessParameterBindings[static_cast<std::size_t>(i)].Handler;
    ParameterProperties()[i].OnParameterChange = [this, Handler](TCustomVSTModule& Sender, std::int32_t Index,
                                                                 float& Value) {
      (this->*Handler)(Sender, Index, Value);
    };
  }
  AssignProcessHandlers();
}

// ---------------------------------------------------------------------------
// Creation and set-up events

void TProcessModule::VSTModuleCreate() {
  FOSFactor = 1;
  FTempBufferSize = 0;
  FHostBlockSize = 1024;
  FHostSampleRate = 44100.0f;
  FSettings.FClip = 0.64;
  for (int c = 0; c < kChannels; ++c) {
    FHighPass[c] = std::make_unique<TBasicHighpassFilter>();
    FHighPass[c]->SetBandWidth(2.0);
    FHighPass[c]->SetFrequency(275);
    FUpDownSampling[c] = std::make_unique<TZarnUpDownsampling>();
    FUpDownSampling[c]->SetFilterClass(&TButterworthLowPassFilter::Class());
    FUpDownSampling[c]->SetTransitionBandwidth(0.99);
    FUpDownSampling[c]->SetFactor(FOSFactor);
    FUpDownSampling[c]->SetOrder(TStereoResampler::kOrder);
    // Retuning clears the resampler states at the next block.
    FUpDownSampling[c]->SetOnChange([this](TNotifiablePersistent*) { FResampler.MarkChanged(); });
    FLow[c] = std::make_unique<TBasicLowShelfFilter>();
    FLow[c]->SetFrequency(777);
    FLow[c]->SetGain(0);
    FLow[c]->SetBandWidth(3.2);
    FMid[c] = std::make_unique<TBasicPeakFilter>();
    FMid[c]->SetFrequency(1700);
    FMid[c]->SetGain(0);
    FMid[c]->SetBandWidth(3.6);
    FHigh[c] = std::make_unique<TBasicHighShelfFilter>();
    FHigh[c]->SetFrequency(4340);
    FHigh[c]->SetGain(0);
    FHigh[c]->SetBandWidth(2.55);
    FPres[c] = std::make_unique<TBasicPeakFilter>();
    FPres[c]->SetFrequency(7280);
    FPres[c]->SetGain(0);
    FPres[c]->SetBandWidth(1.0);
    FFilters[c] = {FHighPass[c].get(), FLow[c].get(), FMid[c].get(), FHigh[c].get(), FPres[c].get()};
  }
  // Sized once for the largest factor, so that oversampling changes never
  // allocate.
  SetTempBufferSize(FHostBlockSize * kMaxOSFactor);
  SetFlags(static_cast<TEffFlags>(Flags() | EffFlagBit(effFlagsHasEditor)));
  SetEditorFormClass(GDefaultEditorFormClass);
  for (std::int32_t i = 0; i < kProcessParameterCount; ++i)
    SetParameter(i, kProcessParameterBindings[static_cast<std::size_t>(i)].Default);
  RefreshTuning();
  if (Programs().Count() > 0) {
    TCustomVstProgram& Program = Programs()[0];
    for (std::int32_t i = 0; i < kProcessParameterCount; ++i)
      Program.SetParameter(i, kProcessParameterBindings[static_cast<std::size_t>(i)].Default);
  }
}

void TProcessModule::VSTModuleClose() {
  // The buffers go first: a block arriving after close finds none and
  // writes silence instead of reaching freed filters.
  FBuffers.Release();
  for (int c = 0; c < kChannels; ++c) {
    FFilters[c] = {};
    FHighPass[c].reset();
    FUpDownSampling[c].reset();
    FLow[c].reset();
    FMid[c].reset();
    FPres[c].reset();
    FHigh[c].reset();
  }
}

// Hosts announce block sizes while suspended. The buffers hold 16 samples per
// frame whatever the factor; announced sizes above kMaxBufferedFrames are
// buffered for kMaxBufferedFrames and processed in pieces.
void TProcessModule::VSTModuleBlockSizeChange(std::int32_t BlockSize) {
  FHostBlockSize = BlockSize;
  SetTempBufferSize(std::clamp(BlockSize, 1, kMaxBufferedFrames) * kMaxOSFactor);
}

void TProcessModule::VSTModuleSampleRateChange(float SampleRate) {
  const float Rate = std::fabs(SampleRate);
  if (!IsUsableRate(Rate)) throw EDspError(TErrorCode::ecInvalidSampleRate);
  TTuningWrite Retune(FTuning);
  FHostSampleRate = Rate;
  SampleRateChange(static_cast<float>(Rate * FOSFactor));
}

void TProcessModule::VSTModuleSoftBypass(bool IsBypass) { SetParameter(13, IsBypass ? 0.0f : 1.0f); }

void TProcessModule::VSTModuleSuspend() { FChain.ClearStates(); }

void TProcessModule::SetTempBufferSize(std::int32_t Value) {
  if (Value == FTempBufferSize) return;
  FBuffers.Resize(std::max(numInputs(), kChannels), std::max(numOutputs(), kChannels), static_cast<std::size_t>(Value));
  FTempBufferSize = Value;
}

// The buffers are already sized for the largest factor: nothing to resize
// here, which makes switching safe while the host processes.
void TProcessModule::SetOSFactor(int Factor) {
  TTuningWrite Retune(FTuning);
  FOSFactor = Factor;
  for (auto& Resampler : FUpDownSampling)
    if (Resampler) Resampler->SetFactor(Factor);
  SampleRateChange(static_cast<float>(FHostSampleRate * Factor));
}

void TProcessModule::SampleRateChange(float FSampleRate) {
  if (!IsUsableRate(FSampleRate)) throw EDspError(TErrorCode::ecInvalidSampleRate);
  TTuningWrite Retune(FTuning);
  FSettings.FHPF = OnePoleCoefficient(GetParameter(4));
  FSettings.FLPF = OnePoleCoefficient(GetParameter(6));
  for (int c = 0; c < kChannels; ++c) {
    if (!FHighPass[c]) continue;
    FHighPass[c]->SetSampleRate(FSampleRate);
    FUpDownSampling[c]->SetSampleRate(FSampleRate);
    FLow[c]->SetSampleRate(FSampleRate);
    FMid[c]->SetSampleRate(FSampleRate);
    FPres[c]->SetSampleRate(FSampleRate);
    FHigh[c]->SetSampleRate(FSampleRate);
  }
}

double TProcessModule::OnePoleCoefficient(double Frequency) const {
  return vb::OnePoleCoefficient(Frequency, FHostSampleRate, FOSFactor);
}

void TProcessModule::AssignProcessHandlers() {
  if (FPower) {
    SetOnProcess32Replacing(&VSTModuleProcess32Replacing);
    SetOnProcess64Replacing(&VSTModuleProcess64Replacing);
  } else {
    SetOnProcess32Replacing(&VSTModuleProcessBypass32);
    SetOnProcess64Replacing(&VSTModuleProcessBypass64);
  }
}

void TProcessModule::SetParamsToDefault() {
  for (std::int32_t i = 0; i < kProcessParameterCount; ++i)
    SetParameter(i, kProcessParameterBindings[static_cast<std::size_t>(i)].Default);
  SetInputPeakLevel(-100);
  SetOutputPeakLevel(-100);
}

// ---------------------------------------------------------------------------
// Parameter handlers

void TProcessModule::NotifyEditor(void (IDriveEditor::*Update)()) {
  if (auto* Editor = dynamic_cast<IDriveEditor*>(EditorForm())) (Editor->*Update)();
}

template <class TFilter, class TSetter>
void TProcessModule::ForBoth(std::array<std::unique_ptr<TFilter>, kChannels>& Filters, TSetter Setter, double Value) {
  TTuningWrite Retune(FTuning);
  for (auto& Filter : Filters)
    if (Filter) (Filter.get()->*Setter)(Value);
}

void TProcessModule::ParamInputChange(TCustomVSTModule&, std::int32_t, float& Value) {
  FSettings.FInputGain = DecibelTenthsToGain(Value);
  NotifyEditor(&IDriveEditor::UpdateInput);
}

void TProcessModule::ParamDriveChange(TCustomVSTModule&, std::int32_t, float& Value) {
  // The trim compensation depends on the drive just stored.
  SetParameter(2, GetParameter(2));
  FSettings.FDrive = DriveGain(Value);
  NotifyEditor(&IDriveEditor::UpdateDrive);
}

void TProcessModule::ParamTrimChange(TCustomVSTModule&, std::int32_t, float& Value) {
  FSettings.FTrim = TrimGain(Value, GetParameter(1), FSettings.FStereo);
  NotifyEditor(&IDriveEditor::UpdateTrim);
}

void TProcessModule::ParamCurveFormChange(TCustomVSTModule&, std::int32_t, float& Value) {
  FSettings.FCurveForm = Value * 0.01;
  NotifyEditor(&IDriveEditor::UpdateCurveForm);
}

void TProcessModule::ParamHiPassChange(TCustomVSTModule&, std::int32_t, float& Value) {
  FSettings.FHPF = OnePoleCoefficient(Value);
  NotifyEditor(&IDriveEditor::UpdateHiPass);
}

void TProcessModule::ParamFreqChange(TCustomVSTModule&, std::int32_t, float& Value) {
  ForBoth(FHighPass, &TBasicHighpassFilter::SetFrequency, Value);
  NotifyEditor(&IDriveEditor::UpdateFreq);
}

void TProcessModule::ParamLowPassChange(TCustomVSTModule&, std::int32_t, float& Value) {
  FSettings.FLPF = OnePoleCoefficient(Value);
  NotifyEditor(&IDriveEditor::UpdateLoPass);
}

void TProcessModule::ParamLowChange(TCustomVSTModule&, std::int32_t, float& Value) {
  ForBoth(FLow, &TBasicLowShelfFilter::SetGain, LowShelfGain(Value));
  NotifyEditor(&IDriveEditor::UpdateLow);
}

void TProcessModule::ParamMidChange(TCustomVSTModule&, std::int32_t, float& Value) {
  ForBoth(FMid, &TBasicPeakFilter::SetGain, MidPeakGain(Value));
  ForBoth(FMid, &TBasicPeakFilter::SetBandWidth, MidPeakBandwidth(Value));
  NotifyEditor(&IDriveEditor::UpdateMid);
}

void TProcessModule::ParamHighChange(TCustomVSTModule&, std::int32_t, float& Value) {
  ForBoth(FHigh, &TBasicHighShelfFilter::SetGain, HighShelfGain(Value));
  ForBoth(FHigh, &TBasicHighShelfFilter::SetFrequency, HighShelfFrequency(Value));
  NotifyEditor(&IDriveEditor::UpdateHigh);
}

void TProcessModule::ParamPresChange(TCustomVSTModule&, std::int32_t, float& Value) {
  ForBoth(FPres, &TBasicPeakFilter::SetGain, PresencePeakGain(Value));
  ForBoth(FPres, &TBasicPeakFilter::SetFrequency, PresencePeakFrequency(Value));
  NotifyEditor(&IDriveEditor::UpdatePres);
}

void TProcessModule::ParamDryWetChange(TCustomVSTModule&, std::int32_t, float& Value) {
  FSettings.FDryWet = Value * 0.01;
  NotifyEditor(&IDriveEditor::UpdateDryWet);
}

void TProcessModule::ParamOutputChange(TCustomVSTModule&, std::int32_t, float& Value) {
  FSettings.FOutputGain = DecibelTenthsToGain(Value);
  NotifyEditor(&IDriveEditor::UpdateOutput);
}

void TProcessModule::ParamPowerChange(TCustomVSTModule&, std::int32_t, float& Value) {
  FPower = Value > 0.5f;
  NotifyEditor(&IDriveEditor::UpdatePower);
  AssignProcessHandlers();
}

void TProcessModule::ParamStereoChange(TCustomVSTModule&, std::int32_t, float& Value) {
  // The trim is not recomputed here: it doubles at the next Trim or Drive
  // change, as the knobs always behaved.
  FSettings.FStereo = Value > 0.5f;
  NotifyEditor(&IDriveEditor::UpdateStereo);
}

void TProcessModule::ParamAsymmetricChange(TCustomVSTModule&, std::int32_t, float& Value) {
  FSettings.FAsymmetric = Value > 0.5f;
  NotifyEditor(&IDriveEditor::UpdateAsymmetric);
}

void TProcessModule::ParamOversamplingChange(TCustomVSTModule&, std::int32_t, float& Value) {
  Value = OversamplingKnobValue(Value);
  SetOSFactor(OversamplingFactor(Value));
  NotifyEditor(&IDriveEditor::UpdateOversampling);
}

// ---------------------------------------------------------------------------
// Meters

float TProcessModule::InputPeakLevel() const {
  const float P0 = FPeaks[0][0].Peak(), P1 = FPeaks[1][0].Peak();
  return PeakToDecibel(P0 > P1 ? P0 : P1);
}

void TProcessModule::SetInputPeakLevel(float Value) {
  for (auto& Channel : FPeaks) Channel[0].SetPeak(Value);
}

float TProcessModule::OutputPeakLevel() const {
  const float P0 = FPeaks[0][1].Peak(), P1 = FPeaks[1][1].Peak();
  return PeakToDecibel(P0 > P1 ? P0 : P1);
}

void TProcessModule::SetOutputPeakLevel(float Value) {
  for (auto& Channel : FPeaks) Channel[1].SetPeak(Value);
}

}  // namespace vb
