// The line-like series editor forms on a series page, driven through their controls.
#include <gtest/gtest.h>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/line_editors.h"
#include "chart/engine/editor_controls.h"
#include "chart/extra/bezier_donut_series.h"
#include "chart/extra/bubble_gantt_series.h"
#include "chart/extra/point_bar_variants.h"
#include "chart/series/fast_line_series.h"
#include "chart/series/financial_series.h"
#include "chart/series/histogram_series.h"
#include "chart/series/line_series.h"
#include "platform/extctrls.h"
#include "platform/updown.h"
#include "series_form_fixture.h"

using LineForms = SeriesFormTest;

TEST_F(LineForms, LineEditorSetsStairsHeightStackAndFollowsTheBorderColourIn2DOnly) {
  auto* line = Add<TLineSeries>("Line");
  line->SetSeriesColor(clRed);
  auto* e = Open<TCustomSeriesEditor>(line);
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Point"}));
  EXPECT_NE(TabForm<TSeriesPointerEditor>("Point"), nullptr);
  EXPECT_EQ(TabForm<TSeriesPointerEditor>("Point")->Pointer, line->Pointer());
  EXPECT_FALSE(e->CBInvStairs->Enabled());
  e->CBStairs->SetChecked(true);
  EXPECT_TRUE(line->Stairs());
  EXPECT_TRUE(e->CBInvStairs->Enabled());
  e->CBInvStairs->SetChecked(true);
  EXPECT_TRUE(line->InvertedStairs());
  e->Height.Edit->SetText("30");
  EXPECT_EQ(line->LineHeight(), 30);
  for (const char* bad : {"300", "-1", "thirty"}) e->Height.Edit->SetText(bad);
  EXPECT_EQ(line->LineHeight(), 30);
  PickItem(e->CBStack, 3);
  EXPECT_EQ(line->Stacked(), cssStack100);
  e->CheckBox1->SetChecked(false);
  EXPECT_FALSE(line->ColorEachLine());
  e->CBClick->SetChecked(false);
  EXPECT_FALSE(line->ClickableLine());
  // The border pen's colour becomes the series colour in 2D, not in 3D.
  PenDialogPicks(clBlue);
  e->BLineBorder->Click();
  EXPECT_EQ(line->SeriesColor(), clBlue);
  Chart->SetView3D(true);
  PenDialogPicks(clGreen);
  e->BLineBorder->Click();
  EXPECT_EQ(line->LinePen()->Color(), clGreen);
  EXPECT_EQ(line->SeriesColor(), clBlue);
  // Shown again: nothing inserted twice.
  ShowAgain(e);
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Point"}));

  // Another line shows its own values.
  auto* other = Add<TLineSeries>("Other");
  other->SetLineHeight(5);
  other->SetStacked(cssOverlap);
  auto* e2 = Open<TCustomSeriesEditor>(other);
  EXPECT_FALSE(e2->CBStairs->Checked());
  EXPECT_FALSE(e2->CBInvStairs->Enabled());
  EXPECT_EQ(e2->Height.Edit->Text(), "5");
  EXPECT_EQ(e2->CBStack->ItemIndex(), 1);
  EXPECT_TRUE(e2->CBClick->Checked());
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Point"}));
}

TEST_F(LineForms, LineEditorShadowButtonEditsTheSeriesShadowWithoutSmoothOrTransparency) {
  auto* line = Add<TLineSeries>("Line");
  auto* e = Open<TCustomSeriesEditor>(line);
  ASSERT_TRUE(e->Button1->Visible());
  EXPECT_TRUE(e->Button1->Enabled());
  int shown = 0;
  EditorDialogHook = [&](TForm* F) {
    auto* d = dynamic_cast<TGraphShadowEditor*>(F);
    ASSERT_NE(d, nullptr);
    ++shown;
    EXPECT_EQ(d->Shadow, line->Shadow());
    for (TControl* c : std::initializer_list<TControl*>{d->CBSmooth, d->EShadowTransp, d->UDShadowTransp,
                                                        dynamic_cast<TControl*>(d->FindComponent("LTransp"))})
      EXPECT_FALSE(c && c->Visible()) << (c ? c->Name() : "LTransp");
    EXPECT_TRUE(d->Edit1->Visible());
    d->Edit1->SetText("4");
    d->EVertSize->SetText("abc");  // not a number: the size stays
    d->EVertSize->SetText("6");
    d->BOK->Click();
  };
  const int owned = e->ComponentCount();
  e->Button1->Click();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(line->Shadow()->HorizSize(), 4);
  EXPECT_EQ(line->Shadow()->VertSize(), 6);
  // The dialog is freed once closed: the editor owns nothing more than before.
  EXPECT_EQ(e->ComponentCount(), owned);
  // Opened again it shows the sizes the series has now.
  EditorDialogHook = [&](TForm* F) {
    auto* d = static_cast<TGraphShadowEditor*>(F);
    EXPECT_EQ(d->Edit1->Text(), "4");
    EXPECT_EQ(d->EVertSize->Text(), "6");
    d->BOK->Click();
  };
  e->Button1->Click();
}

TEST_F(LineForms, LineEditorOnANonLineSeriesKeepsOnlyTheCommonControls) {
  auto* bezier = Add<TBezierSeries>("Bezier");
  auto* e = Open<TCustomSeriesEditor>(bezier);
  for (TControl* c : std::initializer_list<TControl*>{e->GBStair, e->CBDark3D, e->Height.Edit, e->Height.Label,
                                                      e->BOutline, e->BBrush})
    EXPECT_FALSE(c->Visible()) << c->Name();
  EXPECT_TRUE(e->CBStack->Visible());
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Point"}));
}

TEST_F(LineForms, FastLineEditorIsThePenDialogWithTheLinesSwitches) {
  auto* fast = Add<TFastLineSeries>("Fast");
  auto* e = Open<TFastLineSeriesEditor>(fast);
  EXPECT_FALSE(e->BOk->Visible());
  EXPECT_EQ(e->EditedPen, fast->LinePen());
  e->CBStairs->SetChecked(true);
  e->CBDrawAll->SetChecked(!fast->DrawAllPoints());
  const bool all = fast->DrawAllPoints();
  e->CBNulls->SetChecked(false);
  EXPECT_TRUE(fast->Stairs());
  EXPECT_TRUE(e->CBInvStairs->Enabled());
  EXPECT_EQ(e->CBDrawAll->Checked(), all);
  EXPECT_FALSE(fast->IgnoreNulls());
  // The colour button colours the pen and the series.
  ColourDialogPicks(clMaroon);
  e->BColor->Click();
  EXPECT_EQ(fast->LinePen()->Color(), clMaroon);
  EXPECT_EQ(fast->SeriesColor(), clMaroon);
  e->UDWidth->Click(btNext);
  EXPECT_EQ(fast->LinePen()->Width(), 2);
}

TEST_F(LineForms, AreaEditorRoundsTheOriginAndAppliesColourEachOnShow) {
  auto* area = Add<TAreaSeries>("Area");
  area->SetYOrigin(2.5);
  area->SetColorEachPoint(true);
  auto* e = Open<TAreaSeriesEditor>(area);
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Point", "Gradient"}));
  EXPECT_EQ(e->Origin.Edit->Text(), "2");
  EXPECT_FALSE(e->Origin.Edit->Enabled());
  EXPECT_FALSE(e->BAreaColor->Enabled());
  EXPECT_DOUBLE_EQ(area->YOrigin(), 2.5);  // showing it wrote nothing
  e->CBColorEach->SetChecked(false);
  EXPECT_TRUE(e->BAreaColor->Enabled());
  e->CBUseOrigin->SetChecked(true);
  EXPECT_TRUE(area->UseYOrigin());
  EXPECT_TRUE(e->Origin.Edit->Enabled());
  e->Origin.Edit->SetText("-40");
  EXPECT_DOUBLE_EQ(area->YOrigin(), -40);
  e->Origin.Edit->SetText("40000");
  EXPECT_DOUBLE_EQ(area->YOrigin(), -40);
  e->RGMultiArea->Buttons(2)->SetChecked(true);
  EXPECT_EQ(area->MultiArea(), maStacked100);
  e->Transp.Edit->SetText("35");
  EXPECT_EQ(area->Transparency(), 35);
  e->CBStairs->SetChecked(true);
  EXPECT_TRUE(area->Stairs());
  // The swatch: the series colour while the area colour is automatic.
  area->SetSeriesColor(clTeal);
  EXPECT_EQ(e->BAreaColor->GetColor(), clTeal);
  area->SetAreaColor(clYellow);
  EXPECT_EQ(e->BAreaColor->GetColor(), clYellow);

  auto* other = Add<TAreaSeries>("Other");
  other->SetYOrigin(3.5);
  other->SetUseYOrigin(true);
  auto* e2 = Open<TAreaSeriesEditor>(other);
  EXPECT_EQ(e2->Origin.Edit->Text(), "4");
  EXPECT_TRUE(e2->Origin.Edit->Enabled());
  EXPECT_TRUE(e2->BAreaColor->Enabled());
  EXPECT_EQ(e2->RGMultiArea->ItemIndex(), 0);
}

TEST_F(LineForms, AreaEditorGradientTabEditsTheAreasGradientAndIsInsertedOnce) {
  auto* area = Add<TAreaSeries>("Area");
  area->Gradient()->SetStartColor(clNavy);
  auto* e = Open<TAreaSeriesEditor>(area);
  auto* g = TabForm<TGraphGradientEditor>("Gradient");
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(e->GradientForm, g);
  EXPECT_EQ(g->EditedGradient, area->Gradient());
  EXPECT_FALSE(g->BOk->Visible() && g->PanelBottom->Visible());
  EXPECT_FALSE(g->BCancel->Visible() && g->PanelBottom->Visible());
  EXPECT_FALSE(g->CBVisible->Checked());
  Activate("Gradient");
  g->CBVisible->SetChecked(true);
  EXPECT_TRUE(area->Gradient()->Visible());
  PickItem(g->CBDirection, 1);
  EXPECT_EQ(area->Gradient()->Direction(), 1);
  EXPECT_EQ(area->Gradient()->StartColor(), clNavy);
  // Shown again: no second "Point" or "Gradient" tab.
  ShowAgain(e);
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Point", "Gradient"}));
  EXPECT_EQ(TabForm<TGraphGradientEditor>("Gradient"), g);

  // Another area: its own gradient in the tab.
  auto* other = Add<TAreaSeries>("Other");
  other->Gradient()->SetVisible(true);
  Open<TAreaSeriesEditor>(other);
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Point", "Gradient"}));
  auto* g2 = TabForm<TGraphGradientEditor>("Gradient");
  ASSERT_NE(g2, nullptr);
  EXPECT_EQ(g2->EditedGradient, other->Gradient());
  EXPECT_TRUE(g2->CBVisible->Checked());
}

TEST_F(LineForms, HistogramAndVolumeEditors) {
  auto* histogram = Add<THistogramSeries>("Histogram");
  histogram->SetColorEachPoint(true);
  auto* h = Open<THistogramSeriesEditor>(histogram);
  EXPECT_FALSE(h->BAreaColor->Enabled());
  EXPECT_EQ(h->BAreaLinesPen->Pen(), histogram->LinesPen());
  h->Transp.UpDown->Click(btNext);
  EXPECT_EQ(histogram->Transparency(), 5);
  h->Transp.Edit->SetText("101");
  EXPECT_EQ(histogram->Transparency(), 5);

  auto* volume = Add<TVolumeSeries>("Volume");
  volume->SetYOrigin(1.0 / 3);
  volume->SetColorEachPoint(true);
  auto* v = Open<TVolumeSeriesEditor>(volume);
  EXPECT_EQ(volume->YOrigin(), 1.0 / 3);  // its text is shorter: opening must not write it back
  volume->SetYOrigin(7);
  ShowAgain(v);
  EXPECT_FALSE(v->BColor->Enabled());
  EXPECT_EQ(v->EOrigin->Text(), "7");
  EXPECT_FALSE(v->EOrigin->Enabled());
  v->CBUseOrigin->SetChecked(true);
  EXPECT_TRUE(v->EOrigin->Enabled());
  v->EOrigin->SetText("2.25");
  EXPECT_DOUBLE_EQ(volume->YOrigin(), 2.25);
  v->EOrigin->SetText("two");  // not a number: the origin stays
  EXPECT_DOUBLE_EQ(volume->YOrigin(), 2.25);
  v->CBColorEach->SetChecked(false);
  EXPECT_TRUE(v->BColor->Enabled());
  EXPECT_FALSE(volume->ColorEachPoint());
}

TEST_F(LineForms, LinePointAndBubbleEditorsExtendThePointerEditor) {
  auto* lp = Add<TMyPointSeries>("LinePoint");
  auto* l = Open<TLinePointEditor>(lp);
  EXPECT_EQ(l->BLines->Pen(), lp->LinesPen());
  EXPECT_EQ(l->Pointer, lp->Pointer());

  auto* bubble = Add<TBubbleSeries>("Bubble");
  bubble->SetTransparencyValue(20);
  auto* b = Open<TBubbleSeriesEditor>(bubble);
  EXPECT_FALSE(b->CBDrawPoint->Visible());
  EXPECT_EQ(b->Transp.Edit->Text(), "20");
  b->Transp.Edit->SetText("45");
  EXPECT_EQ(bubble->Transparency(), 45);
}
