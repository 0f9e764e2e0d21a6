#pragma once
// The user's decimal separator for parameter texts, read without touching
// the process locale: on POSIX systems from the locale the environment
// names, on Windows from the user's regional settings.

#include <string>

namespace vb {

// Name of the locale that governs numbers. POSIX: by precedence LC_ALL, then
// LC_NUMERIC, then LANG; "C" when none is set or all are empty. Windows: the
// user's default locale ("de-DE"), or "" for it when its name cannot be read.
std::string NumericLocaleName();

// Decimal separator of the named locale (only '.' or ','); '.' when the
// locale does not exist or its radix character is something else.
char DecimalSeparatorOfLocale(const std::string& Name);

// DecimalSeparatorOfLocale(NumericLocaleName()). Reads the environment and
// locale files: call at construction, never on the audio thread.
char UserDecimalSeparator();

}  // namespace vb
