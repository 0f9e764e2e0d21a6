#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/web_browser.h"
#include "platform/wide_text.h"

namespace vb {

bool OpenWebPage(const std::string& Url) {
  if (!UsableWebAddress(Url)) return false;
  // Only web addresses: ShellExecute would run a program named by a path.
  if (Url.rfind("https://", 0) != 0 && Url.rfind("http://", 0) != 0) return false;
  const std::wstring wide = WideFromUtf8(Url);
  // Values above 32 mean success.
  const auto result =
      reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace vb
