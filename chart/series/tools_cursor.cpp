#include "chart/series/tools_cursor.h"

#include <cmath>
#include <limits>

#include "chart/engine/engine_texts.h"

const TEnumInfo CursorToolStyleInfo("TCursorToolStyle", {"cssHorizontal", "cssVertical", "cssBoth"});
const TEnumInfo NearestToolStyleInfo("TNearestToolStyle", {"hsNone", "hsCircle", "hsRectangle", "hsDiamond"});

bool SeriesVisibleRange(TChartSeries* Series, int& First, int& Last) {
  const int n = Series->PointCount();
  First = std::max(0, Series->FirstValueIndex);
  Last = Series->LastValueIndex;
  if (Last < 0 || Last >= n) Last = n - 1;
  return n > 0 && First <= n && Last <= n;
}

// =============================================================================================
// Cursor

VM_PUBLISH(TCursorTool) {
  P.Int("ClickTolerance", &TCursorTool::ClickTolerance, &TCursorTool::SetClickTolerance).Default(3);
  P.Bool("FollowMouse", &TCursorTool::FollowMouse, &TCursorTool::SetFollowMouse).Default(false);
  P.Object("Pen", &TCursorTool::Pen, &TCursorTool::SetPen);
  P.Bool("Snap", &TCursorTool::Snap, &TCursorTool::SetSnap).Default(false);
  P.Enum("Style", &TCursorTool::Style, &TCursorTool::SetStyle, CursorToolStyleInfo).Default(cssBoth);
  P.Bool("UseSeriesZ", &TCursorTool::UseSeriesZ, &TCursorTool::SetUseSeriesZ).Default(false);
  P.Event("OnChange", &TCursorTool::OnChange);
  P.Event("OnSnapChange", &TCursorTool::OnSnapChange);
}

TCursorTool::TCursorTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {}

void TCursorTool::GetDescription(std::string& Text) { Text = MsgToolCursor; }

void TCursorTool::SnapAndRepaint() {
  SnapToSeries();
  Repaint();
}

void TCursorTool::SetStyle(TCursorToolStyle Value) {
  FStyle = Value;
  SnapAndRepaint();
}

void TCursorTool::SetSeries(TChartSeries* Value) {
  TGraphCustomToolSeries::SetSeries(Value);
  LastSnapIndex = -1;
  if (Value && !ComponentState().Contains(csLoading)) SnapAndRepaint();
}

int TCursorTool::SeriesDepth() const { return FUseSeriesZ && FSeries ? FSeries->StartZ : 0; }

TRect TCursorTool::AxesRect() const {
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  if (!h || !v) return TRect(0, 0, 0, 0);
  return TRect(h->StartPixel, v->StartPixel, h->EndPixel, v->EndPixel);
}

int TCursorTool::HitTest(int X, int Y) const {
  if (FUseSeriesZ && FParentChart) FParentChart->Canvas->Calculate2DPosition(X, Y, SeriesDepth());
  const TRect r = AxesRect();
  if (!(X >= r.Left && X <= r.Right && Y >= r.Top && Y <= r.Bottom)) return 0;
  const bool nearY = std::abs(Y - YPos) <= FClickTolerance;
  const bool nearX = std::abs(X - XPos) <= FClickTolerance;
  if (FStyle == cssBoth && nearX && nearY) return 3;
  if ((FStyle == cssHorizontal || FStyle == cssBoth) && nearY) return 1;
  if ((FStyle == cssVertical || FStyle == cssBoth) && nearX) return 2;
  return 0;
}

void TCursorTool::PixelsToValues(int X, int Y) {
  if (FUseSeriesZ && FParentChart) FParentChart->Canvas->Calculate2DPosition(X, Y, SeriesDepth());
  if (DragKind == 1)
    YValue = GetVertAxis()->PixelToValue(Y);
  else if (DragKind == 2)
    XValue = GetHorizAxis()->PixelToValue(X);
  else {
    XValue = GetHorizAxis()->PixelToValue(X);
    YValue = GetVertAxis()->PixelToValue(Y);
  }
}

int TCursorTool::SnapToSeries() {
  int first, last;
  if (!FSeries || !FSnap || !SeriesVisibleRange(FSeries, first, last)) return -1;
  int best = -1;
  double bestDist = std::numeric_limits<double>::infinity();
  for (int i = first; i <= last; ++i) {
    const double dx = XValue - FSeries->XValueAt(i), dy = YValue - FSeries->YValueAt(i);
    const double d = FStyle == cssHorizontal ? std::abs(dy)
                     : FStyle == cssVertical ? std::abs(dx)
                                             : std::sqrt(dx * dx + dy * dy);
    if (d < bestDist) {
      bestDist = d;
      best = i;
    }
  }
  if (best >= 0) {
    if (FStyle != cssVertical) YValue = FSeries->YValueAt(best);
    if (FStyle != cssHorizontal) XValue = FSeries->XValueAt(best);
  }
  return best;
}

void TCursorTool::ValuesToPixels() {
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  if (!h || !v) return;
  if (XPos == -1 || YPos == -1) {
    const int saved = DragKind;
    DragKind = 0;
    PixelsToValues((h->StartPixel + h->EndPixel) / 2, (v->StartPixel + v->EndPixel) / 2);
    DragKind = saved;
    const int index = SnapToSeries();
    XPos = h->ValueToPixel(XValue);
    YPos = v->ValueToPixel(YValue);
    DoChange(index);
  } else {
    XPos = h->ValueToPixel(XValue);
    YPos = v->ValueToPixel(YValue);
  }
}

void TCursorTool::DrawCursor() {
  TCustomAxisPanel* chart = FParentChart;
  if (!chart) return;
  TGraphCanvas3D* c = chart->Canvas;
  const TColor back = chart->Color() == clDefault ? clBtnFace : chart->Color();
  c->AssignVisiblePen(Pen());
  c->Pen->SetColor(ColorToRGB(Pen()->Color()) ^ ColorToRGB(back));
  c->Brush->SetStyle(bsClear);
  c->Pen->SetMode(pmXor);
  const TRect r = AxesRect();
  const int z = SeriesDepth();
  const bool in3D = chart->View3D();
  if (FStyle == cssHorizontal || FStyle == cssBoth) {
    if (in3D)
      c->HorizLine3D(r.Left, r.Right, YPos, z);
    else
      c->HorizLine(r.Left, r.Right, YPos);
  }
  if (FStyle == cssVertical || FStyle == cssBoth) {
    if (in3D)
      c->VertLine3D(XPos, r.Top, r.Bottom, z);
    else
      c->VertLine(XPos, r.Top, r.Bottom);
  }
  c->Pen->SetMode(pmCopy);
  c->Invalidate();
}

void TCursorTool::DoChange(int ValueIndex) {
  if (OnChange) OnChange(this, XPos, YPos, XValue, YValue, FSeries, ValueIndex);
}

void TCursorTool::HandleChartStage(TToolDrawStage Stage) {
  if (Stage != tdsAfterDraw || !GetHorizAxis() || !GetVertAxis()) return;
  ValuesToPixels();
  DrawCursor();
}

void TCursorTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton, TShiftState, int X, int Y) {
  TCustomAxisPanel* chart = FParentChart;
  if (!chart || !GetHorizAxis() || !GetVertAxis()) return;
  switch (Kind) {
    case meDown:
      if (FFollowMouse) return;
      DragKind = HitTest(X, Y);
      if (DragKind != 0) chart->CancelMouse = true;
      break;
    case meMove: {
      const TRect r = AxesRect();
      int px = X, py = Y;
      if (FUseSeriesZ) chart->Canvas->Calculate2DPosition(px, py, SeriesDepth());
      const bool inside = px >= r.Left && px <= r.Right && py >= r.Top && py <= r.Bottom;
      if ((DragKind != 0 || FFollowMouse) && inside) {
        DrawCursor();
        PixelsToValues(X, Y);
        const int index = SnapToSeries();
        ValuesToPixels();
        DrawCursor();
        DoChange(index);
        if (OnSnapChange && index != LastSnapIndex) OnSnapChange(this, XPos, YPos, XValue, YValue, FSeries, index);
        LastSnapIndex = index;
      } else {
        const int hit = HitTest(X, Y);
        if (hit != 0) chart->SetCursor(hit == 1 ? crVSplit : hit == 2 ? crHSplit : crSizeAll);
        chart->CancelMouse = hit != 0;
      }
      break;
    }
    case meUp:
      DragKind = 0;
      break;
  }
}

// =============================================================================================
// Nearest point

VM_PUBLISH(TNearestTool) {
  P.Object("Brush", &TNearestTool::Brush, &TNearestTool::SetBrush);
  P.Bool("DrawLine", &TNearestTool::DrawLine, &TNearestTool::SetDrawLine).Default(true);
  P.Bool("FullRepaint", &TNearestTool::FullRepaint, &TNearestTool::SetFullRepaint).Default(true);
  P.Object("LinePen", &TNearestTool::LinePen, &TNearestTool::SetLinePen);
  P.Object("Pen", &TNearestTool::Pen, &TNearestTool::SetPen);
  P.Int("Size", &TNearestTool::Size, &TNearestTool::SetSize).Default(20);
  P.Enum("Style", &TNearestTool::Style, &TNearestTool::SetStyle, NearestToolStyleInfo).Default(hsCircle);
  P.Event("OnChange", &TNearestTool::OnChange);
}

TNearestTool::TNearestTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {
  Brush()->SetStyle(bsClear);
  Pen()->SetStyle(psDot);
  Pen()->SetColor(clWhite);
  FLinePen.reset(CreateChartPen());
}

TNearestTool::~TNearestTool() = default;

void TNearestTool::GetDescription(std::string& Text) { Text = MsgToolNearestPoint; }

void TNearestTool::SetStyle(TNearestToolStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Repaint();
}

int TNearestTool::NearestPoint(TChartSeries* Series, int X, int Y, bool IncludeNulls) {
  int first, last;
  if (!Series || !SeriesVisibleRange(Series, first, last)) return -1;
  TCustomAxisPanel* chart = Series->ParentChart();
  if (!chart) return -1;
  TChartValueList* z = Series->HasZValues() ? Series->ValueListByName("Z") : nullptr;
  TChartAxis* depth = chart->DepthAxis();
  const TRect& r = chart->ChartRect;
  int result = -1;
  int best = 10000;
  for (int i = first; i <= last; ++i) {
    if (!IncludeNulls && Series->IsNullPoint(i)) continue;
    TPoint p(Series->ScreenXAt(i), Series->ScreenYAt(i));
    if (z && depth) p = chart->Canvas->Calculate3DPosition(p.X, p.Y, depth->ValueToPixel(z->Value(i)));
    if (!(p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom)) continue;
    const int d = static_cast<int>(std::nearbyint(std::hypot(double(X - p.X), double(Y - p.Y))));
    if (d < best) {
      best = d;
      result = i;
    }
  }
  return result;
}

void TNearestTool::PaintMark() {
  TCustomAxisPanel* chart = FParentChart;
  if (!chart || !FSeries || NearestIndex == -1 || NearestIndex >= FSeries->PointCount()) return;
  TGraphCanvas3D* c = chart->Canvas;
  c->AssignVisiblePen(Pen());
  if (!FFullRepaint) c->Pen->SetMode(pmNotXor);
  const int x = FSeries->ScreenXAt(NearestIndex), y = FSeries->ScreenYAt(NearestIndex);
  int z = FSeries->StartZ;
  if (FSeries->HasZValues())
    if (TChartValueList* zl = FSeries->ValueListByName("Z"); zl && chart->DepthAxis())
      z = chart->DepthAxis()->ValueToPixel(zl->Value(NearestIndex));
  const bool in3D = chart->View3D();
  if (FStyle != hsNone) {
    c->AssignBrush(Brush(), clBlack);
    const TRect sq(x - FSize, y - FSize, x + FSize, y + FSize);
    switch (FStyle) {
      case hsCircle:
        if (in3D)
          c->EllipseWithZ(sq.Left, sq.Top, sq.Right, sq.Bottom, z);
        else
          c->Ellipse(sq.Left, sq.Top, sq.Right, sq.Bottom);
        break;
      case hsRectangle:
        if (in3D)
          c->RectangleWithZ(sq, z);
        else
          c->Rectangle(sq.Left, sq.Top, sq.Right, sq.Bottom);
        break;
      case hsDiamond: {
        const TPoint pts[4] = {TPoint(x, y - FSize), TPoint(x + FSize, y), TPoint(x, y + FSize), TPoint(x - FSize, y)};
        c->PolygonWithZ(pts, z);
        break;
      }
      default:
        break;
    }
  }
  if (DrawLine()) {
    c->AssignVisiblePen(FLinePen.get());
    if (!FFullRepaint) c->Pen->SetMode(pmNotXor);
    c->MoveTo(MouseX, MouseY);
    if (in3D)
      c->LineTo3D(x, y, z);
    else
      c->LineTo(x, y);
  }
  if (!FFullRepaint) c->Pen->SetMode(pmCopy);
}

void TNearestTool::HandleChartStage(TToolDrawStage Stage) {
  if (Stage == tdsAfterDraw) {
    PaintMark();
  } else if (Stage == tdsMouseLeave) {
    if (!FFullRepaint) PaintMark();
    NearestIndex = -1;
    if (FFullRepaint) Repaint();
  }
}

void TNearestTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton, TShiftState, int X, int Y) {
  if (Kind != meMove || !FSeries || !FParentChart) return;
  if (!FFullRepaint) PaintMark();
  NearestIndex = NearestPoint(FSeries, X, Y, false);
  MouseX = X;
  MouseY = Y;
  if (!FFullRepaint) PaintMark();
  if (OnChange) OnChange(this);
  if (FFullRepaint) Repaint();
}
