#pragma once
// Storage for the pixels of memory pixel maps.
//
// A control strip holds well over a megabyte (60 x 6000 pixels: 1.4 MB)
// and an editor decodes a dozen of them when it opens. Fresh memory is
// mapped in on its first touch, one 4 KiB page at a time; on machines with
// slow page faults (virtual machines above all) that first touch costs more
// than decoding the strip (measured on one: 13 MB in 4 KiB pages 36 ms,
// in 2 MiB pages 2 to 9 ms). So large blocks get a mapping of their own,
// aligned to 2 MiB and offered to the kernel for transparent huge pages
// (a hint for this mapping only: where huge pages are off it is ordinary
// memory). Small blocks come from the heap.
//
// Any thread but the audio thread (mapping is a system call).

#include <cstddef>

namespace vb {

// Blocks of at least this many bytes get a mapping of their own, except
// in AddressSanitizer builds: there every block comes from the heap, so that
// the sanitizer's guard zones watch the decoders writing into large maps. On
// Windows every block comes from the heap too, which gives large blocks pages
// of their own.
#if defined(__SANITIZE_ADDRESS__) || defined(_WIN32)
inline constexpr bool kPixelStorageMapsLargeBlocks = false;
#else
inline constexpr bool kPixelStorageMapsLargeBlocks = true;
#endif
inline constexpr std::size_t kPixelStorageMappedMinimum = std::size_t(1) << 20;

// Bytes cleared to 0, at least 16-byte aligned; nullptr for 0 bytes.
// Throws std::bad_alloc.
void* AllocatePixelStorage(std::size_t Bytes);
// Releases a block; Bytes must be the size it was allocated with.
void FreePixelStorage(void* Block, std::size_t Bytes) noexcept;
// Bytes held in mappings of their own right now (for memory figures).
std::size_t PixelStorageMappedBytes() noexcept;

}  // namespace vb
