#include "png/png_filters.h"

#include <cstdlib>
#include <cstring>

#include "png/png_error.h"
#include "png/png_unfilter_sse2.h"

namespace vb {
namespace {

void UnfilterSub(uint8_t* x, size_t n, size_t bpp) {
  for (size_t i = bpp; i < n; ++i) x[i] = uint8_t(x[i] + x[i - bpp]);
}

void UnfilterUp(uint8_t* x, const uint8_t* p, size_t n) {
  for (size_t i = 0; i < n; ++i) x[i] = uint8_t(x[i] + p[i]);
}

void UnfilterAverage(uint8_t* x, const uint8_t* p, size_t n, size_t bpp) {
  const size_t head = bpp < n ? bpp : n;
  for (size_t i = 0; i < head; ++i) x[i] = uint8_t(x[i] + (p[i] >> 1));
  for (size_t i = bpp; i < n; ++i) x[i] = uint8_t(x[i] + ((unsigned(x[i - bpp]) + p[i]) >> 1));
}

void UnfilterPaeth(uint8_t* x, const uint8_t* p, size_t n, size_t bpp) {
  const size_t head = bpp < n ? bpp : n;
  for (size_t i = 0; i < head; ++i) x[i] = uint8_t(x[i] + p[i]);
  for (size_t i = bpp; i < n; ++i) x[i] = uint8_t(x[i] + PaethPredictor(x[i - bpp], p[i], p[i - bpp]));
}

uint64_t Cost(const uint8_t* y, size_t n) {
  uint64_t sum = 0;
  for (size_t i = 0; i < n; ++i) sum += y[i];
  return sum;
}

}  // namespace

uint8_t PaethPredictor(uint8_t A, uint8_t B, uint8_t C) {
  const int pa = std::abs(int(B) - int(C));
  const int pb = std::abs(int(A) - int(C));
  const int pc = std::abs(int(A) + int(B) - 2 * int(C));
  if (pa <= pb && pa <= pc) return A;
  return pb <= pc ? B : C;
}

void UnfilterRow(uint8_t FilterType, uint8_t* Row, const uint8_t* Prev, size_t N, size_t Bpp) {
  if (FilterType > pftPaeth) throw EPngError(TErrorCode::ecUnsupportedFilter);
  if (FilterType == pftNone || UnfilterRowSse2(FilterType, Row, Prev, N, Bpp)) return;
  switch (FilterType) {
    case pftSub:
      return UnfilterSub(Row, N, Bpp);
    case pftUp:
      return UnfilterUp(Row, Prev, N);
    case pftAverage:
      return UnfilterAverage(Row, Prev, N, Bpp);
    default:
      return UnfilterPaeth(Row, Prev, N, Bpp);
  }
}

uint64_t FilterRow(uint8_t FilterType, const uint8_t* x, const uint8_t* p, uint8_t* y, size_t n, size_t bpp) {
  const size_t head = bpp < n ? bpp : n;
  switch (FilterType) {
    case pftNone:
      std::memcpy(y, x, n);
      break;
    case pftSub:
      std::memcpy(y, x, head);
      for (size_t i = bpp; i < n; ++i) y[i] = uint8_t(x[i] - x[i - bpp]);
      break;
    case pftUp:
      for (size_t i = 0; i < n; ++i) y[i] = uint8_t(x[i] - p[i]);
      break;
    case pftAverage:
      for (size_t i = 0; i < head; ++i) y[i] = uint8_t(x[i] - (p[i] >> 1));
      for (size_t i = bpp; i < n; ++i) y[i] = uint8_t(x[i] - ((unsigned(x[i - bpp]) + p[i]) >> 1));
      break;
    case pftPaeth:
      for (size_t i = 0; i < head; ++i) y[i] = uint8_t(x[i] - p[i]);
      for (size_t i = bpp; i < n; ++i) y[i] = uint8_t(x[i] - PaethPredictor(x[i - bpp], p[i], p[i - bpp]));
      break;
    default:
      throw EPngError(TErrorCode::ecUnsupportedFilter);
  }
  return Cost(y, n);
}

uint8_t ChooseRowFilter(const uint8_t* Row, const uint8_t* Prev, uint8_t* Out, uint8_t* Work, size_t N, size_t Bpp) {
  Out[0] = pftNone;
  std::memcpy(Out + 1, Row, N);
  uint64_t best = Cost(Row, N);
  for (uint8_t type = pftSub; type <= pftPaeth; ++type) {
    const uint64_t cost = FilterRow(type, Row, Prev, Work, N, Bpp);
    if (cost < best) {  // a tie keeps the earlier candidate
      best = cost;
      Out[0] = type;
      std::memcpy(Out + 1, Work, N);
    }
  }
  return Out[0];
}

}  // namespace vb
