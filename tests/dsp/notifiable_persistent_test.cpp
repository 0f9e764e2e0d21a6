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
  TCountingObject c;
  c.Object.BeginUpdate();
  c.Object.BeginUpdate();
  c.Object.Changed();
  c.Object.EndUpdate();
  c.Object.Changed();
  EXPECT_EQ(c.Changes, 0);
  c.Object.EndUpdate();  // closing the last update does not fire by itself
  EXPECT_EQ(c.Changes, 0);
  c.Object.Changed();
  EXPECT_EQ(c.Changes, 1);
}

TEST(NotifiablePersistent, UnpairedEndUpdateFailsAndKeepsTheCount) {
  TDspPersistent object;
  try {
    object.EndUpdate();
    FAIL() << "no assertion";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Unpaired TThreadPersistent.EndUpdate", 0), 0u);
  }
  EXPECT_EQ(object.UpdateCount(), 0);
}

TEST(NotifiablePersistent, ChangedWithoutHandlerDoesNothing) {
  TDspPersistent object;
  EXPECT_NO_THROW(object.Changed());
}

TEST(DspSampleRatePersistent, StoresTheMagnitudeAndNotifiesOncePerRealChange) {
  TCountingObject c;
  EXPECT_EQ(c.Object.SampleRate(), 44100.0);
  c.Object.SetSampleRate(-48000);
  EXPECT_EQ(c.Object.SampleRate(), 48000.0);
  c.Object.SetSampleRate(48000);
  EXPECT_EQ(c.Changes, 1);
}

TEST(DspSampleRatePersistent, RefusesZeroAndKeepsTheOldRate) {
  TCountingObject c;
  try {
    c.Object.SetSampleRate(0);
    FAIL() << "no error";
  } catch (const EDspError& e) {
    EXPECT_STREQ(e.what(), "Invalid Samplerate!");
  }
  EXPECT_EQ(c.Object.SampleRate(), 44100.0);
  EXPECT_EQ(c.Changes, 0);
}

TEST(DspSampleRatePersistent, AssignCopiesRateHandlerAndUpdateDepthWithoutNotifying) {
  TCountingObject source;
  source.Object.SetSampleRate(96000);
  source.Object.BeginUpdate();
  source.Changes = 0;
  TDspSampleRatePersistent dest;
  dest.Assign(source.Object);
  EXPECT_EQ(dest.SampleRate(), 96000.0);
  EXPECT_EQ(dest.UpdateCount(), 1);
  EXPECT_EQ(source.Changes, 0);
  dest.EndUpdate();
  dest.Changed();  // the copied handler belongs to Source's counter
  EXPECT_EQ(source.Changes, 1);
}

}  // namespace
}  // namespace vb
