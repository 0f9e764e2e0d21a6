# Exact IEEE arithmetic on every machine: no fast-math, no fused multiply-add.
add_compile_options(-ffp-contract=off -fno-fast-math)
add_compile_options(-Wall -Wextra -Wno-unused-parameter)

if(VB_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VB_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(WIN32)
  # 64-bit Windows keeps the stack 16-byte aligned, and GCC does not realign
  # it for 32-byte vectors: a spilled ymm register written with an aligned
  # move would fault at random. The assembler writes every such move as an
  # unaligned one (as fast on aligned data); cmake/CheckAlignedStackStores
  # fails the build if one is left.
  add_compile_options(-Wa,-muse-unaligned-vector-move)
  # The wide (UTF-16) Win32 API throughout; no min/max macros.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
  # No import of the compiler's runtime DLLs.
  add_link_options(-static-libgcc -static-libstdc++)
endif()
