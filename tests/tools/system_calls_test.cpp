// Guards the tools' operating-system layer on each system: names in any script, replacing by rename (a file being
// read included), new files that never overwrite, short writes, pipes and how their end reads, wildcard patterns,
// temporary files without a name, a child process stopped at its limit, root replacing in a sticky folder.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "file_calls.h"
#include "platform/system/child_process.h"
#include "platform/system/system_calls.h"
#include "tools/tool_test_dir.h"

namespace vb {
namespace {

#if defined(_WIN32)
constexpr bool kOpenFilesAreReplaced = false;
#else
constexpr bool kOpenFilesAreReplaced = true;
#endif

class TSystemCalls : public test::TToolTest {
 protected:
  // Writes `text` to the new file `name`; false when it existed.
  bool WriteNew(const std::string& Name, const std::string& Text) {
    const int fd = OpenNewFile(Path(Name));
    if (fd < 0) return false;
    const bool written = WriteFully(fd, Text.data(), Text.size());
    return FileCalls().Close(fd) == 0 && written;
  }
  std::string ReadAll(const std::string& Name) {
    const int fd = OpenToRead(Path(Name));
    std::string text;
    char chunk[256];
    for (ssize_t n; fd >= 0 && (n = FileCalls().Read(fd, chunk, sizeof chunk)) > 0;) text.append(chunk, n);
    if (fd >= 0) FileCalls().Close(fd);
    return text;
  }
};

TEST_F(TSystemCalls, NamesInAnyScriptArriveWhole) {
  const std::string name = "звук 🎵.wav";
  ASSERT_TRUE(WriteNew(name, "RIFF"));
  EXPECT_EQ(ReadAll(name), "RIFF");
  const TPathKind kind = PathKind(Path(name));
  EXPECT_TRUE(kind.Exists && kind.Regular && !kind.Folder);
  EXPECT_EQ(kind.Size, 4);
  EXPECT_EQ(FolderNames(FDir), std::vector<std::string>{name});
  ASSERT_EQ(MakeFolder(Path("папка")), 0);
  EXPECT_TRUE(PathKind(Path("папка")).Folder);
  std::vector<std::string> found;
  ASSERT_TRUE(MatchFiles(Path("*.wav"), found));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(SameFile(found[0], Path(name))) << found[0];
  EXPECT_FALSE(MatchFiles(Path("*.flac"), found));
}

TEST_F(TSystemCalls, ANewFileNeverTakesAnExistingOnesPlace) {
  ASSERT_TRUE(WriteNew("out.wav", "old"));
  errno = 0;
  EXPECT_LT(OpenNewFile(Path("out.wav")), 0);
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(ReadAll("out.wav"), "old");
}

TEST_F(TSystemCalls, ReplacingByRenameTakesTheOldNameInOneStep) {
  ASSERT_TRUE(WriteNew("out.wav", "old"));
  ASSERT_TRUE(WriteNew(".out.wav.tmp", "new"));
  ASSERT_EQ(ReplaceByRename(Path(".out.wav.tmp").c_str(), Path("out.wav").c_str()), 0);
  EXPECT_EQ(ReadAll("out.wav"), "new");
  EXPECT_EQ(Leftovers(), std::vector<std::string>{"out.wav"});
  // Over a file another reader holds open: POSIX replaces the name and
  // the reader keeps the old data; Windows refuses, and the file stays.
  const int reader = OpenToRead(Path("out.wav"));
  ASSERT_GE(reader, 0);
  ASSERT_TRUE(WriteNew(".out.wav.tmp", "newer"));
  const int replaced = ReplaceByRename(Path(".out.wav.tmp").c_str(), Path("out.wav").c_str());
  char held[8] = {};
  EXPECT_EQ(FileCalls().Read(reader, held, sizeof held), 3);
  EXPECT_EQ(std::string(held, 3), "new");
  FileCalls().Close(reader);
  EXPECT_EQ(ReadAll("out.wav"), kOpenFilesAreReplaced ? "newer" : "new");
  EXPECT_EQ(replaced == 0, kOpenFilesAreReplaced);
  // Into a folder that is not there: refused, and the file stays.
  ASSERT_TRUE(WriteNew("x.tmp", "x"));
  EXPECT_NE(ReplaceByRename(Path("x.tmp").c_str(), Path("no/such/x.wav").c_str()), 0);
  EXPECT_EQ(ReadAll("x.tmp"), "x");
}

// A write may take only part of the data (a pipe when a signal comes, a
// disk nearly full): the rest follows from where it stopped.
TEST_F(TSystemCalls, AShortWriteGoesOnWhereItStopped) {
  struct TShortWrites : TFileCalls {
    ssize_t Write(int Fd, const void* Data, size_t Size) override {
      return TFileCalls::Write(Fd, Data, std::min<size_t>(Size, 7));
    }
  } calls;
  std::string text;
  for (int k = 0; k < 100; ++k) text += std::to_string(k) + ",";
  SetFileCalls(&calls);
  const bool written = WriteNew("out.txt", text);
  SetFileCalls(nullptr);
  EXPECT_TRUE(written);
  EXPECT_EQ(ReadAll("out.txt"), text);
}

#if !defined(_WIN32)
// The spool and the copy of a piped input: nothing of them may stay in
// the temporary folder, however the program ends.
TEST_F(TSystemCalls, AnUnnamedTempHasNoNameFromTheStart) {
  const std::string saved = Environment("TMPDIR");
  ::setenv("TMPDIR", FDir.c_str(), 1);
  const int fd = OpenUnnamedTemp("spool");
  saved.empty() ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", saved.c_str(), 1);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(WriteFully(fd, "data", 4));
  EXPECT_EQ(Leftovers(), std::vector<std::string>{});
  FileCalls().Close(fd);
}

// Root may rename over any file, in a sticky folder too: its output is
// replaced, not written in place.
TEST_F(TSystemCalls, RootMayReplaceInAStickyFolderOfAnotherOwner) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root";
  ASSERT_EQ(MakeFolder(Path("shared")), 0);
  ASSERT_TRUE(WriteNew("shared/out.wav", "old"));
  for (const char* name : {"shared", "shared/out.wav"}) ASSERT_EQ(::chown(Path(name).c_str(), 1, 1), 0);
  ASSERT_EQ(::chmod(Path("shared").c_str(), 01777), 0);
  EXPECT_FALSE(FolderForbidsReplacing(Path("shared/out.wav")));
}

[[noreturn]] void WaitForever(const std::string&) {
  for (;;) ::pause();
}

// A scanned plug-in that never returns is stopped at the limit, and told
// from one that crashed.
TEST(ChildProcess, AChildThatNeverEndsIsStoppedAtTheLimit) {
  const TChildRun run = RunInChild(WaitForever, "", "", 1);
  EXPECT_TRUE(run.Started);
  EXPECT_TRUE(run.TimedOut);
  EXPECT_EQ(run.Crash, "");
}
#endif

// Binary both ways, and an end (not an error) once the writer has closed:
// the C library reads a broken pipe as the end on Windows too.
TEST(SystemCallsPipe, CarriesBytesAsTheyAreAndEndsOnceTheWriterCloses) {
  int ends[2];
  ASSERT_EQ(MakePipe(ends), 0);
  const std::string bytes("\r\n\n\x1a\0end", 8);
  ASSERT_TRUE(WriteFully(ends[1], bytes.data(), bytes.size()));
  ASSERT_EQ(FileCalls().Close(ends[1]), 0);
  std::string got(64, '\0');
  const ssize_t n = FileCalls().Read(ends[0], got.data(), got.size());
  ASSERT_EQ(n, static_cast<ssize_t>(bytes.size()));
  EXPECT_EQ(got.substr(0, bytes.size()), bytes);
  EXPECT_FALSE(Seekable(ends[0]));
  EXPECT_EQ(FileCalls().Read(ends[0], got.data(), got.size()), 0);
  FileCalls().Close(ends[0]);
}

}  // namespace
}  // namespace vb
