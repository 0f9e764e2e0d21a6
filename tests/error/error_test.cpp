// Guards the error vocabulary against texts drifting from what hosts and
// users read, codes sharing or losing a text, and details landing in the
// wrong place.
#include "error/error.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vb {
namespace {

// The last code of each subsystem; codes between a group's first and last
// are contiguous.
constexpr TErrorCode kLastCodes[] = {
    TErrorCode::ecAssertionFailed,      TErrorCode::ecDspQueueOrder,           TErrorCode::ecUnknownProgramName,
    TErrorCode::ecListIndexOutOfBounds, TErrorCode::ecInvalidBitmapHeader,     TErrorCode::ecFileCreate,
    TErrorCode::ecPaletteTwice,         TErrorCode::ecBindingIndexOutOfBounds, TErrorCode::ecNegativeBitmapSize,
};

TEST(ErrorTable, EveryCodeHasItsOwnTextInItsSubsystem) {
  std::set<std::pair<int, std::string>> seen;
  for (TErrorCode last : kLastCodes) {
    const auto lastValue = static_cast<std::uint16_t>(last);
    for (std::uint16_t value = lastValue & 0xFF00; value <= lastValue; ++value) {
      const auto code = static_cast<TErrorCode>(value);
      const std::string text(ErrorText(code));
      EXPECT_FALSE(text.empty()) << "code 0x" << std::hex << value;
      EXPECT_EQ(SubsystemOf(code), SubsystemOf(last));
      EXPECT_TRUE(seen.emplace(int(SubsystemOf(code)), text).second) << "text used twice: " << text;
    }
    EXPECT_TRUE(ErrorText(static_cast<TErrorCode>(lastValue + 1)).empty()) << "code after 0x" << std::hex << lastValue;
  }
}

TEST(ErrorTable, TextsReachTheCallerVerbatimWithTheirDetails) {
  EXPECT_STREQ(EVstError(TErrorCode::ecAudioMasterError).what(), "AudioMaster Error");
  EXPECT_STREQ(EDspError(TErrorCode::ecInvalidSampleRate).what(), "Invalid Samplerate!");
  EXPECT_STREQ(EGuiError(TErrorCode::ecWidthNegative).what(), "Width may not be negative!");
  EXPECT_STREQ(EPngError(TErrorCode::ecPngIndexOutOfBounds, "-3").what(), "Index out of bounds (-3)");
  EXPECT_STREQ(EFOpenError(TErrorCode::ecFileOpen, "a.png", "No such file").what(),
               "Cannot open file \"a.png\". No such file");
  // A missing detail leaves its place empty rather than printing "%s".
  EXPECT_EQ(FormatErrorText(TErrorCode::ecAssertionFailed, "Broken"), "Broken ()");
  // A detail holding "%s" is copied, not expanded.
  EXPECT_EQ(FormatErrorText(TErrorCode::ecUnknownParameterName, "%s"), "Unknown parameter name: %s");
}

TEST(ErrorClasses, CatchingOneSubsystemLetsTheOthersPass) {
  auto raisesPng = [] { throw EPngError(TErrorCode::ecCrcError); };
  EXPECT_THROW(
      {
        try {
          raisesPng();
        } catch (const EDspError&) {
        }
      },
      EPngError);
  try {
    throw EReadError();
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Code(), TErrorCode::ecStreamRead);
    EXPECT_EQ(e.Subsystem(), TErrorSubsystem::esStream);
  }
  try {
    Assert(false, "unit", "Broken");
  } catch (const EError& e) {
    EXPECT_EQ(e.Code(), TErrorCode::ecAssertionFailed);
    EXPECT_STREQ(e.what(), "Broken (unit)");
  }
}

}  // namespace
}  // namespace vb
