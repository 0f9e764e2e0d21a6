#include <windows.h>

#include "platform/wide_text.h"

namespace vb {

std::wstring WideFromUtf8(std::string_view Text) {
  if (Text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, Text.data(), int(Text.size()), nullptr, 0);
  std::wstring wide(std::size_t(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, Text.data(), int(Text.size()), wide.data(), length);
  return wide;
}

std::string Utf8FromWide(std::wstring_view Text) {
  if (Text.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, Text.data(), int(Text.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(std::size_t(length > 0 ? length : 0), '\0');
  if (length > 0)
    WideCharToMultiByte(CP_UTF8, 0, Text.data(), int(Text.size()), narrow.data(), length, nullptr, nullptr);
  return narrow;
}

}  // namespace vb
