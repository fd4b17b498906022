// Count, cumulative, CLV, OBV, CCI and PVO against their definitions computed by direct loops.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/indicator_functions.h"
#include "chart/series/financial_series.h"
#include "chart/series/line_series.h"
#include "chart/series/testkit/series_testkit.h"

namespace {

struct TRow {
  double O, H, L, C;
};

std::vector<TRow> Rows(int N) {
  std::vector<TRow> r;
  double c = 50;
  for (int i = 0; i < N; ++i) {
    const double o = c + std::sin(i * 1.7) * 2;
    c = o + std::cos(i * 0.9) * 3 + (i % 4 == 0 ? -2 : 1);
    r.push_back({o, std::max(o, c) + 1 + (i % 3), std::min(o, c) - 1 - (i % 2), c});
  }
  return r;
}

struct TRig {
  TComponent Owner{nullptr};
  TCandleSeries* Src = new TCandleSeries(&Owner);
  TLineSeries* Dst = new TLineSeries(&Owner);
  std::vector<TRow> R;
  explicit TRig(int N = 0) { Fill(Rows(N)); }
  void Fill(const std::vector<TRow>& Rows) {
    R = Rows;
    Src->ClearValues();
    for (size_t i = 0; i < R.size(); ++i) Src->AddOHLCPoint(10.0 + i, R[i].O, R[i].H, R[i].L, R[i].C);
  }
  template <class F>
  F* Use() {
    auto* f = new F(&Owner);
    Dst->AttachFunction(f);
    return f;
  }
  void Run() { Dst->FunctionObject()->CalculateFromSource(Src); }
  std::vector<double> Ys() const {
    std::vector<double> v;
    for (int i = 0; i < Dst->PointCount(); ++i) v.push_back(Dst->YValues()->Value(i));
    return v;
  }
};

void ExpectNear(const std::vector<double>& A, const std::vector<double>& B) {
  ASSERT_EQ(A.size(), B.size());
  for (size_t i = 0; i < A.size(); ++i) EXPECT_NEAR(A[i], B[i], 1e-9 * (1 + std::fabs(B[i]))) << i;
}

}  // namespace

TEST(CountCumulative, PeriodsWholeAndManySources) {
  TComponent owner(nullptr);
  auto* src = new TLineSeries(&owner);
  auto* dst = new TLineSeries(&owner);
  for (double v : {1, 2, 3, 4, 5, 6, 7}) src->AddY(v);
  auto* count = new TCountGraphFunction(&owner);
  dst->AttachFunction(count);
  count->CalculateFromSource(src);
  ASSERT_GE(dst->PointCount(), 1);
  for (int i = 0; i < dst->PointCount(); ++i) EXPECT_EQ(dst->YValues()->Value(i), 7);
  dst->ClearValues();
  count->InternalSetPeriod(3);
  count->CalculateFromSource(src);
  ASSERT_GE(dst->PointCount(), 2);
  EXPECT_EQ(dst->YValues()->Value(0), 3);
  EXPECT_EQ(dst->YValues()->Value(1), 3);

  auto* cum = new TCumulative(&owner);
  dst->AttachFunction(cum);
  dst->ClearValues();
  cum->CalculateFromSource(src);
  std::vector<double> want, got;
  double s = 0;
  for (int i = 0; i < 7; ++i) want.push_back(s += i + 1);
  for (int i = 0; i < dst->PointCount(); ++i) got.push_back(dst->YValues()->Value(i));
  EXPECT_EQ(got, want);
  // Period 3: only the first value of each full block is added (1, 1+4); the short last block adds nothing.
  dst->ClearValues();
  cum->InternalSetPeriod(3);
  cum->CalculateFromSource(src);
  got.clear();
  for (int i = 0; i < dst->PointCount(); ++i) got.push_back(dst->YValues()->Value(i));
  EXPECT_EQ(got, (std::vector<double>{1, 5}));

  // Several sources: per index, how many have a value there, and the running total across them.
  auto* other = new TLineSeries(&owner);
  for (double v : {10, 20}) other->AddY(v);
  TDataSourcesList* sources = dst->DataSources.get();
  dst->AddDataSourceInternal(src);
  dst->AddDataSourceInternal(other);
  auto* dst2 = new TLineSeries(&owner);
  auto* count2 = new TCountGraphFunction(&owner);
  dst2->AttachFunction(count2);
  EXPECT_EQ(count2->ComputeManyValue(sources, 1), 2);
  EXPECT_EQ(count2->ComputeManyValue(sources, 5), 1);
  dst->ClearValues();
  dst->AddY(11);
  EXPECT_EQ(cum->ComputeManyValue(sources, 1), 11 + 2 + 20);
}

TEST(VolumeIndicators, CLVFromItsDefinitionWithAndWithoutVolume) {
  TRig r;
  r.Fill({{5, 10, 0, 10}, {5, 10, 0, 0}, {5, 10, 0, 5}, {5, 7, 7, 7}, {1, 9, 1, 3}});
  auto* f = r.Use<TCLVFunction>();
  f->SetAccumulate(false);
  r.Run();
  ExpectNear(r.Ys(), {1, -1, 0, 1, -0.5});
  EXPECT_EQ(r.Dst->XValues()->Value(4), 14);
  // A shorter volume series weighs only the first points; accumulation adds the last total.
  auto* vol = new TLineSeries(&r.Owner);
  for (double v : {2, 3}) vol->AddY(v);
  f->SetVolume(vol);
  f->SetAccumulate(true);
  r.Run();
  ExpectNear(r.Ys(), {2, -1, -1, 0, -0.5});
  // The volume series going away lets go of it.
  delete vol;
  EXPECT_EQ(f->Volume(), nullptr);
  r.Run();
  EXPECT_EQ(r.Dst->PointCount(), 5);
  EXPECT_FALSE(f->AcceptsSource(r.Dst));
  EXPECT_TRUE(f->AcceptsSource(r.Src));
}

TEST(VolumeIndicators, OBVStopsAtTheShorterSeries) {
  TRig r(12);
  auto* f = r.Use<TOBVFunction>();
  r.Run();
  EXPECT_EQ(r.Dst->PointCount(), 0);
  auto* vol = new TLineSeries(&r.Owner);
  for (int i = 0; i < 9; ++i) vol->AddY(100 + i * 7);
  f->SetVolume(vol);
  r.Run();
  std::vector<double> want;
  for (int i = 0; i < 9; ++i) {
    const double a = 100 + i * 7;
    want.push_back(i == 0 ? a : r.R[i].C > r.R[i].O ? want.back() + a : want.back() - a);
  }
  ExpectNear(r.Ys(), want);
}

TEST(CCI, AgainstTheFormula) {
  TRig r(60);
  auto* f = r.Use<TCCIFunction>();
  EXPECT_EQ(f->Period(), 20);
  EXPECT_EQ(f->Constant(), 0.015);
  for (double k : {0.015, 0.0, 0.1}) {
    f->SetConstant(k);
    for (int p : {1, 5, 20}) {
      f->InternalSetPeriod(p);
      r.Run();
      std::vector<double> tp, want;
      for (const TRow& w : r.R) tp.push_back((w.C + w.H + w.L) / 3);
      for (size_t i = p - 1; i < tp.size(); ++i) {
        double m = 0, d = 0;
        for (size_t b = i + 1 - p; b <= i; ++b) m += tp[b] / p;
        for (size_t b = i + 1 - p; b <= i; ++b) d += std::fabs(m - tp[b]) / p;
        if (d != 0) want.push_back((tp[i] - m) / ((k == 0 ? 1 : k) * d));
      }
      ExpectNear(r.Ys(), want);
    }
  }
  // Shorter than the period, a zero period, flat windows: nothing, never a division by zero.
  f->InternalSetPeriod(61);
  r.Run();
  EXPECT_EQ(r.Dst->PointCount(), 0);
  f->InternalSetPeriod(0);
  r.Run();
  EXPECT_EQ(r.Dst->PointCount(), 0);
  r.Fill({{1, 2, 0, 1}, {1, 2, 0, 1}, {1, 2, 0, 1}, {1, 5, 0, 4}});
  f->InternalSetPeriod(3);
  r.Run();
  ASSERT_EQ(r.Dst->PointCount(), 1);
  EXPECT_EQ(r.Dst->XValues()->Value(0), 13);
}

TEST(PVO, AgainstClosedFormAverages) {
  TRig r(40);
  auto* f = r.Use<TPVOFunction>();
  EXPECT_EQ(f->Period(), 12);
  EXPECT_EQ(f->Period2(), 26);
  auto ema = [&](double P) {
    std::vector<double> e;
    const double a = 2 / (P + 1);
    for (size_t i = 0; i < r.R.size(); ++i) {
      double s = std::pow(1 - a, double(i)) * r.R[0].C;
      for (size_t j = 1; j <= i; ++j) s += a * std::pow(1 - a, double(i - j)) * r.R[j].C;
      e.push_back(s);
    }
    return e;
  };
  for (bool pct : {true, false}) {
    f->SetPercentage(pct);
    f->SetPeriod2(9);
    f->InternalSetPeriod(4);
    r.Run();
    const auto s = ema(4), g = ema(9);
    std::vector<double> want;
    for (size_t i = 0; i < s.size(); ++i) want.push_back(100 * (pct ? (s[i] - g[i]) / s[i] : s[i] - g[i]));
    ExpectNear(r.Ys(), want);
  }
  EXPECT_ANY_THROW(f->SetPeriod2(-1));
  r.Fill({{1, 1, 1, 1}});
  r.Run();
  EXPECT_EQ(r.Dst->PointCount(), 0);
}

TEST(IndicatorFunctions, RegisteredOnTheirGalleryPages) {
  InitExtraSeries();
  auto has = [](const char* Page, TGraphFunctionClass C, const std::string& Text, int N) {
    for (auto* e : GraphSeriesTypesList()->TypesOfPage(Page))
      if (e->FunctionClass == C) return e->DescriptionText() == Text && e->NumGallerySeries == N;
    return false;
  };
  EXPECT_TRUE(has("Standard", TCountGraphFunction::StaticClass(), "Count", 2));
  EXPECT_TRUE(has("Extended", TCumulative::StaticClass(), "Cumulative", 2));
  EXPECT_TRUE(has("Financial", TCLVFunction::StaticClass(), "Close Location\rValue", 1));
  EXPECT_TRUE(has("Financial", TOBVFunction::StaticClass(), "On Balance\rVolume", 1));
  EXPECT_TRUE(has("Financial", TCCIFunction::StaticClass(), "Commodity\rChannel Index", 1));
  EXPECT_TRUE(has("Financial", TPVOFunction::StaticClass(), "Volume\rOscillator", 1));
}
