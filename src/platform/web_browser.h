#pragma once
// Opens a web page in the user's browser the way the desktop does it.
//
// Linux: `xdg-open URL`, started with posix_spawnp (no shell, so nothing in
// the address is interpreted) in a session of its own through `setsid
// --fork`, which returns at once. The helper is reaped right away, so no
// zombie is left behind and the host's SIGCHLD handling is never touched;
// the browser itself belongs to nobody in the host's process.
//
// Windows: ShellExecuteW with the "open" verb, which hands the address to
// the user's default browser.
//
// User-interface thread (a click handler). Never blocks on the browser.

#include <string>

namespace vb {

// False when Url is unusable (empty, starting with '-', holding control
// characters) or the browser could not be started. Callers ignore failures.
bool OpenWebPage(const std::string& Url);

// The address check OpenWebPage makes first: not empty, not starting with
// '-' (it would read as an option), no control characters.
bool UsableWebAddress(const std::string& Url);

}  // namespace vb
