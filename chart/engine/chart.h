// The chart component: titles, legend and walls, the 3D room, and the chart's interaction (rubber
// band zoom with undo, scrolling by dragging, the mouse wheel, and click events on series, axes,
// legend, titles and background after a hit test). TChart is the published form.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/axis_panel.h"
#include "chart/engine/legend.h"
#include "chart/engine/walls_titles.h"

class TCustomChart;
class TChartValueList;

enum TChartPartKind {
  cpNone = 0,
  cpLegend = 1,
  cpAxis = 2,
  cpSeries = 3,
  cpTitle = 4,
  cpFoot = 5,
  cpChartRect = 6,
  cpSeriesMarks = 7,
  cpSubTitle = 8,
  cpSubFoot = 9
};

struct TChartPartHit {
  TChartPartKind Kind = cpNone;
  int32_t ValueIndex = -1;
  TChartSeries* Series = nullptr;
  TChartAxis* Axis = nullptr;
};

struct TAxisSavedScales {
  bool Automatic = true, AutomaticMinimum = true, AutomaticMaximum = true;
  double Minimum = 0, Maximum = 0;
};
using TAllAxisSavedScales = std::vector<TAxisSavedScales>;

using TChartAllowScrollEvent = std::function<void(TChartAxis* Sender, double& AMin, double& AMax, bool& AllowScroll)>;
using TChartClickAxis =
    std::function<void(TCustomChart* Sender, TChartAxis* Axis, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TChartClick = std::function<void(TCustomChart* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TChartClickSeries = std::function<void(TCustomChart* Sender, TChartSeries* Series, int32_t ValueIndex,
                                             TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TChartClickTitle = std::function<void(TCustomChart* Sender, TChartTitle* ATitle, TMouseButton Button,
                                            TShiftState Shift, int X, int Y)>;
using TOnGetLegendPos =
    std::function<void(TCustomChart* Sender, int32_t Index, int32_t& X, int32_t& Y, int32_t& XColor)>;
using TOnGetLegendRect = std::function<void(TCustomChart* Sender, TRect& Rect)>;
using TOnGetLegendText =
    std::function<void(TCustomAxisPanel* Sender, TLegendStyle LegendStyle, int32_t Index, std::string& LegendText)>;

// Process-wide settings of the chart component.
extern double AnimatedZoomFactor;
extern TShiftState ScrollKeyShift;
extern bool WheelScrollsAxes;

class TCustomChart : public TCustomAxisPanel {
  VM_CLASS(TCustomChart, TCustomAxisPanel)
public:
  explicit TCustomChart(TComponent* AOwner);
  ~TCustomChart() override;

  void Assign(TPersistent* Source) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  TColor GetBackColor() override;
  void Prepare3DChartRect() override;
  int32_t WallSizeForAxis(TChartAxis* Axis) override;
  void RenderTitlesAndLegend(bool BeforeSeries) override;
  void DrawLegendSymbolRect(const TRect& Rect) override;
  void RenderWalls() override;
  void GetSeriesLegendText(TChartSeries* Series, int32_t ValueIndex, std::string& Text) override;
  bool IsColorUnused(TColor Color, bool CheckBackground, TChartSeries* IgnoreSeries) override;
  void UndoZoom() override;
  virtual void ApplyZoomRect();
  // Editor hooks listing what may feed a series: the fields of its source (none here) and the
  // names of the value lists of the series that is the source of ValueList's series.
  using TNameProc = std::function<void(const std::string& Name)>;
  virtual void FillSeriesSourceFields(TChartSeries* Series, const TNameProc& Proc);
  virtual void FillValueSourceNames(TChartValueList* ValueList, const TNameProc& Proc);

  void ZoomToValues(double TopMin, double TopMax, double BottomMin, double BottomMax, double LeftMin, double LeftMax,
                    double RightMin, double RightMax);
  void LegendItemText(TCustomChartLegend* ALegend, int32_t Index, std::string& Text);
  std::string GetAxisDisplayName(TChartAxis* Axis);
  void SaveAxisScales();

  // Walls.
  void DrawBackWall();
  void DrawLeftWall();
  void DrawRightWall();
  void DrawBottomWall();
  bool IsRightWallBackFacing();
  bool IsLeftWallBackFacing();
  bool ShouldDrawInFront(TCustomChartWall* Wall);
  bool DarkSidesFor(TCustomChartWall* Wall);
  void PrepareWallPenBrush(TCustomChartWall* Wall);

  // -- properties ------------------------------------------------------------------------------
  TChartTitle* Title() const { return FTitle.get(); }
  TChartTitle* SubTitle() const { return FSubTitle.get(); }
  TChartTitle* Foot() const { return FFoot.get(); }
  TChartTitle* SubFoot() const { return FSubFoot.get(); }
  TChartLegend* Legend() const { return FLegend.get(); }
  TChartWalls* Walls() const { return FWalls.get(); }
  TChartBackWall* BackWall() const { return FWalls->Back.get(); }
  TChartWall* LeftWall() const { return FWalls->Left.get(); }
  TChartWall* BottomWall() const { return FWalls->Bottom.get(); }
  TChartRightWall* RightWall() const { return FWalls->Right.get(); }
  TChartPen* Frame() const { return FWalls->Back ? FWalls->Back->Pen() : nullptr; }
  TChartPen* GetFrame() const { return Frame(); }
  TMouseButton ScrollMouseButton() const { return FScrollMouseButton; }
  void SetScrollMouseButton(TMouseButton Value) { FScrollMouseButton = Value; }

  TChartAllowScrollEvent OnAllowScroll;
  TChartClickAxis OnClickAxis;
  TChartClick OnClickBackground;
  TChartClick OnClickLegend;
  TChartClickSeries OnClickSeries;
  TChartClickTitle OnClickTitle;
  TOnGetLegendPos OnGetLegendPos;
  TOnGetLegendRect OnGetLegendRect;
  TOnGetLegendText OnGetLegendText;

  int32_t ColorPaletteIndex = 0;
  TAllAxisSavedScales SavedScales;
  bool ScalesToBeSaved = true;

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

private:
  void DrawTitlesOf(bool CustomPositioned);
  void DrawFrontPass();
  bool IsSideWallFacing(int32_t X);
  void BroadcastToolsMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y);
  void StartZoomOrScroll(TMouseButton Button, TShiftState Shift, int X, int Y);
  void ClickBackground(TMouseButton Button, TShiftState Shift, int X, int Y, bool& Handled);
  void ScrollAxes(bool Horizontal, int New, int Last, bool& Done);
  void ScrollAxis(TChartAxis* Axis, int Last, int New);
  void DrawSideWall(TCustomChartWall* Wall, int32_t X, bool Right);

  std::unique_ptr<TChartTitle> FTitle;
  std::unique_ptr<TChartTitle> FSubTitle;
  std::unique_ptr<TChartTitle> FFoot;
  std::unique_ptr<TChartTitle> FSubFoot;
  std::unique_ptr<TChartWalls> FWalls;
  std::unique_ptr<TChartLegend> FLegend;
  TMouseButton FScrollMouseButton = mbRight;
};

class TChart : public TCustomChart {
  VM_CLASS(TChart, TCustomChart)
public:
  using TCustomChart::TCustomChart;
};

// The hit test.
void CalcChartPartAt(TCustomChart* Chart, const TPoint& Point, bool ClickableOnly, TChartPartHit& Part);
void GetChartPartAt(TCustomChart* Chart, const TPoint& Point, TChartPartHit& Part);
TChartSeries* FindFirstActiveSeries(TCustomAxisPanel* Chart);
