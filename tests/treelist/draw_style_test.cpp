// The compact draw style with its level colours, the group colours, the frame, the scroll bars,
// the editors' style and the customizing form's list rows.
#include <algorithm>

#include "platform/bitmap.h"
#include "platform/comctrls.h"
#include "platform/imglist.h"
#include "platform/stdctrls.h"
#include "platform/streaming.h"
#include "tl_fixture.h"
#include "treelist/tl_customize.h"

namespace {

// R0 (expanded) with R0.0 (holding R0.0.0, expanded) and R0.1, then the leaf root L, which holds
// the focus (and so the selection colours).
struct TCompactFixture : TTreeListFixture {
  TCompactFixture() {
    TL->SetColor(clWhite);
    TL->SetGroupPanelColor(clYellow);
    TL->BeginUpdate();
    TvmTreeListNode* r0 = TL->AddNode(nullptr, {"R0", "0"});
    TvmTreeListNode* c0 = TL->AddNode(r0, {"R0.0", "1"});
    TL->AddNode(c0, {"R0.0.0", "2"});
    TL->AddNode(r0, {"R0.1", "3"});
    TL->AddNode(nullptr, {"L", "4"});
    TL->EndUpdate();
    TL->FullExpand();
    TL->SetFocusedNode(Find("L"));
    TL->SetDrawStyle(tlpCompact);
    Paint();
  }
  int RowsLeft() { return Layout().RowsRect.Left; }
  // Top, middle and bottom of a node's row.
  int Top(const std::string& N) { return RowOf(Layout(), Find(N))->Top; }
  int Mid(const std::string& N) {
    const TvmTreeListLayout L = Layout();
    const auto* r = RowOf(L, Find(N));
    return r->Top + r->Height / 2;
  }
  int Bottom(const std::string& N) {
    const TvmTreeListLayout L = Layout();
    const auto* r = RowOf(L, Find(N));
    return r->Top + r->Height - 1;
  }
  // A point in column 1 of the node's row, clear of its text.
  int Column1X() { return CellPoint(Find("R0"), 1).X + 30; }
};

}  // namespace

TEST(TreeListDrawStyle, DefaultsOfTheFrameAndStyleProperties) {
  TTreeListFixture f;
  EXPECT_EQ(f.TL->DrawStyle(), tlpStandard);
  EXPECT_EQ(f.TL->GroupPanelColor(), clBtnFace);
  EXPECT_EQ(f.TL->GroupPanelTextColor(), clNone);
  EXPECT_EQ(f.TL->CustomizeListRowCount(), 11);
  EXPECT_EQ(f.TL->BorderStyle(), bsSingle);
  EXPECT_EQ(f.TL->ScrollBars(), ssBoth);
}

// Compact rows: a leaf draws its content one Indent further left than in the standard style,
// parents fill their cells with the group colour under a line that sets them off, each level of
// the indent is a cell in its level's colour, and a parent's button sits in its own level's cell.
TEST(TreeListDrawStyle, CompactRowsIndentLevelCellsAndGroupRows) {
  TCompactFixture f;
  const int ind = f.TL->Indent(), left = f.RowsLeft(), x1 = f.Column1X();
  const TColor white = ColorToRGB(clWhite), yellow = ColorToRGB(clYellow);
  // Where the content starts: leaves one Indent left of the standard style, parents unchanged.
  EXPECT_EQ(f.TL->NodeIndent(f.Find("R0.1")), ind);
  EXPECT_EQ(f.TL->NodeIndent(f.Find("L")), 0);
  EXPECT_EQ(f.TL->NodeIndent(f.Find("R0.0")), 2 * ind);
  // Group rows: yellow cells below a white top line; leaf rows keep the window colour.
  EXPECT_EQ(f.Pixel(x1, f.Mid("R0")), yellow);
  EXPECT_EQ(f.Pixel(x1, f.Top("R0")), white) << "the line over a parent row";
  EXPECT_EQ(f.Pixel(x1, f.Mid("R0.0")), yellow);
  EXPECT_EQ(f.Pixel(x1, f.Mid("R0.1")), white);
  // The leaf R0.1 (level 1) has one level cell in the group colour, then its content.
  EXPECT_EQ(f.Pixel(left + ind / 2, f.Mid("R0.1")), yellow);
  EXPECT_EQ(f.Pixel(left + ind + 1, f.Mid("R0.1")), white);
  // The level line between level cells stays in the window colour without grid lines.
  EXPECT_EQ(f.Pixel(left + ind - 1, f.Mid("R0.0.0")), white);
  EXPECT_EQ(f.Pixel(left + 2 * ind - 1, f.Mid("R0.0.0")), white);
  EXPECT_EQ(f.Pixel(left + ind + ind / 2, f.Mid("R0.0.0")), yellow);
  // The expanded button of R0.0: a minus bar in the button-text colour at the centre of its cell.
  const int bx = left + ind + (ind - 1) / 2;
  EXPECT_EQ(f.Pixel(bx, f.Mid("R0.0")), ColorToRGB(clBtnText));
  EXPECT_EQ(f.Pixel(bx, f.Mid("R0.0") - 2), ColorToRGB(clBtnFace)) << "no plus while expanded";
  // A click on that cell's button collapses the node (the root's too without ShowRoot).
  f.TL->SetShowRoot(false);
  f.Click(TPoint(bx, f.Mid("R0.0")));
  EXPECT_FALSE(f.Find("R0.0")->Expanded());
  f.Paint();
  EXPECT_EQ(f.Pixel(bx, f.Mid("R0.0") - 2), ColorToRGB(clBtnText)) << "the plus of a collapsed node";
  TvmTreeListHitTestInfo h;
  f.TL->GetHitInfo(TPoint(left + (ind - 1) / 2, f.Mid("R0")), h);
  EXPECT_EQ(h.HitType, tlhButton);
  EXPECT_EQ(h.Node, f.Find("R0"));
  // Back in the standard style the same leaf starts after its tree-line slot again.
  f.TL->SetDrawStyle(tlpStandard);
  EXPECT_EQ(f.TL->NodeIndent(f.Find("L")), 0) << "ShowRoot off";
  f.TL->SetShowRoot(true);
  EXPECT_EQ(f.TL->NodeIndent(f.Find("L")), ind);
}

// OnGetNodeLevelColor colours each level's cells (it starts from GroupPanelColor); the parent
// rows take their level's colour, GroupPanelTextColor writes their text, a selected row keeps
// the selection colours. With grid lines the level cells run on into the next row of the group.
TEST(TreeListDrawStyle, LevelColoursGroupTextAndSeparators) {
  TCompactFixture f;
  const int ind = f.TL->Indent(), left = f.RowsLeft(), x1 = f.Column1X();
  std::vector<TColor> starts;
  f.TL->OnGetNodeLevelColor = [&](TObject*, int Level, TColor& Color) {
    starts.push_back(Color);
    Color = Level == 0 ? clRed : clLime;
  };
  f.TL->SetGroupPanelTextColor(clBlue);
  f.Paint();
  ASSERT_FALSE(starts.empty());
  EXPECT_EQ(std::count(starts.begin(), starts.end(), clYellow), static_cast<long>(starts.size()));
  const TColor red = ColorToRGB(clRed), lime = ColorToRGB(clLime), white = ColorToRGB(clWhite);
  EXPECT_EQ(f.Pixel(x1, f.Mid("R0")), red);
  EXPECT_EQ(f.Pixel(x1, f.Mid("R0.0")), lime);
  EXPECT_EQ(f.Pixel(left + ind / 2, f.Mid("R0.0.0")), red);
  EXPECT_EQ(f.Pixel(left + ind + ind / 2, f.Mid("R0.0.0")), lime);
  EXPECT_EQ(f.Pixel(x1, f.Mid("R0.0.0")), white);
  // The parent's caption is written in the group text colour.
  auto countBlue = [&](const std::string& N) {
    int n = 0;
    const TPoint c = f.CellPoint(f.Find(N), 0);
    for (int x = f.RowsLeft(); x < c.X + 40; ++x)
      for (int y = f.Top(N); y <= f.Bottom(N); ++y) {
        const TColor p = f.Pixel(x, y);
        n += ((p >> 16) & 0xFF) > 0xC0 && (p & 0xFF) < 0x40 && ((p >> 8) & 0xFF) < 0x40;
      }
    return n;
  };
  EXPECT_GT(countBlue("R0"), 0);
  EXPECT_EQ(countBlue("R0.1"), 0) << "leaves keep the font colour";
  // A selected parent shows the selection, not its level colour.
  f.TL->SetHideSelection(false);
  f.TL->SetFocusedNode(f.Find("R0.0"));
  f.Find("R0.0")->SetSelected(true);
  f.Paint();
  EXPECT_NE(f.Pixel(x1, f.Mid("R0.0")), lime);
  f.Find("R0.0")->SetSelected(false);
  f.TL->SetFocusedNode(f.Find("L"));
  // Grid lines: no top line, separators in the grid colour under the cells, but the level cell
  // of level 0 runs on from R0.0.0 into R0.1, and the separator under R0.1 closes it.
  f.TL->SetShowGrid(true);
  f.Paint();
  const TColor grid = ColorToRGB(f.TL->GetGridLineColor());
  EXPECT_EQ(f.Pixel(x1, f.Top("R0") + 1), red);
  EXPECT_EQ(f.Pixel(x1, f.Bottom("R0.0.0")), grid);
  EXPECT_EQ(f.Pixel(left + ind / 2, f.Bottom("R0.0.0")), red);
  EXPECT_EQ(f.Pixel(left + ind - 1, f.Mid("R0.0.0")), grid) << "the level line";
  EXPECT_EQ(f.Pixel(left + ind / 2, f.Bottom("R0.1")), grid);
}

// The frame: a sunken edge in the raised look, a window-frame line in the flat looks, none for
// bsNone; the client area gives up the frame's width on each side.
TEST(TreeListDrawStyle, BorderFollowsBorderStyleAndLook) {
  struct Case {
    TFormBorderStyle Border;
    TvmTreeListLookStyle Look;
    int Width;
    TColor Outer;
  } cases[] = {
      {bsSingle, tllRaised, 2, clBtnShadow},
      {bsSingle, tllFlat, 1, clWindowFrame},
      {bsSingle, tllThinLine, 1, clWindowFrame},
      {bsNone, tllRaised, 0, clNone},
  };
  TTreeListFixture f;
  f.Fill(30, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Width);
    f.TL->SetBorderStyle(c.Border);
    f.TL->SetLookStyle(c.Look);
    f.TL->SetScrollBars(ssNone);
    Application->ProcessMessages();
    f.Paint();
    EXPECT_EQ(f.TL->ClientWidth(), f.TL->Width() - 2 * c.Width);
    EXPECT_EQ(f.TL->ClientHeight(), f.TL->Height() - 2 * c.Width);
    const int y = f.TL->Height() / 2;
    if (c.Width > 0) {
      EXPECT_EQ(ColorToRGB(ControlWindowPixel(f.TL, 0, y)), ColorToRGB(c.Outer));
      EXPECT_EQ(ColorToRGB(ControlWindowPixel(f.TL, f.TL->Width() - 1, y)),
                ColorToRGB(c.Width == 2 ? clBtnHighlight : clWindowFrame));
    }
    // Inside the frame the rows start.
    EXPECT_EQ(ColorToRGB(ControlWindowPixel(f.TL, c.Width + 1, y)), f.Pixel(1, y - c.Width));
  }
}

// ScrollBars says which bars may show; each shows only while there is something to scroll.
TEST(TreeListDrawStyle, ScrollBarsShowAsScrollBarsSays) {
  struct Case {
    TScrollStyle Style;
    bool Horz, Vert;
  } cases[] = {
      {ssBoth, true, true},
      {ssHorizontal, true, false},
      {ssVertical, false, true},
      {ssNone, false, false},
  };
  TTreeListFixture f(3, 200, 150);  // three 100-pixel columns and 40 rows overflow both ways
  f.TL->SetColor(clWhite);
  f.Fill(40, 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Style));
    f.TL->SetScrollBars(c.Style);
    Application->ProcessMessages();
    f.Paint();
    EXPECT_EQ(f.TL->ScrollBarShowing(0), c.Horz);
    EXPECT_EQ(f.TL->ScrollBarShowing(1), c.Vert);
    // Along the right and bottom edges inside the frame: the bar, or the white rows.
    const int w = f.TL->Width(), h = f.TL->Height();
    EXPECT_EQ(ColorToRGB(ControlWindowPixel(f.TL, w - 5, h / 2)) == ColorToRGB(clWhite), !c.Vert);
    EXPECT_EQ(ColorToRGB(ControlWindowPixel(f.TL, w / 3, h - 5)) == ColorToRGB(clWhite), !c.Horz);
  }
  // Nothing to scroll: no bar even where one is allowed.
  f.TL->SetScrollBars(ssBoth);
  f.TL->DeleteAllNodes();
  f.TL->SetBounds(0, 0, 400, 300);
  Application->ProcessMessages();
  EXPECT_FALSE(f.TL->ScrollBarShowing(0));
  EXPECT_FALSE(f.TL->ScrollBarShowing(1));
}

// The in-place editors follow the grid: no border of their own over grid lines, a single line
// otherwise, buttons by look; they change while open. The drop-downs' frame follows the look.
TEST(TreeListDrawStyle, EditorsTakeTheirStyleFromTheGrid) {
  TTreeListFixture f;
  f.TL->SetOptions(f.TL->Options() - tloRowSelect);
  f.Fill(3, 0);
  f.Find("R1")->SetFocused(true);
  f.TL->SetFocusedColumn(1);
  f.Focus();
  f.TL->ShowEditor();
  TvmInplaceEdit* e = f.TL->InplaceEditor();
  ASSERT_NE(e, nullptr);
  ASSERT_TRUE(e->Style()->InheritsFrom(TvmTreeListEditStyle::StaticClass()));
  struct Case {
    bool Grid;
    TvmTreeListLookStyle Look;
    TvmEditBorderStyle Border;
    TvmEditButtonViewStyle Buttons;
    TvmPopupBorder Popup;
  } cases[] = {
      {false, tllRaised, xbsSingle, bts3D, pbFrame3D},
      {true, tllRaised, xbsNone, bts3D, pbFrame3D},
      {false, tllFlat, xbsSingle, btsFlat, pbSingle},
      {true, tllThinLine, xbsNone, btsHotFlat, pbSingle},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Look) * 2 + c.Grid);
    f.TL->SetShowGrid(c.Grid);
    f.TL->SetLookStyle(c.Look);
    EXPECT_EQ(e->Style()->BorderStyle(), c.Border);
    EXPECT_EQ(e->Style()->ButtonStyle(), c.Buttons);
    EXPECT_EQ(e->Style()->BorderColor(), clWindowFrame);
    EXPECT_EQ(e->Style()->Edges(), AllEdges);
    EXPECT_FALSE(e->Style()->HotTrack());
    EXPECT_FALSE(e->Style()->Shadow());
    EXPECT_EQ(f.TL->GetPopupBorder(c.Border), c.Popup);
  }
  // The open editor draws its new style: a window-frame line round its content (one pixel in
  // from its window's edge) without grid lines only.
  f.TL->SetLookStyle(tllRaised);
  for (bool grid : {false, true}) {
    f.TL->SetShowGrid(grid);
    Application->ProcessMessages();
    ASSERT_TRUE(e->EditVisible());
    e->Repaint();
    const TColor frame = ColorToRGB(clWindowFrame);
    EXPECT_EQ(ColorToRGB(ControlWindowPixel(e, 1, e->Height() / 2)) == frame, !grid) << grid;
    EXPECT_EQ(ColorToRGB(ControlWindowPixel(e, e->Width() / 2, 1)) == frame, !grid) << grid;
  }
  // What the editor is given itself wins over the grid.
  e->Style()->SetBorderStyle(xbsThick);
  f.TL->SetShowGrid(false);
  EXPECT_EQ(e->Style()->BorderStyle(), xbsThick);
}

// The customizing form opens with lists of CustomizeListRowCount rows; a change resizes the
// open form.
TEST(TreeListDrawStyle, CustomizeListsShowTheirRowCount) {
  TTreeListFixture f;
  f.TL->ShowCustomizeForm();
  Application->ProcessMessages();
  TListBox* list = f.TL->CustomizeForm()->HeaderList();
  EXPECT_EQ(list->ClientHeight(), 11 * list->ItemHeight());
  f.TL->SetCustomizeListRowCount(4);
  Application->ProcessMessages();
  EXPECT_EQ(list->ClientHeight(), 4 * list->ItemHeight());
  f.TL->SetCustomizeListRowCount(0);
  EXPECT_EQ(f.TL->CustomizeListRowCount(), 1);
}

// The style, frame and scroll-bar properties are written when they differ from their defaults
// and read back.
TEST(TreeListDrawStyle, PropertiesStreamAndReadBack) {
  RegisterTreeListClasses();
  TTreeListFixture f(1);
  const std::string plain = ComponentToText(f.TL);
  for (const char* name : {"DrawStyle", "GroupPanelColor", "CustomizeListRowCount", "BorderStyle", "ScrollBars"})
    EXPECT_EQ(plain.find(name), std::string::npos) << name;
  f.TL->SetDrawStyle(tlpCompact);
  f.TL->SetGroupPanelColor(clAqua);
  f.TL->SetGroupPanelTextColor(clNavy);
  f.TL->SetCustomizeListRowCount(6);
  f.TL->SetBorderStyle(bsNone);
  f.TL->SetScrollBars(ssVertical);
  TForm other(nullptr);
  auto* copy = new TvmTreeList(&other);
  copy->SetParent(&other);
  TextToComponent(ComponentToText(f.TL), copy);
  EXPECT_EQ(copy->DrawStyle(), tlpCompact);
  EXPECT_EQ(copy->GroupPanelColor(), clAqua);
  EXPECT_EQ(copy->GroupPanelTextColor(), clNavy);
  EXPECT_EQ(copy->CustomizeListRowCount(), 6);
  EXPECT_EQ(copy->BorderStyle(), bsNone);
  EXPECT_EQ(copy->ScrollBars(), ssVertical);
  EXPECT_EQ(copy->ClientWidth(), copy->Width());
  UnregisterTreeListClasses();
}

// Compact images: a leaf's picture moves into its own level's cell on the window colour; a
// parent's sits after its button on the parent's level colour.
TEST(TreeListDrawStyle, CompactImagesSitOnTheirRowsGround) {
  TCompactFixture f;
  auto* images = new TImageList(f.Form.get());
  images->SetWidth(8);
  images->SetHeight(8);
  TBitmap b;
  b.SetWidth(8);
  b.SetHeight(8);
  b.Canvas()->Brush()->SetColor(clRed);
  b.Canvas()->FillRect(Rect(0, 0, 8, 8));
  images->Add(&b, nullptr);
  f.TL->SetImages(images);
  f.Find("R0")->SetImageIndex(0);
  f.Find("R0.1")->SetImageIndex(0);
  f.Paint();
  const int ind = f.TL->Indent(), left = f.RowsLeft();
  EXPECT_EQ(f.TL->NodeIndent(f.Find("R0.1")), ind + 8);
  EXPECT_EQ(f.TL->NodeIndent(f.Find("R0")), ind + 8);
  const TColor red = ColorToRGB(clRed);
  for (const char* n : {"R0", "R0.1"}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(f.Pixel(left + ind + 4, f.Mid(n)), red);
  }
  EXPECT_EQ(f.Pixel(left + ind + 4, f.Top("R0") + 2), ColorToRGB(clYellow));
  EXPECT_EQ(f.Pixel(left + ind + 4, f.Top("R0.1") + 2), ColorToRGB(clWhite));
  EXPECT_EQ(f.Pixel(left + ind / 2, f.Top("R0.1") + 2), ColorToRGB(clYellow)) << "its level cell";
}

// Standard style with grid lines: a line ends every level slot up to the node's own, and the row
// separator starts where the row's levels end, so slots that go on into the next row stay open.
TEST(TreeListDrawStyle, StandardGridDividesTheIndentByLevels) {
  TTreeListFixture f;
  f.TL->SetColor(clWhite);
  f.TL->SetTreeConnectorStyle(tlnSolid);
  f.Fill(2, 2);
  f.TL->FullExpand();
  f.TL->SetFocusedNode(f.Find("R1.1"));
  f.TL->SetShowGrid(true);
  f.Paint();
  const TvmTreeListLayout L = f.Layout();
  const int ind = f.TL->Indent(), left = L.RowsRect.Left;
  const TColor grid = ColorToRGB(f.TL->GetGridLineColor()), white = ColorToRGB(clWhite);
  auto bottom = [&](const char* N) {
    const auto* r = f.RowOf(L, f.Find(N));
    return r->Top + r->Height - 1;
  };
  auto mid = [&](const char* N) {
    const auto* r = f.RowOf(L, f.Find(N));
    return r->Top + r->Height / 2;
  };
  // Level lines: R0 (level 0) ends its slot, R0.0 (level 1) both of its slots.
  EXPECT_EQ(f.Pixel(left + ind - 1, mid("R0")), grid);
  EXPECT_EQ(f.Pixel(left + ind - 1, mid("R0.0")), grid);
  EXPECT_EQ(f.Pixel(left + 2 * ind - 1, mid("R0.0")), grid);
  // Separators: R0 keeps its slot open for its children, R0.0 its parent's slot for R0.1, and
  // the last child R0.1 closes the group at the rows' edge.
  EXPECT_EQ(f.Pixel(left + 3, bottom("R0")), white);
  EXPECT_EQ(f.Pixel(left + ind + 4, bottom("R0")), grid);
  EXPECT_EQ(f.Pixel(left + 3, bottom("R0.0")), white);
  EXPECT_EQ(f.Pixel(left + ind + 3, bottom("R0.0")), grid);
  EXPECT_EQ(f.Pixel(left + 3, bottom("R0.1")), grid);
}
