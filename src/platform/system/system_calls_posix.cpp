#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <glob.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <vector>

#include "platform/system/system_calls.h"

namespace vb {

namespace {

void (*GCleanup)() = nullptr;

extern "C" void CleanUpAndDie(int Sig) {
  if (GCleanup) GCleanup();
  std::signal(Sig, SIG_DFL);
  std::raise(Sig);
}

TPathKind KindOf(const struct stat& St) {
  TPathKind kind;
  kind.Exists = true;
  kind.Regular = S_ISREG(St.st_mode);
  kind.Folder = S_ISDIR(St.st_mode);
  kind.Links = static_cast<int>(St.st_nlink);
  kind.Size = St.st_size;
  return kind;
}

}  // namespace

int OpenToRead(const std::string& Path) { return ::open(Path.c_str(), O_RDONLY | O_CLOEXEC); }
int OpenNewFile(const std::string& Path) { return ::open(Path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }
int OpenExisting(const std::string& Path, bool Read) {
  return ::open(Path.c_str(), (Read ? O_RDWR : O_WRONLY) | O_CLOEXEC);
}
int DuplicateStandardInput() { return ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0); }
int DuplicateStandardOutput() { return ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0); }
int DuplicateDescriptor(int Fd) { return ::fcntl(Fd, F_DUPFD_CLOEXEC, 0); }
bool Seekable(int Fd) { return ::lseek(Fd, 0, SEEK_CUR) >= 0; }

int OpenUnnamedTemp(const char* Purpose) {
  const char* tmp = std::getenv("TMPDIR");
  std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/vst-render-" + Purpose + "-XXXXXX";
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd >= 0) ::unlink(name.c_str());
  return fd;
}

ssize_t ReadAt(int Fd, void* Data, size_t Size, std::int64_t Offset) {
  return ::pread(Fd, Data, Size, static_cast<off_t>(Offset));
}
int SyncFile(int Fd) { return ::fsync(Fd); }
int TruncateFile(int Fd, std::int64_t Length) { return ::ftruncate(Fd, static_cast<off_t>(Length)); }
int ReplaceByRename(const char* From, const char* To) { return ::rename(From, To); }
int RemoveFile(const char* Path) { return ::unlink(Path); }
int MakeFolder(const std::string& Path) { return ::mkdir(Path.c_str(), 0777); }
int MakePipe(int Ends[2]) { return ::pipe2(Ends, O_CLOEXEC); }
const bool kPipeEndFails = false;

TPathKind PathKind(const std::string& Path) {
  struct stat st {};
  if (::stat(Path.c_str(), &st) != 0) return {};
  TPathKind kind = KindOf(st);
  kind.Writable = ::access(Path.c_str(), W_OK) == 0;
  return kind;
}

TPathKind DescriptorKind(int Fd) {
  struct stat st {};
  return ::fstat(Fd, &st) == 0 ? KindOf(st) : TPathKind{};
}

bool SameFile(const std::string& Path, int Fd) {
  struct stat file {
  }, open{};
  return ::stat(Path.c_str(), &file) == 0 && ::fstat(Fd, &open) == 0 && file.st_dev == open.st_dev &&
         file.st_ino == open.st_ino;
}

bool SameFile(const std::string& A, const std::string& B) {
  struct stat sa {
  }, sb{};
  return ::stat(A.c_str(), &sa) == 0 && ::stat(B.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool MatchFiles(const std::string& Pattern, std::vector<std::string>& Files) {
  glob_t matches{};
  const int rc = ::glob(Pattern.c_str(), 0, nullptr, &matches);
  for (size_t k = 0; rc == 0 && k < matches.gl_pathc; ++k) Files.emplace_back(matches.gl_pathv[k]);
  ::globfree(&matches);
  return rc == 0;
}

int ReadLinkTarget(const std::string& Path, std::string& Target) {
  struct stat st {};
  if (::lstat(Path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
  std::vector<char> buf(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
  const ssize_t n = ::readlink(Path.c_str(), buf.data(), buf.size() - 1);
  if (n < 0) return -1;
  Target.assign(buf.data(), static_cast<size_t>(n));
  return 1;
}

bool FolderForbidsReplacing(const std::string& Path) {
  // Only the file's owner, the folder's owner and root may rename over a
  // file in a sticky folder.
  struct stat file {
  }, dir{};
  const auto slash = Path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : Path.substr(0, slash + 1);
  if (::stat(Path.c_str(), &file) != 0 || ::stat(folder.c_str(), &dir) != 0 || !(dir.st_mode & S_ISVTX)) return false;
  const uid_t me = ::geteuid();
  return me != 0 && file.st_uid != me && dir.st_uid != me;
}

void CopyOwnership(const std::string& Path, int Fd) {
  struct stat st {};
  if (::stat(Path.c_str(), &st) != 0) return;
  if (::fchown(Fd, st.st_uid, st.st_gid) != 0) {
    // Not ours to give away: the new file stays the writer's.
  }
  (void)::fchmod(Fd, st.st_mode & 07777);
}

int ReserveSpace(int Fd, std::int64_t Size) {
  // A file system without fallocate is written as it is.
  return ::fallocate(Fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(Size)) != 0 && IsNoRoom(errno) ? -1 : 0;
}

bool IsNoRoom(int Error) { return Error == ENOSPC || Error == EDQUOT || Error == EFBIG; }

std::string CanonicalPath(const std::string& Path) {
  char real[PATH_MAX];
  return ::realpath(Path.c_str(), real) ? std::string(real) : std::string();
}

std::vector<std::string> FolderNames(const std::string& Folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(Folder.empty() ? "." : Folder.c_str());
  if (!dir) return names;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

bool IsSeparator(char C) { return C == '/'; }
const char* const kPathSeparators = "/";
const char* const kSeparator = "/";

long ProcessId() { return static_cast<long>(::getpid()); }
bool ProcessIsGone(long Pid) { return ::kill(static_cast<pid_t>(Pid), 0) != 0 && errno == ESRCH; }

std::string Environment(const char* Name) {
  const char* value = std::getenv(Name);
  return value ? value : "";
}

std::string MachineSetting(const char*, const char*) { return {}; }

void OnInterrupt(void (*Cleanup)()) {
  GCleanup = Cleanup;
  // A signal the caller ignored stays ignored (nohup, background jobs).
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
    struct sigaction old {};
    if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    std::signal(sig, CleanUpAndDie);
  }
}

void RemoveFileNow(const char* Path) { (void)::unlink(Path); }

void IgnoreBrokenPipes(bool ThisThread) {
  if (!ThisThread) {
    std::signal(SIGPIPE, SIG_IGN);
    return;
  }
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
}

void* LoadLibraryFile(const std::string& Path, std::string& Error) {
  // dlopen only searches the library path for bare names; a file given
  // without a slash is meant relative to the working folder.
  const std::string loadPath = Path.find('/') == std::string::npos ? "./" + Path : Path;
  void* lib = ::dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    const char* why = ::dlerror();
    Error = why ? why : "unknown reason";
  }
  return lib;
}
void* LibrarySymbol(void* Library, const char* Name) { return ::dlsym(Library, Name); }
void UnloadLibrary(void* Library) { ::dlclose(Library); }

bool StandardErrorIsConsole() { return ::isatty(STDERR_FILENO) == 1; }
void UseUtf8(int&, char**&) {}

int RedirectStandardError(int Fd) {
  const int saved = ::dup(STDERR_FILENO);
  if (saved >= 0 && ::dup2(Fd, STDERR_FILENO) < 0) {
    ::close(saved);
    return -1;
  }
  return saved;
}

void RestoreStandardError(int Saved) {
  ::dup2(Saved, STDERR_FILENO);
  ::close(Saved);
}

}  // namespace vb
