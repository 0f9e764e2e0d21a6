#include "resampled_source.h"

#include <cmath>

#ifdef VB_HAVE_SOXR
#include <soxr.h>
#endif

namespace vb {

namespace {

constexpr std::int64_t kReadFrames = 4096;  // source frames per read

}  // namespace

#ifdef VB_HAVE_SOXR

TResampledSource::TResampledSource(TSignalSource& Source, double Rate) : FSource(Source), FRate(Rate) {
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT64_I, SOXR_FLOAT64_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
  soxr_error_t error = nullptr;
  FConverter =
      soxr_create(Source.SampleRate(), Rate, static_cast<unsigned>(Source.Channels()), &error, &io, &quality, nullptr);
  if (!FConverter) FError = std::string("the sample-rate converter cannot start: ") + (error ? error : "no reason");
  FIn.resize(static_cast<size_t>(kReadFrames * Source.Channels()));
}

TResampledSource::~TResampledSource() {
  if (FConverter) soxr_delete(static_cast<soxr_t>(FConverter));
}

std::int64_t TResampledSource::Read(double* Interleaved, std::int64_t Frames, std::string& Error) {
  const size_t channels = static_cast<size_t>(Channels());
  size_t produced = 0;
  while (produced < static_cast<size_t>(Frames) && !FFlushed) {
    if (FInTaken == FInFrames && !FSourceEnded) {
      const std::int64_t n = FSource.Read(FIn.data(), kReadFrames, Error);
      if (n < 0) return -1;
      FSourceEnded = n == 0;
      FInFrames = static_cast<size_t>(n);
      FInTaken = 0;
    }
    // No input pointer tells the converter that the input has ended.
    const bool end = FInTaken == FInFrames;
    size_t taken = 0, made = 0;
    const soxr_error_t failed = soxr_process(
        static_cast<soxr_t>(FConverter), end ? nullptr : FIn.data() + FInTaken * channels, FInFrames - FInTaken, &taken,
        Interleaved + produced * channels, static_cast<size_t>(Frames) - produced, &made);
    if (failed) {
      Error = std::string("sample-rate conversion failed: ") + failed;
      return -1;
    }
    FInTaken += taken;
    produced += made;
    if (end && made == 0) FFlushed = true;
  }
  return static_cast<std::int64_t>(produced);
}

std::string ResamplerName() { return std::string(soxr_version()) + ", very high quality"; }

#else  // no libsoxr: -s must equal the input's rate

TResampledSource::TResampledSource(TSignalSource& source, double rate)
    : FSource(source), FRate(rate), FError("this vst-render was built without libsoxr and does not convert rates") {}
TResampledSource::~TResampledSource() = default;
std::int64_t TResampledSource::Read(double*, std::int64_t, std::string& error) {
  error = FError;
  return -1;
}
std::string ResamplerName() { return {}; }

#endif

bool TResampledSource::Ok(std::string& Error) const {
  Error = FError;
  return FError.empty();
}

std::int64_t TResampledSource::Frames() const {
  const std::int64_t in = FSource.Frames();
  return in > 0 ? std::llround(static_cast<double>(in) * FRate / FSource.SampleRate()) : 0;
}

}  // namespace vb
