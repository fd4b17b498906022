#include "chart/series/tools_axis.h"

#include <cmath>

#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_blend.h"

const TEnumInfo AxisArrowToolPositionInfo("TAxisArrowToolPosition", {"aaStart", "aaEnd", "aaBoth"});

// =============================================================================================
// Axis arrows

VM_PUBLISH(TAxisArrowTool) {
  P.Object("Brush", &TAxisArrowTool::Brush, &TAxisArrowTool::SetBrush);
  P.Int("HeadWidth", &TAxisArrowTool::HeadWidth, &TAxisArrowTool::SetHeadWidth).Default(8);
  P.Int("Length", &TAxisArrowTool::Length, &TAxisArrowTool::SetLength).Default(16);
  P.Object("Pen", &TAxisArrowTool::Pen, &TAxisArrowTool::SetPen);
  P.Enum("Position", &TAxisArrowTool::Position, &TAxisArrowTool::SetPosition, AxisArrowToolPositionInfo)
      .Default(aaBoth);
  P.Int("ScrollPercent", &TAxisArrowTool::ScrollPercent, &TAxisArrowTool::SetScrollPercent).Default(10);
  P.Bool("ScrollInverted", &TAxisArrowTool::ScrollInverted, &TAxisArrowTool::SetScrollInverted).Default(false);
  P.Int("SizePercent", &TAxisArrowTool::SizePercent, &TAxisArrowTool::SetSizePercent).Default(50);
  P.Event("OnClick", &TAxisArrowTool::OnClick);
}

TAxisArrowTool::TAxisArrowTool(TComponent* AOwner) : TGraphCustomToolAxis(AOwner) {}

void TAxisArrowTool::GetDescription(std::string& Text) { Text = MsgToolAxisArrows; }

void TAxisArrowTool::SetPosition(TAxisArrowToolPosition Value) {
  if (FPosition == Value) return;
  FPosition = Value;
  Repaint();
}

int TAxisArrowTool::HitTest(int X, int Y) const {
  if (!FAxis) return -1;
  const int across = FAxis->Horizontal() ? Y : X;
  const int along = FAxis->Horizontal() ? X : Y;
  if (std::abs(across - FAxis->AxisLinePos) >= 3) return -1;
  if ((FPosition == aaStart || FPosition == aaBoth) && FAxis->StartPixel < along && along < FAxis->StartPixel + FLength)
    return 0;
  if ((FPosition == aaEnd || FPosition == aaBoth) && FAxis->EndPixel - FLength < along && along < FAxis->EndPixel)
    return 1;
  return -1;
}

void TAxisArrowTool::HandleChartStage(TToolDrawStage Stage) {
  TCustomAxisPanel* chart = FParentChart;
  if (Stage != tdsAfterDraw || !FAxis || !chart) return;
  TGraphCanvas3D* c = chart->Canvas;
  c->AssignBrush(Brush(), Brush()->Color());
  c->AssignVisiblePen(Pen());
  const int z = chart->View3D() && FAxis->OtherSide() ? chart->Width3D : 0;
  const auto at = [&](int Along) {
    return FAxis->Horizontal() ? TPoint(Along, FAxis->AxisLinePos) : TPoint(FAxis->AxisLinePos, Along);
  };
  if (FPosition == aaStart || FPosition == aaBoth)
    c->Arrow3D(true, at(FAxis->StartPixel + FLength), at(FAxis->StartPixel), FHeadWidth, FHeadWidth, z, FSizePercent);
  if (FPosition == aaEnd || FPosition == aaBoth)
    c->Arrow3D(true, at(FAxis->EndPixel - FLength), at(FAxis->EndPixel), FHeadWidth, FHeadWidth, z, FSizePercent);
}

void TAxisArrowTool::ScrollAxis(double Delta) {
  auto* chart = dynamic_cast<TCustomChart*>(FParentChart);
  if (!chart || !FAxis) return;
  double aMin = FAxis->Minimum() + Delta, aMax = FAxis->Maximum() + Delta;
  bool allow = true;
  if (chart->OnAllowScroll) chart->OnAllowScroll(FAxis, aMin, aMax, allow);
  if (!allow) return;
  FAxis->ShiftRange(Delta, false);
  // A series bound to both axes of this orientation scrolls along on the opposite one.
  TChartAxis* opposite = nullptr;
  if (FAxis == chart->BottomAxis())
    opposite = chart->TopAxis();
  else if (FAxis == chart->TopAxis())
    opposite = chart->BottomAxis();
  else if (FAxis == chart->LeftAxis())
    opposite = chart->RightAxis();
  else if (FAxis == chart->RightAxis())
    opposite = chart->LeftAxis();
  if (opposite) {
    for (int i = 0; i < chart->CountSeries(); ++i) {
      TChartSeries* s = chart->SeriesAt(i);
      if (s->IsBoundToAxis(FAxis) && s->IsBoundToAxis(opposite)) {
        opposite->ShiftRange(Delta, false);
        break;
      }
    }
  }
  if (chart->OnScroll) chart->OnScroll(chart);
}

void TAxisArrowTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton, TShiftState Shift, int X, int Y) {
  TCustomAxisPanel* chart = FParentChart;
  if (!FAxis || !chart || !FAxis->Visible()) return;
  if (Kind == meMove) {
    if (HitTest(X, Y) != -1) {
      chart->SetCursor(crHandPoint);
      chart->CancelMouse = true;
    }
    return;
  }
  if (Kind != meDown || FScrollPercent == 0) return;
  const int w = HitTest(X, Y);
  if (FAxis->Logarithmic()) {
    const double f = FScrollPercent;
    if (w == 1 || (w == 0 && FAxis->Inverted())) {
      if (Shift.Contains(ssShift)) {
        FAxis->SetMaximum(FAxis->Maximum() * f);
        FAxis->SetMinimum(FAxis->Minimum() * f);
      } else if (Shift.Contains(ssCtrl)) {
        if (FAxis->Minimum() * f < FAxis->Maximum()) FAxis->SetMinimum(FAxis->Minimum() * f);
      } else {
        FAxis->SetMinimum(FAxis->Minimum() / f);
      }
    }
    if (w == 0) {
      if (Shift.Contains(ssShift)) {
        FAxis->SetMaximum(FAxis->Maximum() / f);
        FAxis->SetMinimum(FAxis->Minimum() / f);
      } else if (Shift.Contains(ssCtrl)) {
        if (FAxis->Maximum() / f > FAxis->Minimum()) FAxis->SetMaximum(FAxis->Maximum() / f);
      } else {
        FAxis->SetMaximum(FAxis->Maximum() * f);
      }
    }
  } else {
    double d = (FAxis->Maximum() - FAxis->Minimum()) * FScrollPercent / 100.0;
    if (FScrollInverted) d = -d;
    if (w == 0)
      ScrollAxis(d);
    else if (w == 1)
      ScrollAxis(-d);
  }
  if (w == 0 || w == 1) chart->CancelMouse = true;
  if (w != -1 && OnClick) OnClick(this, w == 0);
}

// =============================================================================================
// Axis scroll

VM_PUBLISH(TAxisScrollTool) {
  P.Bool("ScrollInverted", &TAxisScrollTool::ScrollInverted, &TAxisScrollTool::SetScrollInverted).Default(false);
}

void TAxisScrollTool::GetDescription(std::string& Text) { Text = MsgToolAxisScroll; }

TChartAxis* TAxisScrollTool::AxisAt(int X, int Y) const {
  if (FAxis) return FAxis->Visible() && FAxis->IsPointOnAxis(X, Y) ? FAxis : nullptr;
  if (!FParentChart) return nullptr;
  for (int i = 0; i < FParentChart->AxisCount(); ++i) {
    TChartAxis* a = FParentChart->AxisAt(i);
    if (a->Visible() && a->IsPointOnAxis(X, Y)) return a;
  }
  return nullptr;
}

void TAxisScrollTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton, TShiftState, int X, int Y) {
  TCustomAxisPanel* chart = FParentChart;
  if (!chart || !Active()) return;
  switch (Kind) {
    case meDown:
      FDragged = AxisAt(X, Y);
      FOldX = X;
      FOldY = Y;
      break;
    case meMove:
      if (FDragged) {
        const bool horiz = FDragged->Horizontal();
        int d = horiz ? FOldX - X : FOldY - Y;
        if (FDragged->Inverted()) d = -d;
        if ((horiz && FScrollInverted) || (!horiz && !FScrollInverted)) d = -d;
        const auto shift = [d](TChartAxis* A) {
          const int size = A->EndPixel - A->StartPixel;
          if (size == 0) return;
          A->ShiftRange((A->Maximum() - A->Minimum()) * d / size, false);
        };
        shift(FDragged);
        for (int i = 0; i < chart->AxisCount(); ++i) {
          TChartAxis* other = chart->AxisAt(i);
          if (other == FDragged || other->IsDepthAxis || other->Horizontal() != horiz) continue;
          for (int k = 0; k < chart->CountSeries(); ++k) {
            TChartSeries* s = chart->SeriesAt(k);
            if (s->IsBoundToAxis(FDragged) && s->IsBoundToAxis(other)) {
              shift(other);
              break;
            }
          }
        }
        FOldX = X;
        FOldY = Y;
        chart->CancelMouse = true;
      } else if (AxisAt(X, Y)) {
        chart->SetCursor(crHandPoint);
        chart->CancelMouse = true;
      }
      break;
    case meUp:
      FDragged = nullptr;
      break;
  }
}

// =============================================================================================
// Grid bands

VM_PUBLISH(TGridBandBrush) {
  P.Int("BackColor", &TGridBandBrush::BackColor, &TGridBandBrush::SetBackColor).Default(clNone);
  P.Object("Gradient", &TGridBandBrush::Gradient, &TGridBandBrush::SetGradient);
  P.Int("Transparency", &TGridBandBrush::Transparency, &TGridBandBrush::SetTransparency).Default(0);
}

TGridBandBrush::TGridBandBrush(const TNotifyEvent& OnChangeEvent) : TChartBrush(OnChangeEvent) {
  FGradient = std::make_unique<TGraphGradient>([this](TObject*) { Changed(); });
}

TGridBandBrush::~TGridBandBrush() = default;

void TGridBandBrush::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TGridBandBrush*>(Source)) {
    FBackColor = s->FBackColor;
    FGradient->Assign(s->FGradient.get());
    FTransparency = s->FTransparency;
  }
  TChartBrush::Assign(Source);
}

void TGridBandBrush::SetBackColor(TColor Value) {
  if (FBackColor == Value) return;
  FBackColor = Value;
  Changed();
}

void TGridBandBrush::SetTransparency(TGraphTransparency Value) {
  if (FTransparency == Value) return;
  FTransparency = Value;
  Changed();
}

VM_PUBLISH(TGridBandTool) {
  P.Object("Band1", &TGridBandTool::Band1, &TGridBandTool::SetBand1);
  P.Object("Band2", &TGridBandTool::Band2, &TGridBandTool::SetBand2);
}

TGridBandTool::TGridBandTool(TComponent* AOwner) : TGraphCustomToolAxis(AOwner) {
  FBand1 = std::make_unique<TGridBandBrush>([this](TObject*) { Repaint(); });
  FBand2 = std::make_unique<TGridBandBrush>([this](TObject*) { Repaint(); });
}

TGridBandTool::~TGridBandTool() {
  if (FAxis) FAxis->OnDrawGrids = nullptr;
}

void TGridBandTool::GetDescription(std::string& Text) { Text = MsgToolGridBand; }

void TGridBandTool::SetAxis(TChartAxis* Value) {
  if (FAxis) FAxis->OnDrawGrids = nullptr;
  TGraphCustomToolAxis::SetAxis(Value);
  if (FAxis) FAxis->OnDrawGrids = [this](TChartAxis* A) { PaintBands(A); };
}

TColor TGridBandTool::GetBandBackColor(TGridBandBrush* Brush) const {
  if (Brush->BackColor() != clNone) return Brush->BackColor();
  if (auto* chart = dynamic_cast<TCustomChart*>(FParentChart)) return chart->BackWall()->Color();
  return clNone;
}

void TGridBandTool::FillStrip(TGridBandBrush* Brush, int A, int B) {
  if (Brush->Style() == bsClear) return;
  TCustomAxisPanel* chart = FParentChart;
  TGraphCanvas3D* c = chart->Canvas;
  if (A > B) std::swap(A, B);
  const TRect& cr = chart->ChartRect;
  const TRect r = FAxis->Horizontal() ? TRect(A, cr.Top + 1, B, cr.Bottom) : TRect(cr.Left + 1, A, cr.Right, B + 1);
  const bool in3D = chart->View3D();
  const int z = chart->Width3D;
  std::unique_ptr<TGraphBlend> blend;
  if (Brush->Transparency() > 0) blend = std::make_unique<TGraphBlend>(c, in3D ? c->ProjectRect(r, z) : r);
  if (Brush->Gradient()->Visible()) {
    TRect g = in3D ? c->ProjectRect(r, z) : TRect(r.Left, r.Top, r.Right, r.Bottom - 1);
    Brush->Gradient()->Draw(c, g);
  } else {
    c->AssignBrushColor(Brush, Brush->Color(), GetBandBackColor(Brush));
    c->Pen->SetStyle(psClear);
    if (in3D)
      c->RectangleWithZ(r, z);
    else
      c->Rectangle(r.Left, r.Top, r.Right + 1, r.Bottom);
  }
  if (blend) blend->DoBlend(Brush->Transparency());
}

void TGridBandTool::PaintBands(TChartAxis* Axis) {
  if (!Active() || !FParentChart || Axis != FAxis) return;
  const TAxisTicks& ticks = Axis->TickPositions;
  if (ticks.size() < 2) return;
  if (FBand1->Style() == bsClear && FBand2->Style() == bsClear) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->Pen->SetStyle(psClear);
  TGridBandBrush* brush = FBand1.get();
  const auto next = [&] { brush = brush == FBand1.get() ? FBand2.get() : FBand1.get(); };
  const bool horiz = Axis->Horizontal();
  const int first = ticks.front(), last = ticks.back();
  if (horiz) {
    if (first < Axis->EndPixel) FillStrip(brush, Axis->EndPixel - 1, first);
  } else {
    if (first > Axis->StartPixel) FillStrip(brush, Axis->StartPixel + 1, first);
  }
  next();
  for (size_t i = 1; i < ticks.size(); ++i) {
    FillStrip(brush, ticks[i - 1], ticks[i]);
    next();
  }
  if (horiz) {
    if (last > Axis->StartPixel) FillStrip(brush, last, Axis->StartPixel);
  } else {
    if (last < Axis->EndPixel) FillStrip(brush, last, Axis->EndPixel);
  }
}
