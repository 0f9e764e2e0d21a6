// The faces the plug-in draws with, assembled into its read-only data from
// the repository's fonts/ folder (VB_FONTS_DIR, given by the build), so the
// label and the hints look the same on every machine, fonts installed or
// not. The editor's label is set in DejaVu Sans Mono Bold (the face that
// answers for "Lucida Console"), the hints in DejaVu Sans, the default.
#include <cstdint>

#include "platform/text_renderer.h"

#ifndef VB_FONTS_DIR
#error "VB_FONTS_DIR must name the repository's fonts/ folder"
#endif

// Symbol Start and End around the bytes of File; hidden, so they never
// leave the library. A PE object has no section stack and no symbol
// visibility (nothing leaves a DLL unless exported): there the bytes go to a
// read-only data section and the assembler returns to .text.
#if defined(_WIN32)
#define VB_FONT_SECTION_BEGIN ".section .rdata$vb_bundled_fonts,\"dr\"\n"
#define VB_FONT_SECTION_END ".text\n"
#define VB_FONT_HIDDEN(Symbol) ""
#define VB_FONT_VISIBILITY
#else
#define VB_FONT_SECTION_BEGIN ".pushsection .rodata.vb_bundled_fonts,\"a\",@progbits\n"
#define VB_FONT_SECTION_END ".popsection\n"
#define VB_FONT_HIDDEN(Symbol) ".hidden " Symbol "\n"
#define VB_FONT_VISIBILITY __attribute__((visibility("hidden")))
#endif
#define VB_BUNDLE_FONT(Symbol, File)                                   \
  __asm__(VB_FONT_SECTION_BEGIN                                        \
          ".balign 16\n"                                               \
          ".globl " #Symbol "_start\n"                                 \
          VB_FONT_HIDDEN(#Symbol "_start") #Symbol "_start:\n"         \
          ".incbin \"" VB_FONTS_DIR "/" File "\"\n"                    \
          ".globl " #Symbol "_end\n"                                   \
          VB_FONT_HIDDEN(#Symbol "_end") #Symbol "_end:\n"             \
          VB_FONT_SECTION_END);                                        \
  extern "C" VB_FONT_VISIBILITY const std::uint8_t Symbol##_start[];   \
  extern "C" VB_FONT_VISIBILITY const std::uint8_t Symbol##_end[]

VB_BUNDLE_FONT(vb_font_dejavu_sans, "DejaVuSans.ttf");
VB_BUNDLE_FONT(vb_font_dejavu_sans_mono_bold, "DejaVuSansMono-Bold.ttf");

namespace vb {

std::span<const TFontFile> BundledFontFiles() {
  static const TFontFile kFiles[] = {
      {vb_font_dejavu_sans_start, std::size_t(vb_font_dejavu_sans_end - vb_font_dejavu_sans_start)},
      {vb_font_dejavu_sans_mono_bold_start,
       std::size_t(vb_font_dejavu_sans_mono_bold_end - vb_font_dejavu_sans_mono_bold_start)},
  };
  return kFiles;
}

}  // namespace vb
