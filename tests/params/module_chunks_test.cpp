// Guards chunk exchange: preset and bank layouts, and that malformed banks
// from a host never make the module read past the bytes it was given.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "params/params_test_module.h"

namespace vb {
namespace {

using test::MakeParamsTestModule;
using test::TParamsTestModule;
using test::TTestHost;

struct TChunkLog {
  std::vector<std::string> Loaded;  // "<index>:<preset>:<bytes>"
};

// Program i stores the text Texts[i] and logs what it loads.
void BindChunkEvents(TParamsTestModule& M, TChunkLog& Log, std::vector<std::string> Texts) {
  for (std::int32_t i = 0; i < M.Programs().Count(); ++i) {
    const std::string text = Texts[static_cast<std::size_t>(i)];
    M.Programs()[i].OnStoreChunk = [text](TCustomVstProgram& P, std::int32_t, bool) {
      P.Chunk()->Clear();
      P.Chunk()->Write(text.data(), text.size());
    };
    M.Programs()[i].OnLoadChunk = [&Log](TCustomVstProgram& P, std::int32_t Index, bool IsPreset) {
      std::string bytes(reinterpret_cast<const char*>(P.Chunk()->Data()), P.Chunk()->Size());
      Log.Loaded.push_back(std::to_string(Index) + ":" + (IsPreset ? "p" : "b") + ":" + bytes);
    };
  }
}

std::vector<std::uint8_t> Bank(const std::vector<std::string>& Chunks) {
  std::vector<std::uint8_t> bank;
  for (const auto& c : Chunks) {
    const auto n = static_cast<std::uint32_t>(c.size());
    for (int b = 0; b < 4; ++b) bank.push_back(static_cast<std::uint8_t>(n >> (8 * b)));
    bank.insert(bank.end(), c.begin(), c.end());
  }
  return bank;
}

TEST(ModuleChunks, PresetAndBankRoundTrip) {
  TTestHost host;
  auto m = MakeParamsTestModule(host, true);
  TChunkLog log;
  BindChunkEvents(*m, log, {"A", "BC"});

  void* data = nullptr;
  ASSERT_EQ(host.Dispatch(effGetChunk, 1, 0, &data), 1);
  EXPECT_EQ(std::memcmp(data, "A", 1), 0);

  ASSERT_EQ(host.Dispatch(effGetChunk, 0, 0, &data), 11);
  const auto expected = Bank({"A", "BC"});
  EXPECT_EQ(std::memcmp(data, expected.data(), expected.size()), 0);

  TTestHost other;
  auto n = MakeParamsTestModule(other, true);
  TChunkLog loaded;
  BindChunkEvents(*n, loaded, {"", ""});
  auto bank = Bank({"xyz", "12"});
  EXPECT_EQ(other.Dispatch(effSetChunk, 0, static_cast<std::intptr_t>(bank.size()), bank.data()),
            static_cast<std::intptr_t>(bank.size()));
  EXPECT_EQ(loaded.Loaded, (std::vector<std::string>{"0:b:xyz", "1:b:12", "0:b:xyz"}));
  EXPECT_TRUE(n->EditorNeedUpdate());

  loaded.Loaded.clear();
  char preset[] = "pre";
  EXPECT_EQ(other.Dispatch(effSetChunk, 1, 3, preset), 3);
  EXPECT_EQ(loaded.Loaded, (std::vector<std::string>{"0:p:pre"}));
}

TEST(ModuleChunks, MalformedBanksStopAtTheGivenByteCount) {
  TTestHost host;
  auto m = MakeParamsTestModule(host, true);
  TChunkLog log;
  BindChunkEvents(*m, log, {"", ""});
  // The second length claims 1000 bytes; only 2 follow.
  auto bank = Bank({"ok", "xx"});
  bank[7] = 0xE8;
  bank[8] = 0x03;
  auto* heap = new std::uint8_t[bank.size()];  // exact size, so a sanitizer sees any overrun
  std::memcpy(heap, bank.data(), bank.size());
  EXPECT_EQ(host.Dispatch(effSetChunk, 0, static_cast<std::intptr_t>(bank.size()), heap),
            static_cast<std::intptr_t>(bank.size()));
  EXPECT_EQ(log.Loaded, (std::vector<std::string>{"0:b:ok", "0:b:ok"}));
  // A count below one length header, or a negative count, is refused.
  log.Loaded.clear();
  EXPECT_EQ(host.Dispatch(effSetChunk, 0, 3, heap), 0);
  EXPECT_EQ(host.Dispatch(effSetChunk, 0, -5, heap), 0);
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, 0, nullptr), 0);
  EXPECT_TRUE(log.Loaded.empty());
  delete[] heap;
}

TEST(ModuleChunks, WithoutChunkModeTheOpcodesTouchNothing) {
  TTestHost host;
  auto m = MakeParamsTestModule(host, false);
  void* data = nullptr;
  EXPECT_EQ(host.Dispatch(effGetChunk, 0, 0, &data), 0);
  EXPECT_EQ(data, nullptr);
  char bytes[8] = {};
  EXPECT_EQ(host.Dispatch(effSetChunk, 1, 8, bytes), 0);
}

TEST(ModuleChunks, ChunkModeValuesComeFromTheChunkEvent) {
  TTestHost host;
  auto m = MakeParamsTestModule(host, true);
  EXPECT_EQ(m->GetParameter(0), 0.0f);  // unbound: 0
  m->OnGetChunkParameter = [](TCustomVSTModule&, std::int32_t Index) { return Index == 0 ? 0.1f : -20.0f; };
  EXPECT_EQ(m->GetParameterDisplay(0), "0.100000001490116");
  float seen = 0.0f;
  m->ParameterProperties()[1].OnParameterChange = [&](TCustomVSTModule&, std::int32_t, float& V) { seen = V; };
  m->StoreParameter(1, 300.0f);
  EXPECT_EQ(seen, 300.0f);
  EXPECT_EQ(m->GetParameter(1), -20.0f);  // nothing stored
  EXPECT_EQ(m->Programs()[0].ParameterCount(), 0);
}

}  // namespace
}  // namespace vb
