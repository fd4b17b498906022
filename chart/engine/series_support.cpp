// The visible range, page range and depth of a series, legend texts and symbols, random sample
// points and sorting.
#include <algorithm>
#include <cmath>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/graph_panel.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/tool_base.h"
#include "platform/datetime.h"
#include "platform/guards.h"
#include "platform/sysutils.h"

using namespace series_link;

int32_t RandomInteger(int32_t Limit) { return Random(Limit); }

void TChartSeries::FindVisibleRange() {
  FirstValueIndex = LastValueIndex = -1;
  const int32_t n = PointCount();
  if (n < 1) return;
  int32_t last = n - 1;
  if (!LimitVisibleRange || NotMandatoryList->Order() == loNone || !FParentChart) {
    FirstValueIndex = 0;
    LastValueIndex = last;
    return;
  }
  const TRect r = AxisRect(FParentChart);
  double minPos, maxPos;
  if (YMandatory) {
    TChartAxis* a = HorizAxisObject;
    if (!a) {
      FirstValueIndex = 0;
      LastValueIndex = last;
      return;
    }
    const bool inv = Inverted(a);
    minPos = PixelToValue(a, inv ? r.Right : r.Left);
    maxPos = PixelToValue(a, inv ? r.Left : r.Right);
  } else {
    TChartAxis* a = VertAxisObject;
    if (!a) {
      FirstValueIndex = 0;
      LastValueIndex = last;
      return;
    }
    const bool inv = Inverted(a);
    minPos = PixelToValue(a, inv ? r.Top : r.Bottom);
    maxPos = PixelToValue(a, inv ? r.Bottom : r.Top);
  }
  const double* v = NotMandatoryList->Data();
  int32_t first = -1;
  for (int32_t i = 0; i < n; ++i)
    if (v[i] >= minPos) {
      first = i;
      break;
    }
  if (first == -1) return;
  if (!(v[last] > maxPos)) {
    last = n - 1;
  } else {
    last = first;
    while (last < n - 1 && v[last] < maxPos) ++last;
    if (!KeepPointBeyondEnd && v[last] > maxPos) --last;
  }
  FirstValueIndex = first;
  LastValueIndex = last;
}

void TChartSeries::CalcPageRange(int32_t& First, int32_t& Last) {
  const int32_t n = PointCount();
  if (n == 0) {
    First = Last = -1;
    return;
  }
  const int32_t p = FParentChart ? MaxPointsPerPage(FParentChart) : 0;
  if (p <= 0) {
    First = 0;
    Last = n - 1;
    return;
  }
  const int32_t page = FParentChart ? Page(FParentChart) : 1;
  First = p * (page - 1);
  if (First >= n) First = p * std::max(0, n / p - 1);
  Last = First + p - 1;
  if (Last >= n) Last = First + (n % p) - 1;
}

void TChartSeries::AssignZOrder() {
  if (FZOrder == -1) {
    if (FParentChart && View3D(FParentChart)) {
      SetMaxZOrder(FParentChart, MaxZOrder(FParentChart) + 1);
      AutoZOrder = MaxZOrder(FParentChart);
    } else {
      AutoZOrder = 0;
    }
  } else if (FParentChart) {
    SetMaxZOrder(FParentChart, std::max(MaxZOrder(FParentChart), EffectiveZOrder()));
  }
}

void TChartSeries::CalcDepthPositions() {
  const int32_t w = FParentChart ? SeriesWidth3D(FParentChart) : 0;
  StartZ = w * AutoZOrder;
  EndZ = StartZ + (FDepth == -1 ? w : FDepth);
  MiddleZ = (StartZ + EndZ) / 2;
  FMarks->ZPosition = MiddleZ;
}

bool TChartSeries::SharesZOrder() {
  if (!FParentChart || !PlacesSeriesApart(FParentChart)) return false;
  for (int i = 0; i < CountSeries(FParentChart); ++i) {
    TChartSeries* s = SeriesAt(FParentChart, i);
    if (s != this && s->Active() && !s->ExcludeFromZGrouping && s->EffectiveZOrder() == EffectiveZOrder()) return true;
  }
  return false;
}

bool TChartSeries::IsFirstOfZOrder() {
  if (!FActive) return false;
  if (!FParentChart) return true;
  for (int i = 0; i < CountSeries(FParentChart); ++i) {
    TChartSeries* s = SeriesAt(FParentChart, i);
    if (s == this) break;
    if (s->Active() && s->EffectiveZOrder() == EffectiveZOrder()) return false;
  }
  return true;
}

void TChartSeries::FormatLegendText(int32_t ValueIndex, TLegendTextStyle Style, std::string& Text) {
  const int32_t idx = LegendIndexToValue(ValueIndex);
  const std::string label = LabelAt(idx);
  Text = label;
  if (Style == ltsPlain) return;
  const double v = MainValueAt(idx);
  auto valueText = [&] {
    if (MandatoryList->DateTime()) return FormatDateTime(DateTimeDefaultFormat(v), v);
    return FormatFloat(FValueFormat, v);
  };
  auto percentText = [&] {
    const double tot = MandatoryList->GetTotalAbs();
    return FormatFloat(FPercentFormat, tot == 0 ? 100.0 : v * 100 / tot);
  };
  auto xText = [&] {
    const double x = XValueAt(idx);
    if (HorizAxisObject) return LabelText(HorizAxisObject, x);
    return FormatFloat(FValueFormat, x);
  };
  const std::string sep(1, LegendColumnSeparator);
  switch (Style) {
    case ltsPlain:
      break;
    case ltsLeftValue:
      Text = valueText() + (label.empty() ? "" : sep + label);
      break;
    case ltsRightValue:
      Text = (label.empty() ? "" : label + sep) + valueText();
      break;
    case ltsLeftPercent:
      Text = percentText() + (label.empty() ? "" : sep + label);
      break;
    case ltsRightPercent:
      Text = (label.empty() ? "" : label + sep) + percentText();
      break;
    case ltsXValue:
      Text = xText();
      break;
    case ltsValue:
      Text = valueText();
      break;
    case ltsPercent:
      Text = percentText();
      break;
    case ltsXAndValue:
      Text = xText() + sep + valueText();
      break;
    case ltsXAndPercent:
      Text = xText() + sep + percentText();
      break;
  }
}

void TChartSeries::DrawLegendSymbol(int32_t ValueIndex, const TRect& Rect) {
  if (!FParentChart) return;
  const TColor color = ValueIndex == -1 ? SeriesColor() : LegendEntryColor(ValueIndex);
  if (color == clNone) return;
  const bool oldRepaint = AutoRepaint(FParentChart);
  SetAutoRepaint(FParentChart, false);
  TGraphCanvas3D* c = Canvas(FParentChart);
  TBrushStyle oldStyle = Brush()->Style();
  TScopeExit restore([&] {
    Brush()->SetStyle(oldStyle);
    SetAutoRepaint(FParentChart, oldRepaint);
  });
  if (c) {
    c->Brush->SetColor(color);
    c->AssignVisiblePen(Pen());
  }
  TColor back = LegendSymbolColor(FParentChart);
  TBrushStyle style = Brush()->Style();
  AdjustLegendBrush(ValueIndex, back, style);
  if (back == clDefault) {
    back = LegendSymbolColor(FParentChart);
    if (back == clDefault) back = ChartColor(FParentChart);
  }
  if (style != oldStyle) Brush()->SetStyle(style);
  SetBrushCanvas(FParentChart, color, Brush(), back);
  FillLegendSymbol(ValueIndex, Rect);
}

void TChartSeries::CalcRandomBounds(int32_t Count, TRandomPointBounds& Bounds) {
  double minY = 0, maxY = 1000, minX, maxX;
  if (FParentChart && MaxPointCount(FParentChart) > 0) {
    minY = LowestYOnAxis(FParentChart, VertAxisObject);
    maxY = HighestYOnAxis(FParentChart, VertAxisObject);
    if (minY == maxY) maxY = maxY == 0 ? 1000 : 2 * minY;
    minX = LowestXOnAxis(FParentChart, HorizAxisObject);
    maxX = HighestXOnAxis(FParentChart, HorizAxisObject);
    if (minX == maxX) maxX = maxX == 0 ? Count - 1 : 2 * minX;
    if (!YMandatory) {
      std::swap(minX, minY);
      std::swap(maxX, maxY);
    }
  } else if (FXValues->DateTime()) {
    minX = Date();
    maxX = minX + Count - 1;
  } else {
    minX = 0;
    maxX = Count - 1;
  }
  Bounds.StepX = maxX - minX;
  if (Count > 1) Bounds.StepX /= (Count - 1);
  Bounds.StartX = minX;
  Bounds.DifY = std::clamp(maxY - minY, -2147483647.0, 2147483647.0);
  Bounds.tmpY = minY + Bounds.DifY * RandomInteger(100) * 0.01;
  Bounds.MinY = minY;
}

void TChartSeries::AddRandomPoints(int32_t Count, bool ValuesOnly) {
  TRandomPointBounds b;
  CalcRandomBounds(Count, b);
  const double a = b.DifY * 0.25;
  double x = b.StartX;
  for (int32_t i = 0; i < Count; ++i) {
    b.tmpY = std::fabs(b.tmpY + a * RandomInteger(100) * 0.01 - a * 0.5);
    if (ValuesOnly) {
      AddValue(b.tmpY, "", clDefault);
    } else {
      if (YMandatory)
        AddPoint(x, b.tmpY, "", clDefault);
      else
        AddPoint(b.tmpY, x, "", clDefault);
      x += b.StepX;
    }
  }
}

void TChartSeries::FillSampleValues(int32_t NumValues) {
  if (NumValues < 0) throw ChartException(ErrSampleCount);
  if (NumValues == 0) NumValues = SampleCount > 0 ? SampleCount : DefaultRandomCount();
  ClearValues();
  RandSeed = static_cast<uint32_t>(RandomInteger(7774444));
  BeginUpdate();
  TScopeExit restore([&] {
    EndUpdate();
    DataIsOwn = false;
  });
  AddRandomPoints(NumValues, false);
  SortByValueOrder();
}

void TChartSeries::MakeGalleryThumbnail(bool Coloured) {
  FillSampleValues(4);
  FMarks->SetVisible(false);
  FMarks->Font()->SetSize(7);
  FMarks->SetArrowLength(4);
  FMarks->SetDrawEvery(2);
  FColorEachPoint = false;
  TColor c;
  if (Coloured)
    c = FParentChart ? GetPaletteColor(FParentChart, SeriesIndex(FParentChart, this) == 0 ? 0 : 3)
                     : GetDefaultColor(SeriesIndex(FParentChart, this) == 0 ? 0 : 3);
  else
    c = clSilver;
  SetSeriesColor(c);
}

void TChartSeries::SortByValueOrder() {
  if (MandatoryList->Order() == loNone) return;
  MandatoryList->Sort();
  if (NotMandatoryList->ValueSource().empty()) NotMandatoryList->FillSequence();
  Repaint();
}

int32_t TChartSeries::CompareLabelTexts(int32_t Index1, int32_t Index2) {
  const int c = LabelAt(Index1).compare(LabelAt(Index2));
  const int32_t r = c < 0 ? -1 : (c > 0 ? 1 : 0);
  return LabelSortOrder == loDescending ? -r : r;
}

void TChartSeries::OrderByLabels(TChartListOrder Order) {
  if (Order == loNone) return;
  LabelSortOrder = Order;
  QuickSortIndexes(
      0, PointCount() - 1, [this](int a, int b) { return CompareLabelTexts(a, b); },
      [this](int a, int b) { ExchangePoints(a, b); });
  LabelSortOrder = loNone;
  NotMandatoryList->FillSequence();
  Repaint();
}
