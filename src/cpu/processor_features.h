#pragma once
// Vendor-specific decoding of the processor's CPUID answers. One class per
// vendor family; TProcessorInfo (processor_info.h) picks the class from the
// vendor string and owns the object.

#include <cstdint>
#include <memory>
#include <string>

#include "cpu/cache_information.h"
#include "cpu/cpuid_source.h"
#include "cpu/enum_set.h"

namespace vb {

enum class TCPUType { ctUnknown, ctIntel, ctCyrix, ctAMD, ctTransmeta, ctVIA };

enum class TSSESupport { ssSSE, ssSSE2, ssSSE3, ssSSE3x, ssSSE4A, ssSSE4B, ssSSE5, ssAVX };
using TSSESupports = TEnumSet<TSSESupport, std::uint8_t>;

class TCustomProcessorFeatures {
 public:
  virtual ~TCustomProcessorFeatures() = default;

  // The vendor's name: "Intel", "AMD", ... "Unknown" for the standard class.
  virtual const char* VendorName() const = 0;
  // Whether the object carries the extended answers (MMX, 3DNow, SSE ...).
  virtual bool IsExtended() const { return false; }

  std::string CPUName() const;  // the 48 stored characters, up to the first NUL
  TCPUType CPUType() const { return FCPUType; }
  std::uint8_t Family() const { return FFamily; }
  std::uint8_t Model() const { return FModel; }
  std::uint8_t Stepping() const { return FStepping; }
  std::uint8_t ProcessorType() const { return FProcessorType; }
  std::uint8_t ExtendedFamily() const { return FExtendedFamily; }
  std::uint8_t ExtendedModel() const { return FExtendedModel; }
  std::uint8_t BrandID() const { return FBrandID; }
  std::uint8_t APICID() const { return FAPICID; }
  std::uint8_t FlushLineSize() const { return FFlushLineSize; }
  std::uint8_t LogicalCore() const { return FLogicalCore; }
  std::uint32_t Features() const { return FFeatures; }
  std::uint32_t ExFeatures() const { return FExFeatures; }
  const TCustomCacheInformation* CacheInfo() const { return FCacheInfo.get(); }

  bool HasFPU() const { return (FFeatures & (1u << 0)) != 0; }
  bool HasConditionalMoveBit() const { return (FFeatures & (1u << 15)) != 0; }
  bool HasMMXBit() const { return (FFeatures & (1u << 23)) != 0; }
  bool HyperThreading() const { return (FFeatures & (1u << 28)) != 0; }

  // Reads the leaves. Called once, right after construction.
  virtual void Detect(const TCpuidSource& Cpuid);

 protected:
  TCustomProcessorFeatures(TCPUType Type, std::uint32_t HighestLeaf, std::uint32_t ProcessorTypeMask)
      : FCPUType(Type), FHighestLeaf(HighestLeaf), FProcessorTypeMask(ProcessorTypeMask) {}
  // Reads the brand string of leaves 80000002..80000004 hex into FCPUName.
  void ReadBrandString(const TCpuidSource& Cpuid);
  void SetCPUName(const char* Name);

  char FCPUName[48] = {};
  TCPUType FCPUType;
  std::unique_ptr<TCustomCacheInformation> FCacheInfo;
  std::uint32_t FExFeatures = 0;
  std::uint8_t FExtendedFamily = 0;
  std::uint8_t FExtendedModel = 0;
  std::uint8_t FFamily = 0;
  std::uint32_t FFeatures = 0;
  std::uint8_t FLogicalCore = 0;
  std::uint8_t FModel = 0;
  std::uint8_t FProcessorType = 0;
  std::uint8_t FStepping = 0;
  std::uint8_t FBrandID = 0;
  std::uint8_t FFlushLineSize = 0;
  std::uint8_t FAPICID = 0;
  std::uint32_t FHighestLeaf;
  std::uint32_t FHighestExtendedLeaf = 0;
  std::uint32_t FProcessorTypeMask;
};

// Vendors without a class of their own.
class TProcessorFeaturesStandard final : public TCustomProcessorFeatures {
 public:
  explicit TProcessorFeaturesStandard(std::uint32_t HighestLeaf)
      : TCustomProcessorFeatures(TCPUType::ctUnknown, HighestLeaf, 0x3) {}
  const char* VendorName() const override { return "Unknown"; }
};

class TCustomProcessorExtendedFeatures : public TCustomProcessorFeatures {
 public:
  bool IsExtended() const override { return true; }
  bool HasExtendedInfo() const { return FHasExtendedInfo; }
  bool Has3DNow() const { return FHas3DNow; }
  bool HasEx3DNow() const { return FHasEx3DNow; }
  bool HasExMMX() const { return FHasExMMX; }
  TSSESupports SupportsSSE() const { return FSupportsSSE; }
  void Detect(const TCpuidSource& Cpuid) override;

 protected:
  using TCustomProcessorFeatures::TCustomProcessorFeatures;
  // Name from family and model when the processor gives no brand string.
  virtual const char* NameFromTable() const = 0;

  bool FHasExtendedInfo = false;
  bool FHas3DNow = false;
  bool FHasEx3DNow = false;
  bool FHasExMMX = false;
  TSSESupports FSupportsSSE;
};

class TProcessorFeaturesIntel final : public TCustomProcessorExtendedFeatures {
 public:
  explicit TProcessorFeaturesIntel(std::uint32_t HighestLeaf)
      : TCustomProcessorExtendedFeatures(TCPUType::ctIntel, HighestLeaf, 0x3) {}
  const char* VendorName() const override { return "Intel"; }
  void Detect(const TCpuidSource& Cpuid) override;

  bool Is64Bits() const { return FIs64Bits; }
  bool DepCapable() const { return FDepCapable; }
  std::uint8_t PhysicalAddressSize() const { return FPhysicalAddressSize; }
  std::uint8_t VirtualAddressSize() const { return FVirtualAddressSize; }
  std::uint8_t PhysicalCores() const { return FPhysicalCores; }

 protected:
  const char* NameFromTable() const override;

 private:
  bool FIs64Bits = false;
  bool FDepCapable = false;
  std::uint8_t FPhysicalAddressSize = 0;
  std::uint8_t FVirtualAddressSize = 0;
  std::uint8_t FPhysicalCores = 0;
  std::uint32_t FExtendedFeatures = 0;   // leaf 80000001 hex EDX
  std::uint32_t FExtendedFeatures2 = 0;  // leaf 80000001 hex ECX
};

class TProcessorFeaturesAMD final : public TCustomProcessorExtendedFeatures {
 public:
  explicit TProcessorFeaturesAMD(std::uint32_t HighestLeaf)
      : TCustomProcessorExtendedFeatures(TCPUType::ctAMD, HighestLeaf, 0x3) {}
  const char* VendorName() const override { return "AMD"; }
  void Detect(const TCpuidSource& Cpuid) override;

  bool Is64Bits() const { return FIs64Bits; }
  bool DepCapable() const { return FDepCapable; }
  std::uint8_t PhysicalAddressSize() const { return FPhysicalAddressSize; }
  std::uint8_t VirtualAddressSize() const { return FVirtualAddressSize; }
  std::uint8_t PhysicalCores() const { return FPhysicalCores; }
  std::uint32_t Features2() const { return FFeatures2; }
  std::uint32_t ExFeatures2() const { return FExFeatures2; }
  std::uint16_t ExBrandID() const { return FExBrandID; }
  std::uint32_t AdvancedPowerManagement() const { return FAdvancedPowerManagement; }

 protected:
  const char* NameFromTable() const override;

 private:
  bool FIs64Bits = false;
  bool FDepCapable = false;
  std::uint8_t FPhysicalAddressSize = 0;
  std::uint8_t FVirtualAddressSize = 0;
  std::uint8_t FPhysicalCores = 0;
  std::uint32_t FFeatures2 = 0;
  std::uint32_t FExFeatures2 = 0;
  std::uint16_t FExBrandID = 0;
  std::uint32_t FAdvancedPowerManagement = 0;
};

class TProcessorFeaturesCyrix final : public TCustomProcessorExtendedFeatures {
 public:
  explicit TProcessorFeaturesCyrix(std::uint32_t HighestLeaf)
      : TCustomProcessorExtendedFeatures(TCPUType::ctCyrix, HighestLeaf, 0x3) {}
  const char* VendorName() const override { return "Cyrix"; }
  void Detect(const TCpuidSource& Cpuid) override;

 protected:
  const char* NameFromTable() const override;
};

class TProcessorFeaturesVIA final : public TCustomProcessorExtendedFeatures {
 public:
  explicit TProcessorFeaturesVIA(std::uint32_t HighestLeaf)
      : TCustomProcessorExtendedFeatures(TCPUType::ctVIA, HighestLeaf, 0x3) {}
  const char* VendorName() const override { return "VIA"; }
  void Detect(const TCpuidSource& Cpuid) override;

 protected:
  const char* NameFromTable() const override;
};

class TProcessorFeaturesTransmeta final : public TCustomProcessorExtendedFeatures {
 public:
  explicit TProcessorFeaturesTransmeta(std::uint32_t HighestLeaf)
      : TCustomProcessorExtendedFeatures(TCPUType::ctTransmeta, HighestLeaf, 0x3) {}
  const char* VendorName() const override { return "Transmeta"; }
  void Detect(const TCpuidSource& Cpuid) override;

  std::uint32_t Revision() const { return FRevision; }
  std::uint32_t FrequencyMHz() const { return FFrequency; }
  std::uint32_t VoltageMV() const { return FVoltage; }

 protected:
  const char* NameFromTable() const override;

 private:
  std::uint32_t FRevision = 0;
  std::uint32_t FFrequency = 0;
  std::uint32_t FVoltage = 0;
};

// The feature object for a vendor string (12 characters) and highest
// standard leaf, not yet detected.
std::unique_ptr<TCustomProcessorFeatures> CreateProcessorFeatures(const std::string& Vendor, std::uint32_t HighestLeaf);

}  // namespace vb
