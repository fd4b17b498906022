// Self-drawn controls on a scaled screen: the retained surface holds the device pixels, the code
// that draws keeps logical coordinates, one logical pixel is whole device pixels (no grey edges),
// exclusive-or feedback still erases itself, and bitmaps keep their own pixel size.
// The scale of a screen is fixed when the application starts, so the scaled cases run in a child
// of this test program started with the screen scaled by 2 and by 1.5.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/bitmap.h"
#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

namespace {

// The scale the child runs at, or 0 in the parent.
double ChildScale() {
  const char* s = std::getenv("VAROMARK_SCALED_RUN");
  return s ? std::atof(s) : 0;
}

class Sketch : public TCustomControl {
public:
  explicit Sketch(TComponent* Owner) : TCustomControl(Owner) {
    SetBounds(0, 0, 101, 61);
    SetColor(clWhite);
  }

protected:
  void Paint() override {
    TCanvas* c = Canvas();
    c->Pen()->SetColor(clBlack);
    c->MoveTo(10, 20);  // a level line over x 10..49
    c->LineTo(50, 20);
    c->MoveTo(70, 5);  // an upright line over y 5..44
    c->LineTo(70, 45);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(5, 30, 15, 40);  // outline on x 5 and 14, y 30 and 39
    c->MoveTo(20, 50);            // a slanted line
    c->LineTo(60, 58);
    c->Ellipse(80, 30, 96, 46);
  }
};

// Device pixels of the surface that are neither the ground nor the ink.
int GreyPixels(TControl* C) {
  TSize s = ControlSurfaceDeviceSize(C);
  int n = 0;
  for (int y = 0; y < s.cy; ++y)
    for (int x = 0; x < s.cx; ++x) {
      TColor c = ControlSurfaceDevicePixel(C, x, y);
      if (c != clWhite && c != clBlack) ++n;
    }
  return n;
}

// The device rows (or columns) of a logical pixel's band that the ink covers at one device column
// (or row).
int InkRun(TControl* C, int Fixed, int From, int To, bool Rows) {
  int n = 0;
  for (int i = From; i <= To; ++i)
    if ((Rows ? ControlSurfaceDevicePixel(C, Fixed, i) : ControlSurfaceDevicePixel(C, i, Fixed)) == clBlack) ++n;
  return n;
}

TEST(ScaledSurface, HoldsDevicePixelsAndDrawsLogicalPixelsWhole) {
  const double k = ChildScale();
  if (k == 0) GTEST_SKIP() << "runs in the scaled child";
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 120);
  auto* pad = new Sketch(&form);
  pad->SetParent(&form);
  pad->Repaint();
  const TSize s = ControlSurfaceDeviceSize(pad);
  EXPECT_EQ(s.cx, static_cast<int>(std::ceil(101 * k)));
  EXPECT_EQ(s.cy, static_cast<int>(std::ceil(61 * k)));
  EXPECT_EQ(GreyPixels(pad), 0);
  // Read back in logical pixels: the line's row and nothing beside it; the end pixel left out.
  EXPECT_EQ(ControlSurfacePixel(pad, 30, 20), clBlack);
  EXPECT_EQ(ControlSurfacePixel(pad, 30, 19), clWhite);
  EXPECT_EQ(ControlSurfacePixel(pad, 30, 21), clWhite);
  EXPECT_EQ(ControlSurfacePixel(pad, 10, 20), clBlack);
  EXPECT_EQ(ControlSurfacePixel(pad, 50, 20), clWhite);
  EXPECT_EQ(ControlSurfacePixel(pad, 70, 44), clBlack);
  EXPECT_EQ(ControlSurfacePixel(pad, 70, 45), clWhite);
  EXPECT_EQ(ControlSurfacePixel(pad, 5, 35), clBlack);
  EXPECT_EQ(ControlSurfacePixel(pad, 14, 35), clBlack);
  EXPECT_EQ(ControlSurfacePixel(pad, 15, 35), clWhite);
  EXPECT_EQ(ControlSurfacePixel(pad, 10, 39), clBlack);
  EXPECT_EQ(ControlSurfacePixel(pad, 10, 40), clWhite);
  // One logical pixel is as many device pixels as the scale gives it, across the line.
  const int lo = static_cast<int>(std::floor(19 * k)), hi = static_cast<int>(std::ceil(22 * k));
  const int wide = InkRun(pad, static_cast<int>(30 * k), lo, hi, true);
  const int tall = InkRun(pad, static_cast<int>(30 * k), static_cast<int>(69 * k), static_cast<int>(72 * k), false);
  if (k == 2) {
    EXPECT_EQ(wide, 2);
    EXPECT_EQ(tall, 2);
    EXPECT_EQ(ControlSurfaceDevicePixel(pad, 60, 40), clBlack);
    EXPECT_EQ(ControlSurfaceDevicePixel(pad, 60, 41), clBlack);
    EXPECT_EQ(ControlSurfaceDevicePixel(pad, 20, 40), clBlack);  // first pixel of the line
    EXPECT_EQ(ControlSurfaceDevicePixel(pad, 99, 40), clBlack);  // last one, the end left out
    EXPECT_EQ(ControlSurfaceDevicePixel(pad, 100, 40), clWhite);
  } else {
    EXPECT_GE(wide, 1);
    EXPECT_LE(wide, 2);
    EXPECT_GE(tall, 1);
    EXPECT_LE(tall, 2);
  }
}

TEST(ScaledSurface, FeedbackErasesItselfAndBitmapsKeepTheirPixelSize) {
  const double k = ChildScale();
  if (k == 0) GTEST_SKIP() << "runs in the scaled child";
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 120);
  auto* pad = new Sketch(&form);
  pad->SetParent(&form);
  pad->Repaint();
  const TSize s = ControlSurfaceDeviceSize(pad);
  auto snapshot = [&] {
    std::string all;
    for (int y = 0; y < s.cy; ++y)
      for (int x = 0; x < s.cx; ++x) all += static_cast<char>(ControlSurfaceDevicePixel(pad, x, y) & 0xFF);
    return all;
  };
  const std::string before = snapshot();
  // A dragged line and a focus band drawn from a handler, then drawn again to erase them.
  TCanvas* c = pad->Canvas();
  auto band = [&] {
    c->Pen()->SetMode(pmXor);
    c->Pen()->SetColor(clWhite);
    c->MoveTo(3, 3);
    c->LineTo(90, 55);
    c->MoveTo(40, 10);
    c->LineTo(40, 50);
    c->Pen()->SetMode(pmCopy);
    c->DrawFocusRect(Rect(25, 25, 60, 45));
  };
  band();
  EXPECT_NE(snapshot(), before);
  EXPECT_EQ(ControlSurfacePixel(pad, 40, 30), clBlack);  // white xor white
  band();
  EXPECT_EQ(snapshot(), before);

  // A 4 x 3 bitmap drawn at (30, 50) covers 4 x 3 logical pixels.
  TBitmap bmp;
  bmp.SetSize(4, 3);
  bmp.Canvas()->Brush()->SetColor(clBlack);
  bmp.Canvas()->FillRect(Rect(0, 0, 4, 3));
  c->Draw(30, 50, &bmp);
  EXPECT_EQ(ControlSurfacePixel(pad, 30, 50), clBlack);
  EXPECT_EQ(ControlSurfacePixel(pad, 33, 52), clBlack);
  EXPECT_EQ(ControlSurfacePixel(pad, 34, 51), clWhite);
  EXPECT_EQ(ControlSurfacePixel(pad, 31, 53), clWhite);
  // Copied back from the surface into a bitmap: the bitmap keeps its own size.
  TBitmap copy;
  copy.SetSize(10, 10);
  copy.Canvas()->CopyRect(Rect(0, 0, 10, 10), c, Rect(28, 48, 38, 58));
  EXPECT_EQ(copy.Width(), 10);
  EXPECT_EQ(copy.Canvas()->Pixels(2, 2), clBlack);
  EXPECT_EQ(copy.Canvas()->Pixels(5, 4), clBlack);
  EXPECT_EQ(copy.Canvas()->Pixels(6, 2), clWhite);
  EXPECT_EQ(copy.Canvas()->Pixels(1, 1), clWhite);
}

TEST(ScaledSurface, StandardSelfDrawnControlsHoldDevicePixels) {
  const double k = ChildScale();
  if (k == 0) GTEST_SKIP() << "runs in the scaled child";
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetAutoSize(false);
  label->SetBounds(8, 8, 120, 20);
  label->SetCaption("&Series:");
  auto* list = new TListBox(&form);
  list->SetParent(&form);
  list->SetBounds(8, 40, 120, 100);
  list->Items()->Add("Rho");
  label->Repaint();
  list->Repaint();
  EXPECT_EQ(ControlSurfaceDeviceSize(label).cx, static_cast<int>(std::ceil(120 * k)));
  EXPECT_EQ(ControlSurfaceDeviceSize(label).cy, static_cast<int>(std::ceil(20 * k)));
  const TRect client = list->ClientRect();
  EXPECT_EQ(ControlSurfaceDeviceSize(list).cx, static_cast<int>(std::ceil(client.Width() * k)));
}

// A framed control paints every device pixel of its window, its sunken edge included: none of
// what lies under it shows through.
TEST(ScaledSurface, FramedControlsCoverEveryDevicePixelOfTheirEdge) {
  const double k = ChildScale();
  if (k == 0) GTEST_SKIP() << "runs in the scaled child";
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 160);
  auto* list = new TListBox(&form);
  list->SetParent(&form);
  list->SetBounds(11, 13, 120, 101);
  list->Items()->Add("Rho");
  form.Show();
  list->Repaint();
  EXPECT_EQ(ControlWindowUnpaintedPixels(list, Rect(0, 0, list->Width(), list->Height())), 0);
}

// Runs the cases above in a child of this program with the screen scaled by 2, then by 1.5.
TEST(ScaledSurface, RunAtScaleTwoAndOneAndAHalf) {
  if (ChildScale() != 0) GTEST_SKIP();
  char self[4096];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  ASSERT_GT(n, 0);
  self[n] = 0;
  for (const char* scale : {"2", "1.5"}) {
    std::string cmd = std::string("QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=") + scale +
                      " VAROMARK_SCALED_RUN=" + scale + " '" + self +
                      "' --gtest_filter='ScaledSurface.*' --gtest_brief=1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << "at scale " << scale;
  }
}

}  // namespace
