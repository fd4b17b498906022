// The events the component tree list tells the program through while the user clicks, sorts,
// drags, shows and hides headers and bands.
#include <string>
#include <vector>

#include "tl_fixture.h"

namespace {

TPoint Centre(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

void Drag(TTreeListFixture& F, TPoint From, TPoint To) {
  F.TL->DispatchMouseDown(mbLeft, {}, From.X, From.Y);
  F.TL->DispatchMouseMove({ssLeft}, To.X, To.Y);
  F.TL->DispatchMouseUp(mbLeft, {}, To.X, To.Y);
}

}  // namespace

TEST(TreeListEvents, HeaderClicksSortUnlessForbiddenAndTheShownStateCanBeReplaced) {
  TTreeListFixture f;
  f.Fill(3, 0);
  f.TL->SetOptions(f.TL->Options() + tloAutoSort);
  std::vector<std::string> log;
  f.TL->OnColumnHeaderClick = [&](TObject*, TvmTreeListColumn* C) { log.push_back("click " + C->Caption()); };
  f.TL->OnBeforeColumnSort = [&](TObject*, TvmTreeListColumn* C, bool& Allow) {
    log.push_back("sort? " + C->Caption());
    Allow = C->Caption() != "C1";
  };
  f.TL->DoColumnClick(0, false);
  f.TL->DoColumnClick(1, false);
  EXPECT_EQ(log, (std::vector<std::string>{"click C0", "sort? C0", "click C1", "sort? C1"}));
  EXPECT_EQ(f.TL->Columns(0)->Sorted(), csUp);
  EXPECT_EQ(f.TL->Columns(1)->Sorted(), csNone);  // forbidden
  // The header shows the state the program gives.
  f.TL->OnGetColumnSortState = [](TObject*, TvmTreeListColumn* C, TvmTreeListColumnSort& S) {
    if (C->Caption() == "C2") S = csDown;
  };
  EXPECT_EQ(f.TL->GetColumnSorted(2), csDown);
  EXPECT_EQ(f.TL->GetColumnSorted(0), csUp);
}

TEST(TreeListEvents, HeaderDragsAskMoveHideAndShowWithTheirEvents) {
  TTreeListFixture f;
  f.TL->SetOptions(f.TL->Options() + tloHideByDragOut);
  std::vector<std::string> log;
  auto name = [](TvmTreeListColumn* C) { return C->Caption(); };
  f.TL->OnCanDragHeader = [&](TObject*, TvmTreeListColumn* C, bool& Allow) { Allow = C->Caption() != "C2"; };
  f.TL->OnHeaderDragEnd = [&](TObject*, TvmTreeListColumn* C, bool&) { log.push_back("end " + name(C)); };
  f.TL->OnHeaderRelocated = [&](TObject*, TvmTreeListColumn* C) { log.push_back("relocated " + name(C)); };
  f.TL->OnColumnMoved = [&](TObject*, int From, int To) {
    log.push_back("moved " + std::to_string(From) + ">" + std::to_string(To));
  };
  f.TL->OnColumnDragFinished = [&](TObject*) { log.push_back("finished"); };
  f.TL->OnHeaderHidden = [&](TObject*, TvmTreeListColumn* C) { log.push_back("hidden " + name(C)); };
  f.TL->OnHeaderShown = [&](TObject*, TvmTreeListColumn* C) { log.push_back("shown " + name(C)); };

  TvmTreeListLayout L = f.Layout();
  TRect r2 = L.HeaderCells[2].Rect;
  // C0 after C2, in the one band there is.
  Drag(f, Centre(L.HeaderCells[0].Rect), TPoint(r2.Right - 10, Centre(r2).Y));
  EXPECT_EQ(f.TL->Columns(2)->Caption(), "C0");
  EXPECT_EQ(log, (std::vector<std::string>{"end C0", "relocated C0", "moved 0>2", "finished"}));
  // The program forbids dragging C2: the drag is a click and nothing moves.
  log.clear();
  L = f.Layout();
  EXPECT_FALSE(f.TL->CanDragColumn(1));  // C2 sits at list place 1 now
  // Dropped out of the header: hidden; shown again through the customizing path.
  Drag(f, Centre(L.HeaderCells[0].Rect), TPoint(Centre(L.HeaderCells[0].Rect).X, 250));
  EXPECT_FALSE(f.TL->Columns(0)->Visible());
  EXPECT_EQ(log, (std::vector<std::string>{"end C1", "hidden C1"}));
  log.clear();
  f.TL->ShowColumn(0, 0, 0, 0);
  EXPECT_TRUE(f.TL->Columns(0)->Visible());
  EXPECT_EQ(log, (std::vector<std::string>{"shown C1"}));
}

TEST(TreeListEvents, BandsHiddenShownAndKeptFromDragging) {
  TTreeListFixture f(3);
  f.TL->BeginUpdate();
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxBands + tlxBandMoving);
  f.TL->SetShowBandPanel(true);
  TvmTreeListBand* second = f.TL->Bands()->Add();
  second->SetCaption("Second");
  f.TL->Columns(2)->SetBandIndex(1);
  f.TL->EndUpdate();
  std::vector<std::string> log;
  f.TL->OnCanDragBand = [&](TObject*, TvmTreeListBand* B, bool& Allow) { Allow = B->Caption() != "Second"; };
  f.TL->OnBandHidden = [&](TObject*, TvmTreeListBand* B) { log.push_back("hidden " + B->Caption()); };
  f.TL->OnBandShown = [&](TObject*, TvmTreeListBand* B, int Index) {
    log.push_back("shown " + B->Caption() + " at " + std::to_string(Index));
  };
  EXPECT_TRUE(f.TL->CanDragBand(0));
  EXPECT_FALSE(f.TL->CanDragBand(1));
  f.TL->HideBand(1);
  EXPECT_FALSE(second->Visible());
  f.TL->ShowBand(1, 0);
  EXPECT_TRUE(second->Visible());
  EXPECT_EQ(log, (std::vector<std::string>{"hidden Second", "shown Second at 0"}));
}

// A held band or header that starts to move says so, and the program may refuse the drop on the
// way: the pointer then shows that letting go would hide it.
TEST(TreeListEvents, BandAndHeaderDragsTellTheirStartAndAskOnTheWay) {
  TTreeListFixture f(3);
  f.TL->BeginUpdate();
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxBands + tlxBandMoving);
  f.TL->SetShowBandPanel(true);
  f.TL->Bands()->Items(0)->SetCaption("First");
  f.TL->Bands()->Add()->SetCaption("Second");
  f.TL->Columns(2)->SetBandIndex(1);
  f.TL->EndUpdate();
  std::vector<std::string> log;
  bool accept = true;
  f.TL->OnStartDragBand = [&](TObject*, TvmTreeListBand* B) { log.push_back("start " + B->Caption()); };
  f.TL->OnStartDragHeader = [&](TObject*, TvmTreeListColumn* C) { log.push_back("start " + C->Caption()); };
  f.TL->OnBandDragOver = [&](TObject*, TvmTreeListBand* B, const TPoint& P, bool& Accept) {
    log.push_back("over " + B->Caption() + " " + std::to_string(P.X));
    Accept = accept;
  };
  f.TL->OnHeaderDragOver = [&](TObject*, TvmTreeListColumn* C, const TPoint& P, bool& Accept) {
    log.push_back("over " + C->Caption() + " " + std::to_string(P.X));
    Accept = accept;
  };
  const TvmTreeListLayout L = f.Layout();
  TRect band = L.BandCells.at(0).Rect;
  band.Top = L.BandPanelRect.Top;
  band.Bottom = L.BandPanelRect.Bottom;
  struct Case {
    TPoint From;
    TvmTreeListState Dragging;
    std::string Name;
  } cases[] = {{Centre(band), tlsBandDragging, "First"}, {Centre(L.HeaderCells.at(1).Rect), tlsColumnDragging, "C1"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    log.clear();
    f.TL->DispatchMouseDown(mbLeft, {}, c.From.X, c.From.Y);
    f.TL->DispatchMouseMove({ssLeft}, c.From.X + 3, c.From.Y);  // within the threshold: still held
    EXPECT_TRUE(log.empty());
    accept = true;
    f.TL->DispatchMouseMove({ssLeft}, c.From.X + 8, c.From.Y);
    ASSERT_EQ(f.TL->State(), c.Dragging);
    EXPECT_EQ(f.TL->Cursor(), crDefault);
    accept = false;
    f.TL->DispatchMouseMove({ssLeft}, c.From.X + 9, c.From.Y);
    EXPECT_EQ(f.TL->Cursor(), crNoDrop);
    const std::string x8 = std::to_string(c.From.X + 8), x9 = std::to_string(c.From.X + 9);
    EXPECT_EQ(log,
              (std::vector<std::string>{"start " + c.Name, "over " + c.Name + " " + x8, "over " + c.Name + " " + x9}));
    f.TL->DispatchMouseUp(mbLeft, {}, c.From.X, c.From.Y);
    EXPECT_EQ(f.TL->State(), tlsIdle);
  }
}
