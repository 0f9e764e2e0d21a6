#pragma once
// The process-wide start-up a test program needs: the units start once
// before its first test, in the order given (the plug-in library's order,
// plugin/process_module_factory.cpp), and shut down after its last, in reverse.
//
//   [[maybe_unused]] ::testing::Environment* const kEnvironment =
//       ::testing::AddGlobalTestEnvironment(new vb::test::TUnitEnvironment(
//           {{vb::CpuStartUp, vb::CpuShutDown}, {vb::ImageStartUp, vb::ImageShutDown}}));

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace vb::test {

struct TUnitSteps {
  void (*StartUp)();
  void (*ShutDown)();
};

class TUnitEnvironment final : public ::testing::Environment {
 public:
  explicit TUnitEnvironment(std::initializer_list<TUnitSteps> Units) : FUnits(Units) {}
  void SetUp() override {
    for (const TUnitSteps& unit : FUnits) unit.StartUp();
  }
  void TearDown() override {
    for (auto unit = FUnits.rbegin(); unit != FUnits.rend(); ++unit) unit->ShutDown();
  }

 private:
  std::vector<TUnitSteps> FUnits;
};

}  // namespace vb::test
