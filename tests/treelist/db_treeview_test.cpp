// The data-aware tree view over an in-memory table: the tree from key and parent fields, the
// node of the current record, and the tree's changes written back into the records.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/mem_data.h"
#include "platform/forms.h"
#include "treelist/db_treeview.h"

namespace {

struct TTreeViewFixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVxMemoryData* Table = nullptr;
  TDataSource* Source = nullptr;
  TvmDBTreeView* TV = nullptr;

  explicit TTreeViewFixture(const std::vector<std::tuple<int, int, std::string>>& Rows) {
    Form->SetBounds(0, 0, 300, 300);
    Table = new TVxMemoryData(Form.get());
    Table->FieldDefs()->Add("ID", ftInteger);
    Table->FieldDefs()->Add("PARENT", ftInteger);
    Table->FieldDefs()->Add("NAME", ftString, 20);
    Table->Open();
    for (auto& [id, parent, name] : Rows) {
      Table->Append();
      Table->FieldByName("ID")->SetAsInteger(id);
      if (parent) Table->FieldByName("PARENT")->SetAsInteger(parent);
      Table->FieldByName("NAME")->SetAsString(name);
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
    TV->SetDataSource(Source);
    Form->Show();
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
  std::string CurrentName() { return Table->FieldByName("NAME")->AsString(); }
};

const std::vector<std::tuple<int, int, std::string>> kRows = {
    {1, 0, "root"}, {2, 1, "a"}, {3, 1, "b"}, {4, 2, "a1"}, {5, 99, "orphan"}, {6, 6, "self"}, {7, 8, "x"}, {8, 7, "y"}};

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

}  // namespace
