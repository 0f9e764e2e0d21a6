// Guards the trace a failure leaves at the C boundary: the host still gets
// its 0, stderr gets one line naming the entry, its opcode and the error,
// a host calling a failing entry in a loop gets a bounded number of lines,
// and long names and messages are cut without losing the line's end.
#include "host/failure_trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "module_fixture.h"

namespace vb::test {
namespace {

class TEditorWithoutDisplay : public TVSTEditor {
 public:
  std::int32_t ClientWidth() const override { return 10; }
  std::int32_t ClientHeight() const override { return 10; }
  void AttachToParent(void*) override { throw std::runtime_error("no display"); }
  bool Embedded() const override { return false; }
};

using FailureTrace = TModuleFixture;

// Runs in a fresh process (the library's trace counts from its first
// failure there) and leaves through exit(): 0 when the lines stayed few.
void FailInALoop(TTestModule& Module) {
  ::testing::internal::CaptureStderr();
  Module.SetEditorFormClass(
      [](TCustomVSTModule&) -> std::unique_ptr<TVSTEditor> { return std::make_unique<TEditorWithoutDisplay>(); });
  int hostWindow = 0;
  const bool refused = Module.Effect()->Dispatcher(Module.Effect(), effEditOpen, 0, 0, &hostWindow, 0.0f) == 0;
  Module.OnDispatcher = [](TBasicVSTModule&, std::int32_t) { throw std::runtime_error("handler failed"); };
  bool allZero = true;
  for (int call = 0; call < 100000; ++call) {
    allZero = allZero && Module.Effect()->Dispatcher(Module.Effect(), effGetVendorVersion, 0, 0, nullptr, 0.0f) == 0;
  }
  const std::string log = ::testing::internal::GetCapturedStderr();
  std::fputs(log.c_str(), stderr);
  const auto lines = std::count(log.begin(), log.end(), '\n');
  std::exit(refused && allZero && lines <= 48 ? 0 : 1);
}

TEST_F(FailureTrace, ThrowingHandlersLeaveOneLineEachUntilTheLimit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(FailInALoop(*FModule), ::testing::ExitedWithCode(0),
              "plug-in: effEditOpen \\(opcode 14\\) failed: no display \\[failure 1\\]\n"
              "plug-in: effGetVendorVersion \\(opcode 49\\) failed: handler failed \\[failure 2\\]\n"
              ".*\\[failure 32; from now on only every doubling is shown\\]\n"
              "plug-in: effGetVendorVersion \\(opcode 49\\) failed: handler failed \\[failure 64\\]\n"
              ".*\\[failure 65536\\]\n$");
}

// The parameter entries name themselves: a user reading the line looks at
// the entry that failed.
class TThrowingValues : public TTestModule {
 public:
  using TTestModule::TTestModule;
  float HostCallGetParameter(std::int32_t) override { throw std::runtime_error("no value"); }
  void HostCallSetParameter(std::int32_t, float) override { throw std::runtime_error("no store"); }
};

void FailBothParameterEntries() {
  TThrowingValues* module = CreateVSTModule<TThrowingValues>(nullptr);
  const bool zero = module->Effect()->GetParameter(module->Effect(), 0) == 0.0f;
  module->Effect()->SetParameter(module->Effect(), 0, 0.5f);
  std::exit(zero ? 0 : 1);
}

TEST(FailureTraceEntries, ParameterEntriesNameThemselves) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(FailBothParameterEntries(), ::testing::ExitedWithCode(0),
              "plug-in: getParameter failed: no value \\[failure 1\\]\n"
              "plug-in: setParameter failed: no store \\[failure 2\\]\n$");
}

// A long owner name is cut to 63 bytes; a line too long for its buffer is
// cut but still ends its line, so the next one starts on a line of its own.
TEST(FailureTraceLines, LongNamesAndMessagesAreCutAndStillEndTheirLine) {
  TFailureTrace trace;
  trace.SetOwner(std::string(100, 'n').c_str());
  const std::string owner = std::string(63, 'n') + ": ";
  ::testing::internal::CaptureStderr();
  try {
    throw std::runtime_error(std::string(600, 'x'));
  } catch (...) {
    trace.Report("getParameter");
  }
  try {
    throw std::runtime_error("short");
  } catch (...) {
    trace.Report("setParameter");
  }
  const std::string log = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(log.substr(0, owner.size()), owner);
  const std::size_t firstEnd = log.find('\n');
  ASSERT_EQ(firstEnd, 510u) << "511 bytes, the last the line's end";
  EXPECT_EQ(log.substr(firstEnd + 1, owner.size()), owner);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2);
}

}  // namespace
}  // namespace vb::test
