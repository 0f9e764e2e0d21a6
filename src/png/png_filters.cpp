#include "png/png_filters.h"

#include <cstdlib>
#include <cstring>

#include "png/png_error.h"
#include "png/png_unfilter_sse2.h"

namespace vb {
namespace {

void UnfilterSub(uint8_t* X, size_t N, size_t Bpp) {
  for (size_t i = Bpp; i < N; ++i) X[i] = uint8_t(X[i] + X[i - Bpp]);
}

void UnfilterUp(uint8_t* X, const uint8_t* P, size_t N) {
  for (size_t i = 0; i < N; ++i) X[i] = uint8_t(X[i] + P[i]);
}

void UnfilterAverage(uint8_t* X, const uint8_t* P, size_t N, size_t Bpp) {
  const size_t head = Bpp < N ? Bpp : N;
  for (size_t i = 0; i < head; ++i) X[i] = uint8_t(X[i] + (P[i] >> 1));
  for (size_t i = Bpp; i < N; ++i) X[i] = uint8_t(X[i] + ((unsigned(X[i - Bpp]) + P[i]) >> 1));
}

void UnfilterPaeth(uint8_t* X, const uint8_t* P, size_t N, size_t Bpp) {
  const size_t head = Bpp < N ? Bpp : N;
  for (size_t i = 0; i < head; ++i) X[i] = uint8_t(X[i] + P[i]);
  for (size_t i = Bpp; i < N; ++i) X[i] = uint8_t(X[i] + PaethPredictor(X[i - Bpp], P[i], P[i - Bpp]));
}

uint64_t Cost(const uint8_t* Y, size_t N) {
  uint64_t sum = 0;
  for (size_t i = 0; i < N; ++i) sum += Y[i];
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

uint64_t FilterRow(uint8_t FilterType, const uint8_t* X, const uint8_t* P, uint8_t* Y, size_t N, size_t Bpp) {
  const size_t head = Bpp < N ? Bpp : N;
  switch (FilterType) {
    case pftNone:
      std::memcpy(Y, X, N);
      break;
    case pftSub:
      std::memcpy(Y, X, head);
      for (size_t i = Bpp; i < N; ++i) Y[i] = uint8_t(X[i] - X[i - Bpp]);
      break;
    case pftUp:
      for (size_t i = 0; i < N; ++i) Y[i] = uint8_t(X[i] - P[i]);
      break;
    case pftAverage:
      for (size_t i = 0; i < head; ++i) Y[i] = uint8_t(X[i] - (P[i] >> 1));
      for (size_t i = Bpp; i < N; ++i) Y[i] = uint8_t(X[i] - ((unsigned(X[i - Bpp]) + P[i]) >> 1));
      break;
    case pftPaeth:
      for (size_t i = 0; i < head; ++i) Y[i] = uint8_t(X[i] - P[i]);
      for (size_t i = Bpp; i < N; ++i) Y[i] = uint8_t(X[i] - PaethPredictor(X[i - Bpp], P[i], P[i - Bpp]));
      break;
    default:
      throw EPngError(TErrorCode::ecUnsupportedFilter);
  }
  return Cost(Y, N);
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
