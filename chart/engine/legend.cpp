// The legend's layout, drawing and hit tests.
#include "chart/engine/legend.h"
#include "chart/engine/chart_published.h"

#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "platform/canvas.h"
#include "platform/strings.h"

VM_DEFINE_CLASS(TGraphCustomShapePosition)
VM_DEFINE_CLASS(TChartLegendGradient)
VM_DEFINE_CLASS_EX(TLegendSymbol, "TLegendSymbol", PublishLegendSymbol)
VM_DEFINE_CLASS_EX(TCustomChartLegend, "TCustomChartLegend", PublishCustomChartLegend)
VM_DEFINE_CLASS(TChartLegend)

namespace {

constexpr char ColumnSeparator = 6;
int32_t Rnd(double V) { return static_cast<int32_t>(std::nearbyint(V)); }

}  // namespace

// ---------------------------------------------------------------------------------------------

void TGraphCustomShapePosition::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TGraphCustomShapePosition*>(Source)) {
    FCustomPosition = p->FCustomPosition;
    if (FCustomPosition) {
      const int32_t w = BoxRect.Right - BoxRect.Left, h = BoxRect.Bottom - BoxRect.Top;
      BoxRect.Left = p->BoxRect.Left;
      BoxRect.Top = p->BoxRect.Top;
      BoxRect.Right = BoxRect.Left + w;
      BoxRect.Bottom = BoxRect.Top + h;
    }
  }
  TGraphCustomShape::Assign(Source);
}

void TGraphCustomShapePosition::SetCustomPosition(bool Value) {
  if (Value != FCustomPosition) {
    FCustomPosition = Value;
    Repaint();
  }
}

void TGraphCustomShapePosition::SetLeft(int32_t Value) {
  FCustomPosition = true;
  if (Value != BoxRect.Left) {
    const int32_t w = BoxRect.Right - BoxRect.Left;
    BoxRect.Left = Value;
    BoxRect.Right = Value + w;
  }
  Repaint();
}

void TGraphCustomShapePosition::SetTop(int32_t Value) {
  FCustomPosition = true;
  if (Value != BoxRect.Top) {
    const int32_t h = BoxRect.Bottom - BoxRect.Top;
    BoxRect.Top = Value;
    BoxRect.Bottom = Value + h;
  }
  Repaint();
}

TChartLegendGradient::TChartLegendGradient(const TNotifyEvent& OnChangeEvent) : TGraphGradient(OnChangeEvent) {
  SetDirection(gdRightLeft);
  SetEndColor(0xFFFFFF);
  SetStartColor(0xC0C0C0);
}

// ---------------------------------------------------------------------------------------------
// Symbol.

TLegendSymbol::TLegendSymbol(TCustomChartLegend* ALegend) : Legend(ALegend) {
  auto changed = [this](TObject*) { Repaint(); };
  FGradient = std::make_unique<TGraphGradient>(changed);
  FPen = std::make_unique<TChartPen>(changed);
}

TLegendSymbol::~TLegendSymbol() = default;

void TLegendSymbol::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TLegendSymbol*>(Source)) {
    FContinuous = s->FContinuous;
    FGradient->Assign(s->FGradient.get());
    FPen->Assign(s->FPen.get());
    FPosition = s->FPosition;
    FSquared = s->FSquared;
    FWidth = s->FWidth;
    FWidthUnits = s->FWidthUnits;
    FVisible = s->FVisible;
    return;
  }
  TPersistent::Assign(Source);
}

void TLegendSymbol::Repaint() {
  if (Legend) Legend->Repaint();
}

void TLegendSymbol::SetBool(bool& Field, bool Value) {
  if (Field != Value) {
    Field = Value;
    Repaint();
  }
}

void TLegendSymbol::SetPosition(TLegendSymbolPosition Value) {
  if (Value != FPosition) {
    FPosition = Value;
    Repaint();
  }
}

void TLegendSymbol::SetWidth(int32_t Value) {
  if (Value != FWidth) {
    FWidth = Value;
    Repaint();
  }
}

void TLegendSymbol::SetWidthUnits(TLegendSymbolSize Value) {
  if (Value != FWidthUnits) {
    FWidthUnits = Value;
    Repaint();
  }
}

int32_t TLegendSymbol::CalcWidth(int32_t TextWidth) {
  if (!FVisible) return 0;
  if (FSquared) return Legend->CalcItemHeight() - 5;
  if (FWidthUnits == lcsPixels) return FWidth;
  return Rnd(TextWidth * FWidth * 0.01);
}

void TLegendSymbol::DrawSymbol(TColor Color, const TRect& R) {
  TGraphCanvas3D* c = Legend->Chart->Canvas;
  c->AssignVisiblePen(FPen.get());
  if (FGradient->Visible()) {
    FGradient->SetEndColor(Color);
    FGradient->Draw(c, R);
    c->Brush->SetStyle(bsClear);
  } else {
    c->Brush->SetStyle(bsSolid);
    c->Brush->SetColor(0xFFFFFF);
  }
  if (FPen->Visible()) c->DrawRectangle(R);
}

// ---------------------------------------------------------------------------------------------
// Items.

TLegendItem* TLegendItems::Item(int Index) {
  if (Index < 0) throw ERangeError("Range check error");
  while (static_cast<int>(FItems.size()) <= Index) FItems.push_back(nullptr);
  if (!FItems[Index]) {
    FItems[Index] = std::make_unique<TLegendItem>();
    FItems[Index]->Legend = Legend;
  }
  return FItems[Index].get();
}

void TLegendItems::Clear() {
  FItems.clear();
  if (Legend) Legend->Repaint();
}

// ---------------------------------------------------------------------------------------------
// Legend.

TCustomChartLegend::TCustomChartLegend(TCustomAxisPanel* AChart) : TGraphCustomShapePosition(AChart), Chart(AChart) {
  Symbol = std::make_unique<TLegendSymbol>(this);
  FDividingLines = std::make_unique<TChartHiddenPen>([this](TObject*) { Repaint(); });
  FTitle = std::make_unique<TLegendTitle>(AChart);
  Items = std::make_unique<TLegendItems>(this);
  SetColor(0xFFFFFF);
}

TCustomChartLegend::~TCustomChartLegend() {
  Items.reset();
  FTitle.reset();
  Symbol.reset();
  FDividingLines.reset();
}

void TCustomChartLegend::Assign(TPersistent* Source) {
  if (auto* l = dynamic_cast<TCustomChartLegend*>(Source)) {
    FAlignment = l->FAlignment;
    FCheckBoxes = l->FCheckBoxes;
    FCheckBoxesStyle = l->FCheckBoxesStyle;
    FCurrentPage = l->FCurrentPage;
    FDividingLines->Assign(l->FDividingLines.get());
    FFirstValue = l->FFirstValue;
    FFontSeriesColor = l->FFontSeriesColor;
    FHorizMargin = l->FHorizMargin;
    FInverted = l->FInverted;
    FLeftPercent = l->FLeftPercent;
    FLegendStyle = l->FLegendStyle;
    FMaxNumRows = l->FMaxNumRows;
    FPositionUnits = l->FPositionUnits;
    FResizeChart = l->FResizeChart;
    Symbol->Assign(l->Symbol.get());
    FTextStyle = l->FTextStyle;
    FTitle->Assign(l->FTitle.get());
    FTopPos = l->FTopPos;
    FTopPercent = l->FTopPercent;
    FVertMargin = l->FVertMargin;
    FVertSpacing = l->FVertSpacing;
  }
  TGraphCustomShapePosition::Assign(Source);
}

void TCustomChartLegend::SetBool(bool& Field, bool Value) {
  if (Field != Value) {
    Field = Value;
    Repaint();
  }
}

void TCustomChartLegend::SetInt(int32_t& Field, int32_t Value) {
  if (Field != Value) {
    Field = Value;
    Repaint();
  }
}

void TCustomChartLegend::SetAlignment(TLegendAlignment Value) {
  if (Value != FAlignment) {
    FAlignment = Value;
    Repaint();
  }
}

void TCustomChartLegend::SetPositionUnits(TGraphUnits Value) {
  if (Value != FPositionUnits) {
    FPositionUnits = Value;
    Repaint();
  }
}

void TCustomChartLegend::SetTextStyle(TLegendTextStyle Value) {
  if (Value != FTextStyle) {
    FTextStyle = Value;
    Repaint();
  }
}

void TCustomChartLegend::SetFirstValue(int32_t Value) {
  if (Value < 0) throw LegendException(ErrLegendFirstValue);
  SetInt(FFirstValue, Value);
}

void TCustomChartLegend::SetCheckBoxesStyle(TCheckBoxesStyle Value) {
  if (Value == FCheckBoxesStyle) return;
  FCheckBoxesStyle = Value;
  if (Value == cbsRadio) {
    bool seen = false;
    for (int i = 0; i < Chart->CountSeries(); ++i) {
      TChartSeries* s = Chart->SeriesAt(i);
      if (!s->ShowInLegend() || !s->Active()) continue;
      if (seen) s->SetActive(false);
      seen = true;
    }
  }
  Repaint();
}

void TCustomChartLegend::SetLegendStyle(TLegendStyle Value) {
  if (Value != FLegendStyle) {
    FLegendStyle = Value;
    Repaint();
  }
  CalcLegendStyle();
}

void TCustomChartLegend::SetSeries(TChartSeries* Value) {
  Series = Value;
  Repaint();
}

void TCustomChartLegend::CalcLegendStyle() {
  if (FLegendStyle != lsAuto)
    EffectiveStyle = FLegendStyle;
  else
    EffectiveStyle = (FCheckBoxes || Chart->NumberOfActiveSeries() > 1) ? lsSeries : lsValues;
}

bool TCustomChartLegend::ShouldDraw() const {
  return Visible() && (HasCheckBoxes() || Chart->NumberOfActiveSeries() > 0);
}

TChartSeries* TCustomChartLegend::GetLegendSeries() const {
  if (Series) return Series;
  for (int i = 0; i < Chart->CountSeries(); ++i)
    if (Chart->SeriesAt(i)->Active()) return Chart->SeriesAt(i);
  return nullptr;
}

int32_t TCustomChartLegend::CalcItemHeight() {
  int32_t h = Chart->Canvas->FontHeight();
  if (FCheckBoxes) h = std::max(h, 17);
  h += FVertSpacing;
  if (IsVertical() && FDividingLines->Visible()) h += FDividingLines->Width();
  return h;
}

int32_t TCustomChartLegend::TitleBottom() {
  int32_t r = BoxRect.Top;
  if (TitleShown) {
    r += FTitle->TitleHeight + 2;
    if (!FTitle->Transparent() && FTitle->Shadow()) r += std::abs(FTitle->Shadow()->VertSize());
  }
  return r;
}

void SeriesValueLegendText(TCustomChartLegend* Legend, TChartSeries* Series, int32_t Index, std::string& Text) {
  Text.clear();
  if (Index == -1 || !Series) return;
  Series->FormatLegendText(Index, Legend->TextStyle(), Text);
  for (char& c : Text)
    if (c == '\r') c = ' ';
}

TChartSeries* TCustomChartLegend::SeriesOfItem(int32_t V, bool CountAll) const {
  return Chart->LegendSeriesAt(V, !CountAll);
}

void TCustomChartLegend::GetLegendText(int32_t Index, std::string& Text) {
  Text.clear();
  switch (EffectiveStyle) {
    case lsSeries:
      Text = Chart->LegendSeriesTitle(Index, !FCheckBoxes);
      break;
    case lsValues:
      Chart->GetSeriesLegendText(GetLegendSeries(), Index, Text);
      break;
    case lsLastValues:
      if (TChartSeries* s = SeriesOfItem(Index, FCheckBoxes)) Chart->GetSeriesLegendText(s, s->PointCount() - 1, Text);
      break;
    default:
      break;
  }
}

int32_t TCustomChartLegend::FrameWidth() {
  if (Bevel() != bvNone) return BevelWidth();
  return Pen()->Visible() ? Pen()->Width() : 0;
}

int32_t TCustomChartLegend::FitCount(int32_t Start, int32_t Size) {
  const TRect& cr = Chart->ChartRect;
  if (IsVertical()) {
    if (Start >= cr.Bottom || Size <= 0) return 0;
    return std::min(TotalItems, (Chart->ChartHeight + cr.Top - 2 * FrameWidth() - Start) / Size);
  }
  if (Start >= cr.Right || Size <= 0) return 0;
  return std::min(TotalItems, (Chart->ChartWidth - 2 * FrameWidth() - Start) / Size);
}

int32_t TCustomChartLegend::ColumnsWidth() {
  if (MeasureColumns) {
    ColumnWidths = {0, 0};
    for (size_t k = 0; k < FTexts.size(); ++k)
      for (int col = 0; col < 2; ++col) {
        std::string t = FTexts[k][col];
        if (col == 0 && Items->Custom && static_cast<int>(k) < Items->Count())
          t = Items->Item(static_cast<int>(k))->Text;
        ColumnWidths[col] = std::max(ColumnWidths[col], static_cast<int32_t>(Chart->Canvas->TextWidth(t)));
      }
  }
  return 2 * FSpace - 1 + ColumnWidths[0] + ColumnWidths[1];
}

void TCustomChartLegend::PlaceTexts(int32_t Start) {
  if (Symbol->Position() == spRight) {
    FTextX = Start + 6;
    FSymbolX = Start + FTextWidth + 6;
  } else {
    FSymbolX = Start + 6;
    FTextX = Start + SymbolWidth + 10;
  }
}

void TCustomChartLegend::PlaceVertical() {
  FTextWidth = ColumnsWidth();
  int32_t w = FTextWidth + 10;
  SymbolWidth = Symbol->CalcWidth(w);
  w += SymbolWidth;
  if (SizeHook) SizeHook(this, w);
  if (TitleShown) w = std::max(w, FTitle->TotalWidth());
  const TRect& cr = Chart->ChartRect;
  if (FAlignment == laLeft || FCustomPosition) {
    if (!FCustomPosition) BoxRect.Left = cr.Left + FrameWidth() + 1;
  } else {
    const int32_t shadow = Shadow() ? Shadow()->HorizSize() : 0;
    BoxRect.Right = cr.Right - (shadow + FrameWidth() + 1);
    BoxRect.Left = BoxRect.Right - w;
    if (HasCheckBoxes()) BoxRect.Left -= 15;
  }
  int32_t start = BoxRect.Left;
  if (HasCheckBoxes()) {
    FCheckX = BoxRect.Left + 4;
    start = FCheckX + 11;
  }
  BoxRect.Right = start + w;
  PlaceTexts(start);
}

void TCustomChartLegend::PlaceHorizontal() {
  int32_t total = Columns * (FTextWidth + SymbolWidth + 6) + 10;
  if (HasCheckBoxes()) total += Columns * 13 + 8;
  const int32_t half = std::min(Chart->ChartWidth, total) / 2;
  if (!FCustomPosition)
    BoxRect.Left = Chart->ChartXCenter + Rnd(FTopPos * (Chart->ChartBounds.Width() - 2.0 * half) * 0.01) - half;
  BoxRect.Right = BoxRect.Left + 2 * half;
  int32_t start = BoxRect.Left;
  if (HasCheckBoxes()) {
    FCheckX = BoxRect.Left + 4;
    start = BoxRect.Left + 15;
  }
  PlaceTexts(start);
}

void TCustomChartLegend::DrawLegend() {
  TGraphCanvas3D* c = Chart->Canvas;
  auto* chart = dynamic_cast<TCustomChart*>(Chart);
  CalcLegendStyle();
  const int32_t frameWidth = FrameWidth();
  if (FCustomPosition && FPositionUnits == muPercent) {
    const int32_t w = BoxRect.Right - BoxRect.Left, h = BoxRect.Bottom - BoxRect.Top;
    BoxRect.Left = Rnd(FLeftPercent * Chart->Width() * 0.01);
    BoxRect.Top = Rnd(FTopPercent * Chart->Height() * 0.01);
    BoxRect.Right = BoxRect.Left + w;
    BoxRect.Bottom = BoxRect.Top + h;
  }
  const bool paging = EffectiveStyle == lsValues && FCurrentPage && Chart->MaxPointsPerPage() > 0;
  if (paging) FFirstValue = (Chart->Page() - 1) * Chart->MaxPointsPerPage();
  if (Chart->MaxPointsPerPage() > 0 && EffectiveStyle != lsValues) FFirstValue = 0;

  TotalItems = 0;
  if (EffectiveStyle == lsValues) {
    TChartSeries* s = GetLegendSeries();
    if (s && s->ShowInLegend()) TotalItems = std::max(0, s->LegendEntryCount() - FFirstValue);
  } else {
    for (int i = 0; i < Chart->CountSeries(); ++i) {
      TChartSeries* s = Chart->SeriesAt(i);
      if (s->ShowInLegend() && (s->Active() || FCheckBoxes)) ++TotalItems;
    }
    TotalItems = std::max(0, TotalItems - FFirstValue);
  }
  if (paging) TotalItems = std::min(TotalItems, Chart->MaxPointsPerPage());

  Chart->LegendSymbolColor = Color();
  c->AssignFont(Font());
  FSpace = c->TextWidth(" ");
  FRowHeight = CalcItemHeight();
  TitleShown = FTitle->Visible() && FTitle->Text()->Count() > 0 && !FTitle->Text()->Text().empty();
  if (TitleShown) FTitle->CalcHeight();
  c->AssignFont(Font());

  auto collect = [&] {
    FTexts.assign(std::max(0, LastValue - FFirstValue + 1), {});
    for (int k = 0; k < static_cast<int>(FTexts.size()); ++k) {
      const int32_t v = FInverted ? LastValue - k : FFirstValue + k;
      std::string text;
      if (chart)
        chart->LegendItemText(this, v, text);
      else
        GetLegendText(v, text);
      const size_t sep = text.find(ColumnSeparator);
      if (sep == std::string::npos) {
        FTexts[k][0] = text;
      } else {
        FTexts[k][0] = text.substr(0, sep);
        const size_t sep2 = text.find(ColumnSeparator, sep + 1);
        FTexts[k][1] = text.substr(sep + 1, sep2 == std::string::npos ? std::string::npos : sep2 - sep - 1);
      }
    }
  };

  const TRect& cr = Chart->ChartRect;
  if (IsVertical()) {
    if (!FCustomPosition) BoxRect.Top = Chart->ChartBounds.Top + Rnd(FTopPos * Chart->ChartBounds.Height() * 0.01);
    Columns = 1;
    Rows = FitCount(TitleBottom(), FRowHeight);
    LastValue = std::min(TotalItems, Rows) + FFirstValue - 1;
    collect();
  } else {
    LastValue = FFirstValue + TotalItems - 1;
    collect();
    FTextWidth = ColumnsWidth();
    SymbolWidth = Symbol->CalcWidth(FTextWidth);
    if (!FCustomPosition) {
      if (FAlignment == laBottom) {
        int32_t gap = (Chart->Shadow() ? Chart->Shadow()->VertSize() : 0) + frameWidth + 1;
        if (SizeHook) SizeHook(this, gap);
        BoxRect.Bottom = cr.Bottom - gap;
      } else {
        BoxRect.Top = cr.Top + frameWidth + 1;
      }
    }
    int32_t columnWidth = SymbolWidth + FTextWidth + 8;
    if (HasCheckBoxes()) columnWidth += 27;
    Columns = FitCount(8, columnWidth);
    if (Columns < 1)
      Rows = 0;
    else
      Rows = std::min(FMaxNumRows, TotalItems / Columns + (TotalItems % Columns ? 1 : 0));
    LastValue = std::min(TotalItems, Columns * Rows) + FFirstValue - 1;
    collect();
  }
  if (LastValue >= FFirstValue) {
    int32_t height = FRowHeight * Rows + 2;
    if (TitleShown) {
      height += FTitle->TitleHeight + 2;
      if (!FTitle->Transparent() && FTitle->Shadow()) height += std::abs(FTitle->Shadow()->VertSize());
    }
    if (FAlignment == laBottom && !FCustomPosition)
      BoxRect.Top = BoxRect.Bottom - height;
    else
      BoxRect.Bottom = BoxRect.Top + height;
    if (IsVertical())
      PlaceVertical();
    else
      PlaceHorizontal();
    if (chart && chart->OnGetLegendRect) chart->OnGetLegendRect(chart, BoxRect);
    Draw();
    if (TitleShown) {
      FTitle->PlaceIn(BoxRect);
      FTitle->Draw();
      FTitle->DrawText();
      c->AssignFont(Font());
    }
    DrawItems();
    ResizeChartRect();
  }
  FTexts.clear();
}

void TCustomChartLegend::DrawItems() {
  TGraphCanvas3D* c = Chart->Canvas;
  auto* chart = dynamic_cast<TCustomChart*>(Chart);
  TChartSeries* legendSeries = GetLegendSeries();
  if (!Items->Custom) Items->Clear();
  const int n = LastValue - FFirstValue + 1;
  for (int k = 0; k < n; ++k) {
    const int32_t v = FInverted ? LastValue - k : FFirstValue + k;
    const int32_t item = FInverted ? LastValue - v : k;
    if (item >= TotalItems) continue;
    c->Brush->SetColor(Color());
    c->Brush->SetStyle(bsClear);
    int32_t x = FTextX, y = TitleBottom() + 1, sx = FSymbolX;
    int32_t colOffset = 0;
    int row = item;
    if (!IsVertical()) {
      row = item / Columns;
      colOffset = (item % Columns) * (FTextWidth + SymbolWidth + 6 + (HasCheckBoxes() ? 15 : 0));
      x += colOffset;
      sx += colOffset;
    }
    y += FRowHeight * row + FVertSpacing / 2;
    if (chart && chart->OnGetLegendPos) chart->OnGetLegendPos(chart, v, x, y, sx);
    if (FFontSeriesColor) {
      if (EffectiveStyle == lsValues) {
        if (legendSeries) c->Font->SetColor(legendSeries->LegendEntryColor(v));
      } else if (TChartSeries* s = SeriesOfItem(v, FCheckBoxes)) {
        c->Font->SetColor(s->SeriesColor());
      }
    }
    const int idx = k;  // the texts were collected in drawing order
    const std::array<std::string, 2> texts =
        idx >= 0 && idx < static_cast<int>(FTexts.size()) ? FTexts[idx] : std::array<std::string, 2>{};
    for (int col = 0; col < 2; ++col) {
      bool right = false;
      if (EffectiveStyle != lsSeries) {
        if (col == 0)
          right = FTextStyle == ltsLeftValue || FTextStyle == ltsLeftPercent || FTextStyle == ltsXValue ||
                  FTextStyle == ltsValue || FTextStyle == ltsPercent || FTextStyle == ltsXAndValue ||
                  FTextStyle == ltsXAndPercent;
        else
          right = FTextStyle == ltsRightValue || FTextStyle == ltsRightPercent || FTextStyle == ltsXAndValue ||
                  FTextStyle == ltsXAndPercent;
      }
      c->SetTextAlign(right ? TA_RIGHT : TA_LEFT);
      if (right) x += ColumnWidths[col];
      std::string text = texts[col];
      int32_t tx = x, ty = y + (HasCheckBoxes() ? 1 : 0);
      if (col == 0) {
        TLegendItem* it = Items->Item(item);
        if (Items->Custom) {
          tx = it->Left;
          ty = it->Top;
          text = it->Text;
        } else {
          it->Left = tx;
          it->Top = ty;
          it->Text = text;
          it->Align = right ? TA_RIGHT : TA_LEFT;
        }
      }
      if (!text.empty()) c->TextOutFormatted(tx, ty, text, TextFormat() == ttfHtml);
      if (!right) x += ColumnWidths[col];
      x += FSpace;
    }
    c->SetTextAlign(TA_LEFT);
    TRect r;
    TLegendItem* it = Items->Item(item);
    if (Items->Custom) {
      r = it->SymbolRect;
    } else {
      r.Left = sx;
      r.Right = sx + SymbolWidth;
      r.Top = y + 2;
      r.Bottom = y + FRowHeight + 1 - (FVertSpacing + 3);
      if (Symbol->Continuous()) {
        if (k != 0) r.Top = y;
        if (k != n - 1) r.Bottom = y + FRowHeight + 1;
      }
      it->SymbolRect = r;
    }
    TChartSeries* symbolSeries = nullptr;
    int32_t symbolIndex = -1;
    if (EffectiveStyle == lsValues) {
      symbolSeries = legendSeries;
      if (legendSeries) symbolIndex = legendSeries->LegendIndexToValue(v);
      if (SymbolWidth > 0) {
        if (legendSeries)
          legendSeries->DrawLegendSymbol(symbolIndex, r);
        else
          Symbol->DrawSymbol(0xFFFFFF, r);
      }
    } else {
      symbolSeries = SeriesOfItem(v, FCheckBoxes);
      if (HasCheckBoxes() && symbolSeries)
        DrawCheckBox(FCheckX + colOffset, y - 1 + (FRowHeight - FVertSpacing - 11) / 2, c->Handle(),
                     symbolSeries->Active(), Color(), FCheckBoxesStyle == cbsCheck);
      if (SymbolWidth > 0 && symbolSeries) symbolSeries->DrawLegendSymbol(-1, r);
    }
    if (Symbol->OnDraw) Symbol->OnDraw(Symbol.get(), symbolSeries, symbolIndex, r);
    if (k > 0 && FDividingLines->Visible()) {
      c->AssignVisiblePen(FDividingLines.get());
      if (IsVertical())
        c->HorizLine(BoxRect.Left, BoxRect.Right, y - FVertSpacing / 2);
      else
        c->VertLine(BoxRect.Left + colOffset + 2, BoxRect.Top, BoxRect.Bottom);
    }
  }
}

void TCustomChartLegend::ResizeChartRect() {
  TRect& cr = Chart->ChartRect;
  if (FResizeChart && !FCustomPosition) {
    switch (FAlignment) {
      case laLeft:
        cr.Left = BoxRect.Right;
        break;
      case laRight:
        cr.Right = BoxRect.Left;
        break;
      case laTop:
        cr.Top = BoxRect.Bottom + (Chart->Shadow() ? Chart->Shadow()->VertSize() : 0);
        break;
      case laBottom:
        cr.Bottom = BoxRect.Top;
        break;
    }
    if (IsVertical()) {
      const int32_t m = FHorizMargin ? FHorizMargin : 3 * Chart->ChartWidth / 100;
      if (FAlignment == laLeft)
        cr.Left += m;
      else
        cr.Right -= m;
    } else {
      const int32_t m = FVertMargin ? FVertMargin : 4 * Chart->ChartHeight / 100;
      if (FAlignment == laTop)
        cr.Top += m;
      else
        cr.Bottom -= m;
    }
  }
  Chart->CalcChartRectSize();
}

int32_t TCustomChartLegend::Clicked(int32_t X, int32_t Y) {
  TRect r = BoxRect;
  if (SizeHook) {
    int32_t w = 0;
    SizeHook(this, w);
    r.Right -= w;
  }
  if (!(X >= r.Left && X <= r.Right && Y >= r.Top && Y <= r.Bottom)) return -1;
  Chart->Canvas->AssignFont(Font());
  const int32_t rowHeight = CalcItemHeight();
  int row = -1;
  for (int i = 0; i < Rows; ++i) {
    const int32_t top = TitleBottom() + i * rowHeight + 1;
    if (Y >= top && Y <= top + rowHeight) {
      row = FInverted ? Rows - i - 1 : i;
      break;
    }
  }
  if (row == -1) return -1;
  if (IsVertical()) return row + FFirstValue;
  if (Columns <= 0) return -1;
  const int32_t width = (r.Right - r.Left) / Columns;
  int found = -1;
  for (int col = 0; col < Columns; ++col) {
    const int32_t left = r.Left + col * width + 1;
    if (X >= left && X <= left + width) found = col;
  }
  if (found == -1) return -1;
  const int index = row * Columns + (FInverted ? Columns - found - 1 : found);
  if (index > TotalItems - 1) return -1;
  return FFirstValue + index;
}

bool TCustomChartLegend::CheckBoxClicked(int32_t Index) {
  if (!HasCheckBoxes() || Index == -1) return false;
  if (FCheckBoxesStyle == cbsRadio) {
    int pos = 0;
    for (int i = 0; i < Chart->CountSeries(); ++i) {
      TChartSeries* s = Chart->SeriesAt(i);
      if (!s->ShowInLegend()) continue;
      s->SetActive(pos == Index);
      ++pos;
    }
  } else if (TChartSeries* s = SeriesOfItem(Index, true)) {
    s->SetActive(!s->Active());
  }
  return true;
}
