#include "host/vst_can_do.h"

#include <cstring>

namespace vb {

namespace {
// Indexed by TVstCanDo.
constexpr const char* kCanDoStrings[kVstCanDoCount] = {
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
}  // namespace

const char* VstCanDoString(TVstCanDo CanDo) {
  if (CanDo < 0 || CanDo >= kVstCanDoCount) return "";
  return kCanDoStrings[CanDo];
}

std::int32_t FindVstCanDo(const char* Text) {
  if (!Text) return -1;
  for (std::int32_t i = 0; i < kVstCanDoCount; ++i)
    if (std::strcmp(Text, kCanDoStrings[i]) == 0) return i;
  return -1;
}

}  // namespace vb
