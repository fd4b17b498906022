// Every drop-down editor's popup is a window of its own: a top-level window on the screen below
// its editor (above it when there is no room below), kept inside the screen. List popups leave
// the form active and the editor focused; the calendar, calculator and blob popups take the
// keyboard. A popup closes when its form moves or another window becomes active, and gives the
// focus back to its editor.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "inspector/vm_blob.h"
#include "inspector/vm_calc.h"
#include "inspector/vm_date.h"
#include "inspector/vm_image.h"
#include "inspector/vm_mru.h"
#include "platform/popupwatch.h"
#include "platform/sysutils.h"

namespace {

struct TPopupKind {
  const char* Name;
  TvmInplaceEditClass Class;
  Variant Value;
  TEditorSetup Setup;
  std::function<TControl*(TvmInplaceEdit*)> Popup;
  bool TakesKeyboard;
};

std::vector<TPopupKind> PopupKinds() {
  return {
      {"pick", TvmInplacePickEdit::StaticClass(), "one",
       [](TvmInplaceEdit* e) {
         auto* p = static_cast<TvmInplacePickEdit*>(e);
         if (p->Items()->Count() == 0)
           for (const char* s : {"one", "two", "three", "four"}) p->Items()->Add(s);
       },
       [](TvmInplaceEdit* e) -> TControl* { return static_cast<TvmInplacePickEdit*>(e)->PopupList(); }, false},
      {"image", TvmInplaceImageEdit::StaticClass(), "b",
       [](TvmInplaceEdit* e) {
         auto* i = static_cast<TvmInplaceImageEdit*>(e);
         if (i->Values()->Count() == 0)
           for (const char* v : {"a", "b", "c"}) i->Values()->Add(v);
         if (i->Descriptions()->Count() == 0)
           for (const char* d : {"Alpha", "Beta", "Gamma"}) i->Descriptions()->Add(d);
       },
       [](TvmInplaceEdit* e) -> TControl* { return static_cast<TvmInplaceImageEdit*>(e)->PopupList(); }, false},
      {"date", TvmInplaceDateEdit::StaticClass(), EncodeDate(2026, 3, 5), nullptr,
       [](TvmInplaceEdit* e) -> TControl* { return static_cast<TvmInplaceDateEdit*>(e)->Calendar(); }, true},
      {"calc", TvmInplaceCalcEdit::StaticClass(), "12", nullptr,
       [](TvmInplaceEdit* e) -> TControl* { return static_cast<TvmInplaceCalcEdit*>(e)->Calculator(); }, true},
      {"blob", TvmInplaceBlobEdit::StaticClass(), "memo text", nullptr,
       [](TvmInplaceEdit* e) -> TControl* { return static_cast<TvmInplaceBlobEdit*>(e)->Popup(); }, true},
  };
}

// C is W or lies inside it.
bool Within(const TControl* C, const TControl* W) {
  for (const TControl* p = C; p; p = p->Parent())
    if (p == W) return true;
  return false;
}

struct TPopupFixture : TEditorFixture {
  const TPopupKind& Kind;
  int Cell;
  TvmInplaceDropDownEdit* Edit = nullptr;
  TWinControl* EditorFocus = nullptr;  // the part of the editor that holds the focus

  explicit TPopupFixture(const TPopupKind& K) : Kind(K) {
    Cell = Grid->AddCell(K.Class, K.Value, Rect(20, 20, 200, 40), K.Setup);
  }
  // Places the form (its window's top-left on the screen) and starts editing the cell.
  void EditAt(int Left, int Top) {
    SendWindowGeometry(Form.get(), Left, Top, Form->Width(), Form->Height());
    Edit = static_cast<TvmInplaceDropDownEdit*>(Grid->EditCell(Cell));
    EditorFocus = FocusedControl();
  }
  TControl* Open() {
    PressKey(EditorFocus ? EditorFocus : Edit, VK_DOWN, {ssAlt});
    return Kind.Popup(Edit);
  }
};

TEST(PopupWindow, EveryKindOpensAsATopLevelWindowBelowItsEditor) {
  for (const TPopupKind& k : PopupKinds()) {
    SCOPED_TRACE(k.Name);
    TPopupFixture f(k);
    f.EditAt(40, 30);
    ASSERT_NE(f.EditorFocus, nullptr);
    ASSERT_TRUE(Within(f.EditorFocus, f.Edit));
    TControl* p = f.Open();
    ASSERT_TRUE(f.Edit->PopupShown());
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(IsTopLevelWindow(p));
    EXPECT_TRUE(WindowShown(p));
    EXPECT_TRUE(f.Edit->DroppedDown());
    // Its window sits on the screen under the editor's window, left edges together.
    const TRect er = WindowScreenRect(f.Edit), pr = WindowScreenRect(p);
    EXPECT_LE(std::abs(pr.Top - er.Bottom), 1) << pr.Top << " against " << er.Bottom;
    EXPECT_LE(std::abs(pr.Left - er.Left), 1) << pr.Left << " against " << er.Left;
    // The bounds of the control are its screen place.
    EXPECT_EQ(p->Left(), pr.Left);
    EXPECT_EQ(p->Top(), pr.Top);
    // A list leaves the focus in the editor; the others take the keyboard themselves.
    if (k.TakesKeyboard)
      EXPECT_TRUE(Within(FocusedControl(), p));
    else
      EXPECT_EQ(FocusedControl(), f.EditorFocus);
    // Escape closes it, and the editor has the focus again.
    PressKey(FocusedControl(), VK_ESCAPE);
    EXPECT_FALSE(f.Edit->PopupShown());
    EXPECT_FALSE(WindowShown(p));
    EXPECT_EQ(FocusedControl(), f.EditorFocus);
  }
}

TEST(PopupWindow, NearTheScreensCornerItOpensAboveAndStaysOnScreen) {
  const int sw = Screen->Width(), sh = Screen->Height();
  for (const TPopupKind& k : PopupKinds()) {
    SCOPED_TRACE(k.Name);
    TPopupFixture f(k);
    // The editor runs past the right edge, 60 pixels above the bottom.
    f.EditAt(sw - 150, 0);
    const TPoint at = f.Grid->ClientToScreen(TPoint(20, 20));
    f.Grid->CloseEdit(false);
    f.EditAt(sw - 150, sh - 60 - at.Y);
    TControl* p = f.Open();
    ASSERT_TRUE(f.Edit->PopupShown());
    const TRect er = WindowScreenRect(f.Edit), pr = WindowScreenRect(p);
    ASSERT_GT(er.Right, sw);
    ASSERT_GT(pr.Height(), sh - er.Bottom) << "the case needs a popup taller than the room below";
    EXPECT_LE(std::abs(pr.Bottom - er.Top), 1) << pr.Bottom << " against " << er.Top;
    EXPECT_GE(pr.Left, 0);
    EXPECT_LE(pr.Right, sw);
    EXPECT_GE(pr.Top, 0);
    PressKey(FocusedControl(), VK_ESCAPE);
    EXPECT_FALSE(f.Edit->PopupShown());
  }
}

TEST(PopupWindow, MovingTheFormOrActivatingAnotherWindowCloses) {
  for (const TPopupKind& k : PopupKinds()) {
    SCOPED_TRACE(k.Name);
    TPopupFixture f(k);
    f.EditAt(40, 30);
    const std::string text = f.Edit->GetWindowText();
    // The form moves: the popup closes without accepting.
    TControl* p = f.Open();
    ASSERT_TRUE(f.Edit->PopupShown());
    SendWindowGeometry(f.Form.get(), 60, 40, f.Form->Width(), f.Form->Height());
    EXPECT_FALSE(f.Edit->PopupShown());
    EXPECT_FALSE(WindowShown(p));
    // Another window becomes active: the popup closes once the activation has settled.
    p = f.Open();
    ASSERT_TRUE(f.Edit->PopupShown());
    Application->ProcessMessages();
    ASSERT_TRUE(f.Edit->PopupShown()) << "its own activation does not close it";
    TForm other(nullptr);
    other.SetBounds(500, 400, 100, 80);
    other.Show();
    ActivateControlWindow(&other);
    Application->ProcessMessages();
    EXPECT_FALSE(f.Edit->PopupShown());
    EXPECT_FALSE(WindowShown(p));
    other.Hide();
    EXPECT_EQ(f.Edit->GetWindowText(), text) << "nothing was accepted";
  }
}

}  // namespace
