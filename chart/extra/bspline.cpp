#include "chart/extra/bspline.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "chart/engine/value_lists.h"
#include "platform/exceptions.h"

namespace {
[[noreturn]] void RangeError() { throw ERangeError("Range check error"); }
constexpr int32_t kCapacityStep = 25;
constexpr int32_t kMaxSteps = 600;
}  // namespace

// ---------------------------------------------------------------------------------------------
// B-spline

void TBSpline::Clear() {
  FVertices.clear();
  FPointCount = 0;
  FVertexTotal = 0;
  FBuilt = false;
  FCapacity = 0;
  FPoints.clear();
  FKnuckles.clear();
  FInterpolate = false;
  FStepCount = 100;
}

void TBSpline::SetCapacity(int32_t N) {
  if (N == FCapacity) return;
  if (N > 0) {
    FPoints.resize(static_cast<size_t>(N) + 1);
    FKnuckles.assign(static_cast<size_t>(N) + 1, false);
  }
  FCapacity = N;
}

void TBSpline::AddPoint(double X, double Y) {
  if (FPointCount == FCapacity) SetCapacity(FCapacity + kCapacityStep);
  ++FPointCount;
  FPoints[FPointCount] = {X, Y};
  SetBuilt(false);
}

void TBSpline::CheckIndex(int32_t I) const {
  if (I < 1 || I > FPointCount) RangeError();
}

T2DPoint TBSpline::GetPoint(int32_t I) const {
  CheckIndex(I);
  return FPoints[I];
}

void TBSpline::SetPoint(int32_t I, const T2DPoint& P) {
  CheckIndex(I);
  FPoints[I] = P;
  SetBuilt(false);
}

bool TBSpline::IsKnuckle(int32_t I) const {
  if (I == 1 || I == FPointCount) return false;
  CheckIndex(I);
  return FKnuckles[I];
}

void TBSpline::SetKnuckle(int32_t I, bool Value) {
  CheckIndex(I);
  FKnuckles[I] = Value;
  SetBuilt(false);
}

void TBSpline::SetInterpolate(bool Value) {
  if (Value == FInterpolate) return;
  FInterpolate = Value;
  SetBuilt(false);
}

void TBSpline::SetStepCount(int32_t N) {
  if (N == FStepCount) return;
  FStepCount = std::min(N, kMaxSteps);
}

void TBSpline::SetBuilt(bool Value) {
  if (!Value) {
    FVertices.clear();
    FVertexTotal = 0;
  }
  FBuilt = Value;
}

int32_t TBSpline::VertexCount() {
  if (!FBuilt) Build();
  return FVertexTotal;
}

void TBSpline::Build() {
  if (FPointCount > 1) {
    FVertices.clear();
    FVertexTotal = 0;
    for (int32_t i = 1; i <= FPointCount; ++i) FVertexTotal += IsKnuckle(i) ? 3 : 1;
    FVertices.assign(static_cast<size_t>(FVertexTotal) + 2, T2DPoint{});
    int32_t v = 1;
    for (int32_t i = 1; i <= FPointCount; ++i) {
      if (IsKnuckle(i)) {
        FVertices[v++] = FPoints[i];
        FVertices[v++] = FPoints[i];
      }
      FVertices[v++] = FPoints[i];
    }
    if (FInterpolate) SolveVertices(FVertexTotal);
  }
  FBuilt = true;
  if (FVertexTotal >= 2) {
    const int32_t n = FVertexTotal;
    FVertices[0] = {2 * FVertices[1].X - FVertices[2].X, 2 * FVertices[1].Y - FVertices[2].Y};
    FVertices[n + 1] = {2 * FVertices[n].X - FVertices[n - 1].X, 2 * FVertices[n].Y - FVertices[n - 1].Y};
  }
}

// The matrix is tridiagonal: only its three diagonals are kept. Rows 2..n-1 hold 1/6, 2/3, 1/6;
// the first and last rows and the rows of three coinciding vertices are identity rows, so those
// vertices stay where they are. Eliminated without pivoting, then substituted back.
void TBSpline::SolveVertices(int32_t N) {
  if (N <= 2) return;
  std::vector<double> lo(N + 2, 0), di(N + 2, 0), up(N + 2, 0);
  for (int32_t i = 2; i <= N - 1; ++i) {
    lo[i] = 1.0 / 6;
    di[i] = 2.0 / 3;
    up[i] = 1.0 / 6;
  }
  di[1] = 1;
  di[N] = 1;
  const TVertexList& V = FVertices;
  auto same = [](double A, double B) { return std::fabs(A - B) < 1e-5; };
  for (int32_t i = 3; i < N - 1;) {
    if (same(V[i].X, V[i - 1].X) && same(V[i + 1].X, V[i].X) && same(V[i].Y, V[i - 1].Y) && same(V[i + 1].Y, V[i].Y)) {
      for (int32_t r = i - 1; r <= i + 1; ++r) {
        lo[r] = 0;
        di[r] = 1;
        up[r] = 0;
      }
      i += 2;
    } else {
      ++i;
    }
  }
  std::vector<T2DPoint> R(V.begin(), V.end());
  for (int32_t k = 1; k < N; ++k) {
    const int32_t i = k + 1;
    const double f = lo[i] / di[k];
    lo[i] = 0;
    di[i] -= f * up[k];
    R[i].X -= f * R[k].X;
    R[i].Y -= f * R[k].Y;
  }
  TVertexList W(static_cast<size_t>(N) + 2, T2DPoint{});
  W[N] = {R[N].X / di[N], R[N].Y / di[N]};
  for (int32_t g = N - 1; g >= 1; --g) {
    const double inv = 1 / di[g];
    W[g] = {inv * (R[g].X - up[g] * W[g + 1].X), inv * (R[g].Y - up[g] * W[g + 1].Y)};
  }
  FVertices.swap(W);
}

T2DPoint TBSpline::CurvePoint(double U) {
  T2DPoint r;
  if (FPointCount < 2) return r;
  if (!FBuilt) Build();
  const double t = (FVertexTotal - 1) * U + 1;
  int32_t first = std::max(0, static_cast<int32_t>(std::trunc(t - 1)));
  const int32_t last = first + 3;
  first = std::min(first, FVertexTotal + 1);
  for (int32_t i = first; i <= last; ++i) {
    const double d = std::fabs(i - t);
    if (d >= 2) continue;
    const double w = d < 1 ? 2.0 / 3 - d * d + d * d * d / 2 : (2 - d) * (2 - d) * (2 - d) / 6;
    r.X += w * FVertices[i].X;
    r.Y += w * FVertices[i].Y;
  }
  return r;
}

// ---------------------------------------------------------------------------------------------
// Smoothing function

VM_PUBLISH(TSmoothingFunction) {
  P.Int("Factor", &TSmoothingFunction::Factor, &TSmoothingFunction::SetFactor).Default(4);
  P.Bool("Interpolate", &TSmoothingFunction::Interpolate, &TSmoothingFunction::SetInterpolate).Default(true);
}

TSmoothingFunction::TSmoothingFunction(TComponent* AOwner) : TGraphFunction(AOwner) {
  InternalSetPeriod(1);
  SingleSource = true;
}

void TSmoothingFunction::SetInterpolate(bool Value) {
  if (FInterpolate == Value) return;
  FInterpolate = Value;
  Recalculate();
}

void TSmoothingFunction::SetFactor(int32_t Value) {
  const int32_t v = std::max(1, Value);
  if (v == FFactor) return;
  FFactor = v;
  Recalculate();
}

void TSmoothingFunction::CalculateFromSource(TChartSeries* Source) {
  TChartSeries* parent = ParentSeries;
  if (!parent || !Source) return;
  parent->ClearValues();
  if (!parent->HasZValues()) {
    if (parent->YMandatory == Source->YMandatory) {
      parent->NotMandatoryList->SetOrder(loAscending);
      parent->MandatoryList->SetOrder(loNone);
      parent->SetCalcVisiblePoints(true);
    } else {
      parent->NotMandatoryList->SetOrder(loNone);
      parent->MandatoryList->SetOrder(loAscending);
      parent->SetCalcVisiblePoints(false);
    }
  }
  const int32_t n = Source->PointCount();
  if (n == 0) return;
  TChartValueList* values = GetSourceValueList(Source);
  TChartValueList* xs = Source->XValues();
  const bool vertical = parent->YMandatory;
  auto spline = std::make_unique<TBSpline>();
  for (int32_t i = 0; i < n; ++i) {
    if (vertical)
      spline->AddPoint(xs->Value(i), values->Value(i));
    else
      spline->AddPoint(values->Value(i), xs->Value(i));
    spline->SetKnuckle(i + 1, false);
  }
  spline->SetInterpolate(FInterpolate);
  // At most 600 steps: the product is capped before it could overflow.
  spline->SetStepCount(static_cast<int32_t>(std::min<int64_t>(int64_t(n) * FFactor, kMaxSteps)));
  const int32_t steps = spline->StepCount();
  for (int32_t k = 0; k <= steps; ++k) {
    const T2DPoint p = spline->CurvePoint(steps == 0 ? 0 : static_cast<double>(k) / steps);
    if (vertical)
      parent->AddPoint(p.X, p.Y);
    else
      parent->AddPoint(p.Y, p.X);
  }
}
