#include "app/views/series_factory.h"

#include <utility>

#include "app/views/errpoint_series.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "chart/series/polar_series.h"
#include "mtdata/mt_types.h"

TColor SeriesColor(int I) { return static_cast<TColor>(PlotSettings.Styles[(I - 1) % 10 + 1]); }

TSeriesPointerStyle SeriesPointerStyle(int I) {
  return static_cast<TSeriesPointerStyle>(PlotSettings.Styles[10 + (I - 1) % 9 + 1]);
}

TColor MaskColour(TColor CurveColour, int MaskValue) {
  switch (MaskValue) {
    case 0:
      return static_cast<TColor>(PlotSettings.Styles[22]);
    case 1:
      return CurveColour;
    case 2:
      return static_cast<TColor>(PlotSettings.Styles[20]);
    default:
      return static_cast<TColor>(0);
  }
}

void CreateErrPointSeriesSet(TComponent* Owner, TCustomAxisPanel* Chart, int OuterCount, const TSeriesClick& OnClick,
                             int InnerCount) {
  for (int i = 1; i <= OuterCount; ++i) {
    for (int j = 1; j <= InnerCount; ++j) {
      auto* s = new TErrPointSeries(Owner);
      s->Pointer()->SetStyle(SeriesPointerStyle(j));
      s->Pointer()->SetHorizSize(PlotSettings.PointSize);
      s->Pointer()->SetVertSize(PlotSettings.PointSize);
      s->Pointer()->SetVisible(PlotSettings.Point);
      s->Pointer()->Pen()->SetVisible(PlotSettings.PointBorder);
      s->Pen()->SetVisible(PlotSettings.Line);
      s->ErrLinePen()->SetVisible(PlotSettings.Bar);
      s->SetHorizGap(PlotSettings.PointSize);
      s->SetParentChart(Chart);
      s->OnClick = OnClick;
      s->SetTag(Chart->SeriesList()->Count());
      s->SetCursor(crDefault);
      s->SetColorEachPoint(true);
      s->SetColorEachLine(false);
      s->SetSeriesColor(SeriesColor(i));
      s->XValues()->SetOrder(loAscending);
    }
  }
}

void CreatePolarSeriesSet(TComponent* Owner, TCustomAxisPanel* Chart, int Count, const TSeriesClick& OnClick) {
  for (int i = 1; i <= Count; ++i) {
    auto* s = new TPolarSeries(Owner);
    s->Pointer()->SetStyle(i % 2 ? psDownTriangle : psTriangle);
    s->Pointer()->SetHorizSize(PlotSettings.PointSize);
    s->Pointer()->SetVertSize(PlotSettings.PointSize);
    s->Pointer()->SetVisible(PlotSettings.Point);
    s->SetCloseCircle(false);
    s->SetParentChart(Chart);
    s->XValues()->SetOrder(loNone);
    s->OnClick = OnClick;
    s->SetCursor(crDefault);
    s->SetColorEachPoint(true);
    s->SetSeriesColor(SeriesColor(i));
  }
}

bool BandClick(int& Clicks, std::array<int, 3>& At, int Position) {
  if (Clicks == 0) {
    At[1] = Position;
    Clicks = 1;
    return false;
  }
  At[2] = Position;
  Clicks = 0;
  if (At[1] > At[2]) std::swap(At[1], At[2]);
  return true;
}
