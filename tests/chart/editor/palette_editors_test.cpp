// The tri-surface, tower, vector and point 3D forms in a series page.
#include <gtest/gtest.h>

#include "chart/editor/palette_editors.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/editor_controls.h"
#include "chart/extra/point3d_series.h"
#include "chart/extra/trisurface_series.h"
#include "chart/extra/vector_tower_series.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"
#include "series_page_fixture.h"

namespace {

struct PaletteForms : SeriesFormFixture {
  void SetUp() override {
    SeriesFormFixture::SetUp();
    RegisterGrid3DEditorForms();
    RegisterPaletteEditorForms();
    RegisterShapeEditorClasses();
  }
};

const std::vector<std::string> kGridTabs = {"Format", "Grid 3D", "General", "Marks", "Data Source"};

}  // namespace

TEST_F(PaletteForms, TriSurfaceFormEditsPensTrianglesAndTransparency) {
  auto* a = Add<TTriSurfaceSeries>();
  auto* b = Add<TTriSurfaceSeries>();
  b->SetHideTriangles(false);
  b->SetTransparency(20);
  auto* f = Select<TTriSurfaceSeriesEditor>(a);
  ASSERT_TRUE(f);
  EXPECT_EQ(Tabs(), kGridTabs);
  EXPECT_EQ(f->Button2->Pen(), a->Pen());
  EXPECT_EQ(f->Button1->Pen(), a->Border());
  f->CBHide->SetChecked(false);
  EXPECT_FALSE(a->HideTriangles());
  f->Transp.Edit->SetText("30");
  f->Transp.Edit->SetText("101");
  EXPECT_EQ(a->Transparency(), 30);
  ShowAgain(f);
  EXPECT_EQ(Tabs(), kGridTabs);

  f = Select<TTriSurfaceSeriesEditor>(b);
  EXPECT_FALSE(f->CBHide->Checked());
  EXPECT_EQ(f->Transp.Edit->Text(), "20");
  // The grid tab of a series that is no grid: no size fields, no "Irregular".
  auto* g = TabForm<TGrid3DSeriesEditor>("Grid 3D");
  ASSERT_TRUE(g);
  EXPECT_FALSE(g->SEXGrid->Enabled());
  EXPECT_FALSE(g->CBIrreg->Visible());
}

TEST_F(PaletteForms, TowerFormEditsStyleOriginAndPercents) {
  auto* a = Add<TTowerSeries>();
  auto* b = Add<TTowerSeries>();
  b->SetDark3D(false);
  b->SetUseOrigin(true);
  b->SetOrigin(1.5);
  b->SetTowerStyle(tsCone);
  auto* f = Select<TTowerSeriesEditor>(a);
  ASSERT_TRUE(f);
  EXPECT_EQ(Tabs(), kGridTabs);
  EXPECT_TRUE(f->CBDark3D->Checked());
  f->CBStyle->SetItemIndex(7);
  f->CBStyle->OnChange(f->CBStyle);
  EXPECT_EQ(a->TowerStyle(), tsSlantCube);
  f->CBDark3D->SetChecked(false);
  EXPECT_FALSE(a->Dark3D());
  f->CBOrigin->SetChecked(true);
  EXPECT_TRUE(a->UseOrigin());
  f->EOrigin->SetText("-2.25");
  EXPECT_DOUBLE_EQ(a->Origin(), -2.25);
  f->EOrigin->SetText("abc");
  EXPECT_DOUBLE_EQ(a->Origin(), -2.25);
  f->Depth.Edit->SetText("55");
  f->Width.Edit->SetText("60");
  f->Transp.Edit->SetText("15");
  f->Width.Edit->SetText("-1");
  EXPECT_EQ(a->PercentDepth(), 55);
  EXPECT_EQ(a->PercentWidth(), 60);
  EXPECT_EQ(a->Transparency(), 15);
  EXPECT_EQ(f->Depth.UpDown->Increment(), 5);

  f = Select<TTowerSeriesEditor>(b);
  EXPECT_FALSE(f->CBDark3D->Checked());
  EXPECT_TRUE(f->CBOrigin->Checked());
  EXPECT_EQ(f->EOrigin->Text(), "1.5");
  EXPECT_EQ(f->CBStyle->ItemIndex(), static_cast<int>(tsCone));
}

TEST_F(PaletteForms, VectorFormEditsArrows) {
  auto* a = Add<TVector3DSeries>();
  auto* b = Add<TVector3DSeries>();
  b->SetArrowWidth(11);
  b->SetArrowHeight(12);
  b->EndArrow()->SetColor(clRed);
  auto* f = Select<TVectorSeriesEditor>(a);
  ASSERT_TRUE(f);
  EXPECT_EQ(Tabs(), kGridTabs);
  EXPECT_EQ(f->BStart->Pen(), a->StartArrow());
  EXPECT_EQ(f->BEnd->Pen(), a->EndArrow());
  f->ArrowHeight.Edit->SetText("9");
  EXPECT_EQ(a->ArrowHeight(), 9);
  EXPECT_EQ(a->ArrowWidth(), 4);
  f->ArrowWidth.Edit->SetText("7");
  EXPECT_EQ(a->ArrowWidth(), 7);
  EXPECT_EQ(a->ArrowHeight(), 9);
  f->ArrowWidth.Edit->SetText("0");
  EXPECT_EQ(a->ArrowWidth(), 7);
  f->CBStart->SetChecked(!f->CBStart->Checked());
  EXPECT_EQ(a->StartArrow()->Color(), f->CBStart->Checked() ? clAutoColor : clBlack);
  f->CBStart->SetChecked(!f->CBStart->Checked());
  EXPECT_EQ(a->StartArrow()->Color(), f->CBStart->Checked() ? clAutoColor : clBlack);

  f = Select<TVectorSeriesEditor>(b);
  EXPECT_EQ(f->ArrowWidth.Edit->Text(), "11");
  EXPECT_EQ(f->ArrowHeight.Edit->Text(), "12");
  EXPECT_FALSE(f->CBEnd->Checked());
}

TEST_F(PaletteForms, Point3DFormEditsDepthAndColourAndAddsThePointTab) {
  auto* a = Add<TPoint3DSeries>();
  auto* b = Add<TBubble3DSeries>();
  b->SetDepthSize(3.5);
  b->SetColorEachPoint(true);
  auto* f = Select<TPoint3DSeriesEditor>(a);
  ASSERT_TRUE(f);
  EXPECT_EQ(Tabs(), (std::vector<std::string>{"Format", "Point", "General", "Marks", "Data Source"}));
  auto* p = TabForm<TSeriesPointerEditor>("Point");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->Pointer, a->Pointer());
  f->PointDepth.Edit->SetText("12");
  EXPECT_DOUBLE_EQ(a->DepthSize(), 12);
  f->PointDepth.Edit->SetText("200");
  EXPECT_DOUBLE_EQ(a->DepthSize(), 12);
  EXPECT_EQ(f->Button1->Pen(), a->LinePen());
  EXPECT_EQ(f->BBasePen->Pen(), a->BaseLine());
  EXPECT_TRUE(f->BColor->Enabled());
  f->CBColorEach->SetChecked(true);
  EXPECT_TRUE(a->ColorEachPoint());
  EXPECT_FALSE(f->BColor->Enabled());
  ShowAgain(f);
  EXPECT_EQ(Page->PageSeries->PageCount(), 5);

  // A bubble: depth 3.5 shows 4 (a half to the even neighbour), colour button off from the start.
  f = Select<TPoint3DSeriesEditor>(b);
  EXPECT_EQ(f->PointDepth.Edit->Text(), "4");
  EXPECT_DOUBLE_EQ(b->DepthSize(), 3.5);
  EXPECT_TRUE(f->CBColorEach->Checked());
  EXPECT_FALSE(f->BColor->Enabled());
  EXPECT_EQ(TabForm<TSeriesPointerEditor>("Point")->Pointer, b->Pointer());
}
