#include "image/pixel_storage.h"

#if !defined(_WIN32)
#include <sys/mman.h>
#endif

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace vb {

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;

std::atomic<std::size_t> GMappedBytes{0};

bool Mapped(std::size_t Bytes) { return kPixelStorageMapsLargeBlocks && Bytes >= kPixelStorageMappedMinimum; }

std::size_t MappedLength(std::size_t Bytes) { return (Bytes + kHugePage - 1) & ~(kHugePage - 1); }

#if defined(_WIN32)
// No mappings of our own here (kPixelStorageMapsLargeBlocks is false).
void* MapAligned(std::size_t) { return nullptr; }
void Unmap(void*, std::size_t) {}
void AdviseHugePages(void*, std::size_t) {}
#else
void Unmap(void* Block, std::size_t Length) { munmap(Block, Length); }
// Only a hint: refused where the kernel has no transparent huge pages.
void AdviseHugePages(void* Block, std::size_t Length) { madvise(Block, Length, MADV_HUGEPAGE); }

// An anonymous mapping of Length bytes (a multiple of 2 MiB) starting on a
// 2 MiB boundary: one larger mapping, trimmed at both ends.
void* MapAligned(std::size_t Length) {
  void* raw = mmap(nullptr, Length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~std::uintptr_t(kHugePage - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t end = start + Length + kHugePage;
  if (end > aligned + Length) munmap(reinterpret_cast<void*>(aligned + Length), end - (aligned + Length));
  return reinterpret_cast<void*>(aligned);
}
#endif

}  // namespace

void* AllocatePixelStorage(std::size_t Bytes) {
  if (Bytes == 0) return nullptr;
  if (!Mapped(Bytes)) {
    void* block = std::calloc(Bytes, 1);
    if (block == nullptr) throw std::bad_alloc();
    return block;
  }
  if (Bytes > SIZE_MAX - 2 * kHugePage) throw std::bad_alloc();
  const std::size_t length = MappedLength(Bytes);
  void* block = MapAligned(length);
  if (block == nullptr) throw std::bad_alloc();
  AdviseHugePages(block, length);
  GMappedBytes.fetch_add(length, std::memory_order_relaxed);
  return block;  // anonymous mappings start out zero
}

void FreePixelStorage(void* Block, std::size_t Bytes) noexcept {
  if (Block == nullptr) return;
  if (!Mapped(Bytes)) {
    std::free(Block);
    return;
  }
  const std::size_t length = MappedLength(Bytes);
  Unmap(Block, length);
  GMappedBytes.fetch_sub(length, std::memory_order_relaxed);
}

std::size_t PixelStorageMappedBytes() noexcept { return GMappedBytes.load(std::memory_order_relaxed); }

}  // namespace vb
