// The customizing form: ShowCustomizeForm opens it; a header dragged onto it is hidden and
// listed, and the entry dragged back onto the header shows the column there again.
#include "platform/comctrls.h"
#include "platform/stdctrls.h"
#include "tl_fixture.h"
#include "treelist/tl_customize.h"

namespace {
TPoint Centre(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

std::vector<std::string> Captions(TvmTreeList* TL) {
  std::vector<std::string> v;
  for (int i = 0; i < TL->VisibleColumnCount(); ++i) v.push_back(TL->Columns(TL->VisualColumnToColumn(i))->Caption());
  return v;
}
}  // namespace

TEST(TreeListCustomizeForm, OpensWithItsPagesAndClosesBeside) {
  TTreeListFixture f;
  EXPECT_FALSE(f.TL->IsCustomizing());
  f.TL->ShowCustomizeForm();
  ASSERT_TRUE(f.TL->IsCustomizing());
  TvmTreeListCustomizeForm* form = f.TL->CustomizeForm();
  EXPECT_EQ(form->Caption(), "Customize");
  ASSERT_EQ(form->PageControl()->PageCount(), 2);
  EXPECT_EQ(form->PageControl()->Name(), "PageControl");
  EXPECT_EQ(form->PageControl()->Pages(0)->Caption(), "    Bands    ");
  EXPECT_EQ(form->PageControl()->Pages(1)->Caption(), "   Headers   ");
  EXPECT_EQ(form->HeaderList()->Items()->Count(), 0);
  // Beside the control, not over it.
  TRect tl(f.TL->ClientToScreen(TPoint(0, 0)), f.TL->ClientToScreen(TPoint(f.TL->Width(), f.TL->Height())));
  EXPECT_GE(form->Left(), tl.Right);
  // Closed and opened again where the user left it.
  form->SetBounds(form->Left() + 30, form->Top() + 20, form->Width(), form->Height());
  TRect moved = form->BoundsRect();
  f.TL->HideCustomizeForm();
  EXPECT_FALSE(f.TL->IsCustomizing());
  f.TL->ShowCustomizeForm();
  EXPECT_EQ(f.TL->CustomizeForm()->BoundsRect(), moved);
  // A column hidden through its property shows up in the list at once.
  f.TL->Columns(2)->SetVisible(false);
  ASSERT_EQ(form->HeaderList()->Items()->Count(), 1);
  EXPECT_EQ(form->HeaderList()->Items()->Strings(0), "C2");
  form->Close();
  EXPECT_FALSE(f.TL->IsCustomizing());
}

TEST(TreeListCustomizeForm, AHeaderDroppedOnItHidesAndDraggedBackShows) {
  TTreeListFixture f;
  ASSERT_FALSE(f.TL->Options().Contains(tloHideByDragOut));  // hiding comes from the form alone
  f.TL->ShowCustomizeForm();
  TvmTreeListCustomizeForm* form = f.TL->CustomizeForm();
  TvmTreeListLayout L = f.Layout();
  TPoint c1 = Centre(L.HeaderCells[1].Rect);
  // C1 dragged onto the form: hidden and listed.
  TPoint overForm = f.TL->ScreenToClient(Centre(form->BoundsRect()));
  f.TL->DispatchMouseDown(mbLeft, {}, c1.X, c1.Y);
  f.TL->DispatchMouseMove({ssLeft}, c1.X + 20, c1.Y);
  f.TL->DispatchMouseMove({ssLeft}, overForm.X, overForm.Y);
  ASSERT_EQ(f.TL->State(), tlsColumnDragging);
  TvmTreeListDropTarget t;
  f.TL->CalcColumnDropTarget(overForm, t);
  EXPECT_EQ(t.Code, -1);
  f.TL->DispatchMouseUp(mbLeft, {}, overForm.X, overForm.Y);
  EXPECT_FALSE(f.TL->Columns(1)->Visible());
  EXPECT_EQ(Captions(f.TL), (std::vector<std::string>{"C0", "C2"}));
  ASSERT_EQ(form->HeaderList()->Items()->Count(), 1);
  EXPECT_EQ(form->HeaderList()->Items()->Strings(0), "C1");

  // Back from the list: pressed on the entry, moved over the right half of C2's header.
  L = f.Layout();
  TRect h2 = L.HeaderCells[1].Rect;
  ASSERT_EQ(L.HeaderCells[1].Column, 2);
  TListBox* list = form->HeaderList();
  TPoint item = Centre(list->ItemRect(0));
  TPoint target = list->ScreenToClient(f.TL->ClientToScreen(TPoint(h2.Right - 6, Centre(h2).Y)));
  list->DispatchMouseDown(mbLeft, {}, item.X, item.Y);
  ASSERT_EQ(f.TL->State(), tlsColumnDragging);
  EXPECT_EQ(f.TL->DraggedColumn(), 1);
  list->DispatchMouseMove({ssLeft}, target.X, target.Y);
  EXPECT_NE(f.TL->ArrowsPos().X, -100);  // the drop place is marked
  list->DispatchMouseUp(mbLeft, {}, target.X, target.Y);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  EXPECT_TRUE(f.TL->Columns(1)->Visible());
  EXPECT_EQ(Captions(f.TL), (std::vector<std::string>{"C0", "C2", "C1"}));
  EXPECT_EQ(form->HeaderList()->Items()->Count(), 0);
}

TEST(TreeListCustomizeForm, TheLastShownColumnAndLockedOnesStay) {
  TTreeListFixture f(2);
  f.TL->ShowCustomizeForm();
  TPoint overForm = f.TL->ScreenToClient(Centre(f.TL->CustomizeForm()->BoundsRect()));
  auto dragOut = [&](int Index) {
    TvmTreeListLayout L = f.Layout();
    TPoint c = Centre(L.HeaderCells[Index].Rect);
    f.TL->DispatchMouseDown(mbLeft, {}, c.X, c.Y);
    f.TL->DispatchMouseMove({ssLeft}, c.X + 20, c.Y);
    f.TL->DispatchMouseMove({ssLeft}, overForm.X, overForm.Y);
    f.TL->DispatchMouseUp(mbLeft, {}, overForm.X, overForm.Y);
  };
  dragOut(0);
  EXPECT_EQ(f.TL->VisibleColumnCount(), 1);
  dragOut(0);
  EXPECT_EQ(f.TL->VisibleColumnCount(), 1);  // the last one is not hidden
  // Dropped back but away from the header: nothing changes, the entry stays listed.
  f.TL->StartCustomizeColumnDrag(0, TPoint(50, 150));
  f.TL->DispatchMouseMove({ssLeft}, 50, 160);
  f.TL->DispatchMouseUp(mbLeft, {}, 50, 160);
  EXPECT_FALSE(f.TL->Columns(0)->Visible());
  EXPECT_EQ(f.TL->CustomizeForm()->HeaderList()->Items()->Count(), 1);
}

TEST(TreeListCustomizeForm, ABandDroppedOnItHidesAndDraggedBackShowsInTheGap) {
  TTreeListFixture f;
  f.TL->SetShowBandPanel(true);
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxBandMoving);
  f.TL->Bands()->Items(0)->SetCaption("B0");
  for (int i = 1; i < 3; ++i) f.TL->Bands()->Add()->SetCaption("B" + std::to_string(i));
  for (int i = 0; i < 3; ++i) f.TL->Bands()->Items(i)->SetWidth(100);
  auto visibleBands = [&] {
    std::vector<std::string> v;
    for (int i = 0; i < f.TL->Bands()->Count(); ++i)
      if (f.TL->Bands()->Items(i)->Visible()) v.push_back(f.TL->Bands()->Items(i)->Caption());
    return v;
  };
  f.TL->ShowCustomizeForm();
  TvmTreeListCustomizeForm* form = f.TL->CustomizeForm();
  TPoint overForm = f.TL->ScreenToClient(Centre(form->BoundsRect()));
  TvmTreeListLayout L = f.Layout();
  auto bandRect = [&](int Visible) {
    TRect r = L.BandCells[Visible].Rect;
    r.Top = L.BandPanelRect.Top;
    r.Bottom = L.BandPanelRect.Bottom;
    return r;
  };
  TPoint b1 = Centre(bandRect(1));
  f.TL->DispatchMouseDown(mbLeft, {}, b1.X, b1.Y);
  f.TL->DispatchMouseMove({ssLeft}, b1.X + 20, b1.Y);
  ASSERT_EQ(f.TL->State(), tlsBandDragging);
  f.TL->DispatchMouseMove({ssLeft}, overForm.X, overForm.Y);
  f.TL->DispatchMouseUp(mbLeft, {}, overForm.X, overForm.Y);
  EXPECT_EQ(visibleBands(), (std::vector<std::string>{"B0", "B2"}));
  ASSERT_EQ(form->BandList()->Items()->Count(), 1);
  EXPECT_EQ(form->BandList()->Items()->Strings(0), "B1");

  // Back from the band page, dropped on the left half of B0: first.
  form->PageControl()->SetActivePageIndex(0);
  L = f.Layout();
  TRect first = bandRect(0);
  TListBox* list = form->BandList();
  TPoint item = Centre(list->ItemRect(0));
  TPoint target = list->ScreenToClient(f.TL->ClientToScreen(TPoint(first.Left + 5, Centre(first).Y)));
  list->DispatchMouseDown(mbLeft, {}, item.X, item.Y);
  ASSERT_EQ(f.TL->State(), tlsBandDragging);
  list->DispatchMouseMove({ssLeft}, target.X, target.Y);
  list->DispatchMouseUp(mbLeft, {}, target.X, target.Y);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  EXPECT_EQ(visibleBands(), (std::vector<std::string>{"B1", "B0", "B2"}));
  EXPECT_EQ(form->BandList()->Items()->Count(), 0);
}

TEST(TreeListCustomizeForm, ADragTurnsTheFormToThePageOfItsKind) {
  TTreeListFixture f;
  f.TL->SetShowBandPanel(true);
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxBandMoving);
  f.TL->Bands()->Add();
  for (int i = 0; i < 2; ++i) f.TL->Bands()->Items(i)->SetWidth(150);
  f.TL->ShowCustomizeForm();
  TPageControl* pages = f.TL->CustomizeForm()->PageControl();
  TvmTreeListLayout L = f.Layout();
  TRect band = L.BandCells[0].Rect;
  band.Top = L.BandPanelRect.Top;
  band.Bottom = L.BandPanelRect.Bottom;
  const TPoint b = Centre(band), h = Centre(L.HeaderCells[0].Rect);
  auto press = [&](TPoint P, int Move) {
    f.TL->DispatchMouseDown(mbLeft, {}, P.X, P.Y);
    f.TL->DispatchMouseMove({ssLeft}, P.X + Move, P.Y);
  };
  auto release = [&](TPoint P) {
    f.TL->DispatchMouseUp(mbLeft, {}, P.X, P.Y);
    ASSERT_EQ(f.TL->State(), tlsIdle);
  };
  // A press that has not become a drag leaves the page alone.
  pages->SetActivePageIndex(1);
  press(b, 5);
  EXPECT_EQ(f.TL->State(), tlsBandPressed);
  EXPECT_EQ(pages->ActivePageIndex(), 1);
  release(b);
  // A band drag shows the band page, a header drag the header page.
  press(b, 6);
  ASSERT_EQ(f.TL->State(), tlsBandDragging);
  EXPECT_EQ(pages->ActivePageIndex(), 0);
  release(b);
  press(h, 6);
  ASSERT_EQ(f.TL->State(), tlsColumnDragging);
  EXPECT_EQ(pages->ActivePageIndex(), 1);
  release(h);
  // So does a drag that starts from either list.
  f.TL->Bands()->Items(1)->SetVisible(false);
  f.TL->StartCustomizeBandDrag(1, b);
  EXPECT_EQ(pages->ActivePageIndex(), 0);
  f.TL->CancelMode();
  f.TL->Columns(2)->SetVisible(false);
  f.TL->StartCustomizeColumnDrag(2, h);
  EXPECT_EQ(pages->ActivePageIndex(), 1);
  f.TL->CancelMode();
  // With the form closed nothing turns.
  f.TL->HideCustomizeForm();
  pages->SetActivePageIndex(1);
  press(b, 6);
  ASSERT_EQ(f.TL->State(), tlsBandDragging);
  EXPECT_EQ(pages->ActivePageIndex(), 1);
  release(b);
}
