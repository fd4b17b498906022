// The data-aware tree list over an in-memory table: the tree built from key and parent-key
// fields, the dataset's inserts, edits, deletes, moves and filters followed by the control, the
// control's focus, edits, inserts and deletes reaching the dataset, bad parent keys, and the
// columns' summaries, masks and values.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls/mem_data.h"
#include "inspector/vm_utils.h"
#include "platform/datetime.h"
#include "platform/forms.h"
#include "platform/bitmap.h"
#include "platform/richedit.h"
#include "treelist/db_treelist.h"

namespace {

struct TDBTreeFixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVxMemoryData* Table = nullptr;
  TDataSource* Source = nullptr;
  TvmDBTreeList* TL = nullptr;

  // Records as (id, parent, name); parent 0 is written as null.
  explicit TDBTreeFixture(const std::vector<std::tuple<int, int, std::string>>& Rows,
                          TFieldType ParentType = ftInteger) {
    Form->SetBounds(0, 0, 440, 340);
    Table = new TVxMemoryData(Form.get());
    Table->FieldDefs()->Add("ID", ftInteger);
    Table->FieldDefs()->Add("PARENT", ParentType, ParentType == ftString ? 10 : 0);
    Table->FieldDefs()->Add("NAME", ftString, 20);
    Table->Open();
    for (auto& [id, parent, name] : Rows) Append(id, parent, name);
    Table->First();
    Source = new TDataSource(Form.get());
    Source->SetDataSet(Table);
    TL = new TvmDBTreeList(Form.get());
    TL->SetName("DBTL");
    TL->SetParent(Form.get());
    TL->Font()->SetName("DejaVu Sans");
    TL->Font()->SetSize(9);
    TL->SetBounds(0, 30, 400, 300);
    for (const char* f : {"NAME", "ID"}) TL->CreateColumn()->SetFieldName(f);
    TL->SetKeyField("ID");
    TL->SetParentField("PARENT");
    TL->SetDataSource(Source);
    Form->Show();
  }

  void Append(int Id, int Parent, const std::string& Name) {
    Table->Append();
    Table->FieldByName("ID")->SetAsInteger(Id);
    if (Parent) Table->FieldByName("PARENT")->SetAsString(std::to_string(Parent));
    Table->FieldByName("NAME")->SetAsString(Name);
    Table->Post();
  }

  TvmTreeListNode* Node(const std::string& Name) {
    for (TvmTreeListNode* n = TL->GetFirstNode(); n; n = n->GetNext())
      if (n->Strings(0) == Name) return n;
    return nullptr;
  }
  // The parent's name of a node ("" at the top level, "?" when the node is missing).
  std::string ParentOf(const std::string& Name) {
    TvmTreeListNode* n = Node(Name);
    if (!n) return "?";
    return n->Parent() ? n->Parent()->Strings(0) : std::string();
  }
  int NodeCount() {
    int c = 0;
    for (TvmTreeListNode* n = TL->GetFirstNode(); n; n = n->GetNext()) ++c;
    return c;
  }
  // The whole forest as "name(child,child)" in tree order.
  std::string Shape() {
    std::string s;
    std::function<void(TvmTreeListNode*)> walk = [&](TvmTreeListNode* n) {
      s += n->Strings(0);
      if (n->Count()) {
        s += "(";
        for (int i = 0; i < n->Count(); ++i) {
          if (i) s += ",";
          walk(n->Items(i));
        }
        s += ")";
      }
    };
    for (int i = 0; i < TL->Count(); ++i) {
      if (i) s += " ";
      walk(TL->Items(i));
    }
    return s;
  }
  bool Locate(int Id) { return Table->Locate("ID", Variant(Id), TLocateOptions()); }

  // Clicks the middle of a node's first cell with the given shift state.
  void Click(const std::string& Name, TShiftState Shift = TShiftState()) {
    TvmTreeListLayout L;
    TL->CalcLayout(L);
    TvmTreeListNode* n = Node(Name);
    ASSERT_NE(n, nullptr) << Name;
    for (const auto& r : L.VisibleRows)
      if (r.Node == n)
        for (const auto& h : L.HeaderCells)
          if (h.Column == 0) {
            const int x = (h.Rect.Left + h.Rect.Right) / 2, y = r.Top + r.Height / 2;
            TL->DispatchMouseDown(mbLeft, Shift, x, y);
            TL->DispatchMouseUp(mbLeft, Shift, x, y);
            return;
          }
    FAIL() << Name << " is not shown";
  }
  // The names of the selected nodes in row order, joined by spaces.
  std::string Selected() {
    std::string s;
    for (TvmTreeListNode* n = TL->GetFirstNode(); n; n = n->GetNext())
      if (TL->IsNodeSelected(n)) s += (s.empty() ? "" : " ") + n->Strings(0);
    return s;
  }
};

const std::vector<std::tuple<int, int, std::string>> kFamily = {{1, 0, "root"}, {2, 1, "a"},  {3, 1, "b"},
                                                                {4, 2, "a1"},   {5, 2, "a2"}, {6, 0, "other"}};

TEST(DBTreeList, BuildsTheTreeFromKeyAndParentFields) {
  TDBTreeFixture f(kFamily);
  EXPECT_EQ(f.Shape(), "root(a(a1,a2),b) other");
  EXPECT_EQ(f.TL->ColumnCount(), 2);
  EXPECT_EQ(f.Node("a1")->Strings(1), "4");
  // The node of the current record is focused; the index finds nodes by key.
  EXPECT_EQ(f.TL->FocusedNode(), f.Node("root"));
  EXPECT_EQ(f.TL->FindNodeByKey(Variant(5)), f.Node("a2"));
  EXPECT_EQ(f.TL->FindNodeByKey(Variant("5")), f.Node("a2"));
  EXPECT_EQ(f.TL->FindNodeByKey(Variant(99)), nullptr);
  // Closing the table empties the control; opening it builds the tree again.
  f.Table->Close();
  EXPECT_EQ(f.TL->Count(), 0);
  f.Table->Open();
  EXPECT_EQ(f.TL->Count(), 0);  // an in-memory table reopens empty
}

// A parent key that names the record itself, closes a cycle, is missing or cannot be a key: the
// node stands at the top level, and the load ends.
TEST(DBTreeList, BadParentKeysPutTheNodeAtTheTopLevel) {
  {
    TDBTreeFixture f({{1, 1, "self"}, {2, 3, "x"}, {3, 4, "y"}, {4, 2, "z"}, {5, 77, "lost"}, {6, 5, "kid"}});
    EXPECT_EQ(f.ParentOf("self"), "");
    EXPECT_EQ(f.ParentOf("lost"), "");
    EXPECT_EQ(f.ParentOf("kid"), "lost");
    // The cycle x -> y -> z -> x is cut in one place: one of them is at the top, the others hang
    // below it.
    int top = (f.ParentOf("x").empty() ? 1 : 0) + (f.ParentOf("y").empty() ? 1 : 0) + (f.ParentOf("z").empty() ? 1 : 0);
    EXPECT_EQ(top, 1);
    EXPECT_EQ(f.NodeCount(), 6);
    // The missing parent arrives: the waiting node moves under it.
    f.Append(77, 0, "found");
    EXPECT_EQ(f.ParentOf("lost"), "found");
  }
  {
    // A parent field of another type: a text that means a key finds it, any other text does not.
    TDBTreeFixture f({{1, 0, "root"}}, ftString);
    f.Table->Append();
    f.Table->FieldByName("ID")->SetAsInteger(2);
    f.Table->FieldByName("PARENT")->SetAsString("1");
    f.Table->FieldByName("NAME")->SetAsString("ok");
    f.Table->Post();
    f.Table->Append();
    f.Table->FieldByName("ID")->SetAsInteger(3);
    f.Table->FieldByName("PARENT")->SetAsString("abc");
    f.Table->FieldByName("NAME")->SetAsString("bad");
    f.Table->Post();
    EXPECT_EQ(f.ParentOf("ok"), "root");
    EXPECT_EQ(f.ParentOf("bad"), "");
  }
  {
    // A key field the table lacks raises the framework's error and leaves the control empty.
    TDBTreeFixture f(kFamily);
    EXPECT_THROW(f.TL->SetKeyField("NOPE"), EDatabaseError);
    EXPECT_EQ(f.TL->Count(), 0);
    f.TL->SetKeyField("ID");
    EXPECT_EQ(f.Shape(), "root(a(a1,a2),b) other");
  }
}

TEST(DBTreeList, FollowsInsertsEditsDeletesAndMovesOfTheDataSet) {
  TDBTreeFixture f(kFamily);
  // Insert under a parent.
  f.Append(7, 3, "b1");
  EXPECT_EQ(f.Shape(), "root(a(a1,a2),b(b1)) other");
  EXPECT_EQ(f.TL->FocusedNode(), f.Node("b1"));
  // Edit the text and move it to another parent.
  ASSERT_TRUE(f.Locate(7));
  f.Table->Edit();
  f.Table->FieldByName("NAME")->SetAsString("moved");
  f.Table->FieldByName("PARENT")->SetAsInteger(6);
  f.Table->Post();
  EXPECT_EQ(f.Shape(), "root(a(a1,a2),b) other(moved)");
  // A parent that would close a cycle: a becomes a child of its own child a1 -> top level.
  ASSERT_TRUE(f.Locate(2));
  f.Table->Edit();
  f.Table->FieldByName("PARENT")->SetAsInteger(4);
  f.Table->Post();
  EXPECT_EQ(f.ParentOf("a"), "");
  EXPECT_EQ(f.ParentOf("a1"), "a");
  // A new key: the children that named the old key go to the top level and wait for it.
  ASSERT_TRUE(f.Locate(2));
  f.Table->Edit();
  f.Table->FieldByName("ID")->SetAsInteger(20);
  f.Table->FieldByName("PARENT")->SetAsInteger(1);
  f.Table->Post();
  EXPECT_EQ(f.ParentOf("a"), "root");
  EXPECT_EQ(f.ParentOf("a1"), "");
  EXPECT_EQ(f.TL->FindNodeByKey(Variant(20)), f.Node("a"));
  // Delete a parent: its children go to the top level.
  ASSERT_TRUE(f.Locate(1));
  f.Table->Delete();
  EXPECT_EQ(f.Node("root"), nullptr);
  EXPECT_EQ(f.ParentOf("a"), "");
  EXPECT_EQ(f.ParentOf("b"), "");
  EXPECT_EQ(f.NodeCount(), f.Table->RecordCount());
  // The record that took the deleted one's place is focused.
  EXPECT_EQ(f.TL->FocusedNode(), f.TL->FindRecordNode());
  // A cancelled insert leaves the tree as it was.
  std::string before = f.Shape();
  f.Table->Append();
  f.Table->FieldByName("ID")->SetAsInteger(50);
  f.Table->Cancel();
  EXPECT_EQ(f.Shape(), before);
}

TEST(DBTreeList, ScrollingMovesTheFocusBothWays) {
  TDBTreeFixture f(kFamily);
  // Dataset -> control.
  f.Table->Last();
  EXPECT_EQ(f.TL->FocusedNode(), f.Node("other"));
  ASSERT_TRUE(f.Locate(5));
  EXPECT_EQ(f.TL->FocusedNode(), f.Node("a2"));
  EXPECT_TRUE(f.Node("a2")->IsVisible());  // its parents were expanded
  // Control -> dataset, by code and by the keyboard.
  f.TL->SetFocusedNode(f.Node("b"));
  EXPECT_EQ(f.Table->FieldByName("NAME")->AsString(), "b");
  f.TL->SetFocus();
  Application->ProcessMessages();

  f.TL->DispatchKeyDown(VK_DOWN, TShiftState());
  EXPECT_EQ(f.Table->FieldByName("NAME")->AsString(), f.TL->FocusedNode()->Strings(0));
}

TEST(DBTreeList, EditsInsertsAndDeletesFromTheControlReachTheDataSet) {
  TDBTreeFixture f(kFamily);
  f.TL->SetFocusedNode(f.Node("b"));
  f.TL->SetFocusedColumn(0);
  ASSERT_TRUE(f.TL->CanEditModify());
  EXPECT_EQ(f.Table->State(), dsEdit);
  EXPECT_EQ(f.TL->GetIndicatorKind(f.Node("b"), false), 2);
  f.TL->SetFocus();
  Application->ProcessMessages();
  f.TL->ShowEditor();
  ASSERT_NE(f.TL->InplaceEditor(), nullptr);
  EXPECT_EQ(f.TL->InplaceEditor()->GetWindowText(), "b");
  f.TL->InplaceEditor()->SetWindowText("bee");
  // OnGetEditColor colours the editor of the focused node and column.
  TColor offered = clNone;
  f.TL->OnGetEditColor = [&](TObject*, TvmTreeListNode* Node, TColor& Color, TvmDBTreeListColumn* Column) {
    EXPECT_EQ(Node, f.Node("b"));
    EXPECT_EQ(Column, f.TL->DBColumn(0));
    offered = Color;
    Color = clYellow;
  };
  EXPECT_EQ(f.TL->GetEditColor(), clYellow);
  EXPECT_NE(offered, clNone);
  f.TL->OnGetEditColor = nullptr;
  f.TL->InplaceEditor()->SetModifiedFlag(true);
  f.TL->PostEditorValue();
  EXPECT_EQ(f.Table->FieldByName("NAME")->AsString(), "bee");
  // Moving to another node posts the record.
  f.TL->SetFocusedNode(f.Node("other"));
  EXPECT_EQ(f.Table->State(), dsBrowse);
  ASSERT_TRUE(f.Locate(3));
  EXPECT_EQ(f.Table->FieldByName("NAME")->AsString(), "bee");
  EXPECT_NE(f.Node("bee"), nullptr);
  // Insert starts a new record; leaving the control without typing cancels it.
  f.TL->InsertRecord();
  EXPECT_EQ(f.Table->State(), dsInsert);
  EXPECT_EQ(f.TL->GetIndicatorKind(f.TL->FocusedNode(), false), 3);
  f.Table->Cancel();
  // Delete with the confirmation: "No" keeps the record, "Yes" deletes it.
  std::string asked;
  int answer = IDNO;
  SetMessageBoxHook([&](const std::string& Text, const std::string& Caption, int) {
    asked = Caption + ": " + Text;
    return answer;
  });
  f.TL->SetFocusedNode(f.Node("a2"));
  EXPECT_FALSE(f.TL->DeleteFocusedRecord());
  EXPECT_EQ(asked, "Confirm: Delete record?");
  EXPECT_EQ(f.Table->RecordCount(), 6);
  answer = IDYES;
  EXPECT_TRUE(f.TL->DeleteFocusedRecord());
  SetMessageBoxHook(nullptr);
  EXPECT_EQ(f.Table->RecordCount(), 5);
  EXPECT_FALSE(f.Locate(5));
  EXPECT_EQ(f.Node("a2"), nullptr);
}

TEST(DBTreeList, TheFilterEditFiltersTheRecords) {
  TDBTreeFixture f(kFamily);
  TCustomvmFilterEdit* fe = f.TL->ShowFilterEdit(0);
  ASSERT_NE(fe, nullptr);
  EXPECT_FALSE(fe->EditClass()->IsInplace());
  // Typed as the user types: each change filters the table.
  auto type = [&](const std::string& Keys) {
    for (char c : Keys) {
      SendInput(fe->TextWindow(), ikKeyDown, {}, 0, 0, c);
      SendInput(fe->TextWindow(), ikKeyUp, {}, 0, 0, c);
    }
  };
  auto clear = [&] {
    fe->SelectAll();
    SendInput(fe->TextWindow(), ikKeyDown, {}, 0, 0, VK_BACK);
    SendInput(fe->TextWindow(), ikKeyUp, {}, 0, 0, VK_BACK);
  };
  type("A");
  EXPECT_TRUE(f.Table->Filtered());
  EXPECT_EQ(f.TL->FilterText().size(), 1u);
  // a, a1 and a2 stay (letter case ignored); a's parent is filtered out, so a is at the top.
  EXPECT_EQ(f.Shape(), "a(a1,a2)");
  type("1");
  EXPECT_EQ(f.Shape(), "a1");
  clear();
  EXPECT_EQ(f.TL->FilterText(), "");
  EXPECT_EQ(f.Shape(), "root(a(a1,a2),b) other");
  // An edit while filtered is followed too.
  type("O");
  ASSERT_TRUE(f.Table->Locate("ID", Variant(6), TLocateOptions()));
  f.Table->Edit();
  f.Table->FieldByName("NAME")->SetAsString("odd");
  f.Table->Post();
  EXPECT_EQ(f.Shape(), "odd");
}

TEST(DBTreeList, IncrementalSearchWalksTheDataSetAndWraps) {
  TDBTreeFixture f({{1, 0, "Abc"}, {2, 0, "xyz"}, {3, 0, "abd"}, {4, 0, "q"}});
  ASSERT_TRUE(f.Locate(3));
  // Direction 2: from the next record, wrapping past the last.
  EXPECT_TRUE(f.TL->LocateRecord(0, "ab", 2));
  EXPECT_EQ(f.Table->FieldByName("ID")->AsInteger(), 1);
  EXPECT_EQ(f.TL->FocusedNode(), f.Node("Abc"));
  // Backward from the previous one.
  EXPECT_TRUE(f.TL->LocateRecord(0, "AB", 1));
  EXPECT_EQ(f.Table->FieldByName("ID")->AsInteger(), 3);
  // No match: back at the start record.
  EXPECT_FALSE(f.TL->LocateRecord(0, "zz", 2));
  EXPECT_EQ(f.Table->FieldByName("ID")->AsInteger(), 3);
}

TEST(DBTreeList, DefaultFieldsFollowTheDataSetsFields) {
  TDBTreeFixture f(kFamily);
  f.TL->SetDefaultFields(true);
  ASSERT_EQ(f.TL->ColumnCount(), 3);
  EXPECT_EQ(f.TL->DBColumn(0)->FieldName(), "ID");
  EXPECT_EQ(f.TL->DBColumn(2)->GetDefaultCaption(), "NAME");
  try {
    f.TL->CreateColumn();
    FAIL() << "a column made by hand";
  } catch (const EInvalidvmTreeListOperation& e) {
    EXPECT_STREQ(e.what(), "DefaultFields property should be set to False");
  }
  f.Table->Close();
  EXPECT_EQ(f.TL->ColumnCount(), 0);
}

TEST(DBTreeListColumns, SummaryTextsAndValues) {
  struct TCase {
    TvmSummaryType Type;
    std::string Format;
    TFieldType DataType;
    long double Value;
    std::string Text;
  };
  const std::vector<TCase> cases = {
      {cstSum, "", ftFloat, -3.5L, "-3.50"}, {cstSum, "#,##0.0", ftFloat, -3.5L, "-3.5"},
      {cstCount, "", ftDate, 12, "12"},      {cstMin, "", ftInteger, 2.25L, "MIN=2.25"},
      {cstNone, "", ftFloat, 1, ""},
  };
  for (const TCase& c : cases) EXPECT_EQ(FormatSummaryText(c.Type, c.Format, c.DataType, 1, c.Value), c.Text);
  EXPECT_EQ(FormatSummaryText(cstMax, "", ftDate, 1, 2.0L), "MAX=" + DateToStr(2.0));
  EXPECT_EQ(FormatSummaryText(cstMax, "", ftDate, 0, 2.0L), "(MAX=" + DateToStr(2.0) + ")");
}

TEST(DBTreeListColumns, NodeValuesMasksAndDefaults) {
  TDBTreeFixture f(kFamily);
  // An integer column keeps its value beside the text; a plain string column does not.
  auto* n = static_cast<TvmDBTreeListNode*>(f.Node("a"));
  ASSERT_GE(n->Values.size(), 2u);
  EXPECT_TRUE(n->Values[1].ValueAssigned);
  EXPECT_EQ(n->Values[1].Value.AsInteger(), 2);
  EXPECT_FALSE(n->Values[0].ValueAssigned);
  // A string field with an edit mask stores its value.
  f.Table->FieldByName("NAME")->SetEditMask("LL;0;_");
  f.TL->LoadAll();
  n = static_cast<TvmDBTreeListNode*>(f.Node("a"));
  EXPECT_TRUE(n->Values[0].ValueAssigned);
  // A mask column shows the field's mask until one of its own is set.
  auto* m = static_cast<TvmDBTreeListMaskColumn*>(f.TL->CreateColumn(TvmDBTreeListMaskColumn::StaticClass()));
  m->SetFieldName("NAME");
  EXPECT_EQ(m->EditMask(), "LL;0;_");
  m->SetEditMask("LL;0;_");
  EXPECT_FALSE(m->EditMaskStored());
  // Captions, lengths and read-only come from the field; a missing field leaves an empty cell.
  EXPECT_EQ(m->GetDefaultMaxLength(), 20);
  f.Table->FieldByName("NAME")->SetReadOnly(true);
  EXPECT_TRUE(m->GetDefaultReadOnly());
  auto* none = f.TL->CreateColumn();
  none->SetFieldName("MISSING");
  EXPECT_EQ(none->Field(), nullptr);
  EXPECT_EQ(none->GetDefaultCaption(), "MISSING");
  // A read-only field's column cannot be edited.
  f.TL->SetFocusedColumn(0);
  EXPECT_FALSE(f.TL->CanEditModify());
}

}  // namespace

// The selection list: clicks, Shift and Ctrl, Shift+arrows and Ctrl+A make it; it stays sorted
// and without duplicates, follows its records through a reload and loses deleted records.
TEST(DBTreeListSelection, MouseAndKeysSelectRangesOfRecords) {
  TDBTreeFixture f({{1, 0, "n1"}, {2, 0, "n2"}, {3, 0, "n3"}, {4, 0, "n4"}, {5, 0, "n5"}, {6, 0, "n6"}});
  f.TL->SetOptions(f.TL->Options() + tloMultiSelect);
  f.TL->SetFocus();
  Application->ProcessMessages();
  f.Click("n2");
  EXPECT_EQ(f.Selected(), "n2");
  f.Click("n4", TShiftState{ssShift});
  EXPECT_EQ(f.Selected(), "n2 n3 n4");
  EXPECT_EQ(f.Table->FieldByName("NAME")->AsString(), "n4");  // the dataset follows the focus
  f.Click("n6", TShiftState{ssCtrl});
  f.Click("n3", TShiftState{ssCtrl});
  EXPECT_EQ(f.Selected(), "n2 n4 n6");
  // The list holds each node once, in address order.
  const auto& list = f.TL->SelectionList();
  ASSERT_EQ(f.TL->GetSelectedCount(), 3);
  EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), std::less<TvmTreeListNode*>()));
  EXPECT_EQ(f.TL->GetSelectedItem(3), nullptr);
  // A range merges with what is selected, without duplicates.
  f.TL->SelectNodes(f.Node("n1"), f.Node("n4"));
  EXPECT_EQ(f.Selected(), "n1 n2 n3 n4 n6");
  EXPECT_EQ(f.TL->GetSelectedCount(), 5);
  // Shift+arrows: a range from the anchor to the new focused row.
  f.Click("n3");
  uint16_t key = VK_DOWN;
  f.TL->DispatchKeyDown(key, TShiftState{ssShift});
  key = VK_DOWN;
  f.TL->DispatchKeyDown(key, TShiftState{ssShift});
  EXPECT_EQ(f.Selected(), "n3 n4 n5");
  EXPECT_EQ(f.Table->FieldByName("NAME")->AsString(), "n5");
  key = VK_UP;
  f.TL->DispatchKeyDown(key, TShiftState{ssShift});
  EXPECT_EQ(f.Selected(), "n3 n4");
  // Ctrl+A selects every row; ClearSelection empties the list.
  key = 'A';
  f.TL->DispatchKeyDown(key, TShiftState{ssCtrl});
  EXPECT_EQ(f.Selected(), "n1 n2 n3 n4 n5 n6");
  f.TL->ClearSelection();
  EXPECT_EQ(f.TL->GetSelectedCount(), 0);
  // No range while the dataset edits a record.
  f.Click("n1");
  f.Table->Edit();
  f.TL->SelectNodes(f.Node("n1"), f.Node("n3"));
  EXPECT_EQ(f.Selected(), "n1");
  f.Table->Cancel();
}

TEST(DBTreeListSelection, SelectedRecordsSurviveDataSetChanges) {
  TDBTreeFixture f(kFamily);
  f.TL->SetOptions(f.TL->Options() + tloMultiSelect + tloMixedLevelSelect);
  f.TL->FullExpand();
  for (const char* n : {"a", "a1", "other"}) f.Node(n)->SetSelected(true);
  ASSERT_EQ(f.Selected(), "a a1 other");
  // A record added behind the control, then a filter and its removal: the tree is read again
  // and the selected records are selected again by their bookmarks.
  f.Append(7, 6, "new");
  EXPECT_EQ(f.Selected(), "a a1 other");
  f.TL->ApplyFilterText(0, "a");
  EXPECT_EQ(f.Selected(), "a a1");
  f.TL->ApplyFilterText(0, "");
  EXPECT_EQ(f.Shape(), "root(a(a1,a2),b) other(new)");
  EXPECT_EQ(f.Selected(), "a a1");  // a filtered-out record left the selection
  // An edit that moves a selected record keeps it selected.
  ASSERT_TRUE(f.Locate(4));
  f.Table->Edit();
  f.Table->FieldByName("PARENT")->SetAsInteger(6);
  f.Table->Post();
  EXPECT_EQ(f.ParentOf("a1"), "other");
  EXPECT_EQ(f.Selected(), "a a1");
  // Deleting a selected record behind the control takes it out of the list (its children go
  // to the top level unselected).
  ASSERT_TRUE(f.Locate(2));
  f.Table->Delete();
  EXPECT_EQ(f.Node("a"), nullptr);
  EXPECT_EQ(f.Selected(), "a1");
  EXPECT_EQ(f.TL->GetSelectedCount(), 1);
  // Closing the dataset empties the list.
  f.Table->Close();
  EXPECT_EQ(f.TL->GetSelectedCount(), 0);
}

TEST(DBTreeListSelection, CtrlDeleteDeletesTheSelectedRecords) {
  TDBTreeFixture f({{1, 0, "n1"}, {2, 0, "n2"}, {3, 0, "n3"}, {4, 0, "n4"}});
  f.TL->SetOptions(f.TL->Options() + tloMultiSelect);
  f.TL->SelectNodes(f.Node("n2"), f.Node("n3"));
  std::string asked;
  int answer = IDNO;
  SetMessageBoxHook([&](const std::string& Text, const std::string& Caption, int) {
    asked = Caption + ": " + Text;
    return answer;
  });
  uint16_t key = VK_DELETE;
  f.TL->DispatchKeyDown(key, TShiftState{ssCtrl});
  EXPECT_EQ(asked, "Confirm: Delete all selected records?");
  EXPECT_EQ(f.Table->RecordCount(), 4);
  answer = IDYES;
  key = VK_DELETE;
  f.TL->DispatchKeyDown(key, TShiftState{ssCtrl});
  SetMessageBoxHook(nullptr);
  EXPECT_EQ(f.Table->RecordCount(), 2);
  EXPECT_FALSE(f.Locate(2));
  EXPECT_FALSE(f.Locate(3));
  EXPECT_EQ(f.Shape(), "n1 n4");
  EXPECT_EQ(f.TL->GetSelectedCount(), 0);
  // The control still follows the dataset.
  ASSERT_TRUE(f.Locate(4));
  EXPECT_EQ(f.TL->FocusedNode(), f.Node("n4"));
}

// Horizontal scrolling moves by whole columns: the arrows to the previous or next column's left
// edge, the thumb to a column edge one column towards the end it is nearer; other codes and a
// thumb at the ends move by pixels.
TEST(DBTreeListScrolling, TheScrollBarStepsByWholeColumns) {
  TDBTreeFixture f(kFamily);
  // Six columns of 300, 200, 300, 200, 300, 200 pixels: edges 0 300 500 800 1000 1300, total
  // 1500, a view of 200 to 400 pixels: the thumb is nearer the start below 350 at least.
  for (int i = 0; i < 4; ++i) f.TL->CreateColumn()->SetFieldName(i % 2 ? "ID" : "NAME");
  for (int i = 0; i < 6; ++i) f.TL->Columns(i)->SetWidth(i % 2 ? 200 : 300);
  ASSERT_EQ(f.TL->ColumnLeftEdges(), (std::vector<int>{0, 300, 500, 800, 1000, 1300}));
  int total = 0, view = 0;
  f.TL->GetScrollWidths(total, view);
  ASSERT_EQ(total, 1500);
  ASSERT_GT(view, 200);
  ASSERT_LE(view, 400);
  f.TL->SetFocus();
  Application->ProcessMessages();
  ASSERT_TRUE(f.TL->EnsureFocused());
  const int maxLeft = total - view;
  struct TStep {
    int Code, Position, From, Expected;
  };
  const TStep steps[] = {
      {SB_LINERIGHT, 0, 0, 300},
      {SB_LINERIGHT, 0, 300, 500},
      {SB_LINELEFT, 0, 500, 300},
      {SB_LINELEFT, 0, 400, 300},         // from inside a column: that column's edge
      {SB_LINELEFT, 0, 0, 0},             // nothing before the first column
      {SB_THUMBTRACK, 320, 800, 0},       // under column 1, nearer the start: one column back
      {SB_THUMBPOSITION, 600, 0, 800},    // under column 2, nearer the end: one column on
      {SB_THUMBTRACK, 0, 500, 0},         // below 1: the start
      {SB_THUMBTRACK, 1600, 0, maxLeft},  // at or beyond the total: the end
      {SB_THUMBTRACK, 1350, 0, maxLeft},  // past the last column: the end
      {SB_THUMBTRACK, 500, 500, 500},     // where it is: nothing
  };
  for (const TStep& s : steps) {
    f.TL->SetLeftPos(s.From);
    ASSERT_EQ(f.TL->LeftPos(), s.From);
    EXPECT_TRUE(f.TL->ScrollColumns(s.Code, s.Position));
    EXPECT_EQ(f.TL->LeftPos(), s.Expected) << "code " << s.Code << " at " << s.Position << " from " << s.From;
  }
  // Page steps are left to the bar.
  f.TL->SetLeftPos(0);
  EXPECT_FALSE(f.TL->ScrollColumns(SB_PAGERIGHT, 100));
  EXPECT_EQ(f.TL->LeftPos(), 0);
  // The same through the window's own scroll bar.
  EXPECT_EQ(f.TL->WorkScrollBar(SB_HORZ, SB_LINERIGHT), 300);
  EXPECT_EQ(f.TL->LeftPos(), 300);
  EXPECT_EQ(f.TL->WorkScrollBar(SB_HORZ, SB_LINELEFT), 0);
  EXPECT_EQ(f.TL->WorkScrollBar(SB_HORZ, SB_THUMBPOSITION, 600), 800);
  EXPECT_EQ(f.TL->LeftPos(), 800);
  EXPECT_EQ(f.TL->WorkScrollBar(SB_HORZ, SB_PAGELEFT), 800 - view);  // by pixels
  EXPECT_EQ(f.TL->LeftPos(), 800 - view);
}

// At design time, renaming the control renames the columns named after it, letter case of the
// old prefix ignored; a name taken already is skipped; each column's own rename reaches the control.
TEST(DBTreeListColumns, ColumnsNamedAfterTheControlFollowItsRename) {
  TDBTreeFixture f(kFamily);
  struct TRenames : TvmDBTreeList {
    using TvmDBTreeList::TvmDBTreeList;
    std::vector<std::string> Seen;
    void ColumnRenamed(const std::string& OldName, const std::string& NewName) override {
      Seen.push_back(OldName + ">" + NewName);
    }
  };
  auto* tl = new TRenames(f.Form.get());
  tl->SetName("Grid1");
  for (int i = 0; i < 3; ++i) tl->CreateColumn();
  ASSERT_EQ(tl->Columns(2)->Name(), "Grid1Column3");
  tl->Columns(1)->SetName("gRID1Other");
  tl->Columns(0)->SetName("Kept");
  new TComponent(tl);  // a component of the control's own, named as a column would become
  tl->Components(tl->ComponentCount() - 1)->SetName("Grid2Column3");
  tl->Seen.clear();
  // Outside design time nothing follows.
  tl->SetName("Grid9");
  EXPECT_EQ(tl->Columns(2)->Name(), "Grid1Column3");
  tl->SetName("Grid1");
  tl->SetDesigning(true, false);
  tl->SetName("Grid2");
  EXPECT_EQ(tl->Columns(0)->Name(), "Kept");
  EXPECT_EQ(tl->Columns(1)->Name(), "Grid2Other");
  EXPECT_EQ(tl->Columns(2)->Name(), "Grid1Column3");  // Grid2Column3 is taken
  EXPECT_TRUE(tl->Seen.empty());
  tl->Columns(0)->SetName("Renamed");
  EXPECT_EQ(tl->Seen, (std::vector<std::string>{"Kept>Renamed"}));
}

// Footer summaries are computed over the loaded records and follow the dataset; the columns'
// cell, header and footer drawing events run before the tree list's own drawing.
TEST(DBTreeListColumns, FooterSummariesAndDrawingEvents) {
  TDBTreeFixture f(kFamily);
  auto* id = f.TL->DBColumn(1);
  auto footer = [&] {
    std::string t;
    f.TL->GetFooterCellText(nullptr, 1, t, -1);
    return t;
  };
  EXPECT_FALSE(f.TL->HasFooterCell(1));
  id->SetSummaryFooterType(cstSum);
  EXPECT_TRUE(f.TL->HasFooterCell(1));
  EXPECT_EQ(footer(), "21.00");
  id->SetSummaryFooterType(cstAvg);
  EXPECT_EQ(footer(), "AVG=3.50");
  id->SetSummaryFooterType(cstMax);
  f.Append(10, 1, "late");
  EXPECT_EQ(footer(), "MAX=10.00");
  ASSERT_TRUE(f.Locate(10));
  f.Table->Edit();
  f.Table->FieldByName("ID")->SetAsInteger(8);
  f.Table->Post();
  EXPECT_EQ(footer(), "MAX=8.00");
  f.Table->Delete();
  EXPECT_EQ(footer(), "MAX=6.00");
  id->SetSummaryFooterType(cstCount);
  f.TL->ApplyFilterText(0, "a");  // a, a1, a2
  EXPECT_EQ(footer(), "3");
  f.TL->ApplyFilterText(0, "");
  // A summary of a field no column shows has no value to show.
  id->SummaryFooterField = "PARENT";
  f.TL->ResetSummaries();
  EXPECT_EQ(footer(), "");
  id->SummaryFooterField.clear();
  f.TL->ResetSummaries();

  // Drawing events: a red cell, a header drawn by its event, a footer text replaced.
  int cells = 0, headers = 0, footers = 0;
  auto* name = f.TL->DBColumn(0);
  name->OnCustomDraw = [&](TObject* Sender, TCanvas*, TRect, TvmTreeListNode* Node, TvmDBTreeListColumn* Column,
                           const std::string& Text, TFont*, TColor& Color, bool, bool, bool&) {
    EXPECT_EQ(Sender, name);
    EXPECT_EQ(Column, name);
    EXPECT_EQ(Text, Node->Strings(0));
    if (Text == "other") Color = clRed;
    ++cells;
  };
  name->OnCustomDrawHeader = [&](TObject*, TCanvas* C, TRect& R, TvmDBTreeListColumn*, bool& Done) {
    FillRectColor(C, R, clBlue);
    Done = true;
    ++headers;
  };
  id->OnDrawSummaryFooter = [&](TObject*, TCanvas*, TRect, std::string& Text, TAlignment&, TFont*, TColor&, bool&) {
    EXPECT_EQ(Text, "6");
    Text = "six";
    ++footers;
  };
  f.TL->SetShowFooterPanel(true);
  f.TL->Repaint();
  TBitmap shot;
  GrabControl(f.TL, &shot);
  EXPECT_GT(cells, 0);
  EXPECT_GT(headers, 0);
  EXPECT_GT(footers, 0);
  TvmTreeListLayout L;
  f.TL->CalcLayout(L);
  for (const auto& h : L.HeaderCells)
    if (h.Column == 0) {
      EXPECT_EQ(shot.Canvas()->Pixels(h.Rect.Left + 3, h.Rect.Top + 3), ColorToRGB(clBlue));
    }
  for (const auto& r : L.VisibleRows)
    if (r.Node == f.Node("other")) {
      int red = 0;
      for (int x = 0; x < 100; ++x) red += shot.Canvas()->Pixels(x, r.Top + 2) == ColorToRGB(clRed);
      EXPECT_GT(red, 20);
    }
}

// The indicator column shows each row's kind as its own mark: the arrow on the focused row, an
// I-beam while its record is edited, a star while a record is inserted, a dot on selected rows
// and the arrow with a dot on the focused selected row; rows without a kind stay blank.
TEST(DBTreeListPaint, TheIndicatorShowsEveryKind) {
  // Ink and blank points of each mark, relative to the indicator cell's centre.
  struct Mark {
    std::vector<TPoint> Ink, Blank;
  };
  const std::map<int, Mark> marks = {
      {1, {{{-1, 0}, {1, 0}, {-2, -3}, {-2, 3}}, {{-3, 0}, {3, 0}, {0, -4}}}},
      {2, {{{0, 0}, {0, -3}, {0, 4}, {-2, -4}, {2, 4}}, {{-1, 0}, {1, 0}, {-3, 0}}}},
      {3, {{{0, 0}, {-3, 0}, {3, 0}, {0, -3}, {0, 3}, {-2, -2}, {2, 2}, {2, -2}}, {{-1, -3}, {-3, -1}, {1, -2}}}},
      {4, {{{-1, -1}, {0, 0}, {1, 1}}, {{-2, 0}, {2, 0}, {0, -3}, {-3, 0}}}},
      {5, {{{-3, 0}, {-2, 0}, {-4, -4}, {3, 0}, {4, 1}}, {{1, 0}, {-5, 0}, {2, -3}}}},
  };
  struct Case {
    const char* What;
    std::function<void(TDBTreeFixture&)> Setup;
    std::map<std::string, int> Kinds;  // rows by name; every other row shows no mark
  };
  const std::vector<Case> cases = {
      {"focused", [](TDBTreeFixture& f) { f.Click("n2"); }, {{"n2", 1}}},
      {"a record in edit",
       [](TDBTreeFixture& f) {
         f.Click("n2");
         f.Table->Edit();
       },
       {{"n2", 2}}},
      {"an inserted record",
       [](TDBTreeFixture& f) {
         f.Click("n2");
         f.TL->InsertRecord();
       },
       {{"n2", 3}}},  // the new record shows on the focused row until it is posted
      {"several selected",
       [](TDBTreeFixture& f) {
         f.TL->SetOptions(f.TL->Options() + tloMultiSelect);
         f.Click("n1");
         f.Click("n3", TShiftState{ssCtrl});
         f.Click("n4", TShiftState{ssCtrl});
       },
       {{"n1", 4}, {"n3", 4}, {"n4", 5}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    TDBTreeFixture f({{1, 0, "n1"}, {2, 0, "n2"}, {3, 0, "n3"}, {4, 0, "n4"}});
    f.TL->SetShowIndicatorColumn(true);
    f.TL->SetFocus();
    Application->ProcessMessages();
    c.Setup(f);
    f.TL->Repaint();
    TBitmap shot;
    GrabControl(f.TL, &shot);
    // The picture holds the frame too: client coordinates move in by its width.
    const int frame = (f.TL->Width() - f.TL->ClientWidth()) / 2;
    TvmTreeListLayout L;
    f.TL->CalcLayout(L);
    ASSERT_FALSE(IsRectEmpty(L.IndicatorRect));
    const TColor ink = ColorToRGB(clBlack);
    std::map<std::string, int> shown;
    for (const auto& r : L.VisibleRows) {
      const std::string name = r.Node->Strings(0);
      auto want = c.Kinds.find(name);
      const int kind = want == c.Kinds.end() ? 0 : want->second;
      EXPECT_EQ(f.TL->GetIndicatorKind(r.Node, r.Selected), kind) << name;
      const int cx = (L.IndicatorRect.Left + L.IndicatorRect.Right) / 2 + frame, cy = r.Top + r.Height / 2 + frame;
      if (kind == 0) {
        int inked = 0;
        for (int y = r.Top; y < r.Top + r.Height; ++y)
          for (int x = L.IndicatorRect.Left; x < L.IndicatorRect.Right; ++x)
            inked += shot.Canvas()->Pixels(x + frame, y + frame) == ink;
        EXPECT_EQ(inked, 0) << name;
        continue;
      }
      shown[name] = kind;
      for (TPoint p : marks.at(kind).Ink)
        EXPECT_EQ(shot.Canvas()->Pixels(cx + p.X, cy + p.Y), ink) << name << " ink at " << p.X << "," << p.Y;
      for (TPoint p : marks.at(kind).Blank)
        EXPECT_NE(shot.Canvas()->Pixels(cx + p.X, cy + p.Y), ink) << name << " blank at " << p.X << "," << p.Y;
    }
    EXPECT_EQ(shown, c.Kinds);
  }
}

// With automatic sorting a newly sorted column replaces the earlier sort, unless a Shift+click
// adds it to a multi-column sort; without automatic sorting the columns add up.
TEST(DBTreeListSorting, ANewSortColumnStartsTheSortOver) {
  TDBTreeFixture f({{1, 0, "c"}, {2, 0, "a"}, {3, 0, "b"}});
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxMultiSort);
  auto state = [&] {
    std::string s;
    for (int i = 0; i < f.TL->SortedColumnCount(); ++i)
      s += std::string(f.TL->SortedColumns(i)->Index() == 0 ? "NAME" : "ID") +
           (f.TL->SortedColumns(i)->Sorted() == csDown ? "v " : "^ ");
    for (int i = 0; i < f.TL->ColumnCount(); ++i) s += std::to_string(f.TL->Columns(i)->Sorted());
    return s;
  };
  f.TL->SetOptions(f.TL->Options() + tloAutoSort);
  f.TL->Columns(0)->SetSorted(csUp);
  f.TL->Columns(1)->SetSorted(csDown);
  EXPECT_EQ(state(), "IDv " + std::to_string(csNone) + std::to_string(csDown));
  EXPECT_EQ(f.TL->GetFirstNode()->Strings(0), "b");  // ID 3 first
  f.TL->DoColumnClick(0, true);                      // Shift+click adds NAME as the second key
  EXPECT_EQ(state(), "IDv NAME^ " + std::to_string(csUp) + std::to_string(csDown));
  f.TL->DoColumnClick(0, false);  // a plain click sorts by NAME alone, descending now
  EXPECT_EQ(state(), "NAMEv " + std::to_string(csDown) + std::to_string(csNone));
  EXPECT_EQ(f.TL->GetFirstNode()->Strings(0), "c");

  f.TL->SetOptions(f.TL->Options() - tloAutoSort);
  f.TL->Columns(1)->SetSorted(csUp);
  EXPECT_EQ(state(), "NAMEv ID^ " + std::to_string(csDown) + std::to_string(csUp));
}
