#include "chart/extra/contour_series.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/value_lists.h"
#include "platform/exceptions.h"
#include "platform/sysutils.h"

namespace {

// The contouring cases, [sign of corner m][sign of the centre][sign of corner m + 1], each + 1.
constexpr int kCases[3][3][3] = {
    {{0, 0, 8}, {0, 2, 5}, {7, 6, 9}}, {{0, 3, 4}, {1, 3, 1}, {4, 3, 0}}, {{9, 6, 7}, {5, 2, 0}, {8, 0, 0}}};

constexpr double kJoin = 0.001;
constexpr int32_t kMaxLevels = 100000;

int Sign(double V) { return V > 0 ? 1 : (V < 0 ? -1 : 0); }

double Manhattan(const T2DPoint& A, const T2DPoint& B) { return std::fabs(A.X - B.X) + std::fabs(A.Y - B.Y); }
bool Touch(const T2DPoint& A, const T2DPoint& B) {
  return std::fabs(A.X - B.X) <= kJoin && std::fabs(A.Y - B.Y) <= kJoin;
}

// A vertex of the contouring: its X, Z and height relative to the level.
struct TVertex {
  double X, Z, H;
};

T2DPoint Crossing(const TVertex& P, const TVertex& Q) {
  return {(Q.H * P.X - P.H * Q.X) / (Q.H - P.H), (Q.H * P.Z - P.H * Q.Z) / (Q.H - P.H)};
}

int32_t RoundPixel(double V) { return static_cast<int32_t>(std::nearbyint(V)); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Levels

VM_PUBLISH(TContourLevel) {
  using L = TContourLevel;
  P.Int("Color", &L::Color, &L::SetColor).Default(clAutoColor);
  P.Object("Pen", &L::Pen, &L::SetPen).Stored([](TObject* O) { return !static_cast<L*>(O)->DefaultPen(); });
  P.Float("UpToValue", &L::UpToValue, &L::SetUpToValue).Default(0);
}

TContourLevel::TContourLevel(TCollection* Collection) : TCollectionItem(Collection) {}

TContourLevel::~TContourLevel() {
  TContourSeries* s = Series();
  if (s && !s->InternalChange) {
    s->LevelsChangedByHand();
    if (!s->AutomaticLevels()) s->Repaint();
  }
}

TContourSeries* TContourLevel::Series() const {
  return Collection() ? dynamic_cast<TContourSeries*>(Collection()->Owner()) : nullptr;
}

void TContourLevel::ValueChanged() {
  if (TContourSeries* s = Series()) {
    s->LevelsChangedByHand();
    s->Repaint();
  }
}

void TContourLevel::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  if (FPen) FPen->SetColor(Value);
  ValueChanged();
}

void TContourLevel::SetUpToValue(double Value) {
  if (FUpToValue == Value) return;
  FUpToValue = Value;
  ValueChanged();
}

TChartPen* TContourLevel::Pen() {
  if (!FPen) {
    FPen = std::make_unique<TChartPen>([this](TObject*) {
      if (TContourSeries* s = Series()) s->Repaint();
    });
    FPen->SetColor(FColor);
  }
  return FPen.get();
}

void TContourLevel::SetPen(TChartPen* Value) {
  if (!Value) {
    FPen.reset();
    if (TContourSeries* s = Series()) s->Repaint();
    return;
  }
  Pen()->Assign(Value);
}

TChartPen* TContourLevel::DrawPen() {
  if (FPen) return FPen.get();
  TContourSeries* s = Series();
  return s ? s->Pen() : Pen();
}

void TContourLevel::Assign(TPersistent* Source) {
  auto* l = dynamic_cast<TContourLevel*>(Source);
  if (!l) return TCollectionItem::Assign(Source);
  FColor = l->FColor;
  FUpToValue = l->FUpToValue;
  if (l->FPen)
    Pen()->Assign(l->FPen.get());
  else
    FPen.reset();
}

VM_DEFINE_CLASS(TContourLevels)

TContourLevels::TContourLevels(TContourSeries* AOwner) : TOwnedCollection(AOwner, TContourLevel::StaticClass()) {}

void TContourLevels::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  TOwnedCollection::Notify(Item, Action);
  if (Action == cnAdded)
    if (auto* s = dynamic_cast<TContourSeries*>(Owner())) s->LevelsChangedByHand();
}

// ---------------------------------------------------------------------------------------------
// Smoothing

VM_PUBLISH(TSmoothPoints) {
  P.Bool("Active", &TSmoothPoints::Active, &TSmoothPoints::SetActive).Default(false);
  P.Bool("Interpolate", &TSmoothPoints::Interpolate, &TSmoothPoints::SetInterpolate).Default(false);
}

void TSmoothPoints::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSmoothPoints*>(Source))
    FActive = s->FActive;
  else
    TPersistent::Assign(Source);
}

void TSmoothPoints::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  if (FOwner) FOwner->Repaint();
}

void TSmoothPoints::SetInterpolate(bool Value) {
  if (FInterpolate == Value) return;
  FInterpolate = Value;
  if (FOwner) FOwner->Repaint();
}

std::vector<TPoint> TSmoothPoints::SmoothPolyline(const std::vector<TPoint>& Points) const {
  TBSpline b;
  const int32_t n = static_cast<int32_t>(Points.size());
  for (const TPoint& p : Points) b.AddPoint(p.X, p.Y);
  b.SetInterpolate(FInterpolate);
  b.SetStepCount(n * 4);
  const int32_t steps = b.StepCount();
  std::vector<TPoint> out;
  out.reserve(static_cast<size_t>(steps) + 1);
  for (int32_t j = 0; j <= steps; ++j) {
    const T2DPoint p = b.CurvePoint(steps == 0 ? 0 : static_cast<double>(j) / steps);
    out.emplace_back(RoundPixel(p.X), RoundPixel(p.Y));
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Series

VM_PUBLISH(TContourSeries) {
  using S = TContourSeries;
  P.Bool("AutomaticLevels", &S::AutomaticLevels, &S::SetAutomaticLevels).Default(true);
  P.Bool("ColorEachPoint", &S::ColorEachPoint, &S::SetColorEachPoint).Default(true);
  P.Object("Levels", &S::Levels, &S::SetLevels).Stored(&S::LevelsStored);
  P.Int("NumLevels", &S::NumLevels, &S::SetNumLevels).Default(10);
  P.Object("Smoothing", &S::Smoothing, &S::SetSmoothing);
  P.Float("YPosition", &S::YPosition, &S::SetYPosition).Default(0);
  P.Bool("YPositionLevel", &S::YPositionLevel, &S::SetYPositionLevel).Default(false);
  P.Event("OnBeforeDrawLevel", &S::OnBeforeDrawLevel);
  P.Event("OnGetLevel", &S::OnGetLevel);
}

TContourSeries::TContourSeries(TComponent* AOwner) : TCustom3DGridSeries(AOwner) {
  FLevels = std::make_unique<TContourLevels>(this);
  FSmoothing = std::make_unique<TSmoothPoints>(this);
  FColorEachPoint = true;
}

TContourSeries::~TContourSeries() {
  InternalChange = true;
  FLevels.reset();
}

int32_t TContourSeries::GetNumLevels() const { return FAutomaticLevels ? FNumLevels : FLevels->Count(); }

void TContourSeries::SetNumLevels(int32_t Value) {
  // More levels than a grid has values could never be told apart; a count in the billions (from a
  // damaged file) would only exhaust the memory.
  if (Value > kMaxLevels) throw ERangeError("Range check error");
  SetIntegerProperty(FNumLevels, Value);
  if (FAutomaticLevels) {
    InternalChange = true;
    FLevels->Clear();
    InternalChange = false;
  }
}

void TContourSeries::SetAutomaticLevels(bool Value) {
  SetBooleanProperty(FAutomaticLevels, Value);
  if (Value) {
    InternalChange = true;
    FLevels->Clear();
    InternalChange = false;
  }
}

void TContourSeries::CreateAutoLevels() {
  const int32_t n = GetNumLevels();
  if (!FAutomaticLevels || n <= 0) return;
  const bool repaint = FParentChart && series_link::AutoRepaint(FParentChart);
  InternalChange = true;
  if (FParentChart) series_link::SetAutoRepaint(FParentChart, false);
  auto done = [&] {
    InternalChange = false;
    if (FParentChart) series_link::SetAutoRepaint(FParentChart, repaint);
  };
  try {
    const double range = YValues()->MaxValue() - YValues()->MinValue(), m = YValues()->MinValue();
    FLevels->Clear();
    for (int32_t b = 0; b < n; ++b) {
      TContourLevel* l = FLevels->AddLevel();
      double value = m + (range / n) * b;
      TColor colour;
      if (!FColorEachPoint)
        colour = ColorOfValue(value);
      else
        colour = b < PointCount() && StoredColorAt(b) != clAutoColor ? PointColorAt(b) : clAutoColor;
      if (OnGetLevel) OnGetLevel(this, b, value, colour);
      l->SetUpToValue(value);
      l->SetColor(colour);
    }
  } catch (...) {
    done();
    throw;
  }
  done();
}

void TContourSeries::PrepareForDraw() {
  TCustom3DGridSeries::PrepareForDraw();
  if (FAutomaticLevels && GetNumLevels() > 0 && !InternalChange) CreateAutoLevels();
}

void TContourSeries::AddSegment(TContourLevel* Level, const T2DPoint& P1, const T2DPoint& P2) {
  TLevelSegments& lines = Level->Segments;
  for (size_t i = 0; i < lines.size(); ++i) {
    TLevelPolyline& line = lines[i];
    const double d[4] = {Manhattan(P1, line.front()), Manhattan(P2, line.front()), Manhattan(P1, line.back()),
                         Manhattan(P2, line.back())};
    int best = 0;
    for (int k = 1; k < 4; ++k)
      if (d[k] <= d[best]) best = k;
    if (d[best] > kJoin) continue;
    bool atFront = best < 2;
    switch (best) {
      case 0:
        line.insert(line.begin(), P2);
        break;
      case 1:
        line.insert(line.begin(), P1);
        break;
      case 2:
        line.push_back(P2);
        break;
      default:
        line.push_back(P1);
    }
    // The end that grew may now touch another polyline: that one is joined on.
    const T2DPoint end = atFront ? line.front() : line.back();
    for (size_t j = 0; j < lines.size(); ++j) {
      if (j == i) continue;
      TLevelPolyline& other = lines[j];
      const bool toFirst = Touch(end, other.front());
      if (!toFirst && !Touch(end, other.back())) continue;
      if (!toFirst) std::reverse(other.begin(), other.end());
      // other now starts at the shared point.
      if (atFront) {
        // other reversed, then line without its first point.
        TLevelPolyline joined(other.rbegin(), other.rend());
        joined.insert(joined.end(), line.begin() + 1, line.end());
        line.swap(joined);
      } else {
        line.insert(line.end(), other.begin() + 1, other.end());
      }
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(j));
      break;
    }
    return;
  }
  lines.push_back({P1, P2});
}

void TContourSeries::CalcLevelSegments() {
  const int32_t nl = FLevels->Count();
  for (int32_t k = 0; k < nl; ++k) FLevels->Level(k)->Segments.clear();
  if (nl == 0 || PointCount() == 0) return;
  std::vector<double> values(nl);
  for (int32_t k = 0; k < nl; ++k) values[k] = FLevels->Level(k)->UpToValue();
  const double* xs = XValues()->Data();
  const double* ys = YValues()->Data();
  const double* zs = FZValues->Data();
  const double firstLevel = values.front(), lastLevel = values.back();
  for (int32_t r = 1; r <= FNumZValues - 1; ++r)
    for (int32_t c = 1; c <= FNumXValues - 1; ++c) {
      const int32_t idx[5] = {-1, GridIndexAt(c, r), GridIndexAt(c + 1, r), GridIndexAt(c + 1, r + 1),
                              GridIndexAt(c, r + 1)};
      if (idx[1] < 0 || idx[2] < 0 || idx[3] < 0 || idx[4] < 0) continue;
      double lo = ys[idx[1]], hi = lo;
      for (int m = 2; m <= 4; ++m) {
        lo = std::min(lo, ys[idx[m]]);
        hi = std::max(hi, ys[idx[m]]);
      }
      if (lo > lastLevel || hi < firstLevel) continue;
      TVertex v[5];
      for (int m = 1; m <= 4; ++m) v[m] = {xs[idx[m]], zs[idx[m]], ys[idx[m]]};
      v[0] = {(v[1].X + v[2].X) / 2, (v[1].Z + v[4].Z) / 2, (v[1].H + v[2].H + v[3].H + v[4].H) / 4};
      for (int32_t k = 0; k < nl; ++k) {
        const double level = values[k];
        if (level < lo || level > hi) continue;
        TVertex h[5];
        for (int m = 0; m < 5; ++m) h[m] = {v[m].X, v[m].Z, v[m].H - level};
        TContourLevel* L = FLevels->Level(k);
        for (int m = 1; m <= 4; ++m) {
          const TVertex& a = h[m];
          const TVertex& o = h[0];
          const TVertex& b = h[m == 4 ? 1 : m + 1];
          // A triangle lying wholly on the level (a flat cell at the level's height) has no line.
          if (a.H == 0 && o.H == 0 && b.H == 0) continue;
          const int kase = kCases[Sign(a.H) + 1][Sign(o.H) + 1][Sign(b.H) + 1];
          T2DPoint p1, p2;
          switch (kase) {
            case 0:
              continue;
            case 1:
              p1 = {a.X, a.Z};
              p2 = {o.X, o.Z};
              break;
            case 2:
              p1 = {o.X, o.Z};
              p2 = {b.X, b.Z};
              break;
            case 3:
              p1 = {b.X, b.Z};
              p2 = {a.X, a.Z};
              break;
            case 4:
              p1 = {a.X, a.Z};
              p2 = Crossing(o, b);
              break;
            case 5:
              p1 = {o.X, o.Z};
              p2 = Crossing(b, a);
              break;
            case 6:
              p1 = {b.X, b.Z};
              p2 = Crossing(a, o);
              break;
            case 7:
              p1 = Crossing(a, o);
              p2 = Crossing(o, b);
              break;
            case 8:
              p1 = Crossing(o, b);
              p2 = Crossing(b, a);
              break;
            default:
              p1 = Crossing(b, a);
              p2 = Crossing(a, o);
          }
          AddSegment(L, p1, p2);
        }
      }
    }
}

void TContourSeries::DrawVisiblePoints() {
  if (PointCount() == 0 || !FParentChart || GetNumLevels() == 0 || FLevels->Count() == 0) return;
  CalcLevelSegments();
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  const bool is3D = series_link::View3D(FParentChart);
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  TChartAxis* d = FParentChart->DepthAxis();
  for (int32_t k = 0; k < FLevels->Count(); ++k) {
    TContourLevel* L = FLevels->Level(k);
    const TColor colour = L->Color() == clAutoColor ? series_link::GetPaletteColor(FParentChart, k) : L->Color();
    c->SetBackMode(cbmTransparent);
    c->AssignVisiblePenColor(L->DrawPen(), colour);
    if (OnBeforeDrawLevel) OnBeforeDrawLevel(this, k);
    if (is3D) {
      const int32_t y = v->ValueToPixel(FYPositionLevel ? L->UpToValue() : FYPosition);
      for (const TLevelPolyline& line : L->Segments) {
        c->MoveTo3D(h->ValueToPixel(line[0].X), y, d->ValueToPixel(line[0].Y));
        for (size_t i = 1; i < line.size(); ++i) c->LineTo3D(h->ValueToPixel(line[i].X), y, d->ValueToPixel(line[i].Y));
      }
    } else {
      std::vector<TPoint> pts;
      for (const TLevelPolyline& line : L->Segments) {
        pts.resize(line.size());
        for (size_t i = 0; i < line.size(); ++i)
          pts[i] = TPoint(h->ValueToPixel(line[i].X), v->ValueToPixel(line[i].Y));
        if (FSmoothing->Active())
          c->Polyline(FSmoothing->SmoothPolyline(pts));
        else
          c->Polyline(pts);
      }
    }
  }
}

int32_t TContourSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (!FParentChart) return -1;
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  int x = X, y = Y;
  if (c) c->Calculate2DPosition(x, y, StartZ);
  const TPoint at(x, y);
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  for (int32_t k = 0; k < FLevels->Count(); ++k)
    for (const TLevelPolyline& line : FLevels->Level(k)->Segments) {
      TPoint prev(h->ValueToPixel(line[0].X), v->ValueToPixel(line[0].Y));
      for (size_t i = 1; i < line.size(); ++i) {
        const TPoint p(h->ValueToPixel(line[i].X), v->ValueToPixel(line[i].Y));
        if (PointInLineEndsTolerance(at, prev, p, 0)) return k;
        prev = p;
      }
    }
  return -1;
}

int32_t TContourSeries::LegendEntryCount() { return FLevels->Count(); }

TColor TContourSeries::LegendEntryColor(int32_t ValueIndex) {
  const int32_t i = GetNumLevels() - 1 - ValueIndex;
  if (i < 0 || i >= FLevels->Count()) return clAutoColor;
  const TColor c = FLevels->Level(i)->Color();
  return c == clAutoColor ? PointColorAt(i) : c;
}

void TContourSeries::FormatLegendText(int32_t ValueIndex, TLegendTextStyle, std::string& Text) {
  const int32_t i = GetNumLevels() - 1 - ValueIndex;
  Text = i >= 0 && i < FLevels->Count() ? FormatFloat(ValueFormat(), FLevels->Level(i)->UpToValue()) : "";
}

double TContourSeries::HighestY() {
  return FParentChart && !series_link::View3D(FParentChart) ? FZValues->MaxValue() : TCustom3DGridSeries::HighestY();
}

double TContourSeries::LowestY() {
  return FParentChart && !series_link::View3D(FParentChart) ? FZValues->MinValue() : TCustom3DGridSeries::LowestY();
}

void TContourSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCustom3DGridSeries::ListStyleVariants(AddStyle);
  AddStyle(MsgStyleColors);
  AddStyle(MsgOptionPositions);
}

void TContourSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TContourSeries*>(Target);
  if (s && Index == 2)
    s->SetColorEachPoint(true);
  else if (s && Index == 3)
    s->SetYPositionLevel(true);
  else
    TCustom3DGridSeries::ApplyStyleVariant(Target, Index);
}

void TContourSeries::AddRandomPoints(int32_t Count, bool ValuesOnly) {
  TCustom3DGridSeries::AddRandomPoints(Count, ValuesOnly);
  if (PointCount() > 0) SetYPosition((YValues()->MinValue() + YValues()->MaxValue()) / 2);
}

void TContourSeries::MakeGalleryThumbnail(bool Coloured) {
  TCustom3DGridSeries::MakeGalleryThumbnail(Coloured);
  if (!Coloured) SetSeriesColor(static_cast<TColor>(0x808080));
}

void TContourSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TContourSeries*>(Source)) {
    FAutomaticLevels = s->FAutomaticLevels;
    InternalChange = true;
    FLevels->Assign(s->FLevels.get());
    InternalChange = false;
    FNumLevels = s->FNumLevels;
    FYPosition = s->FYPosition;
    FYPositionLevel = s->FYPositionLevel;
  }
  TCustom3DGridSeries::Assign(Source);
}
