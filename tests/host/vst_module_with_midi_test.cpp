// Guards event handling: incoming lists reach the right handlers and
// components may filter them; outgoing MIDI carries the right bytes, is
// flushed once after each processing call and never overruns its list.
#include "host/vst_module_with_midi.h"

#include <gtest/gtest.h>

#include "module_fixture.h"

namespace vb::test {
namespace {

class TMidiEvents : public TModuleFixture {
 protected:
  void SetUp() override {
    TModuleFixture::SetUp();
    Dispatch(effOpen);
  }
  void ProcessOneBlock() { FHost.Process32({{0, 0}, {0, 0}}); }
  // A host event list with the given events.
  struct TEventList {
    TVstEvents Header{};
    TVstEvent* More[8]{};
  };
};

TEST_F(TMidiEvents, IncomingEventsReachTheHandlerOfTheirType) {
  TVstMidiEvent note{};
  note.EventType = etMidi;
  note.MidiData[0] = 0x90;
  TVstMidiSysExEvent sysEx{};
  sysEx.EventType = etSysEx;
  TVstEvent other{};
  other.EventType = etParameter;
  TEventList list;
  list.Header.NumEvents = 4;
  list.Header.Events[0] = reinterpret_cast<TVstEvent*>(&note);
  list.Header.Events[1] = nullptr;  // skipped, never followed
  list.More[0] = reinterpret_cast<TVstEvent*>(&sysEx);
  list.More[1] = &other;
  // Events[2..3] continue into More, as a host's list does.
  static_assert(offsetof(TEventList, More) == offsetof(TVstEvents, Events) + 2 * sizeof(void*));

  EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, &list), 1);  // nothing bound
  std::vector<std::string> seen;
  FModule->OnProcessEvents = [&](TVSTModuleWithMidi&, TVstEvents& E) {
    seen.push_back("list " + std::to_string(E.NumEvents));
  };
  FModule->OnProcessMidi = [&](TVSTModuleWithMidi&, TVstMidiEvent& E) {
    seen.push_back("midi " + std::to_string(E.MidiData[0]));
  };
  FModule->OnProcessMidiSysEx = [&](TVSTModuleWithMidi&, TVstMidiSysExEvent&) { seen.push_back("sysex"); };
  FModule->OnProcessEvent = [&](TVSTModuleWithMidi&, TVstEvent& E) {
    seen.push_back("other " + std::to_string(E.EventType));
  };
  EXPECT_EQ(Dispatch(effProcessEvents, 0, 0, &list), 1);
  EXPECT_EQ(seen, (std::vector<std::string>{"list 4", "midi 144", "sysex", "other 4"}));
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

TEST_F(TMidiEvents, AComponentThatFiltersANoteKeepsItFromTheModule) {
  TFilteringComponent component;
  FModule->RegisterDSPItem(&component);
  int notes = 0;
  FModule->OnProcessMidi = [&](TVSTModuleWithMidi&, TVstMidiEvent&) { ++notes; };
  TVstMidiEvent note{};
  note.EventType = etMidi;
  TEventList list;
  list.Header.NumEvents = 1;
  list.Header.Events[0] = reinterpret_cast<TVstEvent*>(&note);
  Dispatch(effProcessEvents, 0, 0, &list);
  EXPECT_EQ(notes, 0);
}

TEST_F(TMidiEvents, QueuedNotesAreSentOnceAfterTheProcessingCall) {
  FModule->MidiNoteOn(2, 60, 100, 5);
  EXPECT_EQ(FHost.CountCalls(amProcessEvents), 0u);
  ProcessOneBlock();
  ASSERT_EQ(FHost.ReceivedMidiEvents().size(), 1u);
  const TVstMidiEvent sent = FHost.ReceivedMidiEvents()[0];
  EXPECT_EQ(sent.MidiData[0], 0x92);
  EXPECT_EQ(sent.MidiData[1], 60);
  EXPECT_EQ(sent.MidiData[2], 100);
  EXPECT_EQ(sent.DeltaFrames, 5);
  EXPECT_EQ(sent.ByteSize, 24);
  EXPECT_EQ(FModule->OutgoingEventCount(), 0);
  ProcessOneBlock();
  EXPECT_EQ(FHost.CountCalls(amProcessEvents), 1u);
}

TEST_F(TMidiEvents, MessagesCarryTheirStatusAndDataBytes) {
  FModule->MidiNoteOff(1, 64, 3);
  FModule->MidiCC(15, 7, 127);
  FModule->MidiPolyAftertouch(0, 61, 9);
  FModule->MidiProgramChange(3, 42);
  FModule->MidiChannelAftertouch(4, 77);
  FModule->MidiPitchBend2(5, 1, 2);
  FModule->MidiOut(0xF8, 1, 2, 3, 9);
  ProcessOneBlock();
  const auto sent = FHost.ReceivedMidiEvents();
  ASSERT_EQ(sent.size(), 7u);
  const std::uint8_t expected[7][4] = {{0x81, 64, 3, 0}, {0xBF, 7, 127, 0}, {0xA0, 61, 9, 0}, {0xC3, 42, 0, 0},
                                       {0xD4, 77, 0, 0}, {0xE5, 1, 2, 0},   {0xF8, 1, 2, 3}};
  for (std::size_t i = 0; i < 7; ++i)
    for (std::size_t b = 0; b < 4; ++b) EXPECT_EQ(sent[i].MidiData[b], expected[i][b]) << i << ":" << b;
  EXPECT_EQ(sent[6].DeltaFrames, 9);
}

TEST_F(TMidiEvents, PitchBendSplitsIntoSevenBitHalvesAroundTheCentre) {
  const std::pair<std::int32_t, std::pair<int, int>> cases[] = {
      {0, {0, 64}}, {-8192, {0, 0}}, {8191, {127, 127}}, {-1, {127, 63}}, {99999, {127, 127}}};
  for (const auto& [Value, Bytes] : cases) FModule->MidiPitchBend(0, Value);
  ProcessOneBlock();
  const auto sent = FHost.ReceivedMidiEvents();
  ASSERT_EQ(sent.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(sent[i].MidiData[0], 0xE0);
    EXPECT_EQ(sent[i].MidiData[1], cases[i].second.first) << cases[i].first;
    EXPECT_EQ(sent[i].MidiData[2], cases[i].second.second) << cases[i].first;
  }
}

TEST_F(TMidiEvents, AtMost1023EventsAreSentPerBlockAndTheListIsNeverOverrun) {
  for (int i = 0; i < 1100; ++i) FModule->MidiNoteOn(0, static_cast<std::uint8_t>(i % 128), 1, i);
  const std::uint8_t dump[] = {0xF0, 1, 2, 0xF7};
  FModule->MidiSendSysEx(dump, 4);
  ProcessOneBlock();
  EXPECT_EQ(FHost.ReceivedEventListSizes(), std::vector<std::int32_t>{1023});
  EXPECT_EQ(FHost.ReceivedMidiEvents().back().DeltaFrames, 1022);
}

TEST_F(TMidiEvents, SysExDumpsAreSentAsCopiesOwnedByTheModule) {
  std::vector<std::uint8_t> dump = {0xF0, 0x7E, 0x01, 0xF7};
  FModule->MidiSendSysEx(dump.data(), static_cast<std::int32_t>(dump.size()), 3);
  dump.assign(4, 0);  // the caller's buffer may change at once
  FHost.ClearCalls();
  ProcessOneBlock();
  ASSERT_EQ(FHost.ReceivedEventListSizes(), std::vector<std::int32_t>{1});
  const THostCall call = FHost.Calls().back();
  ASSERT_EQ(call.Opcode, amProcessEvents);
  const auto* list = static_cast<const TVstEvents*>(call.Ptr);
  const auto* sysEx = reinterpret_cast<const TVstMidiSysExEvent*>(list->Events[0]);
  EXPECT_EQ(sysEx->EventType, etSysEx);
  EXPECT_EQ(sysEx->DumpBytes, 4);
  EXPECT_EQ(sysEx->DeltaFrames, 3);
  EXPECT_EQ(std::vector<std::uint8_t>(sysEx->SysExDump, sysEx->SysExDump + 4),
            (std::vector<std::uint8_t>{0xF0, 0x7E, 0x01, 0xF7}));
}

}  // namespace
}  // namespace vb::test
