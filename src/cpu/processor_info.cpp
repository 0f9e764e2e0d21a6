#include "cpu/processor_info.h"

#include <cstring>

namespace vb {

namespace {

constinit std::unique_ptr<TProcessorInfo> GProcessorInfo;

constexpr bool Bit(std::uint32_t Value, unsigned Bit) { return (Value >> Bit) & 1u; }

bool DetectAVX2(const TCpuidSource& Cpuid, std::uint32_t HighestLeaf) {
  if (HighestLeaf < 7) return false;
  const TCpuidRegisters leaf1 = Cpuid.Query(1);
  if (!Bit(leaf1.ECX, 27) || !Bit(leaf1.ECX, 28)) return false;  // OSXSAVE, AVX
  constexpr std::uint64_t kSseAndAvxState = 0x6;                 // XMM and upper YMM halves
  if ((Cpuid.EnabledRegisterStates() & kSseAndAvxState) != kSseAndAvxState) return false;
  return Bit(Cpuid.Query(7, 0).EBX, 5);
}

}  // namespace

TProcessorInfo::TProcessorInfo(const TCpuidSource& Cpuid) {
  if (!Cpuid.Available()) return;
  const TCpuidRegisters leaf0 = Cpuid.Query(0);
  char vendor[12];
  std::memcpy(vendor, &leaf0.EBX, 4);
  std::memcpy(vendor + 4, &leaf0.EDX, 4);
  std::memcpy(vendor + 8, &leaf0.ECX, 4);
  FVendorString.assign(vendor, 12);
  FFeatures = CreateProcessorFeatures(FVendorString, leaf0.EAX);
  FFeatures->Detect(Cpuid);
  FCanRunAVX2 = DetectAVX2(Cpuid, leaf0.EAX);
}

const TCustomProcessorExtendedFeatures* TProcessorInfo::Extended() const {
  return FFeatures && FFeatures->IsExtended() ? static_cast<const TCustomProcessorExtendedFeatures*>(FFeatures.get())
                                              : nullptr;
}

std::string TProcessorInfo::CPUName() const { return FFeatures ? FFeatures->CPUName() : std::string(); }
TCPUType TProcessorInfo::CPUType() const { return FFeatures ? FFeatures->CPUType() : TCPUType::ctUnknown; }
std::uint8_t TProcessorInfo::Family() const { return FFeatures ? FFeatures->Family() : 0; }
std::uint8_t TProcessorInfo::Model() const { return FFeatures ? FFeatures->Model() : 0; }
std::uint8_t TProcessorInfo::Stepping() const { return FFeatures ? FFeatures->Stepping() : 0; }
std::uint8_t TProcessorInfo::ProcessorType() const { return FFeatures ? FFeatures->ProcessorType() : 0; }
std::uint8_t TProcessorInfo::ExtendedFamily() const { return FFeatures ? FFeatures->ExtendedFamily() : 0; }
std::uint8_t TProcessorInfo::ExtendedModel() const { return FFeatures ? FFeatures->ExtendedModel() : 0; }
std::uint8_t TProcessorInfo::BrandID() const { return FFeatures ? FFeatures->BrandID() : 0; }
std::uint8_t TProcessorInfo::APICID() const { return FFeatures ? FFeatures->APICID() : 0; }
std::uint8_t TProcessorInfo::FlushLineSize() const { return FFeatures ? FFeatures->FlushLineSize() : 0; }
std::uint8_t TProcessorInfo::LogicalCore() const { return FFeatures ? FFeatures->LogicalCore() : 0; }
std::uint32_t TProcessorInfo::ExFeatures() const { return FFeatures ? FFeatures->ExFeatures() : 0; }
bool TProcessorInfo::HyperThreading() const { return FFeatures && FFeatures->HyperThreading(); }
bool TProcessorInfo::HasCacheInfo() const { return FFeatures && FFeatures->CacheInfo() != nullptr; }
bool TProcessorInfo::HasMMX() const { return Extended() && Extended()->HasMMXBit(); }
bool TProcessorInfo::HasExMMX() const { return Extended() && Extended()->HasExMMX(); }
bool TProcessorInfo::Has3DNow() const { return Extended() && Extended()->Has3DNow(); }
bool TProcessorInfo::HasEx3DNow() const { return Extended() && Extended()->HasEx3DNow(); }
bool TProcessorInfo::HasConditionalMove() const { return Extended() && Extended()->HasConditionalMoveBit(); }
TSSESupports TProcessorInfo::SupportsSSE() const { return Extended() ? Extended()->SupportsSSE() : TSSESupports{}; }

const TProcessorInfo* ProcessorInfo() { return GProcessorInfo.get(); }

void CreateProcessorInfo(const TCpuidSource& Cpuid) { GProcessorInfo = std::make_unique<TProcessorInfo>(Cpuid); }

void FreeProcessorInfo() { GProcessorInfo.reset(); }

}  // namespace vb
