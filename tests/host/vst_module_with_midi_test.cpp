// Guards event handling: incoming lists reach the right handlers and
// components may filter them; outgoing MIDI carries the right bytes, is
// flushed once after each processing call and never overruns its list.
#include "host/vst_module_with_midi.h"

#include <gtest/gtest.h>

#include "module_fixture.h"

namespace vb::test {
namespace {

class MidiEvents : public ModuleFixture {
 protected:
  void SetUp() override {
    ModuleFixture::SetUp();
    Dispatch(effOpen);
  }
  void ProcessOneBlock() { Host.Process32({{0, 0}, {0, 0}}); }
  // A host event list with the given events.
  struct EventList {
    TVstEvents Header{};
    TVstEvent* More[8]{};
  };
};

TEST_F(MidiEvents, IncomingEventsReachTheHandlerOfTheirType) {
  TVstMidiEvent Note{};
  Note.EventType = etMidi;
  Note.MidiData[0] = 0x90;
  TVstMidiSysExEvent SysEx{};
  SysEx.EventType = etSysEx;
  TVstEvent Other{};
  Other.EventType = etParameter;
  EventList List;
  List.Header.NumEvents = 4;
  List.Header.Events[0] = reinterpret_cast<TVstEvent*>(&Note);
  List.Header.Events[1] = nullptr;  // skipped, never followed
  List.More[0] = reinterpret_cast<TVstEvent*>(&SysEx);
  List.More[1] = &Other;
  // Events[2..3] continue into More, as a host's list does.
  static_assert(offsetof(EventList, More) == offsetof(TVstEvents, Events) + 2 * sizeof(void*));

  EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, &List), 1);  // nothing bound
  std::vector<std::string> Seen;
  Module->OnProcessEvents = [&](TVSTModuleWithMidi&, TVstEvents& E) {
    Seen.push_back("list " + std::to_string(E.NumEvents));
  };
  Module->OnProcessMidi = [&](TVSTModuleWithMidi&, TVstMidiEvent& E) {
    Seen.push_back("midi " + std::to_string(E.MidiData[0]));
  };
  Module->OnProcessMidiSysEx = [&](TVSTModuleWithMidi&, TVstMidiSysExEvent&) { Seen.push_back("sysex"); };
  Module->OnProcessEvent = [&](TVSTModuleWithMidi&, TVstEvent& E) {
    Seen.push_back("other " + std::to_string(E.EventType));
  };
  EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, &List), 1);
  EXPECT_EQ(Seen, (std::vector<std::string>{"list 4", "midi 144", "sysex", "other 4"}));
  EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, nullptr), 1);
}

class TFilteringComponent : public TZarnProcessingComponent {
 public:
  void Init() override {}
  void Reset() override {}
  void ResetQueue() override {}
  void NoteOff() override {}
  void NoteOffQueue() override {}
  void ProcessMidiEvent(const TVstMidiEvent&, bool& Filter) override { Filter = true; }
  void ProcessMidiEventQueue(const TVstMidiEvent&, bool& Filter) override { Filter = true; }
};

TEST_F(MidiEvents, AComponentThatFiltersANoteKeepsItFromTheModule) {
  TFilteringComponent Component;
  Module->RegisterDSPItem(&Component);
  int Notes = 0;
  Module->OnProcessMidi = [&](TVSTModuleWithMidi&, TVstMidiEvent&) { ++Notes; };
  TVstMidiEvent Note{};
  Note.EventType = etMidi;
  EventList List;
  List.Header.NumEvents = 1;
  List.Header.Events[0] = reinterpret_cast<TVstEvent*>(&Note);
  Dispatch(effProcessEvents, 0, 0, &List);
  EXPECT_EQ(Notes, 0);
}

TEST_F(MidiEvents, QueuedNotesAreSentOnceAfterTheProcessingCall) {
  Module->MidiNoteOn(2, 60, 100, 5);
  EXPECT_EQ(Host.CountCalls(amProcessEvents), 0u);
  ProcessOneBlock();
  ASSERT_EQ(Host.ReceivedMidiEvents().size(), 1u);
  const TVstMidiEvent Sent = Host.ReceivedMidiEvents()[0];
  EXPECT_EQ(Sent.MidiData[0], 0x92);
  EXPECT_EQ(Sent.MidiData[1], 60);
  EXPECT_EQ(Sent.MidiData[2], 100);
  EXPECT_EQ(Sent.DeltaFrames, 5);
  EXPECT_EQ(Sent.ByteSize, 24);
  EXPECT_EQ(Module->OutgoingEventCount(), 0);
  ProcessOneBlock();
  EXPECT_EQ(Host.CountCalls(amProcessEvents), 1u);
}

TEST_F(MidiEvents, MessagesCarryTheirStatusAndDataBytes) {
  Module->MidiNoteOff(1, 64, 3);
  Module->MidiCC(15, 7, 127);
  Module->MidiPolyAftertouch(0, 61, 9);
  Module->MidiProgramChange(3, 42);
  Module->MidiChannelAftertouch(4, 77);
  Module->MidiPitchBend2(5, 1, 2);
  Module->MidiOut(0xF8, 1, 2, 3, 9);
  ProcessOneBlock();
  const auto Sent = Host.ReceivedMidiEvents();
  ASSERT_EQ(Sent.size(), 7u);
  const std::uint8_t Expected[7][4] = {{0x81, 64, 3, 0}, {0xBF, 7, 127, 0}, {0xA0, 61, 9, 0}, {0xC3, 42, 0, 0},
                                       {0xD4, 77, 0, 0}, {0xE5, 1, 2, 0},   {0xF8, 1, 2, 3}};
  for (std::size_t i = 0; i < 7; ++i)
    for (std::size_t b = 0; b < 4; ++b) EXPECT_EQ(Sent[i].MidiData[b], Expected[i][b]) << i << ":" << b;
  EXPECT_EQ(Sent[6].DeltaFrames, 9);
}

TEST_F(MidiEvents, PitchBendSplitsIntoSevenBitHalvesAroundTheCentre) {
  const std::pair<std::int32_t, std::pair<int, int>> Cases[] = {
      {0, {0, 64}}, {-8192, {0, 0}}, {8191, {127, 127}}, {-1, {127, 63}}, {99999, {127, 127}}};
  for (const auto& [Value, Bytes] : Cases) Module->MidiPitchBend(0, Value);
  ProcessOneBlock();
  const auto Sent = Host.ReceivedMidiEvents();
  ASSERT_EQ(Sent.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(Sent[i].MidiData[0], 0xE0);
    EXPECT_EQ(Sent[i].MidiData[1], Cases[i].second.first) << Cases[i].first;
    EXPECT_EQ(Sent[i].MidiData[2], Cases[i].second.second) << Cases[i].first;
  }
}

TEST_F(MidiEvents, AtMost1023EventsAreSentPerBlockAndTheListIsNeverOverrun) {
  for (int i = 0; i < 1100; ++i) Module->MidiNoteOn(0, static_cast<std::uint8_t>(i % 128), 1, i);
  const std::uint8_t Dump[] = {0xF0, 1, 2, 0xF7};
  Module->MidiSendSysEx(Dump, 4);
  ProcessOneBlock();
  EXPECT_EQ(Host.ReceivedEventListSizes(), std::vector<std::int32_t>{1023});
  EXPECT_EQ(Host.ReceivedMidiEvents().back().DeltaFrames, 1022);
}

TEST_F(MidiEvents, SysExDumpsAreSentAsCopiesOwnedByTheModule) {
  std::vector<std::uint8_t> Dump = {0xF0, 0x7E, 0x01, 0xF7};
  Module->MidiSendSysEx(Dump.data(), static_cast<std::int32_t>(Dump.size()), 3);
  Dump.assign(4, 0);  // the caller's buffer may change at once
  Host.ClearCalls();
  ProcessOneBlock();
  ASSERT_EQ(Host.ReceivedEventListSizes(), std::vector<std::int32_t>{1});
  const THostCall Call = Host.Calls().back();
  ASSERT_EQ(Call.Opcode, amProcessEvents);
  const auto* List = static_cast<const TVstEvents*>(Call.Ptr);
  const auto* SysEx = reinterpret_cast<const TVstMidiSysExEvent*>(List->Events[0]);
  EXPECT_EQ(SysEx->EventType, etSysEx);
  EXPECT_EQ(SysEx->DumpBytes, 4);
  EXPECT_EQ(SysEx->DeltaFrames, 3);
  EXPECT_EQ(std::vector<std::uint8_t>(SysEx->SysExDump, SysEx->SysExDump + 4),
            (std::vector<std::uint8_t>{0xF0, 0x7E, 0x01, 0xF7}));
}

}  // namespace
}  // namespace vb::test
