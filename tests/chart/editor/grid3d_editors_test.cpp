// The "Grid 3D" form and the surface, water fall, contour and colour grid forms, each shown in a
// series page the way the chart editor shows it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "chart/editor/gradient_editor.h"
#include "chart/editor/grid3d_editors.h"
#include "chart/editor/series_page.h"
#include "chart/engine/chart.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/series_helpers.h"
#include "chart/extra/contour_series.h"
#include "chart/extra/grid_series.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/surface_series.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/exceptions.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"
#include "series_page_fixture.h"

namespace {

struct Grid3DForms : SeriesFormFixture {
  void SetUp() override {
    SeriesFormFixture::SetUp();
    RegisterGrid3DEditorForms();
  }
  TGrid3DSeriesEditor* GridTab() const { return TabForm<TGrid3DSeriesEditor>(MsgGalleryGrid3D); }
  static void Type(TEdit* E, const std::string& Text) { E->SetText(Text); }
};

const std::vector<std::string> kGridTabs = {"Format", "Grid 3D", "General", "Marks", "Data Source"};

}  // namespace

TEST_F(Grid3DForms, SurfaceFormEditsDrawingModeAndTransparencyAndKeepsOneGridTab) {
  auto* a = Add<TSurfaceSeries>();
  auto* b = Add<TSurfaceSeries>();
  b->SetDotFrame(true);
  b->SetTransparency(35);
  b->SetSmoothPalette(true);
  auto* f = Select<TSurfaceSeriesEditor>(a);
  ASSERT_TRUE(f);
  EXPECT_EQ(Tabs(), kGridTabs);
  EXPECT_EQ(f->RadioGroup1->ItemIndex(), 0);

  f->RadioGroup1->Buttons(1)->SetChecked(true);
  EXPECT_TRUE(a->WireFrame());
  f->RadioGroup1->Buttons(2)->SetChecked(true);
  EXPECT_TRUE(a->DotFrame());
  EXPECT_FALSE(a->WireFrame());
  f->RadioGroup1->Buttons(0)->SetChecked(true);
  EXPECT_FALSE(a->DotFrame());
  EXPECT_FALSE(a->WireFrame());
  f->CBSmooth->SetChecked(true);
  EXPECT_TRUE(a->SmoothPalette());
  EXPECT_EQ(f->Button2->Pen(), a->Pen());
  EXPECT_EQ(f->BSideLines->Pen(), a->SideLines());

  Type(f->Transp.Edit, "40");
  EXPECT_EQ(a->Transparency(), 40);
  for (const char* bad : {"140", "-5", "forty", ""}) {
    Type(f->Transp.Edit, bad);
    EXPECT_EQ(a->Transparency(), 40) << bad;
  }

  // Shown again: the grid tab is reloaded, not inserted again.
  TGrid3DSeriesEditor* grid = GridTab();
  ASSERT_TRUE(grid);
  a->SetTimesZOrder(7);
  ShowAgain(f);
  EXPECT_EQ(Tabs(), kGridTabs);
  EXPECT_EQ(GridTab(), grid);
  EXPECT_EQ(grid->UDDepth->Position(), 7);
  grid->EDepth->SetText("11");
  EXPECT_EQ(a->TimesZOrder(), 11);

  // Another surface in the same page shows its own values.
  f = Select<TSurfaceSeriesEditor>(b);
  EXPECT_EQ(f->RadioGroup1->ItemIndex(), 2);
  EXPECT_EQ(f->Transp.Edit->Text(), "35");
  EXPECT_TRUE(f->CBSmooth->Checked());
  EXPECT_EQ(Tabs(), kGridTabs);
  EXPECT_EQ(GridTab()->Grid3DSeries, b);
  EXPECT_TRUE(b->DotFrame());
  EXPECT_EQ(b->Transparency(), 35);
}

TEST_F(Grid3DForms, GridTabFollowsAndSetsTheColourMode) {
  auto* s = Add<TSurfaceSeries>();
  s->SetUseColorRange(false);
  s->SetUsePalette(true);
  Select<TSurfaceSeriesEditor>(s);
  TGrid3DSeriesEditor* g = GridTab();
  ASSERT_TRUE(g);
  EXPECT_EQ(g->PageControl1->ActivePage(), g->TabPalette);

  s->SetColorEachPoint(false);
  g->PageControl1->SetActivePage(g->TabSingle);
  g->PageControl1->OnChange(g->PageControl1);
  EXPECT_FALSE(s->ColorEachPoint());
  EXPECT_FALSE(s->UseColorRange());
  EXPECT_FALSE(s->UsePalette());

  g->PageControl1->SetActivePage(g->TabRange);
  g->PageControl1->OnChange(g->PageControl1);
  EXPECT_TRUE(s->UseColorRange());
  EXPECT_FALSE(s->UsePalette());
  g->PageControl1->SetActivePage(g->TabPalette);
  g->PageControl1->OnChange(g->PageControl1);
  EXPECT_FALSE(s->UseColorRange());
  EXPECT_TRUE(s->UsePalette());

  // Palette fields: steps, style, minimum (text that is no number keeps the value), legend step.
  g->SEPalette->SetText("12");
  EXPECT_EQ(s->PaletteSteps(), 12);
  g->SEPalette->SetText("5000");
  EXPECT_EQ(s->PaletteSteps(), 12);
  g->CBPalStyle->SetItemIndex(4);
  g->CBPalStyle->OnChange(g->CBPalStyle);
  EXPECT_EQ(s->PaletteStyle(), psRainbow);
  EXPECT_FALSE(g->EPaletteMin->Enabled());
  g->CBUseMin->SetChecked(true);
  EXPECT_TRUE(s->UsePaletteMin());
  EXPECT_TRUE(g->EPaletteMin->Enabled());
  g->EPaletteMin->SetText("2.5");
  EXPECT_DOUBLE_EQ(s->PaletteMin(), 2.5);
  g->EPaletteMin->SetText("2.5x");
  EXPECT_DOUBLE_EQ(s->PaletteMin(), 2.5);
  g->EPaletteStep->SetText("0.25");
  EXPECT_DOUBLE_EQ(s->PaletteStep(), 0.25);
  g->Edit1->SetText("3");
  EXPECT_EQ(s->LegendEvery(), 3);
  g->EDepth->SetText("9");
  EXPECT_EQ(s->TimesZOrder(), 9);
  g->EDepth->SetText("0");
  EXPECT_EQ(s->TimesZOrder(), 9);
}

TEST_F(Grid3DForms, GridTabRangeColoursMiddleSwapAndGallery) {
  auto* s = Add<TSurfaceSeries>();
  s->SetStartColor(clRed);
  s->SetEndColor(clBlue);
  s->SetMidColor(clNone);
  Select<TSurfaceSeriesEditor>(s);
  TGrid3DSeriesEditor* g = GridTab();
  ASSERT_TRUE(g);
  EXPECT_TRUE(g->CheckBox1->Checked());
  EXPECT_FALSE(g->CheckBox1->Enabled());

  // A middle colour chosen: "No middle" is cleared and can be checked again.
  SetDialogHook([](TCommonDialog* D) {
    static_cast<TColorDialog*>(D)->SetColor(clLime);
    return true;
  });
  g->BMidColor->Click();
  EXPECT_EQ(s->MidColor(), clLime);
  EXPECT_FALSE(g->CheckBox1->Checked());
  EXPECT_TRUE(g->CheckBox1->Enabled());
  g->CheckBox1->SetChecked(true);
  EXPECT_EQ(s->MidColor(), clNone);
  EXPECT_FALSE(g->CheckBox1->Enabled());

  g->Button1->Click();
  EXPECT_EQ(s->StartColor(), clBlue);
  EXPECT_EQ(s->EndColor(), clRed);

  // The gallery shows only the named gradients; OK copies the chosen one's colours.
  TGraphGradient theme;
  int withMid = -1, withoutMid = -1;
  for (int i = 0; i < GradientThemeCount; ++i) {
    ApplyGradientTheme(&theme, i);
    (theme.UsesMidColor() ? withMid : withoutMid) = i;
  }
  ASSERT_GE(withMid, 0);
  ASSERT_GE(withoutMid, 0);
  for (int pick : {withMid, withoutMid}) {
    bool shown = false;
    EditorDialogHook = [&](TForm* F) {
      auto* e = dynamic_cast<TGraphGradientEditor*>(F);
      if (!e) return;
      shown = true;
      EXPECT_FALSE(e->TabColors->TabVisible());
      EXPECT_FALSE(e->TabOptions->TabVisible());
      EXPECT_FALSE(e->TabDirections->TabVisible());
      EXPECT_FALSE(e->CBVisible->Visible());
      EXPECT_FALSE(e->CBDirection->Visible());
      EXPECT_FALSE(dynamic_cast<TControl*>(e->FindComponent("LabelDirection"))->Visible());
      EXPECT_TRUE(e->TabDefault->TabVisible());
      e->Gallery->SetItemIndex(e->Gallery->Items()->IndexOfObject(reinterpret_cast<TObject*>(intptr_t{pick})));
      e->GalleryClick();
      e->BOk->Click();
    };
    g->Button2->Click();
    ASSERT_TRUE(shown);
    ApplyGradientTheme(&theme, pick);
    EXPECT_EQ(s->StartColor(), theme.StartColor());
    EXPECT_EQ(s->EndColor(), theme.EndColor());
    EXPECT_EQ(s->MidColor(), theme.UsesMidColor() ? theme.MidColor() : clNone);
    EXPECT_EQ(g->CheckBox1->Checked(), !theme.UsesMidColor());
  }
  // Cancelled: nothing changes.
  const TColor start = s->StartColor();
  EditorDialogHook = [](TForm* F) {
    if (auto* e = dynamic_cast<TGraphGradientEditor*>(F)) {
      e->Gallery->SetItemIndex(0);
      e->GalleryClick();
      e->BCancel->Click();
    }
  };
  g->Button2->Click();
  EXPECT_EQ(s->StartColor(), start);
}

TEST_F(Grid3DForms, GridTabSizeRemovesCustomColoursAndRegeneratesTheGrid) {
  auto* s = Add<TSurfaceSeries>();
  s->OnGetYValue = [](TChartSeries*, int32_t X, int32_t Z) { return X * 10.0 + Z; };
  s->CreateValues(3, 2);
  s->SetPointColorAt(1, static_cast<TColor>(0x123456));
  ASSERT_TRUE(SeriesHasColors(s));
  Select<TSurfaceSeriesEditor>(s);
  TGrid3DSeriesEditor* g = GridTab();
  ASSERT_TRUE(g);
  EXPECT_TRUE(g->SEXGrid->Enabled());
  EXPECT_EQ(g->SEXGrid->Text(), "3");
  EXPECT_TRUE(g->BRemove->Enabled());
  g->BRemove->Click();
  for (int i = 0; i < s->Count(); ++i) EXPECT_EQ(s->StoredColorAt(i), clAutoColor);
  EXPECT_FALSE(g->BRemove->Enabled());

  g->SEXGrid->SetText("4");
  EXPECT_EQ(s->NumXValues(), 4);
  EXPECT_EQ(s->Count(), 8);
  g->SEZGrid->SetText("3");
  EXPECT_EQ(s->Count(), 12);
  EXPECT_DOUBLE_EQ(s->YValues()->Value(11), 43);
  g->SEZGrid->SetText("0");
  EXPECT_EQ(s->Count(), 12);

  // A grid that cannot make its own values: the size fields are disabled and change nothing.
  auto* t = Add<TSurfaceSeries>();
  Select<TSurfaceSeriesEditor>(t);
  g = GridTab();
  EXPECT_FALSE(g->SEXGrid->Enabled());
  EXPECT_FALSE(g->UZOVira->Enabled());
  g->SEXGrid->SetText("5");
  EXPECT_EQ(t->Count(), 0);
}

TEST_F(Grid3DForms, WaterFallFormAddsItsLinesPen) {
  auto* w = Add<TWaterFallSeries>();
  auto* f = Select<TWaterFallEditor>(w);
  ASSERT_TRUE(f);
  EXPECT_EQ(f->BLines->Pen(), w->WaterLines());
  EXPECT_EQ(Tabs(), kGridTabs);
}

TEST_F(Grid3DForms, ContourFormEditsLevels) {
  auto* c = Add<TContourSeries>();
  c->FillSampleValues(10);
  auto* d = Add<TContourSeries>();
  d->SetNumLevels(3);
  d->SetYPositionLevel(true);
  d->SetYPosition(2.5);
  d->Smoothing()->SetActive(true);
  auto* f = Select<TContourSeriesEditor>(c);
  ASSERT_TRUE(f);
  EXPECT_EQ(Tabs(), kGridTabs);
  EXPECT_TRUE(f->CBAutoLevels->Checked());
  EXPECT_FALSE(f->CBInterpolate->Enabled());

  f->SENum->SetText("5");
  EXPECT_EQ(c->NumLevels(), 5);
  EXPECT_EQ(c->Levels()->Count(), 5);
  EXPECT_EQ(f->UDLevel->Max(), 4);
  f->SENum->SetText("151");
  EXPECT_EQ(c->NumLevels(), 5);

  f->ELevel->SetText("2");
  TContourLevel* l = c->Levels()->Level(2);
  EXPECT_EQ(f->EValue->Text(), FormatFloat("0.###", l->UpToValue()));
  EXPECT_TRUE(f->cbDefaultPen->Checked());
  EXPECT_FALSE(f->bLevelPen->Enabled());

  // A typed value turns automatic levels off; a text that is no number is refused.
  f->EValue->SetText("1.25");
  EXPECT_DOUBLE_EQ(l->UpToValue(), 1.25);
  EXPECT_FALSE(c->AutomaticLevels());
  EXPECT_FALSE(f->CBAutoLevels->Checked());
  f->EValue->SetText("one");
  EXPECT_EQ(Shown, "'one' is not a valid floating point value.");
  Shown.clear();
  f->EValue->SetText("");
  EXPECT_EQ(Shown, "'' is not a valid floating point value.");
  EXPECT_DOUBLE_EQ(l->UpToValue(), 1.25);

  // The level's own pen.
  f->cbDefaultPen->SetChecked(false);
  EXPECT_FALSE(l->DefaultPen());
  EXPECT_EQ(f->bLevelPen->Pen(), l->Pen());
  EXPECT_TRUE(f->bLevelPen->Enabled());
  SetDialogHook([](TCommonDialog* D) {
    static_cast<TColorDialog*>(D)->SetColor(clFuchsia);
    return true;
  });
  f->SHColorMouseUp();
  EXPECT_EQ(l->Color(), clFuchsia);
  EXPECT_EQ(l->Pen()->Color(), clFuchsia);
  EXPECT_EQ(f->SHColor->Color(), clFuchsia);
  EditorDialogHook = [](TForm* F) {
    if (auto* d = dynamic_cast<TPenDialog*>(F)) {
      d->EditedPen->SetColor(clNavy);
      d->BOk->Click();
    }
  };
  f->bLevelPen->Click();
  EXPECT_EQ(l->Color(), clNavy);
  EXPECT_EQ(f->SHColor->Color(), clNavy);
  EXPECT_FALSE(f->cbDefaultPen->Checked());
  f->cbDefaultPen->SetChecked(true);
  EXPECT_TRUE(l->DefaultPen());
  EXPECT_EQ(f->bLevelPen->Pen(), nullptr);
  // The unlinked button edits nothing.
  f->bLevelPen->Click();
  EXPECT_TRUE(l->DefaultPen());
  EXPECT_TRUE(f->cbDefaultPen->Checked());
  EXPECT_EQ(l->Color(), clNavy);

  f->CBSmooth->SetChecked(true);
  EXPECT_TRUE(c->Smoothing()->Active());
  EXPECT_TRUE(f->CBInterpolate->Enabled());
  f->CBYPosLevel->SetChecked(true);
  EXPECT_TRUE(c->YPositionLevel());
  EXPECT_FALSE(f->SEYPos->Enabled());

  // Automatic again: the levels are made anew and the count field is enabled.
  f->CBAutoLevels->SetChecked(true);
  EXPECT_TRUE(c->AutomaticLevels());
  EXPECT_TRUE(f->SENum->Enabled());
  EXPECT_NE(c->Levels()->Level(2)->UpToValue(), 1.25);
  // Levels of no colour of their own show the chart's palette colour, which a click on the
  // unlinked pen button leaves alone.
  f->CBColorEach->SetChecked(true);
  EXPECT_TRUE(c->ColorEachPoint());
  ASSERT_EQ(c->Levels()->Level(2)->Color(), clAutoColor);
  EXPECT_EQ(f->SHColor->Color(), Chart->GetPaletteColor(2));
  f->bLevelPen->Click();
  EXPECT_EQ(f->SHColor->Color(), Chart->GetPaletteColor(2));

  // Another contour: its values, rounded position (2.5 shows 2), and opening it changes nothing.
  f = Select<TContourSeriesEditor>(d);
  EXPECT_EQ(f->SENum->Text(), "3");
  EXPECT_EQ(f->UDLevel->Max(), 2);
  EXPECT_EQ(f->SEYPos->Text(), "2");
  EXPECT_DOUBLE_EQ(d->YPosition(), 2.5);
  EXPECT_TRUE(f->CBYPosLevel->Checked());
  EXPECT_FALSE(f->SEYPos->Enabled());
  EXPECT_TRUE(f->CBSmooth->Checked());
  EXPECT_TRUE(f->CBInterpolate->Enabled());
}

TEST_F(Grid3DForms, ColorGridFormEditsTheGridAndLoadsAPicture) {
  auto* g = Add<TColorGridSeries>();
  auto* f = Select<TColorGridEditor>(g);
  ASSERT_TRUE(f);
  EXPECT_EQ(Tabs(), kGridTabs);
  f->CBCentered->SetChecked(true);
  EXPECT_TRUE(g->CenteredPoints());
  f->CBSmooth->SetChecked(true);
  EXPECT_TRUE(g->SmoothBitmap());
  f->XEvery.Edit->SetText("4");
  f->ZEvery.Edit->SetText("6");
  f->ZEvery.Edit->SetText("101");
  EXPECT_EQ(g->XGridEvery(), 4);
  EXPECT_EQ(g->ZGridEvery(), 6);
  EXPECT_EQ(f->BGrid->Pen(), g->Pen());
  EXPECT_EQ(f->ButtonPen1->Pen(), g->Frame());
  TGrid3DSeriesEditor* grid = GridTab();
  ASSERT_TRUE(grid);
  EXPECT_FALSE(grid->BRemove->Enabled());

  // A 3 x 2 picture: one cell per pixel, coloured as the pixel.
  const std::string file = (std::filesystem::temp_directory_path() / "forms3_grid_picture.bmp").string();
  {
    TBitmap b(3, 2, pf24bit);
    for (int x = 0; x < 3; ++x)
      for (int y = 0; y < 2; ++y) b.Canvas()->SetPixels(x, y, y == 0 ? clRed : clBlue);
    b.SaveToFile(file);
  }
  SetDialogHook([file](TCommonDialog* D) {
    static_cast<TOpenDialog*>(D)->SetFileName(file);
    return true;
  });
  f->Button2->Click();
  std::remove(file.c_str());
  EXPECT_EQ(g->NumXValues(), 3);
  EXPECT_EQ(g->NumZValues(), 2);
  ASSERT_EQ(g->Count(), 6);
  EXPECT_EQ(g->StoredColorAt(0), clRed);
  EXPECT_EQ(g->StoredColorAt(1), clBlue);
  EXPECT_DOUBLE_EQ(g->ZValues()->Value(1), 2);
  EXPECT_TRUE(grid->BRemove->Enabled());

  // No file chosen: nothing changes.
  SetDialogHook([](TCommonDialog*) { return false; });
  f->Button2->Click();
  EXPECT_EQ(g->Count(), 6);

  // Another colour grid shows its own settings.
  auto* h = Add<TColorGridSeries>();
  h->SetXGridEvery(9);
  f = Select<TColorGridEditor>(h);
  EXPECT_EQ(f->XEvery.Edit->Text(), "9");
  EXPECT_FALSE(f->CBCentered->Checked());
}

TEST_F(Grid3DForms, GridFormOutsideTheSeriesPageOutlivesItsChart) {
  auto* s = new TSurfaceSeries(&Host);
  Chart->AttachSeries(s);
  std::unique_ptr<TGrid3DSeriesEditor> g(new TGrid3DSeriesEditor(nullptr));
  EmbedFormWithObject(g.get(), &Host, s);
  EXPECT_EQ(g->Grid3DSeries, s);
  EXPECT_EQ(Tabs(), (std::vector<std::string>{"Format", "General", "Marks", "Data Source"}));
  // The chart goes first: the form forgets it and its series, and goes later without touching them.
  delete Chart;
  Chart = nullptr;
  EXPECT_EQ(g->Grid3DSeries, nullptr);
  g->Button1->Click();
  g.reset();
}
