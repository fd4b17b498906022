#include "chart/series/functions_financial.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/graph_panel.h"
#include "chart/engine/registries.h"
#include "chart/series/bar_series.h"
#include "chart/series/fast_line_series.h"
#include "platform/bitmap.h"

const TEnumInfo RSIStyleInfo("TRSIStyle", {"rsiOpenClose", "rsiClose"});

bool IsOHLCSource(TChartSeries* Source) {
  return HasHighLowLists(Source) && Source->ValueListByName("Open") != Source->YValues();
}

namespace {

// An auxiliary line shows on the parent's chart, against the parent's vertical axis, with the
// parent's date-time X and drawing events.
void FollowParent(TChartSeries* Line, TChartSeries* Parent) {
  Line->SetParentChart(Parent->ParentChart());
  Line->SetCustomVertAxis(Parent->CustomVertAxis());
  Line->SetVertAxis(Parent->VertAxis());
  Line->XValues()->SetDateTime(Parent->XValues()->DateTime());
  Line->BeforeDrawValues = Parent->BeforeDrawValues;
  Line->AfterDrawValues = Parent->AfterDrawValues;
}

template <class T>
T* NewAuxiliary(TComponent* Owner, TColor Color) {
  auto* s = new T(Owner);
  s->SetShowInLegend(false);
  s->SetShowInEditor(false);
  s->SetInternal(true);
  s->SetSeriesColor(Color);
  return s;
}

}  // namespace

// =============================================================================================
// RSI

VM_PUBLISH(TRSIFunction) {
  P.Enum("Style", &TRSIFunction::Style, &TRSIFunction::SetStyle, RSIStyleInfo).Default(rsiOpenClose);
}

void TRSIFunction::SetStyle(TRSIStyle Value) {
  if (FStyle != Value) {
    FStyle = Value;
    Recalculate();
  }
}

void TRSIFunction::LookUpLists(TChartSeries* Source) {
  FSource = Source;
  FClose = Source->ValueListByName("Close");
  FOpen = Source->ValueListByName("Open");
}

namespace {

double RSIOf(double Up, double Down, int32_t Length) {
  const double up = Up / Length, down = Down / Length;
  if (down == 0) return 100;
  return std::clamp(100 - 100 / (std::fabs(up / down) + 1), 0.0, 100.0);
}

}  // namespace

double TRSIFunction::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  if (FirstIndex == -1) FirstIndex = 0;
  if (LastIndex == -1) LastIndex = Source->PointCount() - 1;
  if (LastIndex < FirstIndex) return 0;
  LookUpLists(Source);
  double up = 0, down = 0;
  for (int32_t i = FirstIndex; i <= LastIndex; ++i) {
    if (FStyle == rsiOpenClose) {
      const double c = FClose->GetValue(i);
      (FOpen->GetValue(i) > c ? down : up) += c;
    } else if (i > FirstIndex) {
      const double d = FClose->GetValue(i) - FClose->GetValue(i - 1);
      (d < 0 ? down : up) += std::fabs(d);
    }
  }
  return RSIOf(up, down, LastIndex - FirstIndex + 1);
}

// Sliding sums: each point enters and leaves the window once. The counts of contributions keep a
// window without any downward move at exactly 100, whatever the rounding of the running sum.
void TRSIFunction::ComputeFromSource(TChartSeries* Source, TChartValueList* ValueList) {
  const int32_t n = Source->PointCount(), p = static_cast<int32_t>(std::nearbyint(Period()));
  if (p < 1 || n < p) return;
  LookUpLists(Source);
  // The up and down contribution of point i to a window that contains it (not as its first point
  // for the close-to-close style).
  const double* close = FClose->Data();
  const double* open = FOpen->Data();
  auto part = [this, close, open](int32_t i, double& Up, double& Down) {
    Up = Down = 0;
    if (FStyle == rsiOpenClose) {
      const double c = close[i];
      (open[i] > c ? Down : Up) = c;
    } else if (i > 0) {
      const double d = close[i] - close[i - 1];
      (d < 0 ? Down : Up) = std::fabs(d);
    }
  };
  long double up = 0, down = 0;
  int32_t ups = 0, downs = 0;
  auto take = [&](int32_t i, int Sign) {
    double u, d;
    part(i, u, d);
    up += Sign * static_cast<long double>(u);
    down += Sign * static_cast<long double>(d);
    ups += Sign * (u != 0);
    downs += Sign * (d != 0);
  };
  // The close-to-close style counts the moves into points first + 1 .. i: the move into the
  // window's first point leaves with it; the open-close style drops the point before the window.
  const bool closeToClose = FStyle == rsiClose;
  for (int32_t i = 0; i < n; ++i) {
    take(i, 1);
    const int32_t first = i - p + 1;
    if (first < 0) continue;
    if (first > 0) take(closeToClose ? first : first - 1, -1);
    const double u = ups > 0 ? static_cast<double>(up) : 0, d = downs > 0 ? static_cast<double>(down) : 0;
    AddFunctionPoint(Source->YMandatory, RSIOf(u, d, p), ValueList->GetValue(i));
  }
}

// =============================================================================================
// ADX

VM_PUBLISH(TADXFunction) {
  P.Object("UpLinePen", &TADXFunction::UpLinePen, &TADXFunction::SetUpLinePen);
  P.Object("DownLinePen", &TADXFunction::DownLinePen, &TADXFunction::SetDownLinePen);
}

TADXFunction::TADXFunction(TComponent* AOwner) : TFiniteSourceFunction(AOwner) {
  InternalSetPeriod(14);
  UpLine = NewAuxiliary<TFastLineSeries>(this, clGreen);
  DownLine = NewAuxiliary<TFastLineSeries>(this, clRed);
}

TChartPen* TADXFunction::UpLinePen() const { return UpLine->Pen(); }
void TADXFunction::SetUpLinePen(TChartPen* Value) { UpLine->SetPen(Value); }
TChartPen* TADXFunction::DownLinePen() const { return DownLine->Pen(); }
void TADXFunction::SetDownLinePen(TChartPen* Value) { DownLine->SetPen(Value); }

void TADXFunction::Clear() {
  UpLine->ClearValues();
  DownLine->ClearValues();
}

void TADXFunction::CalculateFromSource(TChartSeries* Source) {
  if (!ParentSeries || !Source || Period() < 2) return;
  ParentSeries->ClearValues();
  Clear();
  FollowParent(UpLine, ParentSeries);
  FollowParent(DownLine, ParentSeries);
  const int32_t n = Source->PointCount();
  if (2 * Period() > n || !IsOHLCSource(Source) || !SourcesAreFinite(this, Source)) return;
  const int32_t np = static_cast<int32_t>(std::nearbyint(Period()));
  const double period = Period();
  const double* high = Source->ValueListByName("High")->Data();
  const double* low = Source->ValueListByName("Low")->Data();
  const double* close = Source->MandatoryList->Data();
  const double* xs = Source->NotMandatoryList->Data();
  // True range and directional moves of point t (t >= 1).
  auto moves = [&](int32_t t, double& Tr, double& Up, double& Down) {
    const double h = high[t], l = low[t], c1 = close[t - 1];
    Tr = std::max({h - l, std::fabs(h - c1), std::fabs(l - c1)});
    const double up = h - high[t - 1], down = low[t - 1] - l;
    Up = up > down ? std::max(up, 0.0) : 0;
    Down = down > up ? std::max(down, 0.0) : 0;
  };
  // Smoothed sums; a range without any true range has no direction: both lines show 0 there.
  const int32_t m = static_cast<int32_t>(std::nearbyint(2 * period - 1));
  double str = 0, sUp = 0, sDown = 0, adx = 0, firstDx = 0;
  UpLine->BeginUpdate();
  DownLine->BeginUpdate();
  ReserveValues(UpLine, n - np);
  ReserveValues(DownLine, n - np);
  ReserveValues(ParentSeries, n - m);
  for (int32_t t = 1; t < n; ++t) {
    double tr, up, down;
    moves(t, tr, up, down);
    if (t <= np) {
      str += tr;
      sUp += up;
      sDown += down;
      if (t < np) continue;
    } else {
      str = str - str / period + tr;
      sUp = sUp - sUp / period + up;
      sDown = sDown - sDown / period + down;
    }
    const double diUp = str == 0 ? 0 : 100 * sUp / str, diDown = str == 0 ? 0 : 100 * sDown / str;
    UpLine->AddXY(xs[t], diUp);
    DownLine->AddXY(xs[t], diDown);
    const double dx = diUp + diDown == 0 ? 0 : std::fabs(diUp - diDown) * 100 / (diUp + diDown);
    // The first ADX is the mean of the DX values from Period to 2 Period - 1, later ones Wilder's
    // smoothing.
    if (t < m) {
      firstDx += dx;
      continue;
    }
    if (t == m)
      adx = (firstDx + dx) / (m - np + 1);
    else
      adx = (dx + (period - 1) * adx) / period;
    AddFunctionPoint(Source->YMandatory, adx, xs[t]);
  }
  UpLine->EndUpdate();
  DownLine->EndUpdate();
}

// =============================================================================================
// MACD

VM_PUBLISH(TMACDFunction) {
  P.Float("Period2", &TMACDFunction::Period2, &TMACDFunction::SetPeriod2).Default(12);
  P.Int("Period3", &TMACDFunction::Period3, &TMACDFunction::SetPeriod3).Default(9);
  P.Object("MACDPen", &TMACDFunction::MACDPen, &TMACDFunction::SetMACDPen);
  P.Object("MACDExpPen", &TMACDFunction::MACDExpPen, &TMACDFunction::SetMACDExpPen);
  P.Object("HistogramPen", &TMACDFunction::HistogramPen, &TMACDFunction::SetHistogramPen);
}

TMACDFunction::TMACDFunction(TComponent* AOwner) : TFiniteSourceMovingFunction(AOwner) {
  InternalSetPeriod(26);
  SignalLine = NewAuxiliary<TFastLineSeries>(this, clGreen);
  HistogramLine = NewAuxiliary<TBarSeries>(this, clRed);
  HistogramLine->SetUseYOrigin(true);
  HistogramLine->SetYOrigin(0);
}

void TMACDFunction::SetPeriod2(double Value) {
  Value = std::max(1.0, Value);
  if (FPeriod2 != Value) {
    FPeriod2 = Value;
    Recalculate();
  }
}

void TMACDFunction::SetPeriod3(int32_t Value) {
  if (FPeriod3 != Value) {
    FPeriod3 = Value;
    Recalculate();
  }
}

TChartPen* TMACDFunction::MACDPen() const { return ParentSeries ? ParentSeries->Pen() : nullptr; }
void TMACDFunction::SetMACDPen(TChartPen* Value) {
  if (ParentSeries) ParentSeries->SetPen(Value);
}
TChartPen* TMACDFunction::MACDExpPen() const { return SignalLine->Pen(); }
void TMACDFunction::SetMACDExpPen(TChartPen* Value) { SignalLine->SetPen(Value); }
TChartPen* TMACDFunction::HistogramPen() const { return HistogramLine->Pen(); }
void TMACDFunction::SetHistogramPen(TChartPen* Value) { HistogramLine->SetPen(Value); }

void TMACDFunction::Clear() {
  SignalLine->ClearValues();
  HistogramLine->ClearValues();
}

void TMACDFunction::CalculateFromSource(TChartSeries* Source) {
  if (!ParentSeries || !Source) return;
  ParentSeries->ClearValues();
  Clear();
  const int32_t n = Source->PointCount();
  if (n < 2 || !SourcesAreFinite(this, Source)) return;
  // MACD = short average - long average; the signal line averages the MACD line; the histogram
  // is their difference. All three averages run in one pass over the source.
  const double* v = GetSourceValueList(Source)->Data();
  const double* xs = Source->NotMandatoryList->Data();
  const double ks = 2 / (FPeriod2 + 1), kl = 2 / (Period() + 1), kg = 2.0 / (FPeriod3 + 1);
  FollowParent(SignalLine, ParentSeries);
  if (ParentSeries->SeriesColor() == clWhite) ParentSeries->SetSeriesColor(clBlue);
  const bool histogram = HistogramLine->Active();
  if (histogram) FollowParent(HistogramLine, ParentSeries);
  ParentSeries->BeginUpdate();
  SignalLine->BeginUpdate();
  HistogramLine->BeginUpdate();
  ReserveValues(ParentSeries, n);
  ReserveValues(SignalLine, n);
  if (histogram) ReserveValues(HistogramLine, n);
  double shortAve = v[0], longAve = v[0], signal = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (i > 0) {
      shortAve = ks * v[i] + (1 - ks) * shortAve;
      longAve = kl * v[i] + (1 - kl) * longAve;
    }
    const double macd = shortAve - longAve;
    signal = i == 0 ? macd : kg * macd + (1 - kg) * signal;
    AddFunctionPoint(Source->YMandatory, macd, xs[i]);
    SignalLine->AddXY(xs[i], signal);
    if (histogram) HistogramLine->AddXY(xs[i], macd - signal);
  }
  HistogramLine->EndUpdate();
  SignalLine->EndUpdate();
  ParentSeries->EndUpdate();
}

// =============================================================================================
// Bollinger bands

VM_PUBLISH(TBollingerFunction) {
  P.Bool("Exponential", &TBollingerFunction::Exponential, &TBollingerFunction::SetExponential).Default(true);
  P.Float("Deviation", &TBollingerFunction::Deviation, &TBollingerFunction::SetDeviation).Default(2);
  P.Object("UpperBandPen", &TBollingerFunction::UpperBandPen, &TBollingerFunction::SetUpperBandPen);
  P.Object("LowBandPen", &TBollingerFunction::LowBandPen, &TBollingerFunction::SetLowBandPen);
}

TBollingerFunction::TBollingerFunction(TComponent* AOwner) : TFiniteSourceFunction(AOwner) {
  InternalSetPeriod(10);
  LowerBand = NewAuxiliary<TFastLineSeries>(this, clDefault);
}

void TBollingerFunction::SetExponential(bool Value) {
  if (FExponential != Value) {
    FExponential = Value;
    Recalculate();
  }
}

void TBollingerFunction::SetDeviation(double Value) {
  if (FDeviation != Value) {
    FDeviation = Value;
    Recalculate();
  }
}

TChartPen* TBollingerFunction::UpperBandPen() const { return ParentSeries ? ParentSeries->Pen() : nullptr; }
void TBollingerFunction::SetUpperBandPen(TChartPen* Value) {
  if (ParentSeries) ParentSeries->SetPen(Value);
}
TChartPen* TBollingerFunction::LowBandPen() const { return LowerBand->Pen(); }
void TBollingerFunction::SetLowBandPen(TChartPen* Value) { LowerBand->SetPen(Value); }

void TBollingerFunction::Clear() { LowerBand->ClearValues(); }

// The upper band goes to the parent series, the lower one to LowerBand, both in one pass: the
// centre is the exponential average (running) or the window's mean; the spread the window's
// standard deviation over the population.
void TBollingerFunction::AddBands(TChartSeries* Source) {
  const int32_t n = Source->PointCount(), p = static_cast<int32_t>(std::nearbyint(Period()));
  if (p < 1 || n < p || (FExponential && n < 2)) return;
  const double* x = GetSourceValueList(Source)->Data();
  const double* xs = Source->NotMandatoryList->Data();
  const double k = 2 / (Period() + 1);
  // Sums over the window of the values less the first one, so their squares stay small.
  const long double base = x[0];
  long double s = 0, q = 0;
  double ema = x[0];
  ParentSeries->BeginUpdate();
  LowerBand->BeginUpdate();
  ReserveValues(ParentSeries, n - p + 1);
  ReserveValues(LowerBand, n - p + 1);
  for (int32_t e = 0; e < n; ++e) {
    const long double a = x[e] - base;
    s += a;
    q += a * a;
    if (e >= p) {
      const long double b = x[e - p] - base;
      s -= b;
      q -= b * b;
    }
    if (e > 0) ema = k * x[e] + (1 - k) * ema;
    if (e < p - 1) continue;
    const long double radicand = (static_cast<long double>(Period()) * q - s * s) / (Period() * Period());
    const double d = radicand > 0 ? std::sqrt(static_cast<double>(radicand)) : 0;
    const double centre = FExponential ? ema : static_cast<double>(base + s / p);
    ParentSeries->AddXY(xs[e], centre + FDeviation * d);
    LowerBand->AddXY(xs[e], centre - FDeviation * d);
  }
  LowerBand->EndUpdate();
  ParentSeries->EndUpdate();
}

void TBollingerFunction::CalculateFromSource(TChartSeries* Source) {
  if (!ParentSeries || !Source) return;
  FollowParent(LowerBand, ParentSeries);
  LowerBand->SetSeriesColor(ParentSeries->SeriesColor());
  if (ParentSeries->ClassType() == LowerBand->ClassType()) LowerBand->SetPen(ParentSeries->Pen());
  ParentSeries->ClearValues();
  LowerBand->ClearValues();
  if (Period() <= 0 || !SourcesAreFinite(this, Source)) return;
  AddBands(Source);
}

// =============================================================================================
// Cross points

VM_DEFINE_CLASS(TCrossPointsFunction)

void TCrossPointsFunction::CalculateFromSource(TChartSeries* /*Source*/) {
  if (!ParentSeries || ParentSeries->DataSources->Count() < 2) return;
  auto* a = dynamic_cast<TChartSeries*>(ParentSeries->DataSources->Items(0));
  auto* b = dynamic_cast<TChartSeries*>(ParentSeries->DataSources->Items(1));
  ParentSeries->ClearValues();
  if (!a || !b || a->PointCount() < 2 || b->PointCount() < 2) return;
  if (!SourcesAreFinite(this, a)) return;
  const double* av = GetSourceValueList(a)->Data();
  const double* bv = GetSourceValueList(b)->Data();
  const double* ax = a->NotMandatoryList->Data();
  const double* bx = b->NotMandatoryList->Data();
  // A crossing on a shared vertex belongs to two pairs of segments: it is added once.
  bool any = false;
  double lastX = 0, lastY = 0;
  ParentSeries->BeginUpdate();
  for (int32_t i = 0, j = 0; i + 1 < a->PointCount() && j + 1 < b->PointCount();) {
    double x, y;
    if (LineIntersection(x, y, ax[i], av[i], ax[i + 1], av[i + 1], bx[j], bv[j], bx[j + 1], bv[j + 1]) &&
        std::isfinite(x) && std::isfinite(y) && !(any && x == lastX && y == lastY)) {
      ParentSeries->AddXY(x, y);
      any = true;
      lastX = x;
      lastY = y;
    }
    if (bx[j + 1] >= ax[i + 1])
      ++i;
    else
      ++j;
  }
  ParentSeries->EndUpdate();
}

// =============================================================================================
// Perimeter

VM_DEFINE_CLASS(TPerimeterFunction)

void TPerimeterFunction::CalculateFromSource(TChartSeries* Source) {
  if (!ParentSeries || !Source) return;
  ParentSeries->ClearValues();
  const int32_t n = Source->PointCount();
  if (n == 0 || !SourcesAreFinite(this, Source)) return;
  // Screen positions need a laid-out chart: one that was never drawn is drawn once off screen.
  TChartAxis* h = Source->GetHorizAxis();
  TChartAxis* v = Source->GetVertAxis();
  if ((!h || h->AxisLength == 0 || !v || v->AxisLength == 0))
    if (auto* panel = dynamic_cast<TCustomGraphPanel*>(Source->ParentChart()); panel && panel->Width() > 0)
      std::unique_ptr<TBitmap>(panel->CreateBitmap(clWhite, TRect(0, 0, panel->Width(), panel->Height()), pf24bit));
  if (!Source->GetHorizAxis() || !Source->GetVertAxis() || !ParentSeries->GetHorizAxis() ||
      !ParentSeries->GetVertAxis())
    return;
  // Only the topmost and bottommost point of each pixel column can be a corner of the outline:
  // the hull is taken over those (at most two per column) instead of every point.
  // In a 3D view the outline goes round the points where they show: projected at the source's
  // middle depth.
  auto* chart = dynamic_cast<TCustomAxisPanel*>(Source->ParentChart());
  TGraphCanvas3D* projection = chart && chart->View3D() ? chart->Canvas : nullptr;
  std::vector<TPoint> screen(static_cast<size_t>(n));
  int32_t left = INT32_MAX, right = INT32_MIN;
  for (int32_t i = 0; i < n; ++i) {
    screen[static_cast<size_t>(i)] = TPoint(Source->ScreenXAt(i), Source->ScreenYAt(i));
    left = std::min(left, screen[static_cast<size_t>(i)].X);
    right = std::max(right, screen[static_cast<size_t>(i)].X);
  }
  TPointArray points;
  const int64_t columns = static_cast<int64_t>(right) - left + 1;
  if (columns > 0 && columns <= 4 * static_cast<int64_t>(n)) {
    std::vector<int32_t> top(static_cast<size_t>(columns), INT32_MAX), bottom(static_cast<size_t>(columns), INT32_MIN);
    for (const TPoint& p : screen) {
      const size_t c = static_cast<size_t>(p.X - left);
      top[c] = std::min(top[c], p.Y);
      bottom[c] = std::max(bottom[c], p.Y);
    }
    for (size_t c = 0; c < top.size(); ++c) {
      if (top[c] == INT32_MAX) continue;
      points.emplace_back(left + static_cast<int32_t>(c), top[c]);
      if (bottom[c] != top[c]) points.emplace_back(left + static_cast<int32_t>(c), bottom[c]);
    }
  } else {
    points = screen;
  }
  // The projection keeps straight lines straight (the points share one depth), so the corners of
  // the projected outline are among the projected column extremes: only those are projected.
  if (projection)
    for (TPoint& p : points) p = projection->Calculate3DPosition(p.X, p.Y, Source->MiddleZ);
  if (points.size() > 2 && !TGraphCanvas::ConvexHull(points)) return;
  ParentSeries->XValues()->SetOrder(loNone);
  ParentSeries->BeginUpdate();
  for (const TPoint& p : points)
    ParentSeries->AddXY(ParentSeries->PixelXToValue(p.X), ParentSeries->PixelYToValue(p.Y));
  ParentSeries->AddXY(ParentSeries->PixelXToValue(points[0].X), ParentSeries->PixelYToValue(points[0].Y));
  ParentSeries->EndUpdate();
}

// =============================================================================================

void RegisterFinancialFunctions() {
  RegisterFunctionType(TADXFunction::StaticClass(), &MsgFunctionADX, &MsgGalleryPageFinancial, 1);
  RegisterFunctionType(TRSIFunction::StaticClass(), &MsgFunctionRSI, &MsgGalleryPageFinancial, 1);
  RegisterFunctionType(TMACDFunction::StaticClass(), &MsgFunctionMACD, &MsgGalleryPageFinancial, 1);
  RegisterFunctionType(TBollingerFunction::StaticClass(), &MsgFunctionBollingerBands, &MsgGalleryPageFinancial, 1);
  RegisterFunctionType(TCrossPointsFunction::StaticClass(), &MsgFunctionCrossPoints, &MsgPageExtended, 1);
  RegisterFunctionType(TPerimeterFunction::StaticClass(), &MsgFunctionPerimeter, &MsgPageExtended, 1);
}

void UnregisterFinancialFunctions() {
  UnregisterFunctionTypes({TADXFunction::StaticClass(), TRSIFunction::StaticClass(), TMACDFunction::StaticClass(),
                           TBollingerFunction::StaticClass(), TCrossPointsFunction::StaticClass(),
                           TPerimeterFunction::StaticClass()});
}
