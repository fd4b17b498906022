// The memo editor's lines and keys, and the hyperlink editor's start routes.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "inspector/vm_memo.h"

namespace {

TEST(MemoEdit, LinesReadAndWriteTheText) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceMemoEdit::StaticClass(), "one\ntwo\n", Rect(20, 20, 200, 80));
  auto* e = static_cast<TvmInplaceMemoEdit*>(f.Grid->EditCell(cell));
  TStrings* lines = e->Lines();
  EXPECT_EQ(lines->Count(), 2);  // the trailing line break is no line of its own
  EXPECT_EQ((*lines)[1], "two");
  lines->Insert(2, "three");  // after the last line: appended
  EXPECT_EQ(lines->Count(), 3);
  EXPECT_EQ((*lines)[2], "three");
  lines->SetStrings(0, "ONE");
  lines->Delete(1);
  EXPECT_EQ(e->GetWindowText(), "ONE\nthree\n");
  lines->SetText("a\r\nb");
  EXPECT_EQ(lines->Count(), 2);
  EXPECT_EQ((*lines)[0], "a");
  lines->Clear();
  EXPECT_EQ(lines->Count(), 0);
}

TEST(MemoEdit, EnterTypesALineBreakAndArrowsLeaveOnlyWithAllSelected) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceMemoEdit::StaticClass(), "ab", Rect(20, 20, 200, 80));
  auto* e = static_cast<TvmInplaceMemoEdit*>(f.Grid->EditCell(cell));
  e->SetSelection(2, 2);
  PressKey(e->TextWindow(), VK_RETURN);
  SendTextInput(e->TextWindow(), "c");
  EXPECT_EQ(e->GetWindowText(), "ab\nc");
  EXPECT_EQ(f.Grid->Editor, e) << "Enter stays in the memo";
  // Down with everything selected goes to the container; after a click into the text it does not.
  f.Grid->ContainerKeys.clear();
  e->SelectAll();
  PressKey(e->TextWindow(), VK_DOWN);
  EXPECT_EQ(f.Grid->ContainerKeys, (std::vector<uint16_t>{VK_DOWN}));
  e = static_cast<TvmInplaceMemoEdit*>(f.Grid->EditCell(cell));
  e->SetSelection(0, 0);
  f.Grid->ContainerKeys.clear();
  PressKey(e->TextWindow(), VK_DOWN);
  EXPECT_TRUE(f.Grid->ContainerKeys.empty());
  // Read-only: Enter types nothing; Ctrl+Enter reaches the container.
  e->SetReadOnly(true);
  std::string before = e->GetWindowText();
  PressKey(e->TextWindow(), VK_RETURN);
  EXPECT_EQ(e->GetWindowText(), before);
  PressKey(e->TextWindow(), VK_RETURN, {ssCtrl});
  EXPECT_EQ(f.Grid->ContainerKeys.back(), VK_RETURN);
}

TEST(HyperLinkEdit, StartRoutes) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceHyperLinkEdit::StaticClass(), "https://example.org/mt", Rect(20, 20, 200, 40));
  auto* e = static_cast<TvmInplaceHyperLinkEdit*>(f.Grid->EditCell(cell));
  PressKey(e->TextWindow(), VK_RETURN, {ssCtrl});
  ASSERT_EQ(f.Opened.size(), 1u);
  EXPECT_EQ(f.Opened[0], "https://example.org/mt");
  EXPECT_EQ(e->GetWindowText(), "https://example.org/mt");  // nothing typed
  // In place a click inside opens it even without SingleClick.
  SendInput(e->TextWindow(), ikMouseDown, {ssLeft}, 5, 5, mbLeft);
  SendInput(e->TextWindow(), ikMouseUp, {}, 5, 5, mbLeft);
  EXPECT_EQ(f.Opened.size(), 2u);
  // A blank text does nothing; a start hook replaces the shell.
  e->SetWindowText("   ");
  e->StartLink();
  EXPECT_EQ(f.Opened.size(), 2u);
  int hooked = 0;
  e->StartHook = [&](TObject*) { ++hooked; };
  e->SetWindowText("x");
  e->StartLink();
  EXPECT_EQ(hooked, 1);
  EXPECT_EQ(f.Opened.size(), 2u);
  auto vd = e->CreateViewData(false);
  EXPECT_EQ(e->EditClass()->GetViewCursor(1, 1, vd.get()), crVmHandPoint);
  EXPECT_TRUE(vd->Font->Style().Contains(fsUnderline));
}

TEST(HyperLinkEdit, PaintedCellMatchesLiveWindow) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceHyperLinkEdit::StaticClass(), "mailto:lab@example.org", Rect(20, 20, 200, 40));
  EXPECT_EQ(f.ContentMismatches(cell), 0);
}

TEST(MemoEdit, PaintedCellMatchesLiveWindow) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceMemoEdit::StaticClass(), "Site MT01\nRemote reference", Rect(20, 20, 200, 80));
  EXPECT_EQ(f.ContentMismatches(cell), 0);
}

}  // namespace
