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
    TVstMidiEvent& Slot = FSlots[static_cast<std::size_t>(i)];
    std::memset(&Slot, 0, sizeof(Slot));
    Slot.EventType = etMidi;
    Slot.ByteSize = kSlotByteSize;
    FVstEvents.Events[i] = reinterpret_cast<TVstEvent*>(&Slot);
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
  TVstEvent* const* List = Events.Events;
  for (std::int32_t i = 0; i < Events.NumEvents; ++i) {
    TVstEvent* Event = List[i];
    if (!Event) continue;  // a host's empty entry is skipped, not followed
    switch (Event->EventType) {
      case etMidi:
        ProcessMidiEvent(*reinterpret_cast<TVstMidiEvent*>(Event));
        break;
      case etSysEx:
        ProcessMidiSysExEvent(*reinterpret_cast<TVstMidiSysExEvent*>(Event));
        break;
      default:
        ProcessOtherEvent(*Event);
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
  const std::int32_t Index = std::clamp(FVstEvents.NumEvents, 0, kOutgoingSlots - 1);
  return FSlots[static_cast<std::size_t>(Index)];
}

void TVSTModuleWithMidi::CountQueuedEvent() {
  if (FVstEvents.NumEvents < kMaxOutgoingEvents) ++FVstEvents.NumEvents;
}

void TVSTModuleWithMidi::MidiOut(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4,
                                 std::int32_t Offset) {
  TVstMidiEvent& Slot = NextSlot();
  Slot.EventType = etMidi;
  Slot.DeltaFrames = Offset;
  Slot.MidiData[0] = b1;
  Slot.MidiData[1] = b2;
  Slot.MidiData[2] = b3;
  Slot.MidiData[3] = b4;
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
  const std::int32_t Bend = std::clamp(Value, -8192, 8191) + 8192;  // 0..16383
  MidiOut(Status(kPitchBend, Channel), static_cast<std::uint8_t>(Bend % 128), static_cast<std::uint8_t>(Bend / 128), 0,
          Offset);
}

void TVSTModuleWithMidi::MidiPitchBend2(std::uint8_t Channel, std::uint8_t Data1, std::uint8_t Data2,
                                        std::int32_t Offset) {
  MidiOut(Status(kPitchBend, Channel), Data1, Data2, 0, Offset);
}

void TVSTModuleWithMidi::MidiSendSysEx(const std::uint8_t* Bytes, std::int32_t Count, std::int32_t Offset) {
  if (Count < 0 || (Count > 0 && !Bytes)) return;
  const auto Index = static_cast<std::size_t>(std::clamp(FVstEvents.NumEvents, 0, kOutgoingSlots - 1));
  std::vector<std::uint8_t>& Copy = FSysExCopies[Index];
  Copy.assign(Bytes, Bytes + Count);
  auto& Slot = *reinterpret_cast<TVstMidiSysExEvent*>(&FSlots[Index]);
  Slot.EventType = etSysEx;
  Slot.DeltaFrames = Offset;
  Slot.DumpBytes = Count;
  Slot.SysExDump = Copy.data();
  CountQueuedEvent();
}

void TVSTModuleWithMidi::ProcessingCallFinished() {
  TCustomVSTModule::ProcessingCallFinished();
  if (FVstEvents.NumEvents <= 0) return;
  SendVstEventsToHost(reinterpret_cast<TVstEvents*>(&FVstEvents));
  FVstEvents.NumEvents = 0;
}

}  // namespace vb
