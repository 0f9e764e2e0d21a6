#include "host/vst_can_do.h"

#include <cstring>

namespace vb {

const char* VstCanDoString(TVstCanDo CanDo) {
  if (CanDo < 0 || CanDo >= kVstCanDoCount) return "";
  return kVstCanDoStrings[CanDo];
}

std::int32_t FindVstCanDo(const char* Text) {
  if (!Text) return -1;
  for (std::int32_t i = 0; i < kVstCanDoCount; ++i)
    if (std::strcmp(Text, kVstCanDoStrings[i]) == 0) return i;
  return -1;
}

}  // namespace vb
