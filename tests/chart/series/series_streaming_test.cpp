// Each standard series family written to the component text form and read back into a fresh
// series keeps the settings its editor shows.
#include <gtest/gtest.h>

#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/value_lists.h"
#include "chart/series/bar_series.h"
#include "chart/series/error_series.h"
#include "chart/series/histogram_series.h"
#include "chart/series/line_series.h"
#include "chart/series/pie_series.h"
#include "platform/streaming.h"
#include "platform/typinfo.h"

namespace {
template <class T>
std::unique_ptr<T> RoundTrip(T& Source) {
  auto r = std::make_unique<T>(nullptr);
  TextToComponent(ComponentToText(&Source), r.get());
  return r;
}
}  // namespace

TEST(SeriesStreaming, LineSeriesKeepsItsSettings) {
  TLineSeries s(nullptr);
  s.SetStairs(true);
  s.SetInvertedStairs(true);
  s.SetLineHeight(4);
  s.SetColorEachLine(false);
  s.SetDark3D(false);
  s.SetClickableLine(false);
  s.SetStacked(cssStack);
  s.SetLineBrush(bsCross);
  s.LinePen()->SetWidth(3);
  s.OutLine()->SetVisible(true);
  s.Pointer()->SetVisible(true);
  s.Pointer()->SetStyle(psDiamond);
  s.Shadow()->SetHorizSize(3);
  s.Shadow()->SetColor(clNavy);
  s.AddXY(1, 2);
  auto r = RoundTrip(s);
  EXPECT_EQ(r->Shadow()->HorizSize(), 3);
  EXPECT_EQ(r->Shadow()->Color(), clNavy);
  EXPECT_TRUE(r->Stairs());
  EXPECT_TRUE(r->InvertedStairs());
  EXPECT_EQ(r->LineHeight(), 4);
  EXPECT_FALSE(r->ColorEachLine());
  EXPECT_FALSE(r->Dark3D());
  EXPECT_FALSE(r->ClickableLine());
  EXPECT_EQ(r->Stacked(), cssStack);
  EXPECT_EQ(r->LineBrush(), bsCross);
  EXPECT_EQ(r->LinePen()->Width(), 3);
  EXPECT_TRUE(r->OutLine()->Visible());
  EXPECT_TRUE(r->Pointer()->Visible());
  EXPECT_EQ(r->Pointer()->Style(), psDiamond);
  EXPECT_EQ(r->PointCount(), 1);
  // Untouched settings are not written at all.
  TLineSeries plain(nullptr);
  const std::string text = ComponentToText(&plain);
  for (const char* name : {"Stairs", "LineHeight", "Stacked", "ClickableLine"})
    EXPECT_EQ(text.find(name), std::string::npos) << name << "\n" << text;
}

TEST(SeriesStreaming, PointAndAreaSeriesKeepSettingsThatDifferFromTheirStart) {
  TPointSeries p(nullptr);
  p.SetClickableLine(true);  // the point series starts with it off
  p.SetTransparency(30);
  p.Pointer()->SetHorizSize(7);
  auto rp = RoundTrip(p);
  EXPECT_TRUE(rp->ClickableLine());
  EXPECT_EQ(rp->Transparency(), 30);
  EXPECT_EQ(rp->Pointer()->HorizSize(), 7);

  TAreaSeries a(nullptr);
  a.SetDrawArea(false);  // the area series starts with it on
  a.SetMultiArea(maStacked100);
  a.SetAreaColor(clYellow);
  a.SetAreaBrush(bsBDiagonal);
  a.AreaLinesPen()->SetColor(clRed);
  a.SetUseYOrigin(true);
  a.SetYOrigin(2.5);
  a.SetTransparency(20);
  a.Gradient()->SetVisible(true);
  a.Gradient()->SetStartColor(clLime);
  auto ra = RoundTrip(a);
  EXPECT_TRUE(ra->Gradient()->Visible());
  EXPECT_EQ(ra->Gradient()->StartColor(), clLime);
  EXPECT_FALSE(ra->DrawArea());
  EXPECT_EQ(ra->MultiArea(), maStacked100);
  EXPECT_EQ(ra->AreaColor(), clYellow);
  EXPECT_EQ(ra->AreaBrush(), bsBDiagonal);
  EXPECT_EQ(ra->AreaLinesPen()->Color(), clRed);
  EXPECT_TRUE(ra->UseYOrigin());
  EXPECT_EQ(ra->YOrigin(), 2.5);
  EXPECT_EQ(ra->Transparency(), 20);
}

TEST(SeriesStreaming, BarSeriesKeepTheirSettings) {
  TBarSeries b(nullptr);
  b.SetBarStyle(bsCilinder);
  b.SetMultiBar(mbStacked);
  b.SetBarWidthPercent(55);
  b.SetCustomBarWidth(12);
  b.SetOffsetPercent(10);
  b.SetSideMargins(false);
  b.SetStackGroup(2);
  b.SetUseYOrigin(false);
  b.SetYOrigin(-1);
  b.SetBevelSize(3);
  b.SetAutoMarkPosition(false);
  b.SetDepthPercent(50);
  b.TickLines()->SetVisible(true);
  b.BarBrush()->SetStyle(bsCross);
  b.BarPen()->SetColor(clBlue);
  b.AddY(5);
  auto r = RoundTrip(b);
  EXPECT_EQ(r->BarStyle(), bsCilinder);
  EXPECT_EQ(r->MultiBar(), mbStacked);
  EXPECT_EQ(r->BarWidthPercent(), 55);
  EXPECT_EQ(r->CustomBarWidth(), 12);
  EXPECT_EQ(r->OffsetPercent(), 10);
  EXPECT_FALSE(r->SideMargins());
  EXPECT_EQ(r->StackGroup(), 2);
  EXPECT_FALSE(r->UseYOrigin());
  EXPECT_EQ(r->YOrigin(), -1);
  EXPECT_EQ(r->BevelSize(), 3);
  EXPECT_FALSE(r->AutoMarkPosition());
  EXPECT_EQ(r->DepthPercent(), 50);
  EXPECT_TRUE(r->TickLines()->Visible());
  EXPECT_EQ(r->BarBrush()->Style(), bsCross);
  EXPECT_EQ(r->BarPen()->Color(), clBlue);
  EXPECT_EQ(r->PointCount(), 1);

  THorizBarSeries h(nullptr);
  h.SetCustomBarHeight(9);
  EXPECT_FALSE(IsPublishedProp(&h, "CustomBarWidth"));
  EXPECT_EQ(RoundTrip(h)->CustomBarHeight(), 9);
}

TEST(SeriesStreaming, HistogramKeepsItsPens) {
  THistogramSeries s(nullptr);
  s.LinesPen()->SetVisible(true);
  s.LinesPen()->SetColor(clGreen);
  s.SetTransparency(15);
  s.Brush()->SetColor(clAqua);
  auto r = RoundTrip(s);
  EXPECT_TRUE(r->LinesPen()->Visible());
  EXPECT_EQ(r->LinesPen()->Color(), clGreen);
  EXPECT_EQ(r->Transparency(), 15);
  EXPECT_EQ(r->Brush()->Color(), clAqua);
}

// Marks start shown on bars and pies and with a callout length of their own: settings back at
// the common default are written too, and those still at the type's start are not.
TEST(SeriesStreaming, MarksKeepVisibilityAndCalloutLengthRelativeToTheSeriesTypesStart) {
  TBarSeries b(nullptr);
  b.Marks()->SetVisible(false);
  b.Marks()->Callout()->SetLength(8);
  auto rb = RoundTrip(b);
  EXPECT_FALSE(rb->Marks()->Visible());
  EXPECT_EQ(rb->Marks()->Callout()->Length(), 8);

  TPieSeries p(nullptr);
  p.Marks()->SetVisible(false);
  auto rp = RoundTrip(p);
  EXPECT_FALSE(rp->Marks()->Visible());

  TLineSeries l(nullptr);
  l.Marks()->SetVisible(true);
  l.Marks()->Callout()->SetLength(20);
  auto rl = RoundTrip(l);
  EXPECT_TRUE(rl->Marks()->Visible());
  EXPECT_EQ(rl->Marks()->Callout()->Length(), 20);

  TBarSeries plain(nullptr);
  const std::string text = ComponentToText(&plain);
  EXPECT_EQ(text.find("Marks.Visible"), std::string::npos) << text;
  EXPECT_EQ(text.find("Length"), std::string::npos) << text;
  TBarSeries back(nullptr);
  TextToComponent(text, &back);
  EXPECT_TRUE(back.Marks()->Visible());
  EXPECT_EQ(back.Marks()->Callout()->Length(), 20);
}

TEST(SeriesStreaming, ErrorAndHighLowSeriesKeepTheirSettings) {
  TErrorSeries e(nullptr);
  e.SetErrorStyle(essLeftRight);
  e.SetErrorWidth(40);
  e.SetErrorWidthUnits(ewuPixels);
  e.ErrorPen()->SetWidth(2);
  e.AddErrorBar(1, 5, 0.5);
  auto re = RoundTrip(e);
  EXPECT_EQ(re->ErrorStyle(), essLeftRight);
  EXPECT_EQ(re->ErrorWidth(), 40);
  EXPECT_EQ(re->ErrorWidthUnits(), ewuPixels);
  EXPECT_EQ(re->ErrorPen()->Width(), 2);
  ASSERT_EQ(re->PointCount(), 1);
  EXPECT_EQ(re->ErrorValues()->Value(0), 0.5);
  TErrorBarSeries eb(nullptr);
  EXPECT_FALSE(IsPublishedProp(&eb, "ErrorStyle"));  // always on top
  EXPECT_TRUE(IsPublishedProp(&eb, "ErrorWidth"));

  // Both brushes start clear: a solid one (the brush's own default) must still come back.
  for (bool highSolid : {false, true}) {
    THighLowSeries h(nullptr);
    (highSolid ? h.HighBrush() : h.LowBrush())->SetStyle(bsSolid);
    h.HighPen()->SetColor(clRed);
    h.LowPen()->SetVisible(false);
    h.SetTransparency(25);
    h.AddHighLow(1, 8, 2);
    auto rh = RoundTrip(h);
    EXPECT_EQ(rh->HighBrush()->Style(), highSolid ? bsSolid : bsClear);
    EXPECT_EQ(rh->LowBrush()->Style(), highSolid ? bsClear : bsSolid);
    EXPECT_EQ(rh->HighPen()->Color(), clRed);
    EXPECT_FALSE(rh->LowPen()->Visible());
    EXPECT_EQ(rh->Transparency(), 25);
    ASSERT_EQ(rh->PointCount(), 1);
    EXPECT_EQ(rh->LowValues()->Value(0), 2);
  }
  THighLowSeries plain(nullptr);
  const std::string text = ComponentToText(&plain);
  EXPECT_EQ(text.find("FillStyle"), std::string::npos) << text;
}
