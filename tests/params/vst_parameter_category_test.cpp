// Guards the category bookkeeping: every category's count must equal the
// number of descriptions naming it, whatever order things change in.
#include "params/vst_parameter_category.h"

#include <gtest/gtest.h>

#include "params/fake_parameter_owner.h"

namespace vb {
namespace {

using test::TFakeParameterOwner;

TEST(ParameterCategories, NamingANewCategoryAppendsItAndCountsExactly) {
  TFakeParameterOwner owner;
  auto& existing = owner.Categories.Add();
  existing.SetDisplayName("Highpass Filter");
  auto& a = owner.Properties.Add();
  auto& b = owner.Properties.Add();

  a.SetCategory("Tone");
  ASSERT_EQ(owner.Categories.Count(), 2);
  EXPECT_EQ(owner.Categories[1].DisplayName(), "Tone");
  EXPECT_EQ(owner.Categories[1].ParametersInCategory(), 1);
  EXPECT_EQ(a.CategoryIndex(), 2);

  b.SetCategory("Tone");
  EXPECT_EQ(owner.Categories.Count(), 2);
  EXPECT_EQ(owner.Categories[1].ParametersInCategory(), 2);

  b.SetCategoryIndex(1);
  EXPECT_EQ(b.Category(), "Highpass Filter");
  EXPECT_EQ(owner.Categories[0].ParametersInCategory(), 1);
  EXPECT_EQ(owner.Categories[1].ParametersInCategory(), 1);

  a.SetCategory("");
  EXPECT_EQ(owner.Categories[1].ParametersInCategory(), 0);
  EXPECT_EQ(a.CategoryIndex(), 0);

  b.SetCategoryIndex(7);  // no such category: none
  EXPECT_EQ(b.Category(), "");
  EXPECT_EQ(owner.Categories[0].ParametersInCategory(), 0);
}

TEST(ParameterCategories, DeletingACategoryClearsItsDescriptions) {
  TFakeParameterOwner owner;
  auto& a = owner.Properties.Add();
  a.SetCategory("Drive");
  owner.Properties.Add().SetCategory("Tone");
  owner.Categories.Delete(owner.Categories.CategoryIndex("Drive"));
  EXPECT_EQ(a.Category(), "");
  EXPECT_FALSE(owner.Categories.CategoryExists("Drive"));
  ASSERT_EQ(owner.Categories.Count(), 1);
  EXPECT_EQ(owner.Categories[0].ParametersInCategory(), 1);
  owner.Categories.Delete(-1);  // ignored
  owner.Categories.Delete(3);
  EXPECT_EQ(owner.Categories.Count(), 1);
}

TEST(ParameterCategories, CountsFollowDescriptionRemovalAndRenaming) {
  TFakeParameterOwner owner;
  owner.Properties.Add().SetCategory("Tone");
  owner.Properties.Add().SetCategory("Tone");
  owner.Properties.Delete(0);
  EXPECT_EQ(owner.Categories[0].ParametersInCategory(), 1);
  owner.Categories[0].SetDisplayName("Colour");
  EXPECT_EQ(owner.Categories[0].ParametersInCategory(), 0);
  EXPECT_EQ(owner.Categories[0].DisplayName(), "Colour");
  auto& fresh = owner.Categories.Add();
  EXPECT_EQ(fresh.DisplayName(), "Category 2");
  fresh.SetDisplayName(std::string(40, 'x'));
  EXPECT_EQ(fresh.DisplayName().size(), 24u);
  EXPECT_EQ(owner.Categories.CategoryIndex("Tone"), -1);
}

}  // namespace
}  // namespace vb
