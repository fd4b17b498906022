#include <gtest/gtest.h>

#include <cmath>

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/series/polar_series.h"
#include "chart/series/standard_series.h"
#include "platform/streaming.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
constexpr double kDeg = 3.14159265358979323846 / 180;

// A circled polar chart as the program's polar view makes it: radius scale 0..10 on the left axis,
// no grids, no circle outline, the series in red.
template <class T = TPolarSeries>
struct PolarChart : TSeriesChart {
  T* S;
  PolarChart() : TSeriesChart(false, 300, 300) {
    S = Add<T>();
    S->SetCircled(true);
    S->SetSeriesColor(clRed);
    S->CirclePen()->SetVisible(false);
    S->Pointer()->SetVisible(false);
    Chart.LeftAxis()->SetMinimumMaximum(0, 10);
  }
  // The pixel at an angle (degrees) and a radius value, computed from the circle directly.
  TPoint Pos(double Degrees, double Radius) {
    const double r = S->XRadius * Radius / 10;
    return TPoint(S->CircleXCenter + static_cast<int>(std::lround(std::cos(Degrees * kDeg) * r)),
                  S->CircleYCenter - static_cast<int>(std::lround(std::sin(Degrees * kDeg) * r)));
  }
  TColor PixelAt(const TPoint& P) { return At(P.X, P.Y); }
  // Pixels inside R whose blue clearly dominates (text is smoothed, so not all of it is pure blue).
  int Bluish(const TRect& R) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x) {
        const TColor v = At(x, y);
        n += ((v >> 16) & 0xFF) > 128 && (v & 0xFF) < 100 && ((v >> 8) & 0xFF) < 100;
      }
    return n;
  }
  TPoint Mid(const TPoint& A, const TPoint& B) { return TPoint((A.X + B.X) / 2, (A.Y + B.Y) / 2); }
  // Red within one pixel of P (lines are one pixel wide and their midpoints may round either way).
  bool RedNear(const TPoint& P) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (At(P.X + dx, P.Y + dy) == clRed) return true;
    return false;
  }
};
}  // namespace

TEST(PolarSeries, PointsLieAtTheirAngleAndRadius) {
  PolarChart<> c;
  c.S->AddPolarPoint(0, 10);
  c.S->AddPolarPoint(90, 5);
  c.S->AddPolarPoint(200, 0);
  c.S->AddPolarPoint(300, 20);
  c.Render();
  EXPECT_EQ(c.S->XRadius, c.S->YRadius);  // Circled on square pixels
  for (int i = 0; i < 4; ++i) {
    const TPoint p = c.Pos(c.S->XValueAt(i), c.S->YValueAt(i));
    EXPECT_EQ(c.S->ScreenXAt(i), p.X) << i;
    EXPECT_EQ(c.S->ScreenYAt(i), p.Y) << i;
  }
  // The minimum is the centre; twice the maximum lies at twice the radius.
  EXPECT_EQ(c.S->ScreenXAt(2), c.S->CircleXCenter);
  EXPECT_NEAR(std::hypot(c.S->ScreenXAt(3) - c.S->CircleXCenter, c.S->ScreenYAt(3) - c.S->CircleYCenter),
              2 * c.S->XRadius, 1.5);
  // An inverted radius axis puts the maximum at the centre.
  c.Chart.LeftAxis()->SetInverted(true);
  c.Render();
  EXPECT_EQ(c.S->ScreenXAt(0), c.S->CircleXCenter);
  EXPECT_EQ(c.S->ScreenYAt(0), c.S->CircleYCenter);
  // A rotation turns every point counter-clockwise.
  c.Chart.LeftAxis()->SetInverted(false);
  c.S->SetRotationAngle(450);
  EXPECT_EQ(c.S->RotationAngle(), 90);
  c.Render();
  EXPECT_EQ(c.S->ScreenXAt(0), c.Pos(90, 10).X);
  EXPECT_EQ(c.S->ScreenYAt(0), c.Pos(90, 10).Y);
  c.S->SetRotationAngle(-30);
  EXPECT_EQ(c.S->RotationAngle(), -30);
}

TEST(PolarSeries, LogarithmicRadiusAxisAndBadRadiiStayAtTheCentre) {
  PolarChart<> c;
  c.Chart.LeftAxis()->SetLogarithmic(true);
  c.Chart.LeftAxis()->SetMinimumMaximum(1, 100);
  c.S->AddPolarPoint(0, 10);
  c.S->AddPolarPoint(90, 0);
  c.S->AddPolarPoint(180, -5);
  c.Render();
  // 10 is half way between 1 and 100 on a logarithmic scale.
  EXPECT_NEAR(c.S->ScreenXAt(0) - c.S->CircleXCenter, c.S->XRadius / 2.0, 1);
  for (int i : {1, 2}) {
    EXPECT_EQ(c.S->ScreenXAt(i), c.S->CircleXCenter);
    EXPECT_EQ(c.S->ScreenYAt(i), c.S->CircleYCenter);
  }
  // Negative angles leave the angle axis unable to take a logarithmic scale: its half-diameter
  // keeps a linear one and the chart still draws.
  c.S->AddPolarPoint(-30, 10);
  EXPECT_NO_THROW(c.Render());
  EXPECT_TRUE(c.RedNear(c.Pos(-30, 5)));  // 10 lies half way out on the 1..100 scale
  // A range of one value: the point above it lies far out to the right, never wrapped round.
  c.Chart.LeftAxis()->SetLogarithmic(false);
  c.Chart.LeftAxis()->SetMinimumMaximum(3, 3);
  c.Render();
  EXPECT_GE(c.S->ScreenXAt(0), c.S->CircleXCenter);
  EXPECT_LT(c.S->ScreenXAt(0), 2000000);
}

TEST(PolarSeries, LinesJoinPointsCloseTheShapeAndSkipNullPoints) {
  PolarChart<> c;
  for (int a = 0; a < 360; a += 90) c.S->AddPolarPoint(a, 10);
  c.Render();
  const TPoint p0 = c.Pos(0, 10), p1 = c.Pos(90, 10), p2 = c.Pos(180, 10), p3 = c.Pos(270, 10);
  EXPECT_TRUE(c.RedNear(c.Mid(p0, p1)));
  EXPECT_TRUE(c.RedNear(c.Mid(p2, p3)));
  EXPECT_TRUE(c.RedNear(c.Mid(p3, p0)));        // the closing line
  EXPECT_EQ(c.PixelAt(c.Pos(45, 3)), clWhite);  // no wedges with a clear brush
  c.S->SetCloseCircle(false);
  c.Render();
  EXPECT_FALSE(c.RedNear(c.Mid(p3, p0)));
  EXPECT_TRUE(c.RedNear(c.Mid(p2, p3)));
  // A null point is neither joined to its neighbours nor drawn.
  c.S->SetCloseCircle(true);
  c.S->SetPointColorAt(1, clNone);
  c.Render();
  EXPECT_FALSE(c.RedNear(c.Mid(p0, p1)));
  EXPECT_FALSE(c.RedNear(c.Mid(p1, p2)));
  EXPECT_TRUE(c.RedNear(c.Mid(p2, p3)));
  EXPECT_TRUE(c.RedNear(c.Mid(p3, p0)));
  // A solid brush fills the wedges between the points and the centre.
  c.S->SetPointColorAt(1, clRed);
  c.S->Brush()->SetStyle(bsSolid);
  c.Render();
  EXPECT_EQ(c.PixelAt(c.Pos(45, 3)), clRed);
  EXPECT_EQ(c.PixelAt(c.Pos(225, 3)), clRed);
}

TEST(PolarSeries, PolarBarsRunFromTheCentreAndNeverClose) {
  PolarChart<TPolarBarSeries> c;
  c.S->AddPolarPoint(0, 10);
  c.S->AddPolarPoint(90, 10);
  c.S->AddPolarPoint(180, 10, "", clNone);
  c.Render();
  EXPECT_TRUE(c.RedNear(c.Pos(0, 5)));
  EXPECT_TRUE(c.RedNear(c.Pos(90, 5)));
  EXPECT_FALSE(c.RedNear(c.Pos(180, 5)));
  EXPECT_FALSE(c.RedNear(c.Mid(c.Pos(0, 10), c.Pos(90, 10))));
}

TEST(PolarSeries, PointersAreClickedWhereTheyAreDrawn) {
  PolarChart<> c;
  c.S->Pointer()->SetVisible(true);
  c.S->AddPolarPoint(30, 8);
  c.S->AddPolarPoint(150, 4);
  c.S->AddPolarPoint(250, 6);
  c.Render();
  for (int i = 0; i < 3; ++i) {
    const TPoint p = c.Pos(c.S->XValueAt(i), c.S->YValueAt(i));
    EXPECT_EQ(c.S->PointIndexAt(p.X + 2, p.Y - 2), i);
    EXPECT_EQ(c.PixelAt(p), clRed);
  }
  EXPECT_EQ(c.S->PointIndexAt(c.S->CircleXCenter, c.S->CircleYCenter), -1);
  c.S->Pointer()->SetVisible(false);
  const TPoint p = c.Pos(30, 8);
  EXPECT_EQ(c.S->PointIndexAt(p.X, p.Y), -1);
}

TEST(PolarSeries, AngleLabelsAndIncrements) {
  TPolarSeries alone(nullptr);
  EXPECT_EQ(alone.AngleIncrement(), 10);  // no chart
  EXPECT_EQ(alone.RadiusIncrement(), 0);
  alone.SetAngleIncrement(45);  // ignored without a chart
  EXPECT_EQ(alone.AngleIncrement(), 10);
  EXPECT_EQ(alone.GetCircleLabel(90, 0), "90\u00B0");
  EXPECT_EQ(alone.GetCircleLabel(22.5, 0), "22.5\u00B0");
  alone.SetClockWiseLabels(true);
  EXPECT_EQ(alone.GetCircleLabel(90, 0), "270\u00B0");
  EXPECT_EQ(alone.GetCircleLabel(0, 0), "0\u00B0");

  PolarChart<> c;
  c.Chart.BottomAxis()->SetIncrement(0);
  EXPECT_EQ(c.S->AngleIncrement(), 10);
  c.S->SetAngleIncrement(30);
  EXPECT_EQ(c.Chart.BottomAxis()->Increment(), 30);
  // Outside labels make room: the circle is smaller than without them.
  c.S->AddPolarPoint(0, 5);
  c.Render();
  const int plain = c.S->XRadius;
  c.S->SetCircleLabels(true);
  c.S->CircleLabelsFont()->SetColor(clBlue);
  c.Render();
  EXPECT_LT(c.S->XRadius, plain);
  // Labels are drawn outside the circle: the "90°" label above the top, the "0°" label right of it.
  EXPECT_GT(c.Bluish(TRect(c.S->CircleXCenter - 15, c.S->CircleYCenter - c.S->YRadius - 25, c.S->CircleXCenter + 15,
                           c.S->CircleYCenter - c.S->YRadius)),
            0);
  EXPECT_GT(c.Bluish(TRect(c.S->CircleXCenter + c.S->XRadius, c.S->CircleYCenter - 12,
                           c.S->CircleXCenter + c.S->XRadius + 30, c.S->CircleYCenter + 8)),
            0);
  EXPECT_EQ(c.Bluish(TRect(c.S->CircleXCenter - c.S->XRadius / 2, c.S->CircleYCenter - c.S->YRadius / 2,
                           c.S->CircleXCenter + c.S->XRadius / 2, c.S->CircleYCenter + c.S->YRadius / 2)),
            0);
}

TEST(PolarSeries, TheFirstSeriesDrawsCircleSpokesAndRings) {
  PolarChart<> c;
  auto* second = c.Add<TPolarSeries>();
  c.S->AddPolarPoint(0, 5);
  second->AddPolarPoint(0, 5);
  c.S->CirclePen()->SetVisible(true);
  c.S->CirclePen()->SetColor(clBlue);
  second->CirclePen()->SetColor(clLime);
  c.Render();
  // The outer ring in the first series' pen only.
  EXPECT_GT(c.Count(clBlue, TRect(0, 0, 300, 300)), 100);
  EXPECT_EQ(c.Count(clLime, TRect(0, 0, 300, 300)), 0);
  c.Chart.BottomAxis()->Grid()->SetVisible(true);
  c.Chart.BottomAxis()->Grid()->SetColor(clGreen);
  c.Chart.BottomAxis()->Grid()->SetStyle(psSolid);
  c.Chart.BottomAxis()->SetIncrement(45);
  c.Chart.LeftAxis()->Grid()->SetVisible(true);
  c.Chart.LeftAxis()->Grid()->SetColor(clNavy);
  c.Chart.LeftAxis()->Grid()->SetStyle(psSolid);
  c.Chart.LeftAxis()->SetIncrement(5);
  c.Render();
  // Spokes every 45 degrees, and a ring at radius 5 (half way out) crossing the 20-degree line.
  auto near = [&](TPoint p, TColor col) {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (c.At(p.X + dx, p.Y + dy) == col) return true;
    return false;
  };
  // (the half-diameters carry the radius axes, drawn over their spokes)
  for (int a = 45; a < 360; a += 90) EXPECT_TRUE(near(c.Pos(a, 7), clGreen)) << a;
  EXPECT_FALSE(near(c.Pos(20, 7), clGreen));
  EXPECT_TRUE(near(c.Pos(20, 5), clNavy));
  EXPECT_FALSE(near(c.Pos(20, 7.5), clNavy));
}

TEST(RadarSeries, SpokesFollowTheLargestSeriesAndTakeTheLabels) {
  PolarChart<TRadarSeries> c;
  c.S->AddY(4, "a");
  c.S->AddY(6, "b");
  c.S->AddY(8, "c");
  auto* other = c.Add<TRadarSeries>();
  for (int i = 0; i < 5; ++i) other->AddY(5);
  c.S->CirclePen()->SetVisible(true);
  c.S->CirclePen()->SetColor(clBlue);
  c.Render();
  EXPECT_EQ(c.S->RadarPointCount(), 5);
  EXPECT_EQ(c.S->AngleIncrement(), 72);
  EXPECT_EQ(c.S->RotationAngle(), 90);
  const char* expected[] = {"a", "b", "c", "3", "4"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(c.S->GetCircleLabel(i * 72, i), expected[i]);
  // Spoke 0 points straight up, spoke 1 72 degrees further counter-clockwise.
  EXPECT_EQ(c.S->ScreenXAt(0), c.S->CircleXCenter);
  EXPECT_LT(c.S->ScreenYAt(0), c.S->CircleYCenter);
  EXPECT_LT(c.S->ScreenXAt(1), c.S->CircleXCenter);
  // The outer ring is a pentagon: the middle of a side lies well inside the circle.
  int x0, y0, x1, y1;
  c.S->AngleToPos(0, c.S->XRadius, c.S->YRadius, x0, y0);
  c.S->AngleToPos(72 * kDeg, c.S->XRadius, c.S->YRadius, x1, y1);
  const TPoint m((x0 + x1) / 2, (y0 + y1) / 2);
  bool blue = false;
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) blue |= c.At(m.X + dx, m.Y + dy) == clBlue;
  EXPECT_TRUE(blue);
  c.S->SetClockWiseLabels(true);
  EXPECT_EQ(c.S->GetCircleLabel(0, 0), "c");
}

TEST(PolarSeries, ThreeDimensionalAndEmptyChartsDrawWithoutFault) {
  for (bool is3D : {false, true}) {
    TSeriesChart c(is3D, 200, 150);
    auto* p = c.Add<TPolarSeries>();
    auto* r = c.Add<TRadarSeries>();
    auto* b = c.Add<TPolarBarSeries>();
    c.Render();               // all empty
    p->AddPolarPoint(10, 1);  // one point
    r->AddY(1);
    b->AddPolarPoint(10, 1);
    p->SetCircleLabels(true);
    p->SetCircleLabelsRotated(true);
    p->Brush()->SetStyle(bsSolid);
    p->SetTransparency(50);
    p->CircleGradient()->SetVisible(true);
    p->SetCircleBackColor(clYellow);
    c.Render();
    for (int i = 0; i < 20; ++i) p->AddPolarPoint(i * 18, i);
    c.Render();
    EXPECT_GE(p->XRadius, 1) << is3D;
  }
}

TEST(PolarSeries, SettingsStreamAndReadBack) {
  TPolarSeries s(nullptr);
  s.SetCircleLabels(true);
  s.SetCircleLabelsInside(true);
  s.SetClockWiseLabels(true);
  s.SetCloseCircle(false);
  s.SetLabelsMargin(7);
  s.SetRotationAngle(30);
  s.SetCircled(true);
  s.SetTransparency(40);
  s.SetCircleBackColor(clYellow);
  s.CirclePen()->SetColor(clBlue);
  s.CircleLabelsFont()->SetSize(14);
  s.Pointer()->SetStyle(psTriangle);
  s.Pointer()->SetVisible(false);
  s.Brush()->SetStyle(bsSolid);
  s.AddPolarPoint(10, 2, "x");
  s.AddPolarPoint(40, 3);
  const std::string text = ComponentToText(&s);
  EXPECT_EQ(text.find("RadiusValues"), std::string::npos) << text;  // the default name is not written
  TPolarSeries r(nullptr);
  TextToComponent(text, &r);
  EXPECT_TRUE(r.CircleLabels());
  EXPECT_TRUE(r.CircleLabelsInside());
  EXPECT_TRUE(r.ClockWiseLabels());
  EXPECT_FALSE(r.CloseCircle());
  EXPECT_EQ(r.LabelsMargin(), 7);
  EXPECT_EQ(r.RotationAngle(), 30);
  EXPECT_TRUE(r.Circled());
  EXPECT_EQ(r.Transparency(), 40);
  EXPECT_EQ(r.CircleBackColor(), clYellow);
  EXPECT_EQ(r.CirclePen()->Color(), clBlue);
  EXPECT_EQ(r.CircleLabelsFont()->Size(), 14);
  EXPECT_EQ(r.Pointer()->Style(), psTriangle);
  EXPECT_FALSE(r.Pointer()->Visible());
  EXPECT_EQ(r.Brush()->Style(), bsSolid);
  ASSERT_EQ(r.PointCount(), 2);
  EXPECT_EQ(r.YValueAt(1), 3);
  EXPECT_EQ(r.LabelAt(0), "x");
  // The radar has no angle settings of its own.
  TRadarSeries radar(nullptr);
  EXPECT_FALSE(IsPublishedProp(&radar, "RotationAngle"));
  EXPECT_FALSE(IsPublishedProp(&radar, "AngleIncrement"));
  EXPECT_TRUE(IsPublishedProp(&radar, "CirclePen"));
}

TEST(PolarSeries, RegisteredOnTheExtendedPage) {
  InitStandardSeries();
  TGraphSeriesTypes* list = GraphSeriesTypesList();
  for (TChartSeriesClass k :
       {TPolarSeries::StaticClass(), TRadarSeries::StaticClass(), TPolarBarSeries::StaticClass()}) {
    ASSERT_NE(list->FindSeriesType(k), nullptr) << k->ClassName();
    EXPECT_EQ(list->FindSeriesType(k)->PageText(), MsgPageExtended);
    EXPECT_EQ(list->FindSeriesType(k)->NumGallerySeries, 2);
  }
  EXPECT_EQ(list->FindSeriesType(TPolarBarSeries::StaticClass())->DescriptionText(), "Polar Bar");
  DoneStandardSeries();
  EXPECT_EQ(list->FindSeriesType(TRadarSeries::StaticClass()), nullptr);
}

TEST(PolarSeries, BackImageInsideTheChartFillsOnlyTheCircle) {
  PolarChart<> c;
  c.S->SetSeriesColor(clBlue);
  c.S->AddPolarPoint(0, 1);
  TBitmap img(50, 50, pf24bit);
  img.Canvas()->Brush()->SetColor(clLime);
  img.Canvas()->FillRect(TRect(0, 0, 50, 50));
  c.Chart.BackImage()->Assign(&img);
  c.Chart.SetBackImageInside(true);
  c.Render();
  const int cx = c.S->CircleXCenter, cy = c.S->CircleYCenter, r = c.S->XRadius;
  // Inside the circle the image, stretched over it; outside (the rectangle's corners) the background.
  EXPECT_EQ(c.At(cx + r / 2, cy - r / 2), clLime);
  EXPECT_EQ(c.At(cx - r / 2, cy + r / 2), clLime);
  EXPECT_EQ(c.At(c.S->CircleRect.Left + 3, c.S->CircleRect.Top + 3), clWhite);
  EXPECT_EQ(c.At(c.S->CircleRect.Right - 3, c.S->CircleRect.Bottom - 3), clWhite);
  // An image outside the plot is the panel's background, not the circle's.
  c.Chart.SetBackImageInside(false);
  c.Render();
  EXPECT_EQ(c.At(c.S->CircleRect.Left + 3, c.S->CircleRect.Top + 3), clLime);
}
