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

extern "C" void CleanUpAndDie(int sig) {
  if (GCleanup) GCleanup();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

TPathKind KindOf(const struct stat& st) {
  TPathKind kind;
  kind.Exists = true;
  kind.Regular = S_ISREG(st.st_mode);
  kind.Folder = S_ISDIR(st.st_mode);
  kind.Links = static_cast<int>(st.st_nlink);
  kind.Size = st.st_size;
  return kind;
}

}  // namespace

int OpenToRead(const std::string& path) { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); }
int OpenNewFile(const std::string& path) { return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }
int OpenExisting(const std::string& path, bool read) {
  return ::open(path.c_str(), (read ? O_RDWR : O_WRONLY) | O_CLOEXEC);
}
int DuplicateStandardInput() { return ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0); }
int DuplicateStandardOutput() { return ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0); }
int DuplicateDescriptor(int fd) { return ::fcntl(fd, F_DUPFD_CLOEXEC, 0); }
bool Seekable(int fd) { return ::lseek(fd, 0, SEEK_CUR) >= 0; }

int OpenUnnamedTemp(const char* purpose) {
  const char* tmp = std::getenv("TMPDIR");
  std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/vst-render-" + purpose + "-XXXXXX";
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd >= 0) ::unlink(name.c_str());
  return fd;
}

ssize_t ReadAt(int fd, void* data, size_t size, std::int64_t offset) {
  return ::pread(fd, data, size, static_cast<off_t>(offset));
}
int SyncFile(int fd) { return ::fsync(fd); }
int TruncateFile(int fd, std::int64_t length) { return ::ftruncate(fd, static_cast<off_t>(length)); }
int ReplaceByRename(const char* from, const char* to) { return ::rename(from, to); }
int RemoveFile(const char* path) { return ::unlink(path); }
int MakeFolder(const std::string& path) { return ::mkdir(path.c_str(), 0777); }
int MakePipe(int ends[2]) { return ::pipe2(ends, O_CLOEXEC); }
const bool kPipeEndFails = false;

TPathKind PathKind(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  TPathKind kind = KindOf(st);
  kind.Writable = ::access(path.c_str(), W_OK) == 0;
  return kind;
}

TPathKind DescriptorKind(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 ? KindOf(st) : TPathKind{};
}

bool SameFile(const std::string& path, int fd) {
  struct stat file {
  }, open{};
  return ::stat(path.c_str(), &file) == 0 && ::fstat(fd, &open) == 0 && file.st_dev == open.st_dev &&
         file.st_ino == open.st_ino;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool MatchFiles(const std::string& pattern, std::vector<std::string>& files) {
  glob_t matches{};
  const int rc = ::glob(pattern.c_str(), 0, nullptr, &matches);
  for (size_t k = 0; rc == 0 && k < matches.gl_pathc; ++k) files.emplace_back(matches.gl_pathv[k]);
  ::globfree(&matches);
  return rc == 0;
}

int ReadLinkTarget(const std::string& path, std::string& target) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
  std::vector<char> buf(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
  const ssize_t n = ::readlink(path.c_str(), buf.data(), buf.size() - 1);
  if (n < 0) return -1;
  target.assign(buf.data(), static_cast<size_t>(n));
  return 1;
}

bool FolderForbidsReplacing(const std::string& path) {
  // Only the file's owner, the folder's owner and root may rename over a
  // file in a sticky folder.
  struct stat file {
  }, dir{};
  const auto slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
  if (::stat(path.c_str(), &file) != 0 || ::stat(folder.c_str(), &dir) != 0 || !(dir.st_mode & S_ISVTX)) return false;
  const uid_t me = ::geteuid();
  return me != 0 && file.st_uid != me && dir.st_uid != me;
}

void CopyOwnership(const std::string& path, int fd) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return;
  if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
    // Not ours to give away: the new file stays the writer's.
  }
  (void)::fchmod(fd, st.st_mode & 07777);
}

int ReserveSpace(int fd, std::int64_t size) {
  // A file system without fallocate is written as it is.
  return ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) != 0 && IsNoRoom(errno) ? -1 : 0;
}

bool IsNoRoom(int error) { return error == ENOSPC || error == EDQUOT || error == EFBIG; }

std::string CanonicalPath(const std::string& path) {
  char real[PATH_MAX];
  return ::realpath(path.c_str(), real) ? std::string(real) : std::string();
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

bool IsSeparator(char c) { return c == '/'; }
const char* const kPathSeparators = "/";
const char* const kSeparator = "/";

long ProcessId() { return static_cast<long>(::getpid()); }
bool ProcessIsGone(long pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string MachineSetting(const char*, const char*) { return {}; }

void OnInterrupt(void (*cleanup)()) {
  GCleanup = cleanup;
  // A signal the caller ignored stays ignored (nohup, background jobs).
  for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
    struct sigaction old {};
    if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    std::signal(sig, CleanUpAndDie);
  }
}

void RemoveFileNow(const char* path) { (void)::unlink(path); }

void IgnoreBrokenPipes(bool thisThread) {
  if (!thisThread) {
    std::signal(SIGPIPE, SIG_IGN);
    return;
  }
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
}

void* LoadLibraryFile(const std::string& path, std::string& error) {
  // dlopen only searches the library path for bare names; a file given
  // without a slash is meant relative to the working folder.
  const std::string loadPath = path.find('/') == std::string::npos ? "./" + path : path;
  void* lib = ::dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib) {
    const char* why = ::dlerror();
    error = why ? why : "unknown reason";
  }
  return lib;
}
void* LibrarySymbol(void* library, const char* name) { return ::dlsym(library, name); }
void UnloadLibrary(void* library) { ::dlclose(library); }

bool StandardErrorIsConsole() { return ::isatty(STDERR_FILENO) == 1; }
void UseUtf8(int&, char**&) {}

int RedirectStandardError(int fd) {
  const int saved = ::dup(STDERR_FILENO);
  if (saved >= 0 && ::dup2(fd, STDERR_FILENO) < 0) {
    ::close(saved);
    return -1;
  }
  return saved;
}

void RestoreStandardError(int saved) {
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
}

}  // namespace vb
