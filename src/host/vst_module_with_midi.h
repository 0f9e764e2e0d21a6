#pragma once
// Event handling: the host's timed event lists (effProcessEvents) are handed
// to a handler per event type, and MIDI events the effect queues while
// processing are sent to the host when the processing call ends.

#include <cstdint>
#include <functional>
#include <vector>

#include "host/custom_vst_module.h"

namespace vb {

class TVSTModuleWithMidi;

using TProcessEventsEvent = std::function<void(TVSTModuleWithMidi& Sender, TVstEvents& Events)>;
using TProcessMidiEvent = std::function<void(TVSTModuleWithMidi& Sender, TVstMidiEvent& Event)>;
using TProcessMidiSysExEvent = std::function<void(TVSTModuleWithMidi& Sender, TVstMidiSysExEvent& Event)>;
using TProcessEventEvent = std::function<void(TVSTModuleWithMidi& Sender, TVstEvent& Event)>;

// Outgoing event list as handed to the host: a TVstEvents header with room
// for 2048 event pointers.
struct TVstEventsBuffer {
  std::int32_t NumEvents;
  std::int32_t Padding0;
  std::intptr_t Reserved;
  TVstEvent* Events[2048];
};
static_assert(offsetof(TVstEventsBuffer, Events) == offsetof(TVstEvents, Events));

class TVSTModuleWithMidi : public TCustomVSTModule {
 public:
  // Slots of the outgoing list; at most kMaxOutgoingEvents are sent per
  // processing call, further events overwrite the slot after the last one.
  static constexpr std::int32_t kOutgoingSlots = 1024;
  static constexpr std::int32_t kMaxOutgoingEvents = 1023;

  explicit TVSTModuleWithMidi(TComponent* AOwner);
  ~TVSTModuleWithMidi() override;

  std::intptr_t HostCallProcessEvents(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;
  std::intptr_t HostCallGetCurrentMidiProgram(std::int32_t Index, std::intptr_t Value, void* Ptr, float Opt) override;

  // Outgoing MIDI (audio thread, from inside a processing handler). Offset
  // is the sample offset inside the current block; Channel is 0..15.
  void MidiOut(std::uint8_t B1, std::uint8_t B2, std::uint8_t B3, std::uint8_t B4 = 0, std::int32_t Offset = 0);
  void MidiNoteOn(std::uint8_t Channel, std::uint8_t Note, std::uint8_t Velocity, std::int32_t Offset = 0);
  void MidiNoteOff(std::uint8_t Channel, std::uint8_t Note, std::uint8_t Velocity = 0, std::int32_t Offset = 0);
  void MidiCC(std::uint8_t Channel, std::uint8_t Number, std::uint8_t Value, std::int32_t Offset = 0);
  void MidiPolyAftertouch(std::uint8_t Channel, std::uint8_t Note, std::uint8_t Value, std::int32_t Offset = 0);
  void MidiProgramChange(std::uint8_t Channel, std::uint8_t Value, std::int32_t Offset = 0);
  void MidiChannelAftertouch(std::uint8_t Channel, std::uint8_t Value, std::int32_t Offset = 0);
  // Value in -8192..8191, 0 = centre (clamped to that range).
  void MidiPitchBend(std::uint8_t Channel, std::int32_t Value, std::int32_t Offset = 0);
  void MidiPitchBend2(std::uint8_t Channel, std::uint8_t Data1, std::uint8_t Data2, std::int32_t Offset = 0);
  // The bytes are copied into storage owned by the slot; a dump longer
  // than the slot held before allocates, so size-stable dumps are
  // allocation-free after the first block.
  void MidiSendSysEx(const std::uint8_t* Bytes, std::int32_t Count, std::int32_t Offset = 0);

  // Events queued in the current processing call.
  std::int32_t OutgoingEventCount() const { return FVstEvents.NumEvents; }

  TProcessEventsEvent OnProcessEvents;
  TProcessMidiEvent OnProcessMidi;
  TProcessMidiSysExEvent OnProcessMidiSysEx;
  TProcessEventEvent OnProcessEvent;

 protected:
  // Per-type handlers for incoming events.
  virtual void ProcessEvents(TVstEvents& Events);
  virtual void ProcessMidiEvent(TVstMidiEvent& Event);
  virtual void ProcessMidiSysExEvent(TVstMidiSysExEvent& Event);
  virtual void ProcessOtherEvent(TVstEvent& Event);
  // Sends the queued events to the host and empties the list.
  void ProcessingCallFinished() override;

 private:
  TVstMidiEvent& NextSlot();
  void CountQueuedEvent();

  TVstEventsBuffer FVstEvents{};
  std::vector<TVstMidiEvent> FSlots;
  std::vector<std::vector<std::uint8_t>> FSysExCopies;
};

}  // namespace vb
