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
  std::set<std::pair<int, std::string>> Seen;
  for (TErrorCode Last : kLastCodes) {
    const auto LastValue = static_cast<std::uint16_t>(Last);
    for (std::uint16_t Value = LastValue & 0xFF00; Value <= LastValue; ++Value) {
      const auto Code = static_cast<TErrorCode>(Value);
      const std::string Text(ErrorText(Code));
      EXPECT_FALSE(Text.empty()) << "code 0x" << std::hex << Value;
      EXPECT_EQ(SubsystemOf(Code), SubsystemOf(Last));
      EXPECT_TRUE(Seen.emplace(int(SubsystemOf(Code)), Text).second) << "text used twice: " << Text;
    }
    EXPECT_TRUE(ErrorText(static_cast<TErrorCode>(LastValue + 1)).empty()) << "code after 0x" << std::hex << LastValue;
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
  auto RaisesPng = [] { throw EPngError(TErrorCode::ecCrcError); };
  EXPECT_THROW(
      {
        try {
          RaisesPng();
        } catch (const EDspError&) {
        }
      },
      EPngError);
  try {
    throw EReadError();
  } catch (const EStreamError& E) {
    EXPECT_EQ(E.Code(), TErrorCode::ecStreamRead);
    EXPECT_EQ(E.Subsystem(), TErrorSubsystem::esStream);
  }
  try {
    Assert(false, "unit", "Broken");
  } catch (const EError& E) {
    EXPECT_EQ(E.Code(), TErrorCode::ecAssertionFailed);
    EXPECT_STREQ(E.what(), "Broken (unit)");
  }
}

}  // namespace
}  // namespace vb
