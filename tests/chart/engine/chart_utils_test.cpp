#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/chart_pens.h"
#include "chart/engine/chart_utils.h"
#include "platform/bitmap.h"
#include "platform/datetime.h"
#include "platform/forms.h"
#include "platform/inifiles.h"
#include "platform/testkit/temp_folder.h"

#include <unistd.h>

namespace {

TDateTime D(int Y, int M, int Day, double Hours = 0) { return EncodeDate(Y, M, Day) + Hours / 24.0; }

}  // namespace

TEST(ChartUtils, PointOnSegmentsWithTolerance) {
  // Tolerance 0 still accepts one pixel off the segment.
  EXPECT_TRUE(PointInLine(TPoint(5, 1), 0, 0, 10, 0, 0));
  EXPECT_FALSE(PointInLine(TPoint(5, 2), 0, 0, 10, 0, 0));
  EXPECT_TRUE(PointInLine(TPoint(5, 3), 0, 0, 10, 0, 2));
  // Beyond an end the distance is to that end.
  EXPECT_DOUBLE_EQ(PointToSegmentDistance(TPoint(13, 4), 0, 0, 10, 0), 5.0);
  EXPECT_FALSE(PointInLineCoords(TPoint(12, 0), 0, 0, 10, 0));
  EXPECT_TRUE(PointInLineEnds(TPoint(11, 0), TPoint(0, 0), TPoint(10, 0)));
  // A zero-length segment measures to its single point.
  EXPECT_DOUBLE_EQ(PointToSegmentDistance(TPoint(3, 4), 0, 0, 0, 0), 5.0);
  EXPECT_TRUE(PointInLineEndsTolerance(TPoint(3, 4), TPoint(0, 0), TPoint(0, 0), 4));
}

TEST(ChartUtils, PolygonTrianglesAndEllipses) {
  const TPoint square[] = {TPoint(0, 0), TPoint(10, 0), TPoint(10, 10), TPoint(0, 10)};
  EXPECT_TRUE(PointInPolygon(TPoint(5, 5), square, 3));
  EXPECT_FALSE(PointInPolygon(TPoint(15, 5), square, 3));
  EXPECT_FALSE(PointInPolygon(TPoint(5, 5), square, -1));
  // A vertex at P's height counts once: the lower end of each edge is in, the upper end out.
  const TPoint diamond[] = {TPoint(5, 0), TPoint(10, 5), TPoint(5, 10), TPoint(0, 5)};
  EXPECT_TRUE(PointInPolygon(TPoint(2, 5), diamond, 3));
  EXPECT_FALSE(PointInPolygon(TPoint(-1, 5), diamond, 3));
  EXPECT_TRUE(PointInPolygon(TPoint(9, 5), diamond, 3));

  EXPECT_TRUE(PointInTriangle(TPoint(10, 8), 0, 20, 10, 0));  // apex above the base middle
  EXPECT_FALSE(PointInTriangle(TPoint(2, 2), 0, 20, 10, 0));
  EXPECT_TRUE(PointInHorizTriangle(TPoint(8, 10), 0, 20, 0, 20));
  EXPECT_FALSE(PointInHorizTriangle(TPoint(18, 2), 0, 20, 0, 20));

  EXPECT_TRUE(PointInEllipse(TPoint(10, 5), 0, 0, 20, 10));
  EXPECT_TRUE(PointInEllipse(TPoint(20, 5), 0, 0, 20, 10));  // on the rim
  EXPECT_FALSE(PointInEllipse(TPoint(19, 9), 0, 0, 20, 10));
  EXPECT_FALSE(PointInEllipseRect(TPoint(5, 5), TRect(5, 0, 6, 10)));  // narrower than two pixels
}

TEST(ChartUtils, LineIntersection) {
  double x, y;
  EXPECT_TRUE(LineIntersection(x, y, 0, 0, 10, 10, 0, 10, 10, 0));
  EXPECT_DOUBLE_EQ(x, 5);
  EXPECT_DOUBLE_EQ(y, 5);
  EXPECT_FALSE(LineIntersection(x, y, 0, 0, 1, 1, 5, 0, 6, -1));   // lines cross, segments do not
  EXPECT_FALSE(LineIntersection(x, y, 0, 0, 10, 0, 0, 1, 10, 1));  // parallel
  // A vertical segment gives a finite crossing point.
  EXPECT_TRUE(LineIntersection(x, y, 5, -5, 5, 5, 0, 0, 10, 2));
  EXPECT_DOUBLE_EQ(x, 5);
  EXPECT_DOUBLE_EQ(y, 1);
  EXPECT_FALSE(LineIntersection(x, y, 5, 2, 5, 5, 0, 0, 10, 2));
}

TEST(ChartUtils, DateSteps) {
  EXPECT_DOUBLE_EQ(DateTimeStepTable[2] * 86400, 1.0);
  EXPECT_DOUBLE_EQ(DateTimeStepTable[25], 182.0);
  EXPECT_DOUBLE_EQ(DateTimeStepTable[26], 365.0);

  EXPECT_EQ(TruncDateToStep(20, D(1999, 3, 14, 18)), D(1999, 3, 1));
  EXPECT_EQ(TruncDateToStep(20, D(1999, 3, 15)), D(1999, 3, 15));
  EXPECT_EQ(TruncDateToStep(26, D(1999, 7, 4)), D(1999, 1, 1));
  EXPECT_EQ(TruncDateToStep(16, D(1999, 7, 4, 6)), D(1999, 7, 4));
  EXPECT_EQ(TruncDateToStep(21, D(1899, 12, 30, 5)), D(1899, 12, 30, 5));

  TDateTime v = D(1999, 3, 20);
  std::vector<TDateTime> seen;
  for (int i = 0; i < 5; ++i) {
    IncDecDateTime(true, false, v, 20, 15);
    seen.push_back(v);
  }
  const std::vector<TDateTime> want = {D(1999, 3, 15), D(1999, 3, 1), D(1999, 2, 15), D(1999, 2, 1), D(1999, 1, 15)};
  EXPECT_EQ(seen, want);
  // Forwards the half month keeps growing: to the next 15th or 1st.
  v = D(1999, 12, 20, 6);
  seen.clear();
  for (int i = 0; i < 4; ++i) {
    IncDecDateTime(true, true, v, 20, 15);
    seen.push_back(v);
  }
  EXPECT_EQ(seen, (std::vector<TDateTime>{D(2000, 1, 1), D(2000, 1, 15), D(2000, 2, 1), D(2000, 2, 15)}));

  struct Case {
    bool Forward;
    int Step;
    TDateTime From, To;
  };
  const Case cases[] = {
      {false, 22, D(1999, 1, 20), D(1998, 11, 1)},
      {true, 25, D(1999, 9, 5), D(2000, 3, 1)},
      {true, 21, D(1999, 12, 31, 12), D(2000, 1, 1)},
      {false, 26, D(2000, 6, 7, 3), D(1999, 6, 7)},
      // A 29th of February moved by a year keeps to the month's last day.
      {true, 26, D(2000, 2, 29), D(2001, 2, 28)},
  };
  for (const Case& c : cases) {
    TDateTime x = c.From;
    IncDecDateTime(true, c.Forward, x, c.Step, 0);
    EXPECT_EQ(x, c.To) << c.Step;
  }
  // Without calendar stepping the increment is added.
  v = 10.5;
  IncDecDateTime(false, true, v, 22, 60);
  EXPECT_EQ(v, 70.5);
  IncDecDateTime(true, false, v, 27, 0.5);
  EXPECT_EQ(v, 70.0);
}

TEST(ChartUtils, DelimitedItemsAndCharacters) {
  EXPECT_EQ(GetDelimitedItem("a;b;c", 2), "b");
  EXPECT_EQ(GetDelimitedItem("a;b;c", 7), "c");
  EXPECT_EQ(GetDelimitedItem("a;b;c", 0), "");
  EXPECT_EQ(GetDelimitedItem("", 1), "");
  EXPECT_EQ(CountDelimitedItems(""), 0);
  EXPECT_EQ(CountDelimitedItems("a;;b"), 3);
  EXPECT_EQ(GetDelimitedItem("a;;b", 2), "");
  EXPECT_EQ(CountDelimitedItemsSep("x|y", "|"), 2);
  EXPECT_EQ(GetDelimitedItemSep("x|y", 2, "|"), "y");
  EXPECT_EQ(ItemSeparator, ";");

  EXPECT_EQ(ReplaceChar("a,b,,c", ',', ';'), "a;b;;c");
  EXPECT_EQ(ReplaceChar("a,b,,c", ',', '\0'), "abc");
  EXPECT_EQ(StandardToLocalFormat("#,##0.###"), "#,##0.###");
  EXPECT_EQ(LocalToStandardFormat("#,##0.###"), "#,##0.###");
}

TEST(ChartUtils, UniqueNamesSortingAndPalette) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  a->SetName("Series1");
  auto* b = new TComponent(&owner);
  b->SetName("Series3");
  EXPECT_EQ(UniqueComponentName(&owner, "Series"), "Series2");
  EXPECT_EQ(UniqueComponentName(nullptr, "Series"), "Series1");

  std::vector<int> v = {5, 3, 9, 1, 5, 7, 2, 8, 0, 6};
  QuickSortIndexes(
      0, int(v.size()) - 1, [&](int i, int j) { return v[i] - v[j]; }, [&](int i, int j) { std::swap(v[i], v[j]); });
  EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));

  EXPECT_EQ(ColorPalette.size(), 20u);
  EXPECT_EQ(ColorPalette[0], clRed);
  EXPECT_EQ(ColorPalette[19], TColor(0xA4A0A0));
  SetColorPalette({clBlack, clWhite});
  EXPECT_EQ(ColorPalette.size(), 2u);
  SetColorPalette({clBlack});
  EXPECT_EQ(ColorPalette.size(), 20u);
}

TEST(ChartUtils, TranslationHookAndSmallClasses) {
  TComponent form(nullptr);
  EXPECT_NO_THROW(TranslateControl(&form));  // no hook: nothing happens
  std::vector<std::size_t> calls;
  TranslateHook = [&](TComponent* c, std::span<TControl* const> skip) {
    EXPECT_EQ(c, &form);
    calls.push_back(skip.size());
  };
  TranslateControl(&form);
  TranslateControlExcept(&form, {nullptr, nullptr});
  TranslateHook = nullptr;
  EXPECT_EQ(calls, (std::vector<std::size_t>{0, 2}));

  ASSERT_NE(Screen, nullptr);
  EnsureChartHandCursor();
  const HCURSOR hand = Screen->Cursors(ChartHandCursor);
  EXPECT_GT(hand, 0);  // a registered cursor, not a standard one
  EnsureChartHandCursor();
  EXPECT_EQ(Screen->Cursors(ChartHandCursor), hand);  // once only
  RegisterChartHandCursor();
  EXPECT_GT(Screen->Cursors(ChartHandCursor), 0);

  TZoomPanning z;
  z.Activate(10, 20);
  EXPECT_TRUE(z.Active);
  z.X1 = 4;
  z.Y1 = 30;
  z.NormalizeCorners();
  EXPECT_EQ(z.X0, 4);
  EXPECT_EQ(z.X1, 10);
  EXPECT_EQ(z.Y0, 20);
  EXPECT_EQ(z.Y1, 30);

  TGraphEventListeners list;
  auto* l1 = reinterpret_cast<IChartEventListener*>(0x10);
  auto* l2 = reinterpret_cast<IChartEventListener*>(0x20);
  EXPECT_EQ(list.Add(l1), 0);
  EXPECT_EQ(list.Add(l2), 1);
  EXPECT_EQ(list.Add(l1), 0);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.GetListener(1), l2);
  EXPECT_EQ(list.Remove(l1), 0);
  EXPECT_EQ(list.Remove(l1), -1);
}

TEST(ChartUtils, EditorOptionsRoundTripThroughTheRegistry) {
  TTempProfile profile("vm_chart_editor");

  EXPECT_EQ(ReadEditorInteger("Language", -1), -1);  // no key yet
  EXPECT_FALSE(ReadEditorBool("SmoothGallery", false));
  EXPECT_TRUE(ReadEditorBool("RememberSize", true));

  WriteEditorInteger("Language", 11);
  WriteEditorBool("SmoothGallery", true);
  WriteEditorBool("TreeMode", false);
  EXPECT_EQ(ReadEditorInteger("Language", -1), 11);
  EXPECT_TRUE(ReadEditorBool("SmoothGallery", false));
  EXPECT_FALSE(ReadEditorBool("TreeMode", true));
  EXPECT_EQ(ReadEditorInteger("TreeMode", -1), 0);  // Booleans are stored as 0 or 1
  EXPECT_EQ(ReadEditorInteger("GalleryMode", 3), 3);

  // The values live in the current user's key that the editor's own code opens too.
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(EditorOptionsKey));
  EXPECT_EQ(reg.ReadInteger("Language"), 11);
  reg.CloseKey();
  ASSERT_TRUE(reg.OpenKey(EditorOptionsKey, false));
  reg.WriteString("Language", "not a number");
  reg.CloseKey();
  EXPECT_EQ(ReadEditorInteger("Language", -1), -1);  // unreadable value: the default
}

TEST(ChartUtils, ClassBitmapsComeFromTheProgramThenFromAddedModules) {
  const auto square = [](int Size) {
    auto b = std::make_unique<TBitmap>(Size, Size, pf24bit);
    return b;
  };
  TChartHiddenPen pen;
  TBitmap target;
  LoadClassBitmap(&pen, &target);
  EXPECT_EQ(target.Width(), 0);  // no module has either name: unchanged

  // The parent class' picture stands in for a class without one.
  auto parent = square(3);
  RegisterBitmapResource("TChartPen", parent.get());
  LoadClassBitmap(&pen, &target);
  EXPECT_EQ(target.Width(), 3);
  auto own = square(5);
  RegisterBitmapResource("TChartHiddenPen", own.get());
  LoadClassBitmap(&pen, &target);
  EXPECT_EQ(target.Width(), 5);
  UnregisterBitmapResource("TChartHiddenPen");
  UnregisterBitmapResource("TChartPen");

  // A module that fails to read is passed over; the next one that has the name loads it.
  std::vector<std::string> asked;
  AddBitmapResourceModule([&](const std::string& Name, TBitmap*) -> bool {
    asked.push_back(Name);
    throw EInvalidGraphic("damaged");
  });
  AddBitmapResourceModule([&](const std::string& Name, TBitmap* Bitmap) {
    if (Name != "TChartPen") return false;
    Bitmap->SetSize(7, 7);
    return true;
  });
  LoadClassBitmap(&pen, &target);
  ClearBitmapResourceModules();
  EXPECT_EQ(target.Width(), 7);
  EXPECT_EQ(asked, std::vector<std::string>{"TChartHiddenPen"});
}
