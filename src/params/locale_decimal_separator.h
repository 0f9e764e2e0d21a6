#pragma once
// The user's decimal separator for parameter texts, read from the locale
// named by the environment without touching the process locale.

#include <string>

namespace vb {

// Name of the locale that governs numbers, by POSIX precedence: LC_ALL, then
// LC_NUMERIC, then LANG; "C" when none is set or all are empty.
std::string NumericLocaleName();

// Decimal separator of the named locale (only '.' or ','); '.' when the
// locale does not exist or its radix character is something else.
char DecimalSeparatorOfLocale(const std::string& Name);

// DecimalSeparatorOfLocale(NumericLocaleName()). Reads the environment and
// locale files: call at construction, never on the audio thread.
char UserDecimalSeparator();

}  // namespace vb
