// Where the bytes of an output file go, so that a failed or interrupted
// render never leaves a partial file and never replaces what the name stands
// for:
// - a regular file (new or existing): written under a hidden temporary name
//   in the same folder, then renamed over it on Commit(); an existing file's
//   permission bits are kept;
// - a symbolic link: the same, done on the file the link points to, so the
//   link stays a link;
// - a regular file that cannot be replaced by renaming (it has other hard
//   links, its folder is not writable, or a sticky folder forbids it): the
//   bytes are spooled to an unlinked temporary file and copied into the
//   file on Commit(), so the old data stays until the new is complete;
//   the room is reserved first and the old data copied aside, to be put
//   back should the copy fail;
// - a character device, a FIFO or a pipe ("-" is standard output, and
//   /dev/stdout or /dev/fd/N name what stands behind them): written
//   straight into it. An encoder that must go back to finish its header
//   (WAV, AIFF) cannot do that on a pipe; its bytes are spooled like above
//   and copied into the pipe on Commit().
// Temporary names are ".NAME.vst-render-PID.tmp" (NAME cut to 200 bytes);
// those of processes that are gone (SIGKILL) are removed by the next run
// that writes the same file.
// Every failure, the last write and the close included, is reported.
//
// Threads: one target per object; the signal handler only reads the
// pending temporary name.
#pragma once

#include <cstddef>
#include <string>

namespace vb {

// The file name that stands for standard input or output.
constexpr const char* kStandardStream = "-";

class TOutputTarget {
 public:
  enum TKind { okReplace, okDirect, okSpooled, okInPlace };

  TOutputTarget() = default;
  ~TOutputTarget();
  TOutputTarget(const TOutputTarget&) = delete;
  TOutputTarget& operator=(const TOutputTarget&) = delete;

  // streamable: the encoder never seeks, so a pipe can take its bytes as
  // they come. On failure a one-line message naming `path`.
  bool Open(const std::string& Path, bool Streamable, std::string& Error);

  // The descriptor the encoder writes to; it stays owned by the target.
  int Fd() const { return FEncoderFd; }
  TKind Kind() const { return FKind; }
  // The temporary file of a replacement (empty otherwise).
  const std::string& TempPath() const { return FTempPath; }
  // Why the file is written in place rather than replaced; empty otherwise.
  const std::string& InPlaceReason() const { return FInPlaceReason; }

  // Finishes the file: syncs and renames, copies the spool, or closes.
  bool Commit(std::string& Error);
  // Drops whatever was written (also done by the destructor).
  void Abandon();

 private:
  bool OpenReplacement(const std::string& FinalPath, std::string& Error);
  // An empty path: standard output.
  bool OpenDevice(const std::string& FinalPath, bool Streamable, std::string& Error);
  bool OpenInPlace(const std::string& FinalPath, const std::string& Why, std::string& Error);
  bool OpenSpool(std::string& Error);
  bool CopySpool(std::string& Error);
  // Overwrites the file with the spool; on failure puts its old contents back.
  bool CommitInPlace(std::string& Error);
  std::string Failure(const std::string& What) const;

  std::string FPath;       // as given, for messages
  std::string FFinalPath;  // after symbolic links
  std::string FTempPath;
  std::string FInPlaceReason;
  TKind FKind = okReplace;
  int FEncoderFd = -1;  // temp file, device, or spool
  int FDeviceFd = -1;   // the pipe or file a spool is copied into
};

// Makes SIGINT, SIGTERM, SIGHUP, SIGQUIT and crash signals (a plug-in may crash)
// delete the temporary file of the target that is open at the time before
// the process ends as the signal demands, and makes a pipe whose reader went
// away a write error instead of a silent death. Signals the caller set to
// be ignored (nohup) stay ignored. Call once, from main().
void RemoveTempFileOnFatalSignals();

// Writes `size` bytes as the whole of `path` through a target: a failure
// leaves no partial file and names the file and the reason.
bool WriteWholeFile(const std::string& Path, const void* Data, size_t Size, std::string& Error);

// The file a path finally names after following symbolic links (relative
// links count from the link's folder); the path itself when it is no link
// or does not exist. False with errno's text on a loop of links.
bool FollowLinks(const std::string& Path, std::string& FinalPath, std::string& Error);

}  // namespace vb
