#include "chart/extra/trisurface_series.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>
#include <unordered_map>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_blend.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/value_lists.h"

namespace {

// The state of one triangulation: the points, the triangles with a version per triangle, the
// edges with the triangles on their two sides, and the convex border in counterclockwise order.
class TTriangulator {
public:
  TTriangulator(const double* X, const double* Z, int32_t N) : FX(X), FZ(Z), FN(N) {}

  TTriangulation Run();

private:
  using Tri = std::array<int32_t, 3>;
  static uint64_t Key(int32_t A, int32_t B) {
    if (A > B) std::swap(A, B);
    return (static_cast<uint64_t>(static_cast<uint32_t>(A)) << 32) | static_cast<uint32_t>(B);
  }
  double Cross(int32_t O, int32_t A, int32_t B) const {
    return (FX[A] - FX[O]) * (FZ[B] - FZ[O]) - (FZ[A] - FZ[O]) * (FX[B] - FX[O]);
  }
  double Dist2(int32_t A, int32_t B) const {
    const double dx = FX[A] - FX[B], dz = FZ[A] - FZ[B];
    return dx * dx + dz * dz;
  }
  void AddEdge(int32_t A, int32_t B, int32_t T) {
    auto& e = FEdges.try_emplace(Key(A, B), std::array<int32_t, 2>{-1, -1}).first->second;
    if (e[0] < 0)
      e[0] = T;
    else
      e[1] = T;
  }
  void ReplaceEdgeTriangle(int32_t A, int32_t B, int32_t Old, int32_t New) {
    auto& e = FEdges[Key(A, B)];
    if (e[0] == Old)
      e[0] = New;
    else if (e[1] == Old)
      e[1] = New;
  }
  int32_t Neighbour(int32_t A, int32_t B, int32_t T) const {
    const auto it = FEdges.find(Key(A, B));
    if (it == FEdges.end()) return -1;
    return it->second[0] == T ? it->second[1] : it->second[0];
  }
  int32_t AddTriangle(int32_t A, int32_t B, int32_t C) {
    const auto t = static_cast<int32_t>(FTris.size());
    FTris.push_back({A, B, C});
    FVersion.push_back(0);
    FChecked.push_back({});
    FIsPending.push_back(0);
    FIsNextDirty.push_back(0);
    AddEdge(A, B, t);
    AddEdge(B, C, t);
    AddEdge(C, A, t);
    MarkDirty(t);
    MarkDirty(Neighbour(A, B, t));
    MarkDirty(Neighbour(B, C, t));
    MarkDirty(Neighbour(C, A, t));
    return t;
  }
  // A triangle whose edges may now test otherwise than last time: visited later in the running
  // sweep when it comes after the triangle being visited, else in the next sweep. Triangles not
  // marked would only repeat tests that kept their diagonal; leaving them out changes nothing.
  void MarkDirty(int32_t T) {
    if (T < 0) return;
    if (FPos >= 0 && T > FPos) {
      if (!FIsPending[T]) {
        FIsPending[T] = 1;
        FPending.push(T);
      }
    } else if (!FIsNextDirty[T]) {
      FIsNextDirty[T] = 1;
      FNextDirty.push_back(T);
    }
  }
  // Sweeps over the triangles until one exchanges nothing, at most 100.
  void Sweeps();
  // Tests the edge of T opposite its corner Slot against the neighbour across it; exchanges the
  // diagonal when needed. True when it exchanged.
  bool TestEdge(int32_t T, int Slot);

  const double* FX;
  const double* FZ;
  int32_t FN;
  std::vector<Tri> FTris;
  std::vector<uint32_t> FVersion;
  // Per triangle and edge: the neighbour and both versions of the last test that kept the diagonal.
  struct TCheck {
    int32_t Neighbour = -1;
    uint32_t Own = 0, Other = 0;
    bool Valid = false;
  };
  std::vector<std::array<TCheck, 3>> FChecked;
  std::unordered_map<uint64_t, std::array<int32_t, 2>> FEdges;
  std::priority_queue<int32_t, std::vector<int32_t>, std::greater<int32_t>> FPending;
  std::vector<char> FIsPending, FIsNextDirty;
  std::vector<int32_t> FNextDirty;
  int32_t FPos = -1;
};

void TTriangulator::Sweeps() {
  for (int sweep = 0; sweep < 100; ++sweep) {
    for (int32_t t : FNextDirty) {
      FIsNextDirty[t] = 0;
      if (!FIsPending[t]) {
        FIsPending[t] = 1;
        FPending.push(t);
      }
    }
    FNextDirty.clear();
    bool changed = false;
    while (!FPending.empty()) {
      const int32_t t = FPending.top();
      FPending.pop();
      FIsPending[t] = 0;
      FPos = t;
      for (int s = 0; s < 3; ++s) changed |= TestEdge(t, s);
    }
    FPos = -1;
    if (!changed) break;
  }
}

bool TTriangulator::TestEdge(int32_t T, int Slot) {
  const Tri t = FTris[T];
  const int32_t v = t[Slot], p = t[(Slot + 1) % 3], q = t[(Slot + 2) % 3];
  const int32_t u = Neighbour(p, q, T);
  if (u < 0) return false;
  TCheck& ck = FChecked[T][Slot];
  if (ck.Valid && ck.Neighbour == u && ck.Own == FVersion[T] && ck.Other == FVersion[u]) return false;
  const Tri& o = FTris[u];
  int32_t w = o[0];
  for (int k = 0; k < 3; ++k)
    if (o[k] != p && o[k] != q) w = o[k];
  if (!ExchangeNeeded(FX[v], FZ[v], FX[w], FZ[w], FX[p], FZ[p], FX[q], FZ[q])) {
    ck = {u, FVersion[T], FVersion[u], true};
    return false;
  }
  // The quadrilateral v p w q (counterclockwise) is cut by v-w instead of p-q.
  FEdges.erase(Key(p, q));
  FTris[T] = {v, p, w};
  FTris[u] = {v, w, q};
  ReplaceEdgeTriangle(p, w, u, T);
  ReplaceEdgeTriangle(q, v, T, u);
  FEdges[Key(v, w)] = {T, u};
  ++FVersion[T];
  ++FVersion[u];
  MarkDirty(T);
  MarkDirty(u);
  MarkDirty(Neighbour(v, p, T));
  MarkDirty(Neighbour(p, w, T));
  MarkDirty(Neighbour(w, q, u));
  MarkDirty(Neighbour(q, v, u));
  return true;
}

TTriangulation TTriangulator::Run() {
  TTriangulation out;
  // The points in the order 1, 2, ..., N - 1, 0, without repeats of an earlier point.
  std::vector<int32_t> pts;
  pts.reserve(FN);
  {
    std::unordered_map<uint64_t, std::vector<int32_t>> seen;
    for (int32_t k = 1; k <= FN; ++k) {
      const int32_t i = k % FN;
      if (!std::isfinite(FX[i]) || !std::isfinite(FZ[i])) continue;
      uint64_t h = std::hash<double>()(FX[i]) * 31 + std::hash<double>()(FZ[i]);
      auto& bucket = seen[h];
      bool dup = false;
      for (int32_t j : bucket) dup |= FX[j] == FX[i] && FZ[j] == FZ[i];
      if (dup) continue;
      bucket.push_back(i);
      pts.push_back(i);
    }
  }
  const auto m = static_cast<int32_t>(pts.size());
  if (m < 3) return out;
  // The closest pair: the first minimum in scanning order (the pairs (a, b), a before b), found by
  // a sweep over the points sorted by X that stops where the X distance alone exceeds the best.
  std::vector<int32_t> byX(m);
  for (int32_t k = 0; k < m; ++k) byX[k] = k;
  std::sort(byX.begin(), byX.end(), [&](int32_t A, int32_t B) { return FX[pts[A]] < FX[pts[B]]; });
  int32_t ia = 0, ib = 1;
  double best = Dist2(pts[0], pts[1]);
  for (int32_t s = 0; s < m; ++s)
    for (int32_t t = s + 1; t < m; ++t) {
      const double dx = FX[pts[byX[t]]] - FX[pts[byX[s]]];
      if (dx * dx > best) break;
      const double d = Dist2(pts[byX[s]], pts[byX[t]]);
      const int32_t a = std::min(byX[s], byX[t]), b = std::max(byX[s], byX[t]);
      if (d < best || (d == best && (a < ia || (a == ia && b < ib)))) {
        best = d;
        ia = a;
        ib = b;
      }
    }
  std::vector<int32_t> order{pts[ia], pts[ib]};
  for (int32_t k = 0; k < m; ++k)
    if (k != ia && k != ib) order.push_back(pts[k]);
  // The others by distance from the pair's midpoint, in the order a selection sort leaves them
  // (the first smallest of the rest swapped to the front, step by step). A tree over the positions
  // answers each step's first smallest without scanning the rest.
  const double mx = (FX[order[0]] + FX[order[1]]) / 2, mz = (FZ[order[0]] + FZ[order[1]]) / 2;
  std::vector<double> key(m);
  for (int32_t k = 2; k < m; ++k) {
    const double dx = FX[order[k]] - mx, dz = FZ[order[k]] - mz;
    key[k] = dx * dx + dz * dz;
  }
  if (m > 3) {
    int32_t size = 1;
    while (size < m - 2) size <<= 1;
    std::vector<int32_t> tree(2 * static_cast<size_t>(size), -1);
    auto better = [&](int32_t A, int32_t B) {
      if (A < 0) return B;
      if (B < 0) return A;
      if (key[B] < key[A]) return B;
      if (key[A] < key[B]) return A;
      return std::min(A, B);
    };
    for (int32_t p = 2; p < m; ++p) tree[size + p - 2] = p;
    for (int32_t i = size - 1; i >= 1; --i) tree[i] = better(tree[2 * i], tree[2 * i + 1]);
    auto update = [&](int32_t P, bool Active) {
      int32_t i = size + P - 2;
      tree[i] = Active ? P : -1;
      for (i >>= 1; i >= 1; i >>= 1) tree[i] = better(tree[2 * i], tree[2 * i + 1]);
    };
    for (int32_t i = 2; i < m - 1; ++i) {
      const int32_t j = tree[1];
      std::swap(order[i], order[j]);
      std::swap(key[i], key[j]);
      update(i, false);
      if (j != i) update(j, true);
    }
  }
  const double eps = best * 1e-6;
  int32_t third = -1;
  double cross = 0;
  for (int32_t k = 2; k < m; ++k) {
    cross = Cross(order[0], order[1], order[k]);
    if (std::fabs(cross) > eps) {
      third = k;
      break;
    }
  }
  if (third < 0) return out;  // every point on one line
  // The skipped (collinear) points go after the third.
  std::rotate(order.begin() + 2, order.begin() + third, order.begin() + third + 1);
  int32_t a = order[0], b = order[1];
  const int32_t c = order[2];
  if (cross < 0) std::swap(a, b);
  AddTriangle(a, b, c);
  // The border, counterclockwise: interior on the left of each segment.
  std::vector<std::array<int32_t, 2>> border{{a, b}, {b, c}, {c, a}};

  for (int32_t k = 3; k < m; ++k) {
    const int32_t P = order[k];
    const auto nb = static_cast<int32_t>(border.size());
    std::vector<bool> visible(nb);
    bool any = false;
    for (int32_t e = 0; e < nb; ++e) {
      visible[e] = Cross(border[e][0], border[e][1], P) < -eps;
      any |= visible[e];
    }
    if (!any) continue;
    // The visible segments form one run; it starts after an invisible one.
    int32_t start = 0;
    for (int32_t e = 0; e < nb; ++e)
      if (visible[e] && !visible[(e + nb - 1) % nb]) {
        start = e;
        break;
      }
    int32_t count = 0;
    while (count < nb && visible[(start + count) % nb]) ++count;
    const int32_t first = border[start][0], last = border[(start + count - 1) % nb][1];
    for (int32_t i = 0; i < count; ++i) {
      const auto& seg = border[(start + i) % nb];
      const int32_t t = AddTriangle(seg[0], P, seg[1]);
      TestEdge(t, 1);  // the old border segment, opposite P
    }
    std::vector<std::array<int32_t, 2>> next;
    next.reserve(nb - count + 2);
    next.push_back({first, P});
    next.push_back({P, last});
    for (int32_t i = count; i < nb; ++i) next.push_back(border[(start + i) % nb]);
    border.swap(next);
    Sweeps();
  }
  out.Triangles = FTris;
  for (const auto& seg : border) {
    const auto it = FEdges.find(Key(seg[0], seg[1]));
    const int32_t t = it == FEdges.end() ? -1 : std::max(it->second[0], it->second[1]);
    out.Border.push_back({seg[0], seg[1], t});
  }
  return out;
}

}  // namespace

bool ExchangeNeeded(double X1, double Z1, double X2, double Z2, double X3, double Z3, double X4, double Z4) {
  const double u3 = (Z2 - Z3) * (X1 - X3) - (X2 - X3) * (Z1 - Z3);
  const double u4 = (Z1 - Z4) * (X2 - X4) - (X1 - X4) * (Z2 - Z4);
  if (u3 * u4 <= 0) return false;
  const double u1 = (Z3 - Z1) * (X4 - X1) - (X3 - X1) * (Z4 - Z1);
  const double u2 = (Z4 - Z2) * (X3 - X2) - (X4 - X2) * (Z3 - Z2);
  auto sq = [](double A, double B) { return A * A + B * B; };
  const double a1 = sq(X1 - X3, Z1 - Z3), b1 = sq(X4 - X1, Z4 - Z1), c1 = sq(X3 - X4, Z3 - Z4);
  const double a2 = sq(X2 - X4, Z2 - Z4), b2 = sq(X3 - X2, Z3 - Z2), c3 = sq(X2 - X1, Z2 - Z1);
  const double s1 = u1 * u1 / (c1 * std::max(a1, b1)), s2 = u2 * u2 / (c1 * std::max(a2, b2));
  const double s3 = u3 * u3 / (c3 * std::max(b2, a1)), s4 = u4 * u4 / (c3 * std::max(b1, a2));
  return std::min(s3, s4) > std::min(s1, s2);
}

TTriangulation TriangulatePoints(const double* X, const double* Z, int32_t N) {
  if (N < 3) return {};
  return TTriangulator(X, Z, N).Run();
}

// ---------------------------------------------------------------------------------------------
// Series

VM_PUBLISH(TCustomTriSurfaceSeries) {
  using S = TCustomTriSurfaceSeries;
  P.Object("Border", &S::Border, &S::SetBorder);
  P.Bool("FastBrush", &S::FastBrush, &S::SetFastBrush).Default(false);
  P.Bool("HideTriangles", &S::HideTriangles, &S::SetHideTriangles).Default(true);
  P.Int("Transparency", &S::Transparency, &S::SetTransparency).Default(0);
}

VM_DEFINE_CLASS(TTriSurfaceSeries)

TCustomTriSurfaceSeries::TCustomTriSurfaceSeries(TComponent* AOwner) : TCustom3DPaletteSeries(AOwner) {
  FBorder = std::make_unique<TChartHiddenPen>([this](TObject* Sender) { PenBrushChanged(Sender); });
  FBorder->SetColor(clWhite);
}

TCustomTriSurfaceSeries::~TCustomTriSurfaceSeries() = default;

void TCustomTriSurfaceSeries::Triangulate() {
  FTri = TriangulatePoints(XValues()->Data(), FZValues->Data(), PointCount());
}

void TCustomTriSurfaceSeries::FireBeforeDrawValues() {
  TCustom3DPaletteSeries::FireBeforeDrawValues();
  if (PointCount() < 3)
    FTri = {};
  else
    Triangulate();
}

void TCustomTriSurfaceSeries::ClearValues() {
  TCustom3DPaletteSeries::ClearValues();
  FTri = {};
  FSortedOrder.clear();
  FSortedCorners.clear();
}

std::array<TPoint, 3> TCustomTriSurfaceSeries::ProjectedCorners(int32_t Triangle) {
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  std::array<TPoint, 3> r;
  const auto& t = FTri.Triangles[Triangle];
  for (int k = 0; k < 3; ++k) {
    const int32_t p = t[k];
    r[k] = c->Calculate3DPosition(ScreenXAt(p), ScreenYAt(p), DepthPositionAt(p));
  }
  return r;
}

void TCustomTriSurfaceSeries::DrawVisiblePoints() {
  FSortedOrder.clear();
  FSortedCorners.clear();
  if (!FParentChart || (!Pen()->Visible() && Brush()->Style() == bsClear)) return;
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  c->AssignBrush(Brush(), Brush()->Color());
  c->AssignVisiblePen(Pen());
  const int32_t nt = NumTriangles();
  auto blended = [&](const TRect& Bounds, const std::function<void()>& Draw) {
    if (FTransparency <= 0) return Draw();
    TGraphBlend* blend = c->BeginBlending(Bounds, FTransparency);
    Draw();
    c->EndBlending(blend);
  };
  if (FHideTriangles && !c->SupportsFullRotation() && c->Brush->Style() == bsSolid) {
    struct TNode {
      int32_t Triangle;
      double Key;
    };
    std::vector<TNode> nodes(nt);
    const double* zs = FZValues->Data();
    for (int32_t t = 0; t < nt; ++t) {
      const auto& tr = FTri.Triangles[t];
      nodes[t] = {t, std::max({zs[tr[0]], zs[tr[1]], zs[tr[2]]})};
    }
    bool ascending = FParentChart->DepthAxis()->Inverted();
    TView3DOptions* o = FParentChart->View3DOptions();
    if (series_link::View3D(FParentChart) && !o->Orthogonal() && o->Rotation() > 90 && o->Rotation() < 270)
      ascending = !ascending;
    std::stable_sort(nodes.begin(), nodes.end(),
                     [&](const TNode& A, const TNode& B) { return ascending ? A.Key < B.Key : A.Key > B.Key; });
    for (const TNode& n : nodes) {
      const auto p = ProjectedCorners(n.Triangle);
      FSortedOrder.push_back(n.Triangle + 1);
      FSortedCorners.push_back(p);
      const TColor colour = PointColorAt(FTri.Triangles[n.Triangle][0]);
      if (colour == clNone) continue;
      c->Brush->SetColor(colour);
      blended(PolygonBounds(p, 2), [&] { c->Polygon(p); });
    }
  } else {
    const bool full = c->SupportsFullRotation();
    for (int32_t t = 0; t < nt; ++t) {
      const auto& tr = FTri.Triangles[t];
      std::array<TPoint3D, 3> pts;
      std::array<TColor, 3> colours;
      for (int k = 0; k < 3; ++k) {
        pts[k] = {ScreenXAt(tr[k]), ScreenYAt(tr[k]), DepthPositionAt(tr[k])};
        colours[k] = PointColorAt(full ? tr[k] : tr[0]);
      }
      blended(PolygonBounds(ProjectedCorners(t), 2), [&] { c->Triangle3D(pts, colours); });
    }
  }
  if (FBorder->Visible()) {
    c->AssignVisiblePen(FBorder.get());
    for (const auto& b : FTri.Border) {
      c->MoveTo3D(ScreenXAt(b.P1), ScreenYAt(b.P1), DepthPositionAt(b.P1));
      c->LineTo3D(ScreenXAt(b.P2), ScreenYAt(b.P2), DepthPositionAt(b.P2));
    }
  }
}

int32_t TCustomTriSurfaceSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (!FParentChart) return -1;
  const TPoint at(X, Y);
  if (!FSortedOrder.empty()) {
    for (size_t i = FSortedOrder.size(); i-- > 0;)
      if (PointInPolygon(at, FSortedCorners[i], 2)) return FSortedOrder[i];
    return -1;
  }
  for (int32_t t = 0; t < NumTriangles(); ++t)
    if (PointInPolygon(at, ProjectedCorners(t), 2)) return t + 1;
  return -1;
}

void TCustomTriSurfaceSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCustom3DPaletteSeries::ListStyleVariants(AddStyle);
  AddStyle(MsgOptionWireframe);
  AddStyle(MsgOptionNoLine);
  AddStyle(MsgOptionBorder);
}

void TCustomTriSurfaceSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TCustomTriSurfaceSeries*>(Target);
  if (!s || Index < 2 || Index > 4) return TCustom3DPaletteSeries::ApplyStyleVariant(Target, Index);
  if (Index == 2)
    s->Brush()->SetStyle(bsClear);
  else if (Index == 3)
    s->Pen()->SetVisible(false);
  else
    s->Border()->SetVisible(true);
}

void TCustomTriSurfaceSeries::AddRandomPoints(int32_t Count, bool) {
  Count = std::max(Count, 3);
  for (int32_t i = 0; i < Count; ++i) {
    const double x = RandomInteger(1000) * 0.001, z = RandomInteger(1000) * 0.001;
    const double e = std::exp(z);
    AddXYZ(x, e * e * std::cos(x * z), z);
  }
}

void TCustomTriSurfaceSeries::MakeGalleryThumbnail(bool Coloured) {
  TCustom3DPaletteSeries::MakeGalleryThumbnail(Coloured);
  FillSampleValues(DefaultRandomCount());
}

void TCustomTriSurfaceSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TCustomTriSurfaceSeries*>(Source)) {
    FBorder->Assign(s->FBorder.get());
    FHideTriangles = s->FHideTriangles;
    FTransparency = s->FTransparency;
  }
  TCustom3DPaletteSeries::Assign(Source);
}

void TCustomTriSurfaceSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text,
                                            TSeriesMarkPosition& Position) {
  Marks()->ZPosition = DepthPositionAt(ValueIndex);
  Marks()->ApplyCalloutOffset(Position);
  TCustom3DPaletteSeries::DrawPointMark(ValueIndex, Text, Position);
}
