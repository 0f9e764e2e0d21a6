#pragma once
// Where the artwork's faces come from: the repository's fonts/ folder, the
// same files the plug-in compiles in, never the machine's fonts. So the
// artwork is byte-identical on every machine that builds it.

namespace vb::artwork {

// Reads the faces the panel is printed in (fonts/, VB_FONTS_DIR) and gives
// them to the system text renderer, next to the ones compiled into it.
// Once per process, before the first drawing; throws when a file cannot be
// read, rather than drawing in a stand-in face.
void UseRepositoryFonts();

}  // namespace vb::artwork
