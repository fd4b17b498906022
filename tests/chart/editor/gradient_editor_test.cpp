// The gradient editor driven through its controls, on a gradient of a real chart.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>
#include <string>

#include "chart/editor/gallery.h"
#include "chart/editor/gradient_editor.h"
#include "chart/engine/chart.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/walls_titles.h"
#include "chart/extra/pen_dialog.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"

namespace {

struct GradientEditor : ::testing::Test {
  void TearDown() override { EditorDialogHook = nullptr; }
  // Runs the dialog on G with Act driving it.
  static bool Run(TCustomGraphGradient* G, std::function<void(TGraphGradientEditor*)> Act, bool Fixed = false) {
    EditorDialogHook = [Act](TForm* F) { Act(static_cast<TGraphGradientEditor*>(F)); };
    return ShowGradientDialog(nullptr, G, Fixed);
  }
  static void PickTheme(TGraphGradientEditor* E, const std::string& Name) {
    E->Gallery->SetItemIndex(E->Gallery->Items()->IndexOf(Name));
    E->GalleryClick();
  }
  static int Red(TColor C) { return C & 0xFF; }
  static int Blue(TColor C) { return (C >> 16) & 0xFF; }
};

}  // namespace

TEST_F(GradientEditor, ThemesApplyTheirRowToAChartWall) {
  TChart chart(nullptr);
  TGraphGradient* g = chart.BackWall()->Gradient();
  g->SetVisible(true);
  ASSERT_TRUE(Run(g, [](TGraphGradientEditor* E) {
    // Sorted by name, each item keeps its row.
    EXPECT_EQ(E->Gallery->Items()->Strings(0), "Ace");
    EXPECT_EQ(E->Gallery->Items()->Strings(E->Gallery->Items()->Count() - 1), "Tropical");
    EXPECT_EQ(E->PageControl1->ActivePage(), E->TabColors);
    PickTheme(E, "Hot");
    EXPECT_TRUE(E->CBMid->Checked());
    EXPECT_EQ(E->CBDirection->ItemIndex(), 0);
    EXPECT_TRUE(E->BMid->Enabled());
    // "Space" goes from the top-left corner, where a middle colour has no place.
    PickTheme(E, "Space");
    EXPECT_FALSE(E->BMid->Enabled());
    EXPECT_FALSE(E->CBMid->Enabled());
    EXPECT_EQ(E->Preview->Gradient()->Direction(), gdFromTopLeft);
    PickTheme(E, "Hot");
    E->BOk->Click();
  }));
  EXPECT_EQ(g->StartColor(), TColor(0x0000FF));
  EXPECT_EQ(g->EndColor(), TColor(0x00FFFF));
  EXPECT_EQ(g->MidColor(), clNone);
  EXPECT_EQ(g->Direction(), gdTopBottom);

  // Every theme of the table through its list item.
  struct Row {
    const char* Name;
    TColor Start, Mid, End;
    TGradientDirection Direction;
    int Balance;
  };
  for (const Row& r : {Row{"Ace", 0x000000, 0xFF8080, 0x000000, gdBottomTop, 74},
                       Row{"Farm", 0x006AD5, 0xFFFFFF, 0x0062C4, gdBottomTop, 4},
                       Row{"Night", 0xFFFFFF, 0x800040, 0x000000, gdTopBottom, 40},
                       Row{"Clear day", 0xFFF3EA, 0xE0E6E9, 0xCEDBFF, gdTopBottom, 50}}) {
    Run(g, [&](TGraphGradientEditor* E) {
      PickTheme(E, r.Name);
      E->BOk->Click();
    });
    EXPECT_EQ(g->StartColor(), r.Start) << r.Name;
    EXPECT_EQ(g->MidColor(), r.Mid) << r.Name;
    EXPECT_EQ(g->EndColor(), r.End) << r.Name;
    EXPECT_EQ(g->Direction(), r.Direction) << r.Name;
    EXPECT_EQ(g->Balance(), r.Balance) << r.Name;
  }
}

TEST_F(GradientEditor, EnablingFollowsVisibilityDirectionAndFixedEnd) {
  TGraphGradient g;
  g.SetVisible(false);
  Run(&g, [](TGraphGradientEditor* E) {
    EXPECT_FALSE(E->CBDirection->Enabled());
    EXPECT_FALSE(E->BStart->Enabled());
    EXPECT_FALSE(E->Gallery->Enabled());
    E->CBVisible->SetChecked(true);
    EXPECT_TRUE(E->CBDirection->Enabled());
    // Radial offsets only for Radial.
    EXPECT_FALSE(E->TrackBar1->Enabled());
    E->CBDirection->SetItemIndex(static_cast<int>(gdRadial));
    E->CBDirectionChange();
    EXPECT_TRUE(E->TrackBar1->Enabled());
    E->TrackBar1->SetPosition(-120);
    EXPECT_EQ(E->LRadialX->Caption(), "-120");
    E->BOk->Click();
  });
  EXPECT_TRUE(g.Visible());
  EXPECT_EQ(g.Direction(), gdRadial);
  EXPECT_EQ(g.RadialX(), -120);

  // A fixed end colour: no End and Swap, and a hidden gradient keeps the colours editable.
  g.SetVisible(false);
  Run(
      &g,
      [](TGraphGradientEditor* E) {
        EXPECT_FALSE(E->BEnd->Visible());
        EXPECT_FALSE(E->BSwap->Visible());
        EXPECT_TRUE(E->BStart->Enabled());
        EXPECT_TRUE(E->BMid->Enabled());
        E->BCancel->Click();
      },
      true);
}

TEST_F(GradientEditor, MiddleColourSwapBalanceAndCancel) {
  int changes = 0;
  TGraphGradient g([&](TObject*) { ++changes; });
  g.SetStartColor(clRed);
  g.SetEndColor(clBlue);
  g.SetVisible(true);
  changes = 0;
  // Without a middle colour, unchecking "No Middle" gives white.
  Run(&g, [](TGraphGradientEditor* E) {
    EXPECT_TRUE(E->CBMid->Checked());
    E->CBMid->SetChecked(false);
    EXPECT_EQ(E->EditedGradient->MidColor(), clWhite);
    E->BSwapClick();
    E->SBBalance->SetPosition(30);
    EXPECT_EQ(E->LabelBalance->Caption(), "30 %");
    E->BOk->Click();
  });
  EXPECT_EQ(g.MidColor(), clWhite);
  EXPECT_EQ(g.StartColor(), clBlue);
  EXPECT_EQ(g.EndColor(), clRed);
  EXPECT_EQ(g.Balance(), 30);

  // Cancel after changes restores them and signals one change.
  changes = 0;
  EXPECT_FALSE(Run(&g, [&](TGraphGradientEditor* E) {
    E->BStart->SetColor(clGreen);
    E->BStartClick();
    E->BSwapClick();
    changes = 0;
    E->BCancel->Click();
  }));
  EXPECT_EQ(g.StartColor(), clBlue);
  EXPECT_EQ(g.EndColor(), clRed);
  EXPECT_EQ(changes, 1);
  // Cancel without a change touches nothing.
  changes = 0;
  Run(&g, [](TGraphGradientEditor* E) { E->BCancel->Click(); });
  EXPECT_EQ(changes, 0);
  // Escape is Cancel; the close box keeps the changes and answers false.
  EXPECT_FALSE(Run(&g, [](TGraphGradientEditor* E) {
    E->BSwapClick();
    E->Close();
  }));
  EXPECT_EQ(g.StartColor(), clRed);
  EXPECT_FALSE(Run(&g, [](TGraphGradientEditor* E) {
    E->BSwapClick();
    E->CBVisible->DispatchKeyDown(VK_ESCAPE, {});
  }));
  EXPECT_EQ(g.StartColor(), clRed);
}

TEST_F(GradientEditor, DirectionPickerShowsEachDirection) {
  TGraphGradient g;
  g.SetVisible(true);
  g.SetStartColor(clRed);
  g.SetEndColor(clBlue);
  Run(&g, [](TGraphGradientEditor* E) {
    TChartGalleryPanel* d = E->Directions;
    ASSERT_EQ(d->Charts.Count(), 10);
    EXPECT_EQ(d->NumRows(), 2);
    EXPECT_EQ(d->NumCols(), 5);
    EXPECT_EQ(d->Charts.Items(2)->Hint(), "Left Right");
    EXPECT_EQ(d->SelectedChart, d->Charts.Items(0));
    // Each thumbnail's back wall changes colour along its own axis only, and the two thumbnails of
    // an axis run opposite ways.
    std::vector<std::pair<int, int>> ends;  // red of the first and the last end along the axis
    for (int dir = 0; dir < 4; ++dir) {
      const bool horizontal = dir >= 2;
      TGalleryChart* chart = d->Charts.Items(dir);
      chart->SetBounds(0, 0, 120, 100);
      std::unique_ptr<TBitmap> b(chart->CreateBitmap(clWhite, TRect(0, 0, 120, 100), pf24bit));
      const TRect r = chart->ChartRect;
      const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
      auto red = [&](int X, int Y) { return Red(b->Canvas()->Pixels(X, Y)); };
      const int first = horizontal ? red(r.Left + 3, cy) : red(cx, r.Top + 3);
      const int last = horizontal ? red(r.Right - 4, cy) : red(cx, r.Bottom - 4);
      const int across1 = horizontal ? red(cx, r.Top + 3) : red(r.Left + 3, cy);
      const int across2 = horizontal ? red(cx, r.Bottom - 4) : red(r.Right - 4, cy);
      EXPECT_GT(std::abs(first - last), 180) << dir;
      EXPECT_LT(std::abs(across1 - across2), 20) << dir;
      ends.push_back({first, last});
    }
    EXPECT_NEAR(ends[0].first, ends[1].second, 20);
    EXPECT_NEAR(ends[2].first, ends[3].second, 20);
    // Picking a thumbnail sets the direction and the list.
    d->SelectChart(d->Charts.Items(7));
    EXPECT_EQ(E->CBDirection->ItemIndex(), 7);
    E->BOk->Click();
  });
  EXPECT_EQ(g.Direction(), gdRadial);
}

TEST_F(GradientEditor, EmbeddedEditorRebindsWithoutTouchingEitherGradient) {
  TForm host(nullptr);
  TGraphGradient a, b;
  a.SetStartColor(clLime);
  b.SetStartColor(clNavy);
  auto* e = TGraphGradientEditor::CreateEmbedded(&host, &a);
  EmbedFormWithObject(e, &host, &a);
  EXPECT_FALSE(e->PanelBottom->Visible());
  e->RefreshControls(&b);
  EXPECT_EQ(e->EditedGradient, &b);
  EXPECT_EQ(a.StartColor(), clLime);
  EXPECT_EQ(b.StartColor(), clNavy);
  EXPECT_EQ(e->BStart->GetColor(), clNavy);
}

TEST_F(GradientEditor, ButtonShowsItsGradient) {
  TForm form(nullptr);
  auto* button = new TButtonGradient(&form);
  button->SetParent(&form);
  button->SetBounds(0, 0, 100, 25);
  TGraphGradient g;
  g.SetVisible(true);
  g.SetStartColor(clRed);
  g.SetEndColor(clRed);
  button->LinkGradient(&g);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  EditorDialogHook = [](TForm* F) {
    auto* e = static_cast<TGraphGradientEditor*>(F);
    e->BSwapClick();
    e->BOk->Click();
  };
  button->Click();
  EXPECT_EQ(clicks, 1);
  EditorDialogHook = [](TForm* F) { static_cast<TGraphGradientEditor*>(F)->BCancel->Click(); };
  button->Click();
  EXPECT_EQ(clicks, 1);
  TBitmap bmp(100, 25, pf24bit);
  TGraphCanvas3D canvas;
  canvas.SetCanvas(bmp.Canvas());
  button->DrawSymbol(&canvas);
  const TRect r = button->SymbolRect();
  EXPECT_EQ(bmp.Canvas()->Pixels((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), clRed);
}
