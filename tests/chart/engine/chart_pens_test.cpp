#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "chart/engine/chart_pens.h"
#include "platform/controls.h"
#include "platform/picture.h"
#include "platform/bitmap.h"
#include "platform/typinfo.h"

namespace {

bool Streams(TObject* Obj, const char* Prop) {
  const TPropInfo* info = GetPropInfo(Obj, Prop);
  return info && info->IsStored(Obj) && !IsDefaultPropValue(Obj, info);
}

// A panel stand-in that counts repaint requests.
class CountingPanel : public TControl {
public:
  CountingPanel() : TControl(nullptr) {}
  void Invalidate() override {
    ++Repaints;
    Log.push_back("repaint");
  }
  int Repaints = 0;
  std::vector<std::string> Log;
};

}  // namespace

TEST(ChartPen, VisibleStreamsOnlyWhenItDiffersFromTheStoredDefault) {
  TChartHiddenPen hidden;
  EXPECT_FALSE(hidden.Visible());
  EXPECT_FALSE(Streams(&hidden, "Visible"));
  hidden.Show();
  EXPECT_TRUE(Streams(&hidden, "Visible"));

  TChartPen plain;
  EXPECT_FALSE(Streams(&plain, "Visible"));
  plain.Hide();
  EXPECT_TRUE(Streams(&plain, "Visible"));

  TDottedGrayPen grid;
  EXPECT_EQ(grid.Color(), clGray);
  EXPECT_EQ(grid.Style(), psDot);
  EXPECT_FALSE(Streams(&grid, "Color"));
  EXPECT_FALSE(Streams(&grid, "Style"));
  grid.SetStyle(psSolid);
  EXPECT_TRUE(Streams(&grid, "Style"));
  EXPECT_FALSE(Streams(&grid, "EndStyle"));
  grid.DefaultEndStyle = esFlat;
  EXPECT_TRUE(Streams(&grid, "EndStyle"));
}

TEST(ChartPen, SettersNotifyOnlyOnChangeAndAssignKeepsTargetDefaults) {
  int changes = 0;
  TChartPen pen([&](TObject*) { ++changes; });
  pen.SetSmallDots(false);
  pen.SetEndStyle(esRound);
  pen.SetVisible(true);
  EXPECT_EQ(changes, 0);
  pen.SetSmallSpace(2);
  pen.SetEndStyle(esSquare);
  EXPECT_EQ(changes, 2);

  TChartHiddenPen source;
  source.SetColor(clRed);
  source.SetSmallDots(true);
  changes = 0;
  pen.Assign(&source);
  EXPECT_FALSE(pen.Visible());
  EXPECT_TRUE(pen.SmallDots());
  EXPECT_EQ(pen.SmallSpace(), 0);
  EXPECT_EQ(pen.EndStyle(), esRound);
  EXPECT_EQ(pen.Color(), clRed);
  EXPECT_TRUE(pen.DefaultVisible);  // stored defaults are not copied
  EXPECT_GE(changes, 1);
}

TEST(ChartBrush, AssigningABrushWithoutPictureFreesTheTargetsPictureFirst) {
  std::vector<TColor> colourAtChange;
  TChartBrush target([&](TObject* s) { colourAtChange.push_back(static_cast<TChartBrush*>(s)->Color()); });
  TBitmap bmp(2, 2, pf24bit);
  target.Image()->SetGraphic(&bmp);
  ASSERT_TRUE(target.HasImageGraphic());
  EXPECT_EQ(target.Color(), clDefault);

  TChartBrush source;
  source.SetColor(clRed);
  colourAtChange.clear();
  target.Assign(&source);
  EXPECT_EQ(target.ImageOrNull(), nullptr);
  ASSERT_GE(colourAtChange.size(), 2u);
  EXPECT_EQ(colourAtChange.front(), clDefault);  // the picture went before the colour came
  EXPECT_EQ(target.Color(), clRed);

  // A brush class reference creates descendants with the change notification.
  int n = 0;
  TChartBrush* made = TChartBrush::StaticClass()->Create([&](TObject*) { ++n; });
  made->SetColor(clBlue);
  EXPECT_EQ(n, 1);
  delete made;
}

TEST(View3DOptions, NotificationsAndRepaints) {
  CountingPanel panel;
  TView3DOptions v(&panel);
  EXPECT_TRUE(v.Orthogonal());
  EXPECT_EQ(v.Elevation(), 345);
  EXPECT_EQ(v.Rotation(), 345);
  EXPECT_EQ(v.Perspective(), 15);
  v.OnZoomed = [&](int z) { panel.Log.push_back("zoomed " + std::to_string(z) + " was " + std::to_string(v.Zoom())); };
  v.OnScrolled = [&](bool h) { panel.Log.push_back(h ? "scrolled horiz" : "scrolled vert"); };

  v.SetZoom(100);
  EXPECT_TRUE(panel.Log.empty());
  v.SetZoom(150);
  v.SetHorizOffset(10);
  v.SetVertOffset(-3);
  v.SetElevation(345);
  v.SetTilt(5);
  const std::vector<std::string> expected = {"zoomed 150 was 100", "repaint", "repaint", "scrolled horiz", "repaint",
                                             "scrolled vert",      "repaint"};
  EXPECT_EQ(panel.Log, expected);

  // Assign copies silently; another class is ignored.
  TView3DOptions copy(&panel);
  panel.Log.clear();
  copy.Assign(&v);
  EXPECT_EQ(copy.Zoom(), 150);
  EXPECT_EQ(copy.HorizOffset(), 10);
  EXPECT_EQ(copy.Tilt(), 5);
  TChartPen pen;
  EXPECT_NO_THROW(copy.Assign(&pen));
  EXPECT_EQ(copy.Zoom(), 150);
  EXPECT_TRUE(panel.Log.empty());
}

TEST(View3DOptions, OrthoRatio) {
  TView3DOptions v;
  EXPECT_NEAR(v.CalcOrthoRatio(), 1.0, 1e-12);
  v.SetOrthoAngle(135);
  EXPECT_NEAR(v.CalcOrthoRatio(), 1.0, 1e-12);
  v.SetOrthoAngle(60);
  EXPECT_NEAR(v.CalcOrthoRatio(), std::sqrt(3.0), 1e-12);
  v.SetOrthogonal(false);
  EXPECT_EQ(v.CalcOrthoRatio(), 1.0);
}
