// The drive effect module: owns the per-channel filters and resamplers, maps
// the 17 parameters onto the drive's settings, follows the host's sample
// rate, block size, bypass and suspend, and runs the audio blocks (input
// gain and meter, upsampling, the drive chain, downsampling, output gain and
// meter).
//
// Threads: the parameter handlers run on whichever thread sets a parameter,
// several at once and concurrently with the audio thread; they only publish
// values (TDriveControls) and tell the editor. The audio thread owns the
// filters, resamplers, settings and chain: at the start of every block it
// takes one snapshot of the published values and retunes what changed, so a
// block never mixes two tunings. Sample-rate, block-size, suspend and close
// handlers run on the host's set-up thread.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "dsp/basic_filters.h"
#include "dsp/relaxed.h"
#include "dsp/up_down_sampling.h"
#include "host/vst_editor.h"
#include "host/vst_module.h"
#include "processor/drive_chain.h"
#include "processor/drive_controls.h"
#include "processor/drive_editor.h"
#include "processor/drive_editor_port.h"
#include "processor/drive_settings.h"
#include "processor/editor_link.h"
#include "processor/peak_meter.h"
#include "processor/stereo_resampler.h"
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
  // Host sample rates served, in Hz; others are refused.
  static constexpr float kMinSampleRate = 8000.0f;
  static constexpr float kMaxSampleRate = 1.0e7f;
  // The level a reset leaves in a meter, dB: far below any meter's floor,
  // so it shows empty until new audio arrives.
  static constexpr float kMeterResetLevel = -100.0f;

  explicit TProcessModule(TComponent* AOwner);
  ~TProcessModule() override;

  // The editor window class every new module gets (set once at library
  // start-up by the editor side; null: no editor window can be opened).
  static void SetDefaultEditorClass(TDriveEditorClass Value);
  // This module's editor window class (tests build theirs on other
  // platform windows). The window gets EditorPort() to reach the module.
  void SetEditorClass(TDriveEditorClass Value);
  IDriveProcessor& EditorPort() { return FEditorPort; }
  // Where the parameter handlers send the editor's notifications: the
  // editor attaches itself once it is built and detaches before it goes.
  TEditorLink& EditorLink() { return FEditorLink; }

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
  // A negative rate counts as its magnitude. Rates outside kMinSampleRate ..
  // kMaxSampleRate (also 0 and non-finite ones) are refused with EDspError
  // "Invalid Samplerate!" and change nothing.
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
  // The drive chain alone, without resampling or meters, on oversampled
  // buffers of channels 0 and 1 (SampleFrames counted at the oversampled
  // rate). Takes the published values first, like a block.
  void ProcessDriveChain32(const float* const* Inputs, float* const* Outputs, std::uint32_t SampleFrames);
  void ProcessDriveChain64(const double* const* Inputs, double* const* Outputs, std::uint32_t SampleFrames);

  // --- Operations --------------------------------------------------------------
  // Every parameter back to its default through SetParameter (index order,
  // so every handler runs), then both meters reset to -100.
  void SetParamsToDefault();
  // Pole of the clipper's smoothers for a corner frequency in Hz at the
  // published host rate and oversampling factor.
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
  // Published (any thread): what the next block runs with.
  int OSFactor() const;
  float HostSampleRate() const { return FControls.HostRate(); }
  const TDriveControls& Controls() const { return FControls; }
  // The largest block the host announced (samples).
  std::int32_t HostBlockSize() const { return FHostBlockSize; }
  float Peak(int Channel, int Which) const { return FPeaks[Channel][Which].Peak(); }

 protected:
  const TVSTModuleDescription* StoredDescription() const override;
  void BindDescriptionEvents() override;

 private:
  // The tests' view of the audio thread's own objects
  // (tests/processor/process_module_internals.h); not part of the
  // module's interface.
  friend class TProcessModuleInternals;

  // Resizes the work buffers (set-up thread; never while the host processes).
  void SetTempBufferSize(std::int32_t Value);
  // A parameter handler's work: publish the value, then tell the editor.
  void Publish(TDriveParameter Index, float Value);
  void NotifyEditor(TDriveParameter Index);
  static std::unique_ptr<TVSTEditor> CreateEditor(TCustomVSTModule& Owner);

  // Audio thread (and the create handler, before any block): takes the
  // published values and retunes what changed since the last snapshot.
  void TakeControls();
  // Applies Now to filters, resamplers, settings and chain; Was is the
  // snapshot applied last (null: apply everything).
  void Retune(const TDriveControlValues& Now, const TDriveControlValues* Was, bool RetuneResamplers);
  // The oversampled Rate (Hz) on every filter and resampler, Factor on the
  // resamplers.
  void SetFilterRates(int Factor, float Rate);
  // Corners, gains and bandwidths of the biquads whose knobs changed since
  // Was (all of them when Was is null), for filters running at Rate (Hz).
  bool RetuneBiquads(const TDriveControlValues& Now, const TDriveControlValues* Was, float Rate);

  template <class T>
  void ProcessBlock(T** Inputs, T** Outputs, std::uint32_t SampleFrames);
  template <class T>
  void ProcessPiece(int Factor, T** Inputs, T** Outputs, std::uint32_t Offset, std::uint32_t Frames);
  void RecoverAfterBlock();

  std::array<std::unique_ptr<TBasicHighpassFilter>, kChannels> FHighPass;
  std::array<std::unique_ptr<TZarnUpDownsampling>, kChannels> FUpDownSampling;
  std::array<std::unique_ptr<TBasicLowShelfFilter>, kChannels> FLow;
  std::array<std::unique_ptr<TBasicPeakFilter>, kChannels> FMid;
  std::array<std::unique_ptr<TBasicHighShelfFilter>, kChannels> FHigh;
  std::array<std::unique_ptr<TBasicPeakFilter>, kChannels> FPres;
  // States of both channels' resampler filters (the objects hold the tuning).
  TStereoResampler FResampler;
  // Published by the handlers (any thread).
  TDriveControls FControls;
  TEditorLink FEditorLink;
  TDriveEditorPort FEditorPort{*this};
  TDriveEditorClass FEditorClass;
  // The snapshot the objects below are tuned to, and the factor it gives;
  // audio thread only.
  TDriveControlValues FApplied;
  bool FTuned = false;
  int FFactorInUse = 1;
  // FIn32/FIn64 and FOut32/FOut64: both views of the same memory.
  TWorkBuffers FBuffers;
  // FFilterState: the ten smoother states.
  TDriveChain FChain;
  TDriveFilters FFilters;
  // [channel][0] input peak, [channel][1] output peak, linear.
  std::array<std::array<TPeakFollower, 2>, kChannels> FPeaks;
  // The gains, poles and switches of the chain, as mapped from FApplied.
  TDriveSettings FSettings;
  TRelaxed<bool> FPower{true};
  TRelaxed<std::int32_t> FTempBufferSize{0};
  TRelaxed<std::int32_t> FHostBlockSize{1024};
};

}  // namespace vb
