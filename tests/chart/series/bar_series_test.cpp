#include <gtest/gtest.h>

#include "chart/engine/registries.h"
#include "chart/engine/engine_texts.h"
#include "chart/series/bar_series.h"
#include "chart/series/error_series.h"
#include "chart/series/line_series.h"
#include "chart/series/standard_series.h"
#include "chart/series/testkit/series_testkit.h"

TEST(BarSeries, SideBySideWidthFollowsTheAxisAndStaysEven) {
  TSeriesChart c(false, 760, 300);
  auto* a = c.Add<TBarSeries>();
  auto* b = c.Add<TBarSeries>();
  for (int i = 0; i < 10; ++i) {
    a->AddXY(i, 5);
    b->AddXY(i, 7);
  }
  a->Marks()->SetVisible(false);
  b->Marks()->SetVisible(false);
  c.Render();
  const int len = c.Chart.BottomAxis()->AxisLength;
  int w = static_cast<int>(std::nearbyint(0.7 * (len / 11))) / 2;  // 11 point slots, 2 bars
  if (w % 2) ++w;
  EXPECT_EQ(a->BarWidth(), w);
  EXPECT_EQ(a->ScreenXAt(3), c.X(3) - w);
  EXPECT_EQ(b->ScreenXAt(3), c.X(3));
  // A fixed width stays as it is, odd or not.
  a->SetCustomBarWidth(15);
  c.Render();
  EXPECT_EQ(a->BarWidth(), 15);
}

TEST(BarSeries, StackGroupsStackOrStandBeside) {
  TSeriesChart c;
  TBarSeries* s[3];
  for (int k = 0; k < 3; ++k) {
    s[k] = c.Add<TBarSeries>();
    s[k]->Marks()->SetVisible(false);
    s[k]->SetStackGroup(k == 1 ? 1 : 0);
    s[k]->AddXY(0, 10);
    s[k]->AddXY(1, -4);
  }
  s[0]->SetMultiBar(mbStacked);
  EXPECT_EQ(s[2]->MultiBar(), mbStacked);
  c.Render();
  // Two bars per point: the first and third stack, the second stands beside them.
  EXPECT_EQ(s[2]->OriginPos(0), s[0]->ScreenYAt(0));
  EXPECT_EQ(s[2]->ScreenXAt(0), s[0]->ScreenXAt(0));
  EXPECT_NE(s[1]->ScreenXAt(0), s[0]->ScreenXAt(0));
  EXPECT_EQ(s[1]->OriginPos(0), c.Y(0));
  // Negative values stack below zero on negative values only.
  EXPECT_EQ(s[2]->PointOrigin(1, false), -4);
  EXPECT_EQ(s[0]->HighestY(), 10);
  EXPECT_EQ(s[2]->HighestY(), 20);
  EXPECT_EQ(s[2]->LowestY(), -8);
  // A series added later adopts the chart's stacking.
  auto* late = c.Add<TBarSeries>();
  EXPECT_EQ(late->MultiBar(), mbStacked);
}

TEST(BarSeries, SelfStackAndHundredPercent) {
  TSeriesChart c;
  auto* s = c.Add<TBarSeries>();
  for (double v : {1.0, 2.0, 3.0}) s->AddY(v);
  s->SetMultiBar(mbSelfStack);
  EXPECT_EQ(s->HighestY(), 6);
  EXPECT_EQ(s->PointOrigin(2, false), 3);
  auto* p = c.Add<TBarSeries>();
  p->SetMultiBar(mbStacked100);
  EXPECT_EQ(p->HighestY(), 100);
}

TEST(BarSeries, DrawsBarsInTheirColourAndSkipsNullPoints) {
  for (bool is3D : {false, true}) {
    TSeriesChart c(is3D);
    auto* s = c.Add<TBarSeries>();
    s->Marks()->SetVisible(false);
    s->SetSeriesColor(clRed);
    s->BarPen()->SetVisible(false);
    s->AddXY(0, 50);
    s->AddXY(1, 50, "", clNone);
    s->AddXY(2, 50);
    c.Axes(-1, 3, 0, 100);
    c.Render();
    const int y = c.Y(25);
    EXPECT_EQ(c.At(s->ScreenXAt(0) + s->BarWidth() / 2, y), clRed) << is3D;
    EXPECT_EQ(c.Count(clRed, TRect(s->ScreenXAt(1), c.Y(50), s->ScreenXAt(1) + s->BarWidth(), c.Y(0))), 0) << is3D;
    EXPECT_EQ(s->PointIndexAt(s->ScreenXAt(1) + 2, y), -1) << is3D;
    if (!is3D) {
      EXPECT_EQ(s->PointIndexAt(s->ScreenXAt(2) + 2, y), 2);
    }
  }
}

TEST(BarSeries, PyramidClicksFollowItsTriangle) {
  TSeriesChart c;
  auto* s = c.Add<TBarSeries>();
  s->Marks()->SetVisible(false);
  s->SetBarStyle(bsPyramid);
  s->AddXY(0, 100);
  c.Axes(-1, 1, 0, 100);
  c.Render();
  const int left = s->ScreenXAt(0), w = s->BarWidth();
  EXPECT_EQ(s->PointIndexAt(left + 1, c.Y(95)), -1);  // the empty corner beside the apex
  EXPECT_EQ(s->PointIndexAt(left + w / 2, c.Y(50)), 0);
  EXPECT_EQ(s->PointIndexAt(left + 3, s->OriginPos(0) - 2), 0);  // near the base
}

TEST(HorizBarSeries, BarsGrowRightFromTheOrigin) {
  TSeriesChart c;
  auto* s = c.Add<THorizBarSeries>();
  s->Marks()->SetVisible(false);
  s->SetSeriesColor(clBlue);
  s->AddXY(60, 0);
  s->AddXY(30, 1);
  c.Axes(0, 100, -1, 2);
  c.Render();
  const int y = s->ScreenYAt(0) + s->BarWidth() / 2;
  EXPECT_EQ(c.At(c.X(30), y), clBlue);
  EXPECT_EQ(c.At(c.X(70), y), clWhite);
  EXPECT_EQ(s->PointIndexAt(c.X(20), s->ScreenYAt(1) + 2), 1);
}

// ---- error series -------------------------------------------------------------------------------------

TEST(ErrorSeries, ExtremesIncludeTheErrors) {
  TSeriesChart c;
  auto* e = c.Add<TErrorSeries>();
  e->AddErrorBar(0, 10, 2);
  e->AddErrorBar(1, -5, 1);
  EXPECT_EQ(e->HighestY(), 12);
  EXPECT_EQ(e->LowestY(), -6);
  auto* empty = c.Add<TErrorSeries>();
  EXPECT_EQ(empty->HighestY(), 0);
}

TEST(ErrorSeries, DrawsWhiskersWithCapsAndNoBar) {
  struct Case {
    TErrorWidthUnits Units;
    int Width;
    double Error;
  } cases[] = {{ewuPixels, 9, 10}, {ewuPixels, 21, -10}, {ewuPercent, 0, 10}};
  for (const Case& k : cases) {
    TSeriesChart c;
    auto* e = c.Add<TErrorSeries>();
    e->SetSeriesColor(clRed);
    e->SetErrorWidthUnits(k.Units);
    e->SetErrorWidth(k.Width);
    e->AddErrorBar(0, 50, k.Error);
    e->AddErrorBar(1, 50, 0);  // a zero error draws nothing
    c.Axes(-1, 2, 0, 100);
    c.Render();
    const int cx = (e->BarBounds().Left + e->BarBounds().Right) / 2;
    const int x = (e->ScreenXAt(0) + e->ScreenXAt(0) + e->BarWidth() + 1) / 2;
    const int len = c.Chart.LeftAxis()->PixelSizeOfValue(10);
    const int top = c.Y(50) - len, bottom = c.Y(50) + len;
    // The whisker runs from the point up and down by the error's absolute size.
    EXPECT_EQ(c.At(x, (top + c.Y(50)) / 2), clRed);
    EXPECT_EQ(c.At(x, (bottom + c.Y(50)) / 2), clRed);
    // The caps: as wide as asked (the bar's width for 0).
    const int w = k.Width == 0 ? e->BarWidth() + 1 : k.Width;
    EXPECT_EQ(c.Count(clRed, TRect(x - w, top, x + w + 1, top + 1)), (w / 2) * 2) << k.Width;
    // No bar under the whiskers, nothing at the second point.
    EXPECT_EQ(c.At(x + 2, c.Y(25)), clWhite);
    EXPECT_EQ(c.Count(clRed, TRect(e->ScreenXAt(1) - 5, c.Y(70), e->ScreenXAt(1) + e->BarWidth() + 5, c.Y(30))), 0);
    (void)cx;
  }
}

TEST(ErrorBarSeries, NegativeBarTakesItsErrorDownwards) {
  TSeriesChart c;
  auto* e = c.Add<TErrorBarSeries>();
  e->Marks()->SetVisible(false);
  e->SetSeriesColor(clBlue);
  e->ErrorPen()->SetColor(clRed);
  e->AddErrorBar(0, -50, 20);
  c.Axes(-1, 1, -100, 10);
  c.Render();
  const int x = (e->BarBounds().Left + e->BarBounds().Right) / 2;
  EXPECT_EQ(c.At(x + 3, c.Y(-25)), clBlue);
  EXPECT_EQ(c.At(x, c.Y(-60)), clRed);
  EXPECT_EQ(c.At(x, c.Y(-40)) == clRed, false);
}

TEST(HighLowSeries, FillsTheBandAndJoinsHighsAndLows) {
  TSeriesChart c;
  auto* h = c.Add<THighLowSeries>();
  h->HighBrush()->SetStyle(bsSolid);
  h->SetSeriesColor(clBlue);
  h->HighPen()->SetColor(clRed);
  h->AddHighLow(0, 80, 20);
  h->AddHighLow(4, 80, 20);
  c.Axes(0, 4, 0, 100);
  c.Render();
  EXPECT_EQ(c.At(c.X(2), c.Y(50)), clBlue);
  EXPECT_EQ(c.At(c.X(2), c.Y(80)), clRed);
  EXPECT_EQ(c.At(c.X(2), c.Y(90)), clWhite);
  EXPECT_EQ(h->PointIndexAt(c.X(2), c.Y(50)), 1);
  EXPECT_EQ(h->HighestY(), 80);
  EXPECT_EQ(h->LowestY(), 20);
}

TEST(StandardSeries, RegisterOnTheirPagesOnceAndLeaveAtShutdown) {
  InitStandardSeries();
  InitStandardSeries();
  TGraphSeriesTypes* list = GraphSeriesTypesList();
  ASSERT_NE(list, nullptr);
  ASSERT_NE(list->FindSeriesType(TLineSeries::StaticClass()), nullptr);
  EXPECT_EQ(list->FindSeriesType(TLineSeries::StaticClass())->PageText(), MsgPageStandard);
  EXPECT_EQ(list->FindSeriesType(TLineSeries::StaticClass())->NumGallerySeries, 2);
  EXPECT_EQ(list->FindSeriesType(THorizAreaSeries::StaticClass())->NumGallerySeries, 1);
  EXPECT_EQ(list->FindSeriesType(TErrorSeries::StaticClass())->PageText(), MsgGalleryPageStats);
  int standard = 0;
  for (int i = 0; i < list->Count(); ++i)
    if ((*list)[i]->SeriesClass == TLineSeries::StaticClass()) ++standard;
  EXPECT_EQ(standard, 1);
  DoneStandardSeries();
  EXPECT_EQ(list->FindSeriesType(TLineSeries::StaticClass()), nullptr);
  EXPECT_EQ(list->FindSeriesType(TErrorSeries::StaticClass()), nullptr);
}

TEST(BarSeries, ThinBarsJoinedIntoLinesKeepEveryPixel) {
  // Many more bars than pixels: stacked, side by side, horizontal, with null bars and a pen colour.
  struct Case {
    TMultiBar Multi;
    bool Horizontal;
    int Bars;
  };
  for (const Case& k : {Case{mbStacked, false, 1500}, Case{mbSide, false, 800}, Case{mbStacked100, true, 1000},
                        Case{mbNone, false, 150}}) {
    auto render = [&](bool joined) {
      TCustomBarSeries::ThinRunsEnabled = joined;
      TSeriesChart c(false, 420, 300);
      for (int s = 0; s < 3; ++s) {
        TCustomBarSeries* b = k.Horizontal ? static_cast<TCustomBarSeries*>(c.Add<THorizBarSeries>())
                                           : static_cast<TCustomBarSeries*>(c.Add<TBarSeries>());
        b->Marks()->SetVisible(false);
        b->BarPen()->SetColor(s == 1 ? clRed : clBlack);
        b->SetColorEachPoint(s == 2);
        for (int i = 0; i < k.Bars; ++i) {
          const double v = 1 + std::fabs(std::sin(i * 0.01 * (s + 1))) * (i % 17 == 0 ? 3 : 1);
          if (k.Horizontal)
            b->AddXY(v, i, "", i % 97 == 5 ? clNone : clDefault);
          else
            b->AddXY(i, v, "", i % 97 == 5 ? clNone : clDefault);
        }
        b->SetMultiBar(k.Multi);
      }
      c.Render();
      TCustomBarSeries::ThinRunsEnabled = true;
      return std::move(c.Image);
    };
    auto a = render(true), b = render(false);
    int differ = 0, inked = 0;
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 420; ++x) {
        differ += a->Canvas()->Pixels(x, y) != b->Canvas()->Pixels(x, y);
        inked += b->Canvas()->Pixels(x, y) != clWhite;
      }
    EXPECT_EQ(differ, 0) << k.Multi << " " << k.Horizontal;
    EXPECT_GT(inked, 2000);
  }
}
