#include "platform/web_browser.h"

#include <algorithm>

namespace vb {

bool UsableWebAddress(const std::string& url) {
  if (url.empty() || url.front() == '-') return false;
  return std::none_of(url.begin(), url.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

}  // namespace vb
