// The data-aware tree view over an in-memory table: the tree from key and parent fields, the
// node of the current record, and the tree's changes written back into the records.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "controls/mem_data.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/richedit.h"
#include "platform/stdctrls.h"
#include "platform/streaming.h"
#include "treelist/db_treeview.h"

namespace {

struct TTreeViewFixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVxMemoryData* Table = nullptr;
  TDataSource* Source = nullptr;
  TvmDBTreeView* TV = nullptr;

  explicit TTreeViewFixture(const std::vector<std::tuple<int, int, std::string>>& Rows,
                            std::optional<TvmDBTreeViewOptions> Options = std::nullopt, bool WithNote = false,
                            bool WithPictures = false) {
    Form->SetBounds(0, 0, 300, 300);
    Table = new TVxMemoryData(Form.get());
    Table->FieldDefs()->Add("ID", ftInteger);
    Table->FieldDefs()->Add("PARENT", ftInteger);
    Table->FieldDefs()->Add("NAME", ftString, 20);
    if (WithNote) Table->FieldDefs()->Add("NOTE", ftString, 20);
    if (WithPictures) {
      Table->FieldDefs()->Add("PIC", ftInteger);
      Table->FieldDefs()->Add("STATE", ftInteger);
    }
    Table->Open();
    for (auto& [id, parent, name] : Rows) {
      Table->Append();
      Table->FieldByName("ID")->SetAsInteger(id);
      if (parent) Table->FieldByName("PARENT")->SetAsInteger(parent);
      Table->FieldByName("NAME")->SetAsString(name);
      if (WithNote) Table->FieldByName("NOTE")->SetAsString("note of " + name);
      // Picture 0 for even keys, 1 for odd ones; the state picture only on the root.
      if (WithPictures) Table->FieldByName("PIC")->SetAsInteger(id % 2);
      if (WithPictures && !parent) Table->FieldByName("STATE")->SetAsInteger(0);
      Table->Post();
    }
    Table->First();
    Source = new TDataSource(Form.get());
    Source->SetDataSet(Table);
    TV = new TvmDBTreeView(Form.get());
    TV->SetParent(Form.get());
    TV->SetBounds(0, 0, 280, 280);
    TV->SetKeyField("ID");
    TV->SetParentField("PARENT");
    TV->SetListField("NAME");
    if (Options) TV->SetDBOptions(*Options);
    TV->SetDataSource(Source);
    Form->Show();
    Application->ProcessMessages();
  }
  TvmTreeNode* Node(const std::string& Text) {
    for (TvmTreeNode* n = TV->GetFirstNode(); n; n = n->GetNext())
      if (n->Text() == Text) return n;
    return nullptr;
  }
  std::string ParentOf(const std::string& Text) {
    TvmTreeNode* n = Node(Text);
    return !n ? "?" : n->Parent() ? n->Parent()->Text() : std::string();
  }
  bool Locate(int Id) { return Table->Locate("ID", Variant(Id), TLocateOptions()); }
  TvmDBTreeNode* DB(const std::string& Text) { return static_cast<TvmDBTreeNode*>(Node(Text)); }
  // The name and parent of the record of a key ("?" when there is none).
  std::string Record(int Id) {
    if (!Locate(Id)) return "?";
    TField* p = Table->FieldByName("PARENT");
    return CurrentName() + "/" + (p->IsNull() ? std::string("-") : std::to_string(p->AsInteger()));
  }
  std::string CurrentName() { return Table->FieldByName("NAME")->AsString(); }
};

const std::vector<std::tuple<int, int, std::string>> kRows = {{1, 0, "root"}, {2, 1, "a"},       {3, 1, "b"},
                                                              {4, 2, "a1"},   {5, 99, "orphan"}, {6, 6, "self"},
                                                              {7, 8, "x"},    {8, 7, "y"}};

TEST(DBTreeView, BuildsTheTreeAndFindsTheNodeOfTheCurrentRecord) {
  TTreeViewFixture f(kRows);
  EXPECT_EQ(f.TV->Count(), 8);
  EXPECT_EQ(f.ParentOf("a1"), "a");
  EXPECT_EQ(f.ParentOf("b"), "root");
  // A missing parent, a record that is its own parent, and a cycle: top-level nodes, no hang.
  EXPECT_EQ(f.ParentOf("orphan"), "");
  EXPECT_EQ(f.ParentOf("self"), "");
  EXPECT_TRUE(f.ParentOf("x").empty() != f.ParentOf("y").empty());
  // The node of the current record, and the selection following the dataset.
  ASSERT_TRUE(f.Locate(4));
  EXPECT_EQ(f.TV->FindRecordNode(), f.Node("a1"));
  EXPECT_EQ(f.TV->Selected(), f.Node("a1"));
  // The key index finds nodes by binary search.
  int at = -1;
  EXPECT_TRUE(f.TV->DBNodes()->FindIndex(Variant(5), at));
  EXPECT_EQ(f.TV->DBNodes()->Items(at), f.Node("orphan"));
  EXPECT_FALSE(f.TV->DBNodes()->FindIndex(Variant(100), at));
  EXPECT_EQ(at, f.TV->DBNodes()->Count());
}

TEST(DBTreeView, FollowsTheDataSetsChanges) {
  TTreeViewFixture f(kRows);
  // A record inserted elsewhere gets its node and is selected.
  f.Table->Append();
  f.Table->FieldByName("ID")->SetAsInteger(10);
  f.Table->FieldByName("PARENT")->SetAsInteger(3);
  f.Table->FieldByName("NAME")->SetAsString("b1");
  f.Table->Post();
  EXPECT_EQ(f.ParentOf("b1"), "b");
  // The missing parent arrives: the orphan moves under it after the reload.
  f.Table->Append();
  f.Table->FieldByName("ID")->SetAsInteger(99);
  f.Table->FieldByName("NAME")->SetAsString("found");
  f.Table->Post();
  EXPECT_EQ(f.ParentOf("orphan"), "found");
  // An edited text and parent.
  ASSERT_TRUE(f.Locate(4));
  f.Table->Edit();
  f.Table->FieldByName("NAME")->SetAsString("a1x");
  f.Table->FieldByName("PARENT")->SetAsInteger(3);
  f.Table->Post();
  EXPECT_EQ(f.ParentOf("a1x"), "b");
  // A deleted record loses its node.
  ASSERT_TRUE(f.Locate(2));
  f.Table->Delete();
  EXPECT_EQ(f.Node("a"), nullptr);
}

TEST(DBTreeView, WritesTheTreesChangesBack) {
  TTreeViewFixture f(kRows);
  // Selecting a node moves the dataset.
  f.TV->SetSelected(f.Node("b"));
  EXPECT_EQ(f.CurrentName(), "b");
  // A node added by code gets the next key and its record.
  TvmTreeNode* added = f.TV->AddChild(f.Node("root"), "new");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(static_cast<TvmDBTreeNode*>(added)->KeyValue.AsInteger(), 9);
  ASSERT_TRUE(f.Locate(9));
  EXPECT_EQ(f.CurrentName(), "new");
  EXPECT_EQ(f.Table->FieldByName("PARENT")->AsInteger(), 1);
  // Moving a node writes its new parent; to the top level it takes its own key (no RootValue).
  f.Node("a1")->MoveTo(f.Node("b"), naAddChild);
  ASSERT_TRUE(f.Locate(4));
  EXPECT_EQ(f.Table->FieldByName("PARENT")->AsInteger(), 3);
  f.Node("a1")->MoveTo(nullptr, naAdd);
  ASSERT_TRUE(f.Locate(4));
  EXPECT_EQ(f.Table->FieldByName("PARENT")->AsInteger(), 4);
  // A text set by code goes into the list field.
  f.TV->ChangeNodeText(static_cast<TvmDBTreeNode*>(f.Node("b")), "bee");
  ASSERT_TRUE(f.Locate(3));
  EXPECT_EQ(f.CurrentName(), "bee");
  // A refused action keeps the record; an allowed one deletes it.
  bool allow = false;
  f.TV->OnDBAction = [&](TObject*, TvmDBTreeNode*, TvmDBTreeNode*, TvmDBTreeViewAction A, bool& Automatic) {
    if (A == trDBDelete) Automatic = allow;
  };
  f.Node("self")->Delete();
  EXPECT_TRUE(f.Locate(6));
  allow = true;
  f.Node("orphan")->Delete();
  EXPECT_FALSE(f.Locate(5));
  EXPECT_EQ(f.Table->RecordCount(), 8);
}

TEST(DBTreeView, AfterADeletionTheDataSetFollowsTheNewSelection) {
  TTreeViewFixture f(kRows);
  f.TV->SetSelected(f.Node("a"));
  ASSERT_EQ(f.CurrentName(), "a");
  f.Node("a")->Delete();
  EXPECT_FALSE(f.Locate(2));
  EXPECT_FALSE(f.Locate(4));
  Application->ProcessMessages();
  ASSERT_NE(f.TV->Selected(), nullptr);
  EXPECT_EQ(f.TV->Selected()->Text(), "b");
  EXPECT_EQ(f.CurrentName(), "b");
}

TEST(DBTreeView, NewKeysAndSafeComparisons) {
  TTreeViewFixture f({});
  TvmTreeNode* first = f.TV->Add(nullptr, "one");
  TvmTreeNode* second = f.TV->Add(nullptr, "two");
  EXPECT_EQ(static_cast<TvmDBTreeNode*>(first)->KeyValue.AsInteger(), 0);
  EXPECT_EQ(static_cast<TvmDBTreeNode*>(second)->KeyValue.AsInteger(), 1);
  // A top-level node inserted while RootValue is null gets its own key as parent value.
  ASSERT_TRUE(f.Locate(1));
  EXPECT_EQ(f.Table->FieldByName("PARENT")->AsInteger(), 1);
  EXPECT_FALSE(VarSafeLess(Variant("a"), Variant(1)));
  EXPECT_FALSE(VarSafeEquals(Variant(), Variant()));
  EXPECT_TRUE(VarSafeGreater(Variant(2.5), Variant(2)));
}

const TvmDBTreeViewOptions kSmart = {trCanDBNavigate, trSmartRecordLoad, trCheckHasChildren};

// With a sorting type the data-aware tree sorts its nodes after loading, the whole tree and the
// children a smart load reads on expanding.
TEST(DBTreeView, SortsTheNodesAfterLoadingWithASortingType) {
  const std::vector<std::tuple<int, int, std::string>> rows = {
      {1, 0, "root"}, {2, 1, "zeta"}, {3, 1, "Beta"}, {4, 1, "alpha"}, {5, 0, "Apex"}};
  auto children = [](TvmTreeNode* N) {
    std::string s;
    for (int i = 0; i < N->Count(); ++i) s += N->Item(i)->Text() + " ";
    return s;
  };
  for (bool smart : {false, true}) {
    SCOPED_TRACE(smart ? "smart" : "full");
    std::optional<TvmDBTreeViewOptions> options;
    if (smart) options = kSmart;
    TTreeViewFixture f(rows, options);
    f.TV->SetSortType(stText);
    EXPECT_EQ(f.TV->TopItem(0)->Text(), "Apex");
    f.Node("root")->Expand(false);
    EXPECT_EQ(children(f.Node("root")), "alpha Beta zeta ");
    // A reload keeps the order.
    f.Table->Append();
    f.Table->FieldByName("ID")->SetAsInteger(6);
    f.Table->FieldByName("PARENT")->SetAsInteger(1);
    f.Table->FieldByName("NAME")->SetAsString("gamma");
    f.Table->Post();
    f.TV->FullCollapse();
    f.Node("root")->Expand(false);
    EXPECT_EQ(children(f.Node("root")), "alpha Beta gamma zeta ");
  }
}

TEST(DBTreeViewSmartLoad, LoadsChildrenOnExpandAndFreesThemOnCollapse) {
  // The records are not ordered by their parent field: the top level is found all the same.
  TTreeViewFixture f(kRows, kSmart);
  // The top level: the root, the record whose parent does not exist and the one that is its own
  // parent; the cycle x/y has no way in from the top.
  EXPECT_EQ(f.TV->Count(), 3);
  ASSERT_NE(f.Node("root"), nullptr);
  EXPECT_EQ(f.ParentOf("orphan"), "");
  EXPECT_EQ(f.ParentOf("self"), "");
  EXPECT_TRUE(f.Node("root")->HasChildren());
  EXPECT_FALSE(f.Node("orphan")->HasChildren());
  EXPECT_FALSE(f.Node("self")->HasChildren());
  f.Node("root")->Expand(false);
  EXPECT_EQ(f.TV->Count(), 5);
  EXPECT_EQ(f.ParentOf("a"), "root");
  EXPECT_TRUE(f.Node("a")->HasChildren());
  EXPECT_FALSE(f.Node("b")->HasChildren());
  EXPECT_EQ(f.Node("a1"), nullptr);
  // Collapsing frees the child nodes but not their records, and keeps the expand button.
  f.Node("root")->Collapse(false);
  EXPECT_EQ(f.TV->Count(), 3);
  EXPECT_EQ(f.Table->RecordCount(), 8);
  EXPECT_TRUE(f.Node("root")->HasChildren());
  EXPECT_EQ(f.TV->DBNodes()->Count(), 3);
  // A record added elsewhere under an expanded node appears; under a closed one it waits.
  f.Node("root")->Expand(false);
  f.Table->Append();
  f.Table->FieldByName("ID")->SetAsInteger(20);
  f.Table->FieldByName("PARENT")->SetAsInteger(1);
  f.Table->FieldByName("NAME")->SetAsString("c");
  f.Table->Post();
  EXPECT_EQ(f.ParentOf("c"), "root");
}

TEST(DBTreeViewSmartLoad, TheRecordsNodeIsLoadedWithItsAncestorsWhenTheDataSetMovesThere) {
  TTreeViewFixture f(kRows, kSmart);
  ASSERT_EQ(f.TV->FindRecordNode(), f.Node("root"));
  ASSERT_TRUE(f.Locate(4));
  TvmTreeNode* a1 = f.TV->FindRecordNode();
  ASSERT_NE(a1, nullptr);
  EXPECT_EQ(a1->Text(), "a1");
  EXPECT_EQ(f.ParentOf("a1"), "a");
  EXPECT_EQ(f.ParentOf("a"), "root");
  EXPECT_EQ(f.TV->Selected(), a1);
  EXPECT_TRUE(a1->IsVisible());
  EXPECT_EQ(f.CurrentName(), "a1");
  // A record of a parent cycle: the walk up stops where a key comes round again.
  ASSERT_TRUE(f.Locate(7));
  ASSERT_NE(f.TV->FindRecordNode(), nullptr);
  EXPECT_EQ(f.TV->Selected()->Text(), "x");
  EXPECT_EQ(f.CurrentName(), "x");
  // Selecting a node still moves the dataset.
  f.TV->SetSelected(f.Node("b"));
  EXPECT_EQ(f.CurrentName(), "b");
  // A parent changed elsewhere moves the node, also under the cycle's node loaded above.
  ASSERT_TRUE(f.Locate(4));
  f.Table->Edit();
  f.Table->FieldByName("PARENT")->SetAsInteger(3);
  f.Table->Post();
  EXPECT_EQ(f.ParentOf("a1"), "b");
  f.Table->Edit();
  f.Table->FieldByName("PARENT")->SetAsInteger(8);
  f.Table->Post();
  EXPECT_EQ(f.ParentOf("a1"), "y");
  EXPECT_EQ(f.TV->Selected(), f.Node("a1"));
}

// Random parent links with self-parents, cycles and missing parents: every record's node is found
// (and selected) with either loading, the index matches the tree, and nothing hangs.
TEST(DBTreeViewSmartLoad, RandomParentLinksNeverHangAndEveryRecordGetsItsNode) {
  std::mt19937 random(29);
  std::vector<std::tuple<int, int, std::string>> rows;
  for (int id = 1; id <= 60; ++id) {
    const int parent = std::uniform_int_distribution<int>(0, 70)(random);  // 0: none; over 60: missing
    rows.emplace_back(id, parent, "n" + std::to_string(id));
  }
  for (bool smart : {false, true}) {
    TTreeViewFixture f(rows, smart ? kSmart : TvmDBTreeViewOptions{trCanDBNavigate});
    for (int id = 1; id <= 60; ++id) {
      ASSERT_TRUE(f.Locate(id));
      TvmDBTreeNode* n = f.TV->FindRecordNode();
      ASSERT_NE(n, nullptr) << id << (smart ? " smart" : "");
      EXPECT_EQ(n->KeyValue.AsInteger(), id);
      EXPECT_EQ(f.TV->Selected(), n);
      EXPECT_EQ(f.TV->DBNodes()->Count(), f.TV->Count());
    }
    f.TV->FullCollapse();
    f.TV->FullExpand();
    EXPECT_EQ(f.TV->DBNodes()->Count(), f.TV->Count());
    if (!smart) {
      EXPECT_EQ(f.TV->Count(), 60);
    }
  }
}

TEST(DBTreeViewSmartLoad, WithoutTheChildCheckEveryNodeOffersToExpand) {
  TTreeViewFixture f(kRows, TvmDBTreeViewOptions{trCanDBNavigate, trSmartRecordLoad});
  for (const char* name : {"root", "orphan", "self"}) EXPECT_TRUE(f.Node(name)->HasChildren()) << name;
  // Expanding a node without children takes its button away.
  f.Node("orphan")->Expand(false);
  EXPECT_FALSE(f.Node("orphan")->HasChildren());
  EXPECT_FALSE(f.Node("orphan")->Expanded());
  f.Node("root")->Expand(false);
  EXPECT_TRUE(f.Node("root")->Expanded());
  EXPECT_EQ(f.TV->Count(), 5);
}

TEST(DBTreeViewSmartLoad, DeletingANodeDeletesTheRecordsOfDescendantsNeverExpanded) {
  TTreeViewFixture f(kRows, kSmart);
  f.Node("root")->Delete();
  for (int id : {1, 2, 3, 4}) EXPECT_FALSE(f.Locate(id)) << id;
  EXPECT_EQ(f.Table->RecordCount(), 4);
  EXPECT_EQ(f.TV->DBNodes()->Count(), f.TV->Count());
}

TEST(DBTreeViewSmartLoad, AMoveToTheTopLevelWritesTheRootValue) {
  TTreeViewFixture f(kRows, kSmart);
  f.TV->SetRootValue(Variant(0));
  ASSERT_TRUE(f.Locate(4));
  ASSERT_NE(f.Node("a1"), nullptr);
  f.Node("a1")->MoveTo(nullptr, naAdd);
  ASSERT_TRUE(f.Locate(4));
  EXPECT_EQ(f.Table->FieldByName("PARENT")->AsInteger(), 0);
  EXPECT_FALSE(f.Table->FieldByName("PARENT")->IsNull());
}

TEST(DBTreeViewLabelEdit, WritesTheEditedTextIntoTheListField) {
  TTreeViewFixture f(kRows);
  // Ending the edit writes the record; the dataset is back in browse state.
  ASSERT_TRUE(f.TV->BeginEdit(f.Node("b")));
  EXPECT_EQ(f.TV->LabelEditor()->Text(), "b");
  EXPECT_EQ(f.TV->LabelEditor()->MaxLength(), 20);
  f.TV->LabelEditor()->SetText("bee");
  f.TV->EndEdit(false);
  EXPECT_EQ(f.Record(3), "bee/1");
  EXPECT_EQ(f.Table->State(), dsBrowse);
  ASSERT_NE(f.Node("bee"), nullptr);
  // A cancelled edit changes neither the node nor the record.
  ASSERT_TRUE(f.TV->BeginEdit(f.Node("a")));
  f.TV->LabelEditor()->SetText("zzz");
  f.TV->EndEdit(true);
  EXPECT_EQ(f.Record(2), "a/1");
  EXPECT_NE(f.Node("a"), nullptr);
  // A refused change keeps the record; the node keeps what the user typed.
  f.TV->OnDBAction = [](TObject*, TvmDBTreeNode*, TvmDBTreeNode*, TvmDBTreeViewAction A, bool& Automatic) {
    if (A == trDBChangeText) Automatic = false;
  };
  ASSERT_TRUE(f.TV->BeginEdit(f.Node("a1")));
  f.TV->LabelEditor()->SetText("q");
  f.TV->EndEdit(false);
  EXPECT_NE(f.Node("q"), nullptr);
  EXPECT_EQ(f.Record(4), "a1/2");
  // The program's own edited handler still sees the text first and may change it.
  f.TV->OnDBAction = nullptr;
  f.TV->OnEdited = [](TObject*, TvmTreeNode*, std::string& S) { S += "!"; };
  ASSERT_TRUE(f.TV->BeginEdit(f.Node("root")));
  f.TV->LabelEditor()->SetText("top");
  f.TV->EndEdit(false);
  EXPECT_EQ(f.Record(1), "top!/-");
  EXPECT_NE(f.Node("top!"), nullptr);
}

TEST(DBTreeViewLabelEdit, WithDisplayFieldsTheEditorShowsTheListFieldAndTheNodeIsComposedAgain) {
  TTreeViewFixture f(kRows);
  f.TV->SetDisplayField("ID;NAME");
  ASSERT_NE(f.Node("2 - a"), nullptr);
  ASSERT_TRUE(f.TV->BeginEdit(f.Node("2 - a")));
  EXPECT_EQ(f.TV->LabelEditor()->Text(), "a");
  f.TV->LabelEditor()->SetText("aa");
  f.TV->EndEdit(false);
  EXPECT_EQ(f.Record(2), "aa/1");
  EXPECT_NE(f.Node("2 - aa"), nullptr);
  // A list field that cannot change makes the editor read-only; nothing is written.
  f.Table->FieldByName("NAME")->SetReadOnly(true);
  ASSERT_TRUE(f.TV->BeginEdit(f.Node("3 - b")));
  EXPECT_TRUE(f.TV->LabelEditor()->ReadOnly());
  f.TV->LabelEditor()->SetText("nope");
  f.TV->EndEdit(false);
  EXPECT_EQ(f.Record(3), "b/1");
  EXPECT_NE(f.Node("3 - b"), nullptr);
  // The key as list field is not changed through a node's text: the node would lose its record.
  f.Table->FieldByName("NAME")->SetReadOnly(false);
  f.TV->SetDisplayField("");
  f.TV->SetListField("ID");
  ASSERT_TRUE(f.TV->BeginEdit(f.Node("2")));
  EXPECT_TRUE(f.TV->LabelEditor()->ReadOnly());
  f.TV->LabelEditor()->SetText("77");
  f.TV->EndEdit(false);
  EXPECT_EQ(f.Record(2), "aa/1");
  EXPECT_FALSE(f.Locate(77));
  f.TV->ChangeNodeText(static_cast<TvmDBTreeNode*>(f.Node("3")), "78");
  EXPECT_FALSE(f.Locate(78));
  EXPECT_EQ(f.Record(3), "b/1");
}

TEST(DBTreeViewCopy, CopiedNodesGetKeysAndRecordsUnderTheirNewParents) {
  TTreeViewFixture f(kRows);
  // A drag with the copy modifier inside the tree: "a" and its child go under "b".
  f.TV->SetFocus();
  f.TV->SetSelected(f.Node("a"));
  f.TV->BeginNodeDrag();
  f.TV->DragEnter();
  TRect target = f.TV->DisplayRect(f.Node("b"), true);
  const int x = target.Left + 3, y = (target.Top + target.Bottom) / 2;
  EXPECT_TRUE(f.TV->DragMove(x, y, {ssCtrl}));
  EXPECT_EQ(f.TV->CurrentDragCursor(), crTreeDragCopy);
  f.TV->DragDropAt(x, y, {ssCtrl});
  EXPECT_EQ(f.Table->RecordCount(), 10);
  EXPECT_EQ(f.Record(9), "a/3");
  EXPECT_EQ(f.Record(10), "a1/9");
  // The originals are untouched, and the copies are indexed by their new keys.
  EXPECT_EQ(f.Record(2), "a/1");
  EXPECT_EQ(f.Record(4), "a1/2");
  TvmDBTreeNode* copy = f.TV->DBNodes()->NodeByKey(Variant(9));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Parent(), f.Node("b"));
  EXPECT_EQ(copy->Item(0), f.TV->DBNodes()->NodeByKey(Variant(10)));
  EXPECT_EQ(f.TV->DBNodes()->Count(), f.TV->Count());
  // A refused copy leaves the dataset alone.
  f.TV->OnDBAction = [](TObject*, TvmDBTreeNode*, TvmDBTreeNode*, TvmDBTreeViewAction A, bool& Automatic) {
    if (A == trDBMove) Automatic = false;
  };
  f.TV->DropNodes(f.Node("self"), f.Node("root"), true);
  EXPECT_EQ(f.Table->RecordCount(), 10);
}

TEST(DBTreeViewCopy, CopyingBetweenTreesBringsTheOtherFieldsWithSmartRecordCopy) {
  TTreeViewFixture from(kRows, std::nullopt, true);
  TTreeViewFixture to({{1, 0, "top"}}, std::nullopt, true);
  to.TV->DropNodes(from.Node("a"), to.Node("top"), true);
  EXPECT_EQ(to.Record(2), "a/1");
  EXPECT_EQ(to.Table->FieldByName("NOTE")->AsString(), "note of a");
  EXPECT_EQ(to.Record(3), "a1/2");
  EXPECT_EQ(to.Table->FieldByName("NOTE")->AsString(), "note of a1");
  EXPECT_EQ(to.ParentOf("a1"), "a");
  // The source keeps its records and stays on its record.
  EXPECT_EQ(from.Table->RecordCount(), 8);
  // Without the option only the key, parent and list fields are written.
  to.TV->SetDBOptions(TvmDBTreeViewOptions{trCanDBNavigate});
  to.TV->DropNodes(from.Node("b"), nullptr, true);
  ASSERT_TRUE(to.Locate(4));
  EXPECT_EQ(to.CurrentName(), "b");
  EXPECT_TRUE(to.Table->FieldByName("NOTE")->IsNull());
  // A top-level copy with a null RootValue is its own parent.
  EXPECT_EQ(to.Table->FieldByName("PARENT")->AsInteger(), 4);
}

TEST(DBTreeViewCopy, NodesOfAPlainTreeBecomeRecords) {
  TTreeViewFixture f(kRows);
  f.TV->SetDisplayField("ID;NAME");
  auto* plain = new TvmTreeView(f.Form.get());
  plain->SetParent(f.Form.get());
  TvmTreeNode* src = plain->AddChild(nullptr, "plain");
  plain->AddChild(src, "kid");
  f.TV->DropNodes(src, f.Node("1 - root"), true);
  EXPECT_EQ(f.Record(9), "plain/1");
  EXPECT_EQ(f.Record(10), "kid/9");
  EXPECT_NE(f.Node("10 - kid"), nullptr);
  EXPECT_EQ(plain->Count(), 2);
}

TEST(DBTreeViewDrawing, TheSelectionIsFramedWhileTheTreeHasNoFocus) {
  TTreeViewFixture f(kRows);
  auto* other = new TEdit(f.Form.get());
  other->SetParent(f.Form.get());
  other->SetBounds(0, 285, 100, 12);
  f.TV->SetSelected(f.Node("b"));
  other->SetFocus();
  Application->ProcessMessages();
  // Whether every pixel round the label of a node has the font's colour.
  auto framed = [&](const std::string& Text) {
    f.TV->Repaint();
    TBitmap shot;
    GrabControl(f.TV, &shot);
    const int ox = (f.TV->Width() - f.TV->ClientWidth()) / 2, oy = (f.TV->Height() - f.TV->ClientHeight()) / 2;
    TRect r = f.TV->DisplayRect(f.Node(Text), true);
    const TColor ink = ColorToRGB(f.TV->Font()->Color());
    int off = 0;
    for (int x = r.Left; x < r.Right; ++x)
      for (int y : {r.Top, r.Bottom - 1})
        if (shot.Canvas()->Pixels(ox + x, oy + y) != ink) ++off;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x : {r.Left, r.Right - 1})
        if (shot.Canvas()->Pixels(ox + x, oy + y) != ink) ++off;
    return off == 0;
  };
  EXPECT_TRUE(framed("b"));
  EXPECT_FALSE(framed("a"));
  // With the focus the tree shows its own highlight instead.
  f.TV->SetFocus();
  Application->ProcessMessages();
  EXPECT_FALSE(framed("b"));
}

// The image fields choose each node's picture from Images and its state picture from StateImages;
// the pictures are drawn left of the label and follow an edit of the field.
TEST(DBTreeViewDrawing, NodesShowThePicturesTheirImageFieldsName) {
  TTreeViewFixture f({{1, 0, "root"}, {2, 1, "a"}, {3, 1, "b"}}, std::nullopt, false, true);
  TImageList images(f.Form.get()), states(f.Form.get());
  images.SetWidth(8);
  images.SetHeight(8);
  states.SetWidth(8);
  states.SetHeight(8);
  for (TColor c : {clRed, clBlue, clLime}) {
    TBitmap b(8, 8);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(Rect(0, 0, 8, 8));
    (c == clLime ? states : images).Add(&b, nullptr);
  }
  f.TV->SetImages(&images);
  f.TV->SetStateImages(&states);
  f.TV->SetImageIndexField("PIC");
  f.TV->SetStateIndexField("STATE");
  f.TV->FullExpand();
  // The pixels of one colour in a node's row left of its label.
  auto inkLeftOf = [&](const std::string& Text, TColor Color) {
    f.TV->Repaint();
    TBitmap shot;
    GrabControl(f.TV, &shot);
    const int ox = (f.TV->Width() - f.TV->ClientWidth()) / 2, oy = (f.TV->Height() - f.TV->ClientHeight()) / 2;
    const TRect r = f.TV->DisplayRect(f.Node(Text), true);
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = 0; x < r.Left; ++x) n += shot.Canvas()->Pixels(ox + x, oy + y) == Color;
    return n;
  };
  EXPECT_EQ(f.DB("a")->ImageIndex, 0);
  EXPECT_EQ(inkLeftOf("a", clRed), 64);
  EXPECT_EQ(inkLeftOf("a", clBlue), 0);
  EXPECT_EQ(inkLeftOf("b", clBlue), 64);
  EXPECT_EQ(inkLeftOf("root", clLime), 64);
  EXPECT_EQ(inkLeftOf("a", clLime), 0);
  // An edit of the record's picture field changes the node's picture.
  ASSERT_TRUE(f.Locate(2));
  f.Table->Edit();
  f.Table->FieldByName("PIC")->SetAsInteger(1);
  f.Table->Post();
  ASSERT_TRUE(f.Locate(1));  // the selected node would show its selected picture
  EXPECT_EQ(inkLeftOf("a", clBlue), 64);
  EXPECT_EQ(inkLeftOf("a", clRed), 0);
}

// A form keeps the data-aware tree's data source, its own options (even none of them), its root
// value and the plain tree's settings.
TEST(DBTreeViewStreaming, SettingsReadBackWithTheForm) {
  TForm form(nullptr);
  form.SetName("Holder");
  auto* source = new TDataSource(&form);
  source->SetName("Source");
  auto* tv = new TvmDBTreeView(&form);
  tv->SetName("Tree");
  tv->SetParent(&form);
  tv->SetDataSource(source);
  tv->SetKeyField("ID");
  tv->SetRootValue(Variant(std::string("0")));
  tv->SetDBOptions({});
  tv->RaiseOnError = false;
  tv->SetSortType(stText);
  tv->SetIndent(23);
  const std::string text = ComponentToText(&form);
  for (const char* written : {"DataSource = Source", "Options = []", "RootValue = '0'", "RaiseOnError = False",
                              "SortType = stText", "Indent = 23"})
    EXPECT_NE(text.find(written), std::string::npos) << written << "\n" << text;

  std::vector<TClass> added;
  for (TClass c : {TDataSource::StaticClass(), TvmDBTreeView::StaticClass()})
    if (!GetClass(c->ClassName())) {
      RegisterClass(c);
      added.push_back(c);
    }
  TScopeExit unregister([&] {
    for (TClass c : added) UnRegisterClass(c);
  });
  TForm copy(nullptr);
  TextToComponent(text, &copy);
  auto* t = dynamic_cast<TvmDBTreeView*>(copy.FindComponent("Tree"));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->DataSource(), copy.FindComponent("Source"));
  EXPECT_EQ(t->DBOptions(), TvmDBTreeViewOptions{});
  EXPECT_EQ(t->RootValue().AsString(), "0");
  EXPECT_FALSE(t->RaiseOnError);
  EXPECT_EQ(t->SortType(), stText);
  EXPECT_EQ(t->Indent(), 23);
  EXPECT_EQ(ComponentToText(&copy), text);
}

}  // namespace
