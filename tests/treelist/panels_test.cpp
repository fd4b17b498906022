// Drawing events, the footer and status panels with the close button's hint, automatic row
// heights and preview lines, auto-width sharing, fixed bands and header row spans.
#include <random>

#include "inspector/vm_dropdown.h"
#include "platform/forms.h"
#include "tl_fixture.h"

namespace {

TPoint Centre(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

const TvmTreeListHeaderCell* HeaderOf(const TvmTreeListLayout& L, int Column) {
  for (const auto& h : L.HeaderCells)
    if (h.Column == Column) return &h;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Drawing events.

TEST(TreeListDrawing, CellEventsRunInOrderAndDoneStopsTheRest) {
  TTreeListFixture f;
  f.Fill(3, 0);
  std::vector<std::string> calls;
  // The control's first event paints R1's second cell red; the second changes only the text.
  f.TL->OnCustomDraw = [&](TObject*, TCanvas*, const TRect&, TvmTreeListNode* n, TvmTreeListColumn* c, bool, bool, bool,
                           std::string&, TColor& color, TFont*, TAlignment&, bool&) {
    if (n->Strings(0) == "R1" && c->Index() == 1) color = clRed;
  };
  f.TL->OnCustomDrawCell = [&](TObject*, TCanvas* C, const TRect& R, TvmTreeListNode* n, TvmTreeListColumn* c, bool,
                               bool, bool, std::string& text, TColor&, TFont*, TAlignment&, bool& done) {
    calls.push_back("control " + n->Strings(0) + "/" + std::to_string(c->Index()));
    if (n->Strings(0) == "R2" && c->Index() == 0) {
      // Drawn by the handler itself: the default text never appears.
      C->Brush()->SetColor(clYellow);
      C->FillRect(R);
      done = true;
    }
    text = "";
  };
  f.TL->Columns(0)->OnCustomDrawCell = [&](TObject*, TCanvas*, const TRect&, TvmTreeListNode* n, TvmTreeListColumn*,
                                           bool, bool, bool, std::string&, TColor& color, TFont*, TAlignment&, bool&) {
    calls.push_back("column " + n->Strings(0));
    color = clAqua;
  };
  f.Paint();
  TvmTreeListLayout L = f.Layout();
  const auto* r1 = f.RowOf(L, f.Find("R1"));
  const auto* r2 = f.RowOf(L, f.Find("R2"));
  const auto* c1 = HeaderOf(L, 1);
  const auto* c0 = HeaderOf(L, 0);
  ASSERT_TRUE(r1 && r2 && c1 && c0);
  EXPECT_EQ(f.Pixel(c1->Rect.Left + 5, r1->Top + r1->Height / 2), ColorToRGB(clRed));
  EXPECT_EQ(f.Pixel(c0->Rect.Right - 8, r2->Top + r2->Height / 2), ColorToRGB(clYellow));
  // The column's own event paints what the control's left undone.
  EXPECT_EQ(f.Pixel(c0->Rect.Right - 8, r1->Top + r1->Height / 2), ColorToRGB(clAqua));
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "column R2"), 0);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "column R1"), 1);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "control R1/1"), 1);
}

TEST(TreeListDrawing, HeaderBandAndPreviewEvents) {
  TTreeListFixture f;
  f.Fill(2, 0);
  f.TL->SetShowBandPanel(true);
  f.TL->Columns(1)->SetSorted(csUp);
  // The header hook drops the sort mark and colours the face; the band hook colours the band.
  f.TL->OnCustomDrawColumnHeader = [&](TObject*, TvmTreeListColumn* c, TCanvas*, const TRect&, std::string& text,
                                       TColor& color, TFont*, TAlignment&, TvmTreeListColumnSort& sorted, bool&) {
    if (c->Index() == 1) {
      sorted = csNone;
      color = clLime;
      text = "";
    }
  };
  f.TL->OnDrawBand = [&](TObject*, TvmTreeListBand*, TCanvas*, const TRect&, std::string& text, TColor& color, TFont*,
                         TAlignment&, bool&) {
    color = clFuchsia;
    text = "";
  };
  f.TL->SetOptions(f.TL->Options() + tloPreview);
  f.TL->OnGetPreviewText = [](TObject*, TvmTreeListNode*, std::string& t) { t = "preview"; };
  f.TL->OnDrawPreview = [&](TObject*, TCanvas*, const TRect&, TvmTreeListNode* n, bool, std::string&, TColor& color,
                            TColor&, TFont*, bool&) {
    if (n->Strings(0) == "R0") color = clTeal;
  };
  f.Paint();
  TvmTreeListLayout L = f.Layout();
  const auto* h1 = HeaderOf(L, 1);
  ASSERT_TRUE(h1);
  // Where the sort mark would be, the face is plain.
  int cy = Centre(h1->Rect).Y;
  for (int x = h1->Rect.Right - 16; x < h1->Rect.Right - 3; ++x) EXPECT_EQ(f.Pixel(x, cy), ColorToRGB(clLime)) << x;
  EXPECT_EQ(f.Pixel(Centre(L.BandCells[0].Rect).X, Centre(L.BandCells[0].Rect).Y), ColorToRGB(clFuchsia));
  const auto* r0 = f.RowOf(L, f.Find("R0"));
  const auto* r1 = f.RowOf(L, f.Find("R1"));
  int py = r0->Top + r0->Height - 3;
  EXPECT_EQ(f.Pixel(L.DataRight - 10, py), ColorToRGB(clTeal));
  EXPECT_EQ(f.Pixel(L.DataRight - 10, r1->Top + r1->Height - 3), ColorToRGB(clWindow));
}

// ---------------------------------------------------------------------------------------------
// Footer panel.

TEST(TreeListFooter, CellsUnderColumnsThatHaveOne) {
  TTreeListFixture f;
  f.Fill(3, 0);
  TvmTreeListLayout before = f.Layout();
  f.TL->SetShowFooterPanel(true);
  f.TL->OnHasFooterCell = [](TObject*, TvmTreeListColumn* c, bool& exists) { exists = c->Index() == 1; };
  int drawn = 0;
  f.TL->OnDrawFooterCell = [&](TObject*, TCanvas*, const TRect&, TvmTreeListNode* n, TvmTreeListColumn* c, int index,
                               std::string& text, TColor& color, TFont*, TAlignment&, bool&) {
    ++drawn;
    EXPECT_EQ(n, nullptr);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(c->Index(), 1);
    text = "3";
    color = clYellow;
  };
  TvmTreeListLayout L = f.Layout();
  f.TL->Canvas()->Font()->Assign(f.TL->Font());
  int th = f.TL->Canvas()->TextHeight("Wg");
  EXPECT_EQ(L.FooterPanelRect.Height(), th + 7 + 1 + 3);
  EXPECT_EQ(L.FooterPanelRect.Bottom, L.ClientRect.Bottom);
  EXPECT_EQ(L.RowsRect.Bottom, before.RowsRect.Bottom - L.FooterPanelRect.Height());
  f.Paint();
  EXPECT_EQ(drawn, 1);
  const auto* h0 = HeaderOf(L, 0);
  const auto* h1 = HeaderOf(L, 1);
  int y = Centre(L.FooterPanelRect).Y;
  EXPECT_EQ(f.Pixel(h1->Rect.Right - 6, y), ColorToRGB(clYellow));   // the cell's face
  EXPECT_EQ(f.Pixel(Centre(h0->Rect).X, y), ColorToRGB(clBtnFace));  // no cell under column 0
  // The cell sits in a sunken frame: dark on its top edge.
  EXPECT_EQ(f.Pixel(h1->Rect.Left + 8, L.FooterPanelRect.Top + 2), ColorToRGB(clBtnShadow));
  TvmTreeListHitTestInfo hit;
  f.TL->GetHitInfo(TPoint(h1->Rect.Left + 10, y), hit);
  EXPECT_EQ(hit.HitType, tlhFooter);
  EXPECT_EQ(hit.Column, 1);
  // Rows never paint over the panel: a full page of rows ends above it.
  f.Fill(30, 0);
  f.Paint();
  EXPECT_EQ(f.Pixel(Centre(h0->Rect).X, y), ColorToRGB(clBtnFace));
}

// ---------------------------------------------------------------------------------------------
// Status panel and its close button's hint.

class TStatusTreeList : public TvmTreeList {
public:
  using TvmTreeList::TvmTreeList;
  int Closed = 0;
  bool IsStatusShown() override { return true; }
  bool HasStatusCloseButton() override { return true; }
  void GetStatusText(std::string& Text) override { Text = "Filter: R1"; }
  void GetStatusHint(std::string& Text) override { Text = "Close the filter"; }
  void DoStatusCloseClick() override { ++Closed; }
};

TEST(TreeListStatus, CloseButtonHintTimersAndClick) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 440, 340);
  auto* tl = new TStatusTreeList(&form);
  tl->SetParent(&form);
  tl->SetBounds(0, 0, 400, 300);
  tl->CreateColumn()->SetCaption("A");
  tl->LayoutChanged();
  form.Show();
  TvmTreeListLayout L;
  tl->CalcLayout(L);
  tl->Canvas()->Font()->Assign(tl->Font());
  int th = tl->Canvas()->TextHeight("Wg");
  EXPECT_EQ(L.StatusPanelRect.Height(), std::max(th + 5, 17));
  EXPECT_EQ(L.StatusPanelRect.Bottom, L.ClientRect.Bottom);
  TRect b = tl->GetStatusCloseButtonRect();
  EXPECT_EQ(b.Left, 3);
  EXPECT_EQ(b.Width(), 12);
  TvmTreeListHitTestInfo hit;
  tl->GetHitInfo(TPoint(200, Centre(L.StatusPanelRect).Y), hit);
  EXPECT_EQ(hit.HitType, tlhStatusPanel);
  tl->Repaint();
  EXPECT_EQ(ColorToRGB(ControlSurfacePixel(tl, 300, Centre(L.StatusPanelRect).Y)), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ColorToRGB(ControlSurfacePixel(tl, b.Left, b.Top)), ColorToRGB(clBtnFace));

  // Resting on the button: the hint waits a second, shows, and goes after five.
  tl->DispatchMouseMove({}, b.Left + 3, b.Top + 3);
  EXPECT_TRUE(tl->StatusCloseButtonHot());
  ASSERT_TRUE(tl->StatusHintShowTimer());
  EXPECT_TRUE(tl->StatusHintShowTimer()->Enabled());
  EXPECT_EQ(tl->StatusHintShowTimer()->Interval(), 1000u);
  EXPECT_EQ(tl->StatusHintWindow(), nullptr);
  tl->StatusHintShowTimer()->Fire();
  ASSERT_NE(tl->StatusHintWindow(), nullptr);
  EXPECT_EQ(tl->StatusHintWindow()->Caption(), "Close the filter");
  EXPECT_FALSE(tl->StatusHintShowTimer()->Enabled());
  EXPECT_TRUE(tl->StatusHintHideTimer()->Enabled());
  EXPECT_EQ(tl->StatusHintHideTimer()->Interval(), 5000u);
  tl->StatusHintHideTimer()->Fire();
  EXPECT_EQ(tl->StatusHintWindow(), nullptr);
  // The hot face is the window colour.
  tl->Repaint();
  EXPECT_EQ(ColorToRGB(ControlSurfacePixel(tl, b.Left, b.Top)), ColorToRGB(clWindow));
  // Leaving the button stops a pending hint.
  tl->DispatchMouseMove({}, 300, b.Top + 3);
  tl->DispatchMouseMove({}, b.Left + 3, b.Top + 3);
  EXPECT_TRUE(tl->StatusHintShowTimer()->Enabled());
  tl->DispatchMouseMove({}, 300, b.Top + 3);
  EXPECT_FALSE(tl->StatusCloseButtonHot());
  EXPECT_FALSE(tl->StatusHintShowTimer()->Enabled());

  // A press and a release on the button closes; a release elsewhere does not.
  tl->DispatchMouseDown(mbLeft, {}, b.Left + 3, b.Top + 3);
  EXPECT_EQ(tl->State(), tlsStatusCloseButtonPressed);
  tl->DispatchMouseUp(mbLeft, {}, b.Left + 3, b.Top + 3);
  EXPECT_EQ(tl->Closed, 1);
  EXPECT_EQ(tl->State(), tlsIdle);
  tl->DispatchMouseDown(mbLeft, {}, b.Left + 3, b.Top + 3);
  tl->DispatchMouseMove({ssLeft}, 300, b.Top + 3);
  tl->DispatchMouseUp(mbLeft, {}, 300, b.Top + 3);
  EXPECT_EQ(tl->Closed, 1);
}

// ---------------------------------------------------------------------------------------------
// Automatic row heights and preview lines.

TEST(TreeListRowHeights, RowsGrowToTheirTallestCell) {
  TTreeListFixture f;
  f.Fill(40, 0);
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxRowAutoHeight);
  f.TL->Canvas()->Font()->Assign(f.TL->Font());
  int th = f.TL->Canvas()->TextHeight("Wg");
  // Line breaks make the line count independent of the widths.
  f.Find("R1")->SetStrings(1, "one\ntwo\nthree");
  f.Find("R2")->SetStrings(2, "a\nb");
  f.TL->LayoutChanged();
  TvmTreeListLayout L = f.Layout();
  int base = f.TL->DefaultRowHeight();
  const auto* r0 = f.RowOf(L, f.Find("R0"));
  const auto* r1 = f.RowOf(L, f.Find("R1"));
  const auto* r2 = f.RowOf(L, f.Find("R2"));
  EXPECT_EQ(r0->Height, base);
  EXPECT_EQ(r1->Height, 3 * th + 3);
  EXPECT_EQ(r2->Height, std::max(base, 2 * th + 3));
  EXPECT_EQ(r1->LineCount, 3);
  EXPECT_EQ(r2->Top, r1->Top + r1->Height);
  // The tall row's lower part still hits its node, and its cell is as tall as the row.
  EXPECT_EQ(f.TL->GetNodeAt(Centre(HeaderOf(L, 1)->Rect).X, r1->Top + r1->Height - 2), f.Find("R1"));
  EXPECT_EQ(f.TL->GetCellRect(f.Find("R1"), 1).Bottom, r1->Top + r1->Height);
  // At most MaxRowTextLineCount lines.
  f.TL->SetMaxRowTextLineCount(2);
  L = f.Layout();
  EXPECT_EQ(f.RowOf(L, f.Find("R1"))->Height, 2 * th + 3);
  // A changed text is measured again; scrolling to the end shows the last row whole.
  f.Find("R1")->SetStrings(1, "x");
  f.TL->Invalidate();
  L = f.Layout();
  EXPECT_EQ(f.RowOf(L, f.Find("R1"))->Height, base);
  TvmTreeListNode* r39 = f.Find("R39");
  r39->SetStrings(0, "R39\nsecond");
  f.TL->LayoutChanged();
  f.TL->SetTopRowIndex(1000);
  L = f.Layout();
  const auto* last = f.RowOf(L, r39);
  ASSERT_TRUE(last);
  EXPECT_LE(last->Top + last->Height, L.RowsRect.Bottom);
  EXPECT_EQ(last->Height, 2 * th + 3);
  // The row-sizing drag gives the base height for the dragged row's total.
  EXPECT_EQ(f.TL->RowHeightFromDrag(f.Find("R0"), base + 10), base + 10);
  EXPECT_EQ(f.TL->RowHeightFromDrag(f.Find("R0"), 3), base);
}

// Random adds, deletes, expansions, text changes and scrolls with automatic row heights: every
// laid-out row has the height its line count asks for, the rows touch, and the cached heights
// never go stale.
TEST(TreeListRowHeights, RandomChangesKeepEveryRowItsHeight) {
  TTreeListFixture f;
  TvmTreeList* tl = f.TL;
  tl->SetExtendedOptions(tl->ExtendedOptions() + tlxRowAutoHeight);
  tl->SetMaxRowTextLineCount(3);
  tl->Canvas()->Font()->Assign(tl->Font());
  int th = tl->Canvas()->TextHeight("Wg");
  int base = tl->DefaultRowHeight();
  std::mt19937 rng(777);
  auto rnd = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  auto text = [&](int lines) {
    std::string t = "x";
    for (int i = 1; i < lines; ++i) t += "\ny";
    return t;
  };
  auto expected = [&](TvmTreeListNode* n) {
    int lines = 1;
    for (int c = 0; c < 3; ++c) {
      std::string s = n->Strings(c);
      lines = std::max(lines, 1 + static_cast<int>(std::count(s.begin(), s.end(), '\n')));
    }
    lines = std::min(lines, 3);
    return lines > 1 ? std::max(base, lines * th + 3) : base;
  };
  std::vector<TvmTreeListNode*> nodes;
  for (int step = 0; step < 800; ++step) {
    int op = rnd(100);
    if (nodes.empty() || op < 30) {
      TvmTreeListNode* parent = nodes.empty() || op % 3 == 0 ? nullptr : nodes[rnd(static_cast<int>(nodes.size()))];
      TvmTreeListNode* n = tl->AddNode(parent, {text(1 + rnd(3))});
      nodes.push_back(n);
    } else if (op < 40) {
      TvmTreeListNode* n = nodes[rnd(static_cast<int>(nodes.size()))];
      // The node and its subtree leave the list.
      nodes.erase(
          std::remove_if(nodes.begin(), nodes.end(), [&](TvmTreeListNode* x) { return x == n || x->HasAsParent(n); }),
          nodes.end());
      n->Delete();
    } else if (op < 60) {
      TvmTreeListNode* n = nodes[rnd(static_cast<int>(nodes.size()))];
      n->SetExpanded(!n->Expanded());
    } else if (op < 85) {
      nodes[rnd(static_cast<int>(nodes.size()))]->SetStrings(rnd(3), text(1 + rnd(4)));
      tl->Invalidate();
    } else {
      tl->SetTopRowIndex(rnd(std::max(1, tl->GetVisibleNodeCount())));
    }
    TvmTreeListLayout L = f.Layout();
    SCOPED_TRACE("step " + std::to_string(step));
    int top = L.RowsRect.Top;
    for (const auto& r : L.VisibleRows) {
      ASSERT_EQ(r.Top, top);
      ASSERT_EQ(r.Height, expected(r.Node)) << "[" << r.Node->Strings(0) << "|" << r.Node->Strings(1) << "|"
                                            << r.Node->Strings(2) << "] lines " << r.Node->CachedLineCount;
      top += r.Height;
    }
    // Scrolled to the end, the last row is whole.
    if (tl->GetVisibleNodeCount() > 0 && tl->GetTopRowIndex() == tl->GetLastTopRowIndex() && !L.VisibleRows.empty() &&
        L.VisibleRows.back().Node == tl->GetLastNode() && L.VisibleRows.size() > 1) {
      ASSERT_LE(top, L.RowsRect.Bottom);
    }
  }
}

TEST(TreeListRowHeights, AutomaticPreviewLines) {
  TTreeListFixture f;
  f.Fill(3, 0);
  f.TL->SetOptions(f.TL->Options() + tloPreview);
  f.TL->SetPreviewLineCount(3);
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxAutoPreviewLines);
  f.TL->OnGetPreviewText = [](TObject*, TvmTreeListNode* n, std::string& t) {
    std::string s = n->Strings(0);
    t = s == "R0" ? "" : s == "R1" ? "one\ntwo" : "1\n2\n3\n4\n5";
  };
  f.TL->LayoutChanged();
  TvmTreeListLayout L = f.Layout();
  f.TL->Canvas()->Font()->Assign(f.TL->PreviewTextFont());
  int ph = f.TL->Canvas()->TextHeight("Wg");
  int base = f.TL->DefaultRowHeight();
  EXPECT_EQ(f.RowOf(L, f.Find("R0"))->PreviewLines, 0);
  EXPECT_EQ(f.RowOf(L, f.Find("R1"))->PreviewLines, 2);
  EXPECT_EQ(f.RowOf(L, f.Find("R2"))->PreviewLines, 3);
  EXPECT_EQ(f.RowOf(L, f.Find("R0"))->Height, base);
  EXPECT_EQ(f.RowOf(L, f.Find("R1"))->Height, base + 2 * ph + 2);
  EXPECT_EQ(f.RowOf(L, f.Find("R2"))->Height, base + 3 * ph + 2);
  // A point in the preview band is a preview hit.
  const auto* r2 = f.RowOf(L, f.Find("R2"));
  TvmTreeListHitTestInfo hit;
  f.TL->GetHitInfo(TPoint(L.DataRight - 20, r2->Top + r2->Height - 3), hit);
  EXPECT_EQ(hit.HitType, tlhPreview);
  EXPECT_EQ(hit.Node, f.Find("R2"));
}

// ---------------------------------------------------------------------------------------------
// Auto width and its neighbours.

struct TBandsFixture : TTreeListFixture {
  explicit TBandsFixture(int Width) : TTreeListFixture(0, Width, 200) {
    TL->SetBorderStyle(bsNone);  // the bands share the whole Width
    TL->SetShowBandPanel(true);
    TL->BeginUpdate();
    while (TL->Bands()->Count() < 3) TL->Bands()->Add();
    int widths[3] = {100, 200, 100};
    for (int b = 0; b < 3; ++b) {
      TL->Bands()->Items(b)->SetWidth(widths[b]);
      TvmTreeListColumn* c = TL->CreateColumn();
      c->SetBandIndex(b);
      c->SetCaption("B" + std::to_string(b));
      c->SetWidth(widths[b]);  // in a band layout the columns give their band its width
    }
    TL->EndUpdate();
  }
  std::vector<int> BandWidths() {
    std::vector<int> w;
    for (int b = 0; b < TL->GetVisibleBandCount(); ++b) w.push_back(TL->GetBandWidth(b));
    return w;
  }
};

TEST(TreeListAutoWidth, BandsShareTheAreaAndNeighboursAbsorbAResize) {
  TBandsFixture f(800);
  EXPECT_EQ(f.BandWidths(), (std::vector<int>{100, 200, 100}));
  f.TL->SetOptions(f.TL->Options() + tloAutoWidth);
  EXPECT_EQ(f.BandWidths(), (std::vector<int>{200, 400, 200}));
  // A band that cannot be sized keeps its own width; the others share the rest.
  f.TL->Bands()->Items(0)->SetSizing(false);
  EXPECT_EQ(f.BandWidths(), (std::vector<int>{100, 457, 243}));
  f.TL->Bands()->Items(0)->SetSizing(true);
  // Minimums above the area: their sum, and a horizontal scroll range.
  for (int b = 0; b < 3; ++b) f.TL->Bands()->Items(b)->SetMinWidth(300);
  EXPECT_EQ(f.BandWidths(), (std::vector<int>{300, 300, 300}));
  int total, view;
  f.TL->GetScrollWidths(total, view);
  EXPECT_EQ(total, 900);
  EXPECT_EQ(view, 800);
  for (int b = 0; b < 3; ++b) f.TL->Bands()->Items(b)->SetMinWidth(30);
  // Dragging band 0's edge 100 pixels right: bands 1 and 2 give up 100 in proportion.
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxBandSizing);
  TvmTreeListLayout L = f.Layout();
  const auto& b0 = L.BandCells[0];
  int y = Centre(b0.Rect).Y;
  f.TL->DispatchMouseDown(mbLeft, {}, b0.Rect.Right - 2, y);
  ASSERT_EQ(f.TL->State(), tlsBandSizing);
  f.TL->DispatchMouseMove({ssLeft}, b0.Rect.Right + 98, y);
  f.TL->DispatchMouseUp(mbLeft, {}, b0.Rect.Right + 98, y);
  std::vector<int> w = f.BandWidths();
  EXPECT_EQ(w[0], 300);
  EXPECT_EQ(w[1], 333);
  EXPECT_EQ(w[0] + w[1] + w[2], 800);
}

TEST(TreeListAutoWidth, ColumnResizeKeepsTheBandWidthOrWidensABandLayout) {
  for (bool bands : {false, true}) {
    SCOPED_TRACE(bands ? "band layout" : "plain band");
    TTreeListFixture f(3, 400, 200);  // one band shared by three columns
    auto x = f.TL->ExtendedOptions();
    f.TL->SetExtendedOptions(bands ? x + tlxBands : x - tlxBands);
    TvmTreeListLayout L = f.Layout();
    const TRect h1 = HeaderOf(L, 1)->Rect;
    const TRect h2 = HeaderOf(L, 2)->Rect;
    int y = Centre(h1).Y;
    int before = f.TL->GetBandWidth(0);
    f.TL->DispatchMouseDown(mbLeft, {}, h1.Right - 1, y);
    ASSERT_EQ(f.TL->State(), tlsColumnSizing);
    f.TL->DispatchMouseMove({ssLeft}, h1.Left + 119, y);
    f.TL->DispatchMouseUp(mbLeft, {}, h1.Left + 119, y);
    L = f.Layout();
    EXPECT_EQ(HeaderOf(L, 1)->Rect.Width(), 120);
    EXPECT_EQ(HeaderOf(L, 0)->Rect.Width(), h1.Left - L.RowsRect.Left);  // the one before stays
    if (bands) {
      // The band grows by the difference; the last column keeps its width.
      EXPECT_EQ(f.TL->GetBandWidth(0), before + 120 - h1.Width());
      EXPECT_EQ(HeaderOf(L, 2)->Rect.Width(), h2.Width());
    } else {
      // The last column absorbs the change; the band keeps its width.
      EXPECT_EQ(f.TL->GetBandWidth(0), before);
      EXPECT_EQ(HeaderOf(L, 2)->Rect.Right, L.RowsRect.Left + before);
      EXPECT_EQ(HeaderOf(L, 2)->Rect.Width(), h2.Width() + h1.Width() - 120);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Fixed bands and header row spans.

TEST(TreeListFixedBands, LeftAndRightBandsStayWhileTheMiddleScrolls) {
  TBandsFixture f(300);
  f.Fill(3, 0);
  f.TL->Columns(1)->SetWidth(400);
  f.TL->Bands()->Items(0)->SetFixed(bfLeft);
  f.TL->Bands()->Items(2)->SetFixed(bfRight);
  TvmTreeListLayout L = f.Layout();
  EXPECT_EQ(L.LeftFixedBand, 0);
  EXPECT_EQ(L.RightFixedBand, 2);
  int total, view;
  f.TL->GetScrollWidths(total, view);
  EXPECT_EQ(total, 400);
  EXPECT_EQ(view, L.RowsRect.Width() - 200);
  f.TL->SetLeftPos(1000);
  EXPECT_EQ(f.TL->LeftPos(), 400 - view);
  L = f.Layout();
  const TvmTreeListBandCell* cells[3] = {};
  for (const auto& b : L.BandCells) cells[b.Band] = &b;
  ASSERT_TRUE(cells[0] && cells[1] && cells[2]);
  EXPECT_EQ(cells[0]->Rect.Left, L.RowsRect.Left);
  EXPECT_EQ(cells[0]->Rect.Right, L.RowsRect.Left + 100 - f.TL->FixedBandSeparatorWidth());
  EXPECT_EQ(cells[2]->Rect.Right, L.RowsRect.Right);
  EXPECT_EQ(cells[1]->Clip.Left, L.RowsRect.Left + 100);
  EXPECT_EQ(cells[1]->Clip.Right, L.RowsRect.Right - 100);
  EXPECT_EQ(cells[1]->Rect.Right, L.RowsRect.Right - 100);  // scrolled to its end
  // The separators are drawn down through the rows; the middle band's cells stay between them.
  f.TL->SetFocusedNode(f.Find("R0"));
  f.TL->SetOptions(f.TL->Options() + tloRowSelect);
  f.TL->SetHideSelection(false);
  f.Paint();
  const auto* r0 = f.RowOf(L, f.Find("R0"));
  int y = r0->Top + r0->Height / 2;
  EXPECT_EQ(f.Pixel(L.RowsRect.Left + 99, y), ColorToRGB(clWindowFrame));
  EXPECT_EQ(f.Pixel(L.RowsRect.Right - 100, y), ColorToRGB(clWindowFrame));
  EXPECT_EQ(f.Pixel(L.RowsRect.Left + 101, y), ColorToRGB(f.TL->InactiveSelectionColor()));  // not focused
  // Making a fixed band's column visible does not scroll.
  f.TL->SetLeftPos(0);
  f.TL->MakeColumnVisible(2);
  EXPECT_EQ(f.TL->LeftPos(), 0);
}

TEST(TreeListHeaderRows, ACellOfTheLastUsedRowSpansDown) {
  TTreeListFixture f(4, 500, 200);
  f.TL->BeginUpdate();
  f.TL->SetHeaderPanelRowCount(2);
  f.TL->Bands()->Add()->SetWidth(150);
  f.TL->Columns(2)->SetBandIndex(1);
  f.TL->Columns(3)->SetBandIndex(1);
  f.TL->Columns(3)->SetRowIndex(1);
  // Band 0 uses only row 0: a column allowed all rows spans both; one line keeps one row.
  f.TL->Columns(0)->SetHeaderMaxLineCount(0);
  f.TL->EndUpdate();
  TvmTreeListLayout L = f.Layout();
  int rh = f.TL->HeaderRowHeight();
  ASSERT_TRUE(HeaderOf(L, 0) && HeaderOf(L, 1) && HeaderOf(L, 2) && HeaderOf(L, 3));
  EXPECT_EQ(HeaderOf(L, 0)->RowSpan, 2);
  EXPECT_EQ(HeaderOf(L, 0)->Rect.Height(), 2 * rh);
  EXPECT_EQ(HeaderOf(L, 1)->RowSpan, 1);
  EXPECT_EQ(HeaderOf(L, 2)->RowSpan, 1);
  EXPECT_EQ(HeaderOf(L, 3)->Rect.Top, L.HeaderPanelRect.Top + rh);
  // A click on the spanning cell's lower half is still its header.
  TvmTreeListHitTestInfo hit;
  f.TL->GetHitInfo(TPoint(Centre(HeaderOf(L, 0)->Rect).X, L.HeaderPanelRect.Top + rh + 3), hit);
  EXPECT_EQ(hit.HitType, tlhColumnHeader);
  EXPECT_EQ(hit.Column, 0);
}

}  // namespace
