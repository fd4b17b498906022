#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "chart/engine/value_lists.h"
#include "chart/series/pie_series.h"
#include "platform/exceptions.h"
#include "platform/streaming.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
constexpr double kDeg = 3.14159265358979323846 / 180;

// The pixel at an angle (degrees) and a fraction of the radius from the centre.
TColor PieAt(TSeriesChart& C, TPieSeries* S, double Degrees, double Fraction, int DX = 0, int DY = 0) {
  int x, y;
  S->AngleToPos(Degrees * kDeg, S->XRadius * Fraction, S->YRadius * Fraction, x, y);
  return C.At(x + DX, y - DY);
}
}  // namespace

TEST(PieSeries, SlicesTakeAnglesFromTheAbsoluteValues) {
  TSeriesChart c;
  auto* p = c.Add<TPieSeries>();
  p->Marks()->SetVisible(false);
  p->AddY(10, "", clRed);
  p->AddY(-20, "", clBlue);
  p->AddY(70, "", clLime);
  c.Render();
  ASSERT_EQ(p->Angles().size(), 3u);
  EXPECT_NEAR(p->Angles()[0].EndAngle / kDeg, 36, 1e-9);
  EXPECT_NEAR(p->Angles()[1].EndAngle / kDeg, 108, 1e-9);
  EXPECT_EQ(p->Angles()[2].EndAngle, 360 * kDeg);
  // Counter-clockwise from the right: red, then blue, then green.
  EXPECT_EQ(PieAt(c, p, 18, 0.6), clRed);
  EXPECT_EQ(PieAt(c, p, 70, 0.6), clBlue);
  EXPECT_EQ(PieAt(c, p, 250, 0.6), clLime);
  EXPECT_EQ(PieAt(c, p, 250, 1.1), clWhite);
  // Clicks find the slice under the mouse.
  int x, y;
  p->AngleToPos(70 * kDeg, p->XRadius * 0.5, p->YRadius * 0.5, x, y);
  EXPECT_EQ(p->PointIndexAt(x, y), 1);
  p->AngleToPos(300 * kDeg, p->XRadius * 0.5, p->YRadius * 0.5, x, y);
  EXPECT_EQ(p->PointIndexAt(x, y), 2);
  EXPECT_EQ(p->PointIndexAt(0, 0), -1);
  // A rotation turns every slice.
  p->SetRotationAngle(90);
  c.Render();
  EXPECT_EQ(PieAt(c, p, 18, 0.6), clRed);
  EXPECT_EQ(PieAt(c, p, 18 - 90, 0.6, 0, 0) == clRed, false);
}

TEST(PieSeries, BiggestSliceMovesOutAndNullSlicesStayEmpty) {
  TSeriesChart c;
  auto* p = c.Add<TPieSeries>();
  p->Marks()->SetVisible(false);
  p->AddY(25, "", clRed);
  p->AddY(25, "", clNone);
  p->AddY(50, "", clBlue);
  p->SetExplodeBiggest(30);
  c.Render();
  EXPECT_EQ(p->ExplodedSlice(2), 30);
  int dx, dy;
  p->ExplodeOffset(2, dx, dy);
  // The blue half (180..360 degrees) moves down by 30 % of the radius.
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, static_cast<int>(std::nearbyint(-0.3 * p->YRadius)));
  // Blue now reaches past the circle's edge and has left the centre.
  EXPECT_EQ(PieAt(c, p, 270, 1.1), clBlue);
  EXPECT_EQ(PieAt(c, p, 270, 0.1), clWhite);
  EXPECT_EQ(PieAt(c, p, 270, 0.6, dx, dy), clBlue);
  // The null slice (90..180 degrees) is not drawn and not clicked.
  EXPECT_EQ(PieAt(c, p, 135, 0.6), clWhite);
  int x, y;
  p->AngleToPos(135 * kDeg, p->XRadius * 0.5, p->YRadius * 0.5, x, y);
  EXPECT_EQ(p->PointIndexAt(x, y), -1);
  EXPECT_EQ(PieAt(c, p, 45, 0.6), clRed);
}

TEST(PieSeries, ZerosEmptyAndThreeDimensionalPiesDrawWithoutFault) {
  for (bool is3D : {false, true}) {
    TSeriesChart c(is3D);
    auto* zeros = c.Add<TPieSeries>();
    zeros->AddY(0);
    zeros->AddY(0);
    c.Add<TPieSeries>();  // empty
    c.Render();
    ASSERT_EQ(zeros->Angles().size(), 2u);
    for (const TPieAngle& a : zeros->Angles()) {
      EXPECT_TRUE(std::isfinite(a.StartAngle));
      EXPECT_TRUE(std::isfinite(a.EndAngle));
    }
  }
}

TEST(PieSeries, SmallSlicesGroupIntoOneOtherSliceThatIsNeverStored) {
  TSeriesChart c;
  auto* p = c.Add<TPieSeries>();
  p->Marks()->SetVisible(false);
  p->AddY(10, "a", clRed);
  p->AddY(20, "b", clBlue);
  p->AddY(70, "c", clLime);
  p->OtherSlice()->SetStyle(poBelowPercent);
  p->OtherSlice()->SetValue(15);
  p->OtherSlice()->SetColor(clYellow);
  for (int pass = 0; pass < 2; ++pass) {  // a redraw makes no second "other" slice
    c.Render();
    ASSERT_EQ(p->PointCount(), 4) << pass;
    EXPECT_TRUE(p->IsGrouped(0));
    EXPECT_EQ(p->LabelAt(3), "Other");
    EXPECT_EQ(p->YValueAt(3), 10);
  }
  // The rest keep their share of the total before grouping.
  std::string t;
  p->PercentText(1, false, t);
  EXPECT_NE(t.find("20"), std::string::npos) << t;
  p->PercentText(2, false, t);
  EXPECT_NE(t.find("70"), std::string::npos) << t;
  // Slices: blue 0..72, green 72..324, the other slice (yellow) 324..360; the grouped point draws nothing.
  EXPECT_EQ(PieAt(c, p, 36, 0.6), clBlue);
  EXPECT_EQ(PieAt(c, p, 200, 0.6), clLime);
  EXPECT_EQ(PieAt(c, p, 342, 0.6), clYellow);
  EXPECT_EQ(p->LegendEntryCount(), 3);
  EXPECT_EQ(p->LegendIndexToValue(0), 1);
  int x, y;
  p->AngleToPos(342 * kDeg, p->XRadius * 0.5, p->YRadius * 0.5, x, y);
  EXPECT_EQ(p->PointIndexAt(x, y), 3);
  // Streaming leaves the other slice out and keeps the grouping settings.
  TPieSeries r(nullptr);
  TextToComponent(ComponentToText(p), &r);
  EXPECT_EQ(r.PointCount(), 3);
  EXPECT_EQ(r.OtherSlice()->Style(), poBelowPercent);
  EXPECT_EQ(r.OtherSlice()->Value(), 15);
  EXPECT_EQ(r.OtherSlice()->Color(), clYellow);
  // Turning grouping off gives the point back.
  p->OtherSlice()->SetStyle(poNone);
  c.Render();
  EXPECT_EQ(p->PointCount(), 3);
  EXPECT_EQ(PieAt(c, p, 18, 0.6), clRed);
}

TEST(PieSeries, SeveralPiesShareTheChartInCells) {
  TSeriesChart c(false, 400, 400);
  TPieSeries* p[3];
  for (auto*& s : p) {
    s = c.Add<TPieSeries>();
    s->Marks()->SetVisible(false);
    s->AddY(1, "", clRed);
  }
  c.Render();
  // 2 columns and 2 rows: the third pie lies in the lower-left cell.
  EXPECT_LT(p[0]->CircleXCenter, 200);
  EXPECT_LT(p[0]->CircleYCenter, 200);
  EXPECT_GT(p[1]->CircleXCenter, 200);
  EXPECT_LT(p[1]->CircleYCenter, 200);
  EXPECT_LT(p[2]->CircleXCenter, 200);
  EXPECT_GT(p[2]->CircleYCenter, 200);
  EXPECT_EQ(p[0]->XRadius, p[2]->XRadius);
  EXPECT_EQ(c.At(p[2]->CircleXCenter, p[2]->CircleYCenter), clRed);
  // The chart rectangle is the whole again after each pie.
  const TRect whole = c.Chart.ChartRect;
  EXPECT_GT(whole.Right - whole.Left, 300);
  for (auto* s : p) s->SetMultiPie(mpDisabled);
  c.Render();
  EXPECT_EQ(p[0]->CircleXCenter, p[2]->CircleXCenter);
}

TEST(PieSeries, MarksSitOutsideTheirSliceAndPieSettingsStream) {
  TSeriesChart c;
  auto* p = c.Add<TPieSeries>();
  p->AddY(25, "a", clRed);
  p->AddY(75, "b", clBlue);
  p->Marks()->Font()->SetColor(clFuchsia);
  p->Marks()->SetTransparent(true);
  p->Marks()->Pen()->SetVisible(false);
  c.Render();
  // The first slice's middle is at 45 degrees: its mark lies up and right, outside the circle.
  int x, y;
  p->AngleToPos(45 * kDeg, p->XRadius + 8, p->YRadius + 8, x, y);
  int ink = 0;
  for (int yy = y - 30; yy <= y; ++yy)
    for (int xx = x; xx <= x + 60; ++xx) {
      const TColor v = c.At(xx, yy);
      ink += (v & 0xFF) > 128 && ((v >> 16) & 0xFF) > 128 && ((v >> 8) & 0xFF) < 100;
    }
  EXPECT_GT(ink, 0);

  p->SetAngleSize(180);
  p->SetDarkPen(40);
  p->SetUsePatterns(true);
  p->SetAutoMarkPosition(false);
  p->SetRotationAngle(20);
  p->SetExplodeBiggest(15);
  p->SetMultiPie(mpDisabled);
  p->SetCircled(true);
  p->PiePen()->SetColor(clGreen);
  TPieSeries r(nullptr);
  TextToComponent(ComponentToText(p), &r);
  EXPECT_EQ(r.AngleSize(), 180);
  EXPECT_EQ(r.DarkPen(), 40);
  EXPECT_TRUE(r.UsePatterns());
  EXPECT_FALSE(r.AutoMarkPosition());
  EXPECT_EQ(r.RotationAngle(), 20);
  EXPECT_EQ(r.ExplodeBiggest(), 15);
  EXPECT_EQ(r.MultiPie(), mpDisabled);
  EXPECT_TRUE(r.Circled());
  EXPECT_EQ(r.PiePen()->Color(), clGreen);
  EXPECT_EQ(r.LabelAt(1), "b");
  // A border darkness beyond 255 is refused when a slice is drawn.
  p->SetDarkPen(300);
  EXPECT_THROW(p->SetSlicePen(0), ERangeError);
}

TEST(PieSeries, APieSetsTheChartViewWhileActiveAndGivesItBack) {
  TSeriesChart c(true);
  TView3DOptions* v = c.Chart.View3DOptions();
  v->SetOrthogonal(true);
  v->SetElevation(345);
  v->SetRotation(345);
  auto* p = c.Add<TPieSeries>();
  EXPECT_FALSE(v->Orthogonal());
  EXPECT_EQ(v->Elevation(), 315);
  EXPECT_EQ(v->Rotation(), 360);
  p->SetActive(false);
  EXPECT_TRUE(v->Orthogonal());
  EXPECT_EQ(v->Elevation(), 345);
  EXPECT_EQ(v->Rotation(), 345);
  p->SetActive(true);
  EXPECT_EQ(v->Elevation(), 315);
  // Leaving the chart, or being freed, gives the view back too.
  c.Chart.DetachSeries(p);
  EXPECT_EQ(v->Elevation(), 345);
  c.Chart.AttachSeries(p);
  EXPECT_EQ(v->Elevation(), 315);
  delete p;
  EXPECT_EQ(v->Elevation(), 345);
  EXPECT_TRUE(v->Orthogonal());
}

TEST(PieSeries, TheShadowFallsBehindTheCircleAndStreamsAgainstItsGreyStart) {
  TSeriesChart c;
  auto* p = c.Add<TPieSeries>();
  p->Marks()->SetVisible(false);
  p->AddY(1, "", clRed);
  c.Render();
  // No shadow until it has a size.
  EXPECT_EQ(PieAt(c, p, 315, 1, 6, -6), clWhite);
  p->Shadow()->SetHorizSize(10);
  p->Shadow()->SetVertSize(10);
  c.Render();
  // Down and right of the circle's edge lies the shadow (soft: shades of grey); up and left the
  // background stays.
  const TColor soft = PieAt(c, p, 315, 1, 6, -6);
  EXPECT_NE(soft, clWhite);
  EXPECT_EQ(soft & 0xFF, (soft >> 8) & 0xFF);
  EXPECT_EQ(soft & 0xFF, (soft >> 16) & 0xFF);
  EXPECT_EQ(PieAt(c, p, 135, 1, -6, 6), clWhite);
  EXPECT_EQ(PieAt(c, p, 315, 0.5), clRed);
  p->Shadow()->SetSmooth(false);
  c.Render();
  EXPECT_EQ(PieAt(c, p, 315, 1, 6, -6), TColor(0xA0A0A0));
  EXPECT_EQ(PieAt(c, p, 135, 1, -6, 6), clWhite);

  TPieSeries fresh(nullptr);
  EXPECT_EQ(fresh.Shadow()->Color(), TColor(0xA0A0A0));
  EXPECT_EQ(ComponentToText(&fresh).find("Shadow.Color"), std::string::npos);
  p->Shadow()->SetColor(clGray);
  TPieSeries r(nullptr);
  TextToComponent(ComponentToText(p), &r);
  EXPECT_EQ(r.Shadow()->Color(), clGray);
  EXPECT_EQ(r.Shadow()->HorizSize(), 10);
  EXPECT_EQ(r.Shadow()->VertSize(), 10);
}

TEST(PieSeries, SlicesOfTheirOwnHeightReachPartOfTheDepth) {
  TSeriesChart c(true);
  auto* p = c.Add<TPieSeries>();
  p->Marks()->SetVisible(false);
  p->AddY(50, "", clRed);
  p->AddY(50, "", clBlue);
  c.Render();
  const TRect all(0, 0, 400, 300);
  auto inked = [&] { return all.Right * all.Bottom - c.Count(clWhite, all); };
  const int full = inked();
  const int red = c.Count(clRed, all);
  const int32_t depth = p->EndZ - p->StartZ;
  ASSERT_GT(depth, 10);
  EXPECT_EQ(p->SliceBackDepth(1), p->EndZ);  // no heights: the whole depth
  // The lower (front) slice made flat: its side shrinks, so less of the chart is inked, and the
  // other slice keeps its look.
  p->SetSliceHeight(1, 10);
  EXPECT_EQ(p->SliceHeight(0), 0);
  c.Render();
  EXPECT_EQ(p->SliceBackDepth(1), p->StartZ + static_cast<int>(std::nearbyint(depth / 10.0)));
  // A list shorter than the points leaves the rest at the full depth.
  EXPECT_EQ(p->SliceBackDepth(2), p->EndZ);
  EXPECT_LT(inked(), full);
  EXPECT_EQ(c.Count(clRed, all), red);
  EXPECT_GT(c.Count(clBlue, all), 0);

  // The slice lists follow deleted and exchanged points.
  p->AddY(10, "", clLime);
  p->SetExplodedSlice(2, 20);
  p->ExchangePoints(1, 2);
  EXPECT_EQ(p->SliceHeight(2), 10);
  EXPECT_EQ(p->SliceHeight(1), 0);
  EXPECT_EQ(p->ExplodedSlice(1), 20);
  p->Delete(0);
  EXPECT_EQ(p->ExplodedSlice(0), 20);
  EXPECT_EQ(p->SliceHeight(1), 10);
  p->ClearValues();
  EXPECT_EQ(p->SliceHeight(1), 0);
}

TEST(PieSeries, TheOtherSliceHasItsOwnLegendOfTheGroupedPoints) {
  TSeriesChart c(false, 500, 300);
  auto* p = c.Add<TPieSeries>();
  p->Marks()->SetVisible(false);
  p->AddY(10, "a", clRed);
  p->AddY(20, "b", clBlue);
  p->AddY(70, "c", clLime);
  p->AddY(5, "d", clFuchsia);
  p->OtherSlice()->SetStyle(poBelowPercent);
  p->OtherSlice()->SetValue(15);
  p->OtherSlice()->SetColor(clYellow);
  EXPECT_EQ(p->OtherSlice()->LegendOrNull(), nullptr);
  TChartLegend* legend = p->OtherSlice()->Legend();
  EXPECT_FALSE(legend->Visible());
  EXPECT_EQ(legend->GetLegendSeries(), p);
  legend->SetVisible(true);
  c.Render();
  const TRect box = legend->BoxRect;
  ASSERT_GT(box.Right - box.Left, 10);
  // Its rows are the two grouped points, with their colours; the others are left out.
  EXPECT_GT(c.Count(clRed, box), 0);
  EXPECT_GT(c.Count(clFuchsia, box), 0);
  EXPECT_EQ(c.Count(clBlue, box), 0);
  EXPECT_EQ(c.Count(clLime, box), 0);
  // Outside of its drawing the pie lists the slices that are shown.
  EXPECT_EQ(p->LegendEntryCount(), 3);

  // The legend is stored with the pie and comes back when read.
  TPieSeries r(nullptr);
  TextToComponent(ComponentToText(p), &r);
  ASSERT_NE(r.OtherSlice()->LegendOrNull(), nullptr);
  EXPECT_TRUE(r.OtherSlice()->LegendOrNull()->Visible());
  TSeriesChart c2(false, 500, 300);
  c2.Chart.AttachSeries(&r);
  c2.Render();
  EXPECT_GT(c2.Count(clFuchsia, r.OtherSlice()->LegendOrNull()->BoxRect), 0);
  c2.Chart.DetachSeries(&r);
  // Writing nothing frees it.
  p->OtherSlice()->SetLegend(nullptr);
  EXPECT_EQ(p->OtherSlice()->LegendOrNull(), nullptr);
  c.Render();
}

TEST(PieSeries, ADonutLeavesItsHoleEmpty) {
  for (bool is3D : {false, true}) {
    TSeriesChart c(is3D);
    auto* p = c.Add<TPieSeries>();
    p->Marks()->SetVisible(false);
    p->AddY(1, "", clRed);
    p->AddY(1, "", clBlue);
    p->SetDonutPercent(50);
    c.Render();
    if (!is3D) {
      EXPECT_EQ(PieAt(c, p, 90, 0.75), clRed);
      EXPECT_EQ(PieAt(c, p, 270, 0.75), clBlue);
      EXPECT_EQ(PieAt(c, p, 90, 0.25), clWhite);
      EXPECT_EQ(PieAt(c, p, 270, 0.25), clWhite);
    }
    // Cut short, its end faces are drawn too.
    p->SetAngleSize(180);
    c.Render();
    EXPECT_GT(c.Count(clBlue, TRect(0, 0, 400, 300)), 0) << is3D;
  }
}

TEST(PieSeries, SampleValuesAndGalleryVariants) {
  TSeriesChart c;
  auto* p = c.Add<TPieSeries>();
  p->FillSampleValues(0);
  ASSERT_EQ(p->PointCount(), 8);  // the pie's own sample count
  const char* labels[] = {"Cars", "Phones", "Tables", "Monitors", "Lamps", "Keyboards", "Bikes", "Chairs"};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(p->LabelAt(i), labels[i]);
    EXPECT_GE(p->YValue(i), 1);
    EXPECT_LE(p->YValue(i), 1000);
  }
  std::vector<std::string> names;
  p->ListStyleVariants([&](const std::string& S) { names.push_back(S); });
  EXPECT_EQ(names, (std::vector<std::string>{"Normal", "Patterns", "Exploded", "Shadow", "Marks", "Semi Pie",
                                             "No Border", "Dark Border"}));
  struct Case {
    int Index;
    std::function<bool(TPieSeries*)> Applied;
  };
  const Case cases[] = {
      {1, [](TPieSeries* s) { return s->UsePatterns(); }},
      {2, [](TPieSeries* s) { return s->ExplodeBiggest() == 30; }},
      {3, [](TPieSeries* s) { return s->Shadow()->HorizSize() == 10 && s->Shadow()->VertSize() == 10; }},
      {4,
       [](TPieSeries* s) {
         return s->Marks()->Visible() && s->PointCount() == 2 && s->LabelAt(0) == "A" && s->YValue(0) == 30 &&
                s->LabelAt(1) == "B" && s->YValue(1) == 70;
       }},
      {5, [](TPieSeries* s) { return s->AngleSize() == 180; }},
      {6, [](TPieSeries* s) { return !s->PiePen()->Visible(); }},
      {7, [](TPieSeries* s) { return s->DarkPen() == 32; }},
  };
  for (const Case& k : cases) {
    TSeriesChart g;
    auto* s = g.Add<TPieSeries>();
    s->FillSampleValues(0);
    s->ApplyStyleVariant(s, k.Index);
    EXPECT_TRUE(k.Applied(s)) << "variant " << k.Index;
  }
  // The thumbnail: eight values, gradient, marks on every point right at the circle, a steep view.
  TSeriesChart t(true);
  auto* s = t.Add<TPieSeries>();
  s->MakeGalleryThumbnail(true);
  EXPECT_EQ(s->PointCount(), 8);
  EXPECT_TRUE(s->CircleGradient()->Visible());
  EXPECT_EQ(s->Marks()->Callout()->Length(), 0);
  EXPECT_EQ(t.Chart.Chart3DPercent(), 75);
  EXPECT_EQ(t.Chart.View3DOptions()->Elevation(), 305);
  EXPECT_FALSE(t.Chart.View3DOptions()->Orthogonal());
  EXPECT_TRUE(s->ColorEachPoint());
  s->SetGalleryView3D(false);
  EXPECT_TRUE(s->Circled());
  s->SetGalleryView3D(true);
  EXPECT_FALSE(s->Circled());
  // Sorting keeps the slices where they are and orders later X values ascending.
  const double first = s->YValue(0);
  s->SortByValueOrder();
  EXPECT_EQ(s->XValues()->Order(), loAscending);
  EXPECT_EQ(s->YValue(0), first);
}

TEST(PieSeries, AHiddenMarksPieLinesUpWithItsSiblingsCircle) {
  TSeriesChart c(false, 401, 300);
  auto* shown = c.Add<TPieSeries>();
  shown->SetMultiPie(mpDisabled);
  shown->AddY(10, "a long mark text");
  auto* hidden = c.Add<TPieSeries>();
  hidden->SetMultiPie(mpDisabled);
  hidden->Marks()->SetVisible(false);
  hidden->AddY(10);
  c.Render();
  EXPECT_EQ(hidden->CircleRect, shown->CircleRect);
  // The sibling may come later in the list: it places its circle first.
  TSeriesChart d(false, 401, 300);
  auto* h2 = d.Add<TPieSeries>();
  h2->SetMultiPie(mpDisabled);
  h2->Marks()->SetVisible(false);
  h2->AddY(10);
  auto* s2 = d.Add<TPieSeries>();
  s2->SetMultiPie(mpDisabled);
  s2->AddY(10, "a long mark text");
  d.Render();
  EXPECT_EQ(h2->CircleRect, s2->CircleRect);
  EXPECT_LT(s2->CircleWidth, 380);  // it did make room for its marks
  // Alone, a pie without marks takes the whole chart rectangle.
  TSeriesChart e(false, 401, 300);
  auto* alone = e.Add<TPieSeries>();
  alone->Marks()->SetVisible(false);
  alone->AddY(10);
  e.Render();
  EXPECT_GT(alone->CircleWidth, s2->CircleWidth);
}

TEST(PieSeries, ACircledPieIsRoundOnSquareAndOnTallPixels) {
  TSeriesChart c(false, 401, 300);
  auto* p = c.Add<TPieSeries>();
  p->Marks()->SetVisible(false);
  p->AddY(10);
  c.Render();
  const int w = p->CircleWidth, h = p->CircleHeight;
  EXPECT_GT(w, h);
  p->SetCircled(true);
  c.Render();
  EXPECT_EQ(p->XRadius, p->YRadius);
  EXPECT_EQ(p->YRadius, h / 2);
  const int cx = p->CircleXCenter, cy = p->CircleYCenter;
  // Pixels twice as high as wide: twice as many pixels across as down for the same length.
  p->MakeRound(2.0);
  EXPECT_EQ(p->CircleXCenter, cx);
  EXPECT_EQ(p->CircleYCenter, cy);
  EXPECT_NEAR(p->CircleWidth, 2 * p->CircleHeight, 2);  // each radius rounds to whole pixels
  // Pixels twice as wide as high: the circle is twice as high as wide.
  p->MakeRound(0.5);
  EXPECT_NEAR(p->CircleHeight, 2 * p->CircleWidth, 2);
}
