#pragma once
// Cache geometry as the processor's vendor reports it. Informative only:
// nothing in the system depends on it.

#include <cstdint>

#include "cpu/cpuid_source.h"

namespace vb {

struct TCacheUnitInformation {
  std::uint8_t Associativity = 0;  // ways; 0xFF fully associative
  std::uint8_t LineSize = 0;       // bytes
  std::uint32_t Size = 0;          // kilobytes
};

class TCustomCacheInformation {
 public:
  virtual ~TCustomCacheInformation() = default;
};

class TCustomL1L2CacheInformation : public TCustomCacheInformation {
 public:
  const TCacheUnitInformation& L1DataCache() const { return FL1DataCache; }
  const TCacheUnitInformation& L1InstructionCache() const { return FL1InstructionCache; }
  const TCacheUnitInformation& L2Cache() const { return FL2Cache; }

 protected:
  TCacheUnitInformation FL1DataCache;
  TCacheUnitInformation FL1InstructionCache;
  TCacheUnitInformation FL2Cache;
};

class TCustomL3CacheInformation : public TCustomL1L2CacheInformation {
 public:
  const TCacheUnitInformation& L3Cache() const { return FL3Cache; }

 protected:
  TCacheUnitInformation FL3Cache;
};

// From the deterministic cache parameters (leaf 4) when present, else from
// the one-byte descriptors of leaf 2.
class TIntelCacheInformation final : public TCustomL3CacheInformation {
 public:
  TIntelCacheInformation(const TCpuidSource& Cpuid, std::uint32_t HighestLeaf);

 private:
  void DecodeDescriptor(std::uint8_t Descriptor);
};

// From the extended leaves 80000005 and 80000006 hex (AMD, VIA, Transmeta
// report their caches there).
class TAMDCacheInformation : public TCustomL3CacheInformation {
 public:
  TAMDCacheInformation(const TCpuidSource& Cpuid, std::uint32_t HighestExtendedLeaf);
};

class TVIACacheInformation final : public TAMDCacheInformation {
 public:
  using TAMDCacheInformation::TAMDCacheInformation;
};

class TTransmetaCacheInformation final : public TAMDCacheInformation {
 public:
  using TAMDCacheInformation::TAMDCacheInformation;
};

// Cyrix processors answer leaf 2 with descriptors of their own; only the
// combined 16 KB L1 descriptor (0x80) is decoded.
class TCyrixCacheInformation final : public TCustomL1L2CacheInformation {
 public:
  TCyrixCacheInformation(const TCpuidSource& Cpuid, std::uint32_t HighestLeaf);
};

}  // namespace vb
