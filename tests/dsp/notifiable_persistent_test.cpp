// Guards the change-notification and sample-rate rules every DSP object relies on.
#include "dsp/notifiable_persistent.h"

#include <gtest/gtest.h>

#include "dsp/dsp_errors.h"

namespace vb {
namespace {

struct TCountingObject {
  TDspSampleRatePersistent Object;
  int Changes = 0;
  TCountingObject() {
    Object.SetOnChange([this](TNotifiablePersistent*) { ++Changes; });
  }
};

TEST(NotifiablePersistent, ChangedIsHeldBackWhileAnUpdateIsOpen) {
  TCountingObject C;
  C.Object.BeginUpdate();
  C.Object.BeginUpdate();
  C.Object.Changed();
  C.Object.EndUpdate();
  C.Object.Changed();
  EXPECT_EQ(C.Changes, 0);
  C.Object.EndUpdate();  // closing the last update does not fire by itself
  EXPECT_EQ(C.Changes, 0);
  C.Object.Changed();
  EXPECT_EQ(C.Changes, 1);
}

TEST(NotifiablePersistent, UnpairedEndUpdateFailsAndKeepsTheCount) {
  TDspPersistent Object;
  try {
    Object.EndUpdate();
    FAIL() << "no assertion";
  } catch (const EAssertionFailed& E) {
    EXPECT_EQ(std::string(E.what()).rfind("Unpaired TThreadPersistent.EndUpdate", 0), 0u);
  }
  EXPECT_EQ(Object.UpdateCount(), 0);
}

TEST(NotifiablePersistent, ChangedWithoutHandlerDoesNothing) {
  TDspPersistent Object;
  EXPECT_NO_THROW(Object.Changed());
}

TEST(DspSampleRatePersistent, StoresTheMagnitudeAndNotifiesOncePerRealChange) {
  TCountingObject C;
  EXPECT_EQ(C.Object.SampleRate(), 44100.0);
  C.Object.SetSampleRate(-48000);
  EXPECT_EQ(C.Object.SampleRate(), 48000.0);
  C.Object.SetSampleRate(48000);
  EXPECT_EQ(C.Changes, 1);
}

TEST(DspSampleRatePersistent, RefusesZeroAndKeepsTheOldRate) {
  TCountingObject C;
  try {
    C.Object.SetSampleRate(0);
    FAIL() << "no error";
  } catch (const EDspError& E) {
    EXPECT_STREQ(E.what(), "Invalid Samplerate!");
  }
  EXPECT_EQ(C.Object.SampleRate(), 44100.0);
  EXPECT_EQ(C.Changes, 0);
}

TEST(DspSampleRatePersistent, AssignCopiesRateHandlerAndUpdateDepthWithoutNotifying) {
  TCountingObject Source;
  Source.Object.SetSampleRate(96000);
  Source.Object.BeginUpdate();
  Source.Changes = 0;
  TDspSampleRatePersistent Dest;
  Dest.Assign(Source.Object);
  EXPECT_EQ(Dest.SampleRate(), 96000.0);
  EXPECT_EQ(Dest.UpdateCount(), 1);
  EXPECT_EQ(Source.Changes, 0);
  Dest.EndUpdate();
  Dest.Changed();  // the copied handler belongs to Source's counter
  EXPECT_EQ(Source.Changes, 1);
}

}  // namespace
}  // namespace vb
