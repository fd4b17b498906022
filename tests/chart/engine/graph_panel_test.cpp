// The chart panel: frame and margins, painting through the buffer, output to bitmaps, metafiles
// and printer pages, listeners and mouse, setters, streaming and the unit's helpers.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "chart/engine/graph_panel.h"
#include "chart/engine/testkit/recording_canvas.h"
#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/datetime.h"
#include "platform/forms.h"
#include "platform/metafile.h"
#include "platform/printers.h"
#include "platform/streaming.h"
#include "platform/sysutils.h"

namespace {

// A panel whose contents are its frame and a filled chart rectangle; counts its draws.
class TTestPanel : public TCustomGraphPanel {
public:
  explicit TTestPanel(TComponent* AOwner = nullptr) : TCustomGraphPanel(AOwner) {}
  int Draws = 0;
  TColor Fill = clNone;
  bool Throw = false;
  bool PrintingSeen = false;
  void DrawContents(const TRect& Rect) override {
    ++Draws;
    PrintingSeen = Printing;
    if (Throw) throw std::runtime_error("draw failed");
    if (Fill != clNone) {
      Canvas->Brush->SetStyle(bsSolid);
      Canvas->Brush->SetColor(Fill);
      Canvas->FillRect(ChartRect);
    }
    DrawPanelBevels(Rect);
  }
  void CallDblClick() { DblClick(); }
};

class TListener : public IChartEventListener {
public:
  explicit TListener(bool Cancel = false) : FCancel(Cancel) {}
  std::vector<std::string> Seen;
  TGraphMouseEvent Last;
  std::function<void()> OnEvent;
  void ChartEvent(TGraphEvent* Event) override {
    if (auto* m = dynamic_cast<TGraphMouseEvent*>(Event)) {
      Seen.push_back("mouse" + std::to_string(m->Event));
      Last.Event = m->Event;
      Last.Button = m->Button;
      Last.X = m->X;
      Last.Y = m->Y;
      if (FCancel) m->Sender->CancelMouse = true;
    } else if (dynamic_cast<TGraphView3DEvent*>(Event)) {
      Seen.push_back("view3d");
    }
    if (OnEvent) OnEvent();
  }

private:
  bool FCancel;
};

TRect DrawnChartRect(TTestPanel& P) {
  std::unique_ptr<TBitmap> b(P.CreateBitmap(clWhite, TRect(0, 0, P.Width(), P.Height()), pf24bit));
  return P.ChartRect;
}

}  // namespace

TEST(GraphPanel, DefaultsAfterConstruction) {
  TTestPanel p;
  EXPECT_EQ(p.Width(), 400);
  EXPECT_EQ(p.Height(), 250);
  EXPECT_EQ(p.Color(), clBtnFace);
  EXPECT_EQ(p.BevelOuter(), bvRaised);
  EXPECT_EQ(p.BevelInner(), bvNone);
  EXPECT_FALSE(p.Border()->Visible());
  EXPECT_EQ(p.Border()->EndStyle(), esFlat);
  EXPECT_TRUE(p.View3D());
  EXPECT_TRUE(p.BufferedDisplay());
  EXPECT_TRUE(p.AutoRepaint);
  EXPECT_EQ(p.PrintMargins(), TRect(15, 15, 15, 15));
  EXPECT_EQ(p.MarginLeft() * 1000 + p.MarginTop() * 100 + p.MarginRight() * 10 + p.MarginBottom(), 3434);
  EXPECT_EQ(p.MarginUnits(), muPercent);
  EXPECT_THROW(p.Margin(4), ERangeError);
  EXPECT_THROW(p.SetMargin(-1, 2), ERangeError);
}

TEST(GraphPanel, ChartRectFromFrameAndMargins) {
  struct Case {
    const char* Name;
    int Width;
    TGraphUnits Units;
    int Left, Right;
    int WantLeft, WantRight;
  };
  const Case cases[] = {
      {"3% of 99 px truncates to 2", 99, muPercent, 3, 0, 2, 99},
      {"3% of 100 px is 3", 100, muPercent, 3, 0, 3, 100},
      {"pixels", 100, muPixels, 10, 20, 10, 80},
      {"right left of left gives 1 px", 100, muPixels, 60, 50, 60, 61},
      {"equal edges give the control width", 100, muPixels, 50, 50, 50, 150},
  };
  for (const Case& c : cases) {
    TTestPanel p;
    p.SetBevelOuter(bvNone);
    p.SetBounds(0, 0, c.Width, 50);
    p.SetMarginUnits(c.Units);
    p.SetMarginLeft(c.Left);
    p.SetMarginRight(c.Right);
    p.SetMarginTop(0);
    p.SetMarginBottom(0);
    const TRect r = DrawnChartRect(p);
    EXPECT_EQ(r.Left, c.WantLeft) << c.Name;
    EXPECT_EQ(r.Right, c.WantRight) << c.Name;
    EXPECT_EQ(p.ChartWidth, r.Right - r.Left) << c.Name;
    EXPECT_EQ(p.ChartXCenter, (r.Left + r.Right) / 2) << c.Name;
  }
  // Frame: border width, both bevels and a visible border pen all move every side in.
  TTestPanel p;
  p.SetMarginUnits(muPixels);
  for (int i = 0; i < 4; ++i) p.SetMargin(i, 0);
  p.SetBevelInner(bvLowered);
  p.SetBevelWidth(2);
  p.SetBorderWidth(3);
  p.Border()->SetVisible(true);
  p.Border()->SetWidth(2);
  EXPECT_EQ(DrawnChartRect(p), TRect(9, 9, 391, 241));
}

TEST(GraphPanel, PaintDrawsOnceThenRepaintsFromTheBuffer) {
  TTestPanel p;
  p.Fill = clRed;
  p.Repaint();
  EXPECT_EQ(p.Draws, 1);
  // The window asks again without a change: the buffer is shown, nothing is drawn.
  p.TCustomPanelNoCaption::Invalidate();
  p.Update();
  EXPECT_EQ(p.Draws, 1);
  EXPECT_EQ(ControlSurfacePixel(&p, 200, 125), clRed);
  // A setting change invalidates the buffer.
  p.SetMarginLeft(10);
  p.Update();
  EXPECT_EQ(p.Draws, 2);
  // While AutoRepaint is off, changes do not repaint.
  p.AutoRepaint = false;
  p.SetMarginLeft(11);
  p.Update();
  EXPECT_EQ(p.Draws, 2);
  p.AutoRepaint = true;
  // The raised bevel: highlight at the top-left, shadow at the bottom-right.
  EXPECT_EQ(ControlSurfacePixel(&p, 0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ControlSurfacePixel(&p, 399, 249), ColorToRGB(clBtnShadow));
}

// A panel drawn in two layers: a striped base and a small square on top at Top.
class TLayeredPanel : public TCustomGraphPanel {
public:
  TLayeredPanel() : TCustomGraphPanel(nullptr) {}
  int BaseDraws = 0;
  TPoint Top{20, 20};
  TColor Stripe = clBlue;
  void DrawContents(const TRect& Rect) override {
    if (!RestoreBaseLayer()) {
      ++BaseDraws;
      Canvas->Brush->SetColor(clWhite);
      Canvas->FillRect(Rect);
      Canvas->Brush->SetColor(Stripe);
      for (int x = 0; x < Rect.Right; x += 20) Canvas->FillRect(TRect(x, 0, x + 10, Rect.Bottom));
      // Left for the top layer, which draws with what the base left.
      Canvas->Brush->SetColor(clRed);
      StoreBaseLayer();
    }
    Canvas->FillRect(TRect(Top.X, Top.Y, Top.X + 15, Top.Y + 15));
  }
  std::vector<TColor> Surface() {
    std::vector<TColor> v;
    for (int y = 0; y < Height(); y += 3)
      for (int x = 0; x < Width(); x += 3) v.push_back(ControlSurfacePixel(this, x, y));
    return v;
  }
  // The picture a drawing from scratch gives.
  std::vector<TColor> Full() {
    TLayeredPanel fresh;
    fresh.SetBounds(0, 0, Width(), Height());
    fresh.Top = Top;
    fresh.Stripe = Stripe;
    fresh.Repaint();
    return fresh.Surface();
  }
};

TEST(GraphPanel, KeptBaseLayerIsReusedOnlyForTopLayerChanges) {
  TLayeredPanel p;
  p.SetKeepBaseLayer(true);
  p.Repaint();
  ASSERT_EQ(p.BaseDraws, 1);
  ASSERT_TRUE(p.HasBaseLayer());
  // Moving the top square: the base is put back, not drawn, and the old square is gone.
  for (int x : {60, 61, 130}) {
    {
      TTopLayerChange top(&p);
      p.Top = TPoint(x, 40);
      p.Invalidate();
    }
    p.Update();
    EXPECT_EQ(p.BaseDraws, 1);
    EXPECT_EQ(p.Surface(), p.Full()) << x;
  }
  // Any other change draws the base again, and so does a new size.
  p.Stripe = clGreen;
  p.Invalidate();
  p.Update();
  EXPECT_EQ(p.BaseDraws, 2);
  EXPECT_EQ(p.Surface(), p.Full());
  p.SetBounds(0, 0, 300, 200);
  {
    TTopLayerChange top(&p);
    p.Invalidate();
  }
  p.Update();
  EXPECT_EQ(p.BaseDraws, 3);
  EXPECT_EQ(p.Surface(), p.Full());
  // A drawing into a bitmap neither uses the layer nor leaves it behind.
  std::unique_ptr<TBitmap> b(p.CreateBitmap(clWhite, TRect(0, 0, 100, 80), pf24bit));
  EXPECT_EQ(p.BaseDraws, 4);
  EXPECT_FALSE(p.HasBaseLayer());
  // Without keeping, every drawing is a full one.
  p.SetKeepBaseLayer(false);
  p.Repaint();
  {
    TTopLayerChange top(&p);
    p.Invalidate();
  }
  p.Update();
  EXPECT_EQ(p.BaseDraws, 6);
}

// A resize draws again at the new size: the buffer of the old size is not shown stretched or cut.
TEST(GraphPanel, ResizeDrawsAgainAtTheNewSize) {
  TTestPanel p;
  p.Fill = clRed;
  p.Repaint();
  ASSERT_EQ(p.Draws, 1);
  p.SetBounds(0, 0, 600, 400);
  p.Update();
  EXPECT_EQ(p.Draws, 2);
  EXPECT_EQ(ControlSurfacePixel(&p, 550, 350), clRed);
  EXPECT_EQ(ControlSurfacePixel(&p, 599, 399), ColorToRGB(clBtnShadow));
}

// The buffer of a panel on a screen scaled by 2 holds the device pixels: a copy keeps them whole.
TEST(GraphPanel, BufferAtTheCanvasPixelRatioCopiesDevicePixels) {
  TBitmap target;
  target.SetPixelRatio(2);
  target.SetSize(40, 30);
  EXPECT_EQ(target.Width(), 40);
  EXPECT_EQ(target.BytesPerScanLine(), 80 * 4);  // rows of device pixels
  TGraphCanvas3D buffer;
  const TRect r = buffer.InitWindow(target.Canvas(), nullptr, clWhite, false, Rect(0, 0, 40, 30));
  EXPECT_EQ(r, Rect(0, 0, 40, 30));
  buffer.Pen->SetColor(clBlack);
  buffer.Pen->SetWidth(1);
  buffer.Line(0, 0, 40, 10);  // slanted: steps of single device pixels, not of doubled blocks
  buffer.ShowImage(target.Canvas(), target.Canvas(), Rect(0, 0, 40, 30));
  int split = 0;
  for (int y = 0; y < 20; y += 2) {
    auto* a = static_cast<uint32_t*>(target.ScanLine(y));
    auto* b = static_cast<uint32_t*>(target.ScanLine(y + 1));
    for (int x = 0; x < 80; x += 2) split += !(a[x] == a[x + 1] && a[x] == b[x] && a[x] == b[x + 1]);
  }
  EXPECT_GT(split, 10);
}

TEST(GraphPanel, SettersRepaintOnlyOnChange) {
  TTestPanel p;
  p.Repaint();
  ASSERT_TRUE(p.Canvas->BufferValid());
  int32_t field = 5;
  p.SetIntegerProperty(field, 5);
  EXPECT_TRUE(p.Canvas->BufferValid());
  p.SetIntegerProperty(field, 6);
  EXPECT_EQ(field, 6);
  EXPECT_FALSE(p.Canvas->BufferValid());
  p.Repaint();
  p.Shadow()->SetSize(4);  // owned sub-objects repaint through SettingChanged
  EXPECT_FALSE(p.Canvas->BufferValid());
}

TEST(GraphPanel, HatchedBrushStaysVisibleOnItsBackColor) {
  struct Case {
    TBrushStyle Style;
    TColor Color, Back, Want;
  };
  const Case cases[] = {{bsCross, clRed, clRed, clBlack},
                        {bsCross, clBlack, clBlack, clWhite},
                        {bsSolid, clRed, clRed, clRed},
                        {bsCross, clBlue, clRed, clBlue}};
  TTestPanel p;
  for (const Case& c : cases) {
    TChartBrush brush;
    brush.SetStyle(c.Style);
    p.SetBrushCanvas(c.Color, &brush, c.Back);
    EXPECT_EQ(p.Canvas->Brush->Color(), c.Want) << c.Style << " " << c.Color;
  }
}

TEST(GraphPanel, BitmapAndMetafileOutput) {
  TTestPanel p;
  p.SetBevelOuter(bvNone);
  // White back colour: the bitmap is not filled before drawing.
  std::unique_ptr<TBitmap> white(p.CreateBitmap(clWhite, TRect(0, 0, 40, 30), pf24bit));
  EXPECT_EQ(white->Width(), 40);
  EXPECT_EQ(white->Canvas()->Pixels(20, 15), clWhite);
  std::unique_ptr<TBitmap> green(p.CreateBitmap(clGreen, TRect(0, 0, 40, 30), pf24bit));
  EXPECT_EQ(green->Canvas()->Pixels(20, 15), clGreen);
  // The panel bitmap and pictures assigned from the panel.
  p.Fill = clRed;
  TPicture picture;
  picture.Assign(&p);
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 400);
  EXPECT_EQ(picture.Bitmap()->Canvas()->Pixels(200, 125), clRed);
  EXPECT_TRUE(p.BufferedDisplay());
  // An empty rectangle gives a 1 by 1 metafile.
  std::unique_ptr<TMetafile> empty(p.CreateMetafile(true, TRect(0, 0, 0, 0)));
  EXPECT_EQ(empty->Width(), 1);
  EXPECT_EQ(empty->Height(), 1);
  std::unique_ptr<TMetafile> meta(p.CreateMetafile(false, TRect(0, 0, 400, 250)));
  EXPECT_FALSE(meta->Enhanced());
  EXPECT_FALSE(p.Canvas->Metafiling);
  TBitmap replay(400, 250, pf24bit);
  replay.Canvas()->StretchDraw(TRect(0, 0, 400, 250), meta.get());
  EXPECT_EQ(replay.Canvas()->Pixels(200, 125), clRed);
}

TEST(GraphPanel, OutputRestoresStateWhenDrawingFails) {
  TTestPanel p;
  p.Throw = true;
  TBitmap target(50, 50);
  EXPECT_THROW(p.DrawMetafiling(target.Canvas(), TRect(0, 0, 50, 50)), std::runtime_error);
  EXPECT_TRUE(p.BufferedDisplay());
  EXPECT_FALSE(p.Canvas->Metafiling);
  EXPECT_THROW(std::unique_ptr<TMetafile>(p.CreateMetafile(true, TRect(0, 0, 50, 50))), std::runtime_error);
  EXPECT_THROW(p.PrintToCanvas(target.Canvas(), TRect(0, 0, 50, 50)), std::runtime_error);
  EXPECT_FALSE(p.Printing);
  EXPECT_EQ(target.Canvas()->GetMapMode(), MM_TEXT);
}

TEST(GraphPanel, PrintsOntoAPage) {
  auto* page = new TPagePrinter(4000, 6000, 600);
  std::unique_ptr<TPrinter> previous(SetPrinter(page));
  TTestPanel p;
  p.Fill = clRed;
  TRect print;
  p.CalcPrintRect(print);
  EXPECT_EQ(p.PrintMargins(), TRect(15, 35, 15, 35));
  EXPECT_EQ(print, TRect(600, 2100, 3400, 3900));

  TRect seen;
  p.OnBeforePrint = [&](TCustomGraphPanel* Sender, TCanvas*, TRect& R) {
    EXPECT_EQ(Sender, &p);
    seen = R;
  };
  page->BeginDoc();
  p.PrintInRect(print);
  page->EndDoc();
  EXPECT_TRUE(p.PrintingSeen);
  EXPECT_FALSE(p.Printing);
  // The target rectangle in logical units of the panel's own size: 2800 x 1800 px onto 400 x 250.
  EXPECT_EQ(seen,
            TRect(MulDiv(600, 400, 2800), MulDiv(2100, 250, 1800), MulDiv(3400, 400, 2800), MulDiv(3900, 250, 1800)));
  ASSERT_EQ(page->PageCount(), 1);
  TCanvas* c = page->Pages(0)->Canvas();
  EXPECT_EQ(c->Pixels(2000, 3000), clRed);
  EXPECT_EQ(c->Pixels(300, 3000), clWhite);   // left of the print rectangle
  EXPECT_EQ(c->Pixels(2000, 2000), clWhite);  // above it: clipped
  delete SetPrinter(previous.release());
}

TEST(GraphPanel, ListenersGetMouseAndChangeEvents) {
  TTestPanel p;
  TListener first, second(true), third;
  EXPECT_EQ(p.Listeners->Add(&first), 0);
  EXPECT_EQ(p.Listeners->Add(&first), 0);  // not twice
  p.Listeners->Add(&second);
  p.Listeners->Add(&third);
  p.DispatchMouseDown(mbRight, {}, 12, 34);
  EXPECT_EQ(first.Seen, std::vector<std::string>{"mouse0"});
  EXPECT_EQ(first.Last.Button, mbRight);
  EXPECT_EQ(first.Last.X, 12);
  EXPECT_EQ(first.Last.Y, 34);
  EXPECT_EQ(second.Seen.size(), 1u);
  EXPECT_TRUE(third.Seen.empty());  // the second one cancelled the event
  p.DispatchMouseMove({}, 5, 6);
  EXPECT_EQ(first.Last.Event, meMove);
  EXPECT_EQ(first.Last.Button, mbLeft);
  // A change event always reaches every listener.
  p.SetView3D(false);
  EXPECT_EQ(third.Seen, std::vector<std::string>{"view3d"});
  // A listener may remove itself while being told.
  first.OnEvent = [&] { p.RemoveListener(&first); };
  p.SetView3D(true);
  EXPECT_EQ(p.Listeners->Count(), 2);
  EXPECT_EQ(third.Seen.size(), 2u);
}

TEST(GraphPanel, CancelledDoubleClickAbortsSilently) {
  TTestPanel p;
  p.OnDblClick = [&](TObject*) { p.CancelMouse = true; };
  EXPECT_THROW(p.CallDblClick(), EAbort);
  p.OnDblClick = nullptr;
  EXPECT_NO_THROW(p.CallDblClick());
}

TEST(GraphPanel, StreamsPublishedSettings) {
  TTestPanel p;
  const std::string plain = ComponentToText(&p);
  for (const char* name : {"Margin", "View3D", "BufferedDisplay", "BorderRound", "Color", "BorderStyle"})
    EXPECT_EQ(plain.find(name), std::string::npos) << name << "\n" << plain;

  p.SetMarginLeft(7);
  p.SetView3D(false);
  p.SetMarginUnits(muPixels);
  p.Border()->SetVisible(true);
  const std::string text = ComponentToText(&p);
  TTestPanel q;
  TextToComponent(text, &q);
  EXPECT_EQ(q.MarginLeft(), 7);
  EXPECT_FALSE(q.View3D());
  EXPECT_EQ(q.MarginUnits(), muPixels);
  EXPECT_TRUE(q.Border()->Visible());

  // Older files: a border style shows the border only for "bsSingle".
  TTestPanel r;
  TextToComponent("object TCustomGraphPanel\n  BorderStyle = bsSingle\nend\n", &r);
  EXPECT_TRUE(r.Border()->Visible());
  TextToComponent("object TCustomGraphPanel\n  BorderStyle = bsNone\nend\n", &r);
  EXPECT_FALSE(r.Border()->Visible());
}

TEST(GraphPanel, AssignCopiesPanelSettings) {
  TTestPanel a, b;
  a.SetMarginTop(9);
  a.SetPrintMargins(TRect(1, 2, 3, 4));
  a.SetColor(clYellow);
  a.Shadow()->SetSize(3);
  a.SetView3D(false);
  TListener l;
  b.Listeners->Add(&l);
  b.Assign(&a);
  EXPECT_EQ(b.MarginTop(), 9);
  EXPECT_EQ(b.PrintMargins(), TRect(1, 2, 3, 4));
  EXPECT_EQ(b.Color(), clYellow);
  EXPECT_EQ(b.Shadow()->Size(), 3);
  EXPECT_FALSE(b.View3D());
  EXPECT_TRUE(l.Seen.empty());  // View3D is copied without broadcasting
}

TEST(GraphPanel, DateTimeStepsAndMonths) {
  EXPECT_DOUBLE_EQ(NextDateTimeStep(0.5), 1);
  EXPECT_DOUBLE_EQ(NextDateTimeStep(400), 365);
  EXPECT_DOUBLE_EQ(NextDateTimeStep(0), 365);
  EXPECT_EQ(FindDateTimeStep(7), 19);
  EXPECT_EQ(FindDateTimeStep(7.5), 27);
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2023, 2), 28);
  EXPECT_EQ(DaysInMonth(2023, 12), 31);
  EXPECT_THROW(DaysInMonth(2023, 13), ERangeError);
  EXPECT_THROW(DaysInMonth(2023, 0), ERangeError);
  EXPECT_EQ(GetDefaultColor(static_cast<int>(ColorPalette.size()) + 1), ColorPalette[1]);
  EXPECT_EQ(DateTimeDefaultFormat(2), ShortDateFormat);
  EXPECT_EQ(DateTimeDefaultFormat(1), ShortTimeFormat);
}

TEST(GraphPanel, BorderPenAndBevelsNestInwards) {
  struct Case {
    int PenWidth, Round;
    const char* Frame;  // the border as drawn
    const char* Bevel;  // the outer bevel inside it
  };
  const Case cases[] = {
      {1, 0, "Rectangle(0,0,400,250)", "DrawBevelFrame([1,1,399,249]"},
      {3, 0, "Rectangle(1,1,400,250)", "DrawBevelFrame([2,2,399,249]"},
      {4, 0, "Rectangle(2,2,400,250)", "DrawBevelFrame([3,3,399,249]"},
      {6, 0, "Rectangle(3,3,398,248)", "DrawBevelFrame([6,6,395,245]"},
      {1, 10, "RoundRect(0,0,399,249,10,10)", "RoundRect(0,0,399,249,10,10)"},
  };
  for (const Case& c : cases) {
    TTestPanel p;
    auto* rec = new TRecordingCanvas(400, 250);
    p.AdoptCanvas(std::unique_ptr<TGraphCanvas3D>(rec));
    p.Border()->SetVisible(true);
    p.Border()->SetWidth(c.PenWidth);
    p.SetBorderRound(c.Round);
    p.DrawPanelBevels(TRect(0, 0, 400, 250));
    const int frame = rec->IndexOf(c.Frame);
    EXPECT_GE(frame, 0) << c.Frame;
    EXPECT_GT(rec->IndexOf(c.Bevel, frame + (c.Round ? 1 : 0)), frame) << c.PenWidth;
  }
}

TEST(GraphPanel, RoundedWindowRegionFollowsBorderRound) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 500, 300);
  TTestPanel p;
  p.SetParent(&parent);
  p.SetBorderRound(40);
  TRegion r;
  ASSERT_EQ(p.GetWindowRgn(r), 1);
  EXPECT_FALSE(r.PtInRegion(0, 0));
  EXPECT_TRUE(r.PtInRegion(200, 125));
  p.SetBorderRound(0);
  EXPECT_EQ(p.GetWindowRgn(r), 0);
  p.SetParent(nullptr);
}

TEST(GraphPanel, MouseLeaveRestoresCursorAndEndsPanning) {
  TTestPanel p;
  p.OriginalCursor = crCross;
  p.SetCursor(crHandPoint);
  p.DispatchMouseEnter();
  p.Panning->Activate(3, 4);
  p.DispatchMouseLeave();
  EXPECT_EQ(p.Cursor(), crCross);
  EXPECT_FALSE(p.Panning->Active);
}

TEST(GraphPanel, DegenerateSizesPrintNothingAndKeepDefaultMargins) {
  TTestPanel p;
  TBitmap target(50, 50);
  p.PrintToCanvas(target.Canvas(), TRect(10, 10, 10, 40));  // empty target
  EXPECT_EQ(p.Draws, 0);
  // A reduction of 100 % still draws, at one logical pixel.
  p.SetPrintResolution(100);
  p.PrintToCanvas(target.Canvas(), TRect(0, 0, 50, 50));
  EXPECT_EQ(p.Draws, 1);
  // A panel without size has no aspect to keep.
  p.SetBounds(0, 0, 0, 0);
  TRect m(1, 2, 3, 4);
  p.CalcProportionalMargins(m);
  EXPECT_EQ(m, TRect(15, 15, 15, 15));
}

TEST(GraphPanel, ProportionalMarginsFallBackToTheScreenWithoutPrinter) {
  class TNoPrinter : public TPrinter {
  public:
    int32_t PageWidth() override { throw EPrinter("There is no default printer currently selected"); }
    int32_t PageHeight() override { throw EPrinter("There is no default printer currently selected"); }
  };
  std::unique_ptr<TPrinter> previous(SetPrinter(new TNoPrinter));
  TTestPanel p;  // 400 by 250
  TRect m;
  EXPECT_NO_THROW(p.CalcProportionalMargins(m));
  EXPECT_EQ(m.Left, 15);
  EXPECT_EQ(m.Right, 15);
  if (Screen && Screen->Width() > 0 && Screen->Height() > 0) {
    const double PW = Screen->Width(), PH = Screen->Height();
    EXPECT_EQ(m.Top, static_cast<int>(Round((PH - (PW - PW * 0.3) * 0.625) * 100 / PH)) / 2);
  }
  delete SetPrinter(previous.release());
}

TEST(GraphPanel, CheckBoxesAreThirteenPixelFrames) {
  TBitmap b(30, 30, pf24bit);
  DrawCheckBox(5, 5, b.Canvas(), true, clWhite);
  EXPECT_NE(b.Canvas()->Pixels(5, 5), clWhite);
  EXPECT_EQ(b.Canvas()->Pixels(18, 18), clWhite);
  EXPECT_EQ(b.Canvas()->Pixels(4, 4), clWhite);
}
