#include "cpu/processor_features.h"

#include <cstring>

namespace vb {

namespace {

constexpr std::uint32_t kExtendedBase = 0x80000000u;

bool Bit(std::uint32_t Word, unsigned Bit) { return (Word >> Bit) & 1u; }

struct TNameEntry {
  std::uint8_t Family;
  std::int16_t Model;  // -1: any model
  const char* Name;
};

const char* LookUpName(const TNameEntry* Table, std::size_t Count, std::uint8_t Family, std::uint8_t Model) {
  for (std::size_t i = 0; i < Count; ++i)
    if (Table[i].Family == Family && (Table[i].Model < 0 || Table[i].Model == Model)) return Table[i].Name;
  return "Unknown";
}

constexpr TNameEntry kIntelNames[] = {
    {4, -1, "486"},         {5, 4, "Pentium MMX"}, {5, -1, "Pentium"},    {6, 1, "Pentium Pro"},
    {6, 3, "Pentium II"},   {6, 5, "Pentium II"},  {6, 7, "Pentium III"}, {6, 8, "Pentium III"},
    {6, 11, "Pentium III"}, {6, -1, "P6 family"},  {15, -1, "Pentium 4"},
};
constexpr TNameEntry kAMDNames[] = {
    {4, -1, "Am486"}, {5, 6, "K6"},      {5, 8, "K6-2"},        {5, 9, "K6-III"},
    {5, -1, "K5"},    {6, -1, "Athlon"}, {15, -1, "Athlon 64"},
};
constexpr TNameEntry kCyrixNames[] = {{4, -1, "MediaGX"}, {5, -1, "6x86"}, {6, -1, "6x86MX"}};
constexpr TNameEntry kVIANames[] = {{5, -1, "WinChip"}, {6, -1, "C3"}};
constexpr TNameEntry kTransmetaNames[] = {{5, -1, "Crusoe"}, {15, -1, "Efficeon"}};

}  // namespace

std::string TCustomProcessorFeatures::CPUName() const { return std::string(FCPUName, strnlen(FCPUName, 48)); }

void TCustomProcessorFeatures::SetCPUName(const char* Name) {
  std::memset(FCPUName, 0, sizeof FCPUName);
  std::memcpy(FCPUName, Name, strnlen(Name, sizeof FCPUName));
}

void TCustomProcessorFeatures::ReadBrandString(const TCpuidSource& Cpuid) {
  for (std::uint32_t i = 0; i < 3; ++i) {
    const TCpuidRegisters r = Cpuid.Query(kExtendedBase + 2 + i);
    std::memcpy(FCPUName + 16 * i, &r, 16);
  }
}

void TCustomProcessorFeatures::Detect(const TCpuidSource& Cpuid) {
  FHighestExtendedLeaf = Cpuid.Query(kExtendedBase).EAX;
  if (FHighestExtendedLeaf < kExtendedBase) FHighestExtendedLeaf = 0;
  if (FHighestLeaf == 0) return;
  const TCpuidRegisters r = Cpuid.Query(1);
  FStepping = std::uint8_t(r.EAX & 0xF);
  FModel = std::uint8_t((r.EAX >> 4) & 0xF);
  FFamily = std::uint8_t((r.EAX >> 8) & 0xF);
  FProcessorType = std::uint8_t((r.EAX >> 12) & FProcessorTypeMask);
  FExtendedModel = std::uint8_t((r.EAX >> 16) & 0xF);
  FExtendedFamily = std::uint8_t((r.EAX >> 20) & 0xFF);
  FFeatures = r.EDX;
}

void TCustomProcessorExtendedFeatures::Detect(const TCpuidSource& Cpuid) {
  TCustomProcessorFeatures::Detect(Cpuid);
  FHasExtendedInfo = FHighestExtendedLeaf > kExtendedBase;
  if (FHighestExtendedLeaf >= kExtendedBase + 4)
    ReadBrandString(Cpuid);
  else
    SetCPUName(NameFromTable());
}

// --- Intel -----------------------------------------------------------------

void TProcessorFeaturesIntel::Detect(const TCpuidSource& Cpuid) {
  TCustomProcessorExtendedFeatures::Detect(Cpuid);
  if (FHighestLeaf == 0) return;
  const TCpuidRegisters r = Cpuid.Query(1);
  FExFeatures = r.ECX;
  FBrandID = std::uint8_t(r.EBX);
  FFlushLineSize = std::uint8_t(r.EBX >> 8);
  FAPICID = std::uint8_t(r.EBX >> 24);
  if (HyperThreading()) {
    FLogicalCore = std::uint8_t(r.EBX >> 16);
    if (FLogicalCore == 0) FLogicalCore = 1;
  }
  if (FHighestLeaf > 3) FPhysicalCores = std::uint8_t(((Cpuid.Query(4, 0).EAX >> 26) & 0x3F) + 1);
  if (Bit(r.EDX, 25)) FSupportsSSE.Include(TSSESupport::ssSSE);
  if (Bit(r.EDX, 26)) FSupportsSSE.Include(TSSESupport::ssSSE2);
  if (Bit(r.ECX, 0)) FSupportsSSE.Include(TSSESupport::ssSSE3);
  if (Bit(r.ECX, 9)) FSupportsSSE.Include(TSSESupport::ssSSE3x);
  if (Bit(r.ECX, 19)) FSupportsSSE.Include(TSSESupport::ssSSE4A);
  if (Bit(r.ECX, 20)) FSupportsSSE.Include(TSSESupport::ssSSE4B);
  if (Bit(r.ECX, 28)) FSupportsSSE.Include(TSSESupport::ssAVX);
  if (FHasExtendedInfo) {
    const TCpuidRegisters e = Cpuid.Query(kExtendedBase + 1);
    FExtendedFeatures = e.EDX;
    FExtendedFeatures2 = e.ECX;
    FIs64Bits = Bit(e.EDX, 29);
    FDepCapable = Bit(e.EDX, 20);
    if (FHighestExtendedLeaf >= kExtendedBase + 8) {
      const TCpuidRegisters a = Cpuid.Query(kExtendedBase + 8);
      FPhysicalAddressSize = std::uint8_t(a.EAX);
      FVirtualAddressSize = std::uint8_t(a.EAX >> 8);
    }
  }
  if (FHighestLeaf > 1) FCacheInfo = std::make_unique<TIntelCacheInformation>(Cpuid, FHighestLeaf);
}

const char* TProcessorFeaturesIntel::NameFromTable() const {
  return LookUpName(kIntelNames, std::size(kIntelNames), FFamily, FModel);
}

// --- AMD -------------------------------------------------------------------

void TProcessorFeaturesAMD::Detect(const TCpuidSource& Cpuid) {
  TCustomProcessorExtendedFeatures::Detect(Cpuid);
  if (FHighestLeaf != 0) {
    const TCpuidRegisters r = Cpuid.Query(1);
    FFeatures2 = r.ECX;
    FBrandID = std::uint8_t(r.EBX);
    FFlushLineSize = std::uint8_t(r.EBX >> 8);
    FAPICID = std::uint8_t(r.EBX >> 24);
    if (Bit(r.EDX, 25)) FSupportsSSE.Include(TSSESupport::ssSSE);
    if (Bit(r.EDX, 26)) FSupportsSSE.Include(TSSESupport::ssSSE2);
    if (Bit(r.ECX, 0)) FSupportsSSE.Include(TSSESupport::ssSSE3);
  }
  if (!FHasExtendedInfo) return;
  const TCpuidRegisters e = Cpuid.Query(kExtendedBase + 1);
  FExFeatures = e.EDX;
  FExFeatures2 = e.ECX;
  FExBrandID = std::uint16_t(e.EBX);
  FHasExMMX = Bit(e.EDX, 22);
  FHas3DNow = Bit(e.EDX, 31);
  FHasEx3DNow = Bit(e.EDX, 30);
  FIs64Bits = Bit(e.EDX, 29);
  FDepCapable = Bit(e.EDX, 20);
  if (Bit(e.ECX, 6)) FSupportsSSE.Include(TSSESupport::ssSSE4A);
  if (Bit(e.ECX, 11)) FSupportsSSE.Include(TSSESupport::ssSSE5);
  if (FHighestExtendedLeaf >= kExtendedBase + 7) FAdvancedPowerManagement = Cpuid.Query(kExtendedBase + 7).EDX;
  if (FHighestExtendedLeaf >= kExtendedBase + 8) {
    const TCpuidRegisters a = Cpuid.Query(kExtendedBase + 8);
    FPhysicalAddressSize = std::uint8_t(a.EAX);
    FVirtualAddressSize = std::uint8_t(a.EAX >> 8);
    FPhysicalCores = std::uint8_t((a.ECX & 0xFF) + 1);
  }
  FCacheInfo = std::make_unique<TAMDCacheInformation>(Cpuid, FHighestExtendedLeaf);
}

const char* TProcessorFeaturesAMD::NameFromTable() const {
  return LookUpName(kAMDNames, std::size(kAMDNames), FFamily, FModel);
}

// --- Cyrix, VIA, Transmeta ---------------------------------------------------

void TProcessorFeaturesCyrix::Detect(const TCpuidSource& Cpuid) {
  TCustomProcessorExtendedFeatures::Detect(Cpuid);
  if (FHasExtendedInfo) {
    const TCpuidRegisters e = Cpuid.Query(kExtendedBase + 1);
    FExFeatures = e.EDX;
    FHasExMMX = Bit(e.EDX, 24);
    FHas3DNow = Bit(e.EDX, 31);
  }
  FCacheInfo = std::make_unique<TCyrixCacheInformation>(Cpuid, FHighestLeaf);
}

const char* TProcessorFeaturesCyrix::NameFromTable() const {
  return LookUpName(kCyrixNames, std::size(kCyrixNames), FFamily, FModel);
}

void TProcessorFeaturesVIA::Detect(const TCpuidSource& Cpuid) {
  TCustomProcessorExtendedFeatures::Detect(Cpuid);
  if (Bit(FFeatures, 25)) FSupportsSSE.Include(TSSESupport::ssSSE);
  if (FHasExtendedInfo) {
    const TCpuidRegisters e = Cpuid.Query(kExtendedBase + 1);
    FExFeatures = e.EDX;
    FHas3DNow = Bit(e.EDX, 31);
  }
  FCacheInfo = std::make_unique<TVIACacheInformation>(Cpuid, FHighestExtendedLeaf);
}

const char* TProcessorFeaturesVIA::NameFromTable() const {
  return LookUpName(kVIANames, std::size(kVIANames), FFamily, FModel);
}

void TProcessorFeaturesTransmeta::Detect(const TCpuidSource& Cpuid) {
  TCustomProcessorExtendedFeatures::Detect(Cpuid);
  if (FHasExtendedInfo) {
    const TCpuidRegisters e = Cpuid.Query(kExtendedBase + 1);
    FExFeatures = e.EDX;
    FHas3DNow = Bit(e.EDX, 31);
  }
  // Transmeta's own leaves start at 80860000 hex.
  const std::uint32_t highestTransmeta = Cpuid.Query(0x80860000u).EAX;
  if (highestTransmeta >= 0x80860001u) FRevision = Cpuid.Query(0x80860001u).EBX;
  if (highestTransmeta >= 0x80860007u) {
    const TCpuidRegisters t = Cpuid.Query(0x80860007u);
    FFrequency = t.EAX;
    FVoltage = t.EBX;
  }
  FCacheInfo = std::make_unique<TTransmetaCacheInformation>(Cpuid, FHighestExtendedLeaf);
}

const char* TProcessorFeaturesTransmeta::NameFromTable() const {
  return LookUpName(kTransmetaNames, std::size(kTransmetaNames), FFamily, FModel);
}

// --- choice by vendor ----------------------------------------------------------

std::unique_ptr<TCustomProcessorFeatures> CreateProcessorFeatures(const std::string& Vendor,
                                                                  std::uint32_t HighestLeaf) {
  if (Vendor == "GenuineIntel") return std::make_unique<TProcessorFeaturesIntel>(HighestLeaf);
  if (Vendor == "AuthenticAMD") return std::make_unique<TProcessorFeaturesAMD>(HighestLeaf);
  if (Vendor == "CyrixInstead") return std::make_unique<TProcessorFeaturesCyrix>(HighestLeaf);
  if (Vendor == "CentaurHauls" || Vendor == "VIA VIA VIA ") return std::make_unique<TProcessorFeaturesVIA>(HighestLeaf);
  if (Vendor == "TransmetaCPU" || Vendor == "GenuineTMx86")
    return std::make_unique<TProcessorFeaturesTransmeta>(HighestLeaf);
  // "Geode by NSC", "NexGenDriven", "RiseRiseRise", "SiS SiS SiS ",
  // "UMC UMC UMC " and everything else.
  return std::make_unique<TProcessorFeaturesStandard>(HighestLeaf);
}

}  // namespace vb
