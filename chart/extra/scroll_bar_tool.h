// A scroll bar the chart draws on its own canvas: arrow boxes at both ends and a proportional
// thumb, driven by the chart's mouse, repeating while an arrow or the track is held down. What it
// scrolls comes from the virtual range, page and position of a descendant: the legend scroll bar
// scrolls the legend's items, or the chart's pages when the chart is paged.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "chart/engine/legend.h"
#include "chart/engine/tool_base.h"

class TTimer;
class TGraphScrollBar;

enum TGraphScrollBarDrawStyle { dsAlways, dsWhenNeeded };
extern const TEnumInfo GraphScrollBarDrawStyleInfo;

using TSetPositionEvent = std::function<void(TGraphScrollBar* Sender, int32_t Value)>;

class TGraphScrollBar : public TGraphCustomTool {
  VM_CLASS(TGraphScrollBar, TGraphCustomTool)
public:
  explicit TGraphScrollBar(TComponent* AOwner);
  ~TGraphScrollBar() override;

  static void ClassEditorName(std::string& Name) { Name = "TScrollBarEditor"; }
  void HandleChartStage(TToolDrawStage Stage) override;
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;
  void SetParentChart(TCustomAxisPanel* Value) override;

  virtual double PixelsToPosition(int32_t A, int32_t B);
  virtual int32_t GetPageSize() { return FPageSize; }
  virtual int32_t GetLargeChange() { return GetPageSize() / 4; }
  virtual int32_t GetPosition() { return FPosition; }
  virtual void SetPosition(int32_t Value);
  // Whether the bar shows; a descendant also places it (R, the area the bar goes against).
  virtual bool CalcBounds(TRect& R);
  virtual int32_t GetMax() { return FMax; }

  // The base keeps a range of its own (0 unless set).
  void SetMax(int32_t Value) { FMax = Value; }
  void SetPageSize(int32_t Value) { FPageSize = Value; }

  // -- geometry of the last layout ----------------------------------------------------------------
  TRect Bounds;
  bool Horizontal() const { return FHorizontal; }
  void SetHorizontal(bool Value) { FHorizontal = Value; }
  TRect GetBarRect() const;
  TRect GetStartArrowRect() const;
  TRect GetEndArrowRect() const;
  TRect GetTrackRect() const;
  TRect GetThumbRect() const;
  int32_t ThumbStart() const { return FThumbStart; }
  int32_t ThumbSize() const { return FThumbSize; }
  int32_t ThumbEnd() const { return FThumbEnd; }
  // Places the thumb from the range, page and position (done by each drawing).
  void CalcThumb();

  // -- mouse and scrolling ------------------------------------------------------------------------
  void MouseDownAt(const TPoint& P);
  void DragTo(int X, int Y);
  void MouseUp();
  void ScrollBy(bool Click, double Delta);
  void ScrollTo(double Target, bool Click);
  void TimerTick();
  TTimer* RepeatTimer() const { return FTimer.get(); }
  bool Dragging() const { return FDragging; }
  bool StartPressed() const { return FStartPressed; }
  bool EndPressed() const { return FEndPressed; }

  // -- properties ---------------------------------------------------------------------------------
  TChartBrush* ArrowBrush() const { return FArrowBrush.get(); }
  void SetArrowBrush(TChartBrush* Value) { FArrowBrush->Assign(Value); }
  bool AutoRepeat() const { return FAutoRepeat; }
  void SetAutoRepeat(bool Value) { FAutoRepeat = Value; }
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor Value) { SetColorProperty(FBackColor, Value); }
  TBevelCut Bevel() const { return FBevel; }
  void SetBevel(TBevelCut Value);
  TGraphScrollBarDrawStyle DrawStyle() const { return FDrawStyle; }
  void SetDrawStyle(TGraphScrollBarDrawStyle Value) { FDrawStyle = Value; }
  TGraphGradient* Gradient() const { return FGradient.get(); }
  void SetGradient(TGraphGradient* Value) { FGradient->Assign(Value); }
  int32_t InitialDelay() const { return FInitialDelay; }
  void SetInitialDelay(int32_t Value) { FInitialDelay = Value; }
  int32_t MinThumbSize() const { return FMinThumbSize; }
  void SetMinThumbSize(int32_t Value) { SetIntegerProperty(FMinThumbSize, Value); }
  int32_t Size() const { return FSize; }
  void SetSize(int32_t Value);
  TChartBrush* ThumbBrush() const { return FThumbBrush.get(); }
  void SetThumbBrush(TChartBrush* Value) { FThumbBrush->Assign(Value); }

  TNotifyEvent OnChangeSize;
  TNotifyEvent OnScrolled;
  TSetPositionEvent OnSetPosition;

protected:
  int32_t FMax = 0, FPageSize = 0, FPosition = 0;

private:
  void DrawArrows(const TRect& Start, const TRect& End);

  std::unique_ptr<TChartBrush> FArrowBrush;
  std::unique_ptr<TChartBrush> FThumbBrush;
  std::unique_ptr<TGraphGradient> FGradient;
  bool FAutoRepeat = true;
  TColor FBackColor = clScrollBar;
  TBevelCut FBevel = bvRaised;
  TGraphScrollBarDrawStyle FDrawStyle = dsAlways;
  int32_t FInitialDelay = 250;
  int32_t FMinThumbSize = 4;
  int32_t FSize = 18;

  bool FHorizontal = false;
  int32_t FThumbStart = 0, FThumbSize = 0, FThumbEnd = 0;
  bool FDragging = false, FStartPressed = false, FEndPressed = false;
  TPoint FLast;
  std::unique_ptr<TTimer> FTimer;
};

// Scrolls the chart legend, or the chart's pages when the chart is paged; the legend keeps room
// for the bar.
class TLegendScrollBar : public TGraphScrollBar {
  VM_CLASS(TLegendScrollBar, TGraphScrollBar)
public:
  explicit TLegendScrollBar(TComponent* AOwner);
  ~TLegendScrollBar() override;

  void GetDescription(std::string& Text) override;
  void SetParentChart(TCustomAxisPanel* Value) override;
  int32_t GetPageSize() override;
  int32_t GetLargeChange() override;
  int32_t GetPosition() override;
  void SetPosition(int32_t Value) override;
  bool CalcBounds(TRect& R) override;
  int32_t GetMax() override;

  // The legend's size hook: room for the bar when it shows.
  void AddLegendSpace(TCustomChartLegend* Sender, int32_t& Size);

private:
  bool Paged() const;
  TCustomChartLegend* ChartLegend() const;
  void SetLegendHook(TCustomAxisPanel* Chart, bool Install);
  TCustomChartLegend* FLegend = nullptr;
};

void RegisterScrollBarTools();
void UnregisterScrollBarTools();
