// Palette colours, the grid index and the colour grid's cells, clicks, streaming and registration.
#include <gtest/gtest.h>

#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/arrow_series.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/grid_series.h"
#include "platform/exceptions.h"
#include "platform/streaming.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
constexpr TColor kNavy = static_cast<TColor>(0x800000);
constexpr TColor kBlue = static_cast<TColor>(0xFF0000);
constexpr TColor kWhite = static_cast<TColor>(0xFFFFFF);
constexpr TColor kGreen = static_cast<TColor>(0x00FF00);
}  // namespace

TEST(PaletteSeries, ColourRangeRoundsHalvesToEvenAndClampsOutsideValues) {
  TColorGridSeries s(nullptr);
  s.AddXYZ(1, 0, 1);
  s.AddXYZ(2, 10, 1);
  s.PrepareForDraw();
  // Half-way between white and navy: red and green -127.5 -> -128, blue -63.5 -> -64.
  EXPECT_EQ(s.ColorOfValue(5), static_cast<TColor>(127 | 127 << 8 | 191 << 16));
  EXPECT_EQ(s.ColorOfValue(0), kWhite);
  EXPECT_EQ(s.ColorOfValue(10), kNavy);
  EXPECT_EQ(s.ColorOfValue(-3), kWhite);
  EXPECT_EQ(s.ColorOfValue(11), kNavy);
  // A middle colour splits the range in two.
  s.SetMidColor(kGreen);
  EXPECT_EQ(s.ColorOfValue(5), kGreen);
  EXPECT_EQ(s.ColorOfValue(2.5), static_cast<TColor>(127 | 255 << 8 | 127 << 16));

  // All values equal: every point in the end colour.
  TColorGridSeries flat(nullptr);
  flat.AddXYZ(1, 4, 1);
  flat.AddXYZ(2, 4, 1);
  flat.PrepareForDraw();
  EXPECT_EQ(flat.PointColorAt(0), kWhite);
  EXPECT_EQ(flat.PointColorAt(1), kWhite);
  // A point's own colour stays; OnGetColor has the last word.
  flat.AddXYZPoint(3, 4, 1, "", clRed);
  EXPECT_EQ(flat.PointColorAt(2), clRed);
  flat.OnGetColor = [](TChartSeries*, int32_t Index, TColor& C) {
    if (Index == 0) C = clNone;
  };
  EXPECT_EQ(flat.PointColorAt(0), clNone);
}

TEST(PaletteSeries, PaletteStepsTakeTheNextEntryAtTheirBoundAndTheMaskSetUpWorks) {
  TColorGridSeries s(nullptr);
  s.SetPaletteSteps(2);
  for (int x = 1; x <= 3; ++x) s.AddXYZ(x, x - 1, 1);
  s.SetUsePalette(true);  // an empty palette is filled at once
  EXPECT_EQ(s.Palette().size(), 2u);
  s.SetUseColorRange(false);
  s.ClearPaletteEntries();
  s.AddPaletteEntry(0.5, kWhite);
  s.AddPaletteEntry(2.5, kBlue);
  EXPECT_EQ(s.AddPaletteEntry(1.5, kNavy), 1);
  struct Case {
    double Value;
    TColor Colour;
  } cases[] = {{0, kWhite}, {1, kNavy}, {2, kBlue}, {2.5, kBlue}, {9, kBlue}, {0.5, kNavy}, {-4, kWhite}};
  for (const Case& c : cases) EXPECT_EQ(s.ColorOfValue(c.Value), c.Colour) << c.Value;
  // An equal value goes after the existing entry: the lookup of that value passes both.
  EXPECT_EQ(s.AddPaletteEntry(1.5, clRed), 2);
  EXPECT_EQ(s.ColorOfValue(1.5), kBlue);
  // The caller's entries survive drawing; clearing the values with the palette on empties it.
  s.PrepareForDraw();
  EXPECT_EQ(s.Palette().size(), 4u);
  s.ClearValues();
  EXPECT_TRUE(s.Palette().empty());
}

TEST(PaletteSeries, DefaultPalettesAndTheirLegend) {
  TColorGridSeries s(nullptr);
  for (int x = 1; x <= 33; ++x) s.AddXYZ(x, x, 1);
  s.SetPaletteStyle(psGrayScale);
  s.SetPaletteSteps(4);
  ASSERT_EQ(s.Palette().size(), 4u);
  // Values from the minimum in steps of range / (steps - 1); grey levels round(t * 255 / steps).
  const double ups[] = {1, 11.666666666666666, 22.333333333333332, 33};
  const int greys[] = {0, 64, 128, 191};
  for (int t = 0; t < 4; ++t) {
    EXPECT_NEAR(s.Palette()[t].UpToValue, ups[t], 1e-9);
    EXPECT_EQ(s.Palette()[t].Color, static_cast<TColor>(greys[t] * 0x010101)) << t;
  }
  s.SetPaletteStyle(psRainbow);
  s.SetPaletteSteps(27);
  EXPECT_EQ(s.Palette()[0].Color, static_cast<TColor>(0x000099));
  EXPECT_EQ(s.Palette()[26].Color, static_cast<TColor>(0x0000C3));  // the table cycles after 25
  s.SetPaletteStyle(psPale);
  s.SetPaletteSteps(33);
  EXPECT_EQ(s.Palette()[0].Color, static_cast<TColor>(127 | 127 << 8 | 254 << 16));
  s.SetLegendEvery(2);
  EXPECT_EQ(s.LegendEntryCount(), 17);
  std::string text;
  s.FormatLegendText(0, TLegendTextStyle{}, text);  // the legend runs from the highest value down
  EXPECT_EQ(text, "33");
  s.SetPaletteSteps(32);
  EXPECT_EQ(s.LegendEntryCount(), 16);
}

TEST(GridSeries, RegularAndIrregularGridIndex) {
  TColorGridSeries s(nullptr);
  for (int z = 10; z <= 11; ++z)
    for (int x = 5; x <= 7; ++x) s.AddXYZ(x, x * z, z);
  s.PrepareForDraw();
  EXPECT_EQ(s.NumXValues(), 3);
  EXPECT_EQ(s.NumZValues(), 2);
  EXPECT_EQ(s.GridIndexAt(2, 1), 1);  // (6, 10)
  EXPECT_EQ(s.GridIndexAt(0, 1), -1);

  // Rounding halves to even; a later point owns a shared cell.
  TColorGridSeries r(nullptr);
  r.AddXYZ(0.4, 1, 0.5);
  r.AddXYZ(0.6, 2, 1.5);
  r.AddXYZ(1.4, 3, 1.5);
  r.PrepareForDraw();
  EXPECT_EQ(r.NumXValues(), 2);
  EXPECT_EQ(r.NumZValues(), 3);  // 0.5 -> 0, 1.5 -> 2
  EXPECT_EQ(r.GridIndexAt(1, 1), 0);
  EXPECT_EQ(r.GridIndexAt(2, 3), 2);

  TColorGridSeries g(nullptr);
  g.SetIrregularGrid(true);
  for (double x : {3.5, 1.25, 3.5, 2.0}) g.AddXYZ(x, 0, 1);
  g.PrepareForDraw();
  EXPECT_EQ(g.NumXValues(), 3);
  EXPECT_EQ(g.GridIndexAt(1, 1), 1);
  EXPECT_EQ(g.GridIndexAt(3, 1), 2);

  EXPECT_THROW(g.GetZValue(4), ERangeError);
  EXPECT_EQ(g.GetZValue(3), 1);
}

TEST(GridSeries, GeneratedValuesRunXFastest) {
  TColorGridSeries s(nullptr);
  s.AddXYZ(1, 1, 1);
  s.SetNumXValues(4);  // no height function: cleared and left empty
  EXPECT_EQ(s.PointCount(), 0);
  s.OnGetYValue = [](TChartSeries*, int32_t X, int32_t Z) { return 10.0 * X + Z; };
  s.CreateValues(2, 3);
  ASSERT_EQ(s.PointCount(), 6);
  const double xs[] = {1, 2, 1, 2, 1, 2}, zs[] = {1, 1, 2, 2, 3, 3};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(s.XValues()->Value(i), xs[i]);
    EXPECT_EQ(s.GetZValue(i), zs[i]);
    EXPECT_EQ(s.YValues()->Value(i), 10 * xs[i] + zs[i]);
  }
}

// The mask window's layout: rows of different length, cells coloured 0/1/2 through three steps.
struct MaskChart : TSeriesChart {
  TColorGridSeries* S;
  MaskChart() {
    Chart.SetColor(kGreen);
    S = Add<TColorGridSeries>();
    S->Pen()->SetVisible(false);
    S->SetCenteredPoints(true);
    const int lengths[] = {5, 3, 4};
    for (int z = 1; z <= 3; ++z)
      for (int x = 1; x <= lengths[z - 1]; ++x) S->AddXYZPoint(x, (x + z) % 3, z, "", clDefault);
    S->SetUsePalette(true);
    S->SetUseColorRange(false);
    S->ClearPaletteEntries();
    S->AddPaletteEntry(0.5, kWhite);
    S->AddPaletteEntry(1.5, kNavy);
    S->AddPaletteEntry(2.5, kBlue);
  }
  TColor Cell(double X, double Z) { return At(this->X(X), Y(Z)); }
};

TEST(ColorGridSeries, CellsTakeTheirValuesColourAndEmptyCellsShowTheBackground) {
  MaskChart m;
  m.Render();
  EXPECT_DOUBLE_EQ(m.S->LowestX(), 0.5);
  EXPECT_DOUBLE_EQ(m.S->HighestX(), 5.5);
  EXPECT_DOUBLE_EQ(m.S->HighestY(), 3.5);
  const TColor byValue[] = {kWhite, kNavy, kBlue};
  const int lengths[] = {5, 3, 4};
  const TColor back = m.Cell(5, 2);
  EXPECT_NE(back, kWhite);  // beyond a row's end the background shows
  EXPECT_NE(back, kNavy);
  EXPECT_NE(back, kBlue);
  for (int z = 1; z <= 3; ++z)
    for (int x = 1; x <= 5; ++x) {
      // White is the bitmap's transparent colour once any cell is empty: white cells show the back too.
      const TColor value = byValue[(x + z) % 3];
      const TColor want = x <= lengths[z - 1] && value != kWhite ? value : back;
      EXPECT_EQ(m.Cell(x, z), want) << x << "," << z;
      // Cells span value +/- 0.5 with centred points.
      if (x <= lengths[z - 1]) {
        EXPECT_EQ(m.Cell(x - 0.4, z + 0.4), want) << x << "," << z;
      }
    }
}

TEST(ColorGridSeries, InvertedAxisAndOffCentreCellsKeepTheirPlace) {
  MaskChart m;
  m.S->SetCenteredPoints(false);
  m.Chart.LeftAxis()->SetInverted(true);
  m.Render();
  EXPECT_DOUBLE_EQ(m.S->LowestX(), 1);
  EXPECT_DOUBLE_EQ(m.S->HighestX(), 6);
  // Cell (x, z) spans x..x+1 and z..z+1, whichever way the axis runs.
  EXPECT_EQ(m.Cell(1.5, 1.5), kBlue);  // (1, 1): value 2
  EXPECT_EQ(m.Cell(1.5, 3.5), kNavy);  // (1, 3): value 1, drawn at the bottom
  EXPECT_GT(m.Y(3.5), m.Y(1.5));
  EXPECT_EQ(m.Cell(4.5, 1.5), kBlue);  // (4, 1): value 2
}

TEST(ColorGridSeries, ClicksFindTheirCell) {
  MaskChart m;
  m.Render();
  auto at = [&](double X, double Z) { return m.S->PointIndexAt(m.X(X), m.Y(Z)); };
  EXPECT_EQ(at(1, 1), 0);
  EXPECT_EQ(at(3.3, 1), 2);
  EXPECT_EQ(at(2, 2), 6);
  EXPECT_EQ(at(5, 2), -1);    // empty cell
  EXPECT_EQ(at(1, 3.6), -1);  // above the grid
  EXPECT_EQ(at(0.2, 1), -1);
}

TEST(ColorGridSeries, StreamsAndReadsBack) {
  TColorGridSeries s(nullptr);
  s.SetCenteredPoints(true);
  s.SetXGridEvery(3);
  s.SetUseColorRange(false);
  s.SetStartColor(kBlue);
  s.AddXYZ(1, 7, 2);
  s.AddXYZ(2, 8, 5);
  const std::string text = ComponentToText(&s);
  TColorGridSeries r(nullptr);
  TextToComponent(text, &r);
  EXPECT_TRUE(r.CenteredPoints());
  EXPECT_EQ(r.XGridEvery(), 3);
  EXPECT_FALSE(r.UseColorRange());
  EXPECT_EQ(r.StartColor(), kBlue);
  ASSERT_EQ(r.PointCount(), 2);
  EXPECT_EQ(r.GetZValue(1), 5);
  EXPECT_EQ(r.YValues()->Value(0), 7);
}

TEST(ExtraSeries, RegisterOnceOnTheirGalleryPages) {
  InitExtraSeries();
  InitExtraSeries();
  TGraphSeriesTypes* list = GraphSeriesTypesList();
  ASSERT_NE(list, nullptr);
  int grids = 0;
  for (int i = 0; i < list->Count(); ++i) grids += (*list)[i]->SeriesClass == TColorGridSeries::StaticClass();
  EXPECT_EQ(grids, 1);
  TGraphSeriesType* arrow = list->FindSeriesType(TArrowSeries::StaticClass());
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(arrow->NumGallerySeries, 2);
  EXPECT_EQ(*arrow->Description, "Arrow");
  EXPECT_EQ(*list->FindSeriesType(TColorGridSeries::StaticClass())->GalleryPage, "3D");
  DoneExtraSeries();
  EXPECT_EQ(list->FindSeriesType(TArrowSeries::StaticClass()), nullptr);
}

TEST(ColorGridSeries, ThreeDimensionalChartsPaintTheCellsOnTheirPlane) {
  MaskChart m;
  m.Chart.SetView3D(true);
  m.Render();
  EXPECT_GT(m.Count(kNavy, TRect(0, 0, m.Chart.Width(), m.Chart.Height())), 100);
  EXPECT_GT(m.Count(kBlue, TRect(0, 0, m.Chart.Width(), m.Chart.Height())), 100);
}

TEST(ColorGridSeries, IrregularGridsPaintAndClickTheirCellsWhateverTheOrderOfThePoints) {
  TSeriesChart c;
  auto* s = c.Add<TColorGridSeries>();
  s->Pen()->SetVisible(false);
  s->SetIrregularGrid(true);
  s->SetUseColorRange(false);
  s->SetUsePalette(true);
  s->ClearPaletteEntries();
  s->AddPaletteEntry(0.5, kNavy);
  s->AddPaletteEntry(1.5, kBlue);
  // X fastest, uneven steps: cells 0..1, 1..4 wide and 0..2, 2..3 high; the last X and Z close them.
  const double xs[] = {0, 1, 4}, zs[] = {0, 2, 3};
  for (double z : zs)
    for (double x : xs) s->AddXYZ(x, x == 1 ? 1 : 0, z);
  c.Axes(-1, 5, -1, 4);
  c.Render();
  EXPECT_EQ(c.At(c.X(0.5), c.Y(1)), kNavy);
  EXPECT_EQ(c.At(c.X(3), c.Y(1)), kBlue);
  EXPECT_EQ(c.At(c.X(3), c.Y(2.5)), kBlue);
  EXPECT_EQ(c.At(c.X(4.5), c.Y(1)), clWhite);       // the far edge has no cell
  EXPECT_EQ(s->PointIndexAt(c.X(3), c.Y(2.5)), 4);  // (1, 2)
  EXPECT_EQ(s->PointIndexAt(c.X(0.5), c.Y(1)), 0);  // (0, 0)
  EXPECT_EQ(s->PointIndexAt(c.X(4.5), c.Y(1)), -1);
}
