#pragma once
// What the running processor is and what it can do, read once with CPUID.
// The process-wide object exists between CpuStartUp and CpuShutDown
// (cpu_unit.h) and never changes; the function bindings are its consumer.

#include <cstdint>
#include <memory>
#include <string>

#include "cpu/cpuid_source.h"
#include "cpu/processor_features.h"

namespace vb {

class TProcessorInfo {
 public:
  // Identifies the processor that Cpuid describes.
  explicit TProcessorInfo(const TCpuidSource& Cpuid);
  TProcessorInfo(const TProcessorInfo&) = delete;
  TProcessorInfo& operator=(const TProcessorInfo&) = delete;

  // The 12 vendor characters; empty without CPUID.
  const std::string& VendorString() const { return FVendorString; }
  // The vendor-specific feature object; null without CPUID.
  const TCustomProcessorFeatures* Features() const { return FFeatures.get(); }

  std::string CPUName() const;
  TCPUType CPUType() const;
  std::uint8_t Family() const;
  std::uint8_t Model() const;
  std::uint8_t Stepping() const;
  std::uint8_t ProcessorType() const;
  std::uint8_t ExtendedFamily() const;
  std::uint8_t ExtendedModel() const;
  std::uint8_t BrandID() const;
  std::uint8_t APICID() const;
  std::uint8_t FlushLineSize() const;
  std::uint8_t LogicalCore() const;
  std::uint32_t ExFeatures() const;
  bool HyperThreading() const;
  bool HasCacheInfo() const;
  // The extended answers: false / empty unless the feature object is of the
  // extended kind.
  bool HasMMX() const;
  bool HasExMMX() const;
  bool Has3DNow() const;
  bool HasEx3DNow() const;
  bool HasConditionalMove() const;
  TSSESupports SupportsSSE() const;
  // Whether 256-bit AVX2 code can run: the processor reports AVX (leaf 1)
  // and AVX2 (leaf 7) and the operating system saves the 256-bit register
  // state (OSXSAVE, XCR0 bits 1 and 2). Read from the leaves every vendor
  // fills, whatever the vendor's own answers say (SupportsSSE of an AMD
  // processor never contains ssAVX).
  bool CanRunAVX2() const { return FCanRunAVX2; }

 private:
  const TCustomProcessorExtendedFeatures* Extended() const;

  std::string FVendorString;
  std::unique_ptr<TCustomProcessorFeatures> FFeatures;
  bool FCanRunAVX2 = false;
};

// The process-wide processor information; null outside CpuStartUp ..
// CpuShutDown.
const TProcessorInfo* ProcessorInfo();

// Creates or frees the process-wide object (CpuStartUp/CpuShutDown do it).
void CreateProcessorInfo(const TCpuidSource& Cpuid);
void FreeProcessorInfo();

}  // namespace vb
