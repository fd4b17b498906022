// The selection tools of the editing window: the hand toggles one estimate; the two vertical
// lines, the two horizontal lines, the circle and the lasso remove ("Deleting") or restore
// ("Restoring") every estimate of the current frequency inside their shape. Each action
// re-stacks and recomputes the frequency, adds one journal record and refreshes every view.
#include <algorithm>
#include <cmath>

#include "app/site_session.h"
#include "app/views/edit_window.h"
#include "app/views/errpoint_series.h"
#include "app/views/series_factory.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "chart/series/bar_series.h"
#include "chart/series/tools_colorline.h"
#include "mtdata/site_file.h"
#include "platform/exceptions.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

namespace {

constexpr TCursor crCircleCursor = -5;  // "BULLSEY5"
constexpr int CircleRadiusSquared = 225;

}  // namespace

void TVaro1::PointerExecute(TObject* Sender) {
  auto* c = dynamic_cast<TComponent*>(Sender);
  const int tag = c ? static_cast<int>(c->Tag()) : 0;
  if (tag < 1 || tag > 6) return;
  const TCursor rest = tag == 4 ? crCircleCursor : crDefault;
  const TCursor series = tag == 2 ? crHandPoint : crDefault;
  for (TChart* chart : {Chart2, Chart4}) {
    chart->OriginalCursor = rest;
    chart->SetCursor(rest);
    for (TChartSeries* s : *chart->SeriesList()) s->SetCursor(series);
    chart->Zoom()->SetAllow(tag == 1 || tag == 2 || tag == 4);
  }
}

void TVaro1::HideSelectionLines() {
  for (int t = elVertFirst1; t <= elHorzSecond2; ++t) ChartTool(t)->SetActive(false);
}

void TVaro1::ChangeEstimate(TChartSeries* S, int J) {
  const int x = J + 1;
  if (x < 1 || x > Site->XprCount[CurFreq]) throw ERangeError("Range check error");
  int16_t& m = Site->Mask[CurFreq][x];
  if (m == 0) return;
  auto paint = [J](TChartSeries* Series, TColor Colour) {
    if (Series && J < Series->PointCount() && Series->PointColorAt(J) != clNone) Series->SetPointColorAt(J, Colour);
  };
  if (Session.Is(emDeleting)) {
    paint(S, RemovedColourOfEstimates());
    paint(XprWgtSeries, RemovedColourOfEstimates());
    m = 2;
  } else if (Session.Is(emRestoring)) {
    paint(S, S->SeriesColor());
    paint(XprWgtSeries, S->SeriesColor());
    m = 1;
  }
}

void TVaro1::SelectPoints(TChart* C, bool ErrPointsOnly, bool ActiveOnly, bool UsesY,
                          const std::function<bool(int PX, int PY)>& Inside) {
  if (!Site || CurFreq < 1 || CurFreq > Site->FreqCount) return;
  TChartAxis* bottom = C->BottomAxis();
  TChartAxis* left = C->LeftAxis();
  // The series list may not change under the loop: the selection only recolours points.
  for (TChartSeries* s : *C->SeriesList()) {
    if (ErrPointsOnly && !dynamic_cast<TErrPointSeries*>(s)) continue;
    if (ActiveOnly && !s->Active()) continue;
    TChartValueList* xs = s->XValues();
    TChartValueList* ys = s->YValues();
    for (int j = 0; j < s->PointCount(); ++j) {
      // A point the chart does not show (nothing computed, or not placeable on a log axis) has
      // no height to be found by.
      if (UsesY && s->PointColorAt(j) == clNone) continue;
      const int px = bottom->ValueToPixel(xs->Value(j));
      const int py = UsesY ? left->ValueToPixel(ys->Value(j)) : 0;
      if (Inside(px, py)) ChangeEstimate(s, j);
    }
  }
}

void TVaro1::FinishToolAction(const char* Action) {
  if (!Site || CurFreq < 1 || CurFreq > Site->FreqCount) return;
  Session.CommitMaskEdit(CurFreq, Action);
}

void TVaro1::Series11Click(TChartSeries* Sender, int ValueIndex, TMouseButton, TShiftState, int, int) {
  Chart2->CancelMouse = false;
  Chart4->CancelMouse = false;
  if (!Site || CurFreq < 1 || CurFreq > Site->FreqCount) return;
  const int x = ValueIndex + 1;
  if (x < 1 || x > Site->XprCount[CurFreq]) throw ERangeError("Range check error");
  if (Session.Is(emHand)) {
    int16_t& m = Site->Mask[CurFreq][x];
    if (m == 1 || m == 2) {
      m = m == 1 ? 2 : 1;
      // Every view shows the new stack, not only this window.
      Session.CommitMaskEdit(CurFreq, "Finger");
    }
  }
  (void)Sender;
  const int f = CurFreq;
  const double avg = Site->WeightSum2[f] != 0 ? Site->WeightSum1[f] / Site->WeightSum2[f] : 0;
  Session.SetStatusText(3, Site->WeightSum2[f] != 0 ? Format("AvWgt=%5.3f", {avg}) : std::string("AvWgt=0"));
  Session.SetStatusText(4, Format("Xpr=%d", {x}));
  Session.SetStatusText(5, Site->Weight2[f][x] != 0 ? Format("XprWt=%5.3f", {Site->Weight1[f][x] / Site->Weight2[f][x]})
                                                    : std::string("Xpr=0"));
  if (AvWgtSeries) {
    const int j = FindPointByFrequency(AvWgtSeries, Site->Frequencies[f]);
    if (j >= 0) AvWgtSeries->YValues()->SetValue(j, avg);
    Chart1->Invalidate();
  }
}

void TVaro1::Chart2MouseDown(TObject* Sender, TMouseButton, TShiftState, int X, int Y) {
  auto* c = dynamic_cast<TChart*>(Sender);
  if (!c) return;
  if (Session.Is(emTwoVert)) {
    if (!BandClick(VertClicks, VertX, X)) return;
    const int a = VertX[1], b = VertX[2];
    SelectPoints(c, true, false, false, [a, b](int PX, int) { return PX >= a && PX <= b; });
    FinishToolAction("VertLn");
    for (TEditLine t : {elVertFirst1, elVertSecond1, elVertFirst2, elVertSecond2}) ChartTool(t)->SetActive(false);
  } else if (Session.Is(emTwoHorz)) {
    if (!BandClick(HorzClicks, HorzY, Y)) return;
    const int a = HorzY[1], b = HorzY[2];
    SelectPoints(c, true, true, true, [a, b](int, int PY) { return PY >= a && PY <= b; });
    FinishToolAction("HorLn");
    for (TEditLine t : {elHorzFirst1, elHorzSecond1, elHorzFirst2, elHorzSecond2}) ChartTool(t)->SetActive(false);
  } else if (Session.Is(emCircle)) {
    SelectPoints(c, false, false, true, [X, Y](int PX, int PY) {
      const int dx = PX - X, dy = PY - Y;
      return dx * dx + dy * dy < CircleRadiusSquared;
    });
    FinishToolAction("Circle");
  } else if (Session.Is(emLasso)) {
    LassoStart = TPoint(X, Y);
    LassoDragging = true;
  }
}

void TVaro1::Chart2MouseMove(TObject* Sender, TShiftState, int X, int Y) {
  auto* c = dynamic_cast<TChart*>(Sender);
  if (!c) return;
  if (Session.Is(emTwoVert)) {
    const double v = c->BottomAxis()->PixelToValue(X);
    // The line of the click to come, on both estimate charts.
    for (TEditLine t :
         VertClicks == 0 ? std::array{elVertFirst1, elVertFirst2} : std::array{elVertSecond1, elVertSecond2}) {
      ChartTool(t)->SetActive(true);
      ChartTool(t)->SetValue(v);
    }
  } else if (Session.Is(emTwoHorz)) {
    const TEditLine t = c == Chart2 ? (HorzClicks == 0 ? elHorzFirst1 : elHorzSecond1)
                                    : (HorzClicks == 0 ? elHorzFirst2 : elHorzSecond2);
    ChartTool(t)->SetActive(true);
    ChartTool(t)->SetValue(c->LeftAxis()->PixelToValue(Y));
  } else {
    HideSelectionLines();
    VertClicks = 0;
  }
  if (LassoDragging && Session.Is(emLasso)) {
    c->Repaint();
    TGraphCanvas3D* canvas = c->Canvas;
    const int32_t background = static_cast<int32_t>(ColorToRGB(Chart1->Color()));
    canvas->Pen->SetColor(static_cast<TColor>((0xFF0000 - background) ^ 0xFF0000));
    canvas->Pen->SetMode(pmNotXor);
    canvas->Pen->SetStyle(psDot);
    canvas->Pen->SetWidth(1);
    canvas->Brush->SetStyle(bsClear);
    canvas->Rectangle(LassoStart.X, LassoStart.Y, X, Y);
    canvas->Pen->SetMode(pmCopy);
  }
}

void TVaro1::Chart2MouseUp(TObject* Sender, TMouseButton, TShiftState, int X, int Y) {
  auto* c = dynamic_cast<TChart*>(Sender);
  if (!c || !Session.Is(emLasso)) return;
  // Only a release that ends a press of the lasso selects: a stray release (the press made on
  // another window, or before the tool was chosen) changes nothing and adds no record.
  if (!LassoDragging) return;
  LassoDragging = false;
  const TPoint s = LassoStart;
  SelectPoints(c, false, false, true,
               [s, X, Y](int PX, int PY) { return s.X <= PX && PX <= X && s.Y <= PY && PY <= Y; });
  FinishToolAction("Lasso");
  c->Invalidate();
}
