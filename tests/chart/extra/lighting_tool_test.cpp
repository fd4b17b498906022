// The lighting tool: darkening by distance from the light point (linear and spotlight), on a
// picture and on a drawn chart; the light following the mouse; registration.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/engine/registries.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/lighting_tool.h"
#include "chart/extra/lighting_tool_editor.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "chart/series/testkit/series_testkit.h"

namespace {

std::unique_ptr<TBitmap> Grey(int W, int H, int Level) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(W, H);
  b->Canvas()->Brush()->SetColor(static_cast<TColor>(Level * 0x010101));
  b->Canvas()->FillRect(TRect(0, 0, W, H));
  return b;
}

int Level(TBitmap* B, int X, int Y) { return B->Canvas()->Pixels(X, Y) & 0xFF; }

// The darkening at a distance M in a W x H picture, worked out from the percentages: linear
// 2 x factor/10 levels per percent of the diagonal, spotlight the square of the percentage x factor/100.
int Expected(int Start, double M, int W, int H, int Factor, bool Spot) {
  const double percent = 100 * M / std::hypot(W, H), next = 100 * (M + 1) / std::hypot(W, H);
  const double o = Spot ? next * next * Factor / 100.0 : percent * 2 * Factor / 10.0;
  if (o >= 255) return 0;
  return std::max(0, Start - static_cast<int>(std::nearbyint(o)));
}

}  // namespace

TEST(LightTool, DarkensByDistanceFromTheLight) {
  auto src = Grey(200, 100, 200);
  struct Case {
    int Factor;
    bool Spot;
  } cases[] = {{10, false}, {10, true}, {3, false}, {40, true}, {100, false}};
  for (const Case& k : cases) {
    TBitmap* lit = ApplyLight(src.get(), 50, 40, k.Factor, k.Spot);
    SCOPED_TRACE(std::to_string(k.Factor) + (k.Spot ? " spot" : " linear"));
    for (auto [x, y] : {std::pair{50, 40}, {150, 40}, {199, 99}, {0, 0}, {60, 90}}) {
      const double m = std::hypot(x - 50, y - 40);
      EXPECT_NEAR(Level(lit, x, y), Expected(200, m, 200, 100, k.Factor, k.Spot), 1) << x << "," << y;
    }
  }
  // The light point itself keeps its colour in the linear style; a factor of 0 changes nothing.
  EXPECT_EQ(Level(ApplyLight(src.get(), 50, 40, 10, false), 50, 40), 200);
  TBitmap* none = ApplyLight(src.get(), 10, 10, 0, false);
  EXPECT_EQ(Level(none, 199, 99), 200);
  // Far enough the pixels are black.
  EXPECT_EQ(Level(ApplyLight(src.get(), 0, 0, 100, false), 199, 99), 0);
}

TEST(LightTool, LightsTheDrawnChartAroundItsLightPoint) {
  TSeriesChart plain(false, 300, 200);
  plain.Chart.SetColor(static_cast<TColor>(0xC8C8C8));
  plain.Render();
  TSeriesChart lit(false, 300, 200);
  lit.Chart.SetColor(static_cast<TColor>(0xC8C8C8));
  auto* tool = new TLightTool(nullptr);
  lit.Chart.Tools->Add(tool);
  tool->SetLeft(40);
  tool->SetTop(30);
  lit.Render();
  EXPECT_EQ(lit.At(40, 30), plain.At(40, 30));  // the centre keeps its colour
  const int far = plain.At(290, 190) & 0xFF;
  EXPECT_NEAR(lit.At(290, 190) & 0xFF, Expected(far, std::hypot(250, 160), 300, 200, 10, false), 1);
  // Automatic coordinates light the middle of the chart.
  tool->SetLeft(-1);
  tool->SetTop(-1);
  EXPECT_EQ(tool->LightPoint(), TPoint(150, 100));
  // The light follows the mouse when asked.
  tool->SetFollowMouse(true);
  tool->HandleChartMouse(meMove, mbLeft, {}, 70, 80);
  EXPECT_EQ(tool->Left(), 70);
  EXPECT_EQ(tool->Top(), 80);
  tool->SetFollowMouse(false);
  tool->HandleChartMouse(meMove, mbLeft, {}, 5, 5);
  EXPECT_EQ(tool->Left(), 70);

  std::string text;
  tool->GetDescription(text);
  EXPECT_EQ(text, "2D Lighting");
  InitExtraSeries();
  EXPECT_GE(GraphToolTypesList()->IndexOf(TLightTool::StaticClass()), 0);
}

TEST(LightTool, EditorWritesTheToolOnlyOnceShown) {
  TSeriesChart c(false, 300, 200);
  auto* tool = new TLightTool(nullptr);
  c.Chart.Tools->Add(tool);
  tool->SetFactor(30);
  auto form = std::make_unique<TLightToolEditor>(nullptr);
  form->SetTag(reinterpret_cast<intptr_t>(tool));
  form->TBLeft->SetPosition(10);  // still loading: the tool keeps its automatic point
  EXPECT_EQ(tool->Left(), -1);
  form->FormShow(form.get());
  EXPECT_EQ(form->TBLeft->Max(), 300);
  EXPECT_EQ(form->TBTop->Max(), 200);
  EXPECT_EQ(form->TBLeft->Position(), 150);  // the automatic point shown
  EXPECT_EQ(form->TBFactor->Position(), 30);
  EXPECT_EQ(tool->Left(), -1);
  form->TBLeft->SetPosition(25);
  form->TBTop->SetPosition(35);
  form->TBFactor->SetPosition(70);
  form->CheckBox2->SetChecked(true);
  form->CBStyle->SetItemIndex(1);
  form->CBStyleChange(form->CBStyle);
  EXPECT_EQ(tool->Left(), 25);
  EXPECT_EQ(tool->Top(), 35);
  EXPECT_EQ(tool->Factor(), 70);
  EXPECT_TRUE(tool->FollowMouse());
  EXPECT_EQ(tool->Style(), lsSpotLight);
  EXPECT_EQ(form->Caption(), "Quorvex Lighting");
  std::string name;
  GetElementEditorClassName(TLightTool::StaticClass(), name);
  EXPECT_EQ(name, "TLightToolEditor");
}
