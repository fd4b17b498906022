// The OHLC compression function: consecutive source points of one calendar or clock period, or
// of one block of N points, become one open-high-low-close point of the parent series.
#pragma once

#include <cstdint>
#include <functional>

#include "chart/engine/graph_function.h"

enum TCompressionPeriod : uint8_t {
  ocDay,
  ocWeek,
  ocMonth,
  ocBiMonth,
  ocQuarter,
  ocYear,
  ocSecond,
  ocTenSecond,
  ocMinute,
  ocTwoMinutes,
  ocFiveMinutes,
  ocTenMinutes,
  ocFifteenMinutes,
  ocTwentyMinutes,
  ocHalfHour,
  ocHour,
  ocTwoHours,
  ocThreeHour,
  ocSixHour,
  ocTwelveHour
};
extern const TEnumInfo CompressionPeriodInfo;

// The grouping key of a date-time for a period: a new group starts where the key changes (for
// weeks, where it goes back). Dates that are not finite or lie outside the calendar give 0.
double CompressionKey(double Date, TCompressionPeriod Period);

class TCompressFunction;
using TCompressGetDate =
    std::function<void(TGraphFunction* Sender, TChartSeries* Source, int32_t ValueIndex, double& Date)>;

class TCompressFunction : public TGraphFunction {
  VM_CLASS(TCompressFunction, TGraphFunction)
public:
  explicit TCompressFunction(TComponent* AOwner);

  void CalculateFromSource(TChartSeries* Source) override;
  void GetEditorClassName(std::string& Name) override { Name = "TCompressFuncEditor"; }
  void PrepareGalleryChart(TCustomAxisPanel* Chart) override;

  // Dest must be an OHLC series; DestVolume, when given, receives the summed volumes of each
  // group from SourceVolume.
  void CompressSeries(TChartSeries* Source, TChartSeries* Dest, TChartSeries* SourceVolume, TChartSeries* DestVolume);

  TCompressionPeriod Compress() const { return FCompress; }
  void SetCompress(TCompressionPeriod Value);

  TCompressGetDate OnGetDate;

private:
  TCompressionPeriod FCompress = ocWeek;
};

void RegisterCompressFunction();
void UnregisterCompressFunction();
