#include "chart/series/tools_marks.h"

#include "chart/engine/engine_texts.h"
#include "platform/forms.h"
#include "platform/guards.h"

const TEnumInfo MarkToolMouseActionInfo("TMarkToolMouseAction", {"mtmMove", "mtmClick"});

// =============================================================================================
// Dragging marks

VM_DEFINE_CLASS(TDragMarksTool)

void TDragMarksTool::GetDescription(std::string& Text) { Text = MsgToolDragMarks; }

int TDragMarksTool::MarkAt(TChartSeries* ASeries, int X, int Y) {
  if (!ASeries->Active()) return -1;
  const int i = ASeries->Marks()->MarkIndexAt(X, Y);
  if (i != -1) {
    FHeldSeries = ASeries;
    FPosition = ASeries->Marks()->Positions.GetPosition(i);
  }
  return i;
}

void TDragMarksTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton, TShiftState, int X, int Y) {
  TCustomAxisPanel* chart = FParentChart;
  if (!chart) return;
  switch (Kind) {
    case meDown:
      FPosition = nullptr;
      if (FSeries) {
        MarkAt(FSeries, X, Y);
      } else {
        for (int i = chart->CountSeries() - 1; i >= 0; --i)
          if (MarkAt(chart->SeriesAt(i), X, Y) != -1) break;
      }
      if (FPosition) {
        FOldX = X;
        FOldY = Y;
        chart->CancelMouse = true;
      }
      break;
    case meMove:
      if (FPosition) {
        const int dx = X - FOldX, dy = Y - FOldY;
        FPosition->UserMoved = true;
        FPosition->LeftTop = TPoint(FPosition->LeftTop.X + dx, FPosition->LeftTop.Y + dy);
        FPosition->ArrowEnd = TPoint(FPosition->ArrowEnd.X + dx, FPosition->ArrowEnd.Y + dy);
        FOldX = X;
        FOldY = Y;
        chart->CancelMouse = true;
        chart->Invalidate();
      } else {
        const auto over = [&](TChartSeries* s) {
          return s->Active() && s->Marks()->Visible() && s->Marks()->MarkIndexAt(X, Y) != -1;
        };
        bool hit = false;
        if (FSeries)
          hit = over(FSeries);
        else
          for (int i = chart->CountSeries() - 1; i >= 0 && !hit; --i) hit = over(chart->SeriesAt(i));
        if (hit) {
          chart->SetCursor(crHandPoint);
          chart->CancelMouse = true;
        }
      }
      break;
    case meUp:
      FPosition = nullptr;
      break;
  }
}

// =============================================================================================
// Mark tips

VM_PUBLISH(TMarksTipTool) {
  P.Enum("MouseAction", &TMarksTipTool::MouseAction, &TMarksTipTool::SetMouseAction, MarkToolMouseActionInfo)
      .Default(mtmMove);
  P.Int("MouseDelay", &TMarksTipTool::MouseDelay, &TMarksTipTool::SetMouseDelay).Stored(false);
  P.Enum("Style", &TMarksTipTool::Style, &TMarksTipTool::SetStyle, SeriesMarksStyleInfo).Default(smsLabel);
  P.Event("OnGetText", &TMarksTipTool::OnGetText);
}

void TMarksTipTool::GetDescription(std::string& Text) { Text = MsgToolMarkTips; }

TCustomAxisPanel* TMarksTipTool::TipChart() const { return FSeries ? FSeries->ParentChart() : FParentChart; }

void TMarksTipTool::SetActive(bool Value) {
  TGraphCustomToolSeries::SetActive(Value);
  if (!Value)
    if (TCustomAxisPanel* c = TipChart()) c->SetHint("");
}

void TMarksTipTool::SetMouseAction(TMarkToolMouseAction Value) {
  FMouseAction = Value;
  if (TCustomAxisPanel* c = TipChart()) c->SetHint("");
}

int TMarksTipTool::MouseDelay() const { return Application ? Application->HintPause() : 500; }

void TMarksTipTool::SetMouseDelay(int Value) {
  if (Application) Application->SetHintPause(Value);
}

void TMarksTipTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphCustomToolSeries::HandleChartMouse(Kind, Button, Shift, X, Y);
  if (!((Kind == meMove && FMouseAction == mtmMove) || (Kind == meDown && FMouseAction == mtmClick))) return;
  TCustomAxisPanel* chart = TipChart();
  if (!chart) return;
  TChartSeries* series = nullptr;
  int index = -1;
  if (FSeries) {
    series = FSeries;
    index = FSeries->PointIndexAt(X, Y);
  } else {
    for (int i = chart->CountSeries() - 1; i >= 0 && index == -1; --i) {
      TChartSeries* s = chart->SeriesAt(i);
      if (!s->Active()) continue;
      index = s->PointIndexAt(X, Y);
      if (index != -1) series = s;
    }
  }
  if (index == -1) {
    // Another mark-tips tool on the chart may be showing its own tip.
    bool another = false;
    if (chart->Tools)
      for (TGraphCustomTool* t : *chart->Tools)
        if (t != this && dynamic_cast<TMarksTipTool*>(t)) another = true;
    if (!another) {
      chart->SetHint("");
      if (Application) Application->CancelHint();
    }
    return;
  }
  const TSeriesMarksStyle oldStyle = series->Marks()->Style();
  const bool oldRepaint = chart->AutoRepaint;
  chart->AutoRepaint = false;
  series->Marks()->SetStyle(FStyle);
  std::string text;
  {
    TScopeExit restore([&] {
      series->Marks()->SetStyle(oldStyle);
      chart->AutoRepaint = oldRepaint;
    });
    series->BuildMarkText(index, text);
    if (OnGetText) OnGetText(this, text);
  }
  if (text != chart->Hint()) {
    chart->SetShowHint(true);
    chart->SetHint(text);
    if (Application) Application->ActivateHint(chart->ClientToScreen(TPoint(X, Y)), text);
  }
}
