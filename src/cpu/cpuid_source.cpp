#include "cpu/cpuid_source.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define VB_HAS_CPUID 1
#else
#define VB_HAS_CPUID 0
#endif

namespace vb {

bool TMachineCpuid::Available() const {
#if VB_HAS_CPUID
  // On 32-bit x86 this toggles the ID bit (bit 21) of the flags register;
  // every x86-64 processor has the instruction.
  return __get_cpuid_max(0, nullptr) != 0;
#else
  return false;
#endif
}

TCpuidRegisters TMachineCpuid::Query(std::uint32_t Leaf, std::uint32_t SubLeaf) const {
  TCpuidRegisters r;
#if VB_HAS_CPUID
  __cpuid_count(Leaf, SubLeaf, r.EAX, r.EBX, r.ECX, r.EDX);
#else
  (void)leaf;
  (void)subLeaf;
#endif
  return r;
}

std::uint64_t TMachineCpuid::EnabledRegisterStates() const {
#if VB_HAS_CPUID
  // XGETBV faults unless the operating system enabled it (OSXSAVE).
  if (!Available() || !(Query(1).ECX & (1u << 27))) return 0;
  std::uint32_t low, high;
  __asm__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (std::uint64_t(high) << 32) | low;
#else
  return 0;
#endif
}

void TRecordedCpuid::SetVendor(const char (&Vendor)[13], std::uint32_t HighestLeaf) {
  TCpuidRegisters r;
  r.EAX = HighestLeaf;
  std::memcpy(&r.EBX, Vendor, 4);
  std::memcpy(&r.EDX, Vendor + 4, 4);
  std::memcpy(&r.ECX, Vendor + 8, 4);
  Set(0, r);
}

void TRecordedCpuid::SetBrand(const char* Brand) {
  char text[48] = {};
  std::memcpy(text, Brand, strnlen(Brand, sizeof text));
  for (std::uint32_t i = 0; i < 3; ++i) {
    TCpuidRegisters r;
    std::memcpy(&r, text + 16 * i, 16);
    Set(0x80000002u + i, r);
  }
  TCpuidRegisters top = Query(0x80000000u);
  if (top.EAX < 0x80000004u) {
    top.EAX = 0x80000004u;
    Set(0x80000000u, top);
  }
}

TCpuidRegisters TRecordedCpuid::Query(std::uint32_t Leaf, std::uint32_t SubLeaf) const {
  const auto it = FLeaves.find({Leaf, SubLeaf});
  return it == FLeaves.end() ? TCpuidRegisters{} : it->second;
}

}  // namespace vb
