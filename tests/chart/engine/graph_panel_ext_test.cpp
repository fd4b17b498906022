// The extended chart panel: back image modes, background, shadow and gradient, the zoom band and
// its settings, undoing a zoom, assignment and streaming.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "chart/engine/graph_panel_ext.h"
#include "chart/engine/testkit/recording_canvas.h"
#include "platform/bitmap.h"
#include "platform/streaming.h"

namespace {

// A panel whose contents are its background, as the chart pipeline draws it first.
class TBackPanel : public TCustomGraphPanelExtended {
public:
  explicit TBackPanel(TComponent* AOwner = nullptr) : TCustomGraphPanelExtended(AOwner) {
    SetBevelOuter(bvNone);
    SetColor(clBlue);
  }
  void DrawContents(const TRect& Rect) override { DrawPanelBackground(Rect); }
  // Draws through a recording canvas from now on.
  TRecordingCanvas* Record(int W, int H) {
    auto* c = new TRecordingCanvas(W, H);
    AdoptCanvas(std::unique_ptr<TGraphCanvas3D>(c));
    return c;
  }
};

std::unique_ptr<TBitmap> Solid(int W, int H, TColor Color) {
  auto b = std::make_unique<TBitmap>(W, H, pf24bit);
  b->Canvas()->Brush()->SetColor(Color);
  b->Canvas()->FillRect(TRect(0, 0, W, H));
  return b;
}

std::unique_ptr<TBitmap> Render(TBackPanel& P) {
  return std::unique_ptr<TBitmap>(P.CreateBitmap(clWhite, TRect(0, 0, P.Width(), P.Height()), pf24bit));
}

}  // namespace

TEST(GraphPanelExtended, BackImageIsCreatedOnlyWhenAskedFor) {
  TBackPanel p;
  EXPECT_FALSE(p.BackImageInside());
  EXPECT_EQ(p.BackImageOrNull(), nullptr);
  p.SetBackImageTransp(true);  // no graphic: nothing happens
  EXPECT_FALSE(p.BackImageTransp());
  EXPECT_EQ(p.BackImageOrNull(), nullptr);
  EXPECT_EQ(p.BackImageMode(), pbmStretch);
  ASSERT_NE(p.BackImageOrNull(), nullptr);
  EXPECT_FALSE(p.HasBackImage());
  // An empty image draws nothing: the panel is its colour.
  EXPECT_EQ(Render(p)->Canvas()->Pixels(200, 100), clBlue);
  // Changing the image repaints; nil frees it.
  p.Repaint();
  ASSERT_TRUE(p.Canvas->BufferValid());
  p.BackImage()->SetMode(pbmTile);
  EXPECT_FALSE(p.Canvas->BufferValid());
  p.SetBackImage(nullptr);
  EXPECT_EQ(p.BackImageOrNull(), nullptr);
  EXPECT_EQ(p.GetPalette(), nullptr);
}

TEST(GraphPanelExtended, BackImageModesPlaceTheImage) {
  TBackPanel p;
  p.SetBounds(0, 0, 300, 200);
  auto red = Solid(100, 50, clRed);
  p.BackImage()->Assign(red.get());
  p.SetBackImageTransp(true);
  EXPECT_TRUE(p.BackImageTransp());
  p.SetBackImageTransp(false);

  struct Case {
    TGraphBackImageMode Mode;
    TPoint Inside, Outside;
  };
  const Case cases[] = {
      {pbmCenter, TPoint(100, 75), TPoint(99, 75)},  // centred: top-left at (100, 75)
      {pbmCenter, TPoint(199, 124), TPoint(200, 125)},
      {pbmCustom, TPoint(10, 20), TPoint(9, 20)},  // at Left 10, Top 20
      {pbmCustom, TPoint(109, 69), TPoint(110, 69)},
      {pbmStretch, TPoint(0, 0), TPoint(-1, -1)},
      {pbmStretch, TPoint(299, 199), TPoint(-1, -1)},
      {pbmTile, TPoint(250, 180), TPoint(-1, -1)},
  };
  p.BackImage()->SetLeft(10);
  p.BackImage()->SetTop(20);
  for (const Case& c : cases) {
    p.SetBackImageMode(c.Mode);
    auto b = Render(p);
    EXPECT_EQ(b->Canvas()->Pixels(c.Inside.X, c.Inside.Y), clRed) << c.Mode;
    if (c.Outside.X >= 0) {
      EXPECT_EQ(b->Canvas()->Pixels(c.Outside.X, c.Outside.Y), clBlue) << c.Mode;
    }
  }
  // An image inside the back wall is not part of the panel background.
  p.SetBackImageInside(true);
  EXPECT_EQ(Render(p)->Canvas()->Pixels(150, 100), clBlue);
}

TEST(GraphPanelExtended, TilesRepeatInsideTheClip) {
  TBackPanel p;
  auto tile = Solid(40, 30, clRed);
  p.BackImage()->Assign(tile.get());
  p.SetBackImageMode(pbmTile);
  TRecordingCanvas* rec = p.Record(100, 50);
  p.DrawBackImage(TRect(0, 0, 100, 50), 0);
  EXPECT_EQ(rec->CallsOf("Draw"), (std::vector<std::string>{"Draw(0,0,obj)", "Draw(40,0,obj)", "Draw(80,0,obj)",
                                                            "Draw(0,30,obj)", "Draw(40,30,obj)", "Draw(80,30,obj)"}));
  EXPECT_TRUE(rec->InOrder({"ClipRectangle([0,0,100,50])", "Draw", "UnClipRectangle"}));

  // A larger image is drawn once; an empty one not at all.
  auto big = Solid(500, 500, clRed);
  p.BackImage()->Assign(big.get());
  rec->Clear();
  p.DrawBackImage(TRect(0, 0, 100, 50), 0);
  EXPECT_EQ(rec->CallsOf("Draw").size(), 1u);
  TBitmap empty(0, 0);
  p.BackImage()->Assign(&empty);
  rec->Clear();
  p.DrawBackImage(TRect(0, 0, 100, 50), 0);
  EXPECT_TRUE(rec->CallsOf("Draw").empty());

  // Without clipping (a metafile with clipping switched off) the tiles are not clipped.
  p.BackImage()->Assign(tile.get());
  ClipWhenMetafiling = false;
  p.Canvas->Metafiling = true;
  rec->Clear();
  p.DrawBackImage(TRect(0, 0, 100, 50), 0);
  p.Canvas->Metafiling = false;
  ClipWhenMetafiling = true;
  EXPECT_EQ(rec->IndexOf("ClipRectangle"), -1);
}

TEST(GraphPanelExtended, BackgroundShadowAndGradient) {
  TBackPanel p;
  p.SetBounds(0, 0, 200, 100);
  p.Shadow()->SetSize(6);
  p.Shadow()->SetColor(clBlack);
  p.Shadow()->SetSmooth(false);
  p.Shadow()->SetTransparency(0);
  auto b = Render(p);
  TCanvas* c = b->Canvas();
  EXPECT_EQ(c->Pixels(100, 50), clBlue);
  EXPECT_EQ(c->Pixels(197, 3), clBlue);    // above the shadow: the colour the panel stands on
  EXPECT_EQ(c->Pixels(197, 97), clBlack);  // the shadow, bottom-right
  EXPECT_EQ(c->Pixels(3, 97), clBlue);

  p.Shadow()->SetSize(0);
  p.Gradient()->SetStartColor(clRed);
  p.Gradient()->SetEndColor(clYellow);
  p.Gradient()->SetVisible(true);
  b = Render(p);
  EXPECT_NE(b->Canvas()->Pixels(100, 1), b->Canvas()->Pixels(100, 98));
  EXPECT_NE(b->Canvas()->Pixels(100, 50), clBlue);
  p.SetGradient(nullptr);
  EXPECT_EQ(Render(p)->Canvas()->Pixels(100, 50), clBlue);
}

TEST(GraphPanelExtended, ZoomBandDrawnTwiceLeavesTheScreenAsItWas) {
  TBackPanel p;
  p.Repaint();
  TGraphZoom* z = p.Zoom();
  z->Activate(20, 30);
  z->X1 = 120;
  z->Y1 = 90;
  const TColor before = ControlSurfacePixel(&p, 60, 30);
  const TColor middle = ControlSurfacePixel(&p, 60, 60);
  p.DrawZoomRectangle();
  EXPECT_NE(ControlSurfacePixel(&p, 60, 30), before);
  EXPECT_EQ(ControlSurfacePixel(&p, 60, 60), middle);  // clear brush
  p.DrawZoomRectangle();
  EXPECT_EQ(ControlSurfacePixel(&p, 60, 30), before);

  // Without a pen the band gets a new white one.
  z->SetPen(nullptr);
  EXPECT_EQ(z->PenOrNull(), nullptr);
  p.DrawZoomRectangle();
  ASSERT_NE(z->PenOrNull(), nullptr);
  EXPECT_EQ(z->PenOrNull()->Color(), clWhite);
  EXPECT_NE(ControlSurfacePixel(&p, 60, 30), before);
  p.DrawZoomRectangle();
  EXPECT_EQ(ControlSurfacePixel(&p, 60, 30), before);
}

TEST(GraphPanelExtended, UndoZoomFiresAndClearsZoomed) {
  TBackPanel p;
  int undos = 0;
  p.OnUndoZoom = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &p);
    ++undos;
  };
  p.Zoomed = true;
  p.Repaint();
  p.UndoZoom();
  EXPECT_EQ(undos, 1);
  EXPECT_FALSE(p.Zoomed);
  EXPECT_FALSE(p.Canvas->BufferValid());
}

TEST(GraphPanelExtended, ZoomSettingsAndCopies) {
  TGraphZoom a;
  EXPECT_TRUE(a.Allow());
  EXPECT_EQ(a.AnimatedSteps(), 8);
  EXPECT_EQ(a.MinimumPixels(), 16);
  EXPECT_EQ(a.Direction(), tzdBoth);
  EXPECT_EQ(a.BrushOrNull(), nullptr);
  EXPECT_EQ(a.Brush()->Color(), clWhite);
  EXPECT_EQ(a.Brush()->Style(), bsClear);
  a.SetAllow(false);
  a.SetAnimated(true);
  a.SetDirection(tzdVertical);
  a.SetKeyShift({ssShift});
  a.SetMouseButton(mbRight);
  a.SetMinimumPixels(3);
  a.SetUpLeftZooms(true);
  a.Pen()->SetColor(clRed);
  TGraphZoom b;
  b.Assign(&a);
  EXPECT_FALSE(b.Allow());
  EXPECT_TRUE(b.Animated());
  EXPECT_EQ(b.Direction(), tzdVertical);
  EXPECT_TRUE(b.KeyShift().Contains(ssShift));
  EXPECT_EQ(b.MouseButton(), mbRight);
  EXPECT_EQ(b.PenOrNull()->Color(), clRed);
  EXPECT_EQ(b.MinimumPixels(), 16);  // not copied
  EXPECT_FALSE(b.UpLeftZooms());     // not copied

  TBackPanel p, q;
  p.SetAllowPanning(pmVertical);
  p.Zoom()->Assign(&a);
  p.Gradient()->SetVisible(true);
  auto img = Solid(4, 4, clRed);
  p.BackImage()->Assign(img.get());
  p.BackImage()->SetMode(pbmCenter);
  q.Assign(&p);
  EXPECT_EQ(q.AllowPanning(), pmVertical);
  EXPECT_FALSE(q.Zoom()->Allow());
  EXPECT_TRUE(q.Gradient()->Visible());
  EXPECT_TRUE(q.HasBackImage());
  EXPECT_EQ(q.BackImageMode(), pbmCenter);
  EXPECT_EQ(q.Color(), clBlue);
}

TEST(GraphPanelExtended, StreamsSettingsAndReadsOlderNames) {
  TBackPanel p;
  const std::string plain = ComponentToText(&p);
  for (const char* name : {"PrintMargins", "AllowPanning", "BackImage", "Gradient", "MinimumPixels", "Pen.Color"})
    EXPECT_EQ(plain.find(name), std::string::npos) << name << "\n" << plain;

  p.SetPrintMargins(TRect(15, 15, 15, 20));
  p.SetAllowPanning(pmNone);
  p.Zoom()->SetMinimumPixels(30);
  p.Zoom()->Pen()->SetColor(clRed);
  const std::string text = ComponentToText(&p);
  EXPECT_NE(text.find("PrintMargins"), std::string::npos) << text;
  TBackPanel q;
  TextToComponent(text, &q);
  EXPECT_EQ(q.PrintMargins(), TRect(15, 15, 15, 20));
  EXPECT_EQ(q.AllowPanning(), pmNone);
  EXPECT_EQ(q.Zoom()->MinimumPixels(), 30);
  EXPECT_EQ(q.Zoom()->Pen()->Color(), clRed);

  TBackPanel r;
  TextToComponent(
      "object TCustomGraphPanelExtended\n  AllowZoom = False\n  AnimatedZoom = True\n"
      "  AnimatedZoomSteps = 3\n  BackImageMode = pbmTile\nend\n",
      &r);
  EXPECT_FALSE(r.Zoom()->Allow());
  EXPECT_TRUE(r.Zoom()->Animated());
  EXPECT_EQ(r.Zoom()->AnimatedSteps(), 3);
  EXPECT_EQ(r.BackImageMode(), pbmTile);
}

TEST(GraphPanelExtended, PrintingLeavesOutThePanelBackgroundUnlessAsked) {
  TBackPanel p;
  p.SetBounds(0, 0, 100, 60);
  p.SetBevelOuter(bvRaised);
  TBitmap page(100, 60, pf24bit);
  p.PrintToCanvas(page.Canvas(), TRect(0, 0, 100, 60));
  EXPECT_EQ(page.Canvas()->Pixels(50, 30), clWhite);
  EXPECT_EQ(page.Canvas()->Pixels(0, 0), clWhite);  // no bevel either
  PrintPanelBackground = true;
  p.PrintToCanvas(page.Canvas(), TRect(0, 0, 100, 60));
  PrintPanelBackground = false;
  EXPECT_EQ(page.Canvas()->Pixels(50, 30), clBlue);
  EXPECT_EQ(page.Canvas()->Pixels(0, 0), ColorToRGB(clBtnHighlight));
}

TEST(GraphPanelExtended, BackImageAtDepth) {
  TBackPanel p;
  auto img = Solid(10, 10, clRed);
  p.BackImage()->Assign(img.get());
  p.Width3D = 15;
  TRecordingCanvas* rec = p.Record(200, 100);
  const TRect r(20, 20, 120, 80);
  // Stretched, orthogonal view: over the rectangle projected to the depth.
  p.DrawBackImage(r, 15);
  const TRect projected = rec->ProjectRect(r, 15);
  std::ostringstream want;
  want << "StretchDraw([" << projected.Left << ',' << projected.Top << ',' << projected.Right << ',' << projected.Bottom
       << "]";
  EXPECT_EQ(rec->IndexOf(want.str()), 0) << (rec->Calls.empty() ? "" : rec->Calls[0]);
  // Other modes inside the wall clip to the cube between depth 0 and the chart's depth.
  p.SetBackImageMode(pbmTile);
  rec->Clear();
  p.DrawBackImage(r, 15);
  EXPECT_EQ(rec->IndexOf("ClipCube([20,20,120,80],0,15)"), 0);
  EXPECT_GE(rec->IndexOf("UnClipRectangle"), 1);
}
