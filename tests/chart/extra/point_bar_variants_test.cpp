// Line points joined to both axes, bars joined bar to bar, bars on offsets and candles with their
// four values beside them.
#include <gtest/gtest.h>

#include "chart/engine/chart_axis.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/point_bar_variants.h"
#include "chart/series/testkit/series_testkit.h"

TEST(MyPointSeries, JoinsEachPointToBothAxes) {
  TSeriesChart c;
  auto* s = c.Add<TMyPointSeries>();
  s->SetSeriesColor(clBlue);
  s->AddXY(6, 7);
  c.Axes(0, 10, 0, 10);
  c.Render();
  EXPECT_EQ(c.At(c.X(3), c.Y(7)), clBlue);  // towards the vertical axis
  EXPECT_EQ(c.At(c.X(6), c.Y(3)), clBlue);  // down to the horizontal axis
  EXPECT_NE(c.At(c.X(8), c.Y(7)), clBlue);
}

TEST(BarJoinSeries, JoinsEachBarToTheNextButNotTheFirstToAnything) {
  TSeriesChart c;
  auto* s = c.Add<TBarJoinSeries>();
  s->Marks()->SetVisible(false);
  s->SetSeriesColor(clRed);
  s->JoinPen()->SetColor(clBlue);
  for (double v : {3.0, 8.0, 5.0}) s->AddY(v);
  c.Axes(-1, 3, 0, 10);
  for (int pass = 0; pass < 2; ++pass) {
    c.Render();
    // The join from bar 0's top right corner to bar 1's top left corner passes their middle.
    const int mx = (c.X(0) + c.X(1)) / 2, my = (c.Y(3) + c.Y(8)) / 2;
    EXPECT_GT(c.Count(clBlue, TRect(mx - 2, my - 2, mx + 3, my + 3)), 0);
    EXPECT_EQ(c.Count(clBlue, TRect(0, 0, c.X(0) - s->BarWidth() / 2 - 1, 300)), 0);
  }
}

TEST(Bar3DSeries, BarsStandOnTheirOffsetsAndTheRangeFollows) {
  TBar3DSeries s(nullptr);
  s.AddBar(0, 4, -2);
  EXPECT_EQ(s.LowestY(), 2);
  s.OffsetValues()->SetValue(0, -6);
  EXPECT_EQ(s.LowestY(), -2);
  TSeriesChart c;
  auto* b = c.Add<TBar3DSeries>();
  b->Marks()->SetVisible(false);
  b->SetSeriesColor(clRed);
  b->AddBar(0, 6, 3);
  c.Axes(-1, 1, 0, 10);
  c.Render();
  EXPECT_EQ(c.At(c.X(0), c.Y(4.5)), clRed);
  EXPECT_NE(c.At(c.X(0), c.Y(1.5)), clRed);
  EXPECT_NE(c.At(c.X(0), c.Y(7.5)), clRed);
  EXPECT_EQ(b->HighestY(), 6);
}

TEST(BigCandleSeries, ShowsFourValuesAroundEachCandle) {
  TSeriesChart c(false, 400, 400);
  auto* s = c.Add<TBigCandleSeries>();
  s->XValues()->SetDateTime(false);
  s->AddOHLCPoint(1, 30, 80, 10, 60);
  c.Axes(0, 2, 0, 100);
  c.Render();
  auto inked = [&](const TRect& R) { return R.Width() * R.Height() - c.Count(clWhite, R); };
  const int x = c.X(1);
  EXPECT_GT(inked(TRect(x - 90, c.Y(30) - 10, x - 10, c.Y(30) + 10)), 5);  // open, left
  EXPECT_GT(inked(TRect(x + 10, c.Y(60) - 10, x + 90, c.Y(60) + 10)), 5);  // close, right
  EXPECT_GT(inked(TRect(x + 10, c.Y(80) - 30, x + 90, c.Y(80))), 5);       // high, above
  EXPECT_GT(inked(TRect(x + 10, c.Y(10), x + 90, c.Y(10) + 30)), 5);       // low, below
}
