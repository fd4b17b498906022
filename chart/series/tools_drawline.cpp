#include "chart/series/tools_drawline.h"

#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"

const TEnumInfo ToolMouseButtonInfo("TMouseButton", {"mbLeft", "mbRight", "mbMiddle"});
const TEnumInfo DrawLineStyleInfo("TDrawLineStyle", {"dlLine", "dlHorizParallel", "dlVertParallel"});

// =============================================================================================
// One line

VM_PUBLISH(TDrawLine) {
  P.Object("Pen", &TDrawLine::Pen, &TDrawLine::SetPen).Stored(&TDrawLine::HasOwnPen);
  P.Enum("Style", &TDrawLine::Style, &TDrawLine::SetStyle, DrawLineStyleInfo).Default(dlLine);
  P.Float("X0", &TDrawLine::X0, &TDrawLine::SetX0).NoDefault();
  P.Float("Y0", &TDrawLine::Y0, &TDrawLine::SetY0).NoDefault();
  P.Float("X1", &TDrawLine::X1, &TDrawLine::SetX1).NoDefault();
  P.Float("Y1", &TDrawLine::Y1, &TDrawLine::SetY1).NoDefault();
}

TDrawLine::TDrawLine(TCollection* Collection) : TCollectionItem(Collection) {}

TDrawLine::~TDrawLine() {
  if (TDrawLineTool* t = Parent())
    if (t->Selected() == this) t->SetSelected(nullptr);
}

TDrawLineTool* TDrawLine::Parent() const {
  return Collection() ? dynamic_cast<TDrawLineTool*>(Collection()->GetOwner()) : nullptr;
}

TChartPen* TDrawLine::Pen() {
  if (!FPen) {
    FPen = std::make_unique<TChartPen>([this](TObject*) {
      if (TDrawLineTool* t = Parent()) t->Repaint();
    });
    if (TDrawLineTool* t = Parent()) FPen->Assign(t->Pen());
  }
  return FPen.get();
}

void TDrawLine::SetPen(TChartPen* Value) {
  if (!Value) {
    FPen.reset();
    if (TDrawLineTool* t = Parent()) t->Repaint();
    return;
  }
  Pen()->Assign(Value);
}

void TDrawLine::Assign(TPersistent* Source) {
  auto* s = dynamic_cast<TDrawLine*>(Source);
  if (!s) return TCollectionItem::Assign(Source);
  FX0 = s->FX0;
  FY0 = s->FY0;
  FX1 = s->FX1;
  FY1 = s->FY1;
  FStyle = s->FStyle;
  if (s->FPen)
    Pen()->Assign(s->FPen.get());
  else
    FPen.reset();
}

void TDrawLine::SetStyle(TDrawLineStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (TDrawLineTool* t = Parent()) t->Repaint();
}

namespace {
void SetCoord(TDrawLine* Line, double& Field, double Value) {
  if (TDrawLineTool* t = Line->Parent())
    t->SetDoubleProperty(Field, Value);
  else
    Field = Value;
}
}  // namespace

void TDrawLine::SetX0(double Value) { SetCoord(this, FX0, Value); }
void TDrawLine::SetY0(double Value) { SetCoord(this, FY0, Value); }
void TDrawLine::SetX1(double Value) { SetCoord(this, FX1, Value); }
void TDrawLine::SetY1(double Value) { SetCoord(this, FY1, Value); }

TPoint TDrawLine::StartPoint() const { return Parent() ? Parent()->ValueToScreen(FX0, FY0) : TPoint(0, 0); }
TPoint TDrawLine::EndPoint() const { return Parent() ? Parent()->ValueToScreen(FX1, FY1) : TPoint(0, 0); }

TRect TDrawLine::StartHandle() const {
  const TPoint p = StartPoint();
  return TRect(p.X - 3, p.Y - 3, p.X + 3, p.Y + 3);
}

TRect TDrawLine::EndHandle() const {
  const TPoint p = EndPoint();
  return TRect(p.X - 3, p.Y - 3, p.X + 3, p.Y + 3);
}

bool TDrawLine::HitTest(int X, int Y, int Part, int Tolerance) const {
  const TPoint p(X, Y);
  if (Part == 1) return PointInRect(StartHandle(), p);
  if (Part == 2) return PointInRect(EndHandle(), p);
  const TPoint a = StartPoint(), b = EndPoint();
  switch (FStyle) {
    case dlHorizParallel:
      return PointInLineEndsTolerance(p, a, TPoint(b.X, a.Y), Tolerance) ||
             PointInLineEndsTolerance(p, TPoint(a.X, b.Y), b, Tolerance);
    case dlVertParallel:
      return PointInLineEndsTolerance(p, a, TPoint(a.X, b.Y), Tolerance) ||
             PointInLineEndsTolerance(p, TPoint(b.X, a.Y), b, Tolerance);
    default:
      return PointInLineEndsTolerance(p, a, b, Tolerance);
  }
}

VM_DEFINE_CLASS(TDrawLines)

TDrawLines::TDrawLines(TPersistent* AOwner) : TOwnedCollection(AOwner, TDrawLine::StaticClass()) {}

// =============================================================================================
// The tool

VM_PUBLISH(TDrawLineTool) {
  P.Enum("Button", &TDrawLineTool::Button, &TDrawLineTool::SetButton, ToolMouseButtonInfo).Default(mbLeft);
  P.Int("ClickTolerance", &TDrawLineTool::ClickTolerance, &TDrawLineTool::SetClickTolerance).Default(0);
  P.Bool("EnableDraw", &TDrawLineTool::EnableDraw, &TDrawLineTool::SetEnableDraw).Default(true);
  P.Bool("EnableSelect", &TDrawLineTool::EnableSelect, &TDrawLineTool::SetEnableSelect).Default(true);
  P.Collection("Lines", &TDrawLineTool::Lines, &TDrawLineTool::SetLines);
  P.Object("Pen", &TDrawLineTool::Pen, &TDrawLineTool::SetPen);
  P.Bool("SelectNewLines", &TDrawLineTool::SelectNewLines, &TDrawLineTool::SetSelectNewLines).Default(true);
  P.Event("OnDraggedLine", &TDrawLineTool::OnDraggedLine);
  P.Event("OnDragLine", &TDrawLineTool::OnDragLine);
  P.Event("OnNewLine", &TDrawLineTool::OnNewLine);
  P.Event("OnSelect", &TDrawLineTool::OnSelect);
  P.Event("OnSelecting", &TDrawLineTool::OnSelecting);
}

TDrawLineTool::TDrawLineTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {
  FLines = std::make_unique<TDrawLines>(this);
}

TDrawLineTool::~TDrawLineTool() {
  FSelected = nullptr;
  FGrabbed = nullptr;
  FLines.reset();
}

void TDrawLineTool::GetDescription(std::string& Text) { Text = MsgToolDrawLine; }

void TDrawLineTool::SetEnableSelect(bool Value) {
  FEnableSelect = Value;
  if (!Value && FSelected) {
    FSelected = nullptr;
    Repaint();
  }
}

TPoint TDrawLineTool::ValueToScreen(double X, double Y) const {
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  if (!h || !v) return TPoint(0, 0);
  return TPoint(h->ValueToPixel(X), v->ValueToPixel(Y));
}

void TDrawLineTool::ScreenToValue(const TPoint& P, double& X, double& Y) const {
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  X = h ? h->PixelToValue(P.X) : 0;
  Y = v ? v->PixelToValue(P.Y) : 0;
}

TDrawLine* TDrawLineTool::LineAt(int X, int Y, int Part, int Tolerance) const {
  if (FParentChart) FParentChart->Canvas->Calculate2DPosition(X, Y, 0);
  if (FSelected && FSelected->HitTest(X, Y, Part, Tolerance)) return FSelected;
  for (int i = 0; i < FLines->Count(); ++i)
    if (FLines->Line(i)->HitTest(X, Y, Part, Tolerance)) return FLines->Line(i);
  return nullptr;
}

TDrawLine* TDrawLineTool::ClickedLine(int X, int Y) const {
  for (int part = 0; part <= 2; ++part)
    if (TDrawLine* l = LineAt(X, Y, part, FClickTolerance)) return l;
  return nullptr;
}

void TDrawLineTool::DrawLineShape(const TPoint& A, const TPoint& B, TDrawLineStyle Style) {
  TCustomAxisPanel* chart = FParentChart;
  TGraphCanvas3D* c = chart->Canvas;
  if (chart->View3D()) {
    switch (Style) {
      case dlLine:
        c->MoveTo3D(A.X, A.Y, 0);
        c->LineTo3D(B.X, B.Y, 0);
        break;
      case dlHorizParallel:
        c->HorizLine3D(A.X, B.X, A.Y, 0);
        c->HorizLine3D(A.X, B.X, B.Y, 0);
        break;
      case dlVertParallel:
        c->VertLine3D(A.X, A.Y, B.Y, 0);
        c->VertLine3D(B.X, A.Y, B.Y, 0);
        break;
    }
    return;
  }
  switch (Style) {
    case dlLine:
      c->Line(A.X, A.Y, B.X, B.Y);
      break;
    case dlHorizParallel:
      c->HorizLine(A.X, B.X, A.Y);
      c->HorizLine(A.X, B.X, B.Y);
      break;
    case dlVertParallel:
      c->VertLine(A.X, A.Y, B.Y);
      c->VertLine(B.X, A.Y, B.Y);
      break;
  }
}

void TDrawLineTool::ClipDrawingRegion() {
  TCustomAxisPanel* chart = FParentChart;
  TRect r = chart->ChartRect;
  if (FSeries && GetHorizAxis() && GetVertAxis())
    r = TRect(GetHorizAxis()->StartPixel, GetVertAxis()->StartPixel, GetHorizAxis()->EndPixel, GetVertAxis()->EndPixel);
  if (chart->CanClip()) chart->Canvas->ClipCube(r, 0, chart->Width3D);
}

void TDrawLineTool::DrawHandles(TDrawLine* Line) {
  TCustomAxisPanel* chart = FParentChart;
  TGraphCanvas3D* c = chart->Canvas;
  c->Brush->SetStyle(bsSolid);
  c->Brush->SetColor(chart->Color() == clBlack ? TColor(0xC0C0C0) : clBlack);
  c->Pen->SetStyle(psClear);
  c->RectangleWithZ(Line->StartHandle(), 0);
  c->RectangleWithZ(Line->EndHandle(), 0);
}

void TDrawLineTool::HandleChartStage(TToolDrawStage Stage) {
  if (Stage != tdsAfterDraw || FLines->Count() == 0 || !FParentChart) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->SetBackMode(cbmTransparent);
  ClipDrawingRegion();
  for (int i = 0; i < FLines->Count(); ++i) {
    TDrawLine* l = FLines->Line(i);
    c->AssignVisiblePen(l->HasOwnPen() ? l->Pen() : Pen());
    DrawLineShape(l->StartPoint(), l->EndPoint(), l->Style());
  }
  if (FSelected) DrawHandles(FSelected);
  c->UnClipRectangle();
}

void TDrawLineTool::DrawRubberLine(TDrawLine* Line) {
  TCustomAxisPanel* chart = FParentChart;
  TGraphCanvas3D* c = chart->Canvas;
  TChartPen* pen = Line && Line->HasOwnPen() ? Line->Pen() : Pen();
  c->AssignVisiblePenColor(pen, ColorToRGB(pen->Color()) ^ (0xFFFFFF - ColorToRGB(chart->Color())));
  c->Pen->SetMode(pmNotXor);
  DrawLineShape(FromPoint, ToPoint, Line ? Line->Style() : dlLine);
  c->Pen->SetMode(pmCopy);
}

void TDrawLineTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState, int X, int Y) {
  TCustomAxisPanel* chart = FParentChart;
  if (!chart) return;
  switch (Kind) {
    case meDown: {
      if (Button != FButton) return;
      TDrawLine* l = FEnableSelect ? ClickedLine(X, Y) : nullptr;
      if (l) {
        FromPoint = l->StartPoint();
        ToPoint = l->EndPoint();
        LastMouse = TPoint(X, Y);
        DragPart = 3;
        FGrabbed = l;
        if (l == FSelected) {
          if (LineAt(X, Y, 1, FClickTolerance) == l)
            DragPart = 1;
          else if (LineAt(X, Y, 2, FClickTolerance) == l)
            DragPart = 2;
        } else {
          bool allow = true;
          if (OnSelecting) OnSelecting(this, l, allow);
          if (allow) {
            TDrawLine* old = FSelected;
            FSelected = l;
            if (old)
              Repaint();
            else
              DrawHandles(l);
            if (OnSelect) OnSelect(this);
          } else {
            // A refused line is neither selected nor moved.
            DragPart = 0;
            FGrabbed = nullptr;
          }
        }
      } else {
        if (FSelected) {
          FSelected = nullptr;
          Repaint();
        }
        if (!FEnableDraw) return;
        Drawing = true;
        FromPoint = ToPoint = TPoint(X, Y);
        DrawRubberLine(nullptr);
      }
      chart->CancelMouse = true;
      break;
    }
    case meMove:
      if (Drawing || DragPart != 0) {
        TDrawLine* l = Drawing ? nullptr : FGrabbed;
        DrawRubberLine(l);
        if (Drawing)
          ToPoint = TPoint(X, Y);
        else if (DragPart == 1)
          FromPoint = TPoint(X, Y);
        else if (DragPart == 2)
          ToPoint = TPoint(X, Y);
        else {
          const int dx = X - LastMouse.X, dy = Y - LastMouse.Y;
          FromPoint = TPoint(FromPoint.X + dx, FromPoint.Y + dy);
          ToPoint = TPoint(ToPoint.X + dx, ToPoint.Y + dy);
          LastMouse = TPoint(X, Y);
        }
        DrawRubberLine(l);
        chart->CancelMouse = true;
        Dragged = true;
        if (OnDragLine) OnDragLine(this);
      } else if (FEnableSelect) {
        bool over = false;
        if (FSelected &&
            (FSelected->HitTest(X, Y, 1, FClickTolerance) || FSelected->HitTest(X, Y, 2, FClickTolerance))) {
          chart->SetCursor(crCross);
          over = true;
        } else if (ClickedLine(X, Y)) {
          chart->SetCursor(crHandPoint);
          over = true;
        }
        chart->CancelMouse = over;
      }
      break;
    case meUp:
      if (Button != FButton) return;
      if (DragPart != 0 && FSelected && FGrabbed == FSelected) {
        double x, y;
        if (DragPart == 1 || DragPart == 3) {
          ScreenToValue(FromPoint, x, y);
          FSelected->SetX0(x);
          FSelected->SetY0(y);
        }
        if (DragPart == 2 || DragPart == 3) {
          ScreenToValue(ToPoint, x, y);
          FSelected->SetX1(x);
          FSelected->SetY1(y);
        }
        DragPart = 0;
        FGrabbed = nullptr;
        Repaint();
        if (Dragged) {
          Dragged = false;
          if (OnDraggedLine) OnDraggedLine(this);
        }
      } else if (Drawing) {
        DragPart = 0;
        if (FromPoint != ToPoint) {
          DrawRubberLine(nullptr);
          TDrawLine* l = FLines->AddLine();
          double x, y;
          ScreenToValue(FromPoint, x, y);
          l->SetX0(x);
          l->SetY0(y);
          ScreenToValue(ToPoint, x, y);
          l->SetX1(x);
          l->SetY1(y);
          if (FSelectNewLines) FSelected = l;
          Repaint();
          if (OnNewLine) OnNewLine(this);
        } else {
          DrawRubberLine(nullptr);
        }
        Drawing = false;
      } else {
        DragPart = 0;
        FGrabbed = nullptr;
      }
      Dragged = false;
      break;
  }
}
