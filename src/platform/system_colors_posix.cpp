#include "platform/system_colors.h"

#include <array>

namespace vb {

namespace {

// The classic light desktop scheme, 0x00BBGGRR. Linux desktops have no
// common source for these; controls only use them as fallbacks.
constexpr std::array<TColor, 31> kSystemColors = {
    0xC8C8C8,  // scScrollBar
    0x000000,  // scBackground
    0xD1B499,  // scActiveCaption
    0xDBCDBF,  // scInactiveCaption
    0xF0F0F0,  // scMenu
    0xFFFFFF,  // scWindow
    0x646464,  // scWindowFrame
    0x000000,  // scMenuText
    0x000000,  // scWindowText
    0x000000,  // scCaptionText
    0xB4B4B4,  // scActiveBorder
    0xFCF7F4,  // scInactiveBorder
    0xABABAB,  // scAppWorkSpace
    0xFF9933,  // scHighlight
    0xFFFFFF,  // scHighlightText
    0xF0F0F0,  // scBtnFace
    0xA0A0A0,  // scBtnShadow
    0x6D6D6D,  // scGrayText
    0x000000,  // scBtnText
    0x000000,  // scInactiveCaptionText
    0xFFFFFF,  // scBtnHighlight
    0x696969,  // sc3DDkShadow
    0xE3E3E3,  // sc3DLight
    0x000000,  // scInfoText
    0xE1FFFF,  // scInfoBk
    0x000000,  // index 25 (unused)
    0xCC6600,  // scHotLight
    0xEAD1B9,  // scGradientActiveCaption
    0xF2E4D7,  // scGradientInactiveCaption
    0xFF9933,  // scMenuHilight
    0xF0F0F0,  // scMenuBar
};

}  // namespace

TColor GetSysColor(std::int32_t Index) {
  if (Index < 0 || Index >= std::int32_t(kSystemColors.size())) return 0;
  return kSystemColors[std::size_t(Index)];
}

}  // namespace vb
