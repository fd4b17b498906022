// The basic functions: sums, extremes, averages, medians and modes over ranges of one source and
// point by point over several, the folds, the event-driven function and their gallery entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/series/functions_basic.h"
#include "functions_testkit.h"

namespace {

class BasicFunctions : public ::testing::Test {
protected:
  TComponent Owner{nullptr};
  TFnSeries* Src = new TFnSeries(&Owner);
  TFnSeries* Dst = new TFnSeries(&Owner);
  TFnSeries* Series(const std::vector<double>& Values) {
    auto* s = new TFnSeries(&Owner);
    FillSeries(s, Values);
    return s;
  }
};

// Textbook references, written as plain loops over a copy of the data.
double RefMedian(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}
double RefMode(std::vector<double> v) {
  double best = 0;
  size_t bestCount = 0;
  for (double a : v) {
    const size_t c = static_cast<size_t>(std::count(v.begin(), v.end(), a));
    if (c > bestCount || (c == bestCount && a < best)) {
      best = a;
      bestCount = c;
    }
  }
  return best;
}

}  // namespace

TEST_F(BasicFunctions, SingleSourceRangesMatchDirectLoops) {
  const std::vector<double> v{4, -2, 7, 7, 1, 9, 3, 3, 3, -6, 5};
  FillSeries(Src, v);
  TAddGraphFunction add(nullptr);
  THighGraphFunction high(nullptr);
  TLowGraphFunction low(nullptr);
  TAverageGraphFunction avg(nullptr);
  TMedianGraphFunction med(nullptr);
  TModeGraphFunction mode(nullptr);
  struct Range {
    int First, Last;
  };
  for (Range r : {Range{-1, -1}, Range{0, 0}, Range{2, 5}, Range{1, 10}, Range{6, 9}, Range{3, 6}}) {
    const int f = r.First < 0 ? 0 : r.First, l = r.Last < 0 ? static_cast<int>(v.size()) - 1 : r.Last;
    std::vector<double> part(v.begin() + f, v.begin() + l + 1);
    double sum = 0, hi = part[0], lo = part[0];
    for (double x : part) {
      sum += x;
      hi = std::max(hi, x);
      lo = std::min(lo, x);
    }
    SCOPED_TRACE(testing::Message() << r.First << ".." << r.Last);
    EXPECT_DOUBLE_EQ(add.ComputeValue(Src, r.First, r.Last), sum);
    EXPECT_EQ(high.ComputeValue(Src, r.First, r.Last), hi);
    EXPECT_EQ(low.ComputeValue(Src, r.First, r.Last), lo);
    EXPECT_DOUBLE_EQ(avg.ComputeValue(Src, r.First, r.Last), sum / static_cast<double>(part.size()));
    EXPECT_DOUBLE_EQ(med.ComputeValue(Src, r.First, r.Last), RefMedian(part));
    EXPECT_EQ(mode.ComputeValue(Src, r.First, r.Last), RefMode(part));
  }
  // Empty ranges give 0.
  EXPECT_EQ(add.ComputeValue(Src, 3, 2), 0);
  EXPECT_EQ(high.ComputeValue(Src, 3, 2), 0);
  EXPECT_EQ(med.ComputeValue(Src, 3, 2), 0);
  TFnSeries empty(nullptr);
  EXPECT_EQ(avg.ComputeValue(&empty, -1, -1), 0);
  EXPECT_EQ(mode.ComputeValue(&empty, -1, -1), 0);
}

TEST_F(BasicFunctions, ModeAndMedianCases) {
  struct Case {
    std::vector<double> Values;
    double Mode, Median;
  };
  const Case cases[] = {
      {{1, 2, 2, 3, 3}, 2, 2},      {{5, 7, 9}, 5, 7}, {{9, 7, 5, 5, 1, 3}, 5, 5}, {{42}, 42, 42},
      {{-1, -1, 4, 4, 4, 0}, 4, 2},
  };
  TModeGraphFunction mode(nullptr);
  TMedianGraphFunction med(nullptr);
  for (const Case& c : cases) {
    FillSeries(Src, c.Values);
    EXPECT_EQ(mode.ComputeValue(Src, -1, -1), c.Mode);
    EXPECT_EQ(med.ComputeValue(Src, -1, -1), c.Median);
  }
}

TEST_F(BasicFunctions, NullPointsCountOnlyWhenIncluded) {
  Src->AddXY(0, 2);
  Src->AddNullPoint(1, 100);
  Src->AddXY(2, 4);
  TAverageGraphFunction avg(nullptr);
  EXPECT_DOUBLE_EQ(avg.ComputeValue(Src, -1, -1), 106.0 / 3);
  avg.SetIncludeNulls(false);
  EXPECT_EQ(avg.ComputeValue(Src, -1, -1), 3);
  EXPECT_EQ(avg.ComputeValue(Src, 1, 1), 0);  // only a null point: nothing counted
  TMedianGraphFunction med(nullptr);
  EXPECT_EQ(med.ComputeValue(Src, -1, -1), 4);
  med.SetIncludeNulls(false);
  EXPECT_EQ(med.ComputeValue(Src, -1, -1), 3);
}

TEST_F(BasicFunctions, ManySourcesCombinePointByPoint) {
  TDataSourcesList list(nullptr);
  auto* a = Series({10, 6, 8});
  auto* b = Series({0, 3});
  auto* c = Series({4, 2, 2});
  for (auto* s : {a, b, c}) list.Append(s);
  struct Case {
    TGraphFunction* F;
    std::vector<double> Expected;  // per index, from the values written out by hand
  };
  TAddGraphFunction add(nullptr);
  TSubtractGraphFunction sub(nullptr);
  TMultiplyGraphFunction mul(nullptr);
  TDivideGraphFunction div(nullptr);
  THighGraphFunction high(nullptr);
  TLowGraphFunction low(nullptr);
  TAverageGraphFunction avg(nullptr);
  TMedianGraphFunction med(nullptr);
  const Case cases[] = {
      {&add, {10 + 0 + 4, 6 + 3 + 2, 8 + 2}},
      {&sub, {10 - 0 - 4, 6 - 3 - 2, 8 - 2}},
      {&mul, {0, 36, 16}},
      {&div, {10.0 / 4, 6.0 / 3 / 2, 4}},  // a zero divisor is skipped
      {&high, {10, 6, 8}},
      {&low, {0, 2, 2}},
      {&avg, {14.0 / 3, 11.0 / 3, 5}},
      {&med, {4, 3, 5}},
  };
  for (const Case& c : cases)
    for (int i = 0; i < 3; ++i)
      EXPECT_DOUBLE_EQ(c.F->ComputeManyValue(&list, i), c.Expected[static_cast<size_t>(i)]) << i;
  // The first source lacking the index leaves the running extreme at 0.
  TDataSourcesList l2(nullptr);
  auto* one = Series({1});
  auto* m3 = Series({9, -3});
  auto* m5 = Series({9, -5});
  for (auto* s : {one, m3, m5}) l2.Append(s);
  EXPECT_EQ(high.ComputeManyValue(&l2, 1), 0);
  EXPECT_EQ(low.ComputeManyValue(&l2, 1), -5);
  TDataSourcesList none(nullptr);
  for (TGraphFunction* f : {static_cast<TGraphFunction*>(&add), static_cast<TGraphFunction*>(&sub),
                            static_cast<TGraphFunction*>(&avg), static_cast<TGraphFunction*>(&med)})
    EXPECT_EQ(f->ComputeManyValue(&none, 0), 0);
}

TEST_F(BasicFunctions, ParentSeriesRecomputesOncePerSourceChange) {
  auto* f = new TAverageGraphFunction(&Owner);
  f->InternalSetPeriod(2);
  Dst->AttachFunction(f);
  Dst->AddDataSourceInternal(Src);
  Dst->Rebuilds = 0;
  FillSeries(Src, {1, 3, 5, 7, 9});
  EXPECT_EQ(Dst->Rebuilds, 1);
  // Periods of two points (the last one short of a full period is left out), centred.
  EXPECT_EQ(YsOf(Dst), (std::vector<double>{2, 6}));
  EXPECT_EQ(XsOf(Dst), (std::vector<double>{0.5, 2.5}));
  Src->YValues()->SetValue(0, 5);
  EXPECT_EQ(Dst->Rebuilds, 2);
  EXPECT_EQ(YsOf(Dst), (std::vector<double>{4, 6}));
}

TEST_F(BasicFunctions, CustomFunctionSamplesItsHandler) {
  auto* f = new TCustomGraphFunction(&Owner);
  Dst->AttachFunction(f);
  f->BeginUpdate();
  f->SetNumPoints(3);
  f->SetStartX(1);
  f->SetPeriod(0.5);
  f->OnCalculate = [](TCustomGraphFunction*, double X, double& Y) { Y = X * X; };
  f->EndUpdate();
  f->CalculateFromSource(nullptr);  // without a chart the series is refreshed by hand
  EXPECT_EQ(XsOf(Dst), (std::vector<double>{1, 1.5, 2}));
  EXPECT_EQ(YsOf(Dst), (std::vector<double>{1, 2.25, 4}));
  f->SetNumPoints(0);
  f->CalculateFromSource(nullptr);
  EXPECT_EQ(Dst->PointCount(), 0);
  std::string editor;
  f->GetEditorClassName(editor);
  EXPECT_EQ(editor, "TCustomFunctionEditor");
}

TEST(BasicFunctionGallery, RegisteredOnTheStandardPage) {
  RegisterBasicFunctions();
  const auto page = GraphSeriesTypesList()->TypesOfPage("Standard");
  std::vector<std::string> names;
  for (auto* t : page)
    if (t->FunctionClass) {
      names.push_back(t->DescriptionText());
      EXPECT_EQ(t->NumGallerySeries, 2);
    }
  EXPECT_EQ(names, (std::vector<std::string>{"Add", "Subtract", "Multiply", "Divide", "High", "Low", "Average",
                                             "y = f(x)", "Median", "Mode"}));
  UnregisterBasicFunctions();
  EXPECT_TRUE(GraphSeriesTypesList()->TypesOfPage("Standard").empty());
}

TEST_F(BasicFunctions, ValuesThatAreNotNumbersStayOutOfResults) {
  FillSeries(Src, {1, std::nan(""), 3, 4});
  for (TGraphFunction* f : {static_cast<TGraphFunction*>(new TAddGraphFunction(&Owner)),
                            static_cast<TGraphFunction*>(new TAverageGraphFunction(&Owner)),
                            static_cast<TGraphFunction*>(new TMedianGraphFunction(&Owner)),
                            static_cast<TGraphFunction*>(new THighGraphFunction(&Owner))}) {
    for (double period : {0.0, 2.0}) {
      f->InternalSetPeriod(period);
      Dst->AttachFunction(f);
      Dst->ClearValues();
      f->CalculateFromSource(Src);
      EXPECT_EQ(Dst->PointCount(), 0) << f->ClassName() << " " << period;
    }
  }
  // A handler that has no value for some X: those points are left out.
  auto* c = new TCustomGraphFunction(&Owner);
  c->SetNumPoints(4);
  c->OnCalculate = [](TCustomGraphFunction*, double X, double& Y) { Y = X == 1 ? std::log(-1.0) : 1 / (X - 2); };
  Dst->AttachFunction(c);
  Dst->ClearValues();
  c->CalculateFromSource(nullptr);
  EXPECT_EQ(XsOf(Dst), (std::vector<double>{0, 3}));
}
