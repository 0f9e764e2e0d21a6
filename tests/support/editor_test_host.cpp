#include "support/editor_test_host.h"

#include <dirent.h>
#include <malloc.h>
#include <time.h>

#include <cstdlib>
#include <thread>

namespace vb::test {

namespace {

std::int64_t NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

std::int32_t CountEntries(const char* Folder) {
  DIR* dir = opendir(Folder);
  if (dir == nullptr) return -1;
  std::int32_t count = 0;
  while (dirent* entry = readdir(dir))
    if (entry->d_name[0] != '.') ++count;
  closedir(dir);
  return count;
}

}  // namespace

TEditorTestHost::~TEditorTestHost() = default;

bool TEditorTestHost::DisplayAvailable() {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return false;
  return CreateHostWindow(1, 1, "probe") != nullptr;
}

bool TEditorTestHost::CreateWindow() {
  ERect* rect = nullptr;
  FHost.Dispatch(effEditGetRect, 0, 0, &rect);
  if (rect != nullptr) {
    FRectWidth = rect->Right - rect->Left;
    FRectHeight = rect->Bottom - rect->Top;
  }
  FWindow =
      CreateHostWindow(FRectWidth > 0 ? FRectWidth : 400, FRectHeight > 0 ? FRectHeight : 300, "editor test host");
  if (!FWindow) return false;
  return FWindow->Show();
}

std::intptr_t TEditorTestHost::OpenEditor() {
  void* parent = FWindow ? reinterpret_cast<void*>(FWindow->NativeHandle()) : nullptr;
  const std::intptr_t answer = FHost.Dispatch(effEditOpen, 0, 0, parent);
  ERect* rect = nullptr;
  FHost.Dispatch(effEditGetRect, 0, 0, &rect);
  if (rect != nullptr) {
    FRectWidth = rect->Right - rect->Left;
    FRectHeight = rect->Bottom - rect->Top;
  }
  return answer;
}

std::intptr_t TEditorTestHost::CloseEditor() { return FHost.Dispatch(effEditClose); }

void TEditorTestHost::IdleOnce() {
  if (FWindow) FWindow->Pump();
  FHost.Dispatch(effEditIdle);
}

void TEditorTestHost::RunFor(std::int32_t DurationMs, std::int32_t IntervalMs) {
  const std::int64_t end = NowMs() + DurationMs;
  do {
    IdleOnce();
    std::this_thread::sleep_for(std::chrono::milliseconds(IntervalMs));
  } while (NowMs() < end);
}

bool TEditorTestHost::IdleUntil(const std::function<bool()>& Done, std::int32_t TimeoutMs) {
  const std::int64_t end = NowMs() + TimeoutMs;
  while (true) {
    IdleOnce();
    if (Done()) return true;
    if (NowMs() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::int32_t TEditorTestHost::ThreadCount() { return CountEntries("/proc/self/task"); }

std::int32_t TEditorTestHost::OpenFileCount() { return CountEntries("/proc/self/fd"); }

std::size_t TEditorTestHost::HeapInUse() { return mallinfo2().uordblks; }

}  // namespace vb::test
