#include "chart/extra/selector_tool.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_marks.h"
#include "chart/series/tools_annotation.h"

VM_PUBLISH(TSelectorTool) {
  using T = TSelectorTool;
  P.Bool("AllowDrag", &T::AllowDrag, &T::SetAllowDrag).Default(true);
  P.Bool("AllowResizeChart", &T::AllowResizeChart, &T::SetAllowResizeChart).Default(false);
  P.Object("Brush", &T::Brush, &T::SetBrush);
  P.Int("HandleSize", &T::HandleSize, &T::SetHandleSize).Default(3);
  P.Object("Pen", &T::Pen, &T::SetPen);
  P.Event("OnDragged", &T::OnDragged);
  P.Event("OnDragging", &T::OnDragging);
  P.Event("OnResized", &T::OnResized);
  P.Event("OnResizing", &T::OnResizing);
  P.Event("OnSelected", &T::OnSelected);
}

TSelectorTool::TSelectorTool(TComponent* AOwner) : TGraphCustomTool(AOwner) {}

void TSelectorTool::GetDescription(std::string& Text) { Text = MsgGallerySelector; }

void TSelectorTool::SelectionChanged() {
  Repaint();
  if (OnSelected) OnSelected(this);
}

void TSelectorTool::ClearSelection() {
  FPart = TChartPartHit();
  FAnnotation = nullptr;
  FShape = nullptr;
  FWall = nullptr;
}

void TSelectorTool::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphCustomTool::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  // A selected series or annotation that goes takes the selection with it.
  if (AComponent == FPart.Series || (FAnnotation && AComponent == FAnnotation)) ClearSelection();
}

// -- mouse --------------------------------------------------------------------------------------------

void TSelectorTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphCustomTool::HandleChartMouse(Kind, Button, Shift, X, Y);
  if (Shift.Contains(ssDouble) || !FParentChart) return;
  switch (Kind) {
    case meDown:
      if (Button == mbLeft) MouseDown(X, Y);
      break;
    case meMove:
      MouseMove(X, Y);
      break;
    case meUp:
      MouseUp();
      break;
  }
}

void TSelectorTool::MouseDown(int X, int Y) {
  TCustomAxisPanel* chart = FParentChart;
  if (FAllowResizeChart && std::abs(X - chart->Width()) <= 8 && std::abs(Y - chart->Height()) <= 8) {
    FResizing = true;
    FResized = false;
    return;
  }
  FResizing = false;
  if (FPart.Series) FPart.Series->RemoveFreeNotification(this);
  if (FAnnotation) FAnnotation->RemoveFreeNotification(this);
  ClearSelection();
  for (TGraphCustomTool* t : *chart->Tools) {
    auto* a = dynamic_cast<TAnnotationTool*>(t);
    if (a && a->Active() && a->ContainsPoint(X, Y)) {
      FAnnotation = a;
      FShape = a->Shape();
      a->FreeNotification(this);
      break;
    }
  }
  if (!FAnnotation) {
    if (auto* c = dynamic_cast<TCustomChart*>(chart)) {
      GetChartPartAt(c, TPoint(X, Y), FPart);
      switch (FPart.Kind) {
        case cpLegend:
          FShape = c->Legend();
          break;
        case cpTitle:
          FShape = c->Title();
          break;
        case cpSubTitle:
          FShape = c->SubTitle();
          break;
        case cpFoot:
          FShape = c->Foot();
          break;
        case cpSubFoot:
          FShape = c->SubFoot();
          break;
        case cpChartRect:
          FWall = c->BackWall();
          break;
        default:
          break;
      }
      if (FPart.Series) FPart.Series->FreeNotification(this);
    }
  }
  SelectionChanged();
  FCanDrag = FAllowDrag && FShape;
  if (FCanDrag) {
    FOffsetX = FShape->Left() - X;
    FOffsetY = FShape->Top() - Y;
    FDragged = false;
    // While the shape follows the mouse, the chart below it is drawn once and kept.
    chart->SetKeepBaseLayer(true);
    FKeepingBaseLayer = true;
  }
}

void TSelectorTool::MouseMove(int X, int Y) {
  if (FCanDrag) {
    // The first move must exceed 2 pixels; from then on the shape follows the mouse exactly.
    const int32_t left = FOffsetX + X, top = FOffsetY + Y;
    {
      // An annotation, and a legend or title already in a place of its own, are drawn over the
      // rest of the chart, so moving them leaves the picture below as it was. The first move of a
      // legend or title in its automatic place gives its room back to the chart: all is redrawn.
      std::optional<TTopLayerChange> topOnly;
      if (FAnnotation || FShape->CustomPosition()) topOnly.emplace(FParentChart);
      if (left != FShape->Left() && (FDragged || std::abs(left - FShape->Left()) > 2)) {
        FShape->SetLeft(left);
        FDragged = true;
      }
      if (top != FShape->Top() && (FDragged || std::abs(top - FShape->Top()) > 2)) {
        FShape->SetTop(top);
        FDragged = true;
      }
    }
    if (OnDragging) OnDragging(this);
  } else if (FResizing) {
    TCustomAxisPanel* chart = FParentChart;
    if (chart->Align() != alNone) chart->SetAlign(alNone);
    if (chart->Width() != X) chart->SetWidth(X);
    if (chart->Height() != Y) chart->SetHeight(Y);
    FResized = true;
    if (OnResizing) OnResizing(this);
  }
}

void TSelectorTool::MouseUp() {
  if (FDragged && OnDragged) OnDragged(this);
  if (FResized && OnResized) OnResized(this);
  FCanDrag = FDragged = FResizing = FResized = false;
  if (FKeepingBaseLayer && FParentChart) FParentChart->SetKeepBaseLayer(false);
  FKeepingBaseLayer = false;
}

// -- drawing ------------------------------------------------------------------------------------------

void TSelectorTool::DrawHandle(int X, int Y, int Z, bool Flat) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const TRect r(X - FHandleSize, Y - FHandleSize, X + FHandleSize, Y + FHandleSize);
  if (Flat || !FParentChart->View3D())
    c->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
  else
    c->RectangleWithZ(r, Z);
  FHandles.emplace_back(X, Y);
}

void TSelectorTool::DrawRectHandles(const TRect& R) {
  if (R.Right - R.Left <= 0) return;
  DrawHandle(R.Left, R.Top, 0, true);
  DrawHandle(R.Right, R.Top, 0, true);
  DrawHandle(R.Left, R.Bottom, 0, true);
  DrawHandle(R.Right, R.Bottom, 0, true);
}

void TSelectorTool::DrawSeriesHandles() {
  TChartSeries* s = FPart.Series;
  if (!s) return;
  const int32_t first = s->FirstValueIndex, last = s->LastValueIndex;
  int32_t n = last - first;
  if (n == 0) n = s->PointCount();
  const int32_t step = n <= 20 ? 1 : n / 20;
  const int32_t from = first < 0 ? 0 : first, to = last < 0 ? s->PointCount() - 1 : last;
  for (int32_t i = from; i <= to; i += step) {
    if (FPart.Kind == cpSeries) {
      DrawHandle(s->ScreenXAt(i), s->ScreenYAt(i), s->StartZ, false);
    } else if (TSeriesMarkPosition* p = s->Marks()->Positions.Position(i)) {
      const TRect r = p->GetBounds();
      const int z = s->Marks()->ZPosition;
      DrawHandle(r.Left, r.Top, z, false);
      DrawHandle(r.Right, r.Top, z, false);
      DrawHandle(r.Left, r.Bottom, z, false);
      DrawHandle(r.Right, r.Bottom, z, false);
    }
  }
}

void TSelectorTool::HandleChartStage(TToolDrawStage Stage) {
  TGraphCustomTool::HandleChartStage(Stage);
  if (Stage != tdsAfterDraw) return;
  FHandles.clear();
  if (!FParentChart || FParentChart->Printing) return;
  TCustomAxisPanel* chart = FParentChart;
  TGraphCanvas3D* c = chart->Canvas;
  c->AssignVisiblePen(Pen());
  c->AssignBrush(Brush(), Brush()->Color());
  if (FShape) {
    DrawRectHandles(FShape->BoxRect);
    return;
  }
  auto* full = dynamic_cast<TCustomChart*>(chart);
  switch (FPart.Kind) {
    case cpNone: {
      TRect r = chart->ClientRect();
      r = TRect(r.Left + FHandleSize, r.Top + FHandleSize, r.Right - FHandleSize, r.Bottom - FHandleSize);
      DrawRectHandles(r);
      break;
    }
    case cpLegend:
      if (full && full->Legend()->Visible()) DrawRectHandles(full->Legend()->BoxRect);
      break;
    case cpAxis:
      if (FPart.Axis) DrawRectHandles(FPart.Axis->GetAxisRect());
      break;
    case cpSeries:
    case cpSeriesMarks:
      DrawSeriesHandles();
      break;
    case cpChartRect: {
      const TRect& r = chart->ChartRect;
      if (r.Right - r.Left <= 0) break;
      const int z = chart->View3D() ? chart->Width3D : 0;
      for (const TPoint& p :
           {TPoint(r.Left, r.Top), TPoint(r.Right, r.Top), TPoint(r.Left, r.Bottom), TPoint(r.Right, r.Bottom)}) {
        const TPoint q = chart->View3D() ? c->ProjectPoint(p, z) : p;
        DrawHandle(q.X, q.Y, 0, true);
      }
      break;
    }
    default:
      break;
  }
}

void RegisterSelectorTool() { RegisterToolTypes({TSelectorTool::StaticClass()}); }

void UnregisterSelectorTool() { UnregisterToolTypes({TSelectorTool::StaticClass()}); }
