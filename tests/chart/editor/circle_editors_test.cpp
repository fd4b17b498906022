// The round series' editor forms on a series page: circle, pie, donut, polar, clock, wind rose.
#include <gtest/gtest.h>

#include "chart/editor/chart_pages.h"
#include "chart/editor/circle_editors.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/editor_controls.h"
#include "chart/extra/bezier_donut_series.h"
#include "chart/extra/windrose_clock_series.h"
#include "chart/series/pie_series.h"
#include "chart/series/polar_series.h"
#include "platform/updown.h"
#include "series_form_fixture.h"

using CircleForms = SeriesFormTest;

TEST_F(CircleForms, CircleEditorTransparencyRadiiAnd3D) {
  auto* polar = Add<TPolarSeries>("Polar");
  polar->SetCircleBackColor(clRed);
  polar->SetCustomXRadius(40);
  Open<TPolarSeriesEditor>(polar);
  auto* c = TabForm<TCircledSeriesEditor>("Circled");
  ASSERT_NE(c, nullptr);
  // Hidden behind "Format", its fields write nothing.
  c->XRadius.Edit->SetText("70");
  EXPECT_EQ(polar->CustomXRadius(), 40);
  Activate("Circled");
  EXPECT_FALSE(c->CBTransp->Checked());
  EXPECT_TRUE(c->CBTransp->Enabled());
  EXPECT_FALSE(c->CBAutoXR->Checked());
  EXPECT_TRUE(c->CBAutoYR->Checked());
  // Transparent: no back colour, no gradient, and the box locks until a colour is chosen.
  polar->CircleGradient()->SetVisible(true);
  c->CBTransp->SetChecked(true);
  EXPECT_EQ(polar->CircleBackColor(), clAutoColor);
  EXPECT_FALSE(polar->CircleGradient()->Visible());
  EXPECT_FALSE(c->CBTransp->Enabled());
  ColourDialogPicks(clYellow);
  c->BBack->Click();
  EXPECT_EQ(polar->CircleBackColor(), clYellow);
  EXPECT_FALSE(c->CBTransp->Checked());
  EXPECT_TRUE(c->CBTransp->Enabled());
  // Radii: 0 means automatic, both ways.
  c->XRadius.Edit->SetText("0");
  EXPECT_EQ(polar->CustomXRadius(), 0);
  EXPECT_TRUE(c->CBAutoXR->Checked());
  c->YRadius.Edit->SetText("120");
  EXPECT_EQ(polar->CustomYRadius(), 120);
  EXPECT_FALSE(c->CBAutoYR->Checked());
  c->CBAutoYR->SetChecked(true);
  EXPECT_EQ(polar->CustomYRadius(), 0);
  c->YRadius.Edit->SetText("2001");
  EXPECT_EQ(polar->CustomYRadius(), 0);
  // The whole chart goes 3D.
  c->CB3D->SetChecked(true);
  EXPECT_TRUE(Chart->View3D());
  c->Rotation.Edit->SetText("90");
  EXPECT_EQ(polar->RotationAngle(), 90);
}

TEST_F(CircleForms, PieExplodesGroupsSlicesAndRefusesABadOtherValue) {
  auto* pie = Add<TPieSeries>("Pie");
  pie->OtherSlice()->SetValue(1.0 / 3);
  auto* e = Open<TPieSeriesEditor>(pie);
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Circled"}));
  // Opening writes nothing back: not the value's shorter text, not the label's default text.
  EXPECT_EQ(pie->OtherSlice()->Value(), 1.0 / 3);
  EXPECT_FALSE(pie->OtherSlice()->TextStored());
  auto* c = TabForm<TCircledSeriesEditor>("Circled");
  ASSERT_NE(c, nullptr);
  EXPECT_FALSE(c->BBack->Visible());
  EXPECT_FALSE(c->CBTransp->Visible());
  EXPECT_FALSE(c->BGradient->Visible());
  EXPECT_FALSE(e->CBDark3d->Enabled());  // a 2D chart
  EXPECT_TRUE(e->BGradient->FixedEndColor);
  e->ExplodeBiggest.Edit->SetText("25");
  EXPECT_EQ(pie->ExplodeBiggest(), 25);
  e->ExplodeBiggest.Edit->SetText("125");
  EXPECT_EQ(pie->ExplodeBiggest(), 25);
  e->AngleSize.Edit->SetText("180");
  EXPECT_EQ(pie->AngleSize(), 180);
  e->DarkPen.Edit->SetText("200");
  EXPECT_EQ(pie->DarkPen(), 200);
  PickItem(e->CBMultiple, 1);
  EXPECT_EQ(pie->MultiPie(), mpDisabled);
  // Group slices.
  PickItem(e->CBOther, 0);
  EXPECT_FALSE(e->EOtherValue->Enabled());
  EXPECT_FALSE(e->EOtherLabel->Enabled());
  PickItem(e->CBOther, 2);
  EXPECT_EQ(pie->OtherSlice()->Style(), poBelowValue);
  EXPECT_TRUE(e->EOtherValue->Enabled());
  e->EOtherValue->SetText("12.5");
  EXPECT_DOUBLE_EQ(pie->OtherSlice()->Value(), 12.5);
  // Not a number: the conversion error is shown and the value stays.
  std::string shown;
  SetMessageBoxHook([&](const std::string& Text, const std::string&, int) {
    shown = Text;
    return IDOK;
  });
  e->EOtherValue->SetText("twelve");
  EXPECT_NE(shown.find("twelve"), std::string::npos) << shown;
  e->EOtherValue->SetText("");
  EXPECT_DOUBLE_EQ(pie->OtherSlice()->Value(), 12.5);
  e->EOtherLabel->SetText("Rest");
  EXPECT_EQ(pie->OtherSlice()->Text(), "Rest");
  e->CBColorEach->SetChecked(false);
  EXPECT_TRUE(e->BColor->Enabled());
  EXPECT_FALSE(pie->ColorEachPoint());
  // "Legend..." edits the other slice's own legend in a dialog, freed when it closes.
  const int owned = e->ComponentCount();
  bool legendShown = false;
  EditorDialogHook = [&](TForm* F) {
    auto* l = dynamic_cast<TFormGraphLegend*>(F);
    if (!l) return;
    legendShown = true;
    l->CBInverted->SetChecked(true);
    l->SetModalResult(mrOk);
  };
  e->Button2->Click();
  EXPECT_TRUE(legendShown);
  EXPECT_TRUE(pie->OtherSlice()->Legend()->Inverted());
  EXPECT_EQ(e->ComponentCount(), owned);

  // In 3D, another pie: its own values, "Dark 3D" offered.
  Chart->SetView3D(true);
  auto* other = Add<TPieSeries>("Other");
  other->SetExplodeBiggest(10);
  other->OtherSlice()->SetStyle(poBelowPercent);
  auto* e2 = Open<TPieSeriesEditor>(other);
  EXPECT_TRUE(e2->CBDark3d->Enabled());
  EXPECT_EQ(e2->ExplodeBiggest.Edit->Text(), "10");
  EXPECT_EQ(e2->CBOther->ItemIndex(), 1);
  EXPECT_EQ(e2->EOtherLabel->Text(), "Other");
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Circled"}));
}

TEST_F(CircleForms, DonutAddsThePieWhichAddsTheCircle) {
  auto* donut = Add<TDonutSeries>("Donut");
  auto* e = Open<TDonutSeriesEditor>(donut);
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Circled", "Donut"}));
  EXPECT_EQ(Page->EditorFormCount(), 3);
  EXPECT_NE(TabForm<TPieSeriesEditor>("Donut"), nullptr);
  e->Donut.Edit->SetText("40");
  EXPECT_EQ(donut->DonutPercent(), 40);
  e->Donut.Set(100);
  e->Donut.UpDown->Click(btNext);  // wraps round
  EXPECT_EQ(donut->DonutPercent(), 0);
  ShowAgain(e);
  EXPECT_EQ(Page->EditorFormCount(), 3);
}

TEST_F(CircleForms, PolarFamilyShowsTheAngleIncrementWhereItApplies) {
  auto* polar = Add<TPolarSeries>("Polar");
  auto* polarBar = Add<TPolarBarSeries>("PolarBar");
  auto* radar = Add<TRadarSeries>("Radar");
  auto* clock = Add<TClockSeries>("Clock");
  auto* rose = Add<TWindRoseSeries>("Rose");
  struct Case {
    TChartSeries* Series;
    bool Angle;
  };
  for (Case c : {Case{polar, true}, Case{polarBar, true}, Case{radar, false}, Case{clock, false}, Case{rose, true}}) {
    Page->SetSeries(c.Series);
    Page->RefreshPage();
    auto* e = dynamic_cast<TPolarSeriesEditor*>(Page->SeriesEditor);
    ASSERT_NE(e, nullptr) << c.Series->Title();
    EXPECT_EQ(e->AngleInc.Edit->Visible(), c.Angle) << c.Series->Title();
    EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Point", "Circled"})) << c.Series->Title();
  }
}

TEST_F(CircleForms, PolarEditorRoundsTheAngleIncrementAndDisablesHiddenLabelControls) {
  auto* polar = Add<TPolarSeries>("Polar");
  polar->SetAngleIncrement(22.5);
  polar->SetCircleLabels(false);
  auto* e = Open<TPolarSeriesEditor>(polar);
  EXPECT_EQ(e->AngleInc.Edit->Text(), "22");
  EXPECT_DOUBLE_EQ(polar->AngleIncrement(), 22.5);  // showing wrote nothing
  e->AngleInc.Edit->SetText("30");
  EXPECT_DOUBLE_EQ(polar->AngleIncrement(), 30);
  for (TControl* c : std::initializer_list<TControl*>{e->CBLabelsRot, e->CBClockWise, e->BFont})
    EXPECT_FALSE(c->Enabled()) << c->Name();
  e->CBAngleLabels->SetChecked(true);
  EXPECT_TRUE(polar->CircleLabels());
  EXPECT_TRUE(e->BFont->Enabled());
  e->Margin.Edit->SetText("-150");
  EXPECT_EQ(polar->LabelsMargin(), -150);
  e->CBClose->SetChecked(false);
  EXPECT_FALSE(polar->CloseCircle());
  EXPECT_EQ(TabForm<TSeriesPointerEditor>("Point")->Pointer, polar->Pointer());
}

TEST_F(CircleForms, ClockAndWindRoseEditors) {
  auto* clock = Add<TClockSeries>("Clock");
  auto* c = Open<TClockEditor>(clock);
  EXPECT_EQ(c->PageControl1->ActivePage(), c->TabSheet2);
  EXPECT_FALSE(c->CBColorEach->Visible());
  EXPECT_FALSE(c->CBClockWise->Visible());
  EXPECT_EQ(c->BHour->Pen(), clock->PenHours());
  EXPECT_EQ(c->BRadius->Pen(), clock->GetHorizAxis()->Grid());
  c->CBRoman->SetChecked(true);
  EXPECT_EQ(clock->Style(), cssRoman);
  c->CBRoman->SetChecked(false);
  EXPECT_EQ(clock->Style(), cssDecimal);

  auto* rose = Add<TWindRoseSeries>("Rose");
  rose->SetMirrorLabels(true);
  auto* w = Open<TWindRoseEditor>(rose);
  EXPECT_TRUE(w->CBMirror->Checked());
  EXPECT_FALSE(w->CBClockWise->Visible());
  w->CBMirror->SetChecked(false);
  EXPECT_FALSE(rose->MirrorLabels());
}
