// Image bars and points: the picture over the bar or at the point, empty pictures, and the delta
// point's picture chosen from each value against the one before.
#include <gtest/gtest.h>

#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "chart/extra/image_series.h"
#include "platform/bitmap.h"
#include "chart/series/testkit/series_testkit.h"

TEST(DeltaPointSeries, PicksEqualGreaterEqualLower) {
  TDeltaPointSeries s(nullptr);
  for (double v : {5.0, 7.0, 7.0, 3.0}) s.AddY(v);
  EXPECT_EQ(s.PictureFor(0), s.EqualImage());
  EXPECT_EQ(s.PictureFor(1), s.GreaterImage());
  EXPECT_EQ(s.PictureFor(2), s.EqualImage());
  EXPECT_EQ(s.PictureFor(3), s.LowerImage());
  EXPECT_EQ(s.EqualImage()->Width(), 16);
  TSeriesChart c;
  auto* d = c.Add<TDeltaPointSeries>();
  for (double v : {5.0, 7.0}) d->AddY(v);
  c.Axes(-1, 2, 0, 10);
  c.Render();
  EXPECT_EQ(c.At(c.X(1), c.Y(7)), clLime);    // the rising face, unscaled at its point
  EXPECT_EQ(c.At(c.X(0), c.Y(5)), clYellow);  // the level face
}

TEST(ImagePointSeries, DrawsItsPictureOrThePointerWhenEmpty) {
  TSeriesChart c;
  auto* s = c.Add<TImagePointSeries>();
  s->AddXY(5, 5);
  s->Pointer()->SetColor(clRed);
  c.Axes(0, 10, 0, 10);
  EXPECT_EQ(s->Pointer()->HorizSize(), 8);
  c.Render();
  EXPECT_EQ(c.At(c.X(5), c.Y(5)), clBlue);  // the default disc
  TPicture empty;
  s->ImagePoint()->Assign(&empty);
  c.Render();
  EXPECT_EQ(c.At(c.X(5), c.Y(5)), clRed);
}

TEST(ImageBarSeries, CoversTheBarWithItsPictureUnlessThePictureIsEmpty) {
  for (bool tiled : {false, true}) {
    TSeriesChart c;
    auto* s = c.Add<TImageBarSeries>();
    s->Marks()->SetVisible(false);
    s->SetSeriesColor(clRed);
    s->SetImageTiled(tiled);
    s->AddY(8);
    c.Axes(-1, 1, 0, 10);
    c.Render();
    const TRect bar(c.X(0) - 20, c.Y(8) + 2, c.X(0) + 20, c.Y(0) - 2);
    EXPECT_GT(c.Count(clGreen, bar), 50) << tiled;
    EXPECT_LT(c.Count(clRed, bar), 20) << tiled;
    TPicture empty;
    s->Image()->Assign(&empty);
    c.Render();
    EXPECT_EQ(c.Count(clGreen, bar), 0);
    EXPECT_GT(c.Count(clRed, bar), 500);
  }
}
