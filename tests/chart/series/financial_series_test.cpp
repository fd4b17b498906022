#include <gtest/gtest.h>

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/series/financial_series.h"
#include "chart/series/standard_series.h"
#include "platform/streaming.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
// Candles on a 0..10 date axis and a 0..100 value axis, rising candles green, falling red.
struct CandleChart : TSeriesChart {
  TCandleSeries* S;
  CandleChart() {
    S = Add<TCandleSeries>();
    S->XValues()->SetDateTime(false);
    S->SetUpCloseColor(clLime);
    S->SetCandleWidth(10);
    Axes(0, 10, 0, 100);
  }
  // Rows of column X (between Y0 and Y1 inclusive) that are not white.
  int Inked(int X, int Y0, int Y1) {
    int n = 0;
    for (int y = std::min(Y0, Y1); y <= std::max(Y0, Y1); ++y) n += At(X, y) != clWhite;
    return n;
  }
};
}  // namespace

TEST(CandleSeries, BodiesWicksAndColours) {
  CandleChart c;
  c.S->AddOHLCPoint(2, 30, 80, 10, 60);  // rising
  c.S->AddOHLCPoint(5, 60, 70, 20, 40);  // falling
  c.Render();
  EXPECT_EQ(c.At(c.X(2) - 2, c.Y(45)), clLime);
  EXPECT_EQ(c.At(c.X(5) - 2, c.Y(50)), clRed);
  // The wick runs from low to high in the pen's colour, beyond the body.
  EXPECT_EQ(c.At(c.X(2), c.Y(75)), clBlack);
  EXPECT_EQ(c.At(c.X(2), c.Y(15)), clBlack);
  EXPECT_EQ(c.At(c.X(2), c.Y(85)), clWhite);
  EXPECT_EQ(c.At(c.X(2) + 3, c.Y(75)), clWhite);
  // A null candle is neither drawn nor clicked.
  c.S->SetPointColorAt(1, clNone);
  c.Render();
  EXPECT_EQ(c.At(c.X(5) - 2, c.Y(50)), clWhite);
  EXPECT_EQ(c.At(c.X(5), c.Y(65)), clWhite);
  EXPECT_EQ(c.S->PointIndexAt(c.X(5), c.Y(65)), -1);
  c.S->SetPointColorAt(1, clDefault);
  c.Render();
  // The range covers every list.
  EXPECT_EQ(c.S->HighestY(), 80);
  EXPECT_EQ(c.S->LowestY(), 10);
  EXPECT_EQ(c.S->LegendEntryColor(1), clRed);
  // Clicks: on a body, on a wick, beside a candle.
  EXPECT_EQ(c.S->PointIndexAt(c.X(2) + 3, c.Y(50)), 0);
  EXPECT_EQ(c.S->PointIndexAt(c.X(5), c.Y(65)), 1);
  EXPECT_EQ(c.S->PointIndexAt(c.X(5) + 3, c.Y(65)), -1);
  EXPECT_EQ(c.S->PointIndexAt(c.X(8), c.Y(50)), -1);
  // The close line uses the close values alone.
  c.S->SetCandleStyle(csLine);
  EXPECT_FALSE(c.S->Pointer()->Visible());
  EXPECT_EQ(c.S->HighestY(), 60);
  EXPECT_EQ(c.S->LowestY(), 40);
}

TEST(CandleSeries, AFlatCandleStaysVisibleWithAndWithoutItsPen) {
  CandleChart c;
  c.S->SetCandleStyle(csOpenClose);
  c.S->AddOHLCPoint(5, 50, 50, 50, 50);
  c.Render();
  const int y = c.Y(50);
  // With the pen: the outline one row above the value. Without: the fill, which the canvas draws
  // one pixel short of a clear-pen rectangle's bottom, moved up one more row to make up for it.
  EXPECT_EQ(c.Inked(c.X(5) - 2, y - 4, y + 4), 1);
  EXPECT_EQ(c.At(c.X(5) - 2, y - 1), clBlack);
  c.S->CandlePen()->SetVisible(false);
  c.Render();
  EXPECT_EQ(c.Inked(c.X(5) - 2, y - 4, y + 4), 1);
  EXPECT_EQ(c.At(c.X(5) - 2, y - 2), clLime);
}

TEST(CandleSeries, UnchangedCandlesFollowThePreviousClose) {
  // Rows: open, close; the expected fill (U up, D down) by colour style.
  struct Row {
    double Open, Close;
    char RelOpen, RelClose;
  };
  const Row rows[] = {
      {50, 50, 'U', 'U'},                      // the first flat candle is an up candle
      {40, 60, 'U', 'U'}, {60, 60, 'U', 'U'},  // flat, close as before: the previous candle's fill
      {70, 55, 'D', 'D'}, {50, 55, 'U', 'D'},  // close as before: relative to close, the previous fill
      {70, 58, 'D', 'U'}, {58, 58, 'D', 'U'},  // flat after candles that differ by style
  };
  for (TCandleColorStyle style : {cssRelativeToOpen, cssRelativeToClose}) {
    TCandleSeries s(nullptr);
    s.SetColorStyle(style);
    for (const Row& r : rows) s.AddOHLCPoint(s.PointCount(), r.Open, 100, 0, r.Close);
    for (int i = 0; i < s.PointCount(); ++i) {
      const char want = style == cssRelativeToOpen ? rows[i].RelOpen : rows[i].RelClose;
      EXPECT_EQ(s.CandleGradient(i), want == 'U' ? s.UpCloseGradient() : s.DownCloseGradient())
          << "style " << style << " row " << i;
    }
  }
}

TEST(CandleSeries, BarsDrawTicksAndLinesJoinCloses) {
  CandleChart c;
  c.S->SetCandleStyle(csCandleBar);
  c.S->AddOHLCPoint(3, 30, 80, 10, 60);
  c.S->AddOHLCPoint(7, 60, 90, 20, 40);
  c.Render();
  // The rising bar is drawn in the up colour: open tick to the left, close tick to the right.
  EXPECT_EQ(c.At(c.X(3) - 4, c.Y(30)), clLime);
  EXPECT_EQ(c.At(c.X(3) + 4, c.Y(60)), clLime);
  EXPECT_EQ(c.At(c.X(3) + 4, c.Y(30)), clWhite);
  EXPECT_EQ(c.At(c.X(3), c.Y(70)), clLime);
  EXPECT_EQ(c.S->PointIndexAt(c.X(7) + 4, c.Y(40)), 1);
  c.S->SetShowOpenTick(false);
  c.Render();
  EXPECT_EQ(c.At(c.X(3) - 4, c.Y(30)), clWhite);
  // The close line joins the closes and nothing else.
  c.S->SetCandleStyle(csLine);
  c.Render();
  EXPECT_EQ(c.At(c.X(5), c.Y(50)), clRed);  // half way between 60 and 40; the second candle falls
  EXPECT_EQ(c.At(c.X(3), c.Y(70)), clWhite);
  EXPECT_EQ(c.S->PointIndexAt(c.X(5), c.Y(50)), 1);
  EXPECT_EQ(c.S->PointIndexAt(c.X(5), c.Y(70)), -1);
}

TEST(VolumeSeries, LinesRunFromTheValueToTheOrigin) {
  TSeriesChart c;
  auto* v = c.Add<TVolumeSeries>();
  v->SetSeriesColor(clBlue);
  v->AddXY(2, 50);
  v->AddXY(4, 80);
  v->AddXY(6, 30, "", clNone);
  c.Axes(0, 10, 0, 100);
  c.Render();
  EXPECT_EQ(c.At(c.X(2), c.Y(10)), clBlue);
  EXPECT_EQ(c.At(c.X(2), c.Y(60)), clWhite);
  EXPECT_EQ(c.At(c.X(4), c.Y(70)), clBlue);
  EXPECT_EQ(c.At(c.X(6), c.Y(10)), clWhite);  // null point
  EXPECT_EQ(v->PointIndexAt(c.X(4), c.Y(40)), 1);
  EXPECT_EQ(v->PointIndexAt(c.X(6), c.Y(10)), -1);
  EXPECT_EQ(v->PointIndexAt(c.X(3), c.Y(10)), -1);
  v->SetUseYOrigin(true);
  v->SetYOrigin(40);
  c.Render();
  EXPECT_EQ(c.At(c.X(2), c.Y(10)), clWhite);
  EXPECT_EQ(c.At(c.X(2), c.Y(45)), clBlue);
  EXPECT_EQ(c.At(c.X(4), c.Y(60)), clBlue);
}

TEST(FinancialSeries, SourcesEmptyAnd3DAndSamples) {
  TCandleSeries a(nullptr), b(nullptr);
  TVolumeSeries vol(nullptr);
  EXPECT_TRUE(a.AcceptsSourceSeries(&b));
  EXPECT_FALSE(a.AcceptsSourceSeries(&vol));
  for (bool is3D : {false, true}) {
    TSeriesChart c(is3D);
    auto* s = c.Add<TCandleSeries>();
    auto* v = c.Add<TVolumeSeries>();
    c.Render();
    s->FillSampleValues();
    v->FillSampleValues();
    EXPECT_EQ(s->PointCount(), 40);
    for (int i = 0; i < s->PointCount(); ++i) {
      EXPECT_GE(s->HighValues()->Value(i), std::max(s->OpenValues()->Value(i), s->CloseValues()->Value(i)));
      EXPECT_LE(s->LowValues()->Value(i), std::min(s->OpenValues()->Value(i), s->CloseValues()->Value(i)));
    }
    for (TCandleStyle st : {csCandleStick, csCandleBar, csOpenClose, csLine}) {
      s->SetCandleStyle(st);
      s->SetDraw3D(true);
      c.Render();
    }
  }
}

TEST(FinancialSeries, SettingsStreamAndReadBack) {
  TCandleSeries s(nullptr);
  s.SetCandleStyle(csCandleBar);
  s.SetCandleWidth(9);
  s.SetColorStyle(cssRelativeToClose);
  s.SetUpCloseColor(clLime);
  s.SetDownCloseColor(clPurple);
  s.SetShowOpenTick(false);
  s.SetDraw3D(true);
  s.HighLowPen()->SetColor(clBlue);
  s.CandlePen()->SetWidth(3);
  s.AddOHLCPoint(1, 2, 5, 1, 3);
  s.AddOHLCPoint(2, 3, 6, 2, 4);
  TCandleSeries r(nullptr);
  TextToComponent(ComponentToText(&s), &r);
  EXPECT_EQ(r.CandleStyle(), csCandleBar);
  EXPECT_EQ(r.CandleWidth(), 9);
  EXPECT_EQ(r.ColorStyle(), cssRelativeToClose);
  EXPECT_EQ(r.UpCloseColor(), clLime);
  EXPECT_EQ(r.DownCloseColor(), clPurple);
  EXPECT_FALSE(r.ShowOpenTick());
  EXPECT_TRUE(r.Draw3D());
  EXPECT_EQ(r.HighLowPen()->Color(), clBlue);
  EXPECT_EQ(r.CandlePen()->Width(), 3);
  ASSERT_EQ(r.PointCount(), 2);
  EXPECT_EQ(r.OpenValues()->Value(1), 3);
  EXPECT_EQ(r.HighValues()->Value(1), 6);
  EXPECT_EQ(r.LowValues()->Value(0), 1);
  EXPECT_EQ(r.CloseValues()->Value(0), 3);

  TVolumeSeries v(nullptr);
  v.SetUseYOrigin(true);
  v.SetYOrigin(12.5);
  v.Pen()->SetWidth(2);
  v.AddXY(1, 7);
  TVolumeSeries w(nullptr);
  TextToComponent(ComponentToText(&v), &w);
  EXPECT_TRUE(w.UseYOrigin());
  EXPECT_EQ(w.YOrigin(), 12.5);
  EXPECT_EQ(w.Pen()->Width(), 2);
  ASSERT_EQ(w.PointCount(), 1);
}

TEST(FinancialSeries, RegisteredOnTheFinancialPage) {
  InitStandardSeries();
  TGraphSeriesTypes* list = GraphSeriesTypesList();
  ASSERT_NE(list->FindSeriesType(TCandleSeries::StaticClass()), nullptr);
  EXPECT_EQ(list->FindSeriesType(TCandleSeries::StaticClass())->PageText(), MsgGalleryPageFinancial);
  EXPECT_EQ(list->FindSeriesType(TVolumeSeries::StaticClass())->DescriptionText(), "Volume");
  EXPECT_EQ(list->FindSeriesType(TOHLCSeries::StaticClass()), nullptr);
  DoneStandardSeries();
  EXPECT_EQ(list->FindSeriesType(TCandleSeries::StaticClass()), nullptr);
}
