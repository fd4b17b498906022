#include "chart/extra/downsampling_function.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"

const TEnumInfo DownSampleMethodInfo("TDownSampleMethod", {"dsDouglas", "dsMax", "dsMin", "dsMinMax", "dsAverage"});

namespace {

int32_t DouglasPeuckerReduce(const double* X, const double* Y, int32_t Count, double* OutX, double* OutY,
                             double Tolerance) {
  if (Count <= 0) return 0;
  const double t2 = Tolerance * Tolerance;
  std::vector<bool> keep(static_cast<size_t>(Count), false);
  keep.front() = true;
  keep.back() = true;
  // Ranges still to simplify; the later half is pushed first so ranges are taken left to right.
  std::vector<std::pair<int32_t, int32_t>> ranges;
  ranges.emplace_back(0, Count - 1);
  while (!ranges.empty()) {
    const auto [start, end] = ranges.back();
    ranges.pop_back();
    if (start + 1 >= end) continue;
    const double sx = X[start], sy = Y[start], ex = X[end], ey = Y[end];
    const double vx = ex - sx, vy = ey - sy;
    const double c2 = vx * vx + vy * vy;
    double best = 0;
    int32_t m = -1;
    for (int32_t i = start + 1; i < end; ++i) {
      const double wx = X[i] - sx, wy = Y[i] - sy;
      const double c1 = wx * vx + wy * vy;
      double d;
      if (c1 <= 0) {
        d = wx * wx + wy * wy;
      } else if (c1 > c2) {
        const double dx = X[i] - ex, dy = Y[i] - ey;
        d = dx * dx + dy * dy;
      } else {
        double b = c1 / c2;
        if (!std::isfinite(b)) b = 0;
        const double dx = X[i] - (sx + b * vx), dy = Y[i] - (sy + b * vy);
        d = dx * dx + dy * dy;
      }
      if (d > best) {
        best = d;
        m = i;
      }
    }
    if (m >= 0 && best > t2) {
      keep[static_cast<size_t>(m)] = true;
      ranges.emplace_back(m, end);
      ranges.emplace_back(start, m);
    }
  }
  int32_t n = 0;
  for (int32_t i = 0; i < Count; ++i)
    if (keep[static_cast<size_t>(i)]) {
      OutX[n] = X[i];
      OutY[n] = Y[i];
      ++n;
    }
  return n;
}

}  // namespace

int32_t DownSample(const double* X, const double* Y, int32_t Count, double* OutX, double* OutY,
                   TDownSampleMethod Method, double Tolerance) {
  if (Method == dsDouglas) return DouglasPeuckerReduce(X, Y, Count, OutX, OutY, Tolerance);
  int32_t n = 0;
  int32_t s = 0;
  while (s < Count) {
    int32_t e = s;
    while (e + 1 < Count && std::fabs(X[e + 1] - X[s]) < Tolerance) ++e;
    double hi = Y[s], lo = Y[s], sum = 0;
    for (int32_t i = s; i <= e; ++i) {
      hi = std::max(hi, Y[i]);
      lo = std::min(lo, Y[i]);
      sum += Y[i];
    }
    const double mid = (X[s] + X[e]) * 0.5;
    switch (Method) {
      case dsMax:
        OutX[n] = mid;
        OutY[n++] = hi;
        break;
      case dsMin:
        OutX[n] = mid;
        OutY[n++] = lo;
        break;
      case dsAverage:
        OutX[n] = mid;
        OutY[n++] = sum / (e - s + 1);
        break;
      case dsMinMax:
        if (n < Count - 2) {
          OutX[n] = X[s];
          OutY[n++] = lo;
          OutX[n] = X[e];
          OutY[n++] = hi;
        }
        break;
      case dsDouglas:
        break;
    }
    s = e + 1;
  }
  return n;
}

VM_PUBLISH(TDownSamplingFunction) {
  using S = TDownSamplingFunction;
  P.Enum("DownSampleMethod", &S::DownSampleMethod, &S::SetDownSampleMethod, DownSampleMethodInfo).Default(dsDouglas);
  // No stored default: the tolerance is always written.
  P.Float("Tolerance", &S::Tolerance, &S::SetTolerance);
}

TDownSamplingFunction::TDownSamplingFunction(TComponent* AOwner) : TGraphFunction(AOwner) {
  InternalSetPeriod(1);
  SingleSource = true;
}

void TDownSamplingFunction::SetDownSampleMethod(TDownSampleMethod Value) {
  if (FMethod == Value) return;
  FMethod = Value;
  Recalculate();
}

void TDownSamplingFunction::SetTolerance(double Value) {
  const double v = std::max(Value, 0.0);
  if (v == FTolerance || std::isnan(v)) return;
  FTolerance = v;
  Recalculate();
}

void TDownSamplingFunction::CalculateFromSource(TChartSeries* Source) {
  TChartSeries* parent = ParentSeries;
  if (!parent || !Source || Source->PointCount() == 0) return;
  parent->ClearValues();
  if (parent->YMandatory == Source->YMandatory) {
    parent->NotMandatoryList->SetOrder(loAscending);
    parent->MandatoryList->SetOrder(loNone);
    parent->SetCalcVisiblePoints(true);
  } else {
    parent->NotMandatoryList->SetOrder(loNone);
    parent->MandatoryList->SetOrder(loAscending);
    parent->SetCalcVisiblePoints(false);
  }
  const int32_t count = Source->PointCount();
  std::vector<double> outX(static_cast<size_t>(count)), outY(static_cast<size_t>(count));
  const int32_t n = DownSample(Source->XValues()->Data(), Source->YValues()->Data(), count, outX.data(), outY.data(),
                               FMethod, FTolerance);
  for (int32_t k = 0; k < n; ++k)
    parent->AddPoint(outX[static_cast<size_t>(k)], outY[static_cast<size_t>(k)], "", clAutoColor);
}

void RegisterDownSamplingFunction() {
  RegisterFunctionType(TDownSamplingFunction::StaticClass(), &MsgFunctionDownsampling, &MsgPageExtended, 1);
}

void UnregisterDownSamplingFunction() { UnregisterFunctionTypes({TDownSamplingFunction::StaticClass()}); }
