#pragma once
// Capability strings answered to effCanDo. The set is stored as a 32-bit
// word, bit n = member n; strings are compared exactly (case-sensitive).

#include <cstdint>

namespace vb {

enum TVstCanDo : std::int32_t {
  vcdSendVstEvents = 0,
  vcdSendVstMidiEvent,
  vcdSendVstTimeInfo,
  vcdReceiveVstEvents,
  vcdReceiveVstMidiEvent,
  vcdReceiveVstTimeInfo,
  vcdOffline,
  vcdPlugAsChannelInsert,
  vcdPlugAsSend,
  vcdMixDryWet,
  vcdNoRealTime,
  vcdMultipass,
  vcdMetapass,
  vcd1in1out,
  vcd1in2out,
  vcd2in1out,
  vcd2in2out,
  vcd2in4out,
  vcd4in2out,
  vcd4in4out,
  vcd4in8out,
  vcd8in4out,
  vcd8in8out,
  vcdMidiProgramNames,
  vcdLiveWithoutToolbar,
  vcdConformsToWindowRules,
  vcdBypass,
  vcdCockosExtension,
  vcdChainPluginAPI,
};
constexpr std::int32_t kVstCanDoCount = 29;

using TVstCanDos = std::uint32_t;  // set of TVstCanDo
constexpr TVstCanDos CanDoBit(TVstCanDo c) { return TVstCanDos{1} << c; }
constexpr TVstCanDos kAllVstCanDos = (TVstCanDos{1} << kVstCanDoCount) - 1;

// The exact text of a capability.
const char* VstCanDoString(TVstCanDo CanDo);
// The capability whose text equals Text exactly, or -1 (also for null).
std::int32_t FindVstCanDo(const char* Text);

}  // namespace vb
