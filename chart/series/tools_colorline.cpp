#include "chart/series/tools_colorline.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_blend.h"

const TEnumInfo ColorLineStyleInfo("TColorLineStyle", {"clCustom", "clMaximum", "clCenter", "clMinimum"});

// =============================================================================================
// Colour line

VM_PUBLISH(TColorLineTool) {
  P.Bool("AllowDrag", &TColorLineTool::AllowDrag, &TColorLineTool::SetAllowDrag).Default(true);
  P.Bool("DragRepaint", &TColorLineTool::DragRepaint, &TColorLineTool::SetDragRepaint).Default(false);
  P.Bool("Draw3D", &TColorLineTool::Draw3D, &TColorLineTool::SetDraw3D).Default(true);
  P.Bool("DrawBehind", &TColorLineTool::DrawBehind, &TColorLineTool::SetDrawBehind).Default(false);
  P.Bool("NoLimitDrag", &TColorLineTool::NoLimitDrag, &TColorLineTool::SetNoLimitDrag).Default(false);
  P.Object("Pen", &TColorLineTool::Pen, &TColorLineTool::SetPen);
  P.Enum("Style", &TColorLineTool::Style, &TColorLineTool::SetStyle, ColorLineStyleInfo).Default(clCustom);
  // Always stored: no value equals the default.
  P.Float("Value", &TColorLineTool::Value, &TColorLineTool::SetValue).Default(std::numeric_limits<double>::quiet_NaN());
  P.Event("OnBeginDragLine", &TColorLineTool::OnBeginDragLine);
  P.Event("OnDragLine", &TColorLineTool::OnDragLine);
  P.Event("OnEndDragLine", &TColorLineTool::OnEndDragLine);
}

TColorLineTool::TColorLineTool(TComponent* AOwner) : TGraphCustomToolAxis(AOwner) {}

TColorLineTool::~TColorLineTool() = default;

void TColorLineTool::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TColorLineTool*>(Source)) {
    FAllowDrag = s->FAllowDrag;
    FDragRepaint = s->FDragRepaint;
    FDraw3D = s->FDraw3D;
    FDrawBehind = s->FDrawBehind;
    FNoLimitDrag = s->FNoLimitDrag;
    FStyle = s->FStyle;
    FValue = s->FValue;
  }
  TGraphCustomToolAxis::Assign(Source);
}

void TColorLineTool::GetDescription(std::string& Text) { Text = MsgToolColorLine; }

void TColorLineTool::SetStyle(TColorLineStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Repaint();
}

void TColorLineTool::SetValue(double Value) {
  if (!ComponentState().Contains(csLoading)) FStyle = clCustom;
  if (!FDragging || FDragRepaint)
    SetDoubleProperty(FValue, Value);
  else
    FValue = Value;
}

double TColorLineTool::LineValue() const {
  if (!FAxis) return FValue;
  switch (FStyle) {
    case clMaximum:
      return FAxis->Maximum();
    case clCenter:
      return (FAxis->Maximum() + FAxis->Minimum()) * 0.5;
    case clMinimum:
      return FAxis->Minimum();
    default:
      return FValue;
  }
}

double TColorLineTool::ClampToAxis(double V) const {
  if (!FAxis) return V;
  int low = FAxis->Horizontal() ? FAxis->StartPixel : FAxis->EndPixel;
  int high = FAxis->Horizontal() ? FAxis->EndPixel : FAxis->StartPixel;
  if (FAxis->Inverted()) std::swap(low, high);
  const double lowValue = FAxis->PixelToValue(low);
  if (V < lowValue) return lowValue;
  const double highValue = FAxis->PixelToValue(high);
  if (V > highValue) return highValue;
  return V;
}

bool TColorLineTool::HitTest(int X, int Y) const {
  TCustomAxisPanel* chart = ChartForDrawing();
  if (!FAxis || !chart) return false;
  const int p = FAxis->ValueToPixel(LineValue());
  const TRect& r = chart->ChartRect;
  if (FAxis->Horizontal()) return std::abs(X - p) < 3 && Y >= r.Top && Y <= r.Bottom;
  return std::abs(Y - p) < 3 && X >= r.Left && X <= r.Right;
}

bool TColorLineTool::XorDragging() const { return FDragging && !FDragRepaint; }

// The line's parts as 3D segments. The front part is left out during a drag in a flat chart
// (the drag shows it) unless FrontWhileDragging.
void TColorLineTool::EmitLineParts(bool Back, bool FrontWhileDragging, const TSink& Sink) {
  TCustomAxisPanel* chart = ChartForDrawing();
  if (!FAxis || !chart) return;
  const int p = FAxis->ValueToPixel(LineValue());
  const TRect& r = chart->ChartRect;
  const int d = chart->Width3D;
  const bool horiz = FAxis->Horizontal();
  if (Back) {
    if (horiz) {
      if (FDraw3D) Sink(p, r.Bottom, 0, p, r.Bottom, d);
      if (FDrawBehind || FDraw3D) Sink(p, r.Top, d, p, r.Bottom, d);
    } else {
      if (FDraw3D) Sink(r.Left, p, 0, r.Left, p, d);
      if (FDrawBehind || FDraw3D) Sink(r.Left, p, d, r.Right, p, d);
    }
    return;
  }
  if (!(chart->View3D() || !FDragging || FDragRepaint || FrontWhileDragging)) return;
  if (horiz) {
    if (FDraw3D) Sink(p, r.Top, 0, p, r.Top, d);
    if (!FDrawBehind) Sink(p, r.Top, 0, p, r.Bottom, 0);
  } else {
    if (FDraw3D) Sink(r.Right, p, 0, r.Right, p, d);
    if (!FDrawBehind) Sink(r.Left, p, 0, r.Right, p, 0);
  }
}

void TColorLineTool::PaintLineParts(bool Back) {
  if (FAllowDrag && !FNoLimitDrag) FValue = ClampToAxis(FValue);
  TGraphCanvas3D* c = ChartForDrawing()->Canvas;
  EmitLineParts(Back, false, [c](int X0, int Y0, int Z0, int X1, int Y1, int Z1) {
    c->MoveTo3D(X0, Y0, Z0);
    c->LineTo3D(X1, Y1, Z1);
  });
}

void TColorLineTool::PaintLine(bool Back) {
  TCustomAxisPanel* chart = ChartForDrawing();
  if (!chart) return;
  chart->Canvas->AssignVisiblePen(Pen());
  chart->Canvas->SetBackMode(cbmTransparent);
  PaintLineParts(Back);
}

// Exclusive-or feedback draws every distinct segment of both parts once: segments that meet on
// the screen (the back and front lines of a flat chart) would otherwise cancel each other out.
void TColorLineTool::DrawXorFeedback() {
  TCustomAxisPanel* chart = ChartForDrawing();
  if (!chart || !FAxis) return;
  TGraphCanvas3D* c = chart->Canvas;
  std::vector<TSegment> segs;
  const auto collect = [&](int X0, int Y0, int Z0, int X1, int Y1, int Z1) {
    const TSegment s{c->Calculate3DPosition(X0, Y0, Z0), c->Calculate3DPosition(X1, Y1, Z1)};
    if (s.A == s.B) return;
    if (std::find(segs.begin(), segs.end(), s) == segs.end()) segs.push_back(s);
  };
  EmitLineParts(true, true, collect);
  EmitLineParts(false, true, collect);
  EraseXorFeedback();
  c->AssignVisiblePen(Pen());
  c->Pen->SetMode(pmNotXor);
  for (const TSegment& s : segs) {
    c->MoveTo(s.A.X, s.A.Y);
    c->LineTo(s.B.X, s.B.Y);
  }
  c->Pen->SetMode(pmCopy);
  FXorShown = std::move(segs);
}

void TColorLineTool::EraseXorFeedback() {
  if (FXorShown.empty()) return;
  TCustomAxisPanel* chart = ChartForDrawing();
  if (chart) {
    TGraphCanvas3D* c = chart->Canvas;
    c->AssignVisiblePen(Pen());
    c->Pen->SetMode(pmNotXor);
    for (const TSegment& s : FXorShown) {
      c->MoveTo(s.A.X, s.A.Y);
      c->LineTo(s.B.X, s.B.Y);
    }
    c->Pen->SetMode(pmCopy);
  }
  FXorShown.clear();
}

void TColorLineTool::HandleChartStage(TToolDrawStage Stage) {
  TGraphCustomToolAxis::HandleChartStage(Stage);
  if (!FAxis || !ChartForDrawing()) return;
  if (XorDragging()) {
    // A repaint during a drag starts from a clean image: the line is shown as the drag's
    // feedback only, drawn last.
    if (Stage == tdsBeforeSeries) FXorShown.clear();
    if (Stage == tdsAfterDraw) {
      FXorShown.clear();
      DrawXorFeedback();
    }
    return;
  }
  if (Stage == tdsBeforeSeries || Stage == tdsAfterDraw) PaintLine(Stage == tdsBeforeSeries);
}

void TColorLineTool::DoEndDragLine() {
  if (OnEndDragInternal) OnEndDragInternal(this);
  if (OnEndDragLine) OnEndDragLine(this);
}

void TColorLineTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState, int X, int Y) {
  TCustomAxisPanel* chart = ChartForDrawing();
  if (!FAllowDrag || !FAxis || !chart) return;
  switch (Kind) {
    case meDown:
      if (Button != mbLeft) return;
      FDragging = HitTest(X, Y);
      chart->CancelMouse = FDragging;
      if (!FDragging) return;
      if (!FDragRepaint) {
        // The line leaves the chart's image and comes back as exclusive-or feedback, so that
        // moving it never leaves marks on what lies beneath.
        FXorShown.clear();
        chart->Invalidate();
        chart->Update();
        if (FXorShown.empty()) DrawXorFeedback();
      }
      if (OnBeginDragLine) OnBeginDragLine(this);
      break;
    case meMove:
      if (FDragging) {
        const int pixel = FAxis->Horizontal() ? X : Y;
        double v = FAxis->PixelToValue(pixel);
        if (!FNoLimitDrag) v = ClampToAxis(v);
        bool moved = false;
        if (FDragRepaint) {
          SetValue(v);
        } else if (v != LineValue()) {
          EraseXorFeedback();
          FStyle = clCustom;
          FValue = v;
          moved = true;
        }
        chart->CancelMouse = true;
        if (OnDragLine) OnDragLine(this);
        if (moved || (!FDragRepaint && FXorShown.empty())) DrawXorFeedback();
      } else if (HitTest(X, Y)) {
        chart->SetCursor(FAxis->Horizontal() ? crHSplit : crVSplit);
        chart->CancelMouse = true;
      }
      break;
    case meUp:
      if (!FDragging) return;
      if (!FDragRepaint) {
        EraseXorFeedback();
        chart->Invalidate();
      }
      DoEndDragLine();
      FDragging = false;
      if (!FXorShown.empty()) {
        // The end handlers painted the chart while the drag was still on: paint it once more.
        FXorShown.clear();
        chart->Invalidate();
      }
      break;
  }
}

// =============================================================================================
// Colour band

VM_PUBLISH(TColorBandTool) {
  P.Object("Brush", &TColorBandTool::Brush, &TColorBandTool::SetBrush);
  P.Int("Color", &TColorBandTool::Color, &TColorBandTool::SetColor).Default(clWhite);
  P.Int("Cursor", &TColorBandTool::Cursor, &TColorBandTool::SetCursor).Default(crDefault);
  P.Bool("DrawBehind", &TColorBandTool::DrawBehind, &TColorBandTool::SetDrawBehind).Default(true);
  P.Bool("DrawBehindAxes", &TColorBandTool::DrawBehindAxes, &TColorBandTool::SetDrawBehindAxes).Default(false);
  P.Float("EndValue", &TColorBandTool::EndValue, &TColorBandTool::SetEndValue).Default(0.0);
  P.Object("EndLinePen", &TColorBandTool::EndLinePen, &TColorBandTool::SetEndLinePen);
  P.Object("Gradient", &TColorBandTool::Gradient, &TColorBandTool::SetGradient);
  P.Object("Pen", &TColorBandTool::Pen, &TColorBandTool::SetPen);
  P.Bool("ResizeEnd", &TColorBandTool::ResizeEnd, &TColorBandTool::SetResizeEnd).Default(false);
  P.Bool("ResizeStart", &TColorBandTool::ResizeStart, &TColorBandTool::SetResizeStart).Default(false);
  P.Float("StartValue", &TColorBandTool::StartValue, &TColorBandTool::SetStartValue).Default(0.0);
  P.Object("StartLinePen", &TColorBandTool::StartLinePen, &TColorBandTool::SetStartLinePen);
  P.Int("Transparency", &TColorBandTool::Transparency, &TColorBandTool::SetTransparency).Default(0);
  P.Event("OnClick", &TColorBandTool::OnClick);
}

TColorBandTool::TColorBandTool(TComponent* AOwner) : TGraphCustomToolAxis(AOwner) {
  FGradient = std::make_unique<TGraphGradient>([this](TObject*) { Repaint(); });
  const auto makeLine = [this] {
    auto line = std::make_unique<TColorLineTool>(nullptr);
    line->SetActive(false);
    line->SetDragRepaint(true);
    line->OnDragLine = [this](TColorLineTool* l) { EdgeLineDragged(l); };
    line->OnEndDragInternal = [this](TColorLineTool* l) { EdgeLineDragEnded(l); };
    line->Pen()->OnChange = [this](TObject*) { Repaint(); };
    return line;
  };
  FStartLine = makeLine();
  FEndLine = makeLine();
}

TColorBandTool::~TColorBandTool() {
  FStartLine.reset();
  FEndLine.reset();
  FGradient.reset();
}

void TColorBandTool::GetDescription(std::string& Text) { Text = MsgToolColorBand; }

void TColorBandTool::Loaded() {
  TGraphCustomToolAxis::Loaded();
  SyncEdgeLines();
}

void TColorBandTool::SetParentChart(TCustomAxisPanel* Value) {
  TGraphCustomToolAxis::SetParentChart(Value);
  FStartLine->OwnerChart = Value;
  FEndLine->OwnerChart = Value;
}

void TColorBandTool::SetAxis(TChartAxis* Value) {
  TGraphCustomToolAxis::SetAxis(Value);
  for (TColorLineTool* l : {FStartLine.get(), FEndLine.get()}) {
    l->SetAxis(Value);
    l->SetParentChart(nullptr);
    l->OwnerChart = ParentChart();
  }
}

void TColorBandTool::SetStartValue(double Value) {
  SetDoubleProperty(FStartValue, Value);
  SyncEdgeLines();
}

void TColorBandTool::SetEndValue(double Value) {
  SetDoubleProperty(FEndValue, Value);
  SyncEdgeLines();
}

void TColorBandTool::SyncEdgeLines() {
  FEndLine->SetValue(FEndValue);
  FStartLine->SetValue(FStartValue);
}

void TColorBandTool::SetResizeStart(bool Value) {
  if (FStartLine->Active() == Value) return;
  FStartLine->SetActive(Value);
  Repaint();
}

void TColorBandTool::SetResizeEnd(bool Value) {
  if (FEndLine->Active() == Value) return;
  FEndLine->SetActive(Value);
  Repaint();
}

void TColorBandTool::EdgeLineDragged(TColorLineTool* Line) {
  if (!Line->DragRepaint()) return;
  if (Line == FStartLine.get())
    SetStartValue(Line->Value());
  else
    SetEndValue(Line->Value());
}

void TColorBandTool::EdgeLineDragEnded(TColorLineTool* Line) {
  if (Line->DragRepaint()) return;
  if (Line == FStartLine.get())
    SetStartValue(Line->Value());
  else
    SetEndValue(Line->Value());
}

TRect TColorBandTool::BandRect() const {
  TCustomAxisPanel* chart = ParentChart();
  if (!FAxis || !chart) return TRect(0, 0, 0, 0);
  TRect r = chart->ChartRect;
  double a = FStartValue, b = FEndValue;
  bool visible;
  if (!FAxis->Inverted()) {
    if (a > b) std::swap(a, b);
    visible = a <= FAxis->Maximum() && b >= FAxis->Minimum();
  } else {
    if (a < b) std::swap(a, b);
    visible = b <= FAxis->Maximum() && a >= FAxis->Minimum();
  }
  if (!visible) return TRect(0, 0, 0, 0);
  if (FAxis->Horizontal()) {
    r.Left = std::max(FAxis->StartPixel, FAxis->ValueToPixel(a));
    r.Right = std::min(FAxis->EndPixel, FAxis->ValueToPixel(b));
    if (Pen()->Visible()) ++r.Right;
  } else {
    r.Top = std::max(FAxis->StartPixel, FAxis->ValueToPixel(b));
    r.Bottom = std::min(FAxis->EndPixel, FAxis->ValueToPixel(a));
    ++r.Left;
    ++r.Bottom;
    if (!Pen()->Visible()) {
      ++r.Bottom;
      ++r.Right;
    }
  }
  return r;
}

int TColorBandTool::BandZ() const { return FDrawBehind && ParentChart() ? ParentChart()->Width3D : 0; }

void TColorBandTool::PaintBand() {
  TCustomAxisPanel* chart = ParentChart();
  if (!FAxis || !chart) return;
  const TRect r = BandRect();
  if (r.Right - r.Left < 1 || r.Bottom - r.Top < 1) return;
  TGraphCanvas3D* c = chart->Canvas;
  c->AssignBrush(Brush(), FColor);
  c->AssignVisiblePen(Pen());
  const int z = BandZ();
  if (FGradient->Visible() && c->IsOrthogonal) {
    const TRect g = c->ProjectRect(TRect(r.Left, r.Top, r.Right - 1, r.Bottom - 1), z);
    FGradient->Draw(c, g);
    c->Brush->SetStyle(bsClear);
  }
  const auto drawRect = [&] {
    if (chart->View3D())
      c->RectangleWithZ(r, z);
    else
      c->DrawRectangle(r);
  };
  if (FTransparency > 0) {
    const TRect area = chart->View3D() ? c->ProjectedBounds(r, z) : r;
    TGraphBlend* blend = c->BeginBlending(area, FTransparency);
    drawRect();
    c->EndBlending(blend);
  } else {
    drawRect();
  }
  if (FEndLine->Active()) {
    FEndLine->SetValue(FEndValue);
    FEndLine->PaintLine(FDrawBehind);
  }
  if (FStartLine->Active()) {
    FStartLine->SetValue(FStartValue);
    FStartLine->PaintLine(FDrawBehind);
  }
}

void TColorBandTool::HandleChartStage(TToolDrawStage Stage) {
  TGraphCustomToolAxis::HandleChartStage(Stage);
  if (FDrawBehindAxes) {
    if (Stage == tdsBeforeAxes) PaintBand();
  } else if (FDrawBehind) {
    if (Stage == tdsBeforeSeries) PaintBand();
  } else if (Stage == tdsAfterDraw) {
    PaintBand();
  }
}

bool TColorBandTool::HitTest(int X, int Y) const {
  TCustomAxisPanel* chart = ParentChart();
  if (!chart) return false;
  const TQuadPoints q = chart->Canvas->ProjectRectCorners(BandRect(), BandZ());
  return PointInPolygon(TPoint(X, Y), std::span<const TPoint>(q.data(), q.size()), 3);
}

void TColorBandTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomAxisPanel* chart = ParentChart();
  if (!chart) return;
  if (FStartLine->Active()) FStartLine->HandleChartMouse(Kind, Button, Shift, X, Y);
  if (FEndLine->Active() && !chart->CancelMouse) FEndLine->HandleChartMouse(Kind, Button, Shift, X, Y);
  if (Kind == meDown) {
    if (OnClick && HitTest(X, Y)) OnClick(this, Button, Shift, X, Y);
  } else if (Kind == meMove) {
    if (FCursor != crDefault && !chart->CancelMouse && HitTest(X, Y)) {
      chart->SetCursor(FCursor);
      if (!chart->Zoom()->Active && !chart->Panning->Active) chart->CancelMouse = true;
    }
  }
}
