#include "chart/extra/data_table_tool.h"

#include <algorithm>

#include "chart/engine/axis_panel.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/graph_panel.h"
#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "platform/canvas.h"
#include "platform/datetime.h"
#include "platform/sysutils.h"

// =============================================================================================
// The legend column

VM_PUBLISH(TTableLegend) {
  using T = TTableLegend;
  P.Object("Brush", &TGraphCustomShape::Brush, &TGraphCustomShape::SetBrush);
  P.Int("Color", &TGraphCustomShape::Color, &TGraphCustomShape::SetColor).Default(clWhite);
  P.Object("Font", &TGraphCustomShape::Font, &TGraphCustomShape::SetFont);
  P.Bool("FontSeriesColor", &T::FontSeriesColor, &T::SetFontSeriesColor).Default(false);
  P.Object("Gradient", &TGraphCustomShape::Gradient, &TGraphCustomShape::SetGradient).Stored([](TObject* o) {
    return static_cast<TTableLegend*>(o)->GradientOrNull() != nullptr;
  });
  P.Bool("OtherSide", &T::OtherSide, &T::SetOtherSide).Default(false);
  P.Object("Pen", &TGraphCustomShape::Pen, &TGraphCustomShape::SetPen);
  P.Object("Symbol", &T::Symbol, &T::SetSymbol);
  P.Int("Transparency", &TGraphCustomShape::Transparency, &TGraphCustomShape::SetTransparency).Default(0);
  P.Bool("Transparent", &TGraphCustomShape::Transparent, &TGraphCustomShape::SetTransparent).Default(true);
  P.Bool("Visible", &TGraphCustomShape::Visible, &TGraphCustomShape::SetVisible).Default(true);
}

TTableLegend::TTableLegend(IGraphShapeParent* Parent) : TGraphCustomShape(Parent) {
  FSymbol = std::make_unique<TLegendSymbol>(nullptr);
  DefaultTransparent = true;
  SetTransparent(true);
  SetColor(clWhite);
}

TTableLegend::~TTableLegend() = default;

void TTableLegend::Assign(TPersistent* Source) {
  TGraphCustomShape::Assign(Source);
  if (auto* l = dynamic_cast<TTableLegend*>(Source)) {
    FFontSeriesColor = l->FFontSeriesColor;
    FOtherSide = l->FOtherSide;
    FSymbol->Assign(l->FSymbol.get());
  }
}

void TTableLegend::SetFontSeriesColor(bool Value) {
  if (Value == FFontSeriesColor) return;
  FFontSeriesColor = Value;
  Repaint();
}

void TTableLegend::SetOtherSide(bool Value) {
  if (Value == FOtherSide) return;
  FOtherSide = Value;
  Repaint();
}

int32_t TTableLegend::SymbolWidth(int32_t TextWidth, int32_t FontHeight) const {
  if (!FSymbol->Visible()) return 0;
  // A squared symbol takes the row's height (this column has no legend of its own to ask).
  if (FSymbol->Squared()) return std::max(0, FontHeight - 5);
  return FSymbol->CalcWidth(TextWidth);
}

// =============================================================================================
// The table

VM_PUBLISH(TDataTableTool) {
  using T = TDataTableTool;
  P.Bool("AutoPosition", &T::AutoPosition, &T::SetAutoPosition).Default(true);
  P.Object("Brush", &T::Brush, &T::SetBrush);
  P.Bool("ClipText", &T::ClipText, &T::SetClipText).Default(true);
  P.Object("ColumnPen", &T::ColumnPen, &T::SetColumnPen);
  P.Object("Font", &T::Font, &T::SetFont);
  P.Bool("Inverted", &T::Inverted, &T::SetInverted).Default(false);
  P.Int("Left", &T::Left, &T::SetLeft).Default(0);
  P.Object("Legend", &T::Legend, &T::SetLegend);
  P.Object("RowPen", &T::RowPen, &T::SetRowPen);
  P.Int("Top", &T::Top, &T::SetTop).Default(0);
}

TDataTableTool::TDataTableTool(TComponent* AOwner) : TGraphCustomTool(AOwner) {
  const auto changed = [this](TObject*) { Repaint(); };
  FColumnPen = std::make_unique<TChartPen>(changed);
  FFont = std::make_unique<TGraphFont>(changed);
  FLegend = std::make_unique<TTableLegend>(nullptr);
}

TDataTableTool::~TDataTableTool() {
  if (FParentChart && !FParentChart->ComponentState().Contains(csDestroying)) InstallHook(FParentChart, false);
}

void TDataTableTool::GetDescription(std::string& Text) { Text = MsgGalleryDataTable; }

void TDataTableTool::InstallHook(TCustomAxisPanel* Chart, bool Install) {
  if (!Chart || !Chart->Axes) return;
  if (Install)
    Chart->Axes->AxisSizeHook = [this](TChartAxis* Axis, int Size) { return AdjustAxisSize(Axis, Size); };
  else
    Chart->Axes->AxisSizeHook = nullptr;
}

void TDataTableTool::SetParentChart(TCustomAxisPanel* Value) {
  if (FParentChart && FParentChart != Value && !FParentChart->ComponentState().Contains(csDestroying))
    InstallHook(FParentChart, false);
  TGraphCustomTool::SetParentChart(Value);
  if (ComponentState().Contains(csDestroying)) return;
  FLegend->SetParentChart(Value);
  InstallHook(Value, true);
  Repaint();
}

std::vector<TChartSeries*> TDataTableTool::TableSeries() const {
  std::vector<TChartSeries*> list;
  if (!FParentChart) return list;
  for (int i = 0; i < FParentChart->CountSeries(); ++i) {
    TChartSeries* s = FParentChart->SeriesAt(i);
    if (s->Active() && !s->HasZValues()) list.push_back(s);
  }
  return list;
}

TChartAxis* TDataTableTool::GetTableAxis() const {
  const std::vector<TChartSeries*> list = TableSeries();
  if (list.empty()) return nullptr;
  TChartSeries* s = list.front();
  TChartAxis* a = s->YMandatory ? s->HorizAxisObject : s->VertAxisObject;
  if (!a) a = s->YMandatory ? FParentChart->BottomAxis() : FParentChart->LeftAxis();
  return a;
}

bool TDataTableTool::HorizontalTable() const {
  TChartAxis* a = GetTableAxis();
  return a && a->Horizontal();
}

int32_t TDataTableTool::RowHeight() const {
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignFont(FFont.get());
  return HorizontalTable() ? c->FontHeight() : c->TextWidth("#.###");
}

int32_t TDataTableTool::TableSize() const {
  const int32_t n = static_cast<int32_t>(TableSeries().size());
  return RowHeight() * n + (HorizontalTable() ? 10 : 16);
}

int32_t TDataTableTool::TableLegendWidth(int32_t* SymbolWidth) const {
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignFont(FLegend->Font());
  int32_t widest = 0;
  for (TChartSeries* s : TableSeries()) widest = std::max(widest, c->TextWidth(SeriesTitleOrName(s)));
  const int32_t fh = c->FontHeight();
  const int32_t w = widest + fh;
  const int32_t symbol = FLegend->SymbolWidth(w, fh);
  if (SymbolWidth) *SymbolWidth = symbol;
  return w + symbol;
}

int32_t TDataTableTool::AdjustAxisSize(TChartAxis* Axis, int32_t Size) {
  if (!FParentChart || Axis->IsDepthAxis || !FAutoPosition || !Active()) return Size;
  TChartAxis* table = GetTableAxis();
  if (!table) return Size;
  if (Axis == table) return Size + TableSize();
  if (!FLegend->Visible()) return Size;
  const int32_t w = TableLegendWidth();
  const bool other = FLegend->OtherSide();
  const TRect& cr = FParentChart->ChartRect;
  const TRect& bounds = FParentChart->ChartBounds;
  if (table->Horizontal()) {
    if (Axis->Horizontal()) return Size;
    if (!other && !Axis->OtherSide()) return std::max(Size, w);
    if (other && Axis->OtherSide()) return std::max(Size, w + cr.Right - bounds.Right);
  } else {
    if (!Axis->Horizontal()) return Size;
    if (!other && Axis->OtherSide()) return std::max(Size, w);
    if (other && !Axis->OtherSide()) return std::max(Size, w + cr.Bottom - bounds.Bottom);
  }
  return Size;
}

void TDataTableTool::CalcTablePosition(int32_t& P, int32_t& D) {
  TChartAxis* a = GetTableAxis();
  const bool horizontal = a->Horizontal();
  if (!FAutoPosition) {
    P = horizontal ? FTop : FLeft;
    D = horizontal ? FLeft : FTop;
    return;
  }
  P = a->AxisLinePos;
  D = 0;
  if (FParentChart->View3D() && a->OtherSide()) {
    // An axis on the other side stands at the back of the 3D room.
    if (horizontal) {
      P -= FParentChart->Height3D;
      D = FParentChart->Width3D;
    } else {
      P += FParentChart->Width3D;
      D = -FParentChart->Height3D;
    }
  }
  FTop = horizontal ? P : 0;
  FLeft = horizontal ? 0 : P;
}

int32_t TDataTableTool::RowPosition(int32_t I, int32_t P) const {
  int32_t c = 0;
  for (int k = 0; k < FParentChart->CountSeries(); ++k) {
    TChartSeries* s = FParentChart->SeriesAt(k);
    if (!s->Active() || s->HasZValues()) continue;
    if (FInverted ? k > I : k < I) ++c;
  }
  TChartAxis* a = GetTableAxis();
  int32_t o = RowHeight() * (c + 1) + 10;
  if (a->OtherSide()) o = -o;
  return a->Horizontal() ? P + o : P - o;
}

int32_t TDataTableTool::RowIndexFor(int32_t SeriesIndex) const {
  TChartAxis* a = GetTableAxis();
  const bool horizontal = a->Horizontal();
  if ((horizontal && a->OtherSide()) || (!horizontal && !a->OtherSide())) return SeriesIndex + (FInverted ? -1 : 1);
  return SeriesIndex;
}

void TDataTableTool::HandleChartStage(TToolDrawStage Stage) {
  TGraphCustomTool::HandleChartStage(Stage);
  if (Stage == tdsAfterDraw && FParentChart) DrawTable();
}

void TDataTableTool::DrawTable() {
  const std::vector<TChartSeries*> series = TableSeries();
  if (series.empty()) return;
  TCustomAxisPanel* chart = FParentChart;
  TGraphCanvas3D* c = chart->Canvas;
  TChartAxis* a = GetTableAxis();
  const bool horizontal = a->Horizontal();
  int32_t n_points = 0;
  for (TChartSeries* s : series) n_points = std::max(n_points, s->PointCount());
  int32_t P, D;
  CalcTablePosition(P, D);
  c->AssignFont(FFont.get());
  const int32_t fontHeight = c->FontHeight();
  c->SetBackMode(cbmTransparent);
  const std::vector<int32_t> T = a->TickPositions;
  const int n = static_cast<int>(T.size());
  bool reversed = false;
  if (n >= 2) {
    reversed = horizontal ? T[0] < T[1] : T[0] >= T[1];
    if (a->Inverted()) reversed = !reversed;
  }
  const int32_t first = RowPosition(-1, P), last = RowPosition(chart->CountSeries(), P);
  // A line across the rows at Pos along the axis.
  const auto across = [&](int32_t Pos, int32_t From, int32_t To) {
    if (horizontal)
      c->Line(Pos, From, Pos, To);
    else
      c->Line(From, Pos, To, Pos);
  };
  const int32_t beyond = horizontal ? (a->OtherSide() ? -1 : 1) : 0;
  c->AssignVisiblePen(horizontal ? FColumnPen.get() : Pen());
  for (int k = 0; k + 1 < n; ++k) {
    const int32_t m = (T[k] + T[k + 1]) / 2 + D;
    if (FAutoPosition)
      across(m, last, P);
    else
      across(m, first, last + beyond);
  }

  // The cells: one text per label position and series.
  c->AssignFont(FFont.get());
  c->SetTextAlign(horizontal ? TA_CENTER : TA_LEFT);
  for (int k = 0; k < n; ++k) {
    int32_t index = reversed ? k : n_points - 1 - k;
    if (k == n - 1) index = reversed ? n_points - 1 : n_points - n;
    for (int i = 0; i < chart->CountSeries(); ++i) {
      TChartSeries* s = chart->SeriesAt(i);
      if (!s->Active() || s->HasZValues() || index < 0 || index >= s->PointCount() || s->IsNullPoint(index)) continue;
      const double v = s->MainValueAt(index);
      const std::string text =
          s->MandatoryList->DateTime() ? FormatDateTime(DateTimeDefaultFormat(v), v) : FormatFloat(s->ValueFormat(), v);
      const int32_t border = RowPosition(RowIndexFor(i), P);
      if (horizontal)
        c->TextOut(T[k] + D, border, text);
      else
        c->TextOut(border + 4, T[k] + D - fontHeight / 2, text);
    }
  }

  // The table's ends: half a gap beyond the outer labels, inside the axis' pixel range.
  const int32_t lo = std::min(a->StartPixel, a->EndPixel), hi = std::max(a->StartPixel, a->EndPixel);
  int32_t e0 = lo, e1 = hi;
  if (n >= 2) {
    e1 = std::clamp(T[n - 1] - (T[n - 2] - T[n - 1]) / 2, lo, hi);
    e0 = std::clamp(T[0] + (T[0] - T[1]) / 2, lo, hi);
  }
  e0 += D;
  e1 += D;
  if (n >= 1) {
    across(e0, first, last + beyond);
    across(e1, first, last + beyond);
  }
  int32_t start = std::min(e0, e1), end = std::max(e0, e1);
  if (FLegend->Visible()) {
    const int32_t w = TableLegendWidth();
    if (FLegend->OtherSide()) {
      DrawTableLegend(end, end + w, P, horizontal);
      end += w;
    } else {
      DrawTableLegend(start - w, start, P, horizontal);
      start -= w;
    }
  }
  // The row borders, across the whole table with its legend column.
  c->AssignVisiblePen(horizontal ? Pen() : FColumnPen.get());
  for (int i = -1; i <= chart->CountSeries(); ++i) {
    const int32_t r = RowPosition(i, P);
    if (horizontal)
      c->Line(start, r, end + 1, r);
    else
      c->Line(r, start, r, end + 1);
  }
}

void TDataTableTool::DrawTableLegend(int32_t Start, int32_t End, int32_t P, bool Horizontal) {
  TCustomAxisPanel* chart = FParentChart;
  TGraphCanvas3D* c = chart->Canvas;
  int32_t symbolWidth = 0;
  TableLegendWidth(&symbolWidth);
  c->AssignFont(FLegend->Font());
  c->SetTextAlign(TA_LEFT);
  c->SetBackMode(cbmTransparent);
  const int32_t first = RowPosition(-1, P), last = RowPosition(chart->CountSeries(), P);
  // The separator along the column's edge next to the values.
  const int32_t inner = FLegend->OtherSide() ? Start : End;
  c->AssignVisiblePen(FLegend->Pen());
  if (Horizontal)
    c->Line(inner, first, inner, last);
  else
    c->Line(first, inner, last, inner);
  TLegendSymbol* symbol = FLegend->Symbol();
  const bool symbolLeft = symbol->Visible() && symbol->Position() == spLeft;
  const int count = chart->CountSeries();
  for (int k = 0; k < count; ++k) {
    const int i = FInverted ? count - 1 - k : k;
    TChartSeries* s = chart->SeriesAt(i);
    if (!s->Active() || s->HasZValues()) continue;
    const int32_t border = RowPosition(RowIndexFor(i), P);
    c->AssignFont(FLegend->Font());
    if (FLegend->FontSeriesColor()) c->Font->SetColor(s->SeriesColor());
    int32_t x = Start + 4;
    const int32_t symbolX = x;
    if (symbolLeft) x += symbolWidth + 4;
    if (Horizontal)
      c->TextOut(x, border, SeriesTitleOrName(s));
    else
      c->RotateLabel(border, x, SeriesTitleOrName(s), 90);
    if (!symbol->Visible()) continue;
    TRect r;
    if (Horizontal) {
      const int32_t left = symbolLeft ? symbolX : End - 4 - symbolWidth;
      r = TRect(left, border + 4, left + symbolWidth, border + 12);
    } else {
      const int32_t top = symbolLeft ? symbolX : End - 4 - symbolWidth;
      r = TRect(border + 6, top, border + 18, top + symbolWidth);
    }
    if (symbol->Gradient()->Visible()) {
      symbol->Gradient()->SetEndColor(s->SeriesColor());
      symbol->Gradient()->Draw(c, r);
    } else {
      s->DrawLegendSymbol(-1, r);
    }
  }
}

void RegisterDataTableTool() { RegisterToolTypes({TDataTableTool::StaticClass()}); }

void UnregisterDataTableTool() { UnregisterToolTypes({TDataTableTool::StaticClass()}); }
