// The 3D drawing panel: its background alone, the program's drawing in OnPaint through the
// projected canvas, the order of the events and no repaint requests from inside them.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "chart/engine/graph_canvas.h"
#include "chart/extra/draw3d_panel.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {
std::unique_ptr<TBitmap> Paint(TDraw3D& P) {
  return std::unique_ptr<TBitmap>(P.CreateBitmap(clWhite, TRect(0, 0, P.Width(), P.Height()), pf24bit));
}
}  // namespace

TEST(Draw3D, ShowsItsBackgroundAndWhatOnPaintDraws) {
  TDraw3D p(nullptr);
  p.SetBounds(0, 0, 120, 90);
  p.SetBevelOuter(bvNone);
  p.SetColor(clTeal);
  p.SetView3D(false);
  auto plain = Paint(p);
  EXPECT_EQ(plain->Canvas()->Pixels(60, 45), clTeal);

  std::string order;
  bool quietInside = false;
  p.AutoRepaint = true;
  p.OnPaint = [&](TObject* Sender, const TRect& R) {
    order += "paint;";
    auto* panel = static_cast<TDraw3D*>(Sender);
    quietInside = !panel->AutoRepaint;
    panel->SetColor(clTeal);  // a change inside the handler asks for no new paint
    TGraphCanvas3D* c = panel->Canvas;
    c->Brush->SetStyle(bsSolid);
    c->Brush->SetColor(clRed);
    c->Pen->SetStyle(psClear);
    c->RectangleWithZ(TRect(R.Left + 10, R.Top + 10, R.Left + 40, R.Top + 40), 0);
  };
  p.OnAfterDraw = [&](TObject*) { order += "after;"; };
  auto drawn = Paint(p);
  EXPECT_EQ(order, "paint;after;");
  EXPECT_TRUE(quietInside);
  EXPECT_TRUE(p.AutoRepaint);
  EXPECT_EQ(drawn->Canvas()->Pixels(20, 20), clRed);
  EXPECT_EQ(drawn->Canvas()->Pixels(60, 60), clTeal);
  EXPECT_EQ(p.Width3D, 100);

  // In 3D the same rectangle at a depth lands where the canvas projects it.
  p.SetView3D(true);
  order.clear();
  TPoint at;
  p.OnPaint = [&](TObject* Sender, const TRect&) {
    TGraphCanvas3D* c = static_cast<TDraw3D*>(Sender)->Canvas;
    at = c->Calculate3DPosition(40, 60, 10);
    c->Brush->SetStyle(bsSolid);
    c->Brush->SetColor(clBlue);
    c->Pen->SetStyle(psClear);
    c->RectangleWithZ(TRect(20, 40, 60, 80), 10);
  };
  auto deep = Paint(p);
  EXPECT_NE(at, TPoint(40, 60)) << at.X << "," << at.Y;
  EXPECT_EQ(deep->Canvas()->Pixels(at.X, at.Y), clBlue) << at.X << "," << at.Y;
}
