// The new-item row, a stored tree list read back (bands, columns, options, sort order), and
// node drags from one tree list to another through the toolkit's drag protocol.
#include "platform/dragdrop.h"
#include "platform/streaming.h"
#include "platform/streams.h"
#include "tl_fixture.h"

namespace {

// ---------------------------------------------------------------------------------------------
// New-item row.

int HeaderLeft(const TvmTreeListLayout& L, int Column) {
  for (const auto& h : L.HeaderCells)
    if (h.Column == Column) return h.Rect.Left;
  return -1;
}

TEST(TreeListNewItemRow, EnteredFromTheFirstRowAndLeftDownwards) {
  TTreeListFixture f;
  f.Fill(3, 0);
  f.TL->SetOptions(f.TL->Options() - tloRowSelect + tloEditing);
  TvmTreeListLayout before = f.Layout();
  f.TL->SetNewItemRowVisible(true);
  TvmTreeListLayout L = f.Layout();
  int sep = 6;  // the raised look's separator bar
  EXPECT_EQ(L.NewItemRowRect.Height(), f.TL->DefaultRowHeight() + sep);
  EXPECT_EQ(L.NewItemRowRect.Top, L.HeaderPanelRect.Bottom);
  EXPECT_EQ(L.RowsRect.Top, before.RowsRect.Top + L.NewItemRowRect.Height());
  ASSERT_TRUE(f.Focus());
  f.TL->SetFocusedNode(f.Find("R0"));
  f.Key(VK_UP);
  EXPECT_TRUE(f.TL->NewItemRowActive());
  f.Paint();
  // The active row carries the selection; the focused node's row gives it up.
  int y = L.NewItemRowRect.Top + f.TL->DefaultRowHeight() / 2;
  TPoint c0 = f.CellPoint(f.Find("R0"), 0);
  EXPECT_EQ(f.Pixel(L.RowsRect.Left + 40, y), ColorToRGB(clHighlight));  // the focused column's cell
  EXPECT_EQ(f.Pixel(HeaderLeft(L, 1) + 30, y), ColorToRGB(clWindow));
  EXPECT_EQ(f.Pixel(c0.X + 30, c0.Y), ColorToRGB(clWindow));
  // The separator bar is the header's face.
  EXPECT_EQ(f.Pixel(L.RowsRect.Left + 60, L.NewItemRowRect.Bottom - 3), ColorToRGB(clBtnFace));
  // The text tree list has nothing to insert into: no editor opens there.
  f.Key(VK_F1 + 1);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  EXPECT_EQ(f.Find("R0")->Strings(0), "R0");
  f.Key(VK_DOWN);
  EXPECT_FALSE(f.TL->NewItemRowActive());
  EXPECT_EQ(f.FocusText(), "R0");
  // A click enters it again (hit code, column), a click on a row leaves it.
  TvmTreeListHitTestInfo hit;
  int x1 = (HeaderLeft(L, 1) + HeaderLeft(L, 2)) / 2;
  f.TL->GetHitInfo(TPoint(x1, y), hit);
  EXPECT_EQ(hit.HitType, tlhNewItemRow);
  EXPECT_EQ(hit.Column, 1);
  f.Click(TPoint(x1, y));
  EXPECT_TRUE(f.TL->NewItemRowActive());
  EXPECT_EQ(f.TL->GetFocusedAbsoluteColumn(), 1);
  f.Click(f.CellPoint(f.Find("R2"), 0));
  EXPECT_FALSE(f.TL->NewItemRowActive());
  EXPECT_EQ(f.FocusText(), "R2");
  // Two header rows leave no room for it.
  f.TL->SetHeaderPanelRowCount(2);
  EXPECT_EQ(f.Layout().NewItemRowRect.Height(), 0);
}

// ---------------------------------------------------------------------------------------------
// Streaming.

struct TRegisterTreeList {
  TRegisterTreeList() { RegisterTreeListClasses(); }
  ~TRegisterTreeList() { UnregisterTreeListClasses(); }
};

TEST(TreeListStreaming, BandsColumnsAndOptionsReadBack) {
  TRegisterTreeList reg;
  TTreeListFixture f(3, 400, 200);
  TvmTreeList* t = f.TL;
  t->BeginUpdate();
  t->SetExtendedOptions(t->ExtendedOptions() + tlxMultiSort + tlxBands);
  t->SetShowBandPanel(true);
  t->SetShowFooterPanel(true);
  t->SetMaxRowTextLineCount(3);
  t->SetGridColor(clRed);
  t->Bands()->Items(0)->SetCaption("Main");
  TvmTreeListBand* b1 = t->Bands()->Add();
  b1->SetCaption("Side");
  b1->SetWidth(180);
  b1->SetFixed(bfRight);
  t->SetHeaderPanelRowCount(2);
  t->Columns(2)->SetBandIndex(1);
  t->Columns(1)->SetRowIndex(1);
  t->Columns(0)->SetWidth(140);
  t->Columns(0)->SetAlignment(taRightJustify);
  t->Columns(1)->SetReadOnly(true);
  t->Columns(1)->SetHeaderMaxLineCount(2);
  t->EndUpdate();
  t->Columns(2)->SetSorted(csDown);
  t->Columns(0)->SetSorted(csUp);
  ASSERT_EQ(t->SortedColumnCount(), 2);
  std::string text = ComponentToText(t);
  // Only what differs from the defaults is written; the column's stream values come along.
  EXPECT_NE(text.find("SortedOrder"), std::string::npos);
  EXPECT_EQ(text.find("ShowHeaderPanel"), std::string::npos);

  TForm other(nullptr);
  auto* copy = new TvmTreeList(&other);
  copy->SetParent(&other);
  TextToComponent(text, copy);
  EXPECT_TRUE(copy->ExtendedOptions().Contains(tlxMultiSort));
  EXPECT_TRUE(copy->ShowBandPanel());
  EXPECT_TRUE(copy->ShowFooterPanel());
  EXPECT_EQ(copy->MaxRowTextLineCount(), 3);
  EXPECT_EQ(copy->GridColor(), clRed);
  EXPECT_EQ(copy->HeaderPanelRowCount(), 2);
  ASSERT_EQ(copy->Bands()->Count(), 2);
  EXPECT_EQ(copy->Bands()->Items(0)->Caption(), "Main");
  EXPECT_EQ(copy->Bands()->Items(1)->Caption(), "Side");
  EXPECT_EQ(copy->Bands()->Items(1)->Width(), 180);
  EXPECT_EQ(copy->Bands()->Items(1)->Fixed(), bfRight);
  ASSERT_EQ(copy->ColumnCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(copy->Columns(i)->Caption(), t->Columns(i)->Caption()) << i;
    EXPECT_EQ(copy->Columns(i)->BandIndex(), t->Columns(i)->BandIndex()) << i;
    EXPECT_EQ(copy->Columns(i)->RowIndex(), t->Columns(i)->RowIndex()) << i;
    EXPECT_EQ(copy->Columns(i)->Sorted(), t->Columns(i)->Sorted()) << i;
  }
  EXPECT_EQ(copy->Columns(0)->Width(), 140);
  EXPECT_EQ(copy->Columns(0)->Alignment(), taRightJustify);
  EXPECT_TRUE(copy->Columns(1)->ReadOnly());
  EXPECT_FALSE(copy->Columns(0)->AssignedValues().Contains(cvReadOnly));
  EXPECT_EQ(copy->Columns(1)->HeaderMaxLineCount(), 2);
  // The sort keys keep their order: the first sorted column first.
  ASSERT_EQ(copy->SortedColumnCount(), 2);
  EXPECT_EQ(copy->SortedColumns(0), copy->Columns(2));
  EXPECT_EQ(copy->SortedColumns(1), copy->Columns(0));
  // Written again, the copy gives the same text (its own name aside).
  EXPECT_EQ(ComponentToText(copy), text);
}

// ---------------------------------------------------------------------------------------------
// Drags between two tree lists.

struct TTwoLists {
  TTreeListFixture A;
  TvmTreeList* B = nullptr;
  TTwoLists() {
    A.Fill(3, 2);
    B = new TvmTreeList(A.Form.get());
    B->SetName("TL2");
    B->SetParent(A.Form.get());
    B->SetBounds(0, 0, 10, 10);
    A.Form->SetBounds(0, 0, 900, 360);
    B->SetBounds(450, 0, 400, 300);
    B->CreateColumn()->SetCaption("B0");
    B->BeginUpdate();
    for (int i = 0; i < 4; ++i) B->AddNode(nullptr, {"B" + std::to_string(i)});
    B->EndUpdate();
    A.TL->SetDragMode(tldmAutomatic);
    A.TL->SetExtendedOptions(A.TL->ExtendedOptions() + tlxDragScroll);
    B->SetExtendedOptions(B->ExtendedOptions() + tlxDragScroll);
    Application->ProcessMessages();
  }
  // A point of B's client area in A's client coordinates (where A's captured mouse reports it).
  TPoint InA(TPoint PB) { return A.TL->ScreenToClient(B->ClientToScreen(PB)); }
  TPoint CellOfB(const std::string& Text) {
    TvmTreeListLayout L;
    B->CalcLayout(L);
    for (const auto& r : L.VisibleRows)
      if (r.Node->Strings(0) == Text) return TPoint(L.RowsRect.Left + 60, r.Top + r.Height / 2);
    return TPoint(-1, -1);
  }
};

TEST(TreeListDragBetweenLists, NodesMoveAcrossWhenTheTargetAccepts) {
  TTwoLists w;
  TvmTreeList* a = w.A.TL;
  TvmTreeList* b = w.B;
  int overCalls = 0, ends = 0;
  TControl* endTarget = nullptr;
  b->OnDragOver = [&](TObject* sender, TObject* source, int, int, bool& accept) {
    ++overCalls;
    EXPECT_EQ(sender, b);
    accept = source == a;
  };
  // The drop copies the dragged nodes' texts under the node under the pointer.
  b->OnDragDrop = [&](TObject*, TObject* source, int x, int y) {
    EXPECT_TRUE(dynamic_cast<TvmTreeListDragObject*>(DragObject()));
    auto* from = dynamic_cast<TvmTreeList*>(source);
    ASSERT_TRUE(from);
    TvmTreeListNode* at = b->GetNodeAt(x, y);
    ASSERT_TRUE(at);
    b->AddNode(at, {from->DraggedNode()->Strings(0)});
  };
  a->OnEndDrag = [&](TObject*, TObject* target, int, int) {
    ++ends;
    endTarget = dynamic_cast<TControl*>(target);
  };
  TPoint p = w.A.CellPoint(w.A.Find("R1"), 0);
  a->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
  a->DispatchMouseMove({ssLeft}, p.X + 10, p.Y);
  ASSERT_EQ(a->State(), tlsNodeDragging);
  ASSERT_TRUE(Dragging());
  auto* obj = dynamic_cast<TvmTreeListDragObject*>(DragObject());
  ASSERT_TRUE(obj);
  EXPECT_EQ(obj->Nodes, std::vector<TvmTreeListNode*>{w.A.Find("R1")});
  // Over B: B is asked, its focused row follows the pointer and shows as the drop place.
  TPoint overB2 = w.InA(w.CellOfB("B2"));
  a->DispatchMouseMove({ssLeft}, overB2.X, overB2.Y);
  EXPECT_GE(overCalls, 1);
  EXPECT_EQ(DragObject()->DragTarget, b);
  EXPECT_TRUE(DragObject()->Accepted);
  EXPECT_EQ(a->Cursor(), crDrag);
  EXPECT_EQ(b->ForeignDragObject(), DragObject());
  ASSERT_TRUE(b->FocusedNode());
  EXPECT_EQ(b->FocusedNode()->Strings(0), "B2");
  b->Repaint();
  TPoint c = w.CellOfB("B2");
  EXPECT_EQ(ColorToRGB(ControlSurfacePixel(b, c.X + 20, c.Y)), ColorToRGB(clHighlight));
  a->DispatchMouseUp(mbLeft, {}, overB2.X, overB2.Y);
  EXPECT_FALSE(Dragging());
  EXPECT_EQ(a->State(), tlsIdle);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(endTarget, b);
  EXPECT_EQ(b->ForeignDragObject(), nullptr);
  TvmTreeListNode* b2 = nullptr;
  for (TvmTreeListNode* n = b->GetFirstNode(); n; n = n->GetNextSibling())
    if (n->Strings(0) == "B2") b2 = n;
  ASSERT_TRUE(b2);
  ASSERT_EQ(b2->Count(), 1);
  EXPECT_EQ(b2->Items(0)->Strings(0), "R1");
  EXPECT_EQ(a->Cursor(), crDefault);
}

TEST(TreeListDragBetweenLists, RefusedDropsAndEscapeLeaveBothListsAlone) {
  TTwoLists w;
  TvmTreeList* a = w.A.TL;
  TvmTreeList* b = w.B;
  int drops = 0;
  b->OnDragOver = [&](TObject*, TObject*, int, int, bool& accept) { accept = false; };
  b->OnDragDrop = [&](TObject*, TObject*, int, int) { ++drops; };
  TPoint p = w.A.CellPoint(w.A.Find("R0"), 0);
  a->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
  a->DispatchMouseMove({ssLeft}, p.X + 10, p.Y);
  TPoint overB = w.InA(w.CellOfB("B1"));
  a->DispatchMouseMove({ssLeft}, overB.X, overB.Y);
  EXPECT_EQ(a->Cursor(), crNoDrop);
  a->DispatchMouseUp(mbLeft, {}, overB.X, overB.Y);
  EXPECT_EQ(drops, 0);
  EXPECT_EQ(b->Count(), 4);
  // Escape during a drag over B ends it without a drop, and B forgets it.
  b->OnDragOver = [&](TObject*, TObject*, int, int, bool& accept) { accept = true; };
  a->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
  a->DispatchMouseMove({ssLeft}, p.X + 10, p.Y);
  a->DispatchMouseMove({ssLeft}, overB.X, overB.Y);
  EXPECT_EQ(b->ForeignDragObject(), DragObject());
  w.A.Key(VK_ESCAPE);
  EXPECT_FALSE(Dragging());
  EXPECT_EQ(b->ForeignDragObject(), nullptr);
  EXPECT_EQ(drops, 0);
  EXPECT_EQ(a->State(), tlsIdle);
}

// Nodes deleted while they are dragged: the drag forgets them and ends when none is left; during
// the drop they turn to null in the list the target walks.
TEST(TreeListDragBetweenLists, DeletedNodesLeaveTheDrag) {
  TTwoLists w;
  TvmTreeList* a = w.A.TL;
  TvmTreeList* b = w.B;
  a->SetOptions(a->Options() + tloMultiSelect);
  b->OnDragOver = [&](TObject*, TObject*, int, int, bool& accept) { accept = true; };
  int ends = 0;
  a->OnEndDrag = [&](TObject*, TObject*, int, int) { ++ends; };
  auto start = [&](std::initializer_list<const char*> Selected, const char* Pressed) {
    a->FullExpand();
    for (const char* t : Selected) w.A.Find(t)->SetSelected(true);
    EXPECT_EQ(a->GetSelectedCount(), static_cast<int>(Selected.size()));
    TPoint p = w.A.CellPoint(w.A.Find(Pressed), 0);
    a->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
    EXPECT_EQ(a->GetSelectedCount(), static_cast<int>(Selected.size()));
    a->DispatchMouseMove({ssLeft}, p.X + 10, p.Y);
    auto* obj = dynamic_cast<TvmTreeListDragObject*>(DragObject());
    EXPECT_TRUE(obj);
    return obj;
  };
  auto texts = [](TvmTreeListDragObject* Obj) {
    std::vector<std::string> v;
    for (TvmTreeListNode* n : Obj->Nodes) v.push_back(n ? n->Strings(0) : "null");
    return v;
  };
  // The pressed node goes: the drag goes on with the others, and drops them.
  TvmTreeListDragObject* obj = start({"R0", "R1", "R2"}, "R1");
  ASSERT_TRUE(obj);
  ASSERT_EQ(obj->Nodes.size(), 3u);
  w.A.Find("R1")->Delete();
  ASSERT_EQ(DragObject(), obj);
  EXPECT_EQ(texts(obj), (std::vector<std::string>{"R0", "R2"}));
  EXPECT_EQ(a->DraggedNode(), w.A.Find("R0"));
  std::vector<std::string> dropped;
  b->OnDragDrop = [&](TObject*, TObject*, int, int) {
    auto* d = dynamic_cast<TvmTreeListDragObject*>(DragObject());
    ASSERT_TRUE(d);
    // A handler that deletes as it goes keeps its place in the list.
    for (size_t i = 0; i < d->Nodes.size(); ++i) {
      TvmTreeListNode* n = d->Nodes[i];
      dropped.push_back(n ? n->Strings(0) : "null");
      if (n && i == 0) w.A.Find("R2")->Delete();
    }
  };
  TPoint overB = w.InA(w.CellOfB("B1"));
  a->DispatchMouseMove({ssLeft}, overB.X, overB.Y);
  a->DispatchMouseUp(mbLeft, {}, overB.X, overB.Y);
  EXPECT_EQ(dropped, (std::vector<std::string>{"R0", "null"}));
  EXPECT_FALSE(Dragging());
  EXPECT_EQ(ends, 1);
  // Every dragged node goes: the drag is cancelled, nothing is dropped.
  dropped.clear();
  a->DeleteAllNodes();
  w.A.Fill(2, 1);
  obj = start({"R0", "R1"}, "R0");
  ASSERT_TRUE(obj);
  w.A.Find("R1")->Delete();
  EXPECT_TRUE(Dragging());
  w.A.Find("R0")->Delete();
  EXPECT_FALSE(Dragging());
  EXPECT_EQ(a->State(), tlsIdle);
  EXPECT_EQ(a->DraggedNode(), nullptr);
  EXPECT_EQ(ends, 2);
  a->DispatchMouseMove({ssLeft}, overB.X, overB.Y);
  a->DispatchMouseUp(mbLeft, {}, overB.X, overB.Y);
  EXPECT_TRUE(dropped.empty());
  // So does clearing the list.
  w.A.Fill(2, 1);
  obj = start({"R0"}, "R0");
  ASSERT_TRUE(obj);
  a->DeleteAllNodes();
  EXPECT_FALSE(Dragging());
  EXPECT_EQ(ends, 3);
}

}  // namespace
