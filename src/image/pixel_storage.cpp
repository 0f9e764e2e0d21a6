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

bool Mapped(std::size_t bytes) { return kPixelStorageMapsLargeBlocks && bytes >= kPixelStorageMappedMinimum; }

std::size_t MappedLength(std::size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

#if defined(_WIN32)
// No mappings of our own here (kPixelStorageMapsLargeBlocks is false).
void* MapAligned(std::size_t) { return nullptr; }
void Unmap(void*, std::size_t) {}
void AdviseHugePages(void*, std::size_t) {}
#else
void Unmap(void* block, std::size_t length) { munmap(block, length); }
// Only a hint: refused where the kernel has no transparent huge pages.
void AdviseHugePages(void* block, std::size_t length) { madvise(block, length, MADV_HUGEPAGE); }

// An anonymous mapping of Length bytes (a multiple of 2 MiB) starting on a
// 2 MiB boundary: one larger mapping, trimmed at both ends.
void* MapAligned(std::size_t length) {
  void* raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePage - 1) & ~std::uintptr_t(kHugePage - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t end = start + length + kHugePage;
  if (end > aligned + length) munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
  return reinterpret_cast<void*>(aligned);
}
#endif

}  // namespace

void* AllocatePixelStorage(std::size_t bytes) {
  if (bytes == 0) return nullptr;
  if (!Mapped(bytes)) {
    void* block = std::calloc(bytes, 1);
    if (block == nullptr) throw std::bad_alloc();
    return block;
  }
  if (bytes > SIZE_MAX - 2 * kHugePage) throw std::bad_alloc();
  const std::size_t length = MappedLength(bytes);
  void* block = MapAligned(length);
  if (block == nullptr) throw std::bad_alloc();
  AdviseHugePages(block, length);
  GMappedBytes.fetch_add(length, std::memory_order_relaxed);
  return block;  // anonymous mappings start out zero
}

void FreePixelStorage(void* block, std::size_t bytes) noexcept {
  if (block == nullptr) return;
  if (!Mapped(bytes)) {
    std::free(block);
    return;
  }
  const std::size_t length = MappedLength(bytes);
  Unmap(block, length);
  GMappedBytes.fetch_sub(length, std::memory_order_relaxed);
}

std::size_t PixelStorageMappedBytes() noexcept { return GMappedBytes.load(std::memory_order_relaxed); }

}  // namespace vb
