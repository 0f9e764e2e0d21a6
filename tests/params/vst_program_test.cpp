// Guards programs: value arrays that stay in step with the parameter list,
// safe out-of-range access, name limits, copying, and chunk mode.
#include "params/vst_program.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "params/fake_parameter_owner.h"

namespace vb {
namespace {

using test::TFakeParameterOwner;

void AddParameters(TFakeParameterOwner& Owner, int Count) {
  for (int i = 0; i < Count; ++i) Owner.Properties.Add();
}

TEST(VstProgram, NewProgramHasOneZeroPerParameterAndIsCurrent) {
  TFakeParameterOwner owner;
  AddParameters(owner, 17);
  auto& p = owner.Programs.Add();
  EXPECT_EQ(p.DisplayName(), "Init");
  EXPECT_EQ(p.ParameterCount(), 17);
  for (int i = 0; i < 17; ++i) EXPECT_EQ(p.GetParameter(i), 0.0f);
  EXPECT_EQ(owner.NumPrograms, 1);
  EXPECT_EQ(owner.CurrentProgram, 0);
  EXPECT_FALSE(p.HasChunk());
  EXPECT_EQ(p.VSTModule(), &owner);
}

TEST(VstProgram, OutOfRangeIndicesReadZeroAndStoreNothing) {
  TFakeParameterOwner owner;
  AddParameters(owner, 17);
  auto& p = owner.Programs.Add();
  p.SetParameter(17, 5.0f);
  p.SetParameter(-1, 5.0f);
  EXPECT_EQ(p.GetParameter(17), 0.0f);
  EXPECT_EQ(p.GetParameter(-1), 0.0f);
  p.SetParameter(3, 2.5f);
  EXPECT_EQ(p.GetParameter(3), 2.5f);
  // An array shorter than the record's count is still bounded by itself.
  p.SetParameterCount(2);
  p.SetParameter(3, 1.0f);
  EXPECT_EQ(p.GetParameter(3), 0.0f);
}

TEST(VstProgram, NameKeepsFiftyCharacters) {
  TVstProgram p(nullptr, nullptr);
  p.SetDisplayName(std::string(60, 'a'));
  EXPECT_EQ(p.DisplayName(), std::string(50, 'a'));
}

TEST(VstProgram, TooManyValuesFailWithTheirCount) {
  TFakeParameterOwner owner;
  AddParameters(owner, 17);
  auto& p = owner.Programs.Add();
  try {
    p.SetParameters(std::vector<float>(18, 1.0f));
    FAIL() << "no failure";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Parameter mismatch (18)");
  }
  EXPECT_EQ(p.GetParameter(0), 0.0f);
  p.SetParameters({1.0f, 2.0f});
  EXPECT_EQ(p.GetParameter(1), 2.0f);
  EXPECT_EQ(p.GetParameter(2), 0.0f);
  p.SetParameters({});
  EXPECT_EQ(p.GetParameter(0), 1.0f);
}

TEST(VstProgram, ArraysFollowTheParameterList) {
  TFakeParameterOwner owner;
  AddParameters(owner, 17);
  auto& p = owner.Programs.Add();
  for (int i = 0; i < 17; ++i) p.SetParameter(i, static_cast<float>(i + 1));
  owner.Properties.Add();
  ASSERT_EQ(p.ParameterCount(), 18);
  for (int i = 0; i < 17; ++i) EXPECT_EQ(p.GetParameter(i), static_cast<float>(i + 1));
  EXPECT_EQ(p.GetParameter(17), 0.0f);
  owner.Properties.Delete(17);
  EXPECT_EQ(p.ParameterCount(), 17);
}

TEST(VstProgram, CopyAndAssignTakeValuesNameAndEvents) {
  TFakeParameterOwner owner;
  AddParameters(owner, 3);
  auto& a = owner.Programs.Add();
  auto& b = owner.Programs.Add();
  a.SetParameters({1, 2, 3});
  a.SetDisplayName("Crunch");
  int calls = 0;
  a.OnInitialize = [&](TCustomVstProgram&) { ++calls; };
  b.CopyParameters(0);
  EXPECT_EQ(b.GetParameter(2), 3.0f);
  EXPECT_EQ(b.DisplayName(), "Init");
  b.CopyParameters(9);  // no such program: unchanged
  owner.Programs.SetItem(1, a);
  EXPECT_EQ(b.DisplayName(), "Crunch");
  ASSERT_TRUE(b.OnInitialize);
  b.OnInitialize(b);
  EXPECT_EQ(calls, 1);
}

TEST(VstProgram, ChunkModeProgramsHoldBytesNotValues) {
  TFakeParameterOwner owner;
  owner.ChunkMode = true;
  AddParameters(owner, 4);
  auto& p = owner.Programs.Add();
  ASSERT_TRUE(p.HasChunk());
  p.SetParameter(0, 3.0f);
  EXPECT_EQ(p.GetParameter(0), 0.0f);
  const char bytes[] = "state";
  p.Chunk()->Write(bytes, 5);
  TVstProgram copy(&owner, nullptr);
  copy.Assign(p);
  EXPECT_EQ(copy.Chunk()->Size(), 5u);
  EXPECT_EQ(copy.Chunk()->Position(), 5u);
}

TEST(VstProgramList, InsertDeleteAndCountStayConsistent) {
  TFakeParameterOwner owner;
  AddParameters(owner, 2);
  owner.Programs.Add().SetDisplayName("A");
  owner.Programs.Insert(0).SetDisplayName("B");
  owner.Programs.Insert(99).SetDisplayName("C");  // beyond the end: appended
  ASSERT_EQ(owner.NumPrograms, 3);
  EXPECT_EQ(owner.Programs[0].DisplayName(), "B");
  EXPECT_EQ(owner.Programs[2].DisplayName(), "C");
  owner.Programs.Delete(0);
  owner.Programs.Delete(7);
  EXPECT_EQ(owner.NumPrograms, 2);
  EXPECT_EQ(owner.Programs[0].DisplayName(), "A");
}

TEST(ChunkStream, ReadsNoFurtherThanItsEnd) {
  TChunkStream s;
  s.Write("abcd", 4);
  s.Rewind();
  char out[8] = {};
  EXPECT_EQ(s.Read(out, 8), 4u);
  EXPECT_EQ(s.Read(out, 1), 0u);
  s.Seek(100);
  EXPECT_EQ(s.Position(), 4u);
  s.Assign(nullptr, 10);
  EXPECT_EQ(s.Size(), 0u);
}

}  // namespace
}  // namespace vb
