#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/system/child_process.h"
#include "platform/wide_text.h"

namespace vb {

namespace {

constexpr DWORD kAnswerPipeBytes = 1 << 20;  // room for all the child prints: it never waits
constexpr DWORD kMaxPath = 32768;            // characters of a long path

// A command-line argument as CommandLineToArgvW reads it back.
std::wstring Quoted(const std::wstring& Arg) {
  std::wstring out = L"\"";
  size_t slashes = 0;
  for (wchar_t c : Arg) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
    slashes = 0;
    out += c;
  }
  out.append(slashes * 2, L'\\');
  return out + L"\"";
}

std::string Describe(DWORD Code) {
  char text[64];
  std::snprintf(text, sizeof text, Code >= 0xC0000000u ? "exception 0x%08lX" : "exit code %lu",
                static_cast<unsigned long>(Code));
  return text;
}

}  // namespace

// What the child prints is read after it ended, so that a hung child is
// killed at the limit.
TChildRun RunInChild(TChildWork /*work*/, const char* Option, const std::string& Argument, int TimeoutSeconds) {
  TChildRun run;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  std::vector<wchar_t> self(kMaxPath);
  const DWORD selfLength = GetModuleFileNameW(nullptr, self.data(), kMaxPath);
  if (!selfLength || !CreatePipe(&readEnd, &writeEnd, &inherit, kAnswerPipeBytes)) return run;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = nul;
  start.hStdOutput = writeEnd;
  start.hStdError = nul;
  const std::wstring program(self.data(), selfLength);
  std::wstring command = Quoted(program) + L" " + Quoted(WideFromUtf8(Option)) + L" " + Quoted(WideFromUtf8(Argument));
  PROCESS_INFORMATION child{};
  const bool started = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                      nullptr, nullptr, &start, &child);
  CloseHandle(writeEnd);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (!started) {
    CloseHandle(readEnd);
    return run;
  }
  run.Started = true;
  DWORD code = 0;
  if (WaitForSingleObject(child.hProcess, static_cast<DWORD>(TimeoutSeconds) * 1000) == WAIT_TIMEOUT) {
    TerminateProcess(child.hProcess, 1);
    run.TimedOut = true;
  } else {
    GetExitCodeProcess(child.hProcess, &code);
    if (code != 0) run.Crash = Describe(code);
  }
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  char chunk[4096];
  DWORD n = 0;
  while (!run.TimedOut && ReadFile(readEnd, chunk, sizeof chunk, &n, nullptr) && n > 0)
    for (DWORD i = 0; i < n; ++i)
      if (chunk[i] != '\r') run.Output += chunk[i];  // standard output in text mode
  CloseHandle(readEnd);
  return run;
}

}  // namespace vb
