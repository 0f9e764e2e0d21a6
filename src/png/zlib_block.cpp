#include "png/zlib_block.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>

#include "error/error.h"

namespace vb {
namespace {

constexpr size_t kBufferSize = 32768;

// zlib counts in 32-bit units; feed huge blocks in slices.
constexpr size_t kMaxSlice = std::numeric_limits<uInt>::max();

void FeedInput(z_stream& Z, const uint8_t*& Next, size_t& Left) {
  if (Z.avail_in == 0 && Left > 0) {
    const size_t slice = std::min(Left, kMaxSlice);
    Z.next_in = const_cast<Bytef*>(Next);
    Z.avail_in = static_cast<uInt>(slice);
    Next += slice;
    Left -= slice;
  }
}

// Ends the z_stream on every path out of the helpers.
struct TDeflateGuard {
  z_stream& Z;
  ~TDeflateGuard() { deflateEnd(&Z); }
};

}  // namespace

void CompressData(const void* Data, size_t Size, std::vector<uint8_t>& Output, int Level) {
  z_stream z{};
  if (deflateInit(&z, Level) != Z_OK) throw EPngError(TErrorCode::ecCompressionFailed);
  TDeflateGuard guard{z};
  uint8_t buffer[kBufferSize];
  const uint8_t* next = static_cast<const uint8_t*>(Data);
  size_t left = Size;
  int result = Z_OK;
  do {
    FeedInput(z, next, left);
    const int flush = (left == 0) ? Z_FINISH : Z_NO_FLUSH;
    z.next_out = buffer;
    z.avail_out = kBufferSize;
    result = deflate(&z, flush);
    if (result == Z_STREAM_ERROR) throw EPngError(TErrorCode::ecCompressionFailed);
    Output.insert(Output.end(), buffer, buffer + (kBufferSize - z.avail_out));
  } while (result != Z_STREAM_END);
}

void DecompressData(const void* Data, size_t Size, std::vector<uint8_t>& Output, size_t MaxOutput) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw EPngError(TErrorCode::ecDecompressionFailed);
  struct TGuard {
    z_stream& Z;
    ~TGuard() { inflateEnd(&Z); }
  } guard{z};
  uint8_t buffer[kBufferSize];
  const uint8_t* next = static_cast<const uint8_t*>(Data);
  size_t left = Size;
  size_t produced = 0;
  for (;;) {
    FeedInput(z, next, left);
    z.next_out = buffer;
    z.avail_out = kBufferSize;
    const int result = inflate(&z, Z_NO_FLUSH);
    const size_t have = kBufferSize - z.avail_out;
    if (result == Z_NEED_DICT || result == Z_DATA_ERROR || result == Z_MEM_ERROR || result == Z_STREAM_ERROR)
      throw EPngError(TErrorCode::ecStreamValidation);
    if (have > MaxOutput - produced) throw EPngError(TErrorCode::ecDecompressedTooLarge);
    produced += have;
    Output.insert(Output.end(), buffer, buffer + have);
    if (result == Z_STREAM_END) return;
    // Z_BUF_ERROR or no output with all input used: the stream is cut short.
    if (have == 0 && z.avail_in == 0 && left == 0) throw EPngError(TErrorCode::ecCompressedIncomplete);
  }
}

namespace {

struct TDecompressorFree {
  void operator()(libdeflate_decompressor* D) const { libdeflate_free_decompressor(D); }
};

// One whole-block inflate (several times faster than zlib's stream inflate
// on image data). Answers only for a well-formed stream that ends, checksum
// and all, within Capacity; anything else is left to the stream inflate,
// whose answer for cut-short, corrupt or overlong data stays the reference.
std::optional<size_t> InflateWhole(const void* Data, size_t Size, uint8_t* Output, size_t Capacity) {
  std::unique_ptr<libdeflate_decompressor, TDecompressorFree> d(libdeflate_alloc_decompressor());
  if (!d) return std::nullopt;
  size_t used = 0, written = 0;
  // A non-null used count lets bytes follow the stream, as inflate does.
  if (libdeflate_zlib_decompress_ex(d.get(), Data, Size, Output, Capacity, &used, &written) != LIBDEFLATE_SUCCESS)
    return std::nullopt;
  return written;
}

size_t InflateStreaming(const void* Data, size_t Size, uint8_t* Output, size_t Capacity) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) throw EPngError(TErrorCode::ecDecompressionFailed);
  struct TGuard {
    z_stream& Z;
    ~TGuard() { inflateEnd(&Z); }
  } guard{z};
  const uint8_t* next = static_cast<const uint8_t*>(Data);
  size_t left = Size;
  size_t written = 0;
  while (written < Capacity) {
    FeedInput(z, next, left);
    const size_t room = std::min(Capacity - written, kMaxSlice);
    z.next_out = Output + written;
    z.avail_out = static_cast<uInt>(room);
    const int result = inflate(&z, Z_NO_FLUSH);
    const size_t have = room - z.avail_out;
    written += have;
    if (result == Z_NEED_DICT || result == Z_DATA_ERROR || result == Z_MEM_ERROR || result == Z_STREAM_ERROR)
      throw EPngError(TErrorCode::ecStreamValidation);
    if (result == Z_STREAM_END) break;
    if (have == 0 && z.avail_in == 0 && left == 0) break;  // input used up
  }
  return written;
}

}  // namespace

size_t DecompressInto(const void* Data, size_t Size, uint8_t* Output, size_t Capacity) {
  if (const std::optional<size_t> written = InflateWhole(Data, Size, Output, Capacity)) return *written;
  return InflateStreaming(Data, Size, Output, Capacity);
}

}  // namespace vb
