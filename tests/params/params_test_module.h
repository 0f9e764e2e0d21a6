#pragma once
// A small module with a handful of parameters, for exercising the module's
// parameter and program handling in-process with the test host.

#include <cstdint>
#include <memory>
#include <vector>

#include "host/vst_module.h"
#include "params/parameters_description.h"
#include "support/test_host.h"

namespace vb::test {

// Parameters: 0 "Input" -200..200 "dB *0,1"; 1 "Freq" 20..20000 logarithmic
// "Hz" with the built-in parser; 2 "Power" switch; 3 "Locked" not
// automatable, reports its properties. One category "Highpass Filter".
// Programs: one with an empty name and "Second" (chunk mode: chunk programs).
class TParamsTestModule : public TVSTModule {
 public:
  TParamsTestModule(TComponent* Owner, bool ChunkMode) : TVSTModule(Owner), FChunkMode(ChunkMode) {}

 protected:
  const TVSTModuleDescription* StoredDescription() const override;

 private:
  bool FChunkMode;
};

// Builds the module with its description, attaches Host as its host
// (adopted) and clears the calls recorded so far.
std::unique_ptr<TParamsTestModule> MakeParamsTestModule(TTestHost& Host, bool ChunkMode = false);

}  // namespace vb::test
