// The funnel, pyramid, Smith, volume pipe and box plot forms in a series page.
#include <gtest/gtest.h>

#include "chart/editor/other_series_editors.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/editor_controls.h"
#include "chart/extra/box_plot_series.h"
#include "chart/extra/funnel_series.h"
#include "chart/extra/pyramid_pipe_series.h"
#include "chart/extra/smith_series.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"
#include "series_page_fixture.h"

namespace {

struct OtherForms : SeriesFormFixture {
  void SetUp() override {
    SeriesFormFixture::SetUp();
    RegisterOtherSeriesEditorForms();
    RegisterShapeEditorClasses();
  }
};

const std::vector<std::string> kPlainTabs = {"Format", "General", "Marks", "Data Source"};

}  // namespace

TEST_F(OtherForms, FunnelFormEditsPensColoursAndLimit) {
  auto* a = Add<TFunnelSeries>();
  auto* b = Add<TFunnelSeries>();
  b->SetDifferenceLimit(12.5);
  auto* f = Select<TFunnelSeriesEditor>(a);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->ButtonPen1->Pen(), a->LinesPen());
  EXPECT_EQ(f->ButtonPen2->Pen(), a->Pen());
  SetDialogHook([](TCommonDialog* D) {
    static_cast<TColorDialog*>(D)->SetColor(clOlive);
    return true;
  });
  f->WithinColor->Click();
  EXPECT_EQ(a->WithinColor(), clOlive);
  f->DifLimit.Edit->SetText("20");
  EXPECT_DOUBLE_EQ(a->DifferenceLimit(), 20);
  for (const char* bad : {"0", "51", "x"}) {
    f->DifLimit.Edit->SetText(bad);
    EXPECT_DOUBLE_EQ(a->DifferenceLimit(), 20) << bad;
  }
  // 12.5 shows as 12 (a half to the even neighbour); showing it does not round the series' value.
  f = Select<TFunnelSeriesEditor>(b);
  EXPECT_EQ(f->DifLimit.Edit->Text(), "12");
  EXPECT_DOUBLE_EQ(b->DifferenceLimit(), 12.5);
}

TEST_F(OtherForms, PyramidFormFollowsTheColourEachRule) {
  auto* a = Add<TPyramidSeries>();
  auto* b = Add<TPyramidSeries>();
  b->SetColorEachPoint(true);
  b->SetSizePercent(35);
  a->SetColorEachPoint(false);
  auto* f = Select<TPyramidSeriesEditor>(a);
  ASSERT_TRUE(f);
  EXPECT_EQ(Tabs(), kPlainTabs);
  EXPECT_TRUE(f->BColor->Enabled());
  f->CBColorEach->SetChecked(true);
  EXPECT_TRUE(a->ColorEachPoint());
  EXPECT_FALSE(f->BColor->Enabled());
  f->Size.Edit->SetText("80");
  f->Size.Edit->SetText("120");
  EXPECT_EQ(a->SizePercent(), 80);
  EXPECT_EQ(f->Size.UpDown->Increment(), 5);
  EXPECT_EQ(f->BPen->Pen(), a->Pen());

  f = Select<TPyramidSeriesEditor>(b);
  EXPECT_FALSE(f->BColor->Enabled());
  EXPECT_TRUE(f->CBColorEach->Checked());
  EXPECT_EQ(f->Size.Edit->Text(), "35");
}

TEST_F(OtherForms, SmithFormEditsLabelsPensAndSymbol) {
  auto* a = Add<TSmithSeries>();
  auto* b = Add<TSmithSeries>();
  b->SetImagSymbol("j");
  b->SetColorEachPoint(true);
  auto* f = Select<TSmithSeriesEdit>(a);
  ASSERT_TRUE(f);
  f->CBC->SetChecked(!a->CLabels());
  EXPECT_EQ(a->CLabels(), f->CBC->Checked());
  f->CBR->SetChecked(!a->RLabels());
  EXPECT_EQ(a->RLabels(), f->CBR->Checked());
  f->EImag->SetText("jX");
  EXPECT_EQ(a->ImagSymbol(), "jX");
  EXPECT_EQ(f->BCPen->Pen(), a->CCirclePen());
  EXPECT_EQ(f->BRPen->Pen(), a->RCirclePen());
  EXPECT_EQ(f->BCircle->Pen(), a->CirclePen());
  EXPECT_EQ(f->BBorder->Pen(), a->Pen());
  SetDialogHook([](TCommonDialog* D) {
    static_cast<TFontDialog*>(D)->Font()->SetSize(17);
    return true;
  });
  f->BRFont->Click();
  EXPECT_EQ(a->RLabelsFont()->Size(), 17);
  // The circle settings sit in their own tab when that form exists.
  const bool circled = FindEditorClass("TCircledSeriesEditor") != nullptr;
  EXPECT_EQ(Tabs().size(), kPlainTabs.size() + (circled ? 1 : 0));
  ShowAgain(f);
  EXPECT_EQ(Tabs().size(), kPlainTabs.size() + (circled ? 1 : 0));

  f = Select<TSmithSeriesEdit>(b);
  EXPECT_EQ(f->EImag->Text(), "j");
  EXPECT_TRUE(f->CBColorEach->Checked());
}

TEST_F(OtherForms, VolumePipeFormEditsConeBrushAndGradient) {
  auto* a = Add<TVolumePipeSeries>();
  auto* b = Add<TVolumePipeSeries>();
  b->Gradient()->SetDirection(gdLeftRight);
  b->SetConePercent(45);
  auto* f = Select<TVolumePipeSeriesEditor>(a);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->ButtonPen1->Pen(), a->Pen());
  EXPECT_EQ(f->ButtonPen2->Pen(), a->LinesPen());

  f->CBDirection->SetItemIndex(1);
  f->CBDirection->OnChange(f->CBDirection);
  EXPECT_EQ(a->Gradient()->Direction(), gdRightLeft);
  f->CBDirection->SetItemIndex(0);
  f->CBDirection->OnChange(f->CBDirection);
  EXPECT_EQ(a->Gradient()->Direction(), gdTopBottom);
  f->CheckGradient->SetChecked(!a->Gradient()->Visible());
  EXPECT_EQ(a->Gradient()->Visible(), f->CheckGradient->Checked());

  a->Brush()->SetColor(clYellow);
  f->CheckBox1->SetChecked(true);
  EXPECT_EQ(a->Brush()->Color(), clNone);
  a->Brush()->SetColor(clYellow);
  f->CheckBox1->SetChecked(false);
  EXPECT_EQ(a->Brush()->Color(), clYellow);

  f->Cone.Edit->SetText("55");
  EXPECT_EQ(a->ConePercent(), 55);
  // Not a whole number (empty included): the conversion error is shown and the cone stays.
  for (const char* bad : {"5.5", "", "cone"}) {
    Shown.clear();
    f->Cone.Edit->SetText(bad);
    EXPECT_EQ(Shown, std::string("'") + bad + "' is not a valid integer value.") << bad;
    EXPECT_EQ(a->ConePercent(), 55);
  }
  f->Cone.Edit->SetText("101");
  EXPECT_EQ(a->ConePercent(), 55);

  // Any direction but top-to-bottom shows as "Left Right".
  f = Select<TVolumePipeSeriesEditor>(b);
  EXPECT_EQ(f->CBDirection->ItemIndex(), 1);
  EXPECT_EQ(b->Gradient()->Direction(), gdLeftRight);
  EXPECT_EQ(f->Cone.Edit->Text(), "45");
}

TEST_F(OtherForms, BoxFormAddsThreePointerTabsAndEditsWhiskers) {
  auto* a = Add<TBoxSeries>();
  auto* b = Add<THorizBoxSeries>();
  b->SetWhiskerLength(3);
  b->SetPosition(-1.25);
  auto* f = Select<TBoxSeriesEditor>(a);
  ASSERT_TRUE(f);
  EXPECT_EQ(Tabs(),
            (std::vector<std::string>{"Format", "MildOut", "ExtrOut", "Box", "General", "Marks", "Data Source"}));
  EXPECT_EQ(Page->EditorFormCount(), TFormGraphSeries::MaxEditorForms);
  EXPECT_EQ(TabForm<TSeriesPointerEditor>("Box")->Pointer, a->Pointer());
  EXPECT_EQ(TabForm<TSeriesPointerEditor>("ExtrOut")->Pointer, a->ExtrOut());
  EXPECT_EQ(TabForm<TSeriesPointerEditor>("MildOut")->Pointer, a->MildOut());
  EXPECT_EQ(f->BMedian->Pen(), a->MedianPen());
  EXPECT_EQ(f->BWhisker->Pen(), a->WhiskerPen());
  ShowAgain(f);
  EXPECT_EQ(Page->PageSeries->PageCount(), 7);

  f->ELength->SetText("2.5");
  EXPECT_DOUBLE_EQ(a->WhiskerLength(), 2.5);
  f->EPos->SetText("4");
  EXPECT_DOUBLE_EQ(a->Position(), 4);
  Shown.clear();
  f->ELength->SetText("");
  EXPECT_TRUE(Shown.empty());
  f->ELength->SetText("long");
  EXPECT_EQ(Shown, "'long' is not a valid floating point value.");
  EXPECT_DOUBLE_EQ(a->WhiskerLength(), 2.5);

  f = Select<TBoxSeriesEditor>(b);
  EXPECT_EQ(f->ELength->Text(), "3");
  EXPECT_EQ(f->EPos->Text(), "-1.25");
  EXPECT_EQ(TabForm<TSeriesPointerEditor>("Box")->Pointer, b->Pointer());
  EXPECT_EQ(Page->PageSeries->PageCount(), 7);
}
