#pragma once
// The drive's editor window: the front panel with thirteen knobs, four
// switches, two peak meters, the power lamp and the vendor label, built
// from the layout table (editor_layout.h) and bound both ways to the
// processor's parameters by the binding table (editor_bindings.h): one
// TParameterBinding per control, which owns the echo guard and the host's
// edit gestures.
//
// The window sees the processor through IDriveProcessor only. The
// processor tells it of every changed parameter through ParameterChanged;
// the parameter's binding shows the new value, and a control the user moves
// reaches the processor through its binding.
//
// Threads: the window lives on the thread that built it (the host's
// user-interface thread): input, painting, the meter timer and the idle run
// there. ParameterChanged may come from any thread; on the window's own
// thread the value is shown at once, on any other the parameter is only
// marked (TPendingParameters) and the next idle shows its value.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <thread>

#include "editor/editor_layout.h"
#include "editor/editor_scale.h"
#include "editor/gui_editor_form.h"
#include "editor/parameter_binding.h"
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

class TWndGUI : public TGuiEditorForm, public IDriveEditor {
 public:
  // Opens a web page; its result is ignored.
  using TOpenUrl = std::function<void(const char* Url)>;

  // Builds every component of the layout on Platform (null: the native
  // window) for Owner, the module the host sees, reaching the processor
  // through Processor, at Scale device pixels per logical pixel.
  TWndGUI(TCustomVSTModule& Owner, IDriveProcessor& Processor, std::unique_ptr<TPlatformWindow> Platform = nullptr,
          TEditorScale Scale = TEditorScale::esOne);
  ~TWndGUI() override;

  // The editor class the processor registers: the native window at the
  // scale the user's settings and screen ask for (DetectEditorScale), decided
  // at each opening and for each size query before one.
  static std::unique_ptr<TVSTEditor> Create(TCustomVSTModule& Owner, IDriveProcessor& Processor);
  static void PreferredSize(std::int32_t& Width, std::int32_t& Height);
  static TDriveEditorClass Class() { return TDriveEditorClass{&Create, kEditorWidth, kEditorHeight, &PreferredSize}; }
  TEditorScale Scale() const { return FScale; }

  // --- IDriveEditor: any thread --------------------------------------------------------
  void ParameterChanged(TDriveParameter Parameter) override;
  // Whether the calling thread is the window's own.
  bool OnWindowThread() const { return std::this_thread::get_id() == FWindowThread; }

  // --- Handlers (the window's thread) -------------------------------------------------
  // Brings every control to its parameter, in parameter order (on show).
  void FormShow();
  void TimerVUTimer();
  void VUInMeterDblClick();
  void VUOutMeterDblClick();
  // Control + click on the panel: every parameter to its default, inside
  // one edit gesture per parameter.
  void ImgFrontClick();
  void LblByVordaClick();
  void OpenURL();
  // Replaces how web pages are opened (the user's browser by default).
  void SetOpenUrl(TOpenUrl OpenUrl) { FOpenUrl = std::move(OpenUrl); }

  // --- Components ------------------------------------------------------------------------
  // The component built from layout row Name (null when there is none).
  TGuiComponent* Component(std::string_view Name) const;
  TParameterBinding& Binding(TDriveParameter Parameter) const { return *FBindings[Parameter]; }
  TGuiStitchedDial* Dial(TDriveParameter Parameter) const { return FDials[Parameter]; }
  TGuiStitchedSwitch* Switch(TDriveParameter Parameter) const { return FSwitches[Parameter]; }
  TGuiStitchedDisplay& InputMeter() const { return *FInputMeter; }
  TGuiStitchedDisplay& OutputMeter() const { return *FOutputMeter; }
  TGuiPicture& FrontPanel() const { return *FFrontPanel; }
  TGuiPicture& LampOn() const { return *FLampOn; }
  TGuiPicture& LampOff() const { return *FLampOff; }
  TGuiLabel& VendorLabel() const { return *FVendorLabel; }
  TGuiStitchedPNGList& Strips() const { return *FStrips; }
  // Bytes of strip pixels decoded now (window thread): the pieces of the
  // glyphs drawn lately, not whole strips.
  std::size_t DecodedStripBytes() const;
  TGuiTimer& MeterTimer() const { return *FMeterTimer; }
  const TPendingParameters& Pending() const { return FPending; }

  // The glyph a meter of GlyphCount glyphs shows for Level dB: the 25 dB
  // below 0 dB in three glyphs per dB, 0.04 taken as a Single.
  static std::int32_t MeterGlyph(float Level, std::int32_t GlyphCount);

 protected:
  void ApplyPendingUpdates() override;

 private:
  void Build();
  void CreateComponent(const TEditorControlSpec& Spec);
  void CreatePicture(const TEditorControlSpec& Spec);
  void CreateLabel(const TEditorControlSpec& Spec);
  void CreateSwitch(const TEditorControlSpec& Spec);
  void CreateDial(const TEditorControlSpec& Spec);
  void CreateDisplay(const TEditorControlSpec& Spec);
  void CreateTimer(const TEditorControlSpec& Spec);
  void CreateStripList();
  // Binds a built control by its binding row.
  void Bind(const TEditorBinding& Row, TGuiCustomStitchedControl& Control);
  static void ShowLevel(TGuiStitchedDisplay& Meter, float Level);

  IDriveProcessor& FProcessor;
  TEditorScale FScale;
  std::thread::id FWindowThread;
  TPendingParameters FPending;
  TOpenUrl FOpenUrl;
  std::array<std::unique_ptr<TParameterBinding>, kParamCount> FBindings;
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
