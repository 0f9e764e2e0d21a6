#pragma once
// UTF-8 inside, UTF-16 at the Windows API: the two conversions every Win32
// unit uses. Invalid input is replaced (U+FFFD), never refused.

#include <string>
#include <string_view>

namespace vb {

std::wstring WideFromUtf8(std::string_view Text);
std::string Utf8FromWide(std::wstring_view Text);

}  // namespace vb
