#pragma once
// A processing component that can follow a module's sample rate and channel
// count and run in the module's queue mode. Abstract: concrete components
// supply the processing and event operations.

#include <cstdint>
#include <vector>

#include "host/vst_abi.h"

namespace vb {

class TZarnProcessingComponent {
 public:
  virtual ~TZarnProcessingComponent();

  bool Bypass() const { return FBypass; }
  virtual void SetBypass(bool Value) { FBypass = Value; }
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value) { FEnabled = Value; }
  float SampleRate() const { return FSampleRate; }  // Hz
  virtual void SetSampleRate(float Value) { FSampleRate = Value; }
  std::int32_t Channels() const { return FChannels; }
  virtual void SetChannels(std::int32_t Value) { FChannels = Value; }
  std::int32_t TrailingSamples() const { return FTrailingSamples; }
  void SetTrailingSamples(std::int32_t Value) { FTrailingSamples = Value; }

  virtual void Init() = 0;
  virtual void Reset() = 0;
  virtual void ResetQueue() = 0;
  virtual void NoteOff() = 0;
  virtual void NoteOffQueue() = 0;
  // Filter is set to true when the component consumes the event.
  virtual void ProcessMidiEvent(const TVstMidiEvent& Event, bool& Filter) = 0;
  virtual void ProcessMidiEventQueue(const TVstMidiEvent& Event, bool& Filter) = 0;
  // Block processing in place over Channels() channels (audio thread).
  virtual void ProcessBlock32(float** Data, std::uint32_t SampleFrames);
  virtual void ProcessBlock64(double** Data, std::uint32_t SampleFrames);

 private:
  bool FBypass = false;
  bool FEnabled = true;
  float FSampleRate = 44100.0f;
  std::int32_t FChannels = 2;
  std::int32_t FTrailingSamples = 0;
};

// The module's list of components. It does not own them. Every list-wide
// operation visits the components from the last to the first.
class TZarnProcessingComponentList {
 public:
  bool Contains(const TZarnProcessingComponent* Item) const;
  void Add(TZarnProcessingComponent* Item);
  void Remove(TZarnProcessingComponent* Item);
  std::size_t Count() const { return FItems.size(); }
  TZarnProcessingComponent* First() const { return FItems.empty() ? nullptr : FItems.front(); }

  void SetSampleRate(float Value);
  void SetChannels(std::int32_t Value);
  void SetEnabled(bool Value);
  void SetBypass(bool Value);
  // ORs the components' filter answers into Filter.
  void ProcessMidiEventQueue(const TVstMidiEvent& Event, bool& Filter);
  void NoteOffQueue();
  // The largest trailing-sample count of the components (0 when empty).
  std::int32_t TrailingSamplesQueue() const;

 private:
  std::vector<TZarnProcessingComponent*> FItems;
};

}  // namespace vb
