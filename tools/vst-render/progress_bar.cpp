#include "progress_bar.h"

#include <cstdio>

#include "platform/system/system_calls.h"

namespace vb {

namespace {
constexpr int kWidth = 40;  // characters of the bar itself
}

TProgressBar::TProgressBar(std::int64_t Total, bool Enabled)
    : FTotal(Total), FActive(Enabled && Total > 0 && StandardErrorIsConsole()) {}

TProgressBar::~TProgressBar() { Finish(); }

void TProgressBar::Update(std::int64_t Done) {
  if (!FActive) return;
  int percent = static_cast<int>(Done * 100 / FTotal);
  if (percent > 100) percent = 100;
  if (percent == FLastPercent) return;
  FLastPercent = percent;
  char bar[kWidth + 1];
  int filled = percent * kWidth / 100;
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = '\0';
  std::fprintf(stderr, "\r[%s] %3d%%", bar, percent);
  std::fflush(stderr);
}

void TProgressBar::Finish() {
  if (!FActive) return;
  std::fprintf(stderr, "\r%*s\r", kWidth + 8, "");
  std::fflush(stderr);
  FActive = false;
}

}  // namespace vb
