// The tree view: drawing, expanding, hit testing, label editing, deletion with its question,
// the common selected-image index, node hints and node drag and drop inside and between trees.
#include <gtest/gtest.h>

#include <vector>

#include "editor_fixture.h"
#include "inspector/vm_treeview.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/stdctrls.h"
#include "platform/streaming.h"
#include "platform/streams.h"

namespace {

struct TTreeFixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TvmTreeView* Tree = nullptr;
  TvmTreeView* Other = nullptr;
  TvmTreeNode *A, *A1, *A1a, *A2, *B;
  std::vector<std::string> Asked;
  int Answer = mrOk;
  TTreeFixture() {
    Form->SetBounds(0, 0, 420, 320);
    Tree = new TvmTreeView(Form.get());
    Tree->SetParent(Form.get());
    Tree->SetBounds(0, 0, 200, 300);
    Tree->Font()->SetName("DejaVu Sans");
    Tree->Font()->SetSize(9);
    Other = new TvmTreeView(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(210, 0, 200, 300);
    A = Tree->AddChild(nullptr, "A");
    A1 = Tree->AddChild(A, "A1");
    A1a = Tree->AddChild(A1, "A1a");
    A2 = Tree->AddChild(A, "A2");
    B = Tree->AddChild(nullptr, "B");
    Tree->FullExpand();
    Form->Show();
    Application->ProcessMessages();
    SetMessageBoxHook([this](const std::string& Text, const std::string&, int) {
      Asked.push_back(Text);
      return Answer;
    });
  }
  ~TTreeFixture() { SetMessageBoxHook(nullptr); }
  TPoint LabelOf(TvmTreeNode* N) {
    TRect r = Tree->DisplayRect(N, true);
    return TPoint(r.Left + 3, (r.Top + r.Bottom) / 2);
  }
  // A drag of Source onto Target's label in Into (Tree by default).
  void Drag(TvmTreeNode* Source, TvmTreeNode* Target, TShiftState Shift = {}, TvmTreeView* Into = nullptr) {
    TCustomvmTreeView* from = Source->TreeView();
    TvmTreeView* to = Into ? Into : Tree;
    from->SetSelected(Source);
    from->SetFocus();
    from->BeginNodeDrag();
    to->DragEnter();
    TPoint p = Target ? TPoint(to->DisplayRect(Target, true).Left + 3,
                               (to->DisplayRect(Target, true).Top + to->DisplayRect(Target, true).Bottom) / 2)
                      : TPoint(100, to->ClientHeight() - 2);
    to->DragMove(p.X, p.Y, Shift);
    to->DragDropAt(p.X, p.Y, Shift);
  }
  std::vector<std::string> Children(TvmTreeNode* N) {
    std::vector<std::string> r;
    for (int i = 0; i < N->Count(); ++i) r.push_back(N->Item(i)->Text());
    return r;
  }
};

TEST(TreeView, DrawsExpandsAndHitTests) {
  TTreeFixture f;
  TBitmap bmp;
  bmp.SetWidth(f.Tree->ClientWidth());
  bmp.SetHeight(f.Tree->ClientHeight());
  f.Tree->PaintTo(bmp.Canvas());
  TRect label = f.Tree->DisplayRect(f.A1a, true);
  int ink = 0;
  for (int y = label.Top; y < label.Bottom; ++y)
    for (int x = label.Left; x < label.Right; ++x)
      if (bmp.Canvas()->Pixels(x, y) != f.Tree->Color()) ++ink;
  EXPECT_GT(ink, 10);
  // Hit tests: label, button, indent, nowhere below the last row.
  TPoint p = f.LabelOf(f.A1);
  EXPECT_TRUE(f.Tree->GetHitTestInfoAt(p.X, p.Y).Contains(htOnLabel));
  EXPECT_EQ(f.Tree->GetNodeAt(p.X, p.Y), f.A1);
  const int level = f.A1->Level() + 1;
  EXPECT_TRUE(f.Tree->GetHitTestInfoAt(level * f.Tree->Indent() - 5, p.Y).Contains(htOnButton));
  EXPECT_TRUE(f.Tree->GetHitTestInfoAt(2, p.Y).Contains(htOnIndent));
  EXPECT_TRUE(f.Tree->GetHitTestInfoAt(50, f.Tree->ClientHeight() - 2).Contains(htNowhere));
  // A click on the button folds; the selection inside moves to the folded node.
  f.Tree->SetSelected(f.A1a);
  SendInput(f.Tree, ikMouseDown, {ssLeft}, level * f.Tree->Indent() - 5, p.Y, mbLeft);
  SendInput(f.Tree, ikMouseUp, {}, level * f.Tree->Indent() - 5, p.Y, mbLeft);
  EXPECT_FALSE(f.A1->Expanded());
  EXPECT_EQ(f.Tree->Selected(), f.A1);
  // Keys: Right opens, Down walks, Left goes to the parent.
  PressKey(f.Tree, VK_RIGHT);
  EXPECT_TRUE(f.A1->Expanded());
  PressKey(f.Tree, VK_DOWN);
  EXPECT_EQ(f.Tree->Selected(), f.A1a);
  PressKey(f.Tree, VK_LEFT);
  EXPECT_EQ(f.Tree->Selected(), f.A1);
  // Moving to a child position puts the node last among the children.
  f.B->MoveTo(f.A, naAddChild);
  EXPECT_EQ(f.Children(f.A), (std::vector<std::string>{"A1", "A2", "B"}));
  f.B->MoveTo(f.A, naAddChildFirst);
  EXPECT_EQ(f.Children(f.A), (std::vector<std::string>{"B", "A1", "A2"}));
}

TEST(TreeView, LabelEditingDeletionIndexesAndHints) {
  TTreeFixture f;
  f.Tree->OnGetEditText = [](TObject*, TvmTreeNode* N, std::string& T) { T = "<" + N->Text() + ">"; };
  ASSERT_TRUE(f.A2->EditText());
  ASSERT_NE(f.Tree->LabelEditor(), nullptr);
  EXPECT_EQ(f.Tree->LabelEditor()->Text(), "<A2>");
  // Delete while editing edits the label, it does not delete the node.
  PressKey(f.Tree, VK_DELETE);
  EXPECT_TRUE(f.Asked.empty());
  f.Tree->LabelEditor()->SetText("Second");
  PressKey(f.Tree->LabelEditor(), VK_RETURN);
  EXPECT_FALSE(f.Tree->IsEditing());
  EXPECT_EQ(f.A2->Text(), "Second");
  f.A2->EditText();
  f.Tree->LabelEditor()->SetText("dropped");
  PressKey(f.Tree->LabelEditor(), VK_ESCAPE);
  EXPECT_EQ(f.A2->Text(), "Second");
  // Delete asks; Cancel keeps the node.
  f.Tree->SetFocus();
  f.Tree->SetSelected(f.B);
  f.Answer = mrCancel;
  PressKey(f.Tree, VK_DELETE);
  ASSERT_EQ(f.Asked.size(), 1u);
  EXPECT_EQ(f.Asked[0], "Do you want to delete the item \"B\"");
  EXPECT_EQ(f.Tree->TopCount(), 2);
  f.Answer = mrOk;
  PressKey(f.Tree, VK_DELETE);
  EXPECT_EQ(f.Tree->TopCount(), 1);
  // Without the confirmation option it deletes at once.
  f.Tree->Options = {trCanDelete};
  f.Tree->SetSelected(f.A2);
  PressKey(f.Tree, VK_DELETE);
  EXPECT_EQ(f.Asked.size(), 2u);
  EXPECT_EQ(f.A->Count(), 1);
  // A common selected-image index: on all nodes, and on nodes added later.
  f.Tree->SetSelectedIndex(3);
  EXPECT_EQ(f.A1a->SelectedIndex, 3);
  EXPECT_EQ(f.Tree->AddChild(f.A, "new")->SelectedIndex, 3);
  // No node hints without ShowNodeHint, whatever ToolTips says.
  EXPECT_EQ(f.Tree->NodeHint(f.A1), "A1");
  f.Tree->ShowNodeHint = false;
  EXPECT_EQ(f.Tree->NodeHint(f.A1), "");
}

TEST(TreeView, DragMovesCopiesAndRefuses) {
  TTreeFixture f;
  int asked = 0;
  f.Tree->OnDragDropTreeNode = [&](TvmTreeNode*, TvmTreeNode*, bool&) { ++asked; };
  // Onto its own descendant: refused without asking.
  f.Drag(f.A, f.A1a);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(f.A->Parent(), nullptr);
  // Onto its own parent without Ctrl: nothing moves (no end-drag handler).
  f.Drag(f.A2, f.A);
  EXPECT_EQ(f.Children(f.A), (std::vector<std::string>{"A1", "A2"}));
  // With an end-drag handler the drop goes through: A2 becomes A's last child again... first.
  f.Tree->OnEndDragTreeNode = [](TvmTreeNode*, TvmTreeNode*, TNodeAttachMode& M) { M = naAddChildFirst; };
  f.Drag(f.A2, f.A);
  EXPECT_EQ(f.Children(f.A), (std::vector<std::string>{"A2", "A1"}));
  f.Tree->OnEndDragTreeNode = nullptr;
  // A move onto another node.
  f.Drag(f.A1, f.B);
  EXPECT_EQ(f.A1->Parent(), f.B);
  // Ctrl copies the whole subtree and leaves the source; the cursor shows the copy.
  f.Tree->SetSelected(f.A1);
  f.Tree->SetFocus();
  f.Tree->BeginNodeDrag();
  f.Tree->DragEnter();
  TPoint p = f.LabelOf(f.A2);
  f.Tree->DragMove(p.X, p.Y, {ssCtrl});
  EXPECT_EQ(f.Tree->CurrentDragCursor(), crTreeDragCopy);
  f.Tree->DragDropAt(p.X, p.Y, {ssCtrl});
  EXPECT_EQ(f.A1->Parent(), f.B);
  ASSERT_EQ(f.A2->Count(), 1);
  EXPECT_EQ(f.A2->Item(0)->Text(), "A1");
  EXPECT_EQ(f.A2->Item(0)->Item(0)->Text(), "A1a");
  // From another tree without Ctrl: copied here, deleted there; a read-only source keeps it.
  TvmTreeNode* x = f.Other->AddChild(nullptr, "X");
  f.Other->AddChild(x, "X1");
  f.Drag(x, f.B, {}, f.Tree);
  EXPECT_EQ(f.Other->TopCount(), 0);
  EXPECT_EQ(f.Children(f.B), (std::vector<std::string>{"A1", "X"}));
  EXPECT_EQ(f.B->Item(1)->Count(), 1);
  TvmTreeNode* y = f.Other->AddChild(nullptr, "Y");
  f.Other->SetReadOnly(true);
  f.Drag(y, f.B, {}, f.Tree);
  EXPECT_EQ(f.Other->TopCount(), 1);
  EXPECT_EQ(f.B->Count(), 3);
}

}  // namespace

namespace {

TEST(TreeView, CustomDrawColoursANodeUnlessItIsSelected) {
  TTreeFixture f;
  f.Tree->OnCustomDraw = [&](TObject*, TvmTreeNode* N, TFont*, TColor& Text, TColor& Bk) {
    if (N == f.A2 || N == f.B) {
      Bk = clYellow;
      Text = clRed;
    }
  };
  f.Tree->SetFocus();
  f.Tree->SetSelected(f.B);
  TBitmap bmp;
  bmp.SetWidth(f.Tree->ClientWidth());
  bmp.SetHeight(f.Tree->ClientHeight());
  f.Tree->PaintTo(bmp.Canvas());
  auto count = [&](TvmTreeNode* N, TColor C) {
    TRect r = f.Tree->DisplayRect(N, true);
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (bmp.Canvas()->Pixels(x, y) == C) ++n;
    return n;
  };
  EXPECT_GT(count(f.A2, clYellow), 20);
  EXPECT_GT(count(f.A2, clRed), 5);
  EXPECT_EQ(count(f.B, clYellow), 0);  // the selected node keeps the selection colours
  EXPECT_EQ(count(f.A1, clYellow), 0);
}

// Node pictures: Images[ImageIndex] (SelectedIndex while selected) and StateImages[StateIndex] are
// drawn before the label, which moves right to make room; the events may change the index first;
// a freed image list is let go of.
TEST(TreeView, NodePicturesAreDrawnBeforeTheLabelAndFollowTheEvents) {
  TTreeFixture f;
  auto* images = new TImageList(f.Form.get());
  auto* states = new TImageList(f.Form.get());
  for (TImageList* l : {images, states}) {
    l->SetWidth(12);
    l->SetHeight(20);
  }
  for (TColor c : {clRed, clGreen, clBlue}) {
    TBitmap b(12, 20);
    FillRectColor(b.Canvas(), Rect(0, 0, 12, 20), c);
    images->Add(&b, nullptr);
    states->Add(&b, nullptr);
  }
  const int textLeft = f.Tree->DisplayRect(f.A1, true).Left;
  f.Tree->SetImages(images);
  f.Tree->SetStateImages(states);
  EXPECT_GE(f.Tree->RowHeight(), 21) << "rows grow to the pictures";
  f.A1->ImageIndex = 0;
  f.A1->SelectedIndex = 1;
  f.A1->StateIndex = 2;
  f.A2->ImageIndex = 7;  // outside the list: no picture
  std::vector<TvmTreeNode*> asked;
  f.Tree->OnGetImageIndex = [&](TObject*, TvmTreeNode* N) {
    asked.push_back(N);
    if (N == f.B) N->ImageIndex = 2;
  };
  f.Tree->SetSelected(f.A);
  // The label moved past the state picture and the picture; the picture is hit as the icon.
  const TRect label = f.Tree->DisplayRect(f.A1, true);
  EXPECT_EQ(label.Left, textLeft + 12 + 12 + 1);
  const int cy = (label.Top + label.Bottom) / 2;
  EXPECT_TRUE(f.Tree->GetHitTestInfoAt(label.Left - 8, cy).Contains(htOnIcon));
  EXPECT_TRUE(f.Tree->GetHitTestInfoAt(label.Left - 20, cy).Contains(htOnStateIcon));
  auto pixelLeftOf = [&](TvmTreeNode* N, int Dx) {
    TBitmap b;
    GrabControl(f.Tree, &b);
    const TRect r = f.Tree->DisplayRect(N, true);
    return b.Canvas()->Pixels(r.Left - Dx, (r.Top + r.Bottom) / 2);
  };
  EXPECT_EQ(pixelLeftOf(f.A1, 8), ColorToRGB(clRed));     // the picture
  EXPECT_EQ(pixelLeftOf(f.A1, 20), ColorToRGB(clBlue));   // the state picture
  EXPECT_EQ(pixelLeftOf(f.B, 8), ColorToRGB(clBlue));     // set by OnGetImageIndex
  EXPECT_EQ(pixelLeftOf(f.A2, 8), ColorToRGB(clWindow));  // a bad index draws nothing
  EXPECT_NE(std::find(asked.begin(), asked.end(), f.B), asked.end());
  // Selected, the node shows its selected picture and asks OnGetSelectedIndex instead.
  bool selectedAsked = false;
  f.Tree->OnGetSelectedIndex = [&](TObject*, TvmTreeNode* N) { selectedAsked = selectedAsked || N == f.A1; };
  f.Tree->SetSelected(f.A1);
  EXPECT_EQ(pixelLeftOf(f.A1, 8), ColorToRGB(clGreen));
  EXPECT_TRUE(selectedAsked);
  // Freeing the lists leaves the tree without pictures, its labels back in place.
  delete images;
  delete states;
  EXPECT_EQ(f.Tree->Images(), nullptr);
  EXPECT_EQ(f.Tree->StateImages(), nullptr);
  EXPECT_EQ(f.Tree->DisplayRect(f.A1, true).Left, textLeft);
  TBitmap after;
  GrabControl(f.Tree, &after);  // paints without the freed lists
}

// Sorting: a sorting type sorts every level at once, by text without regard to case or by
// OnCompare; stNone leaves the order as it is.
TEST(TreeView, SortTypeSortsEveryLevelByTextOrByOnCompare) {
  TTreeFixture f;
  auto names = [&](TvmTreeNode* Parent) {
    std::string s;
    const int n = Parent ? Parent->Count() : f.Tree->TopCount();
    for (int i = 0; i < n; ++i) s += (Parent ? Parent->Item(i) : f.Tree->TopItem(i))->Text() + " ";
    return s;
  };
  f.Tree->AddChild(f.A, "a0");
  f.Tree->AddChild(nullptr, "alpha");
  EXPECT_EQ(names(f.A), "A1 A2 a0 ");
  f.Tree->SetSortType(stText);
  EXPECT_EQ(names(nullptr), "A alpha B ");
  EXPECT_EQ(names(f.A), "a0 A1 A2 ");
  EXPECT_EQ(f.Tree->TopVisible(), f.Tree->GetFirstNode());
  // OnCompare decides (here: longest text first, ties by text backwards).
  f.Tree->OnCompare = [](TObject*, TvmTreeNode* A, TvmTreeNode* B, int& Compare) {
    Compare = static_cast<int>(B->Text().size()) - static_cast<int>(A->Text().size());
    if (Compare == 0) Compare = -A->Text().compare(B->Text());
  };
  f.Tree->AlphaSort();
  EXPECT_EQ(names(nullptr), "alpha B A ");
  EXPECT_EQ(names(f.A), "a0 A2 A1 ");
  // Back to stNone: the order stays as it is.
  f.Tree->SetSortType(stNone);
  f.Tree->AddChild(nullptr, "0");
  EXPECT_EQ(names(nullptr), "alpha B A 0 ");
}

// OnChanging may refuse a selection; AutoExpand opens the selected node and closes the one left;
// RowSelect paints and clicks the whole row; HotTrack follows the label under the mouse.
TEST(TreeView, ChangingAutoExpandRowSelectAndHotTrack) {
  TTreeFixture f;
  auto SendMouseClick = [](TControl* C, TPoint P) {
    SendInput(C, ikMouseDown, {ssLeft}, P.X, P.Y, mbLeft);
    SendInput(C, ikMouseUp, {}, P.X, P.Y, mbLeft);
  };
  f.Tree->SetFocus();
  f.Tree->SetSelected(f.B);
  bool allow = false;
  std::vector<TvmTreeNode*> asked;
  f.Tree->OnChanging = [&](TObject*, TvmTreeNode* N, bool& Allow) {
    asked.push_back(N);
    Allow = allow;
  };
  SendMouseClick(f.Tree, f.LabelOf(f.A2));
  EXPECT_EQ(f.Tree->Selected(), f.B);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], f.A2);
  allow = true;
  f.Tree->OnChanging = nullptr;
  // AutoExpand.
  f.Tree->FullCollapse();
  f.Tree->AutoExpand = true;
  f.Tree->SetSelected(f.A);
  EXPECT_TRUE(f.A->Expanded());
  f.Tree->SetSelected(f.A1);  // a child: its parent stays open
  EXPECT_TRUE(f.A->Expanded());
  EXPECT_TRUE(f.A1->Expanded());
  f.Tree->SetSelected(f.B);
  EXPECT_FALSE(f.A1->Expanded());
  f.Tree->AutoExpand = false;
  f.Tree->FullExpand();
  // RowSelect: the selected row is highlighted to the right edge, and a click there selects.
  const TRect a2 = f.Tree->DisplayRect(f.A2, true);
  const TPoint farRight(f.Tree->ClientWidth() - 4, (a2.Top + a2.Bottom) / 2);
  SendMouseClick(f.Tree, farRight);
  EXPECT_EQ(f.Tree->Selected(), f.B) << "beyond the label without RowSelect";
  f.Tree->RowSelect = true;
  SendMouseClick(f.Tree, farRight);
  EXPECT_EQ(f.Tree->Selected(), f.A2);
  TBitmap b;
  GrabControl(f.Tree, &b);
  EXPECT_EQ(b.Canvas()->Pixels(farRight.X, farRight.Y), ColorToRGB(clHighlight));
  f.Tree->RowSelect = false;
  // HotTrack: the label under the mouse is hot and drawn otherwise; leaving clears it.
  f.Tree->HotTrack = true;
  auto labelInk = [&](TvmTreeNode* N) {
    TBitmap g;
    GrabControl(f.Tree, &g);
    const TRect r = f.Tree->DisplayRect(N, true);
    int hot = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) hot += g.Canvas()->Pixels(x, y) == ColorToRGB(clHotLight);
    return hot;
  };
  EXPECT_EQ(labelInk(f.A1), 0);
  f.Tree->DispatchMouseMove({}, f.LabelOf(f.A1).X, f.LabelOf(f.A1).Y);
  EXPECT_EQ(f.Tree->HotNode(), f.A1);
  EXPECT_GT(labelInk(f.A1), 0);
  f.Tree->DispatchMouseLeave();
  EXPECT_EQ(f.Tree->HotNode(), nullptr);
  EXPECT_EQ(labelInk(f.A1), 0);
}

// OnCustomDrawItem colours a node through the canvas or draws it itself; OnAdvancedCustomDraw
// frames the painting and can take it over; with either, OnCustomDraw is not asked.
TEST(TreeView, CustomDrawItemAndAdvancedCustomDraw) {
  TTreeFixture f;
  bool oldAsked = false;
  f.Tree->OnCustomDraw = [&](TObject*, TvmTreeNode*, TFont*, TColor&, TColor&) { oldAsked = true; };
  std::vector<TCustomDrawStage> stages;
  f.Tree->OnAdvancedCustomDraw = [&](TObject*, const TRect&, TCustomDrawStage Stage, bool&) {
    stages.push_back(Stage);
  };
  f.Tree->OnCustomDrawItem = [&](TObject* Sender, TvmTreeNode* N, TCustomDrawState State, bool& DefaultDraw) {
    TCanvas* c = static_cast<TCustomvmTreeView*>(Sender)->PaintCanvas();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(State.Contains(cdsSelected), N == f.Tree->Selected());
    if (N == f.A1) c->Brush()->SetColor(clYellow);
    if (N == f.A2) {
      // Drawn by the handler alone: a green block instead of the label.
      const TRect r = f.Tree->DisplayRect(N, false);
      FillRectColor(c, Rect(0, r.Top, 10, r.Bottom), clLime);
      DefaultDraw = false;
    }
  };
  TBitmap b;
  f.Tree->Invalidate();
  GrabControl(f.Tree, &b);
  EXPECT_FALSE(oldAsked);
  ASSERT_EQ(stages.size(), 2u);
  EXPECT_EQ(stages[0], cdPrePaint);
  EXPECT_EQ(stages[1], cdPostPaint);
  const TRect a1 = f.Tree->DisplayRect(f.A1, true), a2 = f.Tree->DisplayRect(f.A2, true);
  EXPECT_EQ(b.Canvas()->Pixels(a1.Left + 4, a1.Top + 4), ColorToRGB(clYellow));
  EXPECT_EQ(b.Canvas()->Pixels(6, (a2.Top + a2.Bottom) / 2), ColorToRGB(clLime));
  int ink = 0;  // no label text of its own (the grab includes the 2-pixel frame)
  for (int y = a2.Top + 2; y < a2.Bottom + 2; ++y)
    for (int x = a2.Left + 2; x < a2.Right + 2; ++x) ink += b.Canvas()->Pixels(x, y) != ColorToRGB(clWindow);
  EXPECT_EQ(ink, 0);
  // The advanced handler refusing the pre-paint draws no node at all.
  f.Tree->OnAdvancedCustomDraw = [](TObject*, const TRect&, TCustomDrawStage Stage, bool& DefaultDraw) {
    if (Stage == cdPrePaint) DefaultDraw = false;
  };
  f.Tree->Invalidate();
  GrabControl(f.Tree, &b);
  EXPECT_EQ(b.Canvas()->Pixels(a1.Left + 4, a1.Top + 4), ColorToRGB(clWindow));
}

// A form keeps the tree's settings and its image lists by name; the rows follow a new size of
// either list.
TEST(TreeView, SettingsAndImageListsReadBackWithAFormAndRowsFollowTheLists) {
  TTreeFixture f;
  f.Tree->SetName("Tree");
  f.Other->SetName("Other");
  auto* images = new TImageList(f.Form.get());
  images->SetName("Pictures");
  auto* states = new TImageList(f.Form.get());
  states->SetName("States");
  f.Tree->SetImages(images);
  f.Tree->SetStateImages(states);
  const int rows = f.Tree->RowHeight();
  images->SetHeight(rows + 10);
  EXPECT_EQ(f.Tree->RowHeight(), rows + 11);
  states->SetHeight(rows + 20);
  EXPECT_EQ(f.Tree->RowHeight(), rows + 21);
  f.Tree->SetSortType(stText);
  f.Tree->Options = {trCanDelete};
  f.Tree->SetIndent(25);
  f.Tree->HotTrack = true;
  f.Tree->ShowLines = false;
  f.A1->ImageIndex = 3;
  f.A1->SelectedIndex = 4;
  f.A1a->StateIndex = 1;
  f.A->Expand(false);
  const std::string text = ComponentToText(f.Form.get());
  for (const char* written : {"Images = Pictures", "StateImages = States", "SortType = stText",
                              "Options = [trCanDelete]", "Indent = 25", "HotTrack = True", "ShowLines = False"})
    EXPECT_NE(text.find(written), std::string::npos) << written << "\n" << text;
  EXPECT_EQ(text.find("RowSelect"), std::string::npos);  // defaults are not written

  const bool known = GetClass("TvmTreeView") != nullptr;
  if (!known) RegisterClasses({TvmTreeView::StaticClass()});
  TScopeExit unregister([known] {
    if (!known) UnRegisterClasses({TvmTreeView::StaticClass()});
  });
  TForm copy(nullptr);
  TextToComponent(text, &copy);
  auto* t = dynamic_cast<TvmTreeView*>(copy.FindComponent("Tree"));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->Images(), copy.FindComponent("Pictures"));
  EXPECT_EQ(t->StateImages(), copy.FindComponent("States"));
  EXPECT_EQ(t->SortType(), stText);
  EXPECT_EQ(t->Options, TvmTreeViewOptions{trCanDelete});
  EXPECT_EQ(t->Indent(), 25);
  EXPECT_TRUE(t->HotTrack);
  EXPECT_FALSE(t->ShowLines);
  EXPECT_EQ(t->RowHeight(), rows + 21);
  // The nodes come back in their order and levels, with their pictures and expanded states.
  const auto nodes = [](TvmTreeView* Tree) {
    std::string r;
    for (TvmTreeNode* n = Tree->GetFirstNode(); n; n = n->GetNext())
      r += std::to_string(n->Level()) + n->Text() + (n->Expanded() ? "+" : "") + " ";
    return r;
  };
  EXPECT_EQ(nodes(t), nodes(f.Tree));
  EXPECT_EQ(nodes(t).substr(0, 3), "0A+");
  TvmTreeNode* a1 = t->GetFirstNode()->GetFirstChild();
  EXPECT_EQ(a1->ImageIndex, 3);
  EXPECT_EQ(a1->SelectedIndex, 4);
  EXPECT_EQ(a1->GetFirstChild()->StateIndex, 1);
  // A damaged node stream is refused, not followed.
  for (const std::vector<int32_t>& damaged :
       std::vector<std::vector<int32_t>>{{1000000}, {1, 5, -1, -1, -1, 0, 0}, {1, 0, -1, -1, -1, 0, 1 << 30}}) {
    TMemoryStream m;
    m.WriteBuffer(damaged.data(), static_cast<int64_t>(damaged.size() * sizeof(int32_t)));
    m.SetPosition(0);
    EXPECT_THROW(t->ReadItems(m), EReadError) << damaged.size();
  }
  // The copy's lists keep it informed too, and freeing them leaves no reference.
  delete copy.FindComponent("States");
  EXPECT_EQ(t->StateImages(), nullptr);
  EXPECT_EQ(t->RowHeight(), rows + 11);
}

}  // namespace
