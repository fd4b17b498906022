// Node footers: the bands under the last shown row of a group, one for each enclosing parent
// whose level shows footers, with their cells, drawing event and hit codes.
#include <set>

#include "platform/forms.h"
#include "tl_fixture.h"

namespace {

// Levels in Levels show footers; column 1 has a footer cell in every band, reading "sum j".
class TFooterTreeList : public TvmTreeList {
public:
  using TvmTreeList::TvmTreeList;
  std::set<int> Levels{0, 1};
  bool IsLevelFooterShown(int Level) override { return Levels.count(Level) > 0; }
  bool HasNodeFooterCell(TvmTreeListNode*, int Column, int) override { return Column == 1; }
  void GetFooterCellText(TvmTreeListNode* Node, int Column, std::string& Text, int FooterIndex) override {
    if (Node) Text = "sum " + std::to_string(FooterIndex);
  }
};

struct TFooterFixture {
  TForm Form{nullptr};
  TFooterTreeList* TL;
  TvmTreeListNode *R0, *A, *A1, *A2, *B, *B1, *R1;
  TFooterFixture() {
    Form.SetBounds(0, 0, 440, 440);
    TL = new TFooterTreeList(&Form);
    TL->SetParent(&Form);
    TL->SetBounds(0, 0, 400, 400);
    TL->Font()->SetName("DejaVu Sans");
    TL->Font()->SetSize(9);
    for (int i = 0; i < 3; ++i) TL->CreateColumn()->SetCaption("C" + std::to_string(i));
    // R0 { A { a1, a2 }, B { b1 } }, R1
    R0 = TL->AddNode(nullptr, {"R0"});
    A = TL->AddNode(R0, {"A"});
    A1 = TL->AddNode(A, {"a1"});
    A2 = TL->AddNode(A, {"a2"});
    B = TL->AddNode(R0, {"B"});
    B1 = TL->AddNode(B, {"b1"});
    R1 = TL->AddNode(nullptr, {"R1"});
    TL->FullExpand();
    TL->SetShowNodeFooters(true);
    Form.Show();
  }
  const TvmTreeListRowInfo* Row(const TvmTreeListLayout& L, TvmTreeListNode* N) {
    for (const auto& r : L.VisibleRows)
      if (r.Node == N) return &r;
    return nullptr;
  }
  const TvmTreeListHeaderCell* Header(const TvmTreeListLayout& L, int Column) {
    for (const auto& h : L.HeaderCells)
      if (h.Column == Column) return &h;
    return nullptr;
  }
  TColor Pixel(int X, int Y) { return ColorToRGB(ControlSurfacePixel(TL, X, Y)); }
};

}  // namespace

TEST(TreeListNodeFooters, EveryClosingParentWhoseLevelShowsFootersCounts) {
  TFooterFixture f;
  struct Case {
    std::set<int> Levels;
    TvmTreeListNode* Node;
    int Count, Level0, Level1, BelowLevel1;
  };
  const Case cases[] = {
      {{0, 1}, f.B1, 2, 1, 0, 1},    // b1 closes B (level 1), then R0 (level 0), innermost first
      {{0, 1}, f.A2, 1, 1, -1, 0},   // a2 closes A only: A has a later sibling
      {{0, 1}, f.A1, 0, -1, -1, 0},  // not the last child
      {{0, 1}, f.R1, 0, -1, -1, 0},  // a root closes nothing
      {{0, 1}, f.B, 0, -1, -1, 0},   // its children are shown: b1 closes the groups
      {{0}, f.B1, 1, 0, -1, 1},     {{1}, f.B1, 1, 1, -1, 0}, {{}, f.B1, 0, -1, -1, 0},
  };
  for (const auto& c : cases) {
    f.TL->Levels = c.Levels;
    SCOPED_TRACE(c.Node->Strings(0) + " levels " + std::to_string(c.Levels.size()));
    EXPECT_EQ(f.TL->GetNodeFooterCount(c.Node), c.Count);
    EXPECT_EQ(f.TL->GetNodeFooterLevel(c.Node, 0), c.Level0);
    EXPECT_EQ(f.TL->GetNodeFooterLevel(c.Node, 1), c.Level1);
    EXPECT_EQ(f.TL->CountNodeFootersBelow(c.Node, 1), c.BelowLevel1);
  }
  f.TL->Levels = {0, 1};
  // Switched off, nobody has footers and the rows are plain again.
  f.TL->SetShowNodeFooters(false);
  EXPECT_EQ(f.TL->GetNodeFooterCount(f.B1), 0);
  EXPECT_EQ(f.TL->GetNodeRowHeight(f.B1), f.TL->GetNodeRowHeight(f.A1));
}

TEST(TreeListNodeFooters, RowHeightsFollowTheTreeAsItChanges) {
  TFooterFixture f;
  f.TL->Canvas()->Font()->Assign(f.TL->Font());
  int th = f.TL->Canvas()->TextHeight("Wg");
  EXPECT_EQ(f.TL->NodeFooterHeight(), th + 7 + 2);  // one header row, no grid
  int plain = f.TL->GetNodeRowHeight(f.A1);
  int fh = f.TL->NodeFooterHeight();
  EXPECT_EQ(f.TL->GetNodeRowHeight(f.B1), plain + 2 * fh);
  EXPECT_EQ(f.TL->GetNodeRowHeight(f.A2), plain + fh);
  // A new last child takes the footers over; deleting it gives them back.
  TvmTreeListNode* b2 = f.TL->AddNode(f.B, {"b2"});
  EXPECT_EQ(f.TL->GetNodeRowHeight(f.B1), plain);
  EXPECT_EQ(f.TL->GetNodeRowHeight(b2), plain + 2 * fh);
  b2->Delete();
  EXPECT_EQ(f.TL->GetNodeRowHeight(f.B1), plain + 2 * fh);
  // A collapsed group closes the groups around it under its own row: B carries R0's footer.
  f.B->Collapse();
  EXPECT_EQ(f.TL->GetNodeRowHeight(f.B), plain + fh);
  EXPECT_EQ(f.TL->GetNodeFooterLevel(f.B, 0), 0);
  f.B->Expand(false);
  EXPECT_EQ(f.TL->GetNodeRowHeight(f.B), plain);
  // Moving A after B makes a2 close R0 as well.
  f.A->MoveTo(f.R0, -1);
  EXPECT_EQ(f.TL->GetNodeRowHeight(f.A2), plain + 2 * fh);
  EXPECT_EQ(f.TL->GetNodeRowHeight(f.B1), plain + fh);
  // The layout's rows carry the bands and stack by their full heights.
  TvmTreeListLayout L;
  f.TL->CalcLayout(L);
  const auto* ra2 = f.Row(L, f.A2);
  ASSERT_TRUE(ra2);
  EXPECT_EQ(ra2->FooterCount, 2);
  EXPECT_EQ(ra2->FooterHeight, 2 * fh);
  EXPECT_EQ(f.Row(L, f.R1)->Top, ra2->Top + ra2->Height);
}

TEST(TreeListNodeFooters, BandsPaintIndentedByLevelWithCellsAndHitCodes) {
  TFooterFixture f;
  f.TL->SetFooterPanelColor(clYellow);
  f.TL->SetTreeConnectorStyle(tlnSolid);
  f.TL->SetTreeConnectorColor(clBlack);
  std::vector<int> indexes;
  f.TL->OnCustomDrawRowFooter = [&](TObject*, TCanvas* C, const TRect& R, TvmTreeListNode* n, TvmTreeListColumn* c,
                                    int index, std::string&, TColor&, TFont*, TAlignment&, bool& done) {
    EXPECT_EQ(c->Index(), 1);
    if (n != f.B1) return;  // a2's band closing A
    indexes.push_back(index);
    if (index == 1) {
      C->Brush()->SetColor(clRed);
      C->FillRect(R);
      done = true;
    }
  };
  f.TL->Repaint();
  TvmTreeListLayout L;
  f.TL->CalcLayout(L);
  const auto* r = f.Row(L, f.B1);
  const auto* h1 = f.Header(L, 1);
  const auto* h2 = f.Header(L, 2);
  ASSERT_TRUE(r && h1 && h2);
  EXPECT_EQ(indexes, (std::vector<int>{0, 1}));
  int fh = f.TL->NodeFooterHeight(), left = L.RowsRect.Left;
  int band0 = r->Top + r->Height - r->FooterHeight, band1 = band0 + fh;
  int y0 = band0 + fh / 2, y1 = band1 + fh / 2;
  const TColor yellow = ColorToRGB(clYellow);
  // B's band starts two indents in (B is at level 1), R0's one indent in.
  EXPECT_NE(f.Pixel(left + 2 * 16 - 2, y0), yellow);
  EXPECT_EQ(f.Pixel(left + 2 * 16 + 2, y0), yellow);
  EXPECT_NE(f.Pixel(left + 16 - 2, y1), yellow);
  EXPECT_EQ(f.Pixel(left + 16 + 2, y1), yellow);
  // Both reach the data's right edge; column 2 has no cell, column 1 a sunken one.
  EXPECT_EQ(f.Pixel(L.DataRight - 3, y0), yellow);
  EXPECT_EQ(f.Pixel((h2->Rect.Left + h2->Rect.Right) / 2, y1), yellow);
  EXPECT_EQ(f.Pixel(h1->Rect.Left + 8, band0 + 2), ColorToRGB(clBtnShadow));
  EXPECT_EQ(f.Pixel((h1->Rect.Left + h1->Rect.Right) / 2, y1), ColorToRGB(clRed));
  // b1's own cells stay above the bands: its row is plain above band0.
  EXPECT_NE(f.Pixel((h2->Rect.Left + h2->Rect.Right) / 2, band0 - 2), yellow);
  // R1 follows R0, so R0's tree line runs on beside both bands.
  EXPECT_EQ(f.Pixel(left + 8, y1), ColorToRGB(clBlack));

  struct Hit {
    TPoint P;
    TvmTreeListHitType Type;
    int FooterRow, Column;
  };
  const Hit hits[] = {
      {{(h1->Rect.Left + h1->Rect.Right) / 2, y0}, tlhRowFooter, 0, 1},
      {{(h2->Rect.Left + h2->Rect.Right) / 2, y1}, tlhRowFooter, 1, 2},
      {{(h1->Rect.Left + h1->Rect.Right) / 2, r->Top + 3}, tlhCell, -1, 1},
  };
  for (const auto& h : hits) {
    TvmTreeListHitTestInfo info;
    f.TL->GetHitInfo(h.P, info);
    SCOPED_TRACE(h.P.Y);
    EXPECT_EQ(info.HitType, h.Type);
    EXPECT_EQ(info.Node, f.B1);
    EXPECT_EQ(info.FooterRow, h.FooterRow);
    EXPECT_EQ(info.Column, h.Column);
  }
}
