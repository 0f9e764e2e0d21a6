// Guards the tools' file writing against failing system calls: whichever write, read, fsync, ftruncate, rename
// or close fails, the old file keeps its contents and nothing half-written is left beside it.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "file_calls.h"
#include "output_target.h"
#include "tools/tool_test_dir.h"

namespace vb {
namespace {

enum TCall { kWrite, kRead, kFsync, kFtruncate, kRename, kClose };
constexpr const char* kCallNames[] = {"write", "read", "fsync", "ftruncate", "rename", "close"};

// Makes the Nth call of one kind fail as a full disk would.
class TFailNth : public TFileCalls {
 public:
  TFailNth(TCall Call, int Nth) : FCall(Call), FNth(Nth) {}
  bool Failed() const { return FCount >= FNth; }
  ssize_t Write(int Fd, const void* D, size_t N) override { return Hit(kWrite) ? -1 : TFileCalls::Write(Fd, D, N); }
  ssize_t Read(int Fd, void* D, size_t N) override { return Hit(kRead) ? -1 : TFileCalls::Read(Fd, D, N); }
  int Fsync(int Fd) override { return Hit(kFsync) ? -1 : TFileCalls::Fsync(Fd); }
  int Ftruncate(int Fd, off_t N) override { return Hit(kFtruncate) ? -1 : TFileCalls::Ftruncate(Fd, N); }
  int Rename(const char* A, const char* B) override { return Hit(kRename) ? -1 : TFileCalls::Rename(A, B); }
  int Close(int Fd) override {
    if (!Hit(kClose)) return TFileCalls::Close(Fd);
    TFileCalls::Close(Fd);  // as the kernel does: the descriptor is gone either way
    return -1;
  }

 private:
  bool Hit(TCall Call) {
    if (Call != FCall || ++FCount != FNth) return false;
    errno = ENOSPC;
    return true;
  }
  TCall FCall;
  int FNth;
  int FCount = 0;
};

class TOutputTargetFaults : public test::TToolTest {
 protected:
  void TearDown() override {
    SetFileCalls(nullptr);
    TToolTest::TearDown();
  }
  // Writes `fresh` over out.bin with the Nth call of `call` failing while
  // the file is finished; answers whether that call was reached.
  bool WriteFailing(TCall Call, int Nth, const std::string& Fresh, bool& Committed, std::string& Error) {
    TOutputTarget target;
    EXPECT_TRUE(target.Open(Path("out.bin"), false, Error)) << Error;
    EXPECT_TRUE(WriteFully(target.Fd(), Fresh.data(), Fresh.size()));
    TFailNth calls(Call, Nth);
    SetFileCalls(&calls);
    Committed = target.Commit(Error);
    SetFileCalls(nullptr);
    return calls.Failed();
  }
};

// A replaced file (one name) and one written in place (a second hard link);
// the new contents span several copy chunks, and in place also fall short
// of the old.
TEST_F(TOutputTargetFaults, AFailedWriteKeepsTheOldFileAndLeavesNothingHalfWritten) {
  const std::string old(100000, 'o'), longer(300001, 'n'), shorter(1000, 'n');
  for (const auto& [linked, fresh] : {std::pair{false, longer}, std::pair{true, longer}, std::pair{true, shorter}}) {
    for (TCall call : {kWrite, kRead, kFsync, kFtruncate, kRename, kClose}) {
      for (int nth = 1;; ++nth) {
        ASSERT_LT(nth, 100) << kCallNames[call];
        { std::ofstream(test::FsPath(Path("out.bin")), std::ios::binary) << old; }
        if (linked) {
          std::filesystem::create_hard_link(test::FsPath(Path("out.bin")), test::FsPath(Path("link.bin")));
        }
        bool committed = false;
        std::string error;
        const bool reached = WriteFailing(call, nth, fresh, committed, error);
        const std::string where = std::string(linked ? "in place, " : "replaced, ") + kCallNames[call] + " #" +
                                  std::to_string(nth) + ": " + error;
        EXPECT_EQ(test::ReadText(Path("out.bin")), committed ? fresh : old) << where;
        EXPECT_EQ(Leftovers().size(), linked ? 2u : 1u) << where;
        if (!committed) {
          EXPECT_NE(error.find("out.bin"), std::string::npos) << where;
        }
        if (linked) {
          EXPECT_EQ(test::ReadText(Path("link.bin")), test::ReadText(Path("out.bin"))) << where;
        }
        std::remove(Path("link.bin").c_str());
        if (!reached) break;
      }
    }
  }
}

}  // namespace
}  // namespace vb
