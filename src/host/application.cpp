#include "host/application.h"

#include <mutex>

namespace vb {

namespace {
// Heap-held so that its lifetime is ended explicitly by Finalize, not by
// whichever order exit handlers and library finalisers happen to run in.
std::mutex GApplicationLock;
TApplication* GApplication = nullptr;
}  // namespace

TApplication::TApplication() : TComponent(nullptr) {}

TApplication& TApplication::Instance() {
  std::lock_guard<std::mutex> guard(GApplicationLock);
  if (!GApplication) GApplication = new TApplication();
  return *GApplication;
}

void TApplication::Finalize() {
  TApplication* victim = nullptr;
  {
    std::lock_guard<std::mutex> guard(GApplicationLock);
    victim = GApplication;
    GApplication = nullptr;
  }
  delete victim;
}

}  // namespace vb
