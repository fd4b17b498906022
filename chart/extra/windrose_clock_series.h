// Two series on the polar base: the wind rose labels its circle with compass directions; the
// clock draws a face with hour, minute and second hands that a one-second timer keeps moving.
#pragma once

#include <functional>
#include <memory>

#include "chart/series/polar_series.h"

class TTimer;

// The common base: shown flat in the gallery.
class TCustom2DPolarSeries : public TCustomPolarSeries {
  VM_CLASS(TCustom2DPolarSeries, TCustomPolarSeries)
public:
  using TCustomPolarSeries::TCustomPolarSeries;
  void SetGalleryView3D(bool Value) override;
  void MakeGalleryThumbnail(bool Coloured) override;
};

class TWindRoseSeries : public TCustom2DPolarSeries {
  VM_CLASS(TWindRoseSeries, TCustom2DPolarSeries)
public:
  explicit TWindRoseSeries(TComponent* AOwner);
  bool MirrorLabels() const { return FMirrorLabels; }
  void SetMirrorLabels(bool Value) { SetBooleanProperty(FMirrorLabels, Value); }
  std::string GetCircleLabel(double Angle, int32_t Index) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  static void ClassEditorName(std::string& Name) { Name = "TWindRoseEditor"; }

private:
  bool FMirrorLabels = false;
};

enum TClockSeriesStyle { cssDecimal, cssRoman };
extern const TEnumInfo ClockSeriesStyleInfo;

class TClockSeries;
using TClockSeriesGetTimeEvent = std::function<void(TClockSeries* Sender, TDateTime& Time)>;

class TClockSeries : public TCustom2DPolarSeries {
  VM_CLASS(TClockSeries, TCustom2DPolarSeries)
public:
  explicit TClockSeries(TComponent* AOwner);
  ~TClockSeries() override;

  TChartPen* PenHours() const { return FPenHours.get(); }
  void SetPenHours(TChartPen* V) { FPenHours->Assign(V); }
  TChartPen* PenMinutes() const { return FPenMinutes.get(); }
  void SetPenMinutes(TChartPen* V) { FPenMinutes->Assign(V); }
  TChartPen* PenSeconds() const { return FPenSeconds.get(); }
  void SetPenSeconds(TChartPen* V) { FPenSeconds->Assign(V); }
  TClockSeriesStyle Style() const { return FStyle; }
  void SetStyle(TClockSeriesStyle V);
  TTimer* Timer() const { return FTimer.get(); }

  // The time shown: now, or what OnGetTime makes of it.
  TDateTime ClockTime();
  // The angles (degrees, counter-clockwise from the rotation) of the three hands at a time.
  static void HandAngles(TDateTime Time, double& Hour, double& Minute, double& Second);

  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TClockEditor"; }
  void SetParentChart(TCustomAxisPanel* Value) override;
  void RemovedFromChart() override;
  void FireBeforeDrawValues() override;
  void DrawVisiblePoints() override;
  int32_t LegendEntryCount() override { return 1; }
  TColor LegendEntryColor(int32_t) override { return clNone; }
  void FormatLegendText(int32_t ValueIndex, TLegendTextStyle Style, std::string& Text) override;
  std::string GetCircleLabel(double Angle, int32_t Index) override;
  int32_t DefaultRandomCount() override { return 1; }

  TClockSeriesGetTimeEvent OnGetTime;

private:
  std::unique_ptr<TChartPen> FPenHours, FPenMinutes, FPenSeconds;
  TClockSeriesStyle FStyle = cssRoman;
  std::unique_ptr<TTimer> FTimer;
  bool FOldAxesVisible = true;
};

// The clock's source of the current time (now unless replaced, as tests do).
extern std::function<TDateTime()> ClockNowHook;

void RegisterWindRoseClockSeries();
void UnregisterWindRoseClockSeries();
