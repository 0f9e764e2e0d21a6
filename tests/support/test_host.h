#pragma once
// A small VST 2.4 host for tests. It loads a plug-in library with dlopen or
// LoadLibraryW (never linking its internals), answers the host callback like a real host
// and records every callback the plug-in makes.
//
//   vb::test::TTestHost Host(VB_PLUGIN_PATH);
//   Host.StartUp(48000.0f, 256);             // entry, effOpen, rate, block, resume
//   auto Out = Host.Process32({In0, In1});   // one block, replacing, 32-bit
//   EXPECT_EQ(Host.CountCalls(vb::amAutomate), 0u);
//   Host.Close();                            // effClose
//
// A TTestHost without a library can serve a module built in-process: call
// Adopt(Module->Effect()) and hand AudioMasterCallback to the module.
// Callbacks may arrive on any thread; recording is guarded by a lock.

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "host/vst_abi.h"

namespace vb::test {

// One recorded host callback.
struct THostCall {
  std::int32_t Opcode = 0;
  std::int32_t Index = 0;
  std::intptr_t Value = 0;
  void* Ptr = nullptr;
  float Opt = 0.0f;
  TVSTEffect* Effect = nullptr;
  std::string Text;  // amCanDo: the queried text
};

using Channels32 = std::vector<std::vector<float>>;
using Channels64 = std::vector<std::vector<double>>;

class TTestHost {
 public:
  // Without a library: for modules built in-process (see Adopt).
  TTestHost();
  // Loads the library; throws std::runtime_error when it cannot be loaded
  // or exports no VSTPluginMain.
  explicit TTestHost(const std::string& LibraryPath);
  // Closes every instantiated effect still open (unless Abandon() was
  // called) and unloads the library. Adopted records are left alone.
  ~TTestHost();
  TTestHost(const TTestHost&) = delete;
  TTestHost& operator=(const TTestHost&) = delete;

  // --- Answers given to the plug-in (set before the call that needs them) --
  std::intptr_t VersionAnswer = 2400;            // amVersion
  std::string ProductString = "Vorda TestHost";  // amGetProductString (empty: answer 0)
  std::string VendorString = "Vorda Tests";      // amGetVendorString
  std::intptr_t SampleRateAnswer = 44100;        // amGetSampleRate
  std::intptr_t BlockSizeAnswer = 512;           // amGetBlockSize
  std::intptr_t ProcessEventsAnswer = 1;         // amProcessEvents
  // Runs after each callback has been recorded and answered, on the
  // plug-in's thread; may call the plug-in back (a host idling the editor
  // from its amAutomate answer).
  std::function<void(const THostCall&)> OnCallback;

  // --- Instances -------------------------------------------------------------
  // Calls the entry point; records the callbacks made meanwhile. Returns the
  // record (also kept as Effect()) or null.
  TVSTEffect* Instantiate();
  // The most recently instantiated or adopted record that is not closed.
  TVSTEffect* Effect() const { return FEffect; }
  // Routes the callbacks of an in-process module's record to this host and
  // makes it Effect(). The module still belongs to the caller.
  void Adopt(TVSTEffect* Effect);
  // The function to hand to an adopted module as its host callback.
  static std::intptr_t AudioMasterCallback(TVSTEffect* Effect, std::int32_t Opcode, std::int32_t Index,
                                           std::intptr_t Value, void* Ptr, float Opt);
  // Instantiates when needed, then effOpen, effSetSampleRate,
  // effSetBlockSize and effMainsChanged(1), as hosts do. Fails the current
  // test (ADD_FAILURE) when the entry point answers null.
  TVSTEffect* StartUp(float SampleRate = 44100.0f, std::int32_t BlockSize = 512);
  // effClose on Effect(); afterwards Effect() is null. Returns the answer.
  std::intptr_t Close();
  // Keeps the effects open on destruction (tests of library unloading).
  void Abandon() { FCloseOnDestroy = false; }
  // Unloads the library now (the library runs its unload step).
  void Unload();

  // --- Calls on Effect() -------------------------------------------------------
  std::intptr_t Dispatch(std::int32_t Opcode, std::int32_t Index = 0, std::intptr_t Value = 0, void* Ptr = nullptr,
                         float Opt = 0.0f);
  // effGetEffectName and friends: the text the plug-in wrote (256-byte buffer).
  std::string DispatchText(std::int32_t Opcode, std::int32_t Index = 0);
  float GetParameter(std::int32_t Index);
  void SetParameter(std::int32_t Index, float Value);
  // One block through the record's entries. Outputs start as OutputInit
  // (default 0) in numOutputs channels of the input's length.
  Channels32 Process32(const Channels32& Inputs, float OutputInit = 0.0f);
  Channels64 Process64(const Channels64& Inputs, double OutputInit = 0.0);
  Channels32 ProcessAccumulating(const Channels32& Inputs, float OutputInit = 0.0f);

  // --- Recorded callbacks ------------------------------------------------------
  std::vector<THostCall> Calls() const;
  std::size_t CountCalls(std::int32_t Opcode) const;
  void ClearCalls();
  // MIDI events received with amProcessEvents, copied during the call.
  std::vector<TVstMidiEvent> ReceivedMidiEvents() const;
  // Number of amProcessEvents calls and the event count of each.
  std::vector<std::int32_t> ReceivedEventListSizes() const;

 private:
  std::intptr_t Answer(const THostCall& Call, void* Ptr);
  void Forget(TVSTEffect* Effect);

  void* FLibrary = nullptr;
  using TEntry = TVSTEffect* (*)(TAudioMasterCallbackFunc);
  TEntry FEntry = nullptr;
  TVSTEffect* FEffect = nullptr;
  std::vector<TVSTEffect*> FOpenEffects;
  std::vector<TVSTEffect*> FInstantiated;  // closed on destruction; adopted ones are not
  bool FCloseOnDestroy = true;

  mutable std::mutex FLock;
  std::vector<THostCall> FCalls;
  std::vector<TVstMidiEvent> FMidiEvents;
  std::vector<std::int32_t> FEventListSizes;
};

}  // namespace vb::test
