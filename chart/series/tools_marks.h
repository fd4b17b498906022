// Tools on the marks of series points: dragging a mark to a place of its own, and showing the
// mark text of the point under the mouse as the chart's hint.
#pragma once

#include <functional>
#include <string>

#include "chart/engine/chart.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/tool_base.h"

class TDragMarksTool : public TGraphCustomToolSeries {
  VM_CLASS(TDragMarksTool, TGraphCustomToolSeries)
public:
  explicit TDragMarksTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {}

  static void ClassEditorName(std::string& Name) { Name = "TDragMarksToolEditor"; }
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;
  // The index of the series' mark under the point (-1 none); a hit holds that mark's position.
  int MarkAt(TChartSeries* ASeries, int X, int Y);

  TSeriesMarkPosition* Held() const { return FPosition; }

private:
  int FOldX = 0, FOldY = 0;
  TSeriesMarkPosition* FPosition = nullptr;
  TChartSeries* FHeldSeries = nullptr;
};

enum TMarkToolMouseAction { mtmMove, mtmClick };
extern const TEnumInfo MarkToolMouseActionInfo;

class TMarksTipTool;
using TMarksTipGetText = std::function<void(TMarksTipTool* Sender, std::string& Text)>;

class TMarksTipTool : public TGraphCustomToolSeries {
  VM_CLASS(TMarksTipTool, TGraphCustomToolSeries)
public:
  explicit TMarksTipTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {}

  static void ClassEditorName(std::string& Name) { Name = "TMarksTipToolEdit"; }
  void SetActive(bool Value) override;
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;

  TCustomAxisPanel* TipChart() const;
  TMarkToolMouseAction MouseAction() const { return FMouseAction; }
  void SetMouseAction(TMarkToolMouseAction Value);
  // The application's hint pause, shared by every control.
  int MouseDelay() const;
  void SetMouseDelay(int Value);
  TSeriesMarksStyle Style() const { return FStyle; }
  void SetStyle(TSeriesMarksStyle Value) { FStyle = Value; }

  TMarksTipGetText OnGetText;

private:
  TMarkToolMouseAction FMouseAction = mtmMove;
  TSeriesMarksStyle FStyle = smsLabel;
};
