// Guards the module's parameter handling towards the host: which path
// notifies the host, what the host reads back, texts, text parsing and the
// safety of every indexed opcode.
#include "params/vst_module_with_programs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "host/vst_editor.h"
#include "params/params_test_module.h"

namespace vb {
namespace {

using test::MakeParamsTestModule;
using test::TTestHost;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

class THeadlessEditor : public TVSTEditor {
 public:
  std::int32_t ClientWidth() const override { return 10; }
  std::int32_t ClientHeight() const override { return 10; }
  void AttachToParent(void*) override {}
};

TEST(ModuleParameters, DescriptionBuildsParametersProgramsAndCategories) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  EXPECT_EQ(m->Effect()->numParams, 4);
  EXPECT_EQ(m->Effect()->numPrograms, 2);
  EXPECT_EQ(m->CurrentProgram(), 0);
  EXPECT_EQ(m->Programs()[0].ParameterCount(), 4);
  EXPECT_EQ(m->Programs()[0].DisplayName(), "");
  ASSERT_EQ(m->ParameterCategories().Count(), 1);
  EXPECT_EQ(m->ParameterCategories()[0].ParametersInCategory(), 1);
  EXPECT_EQ(m->ParameterProperties()[1].CurveFactor(), 1000.0f);
  EXPECT_EQ(m->ParameterProperties()[3].ShortLabel(), "Lck");
}

TEST(ModuleParameters, HostSetStoresTheMappedValueWithoutAutomation) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  int calls = 0;
  m->ParameterProperties()[0].OnParameterChange = [&](TCustomVSTModule&, std::int32_t Index, float& Value) {
    EXPECT_EQ(Index, 0);
    EXPECT_EQ(Value, 100.0f);
    ++calls;
  };
  host.SetParameter(0, 0.75f);
  EXPECT_EQ(m->GetParameter(0), 100.0f);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(host.CountCalls(amAutomate), 0u);
  EXPECT_EQ(host.GetParameter(0), 0.75f);
  EXPECT_TRUE(m->EditorNeedUpdate());
}

TEST(ModuleParameters, EffectSideChangesAreReportedAsAutomation) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  m->SetParameter(0, 100.0f);
  auto calls = host.Calls();
  ASSERT_EQ(host.CountCalls(amAutomate), 1u);
  EXPECT_EQ(calls.back().Index, 0);
  EXPECT_EQ(calls.back().Opt, 0.75f);

  host.ClearCalls();
  m->SetVSTParameter(0, 0.25f);
  EXPECT_EQ(m->GetParameter(0), -100.0f);
  ASSERT_EQ(host.CountCalls(amAutomate), 1u);
  EXPECT_EQ(host.Calls().back().Opt, 0.25f);

  host.ClearCalls();
  m->SetParameter(3, 40.0f);  // not automatable: stored, host not told
  EXPECT_EQ(m->GetParameter(3), 40.0f);
  EXPECT_EQ(host.CountCalls(amAutomate), 0u);
  m->SetParameter(-1, 1.0f);
  m->SetParameter(4, 1.0f);
  EXPECT_EQ(host.CountCalls(amAutomate), 0u);
}

TEST(ModuleParameters, ChangeHandlersDecideWhatIsStored) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  std::vector<std::string> order;
  m->ParameterProperties()[0].OnParameterChange = [&](TCustomVSTModule&, std::int32_t, float& Value) {
    order.push_back("description");
    Value = 50.0f;
  };
  m->OnParameterChange = [&](TCustomVSTModule&, std::int32_t, float& Value) {
    order.push_back("module");
    EXPECT_EQ(Value, 50.0f);
  };
  m->StoreParameter(0, 10.0f);
  EXPECT_EQ(m->GetParameter(0), 50.0f);
  EXPECT_EQ(m->Programs()[0].GetParameter(0), 50.0f);
  EXPECT_EQ(order, (std::vector<std::string>{"description", "module"}));
}

TEST(ModuleParameters, InvalidIndicesAndNonFiniteValuesAreHarmless) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  int sizeFailed = 0;
  m->OnParameterSizeFailed = [&](TCustomVSTModule&) { ++sizeFailed; };
  host.SetParameter(4, 0.5f);
  host.SetParameter(-1, 0.5f);
  EXPECT_EQ(sizeFailed, 2);
  EXPECT_EQ(host.GetParameter(4), 0.0f);
  EXPECT_EQ(host.GetParameter(-7), 0.0f);
  try {
    m->StoreParameter(99, 1.0f);
    FAIL();
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Index out of bounds (99)");
  }

  m->StoreParameter(0, 20.0f);
  host.SetParameter(0, kNaN);  // ignored
  EXPECT_EQ(m->GetParameter(0), 20.0f);
  host.SetParameter(0, std::numeric_limits<float>::infinity());
  EXPECT_EQ(m->GetParameter(0), 200.0f);
  host.SetParameter(0, -std::numeric_limits<float>::infinity());
  EXPECT_EQ(m->GetParameter(0), -200.0f);
  m->SetVSTParameter(0, kNaN);
  EXPECT_EQ(m->GetParameter(0), -200.0f);
}

TEST(ModuleParameters, TextsForHostAndEditor) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  m->StoreParameter(0, 12.34567f);
  EXPECT_EQ(host.DispatchText(effGetParamDisplay, 0), "12.35");
  EXPECT_EQ(host.DispatchText(effGetParamLabel, 0), "dB *0,1");
  EXPECT_EQ(host.DispatchText(effGetParamName, 1), "Freq");
  EXPECT_EQ(host.DispatchText(effGetParamDisplay, 99), "undefined");
  EXPECT_EQ(host.DispatchText(effGetParamLabel, -1), "undefined");
  EXPECT_EQ(host.DispatchText(effGetParamName, 4), "undefined");
  EXPECT_EQ(host.Dispatch(effGetParamDisplay, 0, 0, nullptr), 0);  // null buffer: nothing written

  m->SetDecimalSeparator(',');
  EXPECT_EQ(m->GetParameterDisplay(0), "12,35");
  EXPECT_EQ(m->GetParameterString(0), "12,35 dB *0,1");

  m->StoreParameter(0, kNaN);
  EXPECT_EQ(m->GetParameterDisplay(0), "error");
  m->ParameterProperties()[2].OnCustomParameterDisplay = [](TCustomVSTModule&, std::int32_t, std::string& Text) {
    Text = Text == "1" ? "On" : "Off";
  };
  m->ParameterProperties()[2].OnCustomParameterLabel = [](TCustomVSTModule&, std::int32_t, std::string& Text) {
    Text.clear();
  };
  EXPECT_EQ(m->GetParameterDisplay(2), "Off");
  EXPECT_EQ(m->GetParameterLabel(2), "");
  m->ParameterProperties()[1].OnCustomParameterDisplay = [](TCustomVSTModule&, std::int32_t, std::string&) {
    throw std::runtime_error("broken");
  };
  EXPECT_EQ(m->GetParameterDisplay(1), "error");

  m->ParameterProperties()[3].SetDisplayName("A rather long name");
  m->SetTruncateStrings(true);
  EXPECT_EQ(m->GetParameterName(3), "A rather");
}

TEST(ModuleParameters, OpeningTheEditorShowsEveryValueToTheModuleHandler) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  m->SetFlags(static_cast<TEffFlags>(m->Flags() | EffFlagBit(effFlagsHasEditor)));
  m->SetEditorFormClass(
      [](TCustomVSTModule&) -> std::unique_ptr<TVSTEditor> { return std::make_unique<THeadlessEditor>(); });
  m->StoreParameter(0, 40.0f);
  std::vector<std::int32_t> seen;
  m->OnParameterChange = [&](TCustomVSTModule&, std::int32_t Index, float& Value) {
    seen.push_back(Index);
    if (Index == 0) Value = 60.0f;  // written back into the program
  };
  int parent = 0;
  EXPECT_EQ(host.Dispatch(effEditOpen, 0, 0, &parent), 1);
  EXPECT_EQ(seen, (std::vector<std::int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(m->GetParameter(0), 60.0f);
  EXPECT_EQ(host.CountCalls(amAutomate), 0u);
}

TEST(ModuleParameters, AutomationQueryAnswersPerDescription) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  EXPECT_EQ(host.Dispatch(effCanBeAutomated, 0), 1);
  EXPECT_EQ(host.Dispatch(effCanBeAutomated, 3), 0);
  EXPECT_EQ(host.Dispatch(effCanBeAutomated, 4), 1);
  EXPECT_EQ(host.Dispatch(effCanBeAutomated, -1), 0);
}

TEST(ModuleParameters, TextParserReadsSuffixesAndTheLocaleSeparator) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  auto parse = [&](const char* Text) { return host.Dispatch(effString2Parameter, 1, 0, const_cast<char*>(Text)); };
  EXPECT_EQ(parse("2.5 kHz"), 1);
  EXPECT_EQ(m->GetParameter(1), 2500.0f);
  EXPECT_EQ(host.CountCalls(amAutomate), 1u);  // the effect changed the value
  EXPECT_EQ(parse("abc"), 1);
  EXPECT_EQ(m->GetParameter(1), 2500.0f);
  EXPECT_EQ(parse("1,5k"), 1);  // comma under a point locale: not a number
  EXPECT_EQ(m->GetParameter(1), 2500.0f);
  EXPECT_EQ(parse("300"), 1);
  EXPECT_EQ(m->GetParameter(1), 300.0f);
  EXPECT_EQ(parse("1.5K"), 1);
  EXPECT_EQ(m->GetParameter(1), 1536.0f);
  EXPECT_EQ(parse("20000000 mHz"), 1);
  EXPECT_EQ(m->GetParameter(1), 20000.0f);
  EXPECT_EQ(parse("2E3"), 1);
  EXPECT_EQ(m->GetParameter(1), 2000.0f);
  EXPECT_EQ(parse("k100"), 1);  // a suffix before the number does not count
  EXPECT_EQ(m->GetParameter(1), 100.0f);
  EXPECT_EQ(parse("1E39"), 1);  // beyond single precision: not a value
  EXPECT_EQ(m->GetParameter(1), 100.0f);
  m->SetDecimalSeparator(',');
  EXPECT_EQ(parse("  \t1,5k  "), 1);
  EXPECT_EQ(m->GetParameter(1), 1500.0f);
  EXPECT_EQ(parse("2.5"), 1);  // point under a comma locale: not a number
  EXPECT_EQ(m->GetParameter(1), 1500.0f);
  EXPECT_EQ(host.Dispatch(effString2Parameter, 1, 0, nullptr), 0);
}

TEST(ModuleParameters, WithoutAParserTheHostGetsZeroAndTheValueStays) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  m->StoreParameter(0, 30.0f);
  char text[] = "150";
  EXPECT_EQ(host.Dispatch(effString2Parameter, 0, 0, text), 0);
  EXPECT_EQ(m->GetParameter(0), 30.0f);
  EXPECT_EQ(host.Dispatch(effString2Parameter, 4, 0, text), 0);
  EXPECT_EQ(host.Dispatch(effString2Parameter, -2, 0, text), 0);
  m->ParameterProperties()[0].OnStringToParameter = [](TCustomVSTModule&, std::int32_t, const std::string& Text,
                                                       float& Value) { Value = std::stof(Text); };
  EXPECT_EQ(host.Dispatch(effString2Parameter, 0, 0, text), 1);
  EXPECT_EQ(m->GetParameter(0), 150.0f);
}

TEST(ModulePrograms, SelectingAProgramAppliesItsValues) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  m->Programs()[1].SetParameters({100.0f, 440.0f, 1.0f, 5.0f});
  std::vector<std::int32_t> changed;
  m->OnParameterChange = [&](TCustomVSTModule&, std::int32_t Index, float&) { changed.push_back(Index); };
  EXPECT_EQ(host.Dispatch(effSetProgram, 0, 0), 0);  // already current
  EXPECT_TRUE(changed.empty());
  EXPECT_EQ(host.Dispatch(effSetProgram, 0, 1), 0);
  EXPECT_EQ(host.Dispatch(effGetProgram), 1);
  EXPECT_EQ(changed, (std::vector<std::int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(host.GetParameter(0), 0.75f);
  EXPECT_EQ(host.CountCalls(amUpdateDisplay), 1u);
  EXPECT_EQ(host.Dispatch(effSetProgram, 0, 2), 0);  // no such program
  EXPECT_EQ(host.Dispatch(effSetProgram, 0, -1), 0);
  EXPECT_EQ(m->CurrentProgram(), 1);
}

TEST(ModulePrograms, NamesAreReadAndWrittenByTheHost) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  EXPECT_EQ(host.DispatchText(effGetProgramName), "");
  char name[] = "Crunchy";
  EXPECT_EQ(host.Dispatch(effSetProgramName, 0, 0, name), 0);
  EXPECT_EQ(m->CurrentProgramName(), "Crunchy");
  char buffer[64] = "x";
  EXPECT_EQ(host.Dispatch(effGetProgramNameIndexed, 1, 0, buffer), 1);
  EXPECT_STREQ(buffer, "Second");
  EXPECT_EQ(host.Dispatch(effGetProgramNameIndexed, 2, 0, buffer), 0);
  EXPECT_EQ(host.Dispatch(effGetProgramNameIndexed, -1, 0, buffer), 0);
  EXPECT_EQ(host.Dispatch(effGetProgramNameIndexed, 0, 0, nullptr), 0);
  m->SetCurrentProgramName(std::string(30, 'n'));
  m->SetTruncateStrings(true);
  EXPECT_EQ(host.DispatchText(effGetProgramName), std::string(24, 'n'));
}

TEST(ModulePrograms, CodeSideLookupsFailWithTheirTexts) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  m->SetParameterByName("Input", 100.0f);
  EXPECT_EQ(m->GetParameterByName("Input"), 100.0f);
  EXPECT_THROW(m->GetParameterByName("input"), std::exception);
  try {
    m->SetParameterByName("Gain", 1.0f);
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Unknown parameter name: Gain");
  }
  EXPECT_EQ(&m->GetVstProgramByName("Second"), &m->Programs()[1]);
  EXPECT_THROW(m->GetVstProgramByName("Third"), std::exception);
  try {
    m->SetProgramParameters(0, std::vector<float>(5, 0.0f));
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Parameter mismatch (5)");
  }
  m->SetProgramParameters(1, {1.0f, 2.0f});
  EXPECT_EQ(m->Programs()[1].GetParameter(1), 2.0f);
}

TEST(ModulePrograms, PatchNoticesCompareTheUniqueId) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  TVstPatchChunkInfo info{};
  std::memcpy(&info.PluginUniqueID, &m->Effect()->UniqueID, 4);
  int notices = 0;
  m->OnBeginLoadProgram = [&](TCustomVSTModule&, const TVstPatchChunkInfo&) { ++notices; };
  EXPECT_EQ(host.Dispatch(effBeginLoadProgram, 0, 0, &info), 1);
  EXPECT_EQ(host.Dispatch(effBeginLoadBank, 0, 0, &info), 1);
  info.PluginUniqueID ^= 1;
  EXPECT_EQ(host.Dispatch(effBeginLoadProgram, 0, 0, &info), -1);
  EXPECT_EQ(host.Dispatch(effBeginLoadProgram, 0, 0, nullptr), 0);
  EXPECT_EQ(notices, 2);
  EXPECT_EQ(host.Dispatch(effBeginSetProgram), 0);
  m->OnBeginSetProgram = [](TCustomVSTModule&) {};
  EXPECT_EQ(host.Dispatch(effBeginSetProgram), 1);
}

TEST(ModuleParameterProperties, OnlyReportingDescriptionsFillTheRecord) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  TVstParameterPropertiesRecord record;
  std::memset(&record, 0x5A, sizeof(record));
  EXPECT_EQ(host.Dispatch(effGetParameterProperties, 0, 0, &record), 0);
  EXPECT_EQ(record.Flags, 0x5A5A5A5A);  // untouched
  EXPECT_EQ(host.Dispatch(effGetParameterProperties, 3, 0, nullptr), 1);
  EXPECT_EQ(host.Dispatch(effGetParameterProperties, 4, 0, &record), 0);
  EXPECT_EQ(host.Dispatch(effGetParameterProperties, -1, 0, &record), 0);

  EXPECT_EQ(host.Dispatch(effGetParameterProperties, 3, 0, &record), 1);
  EXPECT_STREQ(record.Caption, "Locked");
  EXPECT_STREQ(record.ShortLabel, "Lck");
  EXPECT_EQ(record.StepFloat, 0.1f);
  EXPECT_EQ(record.SmallStepFloat, 0.01f);
  EXPECT_EQ(record.LargeStepFloat, 0.5f);
  EXPECT_EQ(record.MinInteger, 0);
  EXPECT_EQ(record.MaxInteger, 100);
  EXPECT_EQ(record.StepInteger, 5);
  EXPECT_EQ(record.LargeStepInteger, 20);
  EXPECT_EQ(record.DisplayIndex, 3);
  EXPECT_EQ(record.Category, 1);
  EXPECT_EQ(record.NumParametersInCategory, 1);
  EXPECT_STREQ(record.CategoryLabel, "Highpass Filter");
  for (auto b : record.Future) EXPECT_EQ(b, 0);

  // Without the step flags the host gets fixed normalised steps.
  m->ParameterProperties()[3].SetFlags(0);
  EXPECT_EQ(host.Dispatch(effGetParameterProperties, 3, 0, &record), 1);
  EXPECT_EQ(record.StepFloat, 0.01f);
  EXPECT_EQ(record.LargeStepInteger, 2);
  EXPECT_EQ(record.MaxInteger, 0);
  EXPECT_EQ(record.DisplayIndex, 0);
}

TEST(ModuleHostExtensions, AnswerRangeAndDisplayQueries) {
  TTestHost host;
  auto m = MakeParamsTestModule(host);
  float range[2] = {-5.0f, -5.0f};
  const auto rangeQuery = static_cast<std::int32_t>(0xDEADBEF0u);
  EXPECT_EQ(host.Dispatch(effVendorSpecific, rangeQuery, 3, range), 0xBEEF);
  EXPECT_EQ(range[0], 0.0f);
  EXPECT_EQ(range[1], 1.0f);
  EXPECT_EQ(host.Dispatch(effVendorSpecific, rangeQuery, 4, range), 0);
  EXPECT_EQ(host.Dispatch(effVendorSpecific, rangeQuery, -1, range), 0);
  EXPECT_EQ(host.Dispatch(effVendorSpecific, rangeQuery, 0, nullptr), 0);

  char text[64] = {};
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 7, 1, text, 0.123456f), 0xBEEF);
  EXPECT_STREQ(text, "0.12346Hz");

  m->SetCanDos(0);
  EXPECT_EQ(host.Dispatch(effVendorSpecific, rangeQuery, 3, range), 0);
  m->OnVendorSpecific = [](TCustomVSTModule&, std::int32_t, std::intptr_t, void*, float) -> std::intptr_t {
    return 42;
  };
  EXPECT_EQ(host.Dispatch(effVendorSpecific, 1, 0, nullptr), 42);
}

}  // namespace
}  // namespace vb
