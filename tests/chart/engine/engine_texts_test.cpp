#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "chart/engine/engine_texts.h"
#include "platform/strings.h"

namespace {

std::map<std::string, std::string> Snapshot() {
  std::map<std::string, std::string> m;
  for (std::size_t i = 0; i < EngineTextCount(); ++i) m[EngineTexts()[i].Name] = *EngineTexts()[i].Text;
  return m;
}

}  // namespace

TEST(EngineTexts, GroupsHoldSeparateVariablesWithEnglishAtStartUp) {
  ASSERT_EQ(EngineTextCount(), 503u);
  std::set<std::string*> vars;
  std::set<std::string> names;
  int core = 0, extra = 0;
  for (std::size_t i = 0; i < EngineTextCount(); ++i) {
    const TEngineText& t = EngineTexts()[i];
    vars.insert(t.Text);
    names.insert(t.Name);
    (t.Extra ? extra : core)++;
    EXPECT_FALSE(t.Text->empty()) << t.Name;
  }
  EXPECT_EQ(core, 276);
  EXPECT_EQ(extra, 227);
  EXPECT_EQ(vars.size(), 503u);
  EXPECT_EQ(names.size(), 503u);

  EXPECT_EQ(ErrAxisIncrement, "Axis increment must be >= 0");
  EXPECT_EQ(MsgValueOfTotalTwoLines, "%s\rof %s");
  EXPECT_EQ(MsgGalleryHorizontalBar, "Horizontal\rBar");
  EXPECT_EQ(DefaultExponentFormat, "#.0 \"x10\" E+0");
  EXPECT_EQ(MsgOptionSegment, "Segment ");
  EXPECT_EQ(MsgOptionWithinQuota, " within quota");
  EXPECT_EQ(FindEngineText("ErrPolyDegree")->Text, &ErrPolyDegree);
  EXPECT_EQ(FindEngineText("NoSuchText"), nullptr);
}

TEST(EngineTexts, SharedEnglishWordsAreIndependentVariables) {
  // Rows with equal English texts translate separately.
  struct Pair {
    std::string* A;
    std::string* B;
  };
  const Pair pairs[] = {
      {&MsgGalleryLine, &MsgStyleLine},        {&MsgGalleryBar, &MsgValueBar},
      {&MsgGalleryPie, &MsgValuePie},          {&MsgCmdEditItem, &MsgView3DEdit},
      {&MsgPageOther, &MsgGalleryPageOther},   {&MsgToolRotate, &MsgView3DRotate},
      {&MsgGalleryCursor, &MsgToolCursor},     {&MsgCmdChart, &MsgView3DChart},
      {&MsgGalleryPage3D, &MsgView3D3D},       {&MsgFunctionCopy, &MsgView3DCopy},
      {&MsgStyleNormal, &MsgView3DNormal},     {&MsgFunctionHigh, &MsgValueHigh},
      {&MsgFunctionLow, &MsgValueLow},         {&MsgStylePyramid, &MsgGalleryPyramid},
      {&MsgStyleRectangle, &MsgToolRectangle},
  };
  for (const Pair& p : pairs) {
    ASSERT_EQ(*p.A, *p.B);
    const std::string english = *p.B;
    *p.A = "translated";
    EXPECT_EQ(*p.B, english);
  }
  SetLibraryLanguageEnglish();
}

TEST(EngineTexts, EnglishAfterAnotherLanguageRestoresEveryTextAndState) {
  const auto english = Snapshot();
  TStringList dictionary;
  dictionary.Add("LINE=Linia");

  // A language table that assigns only some texts leaves the others alone.
  MsgGalleryLine = "Linia";
  ErrAxisIncrement = "Shag osi dolzhen byt' >= 0";
  ErrPolyDegree = "Stepen' polinoma";
  CurrentDictionary = &dictionary;
  HotKeyInParentheses = true;
  LanguageHasCase = false;
  auto mixed = Snapshot();
  int changed = 0;
  for (const auto& [name, text] : mixed) changed += text != english.at(name);
  EXPECT_EQ(changed, 3);
  EXPECT_EQ(MsgStyleLine, "Line");

  // A message raised now carries the new language's text.
  EXPECT_EQ(ErrAxisIncrement, "Shag osi dolzhen byt' >= 0");

  SetLibraryLanguageEnglish();
  EXPECT_EQ(Snapshot(), english);
  EXPECT_EQ(CurrentDictionary, nullptr);
  EXPECT_FALSE(HotKeyInParentheses);
  EXPECT_TRUE(LanguageHasCase);
}

TEST(EngineTexts, NativeChartFileTextsFollowTheExtension) {
  EXPECT_EQ(ChartFileExtension, "qvx");
  const auto check = [] {
    EXPECT_EQ(ErrInvalidChartFile, "Invalid Chart in *.qvx file");
    EXPECT_EQ(ErrWrongChartFileFormat, "Wrong *.qvx file format");
    EXPECT_EQ(ErrEmptyChartFile, "Empty *.qvx file");
    const std::string tail = "(*.qvx)|*.qvx";
    ASSERT_GE(MsgChartFileFilter.size(), tail.size());
    EXPECT_EQ(MsgChartFileFilter.substr(MsgChartFileFilter.size() - tail.size()), tail);
  };
  check();
  ErrEmptyChartFile = "Pustoi fail";
  SetLibraryLanguageEnglish();
  check();
}
