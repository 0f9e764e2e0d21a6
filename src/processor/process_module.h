// The drive effect module: owns the per-channel filters and resamplers, maps
// the 17 parameters onto the drive's settings, follows the host's sample
// rate, block size, bypass and suspend, and runs the audio blocks (input
// gain and meter, upsampling, the drive chain, downsampling, output gain and
// meter).
//
// Threads: the parameter handlers run on whichever thread sets a parameter,
// concurrently with the audio thread; everything they write that the audio
// thread reads is a relaxed atomic. Sample-rate, block-size, suspend and
// close handlers run on the host's set-up thread.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "dsp/basic_filters.h"
#include "dsp/up_down_sampling.h"
#include "host/vst_editor.h"
#include "host/vst_module.h"
#include "processor/drive_chain.h"
#include "processor/drive_editor.h"
#include "processor/drive_settings.h"
#include "processor/peak_meter.h"
#include "processor/stereo_resampler.h"
#include "processor/tuning_guard.h"
#include "processor/work_buffers.h"

namespace vb {

class TProcessModule : public TVSTModule {
 public:
  static constexpr int kChannels = 2;
  // The largest oversampling factor: the work buffers always hold this many
  // samples per host frame, so a factor change never needs new memory.
  static constexpr int kMaxOSFactor = 16;
  // Host frames the work buffers are sized for at most; longer announced
  // block sizes are processed in pieces of this many frames.
  static constexpr std::int32_t kMaxBufferedFrames = 8192;

  explicit TProcessModule(TComponent* AOwner);
  ~TProcessModule() override;

  // The editor window class every new module gets (set once at library
  // start-up by the editor side; null: no editor window can be opened).
  static void SetDefaultEditorFormClass(TEditorFormClass Value);

  // --- Parameter handlers (any thread) ------------------------------------
  void ParamInputChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamDriveChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamTrimChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamCurveFormChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamHiPassChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamFreqChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamLowPassChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamLowChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamMidChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamHighChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamPresChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamDryWetChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamOutputChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamPowerChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamStereoChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamAsymmetricChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);
  void ParamOversamplingChange(TCustomVSTModule& Sender, std::int32_t Index, float& Value);

  // --- Module events ---------------------------------------------------------
  void VSTModuleCreate();
  void VSTModuleClose();
  void VSTModuleBlockSizeChange(std::int32_t BlockSize);
  // Refuses 0 and non-finite rates with EDspError "Invalid Samplerate!"
  // before anything changes; a negative rate counts as its magnitude.
  void VSTModuleSampleRateChange(float SampleRate);
  void VSTModuleSoftBypass(bool IsBypass);
  void VSTModuleSuspend();

  // --- Audio handlers (audio thread) -------------------------------------------
  static void VSTModuleProcess32Replacing(TCustomVSTModule& Sender, float** Inputs, float** Outputs,
                                          std::uint32_t SampleFrames);
  static void VSTModuleProcess64Replacing(TCustomVSTModule& Sender, double** Inputs, double** Outputs,
                                          std::uint32_t SampleFrames);
  static void VSTModuleProcessBypass32(TCustomVSTModule& Sender, float** Inputs, float** Outputs,
                                       std::uint32_t SampleFrames);
  static void VSTModuleProcessBypass64(TCustomVSTModule& Sender, double** Inputs, double** Outputs,
                                       std::uint32_t SampleFrames);
  // The drive chain alone, on oversampled buffers of channels 0 and 1.
  void Process32Replacing(const float* const* Inputs, float* const* Outputs, std::uint32_t SampleFrames);
  void Process64Replacing(const double* const* Inputs, double* const* Outputs, std::uint32_t SampleFrames);

  // --- Operations --------------------------------------------------------------
  // Every parameter back to its default through SetParameter (index order,
  // so every handler runs), then both meters reset to -100.
  void SetParamsToDefault();
  // Applies an oversampled rate (Hz) to the smoother poles, filters and
  // resamplers. Refuses 0 and non-finite rates like the sample-rate handler.
  void SampleRateChange(float FSampleRate);
  // Pole of the clipper's smoothers for a corner frequency in Hz at the
  // current host rate and oversampling factor.
  double OnePoleCoefficient(double Frequency) const;
  // Installs the processing handlers with power on, the bypass ones without.
  void AssignProcessHandlers();

  // --- Meters (dB; any thread) ----------------------------------------------------
  // The louder channel's peak in dB. Setting stores the value as the linear
  // peak of both channels (the editor resets with -100).
  float InputPeakLevel() const;
  void SetInputPeakLevel(float Value);
  float OutputPeakLevel() const;
  void SetOutputPeakLevel(float Value);

  // --- State, read-only --------------------------------------------------------------
  int OSFactor() const { return FOSFactor; }
  // Samples per channel of each work buffer.
  std::int32_t TempBufferSize() const { return FTempBufferSize; }
  std::int32_t HostBlockSize() const { return FHostBlockSize; }
  float HostSampleRate() const { return FHostSampleRate; }
  bool Power() const { return FPower; }
  const TDriveSettings& Settings() const { return FSettings; }
  const TDriveChain& Chain() const { return FChain; }
  float Peak(int Channel, int Which) const { return FPeaks[Channel][Which].Peak(); }
  TBasicHighpassFilter* HighPass(int Channel) const { return FHighPass[Channel].get(); }
  TZarnUpDownsampling* UpDownSampling(int Channel) const { return FUpDownSampling[Channel].get(); }
  TBasicLowShelfFilter* Low(int Channel) const { return FLow[Channel].get(); }
  TBasicPeakFilter* Mid(int Channel) const { return FMid[Channel].get(); }
  TBasicHighShelfFilter* High(int Channel) const { return FHigh[Channel].get(); }
  TBasicPeakFilter* Pres(int Channel) const { return FPres[Channel].get(); }

 protected:
  const TVSTModuleDescription* StoredDescription() const override;
  void BindDescriptionEvents() override;

 private:
  // Resizes the work buffers (set-up thread; never while the host processes).
  void SetTempBufferSize(std::int32_t Value);
  void SetOSFactor(int Factor);
  // Calls Setter(Value) on the objects of both channels that exist.
  template <class TFilter, class TSetter>
  void ForBoth(std::array<std::unique_ptr<TFilter>, kChannels>& Filters, TSetter Setter, double Value);
  void NotifyEditor(void (IDriveEditor::*Update)());

  template <class T>
  void ProcessBlock(T** Inputs, T** Outputs, std::uint32_t SampleFrames);
  template <class T>
  void ProcessPiece(TWorkBufferSet& Buffers, int Factor, T** Inputs, T** Outputs, std::uint32_t Offset,
                    std::uint32_t Frames);
  void RecoverAfterBlock();
  // Audio thread: takes over the filters' and resamplers' coefficients and
  // the factor when no retune ran while they were read.
  void RefreshTuning();

  std::array<std::unique_ptr<TBasicHighpassFilter>, kChannels> FHighPass;
  std::array<std::unique_ptr<TZarnUpDownsampling>, kChannels> FUpDownSampling;
  std::array<std::unique_ptr<TBasicLowShelfFilter>, kChannels> FLow;
  std::array<std::unique_ptr<TBasicPeakFilter>, kChannels> FMid;
  std::array<std::unique_ptr<TBasicHighShelfFilter>, kChannels> FHigh;
  std::array<std::unique_ptr<TBasicPeakFilter>, kChannels> FPres;
  // States of both channels' resampler filters (the objects hold the tuning).
  TStereoResampler FResampler;
  // Marks retunes of filters, resamplers and factor (see RefreshTuning).
  TTuningGuard FTuning;
  // The factor the committed coefficients belong to; audio thread only.
  int FFactorInUse = 1;
  // FIn32/FIn64 and FOut32/FOut64: both views of the same memory.
  TWorkBuffers FBuffers;
  // FFilterState: the ten smoother states.
  TDriveChain FChain;
  TDriveFilters FFilters;
  // [channel][0] input peak, [channel][1] output peak, linear.
  std::array<std::array<TPeakFollower, 2>, kChannels> FPeaks;
  // FInputGain, FOutputGain, FDryWet, FLPF, FHPF, FTrim, FCurveForm, FDrive,
  // FClip, FStereo, FAsymmetric.
  TDriveSettings FSettings;
  TRelaxed<bool> FPower{true};
  TRelaxed<int> FOSFactor{1};
  TRelaxed<std::int32_t> FTempBufferSize{0};
  TRelaxed<std::int32_t> FHostBlockSize{1024};
  TRelaxed<float> FHostSampleRate{44100.0f};
};

}  // namespace vb
