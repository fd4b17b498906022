#include "chart/series/functions_trend.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/series/fitting_spline.h"
#include "platform/exceptions.h"
#include "platform/guards.h"

const TEnumInfo TypeFittingInfo("TTypeFitting", {"cfPolynomial", "cfSplineNW", "cfSplineNag"});
const TEnumInfo ScaleKindInfo("TScaleKind", {"cfXLinYLin", "cfXLinYLog", "cfXLogYLin", "cfXLogYLog"});

namespace {

// The logarithm of a scale: a value that has none is an arithmetic error, not a NaN in the result.
double Log10Of(double V) {
  if (!(V > 0)) throw EInvalidOp("Invalid floating point operation");
  return std::log10(V);
}

template <class T>
void SetAndRecalculate(TGraphFunction* F, T& Field, T Value) {
  if (Field != Value) {
    Field = Value;
    F->Recalculate();
  }
}

}  // namespace

// =============================================================================================
// Curve fitting

VM_DEFINE_CLASS(TCustomFittingFunction)

VM_PUBLISH(TCurveFittingFunction) {
  P.Int("Factor", &TCustomFittingFunction::Factor, &TCustomFittingFunction::SetFactor).Default(1);
  P.Int("FirstPoint", &TCustomFittingFunction::FirstPoint, &TCustomFittingFunction::SetFirstPoint).Default(-1);
  P.Int("FirstCalcPoint", &TCustomFittingFunction::FirstCalcPoint, &TCustomFittingFunction::SetFirstCalcPoint)
      .Default(-1);
  P.Int("LastPoint", &TCustomFittingFunction::LastPoint, &TCustomFittingFunction::SetLastPoint).Default(-1);
  P.Int("LastCalcPoint", &TCustomFittingFunction::LastCalcPoint, &TCustomFittingFunction::SetLastCalcPoint).Default(-1);
  P.Int("PolyDegree", &TCustomFittingFunction::PolyDegree, &TCustomFittingFunction::SetPolyDegree).Default(5);
  P.Enum("TypeFitting", &TCustomFittingFunction::TypeFitting, &TCustomFittingFunction::SetTypeFitting, TypeFittingInfo)
      .Default(cfPolynomial);
  P.Int("Key", &TCustomFittingFunction::Key, &TCustomFittingFunction::Key).NoDefault();
  P.Float("S", &TCustomFittingFunction::S, &TCustomFittingFunction::S).NoDefault();
  P.Float("P", &TCustomFittingFunction::P, &TCustomFittingFunction::P).NoDefault();
  P.Float("Sfp", &TCustomFittingFunction::Sfp, &TCustomFittingFunction::Sfp).NoDefault();
  P.Enum("ScaleKind", &TCustomFittingFunction::ScaleKind, &TCustomFittingFunction::SetScaleKind, ScaleKindInfo)
      .NoDefault();
  P.Int("KnotsNumber", &TCustomFittingFunction::KnotsNumber, &TCustomFittingFunction::SetKnotsNumber).Default(5);
}

TCustomFittingFunction::TCustomFittingFunction(TComponent* AOwner) : TFiniteSourceFunction(AOwner) {
  InternalSetPeriod(1);
}

void TCustomFittingFunction::SetFactor(int32_t Value) { SetAndRecalculate(this, FFactor, std::max(1, Value)); }
void TCustomFittingFunction::SetFirstPoint(int32_t Value) { SetAndRecalculate(this, FFirstPoint, Value); }
void TCustomFittingFunction::SetFirstCalcPoint(int32_t Value) { SetAndRecalculate(this, FFirstCalcPoint, Value); }
void TCustomFittingFunction::SetLastPoint(int32_t Value) { SetAndRecalculate(this, FLastPoint, Value); }
void TCustomFittingFunction::SetLastCalcPoint(int32_t Value) { SetAndRecalculate(this, FLastCalcPoint, Value); }
void TCustomFittingFunction::SetTypeFitting(TTypeFitting Value) { SetAndRecalculate(this, FTypeFitting, Value); }
void TCustomFittingFunction::SetScaleKind(TScaleKind Value) { SetAndRecalculate(this, FScaleKind, Value); }

void TCustomFittingFunction::SetPolyDegree(int32_t Value) {
  if (Value == FPolyDegree) return;
  if (Value < 1 || Value > MaxPolyTerms) throw ChartException(ErrPolyDegree);
  FPolyDegree = Value;
  Recalculate();
}

void TCustomFittingFunction::SetKnotsNumber(int32_t Value) {
  if (Value == FKnotsNumber) return;
  if (Value < 1 || Value > MaxPolyTerms) throw ChartException(ErrPolyDegree);
  FKnotsNumber = Value;
  Recalculate();
}

void TCustomFittingFunction::ComputeOrigins(TChartSeries* Source) {
  YOrigin = GetSourceValueList(Source)->MinValue();
  XOrigin = Source->NotMandatoryList->MinValue();
  if (LogY()) YOrigin = Log10Of(YOrigin);
  if (LogX()) XOrigin = Log10Of(XOrigin);
}

double TCustomFittingFunction::FittedValueAt(TChartSeries* /*Source*/, double X) {
  if (LogX()) X = Log10Of(X);
  const double u = X - XOrigin;
  double v;
  switch (FTypeFitting) {
    case cfSplineNW:
      v = SmoothSplineValue(u);
      break;
    case cfSplineNag:
      v = SplineNagValue(u);
      break;
    default:
      v = static_cast<double>(PolyValue(FPolyDegree, FCoefficients, u));
      break;
  }
  double y = v + YOrigin;
  if (LogY()) y = std::pow(10.0, y);
  return y;
}

void TCustomFittingFunction::CalculateFromSource(TChartSeries* Source) {
  if (!ParentSeries || !Source) return;
  ParentSeries->ClearValues();
  if (!SourcesAreFinite(this, Source)) return;
  const int32_t count = Source->PointCount();
  if (count < FPolyDegree || count == 0) return;
  ComputeOrigins(Source);
  const int32_t first = FFirstCalcPoint == -1 ? 0 : std::max(0, FFirstCalcPoint);
  const int32_t last = FLastCalcPoint == -1 ? count - 1 : std::min(count - 1, FLastCalcPoint);
  const int32_t n = last - first + 1;
  if (n <= 0) return;
  TChartValueList* values = GetSourceValueList(Source);
  TChartValueList* xs = Source->NotMandatoryList;
  FSplineFailed = false;
  if (FTypeFitting != cfSplineNW && FTypeFitting != cfSplineNag && !LogX() && !LogY()) {
    // A polynomial on linear scales reads the source's lists in place: no copy of a long series.
    PolyFit(n, FPolyDegree, xs->Data() + first, XOrigin, values->Data() + first, YOrigin, FCoefficients);
    AddFittedPoints(Source);
    return;
  }
  TVector xv, yv;
  xv.reserve(static_cast<size_t>(n) + 1);
  yv.reserve(static_cast<size_t>(n) + 1);
  xv.push_back(0);
  yv.push_back(0);
  const double* xd = xs->Data();
  const double* yd = values->Data();
  for (int32_t k = first; k <= last; ++k) {
    double x = xd[k], y = yd[k];
    if (LogX()) x = Log10Of(x);
    if (LogY()) y = Log10Of(y);
    xv.push_back(x - XOrigin);
    yv.push_back(y - YOrigin);
  }
  switch (FTypeFitting) {
    case cfSplineNW:
      SmoothSplineFit(n, Key, xv, S, P, Sfp, yv);
      break;
    case cfSplineNag: {
      TVector w(static_cast<size_t>(n) + 1, 1.0L);
      double ss = 0;
      SplineNagFit(n, FKnotsNumber, xv, yv, w, ss);
      // A failed fit would leave an earlier fit of other data in place: nothing is drawn instead.
      FSplineFailed = SplineNagLastFailure() != 0;
      break;
    }
    default:
      PolyFit(n, FPolyDegree, xv, yv, FCoefficients);
      break;
  }
  if (!FSplineFailed) AddFittedPoints(Source);
}

void TCustomFittingFunction::AddFittedPoints(TChartSeries* Source) {
  ComputeOrigins(Source);
  const int32_t count = Source->PointCount();
  const int32_t first = FFirstPoint == -1 ? 0 : std::max(0, FFirstPoint);
  const int32_t last = FLastPoint == -1 ? count - 1 : std::min(count - 1, FLastPoint);
  if (last < first) return;
  FFactor = std::max(1, FFactor);
  TChartValueList* xs = Source->NotMandatoryList;
  // Points without a value (outside a spline's knots, or beyond the range of a number) are left out.
  auto add = [&](double x) {
    const double y = FittedValueAt(Source, x);
    if (std::isfinite(y)) AddFunctionPoint(Source->YMandatory, y, x);
  };
  ParentSeries->BeginUpdate();
  ReserveValues(ParentSeries, (last - first) * FFactor + 1);
  TScopeExit endUpdate([&] { ParentSeries->EndUpdate(); });
  for (int32_t i = first; i < last; ++i) {
    const double x0 = xs->GetValue(i), x1 = xs->GetValue(i + 1);
    for (int32_t k = 0; k < FFactor; ++k) add(x0 + (x1 - x0) / FFactor * k);
  }
  add(xs->GetValue(last));
}

// =============================================================================================
// Trends

VM_DEFINE_CLASS(TCustomTrendFunction)
VM_DEFINE_CLASS(TTrendFunction)
VM_DEFINE_CLASS(TExpTrendFunction)
VM_DEFINE_CLASS(TCorrelationFunction)

bool TCustomTrendFunction::Accumulate(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  const bool whole = FirstIndex == -1;
  if (whole) {
    FirstIndex = 0;
    LastIndex = Source->PointCount() - 1;
  }
  N = LastIndex - FirstIndex + 1;
  SumX = SumXY = SumY = SumX2 = SumY2 = 0;
  if (N <= 1) return false;
  TChartValueList* xs = Source->NotMandatoryList;
  TChartValueList* values = GetSourceValueList(Source);
  const bool totals = whole && Style == tsLinear;
  if (totals) {
    SumX = xs->Total();
    SumY = values->Total();
  }
  for (int32_t i = FirstIndex; i <= LastIndex; ++i) {
    const double x = xs->GetValue(i);
    double y = values->GetValue(i);
    if (Style == tsExponential) {
      if (y < 0) throw EInvalidOp("Invalid floating point operation");
      y = y == 0 ? 0 : std::log(y);
    }
    SumXY += x * y;
    SumX2 += x * x;
    SumY2 += y * y;
    if (!totals) {
      SumX += x;
      SumY += y;
    }
  }
  return true;
}

void TCustomTrendFunction::CalcCoefficients(double& M, double& B) {
  if (Style == tsLinear) {
    const double d = N * SumX2 - SumX * SumX;
    if (d != 0) {
      M = (N * SumXY - SumX * SumY) / d;
      B = (SumY * SumX2 - SumX * SumXY) / d;
    } else {
      M = 1;
      B = 0;
    }
  } else {
    const double mx = SumX / N, my = SumY / N;
    const double h = SumX2 - N * mx * mx;
    M = h != 0 ? (SumXY - N * mx * my) / h : 1;
    B = std::exp(my - M * mx);
  }
}

double TCustomTrendFunction::TrendValue(double X) {
  double m, b;
  CalcCoefficients(m, b);
  return Style == tsLinear ? m * X + b : b * std::exp(m * X);
}

void TCustomTrendFunction::AddRangePoint(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex,
                                         double /*Position*/) {
  if (!Accumulate(Source, FirstIndex, LastIndex)) return;
  if (FirstIndex == -1) {
    FirstIndex = 0;
    LastIndex = Source->PointCount() - 1;
  }
  TChartValueList* xs = Source->NotMandatoryList;
  double x0, x1;
  if (xs->Order() != loNone) {
    x0 = xs->GetValue(FirstIndex);
    x1 = xs->GetValue(LastIndex);
  } else {
    x0 = xs->MinValue();
    x1 = xs->MaxValue();
  }
  for (double x : {x0, x1}) {
    const double y = TrendValue(x);
    if (std::isfinite(y)) AddFunctionPoint(Source->YMandatory, y, x);
  }
}

void TCustomTrendFunction::ComputeWhole(TChartSeries* Source, TChartValueList* /*ValueList*/) {
  AddRangePoint(Source, -1, -1, 0);
}

double TCorrelationFunction::Correlation(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  if (!Accumulate(Source, FirstIndex, LastIndex)) return 1;
  const double d = (SumX2 - SumX * SumX / N) * (SumY2 - SumY * SumY / N);
  // Constant X or Y (or rounding that leaves nothing of the spread) has no coefficient.
  if (!(d > 0)) return 1;
  return std::clamp((SumXY - SumX * SumY / N) / std::sqrt(d), -1.0, 1.0);
}

double TCorrelationFunction::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  return Correlation(Source, FirstIndex, LastIndex);
}

void TCorrelationFunction::AddRangePoint(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex, double Position) {
  const double r = Correlation(Source, FirstIndex, LastIndex);
  TChartValueList* xs = Source->NotMandatoryList;
  const double mn = xs->MinValue(), mx = xs->MaxValue();
  if (ParentSeries->WholeResultAsPoint) {
    AddFunctionPoint(ParentSeries->YMandatory, r, FirstIndex == -1 ? mn + (mx - mn) * 0.5 : Position);
  } else {
    AddFunctionPoint(ParentSeries->YMandatory, r, mn);
    AddFunctionPoint(ParentSeries->YMandatory, r, mx);
  }
}

// =============================================================================================

void RegisterTrendFunctions() {
  RegisterFunctionType(TCurveFittingFunction::StaticClass(), &MsgFunctionCurveFitting, &MsgPageExtended, 1);
  RegisterFunctionType(TTrendFunction::StaticClass(), &MsgFunctionTrend, &MsgPageExtended, 1);
  RegisterFunctionType(TExpTrendFunction::StaticClass(), &MsgFunctionExponentialTrend, &MsgPageExtended, 1);
  RegisterFunctionType(TCorrelationFunction::StaticClass(), &MsgFunctionCorrelation, &MsgPageExtended, 1);
}

void UnregisterTrendFunctions() {
  UnregisterFunctionTypes({TCurveFittingFunction::StaticClass(), TTrendFunction::StaticClass(),
                           TExpTrendFunction::StaticClass(), TCorrelationFunction::StaticClass()});
}
