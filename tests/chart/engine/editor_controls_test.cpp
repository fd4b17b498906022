// Editor controls, colour choosing, smooth resampling and the geometric helpers.
#include <gtest/gtest.h>

#include <memory>

#include "chart/engine/chart_errors.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/series_base.h"
#include "chart/engine/testkit/recording_canvas.h"
#include "platform/bitmap.h"
#include "platform/controls.h"
#include "platform/stdctrls.h"
#include "platform/dialogs.h"

namespace {

TColor PixelOf(TBitmap* Bmp, int X, int Y) {
  const auto* row = static_cast<const uint8_t*>(Bmp->ScanLine(Y)) + X * 3;
  return RGB(row[2], row[1], row[0]);
}

void SetPixelOf(TBitmap* Bmp, int X, int Y, TColor C) {
  auto* row = static_cast<uint8_t*>(Bmp->ScanLine(Y)) + X * 3;
  row[0] = GetBValue(C);
  row[1] = GetGValue(C);
  row[2] = GetRValue(C);
}

std::unique_ptr<TBitmap> Make(int W, int H) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(W, H);
  return b;
}

}  // namespace

TEST(SmoothStretch, CornersKeepTheirColoursAndSizesAreChecked) {
  auto src = Make(2, 2);
  SetPixelOf(src.get(), 0, 0, clRed);
  SetPixelOf(src.get(), 1, 0, clLime);
  SetPixelOf(src.get(), 0, 1, clBlue);
  SetPixelOf(src.get(), 1, 1, clWhite);
  auto dst = Make(3, 3);
  SmoothBitmapFilter(src.get(), dst.get(), true);
  EXPECT_EQ(PixelOf(dst.get(), 0, 0), clRed);
  EXPECT_EQ(PixelOf(dst.get(), 2, 0), clLime);
  EXPECT_EQ(PixelOf(dst.get(), 0, 2), clBlue);
  EXPECT_EQ(PixelOf(dst.get(), 2, 2), clWhite);
  // The middle of the top edge is half red, half green.
  EXPECT_EQ(PixelOf(dst.get(), 1, 0), RGB(127, 127, 0));
  // Reducing a flat image keeps its colour; Lanczos overshoot is clamped.
  auto flat = Make(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) SetPixelOf(flat.get(), x, y, RGB(255, 255, 255));
  auto small = Make(3, 3);
  SmoothBitmap(flat.get(), small.get());
  EXPECT_EQ(PixelOf(small.get(), 1, 1), RGB(255, 255, 255));
  auto thin = Make(1, 5);
  try {
    SmoothBitmap(thin.get(), dst.get());
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "SmoothStretch: Source bitmap too small");
  }
  try {
    SmoothBitmap(src.get(), thin.get());
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "SmoothStretch: Destination bitmap too small");
  }
  SmoothBitmap(nullptr, dst.get());  // nothing
}

TEST(SmoothStretch, Filters) {
  EXPECT_EQ(TriangleWeight(0), 1);
  EXPECT_FLOAT_EQ(TriangleWeight(0.25f), 0.75f);
  EXPECT_EQ(TriangleWeight(1), 0);
  EXPECT_EQ(Lanczos3Weight(0), 1);
  EXPECT_EQ(Lanczos3Weight(3), 0);
  EXPECT_NEAR(Lanczos3Weight(1), 0, 1e-6);
  EXPECT_NEAR(Lanczos3Weight(0.5f), 0.6079f, 1e-3);
}

TEST(Geometry, PointBackFromEndAndHypotenuse) {
  EXPECT_EQ(PointBackFromEnd({0, 0}, {10, 0}, 3), TPoint(7, 0));
  EXPECT_EQ(PointBackFromEnd({0, 10}, {0, 0}, 4), TPoint(0, 4));
  EXPECT_EQ(PointBackFromEnd({0, 0}, {0, 10}, 4), TPoint(0, 6));
  EXPECT_EQ(PointBackFromEnd({0, 0}, {30, 40}, 5), TPoint(27, 36));
  EXPECT_DOUBLE_EQ(Hypotenuse(3, 4), 5);
}

TEST(ButtonColor, ShowsTheLinkedColourAndClicksOnlyOnAChange) {
  TChartSeries series(nullptr);
  series.SetSeriesColor(clRed);
  TButtonColor b(nullptr);
  EXPECT_EQ(b.Width(), 75);
  EXPECT_EQ(b.Height(), 25);
  EXPECT_EQ(b.SymbolRect(), TRect(56, 7, 69, 19));
  b.LinkProperty(&series, "SeriesColor");
  EXPECT_EQ(b.GetColor(), clRed);
  int clicks = 0;
  b.OnClick = [&](TObject*) { ++clicks; };
  TColor answer = clRed;
  SetDialogHook([&](TCommonDialog* d) {
    static_cast<TColorDialog*>(d)->SetColor(answer);
    return true;
  });
  b.Click();
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(series.SeriesColor(), clRed);
  answer = clBlue;
  b.Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(series.SeriesColor(), clBlue);
  SetDialogHook([](TCommonDialog*) { return false; });  // cancelled
  b.Click();
  EXPECT_EQ(clicks, 1);
  SetDialogHook(nullptr);
  FreeCustomColorList();
  // The swatch is drawn in the colour, nothing for clNone.
  TRecordingCanvas c(100, 40);
  b.DrawSymbol(&c);
  EXPECT_EQ(c.CallsOf("Rectangle").size(), 1u);
  c.Clear();
  b.GetColorProc = [] { return clNone; };
  b.DrawSymbol(&c);
  EXPECT_TRUE(c.CallsOf("Rectangle").empty());
}

TEST(ComboFlat, DefaultsAndTheStoredDropDownWidth) {
  TComboFlat c(nullptr);
  EXPECT_EQ(c.Height(), 21);
  EXPECT_EQ(c.ItemHeight(), 13);
  EXPECT_EQ(c.Style(), csDropDownList);
  EXPECT_EQ(c.DropDownWidth(), c.Width());
  EXPECT_FALSE(c.IsDropDownWidthStored());
  c.SetDropDownWidth(c.Width() + 40);
  EXPECT_TRUE(c.IsDropDownWidthStored());
  EXPECT_TRUE(c.DrawnFlat());
}

TEST(ButtonColor, PaintsItsColourOverTheButtonFace) {
  TGraphButton plain(nullptr);
  const TColor face = ControlWindowPixel(&plain, 62, 13);
  TButtonColor b(nullptr);
  const TRect r = b.SymbolRect();  // 56, 7, 69, 19
  b.SetColor(clRed);
  b.Invalidate();
  EXPECT_EQ(ControlWindowPixel(&b, 62, 13), clRed);
  EXPECT_EQ(ControlWindowPixel(&b, r.Left + 1, r.Top + 1), clRed);
  EXPECT_EQ(ControlWindowPixel(&b, r.Left, 13), clBlack);   // the swatch's frame
  EXPECT_EQ(ControlWindowPixel(&b, r.Left - 2, 13), face);  // beside it, the face
  b.SetColor(clBlue);
  b.Invalidate();
  EXPECT_EQ(ControlWindowPixel(&b, 62, 13), clBlue);
  // Disabled, the swatch loses its frame but keeps its colour.
  b.SetEnabled(false);
  EXPECT_NE(ControlWindowPixel(&b, r.Left, 13), clBlack);
  EXPECT_EQ(ControlWindowPixel(&b, 62, 13), clBlue);
  b.SetEnabled(true);
  // A linked property's colour; clNone paints nothing.
  TChartSeries series(nullptr);
  series.SetSeriesColor(clYellow);
  b.LinkProperty(&series, "SeriesColor");
  EXPECT_EQ(ControlWindowPixel(&b, 62, 13), clYellow);
  b.GetColorProc = [] { return clNone; };
  b.Invalidate();
  EXPECT_EQ(ControlWindowPixel(&b, 62, 13), face);
}

TEST(ComboFlat, DrawsFlatUnlessHovered) {
  TComboBox plain(nullptr);
  plain.SetBounds(0, 0, 120, 21);
  plain.SetStyle(csDropDownList);
  TComboFlat c(nullptr);
  c.SetBounds(0, 0, 120, 21);
  const TColor btnFace = ColorToRGB(clBtnFace), window = ColorToRGB(clWindow);
  // Two frames in the button-face colour, over the native frame.
  for (TPoint p : {TPoint(0, 10), TPoint(1, 10), TPoint(60, 0), TPoint(60, 1), TPoint(60, 20)})
    EXPECT_EQ(ControlWindowPixel(&c, p.X, p.Y), btnFace) << p.X << "," << p.Y;
  ASSERT_NE(ControlWindowPixel(&plain, 0, 10), btnFace);
  // The drop button's area framed in the window colour, with the line two pixels in.
  const TRect b = c.DropButtonRect();
  EXPECT_EQ(b, TRect(120 - TComboFlat::kCaptionButtonWidth - 2, 1, 120, 20));
  EXPECT_EQ(ControlWindowPixel(&c, b.Left, 10), window);
  EXPECT_EQ(ControlWindowPixel(&c, b.Left + 5, 1), window);
  EXPECT_EQ(ControlWindowPixel(&c, 118, 10), window);
  EXPECT_EQ(ControlWindowPixel(&c, 119, 10), window);  // over the outer frames
  // Hovered, the native face shows as it is; leaving draws it flat again.
  c.DispatchMouseEnter();
  EXPECT_TRUE(c.MouseInside());
  EXPECT_EQ(ControlWindowPixel(&c, 0, 10), ControlWindowPixel(&plain, 0, 10));
  c.DispatchMouseLeave();
  EXPECT_EQ(ControlWindowPixel(&c, 0, 10), btnFace);
}

TEST(CircularSources, ASeriesCannotFeedItself) {
  TChartSeries a(nullptr), b(nullptr), c(nullptr);
  b.AddDataSourceInternal(&a);
  c.AddDataSourceInternal(&b);
  EXPECT_NO_THROW(c.CheckCircularSource(&b));
  try {
    a.CheckCircularSource(&c);
    ADD_FAILURE();
  } catch (const ChartException& e) {
    EXPECT_EQ(e.Message(), "Circular Series dependences are not allowed");
  }
  EXPECT_THROW(a.CheckCircularSource(&a), ChartException);
}
