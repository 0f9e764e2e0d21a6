#pragma once
// The whole editor as a user first sees it, composed from the drawn
// pictures: the panel, every control's strip at its place and start-up
// glyph, the lit lamp scaled into its box and the vendor label.

#include "artwork_set.h"

namespace vb::artwork {

// Pictures holds the fifteen pictures drawn at Scale, in TArtwork order;
// every place and size of the layout is scaled by the editor's rule.
// PowerOn false shows the unlit lamp and the power switch off.
void ComposeEditorPreview(const TGuiPixelMapMemory (&Pictures)[kArtworkCount], TGuiPixelMapMemory& Preview,
                          bool PowerOn = true, TEditorScale Scale = TEditorScale::esOne);

// Draws Source scaled down into Box (aspect kept, centred) over Target,
// averaging with alpha weights as a picture control would.
void DrawScaledDown(const TGuiCustomPixelMap& Source, TGuiCustomPixelMap& Target, std::int32_t Left, std::int32_t Top,
                    std::int32_t Width, std::int32_t Height);

}  // namespace vb::artwork
