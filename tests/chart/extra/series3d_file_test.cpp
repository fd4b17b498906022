// The 3D family in native chart files: each type with hand-set settings in a 3D chart, in both
// forms, comes back drawing the same pixels; a smoothing function comes back with its settings;
// bad input (empty, one row, NaN, holes) draws without failing.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/extra/bspline.h"
#include "chart/extra/chart_file.h"
#include "chart/extra/contour_series.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/map_series.h"
#include "chart/extra/point3d_series.h"
#include "chart/extra/surface_series.h"
#include "chart/extra/trisurface_series.h"
#include "chart/extra/vector_tower_series.h"
#include "chart/series/line_series.h"
#include "chart/series/standard_series.h"
#include "platform/streams.h"
#include "chart/series/testkit/series_testkit.h"

namespace {

struct Series3DFile : ::testing::Test {
  static void SetUpTestSuite() {
    InitStandardSeries();
    InitExtraSeries();
    InitChartOutput();
  }
};

int DifferentPixels(TBitmap& A, TBitmap& B) {
  int n = 0;
  for (int y = 0; y < A.Height(); ++y)
    for (int x = 0; x < A.Width(); ++x) n += A.Canvas()->Pixels(x, y) != B.Canvas()->Pixels(x, y);
  return n;
}

// Each type with some settings of its own changed from the defaults.
TChartSeries* Made(const std::string& Kind) {
  if (Kind == "surface") {
    auto* s = new TSurfaceSeries(nullptr);
    s->SetSmoothPalette(true);
    s->SideBrush()->SetStyle(bsSolid);
    return s;
  }
  if (Kind == "waterfall") {
    auto* s = new TWaterFallSeries(nullptr);
    s->WaterLines()->SetColor(clRed);
    return s;
  }
  if (Kind == "contour") {
    auto* s = new TContourSeries(nullptr);
    s->SetNumLevels(6);
    s->Smoothing()->SetActive(true);
    return s;
  }
  if (Kind == "tower") {
    auto* s = new TTowerSeries(nullptr);
    s->SetTowerStyle(tsCylinder);
    s->SetPercentWidth(60);
    return s;
  }
  if (Kind == "vector") {
    auto* s = new TVector3DSeries(nullptr);
    s->StartArrow()->SetVisible(true);
    s->SetArrowWidth(7);
    return s;
  }
  if (Kind == "trisurface") {
    auto* s = new TTriSurfaceSeries(nullptr);
    s->Border()->SetVisible(true);
    return s;
  }
  if (Kind == "map") {
    auto* s = new TMapSeries(nullptr);
    s->SetStartColor(clGreen);
    return s;
  }
  if (Kind == "point3d") {
    auto* s = new TPoint3DSeries(nullptr);
    s->BaseLine()->SetVisible(true);
    s->SetDepthSize(3);
    return s;
  }
  auto* s = new TBubble3DSeries(nullptr);
  s->Pointer()->SetStyle(psRectangle);
  return s;
}

}  // namespace

TEST_F(Series3DFile, EveryTypeComesBackInBothFormsDrawingTheSamePixelsIn3D) {
  for (const char* kind :
       {"surface", "waterfall", "contour", "tower", "vector", "trisurface", "map", "point3d", "bubble3d"})
    for (bool text : {false, true}) {
      SCOPED_TRACE(std::string(kind) + (text ? " text" : " binary"));
      TSeriesChart c(true, 320, 240);
      TChartSeries* s = Made(kind);
      c.Chart.AttachSeries(s);
      s->SetName("S1");
      s->FillSampleValues(s->DefaultRandomCount() > 30 ? 30 : 0);
      s->DataIsOwn = true;
      TMemoryStream m;
      WriteNativeChart(&c.Chart, m, true, text);
      m.SetPosition(0);
      TSeriesChart back(true, 320, 240);
      TCustomChart* target = &back.Chart;
      ReadNativeChart(target, m);
      ASSERT_EQ(back.Chart.CountSeries(), 1);
      EXPECT_EQ(back.Chart.SeriesAt(0)->ClassType(), s->ClassType());
      EXPECT_EQ(back.Chart.SeriesAt(0)->PointCount(), s->PointCount());
      c.Render();
      back.Render();
      EXPECT_EQ(DifferentPixels(*c.Image, *back.Image), 0);
    }
}

TEST_F(Series3DFile, SmoothingFunctionKeepsItsSettings) {
  TSeriesChart c;
  auto* source = c.Add<TLineSeries>();
  source->SetName("Source");
  for (int i = 0; i < 8; ++i) source->AddXY(i, (i * 7) % 5);
  auto* smooth = c.Add<TLineSeries>();
  smooth->SetName("Smooth");
  auto* f = new TSmoothingFunction(nullptr);
  f->SetName("Smoothing1");
  smooth->AttachFunction(f);
  f->SetFactor(3);
  f->SetInterpolate(false);
  smooth->AddDataSourceInternal(source);
  smooth->RefreshDataFromSource();
  ASSERT_EQ(smooth->PointCount(), 25);
  TMemoryStream m;
  WriteNativeChart(&c.Chart, m, true, true);
  m.SetPosition(0);
  TSeriesChart back;
  TCustomChart* target = &back.Chart;
  ReadNativeChart(target, m);
  ASSERT_EQ(back.Chart.CountSeries(), 2);
  auto* g = dynamic_cast<TSmoothingFunction*>(back.Chart.SeriesAt(1)->FunctionObject());
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Factor(), 3);
  EXPECT_FALSE(g->Interpolate());
  EXPECT_EQ(back.Chart.SeriesAt(1)->PointCount(), 25);
  c.Render();
  back.Render();
  EXPECT_EQ(DifferentPixels(*c.Image, *back.Image), 0);
}

TEST_F(Series3DFile, BadInputDrawsWithoutFailing) {
  for (bool view3D : {false, true})
    for (const char* kind :
         {"surface", "waterfall", "contour", "tower", "vector", "trisurface", "map", "point3d", "bubble3d"}) {
      SCOPED_TRACE(std::string(kind) + (view3D ? " 3D" : " 2D"));
      struct Fill {
        const char* Name;
        std::vector<std::array<double, 3>> Points;
      } fills[] = {
          {"empty", {}},
          {"one point", {{{1, 2, 3}}}},
          {"one row", {{{1, 1, 1}}, {{2, 3, 1}}, {{3, 2, 1}}}},
          {"holes", {{{1, 1, 1}}, {{3, 3, 1}}, {{1, 2, 3}}, {{3, 1, 3}}, {{2, 5, 2}}}},
          {"NaN", {{{1, 1, 1}}, {{2, NAN, 1}}, {{1, 2, 2}}, {{2, 2, 2}}}},
          {"infinite", {{{1, 1, 1}}, {{2, INFINITY, 1}}, {{1, 2, 2}}, {{2, -INFINITY, 2}}}},
          {"far apart", {{{-2e9, 1, 1}}, {{2e9, 2, 1}}, {{1, 2, 3e8}}}},
      };
      for (const Fill& f : fills) {
        SCOPED_TRACE(f.Name);
        TSeriesChart c(view3D, 200, 150);
        TChartSeries* s = Made(kind);
        c.Chart.AttachSeries(s);
        auto* s3 = dynamic_cast<TCustom3DSeries*>(s);
        for (const auto& p : f.Points) {
          if (auto* m = dynamic_cast<TMapSeries*>(s)) {
            TGraphPolygon* g = m->Shapes()->AddPolygon();
            g->AddXY(p[0], p[1]);
            g->AddXY(p[0] + 1, p[1]);
            g->SetZ(p[2]);
          } else if (auto* v = dynamic_cast<TVector3DSeries*>(s)) {
            v->AddVector(p[0], p[1], p[2], p[0] + 1, p[1], p[2]);
          } else if (auto* b = dynamic_cast<TBubble3DSeries*>(s)) {
            b->AddBubble(p[0], p[1], p[2], 1);
          } else {
            s3->AddXYZ(p[0], p[1], p[2]);
          }
        }
        try {
          c.Render();
        } catch (const Exception& e) {
          // A refusal is a clear message, never a crash.
          EXPECT_FALSE(e.Message().empty());
        }
        (void)s->PointIndexAt(50, 50);
      }
    }
}

TEST_F(Series3DFile, GalleryThumbnailsFillAndDraw) {
  for (const char* kind :
       {"surface", "waterfall", "contour", "tower", "vector", "trisurface", "map", "point3d", "bubble3d"})
    for (bool coloured : {true, false}) {
      SCOPED_TRACE(std::string(kind) + (coloured ? " coloured" : " grey"));
      TSeriesChart c(true, 120, 90);
      TChartSeries* s = Made(kind);
      c.Chart.AttachSeries(s);
      s->MakeGalleryThumbnail(coloured);
      s->SetGalleryView3D(coloured);
      EXPECT_GT(s->PointCount(), 0);
      c.Render();
      int drawn = 0;
      for (int y = 0; y < 90; y += 2)
        for (int x = 0; x < 120; x += 2) drawn += c.At(x, y) != clWhite;
      EXPECT_GT(drawn, 0);
    }
}
