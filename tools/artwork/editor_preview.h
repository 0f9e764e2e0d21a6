#pragma once
// The whole editor as a user first sees it, composed from the drawn
// pictures: the panel, every control's strip at its place and start-up
// glyph, the lit lamp scaled into its box and the vendor label.

#include "artwork_set.h"

namespace vb::artwork {

// Pictures holds the fifteen pictures drawn at Scale, in TArtwork order;
// every place and size of the layout is scaled by the editor's rule.
// PowerOn false shows the unlit lamp and the power switch off.
void ComposeEditorPreview(const TGuiPixelMapMemory (&pictures)[kArtworkCount], TGuiPixelMapMemory& preview,
                          bool powerOn = true, TEditorScale scale = TEditorScale::esOne);

// Draws Source scaled down into Box (aspect kept, centred) over Target,
// averaging with alpha weights as a picture control would.
void DrawScaledDown(const TGuiCustomPixelMap& source, TGuiCustomPixelMap& target, std::int32_t left, std::int32_t top,
                    std::int32_t width, std::int32_t height);

}  // namespace vb::artwork
