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

// The texts, indexed by TVstCanDo: one list for the plug-in, which answers
// them, and for hosts (vst-render), which ask them. Header-only, so that a
// host uses it without the plug-in's framework.
inline constexpr const char* kVstCanDoStrings[kVstCanDoCount] = {
    "sendVstEvents",
    "sendVstMidiEvent",
    "sendVstTimeInfo",
    "receiveVstEvents",
    "receiveVstMidiEvent",
    "receiveVstTimeInfo",
    "offline",
    "plugAsChannelInsert",
    "plugAsSend",
    "mixDryWet",
    "noRealTime",
    "multipass",
    "metapass",
    "1in1out",
    "1in2out",
    "2in1out",
    "2in2out",
    "2in4out",
    "4in2out",
    "4in4out",
    "4in8out",
    "8in4out",
    "8in8out",
    "midiProgramNames",
    "LiveWithoutToolbar",
    "conformsToWindowRules",
    "bypass",
    "hasCockosExtensions",
    "ChainPluginAPI",
};

using TVstCanDos = std::uint32_t;  // set of TVstCanDo
constexpr TVstCanDos CanDoBit(TVstCanDo C) { return TVstCanDos{1} << C; }
constexpr TVstCanDos kAllVstCanDos = (TVstCanDos{1} << kVstCanDoCount) - 1;

// The exact text of a capability.
const char* VstCanDoString(TVstCanDo CanDo);
// The capability whose text equals Text exactly, or -1 (also for null).
std::int32_t FindVstCanDo(const char* Text);

}  // namespace vb
