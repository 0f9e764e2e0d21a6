// Guards the process-wide processor registries and the class list they use.
#include "dsp/processor_registry.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dsp/basic_filters.h"
#include "dsp/butterworth_filter.h"
#include "dsp/dsp_errors.h"

namespace vb {
namespace {

struct TRegistryScope {
  TRegistryScope() { DspRegistriesStartUp(); }
  ~TRegistryScope() { DspRegistriesShutDown(); }
};

TEST(ProcessorRegistry, StartUpRegistersBiquadsThenButterworthsInBothLists) {
  EXPECT_EQ(ProcessorRegistry32(), nullptr);
  {
    TRegistryScope Scope;
    const std::vector<std::string> Expected = {"TBasicGainFilter",
                                               "TBasicPeakFilter",
                                               "TBasicAllpassFilter",
                                               "TBasicLowShelfFilter",
                                               "TBasicLowShelfAFilter",
                                               "TBasicLowShelfBFilter",
                                               "TBasicHighShelfAFilter",
                                               "TBasicHighShelfBFilter",
                                               "TBasicHighcutFilter",
                                               "TBasicLowcutFilter",
                                               "TBasicBandpassFilter",
                                               "TBasicNotchFilter",
                                               "TButterworthHighPassFilter",
                                               "TButterworthLowPassFilter",
                                               "TButterworthLowPassFilterAutomatable",
                                               "TButterworthHighPassFilterAutomatable"};
    for (TClassList* List : {ProcessorRegistry32(), ProcessorRegistry64()}) {
      ASSERT_NE(List, nullptr);
      std::vector<std::string> Names;
      List->GetClassNames(Names);
      EXPECT_EQ(Names, Expected);
    }
    EXPECT_EQ(ProcessorRegistry64()->Find("TBasicNotchFilter"), &TBasicNotchFilter::Class());
    EXPECT_EQ(ProcessorRegistry64()->Find("tbasicnotchfilter"), nullptr);
  }
  EXPECT_EQ(ProcessorRegistry32(), nullptr);
  EXPECT_EQ(ProcessorRegistry64(), nullptr);
}

TEST(ProcessorRegistry, RegisteringAClassTwiceFailsAndKeepsOneEntry) {
  TRegistryScope Scope;
  const int Count = ProcessorRegistry32()->Count();
  try {
    RegisterDspProcessor32(TBasicPeakFilter::Class());
    FAIL() << "no assertion";
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(std::string(E.what()).rfind("DSP Processor registered twice! (TBasicPeakFilter)", 0), 0u);
  }
  EXPECT_EQ(ProcessorRegistry32()->Count(), Count);
  RegisterDspProcessor64(TBasicHighpassFilter::Class());
  EXPECT_EQ(ProcessorRegistry64()->Last(), &TBasicHighpassFilter::Class());
  EXPECT_EQ(ProcessorRegistry32()->Count(), Count);
}

TEST(ProcessorRegistry, RegisteringBeforeStartUpFails) {
  EXPECT_THROW(RegisterDspProcessor32(TBasicPeakFilter::Class()), EAssertionFailed);
}

TEST(ClassList, EditsKeepOrderAndRejectBadIndices) {
  const TDspClassInfo A{"A"}, B{"B"}, C{"C"};
  TClassList L;
  EXPECT_EQ(L.Add(&A), 0);
  EXPECT_EQ(L.Add(&C), 1);
  L.Insert(1, &B);
  EXPECT_EQ(L.First(), &A);
  EXPECT_EQ(L.Items(1), &B);
  EXPECT_EQ(L.Last(), &C);
  EXPECT_EQ(L.Remove(&B), 1);
  EXPECT_EQ(L.Remove(&B), -1);
  EXPECT_EQ(L.Extract(&A), &A);
  EXPECT_EQ(L.Extract(&A), nullptr);
  L.SetItems(0, &B);
  EXPECT_EQ(L.Find("B"), &B);
  EXPECT_EQ(L.IndexOf(&C), -1);
  EXPECT_THROW(L.Items(1), EDspError);
  EXPECT_THROW(L.Insert(3, &A), EDspError);
  L.Clear();
  EXPECT_THROW(L.First(), EDspError);
}

}  // namespace
}  // namespace vb
