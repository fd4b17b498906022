// The candle, high-low, arrow, Gantt and shape editor forms on a series page.
#include <gtest/gtest.h>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/financial_editors.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/editor_controls.h"
#include "chart/extra/arrow_series.h"
#include "chart/extra/bubble_gantt_series.h"
#include "chart/extra/point_figure_series.h"
#include "chart/extra/shape_series.h"
#include "chart/series/error_series.h"
#include "chart/series/financial_series.h"
#include "platform/extctrls.h"
#include "platform/updown.h"
#include "series_form_fixture.h"

using StandAloneForms = SeriesFormTest;

TEST_F(StandAloneForms, CandleStyleDecidesTicks3DWidthAndTheBorderColour) {
  auto* candle = Add<TCandleSeries>("Candle");
  auto* e = Open<TCandleEditor>(candle);
  EXPECT_EQ(e->PageControl1->ActivePage(), e->TabSheet2);
  struct Case {
    int Style;
    bool Ticks, ThreeD, Width, NoColour;
  };
  for (Case c : {Case{csLine, false, false, false, true}, Case{csCandleBar, true, false, true, true},
                 Case{csCandleStick, false, true, true, false}, Case{csOpenClose, false, true, true, false}}) {
    e->RGStyle->Buttons(c.Style)->SetChecked(true);
    EXPECT_EQ(candle->CandleStyle(), c.Style);
    EXPECT_EQ(e->CBShowOpen->Enabled(), c.Ticks) << c.Style;
    EXPECT_EQ(e->CBShowClose->Enabled(), c.Ticks) << c.Style;
    EXPECT_EQ(e->CBDraw3D->Enabled(), c.ThreeD) << c.Style;
    EXPECT_EQ(e->CBDark3D->Enabled(), c.ThreeD) << c.Style;
    EXPECT_EQ(e->CandleWidth.Edit->Enabled(), c.Width) << c.Style;
    EXPECT_EQ(e->Button1->HidesColorButton, c.NoColour) << c.Style;
  }
  // The border dialog of a bar-style candle offers no colour.
  e->RGStyle->Buttons(csCandleBar)->SetChecked(true);
  bool colourShown = true;
  EditorDialogHook = [&](TForm* F) {
    if (auto* d = dynamic_cast<TPenDialog*>(F)) {
      colourShown = d->BColor->Visible();
      d->BOk->Click();
    }
  };
  e->Button1->Click();
  EXPECT_FALSE(colourShown);
  e->PageControl1->SetActivePage(e->TabSheet1);
  e->CandleWidth.Edit->SetText("12");
  EXPECT_EQ(candle->CandleWidth(), 12);
  PickItem(e->CBColorStyle, 1);
  EXPECT_EQ(candle->ColorStyle(), cssRelativeToClose);
  ColourDialogPicks(clNavy);
  e->BUpColor->Click();
  EXPECT_EQ(candle->UpCloseColor(), clNavy);

  auto* other = Add<TCandleSeries>("Other");
  other->SetCandleStyle(csLine);
  other->SetCandleWidth(3);
  auto* e2 = Open<TCandleEditor>(other);
  EXPECT_EQ(e2->RGStyle->ItemIndex(), csLine);
  EXPECT_EQ(e2->CandleWidth.Edit->Text(), "3");
  EXPECT_FALSE(e2->CBDraw3D->Enabled());
}

TEST_F(StandAloneForms, HighLowPensBrushesAndTransparency) {
  auto* hl = Add<THighLowSeries>("HighLow");
  auto* e = Open<THighLowEditor>(hl);
  EXPECT_EQ(e->BHighPen->Pen(), hl->HighPen());
  EXPECT_EQ(e->BLowPen->Pen(), hl->LowPen());
  e->Transp.Edit->SetText("60");
  EXPECT_EQ(hl->Transparency(), 60);
  e->Transp.Edit->SetText("160");
  EXPECT_EQ(hl->Transparency(), 60);
  e->CBColorEach->SetChecked(true);
  EXPECT_TRUE(hl->ColorEachPoint());
}

TEST_F(StandAloneForms, ArrowSizeBarAndColourEach) {
  auto* arrow = Add<TArrowSeries>("Arrow");
  arrow->Pointer()->Brush()->SetColor(clRed);
  auto* e = Open<TArrowSeriesEditor>(arrow);
  e->SBPercent->SetPosition(30);
  EXPECT_EQ(arrow->ArrowPercent(), 30);
  EXPECT_EQ(e->LPercent->Caption(), "30%");
  e->ArrowWidth.Edit->SetText("9");
  EXPECT_EQ(arrow->ArrowWidth(), 9);
  e->ArrowHeight.Edit->SetText("0");  // below 1: kept
  EXPECT_GE(arrow->ArrowHeight(), 1);
  e->CBColorEach->SetChecked(true);
  EXPECT_FALSE(e->BArrowColor->Enabled());
  EXPECT_EQ(arrow->Pointer()->Brush()->Color(), clAutoColor);
}

TEST_F(StandAloneForms, GanttTabIsThePointerEditorWithoutItsSizes) {
  auto* gantt = Add<TGanttSeries>("Gantt");
  gantt->SetColorEachPoint(true);
  auto* e = Open<TGanttSeriesEditor>(gantt);
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Gantt"}));
  auto* p = TabForm<TSeriesPointerEditor>("Gantt");
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(p->SEPointHorizSize->Visible());
  EXPECT_FALSE(p->SEPointVertSize->Visible());
  EXPECT_FALSE(e->BColor->Enabled());
  e->PointVertSize.Edit->SetText("14");
  EXPECT_EQ(gantt->Pointer()->VertSize(), 14);
  e->PointVertSize.Edit->SetText("0");
  EXPECT_EQ(gantt->Pointer()->VertSize(), 14);
  e->CBColorEach->SetChecked(false);
  EXPECT_TRUE(e->BColor->Enabled());
}

TEST_F(StandAloneForms, ShapePositionRoundRectangleAndText) {
  Chart->SetView3D(true);
  auto* shape = Add<TChartShape>("Shape");
  shape->SetStyle(chasCircle);
  while (shape->Count() < 2) shape->AddXY(shape->Count() * 10, shape->Count() * 10);
  shape->SetX0(1.5);
  auto* e = Open<TChartShapeEditor>(shape);
  EXPECT_FALSE(e->CBRound->Enabled());
  PickItem(e->CBStyle, chasRectangle);
  EXPECT_EQ(shape->Style(), chasRectangle);
  EXPECT_TRUE(e->CBRound->Enabled());  // after a change the style alone decides
  EXPECT_EQ(e->SEX0->Text(), "1.5");
  e->PageControl1->SetActivePage(e->TabSheet2);
  e->SEY1->SetText("42");
  EXPECT_DOUBLE_EQ(shape->Y1(), 42);
  e->SEY1->SetText("forty");
  EXPECT_DOUBLE_EQ(shape->Y1(), 42);
  e->PageControl1->SetActivePage(e->TabSheet1);
  e->MemoText->SetText("Hello");
  EXPECT_EQ(shape->Text()->Strings(0), "Hello");
  e->RGAlign->Buttons(2)->SetChecked(true);
  EXPECT_EQ(shape->Alignment(), taRightJustify);
  e->RGAlign->Buttons(1)->SetChecked(true);
  EXPECT_EQ(shape->Alignment(), taCenter);
  EXPECT_EQ(e->FontEditor->EditedFont, shape->Font());

  // A shape of another number of points leaves the position edits empty.
  auto* loose = Add<TChartShape>("Loose");
  while (loose->Count() > 0) loose->Delete(0);
  auto* e2 = Open<TChartShapeEditor>(loose);
  EXPECT_EQ(e2->SEX0->Text(), "");
  EXPECT_EQ(e2->SEY1->Text(), "");
}

TEST_F(StandAloneForms, PointFigureBoxAndReversalWithBothSymbolsAsTabs) {
  auto* pf = Add<TPointFigureSeries>("PF");
  pf->SetBoxSize(1.0 / 3);
  auto* e = Open<TPointFigureEditor>(pf);
  EXPECT_EQ(pf->BoxSize(), 1.0 / 3);  // opening wrote nothing back
  pf->SetBoxSize(2.5);
  ShowAgain(e);
  EXPECT_EQ(e->EBoxSize->Text(), "2.5");
  EXPECT_EQ(e->EReversal->Text(), "3");
  EXPECT_EQ(Page->EditorFormCount(), 3);
  EXPECT_EQ(TabForm<TSeriesPointerEditor>("Up")->Pointer, pf->UpSymbol());
  EXPECT_EQ(TabForm<TSeriesPointerEditor>("Down")->Pointer, pf->DownSymbol());
  e->EReversal->SetText("4.5");
  EXPECT_DOUBLE_EQ(pf->ReversalAmount(), 4.5);
  e->EBoxSize->SetText("big");
  EXPECT_DOUBLE_EQ(pf->BoxSize(), 2.5);
  ShowAgain(e);
  EXPECT_EQ(Page->EditorFormCount(), 3);
}
