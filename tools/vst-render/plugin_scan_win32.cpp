#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/wide_text.h"
#include "plugin_scan.h"

namespace vb {

namespace {

constexpr DWORD kAnswerPipeBytes = 1 << 20;  // room for all a plug-in prints: the child never waits
constexpr DWORD kMaxPath = 32768;            // characters of a long path

// A command-line argument as CommandLineToArgvW reads it back.
std::wstring Quoted(const std::wstring& arg) {
  std::wstring out = L"\"";
  size_t slashes = 0;
  for (wchar_t c : arg) {
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

std::string Describe(DWORD code) {
  char text[64];
  std::snprintf(text, sizeof text, code >= 0xC0000000u ? "exception 0x%08lX" : "exit code %lu",
                static_cast<unsigned long>(code));
  return text;
}

}  // namespace

// The child is this program again (Windows has no fork()); what it prints
// is read after it ended, so that a hung plug-in is killed at the limit.
TScannedPlugin ScanPlugin(const std::string& path, int timeoutSeconds) {
  TScannedPlugin found;
  found.Path = path;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  std::vector<wchar_t> self(kMaxPath);
  const DWORD selfLength = GetModuleFileNameW(nullptr, self.data(), kMaxPath);
  if (!selfLength || !CreatePipe(&readEnd, &writeEnd, &inherit, kAnswerPipeBytes)) {
    found.Error = "cannot start a process to load it";
    return found;
  }
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
  std::wstring command = Quoted(program) + L" " + WideFromUtf8(kScanChildOption) + L" " + Quoted(WideFromUtf8(path));
  PROCESS_INFORMATION child{};
  const bool started = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                      nullptr, nullptr, &start, &child);
  CloseHandle(writeEnd);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (!started) {
    CloseHandle(readEnd);
    found.Error = "cannot start a process to load it";
    return found;
  }
  DWORD code = 0;
  if (WaitForSingleObject(child.hProcess, static_cast<DWORD>(timeoutSeconds) * 1000) == WAIT_TIMEOUT) {
    TerminateProcess(child.hProcess, 1);
    found.Error = "did not answer within " + std::to_string(timeoutSeconds) + " s";
  } else {
    GetExitCodeProcess(child.hProcess, &code);
  }
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  std::string text;
  char chunk[4096];
  DWORD n = 0;
  while (found.Error.empty() && ReadFile(readEnd, chunk, sizeof chunk, &n, nullptr) && n > 0) text.append(chunk, n);
  CloseHandle(readEnd);
  if (!found.Error.empty()) return found;
  std::string answer;
  for (char c : text)
    if (c != '\r') answer += c;  // standard output in text mode
  const size_t mark = answer.rfind(kScanAnswerMark);
  if (mark == std::string::npos) {
    found.Error = code != 0 ? "crashed while loading (" + Describe(code) + ")" : "ended without an answer";
    return found;
  }
  ReadScanAnswer(answer.substr(mark + std::char_traits<char>::length(kScanAnswerMark)), found);
  return found;
}

}  // namespace vb
