#include "chart/series/line_series.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"

VM_DEFINE_CLASS(TCustomLineSeries)
const TEnumInfo CustomSeriesStackInfo("TCustomSeriesStack", {"cssNone", "cssOverlap", "cssStack", "cssStack100"});
const TEnumInfo MultiAreaInfo("TMultiArea", {"maNone", "maStacked", "maStacked100"});

namespace {
bool AlwaysStored(TObject*) { return true; }
}  // namespace

VM_PUBLISH(TCustomSeriesPointer) {
  P.Bool("Visible", &TCustomSeriesPointer::Visible, &TCustomSeriesPointer::SetVisible).Stored([](TObject* o) {
    auto* p = static_cast<TCustomSeriesPointer*>(o);
    return p->Visible() != p->StartVisible;
  });
}

VM_PUBLISH(TCustomSeries) { P.Event("OnGetPointerStyle", &TCustomSeries::OnGetPointerStyle); }

VM_PUBLISH(TLineSeries) {
  using S = TLineSeries;
  P.Object("Brush", &S::Brush, &S::SetBrush);
  P.Bool("ClickableLine", &S::ClickableLine, &S::SetClickableLine).Default(true);
  P.Bool("ColorEachLine", &S::ColorEachLine, &S::SetColorEachLine).Default(true);
  P.Bool("Dark3D", &S::Dark3D, &S::SetDark3D).Default(true);
  P.Bool("InvertedStairs", &S::InvertedStairs, &S::SetInvertedStairs).Default(false);
  P.Enum("LineBrush", &S::LineBrush, &S::SetLineBrush, BrushStyleInfo).Default(bsSolid);
  P.Int("LineHeight", &S::LineHeight, &S::SetLineHeight).Default(0);
  P.Object("LinePen", &S::LinePen, &S::SetPen);
  P.Object("OutLine", &S::OutLine, &S::SetOutLine);
  P.Object("Pointer", &S::Pointer, &S::SetPointer);
  P.Object("Shadow", &S::Shadow, &S::SetShadow);
  P.Enum("Stacked", &S::Stacked, &S::SetStacked, CustomSeriesStackInfo).Default(cssNone);
  P.Bool("Stairs", &S::Stairs, &S::SetStairs).Default(false);
}
VM_DEFINE_CLASS(THorizLineSeries)
VM_PUBLISH(TPointSeries) {
  using S = TPointSeries;
  // The point series starts with clickable lines off, so the setting is always written.
  P.Bool("ClickableLine", &S::ClickableLine, &S::SetClickableLine).Stored(AlwaysStored);
  P.Object("Pointer", &S::Pointer, &S::SetPointer);
  P.Enum("Stacked", &S::Stacked, &S::SetStacked, CustomSeriesStackInfo).Default(cssNone);
  P.Int("Transparency", &S::Transparency, &S::SetTransparencyValue).Default(0);
  P.Event("OnClickPointer", &S::OnClickPointer);
}
VM_PUBLISH(TAreaSeries) {
  using S = TAreaSeries;
  P.Enum("AreaBrush", &S::AreaBrush, &S::SetAreaBrush, BrushStyleInfo).Default(bsSolid);
  P.Object("AreaChartBrush", &S::AreaChartBrush, &S::SetAreaChartBrush);
  P.Int("AreaColor", &S::AreaColor, &S::SetAreaColor).Default(clGraphColor);
  P.Object("AreaLinesPen", &S::AreaLinesPen, &S::SetAreaLinesPen);
  P.Bool("ClickableLine", &S::ClickableLine, &S::SetClickableLine).Default(true);
  P.Bool("ColorEachLine", &S::ColorEachLine, &S::SetColorEachLine).Default(true);
  P.Bool("Dark3D", &S::Dark3D, &S::SetDark3D).Default(true);
  // The area series starts with its area on, so the setting is always written.
  P.Bool("DrawArea", &S::DrawArea, &S::SetDrawArea).Stored(AlwaysStored);
  P.Object("Gradient", &S::Gradient, &S::SetGradient);
  P.Bool("InvertedStairs", &S::InvertedStairs, &S::SetInvertedStairs).Default(false);
  P.Object("LinePen", &S::LinePen, &S::SetPen);
  P.Enum("MultiArea", &S::MultiArea, &S::SetMultiArea, MultiAreaInfo).Default(maNone);
  P.Object("Pointer", &S::Pointer, &S::SetPointer);
  P.Bool("Stairs", &S::Stairs, &S::SetStairs).Default(false);
  P.Int("Transparency", &S::Transparency, &S::SetTransparencyValue).Default(0);
  P.Bool("UseYOrigin", &S::UseYOrigin, &S::SetUseYOrigin).Default(false);
  P.Float("YOrigin", &S::YOrigin, &S::SetYOrigin).Default(0.0);
  P.Event("OnClickPointer", &S::OnClickPointer);
}
VM_DEFINE_CLASS(THorizAreaSeries)

namespace {

// Pixel of a value on an axis (the chart's own conversion, safe for logarithmic axes).
int32_t AxisPixel(TChartAxis* Axis, double Value) { return Axis ? Axis->ValueToPixel(Value) : 0; }

}  // namespace

// =============================================================================================
// TCustomSeries

TCustomSeries::TCustomSeries(TComponent* AOwner) : TCustomLineSeries(AOwner) {
  const TNotifyEvent changed = [this](TObject* Sender) { PenBrushChanged(Sender); };
  FAreaChartBrush = std::make_unique<TChartBrush>(changed);
  FAreaLinesPen = std::make_unique<TChartPen>(changed);
  FOutLine = std::make_unique<TChartHiddenPen>(changed);
  FPointer = std::make_unique<TCustomSeriesPointer>(this);
  FShadow = std::make_unique<TGraphShadow>(changed);
  FGradient = std::make_unique<TGraphGradient>(changed);
  KeepPointBeyondEnd = true;
}

TCustomSeries::~TCustomSeries() = default;

TBrushStyle TCustomSeries::AreaBrush() const { return FAreaChartBrush->Style(); }
void TCustomSeries::SetAreaBrush(TBrushStyle Value) { FAreaChartBrush->SetStyle(Value); }
TBrushStyle TCustomSeries::LineBrush() const { return Brush()->Style(); }
void TCustomSeries::SetLineBrush(TBrushStyle Value) { Brush()->SetStyle(Value); }

void TCustomSeries::SetTransparency(int32_t Value) {
  Value = std::clamp(Value, 0, 100);
  SetIntegerProperty(FTransparency, Value);
}

void TCustomSeries::SetStacked(TCustomSeriesStack Value) {
  FStacked = Value;
  if (FParentChart)
    for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
      auto* s = dynamic_cast<TCustomSeries*>(series_link::SeriesAt(FParentChart, i));
      if (s && s != this && InheritsFrom(s->ClassType())) s->FStacked = Value;
    }
  Repaint();
}

void TCustomSeries::SetParentChart(TCustomAxisPanel* Value) {
  TCustomLineSeries::SetParentChart(Value);
  if (FPointer) FPointer->SetParentChart(Value);
}

TSeriesPointerStyle TCustomSeries::GetPointerStyle(int32_t ValueIndex) {
  return OnGetPointerStyle ? OnGetPointerStyle(this, ValueIndex) : FPointer->Style();
}

void TCustomSeries::DrawPointer(int X, int Y, int32_t ValueIndex, TColor Color) {
  FPointer->SetUpCanvas(FParentChart->Canvas, Color);
  FPointer->DrawStyledAt(X, Y, Color, GetPointerStyle(ValueIndex));
}

bool TCustomSeries::ClickedPointer(int32_t ValueIndex, int PointX, int PointY, int X, int Y) {
  PreparePointer(ValueIndex);
  return GetPointerStyle(ValueIndex) != psNothing && std::abs(X - PointX) < FPointer->HorizSize() &&
         std::abs(Y - PointY) < FPointer->VertSize();
}

int32_t TCustomSeries::MarkCalloutLength() { return Marks()->Callout()->Length() + Marks()->Callout()->Distance(); }

// ---- stacking ---------------------------------------------------------------------------------------

double TCustomSeries::PointOrigin(int32_t ValueIndex, bool SumAll) {
  double sum = 0;
  if (!FParentChart) return sum;
  const double own = MainValueAt(ValueIndex);
  for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
    TChartSeries* s = series_link::SeriesAt(FParentChart, i);
    if (!SumAll && s == this) break;
    if (!s->Active() || !IsSameKind(s) || s->PointCount() <= ValueIndex) continue;
    const double v = s->StackValueAt(ValueIndex);
    if (own >= 0 ? v > 0 : v < 0) sum += v;
  }
  return sum;
}

int32_t TCustomSeries::AxisEndPixel() {
  TChartAxis* a = GetValueAxis();
  if (!a) return 0;
  if (IsVertical()) return a->Inverted() ? a->StartPixel : a->EndPixel;
  return a->Inverted() ? a->EndPixel : a->StartPixel;
}

int32_t TCustomSeries::StackedPosition(int32_t ValueIndex, double Value) {
  TChartAxis* a = GetValueAxis();
  const double origin = PointOrigin(ValueIndex, false);
  if (FStacked == cssStack100) {
    const double total = PointOrigin(ValueIndex, true);
    if (total == 0) return AxisEndPixel();
    return AxisPixel(a, (origin + Value) * 100.0 / total);
  }
  const int32_t p = AxisPixel(a, origin + Value);
  return IsVertical() ? std::min(p, AxisEndPixel()) : p;
}

int32_t TCustomSeries::GetOriginPos(int32_t ValueIndex) {
  if (FStacked == cssStack || FStacked == cssStack100) return StackedPosition(ValueIndex, 0);
  if (FUseYOriginPos) return AxisPixel(GetValueAxis(), FYOriginValue);
  return AxisEndPixel();
}

int32_t TCustomSeries::ScreenXAt(int32_t Index) {
  if (!IsVertical() && (FStacked == cssStack || FStacked == cssStack100))
    return StackedPosition(Index, MainValueAt(Index));
  return TCustomLineSeries::ScreenXAt(Index);
}

int32_t TCustomSeries::ScreenYAt(int32_t Index) {
  if (IsVertical() && (FStacked == cssStack || FStacked == cssStack100))
    return StackedPosition(Index, MainValueAt(Index));
  return TCustomLineSeries::ScreenYAt(Index);
}

double TCustomSeries::ExtremeStacked(bool Highest, double Plain) {
  if (FStacked == cssStack100) return Highest ? 100 : 0;
  if (FStacked != cssStack) return Plain;
  double r = Plain;
  for (int32_t i = 0; i < PointCount(); ++i) {
    const double v = PointOrigin(i, false) + MainValueAt(i);
    r = Highest ? std::max(r, v) : std::min(r, v);
  }
  return r;
}

double TCustomSeries::HighestY() {
  const double plain = TCustomLineSeries::HighestY();
  return IsVertical() ? ExtremeStacked(true, plain) : plain;
}
double TCustomSeries::LowestY() {
  const double plain = TCustomLineSeries::LowestY();
  return IsVertical() ? ExtremeStacked(false, plain) : plain;
}
double TCustomSeries::HighestX() {
  const double plain = TCustomLineSeries::HighestX();
  return IsVertical() ? plain : ExtremeStacked(true, plain);
}
double TCustomSeries::LowestX() {
  const double plain = TCustomLineSeries::LowestX();
  if (IsVertical()) return plain;
  return FStacked == cssStack100 ? 0 : plain;
}

void TCustomSeries::AssignZOrder() {
  if (FStacked != cssNone && FParentChart)
    AutoZOrder = series_link::MaxZOrder(FParentChart);
  else
    TCustomLineSeries::AssignZOrder();
}

// ---- margins -------------------------------------------------------------------------------------------

void TCustomSeries::GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) {
  TCustomLineSeries::GetHorizontalMargins(LeftMargin, RightMargin);
  FPointer->WidenHorizMargins(LeftMargin, RightMargin);
  if (FDrawLines) {
    if (FStairs) {
      LeftMargin = std::max(LeftMargin, LinePen()->Width());
      RightMargin = std::max(RightMargin, LinePen()->Width());
    }
    if (FOutLine->Visible()) {
      LeftMargin = std::max(LeftMargin, FOutLine->Width());
      RightMargin = std::max(RightMargin, FOutLine->Width());
    }
  }
  if (!IsVertical() && Marks()->Visible()) RightMargin = std::max(LeftMargin, MarkCalloutLength());
}

void TCustomSeries::GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) {
  TCustomLineSeries::GetVerticalMargins(TopMargin, BottomMargin);
  FPointer->WidenVertMargins(TopMargin, BottomMargin);
  if (FDrawLines) {
    if (FStairs) {
      TopMargin = std::max(TopMargin, LinePen()->Width());
      BottomMargin = std::max(BottomMargin, LinePen()->Width());
    }
    if (FOutLine->Visible()) {
      TopMargin = std::max(TopMargin, FOutLine->Width());
      BottomMargin = std::max(BottomMargin, FOutLine->Width());
    }
  }
  if (IsVertical() && Marks()->Visible()) TopMargin = std::max(BottomMargin, MarkCalloutLength());
  if (FParentChart && series_link::View3D(FParentChart) && FDrawLines && FLineHeight > 0 && !FDrawArea)
    BottomMargin = std::max(BottomMargin, FLineHeight);
}

// ---- drawing -------------------------------------------------------------------------------------------

TColor TCustomSeries::AreaColorOf(TColor Color) const {
  if (FColorEachPoint) return Color;
  return FAreaColor == clDefault ? Color : FAreaColor;
}

void TCustomSeries::DrawVisiblePoints() {
  if (FShadow->Size() != 0 && FParentChart) DrawShadowPass();
  if (FOutLine->Visible()) {
    TChartPen saved;
    saved.Assign(LinePen());
    const TColor savedColor = ColorSetting;
    const int w = LinePen()->Width();
    LinePen()->Assign(FOutLine.get());
    LinePen()->SetVisible(true);
    ColorSetting = FOutLine->Color();
    LinePen()->SetWidth(2 * w + FOutLine->Width() + 1);
    TCustomLineSeries::DrawVisiblePoints();
    LinePen()->Assign(&saved);
    ColorSetting = savedColor;
  }
  TCustomLineSeries::DrawVisiblePoints();
}

// The whole series once more in the shadow's colour, without pointers, shifted by the shadow's sizes
// (the axes are moved for the pass and put back).
void TCustomSeries::DrawShadowPass() {
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  const auto shift = [](TChartAxis* Axis, int32_t By) {
    if (!Axis) return;
    Axis->StartPixel += By;
    Axis->EndPixel += By;
    Axis->CenterPixel += By;
  };
  const TColor savedColor = ColorSetting;
  ColorSetting = FShadow->Color();
  FShadowPass = true;
  shift(h, FShadow->HorizSize());
  if (v != h) shift(v, FShadow->VertSize());
  TCustomLineSeries::DrawVisiblePoints();
  shift(h, -FShadow->HorizSize());
  if (v != h) shift(v, -FShadow->VertSize());
  FShadowPass = false;
  ColorSetting = savedColor;
}

void TCustomSeries::DrawOneValue(int32_t ValueIndex) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const TColor color = PointColorAt(ValueIndex);
  const int x = ScreenXAt(ValueIndex), y = ScreenYAt(ValueIndex);
  c->Pen->SetColor(clBlack);
  c->Brush->SetColor(color);
  if (FPrevColor == clNone) {
    FPrevX = x;
    FPrevY = y;
  }
  FOrigin = GetOriginPos(ValueIndex);
  const bool forward = IsDrawnForward();
  FIsLastValue = ValueIndex == (forward ? LastValueIndex : FirstValueIndex);
  if (ValueIndex == FirstDrawIndex()) {
    FPrevColor = clNone;
    if (FDark3D) {
      TCustomAxisPanel* p = FParentChart;
      FDarkRatio = p->SeriesWidth3D == 0 ? 1 : std::fabs(double(p->SeriesHeight3D) / p->SeriesWidth3D);
    }
    FPrevX = x;
    FPrevY = y;
    FPrevOrigin = FOrigin;
    const int32_t before = forward ? ValueIndex - 1 : ValueIndex + 1;
    if (before >= 0 && before < PointCount()) {
      const TColor beforeColor = PointColorAt(before);
      if (FDrawArea) {
        FPrevX = ScreenXAt(before);
        FPrevY = ScreenYAt(before);
        FPrevOrigin = GetOriginPos(before);
      } else if (IsVertical()) {
        TChartAxis* h = GetHorizAxis();
        const TRect r = series_link::AxisRect(FParentChart);
        FPrevX = (h && h->Inverted()) ? r.Right : r.Left;
        if (FStairs) {
          FPrevY = ScreenYAt(before);
        } else {
          const double x0 = XValueAt(before), x1 = XValueAt(ValueIndex);
          if (x0 == x1 || !h) {
            FPrevY = ScreenYAt(before);
          } else {
            const double xe = series_link::PixelToValue(h, FPrevX);
            const double t = (xe - x0) / (x1 - x0);
            double y0 = YValueAt(before), y1 = YValueAt(ValueIndex);
            TChartAxis* v = GetVertAxis();
            double ye;
            if (v && v->Logarithmic() && y0 > 0 && y1 > 0)
              ye = std::exp(std::log(y0) + t * (std::log(y1) - std::log(y0)));
            else
              ye = y0 + t * (y1 - y0);
            FPrevY = (FStacked == cssStack || FStacked == cssStack100) ? ScreenYAt(before) : AxisPixel(v, ye);
          }
        }
      } else {
        FPrevX = ScreenXAt(before);
        FPrevY = ScreenYAt(before);
      }
      if (beforeColor != clNone) {
        FPrevColor = beforeColor;
        DrawSegment(x, y, color, ValueIndex, false);
      }
      FPrevColor = clNone;
    }
    if (FIsLastValue && PointersDrawn() && color != clNone) DrawPointer(x, y, ValueIndex, color);
  } else {
    DrawSegment(x, y, color, ValueIndex, true);
  }
  FPrevX = x;
  FPrevY = y;
  FPrevOrigin = FOrigin;
  FPrevColor = color;
}

void TCustomSeries::DrawSegment(int X, int Y, TColor Color, int32_t ValueIndex, bool WithPointers) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const bool is3D = series_link::View3D(FParentChart);
  const bool vertical = IsVertical();
  if (!(X == FPrevX && Y == FPrevY) && Color != clNone && FPrevColor != clNone) {
    if (is3D && (FDrawArea || FDrawLines)) {
      c->AssignVisiblePen(LinePen());
      const TColor fill = (FColorEachLine || FDrawArea) ? AreaColorOf(Color) : SeriesColor();
      c->Brush->SetStyle(LineBrush());
      c->Brush->SetColor(c->Monochrome() ? clWhite : fill);
      if (!FStairs) {
        if (FLineHeight > 0 && !FDrawArea) {
          c->PlaneWithZ(TPoint(X, Y), TPoint(FPrevX, FPrevY), TPoint(FPrevX, FPrevY + FLineHeight),
                        TPoint(X, Y + FLineHeight), StartZ);
          if (FIsLastValue) c->RectangleAtX(X, Y, Y + FLineHeight, StartZ, EndZ);
        }
        int dy = 0;
        if (FDark3D && !c->SupportsFullRotation() && X != FPrevX && FDarkRatio != 0 &&
            double(FPrevY - Y) / (X - FPrevX) > FDarkRatio) {
          c->ApplyDarkerBrushColor(c->Brush->Color(), 64);
          if (FLineHeight > 0 && !FDrawArea) dy = FLineHeight;
        }
        c->Plane3D(TPoint(X, Y + dy), TPoint(FPrevX, FPrevY + dy), StartZ, EndZ);
      } else if (vertical) {
        const TColor base = c->Brush->Color();
        if (!FInvertedStairs) {
          c->RectangleAtY(std::min(FPrevX, X), FPrevY, std::max(FPrevX, X), StartZ, EndZ);
          if (FDark3D) c->ApplyDarkerBrushColor(base, 64);
          c->RectangleAtX(X, std::min(FPrevY, Y), std::max(FPrevY, Y), StartZ, EndZ);
        } else {
          if (FDark3D) c->ApplyDarkerBrushColor(base, 64);
          c->RectangleAtX(FPrevX, std::min(FPrevY, Y), std::max(FPrevY, Y), StartZ, EndZ);
          c->Brush->SetColor(base);
          c->RectangleAtY(std::min(FPrevX, X), Y, std::max(FPrevX, X), StartZ, EndZ);
        }
      } else {
        const TColor base = c->Brush->Color();
        if (!FInvertedStairs) {
          c->RectangleAtX(FPrevX, std::min(FPrevY, Y), std::max(FPrevY, Y), StartZ, EndZ);
          if (FDark3D) c->ApplyDarkerBrushColor(base, 64);
          c->RectangleAtY(std::min(FPrevX, X), Y, std::max(FPrevX, X), StartZ, EndZ);
        } else {
          if (FDark3D) c->ApplyDarkerBrushColor(base, 64);
          c->RectangleAtY(std::min(FPrevX, X), Y, std::max(FPrevX, X), StartZ, EndZ);
          c->Brush->SetColor(base);
          c->RectangleAtX(X, std::min(FPrevY, Y), std::max(FPrevY, Y), StartZ, EndZ);
        }
      }
    }
    if (FDrawArea) {
      DrawAreaBand(X, Y, Color);
    } else if (!is3D && FDrawLines) {
      const TColor lineColor = (FColorEachPoint && FColorEachLine) ? Color : SeriesColor();
      c->Brush->SetStyle(bsClear);
      c->AssignVisiblePenColor(LinePen(), lineColor);
      if (FStairs) {
        if (FInvertedStairs) {
          c->Line(FPrevX, FPrevY, FPrevX, Y);
          c->LineTo(X, Y);
        } else {
          c->Line(FPrevX, FPrevY, X, FPrevY);
          c->LineTo(X, Y);
        }
      } else {
        c->Line(FPrevX, FPrevY, X, Y);
      }
    }
  }
  if (WithPointers && PointersDrawn()) {
    const int32_t prevIndex = IsDrawnForward() ? ValueIndex - 1 : ValueIndex + 1;
    if (FPrevColor != clNone) DrawPointer(FPrevX, FPrevY, prevIndex, FPrevColor);
    if (FIsLastValue && Color != clNone) DrawPointer(X, Y, ValueIndex, Color);
  }
}

void TCustomSeries::DrawAreaBand(int X, int Y, TColor Color) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const bool is3D = series_link::View3D(FParentChart);
  const bool vertical = IsVertical();
  const TColor fill = AreaColorOf(Color);
  TColor back = FAreaChartBrush->Color();
  if (back == clDefault) back = SeriesColor();
  series_link::SetBrushCanvas(FParentChart, c->Monochrome() ? clWhite : fill, FAreaChartBrush.get(), back);
  if (FAreaLinesPen->Visible() && FAreaLinesPen->Color() != clDefault)
    c->AssignVisiblePen(FAreaLinesPen.get());
  else
    c->AssignVisiblePenColor(FAreaLinesPen.get(), Color);
  const int o0 = FPrevOrigin, o1 = FOrigin;
  // A shadow is one colour: no gradient in its pass.
  const bool gradient = FGradient->Visible() && !FShadowPass;
  if (is3D && FIsLastValue) {
    if (vertical)
      c->RectangleAtX(X, std::min(Y, o1), std::max(Y, o1), StartZ, EndZ);
    else
      c->RectangleAtY(std::min(X, o1), Y, std::max(X, o1), StartZ, EndZ);
  }
  if (FStairs) {
    TRect r;
    if (vertical)
      r = FInvertedStairs ? TRect(FPrevX, std::min(Y, o1), X + 1, std::max(Y, o1))
                          : TRect(FPrevX, std::min(FPrevY, o0), X + 1, std::max(FPrevY, o0));
    else
      r = FInvertedStairs ? TRect(std::min(o1, X + 1), FPrevY + 1, std::max(o1, X + 1), Y)
                          : TRect(std::min(o0, FPrevX + 1), FPrevY + 1, std::max(o0, FPrevX + 1), Y);
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    if (is3D) {
      c->RectangleWithZ(r, StartZ);
    } else if (gradient) {
      FGradient->Draw(c, r);
      if (c->Pen->Style() != psClear) {
        c->Brush->SetStyle(bsClear);
        c->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
      }
    } else {
      c->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
    }
    if (LinePen()->Visible() && !FAreaLinesPen->Visible()) {
      c->AssignVisiblePenColor(LinePen(), (FColorEachPoint && FColorEachLine) ? Color : SeriesColor());
      if (vertical) {
        if (FInvertedStairs) {
          c->VertLine3D(FPrevX, FPrevY, Y, StartZ);
          c->HorizLine3D(FPrevX, X, Y, StartZ);
        } else {
          c->HorizLine3D(FPrevX, X, FPrevY, StartZ);
          c->VertLine3D(X - 1, FPrevY, Y, StartZ);
        }
      } else {
        c->VertLine3D(FPrevX, FPrevY, Y, StartZ);
        c->HorizLine3D(FPrevX, X, Y, StartZ);
      }
    }
    return;
  }
  TPoint q[4];
  if (vertical) {
    q[0] = TPoint(FPrevX, o0);
    q[1] = TPoint(FPrevX, FPrevY);
    q[2] = TPoint(X, Y);
    q[3] = TPoint(X, o1);
  } else {
    q[0] = TPoint(o0, FPrevY);
    q[1] = TPoint(FPrevX, FPrevY);
    q[2] = TPoint(X, Y);
    q[3] = TPoint(o1, Y);
  }
  if (is3D) {
    if (gradient)
      FGradient->DrawRect3D(c, {q[0], q[1], q[2], q[3]}, StartZ);
    else
      c->PolygonWithZ(q, StartZ);
  } else if (gradient) {
    // The gradient spans the whole value range, not each band, so the bands join seamlessly; it
    // reaches the band's origins too, or the fill below the smallest value would stay empty.
    TChartAxis* a = GetValueAxis();
    TChartValueList* values = vertical ? YValues() : XValues();
    const int32_t pMax = AxisPixel(a, values->MaxValue()), pMin = AxisPixel(a, values->MinValue());
    const int32_t lo = std::min({pMax, pMin, o0, o1}), hi = std::max({pMax, pMin, o0, o1});
    TRect r = vertical ? TRect(FPrevX, lo, X, hi) : TRect(lo, FPrevY, hi, Y);
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    c->ClipPolygon(q, 4);
    FGradient->Draw(c, r);
    c->UnClipRectangle();
    if (c->Pen->Style() != psClear) {
      if (vertical)
        c->Line(FPrevX, FPrevY, FPrevX, o0);
      else
        c->Line(FPrevX, FPrevY, o0, FPrevY);
    }
  } else {
    c->Polygon(q);
  }
  if (LinePen()->Visible()) {
    c->AssignVisiblePenColor(LinePen(), (FColorEachPoint && FColorEachLine) ? Color : SeriesColor());
    if (is3D)
      c->LineWithZ(FPrevX, FPrevY, X, Y, StartZ);
    else
      c->Line(FPrevX, FPrevY, X, Y);
  }
}

// ---- hit test ------------------------------------------------------------------------------------------

int32_t TCustomSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (FParentChart) FParentChart->Canvas->Calculate2DPosition(X, Y, StartZ);
  const int32_t base = TCustomLineSeries::PointIndexAt(X, Y);
  if (base != -1 || FirstValueIndex < 0) return base;
  const bool is3D = FParentChart && series_link::View3D(FParentChart);
  const TPoint p(X, Y);
  const int32_t start = FClickableLine ? std::max(0, FirstValueIndex - 1) : FirstValueIndex;
  const int32_t last = std::min(LastValueIndex, PointCount() - 1);
  int px0 = 0, py0 = 0, o0 = 0;
  for (int32_t i = start; i <= last; ++i) {
    const int px = ScreenXAt(i), py = ScreenYAt(i);
    const bool isNull = IsNullPoint(i);
    if (!isNull && FPointer->Visible() && ClickedPointer(i, px, py, X, Y)) {
      if (OnClickPointer) OnClickPointer(this, i, X, Y);
      return i;
    }
    if (px == X && py == Y) return i;
    const int o = FDrawArea ? GetOriginPos(i) : 0;
    if (FClickableLine && i > start && !isNull && !IsNullPoint(i - 1)) {
      bool on;
      if (is3D) {
        const int dx = FParentChart->SeriesWidth3D, dy = FParentChart->SeriesHeight3D;
        const TPoint poly[4] = {TPoint(px0, py0), TPoint(px, py), TPoint(px + dx, py - dy), TPoint(px0 + dx, py0 - dy)};
        on = PointInPolygon(p, poly, 3);
      } else if (!FStairs) {
        on = PointInLineCoords(p, px0, py0, px, py);
      } else if (!FInvertedStairs) {
        on = PointInLineCoords(p, px0, py0, px, py0) || PointInLineCoords(p, px, py0, px, py);
      } else {
        on = PointInLineCoords(p, px0, py0, px0, py) || PointInLineCoords(p, px0, py, px, py);
      }
      if (on) return i - 1;
      if (FDrawArea) {
        const TPoint poly[4] = {TPoint(px0, py0), TPoint(px, py), TPoint(px, o), TPoint(px0, o0)};
        if (PointInPolygon(p, poly, 3)) return i - 1;
      }
    }
    px0 = px;
    py0 = py;
    o0 = o;
  }
  return -1;
}

// ---- legend and marks --------------------------------------------------------------------------------

void DrawPointerLegendSymbol(TSeriesPointer* Pointer, TColor Color, const TRect& Rect, bool LineShown) {
  TCustomAxisPanel* chart = Pointer->OwnerSeries ? Pointer->OwnerSeries->ParentChart() : nullptr;
  if (!chart) return;
  const int w = Rect.Right - Rect.Left, h = Rect.Bottom - Rect.Top;
  int hs = Pointer->HorizSize(), vs = Pointer->VertSize();
  if (LineShown) {
    hs = std::min(hs, w / 3);
    vs = std::min(vs, h / 3);
  } else {
    hs = std::min(hs, w / 2 + 1);
    vs = std::min(vs, h / 2 + 1);
  }
  Pointer->SetUpCanvas(chart->Canvas, Color);
  Pointer->DrawPointerShape(chart->Canvas, false, (Rect.Left + Rect.Right) / 2, (Rect.Top + Rect.Bottom) / 2,
                            std::max(hs, 1), std::max(vs, 1), Color, Pointer->Style());
}

void TCustomSeries::FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) {
  if (!FParentChart) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  const TColor color = ValueIndex == -1 ? SeriesColor() : LegendEntryColor(ValueIndex);
  const int mid = (Rect.Top + Rect.Bottom) / 2;
  if (FPointer->Visible()) {
    if (FDrawLines) {
      c->AssignVisiblePenColor(LinePen(), color);
      c->HorizLine(Rect.Left, Rect.Right, mid);
    }
    DrawPointerLegendSymbol(FPointer.get(), color, Rect, LinePen()->Visible() && FDrawLines);
    return;
  }
  if (FDrawArea || !FDrawLines || series_link::View3D(FParentChart)) {
    TCustomLineSeries::FillLegendSymbol(ValueIndex, Rect);
    return;
  }
  c->AssignVisiblePenColor(LinePen(), color);
  c->HorizLine(Rect.Left, Rect.Right, mid);
}

void TCustomSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  if (IsVertical()) Marks()->ApplyCalloutOffset(Position);
  TCustomLineSeries::DrawPointMark(ValueIndex, Text, Position);
}

void TCustomSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TCustomSeries*>(Source)) {
    FClickableLine = s->FClickableLine;
    FAreaChartBrush->Assign(s->FAreaChartBrush.get());
    FAreaColor = s->FAreaColor;
    FAreaLinesPen->Assign(s->FAreaLinesPen.get());
    FColorEachLine = s->FColorEachLine;
    FDark3D = s->FDark3D;
    FDrawArea = s->FDrawArea;
    FDrawLines = s->FDrawLines;
    FInvertedStairs = s->FInvertedStairs;
    FLineHeight = s->FLineHeight;
    FPointer->Assign(s->FPointer.get());
    FStacked = s->FStacked;
    FStairs = s->FStairs;
    FOutLine->Assign(s->FOutLine.get());
    FShadow->Assign(s->FShadow.get());
    FTransparency = s->FTransparency;
    FGradient->Assign(s->FGradient.get());
  }
  TCustomLineSeries::Assign(Source);
}

// =============================================================================================
// Concrete classes

TLineSeries::TLineSeries(TComponent* AOwner) : TCustomSeries(AOwner) {
  FDrawLines = true;
  WholeResultAsPoint = false;
  FPointer->SetStartVisible(false);
}

void TLineSeries::Assign(TPersistent* Source) {
  TCustomSeries::Assign(Source);
  if (!dynamic_cast<TLineSeries*>(Source)) FPointer->SetVisible(false);
  FDrawArea = false;
  FDrawLines = true;
}

void TLineSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCustomSeries::ListStyleVariants(AddStyle);
  for (const std::string* s : {&MsgStyleStairs, &MsgStylePoints, &MsgStyleHeight, &MsgStyleHollow, &MsgStyleColors,
                               &MsgStyleMarks, &MsgStyleNoBorder, &MsgStyleOutline})
    AddStyle(*s);
}

void TLineSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TLineSeries*>(Target);
  if (!s) return;
  switch (Index) {
    case 1:
      s->SetStairs(true);
      break;
    case 2:
      s->Pointer()->SetVisible(true);
      break;
    case 3:
      s->SetLineHeight(5);
      break;
    case 4:
      s->SetLineBrush(bsClear);
      break;
    case 5:
      s->SetColorEachPoint(true);
      break;
    case 6:
      s->Marks()->SetVisible(true);
      break;
    case 7:
      s->LinePen()->SetVisible(false);
      break;
    case 8:
      s->OutLine()->SetVisible(true);
      break;
    default:
      break;
  }
}

void TLineSeries::AdjustLegendBrush(int32_t, TColor&, TBrushStyle& Style) {
  if (FParentChart) FParentChart->Canvas->AssignVisiblePen(LinePen());
  Style = LineBrush();
}

THorizLineSeries::THorizLineSeries(TComponent* AOwner) : TLineSeries(AOwner) {
  SetHorizontalLayout();
  LimitVisibleRange = false;
  XValues()->SetOrder(loNone);
  YValues()->SetOrder(loAscending);
}

TPointSeries::TPointSeries(TComponent* AOwner) : TCustomSeries(AOwner) {
  FPointer->SetStartVisible(true);
  FDrawArea = false;
  FDrawLines = false;
  FClickableLine = false;
  Marks()->Callout()->SetStartLength(0);
}

void TPointSeries::SetColorEachPoint(bool Value) {
  TCustomSeries::SetColorEachPoint(Value);
  if (Value) FPointer->SetColor(clDefault);
}

void TPointSeries::Assign(TPersistent* Source) {
  TCustomSeries::Assign(Source);
  FPointer->SetVisible(true);
  FDrawArea = false;
  FDrawLines = false;
  FClickableLine = false;
}

void TPointSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCustomSeries::ListStyleVariants(AddStyle);
  for (const std::string* s : {&MsgStyleColors, &MsgStyleMarks, &MsgStyleHollow, &MsgStyleNoBorder, &MsgStyleGradient})
    AddStyle(*s);
  if (ListsPointerStyles())
    for (const std::string* s : {&MsgStylePoint2D, &MsgStyleTriangle, &MsgStyleStar, &MsgStyleCircle, &MsgStyleDownTri,
                                 &MsgStyleCross, &MsgStyleDiamond})
      AddStyle(*s);
}

void TPointSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TCustomSeries*>(Target);
  if (!s) return;
  TSeriesPointer* p = s->Pointer();
  switch (Index) {
    case 1:
      s->SetColorEachPoint(true);
      break;
    case 2:
      s->Marks()->SetVisible(true);
      break;
    case 3:
      p->Brush()->SetStyle(bsClear);
      break;
    case 4:
      p->Pen()->SetVisible(false);
      break;
    case 5:
      p->Gradient()->SetVisible(true);
      break;
    case 6:
      p->SetDraw3D(false);
      break;
    case 7:
      p->SetStyle(psTriangle);
      break;
    case 8:
      p->SetStyle(psStar);
      break;
    case 9:
      p->SetStyle(psCircle);
      p->SetHorizSize(8);
      p->SetVertSize(8);
      break;
    case 10:
      p->SetStyle(psDownTriangle);
      break;
    case 11:
      p->SetStyle(psCross);
      break;
    case 12:
      p->SetStyle(psDiamond);
      break;
    default:
      break;
  }
}

TAreaSeries::TAreaSeries(TComponent* AOwner) : TCustomSeries(AOwner) {
  FDrawArea = true;
  WholeResultAsPoint = false;
  FPointer->SetStartVisible(false);
}

TMultiArea TAreaSeries::MultiArea() const {
  return FStacked == cssStack ? maStacked : FStacked == cssStack100 ? maStacked100 : maNone;
}

void TAreaSeries::SetMultiArea(TMultiArea Value) {
  SetStacked(Value == maStacked ? cssStack : Value == maStacked100 ? cssStack100 : cssNone);
}

bool TAreaSeries::IsValueDrawnForward(int32_t ValueIndex) {
  if (MultiArea() != maNone) {
    TChartAxis* a = GetValueAxis();
    return !(a && a->Inverted());
  }
  return TCustomSeries::IsValueDrawnForward(ValueIndex);
}

double TAreaSeries::HighestY() {
  const double v = TCustomSeries::HighestY();
  return (FUseYOriginPos && IsVertical()) ? std::max(v, FYOriginValue) : v;
}

double TAreaSeries::LowestY() {
  const double v = TCustomSeries::LowestY();
  return (FUseYOriginPos && IsVertical()) ? std::min(v, FYOriginValue) : v;
}

void TAreaSeries::Assign(TPersistent* Source) {
  TCustomSeries::Assign(Source);
  FDrawArea = true;
  FDrawLines = true;
  if (auto* a = dynamic_cast<TAreaSeries*>(Source)) {
    FUseYOriginPos = a->FUseYOriginPos;
    FYOriginValue = a->FYOriginValue;
  } else {
    FPointer->SetVisible(false);
  }
}

void TAreaSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCustomSeries::ListStyleVariants(AddStyle);
  for (const std::string* s : {&MsgStyleStairs, &MsgStyleMarks, &MsgStyleColors, &MsgStyleHollow, &MsgStyleNoLines,
                               &MsgStyleStack, &MsgStyleStack100, &MsgStylePoints, &MsgStyleGradient})
    AddStyle(*s);
}

void TAreaSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TAreaSeries*>(Target);
  if (!s) return;
  switch (Index) {
    case 1:
      s->SetStairs(true);
      break;
    case 2:
      s->Marks()->SetVisible(true);
      break;
    case 3:
      s->SetColorEachPoint(true);
      break;
    case 4:
      s->SetAreaBrush(bsClear);
      break;
    case 5:
      s->AreaLinesPen()->SetVisible(false);
      break;
    case 6:
      s->SetMultiArea(maStacked);
      break;
    case 7:
      s->SetMultiArea(maStacked100);
      break;
    case 8:
      s->Pointer()->SetVisible(true);
      break;
    case 9:
      s->Gradient()->SetVisible(true);
      break;
    default:
      break;
  }
}

void TAreaSeries::FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) {
  if (FParentChart && FGradient->Visible()) {
    FGradient->Draw(FParentChart->Canvas, Rect);
    return;
  }
  TCustomSeries::FillLegendSymbol(ValueIndex, Rect);
}

void TAreaSeries::MakeGalleryThumbnail(bool Coloured) {
  TCustomSeries::MakeGalleryThumbnail(Coloured);
  FGradient->SetEndColor(SeriesColor());
}

void TAreaSeries::AdjustLegendBrush(int32_t, TColor& BackColor, TBrushStyle& Style) {
  if (FParentChart) FParentChart->Canvas->AssignVisiblePen(FAreaLinesPen.get());
  Style = FAreaChartBrush->Style();
  BackColor = AreaColorOf(SeriesColor());
}

THorizAreaSeries::THorizAreaSeries(TComponent* AOwner) : TAreaSeries(AOwner) {
  SetHorizontalLayout();
  FGradient->SetDirection(gdRightLeft);
  XValues()->SetOrder(loNone);
  YValues()->SetOrder(loAscending);
}
