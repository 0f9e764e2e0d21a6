// A one-line progress bar on stderr, redrawn in place with '\r'. It draws
// only when enabled and stderr is a terminal; redraws at most once per
// percent so that it costs nothing measurable in the render loop.
#pragma once

#include <cstdint>

namespace vb {

class TProgressBar {
 public:
  // total: frames to render; enabled: the caller's decision (-q, length).
  TProgressBar(std::int64_t Total, bool Enabled);
  ~TProgressBar();

  void Update(std::int64_t Done);
  // Clears the line; called before any other output.
  void Finish();

  bool Active() const { return FActive; }

 private:
  std::int64_t FTotal;
  int FLastPercent = -1;
  bool FActive;
};

}  // namespace vb
