#include "chart/extra/series_band_tools.h"

#include <algorithm>

#include "chart/engine/axis_panel.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/graph_effects.h"
#include "chart/engine/registries.h"
#include "chart/series/pie_series.h"

const TEnumInfo PieToolStyleInfo{"TPieToolStyle", {"ptFocus", "ptExplode"}};

// =============================================================================================
// Series band

VM_PUBLISH(TSeriesBandTool) {
  using T = TSeriesBandTool;
  P.Object("Brush", &T::Brush, &T::SetBrush);
  P.Bool("DrawBehindSeries", &T::DrawBehindSeries, &T::SetDrawBehindSeries).Default(true);
  P.Object("Gradient", &T::Gradient, &T::SetGradient);
  P.Object("Pen", &T::Pen, &T::SetPen);
  P.Component("Series2", &T::Series2, &T::SetSeries2);
  P.Int("Transparency", &T::Transparency, &T::SetTransparency).Default(0);
}

TSeriesBandTool::TSeriesBandTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {
  FGradient = std::make_unique<TGraphGradient>([this](TObject*) { Repaint(); });
  Brush()->SetColor(clWhite);
  Pen()->SetVisible(false);
}

TSeriesBandTool::~TSeriesBandTool() {
  Unhook(FSeries);
  Unhook(FSeries2);
  if (FSeries2) FSeries2->RemoveFreeNotification(this);
}

void TSeriesBandTool::GetDescription(std::string& Text) { Text = MsgGallerySeriesBand; }

void TSeriesBandTool::Hook(TChartSeries* S) {
  if (!S) return;
  S->BeforeDrawValues = [this](TObject* Sender) { SeriesDrawn(Sender, true); };
  S->AfterDrawValues = [this](TObject* Sender) { SeriesDrawn(Sender, false); };
}

void TSeriesBandTool::Unhook(TChartSeries* S) {
  if (!S) return;
  S->BeforeDrawValues = nullptr;
  S->AfterDrawValues = nullptr;
}

void TSeriesBandTool::SetSeries(TChartSeries* Value) {
  if (Value == FSeries) return;
  if (FSeries != FSeries2) Unhook(FSeries);
  TGraphCustomToolSeries::SetSeries(Value);
  Hook(FSeries);
  Repaint();
}

void TSeriesBandTool::SetSeries2(TChartSeries* Value) {
  if (Value == FSeries2) return;
  if (FSeries2) {
    if (FSeries2 != FSeries) Unhook(FSeries2);
    FSeries2->RemoveFreeNotification(this);
  }
  FSeries2 = Value;
  if (FSeries2) {
    FSeries2->FreeNotification(this);
    Hook(FSeries2);
  }
  Repaint();
}

void TSeriesBandTool::SetTransparency(int32_t Value) {
  const int32_t v = std::clamp(Value, 0, 100);
  if (v == FTransparency) return;
  FTransparency = v;
  Repaint();
}

void TSeriesBandTool::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove) {
    // The series' handlers point at this tool: they go with the reference.
    if (AComponent == FSeries) Unhook(FSeries);
    if (AComponent == FSeries2) {
      Unhook(FSeries2);
      FSeries2 = nullptr;
    }
  }
  TGraphCustomToolSeries::Notification(AComponent, Operation);
}

void TSeriesBandTool::HandleChartStage(TToolDrawStage Stage) {
  TGraphCustomToolSeries::HandleChartStage(Stage);
  if (Stage == tdsBeforeSeries) FDrawn1 = FDrawn2 = false;
}

void TSeriesBandTool::SeriesDrawn(TObject* Sender, bool Before) {
  if (Before != FDrawBehindSeries) return;
  if (Sender == FSeries) FDrawn1 = true;
  if (Sender == FSeries2) FDrawn2 = true;
  // Behind: just before the first of the two draws; in front: once the second has drawn.
  if (Before ? FDrawn1 != FDrawn2 : FDrawn1 && FDrawn2) DrawBand();
}

void TSeriesBandTool::DrawBand() {
  TCustomAxisPanel* chart = FParentChart;
  if (!Active() || !chart || !FSeries || !FSeries2) return;
  FSeries->FindVisibleRange();
  FSeries2->FindVisibleRange();
  const int32_t f1 = FSeries->FirstValueIndex, l1 = FSeries->LastValueIndex;
  const int32_t f2 = FSeries2->FirstValueIndex, l2 = FSeries2->LastValueIndex;
  if (f1 < 0 || l1 < f1 || f2 < 0 || l2 < f2) return;
  TPointArray points;
  points.reserve(static_cast<size_t>(l1 - f1 + l2 - f2 + 2));
  for (int32_t i = f1; i <= l1; ++i) points.emplace_back(FSeries->ScreenXAt(i), FSeries->ScreenYAt(i));
  for (int32_t i = l2; i >= f2; --i) points.emplace_back(FSeries2->ScreenXAt(i), FSeries2->ScreenYAt(i));
  const int z = std::max(FSeries->StartZ, FSeries2->StartZ);
  TGraphCanvas3D* c = chart->Canvas;
  TGraphBlend* blend = nullptr;
  if (FTransparency > 0) {
    TRect bounds(points[0].X, points[0].Y, points[0].X, points[0].Y);
    for (const TPoint& p : points) {
      bounds.Left = std::min(bounds.Left, p.X);
      bounds.Top = std::min(bounds.Top, p.Y);
      bounds.Right = std::max(bounds.Right, p.X);
      bounds.Bottom = std::max(bounds.Bottom, p.Y);
    }
    blend = c->BeginBlending(chart->View3D() ? c->ProjectedBounds(bounds, z) : bounds, FTransparency);
  }
  try {
    if (FGradient->Visible() && chart->CanClip()) {
      FGradient->DrawPolygon(c, points, chart->View3D(), z);
    } else {
      c->ClipRectangle(chart->View3D() ? c->ProjectedBounds(chart->ChartRect, z) : chart->ChartRect);
      c->AssignBrush(Brush(), Brush()->Color());
      c->AssignVisiblePen(Pen());
      if (chart->View3D())
        c->PolygonWithZ(points, z);
      else
        c->Polygon(points);
      c->UnClipRectangle();
    }
  } catch (...) {
    if (blend) c->EndBlending(blend);
    throw;
  }
  if (blend) c->EndBlending(blend);
}

// =============================================================================================
// Extra legend

VM_PUBLISH(TExtraLegendTool) { P.Object("Legend", &TExtraLegendTool::Legend, &TExtraLegendTool::SetLegend); }

TExtraLegendTool::TExtraLegendTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {}

TExtraLegendTool::~TExtraLegendTool() = default;

void TExtraLegendTool::GetDescription(std::string& Text) { Text = MsgGalleryExtraLegend; }

TChartLegend* TExtraLegendTool::Legend() {
  if (!FLegend) {
    FLegend = std::make_unique<TChartLegend>(FParentChart);
    FLegend->SetCustomPosition(true);
    FLegend->SetLegendStyle(lsValues);
  }
  return FLegend.get();
}

void TExtraLegendTool::SetParentChart(TCustomAxisPanel* Value) {
  TGraphCustomToolSeries::SetParentChart(Value);
  if (!FLegend) return;
  FLegend->Chart = Value;
  FLegend->SetParentChart(Value);
  FLegend->DividingLines()->OnChange = [this](TObject*) {
    if (FParentChart) FParentChart->Invalidate();
  };
}

void TExtraLegendTool::SetSeries(TChartSeries* Value) {
  TGraphCustomToolSeries::SetSeries(Value);
  Repaint();
}

void TExtraLegendTool::HandleChartStage(TToolDrawStage Stage) {
  TGraphCustomToolSeries::HandleChartStage(Stage);
  if (Stage != tdsAfterDraw || !Active() || !FParentChart || !FSeries) return;
  TChartLegend* legend = Legend();
  if (legend->Chart != FParentChart) {
    legend->Chart = FParentChart;
    legend->SetParentChart(FParentChart);
  }
  legend->SetSeries(FSeries);
  if (legend->Visible()) legend->DrawLegend();
}

// =============================================================================================
// Pie slices

VM_PUBLISH(TPieTool) {
  P.Object("Pen", &TPieTool::Pen, &TPieTool::SetPen);
  P.Enum("Style", &TPieTool::Style, &TPieTool::SetStyle, PieToolStyleInfo).Default(ptFocus);
}

TPieTool::TPieTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {
  Pen()->SetWidth(4);
  Pen()->SetStyle(psSolid);
}

void TPieTool::GetDescription(std::string& Text) { Text = MsgGalleryPieSlices; }

TPieSeries* TPieTool::Pie() const { return dynamic_cast<TPieSeries*>(FSeries); }

void TPieTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphCustomToolSeries::HandleChartMouse(Kind, Button, Shift, X, Y);
  if (Kind != meMove || !FSeries || !Active()) return;
  const int32_t i = FSeries->PointIndexAt(X, Y);
  if (i == FSlice) return;
  if (FSlice != -1) MarkSlice(FSlice, false);
  FSlice = i;
  if (FSlice != -1) MarkSlice(FSlice, true);
}

void TPieTool::MarkSlice(int32_t Slice, bool On) {
  TPieSeries* pie = Pie();
  TCustomAxisPanel* chart = FParentChart;
  if (!pie || !chart || Slice < 0 || Slice >= pie->PointCount()) return;
  if (FStyle == ptExplode) {
    // Twenty steps out to 40, or back to 0, the chart shown after each.
    for (int k = 1; k <= 20; ++k) {
      pie->SetExplodedSlice(Slice, On ? 2 * k : 40 - 2 * k);
      chart->Repaint();
    }
    return;
  }
  if (!On) {
    chart->Repaint();
    return;
  }
  const std::vector<TPieAngle>& angles = pie->Angles();
  if (Slice >= static_cast<int32_t>(angles.size())) return;
  TGraphCanvas3D* c = chart->Canvas;
  const TColor slice = pie->PointColorAt(Slice);
  TColor color = Pen()->Color();
  if (color == slice) color = color == clBlack ? clWhite : clBlack;
  c->AssignVisiblePen(Pen());
  c->Pen->SetColor(color);
  c->Brush->SetStyle(bsClear);
  const TPieAngle& g = angles[static_cast<size_t>(Slice)];
  const TPieAngle& previous = angles[static_cast<size_t>(Slice == 0 ? angles.size() - 1 : Slice - 1)];
  int sx, sy, ex, ey;
  pie->AngleToPos(previous.EndAngle, pie->XRadius, pie->YRadius, sx, sy);
  pie->AngleToPos(g.EndAngle, pie->XRadius, pie->YRadius, ex, ey);
  int dx, dy;
  pie->ExplodeOffset(Slice, dx, dy);
  const TRect& r = pie->CircleRect;
  c->Pie(r.Left + dx, r.Top - dy, r.Right + dx, r.Bottom - dy, sx + dx, sy - dy, ex + dx, ey - dy);
  chart->Canvas->Invalidate();
}

void RegisterSeriesBandTools() {
  RegisterToolTypes({TSeriesBandTool::StaticClass(), TExtraLegendTool::StaticClass(), TPieTool::StaticClass()});
}

void UnregisterSeriesBandTools() {
  UnregisterToolTypes({TSeriesBandTool::StaticClass(), TExtraLegendTool::StaticClass(), TPieTool::StaticClass()});
}
