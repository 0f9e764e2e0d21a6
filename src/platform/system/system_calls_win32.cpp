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
int OpenWith(const std::string& Path, DWORD Access, DWORD Disposition, DWORD Flags, int CrtFlags) {
  HANDLE h = CreateFileW(WideFromUtf8(Path).c_str(), Access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, Disposition, Flags, nullptr);
  if (h == INVALID_HANDLE_VALUE) return SetErrnoFromLastError();
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), CrtFlags | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) CloseHandle(h);
  return fd;
}

TPathKind KindOf(const struct _stat64& St) {
  TPathKind kind;
  kind.Exists = true;
  kind.Regular = (St.st_mode & _S_IFMT) == _S_IFREG;
  kind.Folder = (St.st_mode & _S_IFMT) == _S_IFDIR;
  kind.Links = St.st_nlink > 0 ? St.st_nlink : 1;
  kind.Size = St.st_size;
  return kind;
}

bool FileIdentity(HANDLE H, BY_HANDLE_FILE_INFORMATION& Id) {
  return H != INVALID_HANDLE_VALUE && GetFileInformationByHandle(H, &Id) != 0;
}

bool NamedIdentity(const std::string& Path, BY_HANDLE_FILE_INFORMATION& Id) {
  HANDLE h = CreateFileW(WideFromUtf8(Path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  const bool known = FileIdentity(h, Id);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return known;
}

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& A, const BY_HANDLE_FILE_INFORMATION& B) {
  return A.dwVolumeSerialNumber == B.dwVolumeSerialNumber && A.nFileIndexHigh == B.nFileIndexHigh &&
         A.nFileIndexLow == B.nFileIndexLow;
}

// The absolute form of a path (empty when it cannot be made).
std::wstring FullPath(const std::wstring& Path) {
  std::vector<wchar_t> full(GetFullPathNameW(Path.c_str(), 0, nullptr, nullptr) + 1);
  const DWORD n = GetFullPathNameW(Path.c_str(), DWORD(full.size()), full.data(), nullptr);
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

int OpenToRead(const std::string& Path) {
  return OpenWith(Path, GENERIC_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, _O_RDONLY);
}
int OpenNewFile(const std::string& Path) {
  return OpenWith(Path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, _O_RDWR);
}
int OpenExisting(const std::string& Path, bool Read) {
  return OpenWith(Path, GENERIC_WRITE | (Read ? GENERIC_READ : 0), OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                  Read ? _O_RDWR : _O_WRONLY);
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
int DuplicateDescriptor(int Fd) {
  HANDLE copy = nullptr;
  const HANDLE process = GetCurrentProcess();
  if (!DuplicateHandle(process, reinterpret_cast<HANDLE>(_get_osfhandle(Fd)), process, &copy, 0, FALSE,
                       DUPLICATE_SAME_ACCESS))
    return SetErrnoFromLastError();
  const int copyFd = _open_osfhandle(reinterpret_cast<intptr_t>(copy), _O_BINARY | _O_NOINHERIT);
  if (copyFd < 0) CloseHandle(copy);
  return copyFd;
}

bool Seekable(int Fd) { return GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(Fd))) == FILE_TYPE_DISK; }

int OpenUnnamedTemp(const char* Purpose) {
  wchar_t folder[MAX_PATH + 1], name[MAX_PATH + 1];
  const std::wstring prefix = WideFromUtf8(Purpose).substr(0, 3);
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

ssize_t ReadAt(int Fd, void* Data, size_t Size, std::int64_t Offset) {
  const __int64 was = _lseeki64(Fd, 0, SEEK_CUR);
  if (was < 0 || _lseeki64(Fd, Offset, SEEK_SET) < 0) return -1;
  const int n = _read(Fd, Data, static_cast<unsigned>(Size > 0x40000000 ? 0x40000000 : Size));
  const int why = errno;
  _lseeki64(Fd, was, SEEK_SET);
  errno = why;
  return n;
}

int SyncFile(int Fd) { return _commit(Fd); }
int TruncateFile(int Fd, std::int64_t Length) {
  const errno_t e = _chsize_s(Fd, Length);
  if (e == 0) return 0;
  errno = e;
  return -1;
}

int ReplaceByRename(const char* From, const char* To) {
  if (MoveFileExW(WideFromUtf8(From).c_str(), WideFromUtf8(To).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return 0;
  return SetErrnoFromLastError();
}

int RemoveFile(const char* Path) { return DeleteFileW(WideFromUtf8(Path).c_str()) ? 0 : SetErrnoFromLastError(); }
int MakeFolder(const std::string& Path) {
  return CreateDirectoryW(WideFromUtf8(Path).c_str(), nullptr) ? 0 : SetErrnoFromLastError();
}

int MakePipe(int Ends[2]) {
  constexpr unsigned kPipeBytes = 1 << 16;
  return _pipe(Ends, kPipeBytes, _O_BINARY | _O_NOINHERIT);
}

// A device or pipe by name (NUL, CON, \\.\pipe\...), which the C
// library's stat does not know.
const bool kPipeEndFails = true;

TPathKind DeviceKind(const std::wstring& Path) {
  HANDLE h = CreateFileW(Path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  const DWORD type = GetFileType(h);
  CloseHandle(h);
  TPathKind kind;
  kind.Exists = kind.Writable = type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
  return kind;
}

TPathKind PathKind(const std::string& Path) {
  const std::wstring wide = WideFromUtf8(Path);
  struct _stat64 st {};
  if (_wstat64(wide.c_str(), &st) != 0) return DeviceKind(wide);
  TPathKind kind = KindOf(st);
  kind.Writable = _waccess(wide.c_str(), 2) == 0;
  // The C library's stat answers one link always: a second name would be
  // replaced away instead of written through.
  if (BY_HANDLE_FILE_INFORMATION id{}; kind.Regular && NamedIdentity(Path, id)) kind.Links = int(id.nNumberOfLinks);
  return kind;
}

TPathKind DescriptorKind(int Fd) {
  struct _stat64 st {};
  if (_fstat64(Fd, &st) != 0) return {};
  TPathKind kind = KindOf(st);
  // A pipe or console is neither file nor folder.
  const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(Fd));
  if (GetFileType(h) != FILE_TYPE_DISK) kind.Regular = false;
  if (BY_HANDLE_FILE_INFORMATION id{}; kind.Regular && FileIdentity(h, id)) kind.Links = int(id.nNumberOfLinks);
  return kind;
}

bool SameFile(const std::string& Path, int Fd) {
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  return NamedIdentity(Path, a) && FileIdentity(reinterpret_cast<HANDLE>(_get_osfhandle(Fd)), b) && SameIdentity(a, b);
}

bool SameFile(const std::string& First, const std::string& Second) {
  BY_HANDLE_FILE_INFORMATION a{}, b{};
  return NamedIdentity(First, a) && NamedIdentity(Second, b) && SameIdentity(a, b);
}

bool MatchFiles(const std::string& Pattern, std::vector<std::string>& Files) {
  size_t folderEnd = Pattern.size();
  while (folderEnd > 0 && !IsSeparator(Pattern[folderEnd - 1])) --folderEnd;
  const std::string folder = Pattern.substr(0, folderEnd);
  std::vector<std::string> found;
  WIN32_FIND_DATAW entry;
  HANDLE h = FindFirstFileW(WideFromUtf8(Pattern).c_str(), &entry);
  if (h == INVALID_HANDLE_VALUE) return false;
  do {
    const std::string name = Utf8FromWide(entry.cFileName);
    if (name != "." && name != "..") found.push_back(folder + name);
  } while (FindNextFileW(h, &entry));
  FindClose(h);
  std::sort(found.begin(), found.end());
  Files.insert(Files.end(), found.begin(), found.end());
  return !found.empty();
}

// Links on Windows are the system's business: a path is written as named.
int ReadLinkTarget(const std::string&, std::string&) { return 0; }

// Replacing needs only the right to delete, which a writable file grants.
bool FolderForbidsReplacing(const std::string&) { return false; }
// The new file inherits the folder's access rules, as the old one did.
void CopyOwnership(const std::string&, int) {}

int ReserveSpace(int Fd, std::int64_t Size) {
  FILE_ALLOCATION_INFO room{};
  room.AllocationSize.QuadPart = Size;
  if (SetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(Fd)), FileAllocationInfo, &room, sizeof room))
    return 0;
  const DWORD why = GetLastError();
  if (why != ERROR_DISK_FULL && why != ERROR_HANDLE_DISK_FULL) return 0;
  errno = ENOSPC;
  return -1;
}

bool IsNoRoom(int Error) { return Error == ENOSPC || Error == EFBIG; }

std::string CanonicalPath(const std::string& Path) {
  const std::wstring wide = WideFromUtf8(Path);
  if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
  std::string text = Utf8FromWide(FullPath(wide));
  for (char& c : text)
    if (c == '/') c = '\\';
  return text;
}

std::vector<std::string> FolderNames(const std::string& Folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW(WideFromUtf8((Folder.empty() ? "." : Folder) + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = Utf8FromWide(found.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return names;
}

bool IsSeparator(char C) { return C == '/' || C == '\\'; }
const char* const kPathSeparators = "/\\";
const char* const kSeparator = "\\";

long ProcessId() { return static_cast<long>(GetCurrentProcessId()); }

bool ProcessIsGone(long Pid) {
  HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(Pid));
  if (!h) return GetLastError() == ERROR_INVALID_PARAMETER;
  const bool ended = WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
  CloseHandle(h);
  return ended;
}

std::string Environment(const char* Name) {
  const wchar_t* value = _wgetenv(WideFromUtf8(Name).c_str());
  return value ? Utf8FromWide(value) : std::string();
}

std::string MachineSetting(const char* Key, const char* Value) {
  // A string, REG_EXPAND_SZ ones expanded (asking for REG_EXPAND_SZ as
  // such would need RRF_NOEXPAND).
  constexpr DWORD kStringValue = RRF_RT_REG_SZ;
  const std::wstring wideKey = WideFromUtf8(Key), wideValue = WideFromUtf8(Value);
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

void OnInterrupt(void (*Cleanup)()) {
  GCleanup = Cleanup;
  // Ctrl-C, Ctrl-Break, the console closed, logoff, shutdown; and a crash.
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  SetUnhandledExceptionFilter(OnCrash);
}

// The file is deleted once its last handle closes, which the end of the
// process does (it was opened with FILE_SHARE_DELETE).
void RemoveFileNow(const char* Path) { DeleteFileW(WideFromUtf8(Path).c_str()); }

void IgnoreBrokenPipes(bool) {}

void* LoadLibraryFile(const std::string& Path, std::string& Error) {
  // A full path, so that the libraries beside the plug-in are found first.
  const std::wstring wide = WideFromUtf8(Path), full = FullPath(wide);
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
    Error = text ? Utf8FromWide(text) : "error " + std::to_string(why);
    if (text) LocalFree(text);
    while (!Error.empty() && (Error.back() == '\n' || Error.back() == '\r' || Error.back() == ' ')) Error.pop_back();
    // Messages about a file name it as an insert, left unfilled here.
    if (const size_t insert = Error.find("%1"); insert != std::string::npos) Error.replace(insert, 2, "this file");
  }
  return reinterpret_cast<void*>(lib);
}

void* LibrarySymbol(void* Library, const char* Name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(Library), Name));
}
void UnloadLibrary(void* Library) { FreeLibrary(static_cast<HMODULE>(Library)); }

bool StandardErrorIsConsole() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

void UseUtf8(int& Argc, char**& Argv) {
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
  Argc = count;
  Argv = pointers.data();
}

int RedirectStandardError(int Fd) {
  std::fflush(stderr);
  const int saved = _dup(2);
  if (saved >= 0 && _dup2(Fd, 2) < 0) {
    _close(saved);
    return -1;
  }
  return saved;
}

void RestoreStandardError(int Saved) {
  std::fflush(stderr);
  _dup2(Saved, 2);
  _close(Saved);
}

}  // namespace vb
