#include "chart/series/pie_series.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/legend.h"
#include "platform/guards.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/value_lists.h"

#include "chart/engine/chart_geometry.h"
#include "chart/engine/engine_texts.h"
#include "platform/exceptions.h"

const TEnumInfo PieOtherStyleInfo("TPieOtherStyle", {"poNone", "poBelowPercent", "poBelowValue"});
const TEnumInfo MultiPieInfo("TMultiPie", {"mpAutomatic", "mpDisabled"});

VM_DEFINE_CLASS(TCircledSeries)

VM_PUBLISH(TPieOtherSlice) {
  using S = TPieOtherSlice;
  P.Int("Color", &S::Color, &S::SetColor).Default(clGraphColor);
  P.Object("Legend", &S::Legend, &S::SetLegend).Stored([](TObject* o) {
    return static_cast<TPieOtherSlice*>(o)->LegendOrNull() != nullptr;
  });
  P.Enum("Style", &S::Style, &S::SetStyle, PieOtherStyleInfo).Default(poNone);
  P.String("Text", &S::Text, &S::SetText).Stored(&S::TextStored);
  P.Float("Value", &S::Value, &S::SetValue).Default(0.0);
}

VM_PUBLISH(TPieSeries) {
  using S = TPieSeries;
  P.Int("AngleSize", &S::AngleSize, &S::SetAngleSize).Default(360);
  P.Bool("AutoMarkPosition", &S::AutoMarkPosition, &S::SetAutoMarkPosition).Default(true);
  P.Int("CircleBackColor", &S::CircleBackColor, &S::SetCircleBackColor).Default(clGraphColor);
  P.Bool("Circled", &S::Circled, &S::SetCircled).Default(false);
  P.Bool("ColorEachPoint", &S::ColorEachPoint, &S::SetColorEachPoint).Default(true);
  P.Int("CustomXRadius", &S::CustomXRadius, &S::SetCustomXRadius).Default(0);
  P.Int("CustomYRadius", &S::CustomYRadius, &S::SetCustomYRadius).Default(0);
  P.Bool("Dark3D", &S::Dark3D, &S::SetDark3D).Default(true);
  P.Int("DarkPen", &S::DarkPen, &S::SetDarkPen).Default(0);
  P.Int("ExplodeBiggest", &S::ExplodeBiggest, &S::SetExplodeBiggest).Default(0);
  P.Object("Gradient", &S::CircleGradient, &S::SetCircleGradient);
  P.Enum("MultiPie", &S::MultiPie, &S::SetMultiPie, MultiPieInfo).Default(mpAutomatic);
  P.Object("OtherSlice", &S::OtherSlice, &S::SetOtherSlice);
  P.Object("PiePen", &S::PiePen, &S::SetPiePen);
  P.Object("PieValues", &S::PieValues, &S::SetPieValues);
  P.Int("RotationAngle", &S::RotationAngle, &S::SetRotationAngle).Default(0);
  P.Object("Shadow", &S::Shadow, &S::SetShadow);
  P.Bool("UsePatterns", &S::UsePatterns, &S::SetUsePatterns).Default(false);
}

// =============================================================================================
// TPieOtherSlice

TPieOtherSlice::TPieOtherSlice(TPieSeries* AOwner) : FOwner(AOwner) {}
TPieOtherSlice::~TPieOtherSlice() = default;

TChartLegend* TPieOtherSlice::Legend() {
  if (!FLegend) {
    FLegend = std::make_unique<TChartLegend>(FOwner ? FOwner->ParentChart() : nullptr);
    FLegend->SetVisible(false);
    FLegend->SetSeries(FOwner);
  }
  return FLegend.get();
}

void TPieOtherSlice::SetLegend(TChartLegend* Value) {
  if (!Value) {
    FLegend.reset();
    Changed();
    return;
  }
  Legend()->Assign(Value);
}

void TPieOtherSlice::ChartChanged() {
  if (!FLegend) return;
  // A legend belongs to one chart for life: a new one takes over the settings.
  std::unique_ptr<TChartLegend> old = std::move(FLegend);
  Legend()->Assign(old.get());
  FLegend->SetVisible(old->Visible());
}

void TPieOtherSlice::Changed() {
  if (FOwner) FOwner->Repaint();
}
void TPieOtherSlice::SetColor(TColor Value) {
  if (FColor != Value) FColor = Value, Changed();
}
void TPieOtherSlice::SetStyle(TPieOtherStyle Value) {
  if (FStyle != Value) FStyle = Value, Changed();
}
void TPieOtherSlice::SetText(const std::string& Value) {
  if (FText != Value) FText = Value, Changed();
}
void TPieOtherSlice::SetValue(double Value) {
  if (FValue != Value) FValue = Value, Changed();
}
void TPieOtherSlice::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TPieOtherSlice*>(Source)) {
    FColor = s->FColor;
    FStyle = s->FStyle;
    FText = s->FText;
    FValue = s->FValue;
    SetLegend(s->FLegend.get());
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kPiStep = 0.017453292519943295;
constexpr TColor kPieShadowColor = 0xA0A0A0;
// Reading past the end of a slice list gives 0; writing past it pads with zeros.
int32_t SliceValue(const std::vector<int32_t>& List, int32_t Index) {
  return Index >= 0 && Index < static_cast<int32_t>(List.size()) ? List[Index] : 0;
}
bool StoreSliceValue(std::vector<int32_t>& List, int32_t Index, int32_t Value) {
  if (Index < 0) return false;
  if (Index >= static_cast<int32_t>(List.size())) List.resize(Index + 1, 0);
  if (List[Index] == Value) return false;
  List[Index] = Value;
  return true;
}
int Round(double V) { return static_cast<int>(std::nearbyint(V)); }
}  // namespace

// =============================================================================================
// TCircledSeries

TCircledSeries::TCircledSeries(TComponent* AOwner) : TChartSeries(AOwner) {
  LimitVisibleRange = false;
  XValues()->SetName("Angle");
  FGradient = std::make_unique<TGraphGradient>([this](TObject* s) { PenBrushChanged(s); });
}

TCircledSeries::~TCircledSeries() { RestoreView(); }

void TCircledSeries::SaveView() {
  if (!FParentChart || series_link::IsDestroying(FParentChart) || FSavedView) return;
  TView3DOptions* v = FParentChart->View3DOptions();
  if (!v || (FParentChart->Canvas && FParentChart->Canvas->SupportsFullRotation())) return;
  FSavedView = std::make_unique<TView3DOptions>();
  FSavedView->Assign(v);
  AdaptView(v);
}

void TCircledSeries::RestoreView() {
  std::unique_ptr<TView3DOptions> saved = std::move(FSavedView);
  if (!saved || !FParentChart || series_link::IsDestroying(FParentChart)) return;
  if (TView3DOptions* v = FParentChart->View3DOptions()) v->Assign(saved.get());
}

void TCircledSeries::SetParentChart(TCustomAxisPanel* Value) {
  if (Value == FParentChart) return;
  RestoreView();
  TChartSeries::SetParentChart(Value);
  if (Value && Active()) SaveView();
}

void TCircledSeries::RemovedFromChart() {
  RestoreView();
  TChartSeries::RemovedFromChart();
}

void TCircledSeries::SetActive(bool Value) {
  TChartSeries::SetActive(Value);
  if (Value)
    SaveView();
  else
    RestoreView();
}

template <class F>
void TCircledSeries::ForEachSibling(F Apply) {
  if (!FParentChart) return;
  for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
    auto* s = dynamic_cast<TCircledSeries*>(series_link::SeriesAt(FParentChart, i));
    // Series of this class or of one of its ancestors share the round settings.
    if (s && s != this && ClassType()->InheritsFrom(s->ClassType())) Apply(s);
  }
}

void TCircledSeries::SetCircled(bool Value) {
  SetBooleanProperty(FCircled, Value);
  ForEachSibling([&](TCircledSeries* s) {
    s->FCircled = Value;
    if (!s->ComponentState().Contains(csLoading)) s->FCustomXRadius = s->FCustomYRadius = 0;
  });
}

void TCircledSeries::SetCustomXRadius(int32_t Value) {
  SetIntegerProperty(FCustomXRadius, Value);
  ForEachSibling([&](TCircledSeries* s) { s->FCustomXRadius = Value; });
}

void TCircledSeries::SetCustomYRadius(int32_t Value) {
  SetIntegerProperty(FCustomYRadius, Value);
  ForEachSibling([&](TCircledSeries* s) { s->FCustomYRadius = Value; });
}

TColor TCircledSeries::CalcCircleBackColor() {
  TColor r = FCircleBackColor;
  if (r != clGraphColor) return r;
  if (auto* chart = dynamic_cast<TCustomChart*>(FParentChart)) {
    if (chart->Printing) return clWhite;
    if (!chart->BackWall()->Transparent()) r = chart->BackWall()->Color();
    if (r == clGraphColor) r = chart->Color();
  }
  return r;
}

void TCircledSeries::DrawCircleGradient() {
  if (!FParentChart) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  if (series_link::View3D(FParentChart) && !FParentChart->View3DOptions()->Orthogonal()) return;
  TRect r(CircleXCenter + 1 - CircleWidth / 2, CircleYCenter + 1 - CircleHeight / 2, 0, 0);
  r.Right = r.Left + CircleWidth;
  r.Bottom = r.Top + CircleHeight;
  if (series_link::View3D(FParentChart)) {
    const TPoint a = c->Calculate3DPosition(r.Left, r.Top, EndZ);
    const TPoint b = c->Calculate3DPosition(r.Right, r.Bottom, EndZ);
    r = TRect(a.X, a.Y, b.X, b.Y);
  }
  c->ClipEllipse(r);
  FGradient->Draw(c, r);
  c->UnClipRectangle();
}

void TCircledSeries::AdjustLegendBrush(int32_t, TColor& BackColor, TBrushStyle&) { BackColor = CalcCircleBackColor(); }

void TCircledSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TCircledSeries*>(Source)) {
    FCircled = s->FCircled;
    SetRotationAngle(s->FRotationAngle);
    FCustomXRadius = s->FCustomXRadius;
    FCustomYRadius = s->FCustomYRadius;
    FCircleBackColor = s->FCircleBackColor;
    FGradient->Assign(s->FGradient.get());
  }
  TChartSeries::Assign(Source);
}

void TCircledSeries::SetRotationAngle(int32_t Value) {
  Value %= 360;  // the sign stays: -30 is kept as it is
  SetIntegerProperty(FRotationAngle, Value);
  FRotation = FRotationAngle * kPiStep;
}

void TCircledSeries::AngleToPos(double Angle, double AXRadius, double AYRadius, int& X, int& Y) const {
  X = CircleXCenter + Round(std::cos(FRotation + Angle) * AXRadius);
  Y = CircleYCenter - Round(std::sin(FRotation + Angle) * AYRadius);
}

double TCircledSeries::PointToAngle(int X, int Y) const {
  double r;
  if (X == CircleXCenter)
    r = Y > CircleYCenter ? -kPi / 2 : kPi / 2;
  else if (XRadius != 0 && YRadius != 0)
    r = std::atan2(double(CircleYCenter - Y) / YRadius, double(X - CircleXCenter) / XRadius);
  else
    r = 0;
  if (r < 0) r += 2 * kPi;
  r -= FRotation;
  if (r < 0) r += 2 * kPi;
  return r;
}

void TCircledSeries::NormaliseCircle(TRect R) {
  if ((R.Right - R.Left) % 2) --R.Right;
  if ((R.Bottom - R.Top) % 2) --R.Bottom;
  if (R.Right - R.Left < 4) R.Right = R.Left + 4;
  if (R.Bottom - R.Top < 4) R.Bottom = R.Top + 4;
  CircleRect = R;
  CircleWidth = R.Right - R.Left;
  CircleHeight = R.Bottom - R.Top;
  CircleXCenter = (R.Left + R.Right) / 2;
  CircleYCenter = (R.Top + R.Bottom) / 2;
}

void TCircledSeries::CalcRadii() {
  if (FCustomXRadius != 0) {
    XRadius = FCustomXRadius;
    CircleWidth = 2 * FCustomXRadius;
  } else {
    XRadius = CircleWidth / 2;
  }
  if (FCustomYRadius != 0) {
    YRadius = FCustomYRadius;
    CircleHeight = 2 * FCustomYRadius;
  } else {
    YRadius = CircleHeight / 2;
  }
  CircleRect =
      TRect(CircleXCenter - XRadius, CircleYCenter - YRadius, CircleXCenter + XRadius, CircleYCenter + YRadius);
}

void TCircledSeries::FireBeforeDrawValues() {
  TChartSeries::FireBeforeDrawValues();
  if (!FParentChart) return;
  NormaliseCircle(FParentChart->ChartRect);
  if (Marks()->Visible()) {
    TGraphCanvas3D* c = FParentChart->Canvas;
    int l = Marks()->Callout()->Length();
    if (Marks()->Pen()->Visible()) l += 2 * Marks()->Pen()->Width();
    c->AssignFont(Marks()->Font());
    const int v = l + c->FontHeight();
    const int h = c->TextWidth("W") + WidestMarkText() + l;
    TRect r = CircleRect;
    r.Top += v;
    r.Bottom -= v;
    r.Left += h;
    r.Right -= h;
    NormaliseCircle(r);
  } else {
    AlignCircleRect();
  }
  if (FCircled) {
    // The pixel aspect of the device: its horizontal over its vertical resolution (1 for square
    // pixels, and when the device does not say).
    TCanvas* dc = FParentChart->Canvas ? FParentChart->Canvas->Handle() : nullptr;
    const int dpiX = dc ? dc->GetDeviceCaps(LOGPIXELSX) : 0, dpiY = dc ? dc->GetDeviceCaps(LOGPIXELSY) : 0;
    MakeRound(dpiX > 0 && dpiY > 0 ? static_cast<double>(dpiX) / dpiY : 1.0);
  }
  CalcRadii();
}

void TCircledSeries::AlignCircleRect() {
  bool after = false;
  for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
    TChartSeries* s = series_link::SeriesAt(FParentChart, i);
    if (s == this) {
      after = true;
      continue;
    }
    auto* c = dynamic_cast<TCircledSeries*>(s);
    if (!c || !s->Active() || !IsSameKind(s) || !s->Marks()->Visible()) continue;
    // A later series has not placed its circle for this drawing yet.
    if (after) c->FireBeforeDrawValues();
    NormaliseCircle(c->CircleRect);
    return;
  }
}

void TCircledSeries::MakeRound(double PixelAspect) {
  CalcRadii();
  const int c = static_cast<int>(std::lround(YRadius * PixelAspect));
  TRect r = CircleRect;
  if (c < XRadius) {
    r.Left += XRadius - c;
    r.Right -= XRadius - c;
  } else {
    const int d = YRadius - static_cast<int>(std::lround(XRadius / PixelAspect));
    r.Top += d;
    r.Bottom -= d;
  }
  NormaliseCircle(r);
}

// =============================================================================================
// TPieSeries

TPieSeries::TPieSeries(TComponent* AOwner) : TCircledSeries(AOwner) {
  FOtherSlice = std::make_unique<TPieOtherSlice>(this);
  FShadow = std::make_unique<TGraphShadow>();
  FShadow->DefaultColor = kPieShadowColor;
  FShadow->SetColor(kPieShadowColor);
  FShadow->OnChange = [this](TObject* Sender) { PenBrushChanged(Sender); };
  ShowsSeriesColor = false;
  FGradient->SetStartColor(clWhite);
  FGradient->SetDirection(gdRadial);
  XValues()->SetName("");
  YValues()->SetName("Pie");
  Marks()->SetStartVisible(true);
  Marks()->Callout()->SetStartLength(8);
  SetColorEachPoint(true);
}

int32_t TPieSeries::ExplodedSlice(int32_t Index) const { return SliceValue(FExploded, Index); }

void TPieSeries::SetExplodedSlice(int32_t Index, int32_t Value) {
  if (StoreSliceValue(FExploded, Index, Value)) Repaint();
}

int32_t TPieSeries::SliceHeight(int32_t Index) const { return SliceValue(FHeights, Index); }

void TPieSeries::SetSliceHeight(int32_t Index, int32_t Value) {
  if (StoreSliceValue(FHeights, Index, Value)) Repaint();
}

int32_t TPieSeries::SliceBackDepth(int32_t ValueIndex) const {
  if (static_cast<int32_t>(FHeights.size()) < ValueIndex + 1) return EndZ;
  return StartZ + Round(FHeights[ValueIndex] * (EndZ - StartZ) * 0.01);
}

void TPieSeries::Delete(int32_t ValueIndex) {
  for (std::vector<int32_t>* list : {&FExploded, &FHeights})
    if (ValueIndex >= 0 && ValueIndex < static_cast<int32_t>(list->size())) list->erase(list->begin() + ValueIndex);
  TCircledSeries::Delete(ValueIndex);
}

void TPieSeries::ExchangePoints(int32_t Index1, int32_t Index2) {
  const size_t n = static_cast<size_t>(PointCount());
  for (std::vector<int32_t>* list : {&FExploded, &FHeights}) {
    if (list->empty()) continue;
    if (list->size() < n) list->resize(n, 0);
    if (Index1 >= 0 && Index2 >= 0 && size_t(Index1) < list->size() && size_t(Index2) < list->size())
      std::swap((*list)[Index1], (*list)[Index2]);
  }
  TCircledSeries::ExchangePoints(Index1, Index2);
}

void TPieSeries::ClearPointData() {
  FExploded.clear();
  FHeights.clear();
  TCircledSeries::ClearPointData();
}

void TPieSeries::FindVisibleRange() {
  const int32_t n = PointCount();
  FirstValueIndex = n > 0 ? 0 : -1;
  LastValueIndex = n - 1;
}

void TPieSeries::CalcAngles() {
  const int32_t n = PointCount();
  FAngles.assign(n, TPieAngle());
  const double a = FAngleSize * kPiStep;
  // Points folded into the other slice count through it, so they are left out here.
  double total = 0;
  for (int32_t i = 0; i < n; ++i)
    if (!IsGrouped(i)) total += std::fabs(YValueAt(i));
  const double f = total > 0 ? a / total : 0;
  double sum = 0, start = 0;
  for (int32_t i = 0; i < n; ++i) {
    TPieAngle& g = FAngles[i];
    g.StartAngle = start;
    if (total == 0) {
      g.EndAngle = a;
    } else {
      if (!IsGrouped(i)) sum += std::fabs(YValueAt(i));
      g.EndAngle = sum == total ? a : sum * f;
    }
    if (g.EndAngle - g.StartAngle > a) g.EndAngle = g.StartAngle + a;
    g.MidAngle = (g.StartAngle + g.EndAngle) / 2;
    start = g.EndAngle;
  }
}

int32_t TPieSeries::OtherSliceIndex() const {
  for (int32_t i = PointCount() - 1; i >= 0; --i)
    if (XValueAt(i) == OtherSliceX) return i;
  return -1;
}

void TPieSeries::PrepareForDraw() {
  TCircledSeries::PrepareForDraw();
  if (YValues()->Order() != loNone) YValues()->Sort();
  const int32_t old = OtherSliceIndex();
  if (old != -1) Delete(old);
  XValues()->FillSequence();
  if (FOtherSlice->Style() == poNone) return;
  const double total = YValues()->TotalABS();
  if (!(total > 0)) return;
  double group = 0;
  bool any = false;
  for (int32_t i = 0; i < PointCount(); ++i) {
    double v = std::fabs(YValueAt(i));
    if (FOtherSlice->Style() == poBelowPercent) v = v * 100 / total;
    if (v < FOtherSlice->Value()) {
      XValues()->Values[i] = -1;
      group += std::fabs(YValueAt(i));
      any = true;
    }
  }
  if (!any) return;
  AddPoint(OtherSliceX, group, FOtherSlice->Text(), FOtherSlice->Color());
  // Percentages stay relative to the total before grouping.
  YValues()->TotalABS();
  YValues()->TotalAbsCache = total;
}

void TPieSeries::AdaptView(TView3DOptions* View) {
  View->SetOrthogonal(false);
  View->SetRotation(360);
  View->SetElevation(315);
  View->SetPerspective(0);
  View->SetTilt(0);
}

void TPieSeries::SetMultiPie(TMultiPie Value) {
  if (FMultiPie == Value) return;
  FMultiPie = Value;
  Repaint();
}

TBrushStyle TPieSeries::SliceStyle(int32_t ValueIndex) {
  static const TBrushStyle kPatterns[] = {bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross};
  const bool mono = FParentChart && FParentChart->Canvas->Monochrome();
  return FUsePatterns || mono ? kPatterns[ValueIndex % 6] : bsSolid;
}

void TPieSeries::SetSlicePen(int32_t ValueIndex) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  if (FDarkPen < 1) {
    c->AssignVisiblePen(Pen());
    return;
  }
  if (FDarkPen > 255) throw ERangeError("Range check error");
  c->AssignVisiblePenColor(Pen(), DarkerColor(PointColorAt(ValueIndex), 255 - FDarkPen));
}

int32_t TPieSeries::LegendEntryCount() {
  int32_t n = 0;
  for (int32_t i = 0; i < PointCount(); ++i) n += IsGrouped(i) == FDrawingOtherLegend;
  return n;
}

int32_t TPieSeries::LegendIndexToValue(int32_t LegendIndex) {
  int32_t k = 0;
  for (int32_t i = 0; i < PointCount(); ++i)
    if (IsGrouped(i) == FDrawingOtherLegend && k++ == LegendIndex) return i;
  return LegendIndex;
}

void TPieSeries::SetParentChart(TCustomAxisPanel* Value) {
  const bool changed = Value != FParentChart;
  TCircledSeries::SetParentChart(Value);
  if (changed && !(Value && series_link::IsDestroying(Value))) FOtherSlice->ChartChanged();
}

void TPieSeries::WriteData(TStream& Stream) {
  // The other slice is made again at each drawing; it is never stored.
  const int32_t other = OtherSliceIndex();
  if (other != -1) Delete(other);
  TCircledSeries::WriteData(Stream);
}

void TPieSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TPieSeries*>(Source)) {
    FAngleSize = s->FAngleSize;
    FAutoMarkPosition = s->FAutoMarkPosition;
    FDark3D = s->FDark3D;
    FDarkPen = s->FDarkPen;
    FExplodeBiggest = s->FExplodeBiggest;
    FDonutPercent = s->FDonutPercent;
    FExploded = s->FExploded;
    FHeights = s->FHeights;
    FShadow->Assign(s->FShadow.get());
    FUsePatterns = s->FUsePatterns;
    FMultiPie = s->FMultiPie;
    FOtherSlice->Assign(s->FOtherSlice.get());
  }
  TCircledSeries::Assign(Source);
  SetColorEachPoint(true);
}

// A pie never widens an axis: it answers with the axes' current limits.
double TPieSeries::HighestX() { return GetHorizAxis() ? GetHorizAxis()->Maximum() : 0; }
double TPieSeries::LowestX() { return GetHorizAxis() ? GetHorizAxis()->Minimum() : 0; }
double TPieSeries::HighestY() { return GetVertAxis() ? GetVertAxis()->Maximum() : 0; }
double TPieSeries::LowestY() { return GetVertAxis() ? GetVertAxis()->Minimum() : 0; }

void TPieSeries::ExplodeOffset(int32_t ValueIndex, int& DX, int& DY) {
  DX = DY = 0;
  const int32_t e = ExplodedSlice(ValueIndex);
  if (e <= 0 || ValueIndex >= static_cast<int32_t>(FAngles.size())) return;
  const double a = FAngles[ValueIndex].MidAngle + FRotation;
  DX = Round(std::cos(a) * XRadius * e / 100.0);
  DY = Round(std::sin(a) * e / 100.0 * YRadius);
}

void TPieSeries::FireBeforeDrawValues() {
  FChartRectSaved = false;
  if (FParentChart) {
    FSavedChartRect = FParentChart->ChartRect;
    FChartRectSaved = true;
    int n = 0, k = 0;
    for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
      TChartSeries* s = series_link::SeriesAt(FParentChart, i);
      if (!s->Active() || !IsSameKind(s)) continue;
      if (s == this) k = n;
      ++n;
    }
    if (FMultiPie == mpAutomatic && n > 1) {
      // Several pies share the chart rectangle in a grid of cells, filled row by row.
      const int cols = std::max(1, Round(std::sqrt(double(n))));
      const int rows = std::max(1, Round(std::sqrt(double(n)) + 0.5));
      const TRect r = FParentChart->ChartRect;
      const int w = (r.Right - r.Left) / cols, h = (r.Bottom - r.Top) / rows;
      TRect cell(r.Left + (k % cols) * w, r.Top + (k / cols) * h, 0, 0);
      cell.Right = cell.Left + w;
      cell.Bottom = cell.Top + h;
      const TPoint a = FParentChart->Canvas->Calculate3DPosition(cell.Left, cell.Top, 0);
      const TPoint b = FParentChart->Canvas->Calculate3DPosition(cell.Right, cell.Bottom, 0);
      FParentChart->ChartRect = series_link::View3D(FParentChart) ? TRect(a.X, a.Y, b.X, b.Y) : cell;
    }
  }
  TCircledSeries::FireBeforeDrawValues();
  const int32_t n = PointCount();
  if (FExplodeBiggest > 0 && n > 0) {
    int32_t big = 0;
    for (int32_t i = 1; i < n; ++i)
      if (YValueAt(i) > YValueAt(big)) big = i;
    FExploded.assign(std::max<size_t>(FExploded.size(), n), 0);
    FExploded[big] = FExplodeBiggest;
  }
  CalcAngles();
  FSortSlices = !FHeights.empty();
  int32_t most = -1;
  for (int32_t i = 0; i < n; ++i)
    if (ExplodedSlice(i) > 0 && (most == -1 || ExplodedSlice(i) > ExplodedSlice(most))) most = i;
  if (most != -1) FSortSlices = true;
  if (most != -1) {
    int dx, dy;
    ExplodeOffset(most, dx, dy);
    TRect r = CircleRect;
    r.Left += std::abs(dx) / 2;
    r.Right -= std::abs(dx) / 2;
    r.Top += std::abs(dy) / 2;
    r.Bottom -= std::abs(dy) / 2;
    NormaliseCircle(r);
    CalcRadii();
  }
  AngleToPos(0, XRadius, YRadius, FEndX, FEndY);
  if (FParentChart) FShadow->DrawEllipse(FParentChart->Canvas, CircleRect, EndZ - 10);
}

void TPieSeries::DrawVisiblePoints() {
  DrawSlices();
  DrawOtherLegend();
}

void TPieSeries::DrawSlices() {
  if (!FParentChart || !series_link::View3D(FParentChart) || (!FSortSlices && FDonutPercent < 1) ||
      FParentChart->Canvas->SupportsFullRotation() || LastValueIndex < FirstValueIndex) {
    TCircledSeries::DrawVisiblePoints();
    return;
  }
  // Slices nearest the back (a quarter of the total angle, the top of the circle) are drawn
  // first so the nearer ones and their sides cover them.
  const double a = FAngleSize * kPiStep, d = a / 4;
  auto distance = [&](int32_t i) {
    double m = (i < static_cast<int32_t>(FAngles.size()) ? FAngles[i].MidAngle : 0) + FRotation;
    if (m > a) m -= a;
    if (m > d) {
      const double r = m - d;
      return r > kPi ? a - r : r;
    }
    return d - m;
  };
  std::vector<int32_t> order;
  for (int32_t i = FirstValueIndex; i <= LastValueIndex; ++i) order.push_back(i);
  std::stable_sort(order.begin(), order.end(), [&](int32_t x, int32_t y) { return distance(x) < distance(y); });
  for (int32_t i : order) DrawOneValue(i);
}

void TPieSeries::DrawOtherLegend() {
  TChartLegend* legend = FOtherSlice->LegendOrNull();
  if (!legend || !legend->Visible() || !FParentChart || legend->Chart != FParentChart) return;
  FDrawingOtherLegend = true;
  ActiveLegend = legend;
  TScopeExit done([this] {
    FDrawingOtherLegend = false;
    ActiveLegend = nullptr;
  });
  legend->DrawLegend();
}

void TPieSeries::FireAfterDrawValues() {
  if (FChartRectSaved && FParentChart) FParentChart->ChartRect = FSavedChartRect;
  FChartRectSaved = false;
  TCircledSeries::FireAfterDrawValues();
}

void TPieSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  if (IsGrouped(ValueIndex) || ValueIndex >= static_cast<int32_t>(FAngles.size())) return;
  const double e = 1 + ExplodedSlice(ValueIndex) / 100.0;
  const int rx = Round(XRadius * e), ry = Round(YRadius * e);
  const double angle = FAngles[ValueIndex].MidAngle;
  Marks()->ZPosition = SliceBackDepth(ValueIndex);
  const int len = Marks()->Callout()->Length(), dist = Marks()->Callout()->Distance();
  Position.KeepArrowStart = true;
  AngleToPos(angle, rx + len + dist, ry + len + dist, Position.ArrowEnd.X, Position.ArrowEnd.Y);
  AngleToPos(angle, rx + dist, ry + dist, Position.ArrowStart.X, Position.ArrowStart.Y);
  Position.LeftTop.X = Position.ArrowEnd.X - (Position.ArrowEnd.X <= CircleXCenter ? Position.Width : 0);
  Position.LeftTop.Y = Position.ArrowEnd.Y - (Position.ArrowEnd.Y <= CircleYCenter ? Position.Height : 0);
  if (FAutoMarkPosition) Marks()->MoveToAvoidOverlap(FirstValueIndex, ValueIndex, Position);
  TCircledSeries::DrawPointMark(ValueIndex, Text, Position);
}

void TPieSeries::DrawOneValue(int32_t ValueIndex) {
  if (CircleWidth < 5 || CircleHeight < 5 || ValueIndex >= static_cast<int32_t>(FAngles.size())) return;
  if (IsGrouped(ValueIndex)) return;
  const TColor color = PointColorAt(ValueIndex);
  const TPieAngle& g = FAngles[ValueIndex];
  int ex, ey;
  AngleToPos(g.EndAngle, XRadius, YRadius, ex, ey);
  const int sx = FEndX, sy = FEndY;
  FEndX = ex;
  FEndY = ey;
  if (color == clNone) return;  // a null slice leaves its place empty
  TGraphCanvas3D* c = FParentChart->Canvas;
  {
    // The slice's pattern goes to the canvas only; the series brush keeps its own style.
    const TBrushStyle own = Brush()->Style();
    const TNotifyEvent onChange = Brush()->OnChange;
    Brush()->OnChange = nullptr;
    Brush()->SetStyle(SliceStyle(ValueIndex));
    series_link::SetBrushCanvas(FParentChart, c->Monochrome() ? clBlack : color, Brush(), CalcCircleBackColor());
    Brush()->SetStyle(own);
    Brush()->OnChange = onChange;
  }
  SetSlicePen(ValueIndex);
  int dx, dy;
  ExplodeOffset(ValueIndex, dx, dy);
  if (series_link::View3D(FParentChart)) {
    // A donut cut short shows the faces of its two ends.
    const bool sides = FSortSlices || (FDonutPercent > 0 && FAngleSize != 360 &&
                                       (ValueIndex == FirstValueIndex || ValueIndex == LastValueIndex));
    c->Pie3D(CircleXCenter + dx, CircleYCenter - dy, XRadius, YRadius, StartZ, SliceBackDepth(ValueIndex),
             g.StartAngle + FRotation, g.EndAngle + FRotation, FDark3D, sides, FDonutPercent,
             FGradient->Visible() ? FGradient.get() : nullptr);
    return;
  }
  if (FDonutPercent > 0) {
    c->DonutSlice(CircleXCenter + dx, CircleYCenter - dy, XRadius, YRadius, g.StartAngle + FRotation,
                  g.EndAngle + FRotation, FDonutPercent);
    return;
  }
  if (ex != sx || ey != sy || PointCount() == 1 || g.EndAngle - g.StartAngle > 1) {
    const TRect& r = CircleRect;
    c->Pie(r.Left + dx, r.Top - dy, r.Right + dx, r.Bottom - dy, sx + dx, sy - dy, ex + dx, ey - dy);
  }
}

int32_t TPieSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (FAngles.size() != static_cast<size_t>(PointCount())) CalcAngles();
  TCanvas3D* c = FParentChart ? FParentChart->Canvas : nullptr;
  for (int32_t i = 0; i < PointCount(); ++i) {
    if (IsNullPoint(i) || IsGrouped(i)) continue;
    const TPieAngle& g = FAngles[i];
    int dx, dy;
    ExplodeOffset(i, dx, dy);
    TPoint poly[32];
    AngleToPos(g.StartAngle, XRadius, YRadius, poly[0].X, poly[0].Y);
    poly[1] = TPoint(CircleXCenter, CircleYCenter);
    const double step = (g.EndAngle - g.StartAngle) / 30;
    for (int k = 0; k < 30; ++k) AngleToPos(g.EndAngle - k * step, XRadius, YRadius, poly[2 + k].X, poly[2 + k].Y);
    for (TPoint& p : poly) {
      if (c) p = c->Calculate3DPosition(p.X, p.Y, EndZ);
      p.X += dx;
      p.Y -= dy;
    }
    if (PointInPolygon(TPoint(X, Y), poly, 31)) return i;
  }
  return -1;
}

// ---------------------------------------------------------------------------------------------
// Gallery and sample data.

void TPieSeries::AddRandomPoints(int32_t Count, bool) {
  const std::string* labels[] = {&MsgSampleCars,  &MsgSamplePhones,    &MsgSampleTables, &MsgSampleMonitors,
                                 &MsgSampleLamps, &MsgSampleKeyboards, &MsgSampleBikes,  &MsgSampleChairs};
  for (int32_t i = 0; i < Count; ++i) AddValue(1 + RandomInteger(1000), *labels[i % 8], clDefault);
}

void TPieSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCircledSeries::ListStyleVariants(AddStyle);
  for (const std::string* t : {&MsgStylePatterns, &MsgStyleExploded, &MsgStyleShadow, &MsgStyleMarks, &MsgStyleSemiPie,
                               &MsgStyleNoBorder, &MsgStyleDarkBorder})
    AddStyle(*t);
}

void TPieSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TPieSeries*>(Target);
  if (!s) return TCircledSeries::ApplyStyleVariant(Target, Index);
  switch (Index) {
    case 1:
      s->SetUsePatterns(true);
      break;
    case 2:
      s->SetExplodeBiggest(30);
      break;
    case 3:
      s->Shadow()->SetHorizSize(10);
      s->Shadow()->SetVertSize(10);
      break;
    case 4:
      s->Marks()->SetVisible(true);
      s->ClearValues();
      s->AddValue(30, "A", clDefault);
      s->AddValue(70, "B", clDefault);
      break;
    case 5:
      s->SetAngleSize(180);
      break;
    case 6:
      s->PiePen()->SetVisible(false);
      break;
    case 7:
      s->SetDarkPen(32);
      break;
    default:
      TCircledSeries::ApplyStyleVariant(Target, Index);
  }
}

void TPieSeries::SetGalleryView() {
  if (!FParentChart) return;
  TView3DOptions* v = FParentChart->View3DOptions();
  v->SetOrthogonal(false);
  v->SetRotation(0);
  v->SetElevation(305);
}

void TPieSeries::MakeGalleryThumbnail(bool Coloured) {
  TCircledSeries::MakeGalleryThumbnail(Coloured);
  FillSampleValues(8);
  if (FParentChart) FParentChart->SetChart3DPercent(75);
  Marks()->Callout()->SetLength(0);
  Marks()->SetDrawEvery(1);
  FGradient->SetVisible(true);
  SetGalleryView();
  SetColorEachPoint(Coloured);
}

void TPieSeries::SetGalleryView3D(bool Value) {
  TCircledSeries::SetGalleryView3D(Value);
  SetGalleryView();
  SetCircled(!Value);
}

void TPieSeries::SortByValueOrder() {
  XValues()->SetOrder(loAscending);
  Repaint();
}
