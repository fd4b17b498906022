// Handing a cell to the in-place editor and taking the typed value back.
#include "platform/richedit.h"
#include "platform/sysmetrics.h"
#include "tl_fixture.h"

namespace {

struct TEditFixture : TTreeListFixture {
  TEditFixture() {
    TL->SetOptions(TL->Options() - tloRowSelect);
    Fill(3, 0);
    Find("R1")->SetFocused(true);
    TL->SetFocusedColumn(1);
    Focus();
  }
  TvmInplaceTextEdit* Editor() { return dynamic_cast<TvmInplaceTextEdit*>(TL->InplaceEditor()); }
  void Type(const std::string& Text) { SendTextInput(Editor()->TextWindow(), Text); }
  void EditorKey(uint16_t K) { SendInput(Editor()->TextWindow(), ikKeyDown, {}, 0, 0, K); }
};

TEST(TreeListEditing, F2OpensOverTheCellAndEnterPostsTheText) {
  TEditFixture f;
  int edited = 0;
  f.TL->OnEdited = [&](TObject*, TvmTreeListNode* n) { edited += n == f.Find("R1"); };
  f.Key(VK_F1 + 1);
  ASSERT_EQ(f.TL->State(), tlsEditing);
  ASSERT_NE(f.Editor(), nullptr);
  EXPECT_TRUE(f.Editor()->EditVisible());
  EXPECT_EQ(f.Editor()->GetWindowText(), "1");
  EXPECT_EQ(f.TL->EditingNode(), f.Find("R1"));
  // The editor sits over the cell.
  TRect cell = f.TL->GetCellRect(f.Find("R1"), 1);
  EXPECT_LE(std::abs(f.Editor()->Left() - cell.Left), 3);
  EXPECT_LE(std::abs(f.Editor()->Top() - cell.Top), 3);
  f.Editor()->SetWindowText("");
  f.Type("new");
  f.EditorKey(VK_RETURN);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  EXPECT_FALSE(f.Editor()->EditVisible());
  EXPECT_EQ(f.Find("R1")->Strings(1), "new");
  EXPECT_EQ(edited, 1);
  EXPECT_TRUE(f.TL->Focused());
}

TEST(TreeListEditing, EscapeKeepsTheOldTextAndMovingTheFocusPosts) {
  TEditFixture f;
  f.Key(VK_F1 + 1);
  f.Type("xyz");
  f.EditorKey(VK_ESCAPE);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  EXPECT_EQ(f.Find("R1")->Strings(1), "1");
  f.Key(VK_F1 + 1);
  f.Type("9");
  f.EditorKey(VK_DOWN);  // closes (posting), then moves
  EXPECT_EQ(f.FocusText(), "R2");
  EXPECT_EQ(f.Find("R1")->Strings(1), "9");  // the text was selected on opening
}

TEST(TreeListEditing, RefusedByTheEventTheColumnOrRowSelect) {
  TEditFixture f;
  bool allow = false;
  f.TL->OnEditing = [&](TObject*, TvmTreeListNode*, bool& a) { a = allow; };
  f.Key(VK_F1 + 1);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  allow = true;
  f.TL->Columns(1)->DisableEditor = true;
  f.Key(VK_F1 + 1);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  f.TL->Columns(1)->DisableEditor = false;
  f.TL->SetOptions(f.TL->Options() + tloRowSelect);
  f.Key(VK_F1 + 1);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  f.TL->SetOptions(f.TL->Options() - tloRowSelect - tloEditing);
  f.Key(VK_F1 + 1);
  EXPECT_EQ(f.TL->State(), tlsIdle);
}

TEST(TreeListEditing, TypingOpensWithTheCharacterAndAClickOnTheFocusedCellEdits) {
  TEditFixture f;
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxTypingEdits);
  f.TL->DispatchKeyPress('q');
  ASSERT_EQ(f.TL->State(), tlsEditing);
  EXPECT_EQ(f.Editor()->GetWindowText(), "q");
  f.EditorKey(VK_RETURN);
  EXPECT_EQ(f.Find("R1")->Strings(1), "q");
  // Click-to-edit: the click that focuses a cell opens its editor on release.
  f.TL->SetOptions(f.TL->Options() + tloClickEdits);
  f.Click(f.CellPoint(f.Find("R0"), 2));
  EXPECT_EQ(f.FocusText(), "R0");
  EXPECT_EQ(f.TL->State(), tlsEditing);
  EXPECT_EQ(f.TL->EditingColumn(), 2);
  // A structural change hides the editor without a crash.
  f.TL->AddNode(nullptr, {"R9"});
  EXPECT_EQ(f.TL->State(), tlsIdle);
  EXPECT_FALSE(f.Editor()->EditVisible());
}

// Without click-to-edit, a second click on the focused cell opens the editor once the double-click
// time has passed; a double click toggles the node instead and a click elsewhere opens nothing.
TEST(TreeListEditing, ASecondClickOnTheFocusedCellEditsAfterTheDoubleClickTime) {
  TEditFixture f;
  f.TL->AddNode(f.Find("R1"), {"R1.0"});
  const TPoint p = f.CellPoint(f.Find("R1"), 1);
  f.Click(p);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  TTimer* timer = f.TL->ClickEditTimer();
  ASSERT_TRUE(timer);
  EXPECT_TRUE(timer->Enabled());
  EXPECT_EQ(timer->Interval(), GetDoubleClickTime());
  timer->Fire();
  EXPECT_FALSE(timer->Enabled());
  ASSERT_EQ(f.TL->State(), tlsEditing);
  EXPECT_EQ(f.TL->EditingColumn(), 1);
  f.EditorKey(VK_ESCAPE);
  ASSERT_EQ(f.TL->State(), tlsIdle);

  f.Focus();
  f.TL->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
  f.TL->DispatchMouseUp(mbLeft, {}, p.X, p.Y);
  EXPECT_TRUE(timer->Enabled());
  f.TL->DispatchMouseDown(mbLeft, {ssDouble}, p.X, p.Y, true);
  f.TL->DispatchMouseUp(mbLeft, {}, p.X, p.Y);
  EXPECT_FALSE(timer->Enabled());
  EXPECT_TRUE(f.Find("R1")->Expanded());
  EXPECT_EQ(f.TL->State(), tlsIdle);

  f.Click(f.CellPoint(f.Find("R0"), 1));  // another node: a first click only focuses
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(f.FocusText(), "R0");
}

}  // namespace

namespace {

TEST(TreeListEditing, EachColumnGetsAnEditorOfItsClassFromTheCache) {
  TEditFixture f;
  auto* mask = static_cast<TvmTreeListMaskColumn*>(f.TL->CreateColumn(TvmTreeListMaskColumn::StaticClass()));
  mask->EditMask = "000;1;_";
  EXPECT_EQ(mask->Name(), "TLColumn4");
  f.Find("R1")->SetStrings(3, "123");
  f.Key(VK_F1 + 1);
  TvmInplaceEdit* text = f.TL->InplaceEditor();
  EXPECT_EQ(text->ClassType(), TvmInplaceTreeListTextEdit::StaticClass());
  f.EditorKey(VK_RETURN);
  f.TL->SetFocusedColumn(3);
  f.Key(VK_F1 + 1);
  auto* m = dynamic_cast<TvmInplaceMaskEdit*>(f.TL->InplaceEditor());
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->EditMask(), "000;1;_");
  f.EditorKey(VK_RETURN);
  f.TL->SetFocusedColumn(1);
  f.Key(VK_F1 + 1);
  EXPECT_EQ(f.TL->InplaceEditor(), text);  // the cached one again
  // A read-only column gives a read-only editor.
  f.EditorKey(VK_ESCAPE);
  f.TL->Columns(1)->SetReadOnly(true);
  f.Key(VK_F1 + 1);
  EXPECT_TRUE(f.TL->InplaceEditor()->ReadOnly());
}

}  // namespace

namespace {

TEST(TreeListEditing, TheColumnHearsChangesAndMayRefuseTheValue) {
  TEditFixture f;
  int changes = 0;
  bool accept = false;
  f.TL->Columns(1)->OnChange = [&](TObject*) { ++changes; };
  f.TL->Columns(1)->OnValidate = [&](TObject*, std::string& Error, bool& Accept) {
    Accept = accept;
    Error = "Not a number";
  };
  f.Key(VK_F1 + 1);
  EXPECT_EQ(changes, 0);  // loading the value is no change
  f.Type("x");
  EXPECT_GE(changes, 1);
  try {
    f.TL->CloseEditor();
    FAIL();
  } catch (const EvmEditInvalidInput& e) {
    EXPECT_EQ(e.Message(), "Not a number");
  }
  EXPECT_EQ(f.TL->State(), tlsEditing);  // refused: the editor stays open
  EXPECT_EQ(f.Find("R1")->Strings(1), "1");
  accept = true;
  f.TL->CloseEditor();
  EXPECT_EQ(f.TL->State(), tlsIdle);
  EXPECT_EQ(f.Find("R1")->Strings(1), "x");
}

}  // namespace
