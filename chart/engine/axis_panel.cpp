// The chart container: series management, axes and data ranges, paging, the 3D depth and the
// drawing pipeline.
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_published.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_function.h"
#include "chart/engine/series_base.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/tool_base.h"
#include "platform/guards.h"
#include "platform/printers.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TChartChangePage)
VM_DEFINE_CLASS(TGraphSeriesEvent)
VM_DEFINE_CLASS_EX(TCustomAxisPanel, "TCustomAxisPanel", PublishCustomAxisPanel)

namespace {

int32_t RoundHalfEven(double V) { return static_cast<int32_t>(std::nearbyint(V)); }

// Restores a flag when the scope ends, also on an exception.
class TFlagRestorer {
public:
  TFlagRestorer(bool& Flag, bool Value) : FFlag(Flag), FOld(Flag) { Flag = Value; }
  ~TFlagRestorer() { FFlag = FOld; }
  TFlagRestorer(const TFlagRestorer&) = delete;
  TFlagRestorer& operator=(const TFlagRestorer&) = delete;

private:
  bool& FFlag;
  bool FOld;
};

}  // namespace

TCustomAxisPanel::TCustomAxisPanel(TComponent* AOwner) : TCustomGraphPanelExtended(AOwner) {
  AutoRepaint = false;
  Tools = std::make_unique<TChartTools>(this);
  FSeriesList = std::make_unique<TChartSeriesList>(this);
  FSeriesList->Groups = std::make_unique<TSeriesGroups>(this);
  Axes = std::make_unique<TChartAxes>(this);
  FCustomAxes = std::make_unique<TChartCustomAxes>(this);

  FBottomAxis = new TChartAxis(this);
  FBottomAxis->SetHorizontal(true);
  FTopAxis = new TChartAxis(this);
  FTopAxis->SetHorizontal(true);
  FTopAxis->SetOtherSide(true);
  FTopAxis->SetZPosition(100);
  FTopAxis->Grid()->SetZPosition(100);
  FTopAxis->Grid()->DefaultZPosition = 100;
  FLeftAxis = new TChartAxis(this);
  FLeftAxis->Title()->SetAngle(90);
  FLeftAxis->Title()->DefaultAngle = 90;
  FRightAxis = new TChartAxis(this);
  FRightAxis->Title()->SetAngle(270);
  FRightAxis->Title()->DefaultAngle = 270;
  FRightAxis->SetOtherSide(true);
  FRightAxis->SetZPosition(100);
  FRightAxis->Grid()->SetZPosition(100);
  FRightAxis->Grid()->DefaultZPosition = 100;
  FDepthAxis = new TChartDepthAxis(this);
  FDepthAxis->SetVisible(false);
  FDepthAxis->IsDepthAxis = true;
  FDepthAxis->SetOtherSide(true);
  FDepthAxis->SelectValueToPixel();
  FDepthTopAxis = new TChartDepthAxis(this);
  FDepthTopAxis->SetVisible(false);
  FDepthTopAxis->IsDepthAxis = true;
  FDepthTopAxis->SelectValueToPixel();
  FPage = 1;
  FScaleLastPage = true;
  AutoRepaint = true;
}

TCustomAxisPanel::~TCustomAxisPanel() {
  AutoRepaint = false;
  FreeSeriesOfClass(nullptr);
  // The tools go before the axes they are drawn on.
  Tools->Clear();
  // The axes are freed through the list (each leaves it when freed).
  FCustomAxes.reset();
  for (TChartAxis* a : {static_cast<TChartAxis*>(FBottomAxis), FTopAxis, FLeftAxis, FRightAxis,
                        static_cast<TChartAxis*>(FDepthAxis), static_cast<TChartAxis*>(FDepthTopAxis)})
    delete a;
  Axes.reset();
  FSeriesList.reset();
  Tools.reset();
}

int TCustomAxisPanel::AxisCount() const { return Axes ? Axes->Count() : 0; }
TChartAxis* TCustomAxisPanel::AxisAt(int Index) const { return Axes->AxisAt(Index); }

void TCustomAxisPanel::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TCustomAxisPanel*>(Source)) {
    FChart3DPercent = p->FChart3DPercent;
    FAxisBehind = p->FAxisBehind;
    FAxisVisible = p->FAxisVisible;
    FBottomAxis->Assign(p->FBottomAxis);
    FClipPoints = p->FClipPoints;
    CustomPalette = p->CustomPalette;
    FCustomAxes->Assign(p->FCustomAxes.get());
    FLeftAxis->Assign(p->FLeftAxis);
    FDepthAxis->Assign(p->FDepthAxis);
    FDepthTopAxis->Assign(p->FDepthTopAxis);
    FMaxPointsPerPage = p->FMaxPointsPerPage;
    FPage = p->FPage;
    FRightAxis->Assign(p->FRightAxis);
    FScaleLastPage = p->FScaleLastPage;
    FTopAxis->Assign(p->FTopAxis);
    FView3DWalls = p->FView3DWalls;
  }
  TCustomGraphPanelExtended::Assign(Source);
}

void TCustomAxisPanel::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  TCustomGraphPanelExtended::GetChildren(Proc, Root);
  for (int i = 0; i < CountSeries(); ++i) {
    TChartSeries* s = SeriesAt(i);
    if (!s->Internal()) Proc(s);
  }
}

// ---------------------------------------------------------------------------------------------
// Virtual operations with a body here.

void TCustomAxisPanel::FireAfterDraw() {
  if (OnAfterDraw) OnAfterDraw(this);
}
void TCustomAxisPanel::FireBeforeDrawAxes() {
  if (OnBeforeDrawAxes) OnBeforeDrawAxes(this);
}
void TCustomAxisPanel::FireBeforeDrawChart() {
  if (OnBeforeDrawChart) OnBeforeDrawChart(this);
}
void TCustomAxisPanel::FireBeforeDrawSeries() {
  if (OnBeforeDrawSeries) OnBeforeDrawSeries(this);
}

bool TCustomAxisPanel::IsPlaneMirroredAt(int32_t Z) {
  const TPoint a = Canvas->Calculate3DPosition(ChartRect.Left, ChartRect.Top, Z);
  const TPoint b = Canvas->Calculate3DPosition(ChartRect.Right, ChartRect.Top, Z);
  const TPoint c = Canvas->Calculate3DPosition(ChartRect.Right, ChartRect.Bottom, Z);
  // Clockwise on the screen (y downwards) gives a positive cross product.
  const int64_t cross = int64_t(b.X - a.X) * (c.Y - b.Y) - int64_t(b.Y - a.Y) * (c.X - b.X);
  return !(cross > 0);
}

void TCustomAxisPanel::DrawLegendSymbolRect(const TRect& Rect) {
  Canvas->DrawRectangle(Rect);
  if (Canvas->Brush->Color() == LegendSymbolColor) {
    const TColor oldPen = Canvas->Pen->Color();
    const TBrushStyle oldStyle = Canvas->Brush->Style();
    Canvas->Brush->SetStyle(bsClear);
    Canvas->Pen->SetColor(Canvas->Brush->Color() == clBlack ? clWhite : oldPen);
    Canvas->DrawRectangle(Rect);
    Canvas->Pen->SetColor(oldPen);
    Canvas->Brush->SetStyle(oldStyle);
  }
}

void TCustomAxisPanel::RefreshSeriesData(TChartSeries* Series) {
  if (!Series || Series->ComponentState().Contains(csLoading)) return;
  TComponent* source = Series->DataSource();
  if (auto* s = dynamic_cast<TChartSeries*>(source)) {
    Series->RecalcFromSource(s);
  } else if (auto* gs = dynamic_cast<TGraphSeriesSource*>(source)) {
    gs->ReloadIfActive();
  } else if (!source && Series->FunctionObject() && Series->FunctionObject()->NeedsNoSource) {
    Series->BeginUpdate();
    Series->ClearValues();
    Series->FunctionObject()->CalculateFromSource(nullptr);
    Series->EndUpdate();
  }
}

void TCustomAxisPanel::GetSeriesLegendText(TChartSeries*, int32_t, std::string& Text) { Text.clear(); }

void TCustomAxisPanel::DetachSeriesSource(TChartSeries* Series, TComponent* Component) {
  if (auto* gs = dynamic_cast<TGraphSeriesSource*>(Component))
    if (Series && Series->DataSource() == gs) Series->RemoveDataSource(gs);
}

bool TCustomAxisPanel::AcceptsDataSource(TChartSeries* Series, TComponent* Source) {
  if (auto* s = dynamic_cast<TChartSeries*>(Source)) return s != Series && Series->FunctionAcceptsSource(s);
  if (auto* gs = dynamic_cast<TGraphSeriesSource*>(Source)) {
    auto* meta = dynamic_cast<const TSeriesSourceMetaClass*>(gs->ClassType());
    return meta ? meta->IsAvailableFor(this) : true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Series management.

TChartSeries* TCustomAxisPanel::SeriesAt(int Index) const { return FSeriesList->SeriesAt(Index); }
int TCustomAxisPanel::CountSeries() const { return FSeriesList ? FSeriesList->Count() : 0; }

int TCustomAxisPanel::NumberOfActiveSeries() const {
  int n = 0;
  for (TChartSeries* s : *FSeriesList)
    if (s->Active()) ++n;
  return n;
}

int TCustomAxisPanel::MaxPointCount() const {
  int n = 0;
  for (TChartSeries* s : *FSeriesList)
    if (s->Active()) n = std::max(n, static_cast<int>(s->PointCount()));
  return n;
}

TChartSeries* TCustomAxisPanel::AttachSeries(TChartSeries* Series) {
  Series->SetParentChart(this);
  RegisterSeries(Series);
  return Series;
}

TChartSeries* TCustomAxisPanel::CreateAndAttachSeries(const TChartElementMetaClass* SeriesClass) {
  if (!SeriesClass) throw EInvalidCast("Invalid class typecast");
  auto* s = dynamic_cast<TChartSeries*>(SeriesClass->Create(Owner()));
  if (!s) throw EInvalidCast("Invalid class typecast");
  return AttachSeries(s);
}

void TCustomAxisPanel::RegisterSeries(TChartSeries* Series) {
  if (FSeriesList->IndexOf(Series) != -1) return;
  if (Series->ParentChart() != this) Series->SetParentChart(this);
  if (FSeriesList->IndexOf(Series) != -1) return;
  Series->AddedToChart();
  FSeriesList->Add(Series);
  SendSeriesEvent(Series, sekAdded);
  Invalidate();
}

void TCustomAxisPanel::DetachSeries(TChartSeries* Series) { DetachSeriesAt(FSeriesList->IndexOf(Series)); }

void TCustomAxisPanel::DetachSeriesAt(int Index) {
  if (Index < 0 || Index >= CountSeries()) return;
  TChartSeries* s = SeriesAt(Index);
  SendSeriesEvent(s, sekRemoved);
  s->RemovedFromChart();
  FSeriesList->Delete(Index);
  Invalidate();
}

void TCustomAxisPanel::FreeSeriesOfClass(TClass AClass) {
  int i = 0;
  while (i < CountSeries()) {
    TChartSeries* s = SeriesAt(i);
    if (!AClass || s->ClassType()->InheritsFrom(AClass)) {
      DetachSeriesAt(i);
      s->SetParentChart(nullptr);
      delete s;
    } else {
      ++i;
    }
  }
}

void TCustomAxisPanel::SwapSeries(TChartSeries* Series1, TChartSeries* Series2) {
  SwapSeriesAt(FSeriesList->IndexOf(Series1), FSeriesList->IndexOf(Series2));
}

void TCustomAxisPanel::SwapSeriesAt(int Index1, int Index2) {
  if (Index1 < 0 || Index2 < 0 || Index1 >= CountSeries() || Index2 >= CountSeries() || Index1 == Index2) return;
  FSeriesList->Exchange(Index1, Index2);
  TChartSeries* a = SeriesAt(Index1);
  TChartSeries* b = SeriesAt(Index2);
  if (a->Owner() && a->Owner() == b->Owner()) {
    const int ca = a->ComponentIndex(), cb = b->ComponentIndex();
    a->SetComponentIndex(cb);
    b->SetComponentIndex(ca);
  }
  if (TSeriesGroups* groups = FSeriesList->Groups.get()) {
    const int g = groups->IndexOfSeries(a);
    if (g != -1) {
      TCustomSeriesList* members = groups->GroupAt(g)->Series();
      const int ia = members->IndexOf(a), ib = members->IndexOf(b);
      if (ia != -1 && ib != -1) members->Exchange(ia, ib);
    }
  }
  SendSeriesEvent(nullptr, sekSwapped);
  Invalidate();
}

void TCustomAxisPanel::SendSeriesEvent(TChartSeries* Series, TSeriesEventKind Kind) {
  TGraphSeriesEvent e;
  e.Event = Kind;
  e.Series = Series;
  BroadcastEvent(&e);
}

void TCustomAxisPanel::SendNewEvent(TGraphEvent* Event) {
  std::unique_ptr<TGraphEvent> e(Event);
  BroadcastEvent(e.get());
}

bool TCustomAxisPanel::CheckMouseOverSeries(int X, int Y) {
  bool result = false;
  for (int i = CountSeries() - 1; i >= 0; --i) {
    TChartSeries* s = SeriesAt(i);
    if (s->Active() && s->CheckMouseEnterLeave(X, Y)) result = true;
  }
  return result;
}

TChartSeries* TCustomAxisPanel::LegendSeriesAt(int Index, bool OnlyActive) const {
  int n = 0;
  for (TChartSeries* s : *FSeriesList) {
    if (!s->ShowInLegend() || (OnlyActive && !s->Active())) continue;
    if (n == Index) return s;
    ++n;
  }
  return nullptr;
}

std::string TCustomAxisPanel::LegendSeriesTitle(int Index, bool OnlyActive) const {
  std::string text;
  if (TChartSeries* s = LegendSeriesAt(Index, OnlyActive)) SeriesDisplayTitle(s, text);
  return text;
}

int32_t TCustomAxisPanel::WidestLineWidth(const std::string& Text, int& LineCount) {
  LineCount = 0;
  int32_t w = 0;
  size_t start = 0;
  while (true) {
    size_t end = Text.find('\r', start);
    const std::string line = Text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (end == std::string::npos && line.empty() && LineCount > 0) break;
    ++LineCount;
    w = std::max(w, static_cast<int32_t>(Canvas->TextWidth(line)));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return w;
}

int32_t TCustomAxisPanel::WidestLabel() {
  int32_t w = 0;
  int lines = 0;
  for (TChartSeries* s : *FSeriesList)
    for (int i = 0; i < s->Labels->Count(); ++i) w = std::max(w, WidestLineWidth(s->LabelAt(i), lines));
  return w;
}

int32_t TCustomAxisPanel::WidestMarkText() {
  int32_t w = 0;
  for (TChartSeries* s : *FSeriesList)
    if (s->Active())
      for (int i = 0; i < s->PointCount(); ++i) w = std::max(w, static_cast<int32_t>(s->Marks()->MarkTextWidth(i)));
  return w;
}

TColor TCustomAxisPanel::GetPaletteColor(int Index) const {
  if (!CustomPalette.empty()) return CustomPalette[static_cast<size_t>(Index) % CustomPalette.size()];
  return GetDefaultColor(Index);
}

TColor TCustomAxisPanel::FirstUnusedPaletteColor(bool CheckBackground, TChartSeries* IgnoreSeries) {
  const int n = CustomPalette.empty() ? static_cast<int>(ColorPalette.size()) : static_cast<int>(CustomPalette.size());
  for (int i = 0; i < n; ++i) {
    const TColor c = GetPaletteColor(i);
    if (IsColorUnused(c, CheckBackground, IgnoreSeries)) return c;
  }
  return GetPaletteColor(n - 1);
}

void TCustomAxisPanel::AssignAutoSeriesColors() {
  for (TChartSeries* s : *FSeriesList)
    if (s->ColorSetting == clDefault) s->SetAutoColor(FirstUnusedPaletteColor(true, s));
}

void TCustomAxisPanel::CheckCircularDataSource(TComponent* Component, TChartSeries* Series) {
  if (!Series) return;
  TComponent* source = Series->DataSource();
  if (Component == source && source) throw ChartException(ErrCircularSeries);
  if (dynamic_cast<TChartSeries*>(source))
    for (int i = 0; i < Series->DataSources->Count(); ++i)
      CheckCircularDataSource(Component, dynamic_cast<TChartSeries*>(Series->DataSources->Items(i)));
}

// ---------------------------------------------------------------------------------------------
// Axes and data ranges.

bool TCustomAxisPanel::IsAxisInUse(TChartAxis* Axis, bool Default) const {
  bool anyActive = false;
  for (TChartSeries* s : *FSeriesList) {
    if (!s->Active()) continue;
    anyActive = true;
    if (!s->UsesAxes()) return false;
    if (s->IsBoundToAxis(Axis)) return true;
  }
  return anyActive ? false : Default;
}

bool TCustomAxisPanel::IsAxisDrawn(TChartAxis* Axis) const {
  if (!FAxisVisible || !Axis->Visible()) return false;
  if (Axis->IsDepthAxis) return View3D();
  return IsAxisInUse(Axis, true);
}

bool TCustomAxisPanel::AxesInUse() const {
  bool anyActive = false;
  for (TChartSeries* s : *FSeriesList) {
    if (!s->Active()) continue;
    anyActive = true;
    if (s->UsesAxes()) return true;
  }
  return !anyActive;
}

bool TCustomAxisPanel::NoActiveSeriesOnAxis(TChartAxis* Axis) const {
  for (TChartSeries* s : *FSeriesList)
    if (s->Active() && s->IsBoundToAxis(Axis)) return false;
  return true;
}

TChartSeries* TCustomAxisPanel::FirstSeriesOnAxis(TChartAxis* Axis) const {
  const bool all = NoActiveSeriesOnAxis(Axis);
  for (TChartSeries* s : *FSeriesList)
    if ((all || s->Active()) && s->IsBoundToAxis(Axis)) return s;
  return nullptr;
}

TChartSeries* TCustomAxisPanel::LargestSeriesOnAxis(TChartAxis* Axis) const {
  const bool all = NoActiveSeriesOnAxis(Axis);
  TChartSeries* best = nullptr;
  for (TChartSeries* s : *FSeriesList)
    if ((all || s->Active()) && s->IsBoundToAxis(Axis) && (!best || s->PointCount() > best->PointCount())) best = s;
  return best;
}

double TCustomAxisPanel::CalcAxisLimit(TChartAxis* Axis, bool IsMinimum, bool IsX) {
  if (Axis->IsDepthAxis) {
    if (Axis->CalcLabelStyle() != talValue) return IsMinimum ? -0.5 : MaxZOrder + 0.5;
    bool any = false;
    double r = 0;
    for (TChartSeries* s : *FSeriesList) {
      if (!s->Active()) continue;
      const double v = IsMinimum ? s->LowestZ() : s->HighestZ();
      if (!std::isfinite(v)) continue;
      if (!any || (IsMinimum ? v < r : v > r)) r = v;
      any = true;
    }
    return r;
  }
  bool positionIsX = true;
  if (TChartSeries* first = FirstSeriesOnAxis(Axis)) positionIsX = first->YMandatory;
  const bool isPositionAxis = positionIsX ? IsX : !IsX;
  if (FMaxPointsPerPage > 0 && isPositionAxis) {
    TChartSeries* s = LargestSeriesOnAxis(Axis);
    if (!s || s->PointCount() == 0) return 0;
    int32_t first = 0, last = 0;
    s->CalcPageRange(first, last);
    if (first < 0 || last < first || last >= s->PointCount()) return 0;
    auto value = [&](int32_t i) { return IsX ? s->XValueAt(i) : s->YValueAt(i); };
    if (IsMinimum) return value(first);
    const double v0 = value(first), v1 = value(last);
    const int32_t d = last - first + 1;
    if (!FScaleLastPage && d < FMaxPointsPerPage) {
      if (v1 == v0) return v0 + double(FMaxPointsPerPage) / d;
      return v0 + (v1 - v0) * FMaxPointsPerPage / d;
    }
    return v1;
  }
  const bool all = NoActiveSeriesOnAxis(Axis);
  bool any = false;
  double r = 0;
  for (TChartSeries* s : *FSeriesList) {
    if (!(all || s->Active()) || s->PointCount() == 0) continue;
    bool bound;
    if (IsX)
      bound = s->HorizAxis() == aBothHorizAxis || s->GetHorizAxis() == Axis;
    else
      bound = s->VertAxis() == aBothVertAxis || s->GetVertAxis() == Axis;
    if (!bound) continue;
    const double v = IsX ? (IsMinimum ? s->LowestX() : s->HighestX()) : (IsMinimum ? s->LowestY() : s->HighestY());
    if (!std::isfinite(v)) continue;
    if (!any || (IsMinimum ? v < r : v > r)) r = v;
    any = true;
  }
  return r;
}

// ---------------------------------------------------------------------------------------------
// Paging and printing.

int32_t TCustomAxisPanel::CountPages() {
  if (FMaxPointsPerPage < 1 || CountSeries() == 0) return 1;
  const bool horizontal = !SeriesAt(0)->YMandatory;
  TChartAxis* a1 = horizontal ? FLeftAxis : FBottomAxis;
  TChartAxis* a2 = horizontal ? FRightAxis : FTopAxis;
  auto pagesOf = [&](TChartAxis* a) {
    int p = 0;
    for (TChartSeries* s : *FSeriesList)
      if (s->Active() && s->IsBoundToAxis(a)) p = std::max(p, static_cast<int>(s->PointCount()));
    if (p <= 0) return 1;
    return p / FMaxPointsPerPage + (p % FMaxPointsPerPage ? 1 : 0);
  };
  return std::max(pagesOf(a1), pagesOf(a2));
}

void TCustomAxisPanel::SetPage(int32_t Value) {
  const int32_t pages = CountPages();
  if (Value > pages) Value = pages;
  if (Value < 1) Value = 1;
  if (Value == FPage) return;
  SetIntegerProperty(FPage, Value);
  SendNewEvent(new TChartChangePage);
  if (OnPageChange) OnPageChange(this);
}

void TCustomAxisPanel::SetMaxPointsPerPage(int32_t Value) {
  if (Value < 0) throw ChartException(ErrMaxPointsPerPage);
  SetIntegerProperty(FMaxPointsPerPage, Value);
  if (CountPages() < FPage) SetPage(CountPages());
  SendNewEvent(new TChartChangePage);
}

void TCustomAxisPanel::SetChart3DPercent(int32_t Value) {
  if (Value < 1 || Value > 100) throw Exception(Format("3D effect percent must be between %d and %d", {1, 100}));
  SetIntegerProperty(FChart3DPercent, Value);
}

void TCustomAxisPanel::PrintPageRange(int FromPage, int ToPage) {
  TPrinter* printer = Printer();
  if (!Name().empty()) printer->SetTitle(Name());
  printer->BeginDoc();
  if (ToPage == 0) ToPage = CountPages();
  if (FromPage == 0) FromPage = 1;
  const int32_t oldPage = FPage;
  {
    TScopeFail undo([&] {
      SetPage(oldPage);
      printer->Abort();
      if (printer->Printing()) printer->EndDoc();
    });
    TRect r;
    CalcPrintRect(r);
    for (int p = FromPage; p <= ToPage; ++p) {
      SetPage(p);
      PrintInRect(r);
      if (p < ToPage) printer->NewPage();
    }
    SetPage(oldPage);
  }
  printer->EndDoc();
}

// ---------------------------------------------------------------------------------------------
// 3D and the pipeline.

void TCustomAxisPanel::CalcDepthSizes() {
  if (!View3D()) {
    SeriesWidth3D = SeriesHeight3D = Width3D = Height3D = 0;
    return;
  }
  TView3DOptions* o = View3DOptions();
  SeriesWidth3D = RoundHalfEven(ChartWidth * FChart3DPercent * (o->Orthogonal() ? 0.001 : 0.002));
  const double r = o->Orthogonal() ? o->CalcOrthoRatio() : 1;
  if (r > 1) SeriesWidth3D = RoundHalfEven(SeriesWidth3D / r);
  SeriesHeight3D = RoundHalfEven(SeriesWidth3D * r);
  const int32_t n = std::max(1, MaxZOrder + 1);
  Width3D = n * SeriesWidth3D;
  Height3D = n * SeriesHeight3D;
}

void TCustomAxisPanel::CalcSeriesDrawSide() {
  TView3DOptions* o = View3DOptions();
  DrawReversed = View3D() && (o->Orthogonal() ? o->OrthoAngle() > 90 : o->Rotation() < 180);
}

void TCustomAxisPanel::NotifyToolsChartEvent(TToolDrawStage Stage) {
  for (int i = 0; i < Tools->Count(); ++i) {
    TGraphCustomTool* t = Tools->ToolAt(i);
    if (t->Active()) t->HandleChartStage(Stage);
  }
}

void TCustomAxisPanel::MouseLeave() {
  TCustomGraphPanelExtended::MouseLeave();
  NotifyToolsChartEvent(tdsMouseLeave);
}

void TCustomAxisPanel::AssignSeriesZOrders() {
  if (View3D()) {
    MaxZOrder = -1;
    for (TChartSeries* s : *FSeriesList)
      if (s->Active()) s->AssignZOrder();
  } else {
    MaxZOrder = 0;
  }
  if (!FDepthAxis->Inverted()) {
    for (TChartSeries* s : *FSeriesList)
      if (s->Active()) s->AutoZOrder = MaxZOrder - (View3D() ? s->EffectiveZOrder() : 0);
  }
}

void TCustomAxisPanel::CalcAxesRect() {
  for (int i = 0; i < AxisCount(); ++i) {
    TChartAxis* a = AxisAt(i);
    a->IsVisibleInPass = IsAxisDrawn(a);
    a->FastCalculation = Axes->FastCalculation;
    a->SelectValueToPixel();
    a->RecalcRange();
  }
  for (int i = 0; i < AxisCount(); ++i) AxisAt(i)->CalcStartEndPixels();
  TRect r = ChartRect;
  for (int i = 0; i < AxisCount(); ++i) {
    TChartAxis* a = AxisAt(i);
    if (a->IsVisibleInPass) {
      TRect copy = r;
      a->CalcRect(copy, i < 5);
      TRect inter;
      if (IntersectRect(inter, copy, r)) r = inter;
    } else if (Axes->AxisSizeHook) {
      const int32_t s = Axes->AxisSizeHook(a, 0);
      a->ShrinkRect(r, s);
    }
  }
  ChartRect = r;
  CalcChartRectSize();
  for (int i = 0; i < AxisCount(); ++i) AxisAt(i)->CalcStartEndPixels();
}

void TCustomAxisPanel::ApplySeriesMargins() {
  for (int i = 0; i < AxisCount(); ++i) {
    TChartAxis* a = AxisAt(i);
    TRect m(0, 0, 0, 0);
    for (TChartSeries* s : *FSeriesList) {
      if (!s->Active() || !s->IsBoundToAxis(a)) continue;
      if (a->Horizontal()) {
        int32_t l = 0, r = 0;
        s->GetHorizontalMargins(l, r);
        if (a->AutomaticMinimum()) m.Left = std::max(m.Left, l);
        if (a->AutomaticMaximum()) m.Right = std::max(m.Right, r);
      } else {
        int32_t t = 0, b = 0;
        s->GetVerticalMargins(t, b);
        if (a->AutomaticMaximum()) m.Top = std::max(m.Top, t);
        if (a->AutomaticMinimum()) m.Bottom = std::max(m.Bottom, b);
      }
    }
    const bool offset = a->MinimumOffset() != 0 || a->MaximumOffset() != 0;
    if (offset) {
      int32_t lo = a->MinimumOffset(), hi = a->MaximumOffset();
      if (a->Inverted()) std::swap(lo, hi);
      if (a->Horizontal()) {
        m.Left += lo;
        m.Right += hi;
      } else {
        m.Bottom += lo;
        m.Top += hi;
      }
    }
    if (m.Left || m.Right || m.Top || m.Bottom) a->WidenRangeForMargins(m);
    if (offset) a->TitlePos = a->InflateAxisPos(a->LabelsPos, a->LabelsBandSize());
  }
}

void TCustomAxisPanel::RenderAxes() {
  if (!FAxisVisible) return;
  FireBeforeDrawAxes();
  const bool frontMirrored = View3D() && IsPlaneMirroredAt(0);
  for (int i = 0; i < AxisCount(); ++i) {
    TChartAxis* a = AxisAt(i);
    if (!a->IsVisibleInPass) continue;
    if (a == FBottomAxis && frontMirrored) continue;
    a->Draw(true);
  }
}

void TCustomAxisPanel::RenderAllSeries() {
  const bool reverse = FDepthAxis->Inverted() != (View3D() && IsPlaneMirroredAt(Width3D));
  const int n = CountSeries();
  for (int k = 0; k < n; ++k) {
    TChartSeries* s = SeriesAt(reverse ? n - 1 - k : k);
    if (s->Active()) RenderSeries(s);
  }
}

void TCustomAxisPanel::ClipSeriesRect() {
  TRect r = ChartRect;
  r.Bottom += 1;
  Canvas->ClipCube(r, 0, Width3D);
}

void TCustomAxisPanel::DrawSeriesMarks(TChartSeries* Series) {
  TSeriesMarks* marks = Series->Marks();
  if (Series->PointCount() == 0 || !marks || !marks->Visible()) return;
  const bool clip = marks->Clip() && CanClip();
  if (clip) ClipSeriesRect();
  Series->DrawAllMarks();
  if (clip) Canvas->UnClipRectangle();
}

void TCustomAxisPanel::RenderSeries(TChartSeries* Series) {
  if (!View3D() || !Series->SharesZOrder()) {
    Series->FindVisibleRange();
    if (Series->FirstValueIndex == -1) return;
    Series->FireBeforeDrawValues();
    const bool clip = Series->UsesAxes() && FClipPoints && CanClip();
    if (clip) ClipSeriesRect();
    Series->DrawVisiblePoints();
    if (clip) Canvas->UnClipRectangle();
    DrawSeriesMarks(Series);
    Series->FireAfterDrawValues();
    return;
  }
  if (!Series->IsFirstOfZOrder()) return;
  const int start = FSeriesList->IndexOf(Series);
  std::vector<TChartSeries*> group;
  std::vector<bool> visible;
  int32_t first = -1, last = -1;
  bool clipped = false;
  for (int i = start; i < CountSeries(); ++i) {
    TChartSeries* s = SeriesAt(i);
    if (!s->Active() || s->EffectiveZOrder() != Series->EffectiveZOrder()) continue;
    group.push_back(s);
    s->FindVisibleRange();
    const bool vis = s->FirstValueIndex != -1;
    visible.push_back(vis);
    if (vis) {
      first = std::max(first, s->FirstValueIndex);
      last = std::max(last, s->LastValueIndex);
    }
    s->FireBeforeDrawValues();
    if (!clipped && FClipPoints && CanClip()) {
      ClipSeriesRect();
      clipped = true;
    }
  }
  if (first != -1) {
    const bool forward = Series->IsDrawnForward();
    for (int32_t k = 0; k <= last - first; ++k) {
      const int32_t idx = forward ? first + k : last - k;
      const bool back = !Series->IsValueDrawnForward(idx) && idx < Series->PointCount();
      const int gn = static_cast<int>(group.size());
      for (int j = 0; j < gn; ++j) {
        TChartSeries* s = group[back ? gn - 1 - j : j];
        if (idx < s->PointCount()) s->DrawOneValue(idx);
      }
    }
  }
  if (clipped) Canvas->UnClipRectangle();
  for (size_t j = 0; j < group.size(); ++j)
    if (visible[j]) {
      DrawSeriesMarks(group[j]);
      group[j]->FireAfterDrawValues();
    }
}

void TCustomAxisPanel::DrawContents(const TRect& Rect) {
  TFlagRestorer repaint(AutoRepaint, false);
  if (!RestoreBaseLayer()) DrawBaseLayer(Rect);
  // The top layers.
  RenderTitlesAndLegend(false);
  if (Zoom()->Active) DrawZoomRectangle();
  NotifyToolsChartEvent(tdsAfterDraw);
  Canvas->ResetState();
  FireAfterDraw();
}

void TCustomAxisPanel::DrawBaseLayer(const TRect& Rect) {
  CalcSeriesDrawSide();
  DrawPanelBackground(Rect);
  NotifyToolsChartEvent(tdsBeforeChart);
  FireBeforeDrawChart();
  for (TChartSeries* s : *FSeriesList)
    if (s->Active()) s->PrepareForDraw();
  RenderTitlesAndLegend(true);
  AssignSeriesZOrders();
  Prepare3DChartRect();
  CalcAxesRect();
  for (TChartSeries* s : *FSeriesList)
    if (s->Active()) s->CalcDepthPositions();
  ApplySeriesMargins();
  Canvas->Projection(Width3D, ChartBounds, ChartRect);
  RenderWalls();
  if (FAxisBehind) {
    NotifyToolsChartEvent(tdsBeforeAxes);
    RenderAxes();
  }
  NotifyToolsChartEvent(tdsBeforeSeries);
  FireBeforeDrawSeries();
  RenderAllSeries();
  NotifyToolsChartEvent(tdsAfterSeries);
  if (!FAxisBehind) {
    NotifyToolsChartEvent(tdsBeforeAxes);
    RenderAxes();
  }
  StoreBaseLayer();
}
