#include <windows.h>

#include <string>

#include "platform/locale_decimal_separator.h"
#include "platform/wide_text.h"

namespace vb {

std::string NumericLocaleName() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  if (GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) <= 0) return {};
  return Utf8FromWide(name);
}

char DecimalSeparatorOfLocale(const std::string& Name) {
  // GetLocaleInfoEx reads the locale's data (for the user's own locale, with
  // the separator the user chose in the regional settings) without changing
  // the process's or the thread's locale.
  const std::wstring wide = WideFromUtf8(Name);
  wchar_t separator[8] = {};
  if (GetLocaleInfoEx(wide.empty() ? LOCALE_NAME_USER_DEFAULT : wide.c_str(), LOCALE_SDECIMAL, separator, 8) <= 0)
    return '.';
  return separator[0] == L',' && separator[1] == L'\0' ? ',' : '.';
}

char UserDecimalSeparator() { return DecimalSeparatorOfLocale(NumericLocaleName()); }

}  // namespace vb
