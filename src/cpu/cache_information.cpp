#include "cpu/cache_information.h"

namespace vb {

namespace {

struct TDescriptor {
  std::uint8_t Code;
  std::uint8_t Level;  // 1 data, 0 instruction, 2, 3
  std::uint32_t SizeKB;
  std::uint8_t Ways;
  std::uint8_t LineSize;
};

// A selection of the leaf-2 descriptors of common processors.
constexpr TDescriptor kIntelDescriptors[] = {
    {0x06, 0, 8, 4, 32},     {0x08, 0, 16, 4, 32},    {0x0A, 1, 8, 2, 32},    {0x0C, 1, 16, 4, 32},
    {0x2C, 1, 32, 8, 64},    {0x30, 0, 32, 8, 64},    {0x41, 2, 128, 4, 32},  {0x42, 2, 256, 4, 32},
    {0x43, 2, 512, 4, 32},   {0x44, 2, 1024, 4, 32},  {0x45, 2, 2048, 4, 32}, {0x22, 3, 512, 4, 64},
    {0x23, 3, 1024, 8, 64},  {0x25, 3, 2048, 8, 64},  {0x29, 3, 4096, 8, 64}, {0x60, 1, 16, 8, 64},
    {0x66, 1, 8, 4, 64},     {0x67, 1, 16, 4, 64},    {0x68, 1, 32, 4, 64},   {0x78, 2, 1024, 4, 64},
    {0x79, 2, 128, 8, 64},   {0x7A, 2, 256, 8, 64},   {0x7B, 2, 512, 8, 64},  {0x7C, 2, 1024, 8, 64},
    {0x7D, 2, 2048, 8, 64},  {0x7F, 2, 512, 2, 64},   {0x82, 2, 256, 8, 32},  {0x83, 2, 512, 8, 32},
    {0x84, 2, 1024, 8, 32},  {0x85, 2, 2048, 8, 32},  {0x86, 2, 512, 4, 64},  {0x87, 2, 1024, 8, 64},
    {0xD0, 3, 512, 4, 64},   {0xD1, 3, 1024, 4, 64},  {0xD2, 3, 2048, 4, 64}, {0xE2, 3, 2048, 16, 64},
    {0xE3, 3, 4096, 16, 64}, {0xE4, 3, 8192, 16, 64},
};

TCacheUnitInformation FromLeaf4(const TCpuidRegisters& R) {
  TCacheUnitInformation unit;
  const std::uint32_t ways = ((R.EBX >> 22) & 0x3FF) + 1;
  const std::uint32_t partitions = ((R.EBX >> 12) & 0x3FF) + 1;
  const std::uint32_t line = (R.EBX & 0xFFF) + 1;
  const std::uint64_t sets = std::uint64_t(R.ECX) + 1;
  unit.Associativity = std::uint8_t(ways > 255 ? 255 : ways);
  unit.LineSize = std::uint8_t(line > 255 ? 255 : line);
  unit.Size = std::uint32_t(ways * partitions * line * sets / 1024);
  return unit;
}

}  // namespace

TIntelCacheInformation::TIntelCacheInformation(const TCpuidSource& Cpuid, std::uint32_t HighestLeaf) {
  if (HighestLeaf >= 4) {
    for (std::uint32_t index = 0; index < 16; ++index) {
      const TCpuidRegisters r = Cpuid.Query(4, index);
      const std::uint32_t type = r.EAX & 0x1F;  // 0 none, 1 data, 2 instruction, 3 unified
      if (type == 0) break;
      const std::uint32_t level = (r.EAX >> 5) & 0x7;
      const TCacheUnitInformation unit = FromLeaf4(r);
      if (level == 1 && type == 1) FL1DataCache = unit;
      if (level == 1 && type == 2) FL1InstructionCache = unit;
      if (level == 2) FL2Cache = unit;
      if (level == 3) FL3Cache = unit;
    }
    if (FL1DataCache.Size != 0) return;
  }
  if (HighestLeaf < 2) return;
  const TCpuidRegisters r = Cpuid.Query(2);
  const std::uint32_t words[4] = {r.EAX & 0xFFFFFF00u, r.EBX, r.ECX, r.EDX};
  for (std::uint32_t word : words) {
    if (word & 0x80000000u) continue;  // register holds no descriptors
    for (int shift = 0; shift < 32; shift += 8) DecodeDescriptor(std::uint8_t(word >> shift));
  }
}

void TIntelCacheInformation::DecodeDescriptor(std::uint8_t Descriptor) {
  for (const TDescriptor& d : kIntelDescriptors) {
    if (d.Code != Descriptor) continue;
    const TCacheUnitInformation unit{d.Ways, d.LineSize, d.SizeKB};
    switch (d.Level) {
      case 0:
        FL1InstructionCache = unit;
        break;
      case 1:
        FL1DataCache = unit;
        break;
      case 2:
        FL2Cache = unit;
        break;
      default:
        FL3Cache = unit;
        break;
    }
  }
}

TAMDCacheInformation::TAMDCacheInformation(const TCpuidSource& Cpuid, std::uint32_t HighestExtendedLeaf) {
  if (HighestExtendedLeaf >= 0x80000005u) {
    const TCpuidRegisters r = Cpuid.Query(0x80000005u);
    FL1DataCache = {std::uint8_t(r.ECX >> 16), std::uint8_t(r.ECX), r.ECX >> 24};
    FL1InstructionCache = {std::uint8_t(r.EDX >> 16), std::uint8_t(r.EDX), r.EDX >> 24};
  }
  if (HighestExtendedLeaf >= 0x80000006u) {
    const TCpuidRegisters r = Cpuid.Query(0x80000006u);
    FL2Cache = {std::uint8_t((r.ECX >> 12) & 0xF), std::uint8_t(r.ECX), r.ECX >> 16};
    FL3Cache = {std::uint8_t((r.EDX >> 12) & 0xF), std::uint8_t(r.EDX), (r.EDX >> 18) * 512};
  }
}

TCyrixCacheInformation::TCyrixCacheInformation(const TCpuidSource& Cpuid, std::uint32_t HighestLeaf) {
  if (HighestLeaf < 2) return;
  const TCpuidRegisters r = Cpuid.Query(2);
  for (int shift = 8; shift < 32; shift += 8) {
    if (std::uint8_t(r.EAX >> shift) == 0x80) {
      FL1DataCache = {4, 16, 16};
      FL1InstructionCache = FL1DataCache;
    }
  }
}

}  // namespace vb
