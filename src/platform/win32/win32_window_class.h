#pragma once
// The window class of this loaded module's editor windows.
//
// Window classes are process-wide, and a host may load two copies of this
// DLL (a bridge, a sandbox, two installed versions): the class name carries
// the module's load address, so each copy has its own class and window
// procedure. The class is registered when the first window needs it and
// unregistered when the last one is gone, so a module that is unloaded
// leaves no class behind whose procedure would point into freed code.
//
// User-interface thread only.

#include <windows.h>

#include <string>

namespace vb {

// This module's instance handle (the DLL's, not the host's).
HINSTANCE ModuleInstance();
// "VordaBrasswickEditor" and the module's address in hex.
std::wstring EditorWindowClassName();
// Registers the class (first user) and counts a user; false on failure.
bool AcquireEditorWindowClass(WNDPROC Procedure);
// Counts a user off; the last one unregisters the class.
void ReleaseEditorWindowClass();
// Whether the class is registered now (for tests).
bool EditorWindowClassRegistered();

}  // namespace vb
