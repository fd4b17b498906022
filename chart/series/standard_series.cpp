#include "chart/series/standard_series.h"

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/series/bar_series.h"
#include "chart/series/error_series.h"
#include "chart/series/fast_line_series.h"
#include "chart/series/financial_series.h"
#include "chart/series/histogram_series.h"
#include "chart/series/line_series.h"
#include "chart/series/pie_series.h"
#include "chart/series/polar_series.h"

namespace {
bool Registered = false;
}  // namespace

void InitStandardSeries() {
  if (Registered) return;
  InitChartModule();
  Registered = true;
  RegisterStandardSeriesType(TLineSeries::StaticClass(), &MsgGalleryLine);
  RegisterStandardSeriesType(TBarSeries::StaticClass(), &MsgGalleryBar);
  RegisterStandardSeriesType(THorizBarSeries::StaticClass(), &MsgGalleryHorizontalBar);
  RegisterStandardSeriesType(TAreaSeries::StaticClass(), &MsgGalleryArea);
  RegisterStandardSeriesType(TPointSeries::StaticClass(), &MsgGalleryPoint);
  RegisterSeriesType(TPieSeries::StaticClass(), &MsgGalleryPie, &MsgPageStandard, 1);
  RegisterStandardSeriesType(TFastLineSeries::StaticClass(), &MsgGalleryFastLine);
  RegisterSeriesType(THorizLineSeries::StaticClass(), &MsgGalleryHorizontalLine, &MsgPageStandard, 1);
  RegisterSeriesType(THorizAreaSeries::StaticClass(), &MsgGalleryHorizontalArea, &MsgPageStandard, 1);
  // The statistical series.
  RegisterSeriesType(TErrorBarSeries::StaticClass(), &MsgGalleryErrorBar, &MsgGalleryPageStats, 1);
  RegisterSeriesType(TErrorSeries::StaticClass(), &MsgGalleryError, &MsgGalleryPageStats, 1);
  RegisterSeriesType(THighLowSeries::StaticClass(), &MsgGalleryHighLow, &MsgGalleryPageStats, 1);
  RegisterSeriesType(THistogramSeries::StaticClass(), &MsgGalleryHistogram, &MsgGalleryPageStats, 1);
  RegisterSeriesType(THorizHistogramSeries::StaticClass(), &MsgGalleryHorizontalHistogram, &MsgGalleryPageStats, 1);
  // The round series of the extended page.
  RegisterSeriesType(TPolarSeries::StaticClass(), &MsgGalleryPolar, &MsgPageExtended, 2);
  RegisterSeriesType(TRadarSeries::StaticClass(), &MsgGalleryRadar, &MsgPageExtended, 2);
  RegisterSeriesType(TPolarBarSeries::StaticClass(), &MsgGalleryPolarBar, &MsgPageExtended, 2);
  // The financial series.
  RegisterSeriesType(TCandleSeries::StaticClass(), &MsgGalleryCandle, &MsgGalleryPageFinancial, 1);
  RegisterSeriesType(TVolumeSeries::StaticClass(), &MsgGalleryVolume, &MsgGalleryPageFinancial, 1);
}

void DoneStandardSeries() {
  if (!Registered) return;
  Registered = false;
  if (!GraphSeriesTypesList()) return;
  UnregisterSeriesTypes({TLineSeries::StaticClass(), TBarSeries::StaticClass(), THorizBarSeries::StaticClass(),
                         TAreaSeries::StaticClass(), TPointSeries::StaticClass(), TPieSeries::StaticClass(),
                         TFastLineSeries::StaticClass(), THorizLineSeries::StaticClass(),
                         THorizAreaSeries::StaticClass(), TErrorBarSeries::StaticClass(), TErrorSeries::StaticClass(),
                         THighLowSeries::StaticClass(), THistogramSeries::StaticClass(),
                         THorizHistogramSeries::StaticClass(), TPolarSeries::StaticClass(), TRadarSeries::StaticClass(),
                         TPolarBarSeries::StaticClass(), TCandleSeries::StaticClass(), TVolumeSeries::StaticClass()});
}
