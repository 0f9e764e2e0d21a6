#pragma once
// Access to the processor's identification instruction (CPUID), behind an
// interface so that the feature decoding can be fed recorded answers.

#include <cstdint>
#include <map>
#include <utility>

namespace vb {

struct TCpuidRegisters {
  std::uint32_t EAX = 0;
  std::uint32_t EBX = 0;
  std::uint32_t ECX = 0;
  std::uint32_t EDX = 0;
};

class TCpuidSource {
 public:
  virtual ~TCpuidSource() = default;
  // False when the processor has no CPUID instruction.
  virtual bool Available() const = 0;
  // The registers CPUID answers for Leaf (EAX) and SubLeaf (ECX).
  virtual TCpuidRegisters Query(std::uint32_t Leaf, std::uint32_t SubLeaf = 0) const = 0;
  // Extended control register 0 (XGETBV 0): the register states the
  // operating system saves on a task switch. Only meaningful when CPUID
  // leaf 1 reports OSXSAVE (ECX bit 27); 0 otherwise.
  virtual std::uint64_t EnabledRegisterStates() const = 0;
};

// The running processor (through the compiler's <cpuid.h>).
class TMachineCpuid final : public TCpuidSource {
 public:
  bool Available() const override;
  TCpuidRegisters Query(std::uint32_t Leaf, std::uint32_t SubLeaf = 0) const override;
  std::uint64_t EnabledRegisterStates() const override;
};

// Recorded answers; leaves that were not recorded answer all zeros.
class TRecordedCpuid final : public TCpuidSource {
 public:
  explicit TRecordedCpuid(bool Available = true) : FAvailable(Available) {}
  void Set(std::uint32_t Leaf, TCpuidRegisters Registers, std::uint32_t SubLeaf = 0) {
    FLeaves[{Leaf, SubLeaf}] = Registers;
  }
  // Stores the 12 vendor characters as leaf 0 reports them (EBX, EDX, ECX)
  // together with the highest standard leaf.
  void SetVendor(const char (&Vendor)[13], std::uint32_t HighestLeaf);
  // Stores a 48-character brand string in leaves 80000002..80000004 hex.
  void SetBrand(const char* Brand);
  void SetEnabledRegisterStates(std::uint64_t States) { FEnabledRegisterStates = States; }

  bool Available() const override { return FAvailable; }
  TCpuidRegisters Query(std::uint32_t Leaf, std::uint32_t SubLeaf = 0) const override;
  std::uint64_t EnabledRegisterStates() const override { return FEnabledRegisterStates; }

 private:
  bool FAvailable;
  std::uint64_t FEnabledRegisterStates = 0;
  std::map<std::pair<std::uint32_t, std::uint32_t>, TCpuidRegisters> FLeaves;
};

}  // namespace vb
