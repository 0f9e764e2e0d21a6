#include "processor/process_module.h"

#include <algorithm>
#include <cmath>

#include "dsp/butterworth_filter.h"
#include "dsp/dsp_errors.h"
#include "processor/drive_parameter_mapping.h"
#include "processor/drive_voicing.h"
#include "processor/one_pole_coefficient.h"
#include "processor/process_module_description.h"

namespace vb {

namespace {

TDriveEditorClass GDefaultEditorClass;

bool IsServedRate(float Rate) {
  return Rate >= TProcessModule::kMinSampleRate && Rate <= TProcessModule::kMaxSampleRate;
}

template <class TFilter>
std::unique_ptr<TFilter> NewVoicedFilter(const TFilterVoicing& Voicing) {
  auto filter = std::make_unique<TFilter>();
  filter->SetFrequency(Voicing.Frequency);
  filter->SetGain(0);
  filter->SetBandWidth(Voicing.BandWidth);
  return filter;
}

}  // namespace

TProcessModule::TProcessModule(TComponent* AOwner) : TVSTModule(AOwner) {}

// The editor first: it detaches itself from FEditorLink, which goes with
// this level.
TProcessModule::~TProcessModule() { DestroyEditors(); }

void TProcessModule::SetDefaultEditorClass(TDriveEditorClass Value) { GDefaultEditorClass = Value; }

void TProcessModule::SetEditorClass(TDriveEditorClass Value) {
  FEditorClass = Value;
  TEditorFormClass formClass(&CreateEditor, Value.Width, Value.Height);
  formClass.SizeQuery = Value.SizeQuery;
  SetEditorFormClass(Value ? formClass : TEditorFormClass());
}

// Installed only on drive modules (SetEditorClass), so the owner is one.
std::unique_ptr<TVSTEditor> TProcessModule::CreateEditor(TCustomVSTModule& Owner) {
  auto& module = static_cast<TProcessModule&>(Owner);
  return module.FEditorClass.Create(Owner, module.FEditorPort);
}

const TVSTModuleDescription* TProcessModule::StoredDescription() const { return &kProcessModuleDescription; }

void TProcessModule::BindDescriptionEvents() {
  OnCreate = [this](TCustomVSTModule&) { VSTModuleCreate(); };
  OnClose = [this](TCustomVSTModule&) { VSTModuleClose(); };
  OnBlockSizeChange = [this](TCustomVSTModule&, std::int32_t BlockSize) { VSTModuleBlockSizeChange(BlockSize); };
  OnSampleRateChange = [this](TCustomVSTModule&, float SampleRate) { VSTModuleSampleRateChange(SampleRate); };
  OnSoftBypass = [this](TCustomVSTModule&, bool IsBypass) { VSTModuleSoftBypass(IsBypass); };
  OnSuspend = [this](TCustomVSTModule&) { VSTModuleSuspend(); };
  const std::int32_t count = std::min(ParameterProperties().Count(), static_cast<std::int32_t>(kParamCount));
  for (std::int32_t i = 0; i < count; ++i) {
    const TProcessParameterHandler handler = kProcessParameters[static_cast<std::size_t>(i)].Handler;
    ParameterProperties()[i].OnParameterChange = [this, handler](TCustomVSTModule& Sender, std::int32_t Index,
                                                                 float& Value) {
      (this->*handler)(Sender, Index, Value);
    };
  }
  AssignProcessHandlers();
}

// ---------------------------------------------------------------------------
// Creation and set-up events

void TProcessModule::VSTModuleCreate() {
  FTempBufferSize = 0;
  FHostBlockSize = 1024;
  FControls.PublishHostRate(44100.0f);
  for (int c = 0; c < kChannels; ++c) {
    FHighPass[c] = NewVoicedFilter<TBasicHighpassFilter>(kDriveVoicing.HighPass);
    FUpDownSampling[c] = std::make_unique<TZarnUpDownsampling>();
    FUpDownSampling[c]->SetFilterClass(&TButterworthLowPassFilter::Class());
    FUpDownSampling[c]->SetTransitionBandwidth(TStereoResampler::kTransitionBandwidth);
    FUpDownSampling[c]->SetFactor(1);
    FUpDownSampling[c]->SetOrder(TStereoResampler::kOrder);
    FLow[c] = NewVoicedFilter<TBasicLowShelfFilter>(kDriveVoicing.Low);
    FMid[c] = NewVoicedFilter<TBasicPeakFilter>(kDriveVoicing.Mid);
    FHigh[c] = NewVoicedFilter<TBasicHighShelfFilter>(kDriveVoicing.High);
    FPres[c] = NewVoicedFilter<TBasicPeakFilter>(kDriveVoicing.Pres);
    FFilters[c] = {FHighPass[c].get(), FLow[c].get(), FMid[c].get(), FHigh[c].get(), FPres[c].get()};
  }
  FResampler.Bind(*FUpDownSampling[0], *FUpDownSampling[1]);
  // Sized once for the largest factor, so that oversampling changes never
  // allocate.
  SetTempBufferSize(FHostBlockSize * kMaxOSFactor);
  SetFlags(static_cast<TEffFlags>(Flags() | EffFlagBit(effFlagsHasEditor)));
  SetEditorClass(GDefaultEditorClass);
  for (const TProcessParameter& parameter : kProcessParameters) SetParameter(parameter.Parameter, parameter.Default);
  // No block can run yet: the objects take the defaults here, so that they
  // read as tuned from the start.
  TakeControls();
  if (Programs().Count() > 0) {
    TCustomVstProgram& program = Programs()[0];
    for (const TProcessParameter& parameter : kProcessParameters)
      program.SetParameter(parameter.Parameter, parameter.Default);
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
  const float rate = std::fabs(SampleRate);
  if (!IsServedRate(rate)) throw EDspError(TErrorCode::ecInvalidSampleRate);
  FControls.PublishHostRate(rate);
}

void TProcessModule::VSTModuleSoftBypass(bool IsBypass) { SetParameter(kParamPower, IsBypass ? 0.0f : 1.0f); }

void TProcessModule::VSTModuleSuspend() { FChain.ClearStates(); }

void TProcessModule::SetTempBufferSize(std::int32_t Value) {
  if (Value == FTempBufferSize) return;
  FBuffers.Resize(std::max(numInputs(), kChannels), std::max(numOutputs(), kChannels), static_cast<std::size_t>(Value));
  FTempBufferSize = Value;
}

int TProcessModule::OSFactor() const { return OversamplingFactor(FControls.Value(kParamOversampling)); }


double TProcessModule::OnePoleCoefficient(double Frequency) const {
  return vb::OnePoleCoefficient(Frequency, FControls.HostRate(), OSFactor());
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
  for (const TProcessParameter& parameter : kProcessParameters) SetParameter(parameter.Parameter, parameter.Default);
  SetInputPeakLevel(kMeterResetLevel);
  SetOutputPeakLevel(kMeterResetLevel);
}

// ---------------------------------------------------------------------------
// Parameter handlers (any thread): they publish and tell the editor; the
// audio thread maps the values at its next block.

void TProcessModule::NotifyEditor(TDriveParameter Index) {
  // Not through EditorForm(): the host may close the editor on its own
  // thread while this runs on another.
  FEditorLink.Notify(Index);
}

void TProcessModule::Publish(TDriveParameter Index, float Value) {
  FControls.Publish(Index, Value);
  NotifyEditor(Index);
}

void TProcessModule::ParamInputChange(TCustomVSTModule&, std::int32_t, float& Value) { Publish(kParamInput, Value); }

void TProcessModule::ParamDriveChange(TCustomVSTModule&, std::int32_t, float& Value) {
  // Trim is stored and shown again, as the trim compensation follows the
  // drive (and takes the stereo switch as it stands now).
  SetParameter(kParamTrim, GetParameter(kParamTrim));
  Publish(kParamDrive, Value);
}

void TProcessModule::ParamTrimChange(TCustomVSTModule&, std::int32_t, float& Value) {
  FControls.PublishTrimStereo(FControls.Value(kParamStereo) > 0.5f);
  Publish(kParamTrim, Value);
}

void TProcessModule::ParamCurveFormChange(TCustomVSTModule&, std::int32_t, float& Value) {
  Publish(kParamCurveForm, Value);
}

void TProcessModule::ParamHiPassChange(TCustomVSTModule&, std::int32_t, float& Value) { Publish(kParamHiPass, Value); }

void TProcessModule::ParamFreqChange(TCustomVSTModule&, std::int32_t, float& Value) { Publish(kParamFreq, Value); }

void TProcessModule::ParamLowPassChange(TCustomVSTModule&, std::int32_t, float& Value) { Publish(kParamLoPass, Value); }

void TProcessModule::ParamLowChange(TCustomVSTModule&, std::int32_t, float& Value) { Publish(kParamLow, Value); }

void TProcessModule::ParamMidChange(TCustomVSTModule&, std::int32_t, float& Value) { Publish(kParamMid, Value); }

void TProcessModule::ParamHighChange(TCustomVSTModule&, std::int32_t, float& Value) { Publish(kParamHigh, Value); }

void TProcessModule::ParamPresChange(TCustomVSTModule&, std::int32_t, float& Value) { Publish(kParamPres, Value); }

void TProcessModule::ParamDryWetChange(TCustomVSTModule&, std::int32_t, float& Value) { Publish(kParamDryWet, Value); }

void TProcessModule::ParamOutputChange(TCustomVSTModule&, std::int32_t, float& Value) { Publish(kParamOutput, Value); }

void TProcessModule::ParamPowerChange(TCustomVSTModule&, std::int32_t, float& Value) {
  FPower = Value > 0.5f;
  NotifyEditor(kParamPower);
  AssignProcessHandlers();
}

void TProcessModule::ParamStereoChange(TCustomVSTModule&, std::int32_t, float& Value) {
  // The trim is not mapped again here: flipping the switch leaves the level
  // where it is, and the doubled compensation comes with the next Trim or
  // Drive change (TDriveControlValues::TrimStereo).
  Publish(kParamStereo, Value);
}

void TProcessModule::ParamAsymmetricChange(TCustomVSTModule&, std::int32_t, float& Value) {
  Publish(kParamAsymmetric, Value);
}

void TProcessModule::ParamOversamplingChange(TCustomVSTModule&, std::int32_t, float& Value) {
  Value = OversamplingKnobValue(Value);
  Publish(kParamOversampling, Value);
}

// ---------------------------------------------------------------------------
// Meters

float TProcessModule::InputPeakLevel() const {
  const float p0 = FPeaks[0][0].Peak(), p1 = FPeaks[1][0].Peak();
  return PeakToDecibel(p0 > p1 ? p0 : p1);
}

void TProcessModule::SetInputPeakLevel(float Value) {
  for (auto& channel : FPeaks) channel[0].SetPeak(Value);
}

float TProcessModule::OutputPeakLevel() const {
  const float p0 = FPeaks[0][1].Peak(), p1 = FPeaks[1][1].Peak();
  return PeakToDecibel(p0 > p1 ? p0 : p1);
}

void TProcessModule::SetOutputPeakLevel(float Value) {
  for (auto& channel : FPeaks) channel[1].SetPeak(Value);
}

}  // namespace vb
