#include "platform/web_browser.h"

#include <algorithm>

namespace vb {

bool UsableWebAddress(const std::string& Url) {
  if (Url.empty() || Url.front() == '-') return false;
  return std::none_of(Url.begin(), Url.end(), [](char C) { return static_cast<unsigned char>(C) < 0x20 || C == 0x7F; });
}

}  // namespace vb
