// OHLC compression by calendar and clock periods, by point counts, with volumes and shifted dates.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/compress_function.h"
#include "chart/extra/extra_series.h"
#include "chart/series/financial_series.h"
#include "chart/series/line_series.h"
#include "chart/series/testkit/series_testkit.h"
#include "platform/datetime.h"

namespace {

struct TRig {
  TComponent Owner{nullptr};
  TLineSeries* Src = new TLineSeries(&Owner);
  TCandleSeries* Dst = new TCandleSeries(&Owner);
  TCompressFunction* F = new TCompressFunction(&Owner);
  TRig() { Dst->AttachFunction(F); }
  void Run() { F->CalculateFromSource(Src); }
  std::vector<double> Col(TChartValueList* L) const {
    std::vector<double> v;
    for (int i = 0; i < L->Count(); ++i) v.push_back(L->Value(i));
    return v;
  }
};

// Groups as runs of first-point indices, computed directly from the dates.
std::vector<int> GroupStarts(const std::vector<double>& Dates, TCompressionPeriod P) {
  std::vector<int> r;
  for (size_t i = 0; i < Dates.size(); ++i) {
    if (i == 0) {
      r.push_back(0);
      continue;
    }
    uint16_t y0, m0, d0, h0, n0, s0, ms0, y1, m1, d1, h1, n1, s1, ms1;
    DecodeDateTime(Dates[i - 1], y0, m0, d0, h0, n0, s0, ms0);
    DecodeDateTime(Dates[i], y1, m1, d1, h1, n1, s1, ms1);
    bool brk = false;
    switch (P) {
      case ocMonth:
        brk = m0 != m1;
        break;
      case ocQuarter:
        brk = (m0 - 1) / 3 != (m1 - 1) / 3;
        break;
      case ocYear:
        brk = y0 != y1;
        break;
      case ocFifteenMinutes:
        brk = n0 / 15 != n1 / 15;
        break;
      case ocHour:
        brk = h0 != h1;
        break;
      default:
        break;
    }
    if (brk) r.push_back(static_cast<int>(i));
  }
  return r;
}

}  // namespace

TEST(Compression, PointBlocksMergeOpenHighLowClose) {
  TRig r;
  const std::vector<double> v{5, 7, 3, 6, 1, 9, 4, 4, 2, 8};
  for (size_t i = 0; i < v.size(); ++i) r.Src->AddXY(static_cast<double>(i), v[i], "L" + std::to_string(i));
  r.F->InternalSetPeriod(3);
  r.Run();
  ASSERT_EQ(r.Dst->PointCount(), 4);
  EXPECT_EQ(r.Col(r.Dst->OpenValues()), (std::vector<double>{5, 6, 4, 8}));
  EXPECT_EQ(r.Col(r.Dst->HighValues()), (std::vector<double>{7, 9, 4, 8}));
  EXPECT_EQ(r.Col(r.Dst->LowValues()), (std::vector<double>{3, 1, 2, 8}));
  EXPECT_EQ(r.Col(r.Dst->CloseValues()), (std::vector<double>{3, 9, 2, 8}));
  EXPECT_EQ(r.Col(r.Dst->DateValues()), (std::vector<double>{2, 5, 8, 9}));
  EXPECT_EQ(r.Dst->LabelAt(1), "L5");
  EXPECT_EQ(r.Dst->HighValues()->MaxValue(), 9);  // statistics follow the in-place changes
}

TEST(Compression, CalendarPeriodsAcrossMonthAndYearEnds) {
  // Every 13 hours from 20 November to 10 February: month, quarter and year ends inside.
  std::vector<double> dates;
  for (double d = EncodeDate(2025, 11, 20); d < EncodeDate(2026, 2, 10); d += 13.0 / 24) dates.push_back(d);
  for (TCompressionPeriod p : {ocMonth, ocQuarter, ocYear, ocHour, ocFifteenMinutes}) {
    TRig r;
    for (size_t i = 0; i < dates.size(); ++i) r.Src->AddXY(dates[i], std::sin(i * 0.3) * 10);
    r.F->SetCompress(p);
    r.Run();
    const std::vector<int> starts = GroupStarts(dates, p);
    ASSERT_EQ(r.Dst->PointCount(), static_cast<int>(starts.size())) << p;
    for (size_t g = 0; g < starts.size(); ++g) {
      const int a = starts[g], b = g + 1 < starts.size() ? starts[g + 1] - 1 : static_cast<int>(dates.size()) - 1;
      double hi = -1e9, lo = 1e9;
      for (int i = a; i <= b; ++i)
        hi = std::max(hi, r.Src->YValues()->Value(i)), lo = std::min(lo, r.Src->YValues()->Value(i));
      EXPECT_EQ(r.Dst->OpenValues()->Value(static_cast<int>(g)), r.Src->YValues()->Value(a));
      EXPECT_EQ(r.Dst->CloseValues()->Value(static_cast<int>(g)), r.Src->YValues()->Value(b));
      EXPECT_EQ(r.Dst->HighValues()->Value(static_cast<int>(g)), hi);
      EXPECT_EQ(r.Dst->LowValues()->Value(static_cast<int>(g)), lo);
      EXPECT_EQ(r.Dst->DateValues()->Value(static_cast<int>(g)), dates[static_cast<size_t>(b)]);
    }
  }
  // January followed directly by the next January stays one month group.
  TRig r;
  r.Src->AddXY(EncodeDate(2025, 1, 5), 1);
  r.Src->AddXY(EncodeDate(2026, 1, 9), 2);
  r.F->SetCompress(ocMonth);
  r.Run();
  EXPECT_EQ(r.Dst->PointCount(), 1);
}

TEST(Compression, WeeksStartWhereTheWeekDayGoesBack) {
  TRig r;
  // 2026-12-07 is a Monday: Monday .. next Wednesday gives two weeks.
  for (int d = 0; d < 10; ++d) r.Src->AddXY(EncodeDate(2026, 12, 7) + d, d);
  r.Run();
  EXPECT_EQ(r.Col(r.Dst->OpenValues()), (std::vector<double>{0, 7}));
  EXPECT_EQ(r.Col(r.Dst->CloseValues()), (std::vector<double>{6, 9}));
  // Friday then Tuesday: a new week.
  r.Src->ClearValues();
  r.Src->AddXY(EncodeDate(2026, 12, 11), 1);
  r.Src->AddXY(EncodeDate(2026, 12, 15), 2);
  r.Run();
  EXPECT_EQ(r.Dst->PointCount(), 2);
}

TEST(Compression, GetDateShiftsGroupingAndVolumesAddUp) {
  TRig r;
  for (int i = 0; i < 4; ++i) r.Src->AddXY(100 + i, i);
  // Each point is placed a month apart for grouping, so every point starts its own month.
  r.F->SetCompress(ocMonth);
  r.F->OnGetDate = [](TGraphFunction*, TChartSeries*, int32_t I, double& Date) { Date = EncodeDate(2026, 1 + I, 1); };
  r.Run();
  ASSERT_EQ(r.Dst->PointCount(), 4);
  EXPECT_EQ(r.Dst->DateValues()->Value(2), EncodeDate(2026, 3, 1));  // one-point groups keep the shifted date
  // All in one group: the stored date of the last point, not the shifted one.
  r.F->OnGetDate = [](TGraphFunction*, TChartSeries*, int32_t, double& Date) { Date = EncodeDate(2026, 1, 1); };
  auto* vol = new TLineSeries(&r.Owner);
  auto* dstVol = new TLineSeries(&r.Owner);
  for (int i = 0; i < 4; ++i) vol->AddXY(50 + i, i + 1);
  r.F->CompressSeries(r.Src, r.Dst, vol, dstVol);
  ASSERT_EQ(r.Dst->PointCount(), 1);
  EXPECT_EQ(r.Dst->DateValues()->Value(0), 103);
  ASSERT_EQ(dstVol->PointCount(), 1);
  EXPECT_EQ(dstVol->YValues()->Value(0), 10);
  EXPECT_EQ(dstVol->XValues()->Value(0), 53);
  // A volume series shorter than the source adds what it has.
  vol->Delete(3);
  r.F->CompressSeries(r.Src, r.Dst, vol, dstVol);
  EXPECT_EQ(dstVol->YValues()->Value(0), 6);
}

TEST(Compression, BadInputAndOtherParents) {
  TRig r;
  const double nan = std::nan("");
  // Dates out of order, not numbers or outside the calendar: grouped, never a crash.
  for (double d : {45000.0, 44000.0, nan, 1e300, 45001.0}) r.Src->AddXY(d, 1);
  for (int p = ocDay; p <= ocTwelveHour; ++p) {
    r.F->SetCompress(static_cast<TCompressionPeriod>(p));
    r.Run();
    EXPECT_GE(r.Dst->PointCount(), 1);
  }
  r.F->InternalSetPeriod(-2);  // blocks of -2 points: i mod -2
  r.Run();
  EXPECT_EQ(r.Dst->PointCount(), 3);
  r.F->InternalSetPeriod(1e12);
  EXPECT_ANY_THROW(r.Run());
  // A parent that is not an OHLC series gets nothing.
  TComponent owner(nullptr);
  auto* line = new TLineSeries(&owner);
  auto* f = new TCompressFunction(&owner);
  line->AttachFunction(f);
  f->CalculateFromSource(r.Src);
  EXPECT_EQ(line->PointCount(), 0);
  InitExtraSeries();
  bool found = false;
  for (auto* e : GraphSeriesTypesList()->TypesOfPage("Financial"))
    found |= e->FunctionClass == TCompressFunction::StaticClass() && e->DescriptionText() == "Compression";
  EXPECT_TRUE(found);
}
