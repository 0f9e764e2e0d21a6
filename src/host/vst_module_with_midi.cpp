#include "host/vst_module_with_midi.h"

#include <algorithm>
#include <cstring>

namespace vb {

namespace {
constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kPolyAftertouch = 0xA0;
constexpr std::uint8_t kControlChange = 0xB0;
constexpr std::uint8_t kProgramChange = 0xC0;
constexpr std::uint8_t kChannelAftertouch = 0xD0;
constexpr std::uint8_t kPitchBend = 0xE0;
// ByteSize the slots are initialised with.
constexpr std::int32_t kSlotByteSize = 24;

std::uint8_t Status(std::uint8_t Command, std::uint8_t Channel) {
  return static_cast<std::uint8_t>(Command + (Channel & 0x0F));
}
}  // namespace

TVSTModuleWithMidi::TVSTModuleWithMidi(TComponent* AOwner)
    : TCustomVSTModule(AOwner), FSlots(kOutgoingSlots), FSysExCopies(kOutgoingSlots) {
  for (std::int32_t i = 0; i < kOutgoingSlots; ++i) {
    TVstMidiEvent& slot = FSlots[static_cast<std::size_t>(i)];
    std::memset(&slot, 0, sizeof(slot));
    slot.EventType = etMidi;
    slot.ByteSize = kSlotByteSize;
    FVstEvents.Events[i] = reinterpret_cast<TVstEvent*>(&slot);
  }
  FVstEvents.NumEvents = 0;
}

TVSTModuleWithMidi::~TVSTModuleWithMidi() = default;

// --- Incoming ---------------------------------------------------------------

std::intptr_t TVSTModuleWithMidi::HostCallProcessEvents(std::int32_t, std::intptr_t, void* Ptr, float) {
  if (Ptr) ProcessEvents(*static_cast<TVstEvents*>(Ptr));
  return 1;
}

std::intptr_t TVSTModuleWithMidi::HostCallGetCurrentMidiProgram(std::int32_t, std::intptr_t, void*, float) {
  return -1;
}

void TVSTModuleWithMidi::ProcessEvents(TVstEvents& Events) {
  if (OnProcessEvents) OnProcessEvents(*this, Events);
  // The host's list holds NumEvents pointers, more than the two the
  // header declares.
  TVstEvent* const* list = Events.Events;
  for (std::int32_t i = 0; i < Events.NumEvents; ++i) {
    TVstEvent* event = list[i];
    if (!event) continue;  // a host's empty entry is skipped, not followed
    switch (event->EventType) {
      case etMidi:
        ProcessMidiEvent(*reinterpret_cast<TVstMidiEvent*>(event));
        break;
      case etSysEx:
        ProcessMidiSysExEvent(*reinterpret_cast<TVstMidiSysExEvent*>(event));
        break;
      default:
        ProcessOtherEvent(*event);
        break;
    }
  }
}

void TVSTModuleWithMidi::ProcessMidiEvent(TVstMidiEvent& Event) {
  if (OnProcessMidi) OnProcessMidi(*this, Event);
}

void TVSTModuleWithMidi::ProcessMidiSysExEvent(TVstMidiSysExEvent& Event) {
  if (OnProcessMidiSysEx) OnProcessMidiSysEx(*this, Event);
}

void TVSTModuleWithMidi::ProcessOtherEvent(TVstEvent& Event) {
  if (OnProcessEvent) OnProcessEvent(*this, Event);
}

// --- Outgoing ---------------------------------------------------------------

// The slot at the current count; the count never exceeds
// kMaxOutgoingEvents, so this is always one of the kOutgoingSlots slots.
TVstMidiEvent& TVSTModuleWithMidi::NextSlot() {
  const std::int32_t index = std::clamp(FVstEvents.NumEvents, 0, kOutgoingSlots - 1);
  return FSlots[static_cast<std::size_t>(index)];
}

void TVSTModuleWithMidi::CountQueuedEvent() {
  if (FVstEvents.NumEvents < kMaxOutgoingEvents) ++FVstEvents.NumEvents;
}

void TVSTModuleWithMidi::MidiOut(std::uint8_t B1, std::uint8_t B2, std::uint8_t B3, std::uint8_t B4,
                                 std::int32_t Offset) {
  TVstMidiEvent& slot = NextSlot();
  slot.EventType = etMidi;
  slot.DeltaFrames = Offset;
  slot.MidiData[0] = B1;
  slot.MidiData[1] = B2;
  slot.MidiData[2] = B3;
  slot.MidiData[3] = B4;
  CountQueuedEvent();
}

void TVSTModuleWithMidi::MidiNoteOn(std::uint8_t Channel, std::uint8_t Note, std::uint8_t Velocity,
                                    std::int32_t Offset) {
  MidiOut(Status(kNoteOn, Channel), Note, Velocity, 0, Offset);
}

void TVSTModuleWithMidi::MidiNoteOff(std::uint8_t Channel, std::uint8_t Note, std::uint8_t Velocity,
                                     std::int32_t Offset) {
  MidiOut(Status(kNoteOff, Channel), Note, Velocity, 0, Offset);
}

void TVSTModuleWithMidi::MidiCC(std::uint8_t Channel, std::uint8_t Number, std::uint8_t Value, std::int32_t Offset) {
  MidiOut(Status(kControlChange, Channel), Number, Value, 0, Offset);
}

void TVSTModuleWithMidi::MidiPolyAftertouch(std::uint8_t Channel, std::uint8_t Note, std::uint8_t Value,
                                            std::int32_t Offset) {
  MidiOut(Status(kPolyAftertouch, Channel), Note, Value, 0, Offset);
}

void TVSTModuleWithMidi::MidiProgramChange(std::uint8_t Channel, std::uint8_t Value, std::int32_t Offset) {
  MidiOut(Status(kProgramChange, Channel), Value, 0, 0, Offset);
}

void TVSTModuleWithMidi::MidiChannelAftertouch(std::uint8_t Channel, std::uint8_t Value, std::int32_t Offset) {
  MidiOut(Status(kChannelAftertouch, Channel), Value, 0, 0, Offset);
}

void TVSTModuleWithMidi::MidiPitchBend(std::uint8_t Channel, std::int32_t Value, std::int32_t Offset) {
  const std::int32_t bend = std::clamp(Value, -8192, 8191) + 8192;  // 0..16383
  MidiOut(Status(kPitchBend, Channel), static_cast<std::uint8_t>(bend % 128), static_cast<std::uint8_t>(bend / 128), 0,
          Offset);
}

void TVSTModuleWithMidi::MidiPitchBend2(std::uint8_t Channel, std::uint8_t Data1, std::uint8_t Data2,
                                        std::int32_t Offset) {
  MidiOut(Status(kPitchBend, Channel), Data1, Data2, 0, Offset);
}

void TVSTModuleWithMidi::MidiSendSysEx(const std::uint8_t* Bytes, std::int32_t Count, std::int32_t Offset) {
  if (Count < 0 || (Count > 0 && !Bytes)) return;
  const auto index = static_cast<std::size_t>(std::clamp(FVstEvents.NumEvents, 0, kOutgoingSlots - 1));
  std::vector<std::uint8_t>& copy = FSysExCopies[index];
  copy.assign(Bytes, Bytes + Count);
  auto& slot = *reinterpret_cast<TVstMidiSysExEvent*>(&FSlots[index]);
  slot.EventType = etSysEx;
  slot.DeltaFrames = Offset;
  slot.DumpBytes = Count;
  slot.SysExDump = copy.data();
  CountQueuedEvent();
}

void TVSTModuleWithMidi::ProcessingCallFinished() {
  TCustomVSTModule::ProcessingCallFinished();
  if (FVstEvents.NumEvents <= 0) return;
  SendVstEventsToHost(reinterpret_cast<TVstEvents*>(&FVstEvents));
  FVstEvents.NumEvents = 0;
}

}  // namespace vb
