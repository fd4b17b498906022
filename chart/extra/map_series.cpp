#include "chart/extra/map_series.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_blend.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/graph_panel.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/value_lists.h"
#include "platform/streaming.h"

namespace {

bool Overlap(const TRect& A, const TRect& B) {
  return std::min(A.Right, B.Right) >= std::max(A.Left, B.Left) &&
         std::min(A.Bottom, B.Bottom) >= std::max(A.Top, B.Top);
}

struct TShapeTable {
  const char* Letter;
  std::vector<std::pair<int, int>> Points;
};

const std::vector<TShapeTable>& SampleShapes() {
  static const std::vector<TShapeTable> table = {
      {"A",
       {{1, 7},
        {3, 5},
        {4, 5},
        {4, 7},
        {5, 8},
        {5, 9},
        {6, 10},
        {6, 11},
        {4, 11},
        {3, 12},
        {2, 12},
        {1, 11},
        {2, 10},
        {2, 8}}},
      {"B", {{5, 4}, {7, 4}, {8, 5}, {8, 6}, {7, 7}, {6, 7}, {5, 8}, {4, 7}, {4, 5}}},
      {"C",
       {{9, 5},
        {10, 6},
        {11, 6},
        {11, 7},
        {12, 8},
        {9, 11},
        {8, 11},
        {7, 12},
        {6, 11},
        {6, 10},
        {5, 9},
        {5, 8},
        {6, 7},
        {7, 7},
        {8, 6},
        {8, 5}}},
      {"D", {{12, 5}, {14, 5}, {15, 6}, {14, 7}, {13, 7}, {12, 8}, {11, 7}, {11, 6}}},
      {"E", {{4, 11}, {6, 11}, {7, 12}, {7, 13}, {6, 14}, {6, 15}, {5, 16}, {4, 16}, {3, 15}, {3, 14}, {2, 13}}},
      {"F",
       {{7, 13}, {8, 14}, {9, 14}, {11, 16}, {10, 17}, {8, 17}, {7, 18}, {6, 18}, {5, 17}, {5, 16}, {6, 15}, {6, 14}}},
      {"G",
       {{10, 10},
        {12, 12},
        {12, 13},
        {14, 15},
        {13, 16},
        {11, 16},
        {9, 14},
        {8, 14},
        {7, 13},
        {7, 12},
        {8, 11},
        {9, 11}}},
      {"H", {{17, 11}, {19, 13}, {18, 14}, {18, 16}, {17, 17}, {15, 15}, {14, 15}, {13, 14}, {15, 12}, {16, 12}}},
      {"I",
       {{15, 6},
        {16, 6},
        {17, 7},
        {16, 8},
        {15, 8},
        {14, 9},
        {14, 10},
        {13, 11},
        {12, 12},
        {11, 11},
        {10, 10},
        {11, 9},
        {12, 8},
        {13, 7},
        {14, 7}}},
      {"J",
       {{15, 8},
        {16, 8},
        {16, 9},
        {17, 10},
        {17, 11},
        {16, 12},
        {15, 12},
        {13, 14},
        {12, 13},
        {12, 12},
        {14, 10},
        {14, 9}}},
      {"K", {{17, 5}, {19, 5}, {20, 6}, {20, 8}, {19, 8}, {17, 10}, {16, 9}, {16, 8}, {17, 7}, {16, 6}}},
      {"L", {{19, 8}, {20, 8}, {21, 9}, {21, 11}, {19, 13}, {17, 11}, {17, 10}}},
  };
  return table;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Polygon series

VM_DEFINE_CLASS(TPolygonSeries)

TPolygonSeries::TPolygonSeries(TComponent* AOwner) : TChartSeries(AOwner) {
  XValues()->SetOrder(loNone);
  SetShowInLegend(false);
}

void TPolygonSeries::SetActive(bool Value) {
  TChartSeries::SetActive(Value);
  if (FPolygon && FPolygon->MapSeries()) FPolygon->MapSeries()->Repaint();
}

void TPolygonSeries::NotifyDependents(TValueChangeKind Kind, int32_t ValueIndex) {
  TChartSeries::NotifyDependents(Kind, ValueIndex);
  if (FPolygon && FPolygon->MapSeries()) FPolygon->MapSeries()->Repaint();
}

void TPolygonSeries::SetSeriesColor(TColor Value) {
  TChartSeries::SetSeriesColor(Value);
  if (!ParentChart() && FPolygon && FPolygon->MapSeries()) {
    const int i = FPolygon->Index();
    TMapSeries* m = FPolygon->MapSeries();
    if (i >= 0 && i < m->PointCount()) m->SetPointColorAt(i, Value);
  }
}

// ---------------------------------------------------------------------------------------------
// Polygon

VM_PUBLISH(TGraphPolygon) {
  using G = TGraphPolygon;
  P.Object("Brush", &G::Brush, &G::SetBrush);
  P.Bool("Closed", &G::Closed, &G::SetClosed).Default(true);
  P.Int("Color", &G::Color, &G::SetColor).Stored(&G::ColorStored);
  P.Object("Gradient", &G::Gradient, &G::SetGradient).Stored([](TObject* O) {
    return static_cast<G*>(O)->GradientOrNull() != nullptr;
  });
  P.Bool("ParentBrush", &G::ParentBrush, &G::SetParentBrush).Default(true);
  P.Bool("ParentPen", &G::ParentPen, &G::SetParentPen).Default(true);
  P.Object("Pen", &G::Pen, &G::SetPen);
  P.String("Text", &G::Text, &G::SetText);
  P.Int("Transparency", &G::Transparency, &G::SetTransparency).Default(0);
  P.Float("Z", &G::Z, &G::SetZ);
}

TGraphPolygon::TGraphPolygon(TCollection* Collection) : TCollectionItem(Collection) {
  FMap = Collection ? dynamic_cast<TMapSeries*>(Collection->Owner()) : nullptr;
  FPoints = std::make_unique<TPolygonSeries>(nullptr);
  FPoints->FPolygon = this;
  if (FMap && !FMap->AddingOwnPoints) FMap->AddXYZPoint(0, 0, 0, "", clAutoColor);
}

TGraphPolygon::~TGraphPolygon() {
  FScreen.clear();
  FPoints->FPolygon = nullptr;
}

void TGraphPolygon::DefineProperties(TFiler* Filer) {
  TCollectionItem::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "Data", [this](TStream& S) { FPoints->ReadData(S); }, [this](TStream& S) { FPoints->WriteData(S); },
      FMap && (FMap->StoreDataAlways || (FMap->DataIsOwn && !FMap->StoreDataNever)));
}

void TGraphPolygon::Repaint() {
  if (FMap) FMap->Repaint();
}

void TGraphPolygon::AddXY(double X, double Y) { FPoints->AddXY(X, Y); }

void TGraphPolygon::SetClosed(bool Value) {
  if (FClosed == Value) return;
  FClosed = Value;
  Repaint();
}

TColor TGraphPolygon::Color() const {
  const int i = Index();
  return FMap && i >= 0 && i < FMap->PointCount() ? FMap->PointColorAt(i) : clAutoColor;
}

// Only a colour of the polygon's own (not the colour its value gets) is written: a map coloured
// by value stays so after loading.
bool TGraphPolygon::ColorStored() const {
  const int i = Index();
  if (!FMap || i < 0 || i >= FMap->PointCount()) return false;
  const TColor c = FMap->StoredColorAt(i);
  return c != clAutoColor && c != clWhite;
}

void TGraphPolygon::SetColor(TColor Value) { FPoints->SetSeriesColor(Value); }

void TGraphPolygon::SetParentPen(bool Value) {
  if (FParentPen == Value) return;
  FParentPen = Value;
  Repaint();
}

void TGraphPolygon::SetParentBrush(bool Value) {
  if (FParentBrush == Value) return;
  FParentBrush = Value;
  Repaint();
}

TGraphGradient* TGraphPolygon::Gradient() {
  if (!FGradient) FGradient = std::make_unique<TGraphGradient>([this](TObject*) { Repaint(); });
  return FGradient.get();
}

void TGraphPolygon::SetGradient(TGraphGradient* Value) {
  if (!Value) {
    FGradient.reset();
    Repaint();
    return;
  }
  Gradient()->Assign(Value);
}

std::string TGraphPolygon::Text() const {
  const int i = Index();
  return FMap && i >= 0 && i < FMap->PointCount() ? FMap->LabelAt(i) : std::string();
}

void TGraphPolygon::SetText(const std::string& Value) {
  if (FMap) FMap->SetLabelAt(Index(), Value);
}

void TGraphPolygon::SetTransparency(int32_t Value) {
  Value = std::clamp(Value, 0, 100);
  if (FTransparency == Value) return;
  FTransparency = Value;
  Repaint();
}

double TGraphPolygon::Z() const { return FMap ? FMap->GetZValue(Index()) : 0; }

void TGraphPolygon::SetZ(double Value) {
  if (!FMap) return;
  FMap->ZValues()->SetValue(Index(), Value);
  FMap->ZValues()->RecalcStats();
  Repaint();
}

const std::vector<TPoint>& TGraphPolygon::CalcScreenPoints() {
  const int32_t n = FPoints->PointCount();
  FScreen.resize(n);
  TChartAxis* h = FMap->GetHorizAxis();
  TChartAxis* v = FMap->GetVertAxis();
  for (int32_t k = 0; k < n; ++k)
    FScreen[k] = TPoint(h->ValueToPixel(FPoints->XValues()->Value(k)), v->ValueToPixel(FPoints->YValues()->Value(k)));
  return FScreen;
}

TRect TGraphPolygon::Bounds() {
  const auto& p = CalcScreenPoints();
  return PolygonBounds(p, static_cast<int>(p.size()) - 1);
}

TRect TGraphPolygon::ValueBounds() {
  TChartAxis* h = FMap->GetHorizAxis();
  TChartAxis* v = FMap->GetVertAxis();
  TRect r(h->ValueToPixel(FPoints->XValues()->MinValue()), v->ValueToPixel(FPoints->YValues()->MaxValue()),
          h->ValueToPixel(FPoints->XValues()->MaxValue()), v->ValueToPixel(FPoints->YValues()->MinValue()));
  if (h->Inverted()) std::swap(r.Left, r.Right);
  if (v->Inverted()) std::swap(r.Top, r.Bottom);
  return r;
}

bool TGraphPolygon::IsVisibleInChart() {
  TCustomAxisPanel* chart = FMap ? FMap->ParentChart() : nullptr;
  if (!chart || !chart->ClipPoints()) return true;
  return Overlap(ValueBounds(), chart->ChartRect);
}

void TGraphPolygon::Draw(TGraphCanvas3D* C, int32_t ValueIndex) {
  if (!FMap || !FPoints->Active() || FPoints->PointCount() == 0 || !IsVisibleInChart()) return;
  C->AssignVisiblePen(FParentPen ? FMap->Pen() : Pen());
  C->AssignBrush(FParentBrush ? FMap->Brush() : Brush(), FMap->PointColorAt(ValueIndex));
  std::vector<TPoint> pts = CalcScreenPoints();
  TCustomAxisPanel* chart = FMap->ParentChart();
  const bool is3D = series_link::View3D(chart);
  const int32_t z = is3D ? FMap->DepthPositionAt(ValueIndex) : 0;
  TGraphBlend* blend = nullptr;
  if (FTransparency > 0)
    blend =
        C->BeginBlending(C->ProjectedBounds(PolygonBounds(pts, static_cast<int>(pts.size()) - 1), z), FTransparency);
  try {
    if (FGradient && FGradient->Visible() && chart->CanClip()) {
      TPointArray g(pts.begin(), pts.end());
      FGradient->DrawPolygon(C, g, is3D, z);
      C->Brush->SetStyle(bsClear);
    }
    if (is3D) {
      if (FClosed)
        C->PolygonWithZ(pts, z);
      else
        C->PolylineWithZ(pts, z);
    } else if (FClosed) {
      C->Polygon(pts);
    } else {
      C->Polyline(pts);
    }
  } catch (...) {
    if (blend) C->EndBlending(blend);
    throw;
  }
  if (blend) C->EndBlending(blend);
}

// ---------------------------------------------------------------------------------------------
// Polygon list

VM_DEFINE_CLASS(TGraphPolygonList)

TGraphPolygonList::TGraphPolygonList(TMapSeries* AOwner) : TOwnedCollection(AOwner, TGraphPolygon::StaticClass()) {}

void TGraphPolygonList::DeleteRange(int Index, int Count) {
  for (int k = 0; k < Count && Index < this->Count(); ++k) Delete(Index);
}

TMapSeries* TGraphPolygonList::MapSeries() const {
  return dynamic_cast<TMapSeries*>(const_cast<TGraphPolygonList*>(this)->Owner());
}

// ---------------------------------------------------------------------------------------------
// Map series

VM_PUBLISH(TMapSeries) { P.Object("Shapes", &TMapSeries::Shapes, &TMapSeries::SetShapes); }

TMapSeries::TMapSeries(TComponent* AOwner) : TCustom3DPaletteSeries(AOwner) {
  FShapes = std::make_unique<TGraphPolygonList>(this);
  SetCalcVisiblePoints(false);
  MandatoryList = FZValues;
}

TMapSeries::~TMapSeries() {
  AddingOwnPoints = true;
  FShapes.reset();
}

void TMapSeries::DefineProperties(TFiler* Filer) {
  // The points are made again from the polygons when a chart is read: the series never writes its
  // own, while the polygons write their outlines as the series' settings ask for its points.
  const bool never = StoreDataNever, always = StoreDataAlways;
  StoreDataNever = true;
  StoreDataAlways = false;
  try {
    TCustom3DPaletteSeries::DefineProperties(Filer);
  } catch (...) {
    StoreDataNever = never;
    StoreDataAlways = always;
    throw;
  }
  StoreDataNever = never;
  StoreDataAlways = always;
}

void TMapSeries::Assign(TPersistent* Source) {
  TCustom3DPaletteSeries::Assign(Source);
  auto* s = dynamic_cast<TMapSeries*>(Source);
  if (!s) return;
  // The inherited assignment copied the points; each polygon is paired with its point.
  AddingOwnPoints = true;
  try {
    FShapes->Clear();
    for (int32_t i = 0; i < s->PointCount() && i < s->Shapes()->Count(); ++i)
      FShapes->AddPolygon()->Points()->Assign(s->Shapes()->GetPolygon(i)->Points());
    // Points beyond the polygons (none in a consistent source) go.
    while (PointCount() > FShapes->Count()) TCustom3DPaletteSeries::Delete(PointCount() - 1);
  } catch (...) {
    AddingOwnPoints = false;
    throw;
  }
  AddingOwnPoints = false;
}

void TMapSeries::DrawOneValue(int32_t ValueIndex) {
  if (ValueIndex < FShapes->Count() && FParentChart)
    FShapes->GetPolygon(ValueIndex)->Draw(series_link::Canvas(FParentChart), ValueIndex);
}

void TMapSeries::DrawVisiblePoints() {
  if (!FParentChart || !series_link::View3D(FParentChart)) return TCustom3DPaletteSeries::DrawVisiblePoints();
  // Highest Z first: the lowest ends on top.
  std::vector<int32_t> order(FShapes->Count());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int32_t>(i);
  const double* zs = FZValues->Data();
  QuickSortIndexes(
      0, static_cast<int>(order.size()) - 1,
      [&](int A, int B) { return zs[order[A]] > zs[order[B]] ? 1 : (zs[order[A]] < zs[order[B]] ? -1 : 0); },
      [&](int A, int B) { std::swap(order[A], order[B]); });
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  for (size_t k = order.size(); k-- > 0;) FShapes->GetPolygon(order[k])->Draw(c, order[k]);
}

void TMapSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  if (ValueIndex < FShapes->Count()) {
    const TRect r = FShapes->GetPolygon(ValueIndex)->Bounds();
    Position.LeftTop.X = (r.Left + r.Right) / 2 - Position.Width / 2;
    Position.LeftTop.Y = (r.Top + r.Bottom) / 2 - Position.Height / 2;
  }
  TCustom3DPaletteSeries::DrawPointMark(ValueIndex, Text, Position);
}

int32_t TMapSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (!FParentChart) return -1;
  const bool clip = FParentChart->ClipPoints();
  const TRect chartRect = FParentChart->ChartRect;
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  for (int32_t i = FShapes->Count() - 1; i >= 0; --i) {
    TGraphPolygon* p = FShapes->GetPolygon(i);
    if (!p->Points()->Active() || p->Points()->PointCount() == 0) continue;
    if (clip && !Overlap(p->ValueBounds(), chartRect)) continue;
    int x = X, y = Y;
    if (c && i < PointCount()) c->Calculate2DPosition(x, y, DepthPositionAt(i));
    const auto& pts = p->CalcScreenPoints();
    if (PointInPolygon(TPoint(x, y), pts, static_cast<int>(pts.size()) - 1)) return i;
  }
  return -1;
}

double TMapSeries::Extreme(bool X, bool Highest) {
  if (FShapes->Count() == 0) return 0;
  double r = 0;
  bool any = false;
  for (int i = 0; i < FShapes->Count(); ++i) {
    TPolygonSeries* s = FShapes->GetPolygon(i)->Points();
    if (s->PointCount() == 0) continue;
    TChartValueList* l = X ? s->XValues() : s->YValues();
    const double v = Highest ? l->MaxValue() : l->MinValue();
    r = !any ? v : (Highest ? std::max(r, v) : std::min(r, v));
    any = true;
  }
  return r;
}

double TMapSeries::HighestX() { return Extreme(true, true); }
double TMapSeries::HighestY() { return Extreme(false, true); }
double TMapSeries::LowestX() { return Extreme(true, false); }
double TMapSeries::LowestY() { return Extreme(false, false); }

void TMapSeries::GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) {
  TCustom3DPaletteSeries::GetHorizontalMargins(LeftMargin, RightMargin);
  if (Pen()->Visible()) {
    LeftMargin += Pen()->Width();
    RightMargin += Pen()->Width();
  }
}

void TMapSeries::GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) {
  TCustom3DPaletteSeries::GetVerticalMargins(TopMargin, BottomMargin);
  ++BottomMargin;
  if (Pen()->Visible()) {
    TopMargin += Pen()->Width();
    BottomMargin += Pen()->Width();
  }
}

void TMapSeries::ClearValues() {
  TCustom3DPaletteSeries::ClearValues();
  if (!FShapes) return;
  AddingOwnPoints = true;
  FShapes->Clear();
  AddingOwnPoints = false;
}

void TMapSeries::Delete(int32_t ValueIndex) {
  TCustom3DPaletteSeries::Delete(ValueIndex);
  if (ValueIndex >= 0 && ValueIndex < FShapes->Count()) FShapes->Delete(ValueIndex);
}

void TMapSeries::DeleteRange(int32_t Start, int32_t Quantity, bool RenumberPositions) {
  TCustom3DPaletteSeries::DeleteRange(Start, Quantity, RenumberPositions);
  FShapes->DeleteRange(Start, Quantity);
}

void TMapSeries::ExchangePoints(int32_t Index1, int32_t Index2) {
  TCustom3DPaletteSeries::ExchangePoints(Index1, Index2);
  if (Index1 < FShapes->Count() && Index2 < FShapes->Count()) FShapes->GetPolygon(Index1)->SetIndex(Index2);
  Repaint();
}

void TMapSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCustom3DPaletteSeries::ListStyleVariants(AddStyle);
  AddStyle(MsgStyleColors);
}

void TMapSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  if (Index == 2 && Target)
    Target->SetColorEachPoint(true);
  else
    TCustom3DPaletteSeries::ApplyStyleVariant(Target, Index);
}

void TMapSeries::SetGalleryView3D(bool Value) {
  if (Value)
    TCustom3DPaletteSeries::SetGalleryView3D(true);
  else if (FParentChart)
    FParentChart->SetView3D(false);
}

void TMapSeries::MakeGalleryThumbnail(bool Coloured) {
  TCustom3DPaletteSeries::MakeGalleryThumbnail(Coloured);
  if (!Coloured)
    for (int i = 0; i < FShapes->Count(); ++i) FShapes->GetPolygon(i)->SetColor(clSilver);
}

void TMapSeries::AddRandomPoints(int32_t Count, bool) {
  const auto& table = SampleShapes();
  for (int32_t k = 0; k < Count; ++k) {
    const TShapeTable& shape = table[k % DefaultRandomCount()];
    int dx = 0, dy = 0;
    if (DefaultRandomCount() < PointCount()) {
      dx = RandomInteger(12);
      dy = RandomInteger(12);
    }
    TGraphPolygon* p = FShapes->AddPolygon();
    p->Points()->BeginUpdate();
    try {
      for (const auto& [x, y] : shape.Points) p->AddXY(x + dx, y + dy);
    } catch (...) {
      p->Points()->EndUpdate();
      throw;
    }
    p->Points()->EndUpdate();
    p->SetText(shape.Letter);
    p->SetZ(RandomInteger(1000) / 1000.0);
  }
}
