// One axis of a chart: its range (automatic from the series bound to it, or fixed), the linear or
// logarithmic scale over a stretch of pixels, the conversions between values and pixels, the step
// between labels, and what it draws (labels, ticks, grids, title, axis line). The scaling lives in
// axis_scaling.cpp, the drawing in axis_drawing.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/chart_pens.h"
#include "chart/engine/graph_panel.h"
#include "chart/engine/graph_shapes.h"
#include "platform/collection.h"

class TCustomAxisPanel;
class TChartSeries;
class TChartAxis;

// Pixel coordinates of the clamped conversions stay within plus or minus this value.
extern int32_t AxisPixelLimit;

enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };
enum TAxisLabelAlign { alDefault, alOpposite };

using TAxisDrawLabelEvent =
    std::function<void(TChartAxis* Sender, int32_t& X, int32_t& Y, int32_t& Z, std::string& Text, bool& DrawLabel)>;
using TAxisTicks = std::vector<int32_t>;
using TAxisGridHook = std::function<void(TChartAxis* Sender)>;

// The axis title: a caption at an angle, drawn without a frame of its own.
class TChartAxisTitle : public TGraphCustomShape {
  VM_CLASS(TChartAxisTitle, TGraphCustomShape)
public:
  explicit TChartAxisTitle(IGraphShapeParent* Parent = nullptr);

  void Assign(TPersistent* Source) override;

  // Stored as the remainder of division by 360, keeping the sign.
  int32_t Angle() const { return FAngle; }
  void SetAngle(int32_t Value);
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);

  int32_t DefaultAngle = 0;

private:
  int32_t FAngle = 0;
  std::string FCaption;
};

// The axis line pen: width 2.
class TChartAxisPen : public TChartPen {
  VM_CLASS(TChartAxisPen, TChartPen)
public:
  explicit TChartAxisPen(const TNotifyEvent& OnChangeEvent = nullptr);
};

// The grid pen: dotted grey, with the centred switch and the depth where grid lines start.
class TAxisGridPen : public TDottedGrayPen {
  VM_CLASS(TAxisGridPen, TDottedGrayPen)
public:
  explicit TAxisGridPen(const TNotifyEvent& OnChangeEvent = nullptr);

  void Assign(TPersistent* Source) override;

  bool Centered() const { return FCentered; }
  void SetCentered(bool Value);
  double ZPosition() const { return FZPosition; }
  void SetZPosition(double Value);
  double DefaultZPosition = 0;

private:
  bool FCentered = false;
  double FZPosition = 0;
};

class TAxisItems;

// One custom label of an axis.
class TAxisItem : public TGraphCustomShape {
  VM_CLASS(TAxisItem, TGraphCustomShape)
public:
  explicit TAxisItem(IGraphShapeParent* Parent = nullptr);

  const std::string& Text() const { return FText; }
  void SetText(const std::string& Value);
  double Value() const { return FValue; }
  void SetValue(double Value);

private:
  std::string FText;
  double FValue = 0;
};

// The axis' custom labels with the shape (Format) that gives labels their font and frame.
class TAxisItems {
public:
  explicit TAxisItems(TChartAxis* AAxis);
  ~TAxisItems();
  TAxisItems(const TAxisItems&) = delete;
  TAxisItems& operator=(const TAxisItems&) = delete;

  TAxisItem* AddItem(double Value);
  TAxisItem* AddLabeledItem(double Value, const std::string& Text);
  TAxisItem* ItemAt(int Index) const { return FItems.at(Index).get(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  void Clear();
  void AssignItems(const TAxisItems* Source);

  TChartAxis* Axis;
  std::unique_ptr<TGraphShape> Format;

private:
  std::vector<std::unique_ptr<TAxisItem>> FItems;
};

// ---------------------------------------------------------------------------------------------
class TChartAxis : public TCollectionItem {
  VM_CLASS(TChartAxis, TCollectionItem)
public:
  // The chart is the owner of Collection (the chart's custom-axes collection). The axis joins
  // the collection only when the chart already holds its six built-in axes.
  explicit TChartAxis(TCollection* Collection);
  // A built-in axis of Chart (joins no collection).
  explicit TChartAxis(TCustomAxisPanel* Chart);
  ~TChartAxis() override;

  void Assign(TPersistent* Source) override;

  // -- introduced virtual operations ------------------------------------------------------------
  virtual TAxisLabelStyle CalcLabelStyle();
  virtual void SetInverted(bool Value);
  virtual void ValueToLabelText(double Value, std::string& Text);
  std::string LabelText(double Value) {
    std::string s;
    ValueToLabelText(Value, s);
    return s;
  }

  // -- range ----------------------------------------------------------------------------------
  bool IsDateTime();
  void CalcAutomaticRange(double& AMin, double& AMax);
  void RecalcRange();
  void SetMinimumMaximum(double AMin, double AMax);
  void ShiftRange(double Delta, bool CheckLimits);
  void WidenRangeForMargins(const TRect& Margins);
  void InternalSetInverted(bool Value) { FInverted = Value; }
  // Stores both ends without the range check, with repaint.
  void InternalSetRange(double AMin, double AMax);

  // -- scale ----------------------------------------------------------------------------------
  void RecalcScales();
  int32_t CalcDepthPixel();
  void CalcStartEndPixels();
  void RecalcLengthAndCenter();
  void ResetScaleFromRange();
  void SelectValueToPixel();

  // The conversion chosen by SelectValueToPixel.
  int32_t ValueToPixel(double V) const { return (this->*FValueToPixel)(V); }
  int32_t HorizValueToPixel(double V) const { return (this->*FHorizValueToPixel)(V); }
  int32_t VertValueToPixel(double V) const { return (this->*FVertValueToPixel)(V); }
  // ValueToPixel of N values at once (the same pixels), without a call per value where the
  // conversion is linear.
  void ValuesToPixels(const double* V, int32_t* Out, size_t N) const;
  double PixelToValue(int32_t Pixel) const;
  int32_t PixelSizeOfValue(double V) const;

  // -- label increment --------------------------------------------------------------------------
  double CalcLabelIncrement();
  int32_t LabelSizeAlongAxis(bool AHorizontal, double Value);
  double IncrementForLabelSize(int32_t S);
  double CalcIncrement(int32_t MaxLabels);
  double CalcValueIncrement(int32_t MaxLabels);
  double CalcDateTimeIncrement(int32_t MaxLabels);
  bool FewPointsOnAxis(int32_t MaxLabels);
  double NearestLogPower(double V) const;
  static double NextNiceStep(double V);
  void IncDecAxisValue(bool Forward, double& Value, double AIncrement, int StepIndex);

  // -- labels, sizes and drawing ------------------------------------------------------------------
  TAxisLabelStyle GetLabelStyle();
  int32_t WidestValueLabel();
  int32_t MaxLabelsWidth();
  int32_t SizeOfText(TGraphFont* AFont, int32_t AAngle, int32_t FixedSize, const std::string& Text);
  int32_t LabelsBandSize();
  int32_t LineAndTicksSize();
  int32_t AxisLineSideOfRect(const TRect& R) const;
  int32_t ApplyPositionPercent(int32_t Pos, const TRect& R) const;
  int32_t InflateAxisPos(int32_t Pos, int32_t Amount) const;
  void ShrinkRect(TRect& R, int32_t Amount) const;
  int32_t DepthAxisY();
  int32_t DepthLabelAlign() const;
  void CalcRect(TRect& R, bool ReserveRoom);
  void Draw(bool CalcAxisLinePos);
  void DrawAxisLabel(int32_t X, int32_t Y, int32_t AAngle, const std::string& Text, TGraphCustomShape* AFormat);
  void DrawGrids();
  TRect GetAxisRect() const;
  bool IsPointOnAxis(int32_t X, int32_t Y);
  void DrawWithTemporaryRange(int32_t ALabelsPos, int32_t ATitlePos, int32_t AEndPixel, int32_t AStartPixel,
                              double AIncrement, double AMaximum, double AMinimum, bool GridVisible,
                              int32_t AAxisLinePos);
  void CustomDraw(int32_t ALabelsPos, int32_t ATitlePos, int32_t AEndPixel, int32_t AStartPixel, bool GridVisible,
                  int32_t AAxisLinePos);

  // -- published properties -----------------------------------------------------------------------
  bool Automatic() const { return FAutomatic; }
  void SetAutomatic(bool Value);
  bool AutomaticMaximum() const { return FAutomaticMaximum; }
  void SetAutomaticMaximum(bool Value);
  bool AutomaticMinimum() const { return FAutomaticMinimum; }
  void SetAutomaticMinimum(bool Value);
  TChartAxisPen* Axis() const { return FAxis.get(); }
  void SetAxis(TChartAxisPen* Value) { FAxis->Assign(Value); }
  const std::string& AxisValuesFormat() const { return FAxisValuesFormat; }
  void SetAxisValuesFormat(const std::string& Value);
  const std::string& DateTimeFormat() const { return FDateTimeFormat; }
  void SetDateTimeFormat(const std::string& Value);
  bool ExactDateTime() const { return FExactDateTime; }
  void SetExactDateTime(bool Value);
  TAxisGridPen* Grid() const { return FGrid.get(); }
  void SetGrid(TAxisGridPen* Value) { FGrid->Assign(Value); }
  bool GridCentered() const { return FGrid->Centered(); }
  void SetGridCentered(bool Value) { FGrid->SetCentered(Value); }
  double Increment() const { return FIncrement; }
  void SetIncrement(double Value);
  bool Inverted() const { return FInverted; }
  bool Horizontal() const { return FHorizontal; }
  void SetHorizontal(bool Value);
  bool OtherSide() const { return FOtherSide; }
  void SetOtherSide(bool Value);
  bool Labels() const { return FItems->Format->Visible(); }
  bool GetLabels() const { return Labels(); }
  void SetLabels(bool Value) { FItems->Format->SetVisible(Value); }
  TAxisLabelAlign LabelsAlign() const { return FLabelsAlign; }
  void SetLabelsAlign(TAxisLabelAlign Value);
  bool LabelsAlternate() const { return FLabelsAlternate; }
  void SetLabelsAlternate(bool Value);
  int32_t LabelsAngle() const { return FLabelsAngle; }
  void SetLabelsAngle(int32_t Value);
  bool LabelsExponent() const { return FLabelsExponent; }
  void SetLabelsExponent(bool Value);
  TGraphFont* LabelsFont() const { return FItems->Format->Font(); }
  TGraphFont* GetLabelsFont() const { return LabelsFont(); }
  void SetLabelsFont(TGraphFont* Value) { FItems->Format->SetFont(Value); }
  bool LabelsMultiLine() const { return FLabelsMultiLine; }
  void SetLabelsMultiLine(bool Value);
  bool LabelsOnAxis() const { return FLabelsOnAxis; }
  void SetLabelsOnAxis(bool Value);
  int32_t LabelsSeparation() const { return FLabelsSeparation; }
  void SetLabelsSeparation(int32_t Value);
  int32_t LabelsSize() const { return FLabelsSize; }
  void SetLabelsSize(int32_t Value);
  TAxisLabelStyle LabelStyle() const { return FLabelStyle; }
  void SetLabelStyle(TAxisLabelStyle Value);
  bool Logarithmic() const { return FLogarithmic; }
  void SetLogarithmic(bool Value);
  double LogarithmicBase() const { return FLogarithmicBase; }
  void SetLogarithmicBase(double Value);
  double Maximum() const { return FMaximum; }
  void SetMaximum(double Value);
  int32_t MaximumOffset() const { return FMaximumOffset; }
  void SetMaximumOffset(int32_t Value);
  double Minimum() const { return FMinimum; }
  void SetMinimum(double Value);
  int32_t MinimumOffset() const { return FMinimumOffset; }
  void SetMinimumOffset(int32_t Value);
  TChartHiddenPen* MinorGrid() const { return FMinorGrid.get(); }
  void SetMinorGrid(TChartHiddenPen* Value) { FMinorGrid->Assign(Value); }
  int32_t MinorTickCount() const { return FMinorTickCount; }
  void SetMinorTickCount(int32_t Value);
  int32_t MinorTickLength() const { return FMinorTickLength; }
  void SetMinorTickLength(int32_t Value);
  TDarkGrayPen* MinorTicks() const { return FMinorTicks.get(); }
  void SetMinorTicks(TDarkGrayPen* Value) { FMinorTicks->Assign(Value); }
  double StartPosition() const { return FStartPosition; }
  void SetStartPosition(double Value);
  double EndPosition() const { return FEndPosition; }
  void SetEndPosition(double Value);
  double PositionPercent() const { return FPositionPercent; }
  void SetPositionPercent(double Value);
  TGraphUnits PositionUnits() const { return FPositionUnits; }
  void SetPositionUnits(TGraphUnits Value);
  bool RoundFirstLabel() const { return FRoundFirstLabel; }
  void SetRoundFirstLabel(bool Value);
  int32_t TickInnerLength() const { return FTickInnerLength; }
  void SetTickInnerLength(int32_t Value);
  int32_t TickLength() const { return FTickLength; }
  void SetTickLength(int32_t Value);
  TDarkGrayPen* Ticks() const { return FTicks.get(); }
  void SetTicks(TDarkGrayPen* Value) { FTicks->Assign(Value); }
  TDarkGrayPen* TicksInner() const { return FTicksInner.get(); }
  void SetTicksInner(TDarkGrayPen* Value) { FTicksInner->Assign(Value); }
  bool TickOnLabelsOnly() const { return FTickOnLabelsOnly; }
  void SetTickOnLabelsOnly(bool Value);
  TChartAxisTitle* Title() const { return FTitle.get(); }
  void SetTitle(TChartAxisTitle* Value) { FTitle->Assign(Value); }
  int32_t TitleSize() const { return FTitleSize; }
  void SetTitleSize(int32_t Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // Setting exactly 0 stores 0.01.
  double ZPosition() const { return FZPosition; }
  void SetZPosition(double Value);
  TAxisItems* Items() const { return FItems.get(); }

  TAxisDrawLabelEvent OnDrawLabel;

  // -- public state -------------------------------------------------------------------------------
  TCustomAxisPanel* ParentChart = nullptr;
  bool IsDepthAxis = false;
  bool DateTimeAxis = false;
  double ScaleMinimum = 0, ScaleMaximum = 0, ScaleRange = 0;
  bool RangeIsZero = true;
  double LogMinimum = 0, LogMaximum = 0, LogRange = 0;
  int32_t StartPixel = 0, EndPixel = 0, AxisLength = 0, CenterPixel = 0;
  double PixelsPerUnit = 0, PixelsPerLogUnit = 0;
  int32_t DepthPixel = 0;
  int32_t AxisLinePos = 0, LabelsPos = 0, TitlePos = 0;
  TAxisTicks TickPositions;
  bool SkipBackGridLines = false, SkipDepthGridLines = false;
  TAxisGridHook OnDrawGrids;
  // The series bound to the axis while series labels are drawn.
  std::vector<TChartSeries*> SeriesOnAxis;
  // Set by the panel during each layout: the axis is drawn in this pass.
  bool IsVisibleInPass = false;
  // Whether the axis takes the fast (unclamped) linear conversions; the panel's axes list decides.
  bool FastCalculation = false;

  // Repaints the chart (nothing without a chart).
  void Repaint();

protected:
  using TValueToPixel = int32_t (TChartAxis::*)(double) const;

private:
  void Init();
  void SettingChanged(TObject* Sender);
  void SetBooleanProp(bool& Field, bool Value);
  void SetIntegerProp(int32_t& Field, int32_t Value);
  void SetDoubleProp(double& Field, double Value);
  bool ChartLoading() const;

  int32_t DepthToPixel(double V) const;
  int32_t LogHorizToPixel(double V) const;
  int32_t LogVertToPixel(double V) const;
  int32_t LinearHorizToPixel(double V) const;
  int32_t LinearVertToPixel(double V) const;
  int32_t FastHorizToPixel(double V) const;
  int32_t FastVertToPixel(double V) const;

  // Drawing helpers (axis_drawing.cpp).
  void DrawTitle(int32_t X, int32_t Y);
  void DrawThisLabel(int32_t P, const std::string& Text, TGraphCustomShape* AFormat);
  void DrawLabelAtValue(double& V, bool StepAfter, double Inc, int K);
  void DrawValueLabels(double Inc, int K);
  void DrawLinearLabels(double Inc, int K);
  void DrawLogLabels(double Inc, int K);
  void DrawLabelsByEvent(double Inc, int K);
  void DrawSeriesLabels(TAxisLabelStyle Style);
  void DrawDepthSeriesLabels();
  void DrawCustomLabels();
  void DrawLineTicksAndGrids();
  void DrawTick(int32_t P, int32_t Gap, int32_t Length, int32_t Wall);
  void DrawGridLine(int32_t P);
  void ProcessMinorTicks(bool IsGrid);
  void DrawMinor(int32_t P, bool IsGrid);
  void DrawExponentLabel(int32_t X, int32_t Y, const std::string& Text);
  int32_t WallSize(TChartAxis* AAxis);

  TValueToPixel FValueToPixel = nullptr;
  TValueToPixel FHorizValueToPixel = nullptr;
  TValueToPixel FVertValueToPixel = nullptr;

  bool FAutomatic = true, FAutomaticMaximum = true, FAutomaticMinimum = true;
  std::string FAxisValuesFormat;
  std::string FDateTimeFormat;
  bool FExactDateTime = true;
  double FIncrement = 0;
  bool FInverted = false;
  bool FHorizontal = false;
  bool FOtherSide = false;
  TAxisLabelAlign FLabelsAlign = alDefault;
  bool FLabelsAlternate = false;
  int32_t FLabelsAngle = 0;
  bool FLabelsExponent = false;
  bool FLabelsMultiLine = false;
  bool FLabelsOnAxis = true;
  int32_t FLabelsSeparation = 10;
  int32_t FLabelsSize = 0;
  TAxisLabelStyle FLabelStyle = talAuto;
  bool FLogarithmic = false;
  double FLogarithmicBase = 10;
  double FMaximum = 0, FMinimum = 0;
  int32_t FMaximumOffset = 0, FMinimumOffset = 0;
  int32_t FMinorTickCount = 3, FMinorTickLength = 2;
  double FStartPosition = 0, FEndPosition = 100;
  double FPositionPercent = 0;
  TGraphUnits FPositionUnits = muPercent;
  bool FRoundFirstLabel = true;
  int32_t FTickInnerLength = 0, FTickLength = 4;
  bool FTickOnLabelsOnly = true;
  int32_t FTitleSize = 0;
  bool FVisible = true;
  double FZPosition = 0;
  bool FAlternate = false;      // alternation of labels during one Draw
  bool FLabelEventOff = false;  // OnGetAxisLabel switched off while measuring

  std::unique_ptr<TChartAxisPen> FAxis;
  std::unique_ptr<TAxisGridPen> FGrid;
  std::unique_ptr<TChartHiddenPen> FMinorGrid;
  std::unique_ptr<TDarkGrayPen> FMinorTicks;
  std::unique_ptr<TDarkGrayPen> FTicks;
  std::unique_ptr<TDarkGrayPen> FTicksInner;
  std::unique_ptr<TChartAxisTitle> FTitle;
  std::unique_ptr<TAxisItems> FItems;
};

// A depth axis: hidden by default; inverting one inverts the other depth axis of the chart.
class TChartDepthAxis : public TChartAxis {
  VM_CLASS(TChartDepthAxis, TChartAxis)
public:
  using TChartAxis::TChartAxis;
  TAxisLabelStyle CalcLabelStyle() override;
  void SetInverted(bool Value) override;
};
