#include "chart/extra/point_figure_series.h"

#include "chart/engine/axis_panel.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"

VM_PUBLISH(TPointFigureSeries) {
  using S = TPointFigureSeries;
  P.Float("BoxSize", &S::BoxSize, &S::SetBoxSize).Stored(true);
  P.Object("DownSymbol", &S::DownSymbol, &S::SetDownSymbol);
  P.Float("ReversalAmount", &S::ReversalAmount, &S::SetReversalAmount).Stored(true);
  P.Object("UpSymbol", &S::UpSymbol, &S::SetUpSymbol);
}

TPointFigureSeries::TPointFigureSeries(TComponent* AOwner) : TOHLCSeries(AOwner) {
  XValues()->SetDefaultDateTime(false);
  XValues()->SetDateTime(false);
  FUpSymbol = std::make_unique<TSeriesPointer>(this);
  FUpSymbol->SetStyle(psDiagCross);
  FUpSymbol->Brush()->SetColor(static_cast<TColor>(0x008000));
  FDownSymbol = std::make_unique<TSeriesPointer>(this);
  FDownSymbol->SetStyle(psCircle);
  FDownSymbol->Brush()->SetColor(static_cast<TColor>(0x0000FF));
}

TPointFigureSeries::~TPointFigureSeries() = default;

void TPointFigureSeries::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPointFigureSeries*>(Source)) {
    FBoxSize = p->FBoxSize;
    FReversalAmount = p->FReversalAmount;
    FUpSymbol->Assign(p->FUpSymbol.get());
    FDownSymbol->Assign(p->FDownSymbol.get());
  }
  TOHLCSeries::Assign(Source);
}

void TPointFigureSeries::SetParentChart(TCustomAxisPanel* Value) {
  TOHLCSeries::SetParentChart(Value);
  if (ComponentState().Contains(csDestroying)) return;
  if (FUpSymbol) FUpSymbol->SetParentChart(Value);
  if (FDownSymbol) FDownSymbol->SetParentChart(Value);
}

void TPointFigureSeries::DrawColumn(TSeriesPointer* Symbol, int Column, double From, double Top) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const int x = ValueToScreenX(Column);
  const TColor colour = Symbol->Brush()->Color();
  Symbol->SetUpCanvas(c, colour);
  // At least one symbol; a box size that does not move the value (0, negative, or lost in the
  // value's precision) draws just that one instead of never ending.
  double v = From;
  do {
    Symbol->DrawAt(x, ValueToScreenY(v));
    const double next = v + FBoxSize;
    if (!(next > v)) break;
    v = next;
  } while (v <= Top);
}

int32_t TPointFigureSeries::CalcColumns(bool Draw) {
  const int32_t n = PointCount();
  if (n == 0) return 0;
  Draw = Draw && FParentChart;
  TChartValueList* high = HighValues();
  TChartValueList* low = LowValues();
  const double b = FBoxSize, r = FReversalAmount * b;
  int32_t k = 0;
  bool falling = true;
  double bottom = low->Value(0), top = high->Value(0);
  if (Draw) DrawColumn(FDownSymbol.get(), 0, bottom, top);
  for (int32_t i = 1; i < n; ++i) {
    const double h = high->Value(i), l = low->Value(i);
    if (falling) {
      if (l <= bottom - b) {
        if (Draw) DrawColumn(FDownSymbol.get(), k, l, bottom - b);
        bottom = l;
      } else if (h >= bottom + r) {
        ++k;
        if (Draw) DrawColumn(FUpSymbol.get(), k, bottom + b, h);
        falling = false;
        top = h;
      }
    } else if (h >= top + b) {
      if (Draw) DrawColumn(FUpSymbol.get(), k, top + b, h);
      top = h;
    } else if (l <= top - r) {
      ++k;
      if (Draw) DrawColumn(FDownSymbol.get(), k, l, top - b);
      falling = true;
      bottom = l;
    }
  }
  return k + 1;
}

TColor TPointFigureSeries::LegendEntryColor(int32_t ValueIndex) {
  return ValueIndex == 0 ? FUpSymbol->Brush()->Color() : FDownSymbol->Brush()->Color();
}

void TPointFigureSeries::FormatLegendText(int32_t ValueIndex, TLegendTextStyle, std::string& Text) {
  Text = ValueIndex == 0 ? MsgValueUp : MsgValueDown;
}

void TPointFigureSeries::MakeGalleryThumbnail(bool Coloured) {
  TOHLCSeries::MakeGalleryThumbnail(Coloured);
  if (Coloured) return;
  for (TSeriesPointer* p : {FUpSymbol.get(), FDownSymbol.get()}) {
    p->Brush()->SetColor(clSilver);
    p->Pen()->SetColor(clGray);
  }
}

// =============================================================================================

void RegisterPointFigureSeries() {
  RegisterSeriesType(TPointFigureSeries::StaticClass(), &MsgGalleryPointFigure, &MsgGalleryPageFinancial, 1);
}

void UnregisterPointFigureSeries() { UnregisterSeriesTypes({TPointFigureSeries::StaticClass()}); }
