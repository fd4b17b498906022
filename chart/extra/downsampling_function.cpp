#include "chart/extra/downsampling_function.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"

const TEnumInfo DownSampleMethodInfo("TDownSampleMethod", {"dsDouglas", "dsMax", "dsMin", "dsMinMax", "dsAverage"});

namespace {

// One range's segment from P[Start] to P[End], measuring squared distances exactly as the
// simplification defines them: to the start when the projection falls before it, to the end when
// it falls beyond, to the projected point otherwise.
struct TSegment {
  double SX, SY, EX, EY, VX, VY, C2;
  TSegment(const double* X, const double* Y, int32_t Start, int32_t End)
      : SX(X[Start]), SY(Y[Start]), EX(X[End]), EY(Y[End]), VX(EX - SX), VY(EY - SY), C2(VX * VX + VY * VY) {}
  double Distance2(double PX, double PY) const {
    const double wx = PX - SX, wy = PY - SY;
    const double c1 = wx * VX + wy * VY;
    if (c1 <= 0) return wx * wx + wy * wy;
    if (c1 > C2) {
      const double dx = PX - EX, dy = PY - EY;
      return dx * dx + dy * dy;
    }
    double b = c1 / C2;
    if (!std::isfinite(b)) b = 0;
    const double dx = PX - (SX + b * VX), dy = PY - (SY + b * VY);
    return dx * dx + dy * dy;
  }
};

// The farthest point of a range: its squared distance and index (-1 when every point lies on the
// segment). Equal distances keep the first index.
struct TFarthest {
  double D = 0;
  int32_t M = -1;
  void Offer(double D2, int32_t I) {
    if (D2 > D || (D2 == D && I < M)) {
      D = D2;
      M = I;
    }
  }
};

void ScanRange(const double* X, const double* Y, const TSegment& S, int32_t Lo, int32_t Hi, TFarthest& F) {
  for (int32_t i = Lo; i <= Hi; ++i) F.Offer(S.Distance2(X[i], Y[i]), i);
}

// Bounding boxes of the points in blocks of kLeaf, gathered pairwise into a complete binary tree,
// so that the farthest point of a range is found by visiting only the boxes that could hold a
// point farther than the best so far. The distance to a segment is convex, so no point of a box
// lies farther than its farthest corner; Slack covers what rounding may add to either side.
class TBoxTree {
public:
  static constexpr int32_t kLeaf = 32;

  // False when the points hold a value that is not finite or is too large or too small for the
  // rounding bound; the caller then scans every range whole.
  bool Build(const double* X, const double* Y, int32_t Count) {
    FX = X;
    FY = Y;
    double mag = 0;
    for (int32_t i = 0; i < Count; ++i) {
      const double m = std::max(std::fabs(X[i]), std::fabs(Y[i]));
      if (!(m <= 1e100)) return false;  // NaN and infinity fail here too
      mag = std::max(mag, m);
    }
    if (mag < 1e-100) return false;
    // Each squared distance is off from the true one by a few hundred units of rounding of
    // the squared magnitude at most; this keeps a wide margin over twice that.
    FSlack = 1e-12 * mag * mag;
    const int32_t blocks = (Count + kLeaf - 1) / kLeaf;
    FLeaves = 1;
    while (FLeaves < blocks) FLeaves *= 2;
    FBoxes.assign(static_cast<size_t>(2 * FLeaves), TBox{});
    for (int32_t b = 0; b < blocks; ++b) {
      TBox& box = FBoxes[static_cast<size_t>(FLeaves + b)];
      const int32_t from = b * kLeaf, to = std::min(Count, from + kLeaf);
      box = TBox{X[from], X[from], Y[from], Y[from]};
      for (int32_t i = from + 1; i < to; ++i) {
        box.MinX = std::min(box.MinX, X[i]);
        box.MaxX = std::max(box.MaxX, X[i]);
        box.MinY = std::min(box.MinY, Y[i]);
        box.MaxY = std::max(box.MaxY, Y[i]);
      }
    }
    // Leaves past the last block repeat its box, so that they widen no box above them.
    for (int32_t b = blocks; b < FLeaves; ++b)
      FBoxes[static_cast<size_t>(FLeaves + b)] = FBoxes[static_cast<size_t>(FLeaves + blocks - 1)];
    for (int32_t n = FLeaves - 1; n >= 1; --n) {
      const TBox& a = FBoxes[static_cast<size_t>(2 * n)];
      const TBox& b = FBoxes[static_cast<size_t>(2 * n + 1)];
      FBoxes[static_cast<size_t>(n)] =
          TBox{std::min(a.MinX, b.MinX), std::max(a.MaxX, b.MaxX), std::min(a.MinY, b.MinY), std::max(a.MaxY, b.MaxY)};
    }
    return true;
  }

  // The farthest point of Lo..Hi from S; a point no farther than T2 is of no interest, so the
  // result may then be any point within T2 (or none).
  TFarthest Farthest(const TSegment& S, int32_t Lo, int32_t Hi, double T2) {
    TFarthest f;
    FSeg = &S;
    FLo = Lo;
    FHi = Hi;
    FT2 = T2;
    Visit(1, 0, int64_t{FLeaves} * kLeaf - 1, Bound(1), f);
    return f;
  }

private:
  struct TBox {
    double MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
  };

  double Bound(int32_t Node) const {
    const TBox& b = FBoxes[static_cast<size_t>(Node)];
    const TSegment& s = *FSeg;
    return std::max(std::max(s.Distance2(b.MinX, b.MinY), s.Distance2(b.MaxX, b.MinY)),
                    std::max(s.Distance2(b.MinX, b.MaxY), s.Distance2(b.MaxX, b.MaxY))) +
           FSlack;
  }

  // Depth first, the child with the farther box first, so the best distance grows early and
  // prunes most boxes; the depth is the tree's height.
  // Node spans the indices From..To, counted wide: the last leaf may end past any int32_t.
  void Visit(int32_t Node, int64_t From, int64_t To, double Bound2, TFarthest& F) const {
    if (To < FLo || From > FHi || Bound2 <= FT2 || Bound2 < F.D) return;
    if (Node >= FLeaves) {
      ScanRange(FX, FY, *FSeg, static_cast<int32_t>(std::max<int64_t>(From, FLo)),
                static_cast<int32_t>(std::min<int64_t>(To, FHi)), F);
      return;
    }
    const int64_t mid = From + (To - From + 1) / 2;
    const double a = Bound(2 * Node), b = Bound(2 * Node + 1);
    if (a >= b) {
      Visit(2 * Node, From, mid - 1, a, F);
      Visit(2 * Node + 1, mid, To, b, F);
    } else {
      Visit(2 * Node + 1, mid, To, b, F);
      Visit(2 * Node, From, mid - 1, a, F);
    }
  }

  const double* FX = nullptr;
  const double* FY = nullptr;
  std::vector<TBox> FBoxes;
  int32_t FLeaves = 0;
  double FSlack = 0;
  // The range being searched.
  const TSegment* FSeg = nullptr;
  int32_t FLo = 0, FHi = 0;
  double FT2 = 0;
};

int32_t DouglasPeuckerReduce(const double* X, const double* Y, int32_t Count, double* OutX, double* OutY,
                             double Tolerance) {
  if (Count <= 0) return 0;
  const double t2 = Tolerance * Tolerance;
  std::vector<uint8_t> keep(static_cast<size_t>(Count), 0);
  keep.front() = 1;
  keep.back() = 1;
  // Short sources are scanned range by range; long ones search a tree of boxes, which finds the
  // same farthest point without measuring most of a long range.
  TBoxTree tree;
  const bool useTree = Count >= 4 * TBoxTree::kLeaf && !std::isnan(t2) && tree.Build(X, Y, Count);
  // Ranges still to simplify; each range's halves are independent, so the order is free.
  std::vector<std::pair<int32_t, int32_t>> ranges;
  ranges.emplace_back(0, Count - 1);
  while (!ranges.empty()) {
    const auto [start, end] = ranges.back();
    ranges.pop_back();
    if (start + 1 >= end) continue;
    const TSegment seg(X, Y, start, end);
    TFarthest f;
    if (useTree && end - start > 2 * TBoxTree::kLeaf)
      f = tree.Farthest(seg, start + 1, end - 1, t2);
    else
      ScanRange(X, Y, seg, start + 1, end - 1, f);
    if (f.M >= 0 && f.D > t2) {
      keep[static_cast<size_t>(f.M)] = 1;
      ranges.emplace_back(f.M, end);
      ranges.emplace_back(start, f.M);
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
  // Left uninitialised: only the points written are read, so a short result touches little memory.
  const auto outX = std::make_unique_for_overwrite<double[]>(static_cast<size_t>(count));
  const auto outY = std::make_unique_for_overwrite<double[]>(static_cast<size_t>(count));
  const int32_t n = DownSample(Source->XValues()->Data(), Source->YValues()->Data(), count, outX.get(), outY.get(),
                               FMethod, FTolerance);
  for (int32_t k = 0; k < n; ++k) parent->AddPoint(outX[k], outY[k], "", clAutoColor);
}

void RegisterDownSamplingFunction() {
  RegisterFunctionType(TDownSamplingFunction::StaticClass(), &MsgFunctionDownsampling, &MsgPageExtended, 1);
}

void UnregisterDownSamplingFunction() { UnregisterFunctionTypes({TDownSamplingFunction::StaticClass()}); }
