// Point and figure: X and O columns from prices the test boxes itself, reversals that are one box
// short, new lows under one box, and a box larger than the first point's range.
#include <gtest/gtest.h>

#include <vector>

#include "chart/engine/series_pointer.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/point_figure_series.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
struct Symbol {
  int Column;
  double Value;
  bool Up;
};

// The columns as a chartist boxes them by hand: a run starts where the price turned (the new low,
// or one box above the last high) and climbs box by box.
std::vector<Symbol> BoxByHand(const std::vector<std::pair<double, double>>& HighLow, double Box, double Reversal) {
  std::vector<Symbol> out;
  auto run = [&](int Column, double From, double To, bool Up) {
    int k = 0;
    do out.push_back({Column, From + k * Box, Up});
    while (From + ++k * Box <= To);
  };
  int column = 0;
  bool up = false;
  double low = HighLow[0].second, high = HighLow[0].first;
  run(0, low, high, false);
  for (size_t i = 1; i < HighLow.size(); ++i) {
    const auto [h, l] = HighLow[i];
    if (!up && l <= low - Box) {
      run(column, l, low - Box, false);
      low = l;
    } else if (!up && h >= low + Reversal * Box) {
      run(++column, low + Box, h, true);
      up = true;
      high = h;
    } else if (up && h >= high + Box) {
      run(column, high + Box, h, true);
      high = h;
    } else if (up && l <= high - Reversal * Box) {
      run(++column, l, high - Box, false);
      up = false;
      low = l;
    }
  }
  return out;
}

struct FigureChart : TSeriesChart {
  TPointFigureSeries* S;
  FigureChart() : TSeriesChart(false, 400, 400) {
    S = Add<TPointFigureSeries>();
    S->UpSymbol()->Pen()->SetColor(clGreen);
    S->DownSymbol()->Brush()->SetColor(clRed);
    Axes(-1, 5, 0, 15);
  }
  void Prices(const std::vector<std::pair<double, double>>& HL) {
    for (size_t i = 0; i < HL.size(); ++i) S->AddOHLCPoint(i, HL[i].second, HL[i].first, HL[i].second, HL[i].first);
  }
};
}  // namespace

TEST(PointFigureSeries, ColumnsMatchTheBoxesCountedByHand) {
  const std::vector<std::vector<std::pair<double, double>>> series = {
      {{10, 7}},
      {{10, 7}, {9, 5}, {7, 6}, {8, 6}, {8.5, 7}, {12, 9}, {11, 8.5}, {10, 8}, {9, 6}},
      {{10, 7}, {9.5, 6.5}, {9.9, 6.2}, {8.9, 6.1}},  // lows less than a box down, a rise one box short
  };
  for (const auto& hl : series) {
    FigureChart c;
    c.Prices(hl);
    c.Render();
    const std::vector<Symbol> expected = BoxByHand(hl, 1, 3);
    int columns = 0;
    for (const Symbol& s : expected) {
      columns = std::max(columns, s.Column + 1);
      EXPECT_EQ(c.At(c.X(s.Column), c.Y(s.Value)), s.Up ? clGreen : clRed) << s.Column << " " << s.Value;
    }
    EXPECT_EQ(c.S->CalcColumns(false), columns);
    EXPECT_EQ(c.S->HighestX(), columns - 1);
  }
  // One point 10 / 7: down symbols at 7, 8, 9 and 10 only.
  FigureChart one;
  one.Prices({{10, 7}});
  one.Render();
  EXPECT_EQ(one.At(one.X(0), one.Y(11)), clWhite);
  EXPECT_EQ(one.At(one.X(0), one.Y(6)), clWhite);
}

TEST(PointFigureSeries, ABoxLargerThanTheRangeStillDrawsOneSymbolAndBadBoxesEnd) {
  FigureChart c;
  c.S->SetBoxSize(20);
  c.Prices({{10, 7}});
  c.Render();
  EXPECT_EQ(c.At(c.X(0), c.Y(7)), clRed);
  for (double box : {0.0, -1.0}) {
    c.S->SetBoxSize(box);
    c.Render();  // ends, with a symbol at the low
    EXPECT_EQ(c.At(c.X(0), c.Y(7)), clRed);
  }
  TPointFigureSeries empty(nullptr);
  EXPECT_EQ(empty.CalcColumns(false), 0);
  EXPECT_EQ(empty.LegendEntryCount(), 2);
}
