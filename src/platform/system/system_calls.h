// What the tools ask of the operating system beyond standard C++, with one
// side per system (system_calls_posix.cpp, system_calls_win32.cpp): files
// by UTF-8 path, processes, interruption, dynamic libraries, the console.
// Descriptors are the C library's; failures return -1 (or false) with
// errno set, as the POSIX namesakes do.
//
// Threads: any, except where a function says otherwise.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vb {

// A UTF-8 path for the standard library's streams (which take the
// system's narrow code page on Windows).
inline std::filesystem::path StreamPath(const std::string& Path) {
  return std::filesystem::path(std::u8string(Path.begin(), Path.end()));
}

// Files. Every descriptor is binary and not inherited by child processes.
int OpenToRead(const std::string& Path);
// A new file, never an existing one (O_EXCL), for reading and writing.
int OpenNewFile(const std::string& Path);
// An existing file or device as it is, for writing (and reading when `read`).
int OpenExisting(const std::string& Path, bool Read);
// Copies of standard input and output, switched to binary where the
// system distinguishes text.
int DuplicateStandardInput();
int DuplicateStandardOutput();
int DuplicateDescriptor(int Fd);
// True when the file position can be moved (a disk file, not a pipe or a
// device such as NUL, whose seeks Windows lets succeed without effect).
bool Seekable(int Fd);
// A file in the temporary folder that disappears once closed (or at
// once); `purpose` names it ("spool", "input").
int OpenUnnamedTemp(const char* Purpose);
// pread(2): reads at `offset` without moving the file position (where the
// system cannot, the position is restored).
ssize_t ReadAt(int Fd, void* Data, size_t Size, std::int64_t Offset);
int SyncFile(int Fd);
int TruncateFile(int Fd, std::int64_t Length);
// Puts `from` in the place of `to`, replacing it in one step, the data on
// the disk before the name.
int ReplaceByRename(const char* From, const char* To);
int RemoveFile(const char* Path);
int MakeFolder(const std::string& Path);
// pipe(2): ends[0] to read, ends[1] to write.
int MakePipe(int Ends[2]);
// True where reading a pipe whose writer has closed fails instead of
// ending (Windows: ERROR_BROKEN_PIPE), which libsndfile takes for an
// error: what comes through a pipe is then read from a temporary copy.
extern const bool kPipeEndFails;

struct TPathKind {
  bool Exists = false;
  bool Regular = false;
  bool Folder = false;
  bool Writable = false;  // may be opened for writing by us
  int Links = 1;          // hard links
  std::int64_t Size = 0;
};
// stat(2) of a path (links followed) or of a descriptor.
TPathKind PathKind(const std::string& Path);
TPathKind DescriptorKind(int Fd);
// True when both name the same file.
bool SameFile(const std::string& Path, int Fd);
bool SameFile(const std::string& A, const std::string& B);
// The files a wildcard pattern (*, ?, [...]) matches, sorted; false when
// none does. On Windows only the last component may hold wildcards.
bool MatchFiles(const std::string& Pattern, std::vector<std::string>& Files);
// The file a symbolic link points to: 1 with `target` set, 0 when `path`
// is no link (or the system's links are not ours to follow), -1 with errno.
int ReadLinkTarget(const std::string& Path, std::string& Target);
// True when the folder of `path` keeps us from renaming over it although
// the file is writable (POSIX: a sticky folder and another owner).
bool FolderForbidsReplacing(const std::string& Path);
// Gives the file open as `fd` the owner (where we may) and permissions of
// the file at `path`, whose place it is to take.
void CopyOwnership(const std::string& Path, int Fd);
// Reserves `size` bytes for `fd` without changing its length; -1 with
// errno only when the disk has no room (a system that cannot tell is fine).
int ReserveSpace(int Fd, std::int64_t Size);
// True for errno values that mean the disk (or quota) is full.
bool IsNoRoom(int Error);
// The path with links and dots resolved; empty when it does not exist.
std::string CanonicalPath(const std::string& Path);
// The names in a folder, without "." and ".."; empty when it cannot be read.
std::vector<std::string> FolderNames(const std::string& Folder);
// True when the path separator is the character (also '\\' on Windows).
bool IsSeparator(char C);
extern const char* const kPathSeparators;  // for find_first_of: "/" or "/\\"
extern const char* const kSeparator;       // the one paths are joined with
constexpr int kStandardOutputFd = 1;

// Processes.
long ProcessId();
// True only when no process with this id runs (false when unknown).
bool ProcessIsGone(long Pid);
// The value of an environment variable in UTF-8; empty when unset.
std::string Environment(const char* Name);
// A machine-wide setting as text: on Windows the string `value` under the
// registry key HKEY_LOCAL_MACHINE\`key`; empty when there is none (always
// on POSIX, which keeps such settings in files).
std::string MachineSetting(const char* Key, const char* Value);

// Interruption: `cleanup` runs when the user interrupts the program or it
// is killed by a fatal signal (POSIX) or its console closes (Windows), and
// the program then ends as it would have without it. `cleanup` must be
// async-signal-safe on POSIX. Call once, from main().
void OnInterrupt(void (*Cleanup)());
// The fastest removal there is, for `cleanup`.
void RemoveFileNow(const char* Path);
// Makes the writes to a reader that has gone fail instead of ending the
// process (POSIX: SIGPIPE); for the calling thread only when `thisThread`.
void IgnoreBrokenPipes(bool ThisThread);

// Dynamic libraries (plug-ins). Null with a message on failure.
void* LoadLibraryFile(const std::string& Path, std::string& Error);
void* LibrarySymbol(void* Library, const char* Name);
void UnloadLibrary(void* Library);

// The console: true when standard error is a terminal or console window.
bool StandardErrorIsConsole();
// UTF-8 in and out: the program's arguments (on Windows from the wide
// command line, so that any file name arrives whole) and what it prints to
// a console (on Windows the console's code page, put back at exit); call
// first thing in main().
void UseUtf8(int& Argc, char**& Argv);

// Standard error's descriptor redirected to `fd` until RestoreStandardError;
// the saved descriptor (-1 on failure).
int RedirectStandardError(int Fd);
void RestoreStandardError(int Saved);

}  // namespace vb
