#include "chart/series/financial_series.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/value_lists.h"

const TEnumInfo CandleStyleInfo("TCandleStyle", {"csCandleStick", "csCandleBar", "csOpenClose", "csLine"});
const TEnumInfo CandleColorStyleInfo("TCandleColorStyle", {"cssRelativeToOpen", "cssRelativeToClose"});

namespace {
int Round(double V) { return static_cast<int>(std::nearbyint(V)); }
}  // namespace

VM_PUBLISH(TOHLCSeries) {
  using S = TOHLCSeries;
  P.Object("CloseValues", &S::CloseValues, &S::SetCloseValues);
  P.Object("DateValues", &S::DateValues, &S::SetDateValues);
  P.Object("HighValues", &S::HighValues, &S::SetHighValues);
  P.Object("LowValues", &S::LowValues, &S::SetLowValues);
  P.Object("OpenValues", &S::OpenValues, &S::SetOpenValues);
}

VM_PUBLISH(TCandleSeries) {
  using S = TCandleSeries;
  P.Enum("CandleStyle", &S::CandleStyle, &S::SetCandleStyle, CandleStyleInfo).Default(csCandleStick);
  P.Int("CandleWidth", &S::CandleWidth, &S::SetCandleWidth).Default(4);
  P.Enum("ColorStyle", &S::ColorStyle, &S::SetColorStyle, CandleColorStyleInfo).Default(cssRelativeToOpen);
  P.Bool("Dark3D", &S::CandleDark3D, &S::SetCandleDark3D).Default(true);
  P.Int("DownCloseColor", &S::DownCloseColor, &S::SetDownCloseColor).Default(clRed);
  P.Object("DownCloseGradient", &S::DownCloseGradient, &S::SetDownCloseGradient);
  P.Bool("Draw3D", &S::Draw3D, &S::SetDraw3D).Default(false);
  P.Object("HighLowPen", &S::HighLowPen, &S::SetHighLowPen);
  P.Object("Pen", &S::CandlePen, &S::SetCandlePen);
  P.Bool("ShowCloseTick", &S::ShowCloseTick, &S::SetShowCloseTick).Default(true);
  P.Bool("ShowOpenTick", &S::ShowOpenTick, &S::SetShowOpenTick).Default(true);
  P.Int("UpCloseColor", &S::UpCloseColor, &S::SetUpCloseColor).Default(clWhite);
  P.Object("UpCloseGradient", &S::UpCloseGradient, &S::SetUpCloseGradient);
}

VM_PUBLISH(TVolumeSeries) {
  using S = TVolumeSeries;
  P.Object("LinePen", &S::LinePenProp, &S::SetLinePenProp);
  P.Bool("UseYOrigin", &S::UseYOrigin, &S::SetUseYOrigin).Default(false);
  P.Float("YOrigin", &S::YOrigin, &S::SetYOrigin).Default(0.0);
  P.Object("VolumeValues", &S::VolumeValues, &S::SetVolumeValues);
}

// =============================================================================================
// TOHLCSeries

TOHLCSeries::TOHLCSeries(TComponent* AOwner) : TCustomSeries(AOwner) {
  XValues()->SetName(MsgValueDate);
  XValues()->SetDateTime(true);
  YValues()->SetName(MsgValueClose);
  FHighValues = new TChartValueList(this, MsgValueHigh);
  FLowValues = new TChartValueList(this, MsgValueLow);
  FOpenValues = new TChartValueList(this, MsgValueOpen);
}

int32_t TOHLCSeries::AddOHLCPoint(double Date, double Open, double High, double Low, double Close) {
  FOpenValues->PendingValue = Open;
  FHighValues->PendingValue = High;
  FLowValues->PendingValue = Low;
  return AddPoint(Date, Close, "", clGraphColor);
}

double TOHLCSeries::HighestY() {
  double v = TCustomSeries::HighestY();
  if (PointCount() == 0 || CloseOnlyRange()) return v;
  return std::max({v, FHighValues->MaxValue(), FLowValues->MaxValue(), FOpenValues->MaxValue()});
}

double TOHLCSeries::LowestY() {
  double v = TCustomSeries::LowestY();
  if (PointCount() == 0 || CloseOnlyRange()) return v;
  return std::min({v, FHighValues->MinValue(), FLowValues->MinValue(), FOpenValues->MinValue()});
}

bool TOHLCSeries::AcceptsSourceSeries(TChartSeries* Source) { return dynamic_cast<TOHLCSeries*>(Source) != nullptr; }

void TOHLCSeries::AddRandomPoints(int32_t Count, bool) {
  TRandomPointBounds b;
  CalcRandomBounds(Count, b);
  const double range = b.DifY;
  double x = b.StartX;
  double open = b.MinY + RandomInteger(std::max(1, Round(range)));
  const int m = std::abs(Round(range / 400));
  for (int32_t i = 0; i < Count; ++i) {
    const double close = open + RandomInteger(std::max(1, Round(range / 25))) - range / 50;
    const double s = 3 * Round(std::fabs(close - open) / 10);
    double high, low;
    if (close > open) {
      high = close + s + RandomInteger(std::max(1, m));
      low = open - s - RandomInteger(std::max(1, m));
    } else {
      high = open + s + RandomInteger(std::max(1, m));
      low = close - s - RandomInteger(std::max(1, m));
    }
    AddOHLCPoint(x, open, high, low, close);
    x += b.StepX;
    open = RandomInteger(10) + close - 5;
  }
}

// =============================================================================================
// TCandleSeries

TCandleSeries::TCandleSeries(TComponent* AOwner) : TOHLCSeries(AOwner) {
  const TNotifyEvent changed = [this](TObject* s) { PenBrushChanged(s); };
  FUpCloseGradient = std::make_unique<TGraphGradient>(changed);
  FDownCloseGradient = std::make_unique<TGraphGradient>(changed);
  FUpCloseGradient->SetStartColor(clWhite);
  FDownCloseGradient->SetStartColor(clRed);
  FPointer->SetStartVisible(true);
  Pointer()->SetDraw3D(false);
  FHighLowPen.reset(CreateChartPen());
  FHighLowPen->SetColor(clGraphColor);
}

TCandleSeries::~TCandleSeries() = default;

void TCandleSeries::SetCandleStyle(TCandleStyle Value) {
  if (FCandleStyle == Value) return;
  FCandleStyle = Value;
  Pointer()->SetVisible(Value != csLine);
  Repaint();
}

void TCandleSeries::SetColorStyle(TCandleColorStyle Value) {
  if (FColorStyle == Value) return;
  FColorStyle = Value;
  Repaint();
}

TGraphGradient* TCandleSeries::CandleGradient(int32_t ValueIndex) {
  // An unchanged close takes the previous candle's fill: walked back iteratively, so long flat
  // runs cannot exhaust the stack.
  for (int32_t i = ValueIndex;; --i) {
    const double close = CloseValues()->Value(i);
    if (FColorStyle == cssRelativeToOpen) {
      const double open = FOpenValues->Value(i);
      if (close < open) return FDownCloseGradient.get();
      if (close > open) return FUpCloseGradient.get();
    }
    if (i <= 0) return FUpCloseGradient.get();
    const double prev = CloseValues()->Value(i - 1);
    if (close > prev) return FUpCloseGradient.get();
    if (close < prev) return FDownCloseGradient.get();
  }
}

TColor TCandleSeries::CandleColor(int32_t ValueIndex) {
  const TColor c = PointColorAt(ValueIndex);
  if (c == SeriesColor() && ValueIndex >= 0 && ValueIndex < PointCount())
    return CandleGradient(ValueIndex)->StartColor();
  return c;
}

TCandleSeries::TCandlePos TCandleSeries::CalcCandlePositions(int32_t ValueIndex) {
  TCandlePos p;
  p.X = ScreenXAt(ValueIndex);
  p.Open = ValueToScreenY(FOpenValues->Value(ValueIndex));
  p.Close = ValueToScreenY(CloseValues()->Value(ValueIndex));
  p.High = ValueToScreenY(FHighValues->Value(ValueIndex));
  p.Low = ValueToScreenY(FLowValues->Value(ValueIndex));
  p.Left = FCandleWidth / 2;
  p.Right = FCandleWidth - p.Left;
  return p;
}

void TCandleSeries::SelectWickPen() {
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignVisiblePenColor(FHighLowPen.get(),
                           FHighLowPen->Color() == clGraphColor ? CandlePen()->Color() : FHighLowPen->Color());
  c->SetBackMode(cbmTransparent);
}

void TCandleSeries::FillBody(int32_t ValueIndex, TRect R, int Z) {
  TGraphGradient* g = CandleGradient(ValueIndex);
  if (!(FUpCloseGradient->Visible() || FDownCloseGradient->Visible()) || !g->Visible()) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  if (R.Left > R.Right) std::swap(R.Left, R.Right);
  if (R.Top > R.Bottom) std::swap(R.Top, R.Bottom);
  if (series_link::View3D(FParentChart)) {
    const TPoint a = c->Calculate3DPosition(R.Left, R.Top, Z), b = c->Calculate3DPosition(R.Right, R.Bottom, Z);
    R = TRect(a.X, a.Y, b.X, b.Y);
  }
  g->Draw(c, R);
  c->Brush->SetStyle(bsClear);
}

void TCandleSeries::DrawVisiblePoints() {
  FFirstDrawn = true;
  TOHLCSeries::DrawVisiblePoints();
}

void TCandleSeries::DrawOneValue(int32_t ValueIndex) {
  // A null candle draws nothing; the close line goes on past it from the point it passes.
  if (IsNullPoint(ValueIndex) && FCandleStyle != csLine) return;
  if (OnGetPointerStyle) OnGetPointerStyle(this, ValueIndex);
  TGraphCanvas3D* c = FParentChart->Canvas;
  Pointer()->SetUpCanvas(c, clGraphColor);
  const bool is3D = series_link::View3D(FParentChart);
  TCandlePos p = CalcCandlePositions(ValueIndex);
  const TColor color = CandleColor(ValueIndex);
  TChartPen* pen = CandlePen();
  if (FCandleStyle == csCandleStick || FCandleStyle == csOpenClose) {
    SelectWickPen();
    if (is3D && Draw3D()) {
      const int top = std::min(p.Open, p.Close), bottom = std::max(p.Open, p.Close);
      if (FCandleStyle == csCandleStick) c->VertLine3D(p.X, bottom, p.Low, MiddleZ);
      c->Brush->SetStyle(bsSolid);
      c->Brush->SetColor(color);
      if (!pen->Visible())
        c->Pen->SetStyle(psClear);
      else
        c->AssignVisiblePenColor(pen, p.Open == p.Close ? color : pen->Color());
      FillBody(ValueIndex, TRect(p.X - p.Left, top, p.X + p.Right, bottom), StartZ);
      c->Cube(p.X - p.Left, p.X + p.Right, top, bottom, StartZ, EndZ, CandleDark3D());
      SelectWickPen();
      if (FCandleStyle == csCandleStick) c->VertLine3D(p.X, top, p.High, MiddleZ);
    } else {
      if (FCandleStyle == csCandleStick) {
        if (is3D)
          c->VertLine3D(p.X, p.Low, p.High, MiddleZ);
        else
          c->Line(p.X, p.Low, p.X, p.High);
      }
      if (p.Open == p.Close) --p.Close;
      c->Brush->SetStyle(bsSolid);
      c->Brush->SetColor(color);
      if (!pen->Visible())
        c->Pen->SetStyle(psClear);
      else
        c->AssignVisiblePen(pen);
      if (is3D) {
        const TRect r(p.X - p.Left, p.Open, p.X + p.Right, p.Close);
        FillBody(ValueIndex, r, MiddleZ);
        c->RectangleWithZ(r, MiddleZ);
      } else {
        if (!pen->Visible()) {
          if (p.Open < p.Close)
            --p.Open;
          else
            --p.Close;
        }
        TRect r(p.X - p.Left, std::min(p.Open, p.Close), p.X + p.Right + 1, std::max(p.Open, p.Close));
        FillBody(ValueIndex, r, MiddleZ);
        c->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
      }
    }
  } else if (FCandleStyle == csCandleBar) {
    c->AssignVisiblePenColor(pen, color);
    c->SetBackMode(cbmTransparent);
    auto line = [&](int x0, int y0, int x1, int y1) {
      if (is3D)
        c->LineWithZ(x0, y0, x1, y1, MiddleZ);
      else
        c->Line(x0, y0, x1, y1);
    };
    line(p.X, p.Low, p.X, p.High);
    if (FShowOpenTick) line(p.X, p.Open, p.X - p.Left - 1, p.Open);
    if (FShowCloseTick) line(p.X, p.Close, p.X + p.Right + 1, p.Close);
  } else {
    if (!FFirstDrawn && !IsNullPoint(ValueIndex)) {
      c->AssignVisiblePenColor(pen, color);
      if (is3D)
        c->LineWithZ(OldClosePoint.X, OldClosePoint.Y, p.X, p.Close, MiddleZ);
      else
        c->Line(OldClosePoint.X, OldClosePoint.Y, p.X, p.Close);
    }
    OldClosePoint = TPoint(p.X, p.Close);
  }
  FFirstDrawn = false;
}

bool TCandleSeries::ClickedCandle(int32_t ValueIndex, const TPoint& P) {
  if (IsNullPoint(ValueIndex) && FCandleStyle != csLine) return false;
  TCandlePos p = CalcCandlePositions(ValueIndex);
  const bool is3D = FParentChart && series_link::View3D(FParentChart);
  auto onLine = [&](int x0, int y0, int x1, int y1) { return PointInLine(P, x0, y0, x1, y1, 1); };
  switch (FCandleStyle) {
    case csCandleBar:
      return onLine(p.X, p.Low, p.X, p.High) || (FShowOpenTick && onLine(p.X, p.Open, p.X - p.Left - 1, p.Open)) ||
             (FShowCloseTick && onLine(p.X, p.Close, p.X + p.Right + 1, p.Close));
    case csLine: {
      const bool hit =
          !FFirstDrawn && !IsNullPoint(ValueIndex) && onLine(OldClosePoint.X, OldClosePoint.Y, p.X, p.Close);
      OldClosePoint = TPoint(p.X, p.Close);
      FFirstDrawn = false;
      return hit;
    }
    default: {
      const int top = std::min(p.Open, p.Close), bottom = std::max(p.Open, p.Close);
      if (FCandleStyle == csCandleStick) {
        if (is3D && Draw3D()) {
          if (onLine(p.X, bottom, p.X, p.Low) || onLine(p.X, top, p.X, p.High)) return true;
        } else if (onLine(p.X, p.Low, p.X, p.High)) {
          return true;
        }
      }
      if (p.Open == p.Close) --p.Close;
      if (!is3D && !CandlePen()->Visible()) {
        if (p.Open < p.Close)
          --p.Open;
        else
          --p.Close;
      }
      const TRect r(p.X - p.Left, std::min(p.Open, p.Close), p.X + p.Right + 1, std::max(p.Open, p.Close));
      return P.X >= r.Left && P.X <= r.Right && P.Y >= r.Top && P.Y <= r.Bottom;
    }
  }
}

int32_t TCandleSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (!FParentChart || FirstValueIndex < 0) return -1;
  FParentChart->Canvas->Calculate2DPosition(X, Y, StartZ);
  FFirstDrawn = true;
  const TPoint p(X, Y);
  for (int32_t i = FirstValueIndex; i <= LastValueIndex && i < PointCount(); ++i)
    if (ClickedCandle(i, p)) return i;
  return -1;
}

void TCandleSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TCandleSeries*>(Source)) {
    FCandleWidth = s->FCandleWidth;
    FCandleStyle = s->FCandleStyle;
    FColorStyle = s->FColorStyle;
    FUpCloseGradient->Assign(s->FUpCloseGradient.get());
    FDownCloseGradient->Assign(s->FDownCloseGradient.get());
    FHighLowPen->Assign(s->FHighLowPen.get());
    FShowOpenTick = s->FShowOpenTick;
    FShowCloseTick = s->FShowCloseTick;
  }
  TOHLCSeries::Assign(Source);
}

void TCandleSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TChartSeries::ListStyleVariants(AddStyle);
  for (const std::string* t : {&MsgOptionBar, &MsgOptionNoOpen, &MsgOptionNoClose, &MsgStyleNoBorder, &MsgStyleLine})
    AddStyle(*t);
}

void TCandleSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TCandleSeries*>(Target);
  if (!s) return;
  switch (Index) {
    case 1:
      s->SetCandleStyle(csCandleBar);
      break;
    case 2:
      s->CandlePen()->SetVisible(true);
      s->SetCandleStyle(csCandleBar);
      s->SetShowOpenTick(false);
      break;
    case 3:
      s->CandlePen()->SetVisible(true);
      s->SetCandleStyle(csCandleBar);
      s->SetShowCloseTick(false);
      break;
    case 4:
      s->SetCandleStyle(csCandleStick);
      s->CandlePen()->SetVisible(false);
      break;
    case 5:
      s->SetCandleStyle(csLine);
      break;
    default:
      break;
  }
}

void TCandleSeries::MakeGalleryThumbnail(bool Coloured) {
  TOHLCSeries::MakeGalleryThumbnail(Coloured);
  const bool first = !FParentChart || series_link::SeriesIndex(FParentChart, this) == 0;
  SetColorEachPoint(!first);
  if (first) {
    SetUpCloseColor(clSilver);
    SetDownCloseColor(TColor(0x808080));
    CandlePen()->SetColor(TColor(0x808080));
  } else {
    SetUpCloseColor(clBlue);
  }
  CandlePen()->SetWidth(2);
  SetCandleWidth(12);
}

// =============================================================================================
// TVolumeSeries

TVolumeSeries::TVolumeSeries(TComponent* AOwner) : TCustomSeries(AOwner) {
  FDrawArea = false;
  FClickableLine = false;
  FPointer->SetStartVisible(false);
  KeepPointBeyondEnd = false;
}

void TVolumeSeries::SetSeriesColor(TColor Value) {
  TCustomSeries::SetSeriesColor(Value);
  Pen()->SetColor(Value);
}

int32_t TVolumeSeries::OriginPosition() {
  if (FUseOrigin) return ValueToScreenY(FOrigin);
  TChartAxis* a = GetVertAxis();
  if (!a) return 0;
  return a->Inverted() ? a->StartPixel : a->EndPixel;
}

void TVolumeSeries::DrawVisiblePoints() {
  FFirstDrawn = true;
  TCustomSeries::DrawVisiblePoints();
}

void TVolumeSeries::DrawOneValue(int32_t ValueIndex) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const TColor color = PointColorAt(ValueIndex);
  if (color == clNone) return;  // a null volume draws nothing
  if (FFirstDrawn || color != FLastPenColor) {
    c->AssignVisiblePenColor(Pen(), color);
    c->SetBackMode(cbmTransparent);
    FLastPenColor = color;
    FFirstDrawn = false;
  }
  const int x = ScreenXAt(ValueIndex), y = ScreenYAt(ValueIndex), o = OriginPosition();
  if (series_link::View3D(FParentChart))
    c->VertLine3D(x, y, o, MiddleZ);
  else
    c->Line(x, y, x, o);
}

int32_t TVolumeSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (!FParentChart || FirstValueIndex < 0) return -1;
  FParentChart->Canvas->Calculate2DPosition(X, Y, StartZ);
  const int o = OriginPosition();
  const int tol = std::max(0, Pen()->Width() - 1);
  for (int32_t i = FirstValueIndex; i <= LastValueIndex && i < PointCount(); ++i) {
    if (IsNullPoint(i)) continue;
    const int x = ScreenXAt(i);
    if (PointInLine(TPoint(X, Y), x, ScreenYAt(i), x, o, tol)) return i;
  }
  return -1;
}

void TVolumeSeries::FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) {
  if (!FParentChart) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignVisiblePenColor(Pen(), ValueIndex == -1 ? SeriesColor() : PointColorAt(ValueIndex));
  const int y = (Rect.Top + Rect.Bottom) / 2;
  c->Line(Rect.Left, y, Rect.Right, y);
}

void TVolumeSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TVolumeSeries*>(Source)) {
    FUseOrigin = s->FUseOrigin;
    FOrigin = s->FOrigin;
  }
  TCustomSeries::Assign(Source);
}

void TVolumeSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TChartSeries::ListStyleVariants(AddStyle);
  for (const std::string* t : {&MsgStyleDotted, &MsgStyleColors, &MsgValueOrigin}) AddStyle(*t);
}

void TVolumeSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TVolumeSeries*>(Target);
  if (!s) return;
  switch (Index) {
    case 1:
      s->Pen()->SetSmallDots(true);
      break;
    case 2:
      s->SetColorEachPoint(true);
      break;
    case 3:
      s->SetUseYOrigin(true);
      break;
    default:
      break;
  }
}

void TVolumeSeries::AddRandomPoints(int32_t Count, bool) {
  TRandomPointBounds b;
  CalcRandomBounds(Count, b);
  double x = b.StartX;
  for (int32_t i = 0; i < Count; ++i) {
    AddPoint(x, RandomInteger(std::max(1, Round(b.DifY) / 15)));
    x += b.StepX;
  }
}

void TVolumeSeries::MakeGalleryThumbnail(bool Coloured) {
  TCustomSeries::MakeGalleryThumbnail(Coloured);
  ClearValues();
  FillSampleValues(26);
  Pointer()->SetInflateMargins(true);
}
