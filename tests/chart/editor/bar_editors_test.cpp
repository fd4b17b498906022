// The bar-family editor forms on a series page: style and gradient, stacking, join, image and
// error series.
#include <gtest/gtest.h>

#include "chart/editor/bar_editors.h"
#include "chart/editor/gradient_editor.h"
#include "chart/engine/editor_controls.h"
#include "chart/extra/image_series.h"
#include "chart/extra/point_bar_variants.h"
#include "chart/series/bar_gradient.h"
#include "chart/series/bar_series.h"
#include "chart/series/error_series.h"
#include "platform/bitmap.h"
#include "platform/extctrls.h"
#include "platform/picture.h"
#include "platform/updown.h"
#include "series_form_fixture.h"

using BarForms = SeriesFormTest;

TEST_F(BarForms, BarStyleDecidesBevelAndGradientAndTheGradientButtonSwitchesToRectGradient) {
  auto* bar = Add<TBarSeries>("Bar");
  auto* e = Open<TBarSeriesEditor>(bar);
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Stack"}));
  EXPECT_EQ(e->PageControl1->ActivePage(), e->TabSheet1);
  struct Case {
    TBarStyle Style;
    bool Gradient, Bevel;
  };
  for (Case c : {Case{bsBevel, false, true}, Case{bsRectangle, true, false}, Case{bsRectGradient, true, false},
                 Case{bsCone, false, false}}) {
    PickItem(e->CBBarStyle, c.Style);
    EXPECT_EQ(bar->BarStyle(), c.Style);
    EXPECT_EQ(e->BGradient->Enabled(), c.Gradient) << c.Style;
    EXPECT_EQ(e->Bevel.Edit->Enabled(), c.Bevel) << c.Style;
  }
  PickItem(e->CBBarStyle, bsRectangle);
  bool offered = false;
  EditorDialogHook = [&](TForm* F) {
    auto* g = dynamic_cast<TGraphGradientEditor*>(F);
    if (!g) return;
    offered = true;
    EXPECT_EQ(bar->BarStyle(), bsRectGradient);  // switched before the dialog opens
    EXPECT_FALSE(g->BEnd->Visible());
    EXPECT_FALSE(g->BSwap->Visible());
    EXPECT_FALSE(g->CBVisible->Visible());
    g->BStart->SetColor(clFuchsia);
    g->BOk->Click();
  };
  e->BGradient->Click();
  EXPECT_TRUE(offered);
  EXPECT_EQ(e->CBBarStyle->Text(), "Rect. Gradient");
  EXPECT_EQ(bar->Gradient()->StartColor(), clFuchsia);
  // Sizes: typed within range, out of range kept.
  e->BarWidth.Edit->SetText("55");
  e->BarOffset.Edit->SetText("-20");
  e->Depth.Edit->SetText("0");  // below 1: kept
  EXPECT_EQ(bar->BarWidthPercent(), 55);
  EXPECT_EQ(bar->OffsetPercent(), -20);
  EXPECT_EQ(bar->DepthPercent(), 100);
  e->CBColorEach->SetChecked(true);
  EXPECT_TRUE(bar->ColorEachPoint());
  EXPECT_FALSE(e->BBarColor->Enabled());

  // Another bar series shows its own values.
  auto* other = Add<TBarSeries>("Other");
  other->SetBarStyle(bsBevel);
  other->SetBarWidthPercent(30);
  auto* e2 = Open<TBarSeriesEditor>(other);
  EXPECT_EQ(e2->CBBarStyle->ItemIndex(), bsBevel);
  EXPECT_TRUE(e2->Bevel.Edit->Enabled());
  EXPECT_EQ(e2->BarWidth.Edit->Text(), "30");
  EXPECT_TRUE(e2->BBarColor->Enabled());
  EXPECT_EQ(bar->BarWidthPercent(), 55);
}

TEST_F(BarForms, StackTabGroupOnlyForStackedAndOriginKeepsItsValueOnBadText) {
  auto* bar = Add<TBarSeries>("Bar");
  bar->SetYOrigin(1.5);
  bar->SetUseYOrigin(false);
  Open<TBarSeriesEditor>(bar);
  auto* s = TabForm<TStackBarSeriesEditor>("Stack");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->EYOrigin->Text(), "1.5");
  EXPECT_FALSE(s->EYOrigin->Enabled());
  struct Case {
    int Item;
    TMultiBar Value;
    bool Group;
  };
  for (Case c :
       {Case{2, mbStacked, true}, Case{1, mbSide, false}, Case{3, mbStacked100, true}, Case{5, mbSelfStack, false}}) {
    s->RGMultiBar->Buttons(c.Item)->SetChecked(true);
    EXPECT_EQ(bar->MultiBar(), c.Value);
    EXPECT_EQ(s->Group.Edit->Enabled(), c.Group) << c.Item;
  }
  s->CBYOrigin->SetChecked(true);
  EXPECT_TRUE(bar->UseYOrigin());
  EXPECT_TRUE(s->EYOrigin->Enabled());
  s->EYOrigin->SetText("-3.25");
  EXPECT_DOUBLE_EQ(bar->YOrigin(), -3.25);
  s->EYOrigin->SetText("x");
  EXPECT_DOUBLE_EQ(bar->YOrigin(), -3.25);
  s->Group.Edit->SetText("4");
  EXPECT_EQ(bar->StackGroup(), 4);
  // Shown again, the origin's shorter text is not written back.
  bar->SetYOrigin(1.0 / 3);
  ShowAgain(s);
  EXPECT_EQ(bar->YOrigin(), 1.0 / 3);
}

TEST_F(BarForms, ErrorEditorsPlainAndWithBar) {
  auto* plain = Add<TErrorSeries>("Error");
  auto* e = Open<TErrorSeriesEditor>(plain);
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format"}));
  EXPECT_TRUE(e->RGStyle->Visible());
  e->RGStyle->Buttons(4)->SetChecked(true);
  EXPECT_EQ(plain->ErrorStyle(), essBottom);
  e->RGWidthUnit->Buttons(1)->SetChecked(true);
  EXPECT_EQ(plain->ErrorWidthUnits(), ewuPixels);
  e->ErrorWidth.Edit->SetText("70");
  EXPECT_EQ(plain->ErrorWidth(), 70);
  PenDialogPicks(clOlive);
  e->BPen->Click();
  EXPECT_EQ(plain->SeriesColor(), clOlive);

  auto* withBar = Add<TErrorBarSeries>("ErrorBar");
  withBar->SetSeriesColor(clRed);
  auto* b = Open<TErrorSeriesEditor>(withBar);
  EXPECT_FALSE(b->RGStyle->Visible());
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Stack", "Bar"}));
  EXPECT_EQ(Page->EditorFormCount(), 3);
  EXPECT_EQ(b->ErrorWidth.Edit->Text(), std::to_string(withBar->ErrorWidth()));
  PenDialogPicks(clOlive);
  b->BPen->Click();
  EXPECT_EQ(withBar->ErrorPen()->Color(), clOlive);
  EXPECT_EQ(withBar->SeriesColor(), clRed);
  ShowAgain(b);
  EXPECT_EQ(Page->EditorFormCount(), 3);
}

TEST_F(BarForms, ImageBarBrowsesAndClearsThePictureAndHidesTheBarStyle) {
  auto* image = Add<TImageBarSeries>("Image");
  image->Image()->SetGraphic(nullptr);
  auto* e = Open<TImageBarSeriesEditor>(image);
  EXPECT_EQ(Tabs(), WithOwnTabs({"Format", "Stack", "Bar"}));
  auto* bar = TabForm<TBarSeriesEditor>("Bar");
  ASSERT_NE(bar, nullptr);
  EXPECT_FALSE(bar->CBBarStyle->Visible());
  EXPECT_FALSE(bar->LStyle->Visible());
  EXPECT_EQ(e->BBrowse->Caption(), "B&rowse...");
  EXPECT_FALSE(e->CBTiled->Enabled());
  // A picture file chosen in the open dialog.
  const std::string file = testing::TempDir() + "image_bar.bmp";
  {
    TBitmap b(8, 8, pf24bit);
    b.SaveToFile(file);
  }
  SetDialogHook([file](TCommonDialog* D) {
    auto* o = dynamic_cast<TOpenDialog*>(D);
    if (o) o->SetFileName(file);
    return o != nullptr;
  });
  e->BBrowse->Click();
  ASSERT_NE(image->Image()->Graphic(), nullptr);
  EXPECT_EQ(e->BBrowse->Caption(), "Clea&r");
  EXPECT_TRUE(e->CBTiled->Enabled());
  EXPECT_NE(e->Image1->Picture()->Graphic(), nullptr);
  e->CBTiled->SetChecked(true);
  EXPECT_TRUE(image->ImageTiled());
  e->BBrowse->Click();
  EXPECT_EQ(image->Image()->Graphic(), nullptr);
  EXPECT_EQ(e->BBrowse->Caption(), "B&rowse...");
}

TEST_F(BarForms, BarJoinEditorLinksTheJoinPen) {
  auto* join = Add<TBarJoinSeries>("Join");
  auto* e = Open<TBarJoinEditor>(join);
  EXPECT_EQ(e->BJoin->Pen(), join->JoinPen());
  EXPECT_EQ(e->BBarPen->Pen(), join->BarPen());
}
