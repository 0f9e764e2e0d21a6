#pragma once
// System colours: the platform's named interface colours (window background,
// button face, ...). A TColor below zero names one of them by its low byte.

#include <cstdint>

#include "platform/canvas.h"

namespace vb {

// Indices of the system colours (the low byte of a negative TColor).
enum TSystemColorIndex : std::int32_t {
  scScrollBar = 0,
  scBackground = 1,
  scActiveCaption = 2,
  scInactiveCaption = 3,
  scMenu = 4,
  scWindow = 5,
  scWindowFrame = 6,
  scMenuText = 7,
  scWindowText = 8,
  scCaptionText = 9,
  scActiveBorder = 10,
  scInactiveBorder = 11,
  scAppWorkSpace = 12,
  scHighlight = 13,
  scHighlightText = 14,
  scBtnFace = 15,
  scBtnShadow = 16,
  scGrayText = 17,
  scBtnText = 18,
  scInactiveCaptionText = 19,
  scBtnHighlight = 20,
  sc3DDkShadow = 21,
  sc3DLight = 22,
  scInfoText = 23,
  scInfoBk = 24,
  scHotLight = 26,
  scGradientActiveCaption = 27,
  scGradientInactiveCaption = 28,
  scMenuHilight = 29,
  scMenuBar = 30,
};

// TColor values naming system colours: 0xFF000000 or the index.
constexpr TColor SystemColor(std::int32_t Index) { return TColor(std::uint32_t(0xFF000000u) | std::uint32_t(Index)); }
constexpr TColor clBtnFace = SystemColor(scBtnFace);
constexpr TColor clWindow = SystemColor(scWindow);
constexpr TColor clWindowText = SystemColor(scWindowText);

// The colour (0x00BBGGRR) of system colour Index; black for unknown indices.
TColor GetSysColor(std::int32_t Index);

}  // namespace vb
