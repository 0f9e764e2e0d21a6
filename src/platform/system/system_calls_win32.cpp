#include <windows.h>
// After windows.h, which it needs.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/system/system_calls.h"
#include "platform/wide_text.h"

namespace vb {

namespace {

void (*GCleanup)() = nullptr;
UINT GConsoleCodePage = 0;  // the console's own, while UseUtf8 replaced it

void RestoreConsoleCodePage() {
  if (GConsoleCodePage) SetConsoleOutputCP(GConsoleCodePage);
}

// errno for the Win32 error of the call that just failed.
int SetErrnoFromLastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      errno = ENOENT;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      errno = EACCES;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      errno = EEXIST;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      errno = ENOSPC;
      break;
    case ERROR_WRITE_PROTECT:
      errno = EROFS;
      break;
    default:
      errno = EIO;
  }
  return -1;
}

// A CRT descriptor over CreateFileW: the sharing modes let another
// process (and our own interrupt handler) delete or rename the file while
// it is open, as POSIX allows.
int OpenWith(const std::string& path, DWORD access, DWORD disposition, DWORD flags, int crtFlags) {
  HANDLE h = CreateFileW(WideFromUtf8(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, disposition, flags, nullptr);
  if (h == INVALID_HANDLE_VALUE) return SetErrnoFromLastError();
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), crtFlags | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) CloseHandle(h);
  return fd;
}

TPathKind KindOf(const struct _stat64& st) {
  TPathKind kind;
  kind.Exists = true;
  kind.Regular = (st.st_mode & _S_IFMT) == _S_IFREG;
  kind.Folder = (st.st_mode & _S_IFMT) == _S_IFDIR;
  kind.Links = st.st_nlink > 0 ? st.st_nlink : 1;
  kind.Size = st.st_size;
  return kind;
}

bool FileIdentity(HANDLE h, BY_HANDLE_FILE_INFORMATION& id) {
  return h != INVALID_HANDLE_VALUE && GetFileInformationByHandle(h, &id) != 0;
}

bool NamedIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& id) {
  HANDLE h = CreateFileW(WideFromUtf8(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const bool known = FileIdentity(h, id);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return known;
}

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// The absolute form of a path (empty when it cannot be made).
std::wstring FullPath(const std::wstring& path) {
  std::vector<wchar_t> full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr) + 1);
  const DWORD n = GetFullPathNameW(path.c_str(), DWORD(full.size()), full.data(), nullptr);
  return std::wstring(full.data(), n < full.size() ? n : 0);
}

BOOL WINAPI OnConsoleEvent(DWORD) {
  if (GCleanup) GCleanup();
  RestoreConsoleCodePage();
  return FALSE;  // the default handler ends the process as before
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS*) {
  if (GCleanup) GCleanup();
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

int OpenToRead(const std::string& path) {
  return OpenWith(path, GENERIC_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, _O_RDONLY);
}
int OpenNewFile(const std::string& path) {
  return OpenWith(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, _O_RDWR);
}
int OpenExisting(const std::string& path, bool read) {
  return OpenWith(path, GENERIC_WRITE | (read ? GENERIC_READ : 0), OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                  read ? _O_RDWR : _O_WRONLY);
}

int DuplicateStandardInput() {
  _setmode(0, _O_BINARY);
  return _dup(0);
}
int DuplicateStandardOutput() {
  std::fflush(stdout);
  _setmode(1, _O_BINARY);
  return _dup(1);
}

// Not inherited: duplicated by hand, as _dup makes an inheritable handle.
int DuplicateDescriptor(int fd) {
  HANDLE copy = nullptr;
  const HANDLE process = GetCurrentProcess();
  if (!DuplicateHandle(process, reinterpret_cast<HANDLE>(_get_osfhandle(fd)), process, &copy, 0, FALSE,
                       DUPLICATE_SAME_ACCESS))
    return SetErrnoFromLastError();
  const int copyFd = _open_osfhandle(reinterpret_cast<intptr_t>(copy), _O_BINARY | _O_NOINHERIT);
  if (copyFd < 0) CloseHandle(copy);
  return copyFd;
}

bool Seekable(int fd) { return GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(fd))) == FILE_TYPE_DISK; }

int OpenUnnamedTemp(const char* purpose) {
  wchar_t folder[MAX_PATH + 1], name[MAX_PATH + 1];
  const std::wstring prefix = WideFromUtf8(purpose).substr(0, 3);
  if (!GetTempPathW(MAX_PATH + 1, folder) || !GetTempFileNameW(folder, prefix.c_str(), 0, name))
    return SetErrnoFromLastError();
  HANDLE h = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    SetErrnoFromLastError();
    DeleteFileW(name);
    return -1;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDWR | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) CloseHandle(h);
  return fd;
}

ssize_t ReadAt(int fd, void* data, size_t size, std::int64_t offset) {
  const __int64 was = _lseeki64(fd, 0, SEEK_CUR);
  if (was < 0 || _lseeki64(fd, offset, SEEK_SET) < 0) return -1;
  const int n = _read(fd, data, static_cast<unsigned>(size > 0x40000000 ? 0x40000000 : size));
  const int why = errno;
  _lseeki64(fd, was, SEEK_SET);
  errno = why;
  return n;
}

int SyncFile(int fd) { return _commit(fd); }
int TruncateFile(int fd, std::int64_t length) {
  const errno_t e = _chsize_s(fd, length);
  if (e == 0) return 0;
  errno = e;
  return -1;
}

int ReplaceByRename(const char* from, const char* to) {
  if (MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return 0;
  return SetErrnoFromLastError();
}

int RemoveFile(const char* path) { return DeleteFileW(WideFromUtf8(path).c_str()) ? 0 : SetErrnoFromLastError(); }
int MakeFolder(const std::string& path) {
  return CreateDirectoryW(WideFromUtf8(path).c_str(), nullptr) ? 0 : SetErrnoFromLastError();
}

int MakePipe(int ends[2]) {
  constexpr unsigned kPipeBytes = 1 << 16;
  return _pipe(ends, kPipeBytes, _O_BINARY | _O_NOINHERIT);
}

// A device or pipe by name (NUL, CON, \\.\pipe\...), which the C
// library's stat does not know.
const bool kPipeEndFails = true;

TPathKind DeviceKind(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  const DWORD type = GetFileType(h);
  CloseHandle(h);
  TPathKind kind;
  kind.Exists = kind.Writable = type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
  return kind;
}

TPathKind PathKind(const std::string& path) {
  const std::wstring wide = WideFromUtf8(path);
  struct _stat64 st {};
  if (_wstat64(wide.c_str(), &st) != 0) return DeviceKind(wide);
  TPathKind kind = KindOf(st);
  kind.Writable = _waccess(wide.c_str(), 2) == 0;
  // The C library's stat answers one link always: a second name would be
  // replaced away instead of written through.
  if (BY_HANDLE_FILE_INFORMATION id{}; kind.Regular && NamedIdentity(path, id)) kind.Links = int(id.nNumberOfLinks);
  return kind;
}

TPathKind DescriptorKind(int fd) {
  struct _stat64 st {};
  if (_fstat64(fd, &st) != 0) return {};
  TPathKind kind = KindOf(st);
  // A pipe or console is neither file nor folder.
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (GetFileType(h) != FILE_TYPE_DISK) kind.Regular = false;
  if (BY_HANDLE_FILE_INFORMATION id{}; kind.Regular && FileIdentity(h, id)) kind.Links = int(id.nNumberOfLinks);
  return kind;
}

bool SameFile(const std::string& path, int fd) {
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  return NamedIdentity(path, a) && FileIdentity(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), b) && SameIdentity(a, b);
}

bool SameFile(const std::string& first, const std::string& second) {
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  return NamedIdentity(first, a) && NamedIdentity(second, b) && SameIdentity(a, b);
}

bool MatchFiles(const std::string& pattern, std::vector<std::string>& files) {
  size_t folderEnd = pattern.size();
  while (folderEnd > 0 && !IsSeparator(pattern[folderEnd - 1])) --folderEnd;
  const std::string folder = pattern.substr(0, folderEnd);
  std::vector<std::string> found;
  WIN32_FIND_DATAW entry;
  HANDLE h = FindFirstFileW(WideFromUtf8(pattern).c_str(), &entry);
  if (h == INVALID_HANDLE_VALUE) return false;
  do {
    const std::string name = Utf8FromWide(entry.cFileName);
    if (name != "." && name != "..") found.push_back(folder + name);
  } while (FindNextFileW(h, &entry));
  FindClose(h);
  std::sort(found.begin(), found.end());
  files.insert(files.end(), found.begin(), found.end());
  return !found.empty();
}

// Links on Windows are the system's business: a path is written as named.
int ReadLinkTarget(const std::string&, std::string&) { return 0; }

// Replacing needs only the right to delete, which a writable file grants.
bool FolderForbidsReplacing(const std::string&) { return false; }
// The new file inherits the folder's access rules, as the old one did.
void CopyOwnership(const std::string&, int) {}

int ReserveSpace(int fd, std::int64_t size) {
  FILE_ALLOCATION_INFO room{};
  room.AllocationSize.QuadPart = size;
  if (SetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), FileAllocationInfo, &room, sizeof room))
    return 0;
  const DWORD why = GetLastError();
  if (why != ERROR_DISK_FULL && why != ERROR_HANDLE_DISK_FULL) return 0;
  errno = ENOSPC;
  return -1;
}

bool IsNoRoom(int error) { return error == ENOSPC || error == EFBIG; }

std::string CanonicalPath(const std::string& path) {
  const std::wstring wide = WideFromUtf8(path);
  if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
  std::string text = Utf8FromWide(FullPath(wide));
  for (char& c : text)
    if (c == '/') c = '\\';
  return text;
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW(WideFromUtf8((folder.empty() ? "." : folder) + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = Utf8FromWide(found.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return names;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }
const char* const kPathSeparators = "/\\";
const char* const kSeparator = "\\";

long ProcessId() { return static_cast<long>(GetCurrentProcessId()); }

bool ProcessIsGone(long pid) {
  HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (!h) return GetLastError() == ERROR_INVALID_PARAMETER;
  const bool ended = WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
  CloseHandle(h);
  return ended;
}

std::string Environment(const char* name) {
  const wchar_t* value = _wgetenv(WideFromUtf8(name).c_str());
  return value ? Utf8FromWide(value) : std::string();
}

std::string MachineSetting(const char* key, const char* value) {
  // A string, REG_EXPAND_SZ ones expanded (asking for REG_EXPAND_SZ as
  // such would need RRF_NOEXPAND).
  constexpr DWORD kStringValue = RRF_RT_REG_SZ;
  const std::wstring wideKey = WideFromUtf8(key), wideValue = WideFromUtf8(value);
  DWORD bytes = 0;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, wideKey.c_str(), wideValue.c_str(), kStringValue, nullptr, nullptr, &bytes) !=
          ERROR_SUCCESS ||
      bytes < sizeof(wchar_t))
    return {};
  std::wstring text(bytes / sizeof(wchar_t), L'\0');
  if (RegGetValueW(HKEY_LOCAL_MACHINE, wideKey.c_str(), wideValue.c_str(), kStringValue, nullptr, text.data(),
                   &bytes) != ERROR_SUCCESS)
    return {};
  text.resize(wcsnlen(text.c_str(), text.size()));
  return Utf8FromWide(text);
}

void OnInterrupt(void (*cleanup)()) {
  GCleanup = cleanup;
  // Ctrl-C, Ctrl-Break, the console closed, logoff, shutdown; and a crash.
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  SetUnhandledExceptionFilter(OnCrash);
}

// The file is deleted once its last handle closes, which the end of the
// process does (it was opened with FILE_SHARE_DELETE).
void RemoveFileNow(const char* path) { DeleteFileW(WideFromUtf8(path).c_str()); }

void IgnoreBrokenPipes(bool) {}

void* LoadLibraryFile(const std::string& path, std::string& error) {
  // A full path, so that the libraries beside the plug-in are found first.
  const std::wstring wide = WideFromUtf8(path), full = FullPath(wide);
  // No "insert a disk" or "entry point not found" boxes: this is a
  // command-line program.
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE lib = LoadLibraryExW(full.empty() ? wide.c_str() : full.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  const DWORD why = GetLastError();
  SetErrorMode(oldMode);
  if (!lib) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   why, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    error = text ? Utf8FromWide(text) : "error " + std::to_string(why);
    if (text) LocalFree(text);
    while (!error.empty() && (error.back() == '\n' || error.back() == '\r' || error.back() == ' ')) error.pop_back();
    // Messages about a file name it as an insert, left unfilled here.
    if (const size_t insert = error.find("%1"); insert != std::string::npos) error.replace(insert, 2, "this file");
  }
  return reinterpret_cast<void*>(lib);
}

void* LibrarySymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void UnloadLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

bool StandardErrorIsConsole() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

void UseUtf8(int& argc, char**& argv) {
  const UINT codePage = GetConsoleOutputCP();
  if (codePage != 0 && codePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    GConsoleCodePage = codePage;
    std::atexit(RestoreConsoleCodePage);
  }
  // Kept for the life of the program, as the C library keeps argv.
  static std::vector<std::string> texts;
  static std::vector<char*> pointers;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return;
  texts.clear();
  for (int k = 0; k < count; ++k) texts.push_back(Utf8FromWide(wide[k]));
  LocalFree(wide);
  pointers.clear();
  for (std::string& t : texts) pointers.push_back(t.data());
  pointers.push_back(nullptr);
  argc = count;
  argv = pointers.data();
}

int RedirectStandardError(int fd) {
  std::fflush(stderr);
  const int saved = _dup(2);
  if (saved >= 0 && _dup2(fd, 2) < 0) {
    _close(saved);
    return -1;
  }
  return saved;
}

void RestoreStandardError(int saved) {
  std::fflush(stderr);
  _dup2(saved, 2);
  _close(saved);
}

}  // namespace vb
