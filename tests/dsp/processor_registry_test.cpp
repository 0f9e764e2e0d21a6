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
    TRegistryScope scope;
    const std::vector<std::string> expected = {"TBasicGainFilter",
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
    for (TClassList* list : {ProcessorRegistry32(), ProcessorRegistry64()}) {
      ASSERT_NE(list, nullptr);
      std::vector<std::string> names;
      list->GetClassNames(names);
      EXPECT_EQ(names, expected);
    }
    EXPECT_EQ(ProcessorRegistry64()->Find("TBasicNotchFilter"), &TBasicNotchFilter::Class());
    EXPECT_EQ(ProcessorRegistry64()->Find("tbasicnotchfilter"), nullptr);
  }
  EXPECT_EQ(ProcessorRegistry32(), nullptr);
  EXPECT_EQ(ProcessorRegistry64(), nullptr);
}

TEST(ProcessorRegistry, RegisteringAClassTwiceFailsAndKeepsOneEntry) {
  TRegistryScope scope;
  const int count = ProcessorRegistry32()->Count();
  try {
    RegisterDspProcessor32(TBasicPeakFilter::Class());
    FAIL() << "no assertion";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(std::string(e.what()).rfind("DSP Processor registered twice! (TBasicPeakFilter)", 0), 0u);
  }
  EXPECT_EQ(ProcessorRegistry32()->Count(), count);
  RegisterDspProcessor64(TBasicHighpassFilter::Class());
  EXPECT_EQ(ProcessorRegistry64()->Last(), &TBasicHighpassFilter::Class());
  EXPECT_EQ(ProcessorRegistry32()->Count(), count);
}

TEST(ProcessorRegistry, RegisteringBeforeStartUpFails) {
  EXPECT_THROW(RegisterDspProcessor32(TBasicPeakFilter::Class()), EAssertionFailed);
}

TEST(ClassList, EditsKeepOrderAndRejectBadIndices) {
  const TDspClassInfo a{"A"}, b{"B"}, c{"C"};
  TClassList l;
  EXPECT_EQ(l.Add(&a), 0);
  EXPECT_EQ(l.Add(&c), 1);
  l.Insert(1, &b);
  EXPECT_EQ(l.First(), &a);
  EXPECT_EQ(l.Items(1), &b);
  EXPECT_EQ(l.Last(), &c);
  EXPECT_EQ(l.Remove(&b), 1);
  EXPECT_EQ(l.Remove(&b), -1);
  EXPECT_EQ(l.Extract(&a), &a);
  EXPECT_EQ(l.Extract(&a), nullptr);
  l.SetItems(0, &b);
  EXPECT_EQ(l.Find("B"), &b);
  EXPECT_EQ(l.IndexOf(&c), -1);
  EXPECT_THROW(l.Items(1), EDspError);
  EXPECT_THROW(l.Insert(3, &a), EDspError);
  l.Clear();
  EXPECT_THROW(l.First(), EDspError);
}

}  // namespace
}  // namespace vb
