// The financial family: the open-high-low-close base (date and close as X and Y, with high, low
// and open lists kept in step), the candle series (candlesticks, bars with ticks, open/close boxes
// or a close line, coloured up or down) and the volume series (one vertical line per point).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "chart/engine/graph_effects.h"
#include "chart/series/line_series.h"

enum TCandleStyle { csCandleStick, csCandleBar, csOpenClose, csLine };
enum TCandleColorStyle { cssRelativeToOpen, cssRelativeToClose };
extern const TEnumInfo CandleStyleInfo;
extern const TEnumInfo CandleColorStyleInfo;

class TOHLCSeries : public TCustomSeries {
  VM_CLASS(TOHLCSeries, TCustomSeries)
public:
  explicit TOHLCSeries(TComponent* AOwner);

  int32_t AddOHLCPoint(double Date, double Open, double High, double Low, double Close);

  TChartValueList* DateValues() const { return XValues(); }
  void SetDateValues(TChartValueList* Value) { SetXValues(Value); }
  TChartValueList* CloseValues() const { return YValues(); }
  void SetCloseValues(TChartValueList* Value) { SetYValues(Value); }
  TChartValueList* HighValues() const { return FHighValues; }
  void SetHighValues(TChartValueList* Value) { AssignValueList(FHighValues, Value); }
  TChartValueList* LowValues() const { return FLowValues; }
  void SetLowValues(TChartValueList* Value) { AssignValueList(FLowValues, Value); }
  TChartValueList* OpenValues() const { return FOpenValues; }
  void SetOpenValues(TChartValueList* Value) { AssignValueList(FOpenValues, Value); }

  double HighestY() override;
  double LowestY() override;
  bool AcceptsSourceSeries(TChartSeries* Source) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  int32_t DefaultRandomCount() override { return 40; }

protected:
  // The close list alone gives the value range (the close-line style).
  virtual bool CloseOnlyRange() const { return false; }

  TChartValueList* FHighValues = nullptr;
  TChartValueList* FLowValues = nullptr;
  TChartValueList* FOpenValues = nullptr;
};

class TCandleSeries : public TOHLCSeries {
  VM_CLASS(TCandleSeries, TOHLCSeries)
public:
  explicit TCandleSeries(TComponent* AOwner);
  ~TCandleSeries() override;

  // The fill of a candle (up or down) and its colour (the point colour unless it is the series
  // colour, then the fill's start colour).
  TGraphGradient* CandleGradient(int32_t ValueIndex);
  TColor CandleColor(int32_t ValueIndex);
  // The candle under a screen point (already in 2D).
  bool ClickedCandle(int32_t ValueIndex, const TPoint& P);

  void DrawOneValue(int32_t ValueIndex) override;
  void DrawVisiblePoints() override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  TColor LegendEntryColor(int32_t ValueIndex) override { return CandleColor(ValueIndex); }
  void Assign(TPersistent* Source) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  static void ClassEditorName(std::string& Name) { Name = "TCandleEditor"; }

  TCandleStyle CandleStyle() const { return FCandleStyle; }
  void SetCandleStyle(TCandleStyle Value);
  int32_t CandleWidth() const { return FCandleWidth; }
  void SetCandleWidth(int32_t Value) { SetIntegerProperty(FCandleWidth, Value); }
  TCandleColorStyle ColorStyle() const { return FColorStyle; }
  void SetColorStyle(TCandleColorStyle Value);
  TGraphGradient* DownCloseGradient() const { return FDownCloseGradient.get(); }
  void SetDownCloseGradient(TGraphGradient* Value) { FDownCloseGradient->Assign(Value); }
  TGraphGradient* UpCloseGradient() const { return FUpCloseGradient.get(); }
  void SetUpCloseGradient(TGraphGradient* Value) { FUpCloseGradient->Assign(Value); }
  TColor DownCloseColor() const { return FDownCloseGradient->StartColor(); }
  void SetDownCloseColor(TColor Value) { FDownCloseGradient->SetStartColor(Value); }
  TColor UpCloseColor() const { return FUpCloseGradient->StartColor(); }
  void SetUpCloseColor(TColor Value) { FUpCloseGradient->SetStartColor(Value); }
  TChartPen* HighLowPen() const { return FHighLowPen.get(); }
  void SetHighLowPen(TChartPen* Value) { FHighLowPen->Assign(Value); }
  bool ShowCloseTick() const { return FShowCloseTick; }
  void SetShowCloseTick(bool Value) { SetBooleanProperty(FShowCloseTick, Value); }
  bool ShowOpenTick() const { return FShowOpenTick; }
  void SetShowOpenTick(bool Value) { SetBooleanProperty(FShowOpenTick, Value); }
  // The candle outline is the pointer's pen; Draw3D and Dark3D are the pointer's.
  TChartPen* CandlePen() const { return Pointer()->Pen(); }
  void SetCandlePen(TChartPen* Value) { Pointer()->Pen()->Assign(Value); }
  bool Draw3D() const { return Pointer()->Draw3D(); }
  void SetDraw3D(bool Value) { Pointer()->SetDraw3D(Value); }
  bool CandleDark3D() const { return Pointer()->Dark3D(); }
  void SetCandleDark3D(bool Value) { Pointer()->SetDark3D(Value); }

  TPoint OldClosePoint;

protected:
  bool CloseOnlyRange() const override { return FCandleStyle == csLine; }

private:
  struct TCandlePos {
    int X, Open, Close, High, Low, Left, Right;
  };
  TCandlePos CalcCandlePositions(int32_t ValueIndex);
  void FillBody(int32_t ValueIndex, TRect R, int Z);
  void SelectWickPen();

  TCandleStyle FCandleStyle = csCandleStick;
  int32_t FCandleWidth = 4;
  TCandleColorStyle FColorStyle = cssRelativeToOpen;
  std::unique_ptr<TGraphGradient> FDownCloseGradient;
  std::unique_ptr<TGraphGradient> FUpCloseGradient;
  std::unique_ptr<TChartPen> FHighLowPen;
  bool FShowCloseTick = true;
  bool FShowOpenTick = true;
  bool FFirstDrawn = true;
};

class TVolumeSeries : public TCustomSeries {
  VM_CLASS(TVolumeSeries, TCustomSeries)
public:
  explicit TVolumeSeries(TComponent* AOwner);

  TChartValueList* VolumeValues() const { return YValues(); }
  void SetVolumeValues(TChartValueList* Value) { SetYValues(Value); }
  bool UseYOrigin() const { return FUseOrigin; }
  void SetUseYOrigin(bool Value) { SetBooleanProperty(FUseOrigin, Value); }
  double YOrigin() const { return FOrigin; }
  void SetYOrigin(double Value) { SetDoubleProperty(FOrigin, Value); }
  TChartPen* LinePenProp() const { return Pen(); }
  void SetLinePenProp(TChartPen* Value) { Pen()->Assign(Value); }
  int32_t OriginPosition();

  void SetSeriesColor(TColor Value) override;
  void DrawVisiblePoints() override;
  void DrawOneValue(int32_t ValueIndex) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) override;
  void Assign(TPersistent* Source) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  int32_t DefaultRandomCount() override { return 40; }
  static void ClassEditorName(std::string& Name) { Name = "TVolumeSeriesEditor"; }

private:
  bool FUseOrigin = false;
  double FOrigin = 0;
  TColor FLastPenColor = clNone;
  bool FFirstDrawn = true;
};
