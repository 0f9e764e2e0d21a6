#pragma once
// Opens a web page in the user's browser the way the desktop does it:
// `xdg-open URL`, started with posix_spawnp (no shell, so nothing in the
// address is interpreted) in a session of its own through `setsid --fork`,
// which returns at once. The helper is reaped right away, so no zombie is
// left behind and the host's SIGCHLD handling is never touched; the browser
// itself belongs to nobody in the host's process.
//
// User-interface thread (a click handler). Never blocks on the browser.

#include <string>

namespace vb {

// False when Url is unusable (empty, starting with '-', holding control
// characters) or the helper could not be started. Callers ignore failures.
bool OpenWebPage(const std::string& url);

}  // namespace vb
