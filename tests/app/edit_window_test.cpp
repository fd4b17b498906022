// The editing window on the sample site: the curves and the estimates of the current frequency
// at the pixels of their values, navigation, and every selection tool driven by mouse events
// through the charts: exactly the estimates inside the shape change, the frequency is
// recomputed, one journal record is added, and undo brings back the pixels and the numbers.
#include <cmath>
#include <memory>
#include <set>

#include "app/log_views.h"
#include "app/property_window.h"
#include "app/views/data_view.h"
#include "app/views/edit_window.h"
#include "app/views/errpoint_series.h"
#include "app/views/series_factory.h"
#include "app_fixture.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "chart/engine/walls_titles.h"
#include "chart/series/bar_series.h"
#include "chart/series/tools_colorline.h"
#include "mtdata/plot_columns.h"
#include "mtdata/plot_tables.h"
#include "platform/actnlist.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"
#include "platform/toolbars.h"

namespace {

struct EditFixture : AppFixture {
  TVaro1* W = nullptr;

  void Open() {
    Start();
    EXPECT_FALSE(MainForm1->AcEditing->Enabled()) << "no site, no editing";
    ChooseFiles({SiteFile("S107.MT1")});
    ASSERT_TRUE(MainForm1->acOpen->Execute());
    ASSERT_TRUE(MainForm1->AcEditing->Enabled());
    ASSERT_TRUE(MainForm1->AcEditing->Execute());
    ASSERT_TRUE(FormExists(Varo1));
    W = Varo1;
    W->SetBounds(0, 0, 1000, 700);
    Application->ProcessMessages();
    DrawAll();
  }
  // Draws every chart once, so that the axes take their pixel positions as the user sees them.
  void DrawAll() {
    for (TChart* c : {W->Chart1, W->Chart2, W->Chart3, W->Chart4}) Image(c);
  }
  static std::unique_ptr<TBitmap> Image(TChart* C) {
    return std::unique_ptr<TBitmap>(C->CreateBitmap(clWhite, TRect(0, 0, C->Width(), C->Height()), pf24bit));
  }
  TErrPointSeries* Estimates(int I, TChart* C = nullptr) const {
    return dynamic_cast<TErrPointSeries*>((C ? C : W->Chart2)->SeriesList()->SeriesAt(I));
  }
  TErrPointSeries* CurveOf(TChart* C, int I) const {
    return dynamic_cast<TErrPointSeries*>(C->SeriesList()->SeriesAt(I));
  }
  std::string MaskRow() const {
    std::string s;
    for (int x = 1; x <= CurrentSite->XprCount[W->CurFreq]; ++x)
      s += static_cast<char>('0' + CurrentSite->Mask[W->CurFreq][x]);
    return s;
  }
  // Pixel of point J of series S on chart C.
  static TPoint At(TChart* C, TChartSeries* S, int J) {
    return TPoint(C->BottomAxis()->ValueToPixel(S->XValues()->Value(J)),
                  C->LeftAxis()->ValueToPixel(S->YValues()->Value(J)));
  }
  static void Press(TChart* C, int X, int Y) {
    C->DispatchMouseMove({}, X, Y);
    C->DispatchMouseDown(mbLeft, {}, X, Y);
    C->DispatchMouseUp(mbLeft, {}, X, Y);
  }
  // Moves to the frequency of the site with the most estimates in use, so that every tool has
  // something to select.
  void GoToBusyFrequency() {
    TErrPointSeries* first = CurveOf(W->Chart1, 0);
    int best = -1, bestUsed = -1;
    for (int j = 0; j < first->PointCount(); ++j) {
      const int f = TVaro1::FindFrequencyIndex(CurrentSite.get(), first->XValues()->Value(j));
      int used = 0;
      for (int x = 1; x <= CurrentSite->XprCount[f]; ++x) used += CurrentSite->Mask[f][x] == 1;
      if (used > bestUsed) best = j, bestUsed = used;
    }
    W->SelectFrequencyPoint(first, best);
    DrawAll();
  }
  // The mask after an action, against the mask before: the estimates of Selected (XPR numbers)
  // whose mask is not 0 take Value, every other entry is as before.
  static std::string Expect(std::string Before, const std::set<int>& Selected, char Value) {
    for (int x : Selected)
      if (Before[static_cast<size_t>(x - 1)] != '0') Before[static_cast<size_t>(x - 1)] = Value;
    return Before;
  }
};

}  // namespace

// After opening: the highest frequency is marked in the selection colour on both curve charts,
// the marker lines stand at it, the status bar names it; every curve point sits at the pixel of
// the value read straight from the site's parameter table, and every estimate at the pixel of its
// own value in its mask colour.
TEST_F(EditFixture, OpensWithCurvesAndEstimatesAtTheirPixels) {
  Open();
  EXPECT_EQ(W->Caption(), "Edit window");
  EXPECT_TRUE(MainForm1->AcHand->Enabled());
  EXPECT_TRUE(MainForm1->AcNext->Enabled());
  TMTFile& site = *CurrentSite;
  TErrPointSeries* rho = CurveOf(W->Chart1, 0);
  ASSERT_NE(rho, nullptr);
  EXPECT_EQ(rho->Title(), std::string(ParameterShortNames[pcRhoxyOhmm]));
  int positive = 0;
  double highest = 0;
  for (int f = 1; f <= site.FreqCount; ++f)
    if (site.Frequencies[f] > 0) ++positive, highest = std::max(highest, site.Frequencies[f]);
  ASSERT_EQ(rho->PointCount(), positive);
  EXPECT_EQ(W->MarkedPoint, positive - 1);
  EXPECT_DOUBLE_EQ(site.Frequencies[W->CurFreq], highest);
  EXPECT_DOUBLE_EQ(W->ChartTool(21)->Value(), highest);
  EXPECT_DOUBLE_EQ(W->ChartTool(22)->Value(), highest);
  EXPECT_EQ(MainForm1->StatusBar1->Panels()->Items(1)->Text(), "f=" + std::to_string(W->CurFreq));
  EXPECT_EQ(rho->PointColorAt(W->MarkedPoint), static_cast<TColor>(PlotSettings.Styles[21]));
  EXPECT_EQ(CurveOf(W->Chart3, 0)->PointColorAt(W->MarkedPoint), static_cast<TColor>(PlotSettings.Styles[21]));

  // Curve points: apparent resistivity xy on the first chart, phase yx on the second.
  struct TCase {
    TChart* Chart;
    int Curve, Column;
  };
  for (const TCase& c : {TCase{W->Chart1, 0, pcRhoxyOhmm}, TCase{W->Chart3, 1, pcPHASEyxDeg}}) {
    TErrPointSeries* s = CurveOf(c.Chart, c.Curve);
    for (TChartSeries* o : *c.Chart->SeriesList()) o->SetActive(o == s);
    s->Pen()->SetVisible(false);
    s->ErrLinePen()->SetVisible(false);
    s->Pointer()->SetHorizSize(4);
    s->Pointer()->SetVertSize(4);
    c.Chart->LeftAxis()->SetAutomatic(true);
    c.Chart->BottomAxis()->SetAutomatic(true);
    std::unique_ptr<TBitmap> img = Image(c.Chart);
    int checked = 0;
    for (int f = 1; f <= site.FreqCount; ++f) {
      if (!(site.Frequencies[f] > 0) || !(site.Plots[f][pcfhz] > 0)) continue;
      const double v = site.Plots[f][c.Column] + (PlotSettings.Plus180 && c.Column == pcPHASEyxDeg ? 180 : 0);
      const int x = c.Chart->BottomAxis()->ValueToPixel(site.Frequencies[f]);
      const int y = c.Chart->LeftAxis()->ValueToPixel(v);
      if (x - 3 <= c.Chart->ChartRect.Left || x + 3 >= c.Chart->ChartRect.Right) continue;
      const TColor want = f == W->CurFreq ? static_cast<TColor>(PlotSettings.Styles[21]) : SeriesColor(c.Curve + 1);
      EXPECT_EQ(img->Canvas()->Pixels(x, y), want) << "frequency " << f;
      ++checked;
    }
    EXPECT_GT(checked, 5);
  }

  // Estimates: apparent resistivity xy of every XPR of the current frequency, one of them removed.
  GoToBusyFrequency();
  const int f = W->CurFreq;
  int removed = 0;
  for (int x = 1; x <= site.XprCount[f] && !removed; ++x)
    if (site.Mask[f][x] == 1) removed = x;
  ASSERT_GT(removed, 0);
  site.Mask[f][removed] = 2;
  site.MaskChanged(f);
  W->Refresh(nullptr);
  TErrPointSeries* e = Estimates(0);
  ASSERT_EQ(e->PointCount(), site.XprCount[f]);
  for (TChartSeries* o : *W->Chart2->SeriesList()) o->SetActive(o == e);
  e->ErrLinePen()->SetVisible(false);
  e->Pointer()->SetHorizSize(3);
  e->Pointer()->SetVertSize(3);
  W->Chart2->LeftAxis()->SetAutomatic(true);
  std::unique_ptr<TBitmap> img = Image(W->Chart2);
  int checked = 0;
  for (int x = 1; x <= site.XprCount[f]; ++x) {
    const double v = site.PartialPlots[f - 1][pcRhoxyOhmm - 1][x - 1];
    if (!(v > 0) || !(site.Weight2[f][x] > 2)) continue;
    const TColor want = site.Mask[f][x] == 1   ? SeriesColor(1)
                        : site.Mask[f][x] == 2 ? static_cast<TColor>(PlotSettings.Styles[20])
                                               : static_cast<TColor>(PlotSettings.Styles[22]);
    EXPECT_EQ(img->Canvas()->Pixels(W->Chart2->BottomAxis()->ValueToPixel(x), W->Chart2->LeftAxis()->ValueToPixel(v)),
              want)
        << "estimate " << x;
    ++checked;
  }
  EXPECT_GT(checked, 3);
}

// First, then the space bar walks from the highest frequency down to the lowest and turns back;
// Next at the lowest and Prior at the highest change nothing.
TEST_F(EditFixture, NavigationWalksAndTurnsAtTheEnds) {
  Open();
  const int c = CurveOf(W->Chart1, 0)->PointCount();
  ASSERT_GT(c, 3);
  W->Navigate(MainForm1->AcFirst, 1);
  EXPECT_EQ(W->MarkedPoint, c - 1);
  W->Navigate(MainForm1->AcPrior, 2);
  EXPECT_EQ(W->MarkedPoint, c - 1) << "Prior at the highest";
  std::vector<int> walked;
  for (int k = 0; k < c + 2; ++k) {
    uint16_t key = VK_SPACE;
    W->FormKeyDown(W, key, {});
    walked.push_back(W->MarkedPoint);
  }
  std::vector<int> want;
  for (int b = c - 2; b >= 0; --b) want.push_back(b);
  want.push_back(1);
  want.push_back(2);
  want.push_back(3);
  EXPECT_EQ(walked, want);
  W->Navigate(MainForm1->AcLast, 4);
  EXPECT_EQ(W->MarkedPoint, 0);
  W->Navigate(MainForm1->AcNext, 3);
  EXPECT_EQ(W->MarkedPoint, 0) << "Next at the lowest";
  // Each step refills the estimates of the new frequency.
  EXPECT_EQ(Estimates(0)->PointCount(), CurrentSite->XprCount[W->CurFreq]);
}

// The keys as the user types them, which the window system hands to the widget with the focus.
// The program log is open in the frame and had the focus before the editing window came; the
// arrows move the frequency (the status bar follows), a click in the log takes the keys there
// and a click on a curve chart brings them back; Ctrl+Z and Ctrl+Y undo and redo.
TEST_F(EditFixture, KeysTypedReachTheEditingWindow) {
  Open();
  ASSERT_TRUE(FormExists(STermWin1));
  const int c = CurveOf(W->Chart1, 0)->PointCount();
  W->Navigate(MainForm1->AcFirst, 1);
  ASSERT_EQ(W->MarkedPoint, c - 1);
  auto status = [] { return MainForm1->StatusBar1->Panels()->Items(1)->Text(); };
  SendKey({}, VK_RIGHT);
  EXPECT_EQ(W->MarkedPoint, c - 2);
  EXPECT_EQ(status(), "f=" + std::to_string(W->CurFreq));
  SendKey({}, VK_LEFT);
  EXPECT_EQ(W->MarkedPoint, c - 1);

  SendInput(STermWin1->Memo1, ikMouseDown, {}, 10, 10, mbLeft);
  SendInput(STermWin1->Memo1, ikMouseUp, {}, 10, 10, mbLeft);
  ASSERT_EQ(FocusedControl(), STermWin1->Memo1);
  SendInput(W->Chart1, ikMouseDown, {}, W->Chart1->Width() / 2, W->Chart1->Height() / 2, mbLeft);
  SendInput(W->Chart1, ikMouseUp, {}, W->Chart1->Width() / 2, W->Chart1->Height() / 2, mbLeft);
  EXPECT_EQ(MainForm1->ActiveMDIChild(), W);
  const int at = W->MarkedPoint;
  SendKey({}, VK_RIGHT);
  EXPECT_EQ(W->MarkedPoint, at > 0 ? at - 1 : at);
  EXPECT_EQ(status(), "f=" + std::to_string(W->CurFreq));

  const std::string original = MaskText();
  ASSERT_TRUE(MainForm1->AcAutoEdit->Execute());
  const std::string edited = MaskText();
  ASSERT_NE(edited, original);
  SendKey({ssCtrl}, 'Z');
  EXPECT_EQ(MaskText(), original);
  SendKey({ssCtrl}, 'Y');
  EXPECT_EQ(MaskText(), edited);
}

// Every shape tool, driven by mouse events on the first estimate chart: "Deleting" removes
// exactly the estimates inside the shape, the frequency is recomputed as a full re-stack gives
// it, one record with the tool's label is added; undo brings back mask, numbers and pixels;
// "Restoring" with the same shape takes them back.
TEST_F(EditFixture, EveryShapeToolChangesExactlyWhatIsInside) {
  Open();
  GoToBusyFrequency();
  TChart* c = W->Chart2;
  TMTFile& site = *CurrentSite;
  const int f = W->CurFreq;
  const int n = site.XprCount[f];
  ASSERT_GE(n, 6);
  TChartAxis* bottom = c->BottomAxis();
  TChartAxis* left = c->LeftAxis();

  struct TTool {
    const char* Label;
    TAction* TMainForm1::*Action;
  };
  const TTool tools[] = {{"VertLn", &TMainForm1::AcTwoVert},
                         {"HorLn", &TMainForm1::AcTwoHorl},
                         {"Circle", &TMainForm1::AcCircle},
                         {"Lasso", &TMainForm1::AcLasso}};
  for (const TTool& t : tools) {
    SCOPED_TRACE(t.Label);
    (MainForm1->*t.Action)->Execute();
    ASSERT_TRUE((MainForm1->*t.Action)->Checked());
    for (bool deleting : {true, false}) {
      (deleting ? MainForm1->AcDeleting : MainForm1->AcRestoring)->SetChecked(true);
      (deleting ? MainForm1->AcRestoring : MainForm1->AcDeleting)->SetChecked(false);
      DrawAll();
      const std::string before = MaskRow();
      const double stackBefore = site.Plots[f][pcRhoxyOhmm];
      const size_t records = JournalActions().size();
      // The shape and, computed here from the points' values through the axes, what it holds.
      std::set<int> inside;
      TErrPointSeries* e0 = Estimates(0);
      const TPoint p3 = At(c, e0, 2);
      if (t.Action == &TMainForm1::AcTwoVert) {
        // Around estimates 3 to 5, pressed right to left.
        const int a = bottom->ValueToPixel(2.5), b = bottom->ValueToPixel(5.5);
        Press(c, b, p3.Y);
        c->DispatchMouseMove({}, a + 1, p3.Y);
        EXPECT_TRUE(W->ChartTool(14)->Active()) << "the second line follows the mouse";
        EXPECT_TRUE(W->ChartTool(16)->Active()) << "and stands on the other estimate chart too";
        Press(c, a, p3.Y);
        inside = {3, 4, 5};
      } else {
        // Every point of every series of the chart (the weight bars included, the horizontal
        // lines only visible estimate series) tested against the shape.
        std::function<bool(int, int)> in;
        int y1 = 0, y2 = 0;
        const TPoint a(p3.X - 30, p3.Y - 20), b(p3.X + 30, p3.Y + 20);
        if (t.Action == &TMainForm1::AcTwoHorl) {
          y1 = p3.Y - 6, y2 = p3.Y + 6;
          Press(c, p3.X, y2);
          Press(c, p3.X, y1);
          in = [&](int, int Y) { return Y >= y1 && Y <= y2; };
        } else if (t.Action == &TMainForm1::AcCircle) {
          Press(c, p3.X + 5, p3.Y);
          in = [&](int X, int Y) { return (X - p3.X - 5) * (X - p3.X - 5) + (Y - p3.Y) * (Y - p3.Y) < 225; };
        } else {
          c->DispatchMouseMove({}, a.X, a.Y);
          c->DispatchMouseDown(mbLeft, {}, a.X, a.Y);
          c->DispatchMouseMove({ssLeft}, b.X, b.Y);
          c->DispatchMouseUp(mbLeft, {}, b.X, b.Y);
          in = [&](int X, int Y) { return a.X <= X && X <= b.X && a.Y <= Y && Y <= b.Y; };
        }
        const bool onlyEstimates = t.Action == &TMainForm1::AcTwoHorl;
        for (TChartSeries* s : *c->SeriesList()) {
          if (onlyEstimates && !dynamic_cast<TErrPointSeries*>(s)) continue;
          for (int j = 0; j < s->PointCount(); ++j) {
            if (s->PointColorAt(j) == clNone) continue;  // not shown: cannot be inside
            const double v = s->YValues()->Value(j);
            if (left->Logarithmic() && !(v > 0)) continue;
            if (in(bottom->ValueToPixel(s->XValues()->Value(j)), left->ValueToPixel(v))) inside.insert(j + 1);
          }
        }
      }
      ASSERT_FALSE(inside.empty());
      const std::string want = Expect(before, inside, deleting ? '2' : '1');
      EXPECT_EQ(MaskRow(), want);
      ASSERT_EQ(JournalActions().size(), records + 1);
      EXPECT_EQ(JournalActions().back(), t.Label);
      EXPECT_EQ(W->CurFreq, f) << "the window stays at its frequency";
      // The stack recomputed: as a full re-stack of the whole site gives it.
      const double stackAfter = site.Plots[f][pcRhoxyOhmm];
      if (want != before) {
        EXPECT_NE(stackAfter, stackBefore);
      }
      const double curveAfter = CurveOf(W->Chart1, 0)->YValues()->Value(W->MarkedPoint);
      site.RestackAll();
      EXPECT_DOUBLE_EQ(site.Plots[f][pcRhoxyOhmm], stackAfter);
      if (site.Plots[f][pcfhz] > 0) {
        EXPECT_DOUBLE_EQ(curveAfter, stackAfter);
      }
      // The estimate charts show the change: a removed estimate in the removed colour.
      for (int x : inside) {
        const char m = want[static_cast<size_t>(x - 1)];
        if (m == '0' || Estimates(0)->PointColorAt(x - 1) == clNone) continue;
        EXPECT_EQ(Estimates(0)->PointColorAt(x - 1),
                  m == '2' ? static_cast<TColor>(PlotSettings.Styles[20]) : SeriesColor(1))
            << x;
      }
      if (deleting && want != before) {
        MainForm1->AcUndo->Execute();
        EXPECT_EQ(MaskRow(), before) << "undo";
        EXPECT_DOUBLE_EQ(site.Plots[f][pcRhoxyOhmm], stackBefore);
        EXPECT_DOUBLE_EQ(CurveOf(W->Chart1, 0)->YValues()->Value(W->MarkedPoint), stackBefore);
        MainForm1->AcRedo->Execute();
        EXPECT_EQ(MaskRow(), want) << "redo";
      }
    }
  }
  EXPECT_FALSE(W->ChartTool(13)->Active());
  EXPECT_FALSE(W->ChartTool(17)->Active());
}

// The hand toggles one estimate per click and adds a "Finger" record each time; undo brings
// back the pixel of the estimate in its used colour.
TEST_F(EditFixture, HandTogglesOneEstimateAndUndoBringsBackItsPixel) {
  Open();
  GoToBusyFrequency();
  MainForm1->AcHand->Execute();
  TMTFile& site = *CurrentSite;
  const int f = W->CurFreq;
  TChart* c = W->Chart2;
  // The other curve hidden as the legend hides it: the estimate chart follows at every refresh.
  W->Chart1->SeriesList()->SeriesAt(1)->SetActive(false);
  W->Chart1ClickLegend(W->Chart1);
  int x = 0;
  for (int k = 1; k <= site.XprCount[f] && !x; ++k)
    if (site.Mask[f][k] == 1 && Estimates(0)->PointColorAt(k - 1) != clNone) x = k;
  ASSERT_GT(x, 0);
  DrawAll();
  const TPoint p = At(c, Estimates(0), x - 1);
  const std::string before = MaskRow();
  const double stack = site.Plots[f][pcRhoxyOhmm];
  c->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
  c->DispatchMouseUp(mbLeft, {}, p.X, p.Y);
  EXPECT_EQ(site.Mask[f][x], 2);
  EXPECT_EQ(JournalActions().back(), "Finger");
  EXPECT_EQ(MainForm1->StatusBar1->Panels()->Items(4)->Text(), "Xpr=" + std::to_string(x));
  EXPECT_NE(site.Plots[f][pcRhoxyOhmm], stack);
  {
    std::unique_ptr<TBitmap> img = Image(c);
    const TPoint q = At(c, Estimates(0), x - 1);
    EXPECT_EQ(img->Canvas()->Pixels(q.X, q.Y), static_cast<TColor>(PlotSettings.Styles[20]));
  }
  MainForm1->AcUndo->Execute();
  EXPECT_EQ(MaskRow(), before);
  EXPECT_DOUBLE_EQ(site.Plots[f][pcRhoxyOhmm], stack);
  {
    std::unique_ptr<TBitmap> img = Image(c);
    const TPoint q = At(c, Estimates(0), x - 1);
    EXPECT_EQ(img->Canvas()->Pixels(q.X, q.Y), SeriesColor(1));
  }
  // A second click removes, a third restores: one record each. The window paints between two
  // clicks, as the event loop does before it delivers the next one.
  const size_t records = JournalActions().size();
  for (int k = 0; k < 2; ++k) {
    DrawAll();
    c->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
    c->DispatchMouseUp(mbLeft, {}, p.X, p.Y);
  }
  EXPECT_EQ(site.Mask[f][x], 1);
  EXPECT_EQ(JournalActions().size(), records + 2);
}

// Edge cases of the selections: the lasso dragged up and left and the circle with neither mode
// change nothing but still add their records; a point 14 px from the circle's centre is taken,
// one 15 px away is not; a curve hidden in the legend is taken by the vertical lines, not by
// the horizontal ones.
TEST_F(EditFixture, SelectionEdgeCases) {
  Open();
  GoToBusyFrequency();
  TChart* c = W->Chart2;
  const std::string start = MaskRow();
  MainForm1->AcDeleting->SetChecked(false);
  MainForm1->AcRestoring->SetChecked(false);
  MainForm1->AcCircle->Execute();
  const TPoint p = At(c, Estimates(0), 2);
  Press(c, p.X, p.Y);
  EXPECT_EQ(MaskRow(), start);
  EXPECT_EQ(JournalActions().back(), "Circle");

  MainForm1->AcDeleting->SetChecked(true);
  MainForm1->AcLasso->Execute();
  const size_t records = JournalActions().size();
  c->DispatchMouseDown(mbLeft, {}, p.X + 20, p.Y + 20);
  c->DispatchMouseMove({ssLeft}, p.X - 20, p.Y - 20);
  c->DispatchMouseUp(mbLeft, {}, p.X - 20, p.Y - 20);
  EXPECT_EQ(MaskRow(), start);
  EXPECT_EQ(JournalActions().size(), records + 1);
  EXPECT_EQ(JournalActions().back(), "Lasso");
  c->DispatchMouseUp(mbLeft, {}, p.X, p.Y);
  EXPECT_EQ(JournalActions().size(), records + 1) << "a release without a press selects nothing";

  // The circle's edge, on a chart holding one estimate series with one point placed by hand.
  MainForm1->AcCircle->Execute();
  DrawAll();
  const int f = W->CurFreq;
  int x = 0;
  for (int k = 1; k <= CurrentSite->XprCount[f] && !x; ++k)
    if (CurrentSite->Mask[f][k] == 1) x = k;
  ASSERT_GT(x, 0);
  const TPoint q = At(c, Estimates(0), x - 1);
  // The nearest other point of any series decides how far the test may go from this one.
  int nearest = 1 << 30;
  for (TChartSeries* s : *c->SeriesList())
    for (int j = 0; j < s->PointCount(); ++j) {
      if (s == Estimates(0) && j == x - 1) continue;
      const TPoint o(c->BottomAxis()->ValueToPixel(s->XValues()->Value(j)),
                     c->LeftAxis()->ValueToPixel(s->YValues()->Value(j)));
      nearest = std::min(nearest, (o.X - q.X - 15) * (o.X - q.X - 15) + (o.Y - q.Y) * (o.Y - q.Y));
    }
  if (nearest > 900) {
    Press(c, q.X + 15, q.Y);
    EXPECT_EQ(CurrentSite->Mask[f][x], 1) << "15 px away: outside";
    DrawAll();
    Press(c, q.X + 14, q.Y);
    EXPECT_EQ(CurrentSite->Mask[f][x], 2) << "14 px away: inside";
  }

  // A hidden curve: the vertical lines take it, the horizontal lines do not.
  MainForm1->AcDeleting->SetChecked(false);
  MainForm1->AcRestoring->SetChecked(true);
  MainForm1->AcTwoVert->Execute();
  DrawAll();
  Press(c, c->BottomAxis()->ValueToPixel(0.5), p.Y);
  Press(c, c->BottomAxis()->ValueToPixel(CurrentSite->XprCount[f] + 0.5), p.Y);
  MainForm1->AcDeleting->SetChecked(true);
  MainForm1->AcRestoring->SetChecked(false);
  W->Chart2->SeriesList()->SeriesAt(0)->SetActive(false);
  W->Chart2->SeriesList()->SeriesAt(1)->SetActive(false);
  MainForm1->AcTwoHorl->Execute();
  DrawAll();
  const std::string restored = MaskRow();
  Press(c, p.X, c->ChartRect.Top + 1);
  Press(c, p.X, c->ChartRect.Bottom - 1);
  EXPECT_EQ(MaskRow(), restored) << "hidden curves are outside the horizontal lines";
  MainForm1->AcTwoVert->Execute();
  Press(c, c->BottomAxis()->ValueToPixel(0.5), p.Y);
  Press(c, c->BottomAxis()->ValueToPixel(CurrentSite->XprCount[f] + 0.5), p.Y);
  for (char m : MaskRow()) EXPECT_TRUE(m == '0' || m == '2');
}

// Bad input: a frequency whose every estimate is removed has nothing computed, a frequency
// without estimates has nothing to show, values of zero and below cannot stand on a log axis:
// the window shows what it can and says what is missing.
TEST_F(EditFixture, ShowsWhatItCanAndSaysWhatIsMissing) {
  Open();
  GoToBusyFrequency();
  TMTFile& site = *CurrentSite;
  const int f = W->CurFreq;
  MainForm1->AcDeleting->SetChecked(true);
  MainForm1->AcTwoVert->Execute();
  TChart* c = W->Chart2;
  Press(c, c->BottomAxis()->ValueToPixel(0.5), 50);
  Press(c, c->BottomAxis()->ValueToPixel(site.XprCount[f] + 0.5), 50);
  for (int x = 1; x <= site.XprCount[f]; ++x) EXPECT_NE(site.Mask[f][x], 1);
  EXPECT_FALSE(site.Plots[f][pcfhz] > 0) << "nothing computed";
  EXPECT_EQ(CurveOf(W->Chart1, 0)->PointColorAt(W->MarkedPoint), clNone) << "no point for nothing";
  ASSERT_EQ(W->Chart2->SubTitle()->Text()->Count(), 1);
  EXPECT_NE(W->Chart2->SubTitle()->Text()->Strings(0).find("every estimate removed"), std::string::npos);
  EXPECT_TRUE(W->Chart2->SubTitle()->Visible());
  EXPECT_NE(W->MissingText(1), "");
  DrawAll();  // draws without a value for the marked frequency
  MainForm1->AcUndo->Execute();
  EXPECT_TRUE(site.Plots[f][pcfhz] > 0);
  EXPECT_EQ(W->MissingText(2).find("Nothing computed"), std::string::npos);

  // A value of zero and one below zero on the logarithmic resistivity axis.
  const int g = TVaro1::FindFrequencyIndex(&site, CurveOf(W->Chart1, 0)->XValues()->Value(1));
  site.Plots[g][pcRhoxyOhmm] = 0;
  site.Plots[g][pcRhoyxOhmm] = -5;
  W->Refresh(nullptr);
  EXPECT_EQ(CurveOf(W->Chart1, 0)->PointColorAt(1), clNone);
  EXPECT_EQ(CurveOf(W->Chart1, 1)->PointColorAt(1), clNone);
  EXPECT_NE(W->MissingText(1).find("2 points not shown"), std::string::npos) << W->MissingText(1);
  DrawAll();
  // A zero lower limit typed for the logarithmic axis.
  PropTable.Rows.clear();
  FillPropRows(1, 1, W->Chart1);
  for (TPropRec& r : PropTable.Rows)
    if (r.Name == "YMin") r.Value = "0";
  W->ApplyPlotSettings(W->Chart1);
  EXPECT_GT(W->Chart1->LeftAxis()->Minimum(), 0);
  DrawAll();

  // A frequency without estimates.
  site.XprCount[f] = 0;
  W->Refresh(nullptr);
  EXPECT_EQ(Estimates(0)->PointCount(), 0);
  EXPECT_EQ(W->MissingText(2), "No estimates at this frequency");
  DrawAll();
}

// "WeightView" shows the weight bars on their own axes; "MeanView" and "StdView" put the
// marker lines at the stacked value and its bounds, and show none for the tipper.
TEST_F(EditFixture, DisplaySwitchesAndPlotTypes) {
  Open();
  GoToBusyFrequency();
  MainForm1->AcWeightView->Execute();
  EXPECT_TRUE(W->AvWgtSeries->Active());
  EXPECT_TRUE(W->XprWgtSeries->Active());
  EXPECT_TRUE(W->XprWgtAxis->Visible());
  EXPECT_EQ(W->XprWgtSeries->PointCount(), CurrentSite->XprCount[W->CurFreq]);
  MainForm1->AcMeanView->Execute();
  EXPECT_TRUE(W->ChartTool(1)->Active());
  EXPECT_DOUBLE_EQ(W->ChartTool(1)->Value(), CurveOf(W->Chart1, 0)->YValues()->Value(W->MarkedPoint));
  MainForm1->AcStdView->Execute();
  EXPECT_TRUE(W->ChartTool(3)->Active());
  EXPECT_DOUBLE_EQ(W->ChartTool(3)->Value(), CurveOf(W->Chart1, 0)->HighValues()->Value(W->MarkedPoint));
  EXPECT_DOUBLE_EQ(W->ChartTool(4)->Value(), CurveOf(W->Chart1, 0)->LowValues()->Value(W->MarkedPoint));
  DrawAll();
  // The tipper: three curves, no marker lines.
  W->ChoosePlotType(2);
  EXPECT_EQ(W->PlotType, 2);
  EXPECT_EQ(CurveOf(W->Chart1, 2)->Title(), std::string(ParameterShortNames[pcAmpTy]));
  for (int t = 1; t <= 12; ++t) EXPECT_FALSE(W->ChartTool(t)->Active()) << t;
  DrawAll();
  W->ChoosePlotType(0);
  EXPECT_TRUE(W->ChartTool(1)->Active());
  EXPECT_DOUBLE_EQ(W->ChartTool(1)->Value(), CurveOf(W->Chart1, 1)->YValues()->Value(W->MarkedPoint))
      << "impedance: the xy curve is the second";
  DrawAll();
}

// With the property window open, a click on a curve chart shows that chart's rows: the phase
// chart its own (second-panel) rows, not those of the magnitude chart.
TEST_F(EditFixture, PropertyWindowFollowsTheClickedCurveChart) {
  Open();
  W->pmPropertiesClick(W->Chart1);
  ASSERT_NE(ObjInsp1, nullptr);
  ASSERT_TRUE(ObjInsp1->Visible());
  EXPECT_EQ(PropTable.Panel, W->Chart1);
  EXPECT_EQ(ObjInsp1->OwnerView(), W);
  W->Chart1Click(W->Chart3);
  EXPECT_EQ(PropTable.Panel, W->Chart3);
  W->Chart1Click(W->Chart1);
  EXPECT_EQ(PropTable.Panel, W->Chart1);
}
