#include "platform/locale_decimal_separator.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <cstring>

namespace vb {

std::string NumericLocaleName() {
  for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* value = std::getenv(var);
    if (value != nullptr && value[0] != '\0') return value;
  }
  return "C";
}

char DecimalSeparatorOfLocale(const std::string& Name) {
  // newlocale builds a private locale object; setlocale would change the
  // host's process-wide state, which a plug-in must never do.
  locale_t loc = newlocale(LC_NUMERIC_MASK, Name.c_str(), static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, loc);
  char sep = (radix != nullptr && std::strcmp(radix, ",") == 0) ? ',' : '.';
  freelocale(loc);
  return sep;
}

char UserDecimalSeparator() { return DecimalSeparatorOfLocale(NumericLocaleName()); }

}  // namespace vb
