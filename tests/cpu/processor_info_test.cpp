// Guards against misread CPUID answers: wrong vendor classes, SSE levels
// taken from the wrong bits, extended answers leaking from other vendors.
#include "cpu/processor_info.h"

#include <gtest/gtest.h>

namespace vb {
namespace {

constexpr std::uint32_t Bit(unsigned N) { return 1u << N; }

TEST(ProcessorInfo, IntelWithSse42AndAvxReportsEverySseLevel) {
  TRecordedCpuid cpuid;
  cpuid.SetVendor("GenuineIntel", 0xD);
  // Family 6, model 0xE, stepping 3; MMX, CMOV, SSE, SSE2, HT.
  cpuid.Set(1, {0x000306E3u, 0x00100800u, Bit(0) | Bit(9) | Bit(19) | Bit(20) | Bit(28),
                Bit(15) | Bit(23) | Bit(25) | Bit(26) | Bit(28)});
  cpuid.Set(0x80000000u, {0x80000008u, 0, 0, 0});
  cpuid.Set(0x80000001u, {0, 0, 0, Bit(20) | Bit(29)});
  cpuid.SetBrand("Test Processor @ 3.00GHz");

  const TProcessorInfo info(cpuid);
  EXPECT_EQ(info.VendorString(), "GenuineIntel");
  EXPECT_EQ(info.CPUType(), TCPUType::ctIntel);
  EXPECT_STREQ(info.Features()->VendorName(), "Intel");
  EXPECT_EQ(info.Family(), 6);
  EXPECT_EQ(info.Model(), 0xE);
  EXPECT_EQ(info.Stepping(), 3);
  EXPECT_EQ(info.ExtendedModel(), 3);
  EXPECT_EQ(info.FlushLineSize(), 8);
  EXPECT_EQ(info.LogicalCore(), 16);
  EXPECT_EQ(info.CPUName(), "Test Processor @ 3.00GHz");
  EXPECT_TRUE(info.HasMMX());
  EXPECT_TRUE(info.HasConditionalMove());
  EXPECT_TRUE(info.HyperThreading());
  EXPECT_FALSE(info.Has3DNow());
  const TSSESupports expected{TSSESupport::ssSSE,   TSSESupport::ssSSE2,  TSSESupport::ssSSE3, TSSESupport::ssSSE3x,
                              TSSESupport::ssSSE4A, TSSESupport::ssSSE4B, TSSESupport::ssAVX};
  EXPECT_EQ(info.SupportsSSE(), expected);
  const auto* intel = dynamic_cast<const TProcessorFeaturesIntel*>(info.Features());
  ASSERT_NE(intel, nullptr);
  EXPECT_TRUE(intel->Is64Bits());
  EXPECT_TRUE(intel->DepCapable());
}

TEST(ProcessorInfo, VendorOutsideTheTableGivesNoExtendedAnswers) {
  TRecordedCpuid cpuid;
  cpuid.SetVendor("SomeoneElse!", 1);
  cpuid.Set(1, {0x00000F41u, 0, 0xFFFFFFFFu, 0xFFFFFFFFu});
  const TProcessorInfo info(cpuid);
  EXPECT_EQ(info.CPUType(), TCPUType::ctUnknown);
  EXPECT_STREQ(info.Features()->VendorName(), "Unknown");
  EXPECT_EQ(info.Family(), 15);  // the common part is still read
  EXPECT_FALSE(info.HasMMX());
  EXPECT_FALSE(info.HasConditionalMove());
  EXPECT_FALSE(info.Has3DNow());
  EXPECT_TRUE(info.SupportsSSE().IsEmpty());
}

TEST(ProcessorInfo, VendorStringsChooseTheirClasses) {
  const struct {
    const char (&Vendor)[13];
    TCPUType Type;
  } cases[] = {{"AuthenticAMD", TCPUType::ctAMD},       {"CyrixInstead", TCPUType::ctCyrix},
               {"CentaurHauls", TCPUType::ctVIA},       {"VIA VIA VIA ", TCPUType::ctVIA},
               {"TransmetaCPU", TCPUType::ctTransmeta}, {"GenuineTMx86", TCPUType::ctTransmeta},
               {"Geode by NSC", TCPUType::ctUnknown},   {"RiseRiseRise", TCPUType::ctUnknown}};
  for (const auto& c : cases) {
    TRecordedCpuid cpuid;
    cpuid.SetVendor(c.Vendor, 1);
    EXPECT_EQ(TProcessorInfo(cpuid).CPUType(), c.Type) << c.Vendor;
  }
}

TEST(ProcessorInfo, AmdReadsExtendedFeatureBits) {
  TRecordedCpuid cpuid;
  cpuid.SetVendor("AuthenticAMD", 1);
  cpuid.Set(1, {0x00000F51u, 0, Bit(0), Bit(23) | Bit(25) | Bit(26)});
  cpuid.Set(0x80000000u, {0x80000001u, 0, 0, 0});
  cpuid.Set(0x80000001u, {0, 0, Bit(6) | Bit(11), Bit(22) | Bit(30) | Bit(31)});
  const TProcessorInfo info(cpuid);
  EXPECT_TRUE(info.HasExMMX());
  EXPECT_TRUE(info.Has3DNow());
  EXPECT_TRUE(info.HasEx3DNow());
  EXPECT_EQ(info.SupportsSSE(), (TSSESupports{TSSESupport::ssSSE, TSSESupport::ssSSE2, TSSESupport::ssSSE3,
                                              TSSESupport::ssSSE4A, TSSESupport::ssSSE5}));
  // No brand string: the name comes from the family table.
  EXPECT_EQ(info.CPUName(), "Athlon 64");
}

TEST(ProcessorInfo, HighestLeafZeroLeavesEverythingZero) {
  TRecordedCpuid cpuid;
  cpuid.SetVendor("GenuineIntel", 0);
  cpuid.Set(1, {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu});
  const TProcessorInfo info(cpuid);
  EXPECT_EQ(info.Family(), 0);
  EXPECT_EQ(info.Model(), 0);
  EXPECT_FALSE(info.HasMMX());
  EXPECT_TRUE(info.SupportsSSE().IsEmpty());
}

TEST(ProcessorInfo, WithoutCpuidThereIsNoVendorAndNoFeatureObject) {
  const TProcessorInfo info(TRecordedCpuid(false));
  EXPECT_TRUE(info.VendorString().empty());
  EXPECT_EQ(info.Features(), nullptr);
  EXPECT_EQ(info.CPUType(), TCPUType::ctUnknown);
  EXPECT_TRUE(info.SupportsSSE().IsEmpty());
}

// A processor with AVX2 as CPUID reports it: leaf 1 with OSXSAVE and AVX,
// leaf 7 with AVX2, and the operating system's register states.
TRecordedCpuid Avx2Processor(const char (&Vendor)[13], std::uint64_t RegisterStates) {
  TRecordedCpuid cpuid;
  cpuid.SetVendor(Vendor, 0x10);
  cpuid.Set(1, {0x00A00F11u, 0, Bit(0) | Bit(19) | Bit(20) | Bit(27) | Bit(28), Bit(23) | Bit(25) | Bit(26)});
  cpuid.Set(7, {0, Bit(5), 0, 0});
  cpuid.SetEnabledRegisterStates(RegisterStates);
  return cpuid;
}

TEST(ProcessorInfo, Avx2IsUsableOnEveryVendorOnlyWithTheOperatingSystemsSupport) {
  const char vendors[][13] = {"AuthenticAMD", "GenuineIntel", "SomeoneElse!"};
  for (const auto& vendor : vendors) {
    SCOPED_TRACE(vendor);
    // x87, SSE and AVX state saved: usable, whatever the vendor answers say.
    EXPECT_TRUE(TProcessorInfo(Avx2Processor(vendor, 0x7)).CanRunAVX2());
    // The operating system does not save the upper halves of the registers.
    EXPECT_FALSE(TProcessorInfo(Avx2Processor(vendor, 0x3)).CanRunAVX2());
  }
  // The AMD answers keep leaving AVX out.
  const TProcessorInfo amd(Avx2Processor("AuthenticAMD", 0x7));
  EXPECT_FALSE(amd.SupportsSSE().Contains(TSSESupport::ssAVX));
  // Without OSXSAVE the register states cannot be read; without leaf 7 there
  // is no AVX2 bit.
  TRecordedCpuid noOsxsave = Avx2Processor("GenuineIntel", 0x7);
  noOsxsave.Set(1, {0x000306E3u, 0, Bit(28), Bit(25) | Bit(26)});
  EXPECT_FALSE(TProcessorInfo(noOsxsave).CanRunAVX2());
  TRecordedCpuid oldLeaves = Avx2Processor("GenuineIntel", 0x7);
  oldLeaves.SetVendor("GenuineIntel", 6);
  EXPECT_FALSE(TProcessorInfo(oldLeaves).CanRunAVX2());
}

#if defined(__x86_64__)
TEST(ProcessorInfo, Avx2AnswerAgreesWithTheCompilersOwnDetection) {
  ASSERT_NE(ProcessorInfo(), nullptr);
  // The compiler's run-time check also asks CPUID and the operating system.
  EXPECT_EQ(ProcessorInfo()->CanRunAVX2(), __builtin_cpu_supports("avx2") != 0);
}

TEST(ProcessorInfo, TheRunningProcessorHasSse2) {
  ASSERT_NE(ProcessorInfo(), nullptr);
  EXPECT_EQ(ProcessorInfo()->VendorString().size(), 12u);
  // Every x86-64 processor has SSE2, whichever vendor class decoded it.
  if (ProcessorInfo()->Features()->IsExtended() && ProcessorInfo()->CPUType() != TCPUType::ctVIA) {
    EXPECT_TRUE(ProcessorInfo()->SupportsSSE().Contains(TSSESupport::ssSSE2));
  }
}
#endif

}  // namespace
}  // namespace vb
