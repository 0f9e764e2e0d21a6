#include "platform/win32/win32_window_class.h"

#include <cstdio>

// The linker's symbol at the start of this module's image: its HINSTANCE.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace vb {

namespace {

// Windows using the class; touched on the user-interface thread only.
int GClassUsers = 0;

}  // namespace

HINSTANCE ModuleInstance() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

std::wstring EditorWindowClassName() {
  wchar_t name[64];
  std::swprintf(name, 64, L"VordaBrasswickEditor%llX",
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(ModuleInstance())));
  return name;
}

bool AcquireEditorWindowClass(WNDPROC Procedure) {
  if (GClassUsers == 0) {
    const std::wstring name = EditorWindowClassName();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    // No CS_DBLCLKS: double clicks are paired as on every platform. No
    // background brush: WM_PAINT covers every pixel from the kept frame.
    windowClass.style = 0;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = ModuleInstance();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name.c_str();
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  }
  ++GClassUsers;
  return true;
}

void ReleaseEditorWindowClass() {
  if (GClassUsers <= 0) return;
  if (--GClassUsers == 0) UnregisterClassW(EditorWindowClassName().c_str(), ModuleInstance());
}

bool EditorWindowClassRegistered() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  return GetClassInfoExW(ModuleInstance(), EditorWindowClassName().c_str(), &windowClass) != 0;
}

}  // namespace vb
