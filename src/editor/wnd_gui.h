#pragma once
// The drive's editor window: the front panel with thirteen knobs, four
// switches, two peak meters, the power lamp and the vendor label, built
// from the layout table (editor_layout.h) and bound both ways to the
// processor's parameters.
//
// A control the user moves sets its parameter; the processor then calls
// the matching Update... operation, which finds the control already
// showing the value and stops. A parameter changed elsewhere (host
// automation, a program, the defaults) reaches the control through the same
// operation. Switches set their parameter again whenever their glyph
// changes, so a switch moved by the host is reported back to it as
// automation once, as the knobs never are.
//
// Threads: the window lives on the thread that built it (the host's
// user-interface thread): input, painting, the meter timer and the idle run
// there. The Update... operations may come from any thread; on the window's
// own thread they run at once, on any other they only mark the parameter
// (TPendingParameters) and the next idle shows its value.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <thread>

#include "editor/editor_layout.h"
#include "editor/gui_editor_form.h"
#include "editor/pending_parameters.h"
#include "processor/drive_editor.h"
#include "processor/drive_parameter.h"

namespace vb {

class TGuiControl;
class TGuiLabel;
class TGuiPicture;
class TGuiStitchedDial;
class TGuiStitchedDisplay;
class TGuiStitchedPNGList;
class TGuiStitchedSwitch;
class TGuiTimer;
class TProcessModule;

class TWndGUI : public TGuiEditorForm, public IDriveEditor {
 public:
  // Opens a web page; its result is ignored.
  using TOpenUrl = std::function<void(const char* url)>;

  // Builds every component of the layout on Platform (null: the native
  // window). Owner is the processor module in the plug-in; the change
  // handlers refuse to run for any other owner.
  explicit TWndGUI(TCustomVSTModule& owner, std::unique_ptr<TPlatformWindow> platform = nullptr);
  ~TWndGUI() override;

  // The editor class the processor module registers.
  static std::unique_ptr<TVSTEditor> Create(TCustomVSTModule& owner);
  static TEditorFormClass Class() { return TEditorFormClass(&Create, kEditorWidth, kEditorHeight); }

  // --- IDriveEditor: any thread ------------------------------------------------------
  void UpdateInput() override { Update(kParamInput); }
  void UpdateDrive() override { Update(kParamDrive); }
  void UpdateTrim() override { Update(kParamTrim); }
  void UpdateCurveForm() override { Update(kParamCurveForm); }
  void UpdateHiPass() override { Update(kParamHiPass); }
  void UpdateFreq() override { Update(kParamFreq); }
  void UpdateLoPass() override { Update(kParamLoPass); }
  void UpdateLow() override { Update(kParamLow); }
  void UpdateMid() override { Update(kParamMid); }
  void UpdateHigh() override { Update(kParamHigh); }
  void UpdatePres() override { Update(kParamPres); }
  void UpdateDryWet() override { Update(kParamDryWet); }
  void UpdateOutput() override { Update(kParamOutput); }
  void UpdatePower() override { Update(kParamPower); }
  void UpdateStereo() override { Update(kParamStereo); }
  void UpdateAsymmetric() override { Update(kParamAsymmetric); }
  void UpdateOversampling() override { Update(kParamOversampling); }
  // Shows Parameter's value now on the window's thread, else marks it.
  void Update(TDriveParameter parameter);
  // Whether the calling thread is the window's own.
  bool OnWindowThread() const { return std::this_thread::get_id() == FWindowThread; }

  // --- Handlers (the window's thread) -------------------------------------------------
  // Brings every control to its parameter, in parameter order (on show).
  void FormShow();
  // A knob moved: sets its parameter unless it already holds the value.
  void DialChange(TDriveParameter parameter);
  // Power, Stereo, Asymmetric: 1 for glyph 1, else 0, every time.
  void SwitchChange(TDriveParameter parameter);
  // Glyphs 0, 1, 2 set factors 1, 8, 16.
  void SwitchOversamplingChange();
  void TimerVUTimer();
  void VUInMeterDblClick();
  void VUOutMeterDblClick();
  // Control + click on the panel: every parameter to its default.
  void ImgFrontClick();
  void LblByVordaClick();
  void OpenURL();
  // Replaces how web pages are opened (the user's browser by default).
  void SetOpenUrl(TOpenUrl openUrl) { FOpenUrl = std::move(openUrl); }

  // --- Components ------------------------------------------------------------------------
  // The component built from layout row Name (null when there is none).
  TGuiComponent* Component(std::string_view name) const;
  TGuiStitchedDial* Dial(TDriveParameter parameter) const { return FDials[parameter]; }
  TGuiStitchedSwitch* Switch(TDriveParameter parameter) const { return FSwitches[parameter]; }
  TGuiStitchedDisplay& InputMeter() const { return *FInputMeter; }
  TGuiStitchedDisplay& OutputMeter() const { return *FOutputMeter; }
  TGuiPicture& FrontPanel() const { return *FFrontPanel; }
  TGuiPicture& LampOn() const { return *FLampOn; }
  TGuiPicture& LampOff() const { return *FLampOff; }
  TGuiLabel& VendorLabel() const { return *FVendorLabel; }
  TGuiStitchedPNGList& Strips() const { return *FStrips; }
  TGuiTimer& MeterTimer() const { return *FMeterTimer; }
  const TPendingParameters& Pending() const { return FPending; }

  // The glyph a meter of GlyphCount glyphs shows for Level dB: the 25 dB
  // below 0 dB in three glyphs per dB, 0.04 taken as a Single.
  static std::int32_t MeterGlyph(float level, std::int32_t glyphCount);

 protected:
  void ApplyPendingUpdates() override;

 private:
  void Build();
  void CreateComponent(const TEditorControlSpec& spec);
  void CreatePicture(const TEditorControlSpec& spec);
  void CreateLabel(const TEditorControlSpec& spec);
  void CreateSwitch(const TEditorControlSpec& spec);
  void CreateDial(const TEditorControlSpec& spec);
  void CreateDisplay(const TEditorControlSpec& spec);
  void CreateTimer(const TEditorControlSpec& spec);
  void CreateStripList();
  // Shows the parameter's value on its control (the window's thread).
  void ShowParameter(TDriveParameter parameter);
  void ShowDial(TDriveParameter parameter);
  void ShowSwitch(TDriveParameter parameter);
  void ShowPower();
  void ShowOversampling();
  static void ShowLevel(TGuiStitchedDisplay& meter, float level);
  // A switch's glyph stands for Value now: sets the parameter to it (and so
  // reports it to the host) every time.
  void EchoSwitch(TDriveParameter parameter, float value);
  // The owner as the processor module; an assertion failure otherwise.
  TProcessModule& Processor() const;

  TProcessModule* FProcessor;
  std::thread::id FWindowThread;
  TPendingParameters FPending;
  // The parameter being shown and the value read for it: the change events
  // its control fires meanwhile must not write that value back over a newer
  // one that another thread stored since.
  std::int32_t FShowing = kNoParameter;
  float FShownValue = 0;
  TOpenUrl FOpenUrl;
  std::array<TGuiStitchedDial*, kParamCount> FDials{};
  std::array<TGuiStitchedSwitch*, kParamCount> FSwitches{};
  TGuiStitchedDisplay* FInputMeter = nullptr;
  TGuiStitchedDisplay* FOutputMeter = nullptr;
  TGuiPicture* FFrontPanel = nullptr;
  TGuiPicture* FLampOn = nullptr;
  TGuiPicture* FLampOff = nullptr;
  TGuiLabel* FVendorLabel = nullptr;
  TGuiStitchedPNGList* FStrips = nullptr;
  TGuiTimer* FMeterTimer = nullptr;
};

}  // namespace vb
