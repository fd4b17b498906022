#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "chart/engine/tool_base.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"

namespace {

// An axis of a chart placed on a stretch of pixels with a fixed range.
struct TPlacedAxis {
  TChart Chart{nullptr};
  TChartAxis* Axis;
  TPlacedAxis(bool Horizontal, double Min, double Max, int Start, int End, bool Log = false, bool Inverted = false)
      : Axis(Horizontal ? Chart.BottomAxis() : Chart.LeftAxis()) {
    Axis->SetMinimumMaximum(Min, Max);
    if (Log) Axis->SetLogarithmic(true);
    Axis->SetInverted(Inverted);
    Axis->ResetScaleFromRange();
    Axis->StartPixel = Start;
    Axis->EndPixel = End;
    Axis->RecalcLengthAndCenter();
  }
};

}  // namespace

TEST(AxisScaling, ValueToPixelTable) {
  struct Case {
    bool Horizontal, Log, Inverted;
    double Min, Max;
    int Start, End;
    double Value;
    int Pixel;
  };
  const Case cases[] = {
      {true, false, false, 0, 100, 50, 450, 25, 150},
      {false, false, false, 0, 100, 50, 450, 25, 350},
      {true, false, true, 0, 100, 50, 450, 25, 350},
      {false, false, true, 0, 100, 50, 450, 25, 150},
      {true, false, false, 0, 100, 50, 450, 0, 50},
      {true, false, false, 0, 100, 50, 450, 100, 450},
      {true, false, false, 0, 100, 50, 450, 1e300, 67108863},  // clamped far outside
      {true, false, false, 0, 100, 50, 450, -1e300, -67108863},
      {true, true, false, 1, 1000, 0, 300, 10, 100},  // one third of the way
      {false, true, false, 1, 1000, 0, 300, 10, 200},
      {true, true, false, 1, 1000, 0, 300, 0, 0},  // non-positive: the minimum's end
      {true, true, true, 1, 1000, 0, 300, -5, 300},
      {false, true, false, 1, 1000, 0, 300, -5, 300},
      {true, false, false, 7, 7, 50, 450, 123, 250},  // empty range: centre
  };
  for (const Case& c : cases) {
    TPlacedAxis p(c.Horizontal, c.Min, c.Max, c.Start, c.End, c.Log, c.Inverted);
    if (c.Min == c.Max) {
      // SetMinimumMaximum widens an empty range; force it empty again.
      p.Axis->ScaleMaximum = p.Axis->ScaleMinimum = c.Min;
      p.Axis->RecalcScales();
    }
    EXPECT_EQ(p.Axis->ValueToPixel(c.Value), c.Pixel)
        << c.Value << " on " << c.Min << ".." << c.Max << (c.Log ? " log" : "") << (c.Inverted ? " inverted" : "");
  }
}

TEST(AxisScaling, BatchConversionGivesTheSamePixels) {
  // Every kind of axis, and values that land on half pixels, outside the pixel limit, NaN and
  // infinities, in blocks of odd and even length.
  std::vector<double> values = {0, 25, 100, -3, 1e300, -1e300, NAN, INFINITY, -INFINITY, 1e-300, 10, 1000, -5};
  for (int i = 0; i <= 400; ++i) values.push_back(i * 0.125);  // 0.125 is half a pixel here
  struct Axis {
    bool Horizontal, Log, Inverted;
    double Min, Max;
  };
  for (const Axis& a :
       {Axis{true, false, false, 0, 100}, Axis{false, false, false, 0, 100}, Axis{true, false, true, 0, 100},
        Axis{false, false, true, -3, 97}, Axis{true, true, false, 1, 1000}, Axis{false, true, true, 1, 1000}}) {
    TPlacedAxis p(a.Horizontal, a.Min, a.Max, 50, 450, a.Log, a.Inverted);
    for (size_t n : {values.size(), values.size() - 1, size_t{1}}) {
      std::vector<int32_t> got(n);
      p.Axis->ValuesToPixels(values.data(), got.data(), n);
      for (size_t i = 0; i < n; ++i)
        ASSERT_EQ(got[i], p.Axis->ValueToPixel(values[i]))
            << values[i] << (a.Log ? " log" : "") << (a.Inverted ? " inverted" : "");
    }
  }
}

TEST(AxisScaling, PixelToValueIsTheInverseWithinAPixel) {
  for (bool horizontal : {true, false})
    for (bool inverted : {false, true})
      for (bool log : {false, true}) {
        TPlacedAxis p(horizontal, log ? 0.01 : -37.5, log ? 5e4 : 912.25, 31, 731, log, inverted);
        for (int px = 31; px <= 731; px += 7) {
          const double v = p.Axis->PixelToValue(px);
          EXPECT_NEAR(p.Axis->ValueToPixel(v), px, 1) << horizontal << inverted << log;
        }
        // Values round-trip to within the value of one pixel.
        const double step = log ? 0 : (912.25 + 37.5) / 700;
        for (double v : {-37.5, 0.0, 100.0, 500.5, 912.25})
          if (!log) {
            EXPECT_NEAR(p.Axis->PixelToValue(p.Axis->ValueToPixel(v)), v, step);
          }
      }
  TPlacedAxis empty(true, 5, 5, 10, 10);
  EXPECT_EQ(empty.Axis->PixelToValue(10), 0);  // no length: 0
}

TEST(AxisScaling, RangeSettersAndTheirErrors) {
  TChart chart(nullptr);
  TChartAxis* a = chart.LeftAxis();
  a->SetMinimumMaximum(5, 5);
  EXPECT_EQ(a->Minimum(), 5);
  EXPECT_DOUBLE_EQ(a->Maximum(), 5.0000000001);
  EXPECT_FALSE(a->Automatic());
  a->SetMinimumMaximum(10, 0);
  EXPECT_EQ(a->Minimum(), 0);
  EXPECT_EQ(a->Maximum(), 10);

  struct Case {
    std::function<void()> Set;
    std::string Message;
  };
  const Case cases[] = {
      {[&] { a->SetMinimum(11); }, "Axis Minimum Value must be <= Maximum"},
      {[&] { a->SetMaximum(-1); }, "Axis Maximum Value must be >= Minimum"},
      {[&] { a->SetIncrement(-1); }, "Axis increment must be >= 0"},
      {[&] { a->SetIncrement(std::nan("")); }, "Axis increment must be >= 0"},
      {[&] { a->SetLogarithmicBase(1); }, "Axis Logarithmic Base should be <> 1 and > 0"},
      {[&] { a->SetLogarithmicBase(0); }, "Axis Logarithmic Base should be <> 1 and > 0"},
      {[&] { a->SetLabelsSeparation(-1); }, "Labels Separation % must be greater than 0"},
  };
  for (const Case& c : cases) {
    try {
      c.Set();
      ADD_FAILURE() << "no exception for " << c.Message;
    } catch (const AxisException& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
  // The failed setters kept the old values.
  EXPECT_EQ(a->Minimum(), 0);
  EXPECT_EQ(a->Maximum(), 10);
  EXPECT_EQ(a->Increment(), 0);
  EXPECT_EQ(a->LogarithmicBase(), 10);

  // A logarithmic axis over a negative range is refused; 0 is accepted.
  a->SetMinimumMaximum(-5, 10);
  EXPECT_THROW(a->SetLogarithmic(true), AxisException);
  EXPECT_FALSE(a->Logarithmic());
  a->SetMinimumMaximum(0, 10);
  a->SetLogarithmic(true);
  EXPECT_TRUE(a->Logarithmic());

  // While the chart reads a stream the two ends are accepted in any order.
  chart.SetComponentState(csReading, true);
  a->SetMinimum(50);
  EXPECT_EQ(a->Minimum(), 50);
  chart.SetComponentState(csReading, false);
}

TEST(AxisScaling, AutomaticFlagsFollowEachOther) {
  TChart chart(nullptr);
  TChartAxis* a = chart.BottomAxis();
  a->SetAutomaticMinimum(false);
  EXPECT_FALSE(a->Automatic());
  a->SetAutomaticMinimum(true);
  EXPECT_TRUE(a->Automatic());
  a->SetAutomatic(false);
  EXPECT_FALSE(a->AutomaticMinimum());
  EXPECT_FALSE(a->AutomaticMaximum());
  a->SetZPosition(0);
  EXPECT_DOUBLE_EQ(a->ZPosition(), 0.01);
  a->SetLabelsAngle(-450);
  EXPECT_EQ(a->LabelsAngle(), -90);
}

TEST(AxisScaling, NextNiceStepTable) {
  const std::pair<double, double> cases[] = {{1, 2},   {2, 5},       {4.9, 5},   {5, 10},          {7, 10},
                                             {10, 20}, {0.03, 0.05}, {0.3, 0.5}, {1e300 * 1e10, 1}};
  for (auto [in, out] : cases) EXPECT_NEAR(TChartAxis::NextNiceStep(in), out, out * 1e-12) << in;
}

TEST(AxisScaling, LabelIncrementNeverCrowdsTheLabels) {
  // Range 0..1, room for 5 labels: 1/6 grows to the nice step 0.2.
  TPlacedAxis p(true, 0, 1, 0, 600);
  EXPECT_NEAR(p.Axis->CalcValueIncrement(5), 0.2, 1e-12);
  // A fixed increment is kept while it fits, grown when too many labels would result.
  p.Axis->SetIncrement(0.25);
  EXPECT_NEAR(p.Axis->CalcValueIncrement(5), 0.25, 1e-12);
  p.Axis->SetIncrement(0.01);
  const double inc = p.Axis->CalcValueIncrement(5);
  EXPECT_LE(std::nearbyint(1.0 / inc), 5);
  // Separation 0 keeps the raw step.
  p.Axis->SetIncrement(0);
  p.Axis->SetLabelsSeparation(0);
  EXPECT_NEAR(p.Axis->CalcValueIncrement(5), 1.0 / 6, 1e-12);
  // The full computation from the label font: labels never overlap.
  p.Axis->SetLabelsSeparation(10);
  p.Chart.Canvas->AssignFont(p.Axis->LabelsFont());
  for (double max : {1.0, 7.0, 1234.5, 1e6}) {
    p.Axis->SetMinimumMaximum(0, max);
    p.Axis->ResetScaleFromRange();
    const double step = p.Axis->CalcLabelIncrement();
    const double count = max / step;
    const int widest = std::max(p.Axis->LabelSizeAlongAxis(true, 0), p.Axis->LabelSizeAlongAxis(true, max));
    EXPECT_LE(count * widest, 600.0 + widest) << max;
  }
}

TEST(AxisScaling, DateTimeIncrementClimbsTheStepTable) {
  // Two days with room for 10 labels: 6 hours.
  TPlacedAxis p(true, 0, 2, 0, 800);
  p.Axis->DateTimeAxis = true;
  EXPECT_NEAR(p.Axis->CalcIncrement(10), 0.25, 1e-9);
  EXPECT_GT(p.Axis->CalcIncrement(0), 0);
  // A huge range does not spin: the step doubles past a year.
  p.Axis->ScaleMaximum = 365.0 * 5000;
  p.Axis->RecalcScales();
  EXPECT_LE(std::nearbyint(p.Axis->ScaleRange / p.Axis->CalcIncrement(10)), 10);
}

TEST(AxisScaling, ShiftRangeAndDepthAxes) {
  TChart chart(nullptr);
  TChartAxis* a = chart.LeftAxis();
  a->SetMinimumMaximum(0, 100);
  a->ShiftRange(1, true);  // no series beyond the maximum: nothing moves
  EXPECT_EQ(a->Maximum(), 100);
  a->ShiftRange(3, false);
  EXPECT_EQ(a->Minimum(), 3);
  EXPECT_EQ(a->Maximum(), 103);
  chart.DepthAxis()->SetInverted(true);
  EXPECT_TRUE(chart.DepthTopAxis()->Inverted());
  chart.DepthTopAxis()->SetInverted(false);
  EXPECT_FALSE(chart.DepthAxis()->Inverted());
}

TEST(AxisScaling, CustomAxisJoinsTheChart) {
  TChart chart(nullptr);
  EXPECT_EQ(chart.AxisCount(), 6);
  auto* custom = new TChartAxis(chart.CustomAxes());
  EXPECT_EQ(custom->ParentChart, &chart);
  EXPECT_EQ(chart.AxisCount(), 7);
  EXPECT_EQ(chart.AxisAt(6), custom);
  custom->SetHorizontal(true);
  custom->SetMinimumMaximum(0, 10);
  custom->ResetScaleFromRange();
  custom->StartPixel = 0;
  custom->EndPixel = 100;
  custom->RecalcLengthAndCenter();
  EXPECT_EQ(custom->ValueToPixel(5), 50);
  delete custom;
  EXPECT_EQ(chart.AxisCount(), 6);
  EXPECT_EQ(chart.GetAxisDisplayName(chart.RightAxis()), "Right Axis");
}
