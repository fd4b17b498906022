// The bar family: where each bar lies (width from the axis, place among the chart's other bars,
// base at the origin or on the stack below), which bar a position hits, and how a bar is painted
// in each shape.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "chart/engine/series_base.h"
#include "chart/series/bar_gradient.h"

enum TMultiBar { mbNone, mbSide, mbStacked, mbStacked100, mbSideAll, mbSelfStack };
enum TBarStyle {
  bsRectangle,
  bsPyramid,
  bsInvPyramid,
  bsCilinder,
  bsEllipse,
  bsArrow,
  bsRectGradient,
  bsCone,
  bsBevel,
  bsSlantCube,
  bsDiamond,
  bsInvArrow,
  bsInvCone
};

extern const TEnumInfo MultiBarInfo;
extern const TEnumInfo BarStyleInfo;

using TGetBarStyleEvent = std::function<void(TChartSeries* Sender, int ValueIndex, TBarStyle& TheBarStyle)>;

class TCustomBarSeries : public TChartSeries {
  VM_CLASS(TCustomBarSeries, TChartSeries)
public:
  explicit TCustomBarSeries(TComponent* AOwner);
  ~TCustomBarSeries() override;

  // -- operations introduced here -----------------------------------------------------------------
  virtual int32_t MarkTextSize(int32_t /*ValueIndex*/) { return 0; }
  virtual bool ClickedBar(int32_t ValueIndex, const TPoint& P);
  static bool GalleryHasStacked() { return true; }
  virtual double PointOrigin(int32_t ValueIndex, bool SumAll);
  virtual void DrawBar(int32_t ValueIndex, int StartPos, int EndPos);
  virtual void DrawTickLine(int /*Pos*/, TBarStyle /*Style*/) {}

  TBarStyle GetBarStyle(int32_t ValueIndex);
  int32_t OriginPos(int32_t ValueIndex);
  int32_t MarkRoom(int32_t ValueIndex);
  int32_t BarWidth() const { return FBarWidth; }
  const TRect& BarBounds() const { return FBarBounds; }

  // -- overrides -------------------------------------------------------------------------------------
  void PrepareForDraw() override;
  void FireAfterDrawValues() override;
  void DrawVisiblePoints() override;
  void AssignZOrder() override;
  void CalcDepthPositions() override;
  void FindVisibleRange() override;
  void SetParentChart(TCustomAxisPanel* Value) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void DrawOneValue(int32_t ValueIndex) override;
  int32_t ScreenXAt(int32_t Index) override;
  int32_t ScreenYAt(int32_t Index) override;
  double HighestX() override;
  double HighestY() override;
  double LowestX() override;
  double LowestY() override;
  void GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) override;
  void GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) override;
  bool IsValueDrawnForward(int32_t ValueIndex) override;
  bool SharesZOrder() override;
  void FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) override;
  void AdjustLegendBrush(int32_t ValueIndex, TColor& BackColor, TBrushStyle& Style) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TBarSeriesEditor"; }

  // -- properties --------------------------------------------------------------------------------------
  TChartBrush* BarBrush() const { return Brush(); }
  TChartPen* BarPen() const { return Pen(); }
  bool AutoBarSize() const { return FAutoBarSize; }
  void SetAutoBarSize(bool Value) { SetBooleanProperty(FAutoBarSize, Value); }
  bool AutoMarkPosition() const { return FAutoMarkPosition; }
  void SetAutoMarkPosition(bool Value) { SetBooleanProperty(FAutoMarkPosition, Value); }
  TBarStyle BarStyle() const { return FBarStyle; }
  void SetBarStyle(TBarStyle Value);
  int32_t BarWidthPercent() const { return FBarWidthPercent; }
  void SetBarWidthPercent(int32_t Value) { SetIntegerProperty(FBarWidthPercent, Value); }
  int32_t BevelSize() const { return FBevelSize; }
  void SetBevelSize(int32_t Value) { SetIntegerProperty(FBevelSize, Value); }
  int32_t CustomBarWidth() const { return FCustomBarWidth; }
  void SetCustomBarWidth(int32_t Value) { SetIntegerProperty(FCustomBarWidth, Value); }
  bool Dark3D() const { return FDark3D; }
  void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
  int32_t DepthPercent() const { return FDepthPercent; }
  void SetDepthPercent(int32_t Value) { SetIntegerProperty(FDepthPercent, Value); }
  TMultiBar MultiBar() const { return FMultiBar; }
  void SetMultiBar(TMultiBar Value);
  int32_t OffsetPercent() const { return FOffsetPercent; }
  void SetOffsetPercent(int32_t Value) { SetIntegerProperty(FOffsetPercent, Value); }
  bool SideMargins() const { return FSideMargins; }
  void SetSideMargins(bool Value);
  int32_t StackGroup() const { return FStackGroup; }
  void SetStackGroup(int32_t Value) { SetIntegerProperty(FStackGroup, Value); }
  TBarSeriesGradient* Gradient() const { return FGradient.get(); }
  void SetGradient(TBarSeriesGradient* Value) { FGradient->Assign(Value); }
  TChartHiddenPen* TickLines() const { return FTickLines.get(); }
  void SetTickLines(TChartHiddenPen* Value) { FTickLines->Assign(Value); }
  int32_t Transparency() const { return FTransparency; }
  void SetTransparency(int32_t Value) { SetIntegerProperty(FTransparency, std::clamp(Value, 0, 100)); }
  bool UseYOrigin() const { return FUseYOrigin; }
  void SetUseYOrigin(bool Value) { SetBooleanProperty(FUseYOrigin, Value); }
  double YOrigin() const { return FYOrigin; }
  void SetYOrigin(double Value) { SetDoubleProperty(FYOrigin, Value); }

  TGetBarStyleEvent OnGetBarStyle;

  // Joining thin bars into lines (on by default; off draws every bar by itself, as a reference).
  static inline bool ThinRunsEnabled = true;

protected:
  bool Vertical() const { return YMandatory; }
  TChartAxis* PositionAxis() const { return Vertical() ? HorizAxisObject : VertAxisObject; }
  void CalcBarWidth();
  int32_t PositionStart(int32_t Index);
  int32_t ValueEnd(int32_t Index);
  void SyncChartBars();
  void DrawThinAwareRect(const TRect& R);
  // The active same-kind series of this stack group in chart order (this one included).
  void CollectStackPeers();

  // Collects the peers for one computation over all points and forgets them afterwards.
  struct TPeersScope {
    explicit TPeersScope(TCustomBarSeries* S) : Series(S), Was(S->FPeersValid) {
      if (!Was) S->CollectStackPeers();
    }
    ~TPeersScope() { Series->FPeersValid = Was; }
    TCustomBarSeries* Series;
    bool Was;
  };
  std::vector<TCustomBarSeries*> FStackPeers;
  bool FPeersValid = false;

  bool FAutoBarSize = false;
  bool FAutoMarkPosition = true;
  TBarStyle FBarStyle = bsRectangle;
  int32_t FBarWidthPercent = 70;
  int32_t FBevelSize = 1;
  int32_t FConePercent = 0;
  bool FDark3D = true;
  int32_t FDepthPercent = 100;
  TMultiBar FMultiBar = mbSide;
  int32_t FOffsetPercent = 0;
  bool FSideMargins = true;
  int32_t FStackGroup = 0;
  std::unique_ptr<TChartHiddenPen> FTickLines;
  std::unique_ptr<TBarSeriesGradient> FGradient;
  int32_t FTransparency = 0;
  bool FUseYOrigin = true;
  double FYOrigin = 0;
  int32_t FCustomBarWidth = 0;

  // Bars one pixel wide (or high) in 2D are plain lines of the pen: consecutive ones in the same
  // column (or row) are joined into one line and drawn once, with the same pixels.
  struct TThinRun {
    bool Active = false;
    int Pos = 0, From = 0, To = 0;
  };
  bool JoinThinRun(int32_t ValueIndex, const TRect& Bar);
  void FlushThinRun();
  TThinRun FRun;
  // The stacked origin of the last point asked for (asked twice per bar while drawing).
  int32_t FOriginIndex = -1;
  double FOriginValue = 0;

  // Layout of one drawing pass.
  TRect FBarBounds;
  int32_t FBarCount = 1, FPointSlots = -1, FBarOrder = 1, FPointsBefore = 0, FBarWidth = 0;
  TColor FBarColor = clBlack;
};

class TBarSeries : public TCustomBarSeries {
  VM_CLASS(TBarSeries, TCustomBarSeries)
public:
  explicit TBarSeries(TComponent* AOwner);
  int32_t MarkTextSize(int32_t ValueIndex) override;
};

class THorizBarSeries : public TCustomBarSeries {
  VM_CLASS(THorizBarSeries, TCustomBarSeries)
public:
  explicit THorizBarSeries(TComponent* AOwner);
  int32_t MarkTextSize(int32_t ValueIndex) override;
  int32_t CustomBarHeight() const { return FCustomBarWidth; }
  void SetCustomBarHeight(int32_t Value) { SetCustomBarWidth(Value); }
};
