#include "chart/extra/compress_function.h"

#include <cmath>
#include <limits>

#include "chart/engine/axis_panel.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/value_lists.h"
#include "chart/series/financial_series.h"
#include "platform/datetime.h"
#include "platform/exceptions.h"

const TEnumInfo CompressionPeriodInfo(
    "TCompressionPeriod",
    {"ocDay",       "ocWeek",   "ocMonth",      "ocBiMonth",     "ocQuarter",    "ocYear",           "ocSecond",
     "ocTenSecond", "ocMinute", "ocTwoMinutes", "ocFiveMinutes", "ocTenMinutes", "ocFifteenMinutes", "ocTwentyMinutes",
     "ocHalfHour",  "ocHour",   "ocTwoHours",   "ocThreeHour",   "ocSixHour",    "ocTwelveHour"});

double CompressionKey(double Date, TCompressionPeriod Period) {
  // The calendar runs from year 1 to year 9999.
  if (!std::isfinite(Date) || Date < -693593 || Date >= 2958466) return 0;
  if (Period == ocDay) return std::trunc(Date);
  if (Period == ocWeek) return (DayOfWeek(Date) + 5) % 7 + 1;  // Monday 1 .. Sunday 7
  // Periods within a day need only the time, longer ones only the date.
  uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
  if (Period >= ocSecond)
    DecodeTime(Date, hour, minute, second, msec);
  else
    DecodeDate(Date, year, month, day);
  switch (Period) {
    case ocMonth:
      return month;
    case ocBiMonth:
      return (month - 1) / 2;
    case ocQuarter:
      return (month - 1) / 3;
    case ocYear:
      return year;
    case ocSecond:
      return second;
    case ocTenSecond:
      return second / 10;
    case ocMinute:
      return minute;
    case ocTwoMinutes:
      return minute / 2;
    case ocFiveMinutes:
      return minute / 5;
    case ocTenMinutes:
      return minute / 10;
    case ocFifteenMinutes:
      return minute / 15;
    case ocTwentyMinutes:
      return minute / 20;
    case ocHalfHour:
      return minute / 30;
    case ocHour:
      return hour;
    case ocTwoHours:
      return hour / 2;
    case ocThreeHour:
      return hour / 3;
    case ocSixHour:
      return hour / 6;
    case ocTwelveHour:
      return hour / 12;
    default:
      return 0;
  }
}

namespace {
// A volume series shorter than the source adds nothing for the points it lacks.
double VolumeAt(TChartSeries* Volume, int32_t Index) {
  return Index < Volume->PointCount() ? Volume->YValues()->Value(Index) : 0;
}
}  // namespace

VM_PUBLISH(TCompressFunction) {
  using S = TCompressFunction;
  P.Enum("Compress", &S::Compress, &S::SetCompress, CompressionPeriodInfo).Default(ocWeek);
  P.Event("OnGetDate", &S::OnGetDate);
}

TCompressFunction::TCompressFunction(TComponent* AOwner) : TGraphFunction(AOwner) {
  SingleSource = true;
  NoValueListChoice = true;
}

void TCompressFunction::SetCompress(TCompressionPeriod Value) {
  if (FCompress == Value) return;
  FCompress = Value;
  Recalculate();
}

void TCompressFunction::CalculateFromSource(TChartSeries* Source) {
  if (Source && dynamic_cast<TOHLCSeries*>(ParentSeries)) CompressSeries(Source, ParentSeries, nullptr, nullptr);
}

void TCompressFunction::CompressSeries(TChartSeries* Source, TChartSeries* Dest, TChartSeries* SourceVolume,
                                       TChartSeries* DestVolume) {
  auto* dest = dynamic_cast<TOHLCSeries*>(Dest);
  if (!Source || !dest) return;
  dest->ClearValues();
  if (DestVolume) DestVolume->ClearValues();
  if (!SourceVolume) DestVolume = nullptr;
  TChartValueList* values = GetSourceValueList(Source);
  const double rounded = std::nearbyint(Period());
  if (!(rounded >= std::numeric_limits<int32_t>::min() && rounded <= std::numeric_limits<int32_t>::max()))
    throw ERangeError("Range check error");
  const auto blockSize = static_cast<int32_t>(rounded);
  auto* ohlc = dynamic_cast<TOHLCSeries*>(Source);
  TChartValueList* positions = Source->NotMandatoryList;
  double previousKey = 0;
  const int32_t n = Source->PointCount();
  // The group being grown: kept here and written into its point once the group is complete.
  struct {
    bool Open = false;
    int32_t Point = 0, LabelFrom = 0;
    double Close = 0, Date = 0, High = 0, Low = 0;
    bool VolumeGrown = false;
    double Volume = 0, VolumeX = 0;
  } group;
  auto flush = [&] {
    if (!group.Open) return;
    const int32_t l = group.Point;
    dest->CloseValues()->SetValue(l, group.Close);
    dest->DateValues()->SetValue(l, group.Date);
    dest->HighValues()->SetValue(l, group.High);
    dest->LowValues()->SetValue(l, group.Low);
    dest->SetLabelAt(l, Source->LabelAt(group.LabelFrom));
    if (group.VolumeGrown) {
      DestVolume->YValues()->SetValue(l, group.Volume);
      DestVolume->XValues()->SetValue(l, group.VolumeX);
    }
    group.Open = false;
  };
  for (int32_t i = 0; i < n; ++i) {
    double date = positions->Value(i);
    bool newGroup;
    if (blockSize != 0) {
      newGroup = i % blockSize == 0;
    } else {
      if (OnGetDate) OnGetDate(this, Source, i, date);
      const double key = CompressionKey(date, FCompress);
      newGroup = FCompress == ocWeek ? key < previousKey : key != previousKey;
      previousKey = key;
    }
    if (i == 0 || newGroup) {
      flush();
      int32_t added;
      if (ohlc)
        added = dest->AddOHLCPoint(date, ohlc->OpenValues()->Value(i), ohlc->HighValues()->Value(i),
                                   ohlc->LowValues()->Value(i), ohlc->CloseValues()->Value(i));
      else {
        const double v = values->Value(i);
        added = dest->AddOHLCPoint(date, v, v, v, v);
      }
      dest->SetLabelAt(added, Source->LabelAt(i));
      if (DestVolume) DestVolume->AddPoint(positions->Value(i), VolumeAt(SourceVolume, i), "", clAutoColor);
    } else {
      if (!group.Open) {
        const int32_t l = dest->PointCount() - 1;
        group.Open = true;
        group.Point = l;
        group.High = dest->HighValues()->Value(l);
        group.Low = dest->LowValues()->Value(l);
        group.VolumeGrown = false;
        if (DestVolume && l < DestVolume->PointCount()) group.Volume = DestVolume->YValues()->Value(l);
      }
      double high, low;
      if (ohlc) {
        group.Close = ohlc->CloseValues()->Value(i);
        group.Date = ohlc->DateValues()->Value(i);
        high = ohlc->HighValues()->Value(i);
        low = ohlc->LowValues()->Value(i);
      } else {
        const double v = values->Value(i);
        group.Close = v;
        group.Date = positions->Value(i);
        high = low = v;
      }
      if (high > group.High) group.High = high;
      if (low < group.Low) group.Low = low;
      group.LabelFrom = i;
      if (DestVolume && group.Point < DestVolume->PointCount() && i < SourceVolume->PointCount()) {
        group.Volume += SourceVolume->YValues()->Value(i);
        group.VolumeX = SourceVolume->XValues()->Value(i);
        group.VolumeGrown = true;
      }
    }
  }
  flush();
  for (int k = 0; k < dest->ValueLists.Count(); ++k) dest->ValueLists[k]->StatsStale = true;
  if (DestVolume)
    for (int k = 0; k < DestVolume->ValueLists.Count(); ++k) DestVolume->ValueLists[k]->StatsStale = true;
}

void TCompressFunction::PrepareGalleryChart(TCustomAxisPanel* Chart) {
  if (!Chart) return;
  Chart->FreeSeriesOfClass(nullptr);
  if (TChartSeries* s =
          MakeSeriesOfClass(nullptr, Chart, TCandleSeries::StaticClass(), TCompressFunction::StaticClass()))
    s->MakeGalleryThumbnail(true);
}

void RegisterCompressFunction() {
  RegisterFunctionType(TCompressFunction::StaticClass(), &MsgFunctionCompression, &MsgGalleryPageFinancial, 1);
}

void UnregisterCompressFunction() { UnregisterFunctionTypes({TCompressFunction::StaticClass()}); }
